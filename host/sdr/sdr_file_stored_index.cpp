// Central directory reading for direct access to stored archive entries.
#include "host/sdr/sdr_file_stored_index.h"

#include "host/sdr/sdr_file_crc.h"

#include <QByteArray>
#include <QFile>
#include <QSet>
#include <QtEndian>

#include <algorithm>
#include <cstring>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
const qint64 MAX_DIRECTORY_SIZE = qint64(256) << 20;
const qint64 END_RECORD_SIZE = 22;
const qint64 END_SEARCH = END_RECORD_SIZE + 0xFFFF;

quint16 u16(const QByteArray& b, qint64 at)
{
    return qFromLittleEndian<quint16>(b.constData() + at);
}

quint32 u32(const QByteArray& b, qint64 at)
{
    return qFromLittleEndian<quint32>(b.constData() + at);
}

quint64 u64(const QByteArray& b, qint64 at)
{
    return qFromLittleEndian<quint64>(b.constData() + at);
}

const quint16 ZIP64_FIELD = 0x0001;
const quint32 WIDE = 0xFFFFFFFF;
const quint32 LOCAL_SIGNATURE = 0x04034b50;
const quint16 DATA_DESCRIPTOR = 0x0008;

bool has_field(const QByteArray& extra, quint16 wanted)
{
    for (qint64 at = 0; at + 4 <= extra.size(); at += 4 + u16(extra, at + 2))
        if (u16(extra, at) == wanted)
            return true;
    return false;
}

// The values a ZIP64 extra field holds in place of the header's fields marked wide (size,
// compressed size, local header offset, in that order); false when a wide one is missing.
bool zip64_values(const QByteArray& extra, quint64* size, quint64* compressed, quint64* offset)
{
    quint64* const wanted[3] = {size, compressed, offset};
    if (!size && !compressed && !offset)
        return true;
    for (qint64 at = 0; at + 4 <= extra.size();) {
        const quint16 id = u16(extra, at);
        const quint16 length = u16(extra, at + 2);
        if (id == ZIP64_FIELD) {
            qint64 field = at + 4;
            for (quint64* value : wanted) {
                if (!value)
                    continue;
                if (field + 8 > at + 4 + length || field + 8 > extra.size())
                    return false;
                *value = u64(extra, field);
                field += 8;
            }
            return true;
        }
        at += 4 + length;
    }
    return false;
}

QString local_sizes_without_field()
{
    return QStringLiteral("its local header gives its sizes as 0xFFFFFFFF, which says they are held in a ZIP64 "
                          "field, but it has no such field");
}

// Whether the extra fields fill the area exactly, each header with its data.
bool well_formed(const QByteArray& extra)
{
    qint64 at = 0;
    while (at + 4 <= extra.size())
        at += 4 + u16(extra, at + 2);
    return at == extra.size();
}
} // namespace

SDR_FILE_STORED_INDEX::~SDR_FILE_STORED_INDEX()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool SDR_FILE_STORED_INDEX::read_at(qint64 offset, char* out, qint64 length) const
{
    if (m_fd < 0 || offset < 0 || length < 0 || offset > m_file_size || length > m_file_size - offset)
        return false;
    while (length > 0) {
        const ssize_t n = ::pread(m_fd, out, size_t(length), off_t(offset));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        out += n;
        offset += n;
        length -= n;
    }
    return true;
}

bool SDR_FILE_STORED_INDEX::read_head(qint64 offset, char* out, qint64 length) const
{
    const auto head = m_heads.constFind(offset);
    if (head == m_heads.constEnd() || length < 0 || length > head.value().size())
        return read_at(offset, out, length);
    std::memcpy(out, head.value().constData(), size_t(length));
    return true;
}

void SDR_FILE_STORED_INDEX::release_heads() const
{
    m_heads = QHash<qint64, QByteArray>();
}

// In pieces small enough to stay in the processor's cache between the read and the checksum.
bool SDR_FILE_STORED_INDEX::checksum(qint64 offset, qint64 length, quint32* crc) const
{
    const qint64 piece = qint64(128) << 10;
    QByteArray buffer(int(std::min(length, piece)), Qt::Uninitialized);
    quint32 sum = 0;
    for (qint64 done = 0; done < length;) {
        const qint64 n = std::min(piece, length - done);
        if (!read_at(offset + done, buffer.data(), n))
            return false;
        sum = SDR_FILE_CRC::update(sum, buffer.constData(), n);
        done += n;
    }
    *crc = sum;
    return true;
}

bool SDR_FILE_STORED_INDEX::read_block(qint64 offset, qint64 length, QByteArray* block) const
{
    if (length < 0 || length > MAX_DIRECTORY_SIZE)
        return false;
    *block = QByteArray(int(length), Qt::Uninitialized);
    return read_at(offset, block->data(), length);
}

bool SDR_FILE_STORED_INDEX::find_directory(qint64* offset, qint64* size, qint64* entries, qint64* directory_end) const
{
    const qint64 tail_start = std::max<qint64>(0, m_file_size - END_SEARCH);
    QByteArray tail;
    if (!read_block(tail_start, m_file_size - tail_start, &tail))
        return false;
    const int end = tail.lastIndexOf(QByteArray("PK\x05\x06", 4));
    if (end < 0 || end + END_RECORD_SIZE > tail.size())
        return false;
    *entries = u16(tail, end + 10);
    *size = u32(tail, end + 12);
    *offset = u32(tail, end + 16);
    *directory_end = tail_start + end;
    QByteArray locator, record;
    const qint64 locator_at = tail_start + end - 20;
    const bool located = locator_at >= 0 && read_block(locator_at, 20, &locator) && u32(locator, 0) == 0x07064b50;
    if (located)
        *directory_end = qint64(std::min<quint64>(u64(locator, 8), quint64(m_file_size)));
    if (*entries != 0xFFFF && *size != 0xFFFFFFFF && *offset != 0xFFFFFFFF)
        return true;
    if (!located || !read_block(qint64(u64(locator, 8)), 56, &record) || u32(record, 0) != 0x06064b50)
        return false;
    *entries = qint64(u64(record, 32));
    *size = qint64(u64(record, 40));
    *offset = qint64(u64(record, 48));
    return true;
}

bool SDR_FILE_STORED_INDEX::read_directory(qint64 offset, qint64 size, qint64 entries)
{
    QByteArray d;
    if (offset < 0 || size < 0 || !read_block(offset, size, &d))
        return false;
    qint64 at = 0;
    for (qint64 i = 0; i < entries; ++i) {
        if (at + 46 > d.size() || u32(d, at) != 0x02014b50)
            return false;
        const qint64 name_length = u16(d, at + 28), extra_length = u16(d, at + 30), comment_length = u16(d, at + 32);
        if (at + 46 + name_length + extra_length + comment_length > d.size())
            return false;
        DIRECTORY_ENTRY e;
        e.version_needed = u16(d, at + 6);
        e.method = u16(d, at + 10);
        e.time = u32(d, at + 12);
        e.crc = u32(d, at + 16);
        e.compressed = u32(d, at + 20);
        e.size = u32(d, at + 24);
        quint64 local = u32(d, at + 42);
        const QByteArray extra = d.mid(int(at + 46 + name_length), int(extra_length));
        if (!zip64_values(extra, e.size == WIDE ? &e.size : nullptr, e.compressed == WIDE ? &e.compressed : nullptr,
                          local == WIDE ? &local : nullptr))
            return false;
        e.local = qint64(std::min<quint64>(local, quint64(m_file_size)));
        e.raw_name = d.mid(int(at + 46), int(name_length));
        e.name = QString::fromUtf8(e.raw_name);
        if (!m_local_headers.contains(e.name))
            m_local_headers.insert(e.name, e.local);
        m_entries.push_back(std::move(e));
        at += 46 + name_length + extra_length + comment_length;
    }
    return true;
}

bool SDR_FILE_STORED_INDEX::load(const QString& path)
{
    m_fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (m_fd < 0)
        return false;
    const off_t end = ::lseek(m_fd, 0, SEEK_END);
    m_file_size = end < 0 ? 0 : qint64(end);
    struct stat st;
    if (::fstat(m_fd, &st) != 0)
        return false;
    m_modified_sec = qint64(st.st_mtim.tv_sec);
    m_modified_nsec = qint64(st.st_mtim.tv_nsec);
    qint64 offset = 0, size = 0, entries = 0;
    if (!find_directory(&offset, &size, &entries, &m_directory_end))
        return false;
    m_directory_offset = offset;
    m_directory_size = size;
    return read_directory(offset, size, entries);
}

QString SDR_FILE_STORED_INDEX::check_directory() const
{
    if (m_directory_offset + m_directory_size != m_directory_end)
        return QStringLiteral("the ZIP archive is inconsistent: its central directory does not end where its end "
                              "record begins");
    QSet<QString> names;
    for (const DIRECTORY_ENTRY& e : m_entries) {
        if (names.contains(e.name))
            return QStringLiteral("two entries of the archive are named \"%1\"").arg(e.name.left(200));
        names.insert(e.name);
    }
    return QString();
}

QString SDR_FILE_STORED_INDEX::check_local_headers(QString* entry)
{
    entry->clear();
    for (const DIRECTORY_ENTRY& e : m_entries) {
        const QString problem = check_entry(e);
        if (!problem.isEmpty()) {
            *entry = e.name;
            return problem;
        }
    }
    return QString();
}

// One read of the header, its name and extra fields (a second when they are longer than
// guessed), which also gives where the entry's data starts.
QString SDR_FILE_STORED_INDEX::check_entry(const DIRECTORY_ENTRY& e)
{
    const qint64 room = m_directory_offset - e.local;
    QByteArray h;
    if (room < 30 || !read_block(e.local, std::min<qint64>(room, 30 + e.raw_name.size() + 32 + HEAD_SIZE), &h) ||
        u32(h, 0) != LOCAL_SIGNATURE)
        return QStringLiteral("its local header is missing: the directory points at %1, where none begins")
            .arg(e.local);
    const qint64 name_length = u16(h, 26), extra_length = u16(h, 28);
    const qint64 header = 30 + name_length + extra_length;
    if (header > room)
        return QStringLiteral("its local header runs into the archive's central directory");
    if (header > h.size() && !read_block(e.local, header, &h))
        return QStringLiteral("its local header cannot be read");
    const QByteArray extra = h.mid(int(30 + name_length), int(extra_length));
    if (!well_formed(extra))
        return QStringLiteral("the extra fields of its local header are damaged");
    // A local header's ZIP64 field holds both sizes whenever it holds one.
    quint64 size = u32(h, 22), compressed = u32(h, 18), wide_size = 0, wide_compressed = 0;
    if (size == WIDE || compressed == WIDE) {
        if (!zip64_values(extra, &wide_size, &wide_compressed, nullptr))
            return local_sizes_without_field();
        size = size == WIDE ? wide_size : size;
        compressed = compressed == WIDE ? wide_compressed : compressed;
    }
    const quint32 crc = u32(h, 14);
    const bool described_after = (u16(h, 6) & DATA_DESCRIPTOR) != 0 && crc == 0 && size == 0 && compressed == 0;
    if (u16(h, 4) > e.version_needed || u16(h, 8) != e.method || u32(h, 10) != e.time ||
        h.mid(30, int(name_length)) != e.raw_name ||
        (!described_after && (crc != e.crc || size != e.size || compressed != e.compressed)))
        return QStringLiteral("the ZIP archive is inconsistent: the entry's local header and its central directory "
                              "header disagree");
    if (e.compressed > quint64(room - header))
        return QStringLiteral("its data runs into the archive's central directory");
    if (e.method == 0 && h.size() > header)
        m_heads.insert(e.local + header, h.mid(int(header), int(std::min<quint64>(e.compressed, HEAD_SIZE))));
    const std::lock_guard<std::mutex> lock(m_data_offsets_mutex);
    m_data_offsets.insert(e.name, e.local + header);
    return QString();
}

bool SDR_FILE_STORED_INDEX::unchanged() const
{
    struct stat st;
    return m_fd >= 0 && ::fstat(m_fd, &st) == 0 && qint64(st.st_size) == m_file_size &&
           qint64(st.st_mtim.tv_sec) == m_modified_sec && qint64(st.st_mtim.tv_nsec) == m_modified_nsec;
}

// Each entry's local header is read once: the opening looks an entry up more than once (for
// the checksums taken on another thread, then for its log), and every look would cost a read.
bool SDR_FILE_STORED_INDEX::data_offset(const QString& name, qint64 size, qint64* offset) const
{
    qint64 data = -1;
    {
        const std::lock_guard<std::mutex> lock(m_data_offsets_mutex);
        data = m_data_offsets.value(name, -1);
    }
    if (data < 0) {
        const auto found = m_local_headers.constFind(name);
        QByteArray header;
        if (found == m_local_headers.constEnd() || !read_block(found.value(), 30, &header) ||
            u32(header, 0) != LOCAL_SIGNATURE)
            return false;
        data = found.value() + 30 + u16(header, 26) + u16(header, 28);
        const std::lock_guard<std::mutex> lock(m_data_offsets_mutex);
        m_data_offsets.insert(name, data);
    }
    if (size < 0 || data > m_file_size || size > m_file_size - data)
        return false;
    *offset = data;
    return true;
}

QString SDR_FILE_STORED_INDEX::missing_zip64_field(QString* entry) const
{
    qint64 offset = 0, size = 0, entries = 0, end = 0;
    QByteArray d;
    if (m_fd < 0 || !find_directory(&offset, &size, &entries, &end) || offset < 0 || !read_block(offset, size, &d))
        return QString();
    for (qint64 i = 0, at = 0; i < entries && at + 46 <= d.size() && u32(d, at) == 0x02014b50; ++i) {
        const qint64 name_length = u16(d, at + 28), extra_length = u16(d, at + 30);
        *entry = QString::fromUtf8(d.constData() + at + 46, int(std::min(name_length, d.size() - at - 46)));
        const QByteArray extra = d.mid(int(at + 46 + name_length), int(extra_length));
        const qint64 local = u32(d, at + 42);
        if ((u32(d, at + 20) == WIDE || u32(d, at + 24) == WIDE || local == WIDE) && !has_field(extra, ZIP64_FIELD))
            return QStringLiteral("its central directory header marks a size or offset as held in a ZIP64 field "
                                  "(0xFFFFFFFF), but has no such field");
        QByteArray header, local_extra;
        if (local != WIDE && read_block(local, 30, &header) && u32(header, 0) == LOCAL_SIGNATURE &&
            (u32(header, 18) == WIDE || u32(header, 22) == WIDE) &&
            (!read_block(local + 30 + u16(header, 26), u16(header, 28), &local_extra) ||
             !has_field(local_extra, ZIP64_FIELD)))
            return local_sizes_without_field();
        at += 46 + name_length + extra_length + u16(d, at + 32);
    }
    entry->clear();
    return QString();
}
