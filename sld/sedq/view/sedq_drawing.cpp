// Drawing helpers shared by the node table and the trigger canvas.
#include "sedq/view/sedq_drawing.h"

#include <QPalette>
#include <QVector>

QPen sedq_get_dotted_pen()
{
    const QPalette palette;
    QPen pen(palette.brush(palette.currentColorGroup(), QPalette::Dark), 1.0, Qt::CustomDashLine,
             Qt::SquareCap, Qt::BevelJoin);
    pen.setDashPattern(QVector<qreal>{1, 1});
    return pen;
}
