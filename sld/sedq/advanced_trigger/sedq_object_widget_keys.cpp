// SEDQ_OBJECT_WIDGET: the keys of the editing commands. Each runs its command under its own
// condition, whatever the host action's state. Delete keeps the Delete command's: under a lock,
// and in the power-up view, whose drawing the run-time trigger shares, it takes nothing.
#include "sedq/advanced_trigger/sedq_object_widget.h"

#include "sedq/advanced_trigger/sedq_object.h"

#include <QKeyEvent>

namespace
{
bool any_of(const QList<SEDQ_OBJECT*>& objects, bool (*test)(const SEDQ_OBJECT&))
{
    for (const SEDQ_OBJECT* object : objects)
        if (object->is_selected() && test(*object))
            return true;
    return false;
}

bool has_parent(const SEDQ_OBJECT& object)
{
    return !object.is_root();
}

bool has_inputs(const SEDQ_OBJECT& object)
{
    return !object.is_leaf();
}
} // namespace

void SEDQ_OBJECT_WIDGET::keyPressEvent(QKeyEvent* event)
{
    if (is_disabled() || m_object_list == nullptr)
    {
        event->ignore();
        return;
    }
    run_key(*event);
    QWidget::keyPressEvent(event);
}

// True when the key named a command whose condition held.
bool SEDQ_OBJECT_WIDGET::run_key(const QKeyEvent& event)
{
    const Qt::KeyboardModifiers keys = event.modifiers() & ~Qt::KeypadModifier;
    const bool selected = is_selected();
    const bool unlocked = is_unlocked();
    const bool child_selected = any_of(*m_object_list, &has_parent);
    const QList<SEDQ_OBJECT*> objects = *m_object_list;
    struct BINDING
    {
        Qt::KeyboardModifiers keys;
        int key;
        bool condition;
        SLOT command;
    };
    const BINDING bindings[] = {
        {Qt::NoModifier, Qt::Key_D, child_selected && unlocked, &SEDQ_OBJECT_WIDGET::on_detach},
        {Qt::NoModifier, Qt::Key_I, selected && unlocked, &SEDQ_OBJECT_WIDGET::on_insert},
        {Qt::NoModifier, Qt::Key_R, selected && !is_read_only_selection() && unlocked, &SEDQ_OBJECT_WIDGET::on_remove},
        {Qt::NoModifier, Qt::Key_A, selected && unlocked, &SEDQ_OBJECT_WIDGET::on_append},
        {Qt::NoModifier, Qt::Key_F2, get_selection_count() == 1, &SEDQ_OBJECT_WIDGET::on_rename},
        {Qt::NoModifier, Qt::Key_Delete, can_delete(), &SEDQ_OBJECT_WIDGET::on_edit_delete},
        {Qt::ShiftModifier, Qt::Key_Up, child_selected && unlocked, &SEDQ_OBJECT_WIDGET::on_move_up},
        {Qt::ShiftModifier, Qt::Key_Down, child_selected && unlocked, &SEDQ_OBJECT_WIDGET::on_move_down},
        {Qt::ShiftModifier, Qt::Key_Left, any_of(objects, &has_inputs), &SEDQ_OBJECT_WIDGET::on_expand},
        {Qt::ShiftModifier, Qt::Key_Right, any_of(objects, &has_inputs), &SEDQ_OBJECT_WIDGET::on_collapse},
        {Qt::AltModifier, Qt::Key_Return, selected, &SEDQ_OBJECT_WIDGET::on_properties},
        {Qt::AltModifier, Qt::Key_Enter, selected, &SEDQ_OBJECT_WIDGET::on_properties},
    };
    for (const BINDING& binding : bindings)
        if (binding.keys == keys && binding.key == event.key())
        {
            if (!binding.condition)
                return false;
            (this->*binding.command)();
            return true;
        }
    return false;
}
