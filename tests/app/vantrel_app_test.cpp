// The host application as a user starts it: it loads the analyzer library, opens a document
// in the editor window, runs a Tcl script and writes a picture of the window, headless.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace
{
QString binary(const QString& name)
{
    const QByteArray dir = qgetenv("SEDQ_BINARY_DIR");
    return QDir(dir.isEmpty() ? QString(SEDQ_BINARY_DIR) : QString::fromLocal8Bit(dir))
        .filePath("bin/" + name);
}

QString demo_document()
{
    return QDir(QString(SEDQ_TEST_DATA_DIR)).filePath("../examples/demo.vtl");
}

struct run_result
{
    int code = -1;
    QString output;
    QString errors;
};

// Runs headless (offscreen) unless `environment` says otherwise.
run_result run(const QString& program, const QStringList& arguments,
               QProcessEnvironment environment = QProcessEnvironment::systemEnvironment())
{
    QProcess process;
    if (!environment.contains("QT_QPA_PLATFORM"))
        environment.insert("QT_QPA_PLATFORM", "offscreen");
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    const bool finished = process.waitForFinished(120000);
    run_result result;
    result.code = finished && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.output = QString::fromLocal8Bit(process.readAllStandardOutput());
    result.errors = QString::fromLocal8Bit(process.readAllStandardError());
    return result;
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
// display still answers.
TEST(vantrel_app, prints_its_usage_and_refuses_bad_options_without_a_display)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("DISPLAY");
    environment.remove("WAYLAND_DISPLAY");
    environment.insert("QT_QPA_PLATFORM", "xcb");
    const run_result help = run(binary("vantrel"), {"--help"}, environment);
    EXPECT_EQ(help.code, 0) << help.errors.toStdString();
    EXPECT_TRUE(help.output.contains("--screenshot")) << help.output.toStdString();
    EXPECT_TRUE(help.output.contains("vantrel")) << "the usage names the program";
    const run_result wrong = run(binary("vantrel"), {"--no-such-option"}, environment);
    EXPECT_EQ(wrong.code, 2);
    EXPECT_TRUE(wrong.errors.contains("no-such-option")) << wrong.errors.toStdString();
}
