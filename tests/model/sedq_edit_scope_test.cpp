// The edit scope: one undo step per edit and none for an edit that changes nothing, the compile
// check and the refresh hint on closing, the modified mark, nesting, a vanished instance; and the
// model setters that panes and dialogs use inside it, each one undoable step.
#include "sedq_node_list_test_support.h"

#include "host/sdr/sdr_data_mnemonics.h"
#include "sedq/model/sedq_edit_scope.h"

#include <algorithm>
#include <functional>
#include <string>
#include "sedq/model/sedq_repository.h"

namespace
{
constexpr int MODIFIED = H(0x80000020); // sent by the model write the edits make
constexpr int CHECKED = H(0x4000010);
constexpr int REFRESH = H(0x20000001);
} // namespace

class sedq_edit_scope_test : public sedq_node_list_test
{
protected:
    // The position in the current instance's undo history: one more per recorded step.
    int undo_position() { return SEDQ_REPOSITORY::instance(m_manager.get())->get_data_instance()->history().position(); }

    // A model write (it sends MODIFIED itself); the document needs a row (add_row()).
    void change_document() { m_manager->set_node_alias(0, QString::number(++m_changes)); }
    void add_row()
    {
        add_rows({"a"});
        take_hints();
    }

    int m_changes = 0;
};

TEST_F(sedq_edit_scope_test, closing_records_one_step_then_checks_then_refreshes)
{
    struct ROW
    {
        const char* name;
        SEDQ_CHECK_COMPILATION_STATUS check;
        int hint;
        bool changes;
        std::vector<int> hints;
        int steps;
    };
    const ROW rows[] = {
        {"checked edit", SEDQ_CHECK_COMPILATION, SEDQ_EDIT_SCOPE::NO_REFRESH, true, {MODIFIED, CHECKED}, 1},
        {"unchecked edit", SEDQ_SKIP_COMPILATION_CHECK, SEDQ_EDIT_SCOPE::NO_REFRESH, true, {MODIFIED}, 1},
        {"power-up check off the power-up view", SEDQ_CHECK_COMPILATION_IF_POWERUP, SEDQ_EDIT_SCOPE::NO_REFRESH,
         true, {MODIFIED}, 1},
        {"refresh after the check", SEDQ_CHECK_COMPILATION, REFRESH, true, {MODIFIED, CHECKED, REFRESH}, 1},
        {"edit that changes nothing", SEDQ_SKIP_COMPILATION_CHECK, REFRESH, false, {REFRESH}, 0},
    };
    for (const ROW& row : rows)
    {
        SEDQ_TX_MANAGER* manager = document();
        add_row();
        ASSERT_FALSE(m_frame->isWindowModified());
        const int before = undo_position();
        {
            const SEDQ_EDIT_SCOPE edit(manager, row.check, row.hint);
            EXPECT_TRUE(SEDQ_EDIT_SCOPE::is_any_open()) << row.name;
            if (row.changes)
                change_document();
        }
        EXPECT_FALSE(SEDQ_EDIT_SCOPE::is_any_open()) << row.name;
        EXPECT_EQ(take_hints(), row.hints) << row.name;
        EXPECT_EQ(undo_position() - before, row.steps) << row.name;
        EXPECT_EQ(standin::sdr::get_counters().brackets_closed, standin::sdr::get_counters().brackets_opened)
            << row.name;
        if (row.changes)
        {
            EXPECT_TRUE(m_frame->isWindowModified()) << row.name << ": the mark follows the document";
        }
    }
    EXPECT_TRUE(internal_errors().empty());
}

TEST_F(sedq_edit_scope_test, a_refused_edit_records_no_step)
{
    SEDQ_TX_MANAGER* manager = document();
    add_rows({"a"});
    const int before = undo_position();
    {
        const SEDQ_EDIT_SCOPE edit(manager, SEDQ_SKIP_COMPILATION_CHECK);
        EXPECT_FALSE(manager->toggle_storage(7, -1)) << "no such row";
    }
    EXPECT_EQ(undo_position(), before);
}

TEST_F(sedq_edit_scope_test, closing_early_ends_the_edit_once)
{
    SEDQ_TX_MANAGER* manager = document();
    add_row();
    {
        SEDQ_EDIT_SCOPE edit(manager, SEDQ_CHECK_COMPILATION, REFRESH);
        change_document();
        edit.close();
        EXPECT_FALSE(edit.is_open());
        EXPECT_EQ(take_hints(), (std::vector<int>{MODIFIED, CHECKED, REFRESH}));
    }
    EXPECT_TRUE(take_hints().empty()) << "the end of the scope sends nothing more";
    EXPECT_EQ(standin::sdr::get_counters().brackets_closed, standin::sdr::get_counters().brackets_opened);
}

// The scopes an edit opens inside it (a pane's around the model's own) are one edit: one undo
// step, one "modified" notification (at the first write), then the strongest check and each
// refresh hint once when the outermost scope ends.
TEST_F(sedq_edit_scope_test, nested_scopes_are_one_edit_with_one_notification)
{
    SEDQ_TX_MANAGER* manager = document();
    add_row();
    const int before = undo_position();
    {
        const SEDQ_EDIT_SCOPE outer(manager, SEDQ_SKIP_COMPILATION_CHECK);
        {
            const SEDQ_EDIT_SCOPE inner(manager, SEDQ_CHECK_COMPILATION, REFRESH);
            EXPECT_TRUE(inner.is_open());
            EXPECT_FALSE(inner.is_outermost());
            change_document();
        }
        {
            const SEDQ_EDIT_SCOPE again(manager, SEDQ_SKIP_COMPILATION_CHECK, REFRESH);
            change_document();
        }
        EXPECT_TRUE(SEDQ_EDIT_SCOPE::is_any_open()) << "the outer scope is still open";
        EXPECT_EQ(take_hints(), std::vector<int>{MODIFIED}) << "the refreshes wait for the end of the edit";
        change_document();
    }
    EXPECT_EQ(take_hints(), (std::vector<int>{CHECKED, REFRESH}));
    EXPECT_EQ(standin::sdr::get_counters().brackets_closed, standin::sdr::get_counters().brackets_opened);
    EXPECT_EQ(undo_position() - before, 1) << "every change is one step";
    EXPECT_TRUE(internal_errors().empty());
}

// An outer scope closed while one inside it is open is a fault of the caller: it is reported,
// the inner scope ends first, and the edit still closes once, balanced.
TEST_F(sedq_edit_scope_test, closing_an_outer_scope_early_ends_the_inner_one_first)
{
    SEDQ_TX_MANAGER* manager = document();
    add_row();
    const int before = undo_position();
    {
        SEDQ_EDIT_SCOPE outer(manager, SEDQ_SKIP_COMPILATION_CHECK);
        const SEDQ_EDIT_SCOPE inner(manager, SEDQ_CHECK_COMPILATION, REFRESH);
        change_document();
        outer.close();
        EXPECT_FALSE(inner.is_open());
        EXPECT_FALSE(SEDQ_EDIT_SCOPE::is_any_open());
        EXPECT_EQ(internal_errors().size(), 1u);
    }
    EXPECT_EQ(take_hints(), (std::vector<int>{MODIFIED, CHECKED, REFRESH}));
    EXPECT_EQ(standin::sdr::get_counters().brackets_closed, standin::sdr::get_counters().brackets_opened);
    EXPECT_EQ(undo_position() - before, 1);
}

// An edit of many rows through the model's setters: one notification whatever the count.
TEST_F(sedq_edit_scope_test, an_edit_of_many_rows_sends_one_modified_notification)
{
    struct ROW
    {
        const char* name;
        int rows;
    };
    const ROW rows[] = {{"one row", 1}, {"five rows", 5}, {"forty rows", 40}};
    for (const ROW& row : rows)
    {
        SEDQ_TX_MANAGER* manager = document();
        add_numbered_rows(row.rows);
        take_hints();
        {
            const SEDQ_EDIT_SCOPE edit(manager, SEDQ_SKIP_COMPILATION_CHECK);
            for (int node = 0; node < row.rows; ++node)
                EXPECT_TRUE(manager->set_node_alias(node, QStringLiteral("alias"))) << row.name;
        }
        const std::vector<int> hints = take_hints();
        EXPECT_EQ(std::count(hints.begin(), hints.end(), MODIFIED), 1) << row.name;
        EXPECT_TRUE(m_frame->isWindowModified()) << row.name;
    }
}

// A refused edit behaves as before: no step and no notification, even from a scope nested in it; a setter
// called outside any edit is an edit of its own and notifies at once.
TEST_F(sedq_edit_scope_test, a_refused_edit_sends_nothing_and_a_lone_write_notifies_at_once)
{
    SEDQ_TX_MANAGER* manager = document();
    add_row();
    const int before = undo_position();
    {
        const SEDQ_EDIT_SCOPE edit(manager, SEDQ_SKIP_COMPILATION_CHECK);
        {
            const SEDQ_EDIT_SCOPE inner(manager, SEDQ_SKIP_COMPILATION_CHECK);
            EXPECT_FALSE(manager->toggle_storage(7, -1)) << "no such row";
        }
    }
    EXPECT_TRUE(take_hints().empty());
    EXPECT_EQ(undo_position(), before);
    change_document();
    EXPECT_EQ(take_hints(), std::vector<int>{MODIFIED});
    EXPECT_TRUE(m_frame->isWindowModified());
}

// Two documents are never edited in one edit: the inner scope of another manager is reported
// and leaves the outer edit alone.
TEST_F(sedq_edit_scope_test, a_scope_of_another_document_inside_an_edit_reports_and_does_nothing)
{
    SEDQ_TX_MANAGER* manager = document();
    add_row();
    SEDQ_TX_MANAGER other(nullptr);
    {
        const SEDQ_EDIT_SCOPE outer(manager, SEDQ_SKIP_COMPILATION_CHECK);
        {
            const SEDQ_EDIT_SCOPE inner(&other, SEDQ_CHECK_COMPILATION, REFRESH);
            EXPECT_FALSE(inner.is_open());
            EXPECT_EQ(internal_errors().size(), 1u);
        }
        EXPECT_TRUE(SEDQ_EDIT_SCOPE::is_any_open());
        change_document();
    }
    EXPECT_EQ(take_hints(), std::vector<int>{MODIFIED}) << "the refused scope sends nothing";
    EXPECT_EQ(standin::sdr::get_counters().brackets_closed, standin::sdr::get_counters().brackets_opened);
}

TEST_F(sedq_edit_scope_test, a_scope_whose_instance_goes_in_the_edit_still_closes_and_checks)
{
    SEDQ_TX_MANAGER* manager = document();
    ASSERT_TRUE(manager->add_instance());
    take_hints();
    {
        const SEDQ_EDIT_SCOPE edit(manager, SEDQ_CHECK_COMPILATION, REFRESH);
        ASSERT_TRUE(manager->remove_instance(1));
    }
    EXPECT_FALSE(SEDQ_EDIT_SCOPE::is_any_open());
    EXPECT_EQ(standin::sdr::get_counters().unbalanced_ends, 0) << "no bracket of another instance is closed";
    const std::vector<int> hints = take_hints();
    ASSERT_GE(hints.size(), 2u);
    EXPECT_EQ(std::vector<int>(hints.end() - 2, hints.end()), (std::vector<int>{CHECKED, REFRESH}));
    EXPECT_TRUE(internal_errors().empty());
}

TEST_F(sedq_edit_scope_test, each_model_setter_is_one_undoable_step)
{
    struct ROW
    {
        const char* name;
        std::function<void(SEDQ_TX_MANAGER*)> edit;
        std::function<std::string(SEDQ_TX_MANAGER*)> read;
    };
    SDR_DATA_MNEMONICS_TABLE_CONTENT table;
    table.name = "colours";
    table.width = 2;
    const ROW rows[] = {
        {"storage flag", [](SEDQ_TX_MANAGER* m) { m->toggle_storage(0, -1); },
         [](SEDQ_TX_MANAGER* m) { return std::to_string(m->get_trigger_nodes(-1)->is_node_storage_enabled(0)); }},
        {"transition flag", [](SEDQ_TX_MANAGER* m) { m->toggle_transition(0, -1); },
         [](SEDQ_TX_MANAGER* m) { return std::to_string(m->get_trigger_nodes(-1)->is_node_transition_enabled(0)); }},
        {"inversion", [](SEDQ_TX_MANAGER* m) { m->toggle_inverted(0, -1); },
         [](SEDQ_TX_MANAGER* m) { return std::to_string(m->get_trigger_nodes(-1)->is_node_inverted(0)); }},
        {"mnemonic tables", [&](SEDQ_TX_MANAGER* m) { EXPECT_TRUE(m->replace_mnemonic_tables({table})); },
         [](SEDQ_TX_MANAGER* m)
         {
             const SDR_DATA_MNEMONICS* tables = m->get_tx_session()->get_data_session()->get_mnemonics();
             return std::to_string(tables->get_num_tables());
         }},
    };
    for (const ROW& row : rows)
    {
        SEDQ_TX_MANAGER* manager = document();
        add_rows({"a"});
        const std::string before = row.read(manager);
        const int position = undo_position();
        {
            const SEDQ_EDIT_SCOPE edit(manager, SEDQ_SKIP_COMPILATION_CHECK);
            row.edit(manager);
        }
        EXPECT_NE(row.read(manager), before) << row.name;
        EXPECT_EQ(undo_position() - position, 1) << row.name;
        manager->on_edit_undo();
        EXPECT_EQ(row.read(manager), before) << row.name << ": one undo takes it back";
    }
}
