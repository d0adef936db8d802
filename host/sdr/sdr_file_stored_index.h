#pragma once
// Where the data of each uncompressed entry starts in an analyzer file, found from the
// archive's central directory. Payload entries are stored uncompressed so that opening can
// read them straight into their final buffers with positioned reads; going through libzip's
// layered reads costs several times the raw read. Anything this index cannot place is read
// through libzip as before, so it only speeds things up. Offsets are checked against the file
// size, and the data's checksum is still verified. The archive reader also has the index check
// that the local headers agree with the directory (check_directory, check_local_headers) in
// place of libzip's consistency checks, which cost a buffered read and two time zone look-ups
// per entry; an archive the index cannot read is left to libzip's checks.

#include <QHash>
#include <QString>

#include <mutex>
#include <vector>

class SDR_FILE_STORED_INDEX
{
public:
    SDR_FILE_STORED_INDEX() = default;
    ~SDR_FILE_STORED_INDEX();
    SDR_FILE_STORED_INDEX(const SDR_FILE_STORED_INDEX&) = delete;
    SDR_FILE_STORED_INDEX& operator=(const SDR_FILE_STORED_INDEX&) = delete;

    // False when the directory cannot be read this way (the caller then uses libzip alone).
    bool load(const QString& path);
    // The file offset of the entry's data, checked to hold `size` bytes.
    bool data_offset(const QString& name, qint64 size, qint64* offset) const;
    // Positioned read of exactly `length` bytes.
    bool read_at(qint64 offset, char* out, qint64 length) const;
    // read_at, answered from the bytes check_local_headers read after each local header while
    // they are kept: for the opening's own thread, which reads the payloads' headers there. release_heads() lets them go once the opening is through, so
    // that later reads see the file as it is then.
    bool read_head(qint64 offset, char* out, qint64 length) const;
    void release_heads() const;
    // The CRC-32 of `length` bytes from `offset`, read in pieces (thread-safe); false when
    // they cannot all be read.
    bool checksum(qint64 offset, qint64 length, quint32* crc) const;
    // Whether the file opened still holds what it held then: same size, not written since.
    // The descriptor keeps the file itself, even after another has taken its name.
    bool unchanged() const;

    // What libzip would check of the archive under ZIP_CHECKCONS, checked here, after load():
    // check_directory, that the directory ends where the end records begin and that no two
    // entries share a name; check_local_headers, from one read of each local header (whose data
    // offset is then kept), that every entry's local header is where the directory says, agrees
    // with it (name, method, time, checksum, sizes) and ends with its data before the
    // directory. Empty when the archive holds; else what is wrong (and the entry in `entry`).
    QString check_directory() const;
    QString check_local_headers(QString* entry);

    // A header that marks a size or offset as held in a ZIP64 extra field (0xFFFFFFFF) without
    // having that field: the entry's name in `entry` and what is wrong; empty when no header of
    // the directory (or of the entries it lists) does that. After load(), whatever it answered.
    QString missing_zip64_field(QString* entry) const;

private:
    bool read_block(qint64 offset, qint64 length, QByteArray* block) const;
    bool find_directory(qint64* offset, qint64* size, qint64* entries, qint64* directory_end) const;
    bool read_directory(qint64 offset, qint64 size, qint64 entries);

    int m_fd = -1;
    qint64 m_file_size = 0;
    qint64 m_modified_sec = 0;   // the file's modification time at load
    qint64 m_modified_nsec = 0;
    // An entry as the central directory gives it.
    struct DIRECTORY_ENTRY
    {
        QString name;
        QByteArray raw_name;
        qint64 local = 0;          // its local header's offset
        quint16 version_needed = 0;
        quint16 method = 0;
        quint32 time = 0;          // DOS time and date
        quint32 crc = 0;
        quint64 compressed = 0;
        quint64 size = 0;
    };
    QString check_entry(const DIRECTORY_ENTRY& e);

    std::vector<DIRECTORY_ENTRY> m_entries;
    qint64 m_directory_offset = 0;
    qint64 m_directory_size = 0;
    qint64 m_directory_end = 0;    // where the directory must end: the first end record
    // The first bytes of each uncompressed entry's data, by their offset (see read_head): written
    // by check_local_headers, then read and released by the opening's thread alone.
    static const int HEAD_SIZE = 64;
    mutable QHash<qint64, QByteArray> m_heads;
    QHash<QString, qint64> m_local_headers;
    // Where the data of each entry looked up so far starts (from its local header).
    mutable std::mutex m_data_offsets_mutex;
    mutable QHash<QString, qint64> m_data_offsets;
};
