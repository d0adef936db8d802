// Special files for the tests of readers and writers.
#include "support/special_files.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

namespace
{
// The numbers of the null device: should a writer open the copy after all, nothing is written
// anywhere.
const dev_t HARMLESS_DEVICE = makedev(1, 3);

bool make_socket(const QByteArray& path)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (size_t(path.size()) >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    const bool bound = fd >= 0 && ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    if (fd >= 0)
        ::close(fd);
    return bound;
}
} // namespace

std::vector<sedq_special_file> sedq_make_special_files(const QString& folder)
{
    const QDir dir(folder);
    std::vector<sedq_special_file> files = {
        {"a FIFO", dir.filePath("fifo"), "not a regular file (a FIFO)", S_IFIFO},
        {"a link to a FIFO", dir.filePath("link"), "not a regular file (a FIFO)", S_IFIFO},
        {"a socket", dir.filePath("socket"), "not a regular file (a socket)", S_IFSOCK},
    };
    EXPECT_EQ(::mkfifo(QFile::encodeName(files[0].path).constData(), 0600), 0);
    EXPECT_EQ(::symlink("fifo", QFile::encodeName(files[1].path).constData()), 0);
    EXPECT_TRUE(make_socket(QFile::encodeName(files[2].path)));
    if (::geteuid() == 0)
    {
        files.push_back({"a device", dir.filePath("device"), "not a regular file (a device)", S_IFCHR});
        EXPECT_EQ(::mknod(QFile::encodeName(files.back().path).constData(), S_IFCHR | 0600, HARMLESS_DEVICE), 0);
    }
    return files;
}

bool sedq_is_unchanged(const sedq_special_file& file)
{
    struct stat st;
    return ::stat(QFile::encodeName(file.path).constData(), &st) == 0 && (st.st_mode & S_IFMT) == file.type;
}
