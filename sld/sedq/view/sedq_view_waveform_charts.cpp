// SEDQ_VIEW: the four chart forms of a bus — bars and lines, unsigned and signed around a zero
// line. Walked sample by sample, or per pixel column from the chart's block minima and maxima
// where columns hold several samples; both give the same strokes.
#include "sedq/view/sedq_view.h"

#include "sedq/model/sedq_bus.h"
#include "sedq/model/sedq_number.h"
#include "sedq/model/sedq_tx_manager.h"

#include <QPainter>

#include <algorithm>
#include <climits>

namespace
{
enum CHART_TYPE
{
    BAR = 8,
    LINE = 9,
    SIGNED_BAR = 10,
    SIGNED_LINE = 11
};

bool is_signed_chart(int type)
{
    return type == SIGNED_BAR || type == SIGNED_LINE;
}

bool is_line_chart(int type)
{
    return type == LINE || type == SIGNED_LINE;
}

// Where values land: unsigned from the bottom up to full scale 2^width - 1, signed both ways
// from a zero line half way up to 2^(width - 1) - 1 (at least 1, so a one-bit chart has a scale).
struct CHART_SCALE
{
    int left;
    int top;
    int bottom;
    int zero_y;
    int height;
    double maximum;
    bool is_signed;

    int extent(int value) const { return int(std::abs(double(value)) / maximum * height); }
    int y(int value) const
    {
        const int base = is_signed ? zero_y : bottom;
        return value < 0 ? base + extent(value) : base - extent(value);
    }
    int base() const { return is_signed ? zero_y : bottom; }
};

CHART_SCALE scale_of(QRect const& area, int width, bool is_signed)
{
    CHART_SCALE scale{area.left(), area.top(), area.bottom(), 0, 0, 1.0, is_signed};
    width = std::clamp(width, 1, 31);
    if (is_signed)
    {
        scale.zero_y = area.top() + (area.bottom() - area.top()) / 2;
        scale.height = scale.zero_y - area.top() + 1;
        scale.maximum = std::max(1.0, double((1u << (width - 1)) - 1));
    }
    else
    {
        scale.height = area.bottom() - area.top() + 1;
        scale.maximum = double((1u << width) - 1);
    }
    return scale;
}

// Bus rows of a window: entry k is sample `origin` + k.
struct CHART_BUFFER_SAMPLES
{
    const SEDQ_BUS* bus;
    const bool* mask;
    int origin;
    bool is_signed;
    bool valid(int i) const { return mask[i - origin]; }
    int value(int i) const
    {
        const SEDQ_NUMBER number(*bus, i - origin);
        return is_signed ? number.get_twos_value() : int(number.get_uint_value());
    }
};

struct CHART_SAMPLES
{
    const SEDQ_WAVE_SUMMARY::CHART_ROWS* rows;
    bool valid(int i) const { return rows->log->is_valid(i); }
    int value(int i) const { return rows->values[size_t(i)]; }
};

// A value's bar: from the zero line (the bottom when unsigned) to the value, `left`..`right`.
void add_bar(SEDQ_WAVE_STROKES* strokes, const CHART_SCALE& scale, int left, int right, int value)
{
    for (int x = left; x <= right; ++x)
        strokes->add_column(0, x, scale.base(), scale.y(value));
}

template <class SAMPLES>
void walk_bars(const SAMPLES& samples, const SEDQ_SAMPLE_STEPS& steps, const CHART_SCALE& scale,
               SEDQ_WAVE_STROKES* strokes)
{
    const int gap = std::min(6, int(steps.step));
    const int half = gap / 2;
    for (int i = steps.begin; i < steps.end; ++i)
        if (samples.valid(i))
            add_bar(strokes, scale, steps.x(i) + half, steps.x(i) + half + int(steps.step) - gap, samples.value(i));
}

// Per column (a column then is one pixel of bar per sample): the tallest bar each way.
void walk_bar_columns(const SEDQ_WAVE_SUMMARY::CHART_ROWS& rows, const SEDQ_SAMPLE_STEPS& steps,
                      const CHART_SCALE& scale, SEDQ_WAVE_STROKES* strokes)
{
    int first = steps.begin;
    for (int column = steps.x(steps.begin); first < steps.end; ++column)
    {
        const int next = steps.first_at_or_after(column + 1);
        int low = 0;
        int high = 0;
        if (rows.range(first, std::min(next, steps.end) - 1, &low, &high))
        {
            if (high >= 0 || !scale.is_signed)
                strokes->add_column(0, column, scale.base(), scale.y(high));
            if (low < 0)
                strokes->add_column(0, column, scale.base(), scale.y(low));
        }
        first = next;
    }
}

// Line charts join the centres of consecutive valid samples and mark each with a three-pixel
// tick; a line enters from the left and leaves to the right towards neighbours outside the window.
template <class SAMPLES> struct LINE_WALK
{
    const SAMPLES& samples;
    const SEDQ_SAMPLE_STEPS& steps;
    const CHART_SCALE& scale;
    SEDQ_WAVE_STROKES* strokes;

    int centre(int i) const { return steps.x(i) + int(steps.step * 0.5); }

    void join_to(int i) const
    {
        const int y = scale.y(samples.value(i));
        if (i == steps.begin)
        {
            if (i > 0 && samples.valid(i - 1))
                strokes->add_line(0, scale.left, (scale.y(samples.value(i - 1)) + y) / 2, centre(i), y);
        }
        else if (samples.valid(i - 1))
            strokes->add_line(0, centre(i - 1), scale.y(samples.value(i - 1)), centre(i), y);
    }

    void sample(int i) const
    {
        join_to(i);
        const int y = scale.y(samples.value(i));
        strokes->add_column(0, centre(i), y - 1, y + 1);
    }

    void leave() const
    {
        const int last = steps.end - 1;
        if (last < steps.begin || steps.ends_at_depth() || !samples.valid(last) || !samples.valid(steps.end))
            return;
        const int y = scale.y(samples.value(last));
        strokes->add_line(0, centre(last), y, steps.x(steps.end), (y + scale.y(samples.value(steps.end))) / 2);
    }
};

template <class SAMPLES>
void walk_lines(const SAMPLES& samples, const SEDQ_SAMPLE_STEPS& steps, const CHART_SCALE& scale,
                SEDQ_WAVE_STROKES* strokes)
{
    const LINE_WALK<SAMPLES> walk{samples, steps, scale, strokes};
    for (int i = steps.begin; i < steps.end; ++i)
        if (samples.valid(i))
            walk.sample(i);
    walk.leave();
}

// Per column: the samples of a column without gaps are one connected path, so their lines and
// ticks cover the column from the least value's tick to the largest's; a column with a gap is
// walked sample by sample.
void walk_line_columns(const SEDQ_WAVE_SUMMARY::CHART_ROWS& rows, const SEDQ_SAMPLE_STEPS& steps,
                       const CHART_SCALE& scale, SEDQ_WAVE_STROKES* strokes)
{
    const CHART_SAMPLES samples{&rows};
    const LINE_WALK<CHART_SAMPLES> walk{samples, steps, scale, strokes};
    const SEDQ_WAVE_SUMMARY::LOG_ROWS& log = *rows.log;
    const auto invalid = [&log](int k) { return log.invalid_word(k); };
    int first = steps.begin;
    for (int column = steps.x(steps.begin); first < steps.end; ++column)
    {
        const int next = steps.first_at_or_after(column + 1);
        const int last = std::min(next, steps.end) - 1;
        int low = 0;
        int high = 0;
        if (first <= last && !log.invalid_levels.any(invalid, first, last) && rows.range(first, last, &low, &high))
        {
            walk.join_to(first);
            strokes->add_column(0, column, scale.y(high) - 1, scale.y(low) + 1);
        }
        else
            for (int i = first; i <= last; ++i)
                if (samples.valid(i))
                    walk.sample(i);
        first = next;
    }
    walk.leave();
}

template <class SAMPLES>
void walk_chart(int type, const SAMPLES& samples, const SEDQ_SAMPLE_STEPS& steps, const CHART_SCALE& scale,
                SEDQ_WAVE_STROKES* strokes)
{
    if (is_line_chart(type))
        walk_lines(samples, steps, scale, strokes);
    else
        walk_bars(samples, steps, scale, strokes);
}
} // namespace

// The chart of `rows` (the log's summary) or of `bus` and `mask` (window buffers).
bool SEDQ_VIEW::draw_chart(int type, SEDQ_WAVE_SUMMARY::CHART_ROWS const* rows, SEDQ_BUS const* bus, bool* mask,
                           int width, bool selected, QRect const& rect, QPainter* painter)
{
    const QRect area(QPoint(rect.left(), rect.top() + 2), QPoint(rect.right() - 1, rect.bottom() - 2));
    if (area.right() - area.left() < 2 || (rows == nullptr && (bus == nullptr || mask == nullptr)))
        return false;
    const SEDQ_SAMPLE_STEPS steps = window_steps(rect);
    const CHART_SCALE scale = scale_of(area, width, is_signed_chart(type));
    const QColor colour = selected && view_has_focus() ? AFCQ_PEN(AFCQ_PEN_SELECTED_VALUE).get_pen().color()
                                                       : AFCQ_COLOR(AFCQ_COLOR_BUS_VALUE).get_color();
    m_strokes.reset(colour, AFCQ_COLOR(AFCQ_COLOR_CELL_OUTLINE).get_color());
    if (rows != nullptr && steps.step <= 0.5)
    {
        if (is_line_chart(type))
            walk_line_columns(*rows, steps, scale, &m_strokes);
        else
            walk_bar_columns(*rows, steps, scale, &m_strokes);
    }
    else if (rows != nullptr)
        walk_chart(type, CHART_SAMPLES{rows}, steps, scale, &m_strokes);
    else
        walk_chart(type, CHART_BUFFER_SAMPLES{bus, mask, steps.begin - 1, scale.is_signed}, steps, scale, &m_strokes);
    if (scale.is_signed)
        m_strokes.add_row(1, scale.zero_y, area.left(), area.right());
    m_strokes.draw(painter);
    return true;
}

bool SEDQ_VIEW::draw_bar_chart(int, SEDQ_BUS const& bus, bool* mask, int width, bool selected, QRect const& rect,
                               QPainter* painter)
{
    return draw_chart(BAR, nullptr, &bus, mask, width, selected, rect, painter);
}

bool SEDQ_VIEW::draw_line_chart(int, SEDQ_BUS const& bus, bool* mask, int width, bool selected, QRect const& rect,
                                QPainter* painter)
{
    return draw_chart(LINE, nullptr, &bus, mask, width, selected, rect, painter);
}

bool SEDQ_VIEW::draw_signed_bar_chart(int, SEDQ_BUS const& bus, bool* mask, int width, bool selected,
                                      QRect const& rect, QPainter* painter)
{
    return draw_chart(SIGNED_BAR, nullptr, &bus, mask, width, selected, rect, painter);
}

bool SEDQ_VIEW::draw_signed_line_chart(int, SEDQ_BUS const& bus, bool* mask, int width, bool selected,
                                       QRect const& rect, QPainter* painter)
{
    return draw_chart(SIGNED_LINE, nullptr, &bus, mask, width, selected, rect, painter);
}
