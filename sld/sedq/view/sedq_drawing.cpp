// Drawing helpers shared by the node table and the trigger canvas.
#include "sedq/view/sedq_drawing.h"

#include <QFontMetrics>
#include <QLine>
#include <QPainter>
#include <QPalette>
#include <QVector>
#include <qdrawutil.h>

void sedq_line_to(QPainter* painter, QLine* pen_position, QPoint const& to)
{
    pen_position->setP2(to);
    painter->drawLine(*pen_position);
    pen_position->setP1(to);
}

void sedq_line_to(QPainter* painter, QLine* pen_position, int x, int y)
{
    sedq_line_to(painter, pen_position, QPoint(x, y));
}

void sedq_deflate_rect(QRect* rect, int dx, int dy)
{
    rect->adjust(dx, dy, -dx, -dy);
}

void sedq_inflate_rect(QRect* rect, int dx, int dy)
{
    rect->adjust(-dx, -dy, dx, dy);
}

// Only as much of the text is measured as the rectangle could show: a start of it that is
// wider than the rectangle, by more than any glyph could reach back, decides that it does not
// fit. A wide bus's value has a thousand digits, and shaping all of them for every sample on
// screen is otherwise what a zoomed-in view of it costs.
bool sedq_text_fits(QFontMetrics const& metrics, int width, QString const& text)
{
    // Qt shapes the whole string even to measure the start of it: the start is measured alone.
    const int overhang = metrics.maxWidth();
    for (int length = 16; length < text.size(); length *= 2)
        if (metrics.horizontalAdvance(text.left(length)) > width + overhang)
            return false;
    return width >= metrics.boundingRect(text).width();
}

void sedq_draw_text_if_it_fits(QPainter* painter, QRect const& rect, int flags, QString const& text)
{
    if (sedq_text_fits(painter->fontMetrics(), rect.width(), text))
        painter->drawText(rect, flags, text);
}

QRect sedq_get_text_rect(QPainter* painter, QRect const& bounds, QString const& text, int x_center)
{
    const QRect text_bounds = painter->fontMetrics().boundingRect(text);
    const int width = text_bounds.right() + 2 - text_bounds.left();
    QRect rect(QPoint(x_center - width / 2, bounds.top()),
               QPoint(x_center - width / 2 + width, bounds.bottom()));
    if (rect.right() > bounds.right())
        rect.moveRight(bounds.right());
    else if (rect.left() < bounds.left())
        rect.moveLeft(bounds.left());
    return rect.intersected(bounds);
}

void sedq_draw_plain_frame(QPainter* painter, QRect const& rect, QColor const& colour)
{
    if (rect.width() <= 0 || rect.height() <= 0)
        return;
    const int left = rect.left();
    const int top = rect.top();
    const int right = rect.right();
    const int bottom = rect.bottom();
    painter->fillRect(QRect(QPoint(left, top), QPoint(right, top)), colour);
    painter->fillRect(QRect(QPoint(left, bottom), QPoint(right, bottom)), colour);
    painter->fillRect(QRect(QPoint(left, top), QPoint(left, bottom)), colour);
    painter->fillRect(QRect(QPoint(right, top), QPoint(right, bottom)), colour);
}

// The top and left edges in one shade, the bottom and right edges in the other, the inside
// filled: what remains of the style's shade rectangle once its fill is drawn over it.
void sedq_draw_shade_frame(QPainter* painter, QRect const& rect, QPalette const& palette, bool sunken,
                           QBrush const& fill)
{
    // The style's lines run backwards out of a rectangle this small: let it draw those itself.
    if (rect.width() < 4 || rect.height() < 4)
        return qDrawShadeRect(painter, rect, palette, sunken, 1, 0, &fill);
    const QColor first = sunken ? palette.dark().color() : palette.light().color();
    const QColor second = sunken ? palette.light().color() : palette.dark().color();
    const int left = rect.left();
    const int top = rect.top();
    const int right = rect.right();
    const int bottom = rect.bottom();
    painter->fillRect(QRect(QPoint(left, top), QPoint(right - 1, top)), first);
    painter->fillRect(QRect(QPoint(left, top), QPoint(left, bottom - 1)), first);
    painter->fillRect(QRect(QPoint(left, bottom), QPoint(right, bottom)), second);
    painter->fillRect(QRect(QPoint(right, top), QPoint(right, bottom - 1)), second);
    painter->fillRect(rect.adjusted(1, 1, -1, -1), fill);
}

void sedq_set_bold(QPainter* painter, bool bold)
{
    QFont font = painter->font();
    font.setWeight(bold ? 75 : 50);
    painter->setFont(font);
}

QPen sedq_get_dotted_pen()
{
    const QPalette palette;
    QPen pen(palette.brush(palette.currentColorGroup(), QPalette::Dark), 1.0, Qt::CustomDashLine,
             Qt::SquareCap, Qt::BevelJoin);
    pen.setDashPattern(QVector<qreal>{1, 1});
    return pen;
}
