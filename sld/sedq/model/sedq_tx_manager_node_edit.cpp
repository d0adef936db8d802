// SEDQ_TX_MANAGER: editing the node list of the current instance: deleting, copying, moving,
// grouping, renaming and aliasing rows, the per-row capture, tap-mode and comparison settings,
// selection, and the hidden-in-mode and deletable tests. None of these opens an edit bracket:
// the caller does, so one user action is one undo step.
#include "sedq/model/sedq_tx_manager.h"

#include "host/qui.h"
#include "host/sdr/sdr_data_manager.h"
#include "host/sdr/sdr_tx_signal_nodes.h"
#include "host/sdr/sdr_tx_signal_set.h"
#include "host/sdr/sdr_tx_trigger.h"
#include "sedq/model/sedq_group_link.h"
#include "sedq/model/sedq_node.h"
#include "sedq/model/sedq_trigger_pattern.h"
#include "sedq/model/sedq_verify.h"

namespace
{
constexpr int LINK_GROUPS = 0x1;
constexpr int LINK_ORDER = 0x2;
constexpr int LINK_MNEMONICS = 0x4;
constexpr int LINK_PROPERTIES = 0x8;

SDR_DATA_WIRE_CAPTURE_TYPE toggled_data(SDR_DATA_WIRE_CAPTURE_TYPE capture)
{
    switch (capture)
    {
    case SDR_WTYPE_DATA_ONLY:
        return SDR_WTYPE_NEITHER;
    case SDR_WTYPE_TRIGGER_ONLY:
        return SDR_WTYPE_DATA_AND_TRIGGER;
    case SDR_WTYPE_DATA_AND_TRIGGER:
        return SDR_WTYPE_TRIGGER_ONLY;
    default:
        return SDR_WTYPE_DATA_ONLY;
    }
}

SDR_DATA_WIRE_CAPTURE_TYPE toggled_trigger(SDR_DATA_WIRE_CAPTURE_TYPE capture)
{
    switch (capture)
    {
    case SDR_WTYPE_DATA_ONLY:
        return SDR_WTYPE_DATA_AND_TRIGGER;
    case SDR_WTYPE_TRIGGER_ONLY:
        return SDR_WTYPE_NEITHER;
    case SDR_WTYPE_DATA_AND_TRIGGER:
        return SDR_WTYPE_DATA_ONLY;
    default:
        return SDR_WTYPE_TRIGGER_ONLY;
    }
}
} // namespace

int sedq_group_link_mask()
{
    if (!SEDQ_TX_MANAGER::m_cfg_link_groups)
        return 0;
    int mask = LINK_GROUPS;
    if (SEDQ_TX_MANAGER::m_cfg_link_properties)
        mask |= LINK_PROPERTIES;
    if (SEDQ_TX_MANAGER::m_cfg_link_order)
        mask |= LINK_ORDER;
    if (SEDQ_TX_MANAGER::m_cfg_link_mnemonics)
        mask |= LINK_MNEMONICS;
    return mask;
}

bool sedq_link_group(SDR_TX_SIGNAL_NODES* nodes, int row, int mask)
{
    return nodes->set_group_node_link(row, mask, mask | LINK_MNEMONICS);
}

// ---- deleting, copying, moving ---------------------------------------------------------------

int SEDQ_TX_MANAGER::delete_node(int first, int last)
{
    SDR_TX_SIGNAL_NODES* nodes = edit_nodes(SEDQ_CURRENT);
    const int result = nodes != nullptr ? nodes->delete_node(first, last) : 0;
    if (result != 0)
        update_modified_flag();
    return result;
}

bool SEDQ_TX_MANAGER::delete_node(char const* name)
{
    SDR_TX_SIGNAL_NODES* nodes = edit_nodes(SEDQ_CURRENT);
    const bool deleted = nodes != nullptr && nodes->delete_node(name);
    if (deleted)
        update_modified_flag();
    return deleted;
}

int SEDQ_TX_MANAGER::delete_selected_nodes()
{
    SDR_TX_SIGNAL_NODES* nodes = edit_nodes(SEDQ_CURRENT);
    const int count = nodes != nullptr ? nodes->delete_selected_nodes() : 0;
    if (m_tx_trigger != nullptr)
        m_tx_trigger->refresh_derived_data();
    if (count != 0)
        update_modified_flag();
    return count;
}

int SEDQ_TX_MANAGER::copy_before_node(int first, int last, int before, bool into_group)
{
    SDR_TX_SIGNAL_NODES* nodes = edit_nodes(SEDQ_CURRENT);
    const int result = nodes != nullptr ? nodes->copy_before_node(first, last, before, into_group) : -1;
    update_modified_flag();
    return result;
}

bool SEDQ_TX_MANAGER::move_before_node(int first, int last, int before, bool into_group)
{
    select_node_range(first, last, true);
    SDR_TX_SIGNAL_NODES* nodes = edit_nodes(SEDQ_CURRENT);
    const bool moved = nodes != nullptr && nodes->move_selected_before_node(before, into_group);
    update_modified_flag();
    return moved;
}

bool SEDQ_TX_MANAGER::move_selected_before_node(int before, bool into_group)
{
    SDR_TX_SIGNAL_NODES* nodes = edit_nodes(SEDQ_CURRENT);
    const bool moved = nodes != nullptr && nodes->move_selected_before_node(before, into_group);
    update_modified_flag();
    return moved;
}

bool SEDQ_TX_MANAGER::copy_selected_before_node(int before, bool into_group)
{
    SDR_TX_SIGNAL_NODES* nodes = edit_nodes(SEDQ_CURRENT);
    const bool copied = nodes != nullptr && nodes->copy_selected_before_node(before, into_group);
    update_modified_flag();
    return copied;
}

bool SEDQ_TX_MANAGER::is_valid_selection_for_grouping()
{
    SDR_TX_SIGNAL_NODES* nodes = edit_nodes(SEDQ_CURRENT);
    return nodes != nullptr && nodes->is_valid_selection_for_grouping();
}

bool SEDQ_TX_MANAGER::is_invalid_index_for_drop(int index, bool flag)
{
    SDR_TX_SIGNAL_NODES* nodes = edit_nodes(SEDQ_CURRENT);
    return nodes == nullptr || nodes->is_invalid_index_for_drop(index, flag);
}

// ---- groups ----------------------------------------------------------------------------------

bool SEDQ_TX_MANAGER::group_node(int first, int last)
{
    SDR_TX_SIGNAL_NODES* nodes = edit_nodes(SEDQ_CURRENT);
    bool result = nodes != nullptr && nodes->group_node(first, last, nullptr);
    if (result && m_cfg_link_groups)
        result = sedq_link_group(nodes, first, sedq_group_link_mask());
    if (result && has_at_least_one_basic_or_trigger_level())
        update_all_views(nullptr, sedq_hint(SEDQ_UPDATE_INSTANCES));
    update_modified_flag();
    return result;
}

bool SEDQ_TX_MANAGER::group_selected_nodes()
{
    SDR_TX_SIGNAL_NODES* nodes = edit_nodes(SEDQ_CURRENT);
    const bool grouped = nodes != nullptr && nodes->group_selected_nodes();
    if (has_at_least_one_basic_or_trigger_level())
        update_all_views(nullptr, sedq_hint(SEDQ_UPDATE_INSTANCES));
    return grouped;
}

bool SEDQ_TX_MANAGER::ungroup_node(int node)
{
    SDR_TX_SIGNAL_NODES* nodes = edit_nodes(SEDQ_CURRENT);
    const bool ungrouped = nodes != nullptr && nodes->ungroup_node(node);
    if (ungrouped && has_at_least_one_basic_or_trigger_level())
        update_all_views(nullptr, sedq_hint(SEDQ_UPDATE_INSTANCES));
    update_modified_flag();
    return ungrouped;
}

bool SEDQ_TX_MANAGER::toggle_node(int node)
{
    SDR_TX_SIGNAL_NODES* nodes = edit_nodes(SEDQ_CURRENT);
    const bool toggled = nodes != nullptr && nodes->toggle_node(node);
    update_modified_flag();
    return toggled;
}

// ---- names and aliases -----------------------------------------------------------------------

// A taken alias gets " (1)", " (2)", ... appended; the candidates stop after one more than the
// list has rows (no list can hold that many aliases), so a list that refuses every alias cannot
// keep the editor in a loop.
bool SEDQ_TX_MANAGER::set_node_alias(int node, QString const& alias)
{
    SDR_TX_SIGNAL_NODES* nodes = edit_nodes(SEDQ_CURRENT);
    if (nodes == nullptr)
        return false;
    if (alias.isEmpty())
    {
        const bool cleared = nodes->set_node_alias(node, "");
        update_modified_flag();
        return cleared;
    }
    // An alias the file could not hold is refused, with or without a number (the edit's end
    // tells the user why).
    const auto too_long = [] { return SDR_DATA_MANAGER::get_data_repository_manager()->has_refusal(); };
    bool accepted = nodes->set_node_alias(node, alias.toLocal8Bit().constData());
    const int bound = nodes->get_num_nodes() + 1;
    for (int n = 1; !accepted && !too_long() && n <= bound; ++n)
        accepted = nodes->set_node_alias(node, QStringLiteral("%1 (%2)").arg(alias).arg(n).toLocal8Bit().constData());
    if (too_long())
        return false;
    if (!accepted)
        SEDQ_REPORT("nodes->set_node_alias(node, alias)");
    update_modified_flag();
    return accepted;
}

bool SEDQ_TX_MANAGER::rename_node(int node, QString const& name)
{
    SDR_TX_SIGNAL_NODES* nodes = name.isEmpty() ? nullptr : edit_nodes(SEDQ_CURRENT);
    if (nodes == nullptr || !nodes->set_node_name(node, name.toLocal8Bit().constData()))
        return false;
    check_node_validity(SEDQ_CURRENT);
    update_modified_flag();
    update_all_views(nullptr, sedq_hint(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_ACQUISITION_STOPPED | SEDQ_UPDATE_INSTANCES |
                                        SEDQ_UPDATE_HIERARCHY));
    return true;
}

bool SEDQ_TX_MANAGER::rename_group(int node, QString const& name)
{
    SDR_TX_SIGNAL_NODES* nodes = name.isEmpty() ? nullptr : edit_nodes(SEDQ_CURRENT);
    if (nodes == nullptr || !nodes->set_group_node_name(node, name.toLocal8Bit().constData()))
        return false;
    update_modified_flag();
    update_all_views(nullptr, sedq_hint(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_HIERARCHY));
    return true;
}

// ---- per-row settings ------------------------------------------------------------------------

bool SEDQ_TX_MANAGER::set_node_group_display_type(int node, SDR_DATA_GROUP_DISPLAY_TYPE display_type)
{
    SDR_TX_SIGNAL_NODES* nodes = edit_nodes(SEDQ_CURRENT);
    const bool set = nodes != nullptr && nodes->set_group_display_type(node, display_type);
    if (set)
        update_modified_flag();
    return set;
}

bool SEDQ_TX_MANAGER::set_node_lsb_to_msb(int node, bool lsb_to_msb)
{
    SDR_TX_SIGNAL_NODES* nodes = edit_nodes(SEDQ_CURRENT);
    const bool set = nodes != nullptr && nodes->set_lsb_to_msb(node, lsb_to_msb);
    if (set)
        update_modified_flag();
    return set;
}

bool SEDQ_TX_MANAGER::set_node_tap_mode(int node, SDR_DATA_WIRE_TAP_MODE tap_mode)
{
    const bool set = m_tx_trigger != nullptr && m_tx_trigger->set_node_tap_mode(node, tap_mode);
    if (set)
        update_modified_flag();
    return set;
}

bool SEDQ_TX_MANAGER::set_node_capture_type(int node, SDR_DATA_WIRE_CAPTURE_TYPE capture_type)
{
    const bool set = m_tx_trigger != nullptr && m_tx_trigger->set_node_capture_type(node, capture_type);
    if (set)
        update_modified_flag();
    return set;
}

bool SEDQ_TX_MANAGER::toggle_data(int node)
{
    return m_tx_trigger != nullptr && set_node_capture_type(node, toggled_data(m_tx_trigger->get_node_capture_type(node)));
}

bool SEDQ_TX_MANAGER::toggle_trigger(int node)
{
    return m_tx_trigger != nullptr &&
           set_node_capture_type(node, toggled_trigger(m_tx_trigger->get_node_capture_type(node)));
}

bool SEDQ_TX_MANAGER::toggle_node_tap_mode(int node)
{
    if (m_tx_trigger == nullptr)
        return false;
    const SDR_DATA_WIRE_TAP_MODE tap = m_tx_trigger->get_node_tap_mode(node);
    if (tap != SDR_TAP_PRE_SYNTHESIS && tap != SDR_TAP_POST_FITTING)
        return false;
    const bool set = m_tx_trigger->set_node_tap_mode(
        node, tap == SDR_TAP_PRE_SYNTHESIS ? SDR_TAP_POST_FITTING : SDR_TAP_PRE_SYNTHESIS);
    update_modified_flag();
    return set;
}

bool SEDQ_TX_MANAGER::set_comparison_trigger_enabled(int node, int pattern, bool enabled, int trigger)
{
    SDR_TX_TRIGGER* nodes = edit_trigger_nodes(trigger);
    const SEDQ_PATTERN_INDEX at = sedq_pattern_index(pattern);
    const bool set = nodes != nullptr && nodes->set_comparison_enabled(node, at.index, at.sq, enabled, true);
    if (set)
        update_modified_flag();
    return set;
}

bool SEDQ_TX_MANAGER::set_comparison_trigger_value(int node, int pattern, int bound, int value, int trigger)
{
    SDR_TX_TRIGGER* nodes = edit_trigger_nodes(trigger);
    const SEDQ_PATTERN_INDEX at = sedq_pattern_index(pattern);
    const bool set = nodes != nullptr && nodes->set_comparison_value(node, at.index, at.sq, bound, value);
    if (set)
        update_modified_flag();
    return set;
}

// ---- selection and locating ------------------------------------------------------------------

void SEDQ_TX_MANAGER::set_node_selection_status(int node, bool selected)
{
    if (SDR_TX_SIGNAL_NODES* nodes = edit_nodes(SEDQ_CURRENT))
        nodes->set_node_selection_status(node, selected);
}

void SEDQ_TX_MANAGER::select_node_range(int first, int last, bool selected)
{
    SDR_TX_SIGNAL_NODES* nodes = first <= last ? edit_nodes(SEDQ_CURRENT) : nullptr;
    for (int row = first; nodes != nullptr && row <= last; ++row)
        nodes->set_node_selection_status(row, selected);
}

bool SEDQ_TX_MANAGER::can_locate()
{
    QUI_PRJ_UI_MGR* project_ui_mgr = QUI_PRJ_UI_MGR::get_prj_ui_mgr();
    return SEDQ_VERIFY(project_ui_mgr != NULL) && project_ui_mgr->project_is_open();
}

void SEDQ_TX_MANAGER::locate(int node, unsigned int flags)
{
    const SEDQ_NODE row(this, node, SEDQ_CURRENT);
    locate(row.get_name(), flags, false);
}

void SEDQ_TX_MANAGER::locate(char const*, unsigned int, bool)
{
}

// ---- what a mode hides and what may be deleted -----------------------------------------------

namespace
{
// Node -1 asks whether every row is hidden (an empty list hides nothing).
template <typename HIDDEN>
bool hidden_in_mode(SEDQ_TX_MANAGER* manager, int node, HIDDEN hidden)
{
    if (node != -1)
        return hidden(SEDQ_NODE(manager, node, SEDQ_CURRENT));
    const int count = manager->get_node_count(SEDQ_CURRENT);
    for (int row = 0; row < count; ++row)
    {
        if (!hidden(SEDQ_NODE(manager, row, SEDQ_CURRENT)))
            return false;
    }
    return count > 0;
}
} // namespace

bool SEDQ_TX_MANAGER::is_node_hidden_in_storage_qualifier_mode(int node)
{
    return hidden_in_mode(this, node, [](const SEDQ_NODE& row) { return !row.is_storage_enabled(nullptr); });
}

bool SEDQ_TX_MANAGER::is_node_hidden_in_advanced_mode(int node)
{
    return hidden_in_mode(
        this, node, [](SEDQ_NODE row) { return !row.is_trigger_enabled(nullptr, SEDQ_PATTERN_ANY_LEVEL); });
}

bool SEDQ_TX_MANAGER::is_node_deletable(int node)
{
    SDR_TX_SIGNAL_NODES* nodes = edit_nodes(SEDQ_CURRENT);
    if (nodes == nullptr || !nodes->is_node_deletable(node))
        return false;
    if (is_data_mode(SEDQ_CURRENT))
        return true;
    return get_lock_mode(false) == SEDQ_LOCK_MODE_ALLOW_INCREMENTAL && nodes->get_node_tap_mode(node) == SDR_TAP_PRE_SYNTHESIS;
}

// ---- leaf flags of a node list ------------------------------------------------------------------

bool SEDQ_TX_MANAGER::toggle_storage(int node, int list)
{
    SDR_TX_SIGNAL_NODES* nodes = is_empty() ? nullptr : edit_nodes(list);
    if (nodes == nullptr || !nodes->set_node_storage_enabled(node, !nodes->is_node_storage_enabled(node)))
        return false;
    update_modified_flag();
    return true;
}

bool SEDQ_TX_MANAGER::toggle_transition(int node, int list)
{
    SDR_TX_SIGNAL_NODES* nodes = is_empty() ? nullptr : edit_nodes(list);
    if (nodes == nullptr || !nodes->set_node_transition_enabled(node, !nodes->is_node_transition_enabled(node)))
        return false;
    update_modified_flag();
    return true;
}

// The list answers nothing about an inversion: the document counts as modified anyway.
void SEDQ_TX_MANAGER::toggle_inverted(int node, int list)
{
    SDR_TX_SIGNAL_NODES* nodes = is_empty() ? nullptr : edit_nodes(list);
    if (nodes == nullptr)
        return;
    nodes->set_node_inverted(node, !nodes->is_node_inverted(node));
    update_modified_flag();
}
