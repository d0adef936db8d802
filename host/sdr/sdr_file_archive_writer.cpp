// Atomic ZIP writer of the analyzer file: the temporary file, adding entries, commit and rename.
#include "host/sdr/sdr_file_archive_writer.h"

#include "host/standin/sdr_file_control.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
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

void SDR_FILE_ARCHIVE_WRITER::discard()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (!m_temp_path.isEmpty()) {
        QFile::remove(m_temp_path);
        m_temp_path.clear();
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

// A read-only target is not replaced behind the user's back, even where the directory
// would allow the rename (and even for a user whom permissions do not stop).
bool SDR_FILE_ARCHIVE_WRITER::check_target(SDR_FILE_ERROR* error)
{
    const QFileInfo info(m_target);
    const QFileDevice::Permissions writable = QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    if (info.exists() && (info.isDir() || !info.isWritable() || !(info.permissions() & writable)))
        return fail(error, QString(), QStringLiteral("the file cannot be written"));
    if (!info.dir().exists())
        return fail(error, QString(), QStringLiteral("the folder does not exist"));
    return true;
}

bool SDR_FILE_ARCHIVE_WRITER::create_temporary(SDR_FILE_ERROR* error)
{
    QTemporaryFile temp(m_target + QStringLiteral(".saving-XXXXXX"));
    temp.setAutoRemove(false);
    if (standin::sdr_file::take_save_fault(standin::sdr_file::save_fault::create_temporary) || !temp.open())
        return fail(error, QString(), QStringLiteral("cannot create a temporary file beside it"));
    m_temp_path = temp.fileName();
    temp.close();
    m_fd = ::open(QFile::encodeName(m_temp_path).constData(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (m_fd < 0)
        return fail(error, QString(), QStringLiteral("cannot open the temporary file: %1").arg(system_text()));
    return true;
}

bool SDR_FILE_ARCHIVE_WRITER::begin(SDR_FILE_ERROR* error)
{
    discard();
    m_committed = false;
    stamp_time();
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

// The data must be on disk before the rename, or a crash could leave an empty target.
bool SDR_FILE_ARCHIVE_WRITER::flush_temporary(SDR_FILE_ERROR* error)
{
    const bool synced = ::fsync(m_fd) == 0;
    const bool closed = ::close(m_fd) == 0;
    m_fd = -1;
    if (!synced || !closed)
        return fail(error, QString(), QStringLiteral("cannot flush the temporary file to disk: %1").arg(system_text()));
    return true;
}

// The temporary file is private (0600); the saved file gets the target's permissions, or
// those of any newly created file when there was no target.
void SDR_FILE_ARCHIVE_WRITER::keep_permissions()
{
    struct stat st;
    if (::stat(QFile::encodeName(m_target).constData(), &st) == 0) {
        ::fchmod(m_fd, st.st_mode & 07777);
        return;
    }
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(m_fd, 0666 & ~mask);
}

// The previous version's cached pages are dead weight once the new file replaces it, yet
// they would stay until the rename, so a save would claim as much memory again for the new
// file. Releasing them first lets the new file reuse that memory. (A failed save only costs
// reading the old file from disk again.) Non-blocking, so that a FIFO in the way cannot
// stall the save.
void SDR_FILE_ARCHIVE_WRITER::release_target_cache()
{
    const int fd = ::open(QFile::encodeName(m_target).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return;
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
    ::close(fd);
}

bool SDR_FILE_ARCHIVE_WRITER::replace_target(SDR_FILE_ERROR* error)
{
    const bool refuse = standin::sdr_file::take_save_fault(standin::sdr_file::save_fault::rename);
    if (refuse || std::rename(QFile::encodeName(m_temp_path).constData(), QFile::encodeName(m_target).constData()) != 0)
        return fail(error, QString(),
                    QStringLiteral("cannot replace the file: %1").arg(refuse ? QStringLiteral("refused") : system_text()));
    m_temp_path.clear();
    return true;
}

bool SDR_FILE_ARCHIVE_WRITER::commit(SDR_FILE_ERROR* error)
{
    if (m_fd < 0)
        return fail(error, QString(), QStringLiteral("the archive is not open"));
    release_target_cache();
    if (!write_all(error))
        return false;
    keep_permissions();
    if (!flush_temporary(error) || !replace_target(error))
        return false;
    m_entries.clear();
    m_committed = true;
    return true;
}
