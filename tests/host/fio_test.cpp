// FIO stand-in: path equality and relative paths, one-directory file enumeration.
#include "host/fio.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <set>
#include <string>

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
