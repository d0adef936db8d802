// Main-window framework stand-in: menus, toolbars, documents, flows, frame manager and the
// modal auto-responder.
#include "host/atcl.h"
#include "host/qui.h"
#include "host/standin/msg_control.h"
#include "host/standin/ntfq_control.h"
#include "host/standin/qui_control.h"
#include "host/standin/standin.h"
#include "host/standin/tst_control.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPrinter>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace
{
// A document window as the analyzer builds it: it records the notifications it receives
// and keeps its own actions for analyzer toolbar commands.
class test_frame : public QUI_FRAME_WND
{
public:
    test_frame(QUI_FRAME_INFO* info, QUI_FW_STATE_ENUM state) : QUI_FRAME_WND(info, state) {}
    bool ntfq_msg_post_notify_flow_finish(unsigned long data, bool) override
    {
        flow_finishes.push_back(static_cast<int>(data));
        return true;
    }
    bool ntfq_msg_prdq_updated(unsigned long, bool) override
    {
        ++prdq_updates;
        return true;
    }
    std::vector<int> flow_finishes;
    int prdq_updates = 0;
};

class QuiTest : public ::testing::Test
{
protected:
    std::unique_ptr<test_frame> make(QUI_FW_STATE_ENUM state)
    {
        return std::make_unique<test_frame>(&info, state);
    }
    QUI_FRAME_INFO info;
};

bool has_call(const std::string& call)
{
    const auto& calls = standin::calls();
    return std::find(calls.begin(), calls.end(), call) != calls.end();
}

QStringList button_names(QToolBar* toolbar)
{
    QStringList names;
    for (QAction* action : toolbar->actions())
        names << (action->isSeparator() ? QStringLiteral("|") : action->objectName());
    return names;
}

TEST_F(QuiTest, menus_exist_in_both_modes_with_their_standard_actions)
{
    for (QUI_FW_STATE_ENUM state : {QUI_FW_STATE_MAIN_WINDOW, QUI_FW_STATE_ATTACHED})
    {
        SCOPED_TRACE(state);
        auto frame = make(state);
        QUI_MENU_RECORD* menu = frame->get_menu_record();
        ASSERT_NE(menu, nullptr);
        EXPECT_EQ(frame->menuBar()->actions().size(), 9);
        EXPECT_TRUE(menu->file_menu->actions().contains(menu->file_menu->get_placement_action()));
        EXPECT_EQ(menu->file_menu->get_removable_actions().size(), 7);
        EXPECT_EQ(menu->file_menu->get_print_actions().last(), menu->file_menu->print_action);
        EXPECT_TRUE(menu->file_menu->actions().contains(menu->file_menu->create_update_menu->menuAction()));
        EXPECT_FALSE(menu->file_menu->save_action->isVisible()); // a document window offers it
        EXPECT_EQ(menu->edit_menu->undo_action->objectName(), "AFCQ_694");
        EXPECT_EQ(menu->edit_menu->go_to_action->objectName(), "AFCQ_218");
        EXPECT_EQ(menu->edit_menu->replace_action->objectName(), "AFCQ_474");
        EXPECT_EQ(menu->edit_menu->undo_action->isVisible(), state == QUI_FW_STATE_MAIN_WINDOW);
        EXPECT_FALSE(menu->edit_menu->menuAction()->isVisible());
        EXPECT_TRUE(menu->view_menu->utility_windows_menu->actions().contains(
            menu->view_menu->message_window_action));
        EXPECT_EQ(menu->tools_menu->get_kept_actions().size(), 3);
        EXPECT_FALSE(menu->window_menu->detach_action->isEnabled());
        EXPECT_NE(menu->processing_menu->rly_action, nullptr);
    }
}

TEST_F(QuiTest, menu_entries_survive_the_removal_of_their_submenu)
{
    auto frame = make(QUI_FW_STATE_MAIN_WINDOW);
    QUI_VIEW_MENU* view = frame->get_menu_record()->view_menu;
    QAction* messages = view->message_window_action;
    delete view->utility_windows_menu;
    view->addAction(messages);
    messages->trigger();
    EXPECT_TRUE(frame->is_message_window_shown());
    delete frame->get_menu_record()->assignment_menu; // a stand-alone window drops it
    EXPECT_EQ(frame->get_menu_record()->assignment_menu, nullptr);
    delete frame->get_menu_record()->view_menu;
    messages->trigger();
    EXPECT_FALSE(frame->is_message_window_shown());
}

TEST_F(QuiTest, insert_action_after_places_moves_and_appends)
{
    auto frame = make(QUI_FW_STATE_MAIN_WINDOW);
    QUI_QMENU menu("m", frame.get());
    QAction* a = menu.addAction("a");
    QAction* b = menu.addAction("b");
    QAction* c = menu.addAction("c");
    QAction x("x", nullptr);
    QAction y("y", nullptr);
    menu.insert_action_after(a, &x);
    EXPECT_EQ(menu.actions(), (QList<QAction*>{a, &x, b, c}));
    menu.insert_action_after(c, &x); // already in the menu: moves
    EXPECT_EQ(menu.actions(), (QList<QAction*>{a, b, c, &x}));
    menu.insert_action_after(&y, a); // `after` not in the menu: appends
    EXPECT_EQ(menu.actions(), (QList<QAction*>{b, c, &x, a}));
    menu.insert_action_after(b, nullptr);
    ASSERT_EQ(standin::msg::internal_errors().size(), 1u);
    EXPECT_EQ(standin::msg::internal_errors()[0].module, "HOST");
    menu.show_all_actions({a, b}, false);
    EXPECT_FALSE(a->isVisible());
    EXPECT_TRUE(c->isVisible());
}

TEST_F(QuiTest, host_toolbars_are_precreated_and_standard_holds_the_combo_box)
{
    auto frame = make(QUI_FW_STATE_MAIN_WINDOW);
    for (const char* name : {"File", "Standard", "Utility Windows", "Applications", "Processing"})
        EXPECT_NE(frame->get_toolbar(name), nullptr) << name;
    EXPECT_EQ(frame->get_toolbar("Default"), nullptr);
    EXPECT_EQ(
        button_names(frame->get_toolbar("File")),
        (QStringList{"AFCQ_NEW_ACTION", "AFCQ_OPEN_ACTION", "AFCQ_SAVE_ACTION", "|", "AFCQ_PRINT_ACTION"}));
    ASSERT_EQ(frame->get_toolbar_combo_boxes().size(), 1);
    EXPECT_EQ(frame->get_toolbar_combo_boxes()[0]->parent(), frame->get_toolbar("Standard"));
    QToolBar* file = frame->get_toolbar("File");
    frame->removeToolBar(file);
    delete file;
    EXPECT_EQ(frame->get_toolbar("File"), nullptr);
}

// A document window that deletes the Standard toolbar takes the combo box with it; the list
// must not keep handing the deleted box out.
TEST_F(QuiTest, deleting_the_standard_toolbar_drops_its_combo_box_from_the_list)
{
    auto frame = make(QUI_FW_STATE_MAIN_WINDOW);
    ASSERT_EQ(frame->get_toolbar_combo_boxes().size(), 1);
    QToolBar* standard = frame->get_toolbar("Standard");
    frame->removeToolBar(standard);
    delete standard;
    EXPECT_TRUE(frame->get_toolbar_combo_boxes().isEmpty());
    frame.reset(); // the frame's own teardown does not touch the list any more
}

TEST_F(QuiTest, toolbar_from_button_names_maps_separators_frame_actions_and_skips_unknown_names)
{
    auto frame = make(QUI_FW_STATE_ATTACHED);
    for (int id : {AFCQ_SEDQ_TOOLBAR_FIND_ACTION, AFCQ_SEDQ_TOOLBAR_WAVEFORM_CENTER_ON_TRIGGER_ACTION})
        frame->addAction(afcq_create_action(static_cast<AFCQ_ACTION_ENUM>(id), frame.get()));
    QToolBar* toolbar = frame->create_toolbar(
        "Default",
        {"AFCQ_ATTACH_ACTION", "AFCQ_DETACH_ACTION", "AFCQ_SEPARATOR_ACTION", "AFCQ_SAVE_ACTION",
         "AFCQ_UNDO_ACTION", "AFCQ_NO_SUCH_ACTION", "AFCQ_SEDQ_TOOLBAR_WAVEFORM_CENTER_ON_TRIGGER_ACTION",
         "AFCQ_SEDQ_TOOLBAR_FIND_ACTION", "AFCQ_SEDQ_TOOLBAR_START_COMPILE_ACTION",
         "AFCQ_CORVANE_HELP_ACTION", "AFCQ_MSWQ_ACTION"});
    frame->addToolBar(toolbar);
    EXPECT_EQ(button_names(toolbar),
              (QStringList{"AFCQ_ATTACH_ACTION", "AFCQ_DETACH_ACTION", "|", "AFCQ_SAVE_ACTION", "AFCQ_694",
                           "AFCQ_509", "AFCQ_506", "AFCQ_CORVANE_HELP_ACTION", "AFCQ_MSWQ_ACTION"}));
    QSignalSpy undone(frame->get_menu_record()->edit_menu->undo_action, &QAction::triggered);
    toolbar->actions()[4]->trigger();
    EXPECT_EQ(undone.count(), 1) << "the Undo button triggers the host's Undo";
    EXPECT_TRUE(has_call("qui:unknown_toolbar_button(\"AFCQ_NO_SUCH_ACTION\")"));
    EXPECT_TRUE(has_call("qui:unknown_toolbar_button(\"AFCQ_SEDQ_TOOLBAR_START_COMPILE_ACTION\")"));
    EXPECT_EQ(frame->get_toolbar("Default"), toolbar);
}

TEST_F(QuiTest, update_toolbar_replaces_buttons_keeps_widgets_and_reports_a_missing_toolbar)
{
    auto frame = make(QUI_FW_STATE_MAIN_WINDOW);
    frame->update_toolbar("Standard", {"AFCQ_REDO_ACTION", "AFCQ_SEPARATOR_ACTION", "AFCQ_FIND_NEXT_ACTION"});
    QStringList names = button_names(frame->get_toolbar("Standard"));
    names.removeAll(QString()); // the combo box's widget action has no name
    EXPECT_EQ(names, (QStringList{"AFCQ_459", "|", "AFCQ_179"}));
    EXPECT_EQ(frame->get_toolbar("Standard")->findChildren<QComboBox*>().size(), 1);
    EXPECT_TRUE(standin::msg::internal_errors().empty());
    frame->update_toolbar("Nowhere", {"AFCQ_SAVE_ACTION"});
    ASSERT_EQ(standin::msg::internal_errors().size(), 1u);
    EXPECT_EQ(standin::msg::internal_errors()[0].expression, "toolbar != NULL");
}

TEST_F(QuiTest, toolbar_categories_hold_the_host_lists)
{
    auto frame = make(QUI_FW_STATE_MAIN_WINDOW);
    EXPECT_EQ(frame->get_toolbar_category("File_short"),
              (QStringList{"AFCQ_SAVE_ACTION", "AFCQ_PRINT_ACTION"}));
    EXPECT_EQ(frame->get_toolbar_category("Attached/Detached"),
              (QStringList{"AFCQ_ATTACH_ACTION", "AFCQ_DETACH_ACTION"}));
    EXPECT_TRUE(frame->get_toolbar_category("Nothing").isEmpty());
    const QMap<QString, QStringList> categories = frame->get_toolbar_categories();
    EXPECT_TRUE(categories.contains("File"));
    EXPECT_TRUE(categories.contains("Edit"));
    EXPECT_FALSE(categories.contains("File_short"));
    EXPECT_EQ(frame->get_predefined_toolbar_buttons("Utility Windows"),
              (QStringList{"AFCQ_MSWQ_ACTION", "AFCQ_TCL_CONSOLE_ACTION"}));
    EXPECT_TRUE(frame->get_predefined_toolbar_buttons("Default").isEmpty());
}

TEST_F(QuiTest, flow_is_recorded_and_finishes_after_the_event_loop_turns)
{
    auto frame = make(QUI_FW_STATE_ATTACHED);
    ASSERT_TRUE(frame->open_file("/tmp/qui_flow.vtl")); // a flow compiles a document with a file
    std::vector<std::pair<QUI_FRAME_WND*, int>> compiled;
    standin::qui::set_flow_simulator([&](QUI_FRAME_WND* f, int flow) { compiled.push_back({f, flow}); });
    ASSERT_TRUE(frame->can_start_flow());
    frame->start_flow(15, "", true, false, true);
    EXPECT_TRUE(has_call("qui:start_flow(15,\"\",1,0,1)"));
    EXPECT_FALSE(frame->can_start_flow());
    frame->start_flow(80, "", true, false, true); // one flow at a time
    EXPECT_TRUE(has_call("qui:start_flow_refused(80)"));
    EXPECT_TRUE(frame->flow_finishes.empty());
    QCoreApplication::processEvents();
    standin::qui::set_flow_simulator(nullptr);
    EXPECT_EQ(frame->flow_finishes, std::vector<int>{15});
    ASSERT_EQ(compiled.size(), 1u);
    EXPECT_EQ(compiled[0].first, frame.get());
    ASSERT_EQ(standin::qui::flows().size(), 1u);
    EXPECT_TRUE(standin::qui::flows()[0].finished);
    EXPECT_TRUE(frame->can_start_flow());
}

TEST_F(QuiTest, flow_is_refused_when_the_host_forbids_it_and_dropped_by_a_reset)
{
    auto frame = make(QUI_FW_STATE_ATTACHED);
    ASSERT_TRUE(frame->open_file("/tmp/qui_flow.vtl"));
    standin::qui::set_flow_allowed(false);
    EXPECT_FALSE(frame->can_start_flow());
    frame->start_flow(15, "", true, false, true);
    EXPECT_TRUE(standin::qui::flows().empty());
    standin::qui::set_flow_allowed(true);
    frame->start_flow(15, "", true, false, true);
    standin::reset_all(); // a test that ends before the loop turns leaves nothing behind
    QCoreApplication::processEvents();
    EXPECT_TRUE(frame->flow_finishes.empty());
    EXPECT_TRUE(frame->can_start_flow());
}

// The texts of the posted messages of that kind.
std::vector<std::string> posted(const std::string& kind)
{
    std::vector<std::string> texts;
    for (const standin::msg::message_record& record : standin::msg::posted())
        if (record.kind == kind)
            texts.push_back(record.text);
    return texts;
}

// A compilation that does not start says why; a document that never had a file is first given
// one, as Save does, and compiles under it.
TEST_F(QuiTest, a_flow_that_cannot_start_says_why_and_a_new_document_is_named_first)
{
    const std::string refused = "Compilation not started: ";
    struct row
    {
        const char* name;
        bool has_file;
        bool allowed;
        bool running;
        const char* chosen; // the name given to Save As; null: the dialog is cancelled
        std::string told;   // empty: the flow starts
    };
    const row rows[] = {
        {"forbidden", true, false, false, nullptr, refused + "the host cannot start a compilation now"},
        {"another runs", true, true, true, nullptr, refused + "another compilation is running"},
        {"never saved, name refused", false, true, false, nullptr,
         refused + "the document has not been saved; save it under a name to compile it"},
        {"never saved, named", false, true, false, "/tmp/qui_named.vtl", ""},
    };
    for (const row& r : rows)
    {
        standin::reset_all();
        auto frame = make(QUI_FW_STATE_ATTACHED);
        if (r.has_file)
            ASSERT_TRUE(frame->open_file("/tmp/qui_flow.vtl"));
        standin::qui::set_flow_allowed(r.allowed);
        if (r.running)
            frame->start_flow(15, "", true, false, true);
        if (r.chosen != nullptr)
            standin::qui::push_file_choice(r.chosen);
        const size_t flows_before = standin::qui::flows().size();
        frame->start_flow(80, "", true, false, true);
        const bool started = standin::qui::flows().size() > flows_before;
        EXPECT_EQ(started, r.told.empty()) << r.name;
        EXPECT_EQ(posted("E"), r.told.empty() ? std::vector<std::string>{} : std::vector<std::string>{r.told})
            << r.name;
        if (r.chosen != nullptr)
            EXPECT_EQ(frame->get_file_path(), FIO_PATH(r.chosen)) << r.name;
    }
    standin::reset_all();
}

TEST_F(QuiTest, frame_manager_keeps_creation_order_and_finds_open_files)
{
    auto first = make(QUI_FW_STATE_MAIN_WINDOW);
    auto second = make(QUI_FW_STATE_ATTACHED);
    auto third = make(QUI_FW_STATE_MAIN_WINDOW);
    QUI_FRAME_MGR* manager = qui_get_app()->get_frame_wnd_mgr();
    EXPECT_EQ(manager->get_opened_frame_wnd_list(),
              (QList<QUI_FRAME_WND*>{first.get(), second.get(), third.get()}));
    EXPECT_EQ(qui_get_main_frame_wnd(), third.get());
    standin::qui::set_main_frame_wnd(first.get());
    EXPECT_EQ(qui_get_main_frame_wnd(), first.get());
    first.reset();
    EXPECT_EQ(qui_get_main_frame_wnd(), third.get());
    EXPECT_EQ(manager->get_opened_frame_wnd_list(), (QList<QUI_FRAME_WND*>{second.get(), third.get()}));
    EXPECT_EQ(second->get_main_window(), third.get());
    ASSERT_TRUE(second->open_file("/tmp/qui_a.vtl"));
    EXPECT_TRUE(third->find_open_file("/tmp/./qui_a.vtl", false));
    EXPECT_FALSE(third->find_open_file("/tmp/qui_b.vtl", false));
    EXPECT_FALSE(manager->open_file("/tmp/qui_no_such_file.txt", false, true, true));
    EXPECT_EQ(standin::qui::opened_files(), std::vector<std::string>{"/tmp/qui_no_such_file.txt"});
}

TEST_F(QuiTest, document_commands_keep_path_title_and_untitled_names)
{
    auto first = make(QUI_FW_STATE_ATTACHED);
    auto second = make(QUI_FW_STATE_ATTACHED);
    EXPECT_STREQ(info.get_untitled(), "Untitled1.vtl");
    ASSERT_TRUE(first->new_file());
    ASSERT_TRUE(second->new_file());
    EXPECT_EQ(first->windowTitle(), "Untitled1.vtl[*]");
    EXPECT_EQ(second->windowTitle(), "Untitled2.vtl[*]");
    EXPECT_FALSE(first->open_file(QString()));
    ASSERT_TRUE(first->open_file("/tmp/dir/demo.vtl"));
    EXPECT_EQ(first->windowTitle(), "demo.vtl[*]");
    EXPECT_EQ(first->get_file_path().fullpath(), "/tmp/dir/demo.vtl");
    standin::tst::set_regtest_mode(true); // save-as takes the proposal without a dialog
    ASSERT_TRUE(second->save_as(FIO_PATH()));
    EXPECT_EQ(second->get_file_path().str(), "Untitled2.vtl");
    standin::tst::set_regtest_mode(false);
    standin::qui::push_file_cancel();
    EXPECT_FALSE(second->save_as(FIO_PATH("/tmp/x.vtl")));
    standin::qui::push_file_choice("/tmp/chosen.vtl");
    ASSERT_TRUE(second->save_as(FIO_PATH("/tmp/x.vtl")));
    EXPECT_EQ(second->windowTitle(), "chosen.vtl[*]");
    EXPECT_EQ(standin::qui::pending_file_choices(), 0);
}

TEST_F(QuiTest, open_command_brings_an_open_file_forward_instead_of_reopening_it)
{
    auto first = make(QUI_FW_STATE_ATTACHED);
    auto second = make(QUI_FW_STATE_ATTACHED);
    ASSERT_TRUE(first->open_file("/tmp/qui_open.vtl"));
    standin::clear_calls();
    standin::qui::push_file_choice("/tmp/qui_open.vtl");
    second->get_menu_record()->file_menu->open_action->trigger();
    EXPECT_FALSE(has_call("qui:open_file(\"/tmp/qui_open.vtl\")"));
    standin::qui::push_file_choice("/tmp/qui_other.vtl");
    second->on_open_action();
    EXPECT_TRUE(has_call("qui:open_file(\"/tmp/qui_other.vtl\")"));
    EXPECT_EQ(second->get_file_path().fullpath(), "/tmp/qui_other.vtl");
    second->on_open_action(); // headless with nothing scripted: cancelled, never waiting
    EXPECT_TRUE(has_call("qui:file_dialog_unanswered(\"Open File\")"));
}

TEST_F(QuiTest, child_frame_detaches_from_and_attaches_to_the_mdi_area)
{
    auto main = make(QUI_FW_STATE_MAIN_WINDOW);
    QMdiArea* area = main->create_mdi_area();
    auto child = make(QUI_FW_STATE_ATTACHED);
    ASSERT_TRUE(child->main_wnd_has_mdi_area());
    ASSERT_EQ(area->subWindowList().size(), 1);
    child->get_menu_record()->window_menu->detach_action->setEnabled(true);
    child->detach_window();
    EXPECT_TRUE(child->is_detached());
    EXPECT_EQ(child->parentWidget(), nullptr);
    EXPECT_TRUE(child->get_menu_record()->window_menu->attach_action->isEnabled());
    child->attach_window();
    EXPECT_FALSE(child->is_detached());
    EXPECT_NE(qobject_cast<QMdiSubWindow*>(child->parentWidget()), nullptr);
    child.release(); // owned by its subwindow now
    main.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(qui_get_app()->get_frame_wnd_mgr()->get_opened_frame_wnd_list().isEmpty());
}

TEST_F(QuiTest, printer_is_one_pdf_printer_with_a_file_name)
{
    auto frame = make(QUI_FW_STATE_MAIN_WINDOW);
    QPrinter* printer = frame->get_printer();
    ASSERT_NE(printer, nullptr);
    EXPECT_EQ(printer->outputFormat(), QPrinter::PdfFormat);
    EXPECT_TRUE(printer->outputFileName().endsWith(".pdf"));
    EXPECT_EQ(frame->get_printer(), printer);
    EXPECT_NE(make(QUI_FW_STATE_MAIN_WINDOW)->get_printer()->outputFileName(), printer->outputFileName());
}

TEST_F(QuiTest, notifications_reach_the_frame_handlers_through_the_notify_map)
{
    auto frame = make(QUI_FW_STATE_ATTACHED);
    EXPECT_EQ(standin::ntfq::post("NTFQ_MSG_PRDQ_UPDATED"), 1);
    EXPECT_EQ(frame->prdq_updates, 1);
    EXPECT_EQ(standin::ntfq::post("NTFQ_MSG_POST_NOTIFY_FLOW_FINISH", 80), 1);
    EXPECT_EQ(frame->flow_finishes, std::vector<int>{80});
    EXPECT_EQ(standin::ntfq::post("NTFQ_MSG_SOMETHING_ELSE"), 0);
}

// The responder closes the dialog itself; the watchdog only turns a hang into a failure.
struct watched_dialog
{
    QDialog dialog;
    bool watchdog_fired = false;
    int exec()
    {
        QTimer::singleShot(5000, &dialog,
                           [this]
                           {
                               watchdog_fired = true;
                               dialog.reject();
                           });
        return dialog.exec();
    }
};

TEST_F(QuiTest, modal_responder_evaluates_the_command_then_accepts_the_dialog)
{
    standin::tst::set_regtest_mode(true);
    qui_prepare_for_modal_dlg_if_in_test("set ::qui_seen [llength [list a b c]]", 1000);
    ASSERT_TRUE(standin::qui::responder_armed());
    EXPECT_EQ(standin::qui::armed_delay_ms(), 1000);
    watched_dialog watched;
    watched.dialog.setWindowTitle("Add Table");
    EXPECT_EQ(watched.exec(), QDialog::Accepted);
    EXPECT_FALSE(watched.watchdog_fired);
    EXPECT_FALSE(standin::qui::responder_armed());
    ASSERT_EQ(standin::qui::responses().size(), 1u);
    const standin::qui::response response = standin::qui::responses()[0];
    EXPECT_EQ(response.code, TCL_OK);
    EXPECT_EQ(response.result, "3");
    EXPECT_EQ(response.dialog_title, "Add Table");
    EXPECT_TRUE(response.accepted);
    EXPECT_FALSE(response.rejected);
    EXPECT_STREQ(Tcl_GetVar(atcl_get_interpreter(), "::qui_seen", TCL_GLOBAL_ONLY), "3");
}

// A dialog that refuses to be accepted (input not valid) is rejected instead.
class refusing_dialog : public QDialog
{
public:
    void accept() override {}
};

TEST_F(QuiTest, modal_responder_rejects_a_dialog_that_refuses_accept_and_survives_a_tcl_error)
{
    standin::tst::set_regtest_mode(true);
    qui_prepare_for_modal_dlg_if_in_test("no_such_command_here", 1000);
    refusing_dialog dialog;
    bool watchdog_fired = false;
    QTimer::singleShot(5000, &dialog,
                       [&]
                       {
                           watchdog_fired = true;
                           dialog.QDialog::reject();
                       });
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
    EXPECT_FALSE(watchdog_fired);
    ASSERT_EQ(standin::qui::responses().size(), 1u);
    EXPECT_EQ(standin::qui::responses()[0].code, TCL_ERROR);
    EXPECT_TRUE(standin::qui::responses()[0].rejected);
}

// Follow-ups chain: the command of the first dialog arms the responder and opens a second
// modal dialog, which is answered inside the first one's command.
int open_inner_dialog(ClientData, Tcl_Interp* interp, int, const char**)
{
    qui_prepare_for_modal_dlg_if_in_test("set ::qui_inner 1", 1000);
    watched_dialog inner;
    inner.dialog.setWindowTitle("Inner");
    const int result = inner.exec();
    Tcl_SetResult(interp,
                  const_cast<char*>(result == QDialog::Accepted && !inner.watchdog_fired ? "ok" : "bad"),
                  TCL_VOLATILE);
    return TCL_OK;
}

TEST_F(QuiTest, modal_responder_answers_nested_dialogs_in_order)
{
    standin::tst::set_regtest_mode(true);
    Tcl_CreateCommand(atcl_get_interpreter(), "qui_open_inner", open_inner_dialog, nullptr, nullptr);
    qui_prepare_for_modal_dlg_if_in_test("qui_open_inner", 1000);
    watched_dialog outer;
    outer.dialog.setWindowTitle("Outer");
    EXPECT_EQ(outer.exec(), QDialog::Accepted);
    EXPECT_FALSE(outer.watchdog_fired);
    const auto responses = standin::qui::responses();
    ASSERT_EQ(responses.size(), 2u);
    EXPECT_EQ(responses[0].dialog_title, "Inner");
    EXPECT_EQ(responses[1].dialog_title, "Outer");
    EXPECT_EQ(responses[1].result, "ok");
}

TEST_F(QuiTest, modal_responder_stays_off_outside_regression_tests)
{
    qui_prepare_for_modal_dlg_if_in_test("set ::x 1", 1000);
    EXPECT_FALSE(standin::qui::responder_armed());
    EXPECT_TRUE(has_call("qui:qui_prepare_for_modal_dlg_if_in_test(\"set ::x 1\",1000)"));
}

TEST_F(QuiTest, queued_answers_press_message_box_buttons_and_reject_unexpected_dialogs)
{
    standin::qui::push_dialog_answer("recompile", QMessageBox::No);
    standin::qui::push_dialog_answer("Plain", 7);
    standin::qui::push_dialog_answer("Nope", 1);
    EXPECT_EQ(QMessageBox::question(nullptr, "Corvane", "Do you want to recompile?"), QMessageBox::No);
    watched_dialog plain;
    plain.dialog.setWindowTitle("Plain");
    EXPECT_EQ(plain.exec(), 7);
    watched_dialog unexpected;
    unexpected.dialog.setWindowTitle("Surprise");
    EXPECT_EQ(unexpected.exec(), QDialog::Rejected);
    EXPECT_FALSE(plain.watchdog_fired || unexpected.watchdog_fired);
    EXPECT_EQ(standin::qui::unanswered_dialogs(), std::vector<std::string>{"Surprise\n"});
    EXPECT_EQ(standin::qui::pending_dialog_answers(), 1);
}
// On a headless display nobody can answer: a modal dialog with nothing queued for it is
// rejected and listed instead of waiting for ever, and so is the message box of the host.
TEST_F(QuiTest, headless_modal_dialogs_without_answers_are_rejected_not_waited_on)
{
    ASSERT_EQ(QGuiApplication::platformName(), "offscreen");
    ASSERT_EQ(standin::qui::pending_dialog_answers(), 0);
    watched_dialog plain;
    plain.dialog.setWindowTitle("Nobody There");
    EXPECT_EQ(plain.exec(), QDialog::Rejected);
    EXPECT_FALSE(plain.watchdog_fired);
    bool box_watchdog_fired = false;
    QMessageBox box(QMessageBox::Question, "Corvane", "Overwrite?", QMessageBox::Yes | QMessageBox::No);
    QTimer::singleShot(5000, &box,
                       [&]
                       {
                           box_watchdog_fired = true;
                           box.done(QMessageBox::Yes);
                       });
    EXPECT_NE(box.exec(), QMessageBox::Yes);
    EXPECT_FALSE(box_watchdog_fired);
    EXPECT_EQ(standin::qui::unanswered_dialogs(),
              (std::vector<std::string>{"Nobody There\n", "Corvane\nOverwrite?"}));
}
} // namespace

namespace
{
// A modal dialog closed on a display whose window system activates nothing afterwards (no
// window manager): the window it belonged to gets the keyboard back.
TEST_F(QuiTest, a_closed_modal_dialog_gives_its_window_the_keyboard_back)
{
    auto frame = make(QUI_FW_STATE_MAIN_WINDOW);
    frame->show();
    QApplication::setActiveWindow(frame.get());
    QDialog dialog(frame.get());
    QTimer::singleShot(0, &dialog, [&dialog] {
        QApplication::setActiveWindow(nullptr); // the dialog's window goes, nothing is active
        dialog.accept();
    });
    dialog.exec();
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
    EXPECT_EQ(QApplication::activeWindow(), frame.get());
}

// A menu entry that its menu enables only as it opens runs from its key while another widget has
// the focus: the window brings the menu up to date first. That holds for a menu attached to the
// bar after the window gathered its keys, with entries and keys of its own, and for a key given to
// an entry later.
TEST_F(QuiTest, a_key_brings_its_menu_up_to_date_for_menus_and_keys_that_came_later)
{
    auto frame = make(QUI_FW_STATE_MAIN_WINDOW);
    auto* field = new QLineEdit(frame.get());
    frame->show();
    QApplication::setActiveWindow(frame.get());
    field->setFocus();
    auto* tools = new QMenu(QStringLiteral("Tools"), frame.get());
    QAction* early = tools->addAction(QStringLiteral("Early"));
    early->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_J));
    QAction* later = tools->addAction(QStringLiteral("Later"));
    for (QAction* entry : {early, later})
    {
        entry->setEnabled(false);
        QObject::connect(tools, &QMenu::aboutToShow, entry, [entry] { entry->setEnabled(true); });
    }
    QTest::keyClick(field, Qt::Key_X); // the window gathers the keys of its menus
    frame->menuBar()->addMenu(tools);
    QSignalSpy early_runs(early, &QAction::triggered);
    QTest::keyClick(field, Qt::Key_J, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(early_runs.count(), 1) << "the key of an entry of a menu attached since";

    later->setEnabled(false);
    later->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_K));
    QSignalSpy later_runs(later, &QAction::triggered);
    QTest::keyClick(field, Qt::Key_K, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(later_runs.count(), 1) << "a key given to an entry since";
    EXPECT_EQ(field->text(), QStringLiteral("x")) << "the keys of the entries never reach the field";
}
} // namespace
