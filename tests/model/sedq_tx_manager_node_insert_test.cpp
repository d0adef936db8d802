// Adding nodes: node-finder entries (single nodes, arrays of one and two dimensions), hierarchy
// names resolved in the netlist, state-machine groups, the node limit, the lock modes, the clock
// conflict, the warnings gathered over one insertion and the single-node finder.
#include "sedq_node_list_test_support.h"

#include "host/hdb.h"
#include "host/standin/afcq_control.h"
#include "host/standin/dbmui_control.h"
#include "host/standin/hdb_control.h"
#include "host/standin/thr_control.h"
#include "host/unbq.h"
#include "sedq/model/sedq_pages.h"

#include <QMimeData>

#include <memory>
#include "sedq/model/sedq_repository.h"

using sedq_node_insert_test = sedq_node_list_test;

namespace
{
constexpr const char* LIMIT_PASSED = "OSEDQ_LIMIT_PASSED";
constexpr const char* OVERRUN_MAXIMUM = "OSEDQ_ON_NODE_ADD_OVERRUN_MAXIMUM";
} // namespace

TEST_F(sedq_node_insert_test, finder_singles_stop_at_the_node_limit_with_one_message)
{
    SEDQ_TX_MANAGER* manager = document();
    add_numbered_rows(4090);
    AFCQ_INSTANCE_NAME_LIST entries;
    for (int i = 0; i < 10; ++i)
        entries << single(QStringLiteral("top|extra%1").arg(i).toLatin1().constData());
    EXPECT_TRUE(manager->insert_nodes(entries));
    EXPECT_EQ(manager->get_trigger_node_count(-1), 4096);
    EXPECT_EQ(row_names().back(), "extra5");
    EXPECT_EQ(take_shown_keys(), std::vector<std::string>{LIMIT_PASSED});
    EXPECT_EQ(standin::msg::shown().back().text, "Specify a maximum of 4096 nodes in a Vantrel instance");
}

TEST_F(sedq_node_insert_test, an_array_that_would_pass_the_limit_is_refused_whole)
{
    SEDQ_TX_MANAGER* manager = document();
    add_numbered_rows(4090);
    EXPECT_FALSE(manager->insert_node(array("top|cnt", {7, 0})));
    EXPECT_EQ(manager->get_trigger_node_count(-1), 4090);
    EXPECT_EQ(take_shown_keys(), std::vector<std::string>{OVERRUN_MAXIMUM});
    EXPECT_NE(standin::msg::shown().back().text.find("(4096)"), std::string::npos);
    EXPECT_TRUE(manager->insert_node(array("top|up", {0, 3}))) << "four more bits still fit";
    EXPECT_EQ(manager->get_trigger_node_count(-1), 4095) << "four bits and their bus row";
}

TEST_F(sedq_node_insert_test, array_bounds_give_the_rows_in_either_direction_and_one_bus_name)
{
    struct row
    {
        const char* label;
        QPair<int, int> bounds;
        std::vector<std::string> names;
    };
    const row rows[] = {
        {"ascending", {0, 3}, {"up[3..0]", "up[0]", "up[1]", "up[2]", "up[3]"}},
        {"descending", {3, 0}, {"up[3..0]", "up[3]", "up[2]", "up[1]", "up[0]"}},
        {"one bit", {5, 5}, {"up[5..5]", "up[5]"}},
    };
    for (const row& r : rows)
    {
        SEDQ_TX_MANAGER* manager = document();
        EXPECT_TRUE(manager->insert_node(array("top|up", r.bounds))) << r.label;
        EXPECT_EQ(row_names(), r.names) << r.label;
        EXPECT_EQ(display_types().front(), SDR_NTYPE_GROUP) << r.label;
        EXPECT_EQ(display_types().back(), SDR_NTYPE_LAST_MEMBER) << r.label;
    }
}

TEST_F(sedq_node_insert_test, a_two_dimensional_array_becomes_row_buses_inside_one_collapsed_bus)
{
    SEDQ_TX_MANAGER* manager = document();
    EXPECT_TRUE(manager->insert_node(array("top|mem", {0, 1}, {0, 2})));
    const std::vector<std::string> expected = {"mem[1..0][2..0]", "mem[0][2..0]", "mem[0][0]", "mem[0][1]",
                                               "mem[0][2]",       "mem[1][2..0]", "mem[1][0]", "mem[1][1]",
                                               "mem[1][2]"};
    EXPECT_EQ(row_names(), expected);
    const std::vector<int> types = {SDR_NTYPE_GROUP_ALT, SDR_NTYPE_GROUP, 3, 3, 4, SDR_NTYPE_GROUP, 3, 3, 4};
    EXPECT_EQ(display_types(), types) << "the outer bus is toggled once: collapsed";
    EXPECT_EQ(trigger()->get_trigger_nodes_used(), 6);
}

TEST_F(sedq_node_insert_test, new_buses_carry_the_link_mask_of_the_user_settings)
{
    SEDQ_TX_MANAGER* manager = document();
    SEDQ_TX_MANAGER::m_cfg_link_order = false;
    EXPECT_TRUE(manager->insert_node(array("top|up", {3, 0})));
    const SDR_NODE_ROW& group = data_trigger()->state().trigger_list[0];
    EXPECT_EQ(group.link_mask, 0x1 | 0x8 | 0x4);
    EXPECT_EQ(group.link_mask2, 0x1 | 0x8 | 0x4);
    SEDQ_TX_MANAGER::m_cfg_link_groups = false;
    EXPECT_TRUE(manager->insert_node(array("top|cnt", {7, 0})));
    EXPECT_EQ(data_trigger()->state().trigger_list[5].link_mask, 0) << "unlinked groups get no mask";
}

TEST_F(sedq_node_insert_test, finder_entries_take_the_netlists_tap_mode_type_and_short_name)
{
    SEDQ_TX_MANAGER* manager = document();
    EXPECT_TRUE(manager->insert_nodes({single("top|clk", 0x80000004), single("top|both", 0x80002084)}));
    EXPECT_EQ(row_names(), (std::vector<std::string>{"clk", "both"}));
    EXPECT_EQ(trigger()->get_node_signal_type(0), SDR_STYPE_INPUT_PIN);
    EXPECT_EQ(trigger()->get_node_tap_mode(0), SDR_TAP_PRE_SYNTHESIS);
    EXPECT_EQ(trigger()->get_node_tap_mode(1), SDR_TAP_POST_FITTING);
    EXPECT_EQ(trigger()->get_node_signal_type(1), SDR_STYPE_INPUT_PIN) << "input pin wins over combinational";
    EXPECT_FALSE(manager->insert_node(single("top|clk"))) << "a node is added once";
    EXPECT_FALSE(manager->insert_node(AFCQ_INSTANCE_NAME(3, "top|x", 0)));
    EXPECT_EQ(internal_errors(), std::vector<std::string>{"Unexpected node type"});
    EXPECT_EQ(standin::dbmui::outstanding_total(), 0);
}

TEST_F(sedq_node_insert_test, lock_modes_refuse_nodes_with_their_messages)
{
    struct row
    {
        const char* label;
        SEDQ_LOCK_MODE mode;
        unsigned flags;
        int answer; // for the allocation question; 0: none asked
        int rows_after;
        std::vector<std::string> keys;
    };
    const row rows[] = {
        {"trigger lock", SEDQ_LOCK_MODE_ALLOW_TRIGGER, 0x80002040, 0, 0, {"OSEDQ_ON_NODE_ADD_TRIGGER_LOCK"}},
        {"incremental, pre-synthesis", SEDQ_LOCK_MODE_ALLOW_INCREMENTAL, 0x80000040, 0, 0,
         {"OSEDQ_ON_NODE_ADD_PRE_SYN_INCR_LOCK_MODE"}},
        {"incremental, over allocation, cancel", SEDQ_LOCK_MODE_ALLOW_INCREMENTAL, 0x80002040, 2, 0,
         {"OCSEDQ_ON_NODE_ADD_OVER_RUN_ALLOCATION"}},
        {"incremental, over allocation, OK", SEDQ_LOCK_MODE_ALLOW_INCREMENTAL, 0x80002040, 1, 1,
         {"OCSEDQ_ON_NODE_ADD_OVER_RUN_ALLOCATION", "WSEDQ_INVALID_VANTREL_NODE_ASSIGNMENT_LIST"}},
    };
    for (const row& r : rows)
    {
        standin::msg::reset();
        m_keys_seen = 0;
        SEDQ_TX_MANAGER* manager = document();
        manager->set_lock_mode(r.mode, false);
        if (r.answer != 0)
            standin::msg::push_answer(r.answer);
        EXPECT_TRUE(manager->insert_nodes({single("top|led", r.flags)})) << r.label;
        EXPECT_EQ(manager->get_trigger_node_count(-1), r.rows_after) << r.label;
        std::vector<std::string> keys = take_shown_keys();
        keys.erase(std::remove(keys.begin(), keys.end(), "OSEDQ_INVALID_POST_FITTING_NODE_ASSIGNMENTS"), keys.end());
        EXPECT_EQ(keys, r.keys) << r.label;
    }
}

TEST_F(sedq_node_insert_test, an_empty_finder_list_is_accepted_silently_in_every_lock_mode)
{
    SEDQ_TX_MANAGER* manager = document();
    for (SEDQ_LOCK_MODE mode : {SEDQ_LOCK_MODE_ALLOW_ALL, SEDQ_LOCK_MODE_ALLOW_INCREMENTAL, SEDQ_LOCK_MODE_ALLOW_TRIGGER})
    {
        manager->set_lock_mode(mode, false);
        EXPECT_TRUE(manager->insert_nodes({})) << mode;
    }
    EXPECT_TRUE(shown_keys().empty());
}

TEST_F(sedq_node_insert_test, a_node_that_is_the_clock_takes_its_place_and_the_clock_is_cleared)
{
    SEDQ_TX_MANAGER* manager = document();
    SEDQ_REPOSITORY::signal_nodes(manager, -1)->set_clock("clk", true);
    EXPECT_TRUE(manager->insert_node("clk", SDR_STYPE_PLAIN, SDR_TAP_PRE_SYNTHESIS, false));
    bool post_fitting = false;
    EXPECT_STREQ(manager->get_signal_nodes(-1)->get_clock_name(&post_fitting), "");
    EXPECT_TRUE(manager->get_signal_nodes(-1)->is_clock_post_fitting()) << "the clock keeps its netlist";
    EXPECT_EQ(take_shown_keys(), std::vector<std::string>{"OSEDQ_CLK_CONFLICT"});
    EXPECT_EQ(standin::msg::shown().back().text,
              "Cannot define signal \"clk\" as both clock signal and Vantrel signal -- removing duplicate");

    SEDQ_REPOSITORY::signal_nodes(manager, -1)->set_clock("CLK2", false);
    EXPECT_TRUE(manager->insert_node("clk2", SDR_STYPE_PLAIN, SDR_TAP_PRE_SYNTHESIS, false));
    EXPECT_STREQ(manager->get_signal_nodes(-1)->get_clock_name(&post_fitting), "CLK2") << "names compare with case";
    EXPECT_EQ(manager->get_signal_nodes(-1)->get_data_signal_set()->state().assignment_350_value, "keep");
}

TEST_F(sedq_node_insert_test, a_wizard_or_main_window_manager_keeps_the_clock)
{
    for (bool main_window : {false, true})
    {
        standin::msg::reset();
        SEDQ_TX_MANAGER* manager = make_manager(main_window, QUI_FW_STATE_MAIN_WINDOW);
        ASSERT_TRUE(manager->new_document(path(main_window ? "m.vtl" : "w.vtl").c_str()));
        SEDQ_REPOSITORY::signal_nodes(manager, -1)->set_clock("clk", false);
        EXPECT_TRUE(manager->insert_node("clk", SDR_STYPE_PLAIN, SDR_TAP_POST_FITTING, false));
        bool post_fitting = false;
        EXPECT_STREQ(manager->get_signal_nodes(-1)->get_clock_name(&post_fitting), "clk");
        manager->show_untappable_msg(nullptr);
        EXPECT_TRUE(shown_keys().empty()) << "no conflict and no untappable warning";
    }
}

TEST_F(sedq_node_insert_test, untappable_post_fitting_nodes_gather_into_one_list_of_at_most_101_items)
{
    SEDQ_TX_MANAGER* manager = document();
    AFCQ_INSTANCE_NAME_LIST entries;
    for (int i = 0; i < 102; ++i)
        entries << single(QStringLiteral("top|p%1").arg(i).toLatin1().constData(), 0x80002040);
    EXPECT_TRUE(manager->insert_nodes(entries));
    ASSERT_EQ(take_shown_keys(),
              (std::vector<std::string>{"OSEDQ_INVALID_POST_FITTING_NODE_ASSIGNMENTS",
                                        "WSEDQ_INVALID_VANTREL_NODE_ASSIGNMENT_LIST"}));
    const auto& list = standin::msg::shown().back();
    ASSERT_EQ(list.children.size(), 101u);
    EXPECT_EQ(list.children.front().text, "Post-fitting node \"p0\"");
    EXPECT_EQ(list.children.back().text, "Node \"etc.\"");

    EXPECT_TRUE(manager->insert_nodes({single("top|p200", 0x80002040)}));
    EXPECT_EQ(standin::msg::shown().back().children.size(), 1u) << "counting starts again after the flush";
}

TEST_F(sedq_node_insert_test, bus_members_sort_most_significant_first)
{
    HDB_NAMESPACE* names = standin::hdb::set_netlist(HDB_NAMESPACE::PDB_PRE_SYNTHESIS, "top");
    struct row
    {
        const char* a;
        const char* b;
        bool a_first;
    };
    const row rows[] = {
        {"a[10]", "a[9]", true},   {"a[9]", "a[10]", false},  {"a[2]", "a[9]", false},
        {"b[0]", "a[7]", true},    {"x", "y", false},         {"y", "x", true},
        {"m[1][2]", "m[1][0]", true}, {"m[1][0]", "m[1][2]", false}, {"a[3]", "a[3]", false},
        {"a[-1]", "a[0]", false},
    };
    for (const row& r : rows)
    {
        HDB_INSTANCE_NAME* a = names->add_name(r.a, 0x80000040);
        HDB_INSTANCE_NAME* b = names->add_name(r.b, 0x80000040);
        EXPECT_EQ(compare_func(a, b), r.a_first) << r.a << " / " << r.b;
    }
    HDB_INSTANCE_NAME* bus = standin::hdb::add_bus(HDB_NAMESPACE::PDB_PRE_SYNTHESIS, "s", {{2, 2}}, 0x80000040);
    std::vector<HDB_INSTANCE_NAME*> members = {names->add_name("s[2]", 0), names->add_name("s[10]", 0),
                                               names->add_name("s[9]", 0)};
    std::stable_sort(members.begin(), members.end(), compare_func);
    EXPECT_EQ(members[0]->short_hpath(), "s[10]");
    EXPECT_EQ(members[2]->short_hpath(), "s[2]");
    EXPECT_NE(bus, nullptr);
}

TEST_F(sedq_node_insert_test, a_hierarchy_name_adds_its_bus_sorted_and_grouped_under_its_short_path)
{
    SEDQ_TX_MANAGER* manager = document();
    EXPECT_TRUE(manager->insert_node("top|up", SDR_TAP_PRE_SYNTHESIS));
    EXPECT_EQ(row_names(), (std::vector<std::string>{"up", "up[3]", "up[2]", "up[1]", "up[0]"}));
    EXPECT_EQ(trigger()->get_node_signal_type(1), SDR_STYPE_REGISTERED);
    EXPECT_TRUE(manager->insert_node("top|clk", SDR_TAP_PRE_SYNTHESIS));
    EXPECT_EQ(row_names().back(), "clk");
    EXPECT_TRUE(manager->insert_node("unknown|name", SDR_TAP_PRE_SYNTHESIS)) << "names the netlist lacks go in as typed";
    EXPECT_EQ(row_names().back(), "unknown|name");
    EXPECT_EQ(standin::dbmui::outstanding_total(), 0);
}

TEST_F(sedq_node_insert_test, a_two_dimensional_hierarchy_name_gives_one_bus_per_row)
{
    SEDQ_TX_MANAGER* manager = document();
    EXPECT_TRUE(manager->insert_node("mem", SDR_TAP_PRE_SYNTHESIS));
    EXPECT_EQ(row_names(), (std::vector<std::string>{"mem[1]", "mem[1][2]", "mem[1][1]", "mem[1][0]", "mem[0]",
                                                     "mem[0][2]", "mem[0][1]", "mem[0][0]"}));
    EXPECT_EQ(display_types().front(), SDR_NTYPE_GROUP);
    EXPECT_EQ(trigger()->get_node_depth(0), 0) << "the rows are not grouped once more";
}

TEST_F(sedq_node_insert_test, a_bus_by_hierarchy_name_that_would_pass_the_limit_is_refused_whole)
{
    SEDQ_TX_MANAGER* manager = document();
    add_numbered_rows(4092);
    EXPECT_FALSE(manager->insert_node("cnt", SDR_TAP_PRE_SYNTHESIS));
    EXPECT_EQ(manager->get_trigger_node_count(-1), 4092);
    EXPECT_EQ(take_shown_keys(), std::vector<std::string>{OVERRUN_MAXIMUM});
    EXPECT_TRUE(manager->insert_node("up", SDR_TAP_PRE_SYNTHESIS));
    EXPECT_EQ(manager->get_trigger_node_count(-1), 4097) << "four bits and their bus row";
    EXPECT_FALSE(manager->insert_node("clk", SDR_TAP_PRE_SYNTHESIS)) << "a single name is counted too";
}

TEST_F(sedq_node_insert_test, a_case_insensitive_netlist_keeps_the_users_letter_case)
{
    const char* design = R"({"project": {"top_entity": "Top", "incremental_mode": 0},
        "netlists": {"pre": {"case_sensitive": false, "instances": [{"path": "Top|Core|Bus", "flags": "0x80000040",
        "dims": [[1, 0]]}]}}})";
    std::string error;
    ASSERT_TRUE(standin::project::load_json(design, m_dir.path().toStdString(), &error)) << error;
    SEDQ_TX_MANAGER* manager = document(false);
    manager->set_using_pre_synthesis_filter(true);
    EXPECT_TRUE(manager->insert_node("top|core|bus", SDR_TAP_PRE_SYNTHESIS));
    EXPECT_EQ(row_names(), (std::vector<std::string>{"core|bus", "Core|Bus[1]", "Core|Bus[0]"}));
}

TEST_F(sedq_node_insert_test, without_a_project_a_hierarchy_name_goes_in_as_typed)
{
    SEDQ_TX_MANAGER* manager = document(false);
    EXPECT_TRUE(manager->insert_node("top|cnt", SDR_TAP_PRE_SYNTHESIS));
    EXPECT_TRUE(manager->insert_node("top|cnt", SDR_TAP_PRE_SYNTHESIS)) << "true whatever the repository answered";
    EXPECT_EQ(row_names(), std::vector<std::string>{"top|cnt"});
}

TEST_F(sedq_node_insert_test, state_machine_nodes_become_one_bus_read_lsb_first)
{
    SEDQ_TX_MANAGER* manager = document();
    add_rows({"other"});
    const int group = manager->insert_nodes("u1|state", {"u1|state.idle", "u1|state.run"}, SDR_TAP_PRE_SYNTHESIS, false);
    EXPECT_EQ(group, 1);
    EXPECT_EQ(row_names(), (std::vector<std::string>{"other", "u1|state", "u1|state.idle", "u1|state.run"}));
    EXPECT_TRUE(trigger()->is_lsb_to_msb(1));
    EXPECT_EQ(trigger()->get_node_signal_type(2), SDR_STYPE_MACHINE);
    EXPECT_TRUE(internal_errors().empty());
}

TEST_F(sedq_node_insert_test, duplicate_state_machines_are_grouped_in_both_lists_with_numbered_names)
{
    SEDQ_TX_MANAGER* manager = document();
    const QStringList states = {"u1|state.idle", "u1|state.run"};
    EXPECT_EQ(manager->insert_nodes("fsm", states, SDR_TAP_PRE_SYNTHESIS, true), 0);
    EXPECT_EQ(manager->insert_nodes("fsm", states, SDR_TAP_PRE_SYNTHESIS, true), 3);
    EXPECT_EQ(row_names(), (std::vector<std::string>{"fsm", "u1|state.idle", "u1|state.run", "fsm (1)",
                                                     "u1|state.idle", "u1|state.run"}));
    const SDR_TX_SIGNAL_SET* data = manager->get_signal_nodes(-1);
    ASSERT_EQ(data->get_num_nodes(), 6);
    EXPECT_EQ(data->get_node_display_type(0), SDR_NTYPE_GROUP);
    EXPECT_EQ(data->get_node_display_type(3), SDR_NTYPE_GROUP);
    EXPECT_TRUE(data->is_lsb_to_msb(3));
    EXPECT_EQ(data_trigger()->state().trigger_list[3].link_type, 0xf);
    EXPECT_TRUE(internal_errors().empty());
}

TEST_F(sedq_node_insert_test, the_group_name_retry_stops_after_its_bound_and_reports)
{
    SEDQ_TX_MANAGER* manager = document();
    standin::sdr::refuse_write("set_group_node_name");
    EXPECT_EQ(manager->insert_nodes("fsm", {"a", "b"}, SDR_TAP_PRE_SYNTHESIS, true), 0);
    EXPECT_EQ(internal_errors(), (std::vector<std::string>{
                                     "this->m_tx_signals->set_group_node_name( first_node_index, group_name )",
                                     "this->m_tx_trigger->set_group_node_name( first_node_index, group_name )"}));
    EXPECT_EQ(display_types().front(), SDR_NTYPE_GROUP) << "the bus stands, under the repository's own name";
}

TEST_F(sedq_node_insert_test, state_machine_nodes_that_were_all_refused_make_no_group)
{
    SEDQ_TX_MANAGER* manager = document();
    add_rows({"a", "b"});
    EXPECT_EQ(manager->insert_nodes("fsm", {"a", "b"}, SDR_TAP_PRE_SYNTHESIS, false), -1);
    EXPECT_EQ(row_names(), (std::vector<std::string>{"a", "b"})) << "the rows before are left ungrouped";
    const std::vector<std::string> expected = {
        "this->insert_node(node, SDR_STYPE_MACHINE, tap_mode, allow_duplicate_node_name)",
        "this->insert_node(node, SDR_STYPE_MACHINE, tap_mode, allow_duplicate_node_name)",
        "last_node_index >= first_node_index"};
    EXPECT_EQ(internal_errors(), expected);
}

TEST_F(sedq_node_insert_test, the_finder_selection_is_one_undoable_edit_that_grows_the_allocations)
{
    SEDQ_TX_MANAGER* manager = document();
    add_rows({"a"});
    SEDQ_REPOSITORY::signal_nodes(manager, -1)->set_nodes_allocated(1, 1);
    SEDQ_REPOSITORY::signal_nodes(manager, -1)->set_nodes_allocated(0, 0);
    take_hints();
    ASSERT_TRUE(standin::unbq::select({single("top|led"), array("top|up", {3, 0})}));
    EXPECT_EQ(manager->get_trigger_node_count(-1), 7);
    EXPECT_EQ(manager->get_data_nodes_allocated(-1), 6) << "a fixed allocation grows to what is used";
    EXPECT_EQ(manager->get_trigger_nodes_allocated(-1), 0) << "automatic stays automatic";
    const std::vector<int> hints = take_hints();
    EXPECT_EQ(hints.back(), H(0x20000007));
    manager->on_edit_undo();
    EXPECT_EQ(manager->get_trigger_node_count(-1), 1) << "one step takes every new node back";
}

TEST_F(sedq_node_insert_test, opening_the_finder_shows_it_on_the_netlist_of_the_filter)
{
    SEDQ_TX_MANAGER* manager = document();
    manager->set_int_state(-1, SEDQ_ACTIVE_TAB_KEY, SEDQ_DATA_PAGE);
    take_hints();
    manager->on_node_insert();
    UNBQ_DIALOG* finder = standin::unbq::live_dialog();
    ASSERT_NE(finder, nullptr);
    EXPECT_TRUE(finder->isVisible());
    EXPECT_FALSE(finder->isModal());
    EXPECT_EQ(finder->get_filter(), "Vantrel: post-fitting");
    EXPECT_EQ(manager->get_int_state(-1, SEDQ_ACTIVE_TAB_KEY, -1), SEDQ_SETUP_PAGE);
    EXPECT_EQ(take_hints(), std::vector<int>{H(0x20000040)});
    EXPECT_GT(finder->listed_count(), 0);

    manager->set_using_pre_synthesis_filter(true);
    manager->on_node_insert();
    EXPECT_EQ(finder->get_filter(), "Vantrel: pre-synthesis");
    EXPECT_TRUE(take_hints().empty()) << "already in the setup tab";
    finder->hide();
}

TEST_F(sedq_node_insert_test, drops_of_host_names_insert_what_the_drag_carries)
{
    SEDQ_TX_MANAGER* manager = document();
    const std::unique_ptr<QMimeData> drag(
        standin::afcq::instance_name_list_mime({single("top|led", 0x80000008), array("top|cnt", {7, 0})}));
    const AFCQ_INSTANCE_NAME_LIST names =
        AFCQ_DATA_TRANSFER_MANAGER::get_instance()->get_instance_name_list_transfer_data(drag.get());
    ASSERT_EQ(names.size(), 2);
    EXPECT_TRUE(manager->insert_nodes(names));
    EXPECT_EQ(manager->get_trigger_node_count(-1), 10);
    EXPECT_EQ(row_names()[1], "cnt[7..0]");
}

TEST_F(sedq_node_insert_test, the_single_node_finder_picks_one_node_and_checks_it)
{
    struct row
    {
        const char* label;
        AFCQ_INSTANCE_NAME_LIST pick;
        SEDQ_TX_MANAGER::NODE_TYPE type;
        bool result;
        const char* name;
        SEDQ_IS_POST_FITTING_TYPE post_fitting;
        std::vector<std::string> keys;
    };
    const row rows[] = {
        {"cancelled", {}, SEDQ_TX_MANAGER::NODE_TYPE_CLOCK, false, "", SEDQ_KEEP_POST_FITTING_TYPE, {}},
        {"a bus", {array("top|cnt", {7, 0})}, SEDQ_TX_MANAGER::NODE_TYPE_CLOCK, false, "",
         SEDQ_KEEP_POST_FITTING_TYPE, {"OSEDQ_NO_BUS_NODE_ALLOWED"}},
        {"pre-synthesis clock", {single("top|clk", 0x80000004)}, SEDQ_TX_MANAGER::NODE_TYPE_CLOCK, true, "clk",
         SEDQ_PRE_SYNTHESIS, {}},
        {"post-fitting input", {single("top|clk", 0x80002004)}, SEDQ_TX_MANAGER::NODE_TYPE_TRIGGER_INPUT, true, "clk",
         SEDQ_POST_FITTING,
         {"OSEDQ_INVALID_POST_FITTING_NODE_ASSIGNMENTS", "WSEDQ_INVALID_VANTREL_NODE_ASSIGNMENT_LIST"}},
        {"no trigger out", {single("top|clk", 0x80000004)}, SEDQ_TX_MANAGER::NODE_TYPE_TRIGGER_OUTPUT, false, "clk",
         SEDQ_PRE_SYNTHESIS, {"OSEDQ_INVALID_VANTREL_TRIGGER_OUT_ASSIGNMENT_ITEM"}},
        {"trigger out", {single("top|led", 0x80000008)}, SEDQ_TX_MANAGER::NODE_TYPE_TRIGGER_OUTPUT, true, "led",
         SEDQ_PRE_SYNTHESIS, {}},
    };
    SEDQ_TX_MANAGER* manager = document();
    for (const row& r : rows)
    {
        standin::unbq::push_single_result(r.pick);
        QString name;
        SEDQ_IS_POST_FITTING_TYPE post_fitting = SEDQ_KEEP_POST_FITTING_TYPE;
        EXPECT_EQ(manager->get_unb_node(&name, r.type, &post_fitting), r.result) << r.label;
        EXPECT_EQ(name.toStdString(), r.name) << r.label;
        EXPECT_EQ(post_fitting, r.post_fitting) << r.label;
        EXPECT_EQ(take_shown_keys(), r.keys) << r.label;
    }
    EXPECT_EQ(standin::thr::loaded_count(), 0) << "the finder library is unloaded after each pick";
}

TEST_F(sedq_node_insert_test, a_finder_library_that_cannot_be_loaded_is_an_internal_error)
{
    SEDQ_TX_MANAGER* manager = document();
    standin::thr::fail_load("prj_unbq.dll", "cannot open prj_unbq.dll");
    QString name;
    EXPECT_FALSE(manager->get_unb_node(&name, SEDQ_TX_MANAGER::NODE_TYPE_CLOCK, nullptr));
    EXPECT_EQ(internal_errors(), std::vector<std::string>{"cannot open prj_unbq.dll"});
    standin::thr::fail_load("prj_unbq.dll", "");
    standin::thr::fail_symbol("unbq_dyn_node_finder_dialog_instance_name_widget");
    EXPECT_FALSE(manager->get_unb_node(&name, SEDQ_TX_MANAGER::NODE_TYPE_CLOCK, nullptr));
    EXPECT_NE(internal_errors().back().find("has no function"), std::string::npos);
    EXPECT_EQ(standin::thr::loaded_count(), 0);
}
