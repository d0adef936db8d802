// document.xml of a session: session data, instances, signal sets, logs and their payloads.
#include "host/sdr/sdr_file_document_writer.h"

#include "host/sdr/sdr_file_payload.h"

namespace
{
const char* const ENTRY_NAMES[2] = {"normal", "power_up"};

QByteArray pack_connections(const SDR_LOG_PAYLOAD& payload)
{
    QByteArray bits(int((qint64(payload.channel_count) + 7) / 8), '\0');
    for (int c = 0; c < payload.channel_count && c < payload.connected.size(); ++c)
        if (payload.connected.at(c) != 0)
            bits[c / 8] = char(uchar(bits.at(c / 8)) | (1u << (c % 8)));
    return bits;
}

// A row that was never filled reads as all zeros, which is what the file then holds.
QByteArray row_or_zeros(const QByteArray& row, int bytes)
{
    return row.isEmpty() ? QByteArray(bytes, '\0') : row;
}
} // namespace

SDR_FILE_DOCUMENT_WRITER::SDR_FILE_DOCUMENT_WRITER(const SDR_DATA_SESSION& session)
    : m_session(session), m_out(&m_document)
{
}

bool SDR_FILE_DOCUMENT_WRITER::build(QString* problem)
{
    m_out.begin_document();
    m_out.start("vantrel");
    m_out.text("format", "vtl");
    m_out.integer("version", FORMAT_VERSION);
    write_session();
    m_out.end();
    m_out.end_document();
    check_limits();
    if (!m_problem.isEmpty()) {
        *problem = m_problem;
        return false;
    }
    m_entries.prepend(ENTRY{QStringLiteral("document.xml"), {m_document}, true});
    return true;
}

// What the reader would refuse is never written: the save fails with the limit it passes.
void SDR_FILE_DOCUMENT_WRITER::check_limits()
{
    if (!m_problem.isEmpty())
        return;
    qint64 payloads = 0;
    for (const ENTRY& entry : m_entries) {
        if (entry.stored != nullptr)
            payloads += qint64(entry.stored->size);
        for (const QByteArray& piece : entry.pieces)
            payloads += piece.size();
    }
    if (!m_out.problem().isEmpty())
        m_problem = m_out.problem();
    else if (m_document.size() > SDR_FILE_LIMITS::MAX_DOCUMENT_SIZE)
        m_problem = QStringLiteral("its document.xml would take %1 bytes, more than the %2 an analyzer file may hold")
                        .arg(m_document.size())
                        .arg(SDR_FILE_LIMITS::MAX_DOCUMENT_SIZE);
    else if (payloads > SDR_FILE_LIMITS::payload_total())
        m_problem = QStringLiteral("its data entries would hold %1 bytes together, more than the %2 bytes an analyzer "
                                   "file may hold")
                        .arg(payloads)
                        .arg(SDR_FILE_LIMITS::payload_total());
}

void SDR_FILE_DOCUMENT_WRITER::write_session()
{
    const SDR_DATA_SESSION& s = m_session;
    m_out.start("session");
    m_out.text("name", s.m_name);
    m_out.boolean("stripped", s.m_stripped);
    m_out.text("original_name", s.m_original_name);
    m_out.boolean("logging", s.m_gui_logging);
    m_out.integer("tx_gen2", s.m_tx_gen2);
    m_out.boolean("incremental_route_used", s.m_incremental_route_used);
    m_out.text("jtag_chain", s.m_jtag_chain_name);
    m_out.text("jtag_device", s.m_jtag_device_name);
    m_out.text("sof_file", s.m_sof_file_name);
    write_int_data("global_data", s.m_global_data);
    write_embedded_files();
    write_mnemonics();
    for (const auto& instance : s.m_instances)
        write_instance(*instance);
    m_out.end();
}

void SDR_FILE_DOCUMENT_WRITER::write_int_data(const char* element, const SDR_INT_DATA_MAP& data)
{
    m_out.start(element);
    for (const auto& item : data) {
        m_out.start("data");
        m_out.text("key", item.first);
        m_out.integers("values", item.second);
        m_out.end();
    }
    m_out.end();
}

void SDR_FILE_DOCUMENT_WRITER::write_embedded_files()
{
    m_out.start("embedded_files");
    for (const SDR_EMBEDDED_FILE& file : m_session.m_embedded_files) {
        if (file.bytes.size() > SDR_FILE_LIMITS::MAX_EMBEDDED_FILE_SIZE && m_problem.isEmpty())
            m_problem = QStringLiteral("the embedded file \"%1\" holds %2 bytes, more than the %3 an analyzer file "
                                       "may embed")
                            .arg(QString::fromStdString(file.name))
                            .arg(file.bytes.size())
                            .arg(SDR_FILE_LIMITS::MAX_EMBEDDED_FILE_SIZE);
        const QString entry = QStringLiteral("embedded/%1.bin").arg(m_entries.size());
        m_entries.append(ENTRY{entry, {file.bytes}, true});
        m_out.start("file");
        m_out.text("name", file.name);
        m_out.text("entry", entry.toStdString());
        m_out.integer("size", file.bytes.size());
        if (file.has_inst_id_crc_info)
            m_out.text("inst_id_crc_info", file.inst_id_crc_info);
        m_out.end();
    }
    m_out.end();
}

void SDR_FILE_DOCUMENT_WRITER::write_mnemonics()
{
    m_out.start("mnemonics");
    const SDR_DATA_MNEMONICS& tables = m_session.m_mnemonics;
    for (int i = 0; i < tables.get_num_tables(); ++i)
        write_table("table", *tables.get_table(i));
    m_out.end();
}

void SDR_FILE_DOCUMENT_WRITER::write_table(const char* element, const SDR_DATA_MNEMONICS_TABLE& table)
{
    const SDR_DATA_MNEMONICS_TABLE_CONTENT& content = table.get_content();
    m_out.start(element);
    m_out.text("name", content.name.toStdString());
    m_out.integer("width", content.width);
    for (const SDR_DATA_MNEMONICS_ENTRY& entry : content.entries) {
        m_out.start("entry");
        m_out.text("symbol", entry.symbol.toStdString());
        m_out.text("pattern", entry.pattern.toStdString());
        m_out.end();
    }
    m_out.end();
}

void SDR_FILE_DOCUMENT_WRITER::write_instance(const SDR_DATA_INSTANCE& instance)
{
    m_instance = &instance;
    m_out.start("instance");
    m_out.text("name", instance.m_state.name);
    m_out.boolean("enabled", instance.m_state.enabled);
    m_out.boolean("powerup", instance.m_state.powerup_enabled);
    m_out.boolean("expanded", instance.m_expanded);
    if (!instance.m_version_not_defined)
        m_out.integer("version", instance.m_version);
    m_out.boolean("newer", instance.m_newer);
    m_out.boolean("older", instance.m_older);
    m_out.boolean("incremental_route", instance.m_incremental_route_available);
    m_out.integer("active_signal_set", instance.m_active_signal_set);
    const SDR_DATA_INSTANCE_INFO& info = instance.m_node_info;
    m_out.integers("node_info", std::vector<int>{info.m_field1, info.m_field2, info.m_field3, info.m_version,
                                                 info.m_generator});
    for (int entry = 0; entry < 2; ++entry) {
        m_out.start("position_data");
        m_out.text("entry", ENTRY_NAMES[entry]);
        for (const auto& item : instance.m_position_data[entry]) {
            m_out.start("data");
            m_out.text("key", item.first);
            m_out.integers("values", item.second);
            m_out.end();
        }
        m_out.end();
    }
    write_plugin_groups(instance);
    for (const auto& signal_set : instance.m_signal_sets)
        write_signal_set(*signal_set);
    m_out.end();
}

// Rows point at records the instance owns; the file keeps each record once and the rows
// name it by id, so rows that shared a record share it again after reading.
void SDR_FILE_DOCUMENT_WRITER::write_plugin_groups(const SDR_DATA_INSTANCE& instance)
{
    m_plugin_ids.clear();
    for (size_t i = 0; i < instance.m_plugin_groups.size(); ++i)
        m_plugin_ids[instance.m_plugin_groups[i].get()] = int(i);
    m_out.start("plugin_groups");
    for (size_t i = 0; i < instance.m_plugin_groups.size(); ++i)
        write_plugin_group(*instance.m_plugin_groups[i], int(i));
    m_out.end();
}

void SDR_FILE_DOCUMENT_WRITER::write_plugin_group(const SDR_PLUGIN_GROUP& group, int id)
{
    m_out.start("plugin_group");
    m_out.integer("id", id);
    m_out.integer("static_index", group.get_static_table_index());
    m_out.text("plugin", group.get_plugin_name());
    m_out.text("table", group.get_table_name());
    m_out.integer("width", group.get_width());
    for (int i = 0; i < group.get_user_option_count(); ++i) {
        const char *name = "", *value = "", *description = "";
        int type = 0;
        group.get_user_option(i, &name, &value, &type, &description);
        m_out.start("user_option");
        m_out.text("name", name);
        m_out.text("value", value);
        m_out.integer("type", type);
        m_out.text("description", description);
        m_out.end();
    }
    for (int i = 0; i < group.get_internal_option_count(); ++i) {
        const char *name = "", *value = "";
        group.get_internal_option(i, &name, &value);
        m_out.start("internal_option");
        m_out.text("name", name);
        m_out.text("value", value);
        m_out.end();
    }
    for (auto it = group.get_trigger_symbols().cbegin(); it != group.get_trigger_symbols().cend(); ++it) {
        m_out.start("trigger_symbol");
        m_out.integer("level", it.key());
        m_out.text("symbol", it.value().toStdString());
        m_out.end();
    }
    m_out.end();
}

void SDR_FILE_DOCUMENT_WRITER::write_signal_set(const SDR_DATA_SIGNAL_SET& signal_set)
{
    const SDR_SIGNAL_SET_STATE& s = signal_set.state();
    m_out.start("signal_set");
    m_out.text("name", s.name);
    m_out.boolean("expanded", signal_set.m_expanded);
    m_out.text("clock", s.clock_name);
    m_out.boolean("clock_post_fitting", s.clock_post_fitting);
    m_out.integer("sample_depth", s.sample_depth);
    m_out.integer("ram_type", s.ram_type);
    m_out.integer("pipeline", s.pipeline_level);
    m_out.integers("allocated", s.allocated, 3);
    m_out.integers("tessarelle_allocated", s.tessarelle_allocated, 2);
    if (s.has_top_entity_name)
        m_out.text("top_entity", s.top_entity_name);
    m_out.text("assignment_350", s.assignment_350_value);
    m_out.boolean("wizard_trigger_in", s.wizard_trigger_in_enabled);
    m_out.boolean("wizard_trigger_out", s.wizard_trigger_out_enabled);
    m_out.integer("active_trigger", signal_set.m_active_trigger);
    write_rows("data_list", s.data_list);
    for (const auto& trigger : signal_set.m_triggers)
        write_trigger(*trigger);
    m_out.end();
}

void SDR_FILE_DOCUMENT_WRITER::write_log(const SDR_DATA_LOG& log, const SDR_DATA_LOG* previous)
{
    m_out.start("log");
    m_out.text("name", log.m_name);
    m_out.boolean("expanded", log.m_expanded);
    m_out.boolean("power_up", log.m_power_up);
    m_out.boolean("global_temp", log.m_global_temp);
    m_out.integer("do_not_show", log.m_do_not_show);
    int set_index = -1;
    for (size_t i = 0; i < m_instance->m_signal_sets.size(); ++i)
        if (m_instance->m_signal_sets[i].get() == log.m_signal_set)
            set_index = int(i);
    m_out.integer("signal_set", set_index);
    write_payload(log);
    if (log.m_wire_names.size() > size_t(SDR_FILE_LIMITS::MAX_WIRES_PER_LOG) && m_problem.isEmpty())
        m_problem = QStringLiteral("data log \"%1\" names %2 wires, more than the %3 of a log of an analyzer file")
                        .arg(QString::fromStdString(log.m_name))
                        .arg(log.m_wire_names.size())
                        .arg(SDR_FILE_LIMITS::MAX_WIRES_PER_LOG);
    write_wires(log, previous);
    write_static_tables(log, previous);
    m_out.end();
}

// A decoder table whose entries are those of the same table of the log written before it says
// so instead of listing them again (runs that decode the same values); the reader shares that
// table's entries.
void SDR_FILE_DOCUMENT_WRITER::write_static_tables(const SDR_DATA_LOG& log, const SDR_DATA_LOG* previous)
{
    for (const auto& table : log.m_static_plugin_tables) {
        m_out.start("static_table");
        m_out.integer("id", table.first);
        if (sdr_stores_static_table(log, table.first, previous))
            write_table("table", *table.second);
        else
            m_out.boolean("same_table", true);
        m_out.end();
    }
}

// Runs of a trigger mostly acquire the same wires, so a log whose names are those of the log
// written before it says so instead of naming them again; the reader shares that log's list. A
// shared list counts nothing more: the document holds it once, as the repository does.
void SDR_FILE_DOCUMENT_WRITER::write_wires(const SDR_DATA_LOG& log, const SDR_DATA_LOG* previous)
{
    if (!sdr_stores_wire_names(log, previous)) {
        m_out.boolean("same_wires", true);
        return;
    }
    for (const std::string& wire : log.m_wire_names) {
        m_out.start("wire");
        m_out.text("name", wire);
        m_out.end();
    }
}

// Samples still in the file the document was opened from are read now, and damaged ones are
// copied as they are stored; samples that cannot be read (any more) fail the save, which would
// otherwise drop them from the file. Why they cannot be read is known only once they were
// tried, which asking for them does.
void SDR_FILE_DOCUMENT_WRITER::write_payload(const SDR_DATA_LOG& log)
{
    QString problem;
    if (log.m_payload.is_damaged()) {
        problem = log.m_payload.problem();
        const SDR_STORED_ENTRY* stored = nullptr;
        if (log.m_payload.stored_entry(&stored, &problem)) {
            const QString entry = QStringLiteral("logs/%1.bin").arg(m_entries.size());
            ENTRY kept{entry, {}, false, stored};
            m_entries.append(kept);
            write_counts(entry, *log.m_payload.declared());
            return;
        }
    } else if (log.m_payload) {
        QString entry;
        if (add_payload(*log.m_payload, &entry))
            write_counts(entry, *log.m_payload);
        return;
    } else {
        problem = log.m_payload.problem();
    }
    if (!problem.isEmpty() && m_problem.isEmpty())
        m_problem = QStringLiteral("the samples of data log \"%1\" cannot be read: %2")
                        .arg(QString::fromStdString(log.m_name), problem);
}

void SDR_FILE_DOCUMENT_WRITER::write_counts(const QString& entry, const SDR_LOG_PAYLOAD& p)
{
    m_out.text("payload", entry.toStdString());
    m_out.integer("depth", p.depth);
    m_out.integer("channels", p.channel_count);
    m_out.integer("segment_size", p.segment_size);
    m_out.integer("trigger_position", p.trigger_position);
    m_out.integers("segment_trigger_positions", p.segment_trigger_positions);
}

bool SDR_FILE_DOCUMENT_WRITER::add_payload(const SDR_LOG_PAYLOAD& p, QString* entry_name)
{
    const int row = p.row_bytes();
    const bool rows_ok = p.depth >= 0 && p.channel_count >= 0 && p.channel_bits.size() == qint64(p.channel_count) * row;
    const bool marks_ok = (p.valid_bits.isEmpty() || p.valid_bits.size() == row) &&
                          (p.trigger_bits.isEmpty() || p.trigger_bits.size() == row) &&
                          (p.break_bits.isEmpty() || p.break_bits.size() == row);
    if (!rows_ok || !marks_ok || p.segment_size < 0 || p.segment_size > p.depth) {
        m_problem = QStringLiteral("a data log's samples do not match its counts");
        return false;
    }
    SDR_FILE_PAYLOAD_HEADER h;
    h.depth = quint32(p.depth);
    h.channels = quint32(p.channel_count);
    h.segment_size = quint32(p.segment_size);
    h.trigger_positions = quint32(p.segment_trigger_positions.size() + 1);
    h.flags = quint32(p.flag_values.size());
    h.counters = quint32(p.counter_values.size());
    h.state_value = p.state_value;
    QVector<int> positions{p.trigger_position};
    positions += QVector<int>(p.segment_trigger_positions.begin(), p.segment_trigger_positions.end());
    const QVector<unsigned> counters(p.counter_values.begin(), p.counter_values.end());
    *entry_name = QStringLiteral("logs/%1.bin").arg(m_entries.size());
    m_entries.append(ENTRY{*entry_name,
                           {SDR_FILE_PAYLOAD::encode_header(h), p.channel_bits, row_or_zeros(p.valid_bits, row),
                            row_or_zeros(p.trigger_bits, row), row_or_zeros(p.break_bits, row), pack_connections(p),
                            SDR_FILE_PAYLOAD::encode_int32s(positions), p.flag_values,
                            SDR_FILE_PAYLOAD::encode_uint32s(counters)},
                           false});
    return true;
}
