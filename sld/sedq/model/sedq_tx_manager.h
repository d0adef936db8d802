#pragma once
// The document model of one editor window. Every pane and dialog reads and changes the
// analyzer document (a host editing session and its instances) only through this object; it
// brackets edits for undo, tells every pane what changed through updated(QObject*, int), and
// keeps the cached host objects of the current instance in step with m_active_instance.
// Operations that take an instance, signal set, trigger, level or node index read -1 as
// "the current one". A manager without a frame (the wizard) touches no window, menu or action.

#include "host/afcq.h"
#include "host/chi.h"
#include "host/dev.h"
#include "host/sci.h"
#include "host/sdr.h"
#include "sedq/model/sedq_lock_mode.h"
#include "sedq/model/sedq_trigger_edit.h"
#include "sedq/model/sedq_types.h"
#include "sedq/model/sedq_window_if.h"

#include <QList>
#include <QMap>
#include <QObject>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <deque>
#include <set>
#include <string>
#include <vector>

class QAction;
class QTabWidget;
class HDB_INSTANCE_NAME;
class IDU_PARTITION;
class SDR_PLUGIN_GROUP;
struct PLUGIN_MNEMONIC_TABLE;
class SDR_TX_SIGNAL_NODES;
class SDR_TX_SIGNAL_SET;
class SDR_TX_TRIGGER;
class SEDQ_OBJECT;
class SEDQ_TRIGGER_OBJECT;
class SEDQ_STATE_MACHINE_OBJECT;
struct SEDQ_TEXT_CHANGE;
struct SEDQ_TEXT_CHANGE_FROM;
struct SEDQ_BODY_CHANGE;
class UNBQ_DIALOG;
class AFCQ_INSTANCE_NAME;
typedef QList<AFCQ_INSTANCE_NAME> AFCQ_INSTANCE_NAME_LIST;

// The names of one kind (conditions, counters, flags) as last read from a trigger, in the
// trigger's bytes and as the list handed out.
struct SEDQ_NAMES_READ
{
    std::vector<std::string> raw;
    QStringList names;
};

class SEDQ_TX_MANAGER : public QObject
{
    Q_OBJECT
public:
    // What the node finder is picking a single node for.
    enum NODE_TYPE
    {
        NODE_TYPE_CLOCK = 0,
        NODE_TYPE_TRIGGER_INPUT = 1,
        NODE_TYPE_TRIGGER_OUTPUT = 2
    };

    // `window` shows the document and outlives the manager; null: a manager without a window
    // (the wizard's).
    explicit SEDQ_TX_MANAGER(SEDQ_WINDOW_IF* window);
    ~SEDQ_TX_MANAGER() override;
    SEDQ_TX_MANAGER(const SEDQ_TX_MANAGER&) = delete;
    SEDQ_TX_MANAGER& operator=(const SEDQ_TX_MANAGER&) = delete;

    virtual std::string get_help_prefix() const;

    // ---- core: settings, notification, brackets, undo, actions, lock mode, UI state ------
    void cfg_initialize_user_registry_settings();
    // The repository, read-only: panes, dialogs and Tcl handlers read through these and write
    // through the model's setters. The model's writable access is SEDQ_REPOSITORY
    // (model/sedq_repository.h).
    const SDR_TX_SESSION* get_tx_session() const { return m_tx_session; }
    const SDR_TX_INSTANCE* get_tx_instance() const { return m_tx_instance; }
    // The window that shows the document: a SEDQ_NO_WINDOW without one, never null.
    SEDQ_WINDOW_IF* get_window() const { return m_window; }
    bool is_wizard_mode() const { return m_window == &m_no_window; }
    void set_list_view_mode(bool on) { m_list_view_mode = on; }

    void update_all_views(QObject* sender, int hint);
    // Updates sent so far, and the number of the one updated_later is delivering now, 0 between
    // deliveries (see SEDQ_UPDATE_BURST).
    quint64 get_update_count() const { return m_update_count; }
    quint64 get_delivering_update() const { return m_delivering_update; }

private:
    // The modified mark and the close of an edit bracket belong to the edit scope and the
    // model's setters: no pane, dialog or command marks the window or closes an edit by hand.
    // The writable repository belongs to the model alone.
    friend class SEDQ_REPOSITORY;
    friend class SEDQ_EDIT_SCOPE;
    friend class SEDQ_EDIT_BRACKET;
    friend void sedq_edit_trigger(SEDQ_TX_MANAGER* manager, bool unchanged, SEDQ_TRIGGER_EDIT_MARK mark, int hint,
                                  const std::function<bool(SDR_TX_TRIGGER*)>& write);
    // The repository's writable objects (the const getters' own), for the model's members.
    SDR_TX_INSTANCE* edit_instance_at(int instance);
    SDR_TX_SIGNAL_NODES* edit_nodes(int list);
    SDR_TX_SIGNAL_SET* edit_signal_nodes(int signal_set);
    SDR_TX_TRIGGER* edit_trigger_nodes(int trigger);
    SDR_TX_TRIGGER* edit_trigger_in(int trigger);
    SDR_TX_TRIGGER* edit_trigger_out(int trigger);
    void set_modified_flag(bool modified);
    // A write changed the document: the "modified" notification goes out unless the edit this
    // write belongs to sent it already (one per edit scope; a write outside any is its own edit).
    void update_modified_flag();
    // The "modified" notification itself, with the window's mark brought in line.
    void send_modified();
    // The window's mark brought in line with the document, without a notification.
    void sync_modified_mark();
    void end_action(SEDQ_CHECK_COMPILATION_STATUS status, int instance);

public:
    void set_max_undo_steps(int steps);
    int get_max_undo_steps();
    // Undo history of the advanced trigger condition being edited; null and -1 when none.
    QList<QList<SEDQ_OBJECT*>*>* get_undo_list();
    int get_undo_position();
    // Keeps the canvas's place in the condition's undo list, so that the condition shown again
    // resumes there.
    void set_undo_position(int position);

    void insert_action(AFCQ_ACTION_ENUM id, QAction* action);
    QAction* get_action(AFCQ_ACTION_ENUM id, const QVariant& data);
    void enable_action(AFCQ_ACTION_ENUM id, bool enable);

    SEDQ_LOCK_MODE get_lock_mode(bool powerup_locks);
    void set_lock_mode(SEDQ_LOCK_MODE mode, bool notify);

    bool save_active_tabs();
    bool load_active_instance_tab();
    int get_int_state(const char* key, int default_value);
    void set_int_state(const char* key, int value);
    QSize get_size_state(const char* key, QSize default_value);
    void set_size_state(const char* key, QSize value);
    bool get_visible_state(const char* key, bool default_value);
    void set_visible_state(const char* key, bool value);
    int get_int_state(int instance, const char* key, int default_value);
    void set_int_state(int instance, const char* key, int value);
    void set_int_state(const char* key, const int* values, int count);
    void set_int_state(int instance, const char* key, const int* values, int count);
    // Hands an undo action (owned from here on) to the current instance's open edit; deleted
    // when there is no current instance.
    void append_undo_action(SDR_TX_UNDO_ACTION_ATOMIC* action);

    // ---- the wizard's reserved session (sedq_tx_manager_wizard.cpp) -------------------------
    // The session the host's instance wizard presets before a document opens over it: no undo
    // history or pane sees these writes yet.
    struct WIZARD_SESSION
    {
        SDR_DATA_SESSION* session = nullptr;
        SDR_DATA_INSTANCE* instance = nullptr;
        SDR_DATA_SIGNAL_SET* signal_set = nullptr;
        SDR_DATA_TRIGGER* trigger = nullptr;
    };
    // Replaces the session of that name; the parts that could be made.
    static WIZARD_SESSION create_wizard_session(const char* name);
    static bool open_wizard_session(SDR_TX_SESSION* tx_session, SDR_DATA_SESSION* data_session);
    static void close_wizard_session(SDR_TX_SESSION* tx_session);
    static void preset_data_nodes_allocated(SDR_DATA_SIGNAL_SET* signal_set, int count);
    // Also makes the wire "acq_trigger_in[i]" of every trigger input; false when one is refused.
    static bool preset_trigger_nodes_allocated(SDR_DATA_SIGNAL_SET* signal_set, int count);
    static void preset_sample_depth(SDR_DATA_SIGNAL_SET* signal_set, int depth);
    // A segment size other than 0 makes the trigger a segmented one.
    static void preset_segment_size(SDR_DATA_TRIGGER* trigger, int size);
    static void preset_ram_type(SDR_DATA_SIGNAL_SET* signal_set, SDR_HALCYTE_RAM_TYPE type);
    static void preset_trigger_levels(SDR_DATA_TRIGGER* trigger, int count);
    static void preset_trigger_in(SDR_DATA_SIGNAL_SET* signal_set, bool on);
    static void preset_trigger_out(SDR_DATA_SIGNAL_SET* signal_set, bool on);
    // An empty expression makes the level a basic condition.
    static bool preset_advanced_trigger_expression(SDR_DATA_TRIGGER* trigger, int level, const QByteArray& expr);
    static void preset_storage_qualifier_type(SDR_DATA_TRIGGER* trigger, SDR_DATA_STORAGE_QUALIFIER_TYPE type);
    static void preset_record_discontinuities(SDR_DATA_TRIGGER* trigger, bool on);
    // Commits the editing session and readies the levels of `trigger` for generation.
    void finalize_wizard_triggers(SDR_DATA_TRIGGER* trigger);

    // ---- document life cycle ---------------------------------------------------------------
    bool new_document(const char* path);
    bool open_document(const char* path, bool* renamed, std::string* new_name);
    bool open_document(SDR_TX_SESSION* session);
    bool save_document(const char* path);
    bool save_modified();
    void close_document();
    void commit_session();
    void refresh_tx_cache();
    bool is_empty() const;
    void set_title(const char* title);
    void set_path_name(const char* path, bool add_to_recent);

    // ---- instances, signal sets, triggers, data logs, acquired data ------------------------
    int get_num_instances();
    const SDR_TX_INSTANCE* get_instance_at(int instance) { return edit_instance_at(instance); }
    const char* get_instance_name_at(int instance, bool* expanded);
    // The same name as text, kept between calls while it stays the same: the window shows every
    // instance's name in several lists, which then share one copy of each name.
    QString get_instance_name_text(int instance);
    int get_num_signal_sets(int instance);
    const char* get_signal_set_name_at(int instance, int signal_set, bool* expanded);
    int get_num_triggers(int instance, int signal_set);
    const char* get_trigger_name_at(int instance, int signal_set, int trigger, bool* expanded);
    int get_num_logs(int instance, int signal_set, int trigger);
    // Changes whenever a log the trigger holds changes place, name or view, never for a log
    // appended (SDR_LOG_LIST::stamp); 0 for no trigger.
    quint64 get_log_list_stamp(int instance, int signal_set, int trigger);
    const char* get_log_name_at(int instance, int signal_set, int trigger, int log);
    const char* get_instance();
    const char* get_signal_set();
    const char* get_trigger();
    const char* get_log();
    QStringList get_trigger_instance_list(int instance);
    void get_short_name(QString* out, const QString& name);
    QString remove_top_entity(const QString& name, const std::string& top_path, bool case_sensitive);
    bool instance_is_enabled(int instance);
    void set_instance_enabled(int instance, bool enabled);
    bool is_instance_setup_mode();
    bool is_instance_data_mode();
    bool is_setup_mode();
    bool is_data_mode(int instance);

    bool add_instance();
    bool remove_instance(int instance);
    void set_instance(int instance);
    void set_instance(const QString& name);
    // False, changing nothing, when the current instance lacks an entry of those names (see
    // get_missing_log_entry_part).
    bool set_active(const QString& signal_set, const QString& trigger, const QString& log);
    // The first name the current instance has no entry of ("signal set", "trigger", "log");
    // empty when it has them all. An empty name stands for the current signal set, its first
    // trigger and that trigger's last log.
    QString get_missing_log_entry_part(const QString& signal_set, const QString& trigger, const QString& log);
    // True when the instance or its power-up view is the current entry.
    bool is_active_or_powerup_view(int instance);
    void set_view_log(int instance, SDR_DATA_LOG* log);
    void remove_log_tree_item(const char* signal_set, const char* trigger, const char* log);
    void rename_instance_set(const char* new_name, const char* old_name);
    void rename_signal_set(const char* new_name, const char* old_name);
    void rename_trigger_set(const char* new_name, const char* old_name, const char* signal_set);
    void rename_log_set(const char* new_name, const char* old_name, const char* trigger,
                        const char* signal_set);
    void set_expanded(bool expanded, const QString& instance, const QString& signal_set,
                      const QString& trigger);

    bool get_data_sample_depth(int* depth, int instance);
    bool get_wave(int node, bool* out, int sample, bool flag, int instance);
    // The log channels get_wave reads the nodes' samples from, -1 for a node it reads none for
    // (a group, a node not in the log or not connected, no data).
    std::vector<int> get_wave_channels(const std::vector<int>& nodes, int instance);
    bool get_wave_mask(bool* out, int sample, bool flag, int instance);
    // The member rows below the node at grid row `row` (sedq_grid_rows.h): 0 for a leaf.
    int get_wave_count(int row);
    int get_int_length(int value);

    // ---- acquisition control ---------------------------------------------------------------
    void set_instance_acq_state(int instance, int flags);
    bool is_instance_acquiring(int instance);
    bool is_any_instance_acquiring();
    void run(std::vector<CHI_CONTROL::ACQ_PARAMETER>* requests);
    void stop(int instance);
    bool read_data(int instance);
    bool is_data_available(bool flag, int instance, const SDR_DATA_LOG** log_out);
    bool is_acquiring_data();
    bool is_stopped_at_trigger();
    void refresh_data_log_cache();
    bool get_logging();
    void export_log(QObject* receiver);
    bool is_compile_or_reroute_needed(bool* recompile, bool* reroute);
    bool is_program_needed(CHI_CONTROL_NODES_SCAN* scan);
    bool get_jtag_hardware(QString* out);
    bool get_jtag_device(QString* out);
    bool set_jtag_hardware(const QString& name, bool notify);
    bool set_jtag_device(const QString& name, bool notify);
    bool get_sof_file_name(QString* out);
    bool set_jtag_chain(const QString& path);
    // The programming files embedded in the document, by row; false when refused.
    bool remove_embedded_sof(int row);
    bool rename_embedded_sof(int row, const char* name);
    // The programming file the document names; false without a document.
    bool set_sof_file_name(const char* path);
    void program(const char* file);
    void program();
    bool embed_sof_file(const QString& path, QString* name_out);
    void retrieve_sof_file_info_str(const QString& path, QString* out);
    const char* get_sof_compatibility_state(int instance, const char* sof_info);

private:
    // acquisition control
    int request_instance(CHI_CONTROL::ACQ_PARAMETER const& request);
    void start_acquisition(std::vector<CHI_CONTROL::ACQ_PARAMETER>* requests);
    void recompile_before_run(std::vector<CHI_CONTROL::ACQ_PARAMETER>* requests);
    void drop_requests(std::vector<CHI_CONTROL::ACQ_PARAMETER>* requests, size_t with_logs);
    void refresh_run_plugin_mnemonics(int instance);
    void apply_plugin_trigger_symbols(int instance);
    int embedded_sof_index(const QString& name);

public:
    // ---- node insertion --------------------------------------------------------------------
    bool insert_node(QString const& name, SDR_DATA_SIGNAL_TYPE signal_type, SDR_DATA_WIRE_TAP_MODE tap_mode,
                     bool allow_duplicate);
    bool insert_node(QString const& name, SDR_DATA_WIRE_TAP_MODE tap_mode);
    bool insert_node(AFCQ_INSTANCE_NAME const& found);
    bool insert_nodes(QList<AFCQ_INSTANCE_NAME> const& found);
    int insert_nodes(QString const& group_name, QStringList const& nodes, SDR_DATA_WIRE_TAP_MODE tap_mode,
                     bool allow_duplicate);
    bool check_for_node_add_overflow(int count);
    bool get_unb_node(QString* name, NODE_TYPE node_type, SEDQ_IS_POST_FITTING_TYPE* post_fitting);

    // ---- node list editing and tree queries ------------------------------------------------
    const SDR_TX_SIGNAL_NODES* get_nodes(int list) { return edit_nodes(list); }
    const SDR_TX_SIGNAL_SET* get_signal_nodes(int signal_set) { return edit_signal_nodes(signal_set); }
    int get_node_count(int list);
    bool get_node(int node, SDR_DATA_NODE_DISPLAY_TYPE* display_type, QString* name,
                  SDR_DATA_SIGNAL_TYPE* signal_type, QString* alias, QString* debug_port_out,
                  bool* data_enabled, bool* trigger_enabled, int pattern,
                  SDR_DATA_TRIGGER_CONDITION* condition);
    int get_child_item_count(int node, int list);
    bool get_node_alias(int node, QString* alias);
    bool get_node_group_display_type(int node, SDR_DATA_GROUP_DISPLAY_TYPE* display_type, int trigger = -1);
    bool get_node_lsb_to_msb(int node, bool* lsb_to_msb, int trigger = -1);
    bool get_node_selection_status(int node);
    SDR_DATA_WIRE_TAP_MODE get_node_tap_mode(int node, int trigger = -1);
    SDR_DATA_WIRE_CAPTURE_TYPE get_node_capture_type(int node);
    int get_node_depth(int node);
    bool is_node_data_tab_only(int node);
    bool get_connection_status(int node);
    SDR_DATA_SIGNAL_TYPE get_type(unsigned int flags);
    SDR_DATA_SIGNAL_TYPE get_type(HDB_INSTANCE_NAME const* name);

    bool is_standalone_node(int node);
    bool is_group_node(int node);
    bool is_group_member(int node);
    bool is_last_group_member(int node);
    bool is_first_group_member(int node);
    bool is_group_member_node(int node);
    bool is_parent_visible(int node);
    bool is_any_parent_not_visible(int node);
    bool has_parent(int node);
    bool has_children(int node);
    bool is_grandparent(int node);
    bool is_last_child(int node);
    int get_last_child_index(int node);
    bool is_node_expanded(int node);
    int get_num_leaf_children(int node);
    bool is_descendant(int ancestor, int node);
    int get_parent_index(int node, int level);
    void get_direct_children(int node, std::vector<int>* children);
    void get_all_descendants(int node, std::vector<int>* descendants);

    int delete_node(int first, int last);
    bool delete_node(char const* name);
    int delete_selected_nodes();
    int copy_before_node(int first, int last, int before, bool into_group);
    bool move_before_node(int first, int last, int before, bool into_group);
    bool move_selected_before_node(int before, bool into_group);
    bool copy_selected_before_node(int before, bool into_group);
    bool is_valid_selection_for_grouping();
    bool is_invalid_index_for_drop(int index, bool flag);
    bool group_node(int first, int last);
    bool group_selected_nodes();
    bool ungroup_node(int node);
    bool toggle_node(int node);
    bool set_node_alias(int node, QString const& alias);
    bool set_node_group_display_type(int node, SDR_DATA_GROUP_DISPLAY_TYPE display_type);
    bool set_node_lsb_to_msb(int node, bool lsb_to_msb);
    bool set_node_tap_mode(int node, SDR_DATA_WIRE_TAP_MODE tap_mode);
    bool set_node_capture_type(int node, SDR_DATA_WIRE_CAPTURE_TYPE capture_type);
    bool toggle_data(int node);
    bool toggle_trigger(int node);
    bool toggle_node_tap_mode(int node);
    // Flags of a leaf of a node list (the current one for -1), bracketed by the caller; each
    // marks the document modified when the list takes the change (the inversion always does).
    bool toggle_storage(int node, int list);
    bool toggle_transition(int node, int list);
    void toggle_inverted(int node, int list);
    bool set_comparison_trigger_enabled(int node, int pattern, bool enabled, int trigger);
    bool set_comparison_trigger_value(int node, int pattern, int bound, int value, int trigger);
    bool rename_node(int node, QString const& name);
    bool rename_group(int node, QString const& name);
    void set_node_selection_status(int node, bool selected);
    void select_node_range(int first, int last, bool selected);
    bool can_locate();
    void locate(int node, unsigned int flags);
    void locate(char const* name, unsigned int flags, bool flag);
    bool is_node_hidden_in_storage_qualifier_mode(int node);
    bool is_node_hidden_in_advanced_mode(int node);
    bool is_node_deletable(int node);

    // ---- acquisition setup and node allocation --------------------------------------------
    bool get_clock(QString* clock, int instance);
    bool get_sample_depth(int* depth, int instance);
    bool get_sample_depth(QString* depth, int instance);
    bool is_zero_sample_depth();
    bool get_ram_type(QString* ram_type, int instance);
    SDR_HALCYTE_RAM_TYPE get_halcyte_ram_type(int instance);
    bool get_pipeline_level(QString* level, int instance);
    bool is_segmented_acquisition_enabled(int instance);
    int get_segment_size();
    bool get_number_of_segments(QString* segments, int instance);
    int get_data_segment_size();
    const SDR_TX_TRIGGER* get_trigger_nodes(int trigger) { return edit_trigger_nodes(trigger); }
    int get_trigger_node_count(int instance);
    bool is_parent_item(int node, int instance);
    bool is_child_item(int node, int instance);
    int get_trigger_nodes_used(int instance);
    int get_data_nodes_used(int instance);
    int get_storage_qualifier_nodes_used(int instance);
    bool get_trigger_nodes_used(QString* count);
    bool get_data_nodes_used(QString* count);
    bool get_storage_qualifier_nodes_used(QString* count);
    int get_trigger_nodes_allocated(int instance);
    int get_data_nodes_allocated(int instance);
    int get_storage_qualifier_nodes_allocated(int instance);
    bool get_trigger_nodes_allocated(QString* count);
    bool get_data_nodes_allocated(QString* count);
    int get_tessarelle_trigger_nodes_allocated(int instance);
    int get_tessarelle_data_nodes_allocated(int instance);
    bool get_tessarelle_trigger_nodes_allocated(QString* count);
    bool get_tessarelle_data_nodes_allocated(QString* count);
    bool is_tessarelle_generated();
    unsigned get_le_usage(int instance, DEV_FAMILY_ENUM family);
    unsigned get_esb_usage(int instance);
    bool has_nested_groups();
    bool get_top_entity_name(QString* name);
    bool is_incremental_compile();
    bool is_incremental_route_available(int instance);
    bool is_using_pre_synthesis_filter();
    void set_using_pre_synthesis_filter(bool on) { m_using_pre_synthesis_filter = on; }

    void set_trigger_nodes_allocated(int count, int instance);
    void set_data_nodes_allocated(int count, int instance);
    void set_storage_qualifier_nodes_allocated(int count, int instance);
    void set_trigger_nodes_allocated(QString const& count);
    void set_data_nodes_allocated(QString const& count);
    bool set_tessarelle_trigger_nodes_allocated(int count, int instance);
    bool set_tessarelle_data_nodes_allocated(int count, int instance);
    bool set_tessarelle_trigger_nodes_allocated(QString const& count);
    bool set_tessarelle_data_nodes_allocated(QString const& count);
    void sync_upon_capture_type_change();

    // Display texts of the setup values. A depth text is "<n>" or "<n> K" (n * 1024); a text
    // that is no number gives 0, a number out of 0..INT_MAX gives -1, which no setter takes.
    int convert_to_sample_depth_int(QString const& text);
    QString convert_to_sample_depth_str(int depth);
    int convert_to_trigger_level_int(QString const& text);
    QString convert_to_trigger_level_str(int level);
    QString convert_to_trigger_condition_str(SDR_DATA_TRIGGER_CONDITION condition);
    SDR_DATA_TRIGGER_CONDITION convert_to_trigger_condition_type(QString const& text);
    QString convert_to_trigger_position_str(SDR_DATA_TRIGGER_POSITION position);
    SDR_DATA_TRIGGER_POSITION convert_to_trigger_position_type(QString const& text);
    // What the two conversions above give for a text that no table holds: a value the host
    // refuses, so that a setter handed it changes nothing.
    static constexpr SDR_DATA_TRIGGER_CONDITION UNKNOWN_TRIGGER_CONDITION = SDR_DATA_TRIGGER_CONDITION(0xff);
    static constexpr SDR_DATA_TRIGGER_POSITION UNKNOWN_TRIGGER_POSITION = SDR_DATA_TRIGGER_POSITION(-1);

public Q_SLOTS:
    // Slots of the signal configuration pane, connected by signature.
    void set_clock(QString const& clock,
                   SEDQ_IS_POST_FITTING_TYPE is_post_fitting_type = SEDQ_KEEP_POST_FITTING_TYPE);
    void browse_clock();
    void set_sample_depth(QString const& sampleDepth);
    void set_ram_type(QString const& ramType);
    void set_segmented_acquisition_mode(bool bUseSegments);
    void set_number_of_segments(QString const& numberOfSegments);
    void set_pipeline_level(QString const& pipelineLevel);
    void data_manual_input_changed(int count);
    void trigger_manual_input_changed(int count);
    void storage_qualifier_manual_input_changed(int count);

public:
    // ---- trigger model ---------------------------------------------------------------------
    bool get_trigger_level(int* count, int trigger);
    bool get_trigger_level(QString* count, int trigger);
    int get_last_trigger_level() const { return m_trigger_level_cache; }
    QString get_trigger_level_name(int level, int trigger);
    SDR_DATA_TRIGGER_LEVEL_TYPE get_trigger_level_type(int pattern, int trigger);
    bool has_at_least_one_basic_or_trigger_level() const;
    bool is_pattern_enabled(int pattern);
    bool is_segmented_acquisition_trigger(int level);
    bool is_segmented_trigger_position_enabled();
    bool get_trigger_flow_control(QString* text, int trigger);
    bool is_sequential_mode(int trigger);
    bool get_trigger_position(QString* text, int trigger);
    bool get_trigger_position(int* sample, int log);
    bool is_comparison_group_member(int node, int pattern, int trigger);
    bool is_comparison_enabled(int node, int pattern, int trigger);
    SDR_DATA_TRIGGER_CONDITION get_comparison_operand(int node, int pattern, int operand, int trigger);
    int get_comparison_value(int node, int pattern, int operand, int trigger);
    bool is_comparison_group_member_on_any_level(int node, int* pattern, int trigger);
    bool get_comparison_expression(int node, int pattern, std::string* text, int trigger);
    bool get_storage_qualifier_type(QString* text, int trigger);
    bool get_storage_qualifier_input_port(QString* name, bool* post_fitting, int trigger);
    bool is_record_data_discontinuities_enabled(int trigger);
    bool is_disable_storage_qualifier_enabled(int trigger);
    bool is_trigger_in_enabled(int trigger);
    bool is_trigger_in_node_post_fitting(int trigger);
    bool is_trigger_in_node_valid(int trigger);
    SDR_DATA_TRIGGER_IN_OUT_SOURCE_TYPE get_trigger_in_source(int trigger);
    bool get_trigger_in_pin_name(QString* name, int trigger);
    bool get_trigger_in_instance_name(QString* name, int trigger);
    bool get_trigger_in_node_name(QString* name, int trigger);
    bool get_trigger_in_condition(QString* text, int trigger);
    bool get_trigger_out_condition(QString* text, int trigger);
    bool is_trigger_out_enabled(int trigger);
    bool is_trigger_out_pin_selected(int trigger);
    bool is_trigger_out_instance_selected(int trigger);
    bool is_trigger_out_hps_trigger_in_selected(int trigger);
    bool is_trigger_out_hps_event_index_selected(int trigger);
    bool get_trigger_out_pin(QString* name, int trigger);
    bool get_trigger_out_instance(QString* name, int trigger);
    bool get_trigger_out_instance_tooltip(QString* text, int trigger);
    bool get_trigger_out_hps_event_index(QString* text, int trigger);
    bool get_trigger_out_latency_delay(QString* text, int trigger);
    const SDR_TX_TRIGGER* get_trigger_in(int trigger) { return edit_trigger_in(trigger); }
    const SDR_TX_TRIGGER* get_trigger_out(int trigger) { return edit_trigger_out(trigger); }
    void get_signals_names(QString* out, char const* instance, char const* signal_set);
    void get_trigger_expression(QString* out, char const* instance, char const* signal_set,
                                char const* trigger);

    // What the node lists answer about a condition value: a pattern of a whole group, or an
    // operand of a bus comparison.
    bool is_group_condition(SDR_DATA_TRIGGER_CONDITION condition);
    bool is_comparison_operand_condition(SDR_DATA_TRIGGER_CONDITION condition);

    bool set_trigger(int node, int pattern, SDR_DATA_TRIGGER_CONDITION condition, int trigger);
    bool atomic_set_trigger(int node, int pattern, SDR_DATA_TRIGGER_CONDITION condition, int trigger);
    bool set_comparison_trigger_operand(int node, int pattern, int operand,
                                        SDR_DATA_TRIGGER_CONDITION condition, int trigger);
    void initialize_group_conditions();
    // Builds the diagram of every advanced level stored only as its equation.
    void build_preset_conditions();
    bool set_trigger_level_name(QString const& name, int level, int trigger);
    bool set_trigger_in_source(SDR_DATA_TRIGGER_IN_OUT_SOURCE_TYPE source, int trigger);

public Q_SLOTS:
    // The signal configuration pane's controls of the current trigger.
    void set_trigger_level(QString const& level);
    void set_trigger_position(QString const& position);
    void set_trigger_flow_control(QString const& flow);
    void set_storage_qualifier_type(QString const& type);
    // The texts set_storage_qualifier_type takes, in the order the configuration pane lists them.
    static QStringList get_storage_qualifier_types();
    void
    set_storage_qualifier_input_port(QString const& name,
                                     SEDQ_IS_POST_FITTING_TYPE post_fitting = SEDQ_KEEP_POST_FITTING_TYPE);
    void browse_storage_qualifier_input_port();
    void enable_data_discontinuities(bool on);
    void disable_storage_qualifier(bool on);
    void enable_trigger_in(bool on);
    void set_trigger_in_source(int source);
    void set_trigger_in_pin(QString const& pin);
    void set_trigger_in_node(QString const& node,
                             SEDQ_IS_POST_FITTING_TYPE post_fitting = SEDQ_KEEP_POST_FITTING_TYPE);
    void browse_trigger_in();
    void set_trigger_in_instance(QString const& instance);
    void set_trigger_in_condition(QString const& condition);
    void enable_trigger_out(bool on);
    void set_trigger_out_pin_selected(bool on);
    void set_trigger_out_pin(QString const& pin);
    void set_trigger_out_instance_selected(bool on);
    void set_trigger_out_instance(QString const& instance);
    void set_trigger_out_hps_trigger_in_selected(bool on);
    void set_trigger_out_hps_event_selected(bool on);
    void set_trigger_out_hps_event_index(QString const& index);
    void set_trigger_out_condition(QString const& condition);

public:
    // ---- state machine, power-up trigger, advanced trigger patterns ------------------------
    SEDQ_STATE_MACHINE_OBJECT* get_state_machine_object(int trigger);
    int get_state_count(int trigger);
    bool get_state_name(int state, QString* name, int trigger);
    QStringList get_state_names(int trigger);
    QStringList get_condition_names(int trigger);
    QStringList get_counter_names(int trigger);
    QStringList get_flag_names(int trigger);
    bool is_state_name(QString const& name, int trigger);
    bool is_condition_name(QString const& name, int trigger);
    bool is_counter_name(QString const& name, int trigger);
    bool is_flag_name(QString const& name, int trigger);
    bool get_state_text(int state, QString* text, int trigger);
    // Every state's body, one per state: the model's own list, shared, when it holds them all.
    QStringList get_state_texts(int trigger);
    // The generation of the bodies, and how the last flow text set changed them (see
    // SEDQ_STATE_MACHINE_OBJECT::body_generation); 0 and none without a flow.
    quint64 get_body_generation(int trigger);
    SEDQ_BODY_CHANGE get_last_body_change(int trigger);
    bool get_unified_state_text(QString* text, int trigger);
    // The unified text as the editor shows it: empty when the user emptied it, where
    // get_unified_state_text gives the one state that an empty flow stands for.
    bool get_unified_state_text_as_typed(QString* text, int trigger);
    // Names the unified text as it stands (see SEDQ_STATE_MACHINE_OBJECT::text_serial).
    quint64 get_unified_text_serial(int trigger);
    SEDQ_STATE_TYPE get_state_type(int state, int trigger);
    int get_flag_count(int trigger);
    const char* get_flag_name(int flag, int trigger, int* initial);
    int get_counter_count(int trigger);
    const char* get_counter_name(int counter, int trigger, int* width, unsigned int* initial);
    int get_state_current_value(int log);
    bool get_flag_current_value(int flag, int log, int* value);
    bool get_counter_current_value(int counter, int log, int* value);
    bool get_state_display_mode() const { return m_state_display_mode; }
    bool is_configurable(SCI_FLOW_CONTROL_RUNTIME_CONFIG_OPTION option, int trigger);
    // Has the host check the trigger's flow text and places an error in its state; true when
    // the flow checked without error.
    bool check_state_machine(SEDQ_STATE_MACHINE_ERROR* error, int trigger);
    bool is_powerup_trigger(int instance, int signal_set, int trigger, int log);
    bool is_powerup_trigger_enabled(int view);
    bool is_powerup_trigger(int view);
    bool is_advanced_trigger(int pattern, int trigger);
    bool is_advanced_nodes_used(int trigger);
    bool is_advanced_trigger_pattern_enabled(int level, int trigger);
    bool is_counter_operator_used();
    bool is_advanced_mode(int* level);
    // The level whose advanced condition the wizard's canvas edits (is_advanced_mode's answer there).
    void set_wizard_advanced_trigger_level(int level) { m_wizard_advanced_trigger_level = level; }
    bool is_state_mode();
    QList<SEDQ_OBJECT*>* get_object_array();
    // The condition that owns the objects get_object_array hands out; null when none is shown.
    SEDQ_TRIGGER_OBJECT* get_advanced_condition();

public Q_SLOTS:
    // The state flow panes' edits of the current trigger.
    void set_state_count(int count);
    void set_state_text(int state, QString const& text);
    // `known`, when given, may say how the editor changed the text it reported last. Returns the
    // serial under which the model now holds `text` (the editor's next change is known from it);
    // 0 when the model does not hold it.
    quint64 set_unified_state_text(QString const& text, const SEDQ_TEXT_CHANGE_FROM* known = nullptr);
    void set_flag_count(int count);
    void set_counter_count(int count);
    void set_flag_name(int flag, QString const* name);
    void set_flag_initial_value(int flag, int value);
    void set_counter_name(int counter, QString const* name);
    void set_counter_width(int counter, int width);
    void set_counter_initial_value(int counter, unsigned int value);
    void set_configurable(SCI_FLOW_CONTROL_RUNTIME_CONFIG_OPTION option, bool on);
    void set_state_display_mode(bool on);

public:
    void set_state_name(int state, QString const& name);
    void set_state_type(int state, SEDQ_STATE_TYPE type);
    void set_state_machine_modified();
    void set_advanced_trigger(int pattern, SDR_DATA_TRIGGER_LEVEL_TYPE type);
    void toggle_pattern(int level);
    bool enable_powerup_trigger(int view, bool enable);
    bool duplicate_powerup_trigger(int view);
    void update_advanced_modified_flag(bool first, bool second);
    bool update_advanced_trigger_pattern();

    // ---- node validity and partition checks ------------------------------------------------
    bool check_nodes_allocated(int instance);
    bool check_node_validity(int instance);
    bool is_node_invalid(int row);
    // Whether any of the rows `first` to `last` (a group's members) is marked invalid: one pass
    // over the trigger list, however many rows are asked about.
    bool is_any_node_invalid(int first, int last);
    // Whether any trigger row of the current instance is marked invalid (one pass over the
    // trigger list): without one, no row of either list is invalid.
    bool has_invalid_marks();
    bool is_clock_invalid();
    bool is_clock_post_fitting();
    bool check_node_partition(QString const& name, SDR_DATA_WIRE_TAP_MODE tap_mode);
    void show_untappable_msg(char const* name);
    void show_pre_synthesis_invalid_partition_msg(char const* name, IDU_PARTITION* partition);
    void show_post_fitting_invalid_partition_msg(char const* name, IDU_PARTITION* partition);

    // ---- decoder plug-ins and mnemonic tables ----------------------------------------------
    // Reopens the table of every plug-in group of every instance and hands it the stored user
    // options; false when a decoder refused its options.
    bool open_plugin_mnemonic_tables();
    // Builds (or rebuilds) the table from equal-length lists of symbols and patterns of one
    // width, and shows the group `node` of the current list through it. Inside an edit bracket.
    // Every table of the document deleted and made again from `tables`, bracketed by the
    // caller; stops at the first table the repository refuses (false). Marks the document
    // modified either way.
    bool replace_mnemonic_tables(const QVector<SDR_DATA_MNEMONICS_TABLE_CONTENT>& tables);
    // Another analyzer file opened to copy tables from (null when it is none), and closed again;
    // the document's own session is never closed here.
    const SDR_DATA_SESSION* open_mnemonic_source(const QString& path);
    bool close_mnemonic_source(const QString& path);
    // Copies `source` into the document as a table of its name and width; an existing table of
    // that name is replaced only with `replace`.
    bool import_mnemonic_table(const SDR_DATA_MNEMONICS_TABLE* source, bool replace);
    void create_mnemonic_table(int node, QString const& table_name, QStringList const& symbols,
                               QStringList const& patterns);
    bool set_node_mnemonics_table_name(int node, QString const& name);
    bool refresh_plugin_mnemonics(int node, SDR_TX_SIGNAL_NODES* nodes);
    bool get_plugin_trigger_condition_symbol(QString* out, int node, int level, int instance);
    bool set_plugin_trigger_condition_symbol(QString const& symbol, int node, int pattern, int trigger);
    bool get_plugin_trigger(QString* bits, char const* symbol, int node, int instance);
    bool get_node_mnemonics_table_name(int node, QString* name, const SDR_TX_SIGNAL_NODES* list);
    // The name of the document's table `index`; an index past them names a plug-in table and
    // leaves `name` untouched (true).
    bool get_mnemonics_table_name(int index, QString* name);
    bool is_plugin_mnemonic_table(int index);
    bool set_node_mnemonics_symbol(int node, QString const& pattern, QString const& symbol);
    bool get_plugin_mnemonic_table_name_menu_string(QString* text, int node, const SDR_TX_SIGNAL_NODES* nodes);
    // Names of the loaded decoder plug-ins (but those refused after they threw), sorted
    // case-sensitively; the index-th of them (false out of range, `name` untouched).
    QStringList get_plugin_names();
    int get_plugin_count();
    bool get_plugin_name(int index, QString* name);
    // Display text of one sampled value of a plug-in group (silent false when the decoder fails),
    // and the group's width in the current node list.
    bool get_plugin_mnemonic(QString* text, const char* value, int node, const SDR_TX_SIGNAL_NODES* nodes);
    bool get_plugin_mnemonic_width(int* width, int node);
    bool get_node_mnemonics_width(int node, int* width);
    // The symbol of a value of a group: from its decoder (plug-in groups, with a node list), the
    // decoder's answers kept with the current log (plug-in groups, without one) or its table.
    // `symbol` stays as it was when nothing names the value; an entry that names it with
    // nothing makes it the empty, not the null, text. Without a node list the answer is true.
    bool get_node_mnemonics_symbol(int node, QString const& bits, QString* symbol,
                                   SDR_TX_SIGNAL_NODES* nodes);
    bool show_plugin_error_msg(QString const& plugin_name);
    // The settings of one plug-in group: names, the options its decoder asks the user for and
    // keeps for itself, and the repository's record they were read from.
    struct SEDQ_PLUGIN_STRUCT
    {
        struct USER_OPTION
        {
            QString name;
            QString description;
            QString type; // "number", "file" or "string"
            QString value;
            // The decoder's answer to the last write of the options; empty when it said nothing.
            QByteArray message;
        };
        QString plugin_name;
        QString table_name;
        QList<USER_OPTION> user_options;
        QList<QPair<QString, QString>> internal_options;
        int node = -1;
        SDR_PLUGIN_GROUP* settings = nullptr;
        // The table's nodes (their count is the group's width) and its node list: the trigger
        // list when set, else the data list.
        QStringList node_names;
        bool setup = false;
        // While an attach runs: the group the table's nodes are gathered in, and one alias per
        // node name.
        QString group_name;
        QString group_alias;
        QStringList node_aliases;
    };
    // The dialogs of attaching and of the options, run modally by the plug-in layer: the
    // instance chosen among `paths` (false when cancelled), and the options dialog (false
    // when cancelled). Set once when the library loads.
    using PLUGIN_HIERARCHY_CHOICE = bool (*)(const QStringList& paths, QString* chosen);
    using PLUGIN_OPTIONS_EDIT = bool (*)(SEDQ_TX_MANAGER* tx, QList<SEDQ_PLUGIN_STRUCT*>* plugins);
    static PLUGIN_HIERARCHY_CHOICE s_choose_plugin_hierarchy;
    static PLUGIN_OPTIONS_EDIT s_edit_plugin_options;
    // Opens the table of `plugin` on the group `node` and stores it all on the group's record
    // (also after a refused open, which shows the decoder's error and answers false).
    bool open_plugin_mnemonic_table(int node, SEDQ_PLUGIN_STRUCT* plugin);
    // A new structure (the caller's) for a plug-in group, null for any other row.
    SEDQ_PLUGIN_STRUCT* get_plugin_struct(int node);
    // Lets the user edit the options of the groups; one edit of its own unless `in_action`.
    bool get_plugin_user_options(QList<SEDQ_PLUGIN_STRUCT*>* plugins, bool in_action);
    // Attaches the named decoder plug-in to the current instance, inside the caller's edit.
    bool open_plugin(QString const& plugin_name, bool test);
    // Hands the option values of every struct to its decoder and stores them on the group
    // records; false when a decoder refused its values. Each option keeps the decoder's message.
    bool set_plugin_user_options(const QList<SEDQ_PLUGIN_STRUCT*>& plugins);
    // The instances of the design units a decoder names, the user's choice among them (false
    // when none is found or the choice is cancelled), and the node names under the chosen one.
    bool get_plugin_hierarchy(QString* hierarchy, const QStringList& unit_names);
    static void get_plugin_hierarchy_list(QStringList* paths, HDB_INSTANCE_NAME* instance,
                                          const QStringList& unit_names);
    bool get_plugin_discovered_node_list(QStringList* node_names, const QString& hierarchy);
    static void copy_from_plugin_struct(SEDQ_PLUGIN_STRUCT* plugin, const PLUGIN_MNEMONIC_TABLE* table);
    static bool is_data_plugin_node(const QString& name, const QList<SEDQ_PLUGIN_STRUCT*>& plugins);
    static bool is_setup_plugin_node(const QString& name, const QList<SEDQ_PLUGIN_STRUCT*>& plugins);
    // Copies the first data-list node of that name to the end of the data list.
    bool insert_plugin_data_node(const QString& full_name);

    // ---- user settings shared by every editor window -------------------------------------
    static bool m_cfg_show_duplicate_buttons;
    static bool m_cfg_link_groups;
    static bool m_cfg_link_properties;
    static bool m_cfg_link_order;
    static bool m_cfg_link_mnemonics;
    static bool m_cfg_auto_recompile;
    static bool m_cfg_show_horz_grid;
    static int m_cfg_inter_line_spacing;
    static bool m_cfg_show_leading_zeroes;
    static bool m_cfg_show_vert_grid;
    static bool m_cfg_show_time_bars;
    // Live managers of the process; the decoder plug-ins are loaded while it is above 0.
    static int s_sedq_plugin_reference_count;
    // The plug-in libraries of the module directory into the registry; all of them out again.
    static void discover_plugins();
    static void unload_plugins();

    // Per-window settings read from the registry and the printing layout.
    bool m_align_left = false;
    bool m_state_display_mode = false;
    int m_print_rows_per_page = 35;
    int m_print_columns_per_page = 30;
    int m_print_pages_wide = 1;
    int m_print_pages_tall = 1;
    int m_print_fit_data = 0;
    int m_print_name_width = 20;
    bool m_show_alias = true;
    bool m_show_type = true;

public Q_SLOTS:
    // Taps the nodes of the tables under `prefix` into the trigger and data lists, one plug-in
    // group per table; the second generation of the document files keeps its own rows.
    bool add_plugin_tables(const QList<SEDQ_PLUGIN_STRUCT*>& plugins, const QString& prefix);
    bool add_plugin_tables_using_tx_gen1(const QList<SEDQ_PLUGIN_STRUCT*>& plugins, const QString& prefix);
    bool add_plugin_tables_using_tx_gen2(const QList<SEDQ_PLUGIN_STRUCT*>& plugins, const QString& prefix);
    // The mnemonic command is always available and does nothing of its own.
    void on_update_mnemonic(bool* enabled);
    void on_mnemonic();
    // Node insertion: opens the node finder; takes its selection (one undoable edit).
    void on_node_insert();
    void on_node_insert_to_view(const AFCQ_INSTANCE_NAME_LIST& list);
    void set_lock_mode(const QString& mode);
    void save_to_log();
    void set_logging(bool on);
    void on_edit_undo();
    void on_update_edit_undo();
    void on_edit_redo();
    void on_update_edit_redo();

Q_SIGNALS:
    void updated(QObject* sender, int hint);
    // Each update sent, in the order sent, a turn of the event loop later: the window's panes
    // listen here. One posted event carries every update sent before it is delivered, where a
    // queued connection per pane would post an event for each pane and update (a key typed in a
    // flow sends two updates to over a dozen panes). Updates sent while the model's signals are
    // blocked are not delivered, as they are not sent.
    void updated_later(QObject* sender, int hint);
    // Sent, not posted, before the conditions of the document are freed: whoever holds their
    // objects lets go of them first.
    void releasing_conditions();

private:
    bool accept_rename(bool renamed);
    void close_current_session();
    void refresh_cached_objects();
    void step_undo_history(bool undo);
    void clamp_active_instance();
    void connect_host_actions();
    void create_node_finder();
    bool insert_bus_members(std::vector<HDB_INSTANCE_NAME*> members, SDR_DATA_WIRE_TAP_MODE tap_mode,
                            bool* has_sub_bus);
    bool insert_array_rows(AFCQ_INSTANCE_NAME const& found, QString const& name, bool two_dimensions,
                           SDR_DATA_WIRE_TAP_MODE tap_mode);
    void name_new_bus(int row, QString const& name);
    int group_state_machine_nodes(QString const& group_name, int added);
    void attach_mnemonic_table(int node, QString const& table_name);
    bool reopen_plugin_table(SDR_PLUGIN_GROUP* record);
    void flush_node_warnings();
    bool acf_read_assignment(int variable_type, std::string* value);
    bool write_vantrel_assignments(const std::string& relative_path);
    bool check_save_preconditions(const char* path);
    void report_damaged_logs(bool later);
    bool leave_out_unreadable_logs();
    void warn_about_advanced_triggers();
    void warn_about_empty_inputs();
    bool handle_project_assignments(const char* path, std::string* enable);
    SDR_TX_SESSION* open_and_check_versions(const char* path, bool* renamed, std::string* new_name, bool* update);
    bool check_versions(SDR_TX_SESSION* session, bool* renamed, std::string* new_name, bool* update);
    void upgrade_old_version();
    bool scan_incremental_route();
    void apply_stored_lock_mode();
    bool input_has_data_nodes();
    bool input_has_trigger_nodes();
    int instance_index_of(const QString& name);
    SDR_DATA_INSTANCE* find_data_instance(const char* name);
    const SDR_DATA_LOG* wave_log(bool flag, int instance, int* depth);
    // Fills the log's tables of the decoder's answers for every plug-in group of the instance's
    // data list (what the waveform shows for them).
    void decode_plugin_groups(int instance, SDR_DATA_LOG* log);
    void fill_plugin_group_table(int instance, SDR_DATA_LOG* log, SDR_TX_SIGNAL_SET* nodes, int group,
                                 int depth);
    QTabWidget* get_data_setup_tab_widget(int instance);
    bool check_clock_validity(SDR_TX_SIGNAL_SET* set, HDB_INSTANCE_NAME* root, bool post_fit_pass);
    bool check_rows_validity(SDR_TX_TRIGGER* trigger, HDB_INSTANCE_NAME* root, bool post_fit_pass);
    bool run_validity_pass(int instance, bool post_fit_pass);

    // A count read from a display text and multiplied by `factor`.
    enum NUMBER_TEXT
    {
        IN_RANGE,
        NOT_A_NUMBER, // *value 0
        OUT_OF_RANGE  // negative, or more than INT_MAX after the factor; *value 0
    };
    static NUMBER_TEXT read_count_text(QString const& text, qint64 factor, int* value);
    void store_nodes_allocated(int kind, int count, int instance);
    bool store_tessarelle_nodes_allocated(int kind, int count, int instance);

    const QString& instance_name_text(int instance, const SDR_DATA_INSTANCE* data);

    int m_active_instance = -1;
    std::vector<QString> m_instance_name_texts; // by instance, for instance_name_text()
    SDR_TX_SESSION* m_tx_session = nullptr;
    SDR_TX_INSTANCE* m_tx_instance = nullptr;
    SDR_TX_SIGNAL_SET* m_tx_signals = nullptr;
    SDR_TX_TRIGGER* m_tx_trigger = nullptr;
    SDR_DATA_LOG* m_tx_log = nullptr;
    int m_sample_depth_cache = 128;
    QString m_sample_depth_text = QStringLiteral("128");
    int m_trigger_level_cache = 1;
    QString m_trigger_level_text = QStringLiteral("1");
    QString m_pipeline_level_text = QStringLiteral("0");
    unsigned int* m_acq_states = nullptr;
    bool m_using_pre_synthesis_filter = false;
    int m_wizard_advanced_trigger_level = 0;
    bool m_owns_session = true;
    bool m_nodes_invalid = false;
    bool m_list_view_mode = false;
    bool m_modified = false;
    quint64 m_update_count = 0;
    // Updates sent and not yet delivered through updated_later, oldest first.
    struct PENDING_UPDATE
    {
        QObject* sender;
        int hint;
        quint64 number;
    };
    std::deque<PENDING_UPDATE> m_pending_updates;
    bool m_delivery_posted = false;
    quint64 m_delivering_update = 0;
    void post_update(const PENDING_UPDATE& update);
    void deliver_updates();
    std::set<int> m_declined_pre_synthesis_partitions;
    std::set<int> m_declined_post_fitting_partitions;
    SEDQ_NO_WINDOW m_no_window;
    SEDQ_WINDOW_IF* m_window;
    SEDQ_LOCK_MODE m_lock_mode = SEDQ_LOCK_MODE_ALLOW_ALL;
    QMap<AFCQ_ACTION_ENUM, QAction*> m_action_map;
    UNBQ_DIALOG* m_node_finder = nullptr;
    // The last names read of each kind (see sedq_read_names).
    SEDQ_NAMES_READ m_condition_names;
    SEDQ_NAMES_READ m_counter_names;
    SEDQ_NAMES_READ m_flag_names;
    // The state name list last found to name its first `m_named_count` states (held shared: a
    // list written since is another list).
    QStringList m_named_states;
    int m_named_count = 0;
};

// Sort order of the members of a bus: most significant member first.
bool compare_func(HDB_INSTANCE_NAME* const& a, HDB_INSTANCE_NAME* const& b);
