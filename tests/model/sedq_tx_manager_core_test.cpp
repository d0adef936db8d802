// Document model core: registry settings, edit guards, undo and redo, the action table, the
// lock mode and the UI state kept in the document.
#include "sedq_tx_manager_test_support.h"

#include "host/cfgq.h"
#include "host/standin/afcq_control.h"
#include "host/standin/cfgq_control.h"
#include "sedq/model/sedq_pages.h"
#include "sedq/model/sedq_update_burst.h"

#include <QAction>
#include <QMenu>
#include "sedq/model/sedq_repository.h"

namespace
{
void set_registry(const char* name, const QVariant& value)
{
    standin::cfgq::set(32, QString::fromLatin1(name), value);
}
} // namespace

TEST_F(sedq_tx_manager_test, empty_registry_leaves_every_setting_at_its_default)
{
    SEDQ_TX_MANAGER* manager = make_manager(false);
    EXPECT_TRUE(SEDQ_TX_MANAGER::m_cfg_show_duplicate_buttons);
    EXPECT_TRUE(SEDQ_TX_MANAGER::m_cfg_link_groups);
    EXPECT_TRUE(SEDQ_TX_MANAGER::m_cfg_link_properties);
    EXPECT_FALSE(SEDQ_TX_MANAGER::m_cfg_auto_recompile);
    EXPECT_FALSE(SEDQ_TX_MANAGER::m_cfg_show_vert_grid);
    EXPECT_EQ(SEDQ_TX_MANAGER::m_cfg_inter_line_spacing, 0);
    EXPECT_EQ(manager->m_print_rows_per_page, 35);
    EXPECT_EQ(manager->m_print_columns_per_page, 30);
    EXPECT_EQ(manager->m_print_name_width, 20);
    EXPECT_FALSE(manager->get_state_display_mode());
    EXPECT_EQ(manager->get_help_prefix(), "SED");
}

TEST_F(sedq_tx_manager_test, registry_values_override_defaults_and_absent_keys_keep_earlier_reads)
{
    set_registry(CFGQ_SEDQ_ROWPP_STR, 50);
    set_registry(CFGQ_SEDQ_SHOW_VERT_GRID_STR, true);
    set_registry(CFGQ_SEDQ_INTER_LINE_SPACING_STR, QStringLiteral("4"));
    set_registry(CFGQ_SEDQ_DISPLAY_MODE_STR, true);
    SEDQ_TX_MANAGER* manager = make_manager(false);
    EXPECT_EQ(manager->m_print_rows_per_page, 50);
    EXPECT_TRUE(SEDQ_TX_MANAGER::m_cfg_show_vert_grid);
    EXPECT_EQ(SEDQ_TX_MANAGER::m_cfg_inter_line_spacing, 4);
    EXPECT_TRUE(manager->get_state_display_mode());

    standin::cfgq::clear_all();
    manager->cfg_initialize_user_registry_settings();
    EXPECT_TRUE(SEDQ_TX_MANAGER::m_cfg_show_vert_grid) << "an absent key keeps what an earlier call read";
    EXPECT_EQ(manager->m_print_rows_per_page, 50);
}

TEST_F(sedq_tx_manager_test, link_groups_off_turns_the_other_link_options_off)
{
    set_registry(CFGQ_SEDQ_LINK_GROUPS_STR, false);
    set_registry(CFGQ_SEDQ_LINK_PROPERTIES_STR, true);
    set_registry(CFGQ_SEDQ_LINK_ORDER_STR, true);
    set_registry(CFGQ_SEDQ_LINK_MNEMONICS_STR, true);
    make_manager(false);
    EXPECT_FALSE(SEDQ_TX_MANAGER::m_cfg_link_groups);
    EXPECT_FALSE(SEDQ_TX_MANAGER::m_cfg_link_properties);
    EXPECT_FALSE(SEDQ_TX_MANAGER::m_cfg_link_order);
    EXPECT_FALSE(SEDQ_TX_MANAGER::m_cfg_link_mnemonics);
}

TEST_F(sedq_tx_manager_test, construction_sets_lock_mode_by_window_kind)
{
    EXPECT_EQ(make_manager(true, QUI_FW_STATE_MAIN_WINDOW)->get_lock_mode(false), SEDQ_LOCK_MODE_ALLOW_TRIGGER);
    EXPECT_EQ(make_manager(true, QUI_FW_STATE_ATTACHED)->get_lock_mode(false), SEDQ_LOCK_MODE_ALLOW_ALL);
    SEDQ_TX_MANAGER* wizard = make_manager(false);
    wizard->set_lock_mode(SEDQ_LOCK_MODE_ALLOW_TRIGGER, false);
    EXPECT_EQ(wizard->get_lock_mode(false), SEDQ_LOCK_MODE_ALLOW_ALL) << "a wizard model is never locked";
}

TEST_F(sedq_tx_manager_test, construction_creates_no_session_and_counts_live_managers)
{
    const int before = SEDQ_TX_MANAGER::s_sedq_plugin_reference_count;
    SEDQ_TX_MANAGER* manager = make_manager(true);
    EXPECT_EQ(SEDQ_TX_MANAGER::s_sedq_plugin_reference_count, before + 1) << "the window's model";
    EXPECT_EQ(manager->get_tx_session(), nullptr);
    EXPECT_TRUE(manager->is_empty());
    EXPECT_FALSE(manager->is_wizard_mode());
    make_manager(false);
    EXPECT_EQ(SEDQ_TX_MANAGER::s_sedq_plugin_reference_count, before + 1) << "the window went with its model";
    m_manager.reset();
    EXPECT_EQ(SEDQ_TX_MANAGER::s_sedq_plugin_reference_count, before);
}

TEST_F(sedq_tx_manager_test, pane_toggle_actions_are_checked_and_listed_in_the_view_menu)
{
    SEDQ_TX_MANAGER* manager = make_manager(true);
    QAction* toggle = manager->get_action(AFCQ_SEDQ_HIERARCHY_PANE_ACTION, QVariant(7));
    EXPECT_TRUE(toggle->isChecked());
    EXPECT_TRUE(m_frame->get_menu_record()->view_menu->actions().contains(toggle));
    EXPECT_EQ(toggle->data().toInt(), 7);
    EXPECT_EQ(manager->get_action(AFCQ_SEDQ_HIERARCHY_PANE_ACTION, QVariant(9)), toggle)
        << "asking again gives the same object";
    EXPECT_EQ(toggle->data().toInt(), 7);

    QAction* other = manager->get_action(AFCQ_EDIT_SELECT_ALL_ACTION, QVariant());
    EXPECT_FALSE(m_frame->get_menu_record()->view_menu->actions().contains(other));
}

TEST_F(sedq_tx_manager_test, wizard_model_makes_pane_toggles_without_a_menu)
{
    SEDQ_TX_MANAGER* manager = make_manager(false);
    QAction* toggle = manager->get_action(AFCQ_SEDQ_LOG_PANE_ACTION, QVariant());
    ASSERT_NE(toggle, nullptr);
    EXPECT_TRUE(toggle->isChecked());
    EXPECT_FALSE(manager->get_action(AFCQ_EDIT_SELECT_ALL_ACTION, QVariant())->isEnabled())
        << "a command starts disabled until its pane enables it";
    EXPECT_TRUE(internal_errors().empty());
    EXPECT_EQ(standin::afcq::created_count(114), 0) << "a wizard model connects no host action";
}

TEST_F(sedq_tx_manager_test, edit_guard_closes_the_bracket_it_opened_when_the_current_instance_changes)
{
    SEDQ_TX_MANAGER* manager = make_manager(true);
    ASSERT_TRUE(manager->new_document(path("a.vtl").c_str()));
    ASSERT_TRUE(manager->add_instance());
    manager->set_instance(0);
    SDR_TX_INSTANCE* first = SEDQ_REPOSITORY::instance(manager);
    {
        SEDQ_EDIT_SCOPE edit(manager, SEDQ_CHECK_COMPILATION);
        manager->set_instance(1);
        standin::sdr::add_node(data_trigger(0), {"n1"});
        first->set_enabled(false);
    }
    EXPECT_EQ(standin::sdr::get_counters().brackets_closed, standin::sdr::get_counters().brackets_opened);
    EXPECT_EQ(standin::sdr::get_counters().unbalanced_ends, 0);
    EXPECT_TRUE(first->is_undo_available());
}

TEST_F(sedq_tx_manager_test, edit_guard_over_a_removed_instance_still_closes_and_notifies)
{
    SEDQ_TX_MANAGER* manager = make_manager(true);
    ASSERT_TRUE(manager->new_document(path("a.vtl").c_str()));
    ASSERT_TRUE(manager->add_instance());
    take_hints();
    {
        SEDQ_EDIT_SCOPE edit(manager, SEDQ_CHECK_COMPILATION);
        ASSERT_TRUE(manager->remove_instance(1));
    }
    EXPECT_FALSE(SEDQ_EDIT_SCOPE::is_any_open());
    EXPECT_EQ(standin::sdr::get_counters().unbalanced_ends, 0) << "no bracket of another instance is closed";
    EXPECT_EQ(take_hints(), (std::vector<int>{H(0x80000020), H(0x4000010)}))
        << "the instance manager re-checks after every guarded edit";
    EXPECT_FALSE(manager->get_action(AFCQ_EDIT_UNDO_ACTION, QVariant())->isEnabled());
    EXPECT_TRUE(internal_errors().empty());
}

TEST_F(sedq_tx_manager_test, widget_guard_is_released_only_by_the_guard_that_set_it)
{
    {
        SEDQ_BLOCK outer;
        {
            SEDQ_BLOCK inner;
            EXPECT_TRUE(SEDQ_BLOCK::is_blocked());
        }
        EXPECT_TRUE(SEDQ_BLOCK::is_blocked());
    }
    EXPECT_FALSE(SEDQ_BLOCK::is_blocked());
}

TEST_F(sedq_tx_manager_test, an_edit_of_an_instance_notifies_by_its_check)
{
    SEDQ_TX_MANAGER* manager = make_manager(true);
    ASSERT_TRUE(manager->new_document(path("a.vtl").c_str()));
    take_hints();
    struct row
    {
        const char* name;
        SEDQ_CHECK_COMPILATION_STATUS status;
        bool power_up_view;
        std::vector<int> hints;
    };
    const row rows[] = {
        {"skip", SEDQ_SKIP_COMPILATION_CHECK, false, {}},
        {"check", SEDQ_CHECK_COMPILATION, false, {H(0x4000010)}},
        {"if power-up, normal view", SEDQ_CHECK_COMPILATION_IF_POWERUP, false, {}},
        {"if power-up, power-up view", SEDQ_CHECK_COMPILATION_IF_POWERUP, true, {H(0x4000010)}},
    };
    ASSERT_TRUE(manager->enable_powerup_trigger(0, true));
    for (const row& r : rows)
    {
        const int entry = r.power_up_view ? 1 : 0;
        take_hints();
        {
            const SEDQ_EDIT_SCOPE edit(manager, r.status, SEDQ_EDIT_SCOPE::NO_REFRESH, entry);
        }
        EXPECT_EQ(take_hints(), r.hints) << r.name;
    }
}

TEST_F(sedq_tx_manager_test, undo_without_a_current_instance_does_nothing)
{
    SEDQ_TX_MANAGER* manager = make_manager(true);
    manager->on_edit_undo();
    manager->on_edit_redo();
    EXPECT_TRUE(take_hints().empty());
    EXPECT_TRUE(internal_errors().empty());
}

TEST_F(sedq_tx_manager_test, undo_after_add_instance_refreshes_the_cached_objects)
{
    SEDQ_TX_MANAGER* manager = make_manager(true);
    ASSERT_TRUE(manager->new_document(path("a.vtl").c_str()));
    ASSERT_TRUE(manager->add_instance());
    ASSERT_EQ(current_index(), 1);
    take_hints();
    manager->on_edit_undo();
    EXPECT_EQ(manager->get_tx_session()->get_num_instances(), 1);
    EXPECT_EQ(manager->get_tx_instance(), manager->get_tx_session()->get_instance_at(0, false));
    EXPECT_EQ(manager->get_trigger_nodes(-1), manager->get_tx_session()->get_trigger_at(0, false));
    EXPECT_EQ(manager->get_signal_nodes(-1), manager->get_tx_session()->get_signal_set_at(0, false));
    EXPECT_STREQ(manager->get_instance(), manager->get_instance_name_at(0, nullptr));
    const std::vector<int> expected = {H(0x80000020), H(0x20000047), H(0x60000010), H(0x4000010)};
    EXPECT_EQ(take_hints(), expected);

    manager->on_edit_redo();
    EXPECT_EQ(manager->get_tx_session()->get_num_instances(), 2) << "Redo on the instance shown next brings it back";
    EXPECT_EQ(take_hints(), expected);
}

TEST_F(sedq_tx_manager_test, redo_after_undoing_add_instance_brings_back_the_instance_and_its_edits)
{
    SEDQ_TX_MANAGER* manager = make_manager(true);
    ASSERT_TRUE(manager->new_document(path("a.vtl").c_str()));
    ASSERT_TRUE(manager->add_instance());
    {
        SEDQ_EDIT_SCOPE edit(manager, SEDQ_CHECK_COMPILATION);
        manager->set_instance_enabled(-1, false);
    }
    const std::string name = manager->get_instance();
    manager->on_edit_undo();
    manager->on_edit_undo();
    ASSERT_EQ(current_index(), 0);
    QAction* redo = manager->get_action(AFCQ_EDIT_REDO_ACTION, QVariant());
    EXPECT_TRUE(redo->isEnabled()) << "the undone creation waits on the instance shown now";

    manager->on_edit_redo();
    ASSERT_EQ(manager->get_tx_session()->get_num_instances(), 2);
    EXPECT_STREQ(manager->get_instance_name_at(1, nullptr), name.c_str());
    manager->set_instance(1);
    EXPECT_TRUE(manager->get_tx_instance()->is_redo_available());
    manager->on_edit_redo();
    EXPECT_FALSE(manager->instance_is_enabled(-1)) << "the edit made in the instance is redone too";
}

TEST_F(sedq_tx_manager_test, undo_and_redo_actions_follow_the_history)
{
    SEDQ_TX_MANAGER* manager = make_manager(true);
    ASSERT_TRUE(manager->new_document(path("a.vtl").c_str()));
    {
        SEDQ_EDIT_SCOPE edit(manager, SEDQ_CHECK_COMPILATION);
        manager->set_instance_enabled(-1, false);
    }
    QAction* undo = manager->get_action(AFCQ_EDIT_UNDO_ACTION, QVariant());
    QAction* redo = manager->get_action(AFCQ_EDIT_REDO_ACTION, QVariant());
    EXPECT_TRUE(undo->isEnabled());
    EXPECT_FALSE(redo->isEnabled());
    manager->on_edit_undo();
    EXPECT_TRUE(manager->instance_is_enabled(-1));
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_TRUE(redo->isEnabled());
    manager->on_edit_redo();
    EXPECT_FALSE(manager->instance_is_enabled(-1));
}

// A file may hold a data list that differs from the one the trigger list derives (an older
// writer, a list edited elsewhere). Bringing it in line after an undo is no edit of its own: it
// must neither record a step nor drop the redo of the step just undone.
TEST_F(sedq_tx_manager_test, undo_on_a_document_with_an_underived_data_list_keeps_the_redo)
{
    SEDQ_TX_MANAGER* manager = make_manager(true);
    const std::string file = write_document("a.vtl", 1, [](SDR_DATA_SESSION& session) {
        SDR_DATA_TRIGGER* trigger = session.m_instances[0]->get_active_trigger();
        standin::sdr::add_node(trigger, {"top|a"});
        standin::sdr::add_node(trigger, {"top|b"});
        // The data row of "top|a" carries an alias its trigger row does not have.
        trigger->m_signal_set->edit_transient().data_list[0].alias = "stale";
    });
    ASSERT_TRUE(manager->open_document(file.c_str(), nullptr, nullptr));
    {
        SEDQ_EDIT_SCOPE edit(manager, SEDQ_CHECK_COMPILATION);
        manager->set_instance_enabled(-1, false);
    }
    manager->on_edit_undo();
    EXPECT_TRUE(manager->instance_is_enabled(-1));
    EXPECT_FALSE(manager->get_tx_instance()->is_undo_available()) << "bringing the data list in line is no step";
    ASSERT_TRUE(manager->get_tx_instance()->is_redo_available());
    manager->on_edit_redo();
    EXPECT_FALSE(manager->instance_is_enabled(-1));
}

// With nothing to undo (a document just opened) undo and redo are no edit: nothing is sent and
// the document does not become modified.
TEST_F(sedq_tx_manager_test, undo_and_redo_with_an_empty_history_change_nothing)
{
    SEDQ_TX_MANAGER* manager = make_manager(true);
    ASSERT_TRUE(manager->open_document(write_document("a.vtl", 2).c_str(), nullptr, nullptr));
    take_hints();
    manager->on_edit_undo();
    manager->on_edit_redo();
    EXPECT_TRUE(take_hints().empty());
    EXPECT_FALSE(manager->get_tx_session()->is_modified());
    EXPECT_FALSE(m_frame->isWindowModified());
    EXPECT_EQ(current_index(), 0);
}

// The power-up view shares the undo history of its instance: disabling the power-up trigger
// inside an edit of that view removes the entry the bracket was opened on, and the bracket
// must still close, or no later edit of the instance could be undone.
TEST_F(sedq_tx_manager_test, edit_guard_on_a_power_up_view_closes_when_the_view_goes)
{
    SEDQ_TX_MANAGER* manager = make_manager(true);
    ASSERT_TRUE(manager->new_document(path("a.vtl").c_str()));
    ASSERT_TRUE(manager->enable_powerup_trigger(0, true));
    ASSERT_TRUE(manager->is_powerup_trigger(-1));
    {
        SEDQ_EDIT_SCOPE edit(manager, SEDQ_CHECK_COMPILATION);
        ASSERT_TRUE(manager->enable_powerup_trigger(-1, false));
    }
    EXPECT_EQ(standin::sdr::get_counters().brackets_closed, standin::sdr::get_counters().brackets_opened);
    ASSERT_EQ(current_index(), 0);
    {
        SEDQ_EDIT_SCOPE edit(manager, SEDQ_CHECK_COMPILATION);
        manager->set_instance_enabled(-1, false);
    }
    manager->on_edit_undo();
    EXPECT_TRUE(manager->instance_is_enabled(-1)) << "undo works again for the instance";
    EXPECT_TRUE(internal_errors().empty());
}

TEST_F(sedq_tx_manager_test, lock_mode_notification_tells_whether_the_instance_acquires)
{
    SEDQ_TX_MANAGER* manager = make_manager(true);
    ASSERT_TRUE(manager->new_document(path("a.vtl").c_str()));
    take_hints();
    manager->set_lock_mode(SEDQ_LOCK_MODE_ALLOW_INCREMENTAL, false);
    EXPECT_TRUE(take_hints().empty());
    manager->set_lock_mode(SEDQ_LOCK_MODE_ALLOW_INCREMENTAL, true);
    EXPECT_EQ(take_hints(), std::vector<int>{H(0x24000015)});
    manager->set_instance_acq_state(0, SEDQ_ACQ_STATE_RUNNING);
    manager->set_lock_mode(SEDQ_LOCK_MODE_ALLOW_INCREMENTAL, true);
    EXPECT_EQ(take_hints(), std::vector<int>{H(0x28000015)});
}

TEST_F(sedq_tx_manager_test, lock_mode_from_text_and_power_up_view)
{
    SEDQ_TX_MANAGER* manager = make_manager(true);
    ASSERT_TRUE(manager->new_document(path("a.vtl").c_str()));
    manager->set_lock_mode(QStringLiteral("Allow incremental route changes only"));
    EXPECT_EQ(manager->get_lock_mode(false), SEDQ_LOCK_MODE_ALLOW_INCREMENTAL);
    manager->set_lock_mode(QStringLiteral("no such mode"));
    EXPECT_EQ(manager->get_lock_mode(false), SEDQ_LOCK_MODE_ALLOW_ALL);
    EXPECT_EQ(internal_errors(), std::vector<std::string>{"SEDQ_LOCK_MODE_MAP.contains(lock_mode)"});

    ASSERT_TRUE(manager->enable_powerup_trigger(0, true));
    EXPECT_TRUE(manager->is_powerup_trigger(-1));
    EXPECT_EQ(manager->get_lock_mode(true), SEDQ_LOCK_MODE_ALLOW_TRIGGER);
    EXPECT_EQ(manager->get_lock_mode(false), SEDQ_LOCK_MODE_ALLOW_ALL);
}

TEST_F(sedq_tx_manager_test, load_active_instance_tab_clamps_the_stored_index)
{
    SEDQ_TX_MANAGER* manager = make_manager(true, QUI_FW_STATE_MAIN_WINDOW);
    ASSERT_TRUE(manager->new_document(path("a.vtl").c_str()));
    manager->add_instance();
    manager->add_instance();
    SDR_TX_SESSION* session = SEDQ_REPOSITORY::session(manager);
    struct row
    {
        const char* name;
        int stored;
        int expected;
    };
    const row rows[] = {{"beyond the end", 7, 2}, {"absent", -1, 0}, {"damaged negative", -5, 0}, {"inside", 1, 1}};
    for (const row& r : rows)
    {
        session->set_global_data("active instance", r.stored);
        ASSERT_TRUE(manager->load_active_instance_tab());
        manager->refresh_tx_cache();
        EXPECT_EQ(current_index(), r.expected) << r.name;
    }
    EXPECT_EQ(manager->get_lock_mode(false), SEDQ_LOCK_MODE_ALLOW_TRIGGER) << "no stored lock mode keeps the current one";
    session->set_global_data("lock mode", 1);
    manager->load_active_instance_tab();
    EXPECT_EQ(manager->get_lock_mode(false), SEDQ_LOCK_MODE_ALLOW_INCREMENTAL);
}

TEST_F(sedq_tx_manager_test, ui_state_accessors_read_defaults_and_stored_values)
{
    SEDQ_TX_MANAGER* manager = make_manager(true);
    EXPECT_EQ(manager->get_int_state("width", 3), 3);
    EXPECT_EQ(internal_errors(), std::vector<std::string>{"this->m_tx_session != NULL"});
    ASSERT_TRUE(manager->new_document(path("a.vtl").c_str()));

    EXPECT_EQ(manager->get_int_state("width", 3), 3);
    manager->set_int_state("width", 12);
    EXPECT_EQ(manager->get_int_state("width", 3), 12);

    EXPECT_TRUE(manager->get_visible_state("pane", true));
    manager->set_visible_state("pane", false);
    EXPECT_FALSE(manager->get_visible_state("pane", true));
    manager->set_int_state("pane", 2);
    EXPECT_FALSE(manager->get_visible_state("pane", true)) << "only 1 reads as visible";

    EXPECT_EQ(manager->get_size_state("size", QSize(4, 5)), QSize(4, 5));
    manager->set_size_state("size", QSize(640, 480));
    EXPECT_EQ(manager->get_size_state("size", QSize(4, 5)), QSize(640, 480));
    manager->set_int_state("size", 7);
    EXPECT_EQ(manager->get_size_state("size", QSize(4, 5)), QSize(4, 5)) << "one int is not a size";

    EXPECT_EQ(manager->get_int_state(-1, SEDQ_ACTIVE_TAB_KEY, 1), SEDQ_SETUP_PAGE);
    manager->set_int_state(-1, SEDQ_ACTIVE_TAB_KEY, SEDQ_DATA_PAGE);
    EXPECT_EQ(manager->get_int_state(0, SEDQ_ACTIVE_TAB_KEY, 1), SEDQ_DATA_PAGE);
    EXPECT_TRUE(manager->is_instance_data_mode());
    EXPECT_FALSE(manager->is_instance_setup_mode());
    EXPECT_FALSE(manager->get_tx_session()->is_modified()) << "UI state does not make the document modified";
}

TEST_F(sedq_tx_manager_test, modified_flag_follows_the_session_and_marks_the_window)
{
    SEDQ_TX_MANAGER* manager = make_manager(true);
    ASSERT_TRUE(manager->new_document(path("a.vtl").c_str()));
    take_hints();
    EXPECT_TRUE(manager->save_modified());
    EXPECT_FALSE(m_frame->isWindowModified());
    EXPECT_EQ(take_hints(), std::vector<int>{H(0x80000020)}) << "asked before closing, the mark is sent";
    manager->set_instance_enabled(-1, false);
    EXPECT_TRUE(m_frame->isWindowModified());
    EXPECT_EQ(take_hints(), std::vector<int>{H(0x80000020)});
}

// A pane that keeps a burst does its work once per burst, at the last update sent: updates sent
// before it connected are not worked on, and those sent while the model's signals were blocked
// never reach it and are not waited for.
TEST_F(sedq_tx_manager_test, a_burst_of_updates_is_worked_on_once_by_the_last_of_it)
{
    SEDQ_TX_MANAGER* manager = make_manager(false);
    manager->update_all_views(nullptr, SEDQ_UPDATE_INSTANCES);
    QObject pane;
    SEDQ_UPDATE_BURST burst(manager);
    int received = 0;
    int worked = 0;
    QObject::connect(manager, &SEDQ_TX_MANAGER::updated_later, &pane, [&](QObject*, int) {
        ++received;
        worked += burst.received() ? 1 : 0;
    });
    for (int i = 0; i < 100; ++i)
        manager->update_all_views(nullptr, SEDQ_UPDATE_INSTANCES);
    manager->blockSignals(true);
    manager->update_all_views(nullptr, SEDQ_UPDATE_INSTANCES);
    manager->blockSignals(false);
    QCoreApplication::processEvents();
    EXPECT_EQ(received, 101) << "the update sent before it connected was still on its way";
    EXPECT_EQ(worked, 1);
    manager->update_all_views(nullptr, SEDQ_UPDATE_LOG);
    QCoreApplication::processEvents();
    EXPECT_EQ(worked, 2) << "an update alone is a burst of its own";
}

// The panes hear the model's updates a turn of the event loop later, in the order sent, all of
// them through one posted event: an update sent while the panes receive one (a pane refreshing
// another) comes after those already on their way, and one sent while the model's signals are
// blocked reaches nobody.
TEST_F(sedq_tx_manager_test, updates_reach_the_panes_a_turn_later_in_the_order_sent)
{
    SEDQ_TX_MANAGER* manager = make_manager(false);
    QObject pane;
    std::vector<int> heard;
    QObject::connect(manager, &SEDQ_TX_MANAGER::updated_later, &pane, [&](QObject*, int hint) {
        heard.push_back(hint);
        if (hint == 1)
            manager->update_all_views(nullptr, 4);
    });
    manager->update_all_views(nullptr, 1);
    manager->blockSignals(true);
    manager->update_all_views(nullptr, 8);
    manager->blockSignals(false);
    manager->update_all_views(nullptr, 2);
    EXPECT_TRUE(heard.empty()) << "nothing is delivered inside the edit that sent it";
    QCoreApplication::processEvents();
    EXPECT_EQ(heard, (std::vector<int>{1, 2, 4}));
    EXPECT_EQ(manager->get_delivering_update(), 0u);
}
