// SEDQ_TX_MANAGER: the node lists of the current instance, reading a row and the tree queries
// over groups. Groups are stored flat (a group row, then its members), so the host list answers
// each tree query from its cached subtree ends without walking the list.
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/model/sedq_util.h"

#include "host/hdb.h"
#include "host/sdr/sdr_tx_signal_set.h"
#include "host/sdr/sdr_tx_trigger.h"
#include "sedq/model/sedq_verify.h"

namespace
{
// The netlist's type bits, in the order in which one wins over another.
constexpr unsigned TYPE_PRIORITY[] = {0x4, 0x8, 0x10, 0x40, 0x80, 0x20, 0x400};

bool is_member_type(SDR_DATA_NODE_DISPLAY_TYPE type)
{
    return type == SDR_NTYPE_MEMBER || type == SDR_NTYPE_LAST_MEMBER;
}
} // namespace

// ---- the lists -------------------------------------------------------------------------------

SDR_TX_SIGNAL_NODES* SEDQ_TX_MANAGER::edit_nodes(int list)
{
    if (m_list_view_mode || is_data_mode(list))
        return edit_signal_nodes(list);
    return edit_trigger_nodes(list);
}

SDR_TX_SIGNAL_SET* SEDQ_TX_MANAGER::edit_signal_nodes(int signal_set)
{
    SDR_TX_SIGNAL_SET* return_value = m_tx_signals;
    if (signal_set != -1)
        return_value = m_tx_session ? m_tx_session->get_signal_set_at(signal_set, false) : nullptr;
    SEDQ_VERIFY(return_value);
    return return_value;
}

int SEDQ_TX_MANAGER::get_node_count(int list)
{
    if (is_empty())
        return 0;
    SDR_TX_SIGNAL_NODES* nodes = edit_nodes(list);
    return nodes != nullptr ? nodes->get_num_nodes() : 0;
}

// ---- reading a row ---------------------------------------------------------------------------

bool SEDQ_TX_MANAGER::get_node(int node, SDR_DATA_NODE_DISPLAY_TYPE* display_type, QString* name,
                               SDR_DATA_SIGNAL_TYPE* signal_type, QString* alias, QString* debug_port_out,
                               bool* data_enabled, bool* trigger_enabled, int pattern,
                               SDR_DATA_TRIGGER_CONDITION* condition)
{
    SDR_TX_SIGNAL_NODES* nodes = edit_nodes(SEDQ_CURRENT);
    if (nodes == nullptr)
        return true;
    if (display_type != nullptr)
        *display_type = nodes->get_node_display_type(node);
    if (name != nullptr)
        *name = QString::fromLocal8Bit(nodes->get_node_name(node));
    if (signal_type != nullptr)
        *signal_type = nodes->get_node_signal_type(node);
    if (alias != nullptr)
        *alias = QString::fromLocal8Bit(nodes->get_node_alias(node));
    if (debug_port_out != nullptr)
    {
        const char* port = nodes->get_node_debug_port_out(node);
        *debug_port_out = port != nullptr ? QString::fromLocal8Bit(port) : QString();
    }
    const SDR_DATA_WIRE_CAPTURE_TYPE capture = nodes->get_node_capture_type(node);
    if (data_enabled != nullptr)
        *data_enabled = capture == SDR_WTYPE_DATA_ONLY || capture == SDR_WTYPE_DATA_AND_TRIGGER;
    if (trigger_enabled != nullptr)
        *trigger_enabled = capture == SDR_WTYPE_TRIGGER_ONLY || capture == SDR_WTYPE_DATA_AND_TRIGGER;
    if (condition != nullptr && pattern >= SEDQ_PATTERN_SQ_CONDITIONAL && m_tx_trigger != nullptr &&
        pattern < m_tx_trigger->get_num_levels())
    {
        if (is_advanced_trigger(pattern, SEDQ_CURRENT) &&
            nodes->get_node_tap_mode(node) == SDR_TAP_PRE_SYNTHESIS)
            *condition = SDR_CTYPE_ADVANCED;
        // The data list reads the conditions of its rows from their linked trigger rows, so
        // the current list gives the trigger's condition in either tab.
        else if (pattern < 0 && SEDQ_VERIFY_SQ_PATTERN(pattern))
            *condition = nodes->get_condition(node, sedq_sq_index(pattern), true);
        else if (pattern >= 0)
            *condition = nodes->get_condition(node, pattern, false);
    }
    return true;
}

int SEDQ_TX_MANAGER::get_child_item_count(int node, int list)
{
    if (!is_parent_item(node, list))
        return 0;
    const int count = get_trigger_node_count(list);
    int children = 0;
    for (int row = node + 1; row < count && is_child_item(row, list); ++row)
        ++children;
    return children;
}

bool SEDQ_TX_MANAGER::get_node_alias(int node, QString* alias)
{
    SDR_TX_SIGNAL_NODES* nodes = edit_nodes(SEDQ_CURRENT);
    *alias = nodes != nullptr ? QString::fromLocal8Bit(nodes->get_node_alias(node)) : QString();
    return true;
}

bool SEDQ_TX_MANAGER::get_node_group_display_type(int node, SDR_DATA_GROUP_DISPLAY_TYPE* display_type,
                                                  int trigger)
{
    SDR_TX_SIGNAL_NODES* nodes = trigger == -1 ? edit_nodes(SEDQ_CURRENT) : edit_trigger_nodes(trigger);
    *display_type = nodes ? nodes->get_group_display_type(node) : SDR_GTYPE_INVALID;
    return *display_type != SDR_GTYPE_INVALID;
}

bool SEDQ_TX_MANAGER::get_node_lsb_to_msb(int node, bool* lsb_to_msb, int trigger)
{
    SDR_TX_SIGNAL_NODES* nodes = trigger == -1 ? edit_nodes(SEDQ_CURRENT) : edit_trigger_nodes(trigger);
    *lsb_to_msb = nodes != nullptr && nodes->is_lsb_to_msb(node);
    return true;
}

bool SEDQ_TX_MANAGER::get_node_selection_status(int node)
{
    SDR_TX_SIGNAL_NODES* nodes = edit_nodes(SEDQ_CURRENT);
    return nodes != nullptr && nodes->get_node_selection_status(node);
}

SDR_DATA_WIRE_TAP_MODE SEDQ_TX_MANAGER::get_node_tap_mode(int node, int trigger)
{
    SDR_TX_TRIGGER* nodes = edit_trigger_nodes(trigger);
    return nodes != nullptr ? nodes->get_node_tap_mode(node) : SDR_TAP_PRE_SYNTHESIS;
}

SDR_DATA_WIRE_CAPTURE_TYPE SEDQ_TX_MANAGER::get_node_capture_type(int node)
{
    SDR_TX_TRIGGER* nodes = edit_trigger_nodes(SEDQ_CURRENT);
    return nodes != nullptr ? nodes->get_node_capture_type(node) : SDR_WTYPE_UNSET;
}

int SEDQ_TX_MANAGER::get_node_depth(int node)
{
    SDR_TX_SIGNAL_NODES* nodes = edit_nodes(SEDQ_CURRENT);
    return nodes != nullptr ? nodes->get_node_depth(node) : 0;
}

bool SEDQ_TX_MANAGER::is_node_data_tab_only(int node)
{
    SDR_TX_SIGNAL_NODES* nodes = edit_nodes(SEDQ_CURRENT);
    return nodes != nullptr && nodes->is_node_data_tab_only(node);
}

bool SEDQ_TX_MANAGER::get_connection_status(int node)
{
    if (m_tx_log == nullptr || !m_tx_log->is_data_available(false))
        return false;
    SDR_TX_SIGNAL_SET* data_list = edit_signal_nodes(SEDQ_CURRENT);
    const int wire = data_list != nullptr ? data_list->get_node_wire_index(node) : -1;
    return wire != -1 && m_tx_log->get_connection_status(wire);
}

SDR_DATA_SIGNAL_TYPE SEDQ_TX_MANAGER::get_type(unsigned int flags)
{
    for (unsigned bit : TYPE_PRIORITY)
    {
        if ((flags & bit) != 0)
            return SDR_DATA_SIGNAL_TYPE(bit);
    }
    return SDR_STYPE_PLAIN;
}

SDR_DATA_SIGNAL_TYPE SEDQ_TX_MANAGER::get_type(HDB_INSTANCE_NAME const* name)
{
    return name != nullptr ? get_type(name->get_flags().get()) : SDR_STYPE_PLAIN;
}

// ---- tree queries ----------------------------------------------------------------------------

bool SEDQ_TX_MANAGER::is_standalone_node(int node)
{
    SDR_TX_SIGNAL_NODES* nodes = edit_nodes(SEDQ_CURRENT);
    return nodes != nullptr && nodes->get_node_display_type(node) == SDR_NTYPE_STANDALONE;
}

bool SEDQ_TX_MANAGER::is_group_node(int node)
{
    if (is_empty())
        return false;
    SDR_TX_SIGNAL_NODES* nodes = edit_nodes(SEDQ_CURRENT);
    return nodes != nullptr && sedq_is_group_display(nodes->get_node_display_type(node));
}

bool SEDQ_TX_MANAGER::is_group_member(int node)
{
    SDR_TX_SIGNAL_NODES* nodes = edit_nodes(SEDQ_CURRENT);
    return nodes != nullptr && is_member_type(nodes->get_node_display_type(node));
}

bool SEDQ_TX_MANAGER::is_last_group_member(int node)
{
    SDR_TX_SIGNAL_NODES* nodes = edit_nodes(SEDQ_CURRENT);
    return nodes != nullptr && nodes->get_node_display_type(node) == SDR_NTYPE_LAST_MEMBER;
}

bool SEDQ_TX_MANAGER::is_first_group_member(int node)
{
    SDR_TX_SIGNAL_NODES* nodes = edit_nodes(SEDQ_CURRENT);
    return node >= 1 && nodes != nullptr && nodes->get_node_display_type(node) == SDR_NTYPE_MEMBER &&
           is_group_node(node - 1);
}

// The queries the host list answers as they are.
#define SEDQ_FORWARD_TREE_QUERY(TYPE, NAME, NEUTRAL)                                                         \
    TYPE SEDQ_TX_MANAGER::NAME(int node)                                                                     \
    {                                                                                                        \
        SDR_TX_SIGNAL_NODES* nodes = edit_nodes(SEDQ_CURRENT);                                                \
        return nodes != nullptr ? nodes->NAME(node) : NEUTRAL;                                               \
    }

SEDQ_FORWARD_TREE_QUERY(bool, is_group_member_node, false)
SEDQ_FORWARD_TREE_QUERY(bool, is_parent_visible, false)
SEDQ_FORWARD_TREE_QUERY(bool, is_any_parent_not_visible, false)
SEDQ_FORWARD_TREE_QUERY(bool, has_parent, false)
SEDQ_FORWARD_TREE_QUERY(bool, has_children, false)
SEDQ_FORWARD_TREE_QUERY(bool, is_grandparent, false)
SEDQ_FORWARD_TREE_QUERY(bool, is_last_child, false)
SEDQ_FORWARD_TREE_QUERY(int, get_last_child_index, -1)
SEDQ_FORWARD_TREE_QUERY(bool, is_node_expanded, false)
SEDQ_FORWARD_TREE_QUERY(int, get_num_leaf_children, 0)

#undef SEDQ_FORWARD_TREE_QUERY

bool SEDQ_TX_MANAGER::is_descendant(int ancestor, int node)
{
    SDR_TX_SIGNAL_NODES* nodes = edit_nodes(SEDQ_CURRENT);
    return nodes != nullptr && nodes->is_descendant(ancestor, node);
}

int SEDQ_TX_MANAGER::get_parent_index(int node, int level)
{
    SDR_TX_SIGNAL_NODES* nodes = edit_nodes(SEDQ_CURRENT);
    return nodes != nullptr ? nodes->get_parent_index(node, level) : -1;
}

void SEDQ_TX_MANAGER::get_direct_children(int node, std::vector<int>* children)
{
    SDR_TX_SIGNAL_NODES* nodes = edit_nodes(SEDQ_CURRENT);
    if (nodes != nullptr)
        nodes->get_direct_children(node, children);
}

// A group's descendants are the rows that follow it up to the end of its subtree, so only
// those rows are asked, not the whole list.
void SEDQ_TX_MANAGER::get_all_descendants(int node, std::vector<int>* descendants)
{
    SDR_TX_SIGNAL_NODES* nodes = descendants != nullptr ? edit_nodes(SEDQ_CURRENT) : nullptr;
    if (nodes == nullptr)
        return;
    const int last = nodes->get_last_child_index(node);
    for (int row = node + 1; row <= last; ++row)
    {
        if (nodes->is_descendant(node, row))
            descendants->push_back(row);
    }
}
