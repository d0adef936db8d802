#pragma once
// Read access to an analyzer file's ZIP archive that never trusts it: every entry's
// claimed size is checked against what the archive can really hold before a byte is
// allocated, and short or corrupt data is an error, never a partial result.

#include "host/sdr/sdr_file_error.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <memory>

typedef struct zip zip_t;
class SDR_FILE_STORED_INDEX;
struct SDR_STORED_ENTRY;

class SDR_FILE_ARCHIVE_READER
{
public:
    explicit SDR_FILE_ARCHIVE_READER(const QString& path);
    ~SDR_FILE_ARCHIVE_READER();
    SDR_FILE_ARCHIVE_READER(const SDR_FILE_ARCHIVE_READER&) = delete;
    SDR_FILE_ARCHIVE_READER& operator=(const SDR_FILE_ARCHIVE_READER&) = delete;

    bool open(SDR_FILE_ERROR* error);
    const QString& path() const { return m_path; }
    zip_t* handle() const { return m_zip; }

    bool has_entry(const QString& name) const { return m_index.contains(name); }
    QStringList entry_names() const { return m_names; }
    // The entry's uncompressed size after the plausibility checks; false (with the
    // problem recorded) for a missing entry or an impossible size.
    bool entry_size(const QString& name, qint64* size, SDR_FILE_ERROR* error) const;
    qint64 entry_index(const QString& name) const { return m_index.value(name, -1); }
    // Where an uncompressed entry's data lies in the file, with its checksum, for direct
    // reads; false when it must be read through libzip.
    bool direct_location(const QString& name, qint64 size, qint64* offset, quint32* crc) const;
    const SDR_FILE_STORED_INDEX* stored_index() const { return m_stored.get(); }
    // Reads a whole entry of at most max_size bytes.
    bool read_entry(const QString& name, qint64 max_size, QByteArray* bytes, SDR_FILE_ERROR* error) const;
    // Whether the entry's data unpacks whole and its checksum holds; the data is read through,
    // not kept.
    bool is_sound(const QString& name) const;
    // The entry as stored (not unpacked, not checked), to be written again byte for byte.
    bool read_stored(const QString& name, SDR_STORED_ENTRY* entry, SDR_FILE_ERROR* error) const;

private:
    bool fail(SDR_FILE_ERROR* error, const QString& entry, const QString& problem) const;
    bool fail_open(int code, SDR_FILE_ERROR* error) const;
    bool index_entries(SDR_FILE_ERROR* error);

    QString m_path;
    zip_t* m_zip = nullptr;
    qint64 m_archive_size = 0;
    QHash<QString, qint64> m_index;
    QStringList m_names;
    std::unique_ptr<SDR_FILE_STORED_INDEX> m_stored;
};
