#pragma once
// Sequential reader of one archive entry with exact-size reads: a read that cannot be
// filled completely is a "truncated" error, and finish() insists that the entry ends there
// and that its checksum holds.

#include "host/sdr/sdr_file_checksums.h"
#include "host/sdr/sdr_file_error.h"

#include <QString>

#include <vector>

class SDR_FILE_ARCHIVE_READER;
typedef struct zip_file zip_file_t;

class SDR_FILE_ENTRY_READER
{
public:
    SDR_FILE_ENTRY_READER(const SDR_FILE_ARCHIVE_READER& archive, const QString& name);
    ~SDR_FILE_ENTRY_READER();
    SDR_FILE_ENTRY_READER(const SDR_FILE_ENTRY_READER&) = delete;
    SDR_FILE_ENTRY_READER& operator=(const SDR_FILE_ENTRY_READER&) = delete;

    // Leaves the checksum of a directly read entry to `checksums` instead of checking it in
    // finish(); its large pieces are then checked later, from the buffers they were read into.
    void defer_checksum(SDR_FILE_CHECKSUMS* checksums) { m_checksums = checksums; }
    bool open(SDR_FILE_ERROR* error);
    qint64 size() const { return m_size; }
    qint64 remaining() const { return m_size - m_done; }
    bool read_exact(char* out, qint64 length, SDR_FILE_ERROR* error);
    bool finish(SDR_FILE_ERROR* error);

private:
    bool fail(SDR_FILE_ERROR* error, const QString& problem);
    bool read_direct(char* out, qint64 length, SDR_FILE_ERROR* error);

    const SDR_FILE_ARCHIVE_READER& m_archive;
    QString m_name;
    zip_file_t* m_file = nullptr;
    qint64 m_size = 0;
    qint64 m_done = 0;
    // Direct mode: positioned reads of a stored entry, with the checksum kept here.
    bool m_direct = false;
    qint64 m_offset = 0;
    quint32 m_expected_crc = 0;
    quint32 m_crc = 0;
    SDR_FILE_CHECKSUMS* m_checksums = nullptr;
    std::vector<SDR_FILE_CHECKSUMS::SEGMENT> m_segments;
};
