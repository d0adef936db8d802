// SEDQ_NODE: names and the storage and trigger enables of one node-list row.
#include "sedq/view/sedq_node.h"

#include "host/sdr/sdr_tx_signal_nodes.h"
#include "sedq/model/sedq_tx_manager.h"

namespace
{
constexpr int CAPTURE_ONLY_PATTERN = -4;

bool is_group(SDR_TX_SIGNAL_NODES* nodes, int row)
{
    const SDR_DATA_NODE_DISPLAY_TYPE type = nodes->get_node_display_type(row);
    return type == SDR_NTYPE_GROUP || type == SDR_NTYPE_GROUP_ALT;
}
} // namespace

SEDQ_NODE::SEDQ_NODE(SEDQ_TX_MANAGER* manager, int node, int list)
    : m_manager(manager), m_nodes(manager ? manager->get_nodes(list) : nullptr), m_node(node)
{
}

const char* SEDQ_NODE::get_name() const
{
    const char* name = m_nodes ? m_nodes->get_node_name(m_node) : nullptr;
    return name ? name : "";
}

bool SEDQ_NODE::is_group_row() const
{
    return m_nodes != nullptr && is_group(m_nodes, m_node);
}

// Whether `test` holds for any leaf below the group row; `mixed` tells whether the leaves differ.
template <typename TEST>
bool SEDQ_NODE::any_descendant(bool* mixed, TEST test) const
{
    int on = 0;
    int off = 0;
    const int last = m_nodes->get_last_child_index(m_node);
    for (int row = m_node + 1; row <= last && row < m_nodes->get_num_nodes(); ++row)
    {
        if (is_group(m_nodes, row))
            continue;
        (test(row) ? on : off) += 1;
    }
    if (mixed != nullptr)
        *mixed = on > 0 && off > 0;
    return on > 0;
}

bool SEDQ_NODE::is_storage_enabled(bool* mixed) const
{
    if (mixed != nullptr)
        *mixed = false;
    if (m_nodes == nullptr)
        return false;
    if (!is_group_row())
        return m_nodes->is_node_storage_enabled(m_node);
    return any_descendant(mixed, [this](int row) { return m_nodes->is_node_storage_enabled(row); });
}

bool SEDQ_NODE::leaf_trigger_enabled(int row, int pattern)
{
    const SDR_DATA_WIRE_CAPTURE_TYPE capture = m_nodes->get_node_capture_type(row);
    const bool enabled = capture == SDR_WTYPE_TRIGGER_ONLY || capture == SDR_WTYPE_DATA_AND_TRIGGER;
    if (!enabled || pattern == CAPTURE_ONLY_PATTERN)
        return enabled;
    if (!m_manager->is_advanced_trigger(pattern, -1))
        return true;
    return m_nodes->get_node_tap_mode(row) != SDR_TAP_PRE_SYNTHESIS && !m_manager->is_incremental_compile();
}

bool SEDQ_NODE::is_trigger_enabled(bool* mixed, int pattern)
{
    if (pattern >= -3 && pattern <= -1)
        return is_storage_enabled(mixed);
    if (mixed != nullptr)
        *mixed = false;
    if (m_nodes == nullptr)
        return false;
    if (!is_group_row())
        return leaf_trigger_enabled(m_node, pattern);
    return any_descendant(mixed, [this, pattern](int row) { return leaf_trigger_enabled(row, pattern); });
}

SDR_DATA_WIRE_TAP_MODE SEDQ_NODE::get_tap_mode() const
{
    if (m_nodes == nullptr)
        return SDR_TAP_PRE_SYNTHESIS;
    if (!is_group_row())
        return m_nodes->get_node_tap_mode(m_node);
    bool mixed = false;
    const bool any_pre_synthesis =
        any_descendant(&mixed, [this](int row) { return m_nodes->get_node_tap_mode(row) != SDR_TAP_POST_FITTING; });
    return any_pre_synthesis ? SDR_TAP_PRE_SYNTHESIS : SDR_TAP_POST_FITTING;
}
