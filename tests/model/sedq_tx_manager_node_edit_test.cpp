// Editing the node list: deleting, copying, moving, grouping, renaming and aliasing rows, the
// capture and tap-mode toggles, the comparison setters, selection, and what a mode hides and
// what may be deleted; with the modified mark and the refresh hints each edit sends.
#include "sedq_node_list_test_support.h"

#include "host/sdr/sdr_file_limits.h"
#include "sedq/model/sedq_edit_scope.h"

#include <cstring>

using sedq_node_edit_test = sedq_node_list_test;

namespace
{
constexpr int MODIFIED_HINT = H(0x80000020);
} // namespace

TEST_F(sedq_node_edit_test, deleting_by_rows_by_name_and_by_selection)
{
    SEDQ_TX_MANAGER* manager = document();
    add_rows({"a", "b", "c", "d", "e"});
    EXPECT_EQ(manager->delete_node(0, 1), 2);
    EXPECT_EQ(take_hints(), std::vector<int>{MODIFIED_HINT});
    EXPECT_EQ(manager->delete_node(7, 9), 0);
    EXPECT_TRUE(take_hints().empty()) << "nothing deleted, nothing marked";
    EXPECT_TRUE(manager->delete_node("d"));
    EXPECT_FALSE(manager->delete_node("zz"));
    manager->set_node_selection_status(0, true);
    EXPECT_EQ(manager->delete_selected_nodes(), 1);
    EXPECT_EQ(row_names(), std::vector<std::string>{"e"});
    EXPECT_EQ(manager->delete_selected_nodes(), 0);
    EXPECT_EQ(manager->get_signal_nodes(-1)->get_num_nodes(), 1) << "the data list follows";
}

TEST_F(sedq_node_edit_test, copying_and_moving_rows_always_mark_the_document)
{
    SEDQ_TX_MANAGER* manager = document();
    add_rows({"a", "b", "c"});
    EXPECT_EQ(manager->copy_before_node(0, 0, 3, false), 3);
    EXPECT_EQ(row_names(), (std::vector<std::string>{"a", "b", "c", "a"}));
    EXPECT_TRUE(manager->move_before_node(2, 2, 0, false));
    EXPECT_EQ(row_names(), (std::vector<std::string>{"c", "a", "b", "a"}));
    manager->select_node_range(0, 3, false);
    manager->set_node_selection_status(1, true);
    EXPECT_TRUE(manager->copy_selected_before_node(0, false));
    EXPECT_EQ(row_names().front(), "a");
    take_hints();
    EXPECT_FALSE(manager->move_selected_before_node(99, false));
    EXPECT_EQ(take_hints(), std::vector<int>{MODIFIED_HINT}) << "marked even when the repository refuses";
}

TEST_F(sedq_node_edit_test, grouping_links_the_new_bus_and_tells_the_instance_manager)
{
    SEDQ_TX_MANAGER* manager = document();
    add_rows({"a", "b", "c"});
    EXPECT_TRUE(manager->group_node(0, 1));
    EXPECT_EQ(data_trigger()->state().trigger_list[0].link_mask, 0xf);
    EXPECT_EQ(take_hints(), std::vector<int>{MODIFIED_HINT}) << "a basic AND level: no instance refresh";
    trigger()->set_level_type(0, false, SDR_LTYPE_BASIC_OR);
    EXPECT_TRUE(manager->group_node(3, 3));
    EXPECT_EQ(take_hints(), (std::vector<int>{H(0x10), MODIFIED_HINT}));
    EXPECT_FALSE(manager->group_node(5, 4));
    EXPECT_EQ(take_hints(), std::vector<int>{MODIFIED_HINT});
    EXPECT_TRUE(manager->ungroup_node(3));
    EXPECT_EQ(take_hints(), (std::vector<int>{H(0x10), MODIFIED_HINT}));
    EXPECT_TRUE(manager->toggle_node(0));
    EXPECT_FALSE(manager->is_node_expanded(0));
    EXPECT_FALSE(manager->is_parent_visible(1));
}

TEST_F(sedq_node_edit_test, grouping_the_selection_is_not_linked_and_not_marked)
{
    SEDQ_TX_MANAGER* manager = document();
    add_rows({"a", "b"});
    manager->select_node_range(0, 1, true);
    EXPECT_TRUE(manager->is_valid_selection_for_grouping());
    EXPECT_TRUE(manager->group_selected_nodes());
    EXPECT_EQ(data_trigger()->state().trigger_list[0].link_mask, 0);
    EXPECT_TRUE(take_hints().empty());
    EXPECT_TRUE(manager->is_invalid_index_for_drop(9, false)) << "past the end of the list";
}

TEST_F(sedq_node_edit_test, a_taken_alias_gets_the_next_free_number)
{
    SEDQ_TX_MANAGER* manager = document();
    add_rows({"a", "b", "c", "d"});
    const char* expected[] = {"x", "x (1)", "x (2)"};
    for (int row = 0; row < 3; ++row)
    {
        EXPECT_TRUE(manager->set_node_alias(row, "x"));
        EXPECT_STREQ(trigger()->get_node_alias(row), expected[row]) << row;
    }
    EXPECT_TRUE(manager->set_node_alias(1, ""));
    EXPECT_STREQ(trigger()->get_node_alias(1), "");
    EXPECT_TRUE(manager->set_node_alias(3, "x"));
    EXPECT_STREQ(trigger()->get_node_alias(3), "x (1)") << "a freed number is used again";
}

TEST_F(sedq_node_edit_test, an_alias_the_list_always_refuses_stops_after_a_bound)
{
    SEDQ_TX_MANAGER* manager = document();
    add_rows({"a", "b"});
    standin::sdr::refuse_write("set_node_alias");
    EXPECT_FALSE(manager->set_node_alias(0, "x"));
    EXPECT_EQ(internal_errors(), std::vector<std::string>{"nodes->set_node_alias(node, alias)"});
    EXPECT_STREQ(trigger()->get_node_alias(0), "");
}

// An alias longer than the file stores is refused at once, whatever number might follow it, and
// the edit's end tells the user why; the alias at the limit is kept.
TEST_F(sedq_node_edit_test, an_alias_longer_than_a_file_stores_is_refused_with_the_reason)
{
    SEDQ_TX_MANAGER* manager = document();
    add_rows({"a"});
    const QString longest(int(SDR_FILE_LIMITS::MAX_XML_VALUE), QLatin1Char('x'));
    {
        const SEDQ_EDIT_SCOPE edit(manager, SEDQ_SKIP_COMPILATION_CHECK);
        EXPECT_FALSE(manager->set_node_alias(0, longest + "y"));
    }
    EXPECT_TRUE(internal_errors().empty());
    ASSERT_EQ(standin::msg::shown().size(), 1u);
    EXPECT_EQ(standin::msg::shown()[0].help_key, "OSEDQ_PAST_FILE_LIMIT");
    EXPECT_NE(standin::msg::shown()[0].text.find("The change is not made: the alias of 8388609 bytes"), std::string::npos);
    EXPECT_STREQ(trigger()->get_node_alias(0), "");
    {
        const SEDQ_EDIT_SCOPE edit(manager, SEDQ_SKIP_COMPILATION_CHECK);
        EXPECT_TRUE(manager->set_node_alias(0, longest));
    }
    EXPECT_EQ(standin::msg::shown().size(), 1u);
    EXPECT_EQ(std::strlen(trigger()->get_node_alias(0)), size_t(SDR_FILE_LIMITS::MAX_XML_VALUE));
}

TEST_F(sedq_node_edit_test, renames_refuse_empty_names_and_send_their_hints)
{
    SEDQ_TX_MANAGER* manager = document();
    add_rows({"a", "b"});
    standin::sdr::add_group(data_trigger(), 0, 0, "bus");
    standin::sdr::add_group(data_trigger(), 2, 2, "other");
    manager->refresh_tx_cache();
    EXPECT_FALSE(manager->rename_node(1, ""));
    EXPECT_FALSE(manager->rename_group(0, ""));
    EXPECT_TRUE(take_hints().empty());
    EXPECT_TRUE(manager->rename_node(1, "z"));
    EXPECT_EQ(take_hints(), (std::vector<int>{H(0x20000411), MODIFIED_HINT, H(0x24000012)}))
        << "the renamed node is checked against the netlist first: the design has no \"z\"";
    EXPECT_TRUE(trigger()->is_node_invalid(1));
    EXPECT_TRUE(manager->rename_group(0, "wide"));
    EXPECT_EQ(take_hints(), (std::vector<int>{MODIFIED_HINT, H(0x20000002)}));
    EXPECT_FALSE(manager->rename_group(2, "wide")) << "group names are unique";
    EXPECT_TRUE(take_hints().empty());
    EXPECT_EQ(row_names(), (std::vector<std::string>{"wide", "z", "other", "b"}));
}

TEST_F(sedq_node_edit_test, toggling_the_capture_walks_the_table)
{
    SEDQ_TX_MANAGER* manager = document();
    add_rows({"a"});
    struct row
    {
        SDR_DATA_WIRE_CAPTURE_TYPE from;
        SDR_DATA_WIRE_CAPTURE_TYPE after_data;
        SDR_DATA_WIRE_CAPTURE_TYPE after_trigger;
    };
    const row rows[] = {
        {SDR_WTYPE_DATA_ONLY, SDR_WTYPE_NEITHER, SDR_WTYPE_DATA_AND_TRIGGER},
        {SDR_WTYPE_TRIGGER_ONLY, SDR_WTYPE_DATA_AND_TRIGGER, SDR_WTYPE_NEITHER},
        {SDR_WTYPE_DATA_AND_TRIGGER, SDR_WTYPE_TRIGGER_ONLY, SDR_WTYPE_DATA_ONLY},
        {SDR_WTYPE_NEITHER, SDR_WTYPE_DATA_ONLY, SDR_WTYPE_TRIGGER_ONLY},
        {SDR_WTYPE_UNSET, SDR_WTYPE_DATA_ONLY, SDR_WTYPE_TRIGGER_ONLY},
    };
    for (const row& r : rows)
    {
        trigger()->set_node_capture_type(0, r.from);
        EXPECT_TRUE(manager->toggle_data(0)) << r.from;
        EXPECT_EQ(manager->get_node_capture_type(0), r.after_data) << r.from;
        trigger()->set_node_capture_type(0, r.from);
        EXPECT_TRUE(manager->toggle_trigger(0)) << r.from;
        EXPECT_EQ(manager->get_node_capture_type(0), r.after_trigger) << r.from;
    }
    trigger()->set_node_capture_type(0, SDR_WTYPE_UNSET);
    manager->toggle_data(0);
    manager->toggle_data(0);
    EXPECT_EQ(manager->get_node_capture_type(0), SDR_WTYPE_NEITHER) << "0 becomes 1, then 4";
}

TEST_F(sedq_node_edit_test, the_tap_mode_toggles_between_the_two_netlists_only)
{
    SEDQ_TX_MANAGER* manager = document();
    add_rows({"a"});
    EXPECT_TRUE(manager->toggle_node_tap_mode(0));
    EXPECT_EQ(manager->get_node_tap_mode(0), SDR_TAP_POST_FITTING);
    EXPECT_TRUE(manager->toggle_node_tap_mode(0));
    EXPECT_EQ(manager->get_node_tap_mode(0), SDR_TAP_PRE_SYNTHESIS);
    trigger()->set_node_tap_mode(0, SDR_DATA_WIRE_TAP_MODE(1));
    take_hints();
    EXPECT_FALSE(manager->toggle_node_tap_mode(0));
    EXPECT_EQ(manager->get_node_tap_mode(0), SDR_DATA_WIRE_TAP_MODE(1));
    EXPECT_TRUE(take_hints().empty());
}

TEST_F(sedq_node_edit_test, settings_mark_the_document_only_when_the_repository_takes_them)
{
    SEDQ_TX_MANAGER* manager = document();
    add_rows({"a", "b"});
    standin::sdr::add_group(data_trigger(), 0, 1, "bus");
    manager->refresh_tx_cache();
    EXPECT_TRUE(manager->set_node_group_display_type(0, SDR_GTYPE_BINARY));
    EXPECT_TRUE(manager->set_node_lsb_to_msb(0, true));
    EXPECT_TRUE(manager->set_node_tap_mode(1, SDR_TAP_POST_FITTING));
    EXPECT_TRUE(manager->set_node_capture_type(1, SDR_WTYPE_TRIGGER_ONLY));
    EXPECT_EQ(take_hints().size(), 4u);
    EXPECT_FALSE(manager->set_node_group_display_type(1, SDR_GTYPE_BINARY)) << "a leaf has no radix";
    EXPECT_FALSE(manager->set_node_lsb_to_msb(9, true));
    EXPECT_TRUE(take_hints().empty());
}

TEST_F(sedq_node_edit_test, comparison_settings_map_storage_patterns_to_their_indexes)
{
    SEDQ_TX_MANAGER* manager = document();
    add_rows({"a", "b"});
    standin::sdr::add_group(data_trigger(), 0, 1, "bus");
    manager->refresh_tx_cache();
    EXPECT_TRUE(manager->set_comparison_trigger_enabled(0, 0, true, -1));
    EXPECT_TRUE(trigger()->is_comparison_enabled(0, 0, false));
    EXPECT_TRUE(manager->set_comparison_trigger_enabled(0, -3, true, -1));
    EXPECT_TRUE(trigger()->is_comparison_enabled(0, 0, true)) << "pattern -3 is storage index 0";
    EXPECT_FALSE(trigger()->is_comparison_enabled(0, 2, true));
    EXPECT_TRUE(manager->set_comparison_trigger_value(0, -1, 2, 9, -1));
    EXPECT_EQ(trigger()->get_comparison_value(0, 2, true, 2), 9) << "pattern -1 is storage index 2";
    EXPECT_TRUE(manager->set_comparison_trigger_value(0, 0, 1, 3, 0));
    EXPECT_EQ(trigger()->get_comparison_value(0, 0, false, 1), 3);
}

TEST_F(sedq_node_edit_test, selecting_a_range_backwards_selects_nothing)
{
    SEDQ_TX_MANAGER* manager = document();
    add_numbered_rows(7);
    manager->select_node_range(5, 3, true);
    for (int row = 0; row < 7; ++row)
        EXPECT_FALSE(manager->get_node_selection_status(row)) << row;
    manager->select_node_range(3, 5, true);
    EXPECT_TRUE(manager->get_node_selection_status(3));
    EXPECT_TRUE(manager->get_node_selection_status(5));
    EXPECT_FALSE(manager->get_node_selection_status(6));
}

TEST_F(sedq_node_edit_test, hidden_in_mode_looks_at_the_members_of_a_group)
{
    SEDQ_TX_MANAGER* manager = document();
    EXPECT_FALSE(manager->is_node_hidden_in_advanced_mode(-1)) << "an empty list hides nothing";
    EXPECT_FALSE(manager->is_node_hidden_in_storage_qualifier_mode(-1));
    add_rows({"a", "b"}, SDR_WTYPE_DATA_ONLY);
    standin::sdr::add_group(data_trigger(), 0, 1, "bus");
    manager->refresh_tx_cache();
    EXPECT_TRUE(manager->is_node_hidden_in_advanced_mode(-1)) << "every row is data only";
    EXPECT_TRUE(manager->is_node_hidden_in_advanced_mode(0));
    trigger()->set_node_capture_type(2, SDR_WTYPE_DATA_AND_TRIGGER);
    EXPECT_FALSE(manager->is_node_hidden_in_advanced_mode(0)) << "one member takes the trigger";
    EXPECT_TRUE(manager->is_node_hidden_in_advanced_mode(1));
    EXPECT_FALSE(manager->is_node_hidden_in_advanced_mode(-1));
    EXPECT_TRUE(manager->is_node_hidden_in_storage_qualifier_mode(-1));
    trigger()->set_node_storage_enabled(1, true);
    EXPECT_FALSE(manager->is_node_hidden_in_storage_qualifier_mode(0));
    EXPECT_TRUE(manager->is_node_hidden_in_storage_qualifier_mode(2));
}

TEST_F(sedq_node_edit_test, deletability_in_setup_depends_on_the_lock_and_the_tap_mode)
{
    SEDQ_TX_MANAGER* manager = document();
    add_rows({"pre"});
    add_rows({"post"}, SDR_WTYPE_DATA_AND_TRIGGER, SDR_TAP_POST_FITTING);
    struct row
    {
        SEDQ_LOCK_MODE mode;
        bool pre;
        bool post;
    };
    const row rows[] = {{SEDQ_LOCK_MODE_ALLOW_ALL, false, false},
                        {SEDQ_LOCK_MODE_ALLOW_INCREMENTAL, true, false},
                        {SEDQ_LOCK_MODE_ALLOW_TRIGGER, false, false}};
    for (const row& r : rows)
    {
        manager->set_lock_mode(r.mode, false);
        EXPECT_EQ(manager->is_node_deletable(0), r.pre) << r.mode;
        EXPECT_EQ(manager->is_node_deletable(1), r.post) << r.mode;
    }
    EXPECT_FALSE(manager->is_node_deletable(5)) << "a row that does not exist";
}

TEST_F(sedq_node_edit_test, locating_needs_an_open_project)
{
    SEDQ_TX_MANAGER* manager = document(false);
    EXPECT_FALSE(manager->can_locate());
    EXPECT_EQ(internal_errors(), std::vector<std::string>{"project_ui_mgr != NULL"});
    std::string error;
    ASSERT_TRUE(standin::project::load_json(NODE_LIST_DESIGN, m_dir.path().toStdString(), &error)) << error;
    EXPECT_TRUE(manager->can_locate());
    add_rows({"a"});
    manager->locate(0, 0);
}
