#pragma once
// Data side of the analyzer data repository: every persistent value of an analyzer document.
// The editable state that undo restores lives in copy-on-write blocks (QSharedDataPointer of a
// *_STATE struct), so an undo snapshot is a handful of reference counts even for thousands of rows;
// the objects themselves never move or get recreated, so pointers handed out stay valid.

#include "host/sdr/sdr_chunked_list.h"
#include "host/sdr/sdr_data_mnemonics.h"
#include "host/sdr/sdr_enums.h"
#include "host/sdr/sdr_log_list.h"
#include "host/sdr/sdr_log_names.h"
#include "host/sdr/sdr_plugin_group.h"
#include "host/sdr/sdr_wire_names.h"

#include <QByteArray>
#include <QSharedData>
#include <QSharedDataPointer>
#include <QString>
#include <QVector>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <unordered_set>
#include <type_traits>
#include <unordered_map>
#include <utility>
#include <vector>

class SCI_ADVANCED_TRIGGER_FACTORY;
class SDR_DATA_INSTANCE;
class SDR_DATA_LOG;
class SDR_DATA_MNEMONICS;
class SDR_DATA_MNEMONICS_TABLE;
class SDR_DATA_SESSION;
class SDR_DATA_SIGNAL_SET;
class SDR_DATA_TRIGGER;
class SDR_PLUGIN_GROUP;
class SDR_SHARED_UNDO;
class SDR_TX_SESSION;
class SDR_TX_TREE_OBJECT;
class SDR_UNDO_HISTORY;

// Named integer arrays: global data of a session, position data of an entry (UI state).
using SDR_INT_DATA_MAP = std::map<std::string, std::vector<int>>;
// Copies at most `capacity` values stored under `key` into `values` and answers the stored
// count, -1 when the key is absent or the arguments are unusable (reported).
int sdr_read_int_data(const SDR_INT_DATA_MAP& data, const char* key, int* values, int capacity);
// Stores `count` values under `key`; false for unusable arguments (reported).
bool sdr_write_int_data(SDR_INT_DATA_MAP* data, const char* key, const int* values, int count);

// ---------------------------------------------------------------------------------------------
// Stored advanced-trigger trees

// Attribute pairs of one tree object, in the order the object wrote them.
using SDR_TREE_ATTRIBUTES = std::vector<std::pair<std::string, std::string>>;

// One object node of a stored condition tree: its attribute pairs and its child nodes.
struct SDR_TREE_RECORD
{
    std::vector<std::pair<std::string, std::string>> attributes;
    std::vector<SDR_TREE_RECORD> children;
};

// What the file holds for one tree handle (level, storage-qualifier pattern or state machine).
// `present` distinguishes "no tree stored" (a wizard preset that only has an expression) from an
// empty stored tree. For a state machine only `attributes` is used.
struct SDR_STORED_TREE
{
    bool present = false;
    std::vector<SDR_TREE_RECORD> roots;
    std::vector<std::pair<std::string, std::string>> attributes;
};

// ---------------------------------------------------------------------------------------------
// Node rows (one per row of a trigger list or a data list)

// Comparison of a group row at one pattern: interval op1 value1 .. op2 value2.
struct SDR_NODE_COMPARISON
{
    bool member = false;
    bool enabled = false;
    SDR_DATA_TRIGGER_CONDITION op1 = SDR_CTYPE_COMPARE_GREATER_THAN_OR_EQUAL_TO;
    int value1 = 0;
    SDR_DATA_TRIGGER_CONDITION op2 = SDR_CTYPE_COMPARE_LESS_THAN_OR_EQUAL_TO;
    int value2 = 0;

    bool operator==(const SDR_NODE_COMPARISON& o) const
    {
        return member == o.member && enabled == o.enabled && op1 == o.op1 && value1 == o.value1 &&
               op2 == o.op2 && value2 == o.value2;
    }
};

// One copy (normal or power-up) of a row's per-pattern values. `conditions` and `comparisons`
// have one element per trigger level; the SQ arrays one per storage-qualifier pattern.
struct SDR_NODE_PATTERNS
{
    QVector<SDR_DATA_TRIGGER_CONDITION> conditions;
    QVector<SDR_NODE_COMPARISON> comparisons;
    SDR_DATA_TRIGGER_CONDITION sq_conditions[SDR_NUM_SQ_PATTERNS] = {SDR_CTYPE_DONT_CARE,
                                                                     SDR_CTYPE_DONT_CARE,
                                                                     SDR_CTYPE_DONT_CARE};
    SDR_NODE_COMPARISON sq_comparisons[SDR_NUM_SQ_PATTERNS];
};

enum SDR_PATTERN_COPY
{
    SDR_COPY_NORMAL = 0,
    SDR_COPY_POWER_UP = 1
};

// A row of a node list. Group rows use `name` and `alias` for the group's name and alias; the
// group-only fields are neutral on leaves (radix SDR_GTYPE_INVALID, no plug-in record).
struct SDR_NODE_ROW
{
    // identity
    int link_id = 0;                 // same id on the linked rows of the trigger and data lists
    std::string name;                // full name, hierarchy joined by "|"; group name on group rows
    SDR_DATA_SIGNAL_TYPE signal_type = SDR_STYPE_PLAIN;
    std::string alias;               // "" when none
    bool has_debug_port_out = false; // debug_port_out is null unless set
    std::string debug_port_out;
    bool debug_port_out_enabled = false;

    // tree (display_type, depth and subtree_end are recomputed in one pass on structural change)
    SDR_DATA_NODE_DISPLAY_TYPE display_type = SDR_NTYPE_STANDALONE;
    int depth = 0;
    int subtree_end = 0;             // index of the last row of this row's subtree (itself for leaves)
    bool expanded = true;

    // capture
    SDR_DATA_WIRE_CAPTURE_TYPE capture_type = SDR_WTYPE_DATA_AND_TRIGGER;
    SDR_DATA_WIRE_TAP_MODE tap_mode = SDR_TAP_PRE_SYNTHESIS;
    bool storage_enabled = false;
    bool transition_enabled = false;
    bool inverted = false;
    int node_flag = 0;               // second-generation per-node flag

    // group only
    SDR_DATA_GROUP_DISPLAY_TYPE radix = SDR_GTYPE_INVALID;
    bool lsb_to_msb = false;
    std::string mnemonic_table;      // name of the mnemonic table shown on the group
    int link_mask = 0;               // 0x1 groups, 0x2 order, 0x4 mnemonics, 0x8 properties
    int link_mask2 = 0;              // the mask "with mnemonics"
    int link_type = 0;
    // Plug-in record of the group, owned by the instance (SDR_DATA_INSTANCE::m_plugin_groups) so the
    // pointer stays valid across row copies, undo and row deletion; null when none.
    SDR_PLUGIN_GROUP* plugin_group = nullptr;

    // per pattern, two copies: [SDR_COPY_NORMAL] and [SDR_COPY_POWER_UP]
    SDR_NODE_PATTERNS patterns[2];

    // transient: neither saved nor counted as an edit
    bool selected = false;
    bool invalid = false;
    int deletable_override = -1;     // test seam: -1 rule of the list, 0 not deletable, 1 deletable

    // derived (data list)
    int wire_index = -1;
    bool data_tab_only = false;
    // derived (data list): index of the linked trigger-list row at the last sync, -1 none; a
    // hint only, checked against link_id before use
    int link_row = -1;
    // derived: index of the nearest group row above this row, -1 at top level (recomputed with
    // the tree, so parent look-ups are O(1))
    int parent_row = -1;
};

// Rows in shared chunks: an undo snapshot shares every row, an edit copies only the chunk it
// touches.
using SDR_NODE_LIST = SDR_CHUNKED_LIST<SDR_NODE_ROW>;

// ---------------------------------------------------------------------------------------------
// Data logs

// Samples of one acquisition; immutable once published, shared between copies of a log.
// Bit rows are packed 8 samples a byte, sample s at byte s / 8, bit s % 8 (LSB first).
// The version of a log's samples, what the repository's change notifications carry: every
// payload made, copied or assigned takes a number no other payload of the process has, and a
// payload never changes once a log holds it. A reader that keeps something built from a log's
// samples keys it on the version and keeps it while the version stays.
class SDR_DATA_VERSION
{
public:
    SDR_DATA_VERSION() : m_value(next()) {}
    SDR_DATA_VERSION(const SDR_DATA_VERSION&) : m_value(next()) {}
    SDR_DATA_VERSION& operator=(const SDR_DATA_VERSION&)
    {
        m_value = next();
        return *this;
    }
    quint64 get() const { return m_value; }
    // The same samples in another place (read from the file they were left in): same version.
    void take_from(const SDR_DATA_VERSION& other) { m_value = other.m_value; }

private:
    static quint64 next();
    quint64 m_value;
};

struct SDR_LOG_PAYLOAD
{
    int depth = 0;                   // samples per channel
    int channel_count = 0;
    int segment_size = 0;            // 0 when not segmented
    int trigger_position = -1;       // absolute trigger sample of the whole log, negative = unknown
    std::vector<int> segment_trigger_positions;   // offset inside each segment
    QByteArray channel_bits;         // channel_count rows of row_bytes(), channel-major
    QByteArray valid_bits;           // one row
    QByteArray trigger_bits;         // one row
    QByteArray break_bits;           // one row: sample breaks from the previous one
    QByteArray connected;            // one byte per channel, non-zero = connected
    int state_value = -1;            // -1 when none
    QByteArray flag_values;          // one byte per flag
    std::vector<unsigned> counter_values;
    SDR_DATA_VERSION version;

    int row_bytes() const { return (depth + 7) / 8; }
    bool bit_in_row(const QByteArray& row, int offset, int sample) const
    {
        return (static_cast<unsigned char>(row.constData()[offset + sample / 8]) >> (sample % 8)) & 1u;
    }
};

// A payload entry of the analyzer file as it is stored there: its bytes (deflated when `method`
// says so), its checksum and its size unpacked. Damaged samples are saved this way, byte for
// byte, so that a save neither drops them nor passes them off as sound.
struct SDR_STORED_ENTRY
{
    QByteArray bytes;
    quint16 method = 0;              // 0 stored, 8 deflated
    quint32 crc = 0;                 // as the file's directory gives it
    quint64 size = 0;                // unpacked
};

// Reads the samples of a log that opening left in its file.
class SDR_PAYLOAD_LOADER
{
public:
    virtual ~SDR_PAYLOAD_LOADER() = default;
    // The whole payload, checked; null with a sentence naming the file, the entry and the
    // problem.
    virtual std::shared_ptr<SDR_LOG_PAYLOAD> load(QString* problem) const = 0;
    // The entry as stored, when the file still holds it as it did at open; false with a
    // sentence naming the file, the entry and the problem otherwise.
    virtual bool read_stored(SDR_STORED_ENTRY* entry, QString* problem) const = 0;
    // For samples whose checksum was still being taken on another thread when the document
    // opened: the checksum, waited for (`wait`) or else taken here at once. Empty when it holds;
    // otherwise what is wrong, naming the file and the entry, with `damaged` set when the entry
    // can be kept as stored (its checksum fails) and the counts document.xml gives in `declared`.
    virtual QString settle(bool wait, bool* damaged, std::shared_ptr<const SDR_LOG_PAYLOAD>* declared) const
    {
        (void)wait;
        (void)damaged;
        (void)declared;
        return QString();
    }
};

// The checksums of a document's samples, still being taken on another thread after it opened
// (its samples stay in the file, so the window need not wait for them to come up).
class SDR_OPEN_CHECK
{
public:
    virtual ~SDR_OPEN_CHECK() = default;
    // Whether every checksum is taken.
    virtual bool done() const = 0;
    // Waits until every checksum is taken.
    virtual void wait() = 0;
    // `call` runs once every checksum is taken, from the event loop of the calling thread (the
    // one that opened the document; later, also when they already are); it replaces an earlier
    // one.
    virtual void when_done(std::function<void()> call) = 0;
    // Drops the call asked for: its document is closed.
    virtual void forget() = 0;
};

// A log's samples: in memory, or still in the file the document was opened from and read the
// first time something asks for them (the view showing the log, an export, a save). Copies
// share one state, so the samples are read once for all of them. A payload that cannot be read
// is reported once (an error message naming the file and the entry) and reads as no samples
// from then on; a save then fails with the same problem rather than drop them. Samples found
// damaged at open (their checksum fails) read as no samples too, and a save copies them as they
// are stored, as long as the file still holds them as it did at open. GUI thread only.
class SDR_PAYLOAD_HANDLE
{
public:
    SDR_PAYLOAD_HANDLE() = default;
    SDR_PAYLOAD_HANDLE(std::nullptr_t) {}
    template <class T, class = std::enable_if_t<std::is_convertible<T*, const SDR_LOG_PAYLOAD*>::value>>
    SDR_PAYLOAD_HANDLE(std::shared_ptr<T> payload)
    {
        set(std::shared_ptr<const SDR_LOG_PAYLOAD>(std::move(payload)));
    }
    // Samples left in a file: `outline` holds their counts, trigger positions and state value
    // (no rows), answered without reading them.
    // `unchecked`: their checksum was still being taken when the document opened; it is settled
    // (SDR_PAYLOAD_LOADER::settle) before anything but the outline is answered.
    static SDR_PAYLOAD_HANDLE stored(std::shared_ptr<const SDR_LOG_PAYLOAD> outline,
                                     std::shared_ptr<const SDR_PAYLOAD_LOADER> loader, bool unchecked = false);
    // Samples found damaged at open: `declared` holds the counts and trigger positions that
    // document.xml gives for them, `damage` says what is wrong (naming the file and the entry).
    static SDR_PAYLOAD_HANDLE damaged(std::shared_ptr<const SDR_LOG_PAYLOAD> declared,
                                      std::shared_ptr<const SDR_PAYLOAD_LOADER> loader, const QString& damage);

    // The samples, read first when they are still in the file; null when there are none or
    // they cannot be read.
    const SDR_LOG_PAYLOAD* get() const
    {
        if (!m_state || m_state->payload || !m_state->loader)
            return m_state ? m_state->payload.get() : nullptr;
        return load();
    }
    const SDR_LOG_PAYLOAD* operator->() const { return get(); }
    const SDR_LOG_PAYLOAD& operator*() const { return *get(); }
    explicit operator bool() const { return get() != nullptr; }
    std::shared_ptr<const SDR_LOG_PAYLOAD> shared() const
    {
        get();
        return m_state ? m_state->payload : nullptr;
    }
    operator std::shared_ptr<const SDR_LOG_PAYLOAD>() const { return shared(); }
    // The counts and trigger positions without reading the rows: the samples once in memory,
    // their outline until then; null when there are none or they cannot be read.
    const SDR_LOG_PAYLOAD* outline() const;
    // Still in the file: nothing has asked for them yet.
    bool is_stored() const
    {
        settle(true);
        return m_state && !m_state->payload && m_state->loader && m_state->problem.isEmpty();
    }
    // Why they cannot be read; empty while they can.
    QString problem() const
    {
        settle(true);
        return m_state ? m_state->problem : QString();
    }
    // Found damaged at open.
    bool is_damaged() const
    {
        settle(true);
        return m_state && m_state->declared;
    }
    // The counts document.xml gives for damaged samples; null for others.
    const SDR_LOG_PAYLOAD* declared() const
    {
        settle(true);
        return m_state ? m_state->declared.get() : nullptr;
    }
    // The counts of the samples as the file stores them, whether they are in memory, still in
    // the file, damaged or no longer readable: known from the start and never waited for.
    const SDR_LOG_PAYLOAD* counts() const
    {
        if (!m_state)
            return nullptr;
        if (m_state->declared)
            return m_state->declared.get();
        return m_state->payload ? m_state->payload.get() : m_state->outline.get();
    }
    // Damaged samples as the file stores them, read again once; false (with the problem,
    // from then on) when the file no longer holds them as it did at open, or for others.
    bool stored_entry(const SDR_STORED_ENTRY** entry, QString* problem) const;
    void reset() { m_state.reset(); }

    friend bool operator==(const SDR_PAYLOAD_HANDLE& a, const SDR_PAYLOAD_HANDLE& b) { return a.get() == b.get(); }
    friend bool operator!=(const SDR_PAYLOAD_HANDLE& a, const SDR_PAYLOAD_HANDLE& b) { return !(a == b); }

private:
    struct STATE
    {
        std::shared_ptr<const SDR_LOG_PAYLOAD> payload;       // the samples, once in memory
        std::shared_ptr<const SDR_LOG_PAYLOAD> outline;       // their counts while in the file
        std::shared_ptr<const SDR_PAYLOAD_LOADER> loader;     // until they are read
        QString problem;                                      // set when they cannot be
        std::shared_ptr<const SDR_LOG_PAYLOAD> declared;      // damaged: their counts
        std::unique_ptr<SDR_STORED_ENTRY> stored;             // damaged: once read again
        QString stored_problem;                               // damaged: when that failed
        bool unchecked = false;                               // checksum not settled yet
    };
    void set(std::shared_ptr<const SDR_LOG_PAYLOAD> payload);
    const SDR_LOG_PAYLOAD* load() const;
    // Settles a checksum still being taken: waited for, or (not `wait`) taken at once.
    void settle(bool wait) const
    {
        if (m_state && m_state->unchecked)
            settle_now(wait);
    }
    void settle_now(bool wait) const;

    std::shared_ptr<STATE> m_state;
};

// A data log's samples: a handle that tells its log when it is given other samples, so that
// the log's trigger counts them (SDR_DATA_LOG::recount).
class SDR_LOG_PAYLOAD_SLOT : public SDR_PAYLOAD_HANDLE
{
public:
    explicit SDR_LOG_PAYLOAD_SLOT(SDR_DATA_LOG* log) : m_log(log) {}
    SDR_LOG_PAYLOAD_SLOT(const SDR_LOG_PAYLOAD_SLOT&) = delete;
    SDR_LOG_PAYLOAD_SLOT& operator=(const SDR_LOG_PAYLOAD_SLOT& other)
    {
        return *this = static_cast<const SDR_PAYLOAD_HANDLE&>(other);
    }
    SDR_LOG_PAYLOAD_SLOT& operator=(SDR_PAYLOAD_HANDLE payload);
    void reset();

private:
    SDR_DATA_LOG* m_log;
};

// A data log's wire names, which tell their log when they change (SDR_DATA_LOG::recount). A
// list equal to the one of the log before it in its trigger becomes that log's list, shared.
class SDR_LOG_WIRE_NAMES : public SDR_WIRE_NAMES
{
public:
    explicit SDR_LOG_WIRE_NAMES(SDR_DATA_LOG* log) : m_log(log) {}
    SDR_LOG_WIRE_NAMES(const SDR_LOG_WIRE_NAMES&) = delete;
    SDR_LOG_WIRE_NAMES& operator=(const SDR_LOG_WIRE_NAMES& other)
    {
        return *this = static_cast<const SDR_WIRE_NAMES&>(other);
    }
    SDR_LOG_WIRE_NAMES& operator=(SDR_WIRE_NAMES names);
    SDR_LOG_WIRE_NAMES& operator=(LIST names) { return *this = SDR_WIRE_NAMES(std::move(names)); }
    void push_back(std::string name);
    void clear();

private:
    SDR_DATA_LOG* m_log;
};

// One acquisition of a trigger. Name and expanded flag are document data; the payload is the
// acquired data (null before data arrives).
class SDR_DATA_LOG
{
public:
    SDR_DATA_LOG(SDR_DATA_TRIGGER* trigger, const std::string& name);
    ~SDR_DATA_LOG();

    const char* get_name() const;
    bool set_name(const char* name);
    void set_expanded_status(bool expanded);
    bool is_expanded() const;
    int get_data_sample_depth() const;
    // The version of the samples (SDR_DATA_VERSION); 0 while the log has none.
    quint64 get_data_version() const;
    bool get_bit(int channel, int sample) const;
    bool is_bit_valid(int sample) const;
    bool is_bit_trigger(int sample) const;
    bool is_break_previous(int sample) const;
    bool get_connection_status(int channel) const;
    bool is_data_available(bool flag) const;
    bool is_acquiring_data() const;
    int get_data_trigger_position(int segment) const;
    int get_segment_size() const;
    bool is_global_temp() const;
    void remove();
    bool is_power_up_trigger() const;
    SDR_DATA_SIGNAL_SET* get_signal_set();
    const SDR_DATA_SIGNAL_SET* get_signal_set() const
    {
        return const_cast<SDR_DATA_LOG*>(this)->get_signal_set();
    }
    int get_state_value() const;
    int get_num_flags() const;
    unsigned char get_flag_value(int index) const;
    int get_num_counters() const;
    unsigned get_counter_value(int index) const;
    SDR_DATA_MNEMONICS_TABLE* create_static_plugin_mnemonics_table(int width, int id);
    SDR_DATA_MNEMONICS_TABLE* get_static_plugin_mnemonics_table(int index);
    const SDR_DATA_MNEMONICS_TABLE* get_static_plugin_mnemonics_table(int index) const
    {
        return const_cast<SDR_DATA_LOG*>(this)->get_static_plugin_mnemonics_table(index);
    }
    void end_post_acq_processing();

    // What the log counts against the limits of a file, with the log before it in its trigger
    // (SDR_LOG_LIST); recount() tells the list when that changed. Its wire names, its samples
    // and its decoder tables call it; code that changes m_static_plugin_tables calls it too.
    // A decoder table whose entries are those of the same table of the log before it counts
    // nothing: the log holds that table's entries, shared (share_static_tables), and the file
    // says so instead of listing them (same_table). A log that a run made counts, until its
    // post-acquisition processing ends, the most its decoder tables may hold by then.
    SDR_LOG_TALLY tally() const;
    void recount();
    // Shares the entries of each decoder table that holds those of the same table of the log
    // before it.
    void share_static_tables();
    // The decoder tables a run's log may be given when its samples are decoded (one for each
    // decoder group of the signal set's data list, with an entry for each value the group can
    // take in as many samples as the set acquires), counted from now until
    // end_post_acq_processing().
    void expect_static_tables(const SDR_LOG_TALLY& most);
    // Whether the document has room for one more entry in the decoder table `table`; false with
    // the reason kept for the editor (SDR_DATA_MANAGER::take_refusal).
    bool has_room_for_entry(const SDR_DATA_MNEMONICS_TABLE& table) const;
    // The log before it and the log after it in its trigger's list; null at the ends and
    // while it is in no list.
    const SDR_DATA_LOG* previous() const { return m_previous; }
    const SDR_DATA_LOG* next() const { return m_next; }
    // The trigger that owns the log; null once the log is removed (parked). A read-only log
    // gives its trigger read-only.
    SDR_DATA_TRIGGER* get_trigger() { return m_trigger; }
    const SDR_DATA_TRIGGER* get_trigger() const { return m_trigger; }
    // The session parks the log: it no longer belongs to a trigger.
    void detach_from_trigger() { m_trigger = nullptr; }

    // Public byte read by the acquisition callback: non-zero = ignore a data-ready report.
    unsigned char m_do_not_show = 0;

    std::string m_name;
    bool m_expanded = false;
    bool m_power_up = false;         // acquired in the power-up view
    bool m_global_temp = false;      // the reused log of logging-off mode
    bool m_acquiring = false;
    SDR_DATA_SIGNAL_SET* m_signal_set = nullptr;   // the set it was acquired with
    SDR_LOG_WIRE_NAMES m_wire_names{this};         // channel names at acquisition time
    SDR_LOG_PAYLOAD_SLOT m_payload{this};
    std::map<int, std::unique_ptr<SDR_DATA_MNEMONICS_TABLE>> m_static_plugin_tables;

    // What a run or a read replaced when it took this log (SDR_TX_SESSION::create_new_log), kept
    // until new data has arrived whole: the log shown before in the same view, and the previous
    // content of a reused log. Null when nothing waits to be given back.
    struct REPLACED
    {
        SDR_DATA_LOG* shown = nullptr;   // parked logs stay alive: never dangles
        int view = 0;                    // 1 for the power-up view
        bool created = false;            // a new log: removed when given back
        bool power_up = false;
        SDR_DATA_SIGNAL_SET* signal_set = nullptr;
        SDR_WIRE_NAMES wire_names;
        SDR_PAYLOAD_HANDLE payload;
        std::map<int, std::unique_ptr<SDR_DATA_MNEMONICS_TABLE>> static_plugin_tables;
        unsigned char do_not_show = 0;
    };
    std::unique_ptr<REPLACED> m_replaced;

private:
    friend class SDR_LOG_LIST;
    SDR_DATA_TRIGGER* m_trigger;     // owner; null once the log is removed (parked)
    SDR_LOG_LIST* m_list = nullptr;
    SDR_DATA_LOG* m_previous = nullptr;
    SDR_DATA_LOG* m_next = nullptr;
    SDR_LOG_TALLY m_counted; // what m_list counts for it
    SDR_LOG_TALLY m_expected; // decoder tables and entries a run expects (expect_static_tables)

    // The decoder tables the log holds and the file stores: none shared with the log before.
    SDR_LOG_TALLY stored_tables() const;
    // Whether the document has room for its decoder tables to hold `more` than they do now, and
    // the ones of the log after it `more_next`; false with the reason kept for the editor.
    bool has_table_room(const SDR_LOG_TALLY& more, const SDR_LOG_TALLY& more_next) const;
};

// Whether `log` stores wire names of its own, coming after `previous` in its trigger (null: it
// is the first): it does unless it names the same wires as that log, which it then shares. The
// file writes the same rule (same_wires), so a document counts the names it really holds.
bool sdr_stores_wire_names(const SDR_DATA_LOG& log, const SDR_DATA_LOG* previous);
// Whether the decoder table `id` of `log`, coming after `previous` in its trigger, stores its
// entries: it does unless `previous` has a table of that id with the same entries, which it
// then shares (same_table in the file).
bool sdr_stores_static_table(const SDR_DATA_LOG& log, int id, const SDR_DATA_LOG* previous);
// The most a run's log of this signal set may hold in decoder tables (see expect_static_tables).
SDR_LOG_TALLY sdr_expected_static_tables(const SDR_DATA_SIGNAL_SET* set);

// ---------------------------------------------------------------------------------------------
// Triggers

// "Condition <n>": the name of level `index` (0-based) until the user gives it another.
std::string sdr_default_level_name(int index);

struct SDR_TRIGGER_LEVEL
{
    std::string name;                // default "Condition <n>"
    SDR_DATA_TRIGGER_LEVEL_TYPE type = SDR_LTYPE_BASIC_AND;
    bool enabled = true;
    std::string expression;          // advanced expression text, may be empty
    bool adv_modified[2] = {false, false};
    // Derived with the expression from the condition's objects, never saved: their writer
    // reported a problem (a missing input, a value that does not fit ...).
    bool expression_faulty = false;
};

struct SDR_SQ_PATTERN
{
    SDR_DATA_TRIGGER_LEVEL_TYPE type = SDR_LTYPE_BASIC_AND;
    std::string expression;
    bool adv_modified[2] = {false, false};
};

struct SDR_TRIGGER_IN
{
    bool enabled = false;
    SDR_DATA_TRIGGER_IN_OUT_SOURCE_TYPE source = SDR_IOSRC_PIN;
    std::string pin;
    std::string node;
    bool node_post_fitting = false;
    bool node_valid = true;
    std::string instance;
    SDR_DATA_TRIGGER_CONDITION condition = SDR_CTYPE_DONT_CARE;
};

struct SDR_TRIGGER_OUT
{
    bool enabled = false;
    bool selected[6] = {true, false, false, false, false, false}; // sources 0, 2, 4, 5 are used
    std::string pin;
    std::string instance;
    std::string instance_tooltip;
    SDR_DATA_TRIGGER_CONDITION condition = SDR_CTYPE_ACTIVE_HIGH;
    int hps_event_index = 0;
};

struct SDR_TRIGGER_FLAG
{
    std::string name;                // default "flag<n>"
    int initial = 0;
};

struct SDR_TRIGGER_COUNTER
{
    std::string name;                // default "counter<n>"
    int width = 8;
    unsigned initial = 0;
};

// Undoable state of a trigger: its settings and its trigger node list.
struct SDR_TRIGGER_STATE : QSharedData
{
    std::string name;
    SDR_NODE_LIST trigger_list;
    std::vector<SDR_TRIGGER_LEVEL> levels;       // at least one
    SDR_SQ_PATTERN sq_patterns[SDR_NUM_SQ_PATTERNS];
    bool state_based = false;
    SDR_DATA_TRIGGER_POSITION position = SDR_TPOS_PRE;
    bool segmented = false;
    int segment_size = 0;
    int trigger_type = 0;
    SDR_DATA_STORAGE_QUALIFIER_TYPE sq_type = SDR_SQTYPE_CONTINUOUS;
    std::string sq_port_name;
    bool sq_port_post_fitting = false;
    bool sq_port_companion = false;
    bool record_discontinuities = false;
    bool sq_disabled = false;
    SDR_TRIGGER_IN trigger_in;
    SDR_TRIGGER_OUT trigger_out;
    std::vector<SDR_TRIGGER_FLAG> flags;
    std::vector<SDR_TRIGGER_COUNTER> counters;
    int runtime_options = 0;                     // bits 1, 2, 4, 8
    bool state_machine_changed = false;
    // The names of the leaf rows of trigger_list, built on first use and dropped by every write
    // access (SDR_DATA_TRIGGER::edit, edit_transient), so a look-up of many names costs one pass
    // over the rows. A copy of the state shares it: its rows are the same.
    mutable std::shared_ptr<const std::unordered_set<std::string>> leaf_names;
};

// The structures SDR_TX_SESSION::compute_trigger_crc last derived for a trigger, each with the
// text it came from: the instance manager asks for them on every refresh.
struct SDR_STRUCTURE_MEMO
{
    std::vector<std::pair<std::string, std::string>> equations; // per level: expression, structure
    std::string flow_text;
    int flow_options = 0;
    std::string flow;                                           // their structure
};

class SDR_DATA_TRIGGER
{
public:
    SDR_DATA_TRIGGER(SDR_DATA_SIGNAL_SET* signal_set, const std::string& name);
    ~SDR_DATA_TRIGGER();

    const char* get_name() const;
    bool set_name(const char* name);
    void set_expanded_status(bool expanded);
    bool is_expanded() const;
    SDR_DATA_LOG* find_log(const char* name);
    const SDR_DATA_LOG* find_log(const char* name) const
    {
        return const_cast<SDR_DATA_TRIGGER*>(this)->find_log(name);
    }
    int get_num_logs() const;
    SDR_DATA_LOG* get_log_at(int index);
    const SDR_DATA_LOG* get_log_at(int index) const
    {
        return const_cast<SDR_DATA_TRIGGER*>(this)->get_log_at(index);
    }
    bool is_using_incremental_route() const;
    unsigned get_crc_value(bool flag) const;
    int get_trigger_out_latency_delay() const;
    std::string to_string(bool flag);

    // wizard
    void set_segment_size(int size);
    void set_trigger_type(int type);
    void append_new_level(bool flag);
    bool set_trigger_level_cond_expr_type(int level, bool basic);
    bool set_advanced_trigger_expression(int level, const char* expression, bool flag);
    void set_sq_type(SDR_DATA_STORAGE_QUALIFIER_TYPE type);
    void set_record_discontinuities(bool on);
    void finalize_triggers();
    bool is_trigger_level_basic_condition(int level) const;
    SCI_ADVANCED_TRIGGER_FACTORY* get_advanced_trigger_factory(int level, bool flag);
    const char* get_advanced_trigger_expression(int level) const;

    const SDR_TRIGGER_STATE& state() const { return *m_state; }
    // Undoable write access: detaches from snapshots and counts a change of the instance.
    SDR_TRIGGER_STATE& edit();
    // Write access for transient row marks (selection, validity): detaches, counts nothing.
    SDR_TRIGGER_STATE& edit_transient();
    SDR_DATA_INSTANCE* get_instance();
    const SDR_DATA_INSTANCE* get_instance() const { return const_cast<SDR_DATA_TRIGGER*>(this)->get_instance(); }

    SDR_DATA_SIGNAL_SET* m_signal_set;           // owner; null once removed (parked)
    QSharedDataPointer<SDR_TRIGGER_STATE> m_state;
    bool m_expanded = false;
    bool m_using_incremental_route = false;      // file flag

    // Tree-object handles, kept per level index for the trigger's life (never undone).
    std::vector<SDR_TX_TREE_OBJECT*> m_level_trees;
    SDR_TX_TREE_OBJECT* m_sq_trees[SDR_NUM_SQ_PATTERNS] = {nullptr, nullptr, nullptr};
    SDR_TX_TREE_OBJECT* m_state_machine_object = nullptr;
    // Conditions whose stored equation follows their objects: edited on the canvas, now or
    // before the file was saved. A condition only ever given its equation (a preset) keeps that
    // text, which its objects may not be able to show whole, until they are edited. Per level
    // index and SQ pattern; never undone, like the handles.
    std::vector<char> m_level_drawn;
    char m_sq_drawn[SDR_NUM_SQ_PATTERNS] = {0, 0, 0};
    bool is_drawn(int index, bool sq) const;
    void set_drawn(int index, bool sq);
    // Trees read from a file and not (yet) rebuilt through a root; written back as they are when
    // no tree object exists for a handle.
    std::vector<SDR_STORED_TREE> m_stored_level_trees;
    SDR_STORED_TREE m_stored_sq_trees[SDR_NUM_SQ_PATTERNS];
    SDR_STORED_TREE m_stored_state_machine;

    unsigned m_crc = 0;                          // recomputed on commit
    mutable SDR_STRUCTURE_MEMO m_structure_memo; // derived, never saved or undone
    int m_latency_delay = -1;                    // -1 before a commit

    SDR_LOG_LIST m_logs;
    int m_active_log[2] = {-1, -1};              // normal entry, power-up entry; -1 none
    SDR_LOG_NAMES m_log_names;                   // renaming or removing a log forgets it
    // Parsed advanced expressions per level (not saved). shared_ptr so this header needs no
    // complete factory type: the deleter is fixed where the factory is made.
    std::vector<std::shared_ptr<SCI_ADVANCED_TRIGGER_FACTORY>> m_factories;
};

// ---------------------------------------------------------------------------------------------
// Signal sets

// A wire of a signal set: one leaf row of its data list, channel i = wire i.
class SDR_DATA_WIRE
{
public:
    const char* get_name() const { return m_name.c_str(); }

    std::string m_name;
    int m_capture_type = SDR_WTYPE_DATA_AND_TRIGGER;
    int m_tap_mode = SDR_TAP_PRE_SYNTHESIS;
};

// Undoable state of a signal set: acquisition setup and the data node list.
struct SDR_SIGNAL_SET_STATE : QSharedData
{
    std::string name;
    std::string clock_name;
    bool clock_post_fitting = false;
    int sample_depth = SDR_DEFAULT_SAMPLE_DEPTH;
    SDR_HALCYTE_RAM_TYPE ram_type = SDR_RAM_AUTO;
    int pipeline_level = 0;
    int allocated[3] = {0, 0, 0};                // trigger, data, SQ; 0 = automatic
    int tessarelle_allocated[2] = {0, 0};        // trigger, data
    bool has_top_entity_name = false;
    std::string top_entity_name;
    std::string assignment_350_value;
    bool wizard_trigger_in_enabled = false;
    bool wizard_trigger_out_enabled = false;
    SDR_NODE_LIST data_list;                     // derived rows plus data-only rows
};

class SDR_DATA_SIGNAL_SET
{
public:
    SDR_DATA_SIGNAL_SET(SDR_DATA_INSTANCE* instance, const std::string& name);
    ~SDR_DATA_SIGNAL_SET();

    const char* get_name() const;
    bool set_name(const char* name);
    void set_expanded_status(bool expanded);
    bool is_expanded() const;
    SDR_DATA_TRIGGER* find_trigger(const char* name);
    const SDR_DATA_TRIGGER* find_trigger(const char* name) const
    {
        return const_cast<SDR_DATA_SIGNAL_SET*>(this)->find_trigger(name);
    }
    SDR_DATA_TRIGGER* get_global_trigger();
    const SDR_DATA_TRIGGER* get_global_trigger() const
    {
        return const_cast<SDR_DATA_SIGNAL_SET*>(this)->get_global_trigger();
    }
    int get_num_triggers() const;
    SDR_DATA_TRIGGER* get_trigger_at(int index);
    const SDR_DATA_TRIGGER* get_trigger_at(int index) const
    {
        return const_cast<SDR_DATA_SIGNAL_SET*>(this)->get_trigger_at(index);
    }
    SDR_DATA_TRIGGER* create_trigger(void* preset, bool flag);
    SDR_DATA_WIRE* create_wire(const char* name, int capture, int tap, bool flag, void* preset,
                               bool flag2);
    bool append(SDR_DATA_WIRE* wire, bool flag);
    void set_tessarelle_data_node_size(int size);
    void set_tessarelle_trigger_node_size(int size);
    void set_sample_depth(int depth);
    void set_ram_type(SDR_HALCYTE_RAM_TYPE type);
    void set_trigger_in_enabled(bool on);
    void set_trigger_out_enabled(bool on);
    const char* get_clock_name() const;
    SDR_DATA_WIRE* get_data_wire_at(int index);
    const SDR_DATA_WIRE* get_data_wire_at(int index) const
    {
        return const_cast<SDR_DATA_SIGNAL_SET*>(this)->get_data_wire_at(index);
    }
    int get_data_wire_width() const;
    std::string to_string();

    const SDR_SIGNAL_SET_STATE& state() const { return *m_state; }
    SDR_SIGNAL_SET_STATE& edit();
    SDR_SIGNAL_SET_STATE& edit_transient();
    SDR_DATA_TRIGGER* get_active_trigger();
    const SDR_DATA_TRIGGER* get_active_trigger() const
    {
        return const_cast<SDR_DATA_SIGNAL_SET*>(this)->get_active_trigger();
    }

    SDR_DATA_INSTANCE* m_instance;               // owner; null once removed (parked)
    QSharedDataPointer<SDR_SIGNAL_SET_STATE> m_state;
    bool m_expanded = false;
    bool m_clock_invalid = false;                // validity mark, not saved
    std::vector<std::unique_ptr<SDR_DATA_TRIGGER>> m_triggers;   // index 0 is the global one
    int m_active_trigger = 0;
    std::vector<std::unique_ptr<SDR_DATA_WIRE>> m_wires; // data list leaves, made when asked for
};

// ---------------------------------------------------------------------------------------------
// Instances

// Identification record of an instance as the compiled design knows it.
struct SDR_DATA_INSTANCE_INFO
{
    unsigned char m_field1 = 0x6E;
    int m_field2 = 0;                // instance ordinal
    unsigned char m_field3 = 1;
    int m_version = SDR_CURRENT_INSTANCE_VERSION;
    int m_generator = 0;             // 2 = made by the IP wizard
};

// Undoable scalars of an instance.
struct SDR_INSTANCE_STATE
{
    std::string name;
    bool enabled = true;
    bool powerup_enabled = false;    // the editing session shows a power-up companion entry
};

class SDR_DATA_INSTANCE
{
public:
    SDR_DATA_INSTANCE(SDR_DATA_SESSION* session, const std::string& name);
    ~SDR_DATA_INSTANCE();

    const char* get_name() const;
    bool set_name(const char* name);
    void set_expanded_status(bool expanded);
    bool is_expanded() const;
    SDR_DATA_SIGNAL_SET* find_signal_set(const char* name);
    const SDR_DATA_SIGNAL_SET* find_signal_set(const char* name) const
    {
        return const_cast<SDR_DATA_INSTANCE*>(this)->find_signal_set(name);
    }
    SDR_DATA_SIGNAL_SET* get_global_signal_set();
    const SDR_DATA_SIGNAL_SET* get_global_signal_set() const
    {
        return const_cast<SDR_DATA_INSTANCE*>(this)->get_global_signal_set();
    }
    int get_num_signal_sets() const;
    SDR_DATA_SIGNAL_SET* get_signal_set_at(int index);
    const SDR_DATA_SIGNAL_SET* get_signal_set_at(int index) const
    {
        return const_cast<SDR_DATA_INSTANCE*>(this)->get_signal_set_at(index);
    }
    SDR_DATA_SIGNAL_SET* create_signal_set(void* preset, bool flag);
    bool is_incremental_route_available() const;
    SDR_DATA_INSTANCE_INFO get_node_info() const;
    int get_current_version() const;
    bool is_version_not_defined() const;

    SDR_DATA_SIGNAL_SET* get_active_signal_set();

    const SDR_DATA_SIGNAL_SET* get_active_signal_set() const

    {

        return const_cast<SDR_DATA_INSTANCE*>(this)->get_active_signal_set();

    }
    SDR_DATA_TRIGGER* get_active_trigger();
    const SDR_DATA_TRIGGER* get_active_trigger() const
    {
        return const_cast<SDR_DATA_INSTANCE*>(this)->get_active_trigger();
    }
    // Active log of the normal (power_up false) or the power-up entry; null when none.
    SDR_DATA_LOG* get_active_log(bool power_up);
    const SDR_DATA_LOG* get_active_log(bool power_up) const
    {
        return const_cast<SDR_DATA_INSTANCE*>(this)->get_active_log(power_up);
    }
    // A new plug-in record owned by this instance (rows point at it).
    SDR_PLUGIN_GROUP* create_plugin_group_record();

    // Edit bracket and change counting (undo history, see SDR_EDIT_SCOPE).
    void begin_edit();
    void end_edit();
    void note_change();
    // Structural changes (adding or removing signal sets, triggers, logs; changing the active
    // ones) cannot be undone: they drop the history, and an open bracket records nothing.
    void note_structural_change();
    SDR_UNDO_HISTORY& history() { return *m_history; }

    SDR_DATA_SESSION* m_session;     // owner; null once removed (parked)
    SDR_INSTANCE_STATE m_state;
    bool m_expanded = false;
    int m_version = SDR_CURRENT_INSTANCE_VERSION;
    bool m_newer = false;            // written by a newer version
    bool m_older = false;            // written by an older version
    bool m_version_not_defined = false;
    SDR_DATA_INSTANCE_INFO m_node_info;
    bool m_incremental_route_available = false;
    std::vector<std::unique_ptr<SDR_DATA_SIGNAL_SET>> m_signal_sets;   // index 0 is the global one
    int m_active_signal_set = 0;
    SDR_INT_DATA_MAP m_position_data[2];         // normal entry, power-up entry (UI state)
    std::vector<std::unique_ptr<SDR_PLUGIN_GROUP>> m_plugin_groups;    // every record ever made
    std::unique_ptr<SDR_UNDO_HISTORY> m_history;
    uint64_t m_change_count = 0;
    bool m_modified_since_save = false;
    bool m_creation_undone = false;  // parked by the undo of its creation; a redo may bring it back
};

// Opens an edit bracket on an instance for the life of the scope; a no-op for a null or removed
// instance. Every undoable data-side setter opens one, so an edit outside any bracket still
// becomes one undo step of its own, and nested inside a bracket it joins the open step.
class SDR_EDIT_SCOPE
{
public:
    explicit SDR_EDIT_SCOPE(SDR_DATA_INSTANCE* instance);
    ~SDR_EDIT_SCOPE();
    SDR_EDIT_SCOPE(const SDR_EDIT_SCOPE&) = delete;
    SDR_EDIT_SCOPE& operator=(const SDR_EDIT_SCOPE&) = delete;

private:
    SDR_DATA_INSTANCE* m_instance;
};

// ---------------------------------------------------------------------------------------------
// Sessions

struct SDR_EMBEDDED_FILE
{
    std::string name;
    QByteArray bytes;
    bool has_inst_id_crc_info = false;           // the getter answers null until set
    std::string inst_id_crc_info;
};

constexpr const char* SDR_RESERVED_SESSION_NAME = "sld_reserved_hdl_session";

class SDR_DATA_SESSION
{
public:
    explicit SDR_DATA_SESSION(const std::string& name);
    ~SDR_DATA_SESSION();
    SDR_DATA_SESSION(const SDR_DATA_SESSION&) = delete;
    SDR_DATA_SESSION& operator=(const SDR_DATA_SESSION&) = delete;

    const char* get_name() const;
    SDR_DATA_MNEMONICS* get_mnemonics();
    const SDR_DATA_MNEMONICS* get_mnemonics() const
    {
        return const_cast<SDR_DATA_SESSION*>(this)->get_mnemonics();
    }
    SDR_DATA_INSTANCE* find_instance(const char* name);
    const SDR_DATA_INSTANCE* find_instance(const char* name) const
    {
        return const_cast<SDR_DATA_SESSION*>(this)->find_instance(name);
    }
    SDR_DATA_INSTANCE* create_vantrel_instance(void* preset);
    const char* get_sof_file_name() const;
    void set_sof_file_name(const char* name);

    int get_num_instances() const { return static_cast<int>(m_instances.size()); }
    int index_of(const SDR_DATA_INSTANCE* instance) const;
    // Builds a new instance with one signal set and one trigger, appended; the name is unique.
    SDR_DATA_INSTANCE* add_default_instance();
    // Takes the instance out of the list and parks it (the object stays valid, answers neutral
    // values, and its log payloads are released).
    void remove_instance(SDR_DATA_INSTANCE* instance);
    // Puts a parked instance back at `index` of the list (clamped); false when it is not parked.
    bool unpark(SDR_DATA_INSTANCE* instance, int index);
    void park(std::unique_ptr<SDR_DATA_INSTANCE> instance);
    void park(std::unique_ptr<SDR_DATA_SIGNAL_SET> signal_set);
    void park(std::unique_ptr<SDR_DATA_TRIGGER> trigger);
    void park(std::unique_ptr<SDR_DATA_LOG> log);
    void mark_modified() { m_modified = true; }
    bool is_modified() const;
    void clear_modified();
    std::string unique_instance_name() const;

    // Undo of the tables across the instances' histories; made first, so it outlives them.
    std::unique_ptr<SDR_SHARED_UNDO> m_shared_undo;
    std::string m_name;              // absolute file path, or the reserved wizard name
    int m_file_version = 1;
    bool m_stripped = false;
    std::string m_original_name;     // name before stripping (stripped files only)
    std::vector<std::unique_ptr<SDR_DATA_INSTANCE>> m_instances;
    SDR_DATA_MNEMONICS m_mnemonics;
    unsigned long long m_mnemonics_saved_count = 0;  // change count of the tables at the last save
    SDR_INT_DATA_MAP m_global_data;  // UI state: writing it does not mark the session modified
    std::string m_jtag_chain_name;   // JTAG hardware
    std::string m_jtag_device_name;
    std::string m_sof_file_name;
    std::vector<SDR_EMBEDDED_FILE> m_embedded_files;
    // The checksums of samples still being taken after the open (null when none were left).
    std::shared_ptr<SDR_OPEN_CHECK> m_open_check;
    bool m_gui_logging = false;
    unsigned char m_tx_gen2 = 0;
    bool m_tree_records_pending = false;   // stored trees not yet rebuilt through a root
    bool m_incremental_route_used = false;
    bool m_modified = false;               // non-undoable edits (session data, structure)
    bool m_undoable_modified = false;      // set_undoable_modified_flag
    SDR_TX_SESSION* m_tx_user = nullptr;   // the editing session over this data, if any
    int m_next_link_id = 1;
    int m_next_instance_ordinal = 0;

    // Removed objects, kept until the session dies so stale pointers never dangle.
    std::vector<std::unique_ptr<SDR_DATA_INSTANCE>> m_parked_instances;
    std::vector<std::unique_ptr<SDR_DATA_SIGNAL_SET>> m_parked_signal_sets;
    std::vector<std::unique_ptr<SDR_DATA_TRIGGER>> m_parked_triggers;
    std::vector<std::unique_ptr<SDR_DATA_LOG>> m_parked_logs;
};
