#pragma once
// Edit-side façade of an entry's active signal set: its data node list and its acquisition
// setup. The data list is derived from the active trigger's list (data-enabled leaves and the
// groups holding them) plus rows that exist only here; a sync keeps the data list's own order
// and grouping for rows it already has. Conditions of data rows are read from their linked
// trigger rows. Detached, the façade answers neutral values.

#include "host/sdr/sdr_tx_signal_nodes.h"

class SDR_TX_SIGNAL_SET : public SDR_TX_SIGNAL_NODES
{
public:
    SDR_TX_SIGNAL_SET(SDR_TX_SESSION* session, SDR_DATA_INSTANCE* instance);
    ~SDR_TX_SIGNAL_SET() override;

    SDR_DATA_SIGNAL_SET* get_data_signal_set();

    const SDR_DATA_SIGNAL_SET* get_data_signal_set() const

    {

        return const_cast<SDR_TX_SIGNAL_SET*>(this)->get_data_signal_set();

    }

    const char* get_clock_name(bool* post_fitting) const;
    bool set_clock(const char* name, bool post_fitting);
    // Follow-up of a clock change; nothing else depends on the clock in the repository.
    void clock_changed(int reason);
    bool is_clock_invalid() const;
    void set_clock_invalid(bool invalid);
    bool is_clock_post_fitting() const;
    int get_sample_depth() const;
    bool set_sample_depth(int depth);
    SDR_HALCYTE_RAM_TYPE get_ram_type() const;
    bool set_ram_type(SDR_HALCYTE_RAM_TYPE type);
    int get_pipeline_level() const;
    bool set_pipeline_level(int level);
    // kind 0 trigger, 1 data, 2 storage qualifier; 0 = automatic.
    int get_nodes_allocated(int kind) const;
    bool set_nodes_allocated(int kind, int count);
    // kind 0 trigger, 1 data.
    int get_tessarelle_nodes_allocated(int kind) const;
    bool set_tessarelle_nodes_allocated(int kind, int count);
    // Null when the signal set names none.
    const char* get_top_entity_name() const;
    void set_assignment_value(const char* value);
    // Appends a data-only leaf (second-generation plug-in rows).
    bool insert_node_gen2(const char* full_name, int kind, SDR_DATA_WIRE_TAP_MODE tap_mode);

    // Brings `set`'s data list in line with `trigger`'s list. As part of an edit it is an edit
    // only when it changes; otherwise (`as_edit` false) the derived rows are replaced in place
    // and no undo step is recorded.
    static void sync_data_list(SDR_DATA_SIGNAL_SET* set, SDR_DATA_TRIGGER* trigger, bool as_edit = true);

protected:
    const SDR_NODE_LIST* rows() const override;
    SDR_NODE_LIST* edit_rows(bool undoable) override;
    SDR_PATTERN_COPY pattern_copy() const override;
    bool is_data_list() const override { return true; }
    const SDR_NODE_ROW* condition_row(int row) const override;
    SDR_NODE_ROW* edit_condition_row(int row) override;
    void structure_changed(const std::vector<int>& removed_links) override;

private:
    const SDR_SIGNAL_SET_STATE* state() const;
    bool write(const std::function<void(SDR_SIGNAL_SET_STATE&)>& apply);
    int linked_trigger_row(int row) const;
};
