// The editor window's document commands: new, open, save, save as, the question before unsaved
// work goes, detach and attach, edit routing, menu updates and the two host notifications.
#include "frame_test_support.h"

#include "host/cfgq.h"
#include "host/standin/afcq_control.h"
#include "host/standin/cfgq_control.h"
#include "host/standin/msg_control.h"
#include "host/standin/qui_control.h"
#include "host/standin/sdr_control.h"
#include "host/standin/tst_control.h"
#include "sedq/advanced_trigger/sedq_object_widget.h"
#include "sedq/frame/sedq_instance_widget.h"
#include "sedq/view/sedq_view.h"
#include "support/special_files.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTreeView>
#include "sedq/model/sedq_repository.h"

#include <algorithm>
#include <functional>

namespace
{
constexpr const char* SAVE_QUESTION = "Do you want to save the changes to";

// The last hint the model sent.
int last_hint(const QSignalSpy& spy)
{
    return spy.isEmpty() ? 0 : spy.last().at(1).toInt();
}
} // namespace

class frame_commands_test : public frame_test
{
protected:
    static int depth_of(SEDQ_FRAME_WND* frame)
    {
        int depth = 0;
        frame->get_tx_manager()->get_sample_depth(&depth, -1);
        return depth;
    }

    // One undoable change of the document, as the configuration pane makes it: a deeper sample.
    static void edit(SEDQ_FRAME_WND* frame)
    {
        frame->get_tx_manager()->set_sample_depth(QString::number(depth_of(frame) * 2));
    }

    // Whether the document is as written, at its first depth.
    static bool unchanged(SEDQ_FRAME_WND* frame) { return depth_of(frame) == 128; }

    static QString path_of(SEDQ_FRAME_WND* frame)
    {
        return QString::fromLocal8Bit(frame->get_file_path().fullpath().c_str());
    }
};

TEST_F(frame_commands_test, new_and_open_give_the_window_its_document_and_title)
{
    SEDQ_FRAME_WND* frame = make_frame();
    ASSERT_TRUE(frame->new_file());
    EXPECT_FALSE(frame->get_tx_manager()->is_empty());
    EXPECT_EQ(frame->get_tx_manager()->get_num_instances(), 1);
    EXPECT_TRUE(frame->windowTitle().startsWith("Untitled1.vtl"));
    const QString path = write_document({{"alpha"}, {"beta"}});
    ASSERT_TRUE(frame->open_file(path));
    EXPECT_EQ(frame->get_tx_manager()->get_num_instances(), 2);
    EXPECT_EQ(path_of(frame), QFileInfo(path).absoluteFilePath());
    EXPECT_TRUE(frame->windowTitle().startsWith("doc.vtl"));
    QFile junk(m_dir.filePath("junk.vtl"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("not an analyzer file");
    junk.close();
    EXPECT_FALSE(frame->open_file(junk.fileName()));
}

TEST_F(frame_commands_test, save_writes_the_document_and_a_failed_save_keeps_it_modified)
{
    SEDQ_FRAME_WND* frame = open_frame(write_document({{"alpha"}}));
    edit(frame);
    EXPECT_TRUE(frame->isWindowModified());
    standin::sdr::fail_next_save();
    EXPECT_FALSE(frame->save_file(path_of(frame)));
    EXPECT_TRUE(frame->isWindowModified());
    const QString copy = m_dir.filePath("copy.vtl");
    ASSERT_TRUE(frame->save_file(copy));
    EXPECT_FALSE(frame->isWindowModified());
    EXPECT_EQ(path_of(frame), copy);
    close_frame(frame);
    SEDQ_FRAME_WND* reopened = open_frame(copy);
    EXPECT_FALSE(unchanged(reopened)) << "the saved file holds the change";
}

TEST_F(frame_commands_test, save_as_of_a_child_window_goes_through_the_hosts_chooser)
{
    SEDQ_FRAME_WND* frame = open_frame(write_document({{"alpha"}}));
    edit(frame);
    standin::qui::push_file_cancel();
    EXPECT_FALSE(frame->save_as(FIO_PATH()));
    EXPECT_TRUE(frame->isWindowModified());
    const QString target = m_dir.filePath("renamed.vtl");
    standin::qui::push_file_choice(target);
    EXPECT_TRUE(frame->save_as(FIO_PATH()));
    EXPECT_EQ(path_of(frame), target);
    EXPECT_TRUE(QFileInfo::exists(target));
    EXPECT_FALSE(frame->isWindowModified());
}

// Save As onto a FIFO, a socket or a device replaced it with the document and said it had saved;
// a name chosen with the replacement character (what a name of bytes not valid in the local
// encoding lists as) saved another file. Both windows' Save As refuse them with the reason and
// keep the document's name, so that the next Save goes where the last one went.
TEST_F(frame_commands_test, save_as_where_no_file_belongs_says_why_and_keeps_the_name)
{
    std::vector<sedq_special_file> targets = sedq_make_special_files(m_dir.path());
    const QString unreadable = m_dir.filePath(QStringLiteral("bad") + QChar(QChar::ReplacementCharacter) + ".vtl");
    targets.push_back({"a name holding the replacement character", unreadable,
                       "the file name is not valid in the local character encoding", 0});
    for (const QUI_FW_STATE_ENUM state : {QUI_FW_STATE_ATTACHED, QUI_FW_STATE_MAIN_WINDOW})
    {
        SEDQ_FRAME_WND* frame = open_frame(write_document({{"alpha"}}), state);
        edit(frame);
        const QString name = path_of(frame), title = frame->windowTitle();
        for (const sedq_special_file& target : targets)
        {
            SCOPED_TRACE(std::string(target.label) + (state == QUI_FW_STATE_ATTACHED ? ", child" : ", main"));
            standin::msg::reset();
            if (state == QUI_FW_STATE_ATTACHED)
                standin::qui::push_file_choice(target.path);
            else
                standin::afcq::push_file_dialog_result(true, target.path);
            EXPECT_FALSE(frame->save_as(FIO_PATH()));
            ASSERT_FALSE(standin::msg::shown().empty());
            const standin::msg::message_record& shown = standin::msg::shown().back();
            EXPECT_EQ(shown.help_key, "OSEDQ_CANNOT_SAVE");
            ASSERT_EQ(shown.children.size(), 1u);
            EXPECT_NE(shown.children[0].text.find(target.reason), std::string::npos) << shown.children[0].text;
            EXPECT_TRUE(target.type == 0 ? !QFile::exists(target.path) : sedq_is_unchanged(target));
            EXPECT_EQ(path_of(frame), name);
            EXPECT_EQ(frame->windowTitle(), title);
            EXPECT_TRUE(frame->isWindowModified());
        }
        close_frame(frame);
    }
}

TEST_F(frame_commands_test, save_as_of_a_main_window_answers_what_the_save_gave)
{
    struct row
    {
        const char* name;
        bool accept;
        bool fail_save;
        bool saved;
    };
    const row rows[] = {{"chosen and written", true, false, true},
                        {"chosen, the write fails", true, true, false},
                        {"cancelled", false, false, false}};
    SEDQ_FRAME_WND* frame = open_frame(write_document({{"alpha"}}), QUI_FW_STATE_MAIN_WINDOW);
    for (const row& r : rows)
    {
        edit(frame);
        const QString target = m_dir.filePath(QString("as_%1.vtl").arg(r.name).replace(' ', '_'));
        standin::afcq::push_file_dialog_result(r.accept, target);
        if (r.fail_save)
            standin::sdr::fail_next_save();
        EXPECT_EQ(frame->save_as(FIO_PATH()), r.saved) << r.name;
        EXPECT_EQ(QFileInfo::exists(target), r.saved) << r.name;
        EXPECT_EQ(frame->isWindowModified(), !r.saved) << r.name;
        EXPECT_EQ(standin::afcq::last_file_dialog().name_filters, QStringList({"Vantrel File (*.vtl)"}))
            << r.name;
        EXPECT_TRUE(standin::afcq::last_file_dialog().save) << r.name;
    }
}

TEST_F(frame_commands_test, save_as_proposes_the_document_and_never_a_file_its_owner_cannot_write)
{
    SEDQ_FRAME_WND* frame = open_frame(write_document({{"alpha"}}), QUI_FW_STATE_MAIN_WINDOW);
    const QString path = path_of(frame);
    standin::afcq::push_file_dialog_result(false);
    EXPECT_FALSE(frame->save_as(FIO_PATH()));
    EXPECT_EQ(QFileInfo(standin::afcq::last_file_dialog().proposed).fileName(), "doc.vtl");
    const QString locked = m_dir.filePath("locked.vtl");
    ASSERT_TRUE(QFile::copy(path, locked));
    ASSERT_TRUE(QFile::setPermissions(locked, QFileDevice::ReadOwner));
    standin::afcq::push_file_dialog_result(false);
    EXPECT_FALSE(frame->save_as(FIO_PATH(locked.toStdString())));
    EXPECT_NE(QFileInfo(standin::afcq::last_file_dialog().proposed).fileName(), "locked.vtl");
    frame->set_frame_state_bits(QUI_FW_BIT_PRESELECT_READ_ONLY);
    standin::afcq::push_file_dialog_result(false);
    EXPECT_FALSE(frame->save_as(FIO_PATH(locked.toStdString())));
    EXPECT_EQ(QFileInfo(standin::afcq::last_file_dialog().proposed).fileName(), "locked.vtl")
        << "the host may allow a read-only proposal";
}

TEST_F(frame_commands_test, regression_tests_save_as_without_a_dialog_and_only_under_a_preselected_name)
{
    standin::tst::set_regtest_mode(true);
    SEDQ_FRAME_WND* frame = open_frame(write_document({{"alpha"}}), QUI_FW_STATE_MAIN_WINDOW);
    edit(frame);
    EXPECT_TRUE(frame->save_as(FIO_PATH()));
    EXPECT_FALSE(frame->isWindowModified()) << "saved under the document's own name";
    SEDQ_FRAME_WND* untitled = make_frame(QUI_FW_STATE_MAIN_WINDOW);
    ASSERT_TRUE(untitled->new_file());
    EXPECT_FALSE(untitled->save_as(FIO_PATH())) << "an untitled file that does not exist is not preselected";
    EXPECT_TRUE(standin::afcq::file_dialog_titles().isEmpty()) << "no dialog is shown";
}

TEST_F(frame_commands_test, closing_a_modified_window_asks_and_never_loses_the_changes)
{
    struct row
    {
        const char* name;
        int answer;
        bool closes, saved;
    };
    const row rows[] = {{"cancel", QMessageBox::Cancel, false, false},
                        {"discard", QMessageBox::Discard, true, false},
                        {"save", QMessageBox::Save, true, true}};
    for (const row& r : rows)
    {
        const QString path = write_document({{"alpha"}}, QString("%1.vtl").arg(r.name));
        SEDQ_FRAME_WND* frame = open_frame(path);
        edit(frame);
        standin::qui::push_dialog_answer(SAVE_QUESTION, r.answer);
        EXPECT_EQ(frame->close(), r.closes) << r.name;
        EXPECT_EQ(standin::qui::pending_dialog_answers(), 0) << r.name;
        if (!r.closes)
        {
            EXPECT_TRUE(frame->isWindowModified()) << r.name;
        }
        close_frame(frame);
        SEDQ_FRAME_WND* reopened = open_frame(path);
        EXPECT_EQ(unchanged(reopened), !r.saved) << r.name;
        close_frame(reopened);
    }
}

TEST_F(frame_commands_test, a_change_that_left_the_window_unmarked_is_still_offered_for_saving)
{
    SEDQ_FRAME_WND* frame = open_frame(write_document({{"alpha"}}));
    SEDQ_REPOSITORY::instance(frame->get_tx_manager())->set_enabled(false);
    ASSERT_FALSE(frame->isWindowModified());
    standin::qui::push_dialog_answer(SAVE_QUESTION, QMessageBox::Cancel);
    EXPECT_FALSE(frame->close());
    EXPECT_EQ(standin::qui::pending_dialog_answers(), 0) << "the question was asked";
    EXPECT_TRUE(frame->isWindowModified());
    EXPECT_TRUE(frame->isVisible());
}

TEST_F(frame_commands_test, a_window_acquiring_data_refuses_to_close_before_asking)
{
    SEDQ_FRAME_WND* frame = open_frame(write_document({{"alpha"}}));
    edit(frame);
    frame->get_tx_manager()->set_instance_acq_state(0, SEDQ_ACQ_STATE_RUNNING);
    EXPECT_FALSE(frame->save_modified(true));
    ASSERT_FALSE(standin::msg::shown().empty());
    EXPECT_NE(standin::msg::shown().back().help_key.find("CANT_CLOSE"), std::string::npos);
    EXPECT_TRUE(standin::qui::unanswered_dialogs().empty()) << "the save question is not asked";
    frame->get_tx_manager()->set_instance_acq_state(0, SEDQ_ACQ_STATE_NOT_RUNNING);
    standin::qui::push_dialog_answer(SAVE_QUESTION, QMessageBox::Discard);
    EXPECT_TRUE(frame->save_modified(true));
}

TEST_F(frame_commands_test, new_and_open_from_the_menu_ask_before_replacing_unsaved_work)
{
    SEDQ_FRAME_WND* frame = open_frame(write_document({{"alpha"}}));
    edit(frame);
    standin::qui::push_dialog_answer(SAVE_QUESTION, QMessageBox::Cancel);
    frame->get_menu_record()->file_menu->new_action->trigger();
    EXPECT_EQ(path_of(frame), m_dir.filePath("doc.vtl")) << "Cancel keeps the document";
    EXPECT_FALSE(unchanged(frame));
    const QString other = write_document({{"other"}}, "other.vtl");
    standin::qui::push_dialog_answer(SAVE_QUESTION, QMessageBox::Cancel);
    standin::qui::push_file_choice(other);
    frame->get_menu_record()->file_menu->open_action->trigger();
    EXPECT_EQ(path_of(frame), m_dir.filePath("doc.vtl"));
    standin::qui::push_dialog_answer(SAVE_QUESTION, QMessageBox::Discard);
    frame->get_menu_record()->file_menu->new_action->trigger();
    EXPECT_TRUE(frame->get_file_path().is_empty());
    EXPECT_TRUE(frame->windowTitle().startsWith("Untitled"));
    EXPECT_TRUE(unchanged(frame)) << "a fresh document";
}

TEST_F(frame_commands_test, a_main_window_opens_through_its_own_dialog)
{
    SEDQ_FRAME_WND* frame = open_frame(write_document({{"alpha"}}), QUI_FW_STATE_MAIN_WINDOW);
    const QString other = write_document({{"one"}, {"two"}}, "other.vtl");
    standin::afcq::push_file_dialog_result(true, path_of(frame));
    frame->get_menu_record()->file_menu->open_action->trigger();
    EXPECT_TRUE(standin::qui::unanswered_dialogs().empty()) << "a file already open is not opened again";
    edit(frame);
    standin::afcq::push_file_dialog_result(true, other);
    standin::qui::push_dialog_answer(SAVE_QUESTION, QMessageBox::Cancel);
    frame->get_menu_record()->file_menu->open_action->trigger();
    EXPECT_EQ(frame->get_tx_manager()->get_num_instances(), 1) << "Cancel stops the open";
    standin::afcq::push_file_dialog_result(true, other);
    standin::qui::push_dialog_answer(SAVE_QUESTION, QMessageBox::Discard);
    frame->get_menu_record()->file_menu->open_action->trigger();
    EXPECT_EQ(frame->get_tx_manager()->get_num_instances(), 2);
    EXPECT_EQ(path_of(frame), other);
    EXPECT_EQ(standin::afcq::file_dialog_titles().value(0), "Open File");
}

// File > Open of a file that cannot be opened (missing, a device) after the user let the edits
// go: the window keeps its document, the edits, the modified mark, its path and title, and the
// document still saves under its own name.
TEST_F(frame_commands_test, a_file_that_does_not_open_leaves_the_window_as_it_was)
{
    struct row
    {
        const char* label;
        QUI_FW_STATE_ENUM state;
        QString file;
    };
    const row rows[] = {
        {"missing, child window", QUI_FW_STATE_ATTACHED, m_dir.filePath("missing.vtl")},
        {"a device, child window", QUI_FW_STATE_ATTACHED, QStringLiteral("/dev/zero")},
        {"missing, main window", QUI_FW_STATE_MAIN_WINDOW, m_dir.filePath("missing.vtl")},
    };
    for (const row& r : rows)
    {
        SCOPED_TRACE(r.label);
        standin::msg::reset();
        SEDQ_FRAME_WND* frame = open_frame(write_document({{"alpha"}}), r.state);
        edit(frame);
        const QString title = frame->windowTitle();
        ASSERT_TRUE(frame->isWindowModified());
        if (r.state == QUI_FW_STATE_MAIN_WINDOW)
            standin::afcq::push_file_dialog_result(true, r.file);
        else
            standin::qui::push_file_choice(r.file);
        standin::qui::push_dialog_answer(SAVE_QUESTION, QMessageBox::Discard);
        frame->get_menu_record()->file_menu->open_action->trigger();
        ASSERT_EQ(standin::msg::shown().size(), 1u);
        EXPECT_NE(standin::msg::shown()[0].help_key.find(r.file.startsWith("/dev") ? "INVALID_VTL_FILE_STRUCTURE"
                                                                                   : "FILE_NOT_FOUND"),
                  std::string::npos);
        EXPECT_EQ(path_of(frame), m_dir.filePath("doc.vtl"));
        EXPECT_EQ(frame->windowTitle(), title);
        EXPECT_TRUE(frame->isWindowModified());
        EXPECT_FALSE(unchanged(frame)) << "the edit is kept";
        frame->get_menu_record()->file_menu->save_action->trigger();
        EXPECT_FALSE(frame->isWindowModified());
        close_frame(frame);
        SEDQ_FRAME_WND* again = open_frame(m_dir.filePath("doc.vtl"), r.state);
        EXPECT_FALSE(unchanged(again)) << "and saved";
        close_frame(again);
    }
}

TEST_F(frame_commands_test, a_detached_window_carries_its_own_shortcuts_and_compile_entries)
{
    make_host_main_window();
    SEDQ_FRAME_WND* frame = open_frame(write_document({{"alpha"}}));
    QMenu* processing = frame->get_menu_record()->processing_menu;
    frame->detach_window();
    EXPECT_TRUE(frame->is_detached());
    const QList<QAction*> entries = processing->actions();
    ASSERT_GE(entries.size(), 2);
    EXPECT_EQ(entries.mid(entries.size() - 2),
              QList<QAction*>({action(frame, AFCQ_SEDQ_TOOLBAR_START_RECOMPILE_ACTION),
                               action(frame, AFCQ_SEDQ_TOOLBAR_START_COMPILE_ACTION)}));
    EXPECT_EQ(action(frame, AFCQ_EDIT_UNDO_ACTION)->shortcut(), QKeySequence(QKeySequence::Undo));
    EXPECT_EQ(action(frame, AFCQ_EDIT_FIND_NEXT_ACTION)->shortcut(), QKeySequence("F3"));
    EXPECT_EQ(frame->get_menu_record()->file_menu->save_action->shortcut(), QKeySequence(QKeySequence::Save));
    frame->attach_window();
    EXPECT_FALSE(frame->is_detached());
    EXPECT_FALSE(processing->actions().contains(action(frame, AFCQ_SEDQ_TOOLBAR_START_COMPILE_ACTION)));
    EXPECT_TRUE(action(frame, AFCQ_EDIT_UNDO_ACTION)->shortcut().isEmpty());
    EXPECT_TRUE(frame->get_menu_record()->file_menu->print_action->shortcut().isEmpty());
}

TEST_F(frame_commands_test, undo_and_redo_go_to_the_canvas_while_it_has_the_focus)
{
    SEDQ_FRAME_WND* frame = open_frame(write_document({instance_spec("alpha", 2, 2, {1})}));
    QTabWidget* pages = frame->get_layout_widget()->get_data_setup_tab_widget(-1);
    ASSERT_GE(pages->count(), 3);
    pages->setCurrentIndex(2);
    settle();
    edit(frame);
    SEDQ_OBJECT_WIDGET* canvas = frame->get_layout_widget()->get_object_widget();
    canvas->setFocus();
    ASSERT_EQ(frame->focusWidget(), canvas);
    QUI_EDIT_MENU* menu = frame->get_menu_record()->edit_menu;
    menu->undo_action->trigger();
    menu->cut_action->trigger();
    EXPECT_FALSE(unchanged(frame)) << "the canvas takes undo; the document's history stays";
    frame->get_layout_widget()->get_view()->setFocus();
    menu->undo_action->trigger();
    EXPECT_TRUE(unchanged(frame));
    menu->paste_action->trigger();
    menu->redo_action->trigger();
    EXPECT_FALSE(unchanged(frame));
}

TEST_F(frame_commands_test, file_menu_offers_printing_and_the_list_only_with_data)
{
    SEDQ_FRAME_WND* frame = open_frame(write_document({instance_spec("alpha", 2, 1, {}, false, false, 0)}));
    QUI_FILE_MENU* file = frame->get_menu_record()->file_menu;
    QTabWidget* pages = frame->get_layout_widget()->get_data_setup_tab_widget(-1);
    struct row
    {
        const char* name;
        int page;
        bool acquiring;
        bool print, list, export_data;
    };
    const row rows[] = {{"data page", 0, false, true, true, true},
                        {"setup page", 1, false, true, false, false},
                        {"data page while acquiring", 0, true, false, true, true}};
    for (const row& r : rows)
    {
        pages->setCurrentIndex(r.page);
        frame->get_tx_manager()->set_instance_acq_state(0, r.acquiring ? SEDQ_ACQ_STATE_RUNNING
                                                                       : SEDQ_ACQ_STATE_NOT_RUNNING);
        emit file->aboutToShow();
        EXPECT_EQ(file->print_action->isEnabled(), r.print) << r.name;
        EXPECT_EQ(file->print_preview_action->isEnabled(), r.print) << r.name;
        EXPECT_EQ(action(frame, AFCQ_SEDQ_CREATE_LIST_FILE_ACTION)->isEnabled(), r.list) << r.name;
        EXPECT_EQ(action(frame, AFCQ_SEDQ_EXPORT_DATA_ACTION)->isEnabled(), r.export_data) << r.name;
    }
    SEDQ_FRAME_WND* without_data = open_frame(write_document({{"beta"}}, "no_data.vtl"));
    emit without_data->get_menu_record()->file_menu->aboutToShow();
    EXPECT_FALSE(without_data->get_menu_record()->file_menu->print_action->isEnabled());
    EXPECT_FALSE(action(without_data, AFCQ_SEDQ_CREATE_LIST_FILE_ACTION)->isEnabled());
    EXPECT_FALSE(action(without_data, AFCQ_SEDQ_EXPORT_DATA_ACTION)->isEnabled()) << "no data log to export";
}

// The menus offer Mnemonic Table Setup and Create List File wherever the focus is, and the view
// takes them itself only while it has the focus: with the focus in the instance list the setup
// did nothing, and with it in the view the list was written and opened twice.
TEST_F(frame_commands_test, the_views_commands_in_the_menus_run_once_wherever_the_focus_is)
{
    SEDQ_FRAME_WND* frame = open_frame(write_document({instance_spec("alpha", 2, 1, {}, false, false, 0)}));
    frame->get_layout_widget()->get_data_setup_tab_widget(-1)->setCurrentIndex(0);
    SEDQ_VIEW* view = frame->get_layout_widget()->get_view();
    QWidget* instances = frame->get_layout_widget()->get_instance_widget()->get_tree();
    const auto setup_dialogs = [] {
        const std::vector<std::string> titles = standin::qui::unanswered_dialogs();
        return std::count_if(titles.begin(), titles.end(),
                             [](const std::string& title) { return title.rfind("Mnemonic Table Setup", 0) == 0; });
    };
    struct row
    {
        const char* name;
        int id;
        QMenu* menu;
        std::function<size_t()> runs;
    };
    const row rows[] = {
        {"Mnemonic Table Setup", AFCQ_SEDQ_MNEMONIC_TABLE_SETUP_ACTION, frame->get_menu_record()->edit_menu,
         [&] { return size_t(setup_dialogs()); }},
        {"Create List File", AFCQ_SEDQ_CREATE_LIST_FILE_ACTION, frame->get_menu_record()->file_menu,
         [] { return standin::qui::opened_files().size(); }},
    };
    for (const row& r : rows)
        for (QWidget* focus : {static_cast<QWidget*>(view), instances})
        {
            SCOPED_TRACE(std::string(r.name) + (focus == view ? ", the view focused" : ", the instance list focused"));
            QApplication::setActiveWindow(frame->window()); // a dialog shown before took it
            focus->setFocus(Qt::MouseFocusReason);
            settle();
            ASSERT_EQ(view->is_connected(), focus == view);
            emit r.menu->aboutToShow();
            ASSERT_TRUE(action(frame, r.id)->isEnabled());
            const size_t before = r.runs();
            action(frame, r.id)->trigger();
            settle();
            EXPECT_EQ(r.runs(), before + 1);
        }
}

// The toolbar's Find did nothing while the node view or the canvas had the focus: the window left
// it to their own connections, which hear the Edit menu's Find, not the toolbar's.
TEST_F(frame_commands_test, find_opens_one_dialog_from_the_toolbar_or_the_menu_wherever_the_focus_is)
{
    SEDQ_FRAME_WND* frame = open_frame(write_document({instance_spec("alpha", 2, 2, {1})}));
    SEDQ_LAYOUT_WIDGET* layout = frame->get_layout_widget();
    QTabWidget* pages = layout->get_data_setup_tab_widget(-1);
    ASSERT_GE(pages->count(), 3);
    const auto find_dialogs = [] {
        const std::vector<std::string> titles = standin::qui::unanswered_dialogs();
        return std::count_if(titles.begin(), titles.end(),
                             [](const std::string& title) { return title.rfind("Find\n", 0) == 0 || title == "Find"; });
    };
    QWidget* view = layout->get_view();
    QWidget* instances = layout->get_instance_widget()->get_tree();
    QWidget* canvas = layout->get_object_widget();
    struct row
    {
        const char* name;
        int page; // 1 setup, 2 the advanced level
        QWidget* focus;
        int id;
    };
    const row rows[] = {
        {"toolbar, the view focused", 1, view, AFCQ_SEDQ_TOOLBAR_FIND_ACTION},
        {"toolbar, the instance list focused", 1, instances, AFCQ_SEDQ_TOOLBAR_FIND_ACTION},
        {"toolbar, the canvas focused", 2, canvas, AFCQ_SEDQ_TOOLBAR_FIND_ACTION},
        {"Edit menu, the view focused", 1, view, AFCQ_EDIT_FIND_ACTION},
        {"Edit menu, the canvas focused", 2, canvas, AFCQ_EDIT_FIND_ACTION},
    };
    for (const row& r : rows)
    {
        SCOPED_TRACE(r.name);
        pages->setCurrentIndex(r.page);
        settle();
        QApplication::setActiveWindow(frame->window()); // a dialog shown before took it
        r.focus->setFocus(Qt::MouseFocusReason);
        settle();
        ASSERT_TRUE(r.focus->hasFocus());
        emit frame->get_menu_record()->edit_menu->aboutToShow();
        ASSERT_TRUE(action(frame, r.id)->isEnabled());
        const auto before = find_dialogs();
        action(frame, r.id)->trigger();
        settle();
        EXPECT_EQ(find_dialogs(), before + 1);
    }
}

TEST_F(frame_commands_test, edit_and_view_menus_follow_the_document_and_the_page)
{
    SEDQ_FRAME_WND* empty = make_frame();
    emit empty->get_menu_record()->edit_menu->aboutToShow();
    for (int id : {AFCQ_EDIT_UNDO_ACTION, AFCQ_EDIT_REDO_ACTION, AFCQ_SEDQ_MNEMONIC_TABLE_SETUP_ACTION,
                   AFCQ_SEDQ_SAVE_TO_LOG_ACTION, AFCQ_SEDQ_LOGGING_ACTION, AFCQ_SEDQ_INSERT_NODES_ACTION,
                   AFCQ_SEDQ_ADD_STATE_MACHINE_ACTION, AFCQ_SEDQ_RECREATE_MNEMONICS_ACTION})
        EXPECT_FALSE(action(empty, id)->isEnabled()) << id;
    EXPECT_FALSE(empty->get_plugin_menu()->isEnabled());

    SEDQ_FRAME_WND* frame = open_frame(write_document({instance_spec("alpha", 2, 2, {1})}, "view.vtl"));
    QTabWidget* pages = frame->get_layout_widget()->get_data_setup_tab_widget(-1);
    for (int id : {AFCQ_SEDQ_FIT_IN_WINDOW_ACTION, AFCQ_SEDQ_ZOOM_IN_ACTION, AFCQ_SEDQ_ZOOM_OUT_ACTION,
                   AFCQ_SEDQ_CENTER_ON_TRIGGER_ACTION})
        action(frame, id)->setEnabled(true);
    pages->setCurrentIndex(1);
    emit frame->get_menu_record()->view_menu->aboutToShow();
    for (int id : {AFCQ_SEDQ_FIT_IN_WINDOW_ACTION, AFCQ_SEDQ_ZOOM_IN_ACTION, AFCQ_SEDQ_ZOOM_OUT_ACTION,
                   AFCQ_SEDQ_CENTER_ON_TRIGGER_ACTION})
        EXPECT_FALSE(action(frame, id)->isEnabled()) << "setup page, " << id;
    pages->setCurrentIndex(2);
    emit frame->get_menu_record()->edit_menu->aboutToShow();
    EXPECT_FALSE(action(frame, AFCQ_SEDQ_MNEMONIC_TABLE_SETUP_ACTION)->isEnabled())
        << "no mnemonic tables on an advanced page";
    EXPECT_TRUE(action(frame, AFCQ_SEDQ_SAVE_TO_LOG_ACTION)->isEnabled());
}

TEST_F(frame_commands_test, host_notifications_refresh_the_panes_with_their_hints)
{
    SEDQ_FRAME_WND* frame = open_frame(write_document({{"alpha"}}));
    SEDQ_TX_MANAGER* tx = frame->get_tx_manager();
    QSignalSpy spy(tx, SIGNAL(updated(QObject*, int)));
    const bool shown = SEDQ_TX_MANAGER::m_cfg_show_time_bars;
    standin::cfgq::set(32, CFGQ_SEDQ_SHOW_TIME_BARS_STR, !shown);
    EXPECT_TRUE(frame->ntfq_msg_prdq_updated(0, false));
    EXPECT_EQ(SEDQ_TX_MANAGER::m_cfg_show_time_bars, !shown) << "the settings are read again";
    EXPECT_EQ(last_hint(spy), 0x20000039);
    EXPECT_TRUE(frame->ntfq_msg_post_notify_flow_finish(0, false));
    EXPECT_EQ(last_hint(spy), 0x20000031);
    standin::cfgq::clear(32, CFGQ_SEDQ_SHOW_TIME_BARS_STR);
    frame->ntfq_msg_prdq_updated(0, false);
}
