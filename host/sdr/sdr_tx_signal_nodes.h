#pragma once
// A node list of one editing entry: the trigger list of its active trigger or the data list of
// its active signal set. Rows are addressed by index; groups are flat (a group row, then its
// members, nested groups inside), with depth as the source of truth and display types, subtree
// ends and wire indexes recomputed in one pass after every structural change, so the tree
// queries are O(1) or O(depth). Every getter answers a neutral value for a bad index or a
// detached list. Undoable writes go through the data objects' edit(); selection and validity
// marks are transient.

#include "host/sdr/sdr_data_model.h"
#include "host/sdr/sdr_file_limits.h"

#include <functional>
#include <vector>

class SDR_TX_SESSION;

class SDR_TX_SIGNAL_NODES
{
public:
    virtual ~SDR_TX_SIGNAL_NODES();
    SDR_TX_SIGNAL_NODES(const SDR_TX_SIGNAL_NODES&) = delete;
    SDR_TX_SIGNAL_NODES& operator=(const SDR_TX_SIGNAL_NODES&) = delete;

    // ---- rows ----------------------------------------------------------------------------
    int get_num_nodes() const;
    SDR_DATA_NODE_DISPLAY_TYPE get_node_display_type(int row) const;
    const char* get_node_name(int row) const;
    SDR_DATA_SIGNAL_TYPE get_node_signal_type(int row) const;
    const char* get_node_alias(int row) const;
    const char* get_node_debug_port_out(int row) const;
    bool is_node_debug_port_out_enabled(int row) const;
    SDR_DATA_WIRE_CAPTURE_TYPE get_node_capture_type(int row) const;
    bool set_node_capture_type(int row, SDR_DATA_WIRE_CAPTURE_TYPE type);
    SDR_DATA_WIRE_TAP_MODE get_node_tap_mode(int row) const;
    bool set_node_tap_mode(int row, SDR_DATA_WIRE_TAP_MODE mode);
    bool is_node_storage_enabled(int row) const;
    bool set_node_storage_enabled(int row, bool on);      // true when it changed
    bool is_node_transition_enabled(int row) const;
    bool set_node_transition_enabled(int row, bool on);   // true when it changed
    bool is_node_inverted(int row) const;
    bool set_node_inverted(int row, bool on);
    bool get_node_selection_status(int row) const;
    void set_node_selection_status(int row, bool selected);
    int get_node_depth(int row) const;
    bool is_node_data_tab_only(int row) const;
    int get_node_wire_index(int row) const;
    bool is_node_invalid(int row) const;
    void set_node_invalid(int row, bool invalid);
    // False for the members of a plug-in group; a test seam may override per row.
    bool is_node_deletable(int row) const;

    // ---- group rows ----------------------------------------------------------------------
    SDR_DATA_GROUP_DISPLAY_TYPE get_group_display_type(int row) const;
    // False on a leaf. Radix 12 (plug-in) gives the row a plug-in record when it has none.
    bool set_group_display_type(int row, SDR_DATA_GROUP_DISPLAY_TYPE type);
    bool is_lsb_to_msb(int row) const;
    bool set_lsb_to_msb(int row, bool on);
    const char* get_mnemonics_table_name(int row) const;
    bool set_mnemonics_table_name(int row, const char* name);
    SDR_PLUGIN_GROUP* get_plugin_group(int row);
    const SDR_PLUGIN_GROUP* get_plugin_group(int row) const
    {
        return const_cast<SDR_TX_SIGNAL_NODES*>(this)->get_plugin_group(row);
    }
    SDR_PLUGIN_GROUP* create_plugin_group(int row);
    // False when another group row of the trigger list carries that name.
    bool set_group_node_name(int row, const char* name);
    bool set_group_node_alias(int row, const char* alias);
    bool set_group_node_link(int row, int mask, int mask_with_mnemonics);
    bool set_group_node_link_type(int row, int link_type);

    // ---- leaf rows -----------------------------------------------------------------------
    // False when another row of the list carries that alias; "" clears.
    bool set_node_alias(int row, const char* alias);
    bool set_node_name(int row, const char* name);
    bool set_node_flag(int row, int value);

    // ---- conditions and comparisons (index: level, or SQ pattern 0..2 when sq) -------------
    int get_num_trigger_levels() const;
    SDR_DATA_TRIGGER_CONDITION get_condition(int row, int index, bool sq) const;
    bool set_condition(int row, int index, bool sq, SDR_DATA_TRIGGER_CONDITION condition, bool notify);
    bool is_group_condition(SDR_DATA_TRIGGER_CONDITION condition) const;
    bool is_comparison_operand_condition(SDR_DATA_TRIGGER_CONDITION condition) const;
    bool is_comparison_group_member(int row, int index, bool sq) const;
    bool is_comparison_enabled(int row, int index, bool sq) const;
    bool set_comparison_enabled(int row, int index, bool sq, bool on, bool flag);
    SDR_DATA_TRIGGER_CONDITION get_comparison_operand(int row, int index, bool sq, int operand) const;
    bool set_comparison_operand(int row, int index, bool sq, int operand, SDR_DATA_TRIGGER_CONDITION condition);
    int get_comparison_value(int row, int index, bool sq, int operand) const;
    bool set_comparison_value(int row, int index, bool sq, int bound, int value);
    bool initialize_group_condition(int row, int index, bool sq);

    // ---- structure -----------------------------------------------------------------------
    int delete_node(int first, int last);
    bool delete_node(const char* name);
    int delete_selected_nodes();
    int copy_before_node(int first, int last, int before, bool into_group);
    bool move_selected_before_node(int before, bool into_group);
    bool copy_selected_before_node(int before, bool into_group);
    bool is_valid_selection_for_grouping() const;
    bool is_invalid_index_for_drop(int index, bool flag) const;
    bool group_node(int first, int last, const char* name = nullptr);
    bool group_selected_nodes();
    bool ungroup_node(int row);
    bool toggle_node(int row);

    // ---- tree queries --------------------------------------------------------------------
    bool is_group_member_node(int row) const;
    bool is_parent_visible(int row) const;
    bool is_any_parent_not_visible(int row) const;
    bool has_parent(int row) const;
    bool has_children(int row) const;
    bool is_grandparent(int row) const;
    bool is_last_child(int row) const;
    int get_last_child_index(int row) const;
    bool is_node_expanded(int row) const;
    int get_num_leaf_children(int row) const;
    bool is_descendant(int ancestor, int row) const;
    int get_parent_index(int row, int level) const;
    void get_direct_children(int row, std::vector<int>* children) const;
    bool has_nested_groups() const;

    // Detaches the façade from its entry; everything then answers neutral values.
    void detach() { m_instance = nullptr; }
    bool is_detached() const { return m_instance == nullptr; }

    // One linear pass over a list: depth repaired where it breaks the tree, group display types
    // (1 expanded, 2 collapsed), member types 3/4, subtree ends and leaf wire indexes.
    static void recompute_tree(SDR_NODE_LIST& list);
    static bool is_group_row(const SDR_NODE_ROW& row)
    {
        return row.display_type == SDR_NTYPE_GROUP || row.display_type == SDR_NTYPE_GROUP_ALT;
    }
    // Appends a leaf at top level, keeping the derived fields right without a full pass.
    static void append_leaf(SDR_NODE_LIST& list, SDR_NODE_ROW row);
    // Removes group rows left without members (nested ones too) and recomputes the tree.
    static void drop_empty_groups(SDR_NODE_LIST& list);
    // The chosen rows plus the subtrees of chosen group rows (list must be recomputed).
    static std::vector<bool> with_subtrees(const SDR_NODE_LIST& list, std::vector<bool> chosen);
    // Default condition of a new pattern: group pattern 9 on group rows, "Don't Care" on leaves.
    static SDR_DATA_TRIGGER_CONDITION default_condition(const SDR_NODE_ROW& row);
    // Sizes both copies of a row's per-level arrays to `levels`, appending defaults.
    static void fit_levels(SDR_NODE_ROW& row, int levels);

protected:
    SDR_TX_SIGNAL_NODES(SDR_TX_SESSION* session, SDR_DATA_INSTANCE* instance);

    // The list this façade shows; null when detached or when the entry has no such object.
    virtual const SDR_NODE_LIST* rows() const = 0;
    // Write access: undoable (counts a change) or transient.
    virtual SDR_NODE_LIST* edit_rows(bool undoable) = 0;
    // Which copy of per-row conditions is read and written.
    virtual SDR_PATTERN_COPY pattern_copy() const = 0;
    // True on the data list (rows made there exist only there).
    virtual bool is_data_list() const = 0;
    // The row holding the conditions of `row` (the data list reads its linked trigger row).
    virtual const SDR_NODE_ROW* condition_row(int row) const;
    virtual SDR_NODE_ROW* edit_condition_row(int row);
    // Called after every structural change of this list (recompute done); `removed_links`
    // holds the link ids of the linked leaf rows that went away.
    virtual void structure_changed(const std::vector<int>& removed_links) { (void)removed_links; }
    // Called after an undoable write to the row with `link_id`, so that the other list can
    // follow; `what` names the field (see the .cpp).
    virtual void row_changed(const SDR_NODE_ROW& row, int what);

    const SDR_NODE_ROW* row_at(int row) const;
    SDR_DATA_TRIGGER* active_trigger();
    const SDR_DATA_TRIGGER* active_trigger() const
    {
        return const_cast<SDR_TX_SIGNAL_NODES*>(this)->active_trigger();
    }
    SDR_DATA_SIGNAL_SET* active_signal_set();
    const SDR_DATA_SIGNAL_SET* active_signal_set() const
    {
        return const_cast<SDR_TX_SIGNAL_NODES*>(this)->active_signal_set();
    }
    int next_link_id();
    bool is_refused(const char* operation) const;
    // Whether the file can store `value` as `what` ("the node name"); false, with the refusal
    // recorded (SDR_DATA_MANAGER::take_refusal), when it cannot.
    bool text_fits(const std::string& value, const char* what) const;
    // Whether this list can take `more` rows, and the document `more_in_document`; false, with
    // the refusal recorded, when either would pass a limit of an analyzer file.
    bool has_row_room(int more, int more_in_document) const;
    // Whether the document can take `more` elements of that kind; false, with the refusal
    // recorded, when it cannot.
    bool has_room(SDR_FILE_ELEMENT element, qint64 more) const;
    // Copies the fields named by `what` from `from` into `to`.
    static void copy_field(const SDR_NODE_ROW& from, SDR_NODE_ROW* to, int what);

    enum ROW_FIELD
    {
        FIELD_NAME = 1,
        FIELD_ALIAS = 2,
        FIELD_CAPTURE = 4,
        FIELD_TAP = 8,
        FIELD_STORAGE = 16,
        FIELD_TRANSITION = 32,
        FIELD_INVERTED = 64,
        FIELD_RADIX = 128,
        FIELD_ORDER = 256,
        FIELD_MNEMONICS = 512,
        FIELD_LINK = 1024,
        FIELD_FLAG = 2048
    };

    SDR_TX_SESSION* m_session;
    SDR_DATA_INSTANCE* m_instance;

private:
    using ROW_WRITE = std::function<void(SDR_NODE_ROW&)>;
    using PATTERN_WRITE = std::function<void(SDR_NODE_PATTERNS&, int index, bool sq)>;
    bool write_row(int row, int what, const ROW_WRITE& apply);
    bool write_pattern(int row, int index, bool sq, const PATTERN_WRITE& apply);
    SDR_NODE_LIST* edit_other_rows();
    void finish_structure(SDR_NODE_LIST& list, const std::vector<int>& removed_links);
    bool valid_pattern(int index, bool sq) const;
    bool is_valid_group_range(const SDR_NODE_LIST& list, int first, int last) const;
    int remove_rows(SDR_NODE_LIST& list, std::vector<bool> doomed, std::vector<int>* removed_links);
    // Deletes the doomed rows with their subtrees (and groups left empty) as one edit.
    int delete_rows(const std::vector<bool>& doomed);
    int insert_copies(SDR_NODE_LIST& list, SDR_NODE_LIST block, int before, bool into_group);
    int copy_block(SDR_NODE_LIST block, int before, bool into_group);
    SDR_NODE_LIST take_block(const SDR_NODE_LIST& list, const std::vector<bool>& chosen) const;
    std::vector<bool> selected_subtrees(const SDR_NODE_LIST& list) const;
    std::string unique_group_name(const SDR_NODE_LIST& list) const;
    bool selection_range(int* first, int* last) const;
};
