// SEDQ_OBJECT_WIDGET: what the canvas answers a drag over it, the scrolling while a drag
// nears an edge, and the drop. The rules are sedq_canvas_drop_rule's; this file reads the
// canvas and the event for them and applies the answer.
#include "sedq/advanced_trigger/sedq_object_widget.h"

#include "host/afcq_drag.h"
#include "sedq/advanced_trigger/sedq_canvas_drop_rule.h"
#include "sedq/advanced_trigger/sedq_object.h"
#include "sedq/frame/sedq_frame_wnd.h"
#include "sedq/model/sedq_lock_mode.h"
#include "sedq/model/sedq_tx_manager.h"

#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QScrollBar>
#include <QTreeView>

// What the rule answers the drag or drop at the event's position; `target` gets the object there.
SEDQ_DROP_ANSWER SEDQ_OBJECT_WIDGET::drop_answer(QDropEvent* event, SEDQ_OBJECT** target)
{
    QPoint point = event->pos();
    client_to_zoom(&point);
    *target = m_object_list != nullptr ? hit_test(point) : nullptr;
    SEDQ_DROP_STATE state;
    state.proposed = event->proposedAction();
    state.source = sedq_drag_source(event->mimeData(), afcq_drop_source(event), this, SEDQ_FRAME_WND::of(m_tx));
    state.disabled = is_disabled() || m_object_list == nullptr;
    state.locked = m_tx->get_lock_mode(false) != SEDQ_LOCK_MODE_ALLOW_ALL || is_powerup_trigger();
    state.has_target = *target != nullptr;
    state.target_free = *target != nullptr && has_free_input(**target);
    state.moving = m_moving;
    state.ctrl = (event->keyboardModifiers() & Qt::ControlModifier) != 0;
    state.target_stays = *target != nullptr && m_drag_remainder != nullptr && hit_test(point, m_drag_remainder);
    return sedq_drop_answer(state);
}

// Selects the object under the drag (or nothing) as the answer says, and sets the action.
void SEDQ_OBJECT_WIDGET::answer_drag(QDragMoveEvent* event)
{
    SEDQ_OBJECT* target = nullptr;
    const SEDQ_DROP_ANSWER answer = drop_answer(event, &target);
    select(answer.select_target ? target : nullptr);
    update_picture();
    event->setDropAction(answer.action);
    if (answer.action == Qt::IgnoreAction)
        event->ignore();
    else
        event->accept();
}

void SEDQ_OBJECT_WIDGET::dragEnterEvent(QDragEnterEvent* event)
{
    answer_drag(event);
}

// The area is measured in widget pixels, like the event position: the drawing below the title
// band and the listing, less the bars on show.
void SEDQ_OBJECT_WIDGET::dragMoveEvent(QDragMoveEvent* event)
{
    answer_drag(event);
    SEDQ_DRAG_VIEW view;
    view.size = size();
    view.drawing_top = get_header_height();
    view.vertical_bar_width = m_vscroll->isVisible() ? m_vscroll->width() : 0;
    view.horizontal_bar_height = m_hscroll->isVisible() ? m_hscroll->height() : 0;
    view.can_scroll_up = m_vscroll->value() > m_vscroll->minimum();
    view.can_scroll_down = m_vscroll->value() < m_vscroll->maximum();
    view.can_scroll_left = m_hscroll->value() > m_hscroll->minimum();
    view.can_scroll_right = m_hscroll->value() < m_hscroll->maximum();
    const SEDQ_DRAG_SCROLL scroll = sedq_drag_scroll(event->pos(), view);
    if (!scroll.inside)
    {
        event->setDropAction(Qt::IgnoreAction);
        event->ignore();
        return;
    }
    if (scroll.dy != 0)
        m_vscroll->setValue(m_vscroll->value() + scroll.dy);
    if (scroll.dx != 0)
        m_hscroll->setValue(m_hscroll->value() + scroll.dx);
}

// The drop is answered by the same rule as the moves before it: a drop the rule refuses (which
// the application would not deliver, but a constructed event may) changes nothing.
void SEDQ_OBJECT_WIDGET::dropEvent(QDropEvent* event)
{
    SEDQ_OBJECT* target = nullptr;
    if (drop_answer(event, &target).action == Qt::IgnoreAction)
    {
        event->setDropAction(Qt::IgnoreAction);
        event->ignore();
        return;
    }
    QObject* source = afcq_drop_source(event);
    const SEDQ_DRAG_SOURCE kind = sedq_drag_source(event->mimeData(), source, this, SEDQ_FRAME_WND::of(m_tx));
    m_moving = false;
    setFocus();
    if (kind == SEDQ_DRAG_SOURCE::NODE_VIEW)
    {
        free_array(&m_clipboard);
        clone_node_tree(&m_clipboard);
    }
    else if (kind == SEDQ_DRAG_SOURCE::PALETTE)
    {
        free_array(&m_clipboard);
        clone_operator_tree(&m_clipboard, qobject_cast<const QTreeView*>(source));
    }
    else if (event->proposedAction() != Qt::CopyAction && (event->keyboardModifiers() & Qt::ShiftModifier) != 0)
        take_dragged_objects_out();
    QPoint point = event->pos();
    client_to_zoom(&point);
    paste(&point);
    event->setDropAction(event->proposedAction());
    event->accept();
}

// A move: the scene becomes the copy made without the dragged objects when the drag began.
void SEDQ_OBJECT_WIDGET::take_dragged_objects_out()
{
    if (m_drag_remainder == nullptr || m_object_list == nullptr)
        return;
    m_error_object = nullptr;
    free_array(m_object_list);
    clone_array(m_object_list, *m_drag_remainder, nullptr);
    free_drag_remainder();
}

void SEDQ_OBJECT_WIDGET::free_drag_remainder()
{
    if (m_drag_remainder == nullptr)
        return;
    free_array(m_drag_remainder);
    delete m_drag_remainder;
    m_drag_remainder = nullptr;
}
