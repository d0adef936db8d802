// SEDQ_OBJECT_WIDGET: the mouse. A press starts one gesture, chosen by the cursor shape the
// cursor rule set over the object under the mouse: a rubber band, moving objects or whole
// trees, a connection drag from an output port, or a drag of the selection out of the canvas.
// The moves of a gesture edit the scene in place; its release tidies the connections, lays the
// scene out and takes one snapshot when anything changed.
#include "sedq/advanced_trigger/sedq_object_widget.h"

#include "host/afcq_drag.h"
#include "sedq/advanced_trigger/sedq_canvas_drop_rule.h"
#include "sedq/advanced_trigger/sedq_object.h"

#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollBar>

namespace
{
// How far beyond the band of its parent's inputs an input may be dragged before it comes loose.
constexpr int BAND_MARGIN = 20;
// The gaps the band counts between inputs, and between inputs being dragged.
constexpr int INPUT_GAP = 10;
constexpr int MARKED_GAP = 20;

Qt::CursorShape canvas_cursor()
{
    return static_cast<Qt::CursorShape>(SEDQ_OBJECT_WIDGET::m_object_widget_cursor);
}

// The input point of the parent that the object's position is judged against: the free one of
// two, or the middle.
int judged_port(const SEDQ_OBJECT& parent)
{
    if (SEDQ_OBJECT::DISPLAY_TYPES[parent.get_display_type()].input_count != 2)
        return SEDQ_OBJECT::MIDDLE_PORT;
    if (parent.get_property()[SEDQ_PROPERTY::FIRST_PORT_EMPTY] == 1)
        return SEDQ_OBJECT::LOWER_PORT;
    return parent.get_children().size() == 1 ? SEDQ_OBJECT::UPPER_PORT : SEDQ_OBJECT::MIDDLE_PORT;
}

// The height of the band of inputs an input stays attached within: the open inputs stacked,
// and room for the inputs being dragged to pass.
int input_band(const SEDQ_OBJECT& parent)
{
    QList<SEDQ_OBJECT*> inputs = parent.get_children();
    if (SEDQ_OBJECT::DISPLAY_TYPES[parent.get_display_type()].input_count == 2)
        inputs = inputs.mid(0, 2);
    int band = 0;
    int shown = 0;
    int marked = 0;
    for (const SEDQ_OBJECT* input : inputs)
    {
        if (parent.is_expanded())
            band += input->get_height() + (shown++ > 0 ? INPUT_GAP : 0);
        if (input->is_dragging())
            band += 2 * input->get_height() + (marked++ > 0 ? MARKED_GAP : 0);
    }
    return band;
}

bool within_band(const SEDQ_OBJECT& object, int tail_y, int band)
{
    const int top = object.get_property()[SEDQ_PROPERTY::TOP];
    return top <= tail_y + band / 2 + BAND_MARGIN && top + object.get_height() >= tail_y - band / 2 - BAND_MARGIN;
}
} // namespace

void SEDQ_OBJECT_WIDGET::mousePressEvent(QMouseEvent* event)
{
    m_last_press = event->pos();
    QPoint point = event->pos();
    client_to_zoom(&point);
    if (event->button() == Qt::RightButton)
    {
        press_right(point);
        return;
    }
    m_changed_by_gesture = false;
    if ((event->buttons() & Qt::MiddleButton) != 0 || (event->modifiers() & Qt::AltModifier) != 0)
    {
        setCursor(Qt::OpenHandCursor);
        m_object_widget_cursor = Qt::OpenHandCursor;
    }
    if (is_disabled() || m_object_list == nullptr)
        return;
    SEDQ_OBJECT* hit = hit_test(point);
    const Qt::CursorShape shape = canvas_cursor();
    if (hit != nullptr && shape == Qt::ArrowCursor)
    {
        QRect box;
        hit->get_expand_box(&box);
        if (box.contains(point))
            toggle_expansion(hit);
        else
            drag_selection_out(hit, point, event->modifiers());
        return;
    }
    for (SEDQ_OBJECT* object : *m_object_list)
        object->set_base_selection();
    m_rubber_band = QRect(point, point);
    if (hit == nullptr)
    {
        if ((event->modifiers() & Qt::ShiftModifier) == 0)
            select(nullptr);
        if (shape != Qt::OpenHandCursor)
            return;
    }
    else if (!hit->is_selected())
        select(hit);
    m_moving = true;
    mark_dragged_objects(hit, point, shape);
    update_picture();
}

// The context menu follows; it acts on the object under the mouse.
void SEDQ_OBJECT_WIDGET::press_right(QPoint point)
{
    setFocus(Qt::MouseFocusReason);
    if (m_object_list == nullptr)
        return;
    SEDQ_OBJECT* hit = hit_test(point);
    if (hit == nullptr || !hit->is_selected())
        select(hit);
    update_picture();
}

void SEDQ_OBJECT_WIDGET::toggle_expansion(SEDQ_OBJECT* object)
{
    object->get_property().set(SEDQ_PROPERTY::EXPANDED, object->is_expanded() ? 0 : 1);
    m_changed_by_gesture = true;
    resizeEvent(nullptr);
    update_picture();
}

// The dragged objects travel in the clipboard as a copy takes them: the selection with what its
// collapsed objects hide; the unselected inputs of an open object stay behind, as roots, when
// a move takes it. The drop runs inside the drag, on this canvas too, so the copy of the scene
// without them (which a move leaves) must exist before it starts.
void SEDQ_OBJECT_WIDGET::drag_selection_out(SEDQ_OBJECT* hit, QPoint point, Qt::KeyboardModifiers keys)
{
    if (!hit->is_selected())
    {
        if ((keys & (Qt::ShiftModifier | Qt::ControlModifier)) != 0)
            hit->select(true, false, false);
        else
            select(hit);
        update_picture();
    }
    free_drag_remainder();
    m_drag_remainder = new QList<SEDQ_OBJECT*>;
    clone_array(m_drag_remainder, *m_object_list, nullptr);
    delete_selected_objects(m_drag_remainder);
    copy(&point);
    m_moving = true;
    auto* data = new QMimeData;
    data->setData(QString(), QByteArray());
    auto* drag = new QDrag(this);
    drag->setMimeData(data);
    afcq_exec_drag(drag, Qt::CopyAction | Qt::MoveAction, Qt::CopyAction);
    m_moving = false;
    free_drag_remainder();
}

// With the open hand the trees of the selection move (every tree on empty canvas); with the
// size-all cursor the selected objects with their inputs; from an output port the selected
// objects are only marked, to be connected.
void SEDQ_OBJECT_WIDGET::mark_dragged_objects(SEDQ_OBJECT* hit, QPoint point, Qt::CursorShape shape)
{
    for (SEDQ_OBJECT* object : *m_object_list)
    {
        if (object->is_hidden())
            continue;
        if (shape == Qt::OpenHandCursor)
        {
            if (hit != nullptr && !object->is_selected())
                continue;
            object->get_root()->start_drag(point);
            object->drag(true);
        }
        else if (object->is_selected())
        {
            if (shape == Qt::SizeAllCursor)
                object->start_drag(point);
            else
                object->drag(true);
        }
    }
}

void SEDQ_OBJECT_WIDGET::mouseMoveEvent(QMouseEvent* event)
{
    if (m_object_list == nullptr)
        return;
    on_update_cursor(event);
    QPoint point = event->pos();
    client_to_zoom(&point);
    if (!is_disabled() && hasFocus() && (event->buttons() & (Qt::LeftButton | Qt::MiddleButton)) != 0)
    {
        auto_scroll(event->pos());
        if (!m_moving)
            stretch_rubber_band(point, event->modifiers());
        else if (canvas_cursor() == Qt::SizeAllCursor || canvas_cursor() == Qt::OpenHandCursor)
            move_marked_objects(point);
        else
            drag_connection(point);
        update_picture();
        resizeEvent(nullptr);
    }
    show_tooltip(point);
}

// One step of a bar towards the mouse outside the drawing; positions in widget pixels.
void SEDQ_OBJECT_WIDGET::auto_scroll(QPoint position)
{
    const int right = width() - 1 - (m_vscroll->isVisible() ? m_vscroll->width() : 0);
    const int bottom = height() - 1 - (m_hscroll->isVisible() ? m_hscroll->height() : 0);
    const int top = m_vscroll->geometry().top();
    const int step = m_hscroll->singleStep();
    if (position.y() > bottom && m_vscroll->value() < m_vscroll->maximum())
        m_vscroll->setValue(m_vscroll->value() + step);
    else if (position.y() < top && m_vscroll->value() > 0)
        m_vscroll->setValue(m_vscroll->value() - step);
    else if (position.x() > right && m_hscroll->value() < m_hscroll->maximum())
        m_hscroll->setValue(m_hscroll->value() + step);
    else if (position.x() < 0 && m_hscroll->value() > 0)
        m_hscroll->setValue(m_hscroll->value() - step);
}

// Shift adds the band's objects to the selection at the press, Ctrl inverts them there.
void SEDQ_OBJECT_WIDGET::stretch_rubber_band(QPoint point, Qt::KeyboardModifiers keys)
{
    m_rubber_band.setBottomRight(point);
    const QRect band = QRect(m_rubber_band.topLeft(), point).normalized();
    for (SEDQ_OBJECT* object : *m_object_list)
        object->select(band, (keys & Qt::ShiftModifier) != 0, (keys & Qt::ControlModifier) != 0);
}

// The marked objects follow the mouse; a moved tree snaps onto a free input it reaches, and an
// input pulled away from its parent comes loose.
void SEDQ_OBJECT_WIDGET::move_marked_objects(QPoint point)
{
    m_rubber_band.setBottomRight(point);
    // A root snaps only onto an object of the other mark. The dragged objects are few: a loose
    // root looks through them alone, so a move stays linear in the size of the scene.
    QList<SEDQ_OBJECT*> marked;
    for (SEDQ_OBJECT* object : *m_object_list)
        if (object->is_dragging())
            marked.append(object);
    for (SEDQ_OBJECT* object : *m_object_list)
    {
        if (object->is_dragging())
        {
            object->on_mouse_move(point);
            m_changed_by_gesture = true;
        }
        if (!is_unlocked())
            continue;
        if (object->is_root())
            snap_root(object, object->is_dragging() ? *m_object_list : marked);
        else if (object->get_parent()->is_dragging() != object->is_dragging())
            keep_or_detach(object);
    }
}

void SEDQ_OBJECT_WIDGET::snap_root(SEDQ_OBJECT* root, const QList<SEDQ_OBJECT*>& others)
{
    for (SEDQ_OBJECT* other : others)
    {
        if (other == root || other->is_dragging() == root->is_dragging() || !(*root == *other))
            continue;
        other->attach(root, true);
        if (root->get_parent() != other)
            continue;
        (root->is_dragging() ? other : root)->select(true, true, false);
        m_changed_by_gesture = true;
        return;
    }
}

void SEDQ_OBJECT_WIDGET::keep_or_detach(SEDQ_OBJECT* object)
{
    SEDQ_OBJECT* parent = object->get_parent();
    if (sedq_near_parent_input(parent->get_tail(SEDQ_OBJECT::MIDDLE_PORT), object->get_head()))
    {
        if (within_band(*object, parent->get_tail(judged_port(*parent)).y(), input_band(*parent)))
            return;
        parent->select(false, false, false);
    }
    else
        (object->is_dragging() ? parent : object)->select(false, false, false);
    object->detach(nullptr);
    m_changed_by_gesture = true;
}

// A drag from an output port: over a free object the marked objects become its inputs, sorted
// where the mouse is (and sorted again as the mouse moves over it, so the order at the release
// is the one the user sees); over empty canvas they come off their parents.
void SEDQ_OBJECT_WIDGET::drag_connection(QPoint point)
{
    SEDQ_OBJECT* under = hit_test(point);
    for (SEDQ_OBJECT* object : *m_object_list)
    {
        if (!object->is_dragging())
            continue;
        if (under == nullptr)
        {
            if (object->get_parent() == nullptr)
                continue;
            object->get_parent()->select(false, false, false);
            object->detach(nullptr);
            m_changed_by_gesture = true;
        }
        else if (object->get_parent() == under)
            attach_at(under, object, point.y());
        else if (!under->is_dragging() && has_free_input(*under) && !object->is_descendent(under))
        {
            attach_at(under, object, point.y());
            under->select(true, true, false);
            m_changed_by_gesture = true;
        }
    }
}

// The object takes its place among the parent's inputs as if it stood at the mouse's height.
void SEDQ_OBJECT_WIDGET::attach_at(SEDQ_OBJECT* parent, SEDQ_OBJECT* object, int y)
{
    const QList<SEDQ_OBJECT*> order = parent->get_children();
    const int top = object->get_property()[SEDQ_PROPERTY::TOP];
    object->get_property().set(SEDQ_PROPERTY::TOP, y - object->get_height() / 2);
    if (object->get_parent() == parent)
        parent->detach(object);
    parent->attach(object, true);
    object->get_property().set(SEDQ_PROPERTY::TOP, top);
    if (parent->get_children() == order)
        return;
    m_changed_by_gesture = true;
    // The order of inputs is part of what the condition means; the paint checks it again.
    SEDQ_PROPERTY::note_change(true);
}

void SEDQ_OBJECT_WIDGET::show_tooltip(QPoint point)
{
    if (is_disabled())
    {
        setToolTip(QStringLiteral("this Advanced Trigger is disabled"));
        return;
    }
    SEDQ_OBJECT* under = hit_test(point);
    setToolTip(under != nullptr ? under->get_tooltip(canvas_cursor())
                                : QStringLiteral("double-click to insert a new object"));
}

void SEDQ_OBJECT_WIDGET::mouseReleaseEvent(QMouseEvent* event)
{
    if (m_object_list == nullptr || event->button() == Qt::RightButton)
        return;
    QPoint point = event->pos();
    client_to_zoom(&point);
    // A click without movement; on empty canvas Shift keeps the selection, as its press did.
    SEDQ_OBJECT* hit = hit_test(point);
    if (point == m_rubber_band.topLeft() && (hit != nullptr || (event->modifiers() & Qt::ShiftModifier) == 0))
        select(hit);
    else if (m_moving)
        end_gesture_moves();
    m_rubber_band = QRect(QPoint(0, 0), QPoint(-1, -1));
    // The trees the gesture moved, and inputs it pulled loose, stay where they were let go.
    QSet<const SEDQ_OBJECT*> placed;
    if (m_moving)
    {
        for (SEDQ_OBJECT* object : *m_object_list)
        {
            if (!object->is_dragging())
                object->select(false, false, false);
            else if (object->is_root())
                placed.insert(object);
            object->end_drag();
        }
        m_moving = false;
    }
    arrange_objects_keeping(placed);
    update_picture();
    if (m_changed_by_gesture)
        save_undo_state(true);
    m_changed_by_gesture = false;
}

// Moved inputs take their places in vertical order (an input connected from its output port
// already stands where it was dropped), a selected input moved under a closed parent opens
// it, and a connection the move made illegal gets its adapter.
void SEDQ_OBJECT_WIDGET::end_gesture_moves()
{
    const bool moved = canvas_cursor() == Qt::SizeAllCursor || canvas_cursor() == Qt::OpenHandCursor;
    for (SEDQ_OBJECT* object : *m_object_list)
    {
        SEDQ_OBJECT* parent = object->get_parent();
        if (parent == nullptr || parent->is_dragging() == object->is_dragging())
            continue;
        if (parent->is_expanded() && object->is_dragging())
        {
            if (moved)
                parent->sort_children();
        }
        else if (!parent->is_expanded() && object->is_selected())
            parent->get_property().set(SEDQ_PROPERTY::EXPANDED, 1);
    }
    SEDQ_OBJECT* last_parent = nullptr;
    SEDQ_OBJECT* bus = nullptr;
    const QList<SEDQ_OBJECT*> objects = *m_object_list;
    for (SEDQ_OBJECT* object : objects)
    {
        SEDQ_OBJECT* parent = object->get_parent();
        if (parent == nullptr || parent->is_dragging() == object->is_dragging())
            continue;
        if (parent != last_parent)
            bus = nullptr;
        last_parent = parent;
        bus = fix_illegal_connection(parent, object, bus);
    }
}

// Over an object the Properties of the selection, when the cursor moves objects; over empty
// canvas a new object.
void SEDQ_OBJECT_WIDGET::mouseDoubleClickEvent(QMouseEvent* event)
{
    if ((event->button() != Qt::LeftButton && event->button() != Qt::RightButton) || is_disabled() ||
        m_object_list == nullptr)
        return;
    QPoint point = event->pos();
    client_to_zoom(&point);
    if (hit_test(point) == nullptr)
        on_insert();
    else if (canvas_cursor() == Qt::SizeAllCursor || canvas_cursor() == Qt::OpenHandCursor)
        on_properties();
}
