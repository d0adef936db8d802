// Application-framework stand-in: generated icons, one picture per id.
#include "host/afcq.h"

#include <QFont>
#include <QPainter>
#include <QPixmap>

namespace
{
// Hues spread by the golden angle so that neighbouring ids look different; soft colours so
// that a window full of them stays readable.
QColor icon_colour(int id)
{
    const int hue = static_cast<int>((static_cast<unsigned>(id) * 137u) % 360u);
    return QColor::fromHsv(hue, 110, 215);
}

QPixmap draw_icon(int id, int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor colour = icon_colour(id);
    painter.setPen(colour.darker(160));
    painter.setBrush(colour);
    painter.drawRoundedRect(QRectF(0.5, 0.5, size - 1.0, size - 1.0), size / 5.0, size / 5.0);
    QFont font(QStringLiteral("Sans Serif"));
    font.setPixelSize(size * 7 / 16);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(colour.darker(260));
    painter.drawText(pixmap.rect(), Qt::AlignCenter, QString::number(id % 1000));
    return pixmap;
}
} // namespace

QIcon afcq_get_icon(AFCQ_ICON_ENUM id)
{
    QIcon icon;
    for (int size : {16, 24, 32})
        icon.addPixmap(draw_icon(id, size));
    return icon;
}
