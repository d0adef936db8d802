// The view shell: host actions routed by focus, the column menus, the header combos, Delete and
// Select All, the reaction to each kind of update and to changed project assignments.
#include "sedq_view_test_support.h"

#include "host/dev.h"
#include "host/standin/acf_control.h"
#include "host/standin/dev_control.h"
#include "host/standin/ntfq_control.h"
#include "host/standin/qui_control.h"
#include "host/standin/standin.h"
#include "sedq/frame/sedq_instance_tabs.h"
#include "sedq/model/sedq_globals.h"
#include "sedq/model/sedq_pages.h"
#include "sedq/view/sedq_undo_actions.h"

#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QMenu>
#include <QTimer>

namespace
{
constexpr int SEPARATOR = -1;
constexpr int SUBMENU = -2;

void three_leaves(SDR_DATA_SESSION& s)
{
    add_leaves(s.m_instances[0]->get_active_trigger(), {"top|a", "top|b", "top|c"});
}

// Host action ids of a menu's entries (-1 a separator, -2 a submenu).
std::vector<int> entry_ids(SEDQ_TX_MANAGER* tx, QMenu* menu)
{
    std::vector<int> ids;
    for (QAction* action : menu->actions())
    {
        if (action->isSeparator())
            ids.push_back(SEPARATOR);
        else if (action->menu() != nullptr)
            ids.push_back(SUBMENU);
        else
        {
            int id = 0;
            for (int candidate = 1; candidate < 1000 && id == 0; ++candidate)
                if (tx->get_action(AFCQ_ACTION_ENUM(candidate), QVariant()) == action)
                    id = candidate;
            ids.push_back(id);
        }
    }
    return ids;
}

struct hint_recorder
{
    explicit hint_recorder(SEDQ_TX_MANAGER* tx)
    {
        QObject::connect(tx, &SEDQ_TX_MANAGER::updated, &receiver,
                         [this](QObject*, int hint) { hints.push_back(hint); });
    }
    bool saw(unsigned hint) const
    {
        return std::find(hints.begin(), hints.end(), static_cast<int>(hint)) != hints.end();
    }
    QObject receiver;
    std::vector<int> hints;
};
} // namespace

// ---- focus routing ---------------------------------------------------------------------------------

TEST_F(view_test, the_view_routes_fifty_two_host_actions_in_order)
{
    open(write_document(three_leaves));
    const QList<SEDQ_CONNECTION>& pairs = view()->get_connections();
    ASSERT_EQ(pairs.size(), 52);
    const struct
    {
        int order;
        int id;
        const char* slot;
    } samples[] = {{1, 513, "on_edit_select_all()"},
                   {7, 326, "on_node_insert()"},
                   {22, 356, "on_bus_order(QAction *)"},
                   {35, 368, "on_trigger_condition(QAction *)"},
                   {37, 226, "on_trigger_condition(QAction *)"},
                   {42, 713, "on_insert_master_time_bar()"},
                   {43, 717, "on_insert_master_time_bar()"},
                   {52, 716, "on_previous_transition()"}};
    for (const auto& sample : samples)
    {
        const SEDQ_CONNECTION& pair = pairs[sample.order - 1];
        EXPECT_EQ(int(pair.m_id), sample.id) << "pair " << sample.order;
        EXPECT_EQ(QMetaObject::normalizedSignature(pair.m_slot + 1),
                  QMetaObject::normalizedSignature(sample.slot))
            << "pair " << sample.order;
    }
    EXPECT_FALSE(view()->is_connected());
}

TEST_F(view_test, focus_connects_the_actions_and_losing_it_disconnects_and_disables_them)
{
    open(write_document(three_leaves));
    QAction* select_all = tx()->get_action(AFCQ_EDIT_SELECT_ALL_ACTION, QVariant());
    focus_view();
    EXPECT_TRUE(view()->is_connected());
    EXPECT_FALSE(select_all->isEnabled()) << "connected actions start disabled";
    view()->on_update_edit_menu();
    EXPECT_TRUE(select_all->isEnabled());
    select_all->trigger();
    EXPECT_EQ(view()->get_selection_count(), 3);
    view()->select_all_items(false);
    frame()->get_layout_widget()->get_instance_tab_widget()->setFocus(Qt::TabFocusReason);
    settle();
    EXPECT_FALSE(view()->is_connected());
    EXPECT_FALSE(select_all->isEnabled());
    select_all->setEnabled(true);
    select_all->trigger();
    EXPECT_EQ(view()->get_selection_count(), 0) << "the view no longer takes the action";
}

TEST_F(view_test, a_pop_up_menu_of_the_view_keeps_the_actions_routed)
{
    open(write_document(three_leaves));
    focus_view();
    QMenu* menu = view()->get_column_menu(SEDQ_COLUMN_DATA_ENABLE);
    ASSERT_NE(menu, nullptr);
    menu->popup(view()->mapToGlobal(QPoint(10, 10)));
    settle();
    EXPECT_TRUE(view()->is_connected());
    menu->close();
    settle();
}

TEST_F(view_test, the_lock_mode_actions_stay_connected_without_focus)
{
    open(write_document(three_leaves));
    QAction* trigger_only = tx()->get_action(AFCQ_SEDQ_LOCK_MODE_TRIGGER_ACTION, QVariant());
    trigger_only->setEnabled(true);
    trigger_only->trigger();
    EXPECT_EQ(tx()->get_lock_mode(false), SEDQ_LOCK_MODE_ALLOW_TRIGGER);
    view()->on_select_lock_mode_all();
    EXPECT_EQ(tx()->get_lock_mode(false), SEDQ_LOCK_MODE_ALLOW_ALL);
}

// ---- column menus ----------------------------------------------------------------------------------

TEST_F(view_test, column_menus_hold_their_host_actions_in_order)
{
    open(write_document(three_leaves));
    EXPECT_EQ(entry_ids(tx(), view()->get_column_menu(SEDQ_COLUMN_ALIAS)),
              (std::vector<int>{AFCQ_SEDQ_SET_ALIAS_ACTION, AFCQ_SEDQ_PASTE_ALIAS_ACTION,
                                AFCQ_SEDQ_REMOVE_ALIAS_ACTION}));
    EXPECT_EQ(entry_ids(tx(), view()->get_column_menu(SEDQ_COLUMN_DATA_ENABLE)),
              (std::vector<int>{AFCQ_SEDQ_DATA_ENABLE_ACTION, AFCQ_SEDQ_DATA_DISABLE_ACTION}));
    EXPECT_EQ(entry_ids(tx(), view()->get_column_menu(SEDQ_COLUMN_TRIGGER_ENABLE)),
              (std::vector<int>{AFCQ_SEDQ_TRIGGER_ENABLE_ACTION, AFCQ_SEDQ_TRIGGER_DISABLE_ACTION}));
    EXPECT_EQ(entry_ids(tx(), view()->get_column_menu(SEDQ_COLUMN_STORAGE_ENABLE)),
              (std::vector<int>{AFCQ_SEDQ_STORAGE_ENABLE_ACTION, AFCQ_SEDQ_STORAGE_DISABLE_ACTION}));
    EXPECT_EQ(entry_ids(tx(), view()->get_column_menu(SEDQ_COLUMN_TRANSITIONAL)),
              (std::vector<int>{AFCQ_SEDQ_TRANSITION_ENABLE_ACTION, AFCQ_SEDQ_TRANSITION_DISABLE_ACTION}));
    EXPECT_EQ(entry_ids(tx(), view()->get_column_menu(SEDQ_COLUMN_WAVEFORM)),
              (std::vector<int>{712, 710, 711, SEPARATOR, 713, 717, 714, SEPARATOR, 718, 719, SEPARATOR, 728,
                                729, 730, 708}));
    const std::vector<int> name = {
        120,     513, SEPARATOR, 178,       179, SEPARATOR, 349,       350,       351,       SEPARATOR,
        SUBMENU, 326, 358,       SEPARATOR, 327, 361,       SEPARATOR, SUBMENU,   SEPARATOR, 352,
        377,     378, 362,       SEPARATOR, 355, SEPARATOR, 344,       SEPARATOR, 353,       SEPARATOR,
        328,     329, SEPARATOR, 360,       359, SEPARATOR, 356,       354,       SEPARATOR, SUBMENU};
    EXPECT_EQ(entry_ids(tx(), view()->get_column_menu(SEDQ_COLUMN_NAME)), name);
    for (int column = 9; column <= 21; ++column)
        EXPECT_EQ(view()->get_column_menu(column), view()->get_column_menu(SEDQ_COLUMN_SQ_CONDITIONAL))
            << column;
    EXPECT_EQ(entry_ids(tx(), view()->get_column_menu(SEDQ_COLUMN_SQ_CONDITIONAL)),
              (std::vector<int>{227, SEPARATOR, 226, 230, 228, 229, 232, 231, 234,       233, SEPARATOR,
                                225, SEPARATOR, 368, 373, 370, 374, 371, 369, SEPARATOR, 372}));
    EXPECT_EQ(tx()->get_action(AFCQ_SEDQ_BUS_LSB_TO_MSB_ACTION, QVariant())->actionGroup(),
              tx()->get_action(AFCQ_SEDQ_BUS_MSB_TO_LSB_ACTION, QVariant())->actionGroup());
    EXPECT_EQ(tx()->get_action(AFCQ_SEDQ_NOT_VALUE_CONDITION_ACTION, QVariant())->data().toInt(),
              SDR_CTYPE_GROUP_FIRST + 2)
        << "not value, the third group pattern";
    EXPECT_EQ(tx()->get_action(AFCQ_SEDQ_FALLING_EDGE_CONDITION_ACTION, QVariant())->data().toInt(),
              SDR_CTYPE_FALLING);
}

TEST_F(view_test, a_right_click_on_an_unselected_row_selects_it_alone)
{
    open(write_document(three_leaves));
    focus_view();
    tx()->set_node_selection_status(0, true);
    tx()->set_node_selection_status(1, true);
    const QRect cell = inner_cell(5, 12);
    QTimer::singleShot(0,
                       []
                       {
                           if (QWidget* popup = QApplication::activePopupWidget())
                               popup->close();
                       });
    QContextMenuEvent event(QContextMenuEvent::Mouse, cell.center(), view()->mapToGlobal(cell.center()));
    QApplication::sendEvent(view(), &event);
    EXPECT_EQ(view()->get_selected_item(), 2);
    EXPECT_EQ(view()->get_context_trigger_level(), 0);
    tx()->set_node_selection_status(0, true);
    QTimer::singleShot(0,
                       []
                       {
                           if (QWidget* popup = QApplication::activePopupWidget())
                               popup->close();
                       });
    QApplication::sendEvent(view(), &event);
    EXPECT_EQ(view()->get_selection_count(), 2) << "a selected row keeps the selection";
}

// ---- header combos ---------------------------------------------------------------------------------

TEST_F(view_test, level_type_combos_follow_the_storage_qualifier_and_the_levels)
{
    const struct
    {
        const char* name;
        SDR_DATA_STORAGE_QUALIFIER_TYPE type;
        std::vector<int> shown;
    } cases[] = {
        {"continuous", SDR_SQTYPE_CONTINUOUS, {3, 4, 5}},
        {"conditional", SDR_SQTYPE_CONDITIONAL, {0, 3, 4, 5}},
        {"start stop", SDR_SQTYPE_START_STOP, {1, 2, 3, 4, 5}},
    };
    for (const auto& row : cases)
    {
        open(write_document(
            [&](SDR_DATA_SESSION& s)
            {
                SDR_DATA_TRIGGER* trigger = trigger_of(s);
                standin::sdr::set_levels(trigger, 3);
                trigger->edit_transient().sq_type = row.type;
                trigger->edit_transient().levels[1].type = SDR_LTYPE_BASIC_OR;
                add_leaves(trigger, {"top|a"});
            },
            1, QString::fromLatin1(row.name).remove(' ') + ".vtl"));
        std::vector<int> shown;
        for (int index = 0; index < 13; ++index)
            if (!view()->get_level_type_combo(index)->isHidden())
                shown.push_back(index);
        EXPECT_EQ(shown, row.shown) << row.name;
        EXPECT_EQ(view()->get_level_type_combo(4)->currentText(), "Basic OR") << row.name;
        EXPECT_TRUE(view()->get_level_type_combo(3)->isEnabled()) << row.name;
        m_frames.clear();
    }
}

TEST_F(view_test, a_lock_or_an_acquisition_disables_the_combos)
{
    open(write_document([](SDR_DATA_SESSION& s) { add_leaves(trigger_of(s), {"top|a"}); }));
    QComboBox* lock = view()->get_lock_mode_combo();
    QComboBox* level = view()->get_level_type_combo(3);
    EXPECT_TRUE(lock->isEnabled());
    EXPECT_EQ(lock->currentText(), SEDQ_LOCK_MODE_ALLOW_ALL_STRING);
    tx()->set_lock_mode(SEDQ_LOCK_MODE_ALLOW_TRIGGER, true);
    settle();
    EXPECT_EQ(lock->currentIndex(), 2);
    EXPECT_FALSE(level->isEnabled()) << "a lock keeps the level types";
    EXPECT_TRUE(lock->isEnabled());
    tx()->set_lock_mode(SEDQ_LOCK_MODE_ALLOW_ALL, false);
    tx()->set_instance_acq_state(0, SEDQ_ACQ_STATE_RUNNING);
    refresh();
    EXPECT_FALSE(lock->isEnabled());
    EXPECT_FALSE(level->isEnabled());
    show_data_tab(true);
    EXPECT_TRUE(lock->isHidden());
    EXPECT_TRUE(level->isHidden());
}

TEST_F(view_test, the_lock_mode_combo_of_an_ip_wizard_instance_stays_on_incremental_route)
{
    open(write_document(
        [](SDR_DATA_SESSION& s)
        {
            add_leaves(trigger_of(s), {"top|a"});
            s.m_instances[0]->m_node_info.m_generator = 2;
        }));
    EXPECT_EQ(view()->get_lock_mode_combo()->currentIndex(), 1);
    EXPECT_FALSE(view()->get_lock_mode_combo()->isEnabled());
}

TEST_F(view_test, choosing_a_level_type_edits_the_level_and_refreshes_the_layout)
{
    open(write_document(
        [](SDR_DATA_SESSION& s)
        {
            standin::sdr::set_levels(trigger_of(s), 3);
            trigger_of(s)->edit_transient().levels[0].type = SDR_LTYPE_ADVANCED;
            add_leaves(trigger_of(s), {"top|a"});
        }));
    hint_recorder recorder(tx());
    view()->get_level_type_combo(4)->setCurrentIndex(1);
    settle();
    EXPECT_EQ(tx()->get_trigger_level_type(1, -1), SDR_LTYPE_BASIC_OR);
    EXPECT_TRUE(recorder.saw(0x20000040u));
    view()->get_level_type_combo(5)->setCurrentIndex(3);
    settle();
    EXPECT_EQ(tx()->get_trigger_level_type(2, -1), SDR_LTYPE_ADVANCED);
    EXPECT_EQ(tx()->get_int_state(-1, SEDQ_ACTIVE_TAB_KEY, -1), 3) << "2 + the one advanced level below";
    {
        const SEDQ_BLOCK block;
        view()->get_level_type_combo(3)->setCurrentIndex(0);
    }
    EXPECT_EQ(tx()->get_trigger_level_type(0, -1), SDR_LTYPE_ADVANCED)
        << "ignored while the view writes them";
}

// ---- delete and select all -------------------------------------------------------------------------

TEST_F(view_test, delete_removes_the_selection_in_one_undo_step_and_selects_the_next_row)
{
    open(write_document(three_leaves));
    focus_view();
    hint_recorder recorder(tx());
    select_only(1);
    view()->on_edit_delete();
    settle();
    EXPECT_EQ(tx()->get_node_count(-1), 2);
    EXPECT_EQ(view()->get_selected_item(), 1) << "the row that took its place";
    EXPECT_TRUE(recorder.saw(0x20000007u));
    tx()->on_edit_undo();
    settle();
    EXPECT_EQ(tx()->get_node_count(-1), 3);
    focus_view();
    select_only(2);
    view()->on_edit_delete();
    EXPECT_EQ(view()->get_selected_item(), 1) << "the last row: the new last row";
    view()->select_all_items(true);
    view()->on_edit_delete();
    EXPECT_EQ(tx()->get_node_count(-1), 0);
    EXPECT_EQ(view()->get_selection_count(), 0);
}

TEST_F(view_test, delete_and_select_all_need_the_focus)
{
    open(write_document(three_leaves));
    select_only(0);
    view()->on_edit_delete();
    view()->on_edit_select_all();
    EXPECT_EQ(tx()->get_node_count(-1), 3);
    EXPECT_EQ(view()->get_selection_count(), 1);
    focus_view();
    EXPECT_TRUE(view()->on_update_edit_select_all());
    view()->on_edit_select_all();
    EXPECT_EQ(view()->get_selection_count(), 3);
    EXPECT_FALSE(view()->on_update_edit_select_all());
}

// A lock keeps its nodes on the setup page and on an advanced trigger page alike.
TEST_F(view_test, delete_follows_the_lock_on_every_setup_page)
{
    open(write_document(
        [](SDR_DATA_SESSION& s)
        {
            add_leaves(trigger_of(s), {"top|a", "top|b"});
            trigger_of(s)->edit_transient().levels[0].type = SDR_LTYPE_ADVANCED;
        }));
    focus_view();
    select_only(0);
    EXPECT_TRUE(view()->on_update_edit_delete());
    tx()->set_lock_mode(SEDQ_LOCK_MODE_ALLOW_TRIGGER, false);
    EXPECT_FALSE(view()->on_update_edit_delete());
    tx()->set_lock_mode(SEDQ_LOCK_MODE_ALLOW_INCREMENTAL, false);
    EXPECT_TRUE(view()->on_update_edit_delete()) << "a pre-synthesis node may go under incremental routing";
    tx()->set_lock_mode(SEDQ_LOCK_MODE_ALLOW_TRIGGER, false);
    tabs()->setCurrentIndex(2);
    settle();
    ASSERT_TRUE(tx()->is_advanced_mode(nullptr));
    focus_view();
    select_only(0);
    EXPECT_FALSE(view()->on_update_edit_delete());
    view()->on_edit_delete();
    EXPECT_EQ(tx()->get_node_count(-1), 2);
}

// ---- updates ---------------------------------------------------------------------------------------

TEST_F(view_test, a_rebuild_clears_the_selection_and_the_time_bars)
{
    open(write_document(three_leaves));
    view()->select_all_items(true);
    refresh(SEDQ_UPDATE_REBUILD | SEDQ_UPDATE_NODE_VIEW);
    EXPECT_EQ(view()->get_selection_count(), 0);
    EXPECT_EQ(view()->get_timebar_count(), 0);
    EXPECT_FALSE(view()->get_lock_mode_combo()->isEnabled());
    refresh(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_NODE_VIEW);
    EXPECT_TRUE(view()->get_lock_mode_combo()->isEnabled());
}

TEST_F(view_test, updates_for_other_panes_change_nothing_and_no_repaint_still_refreshes_the_combos)
{
    open(write_document(three_leaves));
    tx()->set_lock_mode(SEDQ_LOCK_MODE_ALLOW_TRIGGER, false);
    refresh(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_CONFIGURATION);
    EXPECT_EQ(view()->get_lock_mode_combo()->currentIndex(), 0) << "not addressed to the view";
    refresh(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_NO_REPAINT | SEDQ_UPDATE_NODE_VIEW);
    EXPECT_EQ(view()->get_lock_mode_combo()->currentIndex(), 2);
}

TEST_F(view_test, switching_between_setup_and_data_clears_the_selection_once)
{
    open(write_document(three_leaves));
    select_only(1);
    refresh();
    EXPECT_EQ(view()->get_selected_item(), 1) << "a refresh in the same mode";
    show_data_tab(true);
    EXPECT_EQ(view()->get_selection_count(), 0);
    select_only(0);
    refresh();
    EXPECT_EQ(view()->get_selected_item(), 0);
}

// Each window remembers its own mode: one window's switch leaves another's selection alone.
TEST_F(view_test, one_windows_mode_switch_keeps_another_windows_selection)
{
    open(write_document(three_leaves, 1, "one.vtl"));
    SEDQ_FRAME_WND* first = frame();
    open(write_document(three_leaves, 1, "two.vtl"));
    select_only(2);
    first->get_layout_widget()->get_data_setup_tab_widget(-1)->setCurrentIndex(0);
    settle();
    refresh();
    EXPECT_EQ(view()->get_selected_item(), 2);
}

// ---- project assignments ---------------------------------------------------------------------------

TEST_F(view_test, the_hps_trigger_is_hidden_for_a_known_device_without_a_hard_processor)
{
    open(write_document(three_leaves));
    EXPECT_FALSE(view()->hide_hps_trigger()) << "no project";
    EXPECT_TRUE(view()->hide_signal_probe());
    EXPECT_FALSE(view()->hide_ram_type());
    hint_recorder recorder(tx());
    standin::dev::set_part("HC2C35F672C6", {});
    standin::dev::set_part("MD5SE50F896I4", {{DEV_RESOURCE_HPS, 2}});
    standin::acf::set_project(true, m_dir.path().toStdString());
    standin::acf::set_assignment(623, "HC2C35F672C6");
    EXPECT_EQ(standin::ntfq::post("NTFQ_MSG_ACF_ASSIGNMENTS_CHANGED"), 0);
    settle();
    EXPECT_TRUE(view()->hide_hps_trigger());
    EXPECT_TRUE(recorder.saw(0x20000004u));
    standin::acf::set_assignment(623, "MD5SE50F896I4");
    standin::clear_calls();
    view()->on_settings_changed();
    EXPECT_FALSE(view()->hide_hps_trigger());
    const std::vector<std::string> locks = {"acf:read_lock()", "acf:read_unlock()"};
    std::vector<std::string> calls;
    for (const std::string& call : standin::calls())
        if (call.rfind("acf:read", 0) == 0)
            calls.push_back(call);
    EXPECT_EQ(calls, locks);
    standin::acf::clear_assignment(623);
    view()->on_settings_changed();
    EXPECT_TRUE(view()->hide_hps_trigger()) << "no device assignment";
}

TEST_F(view_test, assignments_that_cannot_be_locked_leave_the_flags)
{
    open(write_document(three_leaves));
    standin::acf::set_project(true, m_dir.path().toStdString());
    standin::acf::refuse_read_lock(true);
    hint_recorder recorder(tx());
    view()->on_settings_changed();
    settle();
    EXPECT_FALSE(view()->hide_hps_trigger());
    EXPECT_TRUE(recorder.hints.empty());
}

TEST_F(view_test, the_resize_undo_step_lays_the_view_out_and_keeps_the_next_resize_from_doing_it_again)
{
    open(write_document(three_leaves));
    view()->clear_resize_flag();
    SDR_TX_UNDO_ACTION_RESIZE_EVENT step(view());
    EXPECT_TRUE(step.undo());
    EXPECT_TRUE(view()->get_resize_flag(false));
    view()->set_resize_flag(true);
    EXPECT_TRUE(view()->is_resize_flag_set()) << "both flags raised: the resize handler skips its layout";
    view()->clear_resize_flag();
    EXPECT_TRUE(step.redo());
    EXPECT_FALSE(view()->is_resize_flag_set());
    m_frames.clear();
    EXPECT_TRUE(step.undo()) << "a closed window's step does nothing";
}

TEST_F(view_test, the_state_machine_commands_open_their_dialog_over_the_view)
{
    open(write_document(three_leaves));
    standin::qui::push_dialog_answer("Add State Machine Nodes", QDialog::Rejected);
    standin::qui::push_dialog_answer("Recreate State Machine Mnemonics", QDialog::Rejected);
    focus_view();
    QAction* add = tx()->get_action(AFCQ_SEDQ_ADD_STATE_MACHINE_ACTION, QVariant());
    add->setEnabled(true);
    add->trigger();
    view()->on_node_recreate_state_machine_mnemonics();
    EXPECT_EQ(standin::qui::pending_dialog_answers(), 0);
    EXPECT_TRUE(standin::qui::unanswered_dialogs().empty());
    EXPECT_EQ(tx()->get_node_count(-1), 3);
}
