// The host application as a user starts it: it loads the analyzer library, opens a document
// in the editor window, runs a Tcl script and writes a picture of the window, headless.
#include "host/sdr/sdr_file_archive_reader.h"
#include "support/demo_files.h"
#include "vantrel_run.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <map>

namespace
{
QString binary(const QString& name)
{
    return vantrel_binary(name);
}

QString demo_document()
{
    return sedq_demo_file("demo.vtl");
}

using run_result = vantrel_run_result;

run_result run(const QString& program, const QStringList& arguments,
               QProcessEnvironment environment = QProcessEnvironment::systemEnvironment(),
               const QString& directory = QString())
{
    return vantrel_run(program, arguments, environment, directory);
}

int distinct_colours(const QImage& image)
{
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 4)
        for (int x = 0; x < image.width(); x += 4)
            colours.insert(image.pixel(x, y));
    return colours.size();
}
} // namespace

TEST(vantrel_app, opens_the_demo_document_and_writes_a_picture_of_the_window)
{
    QTemporaryDir dir;
    const QString picture = dir.filePath("window.png");
    const run_result result =
        run(binary("vantrel"), {"--screenshot", picture, "--size", "1100x700", demo_document()});
    ASSERT_EQ(result.code, 0) << result.errors.toStdString();
    const QImage image(picture);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(1100, 700));
    EXPECT_GT(distinct_colours(image), 8) << "the window is drawn, not blank";
}

TEST(vantrel_app, runs_a_tcl_script_once_the_editor_and_its_package_are_up)
{
    QTemporaryDir dir;
    const QString script = dir.filePath("probe.tcl");
    const QString output = dir.filePath("probe.txt");
    QFile file(script);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(
        QString("set f [open {%1} w]\nputs -nonewline $f [package present ::corvane::sedq]\nclose $f\n")
            .arg(output)
            .toUtf8());
    file.close();
    const run_result result =
        run(binary("vantrel"), {"--script", script, "--screenshot", dir.filePath("w.png"), demo_document()});
    ASSERT_EQ(result.code, 0) << result.errors.toStdString();
    QFile written(output);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), "1.0");
}

TEST(vantrel_app, reports_a_missing_file_and_a_failing_script)
{
    QTemporaryDir dir;
    const run_result missing = run(binary("vantrel"), {"--batch", dir.filePath("absent.vtl")});
    EXPECT_EQ(missing.code, 1);
    EXPECT_TRUE(missing.errors.contains("No such file")) << missing.errors.toStdString();
    const QString script = dir.filePath("bad.tcl");
    QFile file(script);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("no_such_command\n");
    file.close();
    const run_result failed =
        run(binary("vantrel"), {"--script", script, "--screenshot", dir.filePath("w.png"), demo_document()});
    EXPECT_EQ(failed.code, 1);
    EXPECT_TRUE(failed.errors.contains("no_such_command")) << failed.errors.toStdString();
}

// A refused file is reported with the reason the repository gives (file, entry, problem), not
// with "Cannot open" alone.
TEST(vantrel_app, a_refused_file_is_reported_with_its_reason)
{
    QTemporaryDir dir;
    const QString document = dir.filePath("text.vtl");
    QFile file(document);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("some words, not an analyzer file\n");
    file.close();
    const run_result refused = run(binary("vantrel"), {"--screenshot", dir.filePath("w.png"), document});
    EXPECT_EQ(refused.code, 1);
    EXPECT_TRUE(refused.errors.contains("Cannot open " + document + ":\n" + document + ": not a ZIP archive"))
        << refused.errors.toStdString();
}

TEST(vantrel_app, the_demo_tool_writes_a_document_the_editor_opens)
{
    QTemporaryDir dir;
    const QString document = dir.filePath("fresh.vtl");
    ASSERT_EQ(run(binary("vantrel_make_demo"), {document}).code, 0);
    const run_result result =
        run(binary("vantrel"), {"--main-window", "--screenshot", dir.filePath("w.png"), document});
    EXPECT_EQ(result.code, 0) << result.errors.toStdString();
}

// Asking for the usage, or giving a wrong option, needs no window system: a machine without a
// display still answers. The usage lists every option the README describes.
TEST(vantrel_app, prints_its_usage_and_refuses_bad_options_without_a_display)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("DISPLAY");
    environment.remove("WAYLAND_DISPLAY");
    environment.insert("QT_QPA_PLATFORM", "xcb");
    const run_result help = run(binary("vantrel"), {"--help"}, environment);
    EXPECT_EQ(help.code, 0) << help.errors.toStdString();
    EXPECT_TRUE(help.output.contains("vantrel")) << "the usage names the program";
    for (const char* option : {"-s, --script", "-p, --screenshot", "--library", "--main-window", "--batch",
                               "--size", "--help-all", "-h, --help"})
        EXPECT_TRUE(help.output.contains(option)) << option << " in\n" << help.output.toStdString();
    const run_result wrong = run(binary("vantrel"), {"--no-such-option"}, environment);
    EXPECT_EQ(wrong.code, 2);
    EXPECT_TRUE(wrong.errors.contains("no-such-option")) << wrong.errors.toStdString();
}

// The demo tool answers --help with its usage, and refuses an option it does not know (or a
// missing file name) with its usage instead of writing a document named after it.
TEST(vantrel_app, the_demo_tool_prints_its_usage_and_refuses_what_it_does_not_know)
{
    QTemporaryDir dir;
    struct row
    {
        QStringList arguments;
        int code;
        const char* said; // in the output for --help, in the errors otherwise
    };
    const row rows[] = {
        {{"--help"}, 0, "usage: vantrel_make_demo"},
        {{"-h"}, 0, "--compiled <file.sof>"},
        {{"--frobnicate", "x.vtl"}, 2, "unknown option --frobnicate"},
        {{}, 2, "no output document given"},
        {{"a.vtl", "b.json", "c"}, 2, "too many file names"},
        {{"x.vtl", "--compiled"}, 2, "--compiled needs a file name"},
    };
    QProcess process;
    for (const row& r : rows)
    {
        process.setWorkingDirectory(dir.path());
        process.start(binary("vantrel_make_demo"), r.arguments);
        ASSERT_TRUE(process.waitForFinished(60000));
        const QString output = QString::fromLocal8Bit(process.readAllStandardOutput());
        const QString errors = QString::fromLocal8Bit(process.readAllStandardError());
        const QStringList arguments = r.arguments;
        EXPECT_EQ(process.exitCode(), r.code) << arguments.join(' ').toStdString();
        EXPECT_TRUE((r.code == 0 ? output : errors).contains(r.said)) << (output + errors).toStdString();
        if (r.code != 0)
        {
            EXPECT_TRUE(errors.contains("usage: vantrel_make_demo")) << errors.toStdString();
        }
    }
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty()) << "nothing is written on a refusal";
}

// Every entry of an analyzer file, by name; empty when it does not open.
std::map<QString, QByteArray> entries(const QString& path)
{
    constexpr qint64 MOST = 1 << 24;
    std::map<QString, QByteArray> read;
    SDR_FILE_ARCHIVE_READER archive(path);
    SDR_FILE_ERROR error;
    if (!archive.open(&error))
        return read;
    for (const QString& name : archive.entry_names())
        if (!archive.read_entry(name, MOST, &read[name], &error))
            read.erase(name);
    return read;
}

// The bundled demo is what the README's command writes: the document, entry by entry (the
// archive's dates aside), and the programming file that makes it compiled.
TEST(vantrel_app, the_bundled_demo_and_its_programming_file_are_what_the_tool_writes)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkpath("examples/output"));
    const run_result made = run(binary("vantrel_make_demo"),
                                {"--compiled", "examples/output/demo_top.sof", "examples/demo.vtl"},
                                QProcessEnvironment::systemEnvironment(), dir.path());
    ASSERT_EQ(made.code, 0) << made.errors.toStdString();
    const std::map<QString, QByteArray> written = entries(dir.filePath("examples/demo.vtl"));
    ASSERT_FALSE(written.empty());
    EXPECT_TRUE(written == entries(sedq_demo_file("demo.vtl"))) << "regenerate examples/demo.vtl with the tool";
    QFile sof(dir.filePath("examples/output/demo_top.sof"));
    QFile bundled(sedq_demo_file("output/demo_top.sof"));
    ASSERT_TRUE(sof.open(QIODevice::ReadOnly));
    ASSERT_TRUE(bundled.open(QIODevice::ReadOnly));
    EXPECT_EQ(sof.readAll(), bundled.readAll());
}

// The README's command in a folder that holds only the design: the programming file the design's
// "compiled" entry names is not there yet, and the tool makes it as told, beside the document.
TEST(vantrel_app, the_demo_tool_makes_the_programming_file_it_is_told_to_make_from_the_design_alone)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QFile::copy(sedq_demo_file("standin_project.json"), dir.filePath("standin_project.json")));
    QProcess tool;
    tool.setWorkingDirectory(dir.path());
    tool.start(binary("vantrel_make_demo"), {"--compiled", "output/demo_top.sof", "d.vtl", "standin_project.json"});
    ASSERT_TRUE(tool.waitForFinished(60000));
    EXPECT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
    QFile written(dir.filePath("output/demo_top.sof"));
    QFile bundled(sedq_demo_file("output/demo_top.sof"));
    ASSERT_TRUE(written.open(QIODevice::ReadOnly)) << "the programming file is made";
    ASSERT_TRUE(bundled.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), bundled.readAll());
    const run_result opened =
        run(binary("vantrel"), {"--main-window", "--screenshot", dir.filePath("w.png"), dir.filePath("d.vtl")});
    EXPECT_EQ(opened.code, 0) << opened.errors.toStdString();
}

// A document away from its project opens, and the user is told which file was looked for.
TEST(vantrel_app, a_document_without_its_project_names_the_file_looked_for)
{
    QTemporaryDir dir;
    const QString document = dir.filePath("demo.vtl");
    ASSERT_TRUE(QFile::copy(demo_document(), document));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("CORVANE_STANDIN_PROJECT");
    const run_result result = run(binary("vantrel"), {"--screenshot", dir.filePath("w.png"), document}, environment);
    EXPECT_EQ(result.code, 0) << result.errors.toStdString();
    EXPECT_TRUE(result.errors.contains("No project for " + document)) << result.errors.toStdString();
    EXPECT_TRUE(result.errors.contains(dir.filePath("standin_project.json"))) << result.errors.toStdString();
    EXPECT_TRUE(result.errors.contains("CORVANE_STANDIN_PROJECT")) << result.errors.toStdString();
}
