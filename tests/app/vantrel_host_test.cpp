// The host side of the application in-process: what its command line accepts, and how it
// copes with the editor window going away under it.
#include "host/app/vantrel_host.h"
#include "host/app/vantrel_options.h"
#include "host/msg.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QMdiSubWindow>
#include <QPointer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace
{
struct parsed
{
    bool ok = false;
    bool help = false;
    QString message;
    VANTREL_OPTIONS options;
};

parsed parse(const QStringList& arguments)
{
    parsed result;
    result.ok = vantrel_parse_options(QStringList{"vantrel"} + arguments, &result.options, &result.message,
                                      &result.help);
    return result;
}

TEST(vantrel_options, window_size_is_bounded_so_the_picture_fits_in_memory)
{
    const parsed usual = parse({"--size", "1100x700"});
    ASSERT_TRUE(usual.ok) << usual.message.toStdString();
    EXPECT_EQ(usual.options.size, QSize(1100, 700));
    for (const char* size : {"99999x99999", "1280x99999", "00x00", "10x820", "1280x820x3", "-5x700"})
    {
        const parsed result = parse({"--size", size});
        EXPECT_FALSE(result.ok) << size;
        EXPECT_TRUE(result.message.contains("WIDTHxHEIGHT")) << result.message.toStdString();
    }
}

TEST(vantrel_options, an_empty_file_name_is_refused_rather_than_ignored)
{
    for (const char* option : {"--screenshot", "--script", "--library"})
    {
        const parsed result = parse({option, ""});
        EXPECT_FALSE(result.ok) << option;
        EXPECT_TRUE(result.message.contains(QString(option).mid(2))) << result.message.toStdString();
    }
    const parsed picture = parse({"--screenshot", "w.png"});
    ASSERT_TRUE(picture.ok);
    EXPECT_TRUE(picture.options.batch) << "a picture run never waits for a person";
}

// The host builds its own main window (child mode) before the library builds the editor.
QUI_FRAME_WND* editor_frame(bool main_window)
{
    const QList<QUI_FRAME_WND*> frames = QUI_FRAME_MGR::get_frame_mgr()->get_opened_frame_wnd_list();
    const int expected = main_window ? 1 : 2;
    return frames.size() == expected ? frames.last() : nullptr;
}

void flush_deletions()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

VANTREL_OPTIONS host_options(bool main_window)
{
    VANTREL_OPTIONS options;
    options.library = SEDQ_LIBRARY_PATH;
    options.main_window = main_window;
    options.batch = true;
    options.size = QSize(640, 480);
    return options;
}

// The MDI area deletes a closed sub-window together with the editor in it; the host then
// goes without deleting the editor a second time.
TEST(vantrel_host, closing_the_editor_sub_window_leaves_nothing_dangling)
{
    {
        VANTREL_HOST host(host_options(false));
        QString error;
        ASSERT_TRUE(host.start(&error)) << error.toStdString();
        QPointer<QUI_FRAME_WND> frame = editor_frame(false);
        ASSERT_FALSE(frame.isNull());
        auto* sub_window = qobject_cast<QMdiSubWindow*>(frame->parentWidget());
        ASSERT_NE(sub_window, nullptr);
        sub_window->close();
        flush_deletions();
        EXPECT_TRUE(frame.isNull()) << "the closed sub-window takes the editor with it";
    }
    flush_deletions();
    EXPECT_TRUE(QUI_FRAME_MGR::get_frame_mgr()->get_opened_frame_wnd_list().isEmpty());
}

// Without its window the picture cannot be taken: a failed run, not a crash.
TEST(vantrel_host, a_picture_of_an_editor_that_was_closed_is_a_failure)
{
    QTemporaryDir dir;
    VANTREL_OPTIONS options = host_options(true);
    options.screenshot = dir.filePath("w.png");
    VANTREL_HOST host(options);
    QString error;
    ASSERT_TRUE(host.start(&error)) << error.toStdString();
    QUI_FRAME_WND* frame = editor_frame(true);
    ASSERT_NE(frame, nullptr);
    frame->setAttribute(Qt::WA_DeleteOnClose);
    frame->close();
    flush_deletions();
    ASSERT_TRUE(QUI_FRAME_MGR::get_frame_mgr()->get_opened_frame_wnd_list().isEmpty());
    ASSERT_TRUE(QMetaObject::invokeMethod(&host, "on_settled"));
    EXPECT_EQ(host.exit_code(), 1);
    EXPECT_FALSE(QFileInfo::exists(options.screenshot));
}
// The window is up and the picture written, but the editor broke a precondition on the way:
// the run must not report success.
TEST(vantrel_host, an_internal_error_during_the_run_fails_it)
{
    VANTREL_HOST host(host_options(true));
    QString error;
    ASSERT_TRUE(host.start(&error)) << error.toStdString();
    EXPECT_EQ(host.exit_code(), 0);
    MSG_INTERNAL_ERROR::report("frame != NULL", "SEDQ", __FILE__, __LINE__);
    EXPECT_EQ(host.exit_code(), 1);
}
// A library whose factory answers null: the start fails with a reason, in both modes.
TEST(vantrel_host, a_factory_that_builds_no_window_fails_the_start)
{
    for (bool main_window : {true, false})
    {
        VANTREL_OPTIONS options = host_options(main_window);
        options.library = NULL_FACTORY_LIBRARY_PATH;
        VANTREL_HOST host(options);
        QString error;
        EXPECT_FALSE(host.start(&error)) << main_window;
        EXPECT_TRUE(error.contains("did not create an editor window")) << error.toStdString();
    }
}
} // namespace
