// The main-window framework as a host of document windows: the save question before a window
// or the host goes, the modified mark of the title, one menu bar and one toolbar area holding
// the active document window's bars, the host's edit commands going to that window, toolbar
// buttons that stay when a menu hides their command, and the message window.
#include "host/msg.h"
#include "host/qui.h"
#include "host/standin/qui_control.h"
#include "host/standin/standin.h"

#include <QAction>
#include <QCoreApplication>
#include <QDockWidget>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QStatusBar>
#include <QToolBar>
#include <QWidgetAction>
#include <QWindow>
#include <gtest/gtest.h>

#include <map>
#include <memory>

namespace
{
// A document window reduced to what the host sees: a modified flag that a successful save
// clears, and counts of the edit commands that reach it.
class document_frame : public QUI_FRAME_WND
{
public:
    document_frame(QUI_FRAME_INFO* info, QUI_FW_STATE_ENUM state) : QUI_FRAME_WND(info, state) {}
    bool save_file(QString const& path) override
    {
        if (!QUI_FRAME_WND::save_file(path) || fail_saves)
            return false;
        saved << path;
        setWindowModified(false);
        return true;
    }
    void on_undo_action() override { ++edits["undo"]; }
    void on_cut_action() override { ++edits["cut"]; }
    void on_copy_action() override { ++edits["copy"]; }
    void on_paste_action() override { ++edits["paste"]; }
    QStringList saved;
    bool fail_saves = false;
    std::map<std::string, int> edits;
};

class qui_host_test : public ::testing::Test
{
protected:
    std::unique_ptr<document_frame> make(QUI_FW_STATE_ENUM state)
    {
        return std::make_unique<document_frame>(&m_info, state);
    }

    // A host main window with a document area and one attached document window, merged.
    document_frame* make_host_with_child()
    {
        m_main = std::make_unique<QUI_FRAME_WND>(&m_info, QUI_FW_STATE_MAIN_WINDOW);
        m_main->create_mdi_area();
        auto* child = new document_frame(&m_info, QUI_FW_STATE_ATTACHED); // owned by its sub-window
        m_main->resize(1000, 700);
        m_main->show();
        settle();
        return child;
    }

    static void settle()
    {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
    }

    static QList<QToolBar*> shown_toolbars(QMainWindow* window)
    {
        QList<QToolBar*> shown;
        for (QToolBar* toolbar : window->findChildren<QToolBar*>(QString(), Qt::FindDirectChildrenOnly))
            if (toolbar->isVisibleTo(window))
                shown << toolbar;
        return shown;
    }

    QTemporaryDir m_dir;
    QUI_FRAME_INFO m_info;
    std::unique_ptr<QUI_FRAME_WND> m_main; // the host's own main window: no document of its own
};

TEST_F(qui_host_test, the_title_shows_the_modified_mark_of_the_document)
{
    auto frame = make(QUI_FW_STATE_ATTACHED);
    ASSERT_TRUE(frame->new_file());
    frame->show();
    ASSERT_NE(frame->windowHandle(), nullptr);
    EXPECT_EQ(frame->windowHandle()->title(), "Untitled1.vtl");
    frame->setWindowModified(true);
    EXPECT_EQ(frame->windowHandle()->title(), "Untitled1.vtl*");
    ASSERT_TRUE(frame->open_file(m_dir.filePath("demo.vtl")));
    EXPECT_EQ(frame->windowHandle()->title(), "demo.vtl*");
}

TEST_F(qui_host_test, a_modified_document_asks_save_discard_or_cancel)
{
    struct row
    {
        const char* name;
        int answer; // -1: nothing scripted
        bool untitled, fail_save, cancel_save_as;
        bool may_close, saved, still_modified;
    };
    const row rows[] = {
        {"cancel", QMessageBox::Cancel, false, false, false, false, false, true},
        {"discard", QMessageBox::Discard, false, false, false, true, false, true},
        {"save", QMessageBox::Save, false, false, false, true, true, false},
        {"save, the write fails", QMessageBox::Save, false, true, false, false, false, true},
        {"save, untitled, save-as cancelled", QMessageBox::Save, true, false, true, false, false, true},
        {"nobody there to answer", -1, false, false, false, false, false, true},
    };
    for (const row& r : rows)
    {
        standin::qui::reset();
        auto frame = make(QUI_FW_STATE_ATTACHED);
        ASSERT_TRUE(r.untitled ? frame->new_file() : frame->open_file(m_dir.filePath("doc.vtl")));
        frame->setWindowModified(true);
        frame->fail_saves = r.fail_save;
        if (r.answer != -1)
            standin::qui::push_dialog_answer("Do you want to save the changes to", r.answer);
        if (r.cancel_save_as)
            standin::qui::push_file_cancel();
        EXPECT_EQ(frame->save_modified(true), r.may_close) << r.name;
        EXPECT_EQ(!frame->saved.isEmpty(), r.saved) << r.name;
        EXPECT_EQ(frame->isWindowModified(), r.still_modified) << r.name;
        EXPECT_EQ(standin::qui::pending_dialog_answers(), 0) << r.name;
    }
    EXPECT_EQ(standin::qui::unanswered_dialogs().size(), 1u) << "the unanswered question is cancelled";
    auto clean = make(QUI_FW_STATE_ATTACHED);
    EXPECT_TRUE(clean->save_modified(true)) << "an unmodified document is not asked about";
}

TEST_F(qui_host_test, the_host_asks_every_document_window_before_it_closes)
{
    document_frame* first = make_host_with_child();
    auto* second = new document_frame(&m_info, QUI_FW_STATE_ATTACHED);
    settle();
    first->setWindowModified(true);
    second->setWindowModified(true);
    standin::qui::push_dialog_answer("Do you want to save", QMessageBox::Discard);
    standin::qui::push_dialog_answer("Do you want to save", QMessageBox::Cancel);
    EXPECT_FALSE(m_main->close()) << "one Cancel keeps the host open";
    EXPECT_TRUE(m_main->isVisible());
    EXPECT_TRUE(second->isWindowModified());
    standin::qui::push_dialog_answer("Do you want to save", QMessageBox::Discard);
    standin::qui::push_dialog_answer("Do you want to save", QMessageBox::Discard);
    first->get_menu_record()->file_menu->exit_action->trigger(); // Exit from a document's menu
    EXPECT_FALSE(m_main->isVisible()) << "Exit closes the host once every document window agreed";
    EXPECT_EQ(standin::qui::pending_dialog_answers(), 0);
}

TEST_F(qui_host_test, closing_a_document_window_asks_about_its_document_only)
{
    document_frame* child = make_host_with_child();
    child->setWindowModified(true);
    auto* sub_window = qobject_cast<QMdiSubWindow*>(child->parentWidget());
    ASSERT_NE(sub_window, nullptr);
    standin::qui::push_dialog_answer("Do you want to save", QMessageBox::Cancel);
    sub_window->close();
    settle();
    EXPECT_EQ(m_main->get_mdi_area()->subWindowList().size(), 1) << "Cancel keeps the window";
    EXPECT_TRUE(child->isWindowModified());
}

TEST_F(qui_host_test, the_active_document_window_bars_stand_in_the_host_bars)
{
    document_frame* child = make_host_with_child();
    child->menuBar()->addMenu(new QMenu("&Analyzer", child));
    settle();
    EXPECT_EQ(m_main->menuBar()->actions(), child->menuBar()->actions());
    EXPECT_FALSE(child->menuBar()->isVisibleTo(child)) << "one menu bar";
    const QList<QToolBar*> shown = shown_toolbars(m_main.get());
    ASSERT_EQ(shown.size(), 5);
    for (QToolBar* toolbar : shown)
    {
        QToolBar* original = child->get_toolbar(toolbar->windowTitle());
        ASSERT_NE(original, nullptr) << toolbar->windowTitle().toStdString();
        QList<QAction*> expected = original->actions();
        expected.erase(std::remove_if(expected.begin(), expected.end(),
                                      [](QAction* a) { return qobject_cast<QWidgetAction*>(a) != nullptr; }),
                       expected.end());
        EXPECT_EQ(toolbar->actions(), expected) << toolbar->windowTitle().toStdString();
        EXPECT_FALSE(original->isVisibleTo(child));
    }
    EXPECT_TRUE(shown_toolbars(child).isEmpty());

    child->get_menu_record()->window_menu->detach_action->setEnabled(true);
    child->detach_window();
    settle();
    EXPECT_NE(m_main->menuBar()->actions(), child->menuBar()->actions()) << "a detached window keeps its own";
    EXPECT_TRUE(child->menuBar()->isVisibleTo(child));
    EXPECT_EQ(shown_toolbars(child).size(), 5);
    EXPECT_EQ(shown_toolbars(m_main.get()).size(), 5);
    child->attach_window();
    settle();
    EXPECT_EQ(m_main->menuBar()->actions(), child->menuBar()->actions());
}

TEST_F(qui_host_test, the_host_bars_come_back_when_the_document_window_goes)
{
    document_frame* child = make_host_with_child();
    const QList<QAction*> own = m_main->get_menu_record()->file_menu->actions();
    delete child->parentWidget();
    settle();
    ASSERT_FALSE(m_main->menuBar()->actions().isEmpty());
    EXPECT_EQ(m_main->menuBar()->actions().first(), m_main->get_menu_record()->file_menu->menuAction());
    EXPECT_EQ(shown_toolbars(m_main.get()).size(), 5);
    // With no document window to send them to, its edit commands, Close and arranging are greyed.
    const QUI_MENU_RECORD* menu = m_main->get_menu_record();
    Q_EMIT menu->window_menu->aboutToShow();
    for (QAction* command : {menu->edit_menu->undo_action, menu->edit_menu->cut_action, menu->edit_menu->find_action,
                             menu->file_menu->close_action, menu->window_menu->tile_action})
        EXPECT_FALSE(command->isEnabled()) << command->text().toStdString();
}

TEST_F(qui_host_test, host_edit_commands_go_to_the_active_document_window)
{
    document_frame* child = make_host_with_child();
    QUI_EDIT_MENU* host_edit = m_main->get_menu_record()->edit_menu;
    for (QAction* command : {host_edit->undo_action, host_edit->cut_action, host_edit->copy_action,
                             host_edit->paste_action})
        command->trigger();
    EXPECT_EQ(child->edits, (std::map<std::string, int>{{"undo", 1}, {"cut", 1}, {"copy", 1}, {"paste", 1}}));
    EXPECT_EQ(m_main->get_active_child(), child);
    EXPECT_EQ(child->get_active_child(), nullptr);
}

TEST_F(qui_host_test, toolbar_buttons_stay_when_a_menu_hides_their_command)
{
    auto frame = make(QUI_FW_STATE_MAIN_WINDOW);
    QUI_EDIT_MENU* edit = frame->get_menu_record()->edit_menu;
    QToolBar* standard = frame->get_toolbar("Standard");
    frame->show();
    for (QAction* command : {edit->cut_action, edit->copy_action, edit->paste_action})
    {
        command->setVisible(false);
        command->setEnabled(false);
    }
    int shown = 0;
    for (QAction* button : standard->actions())
        if (button->objectName() == "AFCQ_112" || button->objectName() == "AFCQ_75" ||
            button->objectName() == "AFCQ_408")
        {
            EXPECT_TRUE(button->isVisible());
            EXPECT_FALSE(button->isEnabled()) << "the button follows its command's enabling";
            ++shown;
        }
    EXPECT_EQ(shown, 3);
}

TEST_F(qui_host_test, the_message_window_lists_posted_messages_and_follows_messages)
{
    document_frame* child = make_host_with_child();
    QAction* messages = child->get_menu_record()->view_menu->message_window_action;
    EXPECT_FALSE(m_main->is_message_window_shown());
    messages->trigger();
    QDockWidget* dock = m_main->get_message_window();
    EXPECT_EQ(child->get_message_window(), dock) << "one message window, the host's";
    EXPECT_TRUE(dock->isVisibleTo(m_main.get()));
    EXPECT_TRUE(messages->isChecked());
    EXPECT_TRUE(m_main->get_menu_record()->view_menu->message_window_action->isChecked());
    MSG_W warning;
    warning.fill_args("Clock not found/WSEDQ_X");
    warning.set_id(4711);
    warning.post();
    auto* list = dock->findChild<QListWidget*>();
    ASSERT_NE(list, nullptr);
    ASSERT_GE(list->count(), 1);
    EXPECT_EQ(list->item(list->count() - 1)->text(), "Warning (4711): Clock not found");
    dock->close();
    EXPECT_FALSE(messages->isChecked()) << "closing the dock unchecks Messages";
}

// A list the editor shows (the nodes an insertion warns about) is listed in the Messages window,
// its items below it; every message stands in the status bar, and only a problem brings the
// window forward.
TEST_F(qui_host_test, a_shown_list_is_listed_with_its_items_and_each_message_stands_in_the_status_bar)
{
    make_host_with_child();
    MSG_W list;
    list.fill_args("These nodes may not be tappable/WSEDQ_LIST");
    for (const char* name : {"a", "b"})
    {
        auto* item = new MSG_I;
        item->fill_args("Node %1!s!/ISEDQ_ITEM", name);
        list.add_child(item);
    }
    EXPECT_EQ(list.show(), 1) << "a warning asks nothing";
    settle();
    QDockWidget* dock = m_main->get_message_window();
    EXPECT_TRUE(m_main->is_message_window_shown()) << "a warning brings the list forward";
    auto* rows = dock->findChild<QListWidget*>();
    ASSERT_NE(rows, nullptr);
    ASSERT_GE(rows->count(), 3);
    const int last = rows->count() - 1;
    EXPECT_EQ(rows->item(last - 2)->text(), "Warning (0): These nodes may not be tappable");
    EXPECT_EQ(rows->item(last - 1)->text(), "    Info (0): Node a");
    EXPECT_EQ(rows->item(last)->text(), "    Info (0): Node b");
    EXPECT_EQ(m_main->statusBar()->currentMessage(), "Warning: These nodes may not be tappable");
    dock->hide();
    MSG_I note;
    note.fill_args("Printed to /tmp/x.pdf/IQUI_PRINTED");
    note.post();
    settle();
    EXPECT_EQ(m_main->statusBar()->currentMessage(), "Info: Printed to /tmp/x.pdf");
    EXPECT_FALSE(m_main->is_message_window_shown()) << "information waits in the list";
}
} // namespace
