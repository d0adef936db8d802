// The file a save replaces: links followed, its owner and permissions kept, and the rewrite in
// place (with a copy of the old content beside it) for files whose identity a rename would lose.
#include "host/sdr/sdr_file_archive_writer.h"

#include "host/sdr/sdr_file_restore.h"
#include "host/sdr/sdr_file_save_folder.h"
#include "host/standin/sdr_file_control.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
// Bytes per copy step of an in-place rewrite.
const qint64 COPY_CHUNK = qint64(8) << 20;
} // namespace

// A save through a symbolic link writes the file the link ends at: replacing the link itself
// would leave the real file with the old data.
bool SDR_FILE_ARCHIVE_WRITER::resolve_target(SDR_FILE_ERROR* error)
{
    QString problem;
    if (!SDR_FILE_SAVE_FOLDER::resolve_links(QFile::encodeName(m_target), &m_real, &problem))
        return fail(error, QString(), problem);
    m_folder = SDR_FILE_SAVE_FOLDER::folder_of(m_real);
    return true;
}

// The new file takes the old one's permissions and, where this user may give it, its owner
// and group; a new target gets those of any new file. A target with other hard links, or whose
// owner cannot be given to the new file, is rewritten in place instead.
void SDR_FILE_ARCHIVE_WRITER::keep_owner_and_permissions()
{
    struct stat target;
    if (::stat(m_real.constData(), &target) != 0) {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(m_fd, 0666 & ~mask);
        return;
    }
    struct stat temporary;
    const bool same_owner = ::fstat(m_fd, &temporary) == 0 && temporary.st_uid == target.st_uid &&
                            temporary.st_gid == target.st_gid;
    m_in_place = target.st_nlink > 1 || (!same_owner && ::fchown(m_fd, target.st_uid, target.st_gid) != 0);
    // After the owner: changing it may clear the set-id bits.
    ::fchmod(m_fd, target.st_mode & 07777);
}

// The finished temporary file is copied over the target's own data. The space is claimed
// first, so that a full disk fails the save while the target is still whole; and the old
// content is copied beside it and flushed first, so that a crash or a failure half-way leaves
// what the next open (or, for a failure, this save) puts back (see sdr_file_restore.h).
bool SDR_FILE_ARCHIVE_WRITER::rewrite_in_place(SDR_FILE_ERROR* error)
{
    const int target = ::open(m_real.constData(), O_RDWR | O_CLOEXEC);
    if (target < 0)
        return fail_system(error, QStringLiteral("cannot write the file"));
    const qint64 size = qint64(m_position);
    const int reserved = size > 0 ? ::fallocate(target, FALLOC_FL_KEEP_SIZE, 0, off_t(size)) : 0;
    if (reserved != 0 && errno != EOPNOTSUPP && errno != ENOSYS) {
        ::close(target);
        return fail_system(error, QStringLiteral("no room to rewrite the file"));
    }
    SDR_FILE_RESTORE::COPY copy;
    QString problem;
    if (!copy.keep(m_real, target, m_fd, m_position, &problem)) {
        ::close(target);
        return fail(error, QString(), problem);
    }
    standin::sdr_file::reach(standin::sdr_file::save_stage::copy_kept);
    const bool copied = copy_into(target, error);
    const bool closed = ::close(target) == 0;
    if (!copied || !closed) {
        copy.let_go();
        SDR_FILE_RESTORE::recover(m_real, m_target);
        return copied ? fail_system(error, QStringLiteral("the file could not be rewritten")) : false;
    }
    standin::sdr_file::reach(standin::sdr_file::save_stage::rewritten);
    if (!copy.remove())
        return fail_system(error, QStringLiteral("saved, but the folder cannot be flushed to disk"));
    return true;
}

bool SDR_FILE_ARCHIVE_WRITER::copy_into(int target, SDR_FILE_ERROR* error)
{
    const qint64 size = qint64(m_position);
    QByteArray buffer(int(std::min(size, COPY_CHUNK)), Qt::Uninitialized);
    if (::lseek(target, 0, SEEK_SET) != 0)
        return fail_system(error, QStringLiteral("cannot write the file"));
    for (qint64 offset = 0; offset < size;) {
        const ssize_t n = ::pread(m_fd, buffer.data(), size_t(std::min(COPY_CHUNK, size - offset)), off_t(offset));
        if (n < 0 && errno == EINTR)
            continue;
        iovec piece{buffer.data(), size_t(n > 0 ? n : 0)};
        if (n <= 0 || !write_gathered(target, &piece, 1))
            return fail_system(error, QStringLiteral("the file could not be rewritten"));
        offset += n;
        standin::sdr_file::reach(standin::sdr_file::save_stage::rewriting);
    }
    if (::ftruncate(target, off_t(size)) != 0 || ::fsync(target) != 0)
        return fail_system(error, QStringLiteral("the file could not be rewritten"));
    return true;
}
