// SEDQ_VIEW: the group tree of the node list, the focus row and the selection, the tests of
// what the lock mode and a running acquisition allow, and the relayout flags.
#include "sedq/view/sedq_view.h"
#include "sedq/model/sedq_util.h"

#include "sedq/frame/sedq_frame_wnd.h"
#include "sedq/model/sedq_edit_scope.h"
#include "sedq/model/sedq_node.h"
#include "sedq/model/sedq_tx_manager.h"

#include <QGuiApplication>
#include <QResizeEvent>
#include <QScrollBar>

#include <algorithm>

namespace
{
bool is_member_display(SDR_DATA_NODE_DISPLAY_TYPE type)
{
    return type == SDR_NTYPE_MEMBER || type == SDR_NTYPE_LAST_MEMBER;
}
} // namespace

// ---- the group tree ----------------------------------------------------------------------------

bool SEDQ_VIEW::is_parent_item(int node)
{
    return !m_tx_manager->is_empty() &&
           sedq_is_group_display(SEDQ_NODE(m_tx_manager, node, SEDQ_CURRENT).get_parent());
}

bool SEDQ_VIEW::is_child_item(int node)
{
    return !m_tx_manager->is_empty() &&
           is_member_display(SEDQ_NODE(m_tx_manager, node, SEDQ_CURRENT).get_parent());
}

int SEDQ_VIEW::get_child_item_count(int node)
{
    if (!is_parent_item(node))
        return 0;
    const int count = m_tx_manager->get_node_count(SEDQ_CURRENT);
    int children = 0;
    for (int row = node + 1; row < count && is_child_item(row) && m_tx_manager->is_descendant(node, row);
         ++row)
        ++children;
    return children;
}

int SEDQ_VIEW::get_trigger_input_child_item_count(int node)
{
    const int children = get_child_item_count(node);
    int enabled = 0;
    for (int row = node + 1; row <= node + children; ++row)
        if (SEDQ_NODE(m_tx_manager, row, SEDQ_CURRENT).is_trigger_enabled(nullptr, SEDQ_PATTERN_ANY_LEVEL))
            ++enabled;
    return enabled;
}

bool SEDQ_VIEW::toggle_item(int node, bool do_toggle)
{
    if (node < 0 || m_tx_manager->is_empty())
        return false;
    if (!do_toggle)
        return !m_tx_manager->is_node_expanded(node);
    SEDQ_EDIT_SCOPE edit(m_tx_manager, SEDQ_SKIP_COMPILATION_CHECK);
    const bool toggled = m_tx_manager->toggle_node(node);
    edit.close();
    if (toggled)
    {
        invalidate_row_layout();
        send_resize_event();
        save_scroll_pos();
    }
    return toggled;
}

// A bus qualifies when every member does, one without members too.
bool SEDQ_VIEW::item_is_pre_syn(int node)
{
    return item_has_tap_mode(node, SDR_TAP_PRE_SYNTHESIS);
}

bool SEDQ_VIEW::item_is_post_fit(int node)
{
    return item_has_tap_mode(node, SDR_TAP_POST_FITTING);
}

bool SEDQ_VIEW::item_has_tap_mode(int node, SDR_DATA_WIRE_TAP_MODE mode)
{
    if (m_tx_manager->is_empty())
        return false;
    if (!is_parent_item(node))
        return m_tx_manager->get_node_tap_mode(node) == mode;
    std::vector<int> descendants;
    m_tx_manager->get_all_descendants(node, &descendants);
    return std::all_of(descendants.begin(), descendants.end(),
                       [this, mode](int row) {
                           return m_tx_manager->has_children(row) ||
                                  m_tx_manager->get_node_tap_mode(row) == mode;
                       });
}

// ---- selection -----------------------------------------------------------------------------------

bool SEDQ_VIEW::is_item_selected(int node)
{
    return !m_tx_manager->is_empty() && m_tx_manager->get_node_selection_status(node);
}

// Shift adds to the selection, Ctrl toggles. Indices outside the list, negative ones too,
// change nothing.
void SEDQ_VIEW::select_item(int node, bool status)
{
    if (node < 0 || node >= m_tx_manager->get_node_count(SEDQ_CURRENT))
        return;
    const Qt::KeyboardModifiers keys = QGuiApplication::keyboardModifiers();
    const bool old = m_tx_manager->get_node_selection_status(node);
    bool selected = status;
    if (keys & Qt::ShiftModifier)
        selected = old || status;
    else if (keys & Qt::ControlModifier)
        selected = old != status;
    m_tx_manager->set_node_selection_status(node, selected);
    if (!m_tx_manager->is_wizard_mode() && m_frame_wnd != nullptr)
    {
        m_frame_wnd->on_update_file_menu();
        m_frame_wnd->on_update_edit_menu();
        m_frame_wnd->on_update_view_menu();
    }
}

int SEDQ_VIEW::select_item(const QPoint& point)
{
    const int node = find_item(point, false);
    const int count = m_tx_manager->get_node_count(SEDQ_CURRENT);
    if (QGuiApplication::keyboardModifiers() & Qt::ShiftModifier)
    {
        select_node_range(0, count - 1, false);
        if (node < m_focus_item)
            select_node_range(std::max(node, 0), m_focus_item, true);
        else
            select_node_range(m_focus_item, std::min(node, count - 1), true);
    }
    else if (node >= 0 && node < count)
    {
        select_item(node, true);
        m_focus_item = node;
    }
    else
        m_focus_item = node < 0 ? 0 : std::max(count - 1, 0);
    update();
    if (!m_tx_manager->is_wizard_mode() && m_frame_wnd != nullptr)
        m_frame_wnd->on_update_edit_menu();
    return node;
}

void SEDQ_VIEW::select_items(int from, QPoint point)
{
    const Qt::KeyboardModifiers keys = QGuiApplication::keyboardModifiers();
    const int count = m_tx_manager->get_node_count(SEDQ_CURRENT);
    if (!(keys & (Qt::ShiftModifier | Qt::ControlModifier)))
        select_node_range(0, count - 1, false);
    int first = from;
    int last = find_item(point, false);
    if (first > last)
        std::swap(first, last);
    if (last < 0 || first >= count)
        return;
    for (int node = std::max(first, 0); node <= std::min(last, count - 1); ++node)
        if (get_row_height(sedq_row_of_node(node)) > 0)
            select_item(node, true);
}

void SEDQ_VIEW::select_all_items(bool status)
{
    select_node_range(0, m_tx_manager->get_node_count(SEDQ_CURRENT) - 1, status);
    if (!m_tx_manager->is_wizard_mode())
        on_update_edit_menu();
}

void SEDQ_VIEW::select_node_range(int first, int last, bool status)
{
    const int count = m_tx_manager->get_node_count(SEDQ_CURRENT);
    first = std::max(first, 0);
    last = std::min(last, count - 1);
    if (first <= last)
        m_tx_manager->select_node_range(first, last, status);
}

int SEDQ_VIEW::get_selection_count()
{
    const int count = m_tx_manager->get_node_count(SEDQ_CURRENT);
    int selected = 0;
    for (int node = 0; node < count; ++node)
        if (m_tx_manager->get_node_selection_status(node))
            ++selected;
    return selected;
}

int SEDQ_VIEW::get_selected_item()
{
    return only_node([this](int node) { return m_tx_manager->get_node_selection_status(node); });
}

int SEDQ_VIEW::get_selected_parent()
{
    return only_node([this](int node) { return is_selected_parent(node); });
}

int SEDQ_VIEW::get_selected_child()
{
    return only_node([this](int node) { return is_selected_child(node); });
}

// The one node of the list that passes `test`; -1 when none or several do.
int SEDQ_VIEW::only_node(const std::function<bool(int)>& test)
{
    const int count = m_tx_manager->get_node_count(SEDQ_CURRENT);
    int found = -1;
    for (int node = 0; node < count; ++node)
    {
        if (!test(node))
            continue;
        if (found != -1)
            return -1;
        found = node;
    }
    return found;
}

bool SEDQ_VIEW::is_selected_parent(int node)
{
    return is_item_selected(node) && is_parent_item(node);
}

bool SEDQ_VIEW::is_selected_child(int node)
{
    return is_item_selected(node) && !is_parent_item(node);
}

// Selects the node alone and makes it the current node (whatever keys are held: the keys of the
// command that located it do not extend a selection), opens the groups it lies in and scrolls it
// to the top of the view; the next painting shows its name in the focused selection colours.
void SEDQ_VIEW::ensure_visible(int node)
{
    if (node < 0 || node >= m_tx_manager->get_node_count(SEDQ_CURRENT))
        return;
    select_node_range(0, m_tx_manager->get_node_count(SEDQ_CURRENT) - 1, false);
    select_node_range(node, node, true);
    m_focus_item = node;
    scroll_into_view(node);
    if (!m_tx_manager->is_wizard_mode() && m_frame_wnd != nullptr)
    {
        m_frame_wnd->on_update_file_menu();
        m_frame_wnd->on_update_edit_menu();
        m_frame_wnd->on_update_view_menu();
    }
}

void SEDQ_VIEW::scroll_into_view(int node)
{
    m_name_highlight = true;
    // Every collapsed group above the node opens, the nearest first, so that its row shows
    // even inside nested groups.
    for (int level = 1; is_child_item(node); ++level)
    {
        const int parent = m_tx_manager->get_parent_index(node, level);
        if (parent < 0)
            break;
        if (!m_tx_manager->is_node_expanded(parent))
            toggle_item(parent, true);
    }
    if (m_vertical_scroll_bar->isHidden())
    {
        update();
        return;
    }
    const SEDQ_ROW_LAYOUT& layout = row_layout();
    int above = 0;
    for (int k = 0; k < layout.get_shown_count() && layout.get_shown_node(k) < node; ++k)
        ++above;
    m_vertical_scroll_bar->setValue(std::min(above, m_vertical_scroll_bar->maximum()));
    save_scroll_pos();
    update();
}

// The base selection is the selection itself: both calls leave every flag as it is.
void SEDQ_VIEW::set_base_selection() {}

void SEDQ_VIEW::copy_base_selection() {}

// ---- what may be changed -------------------------------------------------------------------------

bool SEDQ_VIEW::is_trigger_enabled()
{
    if (m_tx_manager->is_powerup_trigger(-1) &&
        m_tx_manager->get_lock_mode(false) != SEDQ_LOCK_MODE_ALLOW_ALL)
        return false;
    return !m_tx_manager->is_instance_acquiring(SEDQ_CURRENT);
}

bool SEDQ_VIEW::is_setup_enabled(bool for_display)
{
    return m_tx_manager->get_lock_mode(for_display) == SEDQ_LOCK_MODE_ALLOW_ALL && is_trigger_enabled();
}

// Under "Allow incremental route changes only" a post-fitting node may move between data and
// trigger as long as the allocation has room where it goes or it keeps its other use.
bool SEDQ_VIEW::is_reroute_enabled(int node, bool data_column, bool currently_enabled)
{
    const SEDQ_LOCK_MODE mode = m_tx_manager->get_lock_mode(true);
    if (mode == SEDQ_LOCK_MODE_ALLOW_ALL)
        return is_trigger_enabled();
    if (mode != SEDQ_LOCK_MODE_ALLOW_INCREMENTAL || node == -1 ||
        SEDQ_NODE(m_tx_manager, node, SEDQ_CURRENT).get_tap_mode() == SDR_TAP_PRE_SYNTHESIS)
        return false;
    SEDQ_TX_MANAGER* tx = m_tx_manager;
    const bool data_room = tx->get_data_nodes_allocated(-1) > tx->get_data_nodes_used(-1);
    const bool trigger_room = tx->get_trigger_nodes_allocated(-1) > tx->get_trigger_nodes_used(-1);
    const SEDQ_NODE row(tx, node, SEDQ_CURRENT);
    bool allowed = false;
    if (data_column)
        allowed = !currently_enabled
                      ? data_room
                      : trigger_room || row.is_trigger_enabled(nullptr, SEDQ_PATTERN_ANY_LEVEL);
    else
        allowed = !currently_enabled ? trigger_room : data_room || row.is_data_enabled(nullptr);
    return allowed && is_trigger_enabled();
}

// The storage box turns on and off by the trigger column's room test, as a press on it does.
bool SEDQ_VIEW::is_enable_box_enabled(int node, int column, bool value, bool setup_enabled)
{
    if (column == SEDQ_COLUMN_DATA_ENABLE)
        return setup_enabled || is_reroute_enabled(node, true, value);
    if (column == SEDQ_COLUMN_TRIGGER_ENABLE)
        return (setup_enabled || is_reroute_enabled(node, false, value)) &&
               !is_comparison_trigger_group_member(node);
    if (column == SEDQ_COLUMN_STORAGE_ENABLE)
        return (setup_enabled || is_reroute_enabled(node, false, value)) &&
               !is_comparison_storage_qualifier_group_member(node);
    return false;
}

// ---- relayout ------------------------------------------------------------------------------------

void SEDQ_VIEW::send_resize_event()
{
    invalidate_row_layout();
    QResizeEvent event(size(), size());
    resizeEvent(&event);
}

void SEDQ_VIEW::set_resize_flag(bool layout_flag)
{
    if (layout_flag)
        m_layout_flag = true;
    else
        m_undo_relayout_flag = true;
}

void SEDQ_VIEW::clear_resize_flag()
{
    m_undo_relayout_flag = false;
    m_layout_flag = false;
}

void SEDQ_VIEW::set_drop_item(int node, bool before)
{
    m_drop_item = node;
    m_drop_before = before;
}

void SEDQ_VIEW::reset_drop_item()
{
    m_drop_item = -1;
    m_drop_before = false;
}

int SEDQ_VIEW::get_drop_item(bool* before) const
{
    if (before != nullptr)
        *before = m_drop_before;
    return m_drop_item;
}
