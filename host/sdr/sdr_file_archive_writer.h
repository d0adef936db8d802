#pragma once
// Writes an analyzer file as a ZIP archive without ever exposing a half-written file:
// entries go into a temporary archive beside the target, and only a complete, flushed
// archive is renamed over the target. Until commit() succeeds the target is untouched.

#include "host/sdr/sdr_file_error.h"

#include <QByteArray>
#include <QString>
#include <QVector>

#include <memory>

typedef struct zip zip_t;

class SDR_FILE_ARCHIVE_WRITER
{
public:
    explicit SDR_FILE_ARCHIVE_WRITER(const QString& target_path);
    ~SDR_FILE_ARCHIVE_WRITER();
    SDR_FILE_ARCHIVE_WRITER(const SDR_FILE_ARCHIVE_WRITER&) = delete;
    SDR_FILE_ARCHIVE_WRITER& operator=(const SDR_FILE_ARCHIVE_WRITER&) = delete;

    // Creates the temporary archive in the target's directory.
    bool begin(SDR_FILE_ERROR* error);
    // Adds an entry made of the pieces written one after another. The pieces are shared,
    // not copied, and are only read while commit() writes the archive, so large payloads
    // cost no extra memory. Stored entries are kept uncompressed.
    bool add_entry(const QString& name, const QVector<QByteArray>& pieces, bool compress, SDR_FILE_ERROR* error);
    bool add_entry(const QString& name, const QByteArray& bytes, bool compress, SDR_FILE_ERROR* error);
    // Writes and flushes the archive, then renames it over the target.
    bool commit(SDR_FILE_ERROR* error);

    const QString& temporary_path() const { return m_temp_path; }

private:
    void discard();
    bool fail(SDR_FILE_ERROR* error, const QString& entry, const QString& problem);
    bool check_target(SDR_FILE_ERROR* error);
    bool create_temporary(SDR_FILE_ERROR* error);
    bool flush_temporary(SDR_FILE_ERROR* error);
    void keep_permissions();

    QString m_target;
    QString m_temp_path;
    zip_t* m_zip = nullptr;
    bool m_committed = false;
};
