// SEDQ_VIEW: the printed waveform cells — the time or segment ruler of the header, one-bit
// waves, bus bands with their values, and the marks of the data's start, end and trigger.
// A page shows samples [first, end); x advances by a whole number of units per sample.
#include "sedq/view/sedq_view.h"
#include "sedq/view/sedq_drawing.h"

#include "host/afcq.h"
#include "sedq/model/sedq_bus.h"
#include "sedq/model/sedq_number.h"
#include "sedq/model/sedq_tx_manager.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace
{

void vertical(QPainter* painter, int x, int top, int bottom)
{
    painter->drawLine(x, top, x, bottom);
}

// The marks shared by waves and buses: the start of the data on the first window, a dotted line
// at the trigger, the end of the data on the last window.
struct MARKS
{
    int first;
    int end;
    int depth;
    int trigger;
    double pixels_per_sample;

    int x_of(QRect const& r, int sample) const
    {
        return r.left() + int((sample - first) * pixels_per_sample);
    }

    void draw_start_and_trigger(QRect const& r, QPainter* painter) const
    {
        painter->setPen(QPen(Qt::black, 1));
        if (first == 0)
        {
            vertical(painter, r.left(), r.top() - 1, r.bottom() + 1);
            vertical(painter, r.left() - 1, r.top() - 1, r.bottom() + 1);
        }
        if (trigger >= first && trigger <= end)
        {
            painter->setPen(QPen(Qt::black, 1, Qt::DotLine));
            vertical(painter, x_of(r, trigger), r.top(), r.bottom() + 1);
        }
    }

    void draw_end(QRect const& r, QPainter* painter) const
    {
        if (end != depth)
            return;
        const int x = x_of(r, end);
        painter->setPen(QPen(Qt::black, 1));
        vertical(painter, x, r.top() - 1, r.bottom() + 1);
        vertical(painter, x + 1, r.top() - 1, r.bottom() + 1);
    }
};

QString bus_text(SEDQ_TX_MANAGER* tx, int node, SEDQ_BUS const& bus, int sample)
{
    char const* text = nullptr;
    SEDQ_NUMBER(bus, sample).get_string(tx, node, &text, true, true, nullptr, -1);
    return QString::fromLatin1(text != nullptr ? text : "");
}

// The value's text between two crossings of the band, when it fits there.
void draw_band_text(QPainter* painter, QString const& text, int left, int right, int top, int bottom)
{
    const int width = painter->fontMetrics().horizontalAdvance(text);
    if (text.isEmpty() || width + 2 > right - left)
        return;
    painter->drawText(sedq_inclusive(left, top, right, bottom), Qt::AlignCenter, text);
}
} // namespace

int SEDQ_VIEW::get_print_marker_width(QPainter* painter, QRect rect, int first_sample, int end_sample)
{
    if (end_sample <= first_sample)
        return 0;
    const int pixels_per_sample = (rect.right() - rect.left() - 4) / (end_sample - first_sample);
    if (pixels_per_sample <= 0)
        return 0;
    QString text;
    get_time_units_string(&text, end_sample, false, false);
    const int width = int((painter->fontMetrics().horizontalAdvance(text + QLatin1Char('M')) + 2) * 1.5);
    int step = (width + pixels_per_sample - 1) / pixels_per_sample;
    if (step > 1)
    {
        int power = 1;
        while (power < step)
            power <<= 1;
        step = power;
    }
    return step;
}

// Labels sit centred over their tick, pushed inside the cell; the ruler stops at a label wider
// than the cell. A segment ruler ticks only the segment starts.
bool SEDQ_VIEW::print_wave_header(QRect rect, QPainter* painter, int first_sample, int end_sample,
                                  bool segment_ruler)
{
    int depth = 0;
    m_tx_manager->get_data_sample_depth(&depth, SEDQ_CURRENT);
    const QRect area = sedq_inclusive(rect.left(), rect.top(), rect.right() - 1, rect.bottom() - 1);
    if (depth <= 0 || area.right() - area.left() <= 1 || end_sample <= first_sample)
        return false;
    const int step = std::max(get_print_marker_width(painter, rect, first_sample, end_sample), 1);
    int trigger = 0;
    m_tx_manager->get_trigger_position(&trigger, SEDQ_CURRENT);
    const int segment = std::max(m_tx_manager->get_segment_size(), 1);
    const int advance = (area.right() - area.left()) / (end_sample - first_sample);
    painter->save();
    painter->setPen(QPen(Qt::black, 1));
    const QFontMetrics metrics = painter->fontMetrics();
    int x = area.left();
    for (int sample = first_sample; sample <= end_sample; ++sample, x += advance)
    {
        const bool ticked = !segment_ruler || (sample - trigger) % segment == 0;
        if (!ticked && sample != first_sample)
            continue;
        int tick = step >= 2 && sample % (step / 2) == 0 ? 3 : 2;
        if (sample % step == 0)
        {
            QString label;
            get_time_units_string(&label, sample - trigger, false, segment_ruler);
            const int width = metrics.boundingRect(label).width();
            if (width > area.width())
                break;
            QRect box(x + int(-(width + 2) * 0.5), area.top(), width + 1, metrics.height());
            if (box.right() > area.right())
                box.moveRight(area.right() + 2);
            if (box.left() < area.left())
                box.moveLeft(area.left() + 1);
            painter->drawText(box.intersected(area).translated(0, -1), Qt::AlignCenter, label);
            tick = 5;
        }
        if (ticked)
            vertical(painter, x, area.bottom(), area.bottom() - tick);
    }
    painter->restore();
    return true;
}

// High runs in AFCQ_PEN_WAVE_HIGH, low runs and edges in AFCQ_PEN_WAVE_LOW; the window starts
// at the level of the sample before it and ends with an edge to the level of the sample after it.
bool SEDQ_VIEW::print_wave(bool* samples, QRect rect, QPainter* painter, int first_sample, int end_sample)
{
    int depth = 0;
    m_tx_manager->get_data_sample_depth(&depth, SEDQ_CURRENT);
    if (samples == nullptr || depth <= 0 || rect.right() - rect.left() <= 1 || end_sample <= first_sample)
        return false;
    end_sample = std::min(end_sample, depth);
    int trigger = 0;
    m_tx_manager->get_trigger_position(&trigger, SEDQ_CURRENT);
    const MARKS marks{first_sample, end_sample, depth, trigger,
                      double((rect.right() - rect.left()) / std::max(end_sample - first_sample, 1))};
    const int high_y = rect.top() + 1;
    const int low_y = rect.bottom() - 2;
    const QPen high_pen = AFCQ_PEN(AFCQ_PEN_WAVE_HIGH).get_pen();
    const QPen low_pen = AFCQ_PEN(AFCQ_PEN_WAVE_LOW).get_pen();
    painter->save();
    marks.draw_start_and_trigger(rect, painter);
    bool level = samples[first_sample > 0 ? first_sample - 1 : 0];
    int run_start = rect.left() + 1;
    const auto draw_run = [&](int to)
    {
        painter->setPen(level ? high_pen : low_pen);
        painter->drawLine(run_start, level ? high_y : low_y, to, level ? high_y : low_y);
    };
    for (int sample = first_sample; sample < end_sample; ++sample)
    {
        if (samples[sample] == level)
            continue;
        const int x = std::max(marks.x_of(rect, sample), rect.left() + 1);
        draw_run(x);
        painter->setPen(low_pen);
        vertical(painter, x, high_y, low_y);
        level = samples[sample];
        run_start = x;
    }
    const int last_x = marks.x_of(rect, end_sample);
    if (end_sample == depth || samples[end_sample] == level)
        draw_run(last_x + 1);
    else
    {
        draw_run(last_x);
        painter->setPen(low_pen);
        vertical(painter, last_x, level ? high_y : low_y,
                 samples[end_sample] ? rect.top() : rect.bottom() - 1);
    }
    marks.draw_end(rect, painter);
    painter->restore();
    return true;
}

// A band between two lines, crossed by an X at each change of value, with the value written
// between the crossings where it fits. The first window has no value before it and opens
// without "<".
bool SEDQ_VIEW::print_bus(int node, SEDQ_BUS const& bus, int members, QRect rect, QPainter* painter,
                          int first_sample, int end_sample)
{
    int depth = 0;
    m_tx_manager->get_data_sample_depth(&depth, SEDQ_CURRENT);
    if (members <= 0 || depth <= 0 || rect.right() - rect.left() <= 1 || end_sample <= first_sample)
        return false;
    end_sample = std::min({end_sample, depth, bus.get_depth()});
    if (end_sample <= first_sample)
        return false;
    int trigger = 0;
    m_tx_manager->get_trigger_position(&trigger, SEDQ_CURRENT);
    const int pixels_per_sample = (rect.right() - rect.left()) / (end_sample - first_sample);
    const MARKS marks{first_sample, end_sample, depth, trigger, double(pixels_per_sample)};
    const int y1 = rect.top() + 1;
    const int y2 = rect.bottom() - 2;
    const int ym = (y2 - y1) / 2 + y1;
    const int e = std::min(6, pixels_per_sample);
    const int h = e / 2;
    painter->save();
    marks.draw_start_and_trigger(rect, painter);
    painter->setPen(QPen(AFCQ_COLOR(AFCQ_COLOR_BUS_VALUE).get_color(), 1));
    int segment_start = rect.left() + 1;
    if (first_sample > 0 && SEDQ_NUMBER(bus, first_sample) != SEDQ_NUMBER(bus, first_sample - 1))
    {
        const int x = segment_start;
        painter->drawPolyline(QPolygon({QPoint(x + h, y2), QPoint(x, ym), QPoint(x + h, y1)}));
        segment_start = x + h;
    }
    int text_start = segment_start;
    for (int sample = first_sample + 1; sample < end_sample; ++sample)
    {
        if (SEDQ_NUMBER(bus, sample) == SEDQ_NUMBER(bus, sample - 1))
            continue;
        const int x = marks.x_of(rect, sample);
        painter->drawLine(segment_start, y1, x - h, y1);
        painter->drawLine(segment_start, y2, x - h, y2);
        painter->drawLine(x - h, y1, x - h + e, y2);
        painter->drawLine(x - h, y2, x - h + e, y1);
        draw_band_text(painter, bus_text(m_tx_manager, node, bus, sample - 1), text_start, x, rect.top() + 2,
                       y2);
        segment_start = x - h + e;
        text_start = x;
    }
    const int last_x = marks.x_of(rect, end_sample);
    if (end_sample == depth || SEDQ_NUMBER(bus, end_sample) == SEDQ_NUMBER(bus, end_sample - 1))
    {
        painter->drawLine(segment_start, y1, last_x + 1, y1);
        painter->drawLine(segment_start, y2, last_x + 1, y2);
    }
    else
    {
        painter->drawLine(segment_start, y1, last_x - h, y1);
        painter->drawLine(segment_start, y2, last_x - h, y2);
        painter->drawPolyline(QPolygon({QPoint(last_x - h, y1), QPoint(last_x, ym), QPoint(last_x - h, y2)}));
    }
    draw_band_text(painter, bus_text(m_tx_manager, node, bus, end_sample - 1), text_start, last_x,
                   rect.top() + 2, y2);
    marks.draw_end(rect, painter);
    painter->restore();
    return true;
}
