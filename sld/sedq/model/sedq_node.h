#pragma once
// A light view of one row of a node list of the document model: the trigger list in the setup
// tab, the data list in the data tab. It owns nothing and lives on the stack; a row index
// outside the list reads as an empty, disabled node. A bus or group answers its enables as an
// aggregate of its members, with a "partially" flag for members that differ; its setters
// change the document and belong inside an edit bracket the caller opened.

#include "host/sdr/sdr_enums.h"

#include <vector>

class SEDQ_TX_MANAGER;
class SDR_TX_SIGNAL_NODES;

class SEDQ_NODE
{
public:
    // `list` is -1 for the current list of the current instance. A manager without a document
    // gives a node that reads as empty.
    SEDQ_NODE(SEDQ_TX_MANAGER* manager, int node, int list);
    virtual ~SEDQ_NODE() = default;

    // ---- plain reads -------------------------------------------------------------------------
    SDR_DATA_NODE_DISPLAY_TYPE get_parent() const;
    // Full name, hierarchy levels joined by "|"; owned by the node list, valid until it changes.
    const char* get_name() const;
    SDR_DATA_SIGNAL_TYPE get_type() const;
    const char* get_alias() const;
    SDR_DATA_WIRE_CAPTURE_TYPE get_capture_type() const;
    int get_node_depth() const;
    int get_trigger_level() const;
    // Null when the node has no debug port output.
    const char* get_debug_port_out() const;
    // The basic condition at a trigger level; levels -3..-1 read the storage-qualifier pattern.
    SDR_DATA_TRIGGER_CONDITION get_trigger_pattern(int level) const;
    bool is_child() const;
    bool is_parent() const;
    void get_all_descendants(int node, std::vector<int>* descendants) const;
    SDR_DATA_WIRE_TAP_MODE get_tap_mode() const;

    // ---- aggregated states (a group: any member set; `partially` when members differ) ---------
    bool is_data_enabled(bool* partially) const;
    bool is_storage_enabled(bool* partially) const;
    bool is_transition_enabled(bool* partially) const;
    bool is_signal_inverted(bool* partially) const;
    bool is_debug_port_out_enabled(bool* partially) const;
    // Levels -3..-1: the storage enable; -4 (any level): the capture type alone; a trigger
    // level: the capture type, except that an advanced level leaves out pre-synthesis nodes and
    // every node under incremental compilation.
    bool is_trigger_enabled(bool* partially, int level) const;

    // ---- setters (inside the caller's edit bracket) ------------------------------------------
    // A group sets every descendant whose state differs.
    void enable_data(bool on);
    void enable_trigger(bool on);
    void enable_storage(bool on);
    void enable_transition(bool on);
    void enable_signal_inverted(bool on);
    // A group becomes all set when some member is clear (all clear when every member is set).
    void toggle_data();
    void toggle_trigger();
    void toggle_storage();
    void toggle_transition();
    void toggle_signal_inverted();

private:
    enum FLAG
    {
        DATA,
        TRIGGER,
        STORAGE,
        TRANSITION,
        INVERTED,
        DEBUG_PORT
    };

    bool is_set(int row, FLAG flag, int level) const;
    bool is_group_for(int row, FLAG flag) const;
    bool aggregate(FLAG flag, int level, bool* partially) const;
    void toggle_leaf(int row, FLAG flag);
    void enable(FLAG flag, bool on);
    void toggle(FLAG flag);

    SEDQ_TX_MANAGER* m_manager;
    const SDR_TX_SIGNAL_NODES* m_nodes;
    int m_node;
    int m_list; // the node list the row belongs to, -1 for the current one
};
