// SEDQ_VIEW: the Edit and waveform menu rules, Delete and Select All, the lock-mode commands
// and the column context menus.
#include "sedq/view/sedq_view.h"

#include "host/acf.h"
#include "sedq/frame/sedq_focus_route.h"
#include "sedq/frame/sedq_frame_wnd.h"
#include "sedq/model/sedq_edit_scope.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/model/sedq_types.h"
#include "sedq/model/sedq_verify.h"
#include "sedq/view/sedq_undo_actions.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QPointer>

void SEDQ_VIEW::enable(int id, bool on)
{
    m_tx_manager->get_action(AFCQ_ACTION_ENUM(id), QVariant())->setEnabled(on);
}

bool SEDQ_VIEW::view_has_focus() const
{
    return hasFocus();
}

// Leaving the window (a dialog of its own, another program) keeps the view its window's focus
// widget: meanwhile the window's menus and commands still act on it.
bool SEDQ_VIEW::holds_focus() const
{
    return sedq_holds_focus(this);
}

bool SEDQ_VIEW::project_open()
{
    ACF_MANAGER* acf_mgr = ACF_MANAGER::get_acf_manager();
    return SEDQ_VERIFY(acf_mgr != NULL) && acf_mgr->is_project_open();
}

// ---- menu rules ----------------------------------------------------------------------------------

void SEDQ_VIEW::on_update_edit_menu()
{
    if (!SEDQ_VERIFY(this->m_frame_wnd != NULL))
        return;
    label_bus_display_format_menu();
    if (!holds_focus())
        return;
    ACF_MANAGER* acf_mgr = ACF_MANAGER::get_acf_manager();
    if (!SEDQ_VERIFY(acf_mgr != NULL))
        return;
    enable(AFCQ_EDIT_DELETE_ACTION, on_update_edit_delete());
    enable(AFCQ_EDIT_SELECT_ALL_ACTION, on_update_edit_select_all());
    enable(AFCQ_EDIT_FIND_ACTION, on_update_edit_find());
    enable(AFCQ_EDIT_FIND_NEXT_ACTION, on_update_edit_find_next());
    enable(AFCQ_SEDQ_FIND_BUS_VALUE_ACTION, on_update_find_bus_value());
    enable(AFCQ_SEDQ_FIND_NEXT_BUS_VALUE_ACTION, on_update_find_next_bus_value());
    enable(AFCQ_SEDQ_FIND_PREVIOUS_BUS_VALUE_ACTION, on_update_find_previous_bus_value());
    const bool editable_document = !m_tx_manager->is_empty() &&
                                   !m_tx_manager->is_instance_acquiring(SEDQ_CURRENT) &&
                                   acf_mgr->is_project_open();
    const bool adds_nodes =
        editable_document && m_tx_manager->get_lock_mode(false) == SEDQ_LOCK_MODE_ALLOW_ALL;
    m_frame_wnd->get_plugin_menu()->setEnabled(adds_nodes && !m_tx_manager->get_plugin_names().isEmpty());
    enable(AFCQ_SEDQ_INSERT_NODES_ACTION, adds_nodes);
    enable(AFCQ_SEDQ_ADD_STATE_MACHINE_ACTION, adds_nodes);
    enable(AFCQ_SEDQ_RECREATE_MNEMONICS_ACTION, editable_document);
    enable(AFCQ_SEDQ_PLUGIN_OPTIONS_ACTION, on_update_plugin_options());
    on_update_alias_menu();
    enable(AFCQ_SEDQ_GROUP_ACTION, on_update_node_group());
    enable(AFCQ_SEDQ_UNGROUP_ACTION, on_update_node_ungroup());
    enable(AFCQ_SEDQ_UNGROUP_NESTED_ACTION, on_update_node_ungroup_nested_groups());
    enable(AFCQ_SEDQ_RENAME_NODE_ACTION, on_update_node_rename());
    on_update_data_menu();
    on_update_trigger_menu();
    on_update_storage_menu();
    on_update_transition_menu();
    enable(AFCQ_SEDQ_BUS_MSB_TO_LSB_ACTION, on_update_bus_order(AFCQ_SEDQ_BUS_MSB_TO_LSB_ACTION));
    enable(AFCQ_SEDQ_BUS_LSB_TO_MSB_ACTION, on_update_bus_order(AFCQ_SEDQ_BUS_LSB_TO_MSB_ACTION));
    enable(AFCQ_SEDQ_MNEMONIC_TABLE_SETUP_ACTION, !m_tx_manager->is_advanced_mode(nullptr));
}

// The Setup and Data tabs show node lists of their own, each bus with its own format: the menu
// says which list a choice sets.
void SEDQ_VIEW::label_bus_display_format_menu()
{
    if (QMenu* menu = m_frame_wnd->get_bus_display_format_menu())
        menu->setTitle(m_tx_manager->is_data_mode(SEDQ_CURRENT) ? tr("Bus Displa&y Format (Data Tab)")
                                                                  : tr("Bus Displa&y Format (Setup Tab)"));
}

void SEDQ_VIEW::on_update_waveform_menu()
{
    if (!SEDQ_VERIFY(this->m_frame_wnd != NULL))
        return;
    enable(AFCQ_SEDQ_INSERT_TIME_BAR_ACTION, on_update_insert_time_bar());
    enable(AFCQ_SEDQ_DELETE_TIME_BAR_ACTION, on_update_delete_time_bar());
    enable(AFCQ_SEDQ_DELETE_ALL_TIME_BARS_ACTION, on_update_delete_all_time_bars());
    enable(AFCQ_SEDQ_INSERT_MASTER_TIME_BAR_ACTION, on_update_insert_master_time_bar());
    enable(AFCQ_SEDQ_INSERT_MASTER_TIME_BAR_ALT_ACTION, on_update_set_as_master_time_bar());
    enable(AFCQ_SEDQ_MOVE_MASTER_TIME_BAR_ACTION, on_update_move_master_time_bar());
    on_update_sample_numbers();
    on_update_time_units();
    const bool focused = holds_focus();
    const bool zoom_out = focused && on_update_zoom_out();
    enable(AFCQ_SEDQ_FIT_IN_WINDOW_ACTION, zoom_out);
    enable(AFCQ_SEDQ_ZOOM_OUT_ACTION, zoom_out);
    enable(AFCQ_SEDQ_ZOOM_IN_ACTION, focused && on_update_zoom_in());
    enable(AFCQ_SEDQ_CENTER_ON_TRIGGER_ACTION, focused && on_update_center_on_trigger());
}

bool SEDQ_VIEW::on_update_edit_select_all()
{
    const int count = m_tx_manager->get_node_count(SEDQ_CURRENT);
    for (int node = 0; node < count; ++node)
        if (!m_tx_manager->get_node_selection_status(node))
            return true;
    return false;
}

// Without the lock every selected row may go. Under a lock — on the setup page and on an
// advanced trigger page alike — each selected row must be deletable, and a bus or group never
// is, so that no lock mode lets Delete take nodes it protects.
bool SEDQ_VIEW::on_update_edit_delete()
{
    const bool setup = m_tx_manager->is_setup_mode() || m_tx_manager->is_advanced_mode(nullptr);
    if (setup && m_tx_manager->get_lock_mode(true) == SEDQ_LOCK_MODE_ALLOW_ALL)
        return true;
    const int count = m_tx_manager->get_node_count(SEDQ_CURRENT);
    for (int node = 0; node < count; ++node)
    {
        if (!m_tx_manager->get_node_selection_status(node))
            continue;
        if (!m_tx_manager->is_node_deletable(node) || (setup && m_tx_manager->has_children(node)))
            return false;
    }
    return true;
}

// ---- edit commands -------------------------------------------------------------------------------

// One undo step; the view is laid out again before and after it on undo and redo.
void SEDQ_VIEW::on_edit_delete()
{
    if (!holds_focus() || m_tx_manager->is_empty() || !on_update_edit_delete())
        return;
    SEDQ_EDIT_SCOPE edit(m_tx_manager, SEDQ_CHECK_COMPILATION);
    if (m_tx_manager->get_tx_instance() != nullptr)
        m_tx_manager->append_undo_action(new SDR_TX_UNDO_ACTION_RESIZE_EVENT(this));
    unselect_plugin_group_member_items();
    const int selected_before = get_selected_item();
    m_tx_manager->delete_selected_nodes();
    if (m_tx_manager->get_tx_instance() != nullptr)
        m_tx_manager->append_undo_action(new SDR_TX_UNDO_ACTION_RESIZE_EVENT(this));
    edit.close();
    reselect_after_delete(selected_before);
    m_tx_manager->update_all_views(nullptr, sedq_hint(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_NODE_VIEW |
                                                      SEDQ_UPDATE_HIERARCHY | SEDQ_UPDATE_CONFIGURATION));
}

// A single deleted row hands the selection to the row that took its place, or to the new
// last row; several leave nothing selected.
void SEDQ_VIEW::reselect_after_delete(int selected_before)
{
    const int count = m_tx_manager->get_node_count(SEDQ_CURRENT);
    select_node_range(0, count - 1, false);
    if (selected_before == -1 || count == 0)
        return;
    m_tx_manager->set_node_selection_status(std::min(selected_before, count - 1), true);
}

void SEDQ_VIEW::on_edit_select_all()
{
    if (!holds_focus())
        return;
    select_all_items(true);
    update();
}

void SEDQ_VIEW::on_select_lock_mode_all()
{
    m_tx_manager->set_lock_mode(SEDQ_LOCK_MODE_ALLOW_ALL, true);
}

void SEDQ_VIEW::on_select_lock_mode_incremental()
{
    m_tx_manager->set_lock_mode(SEDQ_LOCK_MODE_ALLOW_INCREMENTAL, true);
}

void SEDQ_VIEW::on_select_lock_mode_trigger()
{
    m_tx_manager->set_lock_mode(SEDQ_LOCK_MODE_ALLOW_TRIGGER, true);
}

// ---- column menus --------------------------------------------------------------------------------

void SEDQ_VIEW::contextMenuEvent(QContextMenuEvent* event)
{
    if (m_frame_wnd == nullptr || m_tx_manager.isNull())
        return;
    int row = 0;
    int column = 0;
    QRect cell;
    if (!find_item(event->pos(), &row, &column, &cell) || !m_column_menus.contains(column))
        column = SEDQ_COLUMN_NAME;
    open_column_menu(column, row, event->globalPos());
}

// A right click on a row that is not selected selects that row alone; a header row shows the
// name menu; the waveform column shows its menu over the ruler and the header only.
void SEDQ_VIEW::open_column_menu(int column, int row, const QPoint& global_pos)
{
    if (column == SEDQ_COLUMN_WAVEFORM)
    {
        if (row >= HEADER_ROWS)
            return;
        if (row == SEDQ_ROW_TITLE)
            set_context_sample(find_transition(mapFromGlobal(global_pos), true));
    }
    else if (row < HEADER_ROWS)
        column = SEDQ_COLUMN_NAME;
    else
    {
        if (sedq_is_condition_column(column))
            m_context_trigger_level = sedq_pattern_of_column(column);
        const int node = sedq_node_of_row(row);
        if (!is_item_selected(node))
        {
            select_node_range(0, m_tx_manager->get_node_count(SEDQ_CURRENT) - 1, false);
            if (node < m_tx_manager->get_node_count(SEDQ_CURRENT))
                m_tx_manager->set_node_selection_status(node, true);
            update();
        }
    }
    QMenu* menu = m_column_menus.value(column, nullptr);
    if (menu == nullptr)
        menu = m_column_menus[column] = new QMenu(this);
    run_menu(menu, global_pos);
}

// The menu's entries are host actions routed to the view while it has the focus, also for the
// run of a menu opened on a window that is not active yet.
void SEDQ_VIEW::run_menu(QMenu* menu, const QPoint& global_pos)
{
    sedq_run_routed_menu(this, menu, global_pos, &m_menu_running,
                         [this](bool connected) { route_focus_actions(connected); });
}
