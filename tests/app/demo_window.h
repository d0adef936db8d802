#pragma once
// The host program's window built in-process, as the program builds it: the options it starts
// with, the editor window inside it, and a fixture that opens a copy of the demo at the
// window's default size, where the user first meets every pane.
#include "host/app/vantrel_host.h"
#include "host/app/vantrel_options.h"
#include "host/qui.h"
#include "sedq/frame/sedq_frame_wnd.h"
#include "support/demo_files.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

namespace demo_window
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

// The host's window on a copy of the demo, at the size the program opens it without --size
// (the size scripts/run opens it at).
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

    // The document the window opens: a copy of the demo, alone or beside its project.
    virtual QString document() { return demo_copy(m_dir); }

    QTemporaryDir m_dir;
    VANTREL_OPTIONS m_options;
    std::unique_ptr<VANTREL_HOST> m_host;
    SEDQ_FRAME_WND* m_frame = nullptr;
};
} // namespace demo_window
