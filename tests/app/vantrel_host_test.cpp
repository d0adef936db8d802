// The host side of the application in-process: what its command line accepts, and how it
// copes with the editor window going away under it.
#include "app/host_window_support.h"
#include "host/msg.h"
#include "host/standin/qui_control.h"
#include "sedq/frame/sedq_frame_wnd.h"
#include "sedq/advanced_trigger/sedq_object.h"
#include "sedq/advanced_trigger/sedq_object_widget.h"
#include "sedq/frame/sedq_instance_tabs.h"
#include "sedq/frame/sedq_instance_widget.h"
#include "sedq/frame/sedq_layout_widget.h"
#include "sedq/frame/sedq_log_widget.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/model/sedq_types.h"
#include "sedq/view/sedq_view.h"
#include "support/demo_files.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QDockWidget>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTreeView>
#include <QWidgetAction>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
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
    for (const char* option : {"--screenshot", "--script", "--save-as", "--library"})
    {
        const parsed result = parse({option, ""});
        EXPECT_FALSE(result.ok) << option;
        EXPECT_TRUE(result.message.contains(QString(option).mid(2))) << result.message.toStdString();
    }
    for (const char* option : {"--screenshot", "--save-as"})
    {
        const parsed ending = parse({option, "out.file"});
        ASSERT_TRUE(ending.ok) << option;
        EXPECT_TRUE(ending.options.batch) << option << ": a run that ends by itself never waits for a person";
    }
}

// The host takes its picture and ends the run from inside the event loop, as in a real run:
// an exit with no loop running would make every later modal loop of the process return at once.
void take_picture_and_end(VANTREL_HOST* host)
{
    QTimer::singleShot(0, host, SLOT(on_settled()));
    QCoreApplication::exec();
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
    take_picture_and_end(&host);
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

QList<QWidget*> shown_bars(QWidget* window)
{
    QList<QWidget*> bars;
    for (QMenuBar* bar : window->findChildren<QMenuBar*>())
        if (bar->isVisible())
            bars << bar;
    return bars;
}

// What the user sees in child mode: one menu bar, on top of the picture the host writes, with
// the editor's menus in it, and toolbars whose every button has a picture.
TEST(vantrel_host, child_mode_shows_one_menu_bar_and_toolbars_with_icons)
{
    QTemporaryDir dir;
    VANTREL_OPTIONS options = host_options(false);
    options.size = QSize(1280, 820);
    options.screenshot = dir.filePath("w.png");
    options.file = demo_copy(dir);
    VANTREL_HOST host(options);
    ASSERT_TRUE(started(&host));
    auto* frame = qobject_cast<SEDQ_FRAME_WND*>(editor_frame(false));
    ASSERT_NE(frame, nullptr);
    QWidget* window = frame->window();
    const QList<QWidget*> bars = shown_bars(window);
    ASSERT_EQ(bars.size(), 1) << "one menu bar";
    auto* bar = static_cast<QMenuBar*>(bars.first());
    EXPECT_TRUE(bar->actions().contains(frame->get_menu_record()->processing_menu->menuAction()))
        << "the editor's menus stand in it";
    take_picture_and_end(&host);
    const QImage picture(options.screenshot);
    ASSERT_EQ(picture.size(), QSize(1280, 820));
    const QImage drawn_bar = bar->grab().toImage().convertToFormat(picture.format());
    EXPECT_EQ(bar->mapTo(window, QPoint(0, 0)), QPoint(0, 0));
    EXPECT_EQ(picture.copy(QRect(QPoint(0, 0), drawn_bar.size())), drawn_bar) << "the picture shows that bar on top";
    int buttons = 0;
    for (QToolBar* toolbar : window->findChildren<QToolBar*>())
        for (QToolButton* button : toolbar->isVisible() ? toolbar->findChildren<QToolButton*>() : QList<QToolButton*>())
            if (button->defaultAction() != nullptr && button->isVisible() && !button->defaultAction()->isSeparator())
            {
                EXPECT_FALSE(button->icon().isNull()) << button->defaultAction()->text().toStdString();
                ++buttons;
            }
    EXPECT_GE(buttons, 20);
}

// The document's modified state shows in the title, and the host asks before it closes.
TEST(vantrel_host, the_host_asks_before_a_modified_document_is_lost)
{
    for (bool main_window : {false, true})
    {
        QTemporaryDir dir;
        VANTREL_OPTIONS options = host_options(main_window);
        options.file = demo_copy(dir);
        VANTREL_HOST host(options);
        ASSERT_TRUE(started(&host));
        auto* frame = qobject_cast<SEDQ_FRAME_WND*>(editor_frame(main_window));
        ASSERT_NE(frame, nullptr);
        EXPECT_TRUE(frame->windowTitle().endsWith("demo.vtl[*]"));
        EXPECT_FALSE(frame->isWindowModified());
        ASSERT_TRUE(frame->get_tx_manager()->add_instance());
        EXPECT_TRUE(frame->isWindowModified()) << "an edit marks the title";
        QWidget* window = frame->window();
        standin::qui::push_dialog_answer("Do you want to save the changes to demo.vtl", QMessageBox::Cancel);
        EXPECT_FALSE(window->close()) << main_window;
        EXPECT_TRUE(window->isVisible());
        EXPECT_TRUE(frame->isWindowModified()) << "Cancel keeps the document as it was";
        standin::qui::push_dialog_answer("Do you want to save the changes to demo.vtl", QMessageBox::Save);
        EXPECT_TRUE(window->close()) << main_window;
        EXPECT_FALSE(frame->isWindowModified()) << "Save wrote the document before the window went";
        EXPECT_EQ(standin::qui::pending_dialog_answers(), 0);
    }
}
} // namespace

namespace
{
// The host works in the document's project folder, so that the programming file the demo names
// relative to it is found; names given to the host keep meaning what they meant where it started,
// and the folder it started in is the current one again when it ends.
TEST(vantrel_host, the_host_works_in_the_project_folder_while_it_runs)
{
    QTemporaryDir project;
    QTemporaryDir start;
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(start.path()));
    const QString copy = sedq_copy_demo_project(project);
    {
        VANTREL_OPTIONS options = host_options(false);
        options.file = QDir(start.path()).relativeFilePath(copy);
        options.screenshot = "w.png";
        VANTREL_HOST host(options);
        ASSERT_TRUE(started(&host));
        EXPECT_EQ(QDir::current().canonicalPath(), QDir(project.path()).canonicalPath());
        auto* frame = qobject_cast<SEDQ_FRAME_WND*>(editor_frame(false));
        ASSERT_NE(frame, nullptr);
        QString sof;
        frame->get_tx_manager()->get_sof_file_name(&sof);
        EXPECT_EQ(sof, "output/demo_top.sof");
        take_picture_and_end(&host);
        EXPECT_EQ(host.exit_code(), 0);
    }
    EXPECT_TRUE(QFileInfo::exists(QDir(start.path()).filePath("w.png"))) << "the picture goes where the host started";
    EXPECT_EQ(QDir::current().canonicalPath(), QDir(start.path()).canonicalPath());
    QDir::setCurrent(previous);
}
} // namespace

namespace
{
// The newcomer's first steps on the demo, in both modes: the shipped demo is compiled, so the
// first instruction is to program the device, which the JTAG pane's Program button does.
TEST(vantrel_host, the_demo_first_asks_for_programming_and_the_program_button_makes_it_ready)
{
    for (bool main_window : {false, true})
    {
        QTemporaryDir dir;
        const QString previous = QDir::currentPath();
        {
            VANTREL_OPTIONS options = host_options(main_window);
            options.file = sedq_copy_demo_project(dir);
            VANTREL_HOST host(options);
            ASSERT_TRUE(started(&host));
            QUI_FRAME_WND* frame = editor_frame(main_window);
            ASSERT_NE(frame, nullptr);
            EXPECT_TRUE(wait_for_status(frame, SEDQ_INSTANCE_WIDGET::SEDQ_PROGRAM_DEVICE_STR))
                << main_window << ": " << status_line(frame).toStdString();
            auto* program = frame->findChild<QPushButton*>("jtag_program");
            ASSERT_NE(program, nullptr);
            ASSERT_TRUE(program->isEnabled());
            program->click();
            EXPECT_TRUE(wait_for_status(frame, SEDQ_INSTANCE_WIDGET::SEDQ_READY_TO_ACQUIRE_STR))
                << main_window << ": " << status_line(frame).toStdString();
            EXPECT_EQ(host.exit_code(), 0);
        }
        QDir::setCurrent(previous);
    }
}

// A posted error or warning is seen without opening a window first: the Messages window comes
// forward and the status bar of the window the user looks at says it. A document away from its
// project is such a warning, naming the file that was looked for.
TEST(vantrel_host, posted_problems_show_in_the_status_bar_and_bring_the_messages_forward)
{
    for (bool main_window : {false, true})
    {
        QTemporaryDir dir;
        VANTREL_OPTIONS options = host_options(main_window);
        options.file = demo_copy(dir);
        VANTREL_HOST host(options);
        ASSERT_TRUE(started(&host));
        auto* window = qobject_cast<QUI_FRAME_WND*>(editor_frame(main_window)->window());
        ASSERT_NE(window, nullptr);
        EXPECT_TRUE(window->is_message_window_shown()) << main_window;
        const QString told = window->statusBar()->currentMessage();
        EXPECT_TRUE(told.startsWith("Warning: No project for " + options.file)) << told.toStdString();
        EXPECT_TRUE(told.contains(dir.filePath("standin_project.json"))) << told.toStdString();

        window->get_message_window()->hide();
        MSG_I note;
        note.fill_args("Nothing to see/ITEST_NOTE");
        note.post();
        settle();
        EXPECT_FALSE(window->is_message_window_shown()) << "information waits in the list";
        MSG_E failure;
        failure.fill_args("Cannot program the device/ETEST_FAILURE");
        failure.post();
        settle();
        EXPECT_TRUE(window->is_message_window_shown()) << main_window;
        EXPECT_EQ(window->statusBar()->currentMessage(), "Error: Cannot program the device");
    }
}
// The host's Relayne entry, which the toolbar's Start Relayne follows, can be pressed when the
// project's device family supports Relayne, and only then.
TEST(vantrel_host, the_relayne_entry_follows_the_project_family)
{
    for (bool supported : {false, true})
    {
        QTemporaryDir dir;
        const QString previous = QDir::currentPath();
        VANTREL_OPTIONS options = host_options(false);
        options.file = sedq_copy_demo_project(dir);
        QFile design(dir.filePath("standin_project.json"));
        ASSERT_TRUE(design.open(QIODevice::ReadWrite));
        const QByteArray text = design.readAll().replace(
            "\"incremental_mode\": 0", QByteArray("\"incremental_mode\": 0, \"relayne_supported\": ") +
                                          (supported ? "true" : "false"));
        design.resize(0);
        design.write(text);
        design.close();
        {
            VANTREL_HOST host(options);
            ASSERT_TRUE(started(&host));
            QUI_FRAME_WND* frame = editor_frame(false);
            ASSERT_NE(frame, nullptr);
            auto* main = qobject_cast<QUI_FRAME_WND*>(frame->window());
            ASSERT_NE(main, nullptr);
            EXPECT_EQ(main->get_menu_record()->processing_menu->rly_action->isEnabled(), supported);
        }
        QDir::setCurrent(previous);
    }
}
} // namespace

namespace
{
// ---- a user's hour in the default window: menus, keys, a closed editor ------------------------

// Opens the menu as the user does (its refresh runs), then its submenus.
void open_menus(const QList<QAction*>& entries, QList<QMenu*>* menus)
{
    for (QAction* entry : entries)
    {
        QMenu* menu = entry->menu();
        if (menu == nullptr || menus->contains(menu))
            continue;
        menus->append(menu);
        menu->popup(QPoint(0, 0));
        menu->hide();
        open_menus(menu->actions(), menus);
    }
}

// The commands of an entry list that read as the host's placeholder, or as nothing.
QStringList unnamed(const QList<QAction*>& entries, const QString& where)
{
    static const QRegularExpression placeholder(QStringLiteral("^Action \\d+$"));
    QStringList found;
    for (QAction* entry : entries)
    {
        if (entry->isSeparator() || qobject_cast<QWidgetAction*>(entry) != nullptr)
            continue;
        const QString text = entry->text().remove('&');
        if (text.isEmpty() || placeholder.match(text).hasMatch())
            found << where + ": \"" + text + "\" (" + entry->objectName() + ")";
    }
    return found;
}

// The menu bar and its menus, the node table's column menus, the canvas's menu, the menus of
// the panes (the entries of their lists) and the toolbars: every entry names its command, and
// every command of the canvas's menu shows its picture.
TEST_F(demo_window_test, every_menu_entry_names_its_command)
{
    SEDQ_FRAME_WND* frame = m_frame;
    auto* window = qobject_cast<QMainWindow*>(frame->window());
    ASSERT_NE(window, nullptr);
    SEDQ_LAYOUT_WIDGET* layout = frame->get_layout_widget();
    QList<QMenu*> menus;
    open_menus(window->menuBar()->actions(), &menus);
    for (int column = 0; column <= SEDQ_COLUMN_WAVEFORM; ++column)
        if (QMenu* menu = layout->get_view()->get_column_menu(column))
            open_menus({menu->menuAction()}, &menus);
    QMenu* canvas = layout->get_object_widget()->get_context_menu();
    ASSERT_NE(canvas, nullptr);
    open_menus({canvas->menuAction()}, &menus);
    QStringList found;
    for (QMenu* menu : menus)
        found << unnamed(menu->actions(), menu->title().isEmpty() ? menu->objectName() : menu->title());
    for (QWidget* pane : window->findChildren<QWidget*>())
        if (pane->contextMenuPolicy() == Qt::ActionsContextMenu || pane->contextMenuPolicy() == Qt::CustomContextMenu)
            found << unnamed(pane->actions(), pane->metaObject()->className());
    for (QToolBar* toolbar : window->findChildren<QToolBar*>())
        if (toolbar->isVisible())
            found << unnamed(toolbar->actions(), toolbar->windowTitle());
    EXPECT_TRUE(found.isEmpty()) << found.join('\n').toStdString();
    EXPECT_GE(menus.size(), 20) << "the walk met the window's menus";
    for (QAction* entry : canvas->actions())
        if (!entry->isSeparator() && entry->menu() == nullptr)
        {
            EXPECT_FALSE(entry->icon().isNull()) << entry->text().toStdString();
        }
}

// The editor's view, clicked on the name of its node `node`.
SEDQ_VIEW* click_node_name(SEDQ_FRAME_WND* frame, int node)
{
    SEDQ_VIEW* view = frame->get_layout_widget()->get_view();
    QRect cell;
    view->get_item_rect(node + SEDQ_VIEW::HEADER_ROWS, SEDQ_COLUMN_NAME, &cell);
    click(view, cell.center());
    return view;
}

int node_count(SEDQ_FRAME_WND* frame)
{
    return frame->get_tx_manager()->get_node_count(SEDQ_CURRENT);
}

// The platform's keys run the host's commands in the default window, where the editor's menus
// stand in the host's menu bar: select all, delete, save, undo, find, print and new.
TEST_F(demo_window_test, the_standard_keys_run_their_commands_in_the_default_window)
{
    SEDQ_FRAME_WND* frame = m_frame;
    SEDQ_VIEW* view = click_node_name(frame, 1);
    ASSERT_TRUE(view->hasFocus());
    const int nodes = node_count(frame);
    ASSERT_GT(nodes, 0);
    QTest::keyClick(view, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(view->get_selection_count(), nodes) << "Ctrl+A selects every node";
    QTest::keyClick(view, Qt::Key_Delete);
    settle();
    EXPECT_EQ(node_count(frame), 0) << "Delete removes the selection";
    ASSERT_TRUE(frame->isWindowModified());
    QFile saved(m_options.file);
    const QByteArray before = saved.open(QIODevice::ReadOnly) ? saved.readAll() : QByteArray();
    saved.close();
    QTest::keyClick(view, Qt::Key_S, Qt::ControlModifier);
    EXPECT_FALSE(frame->isWindowModified()) << "Ctrl+S saves";
    EXPECT_NE(saved.open(QIODevice::ReadOnly) ? saved.readAll() : before, before);
    QTest::keyClick(view, Qt::Key_Z, Qt::ControlModifier);
    settle();
    EXPECT_EQ(node_count(frame), nodes) << "Ctrl+Z undoes the delete";
    QTest::keyClick(view, Qt::Key_F, Qt::ControlModifier);
    settle();
    const std::vector<std::string> dialogs = standin::qui::unanswered_dialogs();
    EXPECT_TRUE(dialogs.size() == 1 && dialogs[0].rfind("Find\n", 0) == 0) << "Ctrl+F opens Find";
    QTabBar* pages = frame->get_layout_widget()->get_data_setup_tab_widget(SEDQ_CURRENT)->tabBar();
    click(pages, pages->tabRect(0).center());
    QTest::keyClick(click_node_name(frame, 1), Qt::Key_P, Qt::ControlModifier);
    EXPECT_GT(QFileInfo(frame->get_printer()->outputFileName()).size(), 0) << "Ctrl+P prints the data";
    standin::qui::push_dialog_answer("Do you want to save the changes", QMessageBox::Discard);
    QTest::keyClick(view, Qt::Key_N, Qt::ControlModifier);
    settle();
    EXPECT_TRUE(frame->windowTitle().startsWith("Untitled")) << "Ctrl+N makes a new document";
    EXPECT_EQ(standin::qui::pending_dialog_answers(), 0) << "after asking about the unsaved undo";
}

// The advanced trigger canvas of the serial instance's second level, shown by clicks on the
// instance's tab and the level's page, as the user reaches it.
SEDQ_OBJECT_WIDGET* show_demo_canvas(SEDQ_FRAME_WND* frame)
{
    SEDQ_LAYOUT_WIDGET* layout = frame->get_layout_widget();
    SEDQ_INSTANCE_TABS* instances = layout->get_instance_tab_widget();
    click(instances->tabBar(), instances->tabRect(1).center());
    QTabWidget* pages = layout->get_data_setup_tab_widget(SEDQ_CURRENT);
    for (int page = 0; page < pages->count(); ++page)
        if (pages->tabText(page).startsWith("Advanced Trigger"))
            click(pages->tabBar(), pages->tabBar()->tabRect(page).center());
    SEDQ_OBJECT_WIDGET* canvas = layout->get_object_widget();
    return canvas->isVisible() && canvas->get_object_list() != nullptr ? canvas : nullptr;
}

// A click on the canvas's object of that name, which selects it and gives the canvas the focus.
SEDQ_OBJECT* click_object(SEDQ_OBJECT_WIDGET* canvas, const QString& name)
{
    for (SEDQ_OBJECT* object : *canvas->get_object_list())
        if (object->get_name() == name && !object->is_hidden())
        {
            QRect box = object->get_rect();
            canvas->zoom_to_client(&box);
            click(canvas, box.center());
            return object;
        }
    return nullptr;
}

int objects_named(SEDQ_OBJECT_WIDGET* canvas, const QString& name)
{
    int count = 0;
    for (SEDQ_OBJECT* object : *canvas->get_object_list())
        count += object->get_name() == name ? 1 : 0;
    return count;
}

// The same keys act on the canvas while it has the focus: its own Copy, Cut, Paste, Undo, Redo
// and Select All, the window's Save, and one Find dialog over its objects.
TEST_F(demo_window_test, the_standard_keys_act_on_the_canvas_in_the_default_window)
{
    SEDQ_OBJECT_WIDGET* canvas = show_demo_canvas(m_frame);
    ASSERT_NE(canvas, nullptr);
    const QString busy = QStringLiteral("uart_tx|busy");
    ASSERT_NE(click_object(canvas, busy), nullptr);
    ASSERT_TRUE(canvas->hasFocus());
    QTest::keyClick(canvas, Qt::Key_C, Qt::ControlModifier);
    click(canvas, QPoint(canvas->width() - 150, canvas->height() - 60)); // paste here, on empty canvas
    QTest::keyClick(canvas, Qt::Key_V, Qt::ControlModifier);
    settle();
    EXPECT_EQ(objects_named(canvas, busy), 2) << "Ctrl+C and Ctrl+V paste a copy";
    QTest::keyClick(canvas, Qt::Key_X, Qt::ControlModifier);
    settle();
    EXPECT_EQ(objects_named(canvas, busy), 1) << "Ctrl+X cuts the pasted copy";
    QTest::keyClick(canvas, Qt::Key_Z, Qt::ControlModifier);
    settle();
    EXPECT_EQ(objects_named(canvas, busy), 2) << "Ctrl+Z undoes the cut";
    QTest::keyClick(canvas, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    settle();
    EXPECT_EQ(objects_named(canvas, busy), 1) << "Ctrl+Shift+Z redoes it";
    QTest::keyClick(canvas, Qt::Key_A, Qt::ControlModifier);
    int shown = 0;
    for (SEDQ_OBJECT* object : *canvas->get_object_list())
        shown += object->is_hidden() ? 0 : 1;
    EXPECT_EQ(canvas->get_selection_count(), shown) << "Ctrl+A selects every object on show";
    ASSERT_TRUE(m_frame->isWindowModified());
    QTest::keyClick(canvas, Qt::Key_S, Qt::ControlModifier);
    EXPECT_FALSE(m_frame->isWindowModified()) << "Ctrl+S saves";
    QTest::keyClick(canvas, Qt::Key_F, Qt::ControlModifier);
    settle();
    const std::vector<std::string> dialogs = standin::qui::unanswered_dialogs();
    EXPECT_TRUE(dialogs.size() == 1 && dialogs[0].rfind("Find\n", 0) == 0)
        << "Ctrl+F opens Find once: " << dialogs.size() << (dialogs.empty() ? "" : " " + dialogs[0]);
}

// Keys that a pane takes for its own commands stay the pane's (the host's Delete and Select All
// are greyed there), and a window detached and attached again keeps the host's keys.
TEST_F(demo_window_test, the_keys_follow_the_focus_and_survive_detaching)
{
    SEDQ_FRAME_WND* frame = m_frame;
    QTreeView* log_tree = nullptr;
    for (SEDQ_LOG_WIDGET* pane : frame->findChildren<SEDQ_LOG_WIDGET*>())
        if (pane->isVisible())
            log_tree = pane->findChild<QTreeView*>();
    ASSERT_NE(log_tree, nullptr);
    click(log_tree->viewport(), QPoint(log_tree->viewport()->width() / 2, 2));
    ASSERT_TRUE(log_tree->hasFocus());
    QSignalSpy host_delete(frame->get_tx_manager()->get_action(AFCQ_EDIT_DELETE_ACTION, QVariant()), &QAction::triggered);
    QSignalSpy log_delete(frame->get_tx_manager()->get_action(AFCQ_SEDQ_LOG_DELETE_ACTION, QVariant()),
                          &QAction::triggered);
    QTest::keyClick(log_tree, Qt::Key_Delete);
    settle();
    EXPECT_EQ(log_delete.count(), 1) << "Delete in the data log is the data log's";
    EXPECT_EQ(host_delete.count(), 0) << "the host's Delete is greyed there";

    const int nodes = node_count(frame);
    frame->detach_window();
    settle();
    SEDQ_VIEW* view = click_node_name(frame, 0);
    QTest::keyClick(view, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(view->get_selection_count(), nodes) << "a detached window has the keys itself";
    frame->attach_window();
    settle();
    view = click_node_name(frame, 0);
    EXPECT_EQ(view->get_selection_count(), 1);
    QTest::keyClick(view, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(view->get_selection_count(), nodes) << "attached again, the host's keys reach it";
}

// After the editor window is closed, the host's own File > New and File > Open bring an editor
// window up again, on a new document and on the chosen one.
TEST_F(demo_window_test, after_the_editor_is_closed_new_and_open_show_an_editor_again)
{
    QPointer<SEDQ_FRAME_WND> first = m_frame;
    auto* main = qobject_cast<QUI_FRAME_WND*>(first->window());
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(first->get_tx_manager()->add_instance());
    standin::qui::push_dialog_answer("Do you want to save the changes to demo.vtl", QMessageBox::Save);
    qobject_cast<QMdiSubWindow*>(first->parentWidget())->close();
    flush_deletions();
    ASSERT_TRUE(first.isNull()) << "the editor closed once its document was saved";
    main->get_menu_record()->file_menu->new_action->trigger();
    settle();
    QPointer<SEDQ_FRAME_WND> made = editor();
    ASSERT_FALSE(made.isNull()) << "New shows an editor window";
    EXPECT_TRUE(made->isVisible());
    EXPECT_TRUE(made->windowTitle().startsWith("Untitled"));
    EXPECT_EQ(made->get_tx_manager()->get_num_instances(), 1) << "on a new document";
    EXPECT_TRUE(main->windowTitle().startsWith("Corvane")) << "the host's title stays its own";
    qobject_cast<QMdiSubWindow*>(made->parentWidget())->close();
    flush_deletions();
    ASSERT_TRUE(made.isNull());
    standin::qui::push_file_choice(m_options.file);
    main->get_menu_record()->file_menu->open_action->trigger();
    settle();
    SEDQ_FRAME_WND* opened = editor();
    ASSERT_NE(opened, nullptr) << "Open shows an editor window";
    EXPECT_TRUE(opened->windowTitle().startsWith("demo.vtl"));
    EXPECT_EQ(opened->get_tx_manager()->get_num_instances(), 3) << "with the instance saved on closing";
}
} // namespace
