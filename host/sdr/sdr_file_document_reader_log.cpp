// Reading data logs: their document.xml element and their binary payload entry.
#include "host/sdr/sdr_file_document_reader.h"

#include "host/sdr/sdr_file_archive_reader.h"
#include "host/sdr/sdr_file_checksums.h"
#include "host/sdr/sdr_file_crc.h"
#include "host/sdr/sdr_file_entry_reader.h"
#include "host/sdr/sdr_file_payload.h"
#include "host/sdr/sdr_file_stored_index.h"

#include <algorithm>
#include <climits>
#include <new>

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

bool fail(SDR_FILE_ERROR* error, const QString& entry, const QString& problem)
{
    error->set(entry, problem);
    return false;
}

// The header's counts must agree with document.xml and with the entry's size before the rows
// are allocated.
bool check_header(const QByteArray& header, qint64 size, const SDR_LOG_PAYLOAD& declared, const QString& entry,
                  SDR_FILE_PAYLOAD_HEADER* h, SDR_FILE_ERROR* error)
{
    QString problem;
    if (!SDR_FILE_PAYLOAD::decode_header(header, size, h, &problem))
        return fail(error, entry, problem);
    const bool agrees = qint64(h->depth) == declared.depth && qint64(h->channels) == declared.channel_count &&
                        qint64(h->segment_size) == declared.segment_size &&
                        qint64(h->trigger_positions) == qint64(declared.segment_trigger_positions.size()) + 1;
    if (!agrees)
        return fail(error, entry, QStringLiteral("the payload's counts do not match document.xml"));
    if (qint64(h->channels) * SDR_FILE_PAYLOAD::row_bytes(h->depth) > INT_MAX - 64)
        return fail(error, entry, QStringLiteral("the payload is too large to load"));
    return true;
}

bool check_positions(const QByteArray& positions, const SDR_LOG_PAYLOAD& declared, const QString& entry,
                     SDR_FILE_ERROR* error)
{
    const QVector<int> all = SDR_FILE_PAYLOAD::decode_int32s(positions);
    const std::vector<int> segments(all.begin() + std::min(1, all.size()), all.end());
    if (all.value(0, -1) != declared.trigger_position || segments != declared.segment_trigger_positions)
        return fail(error, entry, QStringLiteral("the payload's trigger positions do not match document.xml"));
    return true;
}

// Reads a payload entry whole, each row by one exact read, and clears the channel rows' padding
// unless the checksum of a directly read entry is left to `deferred` (the caller clears it after
// the check, which covers the bytes as stored).
bool read_payload_entry(const SDR_FILE_ARCHIVE_READER& archive, const QString& entry, const SDR_LOG_PAYLOAD& declared,
                        SDR_FILE_CHECKSUMS* deferred, SDR_LOG_PAYLOAD* p, SDR_FILE_ERROR* error)
{
    SDR_FILE_ENTRY_READER reader(archive, entry);
    reader.defer_checksum(deferred);
    QByteArray header;
    if (!reader.open(error) ||
        !read_block(&reader, std::min<qint64>(reader.size(), SDR_FILE_PAYLOAD::HEADER_SIZE), &header, error))
        return false;
    SDR_FILE_PAYLOAD_HEADER h;
    if (!check_header(header, reader.size(), declared, entry, &h, error))
        return false;
    const qint64 row = SDR_FILE_PAYLOAD::row_bytes(h.depth);
    p->depth = int(h.depth);
    p->channel_count = int(h.channels);
    p->segment_size = int(h.segment_size);
    p->state_value = h.state_value;
    QByteArray connections, positions, counters;
    const bool ok = read_block(&reader, qint64(h.channels) * row, &p->channel_bits, error) &&
                    read_block(&reader, row, &p->valid_bits, error) && read_block(&reader, row, &p->trigger_bits, error) &&
                    read_block(&reader, row, &p->break_bits, error) &&
                    read_block(&reader, (qint64(h.channels) + 7) / 8, &connections, error) &&
                    read_block(&reader, 4 * qint64(h.trigger_positions), &positions, error) &&
                    read_block(&reader, h.flags, &p->flag_values, error) &&
                    read_block(&reader, 4 * qint64(h.counters), &counters, error) && reader.finish(error);
    if (!ok)
        return false;
    SDR_FILE_PAYLOAD::clear_padding(&p->valid_bits, h.depth);
    SDR_FILE_PAYLOAD::clear_padding(&p->trigger_bits, h.depth);
    SDR_FILE_PAYLOAD::clear_padding(&p->break_bits, h.depth);
    p->connected = unpack_connections(connections, p->channel_count);
    if (!check_positions(positions, declared, entry, error))
        return false;
    p->trigger_position = declared.trigger_position;
    p->segment_trigger_positions = declared.segment_trigger_positions;
    const QVector<unsigned> counter_values = SDR_FILE_PAYLOAD::decode_uint32s(counters);
    p->counter_values.assign(counter_values.begin(), counter_values.end());
    if (!deferred)
        clear_channel_padding(p);
    return true;
}

// A payload entry left in the file at open, read when its log's samples are first asked for.
// The archive stays open for it: its descriptor holds the file that was opened even when a save
// or another program has put a new file under that name since. The entry's checksum, taken at
// open, tells whether the file still holds it as it did then, when another program has changed
// the file in place: samples whose bytes are still there read as before, others are refused
// rather than read half old, half new. Samples damaged at open are kept for a save the same way.
class STORED_PAYLOAD final : public SDR_PAYLOAD_LOADER
{
public:
    STORED_PAYLOAD(std::shared_ptr<const SDR_FILE_ARCHIVE_READER> archive, const QString& entry,
                   std::shared_ptr<const SDR_LOG_PAYLOAD> declared, qint64 offset, qint64 size, quint32 crc_at_open,
                   quint32 directory_crc)
        : m_archive(std::move(archive)), m_entry(entry), m_declared(std::move(declared)), m_offset(offset),
          m_size(size), m_crc_at_open(crc_at_open), m_directory_crc(directory_crc)
    {
    }
    // Samples whose checksum `check` is still taking; `declared` holds the counts document.xml
    // gives, for samples it finds damaged.
    STORED_PAYLOAD(std::shared_ptr<const SDR_FILE_ARCHIVE_READER> archive, const QString& entry,
                   std::shared_ptr<const SDR_LOG_PAYLOAD> outline, qint64 offset, qint64 size,
                   std::shared_ptr<const SDR_LOG_PAYLOAD> declared, std::shared_ptr<SDR_FILE_ENTRY_SUMS> check,
                   quint32 directory_crc)
        : m_archive(std::move(archive)), m_entry(entry), m_declared(std::move(outline)), m_offset(offset),
          m_size(size), m_directory_crc(directory_crc), m_check(std::move(check)),
          m_declared_at_open(std::move(declared))
    {
    }

    QString settle(bool wait, bool* damaged, std::shared_ptr<const SDR_LOG_PAYLOAD>* declared) const override
    {
        if (!m_check)
            return QString();
        quint32 crc = 0;
        const bool read = ((wait || m_check->done()) && m_check->result(m_offset, m_size, &crc)) ||
                          m_archive->stored_index()->checksum(m_offset, m_size, &crc);
        m_check.reset();
        SDR_FILE_ERROR error(m_archive->path());
        if (!read) {
            error.set(m_entry, QStringLiteral("truncated: the data ends before %1 bytes").arg(m_size));
            changed(&error);
            return error.message();
        }
        m_crc_at_open = crc;
        if (crc == m_directory_crc)
            return QString();
        error.set(m_entry, QStringLiteral("the data is corrupt: CRC error"));
        *damaged = true;
        *declared = m_declared_at_open;
        return error.message();
    }

    std::shared_ptr<SDR_LOG_PAYLOAD> load(QString* problem) const override
    {
        SDR_FILE_ERROR error(m_archive->path());
        try {
            auto payload = std::make_shared<SDR_LOG_PAYLOAD>();
            if (read_payload_entry(*m_archive, m_entry, *m_declared, nullptr, payload.get(), &error))
                return payload;
            changed(&error);
        } catch (const std::bad_alloc&) {
            // Asked for from a paint or an export: the process goes on without these samples.
            error.clear();
            error.set(m_entry, QStringLiteral("there is not enough memory to read the samples"));
        }
        *problem = error.message();
        return nullptr;
    }

    bool read_stored(SDR_STORED_ENTRY* entry, QString* problem) const override
    {
        SDR_FILE_ERROR error(m_archive->path());
        QByteArray bytes;
        if (m_size > qint64(INT_MAX) - 64) {
            error.set(m_entry, QStringLiteral("the entry is too large to copy (%1 bytes)").arg(m_size));
        } else {
            bytes = QByteArray(int(m_size), Qt::Uninitialized);
            if (!m_archive->stored_index()->read_at(m_offset, bytes.data(), m_size) ||
                SDR_FILE_CRC::update(0, bytes.constData(), m_size) != m_crc_at_open)
                changed(&error);
        }
        if (error.is_set()) {
            *problem = error.message();
            return false;
        }
        entry->bytes = bytes;
        entry->method = 0;
        entry->crc = m_directory_crc;
        entry->size = quint64(m_size);
        return true;
    }

private:
    void changed(SDR_FILE_ERROR* error) const
    {
        if (m_archive->stored_index()->unchanged() && error->is_set())
            return;
        error->clear();
        error->set(m_entry, QStringLiteral("the file has changed since it was opened, so the samples of this log can no "
                                           "longer be read from it"));
    }

    std::shared_ptr<const SDR_FILE_ARCHIVE_READER> m_archive;
    QString m_entry;
    std::shared_ptr<const SDR_LOG_PAYLOAD> m_declared;
    qint64 m_offset;
    qint64 m_size;
    mutable quint32 m_crc_at_open = 0; // once settled, for samples whose checksum was pending
    quint32 m_directory_crc;
    mutable std::shared_ptr<SDR_FILE_ENTRY_SUMS> m_check; // until settled
    std::shared_ptr<const SDR_LOG_PAYLOAD> m_declared_at_open;
};

// Damaged samples of an entry that opening read through the ZIP library (a deflated one): its
// stored bytes are kept from the open, since they cannot be told apart from changed ones later.
class KEPT_ENTRY final : public SDR_PAYLOAD_LOADER
{
public:
    explicit KEPT_ENTRY(SDR_STORED_ENTRY entry) : m_entry(std::move(entry)) {}

    std::shared_ptr<SDR_LOG_PAYLOAD> load(QString* problem) const override
    {
        *problem = QStringLiteral("the samples are damaged");
        return nullptr;
    }

    bool read_stored(SDR_STORED_ENTRY* entry, QString*) const override
    {
        *entry = m_entry;
        return true;
    }

private:
    SDR_STORED_ENTRY m_entry;
};

std::shared_ptr<SDR_LOG_PAYLOAD> declared_copy(const SDR_LOG_PAYLOAD& declared)
{
    auto copy = std::make_shared<SDR_LOG_PAYLOAD>();
    copy->depth = declared.depth;
    copy->channel_count = declared.channel_count;
    copy->segment_size = declared.segment_size;
    copy->trigger_position = declared.trigger_position;
    copy->segment_trigger_positions = declared.segment_trigger_positions;
    return copy;
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
    const bool shares_wires = m_in->boolean("same_wires", false);
    if (shares_wires)
        share_wires(*trigger, log);
    read_log_tables(log, shares_wires);
}

// A log that says it was acquired from the wires of the log before it in its trigger shares
// that log's list: it holds no names of its own, and counts none.
void SDR_FILE_DOCUMENT_READER::share_wires(const SDR_DATA_TRIGGER& trigger, SDR_DATA_LOG* log)
{
    if (trigger.m_logs.size() < 2) {
        m_in->fail(QStringLiteral("the first log of a trigger has no log before it to share wire names with"));
        return;
    }
    log->m_wire_names = trigger.m_logs[trigger.m_logs.size() - 2]->m_wire_names;
}

// The log's own wire names are given to it at once, when all are read (so that it shares the
// list of the log before it when that names the same wires); its decoder tables count with it.
void SDR_FILE_DOCUMENT_READER::read_log_tables(SDR_DATA_LOG* log, bool shares_wires)
{
    SDR_WIRE_NAMES::LIST wires;
    read_log_children(log, shares_wires, &wires);
    if (!wires.empty())
        log->m_wire_names = std::move(wires);
    log->recount();
}

void SDR_FILE_DOCUMENT_READER::read_log_children(SDR_DATA_LOG* log, bool shares_wires, SDR_WIRE_NAMES::LIST* wires)
{
    while (m_in->next_child()) {
        if (m_in->is("wire")) {
            if (shares_wires) {
                m_in->fail(QStringLiteral("a log that shares the wire names of the log before it names wires too"));
                return;
            }
            if (wires->size() >= size_t(SDR_FILE_LIMITS::MAX_WIRES_PER_LOG)) {
                m_in->fail(QStringLiteral("a log names more than %1 wires, the limit of an analyzer file")
                               .arg(SDR_FILE_LIMITS::MAX_WIRES_PER_LOG));
                return;
            }
            if (count(SDR_FILE_ELEMENT::WIRE))
                wires->push_back(m_in->text("name"));
            m_in->skip();
            continue;
        }
        if (m_in->is("static_table"))
            read_static_table(log);
        else
            m_in->skip();
    }
}

// A decoder table of the log: its entries, or the word that they are those of the same table
// of the log before it. Its entries are read before it joins the log, which counts them then.
void SDR_FILE_DOCUMENT_READER::read_static_table(SDR_DATA_LOG* log)
{
    const int id = m_in->integer("id", 0, INT_MIN, INT_MAX);
    if (!m_in->failed() && log->m_static_plugin_tables.count(id))
        m_in->fail(QStringLiteral("static table %1 appears twice").arg(id));
    const bool shared = m_in->boolean("same_table", false);
    if (shared)
        share_static_table(log, id);
    while (m_in->next_child()) {
        if (!m_in->is("table") || log->m_static_plugin_tables.count(id)) {
            if (shared && m_in->is("table"))
                m_in->fail(QStringLiteral("static table %1 shares the entries of the log before it and lists "
                                          "entries too").arg(id));
            m_in->skip();
            continue;
        }
        const std::string name = m_in->text("name");
        if (!count(SDR_FILE_ELEMENT::TABLE))
            return;
        auto table = std::make_unique<SDR_DATA_MNEMONICS_TABLE>(name.c_str(), m_in->integer("width", 0, 0, 4096));
        if (!read_table_entries(table.get()))
            return;
        table->set_log(log);
        log->m_static_plugin_tables[id] = std::move(table);
    }
}

// A table that says it holds the entries of the same table of the log before it in its trigger
// shares them: the log holds no copy of its own, and counts none.
void SDR_FILE_DOCUMENT_READER::share_static_table(SDR_DATA_LOG* log, int id)
{
    const SDR_DATA_MNEMONICS_TABLE* before =
        log->previous() != nullptr ? log->previous()->get_static_plugin_mnemonics_table(id) : nullptr;
    if (m_in->failed())
        return;
    if (before == nullptr) {
        m_in->fail(QStringLiteral("static table %1 shares the entries of the log before it, which has no such "
                                  "table").arg(id));
        return;
    }
    auto table = std::make_unique<SDR_DATA_MNEMONICS_TABLE>(before->get_name(), before->get_width());
    table->clone(before);
    table->set_log(log);
    log->m_static_plugin_tables[id] = std::move(table);
}

// The entries document.xml names, once it has been read through: their sizes together are
// checked against the limit before any is read, so no number of references can make the
// reader load more than that. Payloads whose checksum fails are damaged: their logs open
// without samples and keep the entry as it is stored; every other problem refuses the file.
bool SDR_FILE_DOCUMENT_READER::read_pending_entries()
{
    qint64 total = 0;
    for (const PENDING_ENTRY& pending : m_pending) {
        qint64 size = 0;
        if (!m_archive.entry_size(pending.entry, &size, m_error))
            return false;
        total += size;
    }
    if (total > SDR_FILE_LIMITS::payload_total())
        return fail_entry(QString(), QStringLiteral("its data entries hold %1 bytes together, more than the %2 bytes "
                                                    "an analyzer file may hold")
                                         .arg(total).arg(SDR_FILE_LIMITS::payload_total()));
    std::vector<std::shared_ptr<SDR_LOG_PAYLOAD>> payloads;
    std::vector<LEFT_ENTRY> left;
    for (const PENDING_ENTRY& pending : m_pending) {
        if (!pending.log) {
            if (!read_embedded_file(pending))
                return false;
            continue;
        }
        LEFT_ENTRY entry{&pending};
        if (m_archive.entry_size(pending.entry, &entry.size, m_error) &&
            m_archive.direct_location(pending.entry, entry.size, &entry.offset, &entry.directory_crc)) {
            left.push_back(entry);
            continue;
        }
        payloads.push_back(std::make_shared<SDR_LOG_PAYLOAD>());
        if (!read_payload(pending, payloads.back()))
            return false;
    }
    if (!leave_payloads(&left))
        return false;
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

// A payload read through the ZIP library at open. When the reading fails because the entry's
// data is damaged (it does not unpack, or its checksum fails), the log keeps the entry as stored.
bool SDR_FILE_DOCUMENT_READER::read_payload(const PENDING_ENTRY& pending, const std::shared_ptr<SDR_LOG_PAYLOAD>& p)
{
    SDR_FILE_ERROR error(m_archive.path());
    if (read_payload_entry(m_archive, pending.entry, pending.declared, &m_checksums, p.get(), &error)) {
        pending.log->m_payload = p;
        return true;
    }
    SDR_STORED_ENTRY stored;
    if (m_archive.is_sound(pending.entry) || !m_archive.read_stored(pending.entry, &stored, nullptr)) {
        *m_error = error;
        return fail_entry(pending.entry, QString());
    }
    pending.log->m_payload = SDR_PAYLOAD_HANDLE::damaged(declared_copy(pending.declared),
                                                        std::make_shared<KEPT_ENTRY>(std::move(stored)), error.message());
    return true;
}

// Uncompressed payloads stay in the file until their logs' samples are first asked for. Their
// checksums are known at open or soon after, so that damaged samples are named then: the large
// ones are taken on another thread once the document has opened (m_sums: the session keeps it,
// and its logs' samples settle their checksum when asked for), the rest now, all together on a
// few threads. The header and trigger positions (a few bytes) are checked now, so a file whose
// counts disagree is refused at open.
bool SDR_FILE_DOCUMENT_READER::leave_payloads(std::vector<LEFT_ENTRY>* left)
{
    std::vector<size_t> rest;
    std::vector<SDR_FILE_RANGE_SUM> ranges;
    bool unchecked = false;
    for (size_t i = 0; i < left->size(); ++i) {
        LEFT_ENTRY& entry = (*left)[i];
        if (m_sums && m_sums->covers(entry.offset, entry.size)) {
            entry.unchecked = unchecked = true;
            continue;
        }
        rest.push_back(i);
        ranges.push_back(SDR_FILE_RANGE_SUM{entry.offset, entry.size});
    }
    sdr_file_sum_ranges(*m_archive.stored_index(), &ranges);
    for (size_t r = 0; r < rest.size(); ++r) {
        (*left)[rest[r]].actual_crc = ranges[r].crc;
        (*left)[rest[r]].read = ranges[r].read;
    }
    for (const LEFT_ENTRY& entry : *left)
        if (!leave_payload(entry))
            return false;
    if (unchecked)
        m_session->m_open_check = m_sums;
    return true;
}

// Samples whose checksum is still being taken open with the counts of their header; when these
// do not hold, the samples are damaged or the file is refused, which their checksum tells, so
// it is waited for then.
bool SDR_FILE_DOCUMENT_READER::leave_payload(LEFT_ENTRY left)
{
    const PENDING_ENTRY& pending = *left.pending;
    if (left.unchecked) {
        SDR_FILE_ERROR problem(m_archive.path());
        if (std::shared_ptr<SDR_LOG_PAYLOAD> outline = read_outline(left, &problem)) {
            pending.log->m_payload = SDR_PAYLOAD_HANDLE::stored(
                outline, std::make_shared<STORED_PAYLOAD>(m_shared_archive, pending.entry, outline, left.offset,
                                                          left.size, declared_copy(pending.declared), m_sums,
                                                          left.directory_crc),
                true);
            return true;
        }
        left.read = m_sums->result(left.offset, left.size, &left.actual_crc) ||
                    m_archive.stored_index()->checksum(left.offset, left.size, &left.actual_crc);
    }
    if (!left.read)
        return fail_entry(pending.entry, QStringLiteral("truncated: the data ends before %1 bytes").arg(left.size));
    if (left.actual_crc != left.directory_crc) {
        SDR_FILE_ERROR damage(m_archive.path());
        damage.set(pending.entry, QStringLiteral("the data is corrupt: CRC error"));
        pending.log->m_payload = SDR_PAYLOAD_HANDLE::damaged(
            declared_copy(pending.declared),
            std::make_shared<STORED_PAYLOAD>(m_shared_archive, pending.entry, declared_copy(pending.declared),
                                             left.offset, left.size, left.actual_crc, left.directory_crc),
            damage.message());
        return true;
    }
    std::shared_ptr<SDR_LOG_PAYLOAD> outline = read_outline(left, m_error);
    if (!outline)
        return fail_entry(pending.entry, QString());
    pending.log->m_payload = SDR_PAYLOAD_HANDLE::stored(
        outline, std::make_shared<STORED_PAYLOAD>(m_shared_archive, pending.entry, outline, left.offset, left.size,
                                                  left.actual_crc, left.directory_crc));
    return true;
}

// The counts of a payload left in the file, from its header and trigger positions, checked
// against document.xml; null (the problem in `error`) when they do not hold.
std::shared_ptr<SDR_LOG_PAYLOAD> SDR_FILE_DOCUMENT_READER::read_outline(const LEFT_ENTRY& left, SDR_FILE_ERROR* error)
{
    const PENDING_ENTRY& pending = *left.pending;
    const SDR_FILE_STORED_INDEX* file = m_archive.stored_index();
    const qint64 offset = left.offset, size = left.size;
    const auto truncated = [&](qint64 at) {
        error->set(pending.entry, QStringLiteral("truncated: the data ends before %1 bytes").arg(at));
        return nullptr;
    };
    QByteArray header(int(std::min<qint64>(size, SDR_FILE_PAYLOAD::HEADER_SIZE)), Qt::Uninitialized);
    if (!file->read_head(offset, header.data(), header.size()))
        return truncated(header.size());
    SDR_FILE_PAYLOAD_HEADER h;
    if (!check_header(header, size, pending.declared, pending.entry, &h, error))
        return nullptr;
    const qint64 row = SDR_FILE_PAYLOAD::row_bytes(h.depth);
    const qint64 at = SDR_FILE_PAYLOAD::HEADER_SIZE + (qint64(h.channels) + 3) * row + (qint64(h.channels) + 7) / 8;
    QByteArray positions(int(4 * qint64(h.trigger_positions)), Qt::Uninitialized);
    if (!file->read_at(offset + at, positions.data(), positions.size()))
        return truncated(at);
    if (!check_positions(positions, pending.declared, pending.entry, error))
        return nullptr;
    auto outline = std::make_shared<SDR_LOG_PAYLOAD>();
    outline->depth = int(h.depth);
    outline->channel_count = int(h.channels);
    outline->segment_size = int(h.segment_size);
    outline->state_value = h.state_value;
    outline->trigger_position = pending.declared.trigger_position;
    outline->segment_trigger_positions = pending.declared.segment_trigger_positions;
    return outline;
}
