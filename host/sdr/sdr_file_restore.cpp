// The copy an in-place rewrite keeps of the file's old content, and recovery from it.
#include "host/sdr/sdr_file_restore.h"

#include "host/msg.h"
#include "host/sdr/sdr_file_crc.h"
#include "host/sdr/sdr_file_save_folder.h"
#include "host/standin/sdr_file_control.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstddef>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace SDR_FILE_RESTORE
{
namespace
{
const char SUFFIX[] = ".restore";
const char MARK[16] = {'V', 'T', 'L', '-', 'R', 'E', 'S', 'T', 'O', 'R', 'E', '-', 'C', 'O', 'P', 'Y'};
// A multiple of SECTOR, so that no piece crosses from one chunk into the next.
const qint64 CHUNK = qint64(8) << 20;
// Disks write sectors whole: after a crash each piece this long holds old or new bytes.
const quint64 SECTOR = 512;

// Stored little-endian at the copy's start; `complete` is set, with the old content's
// checksum, only once the whole content follows, and after it the checksums of the new
// content's pieces (four bytes each, see piece_end). Copies written before the pieces were
// recorded end with the old content.
struct HEADER
{
    char mark[16];
    quint64 device;
    quint64 inode;
    quint64 old_size;
    quint64 new_size;
    quint32 old_crc;
    quint32 new_crc;
    quint32 complete;
    quint32 header_crc; // of the bytes before it
};
static_assert(sizeof(HEADER) == 64, "the copy's header is 64 bytes");
const qint64 HEADER_SIZE = qint64(sizeof(HEADER));

quint32 header_crc(const HEADER& header)
{
    return SDR_FILE_CRC::update(0, reinterpret_cast<const char*>(&header), qint64(offsetof(HEADER, header_crc)));
}

// Where the piece that starts at `at` ends: at the next multiple of SECTOR, or earlier where
// the old or the new content ends.
quint64 piece_end(quint64 at, quint64 old_size, quint64 new_size)
{
    quint64 end = at - at % SECTOR + SECTOR;
    if (old_size > at)
        end = std::min(end, old_size);
    if (new_size > at)
        end = std::min(end, new_size);
    return end;
}

quint64 piece_count(quint64 size, quint64 old_size)
{
    quint64 count = 0;
    for (quint64 at = 0; at < size; at = piece_end(at, old_size, size))
        ++count;
    return count;
}

bool read_exact(int fd, char* out, qint64 length, qint64 offset)
{
    while (length > 0) {
        const ssize_t n = ::pread(fd, out, size_t(length), off_t(offset));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        out += n;
        length -= n;
        offset += n;
    }
    return true;
}

// The checksum of the first `size` bytes of `fd` and of each of their pieces.
bool describe(int fd, quint64 size, quint64 old_size, quint32* crc, std::vector<quint32>* pieces)
{
    QByteArray buffer(int(std::min<qint64>(qint64(size), CHUNK)), Qt::Uninitialized);
    quint32 sum = 0;
    pieces->clear();
    pieces->reserve(size_t(piece_count(size, old_size)));
    for (quint64 done = 0; done < size;) {
        const qint64 length = std::min<qint64>(CHUNK, qint64(size - done));
        if (!read_exact(fd, buffer.data(), length, qint64(done)))
            return false;
        sum = SDR_FILE_CRC::update(sum, buffer.constData(), length);
        for (quint64 at = done; at < done + quint64(length); at = piece_end(at, old_size, size))
            pieces->push_back(SDR_FILE_CRC::update(0, buffer.constData() + (at - done),
                                                   qint64(piece_end(at, old_size, size) - at)));
        done += quint64(length);
    }
    *crc = sum;
    return true;
}

bool write_header(int fd, HEADER header)
{
    header.header_crc = header_crc(header);
    return ::pwrite(fd, &header, sizeof header, 0) == ssize_t(sizeof header);
}

bool read_header(int fd, HEADER* header)
{
    return ::pread(fd, header, sizeof *header, 0) == ssize_t(sizeof *header) &&
           std::memcmp(header->mark, MARK, sizeof MARK) == 0 && header->header_crc == header_crc(*header);
}

bool write_all(int fd, const char* data, qint64 length, qint64 offset)
{
    while (length > 0) {
        const ssize_t n = ::pwrite(fd, data, size_t(length), off_t(offset));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        length -= n;
        offset += n;
    }
    return true;
}

// Copies `size` bytes from `from` (at `from_offset`) to `to` (at `to_offset`), checksumming them.
bool copy(int from, qint64 from_offset, int to, qint64 to_offset, quint64 size, quint32* crc)
{
    QByteArray buffer(int(std::min<qint64>(qint64(size), CHUNK)), Qt::Uninitialized);
    quint32 sum = 0;
    for (qint64 done = 0; done < qint64(size);) {
        const ssize_t n = ::pread(from, buffer.data(), size_t(std::min(CHUNK, qint64(size) - done)),
                                  off_t(from_offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0 || !write_all(to, buffer.constData(), n, to_offset + done))
            return false;
        sum = SDR_FILE_CRC::update(sum, buffer.constData(), n);
        done += n;
    }
    *crc = sum;
    return true;
}

bool reached(standin::sdr_file::save_stage stage)
{
    standin::sdr_file::reach(stage);
    return true;
}

QString system_text()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

void tell(const QString& file, const QString& what)
{
    MSG_W note;
    const QByteArray text = (file + QStringLiteral(": ") + what).toLocal8Bit();
    note.fill_args("%1!s!/WVANTREL_SAVE_RECOVERED", text.constData());
    note.post();
}

// Puts the old content back over the file and flushes it.
bool restore(int copy_fd, int target_fd, const HEADER& header)
{
    quint32 crc = 0;
    return copy(copy_fd, HEADER_SIZE, target_fd, 0, header.old_size, &crc) &&
           ::ftruncate(target_fd, off_t(header.old_size)) == 0 && ::fsync(target_fd) == 0;
}

bool checksum_at(int fd, qint64 offset, quint64 size, quint32* crc)
{
    QByteArray buffer(int(std::min<qint64>(qint64(size), CHUNK)), Qt::Uninitialized);
    quint32 sum = 0;
    for (quint64 done = 0; done < size;) {
        const ssize_t n = ::pread(fd, buffer.data(), size_t(std::min<quint64>(quint64(CHUNK), size - done)),
                                  off_t(quint64(offset) + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        sum = SDR_FILE_CRC::update(sum, buffer.constData(), n);
        done += quint64(n);
    }
    *crc = sum;
    return true;
}

// The copy holds the whole old content, as its header says, and the checksums of the new
// content's pieces when it records them (`pieces` left empty otherwise).
bool is_whole(int copy_fd, const HEADER& header, std::vector<quint32>* pieces)
{
    struct stat st;
    quint32 crc = 0;
    if (header.complete != 1 || ::fstat(copy_fd, &st) != 0 ||
        !checksum_at(copy_fd, HEADER_SIZE, header.old_size, &crc) || crc != header.old_crc)
        return false;
    const quint64 bare = quint64(HEADER_SIZE) + header.old_size;
    const quint64 count = piece_count(header.new_size, header.old_size);
    pieces->clear();
    if (quint64(st.st_size) == bare)
        return true;
    if (quint64(st.st_size) != bare + 4 * count)
        return false;
    QByteArray table(int(4 * count), Qt::Uninitialized);
    if (!read_exact(copy_fd, table.data(), table.size(), qint64(bare)))
        return false;
    pieces->resize(size_t(count));
    std::memcpy(pieces->data(), table.constData(), size_t(table.size()));
    return true;
}

// Whether the file (`size` bytes) is what a rewrite from the old content to the new one leaves
// when it is cut short: each piece up to its end holds the old bytes or the new ones, and it
// ends where a piece does, no shorter than the shorter content (only the rewrite's last step
// shortens the file, and then it holds the new content whole).
bool torn_by_rewrite(int copy_fd, int target_fd, quint64 size, const HEADER& header,
                     const std::vector<quint32>& pieces)
{
    const quint64 old_size = header.old_size;
    const quint64 new_size = header.new_size;
    if (size < std::min(old_size, new_size) || size > std::max(old_size, new_size))
        return false;
    QByteArray now(int(std::min<qint64>(qint64(size), CHUNK)), Qt::Uninitialized);
    QByteArray before(now.size(), Qt::Uninitialized);
    size_t piece = 0;
    for (quint64 done = 0; done < size;) {
        const qint64 length = std::min<qint64>(CHUNK, qint64(size - done));
        const qint64 old_length = std::max<qint64>(0, std::min<qint64>(length, qint64(old_size) - qint64(done)));
        if (!read_exact(target_fd, now.data(), length, qint64(done)) ||
            !read_exact(copy_fd, before.data(), old_length, HEADER_SIZE + qint64(done)))
            return false;
        for (quint64 at = done; at < done + quint64(length); ++piece) {
            const quint64 end = piece_end(at, old_size, new_size);
            if (end > size)
                return false;
            const char* bytes = now.constData() + (at - done);
            const qint64 length_of_piece = qint64(end - at);
            const bool old = end <= old_size && std::memcmp(bytes, before.constData() + (at - done), size_t(length_of_piece)) == 0;
            const bool fresh = end <= new_size && piece < pieces.size() &&
                               SDR_FILE_CRC::update(0, bytes, length_of_piece) == pieces[piece];
            if (!old && !fresh)
                return false;
            at = end;
        }
        done += quint64(length);
    }
    return true;
}

// The file holds exactly `size` bytes of checksum `crc`.
bool holds(int fd, quint64 file_size, quint64 size, quint32 crc)
{
    quint32 sum = 0;
    return file_size == size && checksum_at(fd, 0, size, &sum) && sum == crc;
}

const QString UNCHANGED = QStringLiteral("a save of this file was cut short before it changed the file; the file is "
                                         "unchanged");

// What to do with the file `target`, given a copy of it that was left over; returns what was done.
// The copy is removed unless it is the only place the old content is left.
QString recover_from(int copy_fd, const HEADER& header, const QByteArray& target, const QByteArray& name,
                     bool* remove)
{
    *remove = true;
    // An incomplete copy was never relied on: the rewrite starts only once the copy is whole.
    std::vector<quint32> pieces;
    if (!is_whole(copy_fd, header, &pieces))
        return UNCHANGED;
    const int target_fd = ::open(target.constData(), O_RDWR | O_CLOEXEC | O_NONBLOCK);
    struct stat now;
    if (target_fd < 0 || ::fstat(target_fd, &now) != 0) {
        const QString reason = system_text();
        if (target_fd >= 0)
            ::close(target_fd);
        *remove = false;
        return QStringLiteral("a save of this file was cut short, and the file cannot be checked (%1); its content "
                              "from before that save is kept in %2")
            .arg(reason, QFile::decodeName(name));
    }
    const quint64 size = quint64(now.st_size);
    QString what;
    if (holds(target_fd, size, header.new_size, header.new_crc)) {
        what = QStringLiteral("a save of this file was cut short after it had rewritten the file; the file holds "
                              "the saved content");
    } else if (holds(target_fd, size, header.old_size, header.old_crc)) {
        what = UNCHANGED;
    } else if (!pieces.empty() && !torn_by_rewrite(copy_fd, target_fd, size, header, pieces)) {
        // Saved again since (under another of its names, in another folder) or written by
        // another program: its content from before the cut-short save is older than what it holds.
        what = QStringLiteral("a save of this file was cut short, but the file has been written since; it is kept "
                              "as it is, and the copy of its older content is dropped");
    } else if (restore(copy_fd, target_fd, header)) {
        what = QStringLiteral("a save of this file was cut short while rewriting it; its content from before that "
                              "save has been restored");
    } else {
        *remove = false;
        what = QStringLiteral("a save of this file was cut short while rewriting it, and its content from before "
                              "that save cannot be put back (%1); it is kept in %2")
                   .arg(system_text(), QFile::decodeName(name));
    }
    ::close(target_fd);
    return what;
}

// Reads the copy `name` and recovers the file from it when it is the file's and nobody holds it.
bool recover_one(int folder_fd, const char* name, const struct stat& target_stat, const QByteArray& target,
                 const QString& file)
{
    const int fd = ::openat(folder_fd, name, O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0)
        return false;
    struct stat st;
    HEADER header;
    const bool ours = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && read_header(fd, &header) &&
                      header.device == quint64(target_stat.st_dev) && header.inode == quint64(target_stat.st_ino);
    // A live save holds its copy locked.
    const bool dealt = ours && ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    if (dealt) {
        bool remove = true;
        const QString what = recover_from(fd, header, target, QByteArray(name), &remove);
        if (remove)
            ::unlinkat(folder_fd, name, 0);
        tell(file, what);
    }
    ::close(fd);
    return dealt;
}
} // namespace

QByteArray copy_name(const QByteArray& target)
{
    const QByteArray folder = SDR_FILE_SAVE_FOLDER::folder_of(target);
    QByteArray name = SDR_FILE_SAVE_FOLDER::name_of(target);
    long limit = ::pathconf(folder.constData(), _PC_NAME_MAX);
    if (limit <= 0)
        limit = NAME_MAX;
    int end = std::min(name.size(), int(limit) - int(sizeof SUFFIX - 1));
    while (end > 0 && end < name.size() && (uchar(name.at(end)) & 0xC0) == 0x80)
        --end;
    return folder + '/' + name.left(end) + SUFFIX;
}

COPY::~COPY()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool COPY::keep(const QByteArray& target, int target_fd, int new_fd, quint64 new_size, QString* problem)
{
    struct stat st;
    if (::fstat(target_fd, &st) != 0) {
        *problem = QStringLiteral("cannot read the file: %1").arg(system_text());
        return false;
    }
    HEADER header = {};
    std::memcpy(header.mark, MARK, sizeof MARK);
    header.device = quint64(st.st_dev);
    header.inode = quint64(st.st_ino);
    header.old_size = quint64(st.st_size);
    header.new_size = new_size;
    std::vector<quint32> pieces;
    if (!describe(new_fd, new_size, header.old_size, &header.new_crc, &pieces)) {
        *problem = QStringLiteral("cannot read the temporary file back: %1").arg(system_text());
        return false;
    }
    m_path = copy_name(target);
    m_fd = ::open(m_path.constData(), O_CREAT | O_EXCL | O_RDWR | O_CLOEXEC, 0600);
    if (m_fd < 0) {
        *problem = QStringLiteral("cannot keep a copy of it in %1: %2")
                       .arg(QFile::decodeName(SDR_FILE_SAVE_FOLDER::name_of(m_path)), system_text());
        m_path.clear();
        return false;
    }
    ::flock(m_fd, LOCK_EX);
    const qint64 table_at = HEADER_SIZE + qint64(st.st_size);
    const qint64 table_size = qint64(4 * pieces.size());
    const bool kept = write_header(m_fd, header) &&
                      (::fallocate(m_fd, 0, 0, off_t(table_at + table_size)) == 0 || errno == EOPNOTSUPP ||
                       errno == ENOSYS) &&
                      copy(target_fd, 0, m_fd, HEADER_SIZE, header.old_size, &header.old_crc) &&
                      write_all(m_fd, reinterpret_cast<const char*>(pieces.data()), table_size, table_at) &&
                      ::fsync(m_fd) == 0 && reached(standin::sdr_file::save_stage::copy_unfinished) &&
                      (header.complete = 1, write_header(m_fd, header)) &&
                      ::fsync(m_fd) == 0 && SDR_FILE_SAVE_FOLDER::sync_folder(SDR_FILE_SAVE_FOLDER::folder_of(m_path));
    if (!kept) {
        *problem = QStringLiteral("cannot keep a copy of it beside it: %1").arg(system_text());
        remove();
        return false;
    }
    return true;
}

void COPY::let_go()
{
    m_path.clear();
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

bool COPY::remove()
{
    if (m_path.isEmpty())
        return true;
    ::unlink(m_path.constData());
    const QByteArray folder = SDR_FILE_SAVE_FOLDER::folder_of(m_path);
    m_path.clear();
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    return SDR_FILE_SAVE_FOLDER::sync_folder(folder);
}

int recover(const QByteArray& target, const QString& file)
{
    struct stat target_stat;
    if (::stat(target.constData(), &target_stat) != 0 || !S_ISREG(target_stat.st_mode))
        return 0;
    const QByteArray folder = SDR_FILE_SAVE_FOLDER::folder_of(target);
    const int folder_fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder_fd < 0)
        return 0;
    std::vector<QByteArray> names;
    const int listing_fd = ::dup(folder_fd);
    if (DIR* listing = listing_fd >= 0 ? ::fdopendir(listing_fd) : nullptr) {
        while (const dirent* entry = ::readdir(listing))
            if (QByteArray(entry->d_name).endsWith(SUFFIX))
                names.emplace_back(entry->d_name);
        ::closedir(listing);
    } else if (listing_fd >= 0) {
        ::close(listing_fd);
    }
    int dealt = 0;
    for (const QByteArray& name : names)
        dealt += recover_one(folder_fd, name.constData(), target_stat, target, file) ? 1 : 0;
    if (dealt > 0)
        ::fsync(folder_fd);
    ::close(folder_fd);
    return dealt;
}
} // namespace SDR_FILE_RESTORE
