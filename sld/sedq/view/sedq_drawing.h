#pragma once
// Drawing helpers of the node table and the trigger canvas. Rectangles are QRects with
// inclusive corners: (left, top) to (right, bottom).

#include <QPen>
#include <QPoint>
#include <QRect>

class QFontMetrics;
class QLine;
class QPalette;
class QPainter;
class QString;

// The rectangle from (left, top) to (right, bottom), both corners inside.
inline QRect sedq_inclusive(int left, int top, int right, int bottom)
{
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

// Draws from the pen position (the line's first point) to the target, which then becomes the
// pen position. Callers start a path by setting the first point themselves.
void sedq_line_to(QPainter* painter, QLine* pen_position, QPoint const& to);
void sedq_line_to(QPainter* painter, QLine* pen_position, int x, int y);

// Moves left and top in by dx and dy, right and bottom in by the same; inflate moves them out.
void sedq_deflate_rect(QRect* rect, int dx, int dy);
void sedq_inflate_rect(QRect* rect, int dx, int dy);

// Whether a rectangle `width` wide holds the text in that font; costs as much as the part of the
// text such a rectangle could show, however long the text.
bool sedq_text_fits(QFontMetrics const& metrics, int width, QString const& text);
// Draws the text only when the rectangle is at least as wide as the text in the painter's font.
void sedq_draw_text_if_it_fits(QPainter* painter, QRect const& rect, int flags, QString const& text);

// The rectangle of the text centred on x_center, two pixels wider than the text, kept inside
// `bounds` (shifted left when it would pass the right edge, else right when it would pass the
// left one) and cut to it; top and bottom are those of `bounds`.
QRect sedq_get_text_rect(QPainter* painter, QRect const& bounds, QString const& text, int x_center);

// One-pixel frames drawn as filled lines, pixel for pixel what qDrawPlainRect (line width 1, no
// fill) and qDrawShadeRect (line width 1, no mid line) draw, without the line stroker, which
// costs a node table of frames many times its filled rectangles.
void sedq_draw_plain_frame(QPainter* painter, QRect const& rect, QColor const& colour);
void sedq_draw_shade_frame(QPainter* painter, QRect const& rect, QPalette const& palette, bool sunken,
                           QBrush const& fill);

// Sets the painter's font bold (weight 75) or normal (weight 50).
void sedq_set_bold(QPainter* painter, bool bold);

// A one-pixel dotted pen (dash pattern 1, 1) in the default palette's Dark colour of the
// current colour group, square caps, bevel joins.
QPen sedq_get_dotted_pen();
