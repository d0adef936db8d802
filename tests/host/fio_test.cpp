// FIO stand-in: path equality and relative paths, one-directory file enumeration, and the
// readers of the design suite's own files refusing what is not a regular file.
#include "host/fio.h"

#include "host/chi_private.h"
#include "host/kpt.h"
#include "host/standin/kpt_control.h"
#include "host/standin/project_control.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

TEST(fio, paths_compare_cleaned_and_absolute)
{
    EXPECT_TRUE(FIO_PATH("/tmp/a/./b/../c.vtl") == FIO_PATH(std::string("/tmp/a/c.vtl")));
    EXPECT_TRUE(FIO_PATH("x.vtl") == FIO_PATH(QDir::currentPath().toStdString() + "/x.vtl"));
    EXPECT_FALSE(FIO_PATH("/tmp/a.vtl") == FIO_PATH("/tmp/b.vtl"));
    EXPECT_EQ(FIO_PATH("/tmp/p/q/r.vtl").get_relative_to(FIO_PATH("/tmp/p")), "q/r.vtl");
    EXPECT_TRUE(FIO_PATH("").is_empty());
    EXPECT_EQ(FIO_PATH(static_cast<const char*>(nullptr)).fullpath(), "");
}

TEST(fio, enumeration_lists_matching_files_once_each)
{
    QTemporaryDir dir;
    for (const char* name : {"libsld_sed_a.so", "libsld_sed_b.so", "other.so"})
    {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    const std::string pattern = dir.path().toStdString() + "/libsld_sed_*.so";
    _finddata_t data;
    const intptr_t handle = FIO_FILE_SYSTEM::findfirst(pattern.c_str(), &data);
    ASSERT_NE(handle, -1);
    std::set<std::string> found = {data.name};
    while (FIO_FILE_SYSTEM::findnext(handle, &data) == 0)
        found.insert(data.name);
    FIO_FILE_SYSTEM::findclose(handle);
    EXPECT_EQ(found, (std::set<std::string>{"libsld_sed_a.so", "libsld_sed_b.so"}));
    EXPECT_EQ(FIO_FILE_SYSTEM::findnext(handle, &data), -1) << "a closed handle finds nothing";

    const std::string none = dir.path().toStdString() + "/nothing_*.so";
    EXPECT_EQ(FIO_FILE_SYSTEM::findfirst(none.c_str(), &data), -1);
    EXPECT_TRUE(FIO_FILE_SYSTEM::exists(dir.filePath("other.so").toLocal8Bit().constData()));
    EXPECT_TRUE(FIO_FILE_SYSTEM::remove(dir.filePath("other.so").toLocal8Bit().constData()));
    EXPECT_FALSE(FIO_FILE_SYSTEM::exists(dir.filePath("other.so").toLocal8Bit().constData()));
}

// A FIFO blocked the reader for ever, a link to /dev/zero passed the size check and read until
// memory ran out: every reader opens regular files only and says what it found instead.
TEST(fio, the_suite_files_are_read_from_regular_files_only)
{
    QTemporaryDir dir;
    const std::string fifo = dir.filePath("pipe").toStdString();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string zero = dir.filePath("zero").toStdString();
    ASSERT_EQ(::symlink("/dev/zero", zero.c_str()), 0);
    const std::string folder = dir.filePath("folder").toStdString();
    ASSERT_TRUE(QDir().mkdir(QString::fromStdString(folder)));
    struct special
    {
        const std::string& path;
        const char* reason;
    };
    const special files[] = {
        {fifo, "not a regular file (a FIFO)"},
        {zero, "not a regular file (a device)"},
        {folder, "not a regular file (a folder)"},
    };
    struct reader
    {
        const char* label;
        std::function<std::string(const std::string&)> read; // the message of the refusal
    };
    const reader readers[] = {
        {"project fixture",
         [](const std::string& path) {
             std::string error;
             EXPECT_FALSE(standin::project::load(path, &error));
             return error;
         }},
        {"keypoint file",
         [](const std::string& path) {
             EXPECT_EQ(KPT_KEYPOINTS_MANAGER::get_instance()->load_keypoints_db(path, "k"), nullptr);
             return standin::kpt::last_error();
         }},
        {"programming file",
         [](const std::string& path) {
             std::vector<chi_detail::sof_instance> instances;
             std::string error;
             EXPECT_FALSE(chi_detail::read_sof(path, &instances, &error));
             return error;
         }},
    };
    for (const reader& r : readers)
    {
        for (const special& file : files)
        {
            const std::string error = r.read(file.path);
            EXPECT_EQ(error.rfind(file.path + ": cannot be read (" + file.reason + ")", 0), 0u)
                << r.label << ": " << error;
        }
    }
    std::string bytes;
    std::string reason;
    EXPECT_FALSE(fio_read_regular_file(dir.filePath("missing").toStdString(), 10, &bytes, &reason));
    EXPECT_EQ(reason, "No such file or directory");
    QFile big(dir.filePath("big"));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    big.write("0123456789a");
    big.close();
    EXPECT_FALSE(fio_read_regular_file(big.fileName().toStdString(), 10, &bytes, &reason));
    EXPECT_EQ(reason, "larger than 10 bytes");
    EXPECT_TRUE(fio_read_regular_file(big.fileName().toStdString(), 11, &bytes, &reason));
    EXPECT_EQ(bytes, "0123456789a");
}
