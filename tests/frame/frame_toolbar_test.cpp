// The "Default" toolbar of the editor window, its enabling on every refresh, and the compile
// commands of a child window.
#include "frame_test_support.h"

#include "host/standin/msg_control.h"
#include "host/standin/qui_control.h"
#include "sedq/model/sedq_edit_scope.h"

#include <QToolBar>

#include <functional>

namespace
{
QStringList button_names(QToolBar* toolbar)
{
    QStringList names;
    for (QAction* entry : toolbar->actions())
        names << (entry->isSeparator() ? QString("|") : entry->objectName());
    return names;
}

struct toolbar_state
{
    bool find, compile, recompile, center_on_trigger;
    bool operator==(const toolbar_state& other) const
    {
        return find == other.find && compile == other.compile && recompile == other.recompile &&
               center_on_trigger == other.center_on_trigger;
    }
};

std::ostream& operator<<(std::ostream& out, const toolbar_state& s)
{
    return out << "find " << s.find << ", compile " << s.compile << ", recompile " << s.recompile
               << ", center " << s.center_on_trigger;
}
} // namespace

class frame_toolbar_test : public frame_test
{
protected:
    toolbar_state state_of(SEDQ_FRAME_WND* frame)
    {
        return {action(frame, AFCQ_SEDQ_TOOLBAR_FIND_ACTION)->isEnabled(),
                action(frame, AFCQ_SEDQ_TOOLBAR_START_COMPILE_ACTION)->isEnabled(),
                action(frame, AFCQ_SEDQ_TOOLBAR_START_RECOMPILE_ACTION)->isEnabled(),
                action(frame, AFCQ_SEDQ_TOOLBAR_WAVEFORM_CENTER_ON_TRIGGER_ACTION)->isEnabled()};
    }
};

TEST_F(frame_toolbar_test, default_toolbar_buttons_in_child_and_main_window_mode)
{
    const QStringList common = {
        "AFCQ_SAVE_ACTION", "|", "AFCQ_694", "AFCQ_459", "|", "AFCQ_509",
        "AFCQ_506",         "|", "AFCQ_507", "AFCQ_508", "|", "AFCQ_CORVANE_HELP_ACTION"};
    SEDQ_FRAME_WND* child = make_frame(QUI_FW_STATE_ATTACHED);
    EXPECT_EQ(button_names(child->get_default_toolbar()),
              QStringList({"AFCQ_ATTACH_ACTION", "AFCQ_DETACH_ACTION", "|"}) + common);
    SEDQ_FRAME_WND* main = make_frame(QUI_FW_STATE_MAIN_WINDOW);
    EXPECT_EQ(button_names(main->get_default_toolbar()), QStringList({"AFCQ_OPEN_ACTION"}) + common);
    EXPECT_EQ(main->get_predefined_toolbar_buttons("Utility Windows"), QStringList({"AFCQ_MSWQ_ACTION"}));
    for (int id :
         {AFCQ_SEDQ_TOOLBAR_FIND_ACTION, AFCQ_SEDQ_TOOLBAR_START_COMPILE_ACTION,
          AFCQ_SEDQ_TOOLBAR_START_RECOMPILE_ACTION, AFCQ_SEDQ_TOOLBAR_WAVEFORM_CENTER_ON_TRIGGER_ACTION})
        EXPECT_EQ(action(child, id)->parent(), child) << "toolbar command " << id << " belongs to the window";
}

TEST_F(frame_toolbar_test, toolbar_categories_depend_on_the_mode)
{
    const QMap<QString, QStringList> child = make_frame(QUI_FW_STATE_ATTACHED)->get_toolbar_categories();
    const QMap<QString, QStringList> main = make_frame(QUI_FW_STATE_MAIN_WINDOW)->get_toolbar_categories();
    EXPECT_EQ(child.value("File").value(0), "AFCQ_NEW_ACTION");
    EXPECT_EQ(main.value("File").value(0), "AFCQ_OPEN_ACTION");
    EXPECT_EQ(main.value("Utility Windows"), QStringList({"AFCQ_MSWQ_ACTION"}));
    EXPECT_FALSE(child.contains("Utility Windows"));
    EXPECT_FALSE(child.value("Default").contains("AFCQ_OPEN_ACTION"));
    EXPECT_EQ(main.value("Default").indexOf("AFCQ_OPEN_ACTION"), 2);
    EXPECT_EQ(child.value("Edit").size(), 5);
}

TEST_F(frame_toolbar_test, toolbar_commands_follow_the_document_on_every_refresh)
{
    SEDQ_FRAME_WND* empty_window = make_frame();
    EXPECT_EQ(state_of(empty_window), (toolbar_state{false, false, false, false})) << "no document";
    SEDQ_FRAME_WND* frame = open_frame(write_document({{"alpha", 0}, {"beta", 3}}));
    EXPECT_EQ(state_of(frame), (toolbar_state{false, true, false, false})) << "no nodes, setup page";
    frame->get_layout_widget()->get_instance_tab_widget()->setCurrentIndex(1);
    settle();
    EXPECT_EQ(state_of(frame), (toolbar_state{true, true, false, false})) << "nodes, setup page";
    frame->get_layout_widget()->get_data_setup_tab_widget(-1)->setCurrentIndex(0);
    settle();
    EXPECT_EQ(state_of(frame), (toolbar_state{true, true, false, true})) << "nodes, data page";
}

// Undo and redo sit on the toolbar too: their state follows the document's history from the
// first refresh on, not only once the Edit menu has been opened.
TEST_F(frame_toolbar_test, undo_and_redo_follow_the_history_from_the_start)
{
    struct row
    {
        const char* name;
        std::function<SEDQ_FRAME_WND*()> make;
    };
    const row rows[] = {
        {"window without a document", [this] { return make_frame(); }},
        {"opened document", [this] { return open_frame(write_document({{"alpha"}})); }},
        {"new document",
         [this]
         {
             SEDQ_FRAME_WND* frame = make_frame();
             EXPECT_TRUE(frame->new_file());
             settle();
             return frame;
         }}};
    for (const row& r : rows)
    {
        SEDQ_FRAME_WND* frame = r.make();
        EXPECT_FALSE(action(frame, AFCQ_EDIT_UNDO_ACTION)->isEnabled()) << r.name;
        EXPECT_FALSE(action(frame, AFCQ_EDIT_REDO_ACTION)->isEnabled()) << r.name;
    }
    SEDQ_FRAME_WND* frame = open_frame(write_document({{"beta", 0}}, "edited.vtl"));
    {
        SEDQ_EDIT_SCOPE edit(frame->get_tx_manager(), SEDQ_CHECK_COMPILATION);
        frame->get_tx_manager()->set_instance_enabled(-1, false);
    }
    settle();
    EXPECT_TRUE(action(frame, AFCQ_EDIT_UNDO_ACTION)->isEnabled()) << "an edit makes undo available";
    action(frame, AFCQ_EDIT_UNDO_ACTION)->trigger();
    settle();
    EXPECT_FALSE(action(frame, AFCQ_EDIT_UNDO_ACTION)->isEnabled());
    EXPECT_TRUE(action(frame, AFCQ_EDIT_REDO_ACTION)->isEnabled());
}

TEST_F(frame_toolbar_test, center_on_trigger_is_off_for_segmented_data)
{
    SEDQ_FRAME_WND* frame = open_frame(write_document({{"alpha", 2, 1, {}, false, false, 4}}));
    frame->get_layout_widget()->get_data_setup_tab_widget(-1)->setCurrentIndex(0);
    settle();
    EXPECT_FALSE(action(frame, AFCQ_SEDQ_TOOLBAR_WAVEFORM_CENTER_ON_TRIGGER_ACTION)->isEnabled());
    EXPECT_TRUE(action(frame, AFCQ_SEDQ_TOOLBAR_FIND_ACTION)->isEnabled());
}

TEST_F(frame_toolbar_test, main_window_never_offers_compile)
{
    SEDQ_FRAME_WND* frame = open_frame(write_document({{"alpha"}}), QUI_FW_STATE_MAIN_WINDOW);
    EXPECT_FALSE(action(frame, AFCQ_SEDQ_TOOLBAR_START_COMPILE_ACTION)->isEnabled());
    QMetaObject::invokeMethod(frame, "on_compile");
    QMetaObject::invokeMethod(frame, "on_recompile");
    EXPECT_TRUE(standin::qui::flows().empty()) << "a reported main-window compile must not start a flow";
    EXPECT_EQ(standin::msg::internal_errors().size(), 2u);
}

TEST_F(frame_toolbar_test, child_window_compiles_and_follows_the_host_relayne_entry)
{
    QUI_FRAME_WND* host = make_host_main_window();
    QAction* rly = host->get_menu_record()->processing_menu->rly_action;
    rly->setEnabled(true);
    SEDQ_FRAME_WND* frame = open_frame(write_document({{"alpha"}}));
    EXPECT_TRUE(action(frame, AFCQ_SEDQ_TOOLBAR_START_RECOMPILE_ACTION)->isEnabled());
    EXPECT_TRUE(frame->is_rly_available());
    rly->setEnabled(false);
    EXPECT_FALSE(action(frame, AFCQ_SEDQ_TOOLBAR_START_RECOMPILE_ACTION)->isEnabled())
        << "a change of the host entry updates the toolbar at once";
    action(frame, AFCQ_SEDQ_TOOLBAR_START_COMPILE_ACTION)->trigger();
    ASSERT_EQ(standin::qui::flows().size(), 1u);
    EXPECT_EQ(standin::qui::flows()[0].flow, 15);
    EXPECT_TRUE(standin::msg::internal_errors().empty());
}

TEST_F(frame_toolbar_test, default_and_edit_categories_in_both_modes)
{
    const QStringList tail = {"AFCQ_SAVE_ACTION",
                              "AFCQ_UNDO_ACTION",
                              "AFCQ_REDO_ACTION",
                              "AFCQ_SEDQ_TOOLBAR_WAVEFORM_CENTER_ON_TRIGGER_ACTION",
                              "AFCQ_SEDQ_TOOLBAR_FIND_ACTION",
                              "AFCQ_SEDQ_TOOLBAR_START_COMPILE_ACTION",
                              "AFCQ_SEDQ_TOOLBAR_START_RECOMPILE_ACTION",
                              "AFCQ_CORVANE_HELP_ACTION"};
    const QStringList edit = {"AFCQ_UNDO_ACTION", "AFCQ_REDO_ACTION", "AFCQ_DELETE_ACTION",
                              "AFCQ_FIND_ACTION", "AFCQ_FIND_NEXT_ACTION"};
    struct row
    {
        const char* name;
        QUI_FW_STATE_ENUM state;
        QStringList default_category;
    };
    const row rows[] = {
        {"child", QUI_FW_STATE_ATTACHED, QStringList({"AFCQ_ATTACH_ACTION", "AFCQ_DETACH_ACTION"}) + tail},
        {"main window", QUI_FW_STATE_MAIN_WINDOW,
         QStringList({"AFCQ_ATTACH_ACTION", "AFCQ_DETACH_ACTION", "AFCQ_OPEN_ACTION"}) + tail}};
    for (const row& r : rows)
    {
        const QMap<QString, QStringList> categories = make_frame(r.state)->get_toolbar_categories();
        EXPECT_EQ(categories.value("Default"), r.default_category) << r.name;
        EXPECT_EQ(categories.value("Edit"), edit) << r.name;
    }
}

TEST_F(frame_toolbar_test, a_child_window_outlives_the_host_relayne_entry)
{
    QUI_FRAME_WND* host = make_host_main_window();
    host->get_menu_record()->processing_menu->rly_action->setEnabled(true);
    SEDQ_FRAME_WND* frame = open_frame(write_document({{"alpha"}}));
    ASSERT_TRUE(action(frame, AFCQ_SEDQ_TOOLBAR_START_RECOMPILE_ACTION)->isEnabled());
    destroy_host_main_window();
    QMetaObject::invokeMethod(frame, "on_rly_changed");
    EXPECT_FALSE(action(frame, AFCQ_SEDQ_TOOLBAR_START_RECOMPILE_ACTION)->isEnabled())
        << "without the host entry Relayne cannot run";
    EXPECT_FALSE(frame->is_rly_available());
}
