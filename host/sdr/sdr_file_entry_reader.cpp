// Exact-size sequential reading of one archive entry.
#include "host/sdr/sdr_file_entry_reader.h"

#include "host/sdr/sdr_file_archive_reader.h"
#include "host/sdr/sdr_file_crc.h"
#include "host/sdr/sdr_file_stored_index.h"

#include <zip.h>

SDR_FILE_ENTRY_READER::SDR_FILE_ENTRY_READER(const SDR_FILE_ARCHIVE_READER& archive, const QString& name)
    : m_archive(archive), m_name(name)
{
}

SDR_FILE_ENTRY_READER::~SDR_FILE_ENTRY_READER()
{
    if (m_file)
        zip_fclose(m_file);
}

bool SDR_FILE_ENTRY_READER::fail(SDR_FILE_ERROR* error, const QString& problem)
{
    if (error) {
        error->set_file(m_archive.path());
        error->set(m_name, problem);
    }
    return false;
}

bool SDR_FILE_ENTRY_READER::open(SDR_FILE_ERROR* error)
{
    if (!m_archive.entry_size(m_name, &m_size, error))
        return false;
    m_direct = m_archive.direct_location(m_name, m_size, &m_offset, &m_expected_crc);
    if (m_direct)
        return true;
    m_file = zip_fopen_index(m_archive.handle(), zip_uint64_t(m_archive.entry_index(m_name)), 0);
    if (!m_file)
        return fail(error, QStringLiteral("cannot open the entry: %1")
                               .arg(QString::fromLocal8Bit(zip_strerror(m_archive.handle()))));
    return true;
}

bool SDR_FILE_ENTRY_READER::read_direct(char* out, qint64 length, SDR_FILE_ERROR* error)
{
    if (!m_archive.stored_index()->read_at(m_offset + m_done, out, length))
        return fail(error, QStringLiteral("truncated: the data ends before %1 bytes").arg(m_done + length));
    if (!m_checksums)
        m_crc = SDR_FILE_CRC::update(m_crc, out, length);
    else if (length >= SDR_FILE_CHECKSUMS::DEFER_SIZE)
        m_segments.push_back(SDR_FILE_CHECKSUMS::SEGMENT{out, length, 0});
    else
        m_segments.push_back(SDR_FILE_CHECKSUMS::SEGMENT{nullptr, length, SDR_FILE_CRC::update(0, out, length)});
    m_done += length;
    return true;
}

bool SDR_FILE_ENTRY_READER::read_exact(char* out, qint64 length, SDR_FILE_ERROR* error)
{
    if (length < 0 || length > remaining())
        return fail(error, QStringLiteral("truncated: %1 bytes needed, %2 left").arg(length).arg(remaining()));
    if (m_direct)
        return read_direct(out, length, error);
    if (!m_file)
        return fail(error, QStringLiteral("the entry is not open"));
    qint64 done = 0;
    while (done < length) {
        const zip_int64_t n = zip_fread(m_file, out + done, zip_uint64_t(length - done));
        if (n < 0)
            return fail(error, QStringLiteral("cannot read the data: %1")
                                   .arg(QString::fromLocal8Bit(zip_file_strerror(m_file))));
        if (n == 0)
            return fail(error, QStringLiteral("truncated: the data ends after %1 bytes").arg(m_done + done));
        done += n;
    }
    m_done += done;
    return true;
}

// Reading past the last byte makes libzip compare the checksum.
bool SDR_FILE_ENTRY_READER::finish(SDR_FILE_ERROR* error)
{
    if (m_direct && remaining() == 0) {
        m_direct = false;
        if (m_checksums) {
            m_checksums->add(m_name, m_expected_crc, std::move(m_segments));
            return true;
        }
        return m_crc == m_expected_crc || fail(error, QStringLiteral("the data is corrupt: CRC error"));
    }
    if (m_direct)
        return fail(error, QStringLiteral("%1 bytes of unexpected data at the end").arg(remaining()));
    if (!m_file)
        return fail(error, QStringLiteral("the entry is not open"));
    if (remaining() != 0)
        return fail(error, QStringLiteral("%1 bytes of unexpected data at the end").arg(remaining()));
    char extra = 0;
    const zip_int64_t n = zip_fread(m_file, &extra, 1);
    if (n < 0)
        return fail(error, QStringLiteral("the data is corrupt: %1")
                               .arg(QString::fromLocal8Bit(zip_file_strerror(m_file))));
    if (n > 0)
        return fail(error, QStringLiteral("the entry holds more data than its size says"));
    zip_fclose(m_file);
    m_file = nullptr;
    return true;
}
