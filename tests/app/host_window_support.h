#pragma once
// What the tests of the host program in-process share: starting the host on a copy of the demo,
// finding the editor window it built, and handling events as the window's own loop would.

#include "host/app/vantrel_host.h"
#include "host/app/vantrel_options.h"
#include "sedq/frame/sedq_frame_wnd.h"
#include "sedq/frame/sedq_instance_widget.h"
#include "support/demo_files.h"

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

namespace
{
// The host builds its own main window (child mode) before the library builds the editor.
inline QUI_FRAME_WND* editor_frame(bool main_window)
{
    const QList<QUI_FRAME_WND*> frames = QUI_FRAME_MGR::get_frame_mgr()->get_opened_frame_wnd_list();
    const int expected = main_window ? 1 : 2;
    return frames.size() == expected ? frames.last() : nullptr;
}

inline SEDQ_FRAME_WND* editor(bool main_window = false)
{
    return qobject_cast<SEDQ_FRAME_WND*>(editor_frame(main_window));
}

inline void flush_deletions()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

inline VANTREL_OPTIONS host_options(bool main_window)
{
    VANTREL_OPTIONS options;
    options.library = SEDQ_LIBRARY_PATH;
    options.main_window = main_window;
    options.batch = true;
    options.size = QSize(640, 480);
    return options;
}

inline void settle()
{
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

// Starts the host and handles the events its start posted.
inline ::testing::AssertionResult started(VANTREL_HOST* host)
{
    QString error;
    if (!host->start(&error))
        return ::testing::AssertionFailure() << error.toStdString();
    settle();
    return ::testing::AssertionSuccess();
}

// A copy of the demo document that a test may change and save.
inline QString demo_copy(const QTemporaryDir& dir)
{
    const QString copy = dir.filePath("demo.vtl");
    QFile::copy(sedq_demo_file("demo.vtl"), copy);
    return copy;
}

// A click on `widget` at `point` through its window, as the mouse makes it (the click gives the
// focus); the window is active, as it is under the user's pointer.
inline void click(QWidget* widget, QPoint point, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QWidget* window = widget->window();
    QApplication::setActiveWindow(window);
    settle();
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, modifiers, widget->mapTo(window, point));
    settle();
}

inline QString status_line(QUI_FRAME_WND* frame)
{
    auto* pane = frame->findChild<SEDQ_INSTANCE_WIDGET*>();
    return pane != nullptr ? pane->get_status_line()->text() : QString();
}

// Handles events until the instance manager's status line reads `text`; false after a while.
inline bool wait_for_status(QUI_FRAME_WND* frame, const QString& text)
{
    QElapsedTimer waited;
    waited.start();
    while (status_line(frame) != text && waited.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return status_line(frame) == text;
}

// The host's window on a copy of the demo, at the size the program opens it without --size
// (the size scripts/run opens it at), where the user first meets every pane.
class demo_window_test : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_options = host_options(false);
        m_options.file = document();
        m_options.size = VANTREL_OPTIONS().size;
        m_host = std::make_unique<VANTREL_HOST>(m_options);
        ASSERT_TRUE(started(m_host.get()));
        m_frame = editor();
        ASSERT_NE(m_frame, nullptr);
    }

    void TearDown() override { m_host.reset(); }

    // The document the window opens: a copy of the demo, alone or (overridden) beside its project.
    virtual QString document() { return demo_copy(m_dir); }

    QTemporaryDir m_dir;
    VANTREL_OPTIONS m_options;
    std::unique_ptr<VANTREL_HOST> m_host;
    SEDQ_FRAME_WND* m_frame = nullptr;
};
} // namespace
