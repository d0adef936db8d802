// The host program in batch: --save-as never loses data unasked, never writes where no file
// belongs or under another name than the one given, and --script reads its script up to a
// limit and names a script that is not there.
#include "host/app/vantrel_script.h"
#include "support/demo_files.h"
#include "vantrel_run.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace
{
QString write_text(const QString& path, const QByteArray& text)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
    return path;
}

// A file of `size` bytes that holds a Tcl comment: its first byte, the rest a hole.
QString sparse_comment(const QString& path, qint64 size)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("#");
    EXPECT_TRUE(file.resize(size));
    return path;
}

// Feeds `bytes` into the FIFO at `path` from another thread while `reader` runs, as another
// program would. The reader may stop reading early: the writer's end then breaks, and a writer
// still waiting for a reader is let go once `reader` is done.
template <class READER> auto fed_through_fifo(const QString& path, const QByteArray& bytes, READER reader)
{
    const QByteArray native = QFile::encodeName(path);
    EXPECT_EQ(::mkfifo(native.constData(), 0600), 0);
    void (*former)(int) = std::signal(SIGPIPE, SIG_IGN);
    std::thread writer([native, bytes] {
        const int fd = ::open(native.constData(), O_WRONLY | O_CLOEXEC);
        for (qint64 done = 0; fd >= 0 && done < bytes.size();)
        {
            const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
            if (n <= 0)
                break;
            done += n;
        }
        if (fd >= 0)
            ::close(fd);
    });
    const auto result = reader();
    const int release = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (release >= 0)
        ::close(release);
    writer.join();
    std::signal(SIGPIPE, former);
    return result;
}

// The first data log's samples in the open document changed in place, as another program would
// change them: the script flips a bit of them.
const char* const CHANGE_THE_SAMPLES = R"(set f [open {%1} rb+]
set bytes [read $f]
set at [expr {[string first VTLP $bytes] + 41}]
seek $f $at
puts -nonewline $f [binary format c [expr {[scan [string index $bytes $at] %c] ^ 0x10}]]
close $f
)";
} // namespace

// The samples a save needs can no longer be read from the file the document was opened from:
// the window asks whether to save without them, and a batch run answered OK unseen, exited 0
// and printed nothing, the log gone from the file. Now nobody answers for the user: the save
// fails with the reason, and nothing is written.
TEST(vantrel_batch, a_save_that_would_leave_out_logs_saves_nothing_and_says_why)
{
    QTemporaryDir dir;
    const QString document = sedq_copy_demo_project(dir);
    const QString script = write_text(dir.filePath("change.tcl"), QString(CHANGE_THE_SAMPLES).arg(document).toUtf8());
    const QString saved = dir.filePath("saved.vtl");
    const vantrel_run_result run =
        vantrel_run(vantrel_binary("vantrel"), {"--script", script, "--save-as", saved, document});
    EXPECT_EQ(run.code, 1);
    EXPECT_TRUE(run.errors.contains("Cannot save the document to " + saved + ":\nThe samples of the following data logs"))
        << run.errors.toStdString();
    EXPECT_TRUE(run.errors.contains("Instance \"counter_probe\", log \"counter_run\": " + document +
                                    ": logs/0.bin: the file has changed since it was opened"))
        << run.errors.toStdString();
    EXPECT_FALSE(QFile::exists(saved));
}

// --save-as onto a FIFO replaced it with the document; a name of bytes the local encoding cannot
// carry saved under another name. Each is refused with the reason, and nothing is written.
TEST(vantrel_batch, save_as_where_no_file_belongs_writes_nothing_and_says_why)
{
    QTemporaryDir dir;
    const QString document = sedq_copy_demo_project(dir);
    const std::string fifo = QFile::encodeName(dir.filePath("fifo.vtl")).toStdString();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::pair<std::string, const char*> targets[] = {
        {fifo, "not a regular file (a FIFO)"},
        {QFile::encodeName(dir.filePath("bad")).toStdString() + "\xff.vtl",
         "the file name is not valid in the local character encoding"}};
    for (const auto& [target, reason] : targets)
    {
        const vantrel_run_result run =
            vantrel_run_bytes(vantrel_binary("vantrel"), {"--save-as", target, document.toStdString()});
        EXPECT_EQ(run.code, 1);
        EXPECT_TRUE(run.errors.contains("Cannot save the document to ")) << run.errors.toStdString();
        EXPECT_TRUE(run.errors.contains(reason)) << run.errors.toStdString();
    }
    struct stat st;
    EXPECT_TRUE(::stat(fifo.c_str(), &st) == 0 && S_ISFIFO(st.st_mode));
    EXPECT_TRUE(QDir(dir.path()).entryList({"bad*"}, QDir::Files).isEmpty());
}

// The zero device as a script was read whole until Tcl aborted; a missing script was reported as
// Tcl's own index file missing. A script is read up to its limit, from a file or a FIFO another
// program feeds, and one past it is refused with the reason before anything of it runs.
TEST(vantrel_batch, a_script_is_read_up_to_its_limit_and_a_missing_one_is_named)
{
    QTemporaryDir dir;
    const QString document = sedq_copy_demo_project(dir);
    const QString saved = dir.filePath("saved.vtl");
    const auto run_script = [&](const QString& script) {
        QFile::remove(saved);
        return vantrel_run(vantrel_binary("vantrel"), {"--script", script, "--save-as", saved, document});
    };
    const QByteArray marker = "set f [open {" + QFile::encodeName(dir.filePath("ran")) + "} w]; close $f\n";
    const QByteArray too_long = "#" + QByteArray(int(VANTREL_MAX_SCRIPT_SIZE), 'x') + "\n" + marker;
    const QString too_large =
        QString("it holds more than %1 bytes, the most a script may hold").arg(VANTREL_MAX_SCRIPT_SIZE);
    const struct
    {
        const char* label;
        std::function<vantrel_run_result()> run;
        const char* script;
        QString refusal; // empty: the script runs
    } rows[] = {
        {"missing", [&] { return run_script(dir.filePath("missing.tcl")); }, "missing.tcl", "it does not exist"},
        {"at the limit", [&] { return run_script(sparse_comment(dir.filePath("full.tcl"), VANTREL_MAX_SCRIPT_SIZE)); },
         "full.tcl", ""},
        {"one byte past it",
         [&] { return run_script(sparse_comment(dir.filePath("over.tcl"), VANTREL_MAX_SCRIPT_SIZE + 1)); },
         "over.tcl", too_large},
        {"a FIFO fed a short script",
         [&] { return fed_through_fifo(dir.filePath("short.tcl"), marker, [&] { return run_script(dir.filePath("short.tcl")); }); },
         "short.tcl", ""},
        {"a FIFO fed more than the limit",
         [&] { return fed_through_fifo(dir.filePath("long.tcl"), too_long, [&] { return run_script(dir.filePath("long.tcl")); }); },
         "long.tcl", too_large},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.label);
        QFile::remove(dir.filePath("ran"));
        const vantrel_run_result run = row.run();
        const QString script = dir.filePath(row.script);
        EXPECT_EQ(run.code, row.refusal.isEmpty() ? 0 : 1) << run.errors.toStdString();
        EXPECT_EQ(QFile::exists(saved), row.refusal.isEmpty()) << "a script that did not run saves nothing";
        EXPECT_TRUE(row.refusal.isEmpty() ||
                    run.errors.contains("vantrel: Tcl script " + script + ": " + row.refusal + "\n"))
            << run.errors.toStdString();
        EXPECT_FALSE(run.errors.contains("tclIndex")) << run.errors.toStdString();
        EXPECT_EQ(QFile::exists(dir.filePath("ran")), QByteArray(row.script) == "short.tcl");
    }
}
