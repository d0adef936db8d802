// Saving's side of the file system: links, temporary names, leftovers of crashed saves.
#include "host/sdr/sdr_file_save_folder.h"

#include "host/standin/standin.h"

#include <QRandomGenerator>

#include <cerrno>
#include <climits>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace SDR_FILE_SAVE_FOLDER
{
const char* const TEMPORARY_MARK = ".saving-";

namespace
{
const int RANDOM_LENGTH = 6;
// As many links as the kernel follows in one path.
const int MAX_LINKS = 40;
const char RANDOM_CHARACTERS[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";

bool is_random_character(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// Cuts `name` to at most `length` bytes without splitting a UTF-8 character.
QByteArray cut(const QByteArray& name, int length)
{
    if (name.size() <= length)
        return name;
    int end = length;
    while (end > 0 && (uchar(name.at(end)) & 0xC0) == 0x80)
        --end;
    return name.left(end);
}

// A leftover is still empty, or an analyzer file: a ZIP archive whose first entry is
// document.xml. Anything else under a temporary's name is the user's and stays.
bool looks_like_ours(int fd)
{
    static const char FIRST_ENTRY[] = "document.xml";
    const int name_length = int(sizeof FIRST_ENTRY) - 1;
    char head[30 + sizeof FIRST_ENTRY];
    const ssize_t n = ::pread(fd, head, 30 + size_t(name_length), 0);
    if (n == 0)
        return true;
    return n == 30 + name_length && std::memcmp(head, "PK\x03\x04", 4) == 0 && uchar(head[26]) == name_length &&
           head[27] == 0 && std::memcmp(head + 30, FIRST_ENTRY, size_t(name_length)) == 0;
}

bool remove_if_stale(int folder_fd, const char* name)
{
    const int fd = ::openat(folder_fd, name, O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0)
        return false;
    struct stat st;
    bool removed = false;
    // A live save holds its temporary locked; a crashed one held it only while it lived.
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && (st.st_uid == ::geteuid() || ::geteuid() == 0) &&
        ::flock(fd, LOCK_EX | LOCK_NB) == 0 && looks_like_ours(fd))
        removed = ::unlinkat(folder_fd, name, 0) == 0;
    ::close(fd);
    return removed;
}
} // namespace

QByteArray folder_of(const QByteArray& path)
{
    const int slash = path.lastIndexOf('/');
    if (slash < 0)
        return QByteArray(".");
    return slash == 0 ? QByteArray("/") : path.left(slash);
}

QByteArray name_of(const QByteArray& path)
{
    return path.mid(path.lastIndexOf('/') + 1);
}

bool resolve_links(const QByteArray& path, QByteArray* real, QString* problem)
{
    QByteArray current = path;
    for (int hop = 0; hop <= MAX_LINKS; ++hop) {
        struct stat st;
        if (::lstat(current.constData(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            *real = current;
            return true;
        }
        char buffer[PATH_MAX];
        const ssize_t length = ::readlink(current.constData(), buffer, sizeof buffer);
        if (length <= 0 || size_t(length) >= sizeof buffer) {
            *problem = QStringLiteral("its symbolic link cannot be read");
            return false;
        }
        const QByteArray link(buffer, int(length));
        current = link.startsWith('/') ? link : folder_of(current) + '/' + link;
    }
    *problem = QStringLiteral("its symbolic links form a loop");
    return false;
}

QByteArray temporary_prefix(const QByteArray& target)
{
    const QByteArray folder = folder_of(target);
    long limit = ::pathconf(folder.constData(), _PC_NAME_MAX);
    if (limit <= 0)
        limit = NAME_MAX;
    const int room = int(limit) - int(std::strlen(TEMPORARY_MARK)) - RANDOM_LENGTH;
    return folder + '/' + cut(name_of(target), room) + TEMPORARY_MARK;
}

QByteArray temporary_name(const QByteArray& prefix)
{
    QByteArray name = prefix;
    for (int i = 0; i < RANDOM_LENGTH; ++i)
        name += RANDOM_CHARACTERS[QRandomGenerator::global()->bounded(int(sizeof RANDOM_CHARACTERS) - 1)];
    return name;
}

bool is_temporary_name(const QByteArray& name)
{
    const int mark = name.size() - RANDOM_LENGTH - int(std::strlen(TEMPORARY_MARK));
    if (mark < 0 || !name.mid(mark).startsWith(TEMPORARY_MARK))
        return false;
    for (int i = name.size() - RANDOM_LENGTH; i < name.size(); ++i)
        if (!is_random_character(name.at(i)))
            return false;
    return true;
}

int remove_stale_temporaries(const QByteArray& target)
{
    const QByteArray folder = folder_of(target);
    const QByteArray prefix = name_of(temporary_prefix(target));
    const int folder_fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder_fd < 0)
        return 0;
    const int listing_fd = ::dup(folder_fd);
    DIR* listing = listing_fd >= 0 ? ::fdopendir(listing_fd) : nullptr;
    if (!listing && listing_fd >= 0)
        ::close(listing_fd);
    int removed = 0;
    while (listing) {
        const dirent* entry = ::readdir(listing);
        if (!entry)
            break;
        const QByteArray name(entry->d_name);
        if (name.size() == prefix.size() + RANDOM_LENGTH && name.startsWith(prefix) && is_temporary_name(name) &&
            remove_if_stale(folder_fd, entry->d_name))
            ++removed;
    }
    if (listing)
        ::closedir(listing);
    ::close(folder_fd);
    return removed;
}

bool sync_folder(const QByteArray& folder)
{
    standin::record_call("sdr:sync_folder(" + folder.toStdString() + ")");
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
}
} // namespace SDR_FILE_SAVE_FOLDER
