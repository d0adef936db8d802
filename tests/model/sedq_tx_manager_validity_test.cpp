// Node validity: every tapped node and the clock judged against the netlist of their kind, with
// and without incremental compilation; the refresh only when the verdict changes; the cases that
// check nothing; the marks the panes read; and the clock warning before an acquisition.
#include "sedq_node_list_test_support.h"

#include "host/standin/acf_control.h"
#include "host/standin/dbmui_control.h"
#include "host/standin/idu_control.h"
#include "sedq/model/sedq_repository.h"

namespace
{
// "a" and "b" are in both netlists, "p" only post-fit, "pre_only" only pre-synthesis, "nobit"
// is in the post-fit netlist without the post-fitting bit, "untappable" lacks the tappable bit.
constexpr const char* DESIGN = R"({
  "project": {"top_entity": "top", "incremental_mode": 0},
  "netlists": {
    "pre": {"instances": [
      {"path": "top|a", "flags": "0x80000040"}, {"path": "top|b", "flags": "0x80000040"},
      {"path": "top|pre_only", "flags": "0x80000040"}, {"path": "top|untappable", "flags": "0x40"}]},
    "post": {"instances": [
      {"path": "top|a", "flags": "0x80002040"}, {"path": "top|b", "flags": "0x80002040"},
      {"path": "top|p", "flags": "0x80002040"}, {"path": "top|nobit", "flags": "0x80000040"}]}}
})";

constexpr int VALIDITY_CHANGED = H(0x20000411);

struct tapped
{
    const char* name;
    SDR_DATA_WIRE_TAP_MODE tap;
};
} // namespace

class sedq_validity_test : public sedq_node_list_test
{
protected:
    SEDQ_TX_MANAGER* design()
    {
        std::string error;
        EXPECT_TRUE(standin::project::load_json(DESIGN, m_dir.path().toStdString(), &error)) << error;
        SEDQ_TX_MANAGER* manager = make_manager(true);
        EXPECT_TRUE(manager->new_document(path("validity.vtl").c_str()));
        take_hints();
        return manager;
    }

    void tap(const std::vector<tapped>& rows)
    {
        for (const tapped& row : rows)
            standin::sdr::add_node(data_trigger(),
                                   {row.name, SDR_STYPE_PLAIN, SDR_WTYPE_DATA_AND_TRIGGER, row.tap});
        m_manager->refresh_tx_cache();
    }

    std::string invalid_rows()
    {
        std::string marks;
        for (int row = 0; row < trigger()->get_num_nodes(); ++row)
            marks += trigger()->is_node_invalid(row) ? 'x' : '.';
        return marks;
    }
};

TEST_F(sedq_validity_test, each_node_is_judged_against_the_netlist_of_its_kind)
{
    struct row
    {
        const char* label;
        int incremental_mode;
        const char* clock;
        bool post_fitting_clock;
        const char* marks;
        bool clock_invalid;
    };
    const std::vector<tapped> nodes = {{"a", SDR_TAP_PRE_SYNTHESIS},    {"untappable", SDR_TAP_PRE_SYNTHESIS},
                                       {"a", SDR_TAP_POST_FITTING},     {"p", SDR_TAP_POST_FITTING},
                                       {"nobit", SDR_TAP_POST_FITTING}, {"pre_only", SDR_TAP_POST_FITTING}};
    const row rows[] = {
        {"without incremental compilation every node is a pre-synthesis name", 0, "p", true, "..x.xx.", true},
        {"without incremental compilation a pre-synthesis clock", 0, "pre_only", false, "..x.xx.", false},
        {"incremental: post-fitting nodes need the post-fit netlist and its bit", 2, "p", true, "..x..xx",
         false},
        {"incremental: a post-fitting clock not in the post-fit netlist", 2, "pre_only", true, "..x..xx",
         true},
    };
    for (const row& r : rows)
    {
        SEDQ_TX_MANAGER* manager = design();
        standin::idu::set_incremental_compilation_mode(r.incremental_mode);
        tap(nodes);
        standin::sdr::add_group(data_trigger(), 0, 1, "not_a_netlist_name");
        manager->refresh_tx_cache();
        SEDQ_REPOSITORY::signal_nodes(manager, -1)->set_clock(r.clock, r.post_fitting_clock);
        EXPECT_TRUE(manager->check_node_validity(-1)) << r.label;
        EXPECT_EQ(invalid_rows(), r.marks) << r.label << " (a group row is never judged)";
        EXPECT_EQ(manager->is_clock_invalid(), r.clock_invalid) << r.label;
        EXPECT_EQ(standin::dbmui::outstanding_total(), 0) << r.label << ": every database is given back";
    }
}

TEST_F(sedq_validity_test, the_views_are_refreshed_only_when_the_verdict_changes)
{
    SEDQ_TX_MANAGER* manager = design();
    tap({{"a", SDR_TAP_PRE_SYNTHESIS}, {"gone", SDR_TAP_PRE_SYNTHESIS}});
    EXPECT_TRUE(manager->check_node_validity(-1));
    EXPECT_EQ(take_hints(), std::vector<int>{VALIDITY_CHANGED});
    EXPECT_TRUE(manager->check_node_validity(-1));
    EXPECT_TRUE(take_hints().empty()) << "the same verdict";
    EXPECT_EQ(manager->delete_node("gone"), true);
    take_hints();
    EXPECT_FALSE(manager->check_node_validity(-1));
    EXPECT_EQ(take_hints(), std::vector<int>{VALIDITY_CHANGED});
    EXPECT_EQ(invalid_rows(), ".");
}

TEST_F(sedq_validity_test, one_instance_or_every_instance_is_checked)
{
    SEDQ_TX_MANAGER* manager = design();
    tap({{"gone", SDR_TAP_PRE_SYNTHESIS}});
    ASSERT_TRUE(manager->add_instance());
    SDR_TX_TRIGGER* second = SEDQ_REPOSITORY::session(manager)->get_trigger_at(1, false);
    standin::sdr::add_node(second->get_data_trigger(), {"also_gone"});
    EXPECT_TRUE(manager->check_node_validity(1));
    EXPECT_TRUE(second->is_node_invalid(0));
    EXPECT_FALSE(manager->get_tx_session()->get_trigger_at(0, false)->is_node_invalid(0)) << "not checked";
    EXPECT_TRUE(manager->check_node_validity(-1));
    EXPECT_TRUE(manager->get_tx_session()->get_trigger_at(0, false)->is_node_invalid(0));
}

TEST_F(sedq_validity_test, nothing_is_checked_for_a_wizard_instance_a_closed_project_or_no_database_manager)
{
    struct row
    {
        const char* label;
        std::function<void(SEDQ_TX_MANAGER*)> prepare;
        std::vector<std::string> errors;
    };
    const row rows[] = {
        {"made by the IP wizard",
         [](SEDQ_TX_MANAGER* m) { SEDQ_REPOSITORY::instance(m)->get_data_instance()->m_node_info.m_generator = 2; },
         {}},
        {"closed project", [](SEDQ_TX_MANAGER*) { standin::acf::set_project(false); }, {}},
        {"no database manager", [](SEDQ_TX_MANAGER*) { standin::dbmui::set_absent(true); }, {"dbmui_mgr"}},
    };
    for (const row& r : rows)
    {
        SEDQ_TX_MANAGER* manager = design();
        tap({{"gone", SDR_TAP_PRE_SYNTHESIS}, {"a", SDR_TAP_PRE_SYNTHESIS}});
        trigger()->set_node_invalid(1, true);
        standin::msg::clear_internal_errors();
        r.prepare(manager);
        EXPECT_FALSE(manager->check_node_validity(-1)) << r.label;
        EXPECT_EQ(invalid_rows(), ".x") << r.label << ": the marks stay as they were";
        EXPECT_EQ(internal_errors(), r.errors) << r.label;
        EXPECT_TRUE(take_hints().empty()) << r.label;
    }
}

TEST_F(sedq_validity_test, data_rows_share_the_mark_of_the_trigger_row_of_their_name)
{
    SEDQ_TX_MANAGER* manager = design();
    tap({{"a", SDR_TAP_PRE_SYNTHESIS}, {"gone", SDR_TAP_PRE_SYNTHESIS}});
    ASSERT_TRUE(SEDQ_REPOSITORY::signal_nodes(manager, -1)->insert_node_gen2("data_only", 0, SDR_TAP_PRE_SYNTHESIS));
    manager->refresh_tx_cache();
    manager->check_node_validity(-1);
    manager->set_list_view_mode(true);
    const SDR_TX_SIGNAL_NODES* data = manager->get_nodes(-1);
    ASSERT_EQ(data, manager->get_signal_nodes(-1));
    for (int row = 0; row < data->get_num_nodes(); ++row)
    {
        const std::string name = data->get_node_name(row);
        EXPECT_EQ(manager->is_node_invalid(row), name == "gone") << name;
    }
    EXPECT_FALSE(manager->is_node_invalid(data->get_num_nodes())) << "past the list";
}

// A group's members asked at once, a few rows (looked up one by one) or many (through one table
// of the trigger list's names): two trigger-only rows put the data list two rows behind the
// trigger list, so a lookup by position would miss.
TEST_F(sedq_validity_test, a_range_of_rows_is_invalid_when_one_of_its_rows_is)
{
    SEDQ_TX_MANAGER* manager = design();
    for (const char* name : {"t0", "t1"})
        standin::sdr::add_node(data_trigger(), {name, SDR_STYPE_PLAIN, SDR_WTYPE_TRIGGER_ONLY, SDR_TAP_PRE_SYNTHESIS});
    std::vector<std::string> names;
    for (int i = 0; i < 40; ++i)
        names.push_back("n" + std::to_string(i));
    std::vector<tapped> rows;
    for (const std::string& name : names)
        rows.push_back({name.c_str(), SDR_TAP_PRE_SYNTHESIS});
    tap(rows);
    ASSERT_EQ(std::string(trigger()->get_node_name(27)), "n25");
    EXPECT_FALSE(manager->has_invalid_marks());
    trigger()->set_node_invalid(27, true);
    manager->set_list_view_mode(true);
    EXPECT_TRUE(manager->has_invalid_marks()) << "the data list's names share the trigger list's marks";
    const SDR_TX_SIGNAL_NODES* data = manager->get_nodes(-1);
    ASSERT_EQ(std::string(data->get_node_name(25)), "n25") << "the data list has no trigger-only rows";
    struct range
    {
        int first, last;
        bool invalid;
    };
    const range ranges[] = {{25, 25, true},  {27, 27, false}, {20, 30, true},  {26, 39, false},
                            {0, 24, false},  {0, 39, true},   {10, 25, true},  {40, 45, false}};
    for (const range& r : ranges)
    {
        bool any = false;
        for (int row = r.first; row <= r.last; ++row)
            any = any || manager->is_node_invalid(row);
        EXPECT_EQ(manager->is_any_node_invalid(r.first, r.last), r.invalid) << r.first << ".." << r.last;
        EXPECT_EQ(any, r.invalid) << "row by row, " << r.first << ".." << r.last;
    }
    manager->set_list_view_mode(false);
    EXPECT_TRUE(manager->is_any_node_invalid(20, 30)) << "the trigger list's own marks";
    EXPECT_FALSE(manager->is_any_node_invalid(28, 41));
    trigger()->set_node_invalid(27, false);
    EXPECT_FALSE(manager->has_invalid_marks());
}

TEST_F(sedq_validity_test, the_clock_marks_are_setup_mode_marks)
{
    SEDQ_TX_MANAGER* manager = design();
    SEDQ_REPOSITORY::signal_nodes(manager, -1)->set_clock("gone", true);
    manager->check_node_validity(-1);
    EXPECT_TRUE(manager->is_clock_invalid());
    EXPECT_TRUE(manager->is_clock_post_fitting());
    SEDQ_TX_MANAGER* wizard = make_manager(false);
    ASSERT_TRUE(wizard->new_document(path("wizard.vtl").c_str()));
    SEDQ_REPOSITORY::signal_nodes(wizard, -1)->set_clock("gone", true);
    wizard->check_node_validity(-1);
    EXPECT_TRUE(wizard->get_signal_nodes(-1)->is_clock_invalid());
    EXPECT_FALSE(wizard->is_clock_invalid());
    EXPECT_FALSE(wizard->is_clock_post_fitting());
}

TEST_F(sedq_validity_test, a_missing_clock_is_warned_about_once_and_the_caller_goes_on)
{
    struct row
    {
        const char* label;
        std::vector<const char*> first_nodes;
        const char* first_clock;
        std::vector<const char*> second_nodes;
        int instance;
        bool warned;
    };
    const row rows[] = {
        {"no nodes", {}, "", {}, 0, false},
        {"nodes and a clock", {"a"}, "clk", {}, 0, false},
        {"nodes without a clock", {"a"}, "", {}, 0, true},
        {"every instance: two without a clock", {"a"}, "", {"b"}, -1, true},
        {"the other instance only", {"a"}, "", {}, 1, false},
    };
    for (const row& r : rows)
    {
        SEDQ_TX_MANAGER* manager = design();
        ASSERT_TRUE(manager->add_instance());
        SDR_TX_SESSION* session = SEDQ_REPOSITORY::session(manager);
        for (const char* name : r.first_nodes)
            standin::sdr::add_node(session->get_trigger_at(0, false)->get_data_trigger(), {name});
        for (const char* name : r.second_nodes)
            standin::sdr::add_node(session->get_trigger_at(1, false)->get_data_trigger(), {name});
        session->get_signal_set_at(0, false)->set_clock(r.first_clock, false);
        manager->refresh_tx_cache();
        take_shown_keys();
        EXPECT_TRUE(manager->check_nodes_allocated(r.instance)) << r.label;
        EXPECT_EQ(take_shown_keys(),
                  r.warned ? std::vector<std::string>{"OSEDQ_MISSING_VANTREL_CLOCK_ASSIGNMENT_ITEM"}
                           : std::vector<std::string>{})
            << r.label;
    }
}
