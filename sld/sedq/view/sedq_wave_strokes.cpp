// SEDQ_SAMPLE_STEPS and SEDQ_WAVE_STROKES: sample positions of a data cell and its strokes.
#include "sedq/view/sedq_wave_strokes.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

int SEDQ_SAMPLE_STEPS::first_at_or_after(int at) const
{
    if (at <= x(begin))
        return begin;
    if (step <= 0.0)
        return end + 1;
    // The estimate from the step is off by a sample at most either way; x() decides.
    long guess = begin + long(std::ceil((at - left) / step));
    int sample = int(std::clamp(guess, long(begin) + 1, long(end) + 1));
    while (sample > begin + 1 && x(sample - 1) >= at)
        --sample;
    while (sample <= end && x(sample) < at)
        ++sample;
    return sample;
}

void SEDQ_WAVE_STROKES::reset(QColor first, QColor second)
{
    const QColor colours[PENS] = {first, second};
    for (int pen = 0; pen < PENS; ++pen)
    {
        m_pens[pen].colour = colours[pen];
        m_pens[pen].rects.clear();
        m_pens[pen].lines.clear();
        m_pens[pen].open_rows.clear();
        m_pens[pen].last_column = -1;
    }
}

void SEDQ_WAVE_STROKES::add_row(int pen, int y, int x0, int x1)
{
    PEN& p = m_pens[pen];
    if (x0 > x1)
        std::swap(x0, x1);
    auto open = std::find_if(p.open_rows.begin(), p.open_rows.end(),
                             [y](const std::pair<int, size_t>& row) { return row.first == y; });
    if (open != p.open_rows.end())
    {
        QRect& last = p.rects[open->second];
        if (x0 >= last.left() && x0 <= last.right() + 1)
        {
            last.setRight(std::max(last.right(), x1));
            return;
        }
    }
    p.rects.push_back(QRect(QPoint(x0, y), QPoint(x1, y)));
    if (open != p.open_rows.end())
        open->second = p.rects.size() - 1;
    else
        p.open_rows.emplace_back(y, p.rects.size() - 1);
}

void SEDQ_WAVE_STROKES::add_column(int pen, int x, int y0, int y1)
{
    PEN& p = m_pens[pen];
    if (y0 > y1)
        std::swap(y0, y1);
    if (p.last_column >= 0)
    {
        QRect& last = p.rects[size_t(p.last_column)];
        if (last.top() == y0 && last.bottom() == y1 && x >= last.left() && x <= last.right() + 1)
        {
            last.setRight(std::max(last.right(), x));
            return;
        }
    }
    p.rects.push_back(QRect(QPoint(x, y0), QPoint(x, y1)));
    p.last_column = long(p.rects.size() - 1);
}

void SEDQ_WAVE_STROKES::add_line(int pen, int x0, int y0, int x1, int y1)
{
    if (y0 == y1)
        add_row(pen, y0, x0, x1);
    else if (x0 == x1)
        add_column(pen, x0, y0, y1);
    else
        m_pens[pen].lines.emplace_back(x0, y0, x1, y1);
}

void SEDQ_WAVE_STROKES::draw(QPainter* painter)
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    for (PEN& p : m_pens)
    {
        if (!p.rects.empty())
        {
            painter->setPen(Qt::NoPen);
            painter->setBrush(p.colour);
            painter->drawRects(p.rects.data(), int(p.rects.size()));
        }
        if (!p.lines.empty())
        {
            painter->setPen(QPen(p.colour, 1.0, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
            painter->setBrush(Qt::NoBrush);
            painter->drawLines(p.lines.data(), int(p.lines.size()));
        }
    }
    painter->restore();
}
