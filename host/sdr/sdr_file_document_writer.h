#pragma once
// Turns a data session into the content of an analyzer file: document.xml with the whole
// structure, plus one binary entry per data log payload and per embedded programming file.
// Payload rows are handed over as shared byte arrays, never copied or turned into text.

#include "host/sdr/sdr_data_model.h"
#include "host/sdr/sdr_file_xml_output.h"

#include <QByteArray>
#include <QString>
#include <QVector>

#include <map>

class SDR_FILE_DOCUMENT_WRITER
{
public:
    struct ENTRY
    {
        QString name;
        QVector<QByteArray> pieces;
        bool compress = false;
        const SDR_STORED_ENTRY* stored = nullptr; // damaged samples, written as stored instead
    };

    // 2: a log may share the wire names (same_wires) and the decoder tables (same_table) of the
    // log before it. An older build marks the instances of a newer file as written by a newer
    // version, and its editor refuses them.
    static const int FORMAT_VERSION = 2;

    explicit SDR_FILE_DOCUMENT_WRITER(const SDR_DATA_SESSION& session);

    // False (with the problem) when the session holds something that cannot be stored,
    // such as a payload whose rows do not match its counts.
    bool build(QString* problem);
    const QByteArray& document() const { return m_document; }
    const QVector<ENTRY>& entries() const { return m_entries; }

private:
    void check_limits();
    void write_session();
    void write_int_data(const char* element, const SDR_INT_DATA_MAP& data);
    void write_embedded_files();
    void write_mnemonics();
    void write_table(const char* element, const SDR_DATA_MNEMONICS_TABLE& table);
    void write_instance(const SDR_DATA_INSTANCE& instance);
    void write_plugin_groups(const SDR_DATA_INSTANCE& instance);
    void write_plugin_group(const SDR_PLUGIN_GROUP& group, int id);
    void write_signal_set(const SDR_DATA_SIGNAL_SET& signal_set);
    void write_log(const SDR_DATA_LOG& log, const SDR_DATA_LOG* previous);
    void write_wires(const SDR_DATA_LOG& log, const SDR_DATA_LOG* previous);
    void write_static_tables(const SDR_DATA_LOG& log, const SDR_DATA_LOG* previous);
    void write_payload(const SDR_DATA_LOG& log);
    bool add_payload(const SDR_LOG_PAYLOAD& payload, QString* entry_name);
    void write_counts(const QString& entry, const SDR_LOG_PAYLOAD& payload);

    // document.xml, trigger part (sdr_file_document_writer_trigger.cpp)
    void write_trigger(const SDR_DATA_TRIGGER& trigger);
    void write_trigger_settings(const SDR_TRIGGER_STATE& state);
    void write_trigger_io(const SDR_TRIGGER_STATE& state);
    void write_levels(const SDR_DATA_TRIGGER& trigger);
    void write_resources(const SDR_TRIGGER_STATE& state);
    void write_stored_tree(const char* element, const SDR_STORED_TREE& tree);
    void write_tree_record(const SDR_TREE_RECORD& record);
    void write_attributes(const std::vector<std::pair<std::string, std::string>>& attributes);
    void write_rows(const char* element, const SDR_NODE_LIST& rows);
    void write_row(const SDR_NODE_ROW& row);
    void write_patterns(const SDR_NODE_ROW& row, int copy, const char* name);
    void write_comparison(const char* element, int index, const SDR_NODE_COMPARISON& comparison);

    const SDR_DATA_SESSION& m_session;
    QByteArray m_document;
    SDR_FILE_XML_OUTPUT m_out;
    QVector<ENTRY> m_entries;
    const SDR_DATA_INSTANCE* m_instance = nullptr;
    std::map<const SDR_PLUGIN_GROUP*, int> m_plugin_ids;
    QString m_problem;
};
