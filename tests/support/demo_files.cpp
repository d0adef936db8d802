// Where the tests find the bundled demo, and the copy of all of it that some tests work in.
#include "support/demo_files.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace
{
QDir examples()
{
    return QDir(QDir(QString(SEDQ_TEST_DATA_DIR)).filePath("../examples"));
}
} // namespace

QString sedq_demo_file(const QString& name)
{
    return examples().filePath(name);
}

QString sedq_copy_demo_project(const QTemporaryDir& dir)
{
    const QDir from = examples();
    QDirIterator files(from.path(), QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext())
    {
        const QString relative = from.relativeFilePath(files.next());
        QDir(dir.path()).mkpath(QFileInfo(relative).path());
        QFile::copy(from.filePath(relative), dir.filePath(relative));
    }
    return dir.filePath("demo.vtl");
}
