// SEDQ_VIEW: one-bit waveforms and bus value bands. Each is walked sample by sample where a
// sample takes at least two pixels (and for the value column), and pixel column by pixel column
// from the log's summary where columns hold several samples; both walks emit the strokes the
// other would, so the picture does not depend on which one ran.
#include "sedq/view/sedq_view.h"

#include "host/cfg.h"
#include "sedq/model/sedq_bus.h"
#include "sedq/model/sedq_number.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/view/sedq_drawing.h"

#include <QPainter>

#include <algorithm>

namespace
{
// Boxes narrower than this hold no value text: no text of a glyph fits in them.
constexpr int MIN_TEXT_BOX = 3;
enum
{
    HIGH_PEN = 0,
    LOW_PEN = 1
};

struct WAVE_ROWS
{
    int high_y;
    int low_y;
    int top;
    int bottom;
};

// Window buffers: entry k is sample `origin` + k.
struct BUFFER_SAMPLES
{
    const bool* data;
    const bool* mask;
    int origin;
    bool valid(int i) const { return mask[i - origin]; }
    bool value(int i) const { return data[i - origin]; }
};

struct NODE_SAMPLES
{
    const SEDQ_WAVE_SUMMARY::NODE_ROWS* rows;
    bool valid(int i) const { return rows->log->is_valid(i); }
    bool value(int i) const { return rows->value(i); }
};

// The last sample ends with an edge towards a different next sample outside the window, or
// runs one pixel on.
template <class SAMPLES>
void end_wave(const SAMPLES& samples, const SEDQ_SAMPLE_STEPS& steps, const WAVE_ROWS& rows,
              SEDQ_WAVE_STROKES* strokes)
{
    const int last = steps.end - 1;
    if (last < steps.begin || !samples.valid(last))
        return;
    const bool level = samples.value(last);
    const int x = steps.x(steps.end);
    const int y = level ? rows.high_y : rows.low_y;
    if (!steps.ends_at_depth() && samples.valid(steps.end) && samples.value(steps.end) != level)
        strokes->add_column(LOW_PEN, x, y, samples.value(steps.end) ? rows.top : rows.bottom - 1);
    else
        strokes->add_row(level ? HIGH_PEN : LOW_PEN, y, x, x + 1);
}

// Each valid sample draws its level from its x to the next sample's; a change between two valid
// samples draws an edge; an invalid sample leaves a gap.
template <class SAMPLES>
void walk_wave(const SAMPLES& samples, const SEDQ_SAMPLE_STEPS& steps, const WAVE_ROWS& rows,
               SEDQ_WAVE_STROKES* strokes)
{
    for (int i = steps.begin; i < steps.end; ++i)
    {
        if (!samples.valid(i))
            continue;
        const bool level = samples.value(i);
        if (i > 0 && samples.valid(i - 1) && samples.value(i - 1) != level)
            strokes->add_column(LOW_PEN, steps.x(i), rows.high_y, rows.low_y);
        strokes->add_row(level ? HIGH_PEN : LOW_PEN, level ? rows.high_y : rows.low_y, steps.x(i), steps.x(i + 1));
    }
    end_wave(samples, steps, rows, strokes);
}

// The same strokes, a pixel column at a time: a column shows a level when a valid sample of
// that level reaches it, and an edge when a change between valid samples starts in it.
void walk_wave_columns(const SEDQ_WAVE_SUMMARY::NODE_ROWS& node, const SEDQ_SAMPLE_STEPS& steps,
                       const WAVE_ROWS& rows, SEDQ_WAVE_STROKES* strokes)
{
    const auto high = [&node](int k) { return node.high_word(k); };
    const auto low = [&node](int k) { return node.low_word(k); };
    const auto edge = [&node](int k) { return node.edge_word(k); };
    int first = steps.begin;
    const int last_x = steps.x(steps.end);
    for (int column = steps.x(steps.begin); column <= last_x; ++column)
    {
        const int next = steps.first_at_or_after(column + 1);
        const int low_sample = std::max(steps.begin, first - 1);
        const int high_sample = std::min(next - 1, steps.end - 1);
        if (low_sample <= high_sample)
        {
            if (node.high_levels.any(high, low_sample, high_sample))
                strokes->add_row(HIGH_PEN, rows.high_y, column, column);
            if (node.low_levels.any(low, low_sample, high_sample))
                strokes->add_row(LOW_PEN, rows.low_y, column, column);
        }
        if (node.edge_levels.any(edge, std::max(first, 1), high_sample))
            strokes->add_column(LOW_PEN, column, rows.high_y, rows.low_y);
        first = next;
    }
    end_wave(NODE_SAMPLES{&node}, steps, rows, strokes);
}

// ---- bus bands ---------------------------------------------------------------------------------

struct BAND
{
    int top;
    int bottom;
    int width;   // of a crossing
    int half;
};

// Bus rows of a window, packed: entry k is sample `origin` + k.
struct BUS_BUFFER_SAMPLES
{
    const SEDQ_PACKED_BUS* values;
    const bool* mask;
    int origin;
    bool valid(int i) const { return mask[i - origin]; }
    bool changed(int i) const { return !values->equal(i - origin, i - 1 - origin); }
};

struct BUS_SAMPLES
{
    const SEDQ_WAVE_SUMMARY::BUS_ROWS* rows;
    bool valid(int i) const { return rows->log->is_valid(i); }
    bool changed(int i) const { return SEDQ_WAVE_SUMMARY::LOG_ROWS::bit(rows->changes, i); }
};

void band_lines(SEDQ_WAVE_STROKES* strokes, const BAND& band, int from, int to)
{
    strokes->add_line(0, from, band.top, to, band.top);
    strokes->add_line(0, from, band.bottom, to, band.bottom);
}

// A box from `left` to `right` between the band's lines, or nothing when too narrow for text.
void add_text(std::vector<SEDQ_BAND_TEXT>* texts, const BAND& band, int left, int right, int sample,
              bool at_crossing)
{
    if (right - left + 1 >= MIN_TEXT_BOX)
        texts->push_back({QRect(QPoint(left, band.top + 1), QPoint(right, band.bottom)), sample, at_crossing});
}

// The band of the last sample: a closing point towards a different value outside the window,
// else the lines run one pixel on and a vertical line closes the box.
template <class SAMPLES>
void end_band(const SAMPLES& samples, const SEDQ_SAMPLE_STEPS& steps, const BAND& band, int run_x, int box_left,
              SEDQ_WAVE_STROKES* strokes, std::vector<SEDQ_BAND_TEXT>* texts)
{
    const int x = steps.x(steps.end);
    if (!steps.ends_at_depth() && samples.valid(steps.end) && samples.changed(steps.end))
    {
        const int p = x - band.half;
        strokes->add_line(0, run_x, band.top, p, band.top);
        strokes->add_line(0, p, band.top, x, band.top + (band.bottom - band.top) / 2);
        strokes->add_line(0, x, band.top + (band.bottom - band.top) / 2, p, band.bottom);
        strokes->add_line(0, p, band.bottom, run_x, band.bottom);
        add_text(texts, band, box_left, p, steps.end - 1, false);
        return;
    }
    band_lines(strokes, band, run_x, x + 1);
    strokes->add_column(0, x + 1, band.top, band.bottom);
    add_text(texts, band, box_left, steps.ends_at_depth() ? x : x + 1, steps.end - 1, false);
}

// Runs of equal valid values become one band between a crossing (or an opening point, or a gap)
// and the next; each run's value goes in its box when it ends, and again as a crossing meets it.
template <class SAMPLES>
void walk_band(const SAMPLES& samples, const SEDQ_SAMPLE_STEPS& steps, const BAND& band,
               SEDQ_WAVE_STROKES* strokes, std::vector<SEDQ_BAND_TEXT>* texts)
{
    int run_x = 0;
    int box_left = 0;
    QRect previous_box;
    for (int i = steps.begin; i < steps.end; ++i)
    {
        if (!samples.valid(i))
            continue;
        const int x = steps.x(i);
        const bool after_valid = i > 0 && samples.valid(i - 1);
        const bool changed = after_valid && samples.changed(i);
        if (changed && i == steps.begin)
        {
            strokes->add_line(0, x + band.half, band.bottom, x, band.top + (band.bottom - band.top + 1) / 2);
            strokes->add_line(0, x, band.top + (band.bottom - band.top + 1) / 2, x + band.half, band.top);
            run_x = x + band.half;
            box_left = x + band.half + 1;
        }
        else if (changed)
        {
            const int p = x - band.half;
            strokes->add_line(0, p, band.top, p + band.width, band.bottom);
            strokes->add_line(0, p, band.bottom, p + band.width, band.top);
            if (previous_box.left() + 1 < p)
                add_text(texts, band, previous_box.left(), previous_box.right(), i - 1, true);
            run_x = p + band.width;
            box_left = p + band.width + 1;
        }
        else if (i == steps.begin || !after_valid)
            run_x = box_left = x;
        if (i == steps.end - 1)
        {
            end_band(samples, steps, band, run_x, box_left, strokes, texts);
            break;
        }
        const int next_x = steps.x(i + 1);
        if (samples.valid(i + 1) && !samples.changed(i + 1))
            continue;
        const int end_x = samples.valid(i + 1) ? next_x - band.half : next_x + 1;
        band_lines(strokes, band, run_x, end_x);
        if (!samples.valid(i + 1))
            strokes->add_column(0, end_x, band.top, band.bottom);
        previous_box = QRect(QPoint(box_left, band.top), QPoint(end_x, band.bottom));
        add_text(texts, band, box_left, end_x, i, false);
    }
}

// The same band a pixel column at a time (crossings are then upright lines): a column holds the
// lines when a valid sample reaches it or a run closed before a gap ends in it, and an upright
// line at a change between valid samples or where such a run is closed.
void walk_band_columns(const SEDQ_WAVE_SUMMARY::BUS_ROWS& bus, const SEDQ_SAMPLE_STEPS& steps,
                       const BAND& band, SEDQ_WAVE_STROKES* strokes)
{
    const SEDQ_WAVE_SUMMARY::LOG_ROWS& log = *bus.log;
    const auto valid = [&log](int k) { return log.valid_word(k); };
    const auto valid_end = [&log](int k) { return log.valid_end_word(k); };
    const auto edge = [&bus](int k) { return bus.edge_word(k); };
    int first = steps.begin;
    int previous_first = steps.begin;
    const int last_x = steps.x(steps.end);
    for (int column = steps.x(steps.begin); column <= last_x; ++column)
    {
        const int next = steps.first_at_or_after(column + 1);
        const int low_sample = std::max(steps.begin, first - 1);
        const int high_sample = std::min(next - 1, steps.end - 1);
        const bool closed = log.valid_end_levels.any(valid_end, std::max(previous_first, steps.begin + 1),
                                                     std::min(first - 1, steps.end - 1));
        if (closed || log.valid_levels.any(valid, low_sample, high_sample))
            band_lines(strokes, band, column, column);
        if (closed || bus.edge_levels.any(edge, std::max(first, 1), high_sample))
            strokes->add_column(0, column, band.top, band.bottom);
        previous_first = first;
        first = next;
    }
    const int last = steps.end - 1;
    if (last < steps.begin || !log.is_valid(last))
        return;
    std::vector<SEDQ_BAND_TEXT> none;
    end_band(BUS_SAMPLES{&bus}, steps, band, last_x, last_x, strokes, &none);
}

// The value texts of the runs a column walk paints: only the last run starting in a column can
// reach past it, so the others (boxes of two pixels at most) are passed over.
void band_texts(const SEDQ_WAVE_SUMMARY::BUS_ROWS& bus, const SEDQ_SAMPLE_STEPS& steps, const BAND& band,
                std::vector<SEDQ_BAND_TEXT>* texts)
{
    const SEDQ_WAVE_SUMMARY::LOG_ROWS& log = *bus.log;
    const auto start = [&bus](int k) { return bus.start_word(k); };
    const auto invalid = [&log](int k) { return log.invalid_word(k); };
    for (int from = steps.begin; from < steps.end;)
    {
        int a = from == steps.begin && log.is_valid(from) ? from : bus.start_levels.next(start, from, steps.end);
        if (a >= steps.end)
            break;
        const int column_end = std::min(steps.first_at_or_after(steps.x(a) + 1), steps.end);
        a = std::max(a, bus.start_levels.previous(start, column_end - 1, a + 1));
        const int b = std::min(bus.start_levels.next(start, a + 1, steps.end),
                               log.invalid_levels.next(invalid, a + 1, steps.end)) - 1;
        const bool opens = a > 0 && log.is_valid(a - 1) && bus.is_edge(a);
        const int left = steps.x(a) + (opens ? 1 : 0);
        if (b < steps.end - 1)
        {
            const int next_x = steps.x(b + 1);
            const bool crossing = log.is_valid(b + 1);
            const int right = crossing ? next_x : next_x + 1;
            add_text(texts, band, left, right, b, false);
            if (crossing && left + 1 < next_x)
                add_text(texts, band, left, right, b, true);
        }
        else
        {
            const int x = steps.x(steps.end);
            const bool closing = !steps.ends_at_depth() && log.is_valid(steps.end) && bus.is_edge(steps.end);
            add_text(texts, band, left, closing || steps.ends_at_depth() ? x : x + 1, b, false);
        }
        from = b + 1;
    }
}
} // namespace

// ---- the view's entry points ---------------------------------------------------------------------

QColor SEDQ_VIEW::wave_colour(int pen, bool selected)
{
    if (selected && view_has_focus())
        return AFCQ_PEN(AFCQ_PEN_SELECTED_VALUE).get_pen().color();
    return AFCQ_PEN(pen).get_pen().color();
}

bool SEDQ_VIEW::draw_wave(bool* data, bool* mask, bool selected, QRect const& rect, QPainter* painter, int column)
{
    if (rect.right() - rect.left() < 2 || data == nullptr || mask == nullptr)
        return false;
    const WAVE_ROWS rows{rect.top() + 1, rect.bottom() - 2, rect.top(), rect.bottom()};
    const SEDQ_SAMPLE_STEPS steps = column == SEDQ_COLUMN_VALUE ? value_steps(rect) : window_steps(rect);
    const BUFFER_SAMPLES samples{data, mask, steps.begin - 1};
    m_strokes.reset(wave_colour(AFCQ_PEN_WAVE_HIGH, selected), wave_colour(AFCQ_PEN_WAVE_LOW, selected));
    walk_wave(samples, steps, rows, &m_strokes);
    m_strokes.draw(painter);
    if (column == SEDQ_COLUMN_VALUE && steps.end > steps.begin && samples.valid(steps.begin))
    {
        const bool level = samples.value(steps.begin);
        painter->save();
        painter->setPen(wave_colour(level ? AFCQ_PEN_WAVE_HIGH : AFCQ_PEN_WAVE_LOW, selected));
        const QRect box(QPoint(steps.x(steps.begin), rows.high_y),
                        QPoint(steps.x(steps.begin) + int(steps.step) - 1, rows.low_y));
        sedq_draw_text_if_it_fits(painter, box, Qt::AlignCenter, level ? QStringLiteral("1") : QStringLiteral("0"));
        painter->restore();
    }
    return true;
}

bool SEDQ_VIEW::draw_wave_columns(SEDQ_WAVE_SUMMARY::NODE_ROWS const& rows, bool selected, QRect const& rect,
                                  QPainter* painter)
{
    if (rect.right() - rect.left() < 2)
        return false;
    const WAVE_ROWS levels{rect.top() + 1, rect.bottom() - 2, rect.top(), rect.bottom()};
    const SEDQ_SAMPLE_STEPS steps = window_steps(rect);
    m_strokes.reset(wave_colour(AFCQ_PEN_WAVE_HIGH, selected), wave_colour(AFCQ_PEN_WAVE_LOW, selected));
    if (steps.step <= 0.5)
        walk_wave_columns(rows, steps, levels, &m_strokes);
    else
        walk_wave(NODE_SAMPLES{&rows}, steps, levels, &m_strokes);
    m_strokes.draw(painter);
    return true;
}

namespace
{
BAND band_of(QRect const& rect, double step)
{
    const int width = std::min(6, int(step));
    return BAND{rect.top() + 1, rect.bottom() - 2, width, width / 2};
}

QColor band_colour(bool focused_selection)
{
    return focused_selection ? AFCQ_PEN(AFCQ_PEN_SELECTED_VALUE).get_pen().color()
                             : AFCQ_COLOR(AFCQ_COLOR_BUS_VALUE).get_color();
}
} // namespace

// The window's rows are packed once; values are compared and converted from the packed copy.
bool SEDQ_VIEW::draw_bus(int node, SEDQ_BUS const& bus, bool* mask, bool selected, QRect const& rect,
                         QPainter* painter, int column)
{
    if (m_tx_manager->is_grandparent(node) || mask == nullptr || rect.right() - 1 - rect.left() < 2)
        return false;
    const SEDQ_SAMPLE_STEPS steps = column == SEDQ_COLUMN_VALUE ? value_steps(rect) : window_steps(rect);
    bool lsb_to_msb = false;
    m_tx_manager->get_node_lsb_to_msb(node, &lsb_to_msb);
    SEDQ_PACKED_BUS& packed = m_packed_bus;
    if (!packed.assign(bus, 0, bus.get_depth(), lsb_to_msb))
        return false;
    const BAND band = band_of(rect, steps.step);
    const BUS_BUFFER_SAMPLES samples{&packed, mask, steps.begin - 1};
    std::vector<SEDQ_BAND_TEXT> texts;
    m_strokes.reset(band_colour(selected && view_has_focus()), QColor());
    walk_band(samples, steps, band, &m_strokes, &texts);
    m_strokes.draw(painter);
    draw_band_texts(node, packed, steps.begin - 1, texts, selected, painter);
    return true;
}

bool SEDQ_VIEW::draw_bus_rows(int node, SEDQ_WAVE_SUMMARY::BUS_ROWS const& rows, bool selected,
                              QRect const& rect, QPainter* painter)
{
    if (m_tx_manager->is_grandparent(node) || rect.right() - 1 - rect.left() < 2)
        return false;
    const SEDQ_SAMPLE_STEPS steps = window_steps(rect);
    const BAND band = band_of(rect, steps.step);
    std::vector<SEDQ_BAND_TEXT> texts;
    m_strokes.reset(band_colour(selected && view_has_focus()), QColor());
    if (steps.step <= 0.5)
    {
        walk_band_columns(rows, steps, band, &m_strokes);
        band_texts(rows, steps, band, &texts);
    }
    else
        walk_band(BUS_SAMPLES{&rows}, steps, band, &m_strokes, &texts);
    m_strokes.draw(painter);
    draw_band_texts(node, rows.values, 0, texts, selected, painter);
    return true;
}

// Texts in the node's radix or its symbols; symbols show in their own colour where a crossing
// meets them.
void SEDQ_VIEW::draw_band_texts(int node, SEDQ_PACKED_BUS const& values, int origin,
                                std::vector<SEDQ_BAND_TEXT> const& texts, bool selected, QPainter* painter)
{
    if (texts.empty())
        return;
    const bool focused = selected && view_has_focus();
    const bool split = cfg_is_on("sld_split_bus_values", false);
    painter->save();
    for (const SEDQ_BAND_TEXT& text : texts)
    {
        SEDQ_NUMBER number(values, text.sample - origin);
        const char* shown = "";
        const bool symbolic = number.get_string(m_tx_manager, node, &shown, true, true, nullptr, -1);
        QString value = QString::fromLocal8Bit(shown);
        if (split)
            add_spacer_character(&value, "_", 8);
        if (symbolic)
            painter->setPen(focused            ? AFCQ_PEN(AFCQ_PEN_SELECTED_TEXT).get_pen()
                            : text.at_crossing ? QPen(AFCQ_COLOR(AFCQ_COLOR_DATA_MNEMONIC).get_color())
                                               : AFCQ_PEN(AFCQ_PEN_TEXT).get_pen());
        else
            painter->setPen(focused ? AFCQ_PEN(AFCQ_PEN_SELECTED_VALUE).get_pen()
                                    : QPen(AFCQ_COLOR(AFCQ_COLOR_BUS_VALUE).get_color()));
        sedq_draw_text_if_it_fits(painter, text.box, Qt::AlignCenter, value);
    }
    painter->restore();
}

// A radix letter at the end is not counted; the spacer goes in every `group` characters from the
// right, never in front of the first.
bool SEDQ_VIEW::add_spacer_character(QString* text, char const* spacer, int group)
{
    if (text == nullptr || group <= 0)
        return false;
    const int length = text->size();
    const bool suffix = text->contains(QLatin1Char('o')) || text->contains(QLatin1Char('b')) ||
                        text->contains(QLatin1Char('h'));
    const int counted = suffix ? 1 : 0;
    if (group + counted >= length || (length - 1) / group < 1)
        return true;
    int inserted = 0;
    for (int at = length - counted - group; at > 0 && inserted < (length - 1) / group; at -= group, ++inserted)
        text->insert(at, QString::fromLatin1(spacer));
    return true;
}
