#pragma once
// The mouse wheel as the window system turns it over a widget.

#include <QApplication>
#include <QWheelEvent>
#include <QWidget>
#include <QtTest/qtestspontaneevent.h>

namespace sedq_test
{
// Notches of the wheel over the middle of `widget` (positive: down), delivered spontaneous as
// the window system delivers them, so that Qt hands a refused turn on to the parents.
inline void turn_wheel(QWidget* widget, int notches)
{
    const QPoint at = widget->rect().center();
    QWheelEvent wheel(at, widget->mapToGlobal(at), QPoint(), QPoint(0, -120 * notches), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QSpontaneKeyEvent::setSpontaneous(&wheel);
    QApplication::instance()->notify(widget, &wheel);
}
} // namespace sedq_test
