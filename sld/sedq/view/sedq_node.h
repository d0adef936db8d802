#pragma once
// A light view of one row of a node list of the document model: the trigger list in the setup
// tab, the data list in the data tab. It owns nothing and lives on the stack; a row index
// outside the list reads as an empty, disabled node.

#include "host/sdr/sdr_enums.h"

class SEDQ_TX_MANAGER;
class SDR_TX_SIGNAL_NODES;

class SEDQ_NODE
{
public:
    // `list` is -1 for the current list of the current instance.
    SEDQ_NODE(SEDQ_TX_MANAGER* manager, int node, int list);

    // Full name, hierarchy levels joined by "|"; owned by the node list, valid until it changes.
    const char* get_name() const;
    // For a group: whether any member is enabled, `mixed` (may be null) telling whether they differ.
    bool is_storage_enabled(bool* mixed) const;
    // Pattern -3..-1: as is_storage_enabled; -4: the capture type alone; a trigger level: the
    // capture type, except that an advanced level leaves out pre-synthesis rows and every row
    // under incremental compilation.
    bool is_trigger_enabled(bool* mixed, int pattern);
    // The row's tap mode; a group is post-fitting when every leaf below it is (also when it has
    // none), else pre-synthesis.
    SDR_DATA_WIRE_TAP_MODE get_tap_mode() const;

private:
    bool is_group_row() const;
    bool leaf_trigger_enabled(int row, int pattern);
    template <typename TEST>
    bool any_descendant(bool* mixed, TEST test) const;

    SEDQ_TX_MANAGER* m_manager;
    SDR_TX_SIGNAL_NODES* m_nodes;
    int m_node;
};
