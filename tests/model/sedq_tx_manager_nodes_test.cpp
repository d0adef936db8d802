// Reading the node list and the tree queries: a row's properties and conditions, the type a
// netlist flag word gives, the group queries and what an empty document answers.
#include "sedq_node_list_test_support.h"

using sedq_nodes_test = sedq_node_list_test;

namespace
{
// Rows: 0 group "bus" { 1 "a", 2 group "inner" { 3 "b", 4 "c" } }, 5 "d".
void build_tree(SDR_DATA_TRIGGER* trigger)
{
    for (const char* name : {"a", "b", "c", "d"})
        standin::sdr::add_node(trigger, {name});
    standin::sdr::add_group(trigger, 1, 2, "inner");
    standin::sdr::add_group(trigger, 0, 3, "bus");
}
} // namespace

TEST_F(sedq_nodes_test, an_empty_document_has_no_nodes_in_any_list)
{
    SEDQ_TX_MANAGER* manager = make_manager(true);
    for (int list : {-1, 0, 3})
        EXPECT_EQ(manager->get_node_count(list), 0) << list;
    EXPECT_FALSE(manager->is_group_node(0));
    EXPECT_TRUE(internal_errors().empty());
}

TEST_F(sedq_nodes_test, get_node_fills_every_output_it_is_given)
{
    SEDQ_TX_MANAGER* manager = document();
    standin::sdr::add_node(data_trigger(), {"top|x", SDR_STYPE_OUTPUT_PIN, SDR_WTYPE_TRIGGER_ONLY, SDR_TAP_PRE_SYNTHESIS,
                                            "alias_x"});
    manager->refresh_tx_cache();
    SDR_DATA_NODE_DISPLAY_TYPE type = SDR_NTYPE_GROUP;
    QString name;
    SDR_DATA_SIGNAL_TYPE signal = SDR_STYPE_PLAIN;
    QString alias;
    QString port = "unchanged";
    bool data = true;
    bool trig = false;
    EXPECT_TRUE(manager->get_node(0, &type, &name, &signal, &alias, &port, &data, &trig, 0, nullptr));
    EXPECT_EQ(type, SDR_NTYPE_STANDALONE);
    EXPECT_EQ(name, "top|x");
    EXPECT_EQ(signal, SDR_STYPE_OUTPUT_PIN);
    EXPECT_EQ(alias, "alias_x");
    EXPECT_EQ(port, "") << "no debug port out";
    EXPECT_FALSE(data);
    EXPECT_TRUE(trig);
    EXPECT_TRUE(manager->get_node(0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, 0, nullptr));
}

TEST_F(sedq_nodes_test, get_node_reads_the_condition_of_levels_and_storage_patterns)
{
    SEDQ_TX_MANAGER* manager = document();
    add_rows({"a"});
    trigger()->set_num_levels(2);
    trigger()->set_condition(0, 1, false, SDR_CTYPE_RISING, true);
    trigger()->set_condition(0, 0, true, SDR_CTYPE_LOW, true);
    struct row
    {
        const char* label;
        int pattern;
        SDR_DATA_TRIGGER_CONDITION expected;
    };
    const row rows[] = {
        {"level 1", 1, SDR_CTYPE_RISING},      {"level 0", 0, SDR_CTYPE_DONT_CARE},
        {"pattern -3 is index 0", -3, SDR_CTYPE_LOW}, {"pattern -1 is index 2", -1, SDR_CTYPE_DONT_CARE},
        {"pattern -4 leaves it", -4, SDR_CTYPE_DISABLED}, {"level count leaves it", 2, SDR_CTYPE_DISABLED},
    };
    for (const row& r : rows)
    {
        SDR_DATA_TRIGGER_CONDITION condition = SDR_CTYPE_DISABLED;
        manager->get_node(0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, r.pattern, &condition);
        EXPECT_EQ(condition, r.expected) << r.label;
    }
    trigger()->set_level_type(1, false, SDR_LTYPE_ADVANCED);
    SDR_DATA_TRIGGER_CONDITION condition = SDR_CTYPE_DISABLED;
    manager->get_node(0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, 1, &condition);
    EXPECT_EQ(condition, SDR_CTYPE_ADVANCED) << "an advanced level hides a pre-synthesis node's condition";
    trigger()->set_node_tap_mode(0, SDR_TAP_POST_FITTING);
    manager->get_node(0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, 1, &condition);
    EXPECT_EQ(condition, SDR_CTYPE_RISING);
}

TEST_F(sedq_nodes_test, a_flag_word_gives_the_signal_type_of_its_highest_priority_bit)
{
    SEDQ_TX_MANAGER* manager = make_manager(false);
    struct row
    {
        unsigned flags;
        SDR_DATA_SIGNAL_TYPE expected;
    };
    const row rows[] = {
        {0x0, SDR_STYPE_PLAIN},          {0x80002000, SDR_STYPE_PLAIN},   {0x4, SDR_STYPE_INPUT_PIN},
        {0x8 | 0x4, SDR_STYPE_INPUT_PIN}, {0x10 | 0x8, SDR_STYPE_OUTPUT_PIN}, {0x40 | 0x10, SDR_STYPE_BIDIR_PIN},
        {0x80 | 0x40, SDR_STYPE_REGISTERED}, {0x20 | 0x80, SDR_STYPE_COMBINATIONAL}, {0x400 | 0x20, SDR_STYPE_MEMORY},
        {0x400, SDR_STYPE_MACHINE},
    };
    for (const row& r : rows)
        EXPECT_EQ(manager->get_type(r.flags), r.expected) << std::hex << r.flags;
    EXPECT_EQ(manager->get_type(static_cast<const HDB_INSTANCE_NAME*>(nullptr)), SDR_STYPE_PLAIN);
}

TEST_F(sedq_nodes_test, tree_queries_follow_the_groups)
{
    SEDQ_TX_MANAGER* manager = document();
    build_tree(data_trigger());
    manager->refresh_tx_cache();
    struct row
    {
        int node;
        bool standalone, group, member, last_member, first_member, parent, children, grandparent;
        int last_child, leaf_children, parent_index, depth;
    };
    const row rows[] = {
        {0, false, true, false, false, false, false, true, true, 4, 1, -1, 0},
        {1, false, false, true, false, true, true, false, false, 1, 0, 0, 1},
        {2, false, true, false, false, false, true, true, false, 4, 2, 0, 1},
        {3, false, false, true, false, true, true, false, false, 3, 0, 2, 2},
        {4, false, false, true, true, false, true, false, false, 4, 0, 2, 2},
        {5, true, false, false, false, false, false, false, false, 5, 0, -1, 0},
    };
    for (const row& r : rows)
    {
        EXPECT_EQ(manager->is_standalone_node(r.node), r.standalone) << r.node;
        EXPECT_EQ(manager->is_group_node(r.node), r.group) << r.node;
        EXPECT_EQ(manager->is_group_member(r.node), r.member) << r.node;
        EXPECT_EQ(manager->is_last_group_member(r.node), r.last_member) << r.node;
        EXPECT_EQ(manager->is_first_group_member(r.node), r.first_member) << r.node;
        EXPECT_EQ(manager->has_parent(r.node), r.parent) << r.node;
        EXPECT_EQ(manager->has_children(r.node), r.children) << r.node;
        EXPECT_EQ(manager->is_grandparent(r.node), r.grandparent) << r.node;
        EXPECT_EQ(manager->get_last_child_index(r.node), r.last_child) << r.node;
        EXPECT_EQ(manager->get_num_leaf_children(r.node), r.leaf_children) << r.node;
        EXPECT_EQ(manager->get_parent_index(r.node, 1), r.parent_index) << r.node;
        EXPECT_EQ(manager->get_node_depth(r.node), r.depth) << r.node;
    }
    EXPECT_TRUE(manager->is_descendant(0, 4));
    EXPECT_FALSE(manager->is_descendant(2, 5));
    EXPECT_EQ(manager->get_parent_index(3, 2), 0);
}

TEST_F(sedq_nodes_test, first_group_members_follow_their_group_row)
{
    SEDQ_TX_MANAGER* manager = document();
    add_rows({"a", "b"});
    standin::sdr::add_group(data_trigger(), 1, 1, "solo");
    manager->refresh_tx_cache();
    EXPECT_FALSE(manager->is_first_group_member(0)) << "row 0 never is";
    EXPECT_FALSE(manager->is_first_group_member(2)) << "the only member is the last member";
}

TEST_F(sedq_nodes_test, all_descendants_are_appended_in_row_order)
{
    SEDQ_TX_MANAGER* manager = document();
    build_tree(data_trigger());
    manager->refresh_tx_cache();
    std::vector<int> rows = {99};
    manager->get_all_descendants(2, &rows);
    EXPECT_EQ(rows, (std::vector<int>{99, 3, 4})) << "appended, not cleared";
    manager->get_all_descendants(0, &rows);
    EXPECT_EQ(rows, (std::vector<int>{99, 3, 4, 1, 2, 3, 4}));
    std::vector<int> none;
    manager->get_all_descendants(5, &none);
    EXPECT_TRUE(none.empty()) << "a standalone node has none";
    manager->get_all_descendants(0, nullptr);
    std::vector<int> children;
    manager->get_direct_children(0, &children);
    EXPECT_EQ(children, (std::vector<int>{1, 2}));
}

TEST_F(sedq_nodes_test, child_items_are_counted_while_they_follow_the_parent)
{
    SEDQ_TX_MANAGER* manager = document();
    build_tree(data_trigger());
    manager->refresh_tx_cache();
    EXPECT_EQ(manager->get_child_item_count(0, -1), 1) << "the nested group row ends the run";
    EXPECT_EQ(manager->get_child_item_count(2, -1), 2);
    EXPECT_EQ(manager->get_child_item_count(1, -1), 0) << "a leaf is no parent";
}

TEST_F(sedq_nodes_test, small_readers_answer_from_the_current_lists)
{
    SEDQ_TX_MANAGER* manager = document();
    add_rows({"a", "b"}, SDR_WTYPE_DATA_ONLY, SDR_TAP_POST_FITTING);
    standin::sdr::add_group(data_trigger(), 0, 1, "bus", SDR_GTYPE_OCTAL);
    manager->refresh_tx_cache();
    SDR_DATA_GROUP_DISPLAY_TYPE radix = SDR_GTYPE_HEX;
    EXPECT_TRUE(manager->get_node_group_display_type(0, &radix));
    EXPECT_EQ(radix, SDR_GTYPE_OCTAL);
    EXPECT_FALSE(manager->get_node_group_display_type(1, &radix));
    EXPECT_EQ(radix, SDR_GTYPE_INVALID);
    bool lsb = true;
    EXPECT_TRUE(manager->get_node_lsb_to_msb(0, &lsb, 0));
    EXPECT_FALSE(lsb);
    EXPECT_EQ(manager->get_node_tap_mode(1, 0), SDR_TAP_POST_FITTING);
    EXPECT_EQ(manager->get_node_capture_type(2), SDR_WTYPE_DATA_ONLY);
    QString alias = "x";
    EXPECT_TRUE(manager->get_node_alias(1, &alias));
    EXPECT_TRUE(alias.isEmpty());
    EXPECT_FALSE(manager->is_node_data_tab_only(1));
    EXPECT_FALSE(manager->get_connection_status(1)) << "no acquired data";
}

TEST_F(sedq_nodes_test, the_connection_status_comes_from_the_acquired_log)
{
    SEDQ_TX_MANAGER* manager = document();
    add_rows({"a", "b"});
    standin::sdr::log_spec log;
    log.depth = 4;
    log.channels = {"0101", "1100"};
    log.connected = {true, false};
    standin::sdr::make_log(data_trigger(), log);
    manager->refresh_tx_cache();
    manager->set_view_log(0, data_trigger()->get_log_at(0));
    EXPECT_TRUE(internal_errors().empty());
    EXPECT_TRUE(manager->get_connection_status(0));
    EXPECT_FALSE(manager->get_connection_status(1));
    EXPECT_FALSE(manager->get_connection_status(7)) << "a row the data list lacks";
}
