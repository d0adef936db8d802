// SEDQ_OBJECT_WIDGET: the host actions of the canvas: the context menu, the shortcuts, the
// connections that hold while the canvas has the focus, and the enable rule of every command.
#include "sedq/advanced_trigger/sedq_object_widget.h"

#include "sedq/frame/sedq_focus_route.h"
#include "sedq/frame/sedq_frame_wnd.h"
#include "sedq/model/sedq_lock_mode.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/model/sedq_util.h"

#include <QAction>
#include <QApplication>
#include <QFocusEvent>
#include <QMenu>

namespace
{
// The entries of the context menu in order, before and after the frame's Locate submenu;
// ACTION_NONE is a separator.
constexpr AFCQ_ACTION_ENUM MENU_BEFORE_LOCATE[] = {
    AFCQ_EDIT_UNDO_ACTION, AFCQ_EDIT_REDO_ACTION, AFCQ_ACTION_NONE, AFCQ_EDIT_CUT_ACTION, AFCQ_EDIT_COPY_ACTION,
    AFCQ_EDIT_PASTE_ACTION, AFCQ_EDIT_DELETE_ACTION, AFCQ_ACTION_NONE, AFCQ_EDIT_SELECT_ALL_ACTION,
    AFCQ_ACTION_NONE, AFCQ_SEDQ_OBJECT_ARRANGE_ALL_ACTION, AFCQ_ACTION_NONE};
constexpr AFCQ_ACTION_ENUM MENU_AFTER_LOCATE[] = {
    AFCQ_SEDQ_OBJECT_RENAME_ACTION, AFCQ_SEDQ_OBJECT_DETACH_ACTION, AFCQ_ACTION_NONE,
    AFCQ_SEDQ_OBJECT_INSERT_ACTION, AFCQ_SEDQ_OBJECT_REMOVE_ACTION, AFCQ_SEDQ_OBJECT_APPEND_ACTION,
    AFCQ_ACTION_NONE, AFCQ_SEDQ_OBJECT_MOVE_UP_ACTION, AFCQ_SEDQ_OBJECT_MOVE_DOWN_ACTION, AFCQ_ACTION_NONE,
    AFCQ_SEDQ_OBJECT_EXPAND_ACTION, AFCQ_SEDQ_OBJECT_COLLAPSE_ACTION, AFCQ_ACTION_NONE,
    AFCQ_SEDQ_OBJECT_PROPERTIES_ACTION};

// Inputs stand left of what they feed: Shift+Left opens an object, Shift+Right closes it.
const struct
{
    AFCQ_ACTION_ENUM id;
    QKeySequence keys;
} SHORTCUTS[] = {{AFCQ_SEDQ_OBJECT_RENAME_ACTION, QKeySequence(Qt::Key_F2)},
                 {AFCQ_SEDQ_OBJECT_MOVE_UP_ACTION, QKeySequence(Qt::SHIFT | Qt::Key_Up)},
                 {AFCQ_SEDQ_OBJECT_MOVE_DOWN_ACTION, QKeySequence(Qt::SHIFT | Qt::Key_Down)},
                 {AFCQ_SEDQ_OBJECT_EXPAND_ACTION, QKeySequence(Qt::SHIFT | Qt::Key_Left)},
                 {AFCQ_SEDQ_OBJECT_COLLAPSE_ACTION, QKeySequence(Qt::SHIFT | Qt::Key_Right)},
                 {AFCQ_SEDQ_OBJECT_PROPERTIES_ACTION, QKeySequence(Qt::ALT | Qt::KeypadModifier | Qt::Key_Enter)}};
} // namespace

void SEDQ_OBJECT_WIDGET::make_context_menu()
{
    m_context_menu = new QMenu();
    auto add_entries = [this](auto const& entries)
    {
        for (AFCQ_ACTION_ENUM id : entries)
        {
            if (id == AFCQ_ACTION_NONE)
            {
                QAction* separator = sedq_get_separator_action();
                separator->setParent(m_context_menu);
                m_context_menu->addAction(separator);
            }
            else
                m_context_menu->addAction(m_tx->get_action(id, QVariant()));
        }
    };
    add_entries(MENU_BEFORE_LOCATE);
    // The window's one Locate submenu, shared with the node view: each slot answers only while
    // its widget has the focus.
    if (SEDQ_FRAME_WND* frame = SEDQ_FRAME_WND::of(m_tx))
    {
        AFCQ_LOCATE_MENU* locate = frame->get_locate_menu();
        m_context_menu->addMenu(locate);
        connect(locate, &AFCQ_LOCATE_MENU::aboutToShow, this, &SEDQ_OBJECT_WIDGET::on_update_locate,
                Qt::UniqueConnection);
        connect(locate, &AFCQ_LOCATE_MENU::locate_triggered, this, &SEDQ_OBJECT_WIDGET::on_locate_triggered,
                Qt::UniqueConnection);
        connect(locate->get_design_file_action(), &QAction::triggered, this,
                &SEDQ_OBJECT_WIDGET::on_locate_design_file, Qt::UniqueConnection);
        QAction* separator = sedq_get_separator_action();
        separator->setParent(m_context_menu);
        m_context_menu->addAction(separator);
    }
    add_entries(MENU_AFTER_LOCATE);
}

// The actions are the window's; the shortcuts act only while the canvas has the focus.
void SEDQ_OBJECT_WIDGET::set_shortcuts()
{
    for (const auto& shortcut : SHORTCUTS)
    {
        QAction* action = m_tx->get_action(shortcut.id, QVariant());
        action->setShortcut(shortcut.keys);
        action->setShortcutContext(Qt::WidgetShortcut);
        addAction(action);
    }
}

void SEDQ_OBJECT_WIDGET::connect_actions()
{
    const struct
    {
        AFCQ_ACTION_ENUM id;
        SLOT slot;
    } permanent[] = {{AFCQ_SEDQ_OBJECT_ARRANGE_ALL_ACTION, &SEDQ_OBJECT_WIDGET::on_edit_arrange_all_objects},
                     {AFCQ_SEDQ_OBJECT_RENAME_ACTION, &SEDQ_OBJECT_WIDGET::on_rename},
                     {AFCQ_SEDQ_OBJECT_DETACH_ACTION, &SEDQ_OBJECT_WIDGET::on_detach},
                     {AFCQ_SEDQ_OBJECT_INSERT_ACTION, &SEDQ_OBJECT_WIDGET::on_insert},
                     {AFCQ_SEDQ_OBJECT_REMOVE_ACTION, &SEDQ_OBJECT_WIDGET::on_remove},
                     {AFCQ_SEDQ_OBJECT_APPEND_ACTION, &SEDQ_OBJECT_WIDGET::on_append},
                     {AFCQ_SEDQ_OBJECT_MOVE_UP_ACTION, &SEDQ_OBJECT_WIDGET::on_move_up},
                     {AFCQ_SEDQ_OBJECT_MOVE_DOWN_ACTION, &SEDQ_OBJECT_WIDGET::on_move_down},
                     {AFCQ_SEDQ_OBJECT_EXPAND_ACTION, &SEDQ_OBJECT_WIDGET::on_expand},
                     {AFCQ_SEDQ_OBJECT_COLLAPSE_ACTION, &SEDQ_OBJECT_WIDGET::on_collapse},
                     {AFCQ_SEDQ_OBJECT_PROPERTIES_ACTION, &SEDQ_OBJECT_WIDGET::on_properties}};
    for (const auto& entry : permanent)
        connect_action(entry.id, entry.slot);
}

void SEDQ_OBJECT_WIDGET::connect_action(AFCQ_ACTION_ENUM id, SLOT slot)
{
    QAction* action = m_tx->get_action(id, QVariant());
    if (action == nullptr)
        return;
    if (connect(action, &QAction::triggered, this, slot))
        action->setEnabled(false);
}

void SEDQ_OBJECT_WIDGET::disconnect_action(AFCQ_ACTION_ENUM id, SLOT slot)
{
    QAction* action = m_tx->get_action(id, QVariant());
    if (action == nullptr)
        return;
    action->setEnabled(false);
    disconnect(action, &QAction::triggered, this, slot);
}

void SEDQ_OBJECT_WIDGET::connect_action_when_focused(AFCQ_ACTION_ENUM id, SLOT slot)
{
    m_focus_connections.append({id, slot});
}

bool SEDQ_OBJECT_WIDGET::holds_focus() const
{
    return sedq_holds_focus(this);
}

// Without a window (the wizard) no menu offers these commands.
void SEDQ_OBJECT_WIDGET::route_focus_actions(bool connect_them)
{
    if (connect_them == m_focused || m_tx == nullptr)
        return;
    m_focused = connect_them;
    if (SEDQ_FRAME_WND::of(m_tx) != nullptr)
        for (const FOCUS_CONNECTION& entry : m_focus_connections)
        {
            QAction* action = m_tx->get_action(entry.id, QVariant());
            if (connect_them)
                connect(action, &QAction::triggered, this, entry.slot, Qt::UniqueConnection);
            else
                disconnect(action, &QAction::triggered, this, entry.slot);
        }
    if (connect_them)
    {
        on_update_find();
        on_update_find_next();
        update_all_rules();
    }
    update_picture();
}

void SEDQ_OBJECT_WIDGET::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    route_focus_actions(true);
}

// A popup of the canvas (its menu, a rename editor) or the menu bar, or the window going
// inactive, leaves the canvas its window's focus widget: the commands stay routed here.
void SEDQ_OBJECT_WIDGET::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    if (m_menu_running || holds_focus() || event->reason() == Qt::MenuBarFocusReason ||
        event->reason() == Qt::PopupFocusReason)
        return;
    route_focus_actions(false);
}

void SEDQ_OBJECT_WIDGET::update_all_rules()
{
    on_update_edit_undo();
    on_update_edit_redo();
    on_update_zoom_in();
    on_update_zoom_out();
    on_update_fit_in_window();
    on_update_edit_cut();
    on_update_edit_copy();
    on_update_edit_paste();
    on_update_edit_delete();
    on_update_properties();
    on_update_edit_undo();
    on_update_edit_redo();
    on_update_edit_select_all();
    on_update_remove();
    on_update_move_up();
    on_update_move_down();
    on_update_collapse();
    on_update_expand();
    on_update_rename();
    on_update_detach();
    on_update_insert();
    on_update_append();
}

void SEDQ_OBJECT_WIDGET::update_edit_rules()
{
    on_update_edit_undo();
    on_update_edit_redo();
    on_update_edit_cut();
    on_update_edit_copy();
    on_update_edit_paste();
    on_update_edit_delete();
    on_update_edit_select_all();
    on_update_find();
    on_update_find_next();
}

// A right click on a window that is not active opens the menu before the activation gives the
// canvas the focus: its commands are routed here for the run of the menu.
void SEDQ_OBJECT_WIDGET::context_menu(const QPoint& position)
{
    if (m_context_menu == nullptr)
        return;
    update_all_rules();
    enable(AFCQ_SEDQ_OBJECT_ARRANGE_ALL_ACTION, true);
    sedq_run_routed_menu(this, m_context_menu, mapToGlobal(position), &m_menu_running,
                         [this](bool connected) { route_focus_actions(connected); });
}

// ---- the enable rules ------------------------------------------------------------------------

bool SEDQ_OBJECT_WIDGET::is_unlocked() const
{
    return m_tx->get_lock_mode(false) == SEDQ_LOCK_MODE_ALLOW_ALL && !m_tx->is_powerup_trigger(-1);
}

bool SEDQ_OBJECT_WIDGET::can_delete() const
{
    return is_selected() && !is_read_only_selection() && is_unlocked();
}

bool SEDQ_OBJECT_WIDGET::is_read_only_selection() const
{
    if (is_disabled())
        return true;
    if (m_object_list == nullptr)
        return false;
    bool any = false;
    for (const SEDQ_OBJECT* object : *m_object_list)
    {
        if (!object->is_selected())
            continue;
        const SEDQ_OBJECT::SEDQ_OBJECT_TYPE type = object->get_type();
        if (type != SEDQ_OBJECT::INCREMENTAL_ROUTE_CONDITION && type != SEDQ_OBJECT::LEVEL_RESULT)
            return false;
        any = true;
    }
    return any;
}

void SEDQ_OBJECT_WIDGET::enable(AFCQ_ACTION_ENUM id, bool on)
{
    m_tx->enable_action(id, on);
}

void SEDQ_OBJECT_WIDGET::on_update_edit_undo()
{
    enable(AFCQ_EDIT_UNDO_ACTION, m_undo_list != nullptr && m_undo_position > 0 && is_enabled_canvas());
}

void SEDQ_OBJECT_WIDGET::on_update_edit_redo()
{
    enable(AFCQ_EDIT_REDO_ACTION,
           m_undo_list != nullptr && m_undo_position < m_undo_list->size() - 1 && is_enabled_canvas());
}

void SEDQ_OBJECT_WIDGET::on_update_edit_cut()
{
    m_tx->get_action(AFCQ_EDIT_CUT_ACTION, QVariant())->setVisible(true);
    enable(AFCQ_EDIT_CUT_ACTION, is_selected() && !is_read_only_selection() && is_unlocked());
}

void SEDQ_OBJECT_WIDGET::on_update_edit_copy()
{
    m_tx->get_action(AFCQ_EDIT_COPY_ACTION, QVariant())->setVisible(true);
    enable(AFCQ_EDIT_COPY_ACTION, is_selected() && !is_read_only_selection());
}

void SEDQ_OBJECT_WIDGET::on_update_edit_paste()
{
    m_tx->get_action(AFCQ_EDIT_PASTE_ACTION, QVariant())->setVisible(true);
    enable(AFCQ_EDIT_PASTE_ACTION, !m_clipboard.isEmpty() && is_enabled_canvas() && is_unlocked());
}

void SEDQ_OBJECT_WIDGET::on_update_edit_delete()
{
    enable(AFCQ_EDIT_DELETE_ACTION, can_delete());
}

void SEDQ_OBJECT_WIDGET::on_update_edit_select_all()
{
    enable(AFCQ_EDIT_SELECT_ALL_ACTION,
           m_object_list != nullptr && !m_object_list->isEmpty() && is_enabled_canvas());
}

void SEDQ_OBJECT_WIDGET::on_update_rename()
{
    enable(AFCQ_SEDQ_OBJECT_RENAME_ACTION, get_selection_count() == 1 && is_enabled_canvas());
}

void SEDQ_OBJECT_WIDGET::on_update_detach()
{
    enable(AFCQ_SEDQ_OBJECT_DETACH_ACTION, is_child_selected() && is_enabled_canvas() && is_unlocked());
}

void SEDQ_OBJECT_WIDGET::on_update_insert()
{
    enable(AFCQ_SEDQ_OBJECT_INSERT_ACTION, is_selected() && is_enabled_canvas() && is_unlocked());
}

void SEDQ_OBJECT_WIDGET::on_update_remove()
{
    enable(AFCQ_SEDQ_OBJECT_REMOVE_ACTION,
           is_selected() && is_enabled_canvas() && !is_read_only_selection() && is_unlocked());
}

void SEDQ_OBJECT_WIDGET::on_update_append()
{
    enable(AFCQ_SEDQ_OBJECT_APPEND_ACTION, is_selected() && is_enabled_canvas() && is_unlocked());
}

void SEDQ_OBJECT_WIDGET::on_update_move_up()
{
    enable(AFCQ_SEDQ_OBJECT_MOVE_UP_ACTION, is_child_selected() && is_enabled_canvas() && is_unlocked());
}

void SEDQ_OBJECT_WIDGET::on_update_move_down()
{
    enable(AFCQ_SEDQ_OBJECT_MOVE_DOWN_ACTION, is_child_selected() && is_enabled_canvas() && is_unlocked());
}

void SEDQ_OBJECT_WIDGET::on_update_properties()
{
    enable(AFCQ_SEDQ_OBJECT_PROPERTIES_ACTION, is_selected() && is_enabled_canvas());
}

void SEDQ_OBJECT_WIDGET::on_update_collapse()
{
    enable(AFCQ_SEDQ_OBJECT_COLLAPSE_ACTION, is_parent_selected() && is_enabled_canvas());
}

void SEDQ_OBJECT_WIDGET::on_update_expand()
{
    enable(AFCQ_SEDQ_OBJECT_EXPAND_ACTION, is_parent_selected() && is_enabled_canvas());
}

void SEDQ_OBJECT_WIDGET::on_update_find()
{
    enable(AFCQ_EDIT_FIND_ACTION, is_enabled_canvas());
}

void SEDQ_OBJECT_WIDGET::on_update_find_next()
{
    enable(AFCQ_EDIT_FIND_NEXT_ACTION, !m_find_state.text.isEmpty() && is_enabled_canvas());
}
