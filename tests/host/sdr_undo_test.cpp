// Undo and redo of the analyzer data repository: brackets, steps, limits, atomic actions,
// instance creation and power-up companions.

#include "host/sdr.h"
#include "host/sdr/sdr_tx_signal_set.h"
#include "host/sdr/sdr_tx_trigger.h"
#include "host/standin/msg_control.h"
#include "host/standin/sdr_control.h"
#include "sdr_fake_tree.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

namespace
{
class SdrUndo : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_log = std::make_shared<sdr_test::tree_log>();
        m_session = std::make_unique<SDR_TX_SESSION>(sdr_test::make_root(m_log), true);
        ASSERT_TRUE(m_session->create_session(m_dir.filePath("undo.vtl").toLocal8Bit().constData()));
    }

    SDR_DATA_INSTANCE* data(int entry = 0) { return m_session->get_instance_at(entry, false)->get_data_instance(); }
    SDR_DATA_TRIGGER* trigger(int entry = 0) { return data(entry)->get_active_trigger(); }
    SDR_TX_INSTANCE* tx(int entry = 0) { return m_session->get_instance_at(entry, false); }

    // One undoable edit of the trigger settings, the way every repository setter makes one.
    void set_segment_size(int size, int entry = 0)
    {
        SDR_EDIT_SCOPE scope(data(entry));
        trigger(entry)->edit().segment_size = size;
    }

    QTemporaryDir m_dir;
    std::shared_ptr<sdr_test::tree_log> m_log;
    std::unique_ptr<SDR_TX_SESSION> m_session;
};

// Records when it ran and what the repository held at that moment.
class probe_action : public SDR_TX_UNDO_ACTION_ATOMIC
{
public:
    probe_action(std::vector<std::string>* log, std::string name, SDR_DATA_TRIGGER* trigger, int* deleted)
        : m_log(log), m_name(std::move(name)), m_trigger(trigger), m_deleted(deleted)
    {
    }
    ~probe_action() override { ++*m_deleted; }
    bool undo() override { return note("undo"); }
    bool redo() override { return note("redo"); }

private:
    bool note(const std::string& what)
    {
        m_log->push_back(what + " " + m_name + " sees " + std::to_string(m_trigger->state().segment_size));
        return true;
    }
    std::vector<std::string>* m_log;
    std::string m_name;
    SDR_DATA_TRIGGER* m_trigger;
    int* m_deleted;
};
} // namespace

TEST_F(SdrUndo, undo_and_redo_restore_trigger_settings_and_node_rows)
{
    standin::sdr::add_node(trigger(), {"top|a"});
    tx()->begin_action();
    set_segment_size(64);
    {
        SDR_EDIT_SCOPE scope(data());
        trigger()->edit().trigger_list[0].name = "top|renamed";
        trigger()->edit().trigger_list[0].patterns[SDR_COPY_POWER_UP].conditions[0] = SDR_CTYPE_RISING;
    }
    tx()->end_action();

    ASSERT_TRUE(tx()->is_undo_available());
    ASSERT_TRUE(tx()->undo());
    EXPECT_EQ(trigger()->state().segment_size, 0);
    EXPECT_EQ(trigger()->state().trigger_list[0].name, "top|a");
    EXPECT_EQ(trigger()->state().trigger_list[0].patterns[SDR_COPY_POWER_UP].conditions[0], SDR_CTYPE_DONT_CARE);
    EXPECT_FALSE(tx()->is_undo_available());

    ASSERT_TRUE(tx()->redo());
    EXPECT_EQ(trigger()->state().segment_size, 64);
    EXPECT_EQ(trigger()->state().trigger_list[0].name, "top|renamed");
    EXPECT_EQ(trigger()->state().trigger_list[0].patterns[SDR_COPY_POWER_UP].conditions[0], SDR_CTYPE_RISING);
    EXPECT_FALSE(tx()->is_redo_available());
}

TEST_F(SdrUndo, nested_brackets_make_one_step_and_empty_brackets_none)
{
    tx()->begin_action();
    set_segment_size(1);
    tx()->begin_action();
    set_segment_size(2);
    tx()->end_action();
    set_segment_size(3);
    tx()->end_action();
    tx()->begin_action();
    tx()->end_action();

    EXPECT_EQ(data()->history().step_count(), 1);
    ASSERT_TRUE(tx()->undo());
    EXPECT_EQ(trigger()->state().segment_size, 0);
    EXPECT_FALSE(tx()->is_undo_available());
    EXPECT_EQ(standin::sdr::get_counters().brackets_opened, standin::sdr::get_counters().brackets_closed);
}

TEST_F(SdrUndo, an_edit_outside_any_bracket_is_a_step_of_its_own)
{
    set_segment_size(5);
    ASSERT_TRUE(data()->set_name("renamed"));
    EXPECT_EQ(data()->history().step_count(), 2);
    ASSERT_TRUE(tx()->undo());
    EXPECT_STREQ(data()->get_name(), "auto_vantrel_0");
    EXPECT_EQ(trigger()->state().segment_size, 5);
}

TEST_F(SdrUndo, undo_limit_keeps_only_the_newest_steps)
{
    tx()->set_max_undo_steps(3);
    for (int i = 1; i <= 5; ++i)
        set_segment_size(i);
    int undone = 0;
    while (tx()->undo())
        ++undone;
    EXPECT_EQ(undone, 3);
    EXPECT_EQ(trigger()->state().segment_size, 2);

    // Lowering the limit later drops the oldest steps too.
    while (tx()->redo()) {
    }
    tx()->set_max_undo_steps(1);
    EXPECT_EQ(data()->history().step_count(), 1);
    EXPECT_EQ(tx()->get_max_undo_steps(), 1);
}

// Lowered below the steps it holds, the limit drops the oldest applied steps first, then the
// far end of the redo tail.
TEST_F(SdrUndo, a_lower_limit_with_steps_to_redo_keeps_the_nearest_ones)
{
    const struct
    {
        const char* name;
        int limit;
        std::vector<int> undone; // sizes shown by each undo that succeeds
        std::vector<int> redone; // then by each redo that succeeds
    } cases[] = {
        {"one applied step too many", 4, {2, 1}, {2, 3, 4, 5}},
        {"every applied step goes", 2, {}, {4, 5}},
        {"the last redo step goes too", 1, {}, {4}},
        {"room for all", 9, {2, 1, 0}, {1, 2, 3, 4, 5}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        m_session.reset();
        SetUp();
        for (int i = 1; i <= 5; ++i)
            set_segment_size(i);
        ASSERT_TRUE(tx()->undo());
        ASSERT_TRUE(tx()->undo());
        tx()->set_max_undo_steps(c.limit);
        std::vector<int> undone, redone;
        while (tx()->undo())
            undone.push_back(trigger()->state().segment_size);
        while (tx()->redo())
            redone.push_back(trigger()->state().segment_size);
        EXPECT_EQ(undone, c.undone);
        EXPECT_EQ(redone, c.redone);
    }
}

TEST_F(SdrUndo, a_new_edit_after_undo_drops_the_redo_tail)
{
    set_segment_size(1);
    set_segment_size(2);
    ASSERT_TRUE(tx()->undo());
    set_segment_size(7);
    EXPECT_FALSE(tx()->is_redo_available());
    ASSERT_TRUE(tx()->undo());
    EXPECT_EQ(trigger()->state().segment_size, 1);
}

TEST_F(SdrUndo, atomic_actions_run_after_the_restore_in_reverse_then_forward_order)
{
    std::vector<std::string> log;
    int deleted = 0;
    tx()->begin_action();
    set_segment_size(9);
    tx()->append_atomic_action(new probe_action(&log, "first", trigger(), &deleted));
    tx()->append_atomic_action(new probe_action(&log, "second", trigger(), &deleted));
    tx()->end_action();

    tx()->undo();
    tx()->redo();
    EXPECT_EQ(log, (std::vector<std::string>{"undo second sees 0", "undo first sees 0", "redo first sees 9",
                                             "redo second sees 9"}));
    m_session.reset();
    EXPECT_EQ(deleted, 2);
}

TEST_F(SdrUndo, a_bracket_holding_only_an_atomic_action_is_a_step)
{
    std::vector<std::string> log;
    int deleted = 0;
    tx()->begin_action();
    tx()->append_atomic_action(new probe_action(&log, "only", trigger(), &deleted));
    tx()->end_action();
    EXPECT_TRUE(tx()->undo());
    EXPECT_EQ(log.size(), 1u);
    m_session.reset(); // the action counts its deletion in this function's frame
    EXPECT_EQ(deleted, 1);
}

TEST_F(SdrUndo, undo_of_instance_creation_removes_the_instance_and_detaches_its_entry)
{
    int index = m_session->create_vantrel_instance(nullptr);
    ASSERT_EQ(index, 1);
    SDR_TX_INSTANCE* created = m_session->get_instance_at(1, false);
    SDR_TX_TRIGGER* created_trigger = m_session->get_trigger_at(1, false);
    set_segment_size(4, 1);

    ASSERT_TRUE(created->undo());
    EXPECT_EQ(trigger(1)->state().segment_size, 0);
    ASSERT_TRUE(created->undo());
    EXPECT_EQ(m_session->get_num_instances(), 1);
    EXPECT_FALSE(created->is_undo_available());
    EXPECT_FALSE(created->redo());
    EXPECT_EQ(created->get_position_data("x"), -1);
    EXPECT_EQ(created_trigger->get_data_trigger(), nullptr);
    EXPECT_NE(tx(0), created);
}

TEST_F(SdrUndo, undo_can_remove_the_last_instance)
{
    ASSERT_TRUE(m_session->remove_vantrel_instance(0));
    ASSERT_EQ(m_session->create_vantrel_instance(nullptr), 0);
    ASSERT_TRUE(tx(0)->undo());
    EXPECT_EQ(m_session->get_num_instances(), 0);
    EXPECT_EQ(m_session->get_instance_at(0, false), nullptr);
}

TEST_F(SdrUndo, power_up_mode_is_undoable_and_rebuilds_the_entries)
{
    tx()->begin_action();
    ASSERT_TRUE(m_session->set_power_up_trigger_mode(0, true));
    tx()->end_action();
    ASSERT_EQ(m_session->get_num_instances(), 2);
    SDR_TX_TRIGGER* companion = m_session->get_trigger_at(1, false);
    SDR_TX_INSTANCE* normal = tx(0);

    ASSERT_TRUE(normal->undo());
    EXPECT_EQ(m_session->get_num_instances(), 1);
    EXPECT_EQ(tx(0), normal) << "the surviving entry keeps its object";
    EXPECT_EQ(companion->get_data_trigger(), nullptr) << "the removed companion is detached, not dangling";

    ASSERT_TRUE(normal->redo());
    EXPECT_EQ(m_session->get_num_instances(), 2);
    EXPECT_TRUE(m_session->is_power_up_view(1));
}

TEST_F(SdrUndo, structural_changes_clear_the_history_and_the_open_bracket)
{
    set_segment_size(3);
    tx()->begin_action();
    set_segment_size(4);
    ASSERT_NE(m_session->create_new_log(0), nullptr);
    tx()->end_action();
    EXPECT_FALSE(tx()->is_undo_available());
    EXPECT_EQ(trigger()->state().segment_size, 4);
}

TEST_F(SdrUndo, a_bracket_that_changes_nothing_shares_the_row_storage)
{
    for (int i = 0; i < 4096; ++i)
        standin::sdr::add_node(trigger(), {"top|n" + std::to_string(i)});
    const SDR_NODE_ROW* rows = &trigger()->state().trigger_list.constFirst();
    tx()->begin_action();
    tx()->end_action();
    set_segment_size(8); // a settings edit copies the settings block, not the rows
    EXPECT_EQ(&trigger()->state().trigger_list.constFirst(), rows);
    ASSERT_TRUE(tx()->undo());
    EXPECT_EQ(&trigger()->state().trigger_list.constFirst(), rows);
}

TEST_F(SdrUndo, plugin_records_and_mnemonic_tables_follow_undo)
{
    SDR_PLUGIN_GROUP* record = data()->create_plugin_group_record();
    record->set_plugin_name("uart");
    int handle = 0;
    record->set_table_handle(&handle);
    SDR_DATA_MNEMONICS* mnemonics = m_session->get_data_session()->get_mnemonics();

    tx()->begin_action();
    record->set_plugin_name("spi");
    ASSERT_NE(mnemonics->create_table("states", 2), nullptr);
    tx()->end_action();

    ASSERT_TRUE(tx()->undo());
    EXPECT_STREQ(record->get_plugin_name(), "uart");
    EXPECT_EQ(record->get_table_handle(), &handle) << "the live handle is not document data";
    EXPECT_EQ(mnemonics->find_table("states"), nullptr);
    ASSERT_TRUE(tx()->redo());
    EXPECT_STREQ(record->get_plugin_name(), "spi");
    EXPECT_NE(mnemonics->find_table("states"), nullptr);
}

TEST_F(SdrUndo, unbalanced_brackets_are_counted_and_undo_waits_for_the_bracket)
{
    EXPECT_FALSE(tx()->end_action());
    EXPECT_EQ(standin::sdr::get_counters().unbalanced_ends, 1);
    set_segment_size(2);
    tx()->begin_action();
    EXPECT_FALSE(tx()->undo());
    m_session->close_session();
    EXPECT_EQ(standin::sdr::get_counters().unbalanced_at_close, 1);
}

TEST_F(SdrUndo, enable_flag_is_undoable_and_marks_the_instance_modified)
{
    EXPECT_FALSE(tx()->is_modified());
    tx()->set_enabled(false);
    EXPECT_TRUE(tx()->is_modified());
    EXPECT_TRUE(m_session->is_modified());
    ASSERT_TRUE(tx()->undo());
    EXPECT_TRUE(tx()->is_enabled());
}

TEST_F(SdrUndo, selection_and_validity_marks_are_not_undone)
{
    SDR_TX_TRIGGER* nodes = m_session->get_trigger_at(0, false);
    standin::sdr::add_node(trigger(), {"top|a"});
    standin::sdr::add_node(trigger(), {"top|b"});
    nodes->set_node_selection_status(0, true);
    ASSERT_TRUE(nodes->set_node_alias(1, "b_alias"));
    nodes->set_node_selection_status(0, false);
    nodes->set_node_selection_status(1, true);
    nodes->set_node_invalid(1, true);

    ASSERT_TRUE(tx()->undo());
    EXPECT_STREQ(nodes->get_node_alias(1), "");
    EXPECT_FALSE(nodes->get_node_selection_status(0)) << "marks stay as the user left them";
    EXPECT_TRUE(nodes->get_node_selection_status(1));
    EXPECT_TRUE(nodes->is_node_invalid(1));
    ASSERT_TRUE(tx()->redo());
    EXPECT_STREQ(nodes->get_node_alias(1), "b_alias");
    EXPECT_TRUE(nodes->get_node_selection_status(1));

    EXPECT_EQ(nodes->delete_selected_nodes(), 1);
    ASSERT_TRUE(tx()->undo());
    ASSERT_EQ(nodes->get_num_nodes(), 2);
    EXPECT_TRUE(nodes->get_node_selection_status(1)) << "a row that comes back keeps its marks";
    EXPECT_TRUE(nodes->is_node_invalid(1));
}

TEST_F(SdrUndo, a_setter_that_writes_two_fields_is_one_step)
{
    SDR_TX_TRIGGER* nodes = m_session->get_trigger_at(0, false);
    ASSERT_TRUE(nodes->set_sq_input_port("top|port", true));
    ASSERT_TRUE(tx()->undo());
    bool post_fitting = true;
    EXPECT_STREQ(nodes->get_sq_input_port(&post_fitting), "");
    EXPECT_FALSE(post_fitting);

    standin::sdr::add_node(trigger(), {"top|a"});
    standin::sdr::add_group(trigger(), 0, 0, "bus");
    ASSERT_TRUE(nodes->set_group_display_type(0, SDR_GTYPE_PLUGIN));
    ASSERT_NE(nodes->get_plugin_group(0), nullptr);
    ASSERT_TRUE(tx()->undo());
    EXPECT_EQ(nodes->get_group_display_type(0), SDR_GTYPE_HEX);
    EXPECT_EQ(nodes->get_plugin_group(0), nullptr) << "the record came with the radix and goes with it";
    EXPECT_FALSE(tx()->is_undo_available());
}

namespace
{
// An atomic action that edits the repository while it is undone or redone, as a validity
// check that repairs what it finds would.
class editing_action : public SDR_TX_UNDO_ACTION_ATOMIC
{
public:
    editing_action(SDR_DATA_INSTANCE* instance, SDR_TX_INSTANCE* tx) : m_instance(instance), m_tx(tx) {}
    bool undo() override { return edit(100); }
    bool redo() override { return edit(200); }

private:
    bool edit(int size)
    {
        SDR_EDIT_SCOPE scope(m_instance);
        m_instance->get_active_trigger()->edit().segment_size = size;
        m_tx->append_atomic_action(new editing_action(m_instance, m_tx));
        return true;
    }
    SDR_DATA_INSTANCE* m_instance;
    SDR_TX_INSTANCE* m_tx;
};
} // namespace

TEST_F(SdrUndo, edits_made_by_an_atomic_action_while_its_step_runs_record_nothing)
{
    set_segment_size(1);
    tx()->begin_action();
    set_segment_size(2);
    tx()->append_atomic_action(new editing_action(data(), tx()));
    tx()->end_action();
    ASSERT_EQ(data()->history().step_count(), 2);

    ASSERT_TRUE(tx()->undo());
    EXPECT_EQ(trigger()->state().segment_size, 100) << "the action ran after the restore";
    EXPECT_EQ(data()->history().step_count(), 2) << "the steps stay as they were";
    ASSERT_TRUE(tx()->is_redo_available());
    ASSERT_TRUE(tx()->redo());
    EXPECT_EQ(trigger()->state().segment_size, 200);
    ASSERT_TRUE(tx()->undo());
    ASSERT_TRUE(tx()->undo());
    EXPECT_EQ(trigger()->state().segment_size, 0);
}
