// SEDQ_NODE: one node-list row read and changed through the document model, with the enables
// of a bus or group aggregated over its members.
#include "sedq/model/sedq_node.h"
#include "sedq/model/sedq_util.h"

#include "host/sdr/sdr_tx_signal_nodes.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/model/sedq_verify.h"

namespace
{

bool is_group_row(const SDR_TX_SIGNAL_NODES* nodes, int row)
{
    return sedq_is_group_display(nodes->get_node_display_type(row));
}

bool has_data(SDR_DATA_WIRE_CAPTURE_TYPE capture)
{
    return capture == SDR_WTYPE_DATA_ONLY || capture == SDR_WTYPE_DATA_AND_TRIGGER;
}

bool has_trigger(SDR_DATA_WIRE_CAPTURE_TYPE capture)
{
    return capture == SDR_WTYPE_TRIGGER_ONLY || capture == SDR_WTYPE_DATA_AND_TRIGGER;
}
} // namespace

SEDQ_NODE::SEDQ_NODE(SEDQ_TX_MANAGER* manager, int node, int list)
    : m_manager(manager), m_nodes(manager && !manager->is_empty() ? manager->get_nodes(list) : nullptr),
      m_node(node), m_list(list)
{
}

// ---- plain reads -------------------------------------------------------------------------------

SDR_DATA_NODE_DISPLAY_TYPE SEDQ_NODE::get_parent() const
{
    return m_nodes ? m_nodes->get_node_display_type(m_node) : SDR_NTYPE_STANDALONE;
}

const char* SEDQ_NODE::get_name() const
{
    const char* name = m_nodes ? m_nodes->get_node_name(m_node) : nullptr;
    return name ? name : "";
}

SDR_DATA_SIGNAL_TYPE SEDQ_NODE::get_type() const
{
    return m_nodes ? m_nodes->get_node_signal_type(m_node) : SDR_STYPE_PLAIN;
}

const char* SEDQ_NODE::get_alias() const
{
    const char* alias = m_nodes ? m_nodes->get_node_alias(m_node) : nullptr;
    return alias ? alias : "";
}

SDR_DATA_WIRE_CAPTURE_TYPE SEDQ_NODE::get_capture_type() const
{
    return m_nodes ? m_nodes->get_node_capture_type(m_node) : SDR_WTYPE_NEITHER;
}

int SEDQ_NODE::get_node_depth() const
{
    return m_nodes ? m_nodes->get_node_depth(m_node) : 0;
}

int SEDQ_NODE::get_trigger_level() const
{
    return m_nodes ? m_nodes->get_num_trigger_levels() : 0;
}

const char* SEDQ_NODE::get_debug_port_out() const
{
    return m_nodes ? m_nodes->get_node_debug_port_out(m_node) : nullptr;
}

SDR_DATA_TRIGGER_CONDITION SEDQ_NODE::get_trigger_pattern(int nTriggerLevel) const
{
    if (nTriggerLevel < 0 && !SEDQ_VERIFY_SQ_PATTERN(nTriggerLevel))
        return SDR_CTYPE_DISABLED;
    if (m_nodes == nullptr)
        return SDR_CTYPE_DISABLED;
    if (nTriggerLevel >= 0)
        return m_nodes->get_condition(m_node, nTriggerLevel, false);
    return m_nodes->get_condition(m_node, sedq_sq_index(nTriggerLevel), true);
}

bool SEDQ_NODE::is_child() const
{
    return m_nodes != nullptr && m_nodes->has_parent(m_node);
}

bool SEDQ_NODE::is_parent() const
{
    return m_nodes != nullptr && m_nodes->has_children(m_node);
}

void SEDQ_NODE::get_all_descendants(int node, std::vector<int>* descendants) const
{
    if (m_manager != nullptr && !m_manager->is_empty())
        m_manager->get_all_descendants(node, descendants);
}

// A bus is post-fitting only when all of its members are (one without members counts as one).
SDR_DATA_WIRE_TAP_MODE SEDQ_NODE::get_tap_mode() const
{
    if (m_nodes == nullptr)
        return SDR_TAP_PRE_SYNTHESIS;
    if (!is_parent())
        return m_nodes->get_node_tap_mode(m_node);
    const int last = m_nodes->get_last_child_index(m_node);
    for (int row = m_node + 1; row <= last; ++row)
        if (!m_nodes->has_children(row) && m_nodes->get_node_tap_mode(row) != SDR_TAP_POST_FITTING)
            return SDR_TAP_PRE_SYNTHESIS;
    return SDR_TAP_POST_FITTING;
}

// ---- aggregated states -------------------------------------------------------------------------

bool SEDQ_NODE::is_group_for(int row, FLAG flag) const
{
    // Data, storage and transition follow the display type; the others whether members exist.
    if (flag == DATA || flag == STORAGE || flag == TRANSITION)
        return is_group_row(m_nodes, row);
    return m_nodes->has_children(row);
}

// The state of one leaf. `level` matters for the trigger only (see is_trigger_enabled).
bool SEDQ_NODE::is_set(int row, FLAG flag, int level) const
{
    switch (flag)
    {
    case DATA:
        return has_data(m_nodes->get_node_capture_type(row));
    case TRIGGER:
        if (!has_trigger(m_nodes->get_node_capture_type(row)))
            return false;
        if (level == SEDQ_PATTERN_ANY_LEVEL || !m_manager->is_advanced_trigger(level, SEDQ_CURRENT))
            return true;
        return m_nodes->get_node_tap_mode(row) != SDR_TAP_PRE_SYNTHESIS &&
               !m_manager->is_incremental_compile();
    case STORAGE:
        return m_nodes->is_node_storage_enabled(row);
    case TRANSITION:
        return m_nodes->is_node_transition_enabled(row);
    case INVERTED:
        return m_nodes->is_node_inverted(row);
    case DEBUG_PORT:
        return m_nodes->is_node_debug_port_out_enabled(row);
    }
    return false;
}

// A leaf answers for itself. A group walks its members (nested groups are covered by their
// own members, which follow them in the walk): without `partially` the first set member
// decides; with it the walk stops once a set and a clear member have both been seen.
bool SEDQ_NODE::aggregate(FLAG flag, int level, bool* partially) const
{
    if (partially != nullptr)
        *partially = false;
    if (m_nodes == nullptr)
        return false;
    if (!is_group_for(m_node, flag))
        return is_set(m_node, flag, level);
    bool any_set = false;
    bool any_clear = false;
    const int last = m_nodes->get_last_child_index(m_node);
    const int count = m_nodes->get_num_nodes();
    for (int row = m_node + 1; row <= last && row < count; ++row)
    {
        if (is_group_for(row, flag) || (flag == TRANSITION && !m_nodes->is_node_storage_enabled(row)))
            continue;
        (is_set(row, flag, level) ? any_set : any_clear) = true;
        if (any_set && (partially == nullptr || any_clear))
            break;
    }
    if (partially != nullptr)
        *partially = any_set && any_clear;
    return any_set;
}

bool SEDQ_NODE::is_data_enabled(bool* partially) const
{
    return aggregate(DATA, SEDQ_PATTERN_ANY_LEVEL, partially);
}

bool SEDQ_NODE::is_storage_enabled(bool* partially) const
{
    return aggregate(STORAGE, SEDQ_PATTERN_ANY_LEVEL, partially);
}

bool SEDQ_NODE::is_transition_enabled(bool* partially) const
{
    return aggregate(TRANSITION, SEDQ_PATTERN_ANY_LEVEL, partially);
}

bool SEDQ_NODE::is_signal_inverted(bool* partially) const
{
    return aggregate(INVERTED, SEDQ_PATTERN_ANY_LEVEL, partially);
}

bool SEDQ_NODE::is_debug_port_out_enabled(bool* partially) const
{
    return aggregate(DEBUG_PORT, SEDQ_PATTERN_ANY_LEVEL, partially);
}

bool SEDQ_NODE::is_trigger_enabled(bool* partially, int level) const
{
    if (sedq_is_sq_pattern(level))
        return is_storage_enabled(partially);
    return aggregate(TRIGGER, level, partially);
}

// ---- setters -----------------------------------------------------------------------------------

void SEDQ_NODE::toggle_leaf(int row, FLAG flag)
{
    switch (flag)
    {
    case DATA:
        m_manager->toggle_data(row);
        return;
    case TRIGGER:
        m_manager->toggle_trigger(row);
        return;
    case STORAGE:
        m_manager->toggle_storage(row, m_list);
        return;
    case TRANSITION:
        m_manager->toggle_transition(row, m_list);
        return;
    case INVERTED:
        m_manager->toggle_inverted(row, m_list);
        return;
    case DEBUG_PORT:
        return;
    }
}

void SEDQ_NODE::enable(FLAG flag, bool on)
{
    if (m_nodes == nullptr)
        return;
    if (!is_group_for(m_node, flag))
    {
        if (is_set(m_node, flag, SEDQ_PATTERN_ANY_LEVEL) != on)
            toggle_leaf(m_node, flag);
        return;
    }
    std::vector<int> descendants;
    get_all_descendants(m_node, &descendants);
    for (int row : descendants)
        if (!is_group_for(row, flag) && is_set(row, flag, SEDQ_PATTERN_ANY_LEVEL) != on)
            toggle_leaf(row, flag);
}

// A partly set group becomes all set, a fully set one all clear, an unset one all set.
void SEDQ_NODE::toggle(FLAG flag)
{
    if (m_nodes == nullptr)
        return;
    if (!is_group_for(m_node, flag))
        return toggle_leaf(m_node, flag);
    bool partially = false;
    const bool any = aggregate(flag, SEDQ_PATTERN_ANY_LEVEL, &partially);
    enable(flag, any ? partially : true);
}

void SEDQ_NODE::enable_data(bool on)
{
    enable(DATA, on);
}

void SEDQ_NODE::enable_trigger(bool on)
{
    enable(TRIGGER, on);
}

void SEDQ_NODE::enable_storage(bool on)
{
    enable(STORAGE, on);
}

void SEDQ_NODE::enable_transition(bool on)
{
    enable(TRANSITION, on);
}

void SEDQ_NODE::enable_signal_inverted(bool on)
{
    enable(INVERTED, on);
}

void SEDQ_NODE::toggle_data()
{
    toggle(DATA);
}

void SEDQ_NODE::toggle_trigger()
{
    toggle(TRIGGER);
}

void SEDQ_NODE::toggle_storage()
{
    toggle(STORAGE);
}

void SEDQ_NODE::toggle_transition()
{
    toggle(TRANSITION);
}

void SEDQ_NODE::toggle_signal_inverted()
{
    toggle(INVERTED);
}
