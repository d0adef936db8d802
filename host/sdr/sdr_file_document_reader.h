#pragma once
// Builds a data session from an analyzer file's archive. Everything is read into a new
// session that nobody else sees; the first problem stops the reading and the half-built
// session is thrown away, so a refused file loads nothing. Every element built is counted
// against the file's limits (sdr_file_limits.h) before it is allocated, nesting is bounded,
// and names are checked for duplicates through hashes, so reading takes time and memory in
// proportion to the document. The payload entries that document.xml names are read after
// it, each at most once, and only once their sizes together are known to be within bounds.
// An uncompressed payload is only checked then (header and trigger positions): its rows stay
// in the file until its log's samples are first asked for (SDR_PAYLOAD_HANDLE).

#include "host/sdr/sdr_data_model.h"
#include "host/sdr/sdr_file_checksums.h"
#include "host/sdr/sdr_file_error.h"
#include "host/sdr/sdr_file_limits.h"
#include "host/sdr/sdr_file_xml_input.h"

#include <QSet>
#include <QString>

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class SDR_FILE_ARCHIVE_READER;

class SDR_FILE_DOCUMENT_READER
{
public:
    // Link ids stay far below the overflow of the session's counter, which continues after them.
    static const int MAX_LINK_ID = 1 << 30;

    // The archive stays open after reading for as long as a log's samples are left in it.
    SDR_FILE_DOCUMENT_READER(std::shared_ptr<const SDR_FILE_ARCHIVE_READER> archive, SDR_FILE_ERROR* error);
    ~SDR_FILE_DOCUMENT_READER();

    std::unique_ptr<SDR_DATA_SESSION> read(const std::string& name);

private:
    // A payload entry named by document.xml, read once the document is through.
    struct PENDING_ENTRY
    {
        QString entry;
        SDR_DATA_LOG* log = nullptr;         // a log's payload, or
        size_t embedded_file = 0;            // the embedded file of this index
        SDR_LOG_PAYLOAD declared;            // what document.xml says of a log's payload
        qint64 declared_size = -1;           // what it says of an embedded file's size
    };

    // session level (sdr_file_document_reader.cpp)
    bool count(SDR_FILE_ELEMENT element, qint64 number = 1);
    bool claim_entry(const QString& entry, const char* element);
    bool read_document();
    bool read_root();
    void read_session();
    void read_int_data(SDR_INT_DATA_MAP* data);
    void read_embedded_files();
    void read_mnemonics();
    bool read_table_entries(SDR_DATA_MNEMONICS_TABLE* table);
    void finish_mnemonics();
    void read_instance();
    void read_instance_attributes(SDR_DATA_INSTANCE* instance);
    void read_plugin_group(SDR_DATA_INSTANCE* instance);
    void read_signal_set(SDR_DATA_INSTANCE* instance);
    void read_signal_set_attributes(SDR_SIGNAL_SET_STATE* state);
    bool add_instance_name(const std::string& name);
    void finish_instance(SDR_DATA_INSTANCE* instance, int active_signal_set);
    void continue_counters();

    // triggers (sdr_file_document_reader_trigger.cpp)
    void read_trigger(SDR_DATA_SIGNAL_SET* signal_set);
    void read_trigger_leaf(SDR_TRIGGER_STATE* state);
    void read_trigger_settings(SDR_TRIGGER_STATE* state);
    void read_trigger_in(SDR_TRIGGER_IN* in);
    void read_trigger_out(SDR_TRIGGER_OUT* out);
    void read_level(SDR_DATA_TRIGGER* trigger, SDR_TRIGGER_STATE* state);
    void read_sq_pattern(SDR_DATA_TRIGGER* trigger, SDR_TRIGGER_STATE* state);
    void read_stored_tree(SDR_STORED_TREE* tree);
    void read_tree_record(SDR_TREE_RECORD* record, int depth);
    bool read_attribute(std::vector<std::pair<std::string, std::string>>* attributes);
    void finish_trigger(SDR_DATA_TRIGGER* trigger, int first_active_log, int second_active_log);

    // node rows (sdr_file_document_reader_rows.cpp)
    void read_rows(SDR_NODE_LIST* rows);
    void read_row(SDR_NODE_ROW* row);
    void read_row_attributes(SDR_NODE_ROW* row);
    void read_patterns(SDR_NODE_ROW* row, bool* seen);
    void read_comparison(SDR_NODE_COMPARISON* comparisons, int count);
    void fit_rows_to_levels(SDR_NODE_LIST* rows, int levels);
    void derive_tree(SDR_NODE_LIST* rows);

    // logs (sdr_file_document_reader_log.cpp)
    void read_log(SDR_DATA_TRIGGER* trigger);
    void share_wires(const SDR_DATA_TRIGGER& trigger, SDR_DATA_LOG* log);
    void read_log_tables(SDR_DATA_LOG* log, bool shares_wires);
    void read_log_children(SDR_DATA_LOG* log, bool shares_wires, SDR_WIRE_NAMES::LIST* wires);
    void read_static_table(SDR_DATA_LOG* log);
    void share_static_table(SDR_DATA_LOG* log, int id);
    bool read_pending_entries();
    bool read_embedded_file(const PENDING_ENTRY& pending);
    // A payload entry left in the file until its samples are asked for.
    struct LEFT_ENTRY
    {
        const PENDING_ENTRY* pending = nullptr;
        qint64 size = 0;
        qint64 offset = 0;           // of its data in the file
        quint32 directory_crc = 0;   // as the archive's directory gives it
        quint32 actual_crc = 0;      // of its data as read at open
        bool read = true;            // whether all of it could be read
        bool unchecked = false;      // its checksum is still being taken (m_sums)
    };
    bool read_payload(const PENDING_ENTRY& pending, const std::shared_ptr<SDR_LOG_PAYLOAD>& payload);
    bool leave_payloads(std::vector<LEFT_ENTRY>* left);
    bool leave_payload(LEFT_ENTRY left);
    std::shared_ptr<SDR_LOG_PAYLOAD> read_outline(const LEFT_ENTRY& left, SDR_FILE_ERROR* error);

    bool fail_entry(const QString& entry, const QString& problem);

    std::shared_ptr<const SDR_FILE_ARCHIVE_READER> m_shared_archive;
    const SDR_FILE_ARCHIVE_READER& m_archive;
    SDR_FILE_ERROR* m_error;
    std::unique_ptr<SDR_FILE_XML_INPUT> m_in;
    // The uncompressed entries' checksums, taken while document.xml is read and, for samples
    // left in the file, after the open.
    std::shared_ptr<SDR_FILE_ENTRY_SUMS> m_sums;
    std::unique_ptr<SDR_DATA_SESSION> m_session;
    int m_format_version = 1;
    SDR_DATA_INSTANCE* m_instance = nullptr;
    std::map<int, SDR_PLUGIN_GROUP*> m_plugin_ids;
    std::vector<std::pair<SDR_DATA_LOG*, int>> m_log_signal_sets;
    SDR_FILE_BUDGET m_budget;
    // The instance names read so far, as a flat table of (hash, instance number + 1; 0 when
    // free), probed linearly, each name kept in its instance: a document holds tens of
    // thousands of instances, and the look-ups of a set of nodes spread among them would miss
    // the cache on every probe.
    std::vector<std::pair<size_t, size_t>> m_instance_slots;
    size_t m_instance_names = 0;
    // The highest link id and instance ordinal read, for continue_counters.
    int m_highest_link_id = 0;
    qint64 m_highest_ordinal = -1;
    QSet<QByteArray> m_table_names;
    QVector<SDR_DATA_MNEMONICS_TABLE_CONTENT> m_tables;
    QSet<QString> m_claimed_entries;
    std::vector<PENDING_ENTRY> m_pending;
    std::vector<SDR_NODE_ROW> m_rows;   // the node list being read (read_rows)
    SDR_FILE_CHECKSUMS m_checksums;
};
