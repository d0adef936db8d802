// ZIP record layout of the analyzer file writer: local and central headers, the end records
// and their ZIP64 forms.
#include "host/sdr/sdr_file_archive_writer.h"

#include <QtEndian>

#include <algorithm>
#include <ctime>

namespace
{
const quint32 LOCAL_SIGNATURE = 0x04034b50;
const quint32 CENTRAL_SIGNATURE = 0x02014b50;
const quint32 END_SIGNATURE = 0x06054b50;
const quint32 END64_SIGNATURE = 0x06064b50;
const quint32 LOCATOR_SIGNATURE = 0x07064b50;
const quint16 ZIP64_FIELD = 0x0001;
const quint16 UTF8_NAME_FLAG = 1u << 11;
const quint16 MADE_BY_UNIX = (3u << 8) | 45u;
const quint32 REGULAR_FILE_0644 = 0100644u << 16;
const quint16 VERSION_STORED = 10;
const quint16 VERSION_DEFLATE = 20;
const quint16 VERSION_ZIP64 = 45;
const int END64_SIZE = 56;

// Little-endian record builder.
class record
{
public:
    explicit record(int reserve) { m_bytes.reserve(reserve); }
    record& u16(quint16 v) { return put(&v, sizeof v); }
    record& u32(quint32 v) { return put(&v, sizeof v); }
    record& u64(quint64 v) { return put(&v, sizeof v); }
    record& bytes(const QByteArray& b)
    {
        m_bytes += b;
        return *this;
    }
    const QByteArray& data() const { return m_bytes; }

private:
    template <typename T>
    record& put(const T* v, int size)
    {
        const T little = qToLittleEndian(*v);
        m_bytes.append(reinterpret_cast<const char*>(&little), size);
        return *this;
    }
    QByteArray m_bytes;
};

bool is_ascii(const QByteArray& text)
{
    return std::all_of(text.cbegin(), text.cend(), [](char c) { return uchar(c) < 0x80; });
}

quint32 narrow(quint64 value, bool wide)
{
    return wide ? 0xFFFFFFFFu : quint32(value);
}
} // namespace

// The time every entry carries: now, in the local time of DOS stamps (which cannot say
// anything before 1980).
void SDR_FILE_ARCHIVE_WRITER::stamp_time()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    const int year = std::max(1980, local.tm_year + 1900);
    m_dos_date = quint16(((year - 1980) << 9) | ((local.tm_mon + 1) << 5) | local.tm_mday);
    m_dos_time = quint16((local.tm_hour << 11) | (local.tm_min << 5) | (local.tm_sec / 2));
}

// Whether the sizes need their 64-bit forms. Both sizes then go into the ZIP64 field of
// both headers, as the local header must carry both.
bool SDR_FILE_ARCHIVE_WRITER::wide_entry(const ENTRY& entry) const
{
    return entry.size >= m_limits.field || entry.written_size >= m_limits.field;
}

// The same in both headers: readers compare them.
quint16 SDR_FILE_ARCHIVE_WRITER::version_needed(const ENTRY& entry) const
{
    if (wide_entry(entry) || entry.offset >= m_limits.field)
        return VERSION_ZIP64;
    return entry.method == DEFLATED ? VERSION_DEFLATE : VERSION_STORED;
}

QByteArray SDR_FILE_ARCHIVE_WRITER::local_header(const ENTRY& entry) const
{
    const bool wide = wide_entry(entry);
    record r(30 + entry.utf8_name.size() + 20);
    r.u32(LOCAL_SIGNATURE).u16(version_needed(entry)).u16(is_ascii(entry.utf8_name) ? 0 : UTF8_NAME_FLAG);
    r.u16(entry.method).u16(m_dos_time).u16(m_dos_date).u32(entry.crc);
    r.u32(narrow(entry.written_size, wide)).u32(narrow(entry.size, wide));
    r.u16(quint16(entry.utf8_name.size())).u16(wide ? 20 : 0).bytes(entry.utf8_name);
    if (wide)
        r.u16(ZIP64_FIELD).u16(16).u64(entry.size).u64(entry.written_size);
    return r.data();
}

QByteArray SDR_FILE_ARCHIVE_WRITER::central_header(const ENTRY& entry) const
{
    const bool wide = wide_entry(entry);
    const bool beyond = entry.offset >= m_limits.field;
    const quint16 extra = quint16((wide ? 16 : 0) + (beyond ? 8 : 0));
    record r(46 + entry.utf8_name.size() + 28);
    r.u32(CENTRAL_SIGNATURE).u16(MADE_BY_UNIX).u16(version_needed(entry));
    r.u16(is_ascii(entry.utf8_name) ? 0 : UTF8_NAME_FLAG).u16(entry.method).u16(m_dos_time).u16(m_dos_date);
    r.u32(entry.crc).u32(narrow(entry.written_size, wide)).u32(narrow(entry.size, wide));
    r.u16(quint16(entry.utf8_name.size())).u16(extra ? extra + 4 : 0).u16(0); // no comment
    r.u16(0).u16(0).u32(REGULAR_FILE_0644).u32(narrow(entry.offset, beyond)).bytes(entry.utf8_name);
    if (extra)
        r.u16(ZIP64_FIELD).u16(extra);
    if (wide)
        r.u64(entry.size).u64(entry.written_size);
    if (beyond)
        r.u64(entry.offset);
    return r.data();
}

// The classic end record, preceded by the ZIP64 end record and its locator when a count,
// size or offset does not fit; the classic fields that do not fit then hold all ones.
QByteArray SDR_FILE_ARCHIVE_WRITER::end_records(quint64 directory_offset, quint64 directory_size) const
{
    const quint64 count = quint64(m_entries.size());
    const bool many = count >= m_limits.entries;
    const bool big = directory_size >= m_limits.field;
    const bool beyond = directory_offset >= m_limits.field;
    record r(END64_SIZE + 20 + 22);
    if (many || big || beyond) {
        const quint64 end64_offset = directory_offset + directory_size;
        r.u32(END64_SIGNATURE).u64(END64_SIZE - 12).u16(MADE_BY_UNIX).u16(VERSION_ZIP64).u32(0).u32(0);
        r.u64(count).u64(count).u64(directory_size).u64(directory_offset);
        r.u32(LOCATOR_SIGNATURE).u32(0).u64(end64_offset).u32(1);
    }
    const quint16 count16 = many ? 0xFFFF : quint16(count);
    r.u32(END_SIGNATURE).u16(0).u16(0).u16(count16).u16(count16);
    r.u32(narrow(directory_size, big)).u32(narrow(directory_offset, beyond)).u16(0); // no comment
    return r.data();
}
