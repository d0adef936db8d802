// Atomic ZIP writer of the analyzer file: the temporary file, adding entries, commit and rename.
#include "host/sdr/sdr_file_archive_writer.h"

#include "host/fio.h"
#include "host/sdr/sdr_data_model.h"

#include "host/sdr/sdr_file_restore.h"
#include "host/sdr/sdr_file_save_folder.h"
#include "host/standin/sdr_file_control.h"
#include "host/standin/standin.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
QString system_text()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}
} // namespace

SDR_FILE_ARCHIVE_WRITER::SDR_FILE_ARCHIVE_WRITER(const QString& target_path)
    : m_target(QFileInfo(target_path).absoluteFilePath())
{
}

SDR_FILE_ARCHIVE_WRITER::~SDR_FILE_ARCHIVE_WRITER()
{
    if (!m_committed)
        discard();
}

QString SDR_FILE_ARCHIVE_WRITER::temporary_path() const
{
    return QFile::decodeName(m_temp_path);
}

// Every way out of a save that does not commit ends here: the temporary file goes, by name
// if it has one (an unnamed one goes with its descriptor).
void SDR_FILE_ARCHIVE_WRITER::discard()
{
    if (!m_temp_path.isEmpty()) {
        ::unlink(m_temp_path.constData());
        m_temp_path.clear();
    }
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    m_entries.clear();
    m_queue.clear();
    m_position = 0;
}

bool SDR_FILE_ARCHIVE_WRITER::fail(SDR_FILE_ERROR* error, const QString& entry, const QString& problem)
{
    if (error) {
        error->set_file(m_target);
        error->set(entry, problem);
    }
    discard();
    return false;
}

bool SDR_FILE_ARCHIVE_WRITER::fail_system(SDR_FILE_ERROR* error, const QString& problem)
{
    return fail(error, QString(), problem + QStringLiteral(": ") + system_text());
}

// A read-only target is not replaced behind the user's back, even where the directory
// would allow the rename (and even for a user whom permissions do not stop); nor is a FIFO, a
// socket or a device, which the rename would turn into a plain file.
bool SDR_FILE_ARCHIVE_WRITER::check_target(SDR_FILE_ERROR* error)
{
    const std::string special = fio_special_file_problem(m_real.toStdString());
    if (!special.empty())
        return fail(error, QString(), QString::fromStdString(special));
    const QFileInfo info(QFile::decodeName(m_real));
    const QFileDevice::Permissions writable = QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    if (info.exists() && (info.isDir() || !info.isWritable() || !(info.permissions() & writable)))
        return fail(error, QString(), QStringLiteral("the file cannot be written"));
    // Named by what stops the save, the way opening names it. "<folder>/." is reached only by
    // entering the folder itself.
    struct stat folder;
    if (::stat((m_folder + "/.").constData(), &folder) != 0) {
        switch (errno) {
        case EACCES:
        case EPERM:
            return fail(error, QString(), QStringLiteral("permission denied: a folder on its path cannot be entered"));
        case ENOTDIR:
            return fail(error, QString(), QStringLiteral("a part of its path is not a folder"));
        default:
            return fail(error, QString(), QStringLiteral("the folder does not exist"));
        }
    }
    return true;
}

// The temporary file is created without a name where the file system allows: if the process
// dies while writing it, nothing is left behind. It is locked from the start, which tells a
// later save that it is not a leftover once it has a name.
bool SDR_FILE_ARCHIVE_WRITER::create_temporary(SDR_FILE_ERROR* error)
{
    SDR_FILE_SAVE_FOLDER::remove_stale_temporaries(m_real);
    if (standin::sdr_file::take_save_fault(standin::sdr_file::save_fault::create_temporary))
        return fail(error, QString(), QStringLiteral("cannot create a temporary file beside it"));
#ifdef O_TMPFILE
    m_fd = ::open(m_folder.constData(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
#endif
    if (m_fd < 0 && !create_named_temporary())
        return fail_system(error, QStringLiteral("cannot create a temporary file beside it"));
    ::flock(m_fd, LOCK_EX);
    return true;
}

bool SDR_FILE_ARCHIVE_WRITER::create_named_temporary()
{
    const QByteArray prefix = SDR_FILE_SAVE_FOLDER::temporary_prefix(m_real);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QByteArray name = SDR_FILE_SAVE_FOLDER::temporary_name(prefix);
        m_fd = ::open(name.constData(), O_CREAT | O_EXCL | O_RDWR | O_CLOEXEC, 0600);
        if (m_fd >= 0) {
            m_temp_path = name;
            return true;
        }
        if (errno != EEXIST)
            return false;
    }
    return false;
}

// The finished temporary file gets its name beside the target; the rename needs one.
bool SDR_FILE_ARCHIVE_WRITER::name_temporary(SDR_FILE_ERROR* error)
{
    if (!m_temp_path.isEmpty())
        return true;
    const QByteArray prefix = SDR_FILE_SAVE_FOLDER::temporary_prefix(m_real);
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(m_fd);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QByteArray name = SDR_FILE_SAVE_FOLDER::temporary_name(prefix);
        if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, name.constData(), AT_SYMLINK_FOLLOW) == 0) {
            m_temp_path = name;
            return true;
        }
        if (errno != EEXIST)
            break;
    }
    return fail_system(error, QStringLiteral("cannot name the temporary file beside it"));
}

bool SDR_FILE_ARCHIVE_WRITER::begin(SDR_FILE_ERROR* error)
{
    discard();
    m_committed = false;
    m_in_place = false;
    stamp_time();
    if (!resolve_target(error))
        return false;
    SDR_FILE_RESTORE::recover(m_real, m_target);
    return check_target(error) && create_temporary(error);
}

bool SDR_FILE_ARCHIVE_WRITER::add_entry(const QString& name, const QByteArray& bytes, bool compress,
                                        SDR_FILE_ERROR* error)
{
    return add_entry(name, QVector<QByteArray>{bytes}, compress, error);
}

bool SDR_FILE_ARCHIVE_WRITER::add_entry(const QString& name, const QVector<QByteArray>& pieces, bool compress,
                                        SDR_FILE_ERROR* error)
{
    if (m_fd < 0)
        return fail(error, name, QStringLiteral("the archive is not open"));
    ENTRY entry;
    entry.name = name;
    entry.utf8_name = name.toUtf8();
    if (entry.utf8_name.isEmpty() || entry.utf8_name.size() > 0xFFFF)
        return fail(error, name, QStringLiteral("the entry name is empty or too long"));
    entry.pieces = pieces;
    entry.compress = compress;
    entry.unreadable = standin::sdr_file::take_save_fault(standin::sdr_file::save_fault::write_entry);
    m_entries.push_back(std::move(entry));
    return true;
}

bool SDR_FILE_ARCHIVE_WRITER::add_stored_entry(const QString& name, const SDR_STORED_ENTRY& stored,
                                               SDR_FILE_ERROR* error)
{
    if (!add_entry(name, stored.bytes, false, error))
        return false;
    ENTRY& entry = m_entries.back();
    entry.as_stored = true;
    entry.method = stored.method;
    entry.crc = stored.crc;
    entry.size = stored.size;
    entry.written_size = quint64(stored.bytes.size());
    return true;
}

// The data must be on disk before the rename, or a crash could leave an empty target.
bool SDR_FILE_ARCHIVE_WRITER::flush_temporary(SDR_FILE_ERROR* error)
{
    if (::fsync(m_fd) != 0)
        return fail_system(error, QStringLiteral("cannot flush the temporary file to disk"));
    return true;
}

// The previous version's cached pages are dead weight once the new file replaces it, yet
// they would stay until the rename, so a save would claim as much memory again for the new
// file. Releasing them first lets the new file reuse that memory. (A failed save only costs
// reading the old file from disk again.) Non-blocking, so that a FIFO in the way cannot
// stall the save.
void SDR_FILE_ARCHIVE_WRITER::release_target_cache()
{
    const int fd = ::open(m_real.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return;
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
    ::close(fd);
}

// Without flushing the folder after the rename, a power loss can bring the previous file
// back (or, for a new file, leave no file at all) although the save reported success.
bool SDR_FILE_ARCHIVE_WRITER::replace_target(SDR_FILE_ERROR* error)
{
    const bool refuse = standin::sdr_file::take_save_fault(standin::sdr_file::save_fault::rename);
    standin::record_call("sdr:rename(" + SDR_FILE_SAVE_FOLDER::name_of(m_real).toStdString() + ")");
    if (refuse || ::rename(m_temp_path.constData(), m_real.constData()) != 0)
        return fail(error, QString(),
                    QStringLiteral("cannot replace the file: %1").arg(refuse ? QStringLiteral("refused") : system_text()));
    m_temp_path.clear();
    if (!SDR_FILE_SAVE_FOLDER::sync_folder(m_folder))
        return fail_system(error, QStringLiteral("saved, but the folder cannot be flushed to disk"));
    return true;
}

bool SDR_FILE_ARCHIVE_WRITER::commit(SDR_FILE_ERROR* error)
{
    if (m_fd < 0)
        return fail(error, QString(), QStringLiteral("the archive is not open"));
    release_target_cache();
    if (!write_all(error))
        return false;
    standin::sdr_file::reach(standin::sdr_file::save_stage::written);
    keep_owner_and_permissions();
    if (!flush_temporary(error))
        return false;
    if (m_in_place) {
        if (!rewrite_in_place(error))
            return false;
    } else {
        if (!name_temporary(error))
            return false;
        standin::sdr_file::reach(standin::sdr_file::save_stage::named);
        if (!replace_target(error))
            return false;
    }
    discard(); // the temporary file, when it is still there, and its lock
    m_committed = true;
    return true;
}
