// SEDQ_OBJECT_WIDGET: the commands that change the graph of the condition on show: selection,
// Insert, Append, Remove, Detach, the moves, Expand, Collapse, Delete, Arrange All Objects and
// the adapters a connection between a bit and a bus needs. Each ends with one undo snapshot.
#include "sedq/advanced_trigger/sedq_object_widget.h"

#include <QCursor>
#include <QHash>
#include <QScrollBar>

#include <climits>

namespace
{
// Offsets of a new object from the heads of the objects it takes as inputs.
constexpr int INSERT_OFFSET_X = 30;
constexpr int INSERT_OFFSET_Y = 50;
} // namespace

bool SEDQ_OBJECT_WIDGET::is_kept_kind(const SEDQ_OBJECT& object)
{
    const SEDQ_OBJECT::SEDQ_OBJECT_TYPE type = object.get_type();
    return type == SEDQ_OBJECT::INCREMENTAL_ROUTE_CONDITION || type == SEDQ_OBJECT::LEVEL_RESULT;
}

bool SEDQ_OBJECT_WIDGET::has_free_input(const SEDQ_OBJECT& object)
{
    return object.get_children().size() < SEDQ_OBJECT::DISPLAY_TYPES[object.get_display_type()].input_count;
}

// ---- selection -------------------------------------------------------------------------------

bool SEDQ_OBJECT_WIDGET::is_selected() const
{
    return get_selected_item() != nullptr;
}

bool SEDQ_OBJECT_WIDGET::is_child_selected() const
{
    if (m_object_list != nullptr)
        for (const SEDQ_OBJECT* object : *m_object_list)
            if (object->is_selected() && !object->is_root())
                return true;
    return false;
}

bool SEDQ_OBJECT_WIDGET::is_parent_selected() const
{
    if (m_object_list != nullptr)
        for (const SEDQ_OBJECT* object : *m_object_list)
            if (object->is_selected() && !object->is_leaf())
                return true;
    return false;
}

SEDQ_OBJECT* SEDQ_OBJECT_WIDGET::get_selected_items_parent() const
{
    if (m_object_list == nullptr)
        return nullptr;
    SEDQ_OBJECT* parent = nullptr;
    for (SEDQ_OBJECT* object : *m_object_list)
    {
        if (!object->is_selected() || object->is_root() || object->get_parent()->is_selected())
            continue;
        if (parent != nullptr && parent != object->get_parent())
            return nullptr;
        parent = object->get_parent();
    }
    return parent;
}

void SEDQ_OBJECT_WIDGET::on_edit_select_all()
{
    if (m_object_list == nullptr)
        return;
    for (SEDQ_OBJECT* object : *m_object_list)
        if (!object->is_hidden())
            object->select(true, false, false);
    update_picture();
    on_update_edit_cut();
    on_update_edit_copy();
    on_update_edit_paste();
    on_update_edit_delete();
}

// ---- the structural commands -----------------------------------------------------------------

SEDQ_OBJECT* SEDQ_OBJECT_WIDGET::make_object(QPoint position)
{
    auto* object = new SEDQ_OBJECT(get_copy(), position, nullptr);
    m_object_list->append(object);
    return object;
}

void SEDQ_OBJECT_WIDGET::finish_command()
{
    arrange_objects();
    update_picture();
    save_undo_state(true);
}

// A new object between the selection and its common parent. The parent is left out when it
// lies below a selected object: wiring the new object under it would close a loop.
void SEDQ_OBJECT_WIDGET::on_insert()
{
    if (m_object_list == nullptr)
        return;
    QList<SEDQ_OBJECT*> before = copy_in_order(*m_object_list);
    const QPoint bars(m_hscroll->value(), m_vscroll->value());
    if (!is_selected())
    {
        SEDQ_OBJECT* made = make_object(cursor_position());
        made->get_property().set(SEDQ_PROPERTY::EXPANDED, 1);
        select(made);
        update_picture();
        ask_new_object_properties(&before, bars);
        return;
    }
    SEDQ_OBJECT* parent = get_selected_items_parent();
    QList<SEDQ_OBJECT*> selected;
    int right = 0;
    int sum_y = 0;
    for (SEDQ_OBJECT* object : *m_object_list)
        if (object->is_selected())
        {
            selected.append(object);
            right = qMax(right, object->get_head().x());
            sum_y += object->get_head().y();
            if (object->is_descendent(parent))
                parent = nullptr;
        }
    SEDQ_OBJECT* made =
        make_object(QPoint(right + INSERT_OFFSET_X, sum_y / selected.size() - INSERT_OFFSET_Y));
    made->get_property().set(SEDQ_PROPERTY::EXPANDED, 1);
    for (SEDQ_OBJECT* object : selected)
    {
        object->detach(nullptr);
        made->attach(object, true);
    }
    if (parent != nullptr)
        parent->attach(made, true);
    select(made);
    arrange_objects();
    update_picture();
    ask_new_object_properties(&before, bars);
}

void SEDQ_OBJECT_WIDGET::on_append()
{
    if (m_object_list == nullptr)
        return;
    QList<SEDQ_OBJECT*> before = copy_in_order(*m_object_list);
    const QPoint bars(m_hscroll->value(), m_vscroll->value());
    for (int i = m_object_list->size() - 1; i >= 0; --i)
    {
        SEDQ_OBJECT* object = m_object_list->at(i);
        if (!object->is_selected())
            continue;
        SEDQ_OBJECT* input = make_object(SEDQ_OBJECT::ORIGIN_POINT);
        input->select(true, false, false);
        object->select(false, false, false);
        object->attach(input, false);
        object->get_property().set(SEDQ_PROPERTY::EXPANDED, 1);
    }
    arrange_objects();
    update_picture();
    ask_new_object_properties(&before, bars);
}

// Insert and Append change the scene before their dialog asks what the new objects are. An
// accepted dialog makes the command one undo step; a cancelled one puts back the scene of just
// before the command (`before`: its objects in their order, with their settings, links and
// selection) and the bars, and leaves the history and the modified flag as they were.
void SEDQ_OBJECT_WIDGET::ask_new_object_properties(QList<SEDQ_OBJECT*>* before, QPoint bars)
{
    QList<SEDQ_OBJECT*>* scene = m_object_list;
    // The dialog runs its own event loop: an update may bring another condition meanwhile.
    if (show_properties(SEDQ_OBJECT::UNKNOWN, true) || m_object_list != scene)
    {
        free_array(before);
        return;
    }
    m_error_object = nullptr;
    QList<SEDQ_OBJECT*> changed = *m_object_list;
    *m_object_list = *before;
    before->clear();
    free_array(&changed);
    resizeEvent(nullptr);
    {
        const QSignalBlocker block_h(m_hscroll);
        const QSignalBlocker block_v(m_vscroll);
        m_hscroll->setValue(bars.x());
        m_vscroll->setValue(bars.y());
    }
    update_picture();
    update_all_rules();
}

// A deep copy of the objects that keeps their list order and every link among them.
QList<SEDQ_OBJECT*> SEDQ_OBJECT_WIDGET::copy_in_order(const QList<SEDQ_OBJECT*>& source)
{
    QHash<const SEDQ_OBJECT*, SEDQ_OBJECT*> copies;
    copies.reserve(source.size());
    QList<SEDQ_OBJECT*> made;
    made.reserve(source.size());
    for (SEDQ_OBJECT* object : source)
    {
        auto* copy = new SEDQ_OBJECT(get_copy(), SEDQ_OBJECT::ORIGIN_POINT, object->get_owner());
        copy->get_property() = object->get_property();
        copies.insert(object, copy);
        made.append(copy);
    }
    for (const SEDQ_OBJECT* object : source)
        for (const SEDQ_OBJECT* input : object->get_children())
            if (copies.contains(input))
                copies.value(object)->attach_child(copies.value(input));
    return made;
}

// The inputs of a removed object take its place under its parent.
void SEDQ_OBJECT_WIDGET::on_remove()
{
    if (!is_selected())
        return;
    SEDQ_OBJECT* parent = get_selected_items_parent();
    for (int i = m_object_list->size() - 1; i >= 0; --i)
    {
        SEDQ_OBJECT* object = m_object_list->at(i);
        if (!object->is_selected() || is_kept_kind(*object))
            continue;
        m_object_list->removeAt(i);
        object->promote_children();
        if (object == m_error_object)
            m_error_object = nullptr;
        delete object;
    }
    select(parent);
    finish_command();
}

void SEDQ_OBJECT_WIDGET::on_detach()
{
    if (m_object_list == nullptr)
        return;
    // Each detached object adds a line to the listing: a drawing on show stays below it.
    const bool on_show = get_visible_bounds().top() >= get_header_top();
    for (int i = m_object_list->size() - 1; i >= 0; --i)
        if (m_object_list->at(i)->is_selected())
            m_object_list->at(i)->detach(nullptr);
    if (on_show)
    {
        keep_below_header(INT_MAX);
        resizeEvent(nullptr);
    }
    update_picture();
    save_undo_state(true);
}

void SEDQ_OBJECT_WIDGET::on_move_up()
{
    if (m_object_list == nullptr)
        return;
    for (SEDQ_OBJECT* object : *m_object_list)
        object->make_selected_children_older();
    finish_command();
}

void SEDQ_OBJECT_WIDGET::on_move_down()
{
    if (m_object_list == nullptr)
        return;
    for (SEDQ_OBJECT* object : *m_object_list)
        object->make_selected_children_younger();
    finish_command();
}

// Collapse closes the innermost selected objects first: one that still has a selected open
// input stays open. Expand opens only what is visible. Neither marks the document.
void SEDQ_OBJECT_WIDGET::set_selection_expanded(bool expanded)
{
    if (m_object_list == nullptr)
        return;
    for (SEDQ_OBJECT* object : *m_object_list)
        if (object->is_selected() && (expanded ? object->is_hidden() : object->has_selected_expanded_children()))
            object->drag(true);
    for (SEDQ_OBJECT* object : *m_object_list)
    {
        if (!object->is_selected())
            continue;
        if (object->is_dragging())
            object->drag(false);
        else
            object->get_property().set(SEDQ_PROPERTY::EXPANDED, expanded ? 1 : 0);
    }
    arrange_objects();
    update_picture();
    save_undo_state(false);
}

void SEDQ_OBJECT_WIDGET::on_collapse()
{
    set_selection_expanded(false);
}

void SEDQ_OBJECT_WIDGET::on_expand()
{
    set_selection_expanded(true);
}

void SEDQ_OBJECT_WIDGET::on_edit_delete()
{
    if (m_object_list == nullptr)
        return;
    delete_selected_objects(nullptr);
    save_undo_state(true);
}

// A collapsed object goes with everything it hides; the visible inputs of an open one stay,
// as roots.
void SEDQ_OBJECT_WIDGET::delete_selected_objects(QList<SEDQ_OBJECT*>* list)
{
    QList<SEDQ_OBJECT*>* objects = list != nullptr ? list : m_object_list;
    if (objects == nullptr)
        return;
    for (SEDQ_OBJECT* object : *objects)
        if (object->is_selected() && !object->is_expanded())
            object->select_all_descendents();
    for (int i = objects->size() - 1; i >= 0; --i)
    {
        SEDQ_OBJECT* object = objects->at(i);
        if (!object->is_selected() || is_kept_kind(*object))
            continue;
        objects->removeAt(i);
        if (object == m_error_object)
            m_error_object = nullptr;
        delete object;
    }
    if (list != nullptr && list != m_object_list)
        return;
    update_picture();
    on_update_find();
    on_update_find_next();
    update_all_rules();
}

// Every tree goes under one temporary root for the layout, so they stand as one tree in their
// vertical order; then the drawing is centred.
void SEDQ_OBJECT_WIDGET::on_edit_arrange_all_objects()
{
    if (m_object_list == nullptr)
        return;
    auto* top = new SEDQ_OBJECT(get_copy(), SEDQ_OBJECT::ORIGIN_POINT, nullptr);
    top->get_property().set(SEDQ_PROPERTY::EXPANDED, 1);
    top->set_type(SEDQ_OBJECT::BUS);
    const QList<SEDQ_OBJECT*> roots = *m_object_list;
    for (SEDQ_OBJECT* object : roots)
        if (object->is_root())
            top->attach(object, true);
    m_object_list->append(top);
    arrange_objects();
    m_object_list->removeOne(top);
    delete top;
    resizeEvent(nullptr);
    m_hscroll->setValue((m_hscroll->maximum() - m_hscroll->minimum()) / 2);
    m_vscroll->setValue((m_vscroll->maximum() - m_vscroll->minimum()) / 2);
    save_undo_state(true);
}

// ---- connection repair -----------------------------------------------------------------------

SEDQ_OBJECT* SEDQ_OBJECT_WIDGET::fix_illegal_connection(SEDQ_OBJECT* parent, SEDQ_OBJECT* child, SEDQ_OBJECT* bus)
{
    if (parent == nullptr || child == nullptr || m_object_list == nullptr)
        return bus;
    const SEDQ_OBJECT::SEDQ_PORT_TYPE out = SEDQ_OBJECT::DISPLAY_TYPES[child->get_display_type()].output_type;
    const SEDQ_OBJECT::SEDQ_DISPLAY_TYPE parent_display = parent->get_display_type();
    const SEDQ_OBJECT::SEDQ_PORT_TYPE in = SEDQ_OBJECT::DISPLAY_TYPES[parent_display].input_type;
    if (out == SEDQ_OBJECT::PORT_BIT && in == SEDQ_OBJECT::PORT_BUS &&
        SEDQ_OBJECT::DISPLAY_TYPES[parent_display].input_count != SEDQ_OBJECT::ANY_INPUT_COUNT)
    {
        if (bus == nullptr)
        {
            bus = make_object(SEDQ_OBJECT::ORIGIN_POINT);
            bus->get_property().set(SEDQ_PROPERTY::EXPANDED, 1);
            bus->set_type(SEDQ_OBJECT::BUS);
            parent->attach(bus, true);
        }
        parent->detach(child);
        bus->attach(child, true);
        generate_names_for_unnamed_objects();
        return bus;
    }
    if (out == SEDQ_OBJECT::PORT_BUS && in == SEDQ_OBJECT::PORT_BIT)
    {
        SEDQ_OBJECT* reduction = make_object(SEDQ_OBJECT::ORIGIN_POINT);
        reduction->get_property().set(SEDQ_PROPERTY::EXPANDED, 1);
        reduction->set_library_type(SEDQ_OBJECT::LIBRARY_REDUCTION_OR);
        parent->detach(child);
        parent->attach(reduction, true);
        reduction->attach(child, true);
        generate_names_for_unnamed_objects();
    }
    return bus;
}
