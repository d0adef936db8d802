#pragma once
// Writes an analyzer file as a ZIP archive without ever exposing a half-written file:
// the archive goes into a temporary file beside the target, and only a complete archive
// that is on disk is renamed over the target, and the rename is flushed to disk with the
// folder. Until commit() succeeds the target is untouched.
//
// The temporary file has no name while it is written (where the file system allows), so a
// crash leaves nothing behind; it gets its name ("<name>.saving-XXXXXX", locked while this
// writer lives, see sdr_file_save_folder.h) only once complete. A save through a symbolic link
// replaces the file the link ends at. A file with other hard links, or of an owner the new
// file cannot be given, is rewritten in place from the finished temporary file instead, so
// that its links, owner and permissions stay; its space is claimed first, so a full disk fails
// the save before the file is touched.
//
// The records are written here rather than through a ZIP library because saving must cost
// little more than writing the samples: payload bytes go from their buffers to the file in
// large gathered writes, never copied, with the checksum from SDR_FILE_CRC.

#include "host/sdr/sdr_file_error.h"

#include <QByteArray>
#include <QString>
#include <QVector>

#include <sys/uio.h>
#include <vector>

struct SDR_STORED_ENTRY;

class SDR_FILE_ARCHIVE_WRITER
{
public:
    // Where ZIP64 records take over: a size or offset at or above `field`, or `entries`
    // entries or more. The defaults are the limits of the classic records; lower values
    // write the same archive with ZIP64 records, which readers accept alike.
    struct LIMITS
    {
        quint64 field = 0xFFFFFFFFull;
        quint64 entries = 0xFFFF;
    };

    explicit SDR_FILE_ARCHIVE_WRITER(const QString& target_path);
    ~SDR_FILE_ARCHIVE_WRITER();
    SDR_FILE_ARCHIVE_WRITER(const SDR_FILE_ARCHIVE_WRITER&) = delete;
    SDR_FILE_ARCHIVE_WRITER& operator=(const SDR_FILE_ARCHIVE_WRITER&) = delete;

    void set_limits(const LIMITS& limits) { m_limits = limits; }

    // Creates the temporary file in the target's folder (first removing what crashed saves
    // left there).
    bool begin(SDR_FILE_ERROR* error);
    // Adds an entry made of the pieces written one after another. The pieces are shared,
    // not copied, and are only read while commit() writes the archive, so large payloads
    // cost no extra memory. Stored entries are kept uncompressed; compressed ones are
    // deflated (and stored after all when deflating does not make them smaller).
    bool add_entry(const QString& name, const QVector<QByteArray>& pieces, bool compress, SDR_FILE_ERROR* error);
    bool add_entry(const QString& name, const QByteArray& bytes, bool compress, SDR_FILE_ERROR* error);
    // Adds an entry exactly as another archive stored it: its bytes, method, checksum and size
    // are written as they are, unchecked (damaged samples keep their damage).
    bool add_stored_entry(const QString& name, const SDR_STORED_ENTRY& stored, SDR_FILE_ERROR* error);
    // Writes the archive, flushes it to disk, then renames it over the target (or rewrites
    // the target in place, see above).
    bool commit(SDR_FILE_ERROR* error);

    // The temporary file's name; empty while it has none.
    QString temporary_path() const;

private:
    static const quint16 STORED = 0;
    static const quint16 DEFLATED = 8;

    struct ENTRY
    {
        QString name;
        QByteArray utf8_name;
        QVector<QByteArray> pieces; // the data as written: stored bytes or the deflated stream
        bool compress = false;
        bool unreadable = false;    // the data cannot be read (fault seam)
        bool as_stored = false;     // written as another archive stored it: method, crc, size given
        quint16 method = STORED;
        quint32 crc = 0;
        quint64 size = 0;           // uncompressed
        quint64 written_size = 0;   // in the archive
        quint64 offset = 0;         // of the local header
    };

    // life cycle (sdr_file_archive_writer.cpp)
    void discard();
    bool fail(SDR_FILE_ERROR* error, const QString& entry, const QString& problem);
    bool fail_system(SDR_FILE_ERROR* error, const QString& problem);
    bool check_target(SDR_FILE_ERROR* error);
    bool create_temporary(SDR_FILE_ERROR* error);
    bool create_named_temporary();
    bool name_temporary(SDR_FILE_ERROR* error);
    bool flush_temporary(SDR_FILE_ERROR* error);
    void release_target_cache();
    bool replace_target(SDR_FILE_ERROR* error);

    // the target's identity (sdr_file_archive_writer_target.cpp)
    bool resolve_target(SDR_FILE_ERROR* error);
    void keep_owner_and_permissions();
    bool rewrite_in_place(SDR_FILE_ERROR* error);
    bool copy_into(int target, SDR_FILE_ERROR* error);

    // entry data and output (sdr_file_archive_writer_data.cpp)
    static bool write_gathered(int fd, iovec* iov, int count);
    bool prepare_all(SDR_FILE_ERROR* error);
    bool prepare(ENTRY* entry);
    bool deflate_entry(ENTRY* entry);
    void queue(const QByteArray& bytes);
    int gather(int next, std::vector<iovec>* batch, quint64* bytes) const;
    bool write_queue(SDR_FILE_ERROR* error);
    bool write_all(SDR_FILE_ERROR* error);

    // ZIP records (sdr_file_archive_writer_records.cpp)
    bool wide_entry(const ENTRY& entry) const;
    quint16 version_needed(const ENTRY& entry) const;
    QByteArray local_header(const ENTRY& entry) const;
    QByteArray central_header(const ENTRY& entry) const;
    QByteArray end_records(quint64 directory_offset, quint64 directory_size) const;
    void stamp_time();

    QString m_target;                 // as the user named it, for messages
    QByteArray m_real;                // the file the save replaces, links followed
    QByteArray m_folder;              // the folder of m_real
    QByteArray m_temp_path;           // the temporary file's name, empty while it has none
    int m_fd = -1;                    // the temporary file, locked
    bool m_in_place = false;          // rewrite the target's own file instead of renaming
    bool m_committed = false;
    LIMITS m_limits;
    std::vector<ENTRY> m_entries;
    quint16 m_dos_time = 0;
    quint16 m_dos_date = 0;
    quint64 m_position = 0;           // bytes queued so far: the next record's offset
    QVector<QByteArray> m_queue;      // the archive's bytes in order, shared with their owners
};
