#pragma once
// Editing session of one analyzer document: the entry index space over the data session (an
// instance whose power-up trigger is on is followed by its power-up view entry), the façades of
// each entry, session-wide data and the save/open/commit cycle. Façades of entries that go away
// are detached and parked until the session closes, so stale pointers answer neutral values.

#include "host/sdr/sdr_data_model.h"
#include "host/sdr/sdr_file_limits.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class SDR_TX_INSTANCE;
class SDR_TX_SIGNAL_SET;
class SDR_TX_TRIGGER;
class SDR_TX_TREE_OBJECT;

// A data log whose samples cannot be read: found damaged when the document was opened, or no
// longer readable from the file it was opened from.
struct SDR_LOG_TROUBLE
{
    SDR_DATA_LOG* log = nullptr;
    std::string instance; // the name of the log's instance
    std::string reason;   // naming the file, the entry and the problem
};

class SDR_TX_SESSION
{
public:
    SDR_TX_SESSION(SDR_TX_TREE_OBJECT* root, bool own_root);
    virtual ~SDR_TX_SESSION();
    SDR_TX_SESSION(const SDR_TX_SESSION&) = delete;
    SDR_TX_SESSION& operator=(const SDR_TX_SESSION&) = delete;

    // document life cycle
    bool create_session(const char* path);
    bool open_session(const char* path);
    bool open_session(SDR_DATA_SESSION* session);
    // While another session opens a document in this one's place: this document stays open
    // here, but its file no longer counts as open, so that the same file can be opened anew.
    // take_back_name() makes it count again (that open failed); closing ends it.
    void stand_aside();
    void take_back_name();
    bool save_session(const char* path);
    // The logs whose samples were found damaged when the document was opened (their checksum
    // fails): they read as no samples, and a save keeps them as they are stored.
    std::vector<SDR_LOG_TROUBLE> get_damaged_logs();
    // When the checksums of samples the open left in the file are still being taken: `call`
    // runs from the event loop once they are (and not after the document is closed), and true.
    // False when there are none to wait for.
    bool when_open_checked(std::function<void()> call);
    // The logs a save could not write: samples left in the file the document was opened from
    // that can no longer be read from it, because the file has changed or is damaged there.
    // Reads what a save needs now, so that the save itself finds it in memory.
    std::vector<SDR_LOG_TROUBLE> get_unsavable_logs();
    void close_session();
    void commit_session();
    // Writes the stored equation of every advanced condition of `trigger` again from the objects
    // drawn for it, so that what is checked, compiled, run and saved is what the editor shows.
    // Derived data: no undo step, no modified mark. A condition without objects, or one only
    // ever given its equation (a preset) and not edited since, keeps the equation it has.
    // Nothing without an editing session.
    static void derive_equations(SDR_DATA_TRIGGER* trigger);
    // The equation of advanced level `index` (with `sq`, of storage-qualifier pattern `index`)
    // as the power-up trigger runs it: written from its objects with their power-up values, and
    // `faulty` when their writer reports a problem. False, writing nothing, for a condition that
    // runs its stored equation in both triggers (one not drawn, or no editing session).
    static bool write_power_up_equation(SDR_DATA_TRIGGER* trigger, int index, bool sq, std::string* text,
                                        bool* faulty);
    // The state-based flow of `trigger` as its state machine object (or the file) holds it; a
    // trigger that never had one runs the flow the editor starts with.
    static std::string get_flow_text(const SDR_DATA_TRIGGER* trigger);
    bool is_modified() const;
    void set_undoable_modified_flag();
    bool is_stripped_version() const;
    bool rename_a_stripped_version();
    void refresh_after_version_upgrade();
    SDR_DATA_SESSION* get_data_session();
    const SDR_DATA_SESSION* get_data_session() const
    {
        return const_cast<SDR_TX_SESSION*>(this)->get_data_session();
    }
    void set_gui_logging(bool on);
    bool is_gui_logging_enabled() const;

    // entries
    int get_num_instances() const;
    SDR_TX_INSTANCE* get_instance_at(int index, bool flag);
    const SDR_TX_INSTANCE* get_instance_at(int index, bool flag) const
    {
        return const_cast<SDR_TX_SESSION*>(this)->get_instance_at(index, flag);
    }
    SDR_TX_SIGNAL_SET* get_signal_set_at(int index, bool flag);
    const SDR_TX_SIGNAL_SET* get_signal_set_at(int index, bool flag) const
    {
        return const_cast<SDR_TX_SESSION*>(this)->get_signal_set_at(index, flag);
    }
    SDR_TX_TRIGGER* get_trigger_at(int index, bool flag);
    const SDR_TX_TRIGGER* get_trigger_at(int index, bool flag) const
    {
        return const_cast<SDR_TX_SESSION*>(this)->get_trigger_at(index, flag);
    }
    SDR_DATA_LOG* get_log_at(int index, bool flag);
    const SDR_DATA_LOG* get_log_at(int index, bool flag) const
    {
        return const_cast<SDR_TX_SESSION*>(this)->get_log_at(index, flag);
    }
    bool is_power_up_view(int index) const;
    bool is_power_up_trigger(int view) const;
    bool set_power_up_trigger_mode(int instance, bool on);
    bool duplicate_trigger_to_other(int view);
    int create_vantrel_instance(void* preset = nullptr);
    bool remove_vantrel_instance(int index);
    bool set_active(int index, const char* signal_set, const char* trigger, const char* log);
    bool set_active_log(int index, SDR_DATA_LOG* log);
    bool remove(int index, const char* signal_set, const char* trigger, const char* log);
    bool save_to_log(int index);
    // The log a run or a read of entry `index` fills: a new one with logging on, else the
    // trigger's emptied temporary log; it becomes the shown log. What it replaced is kept until
    // restore_replaced_log or forget_replaced_log.
    SDR_DATA_LOG* create_new_log(int index);
    // A run or read that ended without data gives back what its log replaced: a new log is
    // removed, a reused one takes its previous content again, and the log shown before is shown
    // again. A log that holds data is only forgotten. True when something was given back.
    bool restore_replaced_log(SDR_DATA_LOG* log);
    // New data is in the log: what it replaced is let go.
    void forget_replaced_log(SDR_DATA_LOG* log);
    void remove_current_log(int index);
    bool check_instance_compilation_type_at(int index, bool* recompile, bool* reroute);

    // UI state of the document (does not mark it modified)
    int get_global_data(const char* key) const;
    int get_global_data(const char* key, int* values, int capacity = SDR_GLOBAL_DATA_CAPACITY) const;
    bool set_global_data(const char* key, int value);
    bool set_global_data(const char* key, const int* values, int count);

    // JTAG settings and programming files
    const char* get_jtag_chain_name() const;
    void set_jtag_chain_name(const char* name);
    const char* get_jtag_device_name() const;
    void set_jtag_device_name(const char* name);
    const char* get_sof_file_name() const;
    void set_sof_file_name(const char* name);
    bool embed_sof_file(const char* path, const char* name);
    int get_embedded_sof_file_count() const;
    const char* get_embedded_sof_file_name_at(int index) const;
    void set_embedded_sof_inst_id_crc_at(int index, const char* info);
    const char* get_embedded_sof_inst_id_crc_at(int index) const;
    bool remove_embedded_sof_at(int index);
    bool rename_embedded_sof_filename_at(int index, const char* name);
    bool extract_sof_file(int index, const char* path) const;

    // estimates
    SDR_HALCYTE_RAM_TYPE get_instance_ram_type_at(int index) const;
    // `family` is a DEV_FAMILY_ENUM value; taken as int so this header does not depend on the
    // device library (an unscoped enum argument converts implicitly).
    unsigned get_instance_estimated_lcell_count_at(int index, int family) const;
    unsigned get_instance_ram_bits_usage_at(int index) const;
    // The bits of an enabled instance's acquisition buffer (0 for a disabled one).
    static unsigned instance_ram_bits(const SDR_DATA_INSTANCE* instance);

    // the power-up selector last given to a trigger façade (façades report it here)
    bool is_power_up_editing() const { return m_power_up_editing; }
    void set_power_up_editing(bool on) { m_power_up_editing = on; }

    // Public byte: "second-generation" flag of the document; stored in the file.
    unsigned char m_is_tx_gen2 = 0;

    // --- repository internals used by the other repository classes -------------------------
    SDR_TX_TREE_OBJECT* get_root_object() { return m_root; }
    const SDR_TX_TREE_OBJECT* get_root_object() const { return m_root; }
    // Entry index of the normal entry of `instance`, -1 when it has none.
    int entry_of(const SDR_DATA_INSTANCE* instance) const;
    SDR_DATA_INSTANCE* data_instance_at(int index);
    const SDR_DATA_INSTANCE* data_instance_at(int index) const
    {
        return const_cast<SDR_TX_SESSION*>(this)->data_instance_at(index);
    }
    // Creates a trigger's state machine handle through the root when it has none yet.
    void ensure_state_machine_object(SDR_DATA_TRIGGER* trigger);
    // Handle of level `index` (or SQ pattern 0..2), created through the root on first use.
    SDR_TX_TREE_OBJECT* ensure_level_tree(SDR_DATA_TRIGGER* trigger, int index, bool sq);
    // Deletes every deletable handle of the trigger through the root.
    void release_trees(SDR_DATA_TRIGGER* trigger);
    // Rebuilds the entry list from the instance list, keeping the façades of surviving entries.
    void rebuild_entries();
    // Undoes the creation of an instance (called by its history): removes it and its entries and
    // hands the redo to the instance whose entry takes its place (the one an editor shows next),
    // so the instance, with the edits it can redo, comes back on Redo there. With no other
    // instance left nothing could hold that redo: then the undo is refused (with a message) when
    // the instance has edits to redo. False when refused.
    bool undo_instance_creation(SDR_DATA_INSTANCE* instance);
    // Brings back an instance whose creation was undone, at `index` of the instance list.
    void revive_instance(SDR_DATA_INSTANCE* instance, int index);

    // Why the last create/open/save failed ("" after a success); for messages and tests.
    const std::string& get_last_error() const { return m_last_error; }
    // CRC over what a compile builds of a trigger and its signal set (node names, tap modes,
    // capture types, setup, level count and types, SQ type, trigger in/out enables, the
    // structure of the stored advanced expressions and, for a state-based trigger, of its flow
    // with its resources and runtime options); what a run loads is left out: basic conditions,
    // comparison values and every runtime-configurable setting (SDR_TRIGGER_STRUCTURE).
    // `pre_fit_only` leaves out post-fitting rows (tap mode 2): what a reroute cannot change.
    // Keeps what it derived in the trigger's memo: GUI thread only.
    static unsigned compute_trigger_crc(const SDR_DATA_TRIGGER* trigger, bool pre_fit_only = false);

    struct ENTRY;

private:
    // Whether the document can take `more` elements of that kind, and `payload` more bytes of
    // payload entries; false, with the refusal recorded (SDR_DATA_MANAGER), when it cannot.
    bool has_room(SDR_FILE_ELEMENT element, qint64 more) const;
    bool has_payload_room(qint64 payload) const;
    // A log of `wires` for the trigger, in place of `replaced` (null: a new log after the last),
    // holding `tables` decoder tables and entries.
    bool has_room_for_log(const SDR_DATA_TRIGGER* trigger, const SDR_WIRE_NAMES& wires,
                          const SDR_DATA_LOG* replaced, const SDR_LOG_TALLY& tables) const;
    static const SDR_DATA_LOG* temp_log_of(const SDR_DATA_TRIGGER* trigger);
    bool open_file(const char* path);
    bool save_file(const char* path);
    void attach(SDR_DATA_SESSION* session);
    void detach_all_entries();
    void prepare_instance(SDR_DATA_INSTANCE* instance);
    ENTRY* entry_at(int index);
    const ENTRY* entry_at(int index) const { return const_cast<SDR_TX_SESSION*>(this)->entry_at(index); }
    SDR_DATA_SIGNAL_SET* signal_set_named(int index, const char* signal_set, int* set_index);
    void commit_trigger(SDR_DATA_TRIGGER* trigger);
    void write_equations(SDR_DATA_TRIGGER* trigger);
    void derive_session_equations();
    // The façade of `trigger` when it is the active trigger of an instance with an entry.
    SDR_TX_TRIGGER* facade_of(SDR_DATA_TRIGGER* trigger);
    template <class VISIT>
    void for_each_trigger(VISIT visit);
    bool remove_log(SDR_DATA_TRIGGER* trigger, int log_index);
    bool remove_trigger(SDR_DATA_SIGNAL_SET* set, int trigger_index);
    bool remove_signal_set(SDR_DATA_INSTANCE* instance, int set_index);
    SDR_DATA_LOG* reuse_temp_log(SDR_DATA_TRIGGER* trigger, bool power_up, SDR_DATA_LOG::REPLACED* replaced);
    void structural_change(SDR_DATA_INSTANCE* instance);

    SDR_TX_TREE_OBJECT* m_root;
    bool m_own_root;
    SDR_DATA_SESSION* m_data = nullptr;
    std::vector<std::unique_ptr<ENTRY>> m_entries;
    std::vector<std::unique_ptr<ENTRY>> m_parked_entries;
    bool m_power_up_editing = false;
    std::string m_last_error;
    std::string m_name_aside; // the document's name while it stands aside, else empty
};
