// FIO stand-in: paths over QDir/QFileInfo and a directory enumeration with open handles.
#include "host/fio.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>
#include <mutex>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
struct enumeration
{
    QStringList names;
    int next = 0;
};

struct fio_state
{
    std::mutex lock;
    std::map<intptr_t, enumeration> open;
    intptr_t last_handle = 0;
};

fio_state& state()
{
    static fio_state s;
    return s;
}

QString to_qstring(const std::string& text)
{
    return QString::fromLocal8Bit(text.c_str());
}

// Names longer than the record are cut, never written past it.
void copy_name(const QString& name, _finddata_t* data)
{
    const QByteArray bytes = name.toLocal8Bit();
    const size_t length = std::min(static_cast<size_t>(bytes.size()), sizeof data->name - 1);
    std::memcpy(data->name, bytes.constData(), length);
    data->name[length] = '\0';
}
} // namespace

FIO_PATH::FIO_PATH(const char* path) : m_path(path ? path : "") {}

FIO_PATH::FIO_PATH(const std::string& path) : m_path(path) {}

bool FIO_PATH::operator==(const FIO_PATH& other) const
{
    return fullpath() == other.fullpath();
}

std::string FIO_PATH::get_relative_to(const FIO_PATH& dir) const
{
    return QDir(to_qstring(dir.fullpath())).relativeFilePath(to_qstring(fullpath())).toStdString();
}

std::string FIO_PATH::fullpath() const
{
    if (m_path.empty())
        return std::string();
    return QDir::cleanPath(QFileInfo(to_qstring(m_path)).absoluteFilePath()).toLocal8Bit().toStdString();
}

bool FIO_FILE_SYSTEM::exists(const char* path)
{
    return path && *path && QFileInfo::exists(QString::fromLocal8Bit(path));
}

bool FIO_FILE_SYSTEM::remove(const char* path)
{
    return path && *path && QFile::remove(QString::fromLocal8Bit(path));
}

intptr_t FIO_FILE_SYSTEM::findfirst(const char* pattern, _finddata_t* data)
{
    if (!pattern || !data)
        return -1;
    const QFileInfo info(QString::fromLocal8Bit(pattern));
    const QStringList names =
        QDir(info.path()).entryList(QStringList{info.fileName()}, QDir::Files | QDir::Hidden, QDir::Name);
    if (names.isEmpty())
        return -1;
    copy_name(names.front(), data);
    auto& s = state();
    const std::lock_guard<std::mutex> guard(s.lock);
    const intptr_t handle = ++s.last_handle;
    s.open[handle] = {names, 1};
    return handle;
}

int FIO_FILE_SYSTEM::findnext(intptr_t handle, _finddata_t* data)
{
    auto& s = state();
    const std::lock_guard<std::mutex> guard(s.lock);
    const auto it = s.open.find(handle);
    if (!data || it == s.open.end() || it->second.next >= it->second.names.size())
        return -1;
    copy_name(it->second.names.at(it->second.next++), data);
    return 0;
}

void FIO_FILE_SYSTEM::findclose(intptr_t handle)
{
    auto& s = state();
    const std::lock_guard<std::mutex> guard(s.lock);
    s.open.erase(handle);
}

namespace
{
const char* kind_of(mode_t mode)
{
    if (S_ISDIR(mode))
        return "a folder";
    if (S_ISFIFO(mode))
        return "a FIFO";
    if (S_ISSOCK(mode))
        return "a socket";
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return "a device";
    return "not a plain file";
}
} // namespace

bool fio_read_regular_file(const std::string& path, int64_t max_size, std::string* bytes, std::string* reason)
{
    // Non-blocking: opening a FIFO for reading would otherwise wait for a writer for ever.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
    {
        *reason = std::strerror(errno);
        return false;
    }
    struct stat st;
    bool ok = ::fstat(fd, &st) == 0;
    if (!ok)
        *reason = std::strerror(errno);
    else if (!S_ISREG(st.st_mode))
    {
        *reason = std::string("not a regular file (") + kind_of(st.st_mode) + ")";
        ok = false;
    }
    else if (int64_t(st.st_size) > max_size)
    {
        *reason = "larger than " + std::to_string(max_size) + " bytes";
        ok = false;
    }
    if (ok)
    {
        // Never more than the size taken from the descriptor, even when the file grows.
        bytes->assign(size_t(st.st_size), '\0');
        size_t done = 0;
        while (done < bytes->size())
        {
            const ssize_t got = ::read(fd, &(*bytes)[done], bytes->size() - done);
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0)
            {
                *reason = std::strerror(errno);
                ok = false;
                break;
            }
            if (got == 0)
                break; // the file shrank meanwhile
            done += size_t(got);
        }
        bytes->resize(done);
    }
    ::close(fd);
    return ok;
}

std::string fio_special_file_problem(const std::string& path)
{
    struct stat st;
    if (::stat(path.c_str(), &st) != 0 || S_ISREG(st.st_mode))
        return std::string(); // nothing there: the caller names what stops it
    return std::string("not a regular file (") + kind_of(st.st_mode) + ")";
}

std::string fio_file_name_problem(const std::string& path)
{
    const QByteArray bytes = QByteArray::fromStdString(path);
    const QString name = QFile::decodeName(bytes);
    if (QFile::encodeName(name) == bytes && !name.contains(QChar::ReplacementCharacter))
        return std::string();
    return "the file name is not valid in the local character encoding";
}

std::string fio_write_target_problem(const std::string& path)
{
    const std::string name = fio_file_name_problem(path);
    return name.empty() ? fio_special_file_problem(path) : name;
}
