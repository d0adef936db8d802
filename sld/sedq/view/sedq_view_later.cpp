// SEDQ_VIEW: the commands, menu rules and input handlers of the view that are not built yet.
// Each body here is a deliberate no-op (or answers "not possible", which keeps its host action
// disabled), so that no menu entry, button or key reaches unfinished code; the change that
// builds a command moves its body into the source of its concern.
#include "sedq/view/sedq_view.h"

#include <QEvent>

// ---- input: mouse, keys, drag and drop -----------------------------------------------------------

bool SEDQ_VIEW::event(QEvent* event)
{
    // Tooltips are built with the input handling.
    return QWidget::event(event);
}

void SEDQ_VIEW::mousePressEvent(QMouseEvent* event)
{
    QWidget::mousePressEvent(event);
}

void SEDQ_VIEW::mouseReleaseEvent(QMouseEvent* event)
{
    QWidget::mouseReleaseEvent(event);
}

void SEDQ_VIEW::mouseDoubleClickEvent(QMouseEvent* event)
{
    QWidget::mouseDoubleClickEvent(event);
}

void SEDQ_VIEW::mouseMoveEvent(QMouseEvent* event)
{
    QWidget::mouseMoveEvent(event);
}

void SEDQ_VIEW::wheelEvent(QWheelEvent* event)
{
    QWidget::wheelEvent(event);
}

void SEDQ_VIEW::keyPressEvent(QKeyEvent* event)
{
    QWidget::keyPressEvent(event);
}

void SEDQ_VIEW::dragEnterEvent(QDragEnterEvent* event)
{
    QWidget::dragEnterEvent(event);
}

void SEDQ_VIEW::dragMoveEvent(QDragMoveEvent* event)
{
    QWidget::dragMoveEvent(event);
}

void SEDQ_VIEW::dragLeaveEvent(QDragLeaveEvent* event)
{
    QWidget::dragLeaveEvent(event);
}

void SEDQ_VIEW::dropEvent(QDropEvent* event)
{
    QWidget::dropEvent(event);
}

void SEDQ_VIEW::on_drag_scroll()
{
    // Scrolling while dragging nodes is built with the input handling.
}

// ---- selection commands and their menu rules -----------------------------------------------------

void SEDQ_VIEW::on_node_set_alias()
{
    // The selection commands are built with the node commands.
}

void SEDQ_VIEW::on_node_rename()
{
    // The selection commands are built with the node commands.
}

