#pragma once
// Edit-side façade of an entry's active trigger: its trigger node list and every trigger
// setting (levels, position, storage qualifier, trigger in/out, state-based flow resources).
// It resolves the instance's active trigger on every call, so changing the active trigger
// needs no re-binding; per-row conditions are read in the normal or the power-up copy as the
// power-up selector says. Detached, it answers neutral values.

#include "host/sdr/sdr_tx_signal_nodes.h"

#include <cstdint>
#include <string>
#include <unordered_set>

class SDR_TX_TREE_OBJECT;

class SDR_TX_TRIGGER : public SDR_TX_SIGNAL_NODES
{
public:
    SDR_TX_TRIGGER(SDR_TX_SESSION* session, SDR_DATA_INSTANCE* instance, bool power_up_entry);
    ~SDR_TX_TRIGGER() override;

    // ---- binding -------------------------------------------------------------------------
    void set_power_up_selector(bool power_up);
    bool is_power_up_selector() const { return m_power_up_selector; }
    bool is_power_up_trigger() const { return m_power_up_entry; }
    SDR_DATA_TRIGGER* get_data_trigger();
    const SDR_DATA_TRIGGER* get_data_trigger() const
    {
        return const_cast<SDR_TX_TRIGGER*>(this)->get_data_trigger();
    }
    // Brings derived data up to date: tree bookkeeping, used counts, the data list.
    void refresh_derived_data();
    // The same for a trigger of a document that is being opened (no façade bound to it yet).
    static void refresh_derived_data(SDR_DATA_TRIGGER* trigger);
    void sync_upon_capture_type_change();

    // ---- nodes ---------------------------------------------------------------------------
    // Appends a leaf (capture type 3); false for a taken name unless duplicates are allowed.
    bool add_node(const char* name, SDR_DATA_SIGNAL_TYPE type, SDR_DATA_WIRE_TAP_MODE tap_mode,
                  bool allow_duplicate);
    // Removes the tapped leaf of that name; true when there was one.
    bool drop_tapped_node(const char* name);
    int get_trigger_nodes_used() const;
    int get_data_nodes_used() const;
    int get_sq_nodes_used() const;
    virtual bool is_valid_node_name(const char* name) const;

    // ---- levels --------------------------------------------------------------------------
    int get_num_levels() const;
    // 1..10; growing appends default levels, shrinking keeps the tree handles of the levels.
    bool set_num_levels(int count);
    const char* get_level_name(int level) const;
    bool set_level_name(int level, const char* name);
    SDR_DATA_TRIGGER_LEVEL_TYPE get_level_type(int index, bool sq) const;
    bool set_level_type(int index, bool sq, SDR_DATA_TRIGGER_LEVEL_TYPE type);
    bool is_level_enabled(int level) const;
    bool set_level_enabled(int level, bool on);

    // ---- settings ------------------------------------------------------------------------
    bool is_state_based() const;
    bool set_state_based(bool on);
    SDR_DATA_TRIGGER_POSITION get_position() const;
    bool set_position(SDR_DATA_TRIGGER_POSITION position);
    bool is_segmented() const;
    bool set_segmented(bool on);
    int get_segment_size() const;
    bool set_segment_size(int size);
    SDR_DATA_STORAGE_QUALIFIER_TYPE get_sq_type() const;
    bool set_sq_type(SDR_DATA_STORAGE_QUALIFIER_TYPE type);
    const char* get_sq_input_port(bool* post_fitting) const;
    bool set_sq_input_port(const char* name, bool post_fitting);
    bool set_sq_input_port_companion(bool on);
    bool is_record_discontinuities() const;
    bool set_record_discontinuities(bool on);
    bool is_sq_disabled() const;
    bool set_sq_disabled(bool on);

    // ---- trigger in ----------------------------------------------------------------------
    bool is_trigger_in_enabled() const;
    bool set_trigger_in_enabled(bool on);
    SDR_DATA_TRIGGER_IN_OUT_SOURCE_TYPE get_trigger_in_source() const;
    bool set_trigger_in_source(SDR_DATA_TRIGGER_IN_OUT_SOURCE_TYPE source);
    const char* get_trigger_in_pin() const;
    bool set_trigger_in_pin(const char* pin);
    const char* get_trigger_in_node() const;
    bool set_trigger_in_node(const char* node);
    bool is_trigger_in_node_post_fitting() const;
    bool set_trigger_in_node_post_fitting(bool on);
    bool is_trigger_in_node_valid() const;
    bool set_trigger_in_node_valid(bool on);
    const char* get_trigger_in_instance() const;
    bool set_trigger_in_instance(const char* instance);
    SDR_DATA_TRIGGER_CONDITION get_trigger_in_condition() const;
    bool set_trigger_in_condition(SDR_DATA_TRIGGER_CONDITION condition);

    // ---- trigger out (sources 0 pin, 2 instance, 4 HPS trigger in, 5 HPS event index) ----
    bool is_trigger_out_enabled() const;
    bool set_trigger_out_enabled(bool on);
    bool is_trigger_out_selected(int source) const;
    bool set_trigger_out_selected(int source, bool on);
    const char* get_trigger_out_pin() const;
    bool set_trigger_out_pin(const char* pin);
    const char* get_trigger_out_instance() const;
    bool set_trigger_out_instance(const char* instance);
    const char* get_trigger_out_instance_tooltip() const;
    bool set_trigger_out_instance_tooltip(const char* tooltip);
    SDR_DATA_TRIGGER_CONDITION get_trigger_out_condition() const;
    bool set_trigger_out_condition(SDR_DATA_TRIGGER_CONDITION condition);
    int get_trigger_out_hps_event_index() const;
    bool set_trigger_out_hps_event_index(int index);

    // ---- state-based flow resources ------------------------------------------------------
    int get_flag_count() const;
    bool set_flag_count(int count);
    // Null out of range; `initial` receives the initial value when given.
    const char* get_flag_name(int index, int* initial) const;
    // Changes only what is given (a null name or initial value is left as it is).
    bool set_flag(int index, const char* name, const int* initial);
    int get_counter_count() const;
    bool set_counter_count(int count);
    const char* get_counter_name(int index, int* width, unsigned* initial) const;
    bool set_counter(int index, const char* name, const int* width, const unsigned* initial);
    // `option` is a SCI_FLOW_CONTROL_RUNTIME_CONFIG_OPTION bit (1, 2, 4, 8).
    bool is_configurable(int option) const;
    bool set_configurable(int option, bool on);
    // The flow check of the unified state text: true = error, with its text and 1-based line.
    bool has_flow_error(std::string* message, int* line);
    void set_state_machine_changed();
    SDR_TX_TREE_OBJECT* get_state_machine_object();
    SDR_TX_TREE_OBJECT* get_advanced_trigger_root(int index, bool sq);
    void set_advanced_modified(int index, bool sq, bool first, bool second);

protected:
    const SDR_NODE_LIST* rows() const override;
    SDR_NODE_LIST* edit_rows(bool undoable) override;
    SDR_PATTERN_COPY pattern_copy() const override;
    bool is_data_list() const override { return false; }
    void structure_changed(const std::vector<int>& removed_links) override;

private:
    SDR_DATA_TRIGGER* trigger() { return active_trigger(); }
    const SDR_DATA_TRIGGER* trigger() const { return active_trigger(); }
    const SDR_TRIGGER_STATE* state() const;
    // Runs `apply` on the trigger's undoable state inside an edit scope; false when detached.
    bool write(const std::function<void(SDR_TRIGGER_STATE&)>& apply);
    // Stores `value` into the field that `field(state)` names; true when stored or already so.
    template <typename FIELD, typename T>
    bool assign(FIELD field, const T& value);
    void sync_data_list(bool as_edit = true);
    int count_leaves(bool (*counts)(const SDR_NODE_ROW&)) const;
    std::string unified_state_text();

    // Whether a leaf of the trigger list has that name, from an index of the leaf names that
    // add_node keeps up to date, so a bus of n bits is added in O(n), not O(n^2).
    bool has_leaf_named(const SDR_NODE_LIST& list, const std::string& name);
    void note_leaf_added(uint64_t version_before, const SDR_NODE_LIST& list, const std::string& name);

    // The index is valid for the list version it was built from (or extended to): any other
    // change of the list, an undo or another active trigger, gives the list another version.
    struct LEAF_NAME_INDEX
    {
        uint64_t version = 0;
        std::unordered_set<std::string> names;
    };
    LEAF_NAME_INDEX m_leaf_names;

    bool m_power_up_entry;
    bool m_power_up_selector;
};
