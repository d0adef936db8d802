// A newcomer's steps in the host's default window, with the keyboard and the menus: closing the
// document, the host's entries, compiling a new document, the JTAG pane of a new document,
// opening a fresh copy of the demo late in a session, and what printing and the list file say.
#include "app/host_window_support.h"
#include "host/standin/qui_control.h"
#include "sedq/frame/sedq_layout_widget.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/model/sedq_types.h"
#include "sedq/view/sedq_grid.h"
#include "sedq/view/sedq_view.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>

#include <set>

namespace
{
QMainWindow* host_window(SEDQ_FRAME_WND* frame)
{
    return qobject_cast<QMainWindow*>(frame->window());
}

QString status_bar(SEDQ_FRAME_WND* frame)
{
    return host_window(frame)->statusBar()->currentMessage();
}

// Opens a menu of the window's menu bar with its Alt key, moves down `steps` entries from the
// first and presses Return, as the keyboard does it.
void choose_with_keys(QMainWindow* window, Qt::Key menu_key, int steps)
{
    QApplication::setActiveWindow(window);
    QTest::keyClick(window, menu_key, Qt::AltModifier);
    settle();
    QWidget* popup = QApplication::activePopupWidget();
    ASSERT_NE(popup, nullptr) << "the menu opened";
    for (int i = 0; i < steps; ++i)
        QTest::keyClick(popup, Qt::Key_Down);
    QTest::keyClick(popup, Qt::Key_Return);
    settle();
}

// Every entry below the window's menu bar, submenus included, each menu refreshed as it opens.
QList<QAction*> menu_entries(QMainWindow* window)
{
    QList<QAction*> entries;
    QList<QMenu*> menus;
    for (QAction* top : window->menuBar()->actions())
        if (top->menu() != nullptr && top->isVisible())
            menus << top->menu();
    for (int i = 0; i < menus.size(); ++i)
    {
        Q_EMIT menus[i]->aboutToShow();
        for (QAction* entry : menus[i]->actions())
        {
            if (entry->isSeparator() || !entry->isVisible())
                continue;
            entries << entry;
            if (entry->menu() != nullptr && !menus.contains(entry->menu()))
                menus << entry->menu();
        }
    }
    return entries;
}

QAction* host_entry(QMainWindow* window, const QString& name)
{
    for (QAction* entry : menu_entries(window))
        if (entry->objectName() == name)
            return entry;
    return nullptr;
}

// The host's entries carry the names of its commands; the analyzer's carry numbers.
bool is_host_entry(const QAction* entry)
{
    static const QRegularExpression numbered(QStringLiteral("^AFCQ_\\d+$"));
    return entry->objectName().startsWith("AFCQ_") && !numbered.match(entry->objectName()).hasMatch();
}

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The host's default window on a copy of the demo project, as scripts/run opens it; the host
// goes back to the folder it started in when it ends.
class window_steps_test : public demo_window_test
{
protected:
    QString document() override { return sedq_copy_demo_project(m_dir); }

    QMainWindow* window() { return host_window(m_frame); }

    // A key on the node table, as the user presses it there.
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier)
    {
        QWidget* view = m_frame->get_layout_widget()->get_view();
        click(view, QPoint(view->width() / 2, view->height() - 4));
        QTest::keyClick(view, key, modifiers);
        settle();
    }

    std::set<QString> enabled_host_entries()
    {
        std::set<QString> enabled;
        for (QAction* entry : menu_entries(window()))
            if (is_host_entry(entry) && entry->isEnabled())
                enabled.insert(entry->objectName());
        return enabled;
    }

    void show_data_page()
    {
        QTabWidget* pages = m_frame->get_layout_widget()->get_data_setup_tab_widget(SEDQ_CURRENT);
        click(pages->tabBar(), pages->tabBar()->tabRect(0).center());
    }

    // An edit as the user makes it: a click on the Data Enable box of the first bus member,
    // which the next compile builds into the design.
    void edit_document()
    {
        SEDQ_VIEW* view = m_frame->get_layout_widget()->get_view();
        QRect box;
        ASSERT_TRUE(view->get_item_rect(SEDQ_VIEW::HEADER_ROWS + 1, SEDQ_COLUMN_DATA_ENABLE, &box));
        click(view, box.center());
        ASSERT_TRUE(m_frame->isWindowModified());
    }
};

// File > Close, chosen with Alt+F, Down, Down, Return, closes the document window: a modified
// document is asked about first (Cancel keeps it), a saved one closes at once.
TEST_F(window_steps_test, file_close_from_the_keyboard_asks_about_changes_and_closes_the_editor)
{
    QPointer<SEDQ_FRAME_WND> frame = m_frame;
    QMainWindow* main = window();
    edit_document();
    standin::qui::push_dialog_answer("Do you want to save the changes to demo.vtl", QMessageBox::Cancel);
    choose_with_keys(main, Qt::Key_F, 2);
    flush_deletions();
    ASSERT_FALSE(frame.isNull()) << "Cancel keeps the window";
    EXPECT_TRUE(frame->isWindowModified());
    EXPECT_EQ(standin::qui::pending_dialog_answers(), 0) << "the question was asked";
    standin::qui::push_dialog_answer("Do you want to save the changes to demo.vtl", QMessageBox::Save);
    choose_with_keys(main, Qt::Key_F, 2);
    flush_deletions();
    EXPECT_TRUE(frame.isNull()) << "saved, the document window closed";
    EXPECT_TRUE(main->findChild<QMdiArea*>()->subWindowList().isEmpty());
    EXPECT_FALSE(main->statusBar()->currentMessage().startsWith("Error"));
}

// An entry the user can choose does what it says; the host's tools the stand-in does not have
// are greyed. The named set is the host's entries that work; each of those below is checked for
// what it does (the document commands, Messages, compiling and detaching by their own tests).
TEST_F(window_steps_test, every_host_entry_that_can_be_chosen_does_something)
{
    const std::set<QString> working = {
        "AFCQ_NEW_ACTION",        "AFCQ_OPEN_ACTION",          "AFCQ_CLOSE_ACTION",
        "AFCQ_SAVE_ACTION",       "AFCQ_SAVE_AS_ACTION",       "AFCQ_PAGE_SETUP_ACTION",
        "AFCQ_PRINT_PREVIEW_ACTION", "AFCQ_PRINT_ACTION",      "AFCQ_EXIT_ACTION",
        "AFCQ_MSWQ_ACTION",       "AFCQ_FULL_SCREEN_ACTION",   "AFCQ_START_COMPILATION_ACTION",
        "AFCQ_DETACH_ACTION",     "AFCQ_CASCADE_ACTION",       "AFCQ_TILE_ACTION",
        "AFCQ_TCL_SCRIPTS_ACTION", "AFCQ_ABOUT_ACTION"};
    show_data_page(); // Print is offered with the data
    EXPECT_EQ(enabled_host_entries(), working);
    // The analyzer as its own application keeps fewer host entries; the same holds for them.
    const std::set<QString> working_alone = {
        "AFCQ_OPEN_ACTION",          "AFCQ_CLOSE_ACTION", "AFCQ_SAVE_ACTION",        "AFCQ_SAVE_AS_ACTION",
        "AFCQ_PAGE_SETUP_ACTION",    "AFCQ_PRINT_PREVIEW_ACTION", "AFCQ_PRINT_ACTION", "AFCQ_EXIT_ACTION",
        "AFCQ_MSWQ_ACTION",          "AFCQ_FULL_SCREEN_ACTION",   "AFCQ_TCL_SCRIPTS_ACTION", "AFCQ_ABOUT_ACTION"};
    m_host.reset();
    VANTREL_OPTIONS options = host_options(true);
    options.file = sedq_copy_demo_project(m_dir);
    m_host = std::make_unique<VANTREL_HOST>(options);
    ASSERT_TRUE(started(m_host.get()));
    m_frame = editor(true);
    ASSERT_NE(m_frame, nullptr);
    show_data_page();
    EXPECT_EQ(enabled_host_entries(), working_alone);
}

TEST_F(window_steps_test, page_setup_print_preview_full_screen_arranging_tcl_and_about_do_what_they_say)
{
    QMainWindow* main = window();
    show_data_page();
    int previewed = 0;
    // Runs in the preview's own loop, before the host's answer closes it.
    QMetaObject::invokeMethod(
        qApp,
        [&previewed]
        {
            for (QWidget* top : QApplication::topLevelWidgets())
                if (auto* preview = top->findChild<QPrintPreviewWidget*>())
                    previewed = preview->pageCount();
        },
        Qt::QueuedConnection);
    host_entry(main, "AFCQ_PRINT_PREVIEW_ACTION")->trigger();
    EXPECT_GT(previewed, 0) << "the preview shows the printed pages";
    standin::qui::push_dialog_answer("", QDialog::Accepted);
    host_entry(main, "AFCQ_PAGE_SETUP_ACTION")->trigger();
    EXPECT_EQ(standin::qui::pending_dialog_answers(), 0) << "Page Setup shows its dialog";
    standin::qui::push_dialog_answer("About Corvane", QMessageBox::Ok);
    host_entry(main, "AFCQ_ABOUT_ACTION")->trigger();
    EXPECT_EQ(standin::qui::pending_dialog_answers(), 0) << "About shows its box";
    host_entry(main, "AFCQ_FULL_SCREEN_ACTION")->trigger();
    EXPECT_TRUE(main->isFullScreen());
    host_entry(main, "AFCQ_FULL_SCREEN_ACTION")->trigger();
    EXPECT_FALSE(main->isFullScreen());
    auto* sub = qobject_cast<QMdiSubWindow*>(m_frame->parentWidget());
    sub->showNormal();
    sub->setGeometry(40, 30, 200, 150);
    host_entry(main, "AFCQ_TILE_ACTION")->trigger();
    EXPECT_EQ(sub->geometry(), main->findChild<QMdiArea*>()->viewport()->rect()) << "one window tiles the area";
    QFile script(m_dir.filePath("steps.tcl"));
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write("set ::window_steps_ran 1\n");
    script.close();
    standin::qui::push_file_choice(script.fileName());
    host_entry(main, "AFCQ_TCL_SCRIPTS_ACTION")->trigger();
    settle();
    EXPECT_EQ(status_bar(m_frame), "Info: Tcl script " + script.fileName() + " ran");
}

// Start Compilation on a document that never had a file asks for its name, as Save does; a name
// refused leaves nothing written and says why, a name given saves the document and compiles it.
TEST_F(window_steps_test, start_compilation_of_a_new_document_asks_for_its_name_first)
{
    press(Qt::Key_N);
    ASSERT_TRUE(m_frame->windowTitle().startsWith("Untitled"));
    const QString sof = m_dir.filePath("output/demo_top.sof");
    const QByteArray shipped = contents(sof);
    QAction* compile = host_entry(window(), "AFCQ_START_COMPILATION_ACTION");
    ASSERT_NE(compile, nullptr);
    compile->trigger();
    settle();
    EXPECT_EQ(status_bar(m_frame),
              "Error: Compilation not started: the document has not been saved; save it under a name to compile it");
    EXPECT_EQ(contents(sof), shipped) << "nothing was compiled";
    const QString named = m_dir.filePath("mine.vtl");
    standin::qui::push_file_choice(named);
    compile->trigger();
    settle();
    EXPECT_TRUE(QFileInfo::exists(named)) << "the document was saved under the name given";
    EXPECT_TRUE(m_frame->windowTitle().startsWith("mine.vtl"));
    EXPECT_NE(contents(sof), shipped) << "and compiled";
}

// A new document has no cable, device or programming file: the JTAG pane shows none, and the
// cable the user then picks is the document's, with the first device of its chain.
TEST_F(window_steps_test, the_jtag_pane_of_a_new_document_shows_what_the_document_holds)
{
    auto* hardware = m_frame->findChild<QComboBox*>("jtag_hardware");
    auto* device = m_frame->findChild<QComboBox*>("jtag_device");
    auto* file = m_frame->findChild<QLineEdit*>("jtag_sof_file");
    ASSERT_TRUE(hardware && device && file);
    ASSERT_EQ(hardware->currentText(), "SimCable [SIM-0]");
    press(Qt::Key_N);
    EXPECT_EQ(hardware->currentIndex(), -1);
    EXPECT_EQ(device->currentIndex(), -1);
    EXPECT_EQ(file->text(), "");
    QTest::keyClick(hardware, Qt::Key_Down);
    settle();
    QString chosen;
    m_frame->get_tx_manager()->get_jtag_hardware(&chosen);
    EXPECT_EQ(chosen, "SimCable [SIM-0]");
    m_frame->get_tx_manager()->get_jtag_device(&chosen);
    EXPECT_EQ(chosen, "@1: SIMDEV-A");
    EXPECT_EQ(device->currentText(), "@1: SIMDEV-A");
}

// Late in a session, with the first copy's design edited and compiled, a fresh copy of the demo
// from another folder opens as a fresh host opens it: unmodified, in its own project, asking
// for the device to be programmed, and its Program button makes it ready.
TEST_F(window_steps_test, a_fresh_copy_opened_late_in_a_session_opens_as_in_a_fresh_host)
{
    edit_document();
    host_entry(window(), "AFCQ_START_COMPILATION_ACTION")->trigger();
    settle();
    ASSERT_TRUE(wait_for_status(m_frame, SEDQ_INSTANCE_WIDGET::SEDQ_PROGRAM_DEVICE_STR));
    m_frame->findChild<QPushButton*>("jtag_program")->click();
    ASSERT_TRUE(wait_for_status(m_frame, SEDQ_INSTANCE_WIDGET::SEDQ_READY_TO_ACQUIRE_STR));
    QTemporaryDir second;
    const QString fresh = sedq_copy_demo_project(second);
    standin::qui::push_file_choice(fresh);
    standin::qui::push_dialog_answer("Do you want to save the changes", QMessageBox::Discard);
    press(Qt::Key_O);
    ASSERT_EQ(m_frame->get_file_path(), FIO_PATH(fresh.toStdString()));
    EXPECT_FALSE(m_frame->isWindowModified()) << "the fresh copy is unmodified";
    EXPECT_TRUE(wait_for_status(m_frame, SEDQ_INSTANCE_WIDGET::SEDQ_PROGRAM_DEVICE_STR))
        << status_line(m_frame).toStdString();
    EXPECT_EQ(QDir::current().canonicalPath(), QDir(second.path()).canonicalPath()) << "in its own project";
    m_frame->findChild<QPushButton*>("jtag_program")->click();
    EXPECT_TRUE(wait_for_status(m_frame, SEDQ_INSTANCE_WIDGET::SEDQ_READY_TO_ACQUIRE_STR))
        << status_line(m_frame).toStdString();
}

// Print and Create List File say what they wrote: the status bar names the printed file, and the
// list file is shown in the host's text viewer and named in the status bar.
TEST_F(window_steps_test, print_and_the_list_file_say_what_they_wrote)
{
    show_data_page();
    press(Qt::Key_P);
    const QString pdf = m_frame->get_printer()->outputFileName();
    EXPECT_GT(QFileInfo(pdf).size(), 0);
    EXPECT_EQ(status_bar(m_frame), "Info: Printed to " + pdf);
    QAction* list_file = host_entry(window(), QStringLiteral("AFCQ_%1").arg(AFCQ_SEDQ_CREATE_LIST_FILE_ACTION));
    ASSERT_NE(list_file, nullptr);
    ASSERT_TRUE(list_file->isEnabled());
    list_file->trigger();
    settle();
    const QString written = m_dir.filePath("demo_counter_probe.txt");
    QFile text(written);
    ASSERT_TRUE(text.open(QIODevice::ReadOnly)) << written.toStdString();
    EXPECT_EQ(status_bar(m_frame), "Info: Opened " + written);
    QPlainTextEdit* viewer = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top->objectName() == "QUI_TEXT_VIEWER" && top->isVisible())
            viewer = qobject_cast<QPlainTextEdit*>(top);
    ASSERT_NE(viewer, nullptr) << "the list is shown";
    EXPECT_EQ(viewer->toPlainText(), QString::fromLocal8Bit(text.readAll()));
    viewer->close();
}
} // namespace
