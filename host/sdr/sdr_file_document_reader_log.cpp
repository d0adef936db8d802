// Reading data logs: their document.xml element and their binary payload entry.
#include "host/sdr/sdr_file_document_reader.h"

#include "host/sdr/sdr_file_archive_reader.h"
#include "host/sdr/sdr_file_entry_reader.h"
#include "host/sdr/sdr_file_payload.h"

#include <algorithm>
#include <climits>

namespace
{
// Clears the bits past the last sample of every channel row, so that rows from a file compare
// equal to rows built in memory.
void clear_channel_padding(SDR_LOG_PAYLOAD* p)
{
    if (p->depth % 8 == 0 || p->channel_count == 0)
        return;
    const qint64 row = p->row_bytes();
    const char mask = char((1u << (p->depth % 8)) - 1);
    char* bits = p->channel_bits.data();
    for (qint64 c = 0; c < qint64(p->channel_count); ++c)
        bits[c * row + row - 1] &= mask;
}

QByteArray unpack_connections(const QByteArray& bits, int channels)
{
    QByteArray connected(channels, '\0');
    for (int c = 0; c < channels; ++c)
        connected[c] = char((uchar(bits.at(c / 8)) >> (c % 8)) & 1u);
    return connected;
}

bool read_block(SDR_FILE_ENTRY_READER* entry, qint64 size, QByteArray* block, SDR_FILE_ERROR* error)
{
    *block = QByteArray(int(size), Qt::Uninitialized);
    return entry->read_exact(block->data(), size, error);
}
} // namespace

void SDR_FILE_DOCUMENT_READER::read_log(SDR_DATA_TRIGGER* trigger)
{
    if (!count(SDR_FILE_ELEMENT::LOG))
        return;
    auto owned = std::make_unique<SDR_DATA_LOG>(trigger, m_in->text("name"));
    SDR_DATA_LOG* log = owned.get();
    trigger->m_logs.push_back(std::move(owned));
    log->m_expanded = m_in->boolean("expanded", false);
    log->m_power_up = m_in->boolean("power_up", false);
    log->m_global_temp = m_in->boolean("global_temp", false);
    log->m_do_not_show = (unsigned char)m_in->integer("do_not_show", 0, 0, 255);
    m_log_signal_sets.emplace_back(log, m_in->integer("signal_set", -1, -1, INT_MAX));
    PENDING_ENTRY pending;
    pending.entry = QString::fromStdString(m_in->text("payload"));
    pending.log = log;
    SDR_LOG_PAYLOAD& declared = pending.declared;
    declared.depth = m_in->integer("depth", 0, 0, INT_MAX);
    declared.channel_count = m_in->integer("channels", 0, 0, INT_MAX);
    declared.segment_size = m_in->integer("segment_size", 0, 0, INT_MAX);
    declared.trigger_position = m_in->integer("trigger_position", -1, INT_MIN, INT_MAX);
    declared.segment_trigger_positions =
        m_in->integers("segment_trigger_positions", int(SDR_FILE_PAYLOAD::MAX_TRIGGER_POSITIONS));
    // A log without samples names no payload.
    if (!pending.entry.isEmpty() && !m_in->failed() && claim_entry(pending.entry, "log"))
        m_pending.push_back(std::move(pending));
    read_log_tables(log);
}

void SDR_FILE_DOCUMENT_READER::read_log_tables(SDR_DATA_LOG* log)
{
    while (m_in->next_child()) {
        if (m_in->is("wire")) {
            if (log->m_wire_names.size() >= size_t(SDR_FILE_LIMITS::MAX_WIRES_PER_LOG)) {
                m_in->fail(QStringLiteral("a log names more than %1 wires, the limit of an analyzer file")
                               .arg(SDR_FILE_LIMITS::MAX_WIRES_PER_LOG));
                return;
            }
            if (count(SDR_FILE_ELEMENT::WIRE))
                log->m_wire_names.push_back(m_in->text("name"));
            m_in->skip();
            continue;
        }
        if (!m_in->is("static_table")) {
            m_in->skip();
            continue;
        }
        const int id = m_in->integer("id", 0, INT_MIN, INT_MAX);
        if (!m_in->failed() && log->m_static_plugin_tables.count(id))
            m_in->fail(QStringLiteral("static table %1 appears twice").arg(id));
        while (m_in->next_child()) {
            if (!m_in->is("table") || log->m_static_plugin_tables.count(id)) {
                m_in->skip();
                continue;
            }
            const std::string name = m_in->text("name");
            if (!count(SDR_FILE_ELEMENT::TABLE))
                return;
            auto table = std::make_unique<SDR_DATA_MNEMONICS_TABLE>(name.c_str(), m_in->integer("width", 0, 0, 4096));
            if (read_table_entries(table.get()))
                log->m_static_plugin_tables[id] = std::move(table);
        }
    }
}

// The entries document.xml names, once it has been read through: their sizes together are
// checked against the limit before any is read, so no number of references can make the
// reader load more than that.
bool SDR_FILE_DOCUMENT_READER::read_pending_entries()
{
    qint64 total = 0;
    for (const PENDING_ENTRY& pending : m_pending) {
        qint64 size = 0;
        if (!m_archive.entry_size(pending.entry, &size, m_error))
            return false;
        total += size;
    }
    if (total > SDR_FILE_LIMITS::MAX_PAYLOAD_TOTAL)
        return fail_entry(QString(), QStringLiteral("its data entries hold %1 bytes together, more than the %2 bytes "
                                                    "an analyzer file may hold")
                                         .arg(total).arg(SDR_FILE_LIMITS::MAX_PAYLOAD_TOTAL));
    std::vector<std::shared_ptr<SDR_LOG_PAYLOAD>> payloads;
    for (const PENDING_ENTRY& pending : m_pending) {
        if (!pending.log) {
            if (!read_embedded_file(pending))
                return false;
            continue;
        }
        payloads.push_back(std::make_shared<SDR_LOG_PAYLOAD>());
        if (!read_payload(pending.entry, pending.declared, payloads.back().get()))
            return false;
        pending.log->m_payload = payloads.back();
    }
    m_pending.clear();
    if (!m_checksums.verify(m_archive.path(), m_error))
        return false;
    // Only now that the checksums held over the bytes as read.
    for (const auto& payload : payloads)
        clear_channel_padding(payload.get());
    return true;
}

bool SDR_FILE_DOCUMENT_READER::read_embedded_file(const PENDING_ENTRY& pending)
{
    SDR_EMBEDDED_FILE& file = m_session->m_embedded_files[pending.embedded_file];
    if (!m_archive.read_entry(pending.entry, SDR_FILE_LIMITS::MAX_EMBEDDED_FILE_SIZE, &file.bytes, m_error))
        return false;
    if (pending.declared_size >= 0 && pending.declared_size != file.bytes.size())
        return fail_entry(pending.entry, QStringLiteral("the entry holds %1 bytes, but document.xml says %2")
                                             .arg(file.bytes.size()).arg(pending.declared_size));
    return true;
}

// The header's counts must agree with document.xml and with the entry's size before the
// rows are allocated; every row then comes from one exact read.
bool SDR_FILE_DOCUMENT_READER::read_payload(const QString& entry, const SDR_LOG_PAYLOAD& declared,
                                            SDR_LOG_PAYLOAD* p)
{
    SDR_FILE_ENTRY_READER reader(m_archive, entry);
    reader.defer_checksum(&m_checksums);
    QByteArray header;
    if (!reader.open(m_error) || !read_block(&reader, std::min<qint64>(reader.size(), SDR_FILE_PAYLOAD::HEADER_SIZE), &header, m_error))
        return fail_entry(entry, QString());
    SDR_FILE_PAYLOAD_HEADER h;
    QString problem;
    if (!SDR_FILE_PAYLOAD::decode_header(header, reader.size(), &h, &problem))
        return fail_entry(entry, problem);
    const bool agrees = qint64(h.depth) == declared.depth && qint64(h.channels) == declared.channel_count &&
                        qint64(h.segment_size) == declared.segment_size &&
                        qint64(h.trigger_positions) == qint64(declared.segment_trigger_positions.size()) + 1;
    const qint64 row = SDR_FILE_PAYLOAD::row_bytes(h.depth);
    if (!agrees)
        return fail_entry(entry, QStringLiteral("the payload's counts do not match document.xml"));
    if (qint64(h.channels) * row > INT_MAX - 64)
        return fail_entry(entry, QStringLiteral("the payload is too large to load"));
    p->depth = int(h.depth);
    p->channel_count = int(h.channels);
    p->segment_size = int(h.segment_size);
    p->state_value = h.state_value;
    QByteArray connections, positions, counters;
    const bool ok = read_block(&reader, qint64(h.channels) * row, &p->channel_bits, m_error) &&
                    read_block(&reader, row, &p->valid_bits, m_error) && read_block(&reader, row, &p->trigger_bits, m_error) &&
                    read_block(&reader, row, &p->break_bits, m_error) &&
                    read_block(&reader, (qint64(h.channels) + 7) / 8, &connections, m_error) &&
                    read_block(&reader, 4 * qint64(h.trigger_positions), &positions, m_error) &&
                    read_block(&reader, h.flags, &p->flag_values, m_error) &&
                    read_block(&reader, 4 * qint64(h.counters), &counters, m_error) && reader.finish(m_error);
    if (!ok)
        return fail_entry(entry, QString());
    SDR_FILE_PAYLOAD::clear_padding(&p->valid_bits, h.depth);
    SDR_FILE_PAYLOAD::clear_padding(&p->trigger_bits, h.depth);
    SDR_FILE_PAYLOAD::clear_padding(&p->break_bits, h.depth);
    p->connected = unpack_connections(connections, p->channel_count);
    const QVector<int> all_positions = SDR_FILE_PAYLOAD::decode_int32s(positions);
    p->trigger_position = all_positions.value(0, -1);
    p->segment_trigger_positions.assign(all_positions.begin() + 1, all_positions.end());
    if (p->trigger_position != declared.trigger_position ||
        p->segment_trigger_positions != declared.segment_trigger_positions)
        return fail_entry(entry, QStringLiteral("the payload's trigger positions do not match document.xml"));
    const QVector<unsigned> counter_values = SDR_FILE_PAYLOAD::decode_uint32s(counters);
    p->counter_values.assign(counter_values.begin(), counter_values.end());
    return true;
}
