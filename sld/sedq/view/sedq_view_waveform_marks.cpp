// SEDQ_VIEW: what the waveform column shows besides the data — the time-bar row with the bars
// and their labels, the ruler with its ticks and labels, segment, break and trigger lines, the
// start and end of the data, and the text that stands in for waveforms without samples. Marks
// that fall on one pixel column are drawn once, so the work grows with the pixels shown.
#include "sedq/view/sedq_view.h"

#include "sedq/model/sedq_tx_manager.h"
#include "sedq/view/sedq_drawing.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

namespace
{

// Floor division and the first multiple of `step` at or above `value`, for negative values too.
int floor_div(int value, int step)
{
    return value >= 0 ? value / step : -((-value + step - 1) / step);
}

bool has_multiple(int low, int high, int step)
{
    return step > 0 && low <= high && floor_div(high, step) * step >= low;
}

int first_multiple(int low, int step)
{
    return -floor_div(-low, step) * step;
}

// Positions first..last of the waveform column, `pixels` apart from `left`.
struct RULER_STEPS
{
    int first;
    int last;
    int left;
    double pixels;

    int x(int sample) const { return int(left + (sample - first) * pixels); }
    // The last position whose x is at most `at`.
    int last_at_or_before(int at) const
    {
        int sample = pixels > 0.0 ? first + int((at - left + 1) / pixels) : last;
        sample = std::clamp(sample, first - 1, last);
        while (sample >= first && x(sample) > at)
            --sample;
        while (sample < last && x(sample + 1) <= at)
            ++sample;
        return sample;
    }
};

QPen dashed_pen(const QColor& colour)
{
    return QPen(QBrush(colour), 1.0, Qt::DashLine, Qt::SquareCap, Qt::BevelJoin);
}
} // namespace

// ---- state text and data ends --------------------------------------------------------------------

bool SEDQ_VIEW::draw_zero_sample_wave(QRect const& rect, QPainter* painter)
{
    QString text = QStringLiteral("No samples");
    int trigger = 0;
    if (m_tx_manager->is_instance_acquiring(SEDQ_CURRENT))
        text = QStringLiteral("Acquisition in progress");
    else if (m_tx_manager->is_data_available(false, SEDQ_CURRENT, nullptr))
        text = m_tx_manager->get_trigger_position(&trigger, SEDQ_CURRENT)
                   ? QStringLiteral("Trigger condition met")
                   : QStringLiteral("Trigger condition not met");
    painter->save();
    painter->setPen(AFCQ_PEN(AFCQ_PEN_DISABLED_TEXT).get_pen());
    painter->drawText(rect.adjusted(10, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, text);
    painter->restore();
    return true;
}

bool SEDQ_VIEW::draw_end_of_wave_bar(QRect const& rect, QPainter* painter, int first, int last, int depth)
{
    if (rect.isEmpty())
        return false;
    const int bottom = rect.bottom() + (depth != 0 && SEDQ_TX_MANAGER::m_cfg_show_horz_grid ? 3 : 4);
    painter->save();
    painter->setPen(AFCQ_COLOR(AFCQ_COLOR_END_OF_SAMPLES).get_color());
    if (first == 0)
        for (int x : {rect.left() - 1, rect.left()})
            painter->drawLine(x, rect.top() - 2, x, bottom);
    if (last == depth)
        for (int x : {rect.right() - 1, rect.right()})
            painter->drawLine(x, rect.top() - 2, x, bottom);
    painter->restore();
    return true;
}

// ---- segment, break and trigger lines --------------------------------------------------------------

bool SEDQ_VIEW::draw_trigger_position(QRect const& rect, QPainter* painter, int first, int last,
                                      double pixels_per_sample)
{
    const int segment = m_tx_manager->get_data_segment_size();
    const bool row1 = get_row_height(SEDQ_ROW_COLUMN_TITLES) > 0;
    const SEDQ_WAVE_SUMMARY::LOG_ROWS* log = m_wave_summary.get_log(m_tx_manager);
    const bool segmented = row1 && segment >= 1;
    const bool breaks = row1 && segment == 0 && log != nullptr;
    const RULER_STEPS steps{first, std::min(last, log != nullptr ? log->depth - 1 : last), rect.left(),
                            pixels_per_sample};
    const auto line_at = [&](int sample)
    { return QLine(steps.x(sample), rect.top() - 1, steps.x(sample), rect.bottom() + 3); };
    QVector<QLine> trigger_lines;
    QVector<QLine> segment_lines;
    int trigger = 0;
    if (!segmented && !breaks)
    {
        if (m_tx_manager->get_trigger_position(&trigger, SEDQ_CURRENT) && trigger >= first && trigger <= last)
            trigger_lines.push_back(line_at(trigger));
    }
    else if (segmented && segment * pixels_per_sample > 2.0)
    {
        for (int s = first_multiple(first, segment); s <= last; s += segment)
            segment_lines.push_back(line_at(s));
    }
    else if (breaks)
    {
        const auto words = [log](int k) { return SEDQ_WAVE_SUMMARY::LOG_ROWS::word(log->breaks, k); };
        for (int s = log->break_levels.next(words, first, steps.last + 1); s <= steps.last;)
        {
            segment_lines.push_back(line_at(s));
            s = log->break_levels.next(words, std::max(s + 1, steps.last_at_or_before(steps.x(s)) + 1),
                                       steps.last + 1);
        }
    }
    if (log != nullptr)
    {
        const auto words = [log](int k) { return SEDQ_WAVE_SUMMARY::LOG_ROWS::word(log->trigger, k); };
        for (int s = log->trigger_levels.next(words, first, steps.last + 1); s <= steps.last;)
        {
            if (segmented && s % segment == 0)
            {
                s = log->trigger_levels.next(words, s + 1, steps.last + 1);
                continue;
            }
            trigger_lines.push_back(line_at(s));
            s = log->trigger_levels.next(words, std::max(s + 1, steps.last_at_or_before(steps.x(s)) + 1),
                                         steps.last + 1);
        }
    }
    painter->save();
    painter->setPen(dashed_pen(AFCQ_BRUSH(AFCQ_BRUSH_CELL_BORDER).get_brush().color()));
    painter->drawLines(segment_lines);
    painter->setPen(dashed_pen(AFCQ_COLOR(AFCQ_COLOR_TRIGGER_POSITION).get_color()));
    painter->drawLines(trigger_lines);
    painter->restore();
    return true;
}

// ---- the ruler -------------------------------------------------------------------------------------

bool SEDQ_VIEW::draw_wave_header(QRect const& rect, QPainter* painter, int column, int row)
{
    const QRect area = rect.adjusted(0, 0, -1, -1);
    if (area.right() - area.left() < 2)
        return false;
    painter->save();
    if (row == SEDQ_ROW_COLUMN_TITLES && m_tx_manager->get_data_segment_size() <= 0)
        draw_break_ruler(area, painter, column);
    else
        draw_ruler_row(area, painter, column, row);
    painter->restore();
    return true;
}

// A label centred on x, kept inside the area; a label wider than the area ends the ruler
// (`label_end` becomes INT_MAX), and in the value column one that would start before the end of
// the previous one does too.
void SEDQ_VIEW::draw_ruler_label(QRect const& rect, QPainter* painter, int x, QString const& text, int font,
                                 int colour, int* label_end)
{
    if (*label_end == INT_MAX)
        return;
    painter->setFont(AFCQ_FONT(font).get_font());
    const int width = painter->fontMetrics().boundingRect(text).width() + 2;
    if (width > rect.width())
    {
        *label_end = INT_MAX;
        return;
    }
    int left = std::min(x - width / 2, rect.right() - width);
    left = std::max(left, rect.left() + 1);
    if (*label_end != INT_MIN && left < *label_end)
    {
        *label_end = INT_MAX;
        return;
    }
    const QRect box = sedq_inclusive(left, rect.top(), left + width - 1, rect.bottom()).intersected(rect);
    painter->setPen(AFCQ_COLOR(colour).get_color());
    painter->drawText(box, Qt::AlignLeft | Qt::AlignVCenter, text);
    if (*label_end != INT_MIN)
        *label_end = box.right() + 1;
}

// Every position gets a tick (in the segment row only segment starts do); positions on a multiple
// of the marker width get a label and the tallest tick. One pixel column is one tick, the tallest
// of its positions.
void SEDQ_VIEW::draw_ruler_row(QRect const& rect, QPainter* painter, int column, int row)
{
    int trigger = 0;
    m_tx_manager->get_trigger_position(&trigger, 0);
    const int marker = get_marker_width();
    const int segment = m_tx_manager->get_data_segment_size();
    const int shift = m_tx_manager->is_segmented_acquisition_enabled(SEDQ_CURRENT) ? 0 : trigger;
    const bool value_column = column == SEDQ_COLUMN_VALUE;
    const int first = value_column ? m_timebars[0] : get_first_transition();
    const int last = value_column ? first : get_last_transition();
    const RULER_STEPS steps{first, last, rect.left(), value_column ? rect.width() : get_transition_width()};
    m_strokes.reset(AFCQ_COLOR(AFCQ_COLOR_TIME_BAR).get_color(), QColor());
    struct LABEL
    {
        int x;
        QString text;
    };
    std::vector<LABEL> labels;
    const auto label_text = [&](int a)
    {
        QString text;
        if (row == SEDQ_ROW_COLUMN_TITLES)
            return QString::number(a / segment);
        get_time_units_string(&text, get_offset_sample_number(a, nullptr), false, false);
        return text;
    };
    for (int s0 = first; s0 <= last;)
    {
        const int x = steps.x(s0);
        const int s1 = value_column ? s0 : std::max(s0, steps.last_at_or_before(x));
        int label = INT_MIN;
        int height = 0;
        if (row == SEDQ_ROW_LEVEL_HEADERS)
        {
            if (value_column || has_multiple(s0 - shift, s1 - shift, marker))
                label = value_column ? s0 - shift : first_multiple(s0 - shift, marker);
            height = label != INT_MIN                                                         ? 5
                     : marker / 2 > 0 && has_multiple(s0 - trigger, s1 - trigger, marker / 2) ? 3
                                                                                              : 2;
        }
        else
        {
            for (int s = first_multiple(s0, segment), seen = 0; s <= s1 && seen < 64; s += segment, ++seen)
            {
                const bool labelled = value_column || (marker > 0 && (s - shift) % marker == 0);
                if (labelled && label == INT_MIN)
                    label = s - shift;
                height = std::max(height, labelled                                              ? 5
                                          : marker / 2 > 0 && (s - trigger) % (marker / 2) == 0 ? 3
                                                                                                : 2);
            }
            if (label == INT_MIN && s0 == first)
                label = first - shift;
        }
        if (height > 0)
            m_strokes.add_column(0, x, rect.bottom() - (height - 1), rect.bottom());
        if (label != INT_MIN)
            labels.push_back({x, label_text(label)});
        s0 = s1 + 1;
    }
    m_strokes.draw(painter);
    int label_end = value_column ? rect.left() : INT_MIN;
    for (const LABEL& label : labels)
        draw_ruler_label(rect, painter, label.x, label.text,
                         row == SEDQ_ROW_COLUMN_TITLES ? AFCQ_FONT_SEGMENT_NUMBER : AFCQ_FONT_SAMPLE_NUMBER,
                         row == SEDQ_ROW_COLUMN_TITLES ? AFCQ_COLOR_SEGMENT_NUMBER : AFCQ_COLOR_SAMPLE_NUMBER,
                         &label_end);
}

// Without segments the segment row counts the storage qualifier's breaks: its number at the first
// position, at each break and at the end of the data, a marker width apart at least.
void SEDQ_VIEW::draw_break_ruler(QRect const& rect, QPainter* painter, int column)
{
    const SEDQ_WAVE_SUMMARY::LOG_ROWS* log = m_wave_summary.get_log(m_tx_manager);
    const bool value_column = column == SEDQ_COLUMN_VALUE;
    const int depth = get_data_depth();
    const int marker = std::max(get_marker_width(), 1);
    const int first = value_column ? m_timebars[0] : get_first_transition();
    const int last = value_column ? first : std::min(get_last_transition(), depth);
    const RULER_STEPS steps{first, last, rect.left(), value_column ? rect.width() : get_transition_width()};
    m_strokes.reset(AFCQ_COLOR(AFCQ_COLOR_TIME_BAR).get_color(), QColor());
    struct LABEL
    {
        int x;
        int count;
    };
    std::vector<LABEL> labels{{steps.x(first), log != nullptr ? log->count_breaks(first) : 0}};
    int labelled = first;
    const auto mark = [&](int s, int count)
    {
        m_strokes.add_column(0, steps.x(s), rect.bottom() - 4, rect.bottom());
        if (s != first && (value_column || s >= labelled + marker))
        {
            labels.push_back({steps.x(s), count});
            labelled = s;
        }
    };
    if (first == 0)
        mark(0, log != nullptr ? log->count_breaks(0) : 0);
    if (log != nullptr)
    {
        const auto words = [log](int k) { return SEDQ_WAVE_SUMMARY::LOG_ROWS::word(log->breaks, k); };
        const int end = std::min(last, depth - 1) + 1;
        for (int s = log->break_levels.next(words, first, end); s < end;)
        {
            mark(s, log->count_breaks(s));
            const int next_column = steps.last_at_or_before(steps.x(s)) + 1;
            s = log->break_levels.next(words, std::max(s + 1, std::min(next_column, labelled + marker)), end);
        }
    }
    if (depth >= first && depth <= last)
        mark(depth, (log != nullptr ? log->count_breaks(depth - 1) : 0) + 1);
    m_strokes.draw(painter);
    int label_end = value_column ? rect.left() : INT_MIN;
    for (const LABEL& label : labels)
        draw_ruler_label(rect, painter, label.x, QString::number(label.count), AFCQ_FONT_SEGMENT_NUMBER,
                         AFCQ_COLOR_SEGMENT_NUMBER, &label_end);
}

// ---- the time-bar row ------------------------------------------------------------------------------

bool SEDQ_VIEW::draw_timebars(QRect const& rect, QPainter* painter)
{
    if (rect.isEmpty())
        return false;
    const QRect row = sedq_inclusive(rect.left() - 2, rect.top() - 2, rect.right(), rect.bottom() - 1);
    const QRect area = row.adjusted(1, 0, 0, 0);
    painter->save();
    painter->fillRect(row, AFCQ_BRUSH(AFCQ_BRUSH_CELL_FACE).get_brush());
    painter->setPen(AFCQ_BRUSH(AFCQ_BRUSH_CELL_BORDER).get_brush().color());
    painter->drawLine(row.left(), row.top(), row.left(), row.bottom());
    const SEDQ_TIME_AXIS axis = get_time_axis();
    const int marker = get_marker_width();
    if (marker != 0 && SEDQ_TX_MANAGER::m_cfg_show_vert_grid)
    {
        const int top = get_row_height(SEDQ_ROW_TITLE) + get_row_height(SEDQ_ROW_COLUMN_TITLES) +
                        get_row_height(SEDQ_ROW_LEVEL_HEADERS);
        QVector<QLine> grid;
        for (int s = first_multiple(axis.first, marker); s <= axis.last; s += marker)
            grid.push_back(QLine(axis.find_point(s), top, axis.find_point(s), height() - 1));
        painter->setPen(AFCQ_COLOR(AFCQ_COLOR_WAVEFORM_GRID).get_color());
        painter->drawLines(grid);
    }
    if (m_timebar_count == 0)
    {
        painter->setPen(AFCQ_PEN(AFCQ_PEN_DISABLED_TEXT).get_pen());
        painter->drawText(row, Qt::AlignCenter,
                          get_data_depth() != 0 ? QStringLiteral("click to insert time bar")
                                                : QStringLiteral("no samples"));
        painter->restore();
        return true;
    }
    const bool segmented =
        get_row_height(SEDQ_ROW_COLUMN_TITLES) > 0 && m_tx_manager->get_data_segment_size() > 0;
    for (int index = 1; index < m_timebar_count; ++index)
        draw_timebar(index, area, painter, segmented);
    draw_timebar(0, area, painter, segmented);
    painter->restore();
    return true;
}

// A bar on the trigger (or on a segment start) moves a pixel aside so that the line stays seen.
void SEDQ_VIEW::draw_timebar(int index, QRect const& area, QPainter* painter, bool segmented)
{
    const SEDQ_TIME_AXIS axis = get_time_axis();
    const int position = m_timebars[index];
    int x = axis.find_point(position);
    int trigger = 0;
    const int segment = m_tx_manager->get_data_segment_size();
    const bool on_mark =
        segmented ? segment > 0 && position % segment == 0
                  : m_tx_manager->get_trigger_position(&trigger, SEDQ_CURRENT) && position == trigger;
    const int aside = position == axis.last ? -1 : 1;
    if (on_mark)
        x += aside;
    if (x < area.left() || x > area.right())
        return;
    const bool master = index == 0;
    QString position_text;
    QString segment_text;
    get_timebar_string(index, &position_text, &segment_text);
    const bool row1 = get_row_height(SEDQ_ROW_COLUMN_TITLES) > 0;
    const bool row2 = get_row_height(SEDQ_ROW_LEVEL_HEADERS) > 0;
    const int first_font = row1 ? (master ? AFCQ_FONT_MASTER_SEGMENT_NUMBER : AFCQ_FONT_SEGMENT_NUMBER)
                                : (master ? AFCQ_FONT_MASTER_SAMPLE_NUMBER : AFCQ_FONT_SAMPLE_NUMBER);
    const int line_top = area.top() + QFontMetrics(AFCQ_FONT(first_font).get_font()).height();
    QVector<QLine> lines{QLine(x, line_top, x, area.bottom())};
    if (master)
        lines.push_back(QLine(x + aside, line_top, x + aside, area.bottom()));
    if (SEDQ_TX_MANAGER::m_cfg_show_time_bars)
    {
        const int top = get_row_height(SEDQ_ROW_TITLE) + get_row_height(SEDQ_ROW_COLUMN_TITLES) +
                        get_row_height(SEDQ_ROW_LEVEL_HEADERS);
        lines.push_back(QLine(x, top, x, height() - 1));
        if (master)
            lines.push_back(QLine(x + aside, top, x + aside, height() - 1));
    }
    painter->setPen(AFCQ_COLOR(AFCQ_COLOR_TIME_BAR).get_color());
    painter->drawLines(lines);
    if (row1)
        draw_timebar_label(area, painter, x, master, segment_text, true, area.top());
    if (row2 && row1)
        draw_timebar_label(area, painter, x, master, position_text, false, line_top);
    else if (row2)
        draw_timebar_label(area, painter, x, master, position_text, false, area.top());
}

void SEDQ_VIEW::draw_timebar_label(QRect const& area, QPainter* painter, int x, bool master,
                                   QString const& text, bool segment_text, int top)
{
    painter->save();
    painter->setFont(AFCQ_FONT(segment_text
                                   ? (master ? AFCQ_FONT_MASTER_SEGMENT_NUMBER : AFCQ_FONT_SEGMENT_NUMBER)
                                   : (master ? AFCQ_FONT_MASTER_SAMPLE_NUMBER : AFCQ_FONT_SAMPLE_NUMBER))
                         .get_font());
    sedq_set_bold(painter, master);
    painter->setPen(
        AFCQ_COLOR(segment_text ? AFCQ_COLOR_SEGMENT_NUMBER : AFCQ_COLOR_SAMPLE_NUMBER).get_color());
    painter->setBackgroundMode(Qt::OpaqueMode);
    painter->setBackground(AFCQ_BRUSH(AFCQ_BRUSH_CELL_FACE).get_brush());
    const QRect box =
        sedq_get_text_rect(painter, sedq_inclusive(area.left(), top, area.right(), area.bottom()), text, x);
    painter->drawText(box, Qt::AlignLeft | Qt::AlignTop, text);
    painter->restore();
}
