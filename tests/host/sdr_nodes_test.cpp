// Node lists of an editing entry: flat group structure, structural edits, tree queries,
// neutrality out of range and after detaching, the derived data list and undo of node edits.
#include "host/sdr.h"
#include "host/standin/sdr_control.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
class sdr_nodes : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(session.create_session("/tmp/sdr_nodes_test.vtl"));
        trigger = session.get_trigger_at(0, false);
        data = session.get_signal_set_at(0, false);
        instance = session.get_instance_at(0, false);
        ASSERT_NE(trigger, nullptr);
        ASSERT_NE(data, nullptr);
    }

    void add(const std::vector<std::string>& names)
    {
        for (const std::string& name : names)
            ASSERT_TRUE(trigger->add_node(name.c_str(), SDR_STYPE_PLAIN, SDR_TAP_PRE_SYNTHESIS, false)) << name;
    }

    // "name:display:depth:subtree_end" per row, comma-separated.
    static std::string shape(SDR_TX_SIGNAL_NODES* list)
    {
        std::string text;
        for (int i = 0; i < list->get_num_nodes(); ++i)
        {
            text += (i ? "," : "") + std::string(list->get_node_name(i)) + ":"
                    + std::to_string(list->get_node_display_type(i)) + ":" + std::to_string(list->get_node_depth(i))
                    + ":" + std::to_string(list->get_last_child_index(i));
        }
        return text;
    }

    void select(SDR_TX_SIGNAL_NODES* list, std::vector<int> rows)
    {
        for (int i = 0; i < list->get_num_nodes(); ++i)
            list->set_node_selection_status(i, false);
        for (int row : rows)
            list->set_node_selection_status(row, true);
    }

    SDR_TX_SESSION session{nullptr, false};
    SDR_TX_TRIGGER* trigger = nullptr;
    SDR_TX_SIGNAL_SET* data = nullptr;
    SDR_TX_INSTANCE* instance = nullptr;
};
} // namespace

TEST_F(sdr_nodes, grouping_keeps_groups_flat_with_member_display_types)
{
    add({"a", "b", "c", "d", "e"});
    const struct
    {
        const char* name;
        int first;
        int last;
        const char* group;
        bool accepted;
        const char* shape;
    } rows[] = {
        {"bus of b..c", 1, 2, "bus", true, "a:0:0:0,bus:1:0:3,b:3:1:2,c:4:1:3,d:0:0:4,e:0:0:5"},
        {"nested group inside bus", 2, 3, "inner", true,
         "a:0:0:0,bus:1:0:4,inner:1:1:4,b:3:2:3,c:4:2:4,d:0:0:5,e:0:0:6"},
        {"range cutting a subtree", 1, 3, "bad", false,
         "a:0:0:0,bus:1:0:4,inner:1:1:4,b:3:2:3,c:4:2:4,d:0:0:5,e:0:0:6"},
        {"range leaving its parent", 4, 5, "bad", false,
         "a:0:0:0,bus:1:0:4,inner:1:1:4,b:3:2:3,c:4:2:4,d:0:0:5,e:0:0:6"},
        {"default name", 5, 6, nullptr, true,
         "a:0:0:0,bus:1:0:4,inner:1:1:4,b:3:2:3,c:4:2:4,group_1:1:0:7,d:3:1:6,e:4:1:7"},
    };
    for (const auto& row : rows)
    {
        EXPECT_EQ(trigger->group_node(row.first, row.last, row.group), row.accepted) << row.name;
        EXPECT_EQ(shape(trigger), row.shape) << row.name;
    }
}

TEST_F(sdr_nodes, tree_queries_answer_from_the_recomputed_structure)
{
    add({"a", "b", "c", "d"});
    ASSERT_TRUE(trigger->group_node(0, 2, "outer")); // outer a b c, d
    ASSERT_TRUE(trigger->group_node(2, 3, "inner")); // outer a inner b c, d
    // rows: 0 outer, 1 a, 2 inner, 3 b, 4 c, 5 d
    EXPECT_TRUE(trigger->is_descendant(0, 4));
    EXPECT_FALSE(trigger->is_descendant(0, 5));
    EXPECT_FALSE(trigger->is_descendant(2, 1));
    EXPECT_EQ(trigger->get_parent_index(4, 1), 2);
    EXPECT_EQ(trigger->get_parent_index(4, 2), 0);
    EXPECT_EQ(trigger->get_parent_index(4, 3), -1);
    EXPECT_EQ(trigger->get_parent_index(5, 1), -1);
    EXPECT_TRUE(trigger->is_grandparent(0));
    EXPECT_FALSE(trigger->is_grandparent(2));
    EXPECT_TRUE(trigger->has_nested_groups());
    EXPECT_TRUE(trigger->is_last_child(2)) << "the inner group ends the outer one";
    EXPECT_FALSE(trigger->is_last_child(3));
    EXPECT_EQ(trigger->get_num_leaf_children(0), 1);
    EXPECT_EQ(trigger->get_num_leaf_children(2), 2);
    std::vector<int> children{99};
    trigger->get_direct_children(0, &children);
    EXPECT_EQ(children, (std::vector<int>{1, 2}));
    ASSERT_TRUE(trigger->toggle_node(2));
    EXPECT_EQ(trigger->get_node_display_type(2), SDR_NTYPE_GROUP_ALT);
    EXPECT_TRUE(trigger->is_any_parent_not_visible(3));
    EXPECT_FALSE(trigger->is_any_parent_not_visible(2));
    EXPECT_FALSE(trigger->is_parent_visible(4));
}

TEST_F(sdr_nodes, deleting_takes_subtrees_and_drops_emptied_groups)
{
    const struct
    {
        const char* name;
        int first;
        int last;
        int deleted;
        const char* shape;
    } rows[] = {
        {"group row takes its members", 1, 1, 3, "a:0:0:0,d:0:0:1"},
        {"last members leave no empty group", 2, 3, 3, "a:0:0:0,d:0:0:1"},
        {"one member keeps the group", 2, 2, 1, "a:0:0:0,bus:1:0:2,c:4:1:2,d:0:0:3"},
        {"reversed range", 3, 2, 0, "a:0:0:0,bus:1:0:3,b:3:1:2,c:4:1:3,d:0:0:4"},
        {"past the end", 4, 9, 0, "a:0:0:0,bus:1:0:3,b:3:1:2,c:4:1:3,d:0:0:4"},
    };
    for (const auto& row : rows)
    {
        while (trigger->get_num_nodes() > 0)
            trigger->delete_node(0, trigger->get_num_nodes() - 1);
        add({"a", "b", "c", "d"});
        ASSERT_TRUE(trigger->group_node(1, 2, "bus"));
        EXPECT_EQ(trigger->delete_node(row.first, row.last), row.deleted) << row.name;
        EXPECT_EQ(shape(trigger), row.shape) << row.name;
    }
}

TEST_F(sdr_nodes, ungroup_copy_and_move_keep_the_tree_consistent)
{
    add({"a", "b", "c", "d"});
    ASSERT_TRUE(trigger->group_node(1, 2, "bus"));
    EXPECT_EQ(trigger->copy_before_node(1, 1, 5, false), 5) << "copying a group row copies its members";
    EXPECT_EQ(shape(trigger), "a:0:0:0,bus:1:0:3,b:3:1:2,c:4:1:3,d:0:0:4,bus:1:0:7,b:3:1:6,c:4:1:7");
    EXPECT_EQ(trigger->copy_before_node(0, 0, 4, true), 4) << "into the group that ends before row 4";
    EXPECT_EQ(shape(trigger).substr(0, 40), "a:0:0:0,bus:1:0:4,b:3:1:2,c:3:1:3,a:4:1:");
    select(trigger, {0});
    EXPECT_FALSE(trigger->move_selected_before_node(0, false) && false);
    select(trigger, {5});
    ASSERT_TRUE(trigger->move_selected_before_node(0, false));
    EXPECT_EQ(std::string(trigger->get_node_name(0)), "d");
    ASSERT_TRUE(trigger->ungroup_node(2));
    EXPECT_EQ(trigger->get_node_depth(2), 0);
    EXPECT_EQ(trigger->get_node_display_type(3), SDR_NTYPE_STANDALONE);
    EXPECT_EQ(trigger->copy_before_node(0, 0, 99, false), -1);
}

TEST_F(sdr_nodes, selection_rules_for_grouping_and_dropping)
{
    add({"a", "b", "c", "d"});
    ASSERT_TRUE(trigger->group_node(1, 2, "bus")); // a bus b c d
    const struct
    {
        const char* name;
        std::vector<int> selected;
        bool groupable;
    } rows[] = {{"nothing selected", {}, false},      {"one leaf", {0}, true},
                {"group row brings members", {1}, true}, {"siblings around a group", {0, 1, 4}, true},
                {"gap in the selection", {0, 4}, false},  {"member and outside row", {3, 4}, false},
                {"two members", {2, 3}, true}};
    for (const auto& row : rows)
    {
        select(trigger, row.selected);
        EXPECT_EQ(trigger->is_valid_selection_for_grouping(), row.groupable) << row.name;
    }
    select(trigger, {1});
    EXPECT_TRUE(trigger->is_invalid_index_for_drop(2, false)) << "inside the selected subtree";
    EXPECT_FALSE(trigger->is_invalid_index_for_drop(4, false));
    EXPECT_TRUE(trigger->is_invalid_index_for_drop(6, false));
    ASSERT_TRUE(trigger->set_group_display_type(1, SDR_GTYPE_PLUGIN));
    ASSERT_NE(trigger->get_plugin_group(1), nullptr);
    select(trigger, {0});
    EXPECT_TRUE(trigger->is_invalid_index_for_drop(3, false)) << "inside a plug-in group";
    EXPECT_FALSE(trigger->is_node_deletable(2));
    EXPECT_TRUE(trigger->is_node_deletable(1));
}

TEST_F(sdr_nodes, every_getter_is_neutral_out_of_range_and_when_detached)
{
    add({"a"});
    ASSERT_TRUE(trigger->set_node_alias(0, "alias"));
    const int bad_rows[] = {-1, 1, 1 << 30};
    for (int row : bad_rows)
    {
        SCOPED_TRACE(row);
        EXPECT_EQ(trigger->get_node_name(row), nullptr);
        EXPECT_STREQ(trigger->get_node_alias(row), "");
        EXPECT_EQ(trigger->get_node_display_type(row), SDR_NTYPE_STANDALONE);
        EXPECT_EQ(trigger->get_group_display_type(row), SDR_GTYPE_INVALID);
        EXPECT_EQ(trigger->get_condition(row, 0, false), SDR_CTYPE_DISABLED);
        EXPECT_EQ(trigger->get_parent_index(row, 1), -1);
        EXPECT_EQ(trigger->get_last_child_index(row), -1);
        EXPECT_FALSE(trigger->is_descendant(0, row));
        EXPECT_FALSE(trigger->set_node_capture_type(row, SDR_WTYPE_DATA_ONLY));
        EXPECT_FALSE(trigger->set_condition(row, 0, false, SDR_CTYPE_HIGH, true));
        EXPECT_EQ(trigger->delete_node(row, row), 0);
        EXPECT_FALSE(trigger->ungroup_node(row));
        EXPECT_EQ(data->get_node_wire_index(row), -1);
    }
    const int entry = session.create_vantrel_instance();
    ASSERT_GT(entry, 0);
    SDR_TX_TRIGGER* gone = session.get_trigger_at(entry, false);
    gone->add_node("x", SDR_STYPE_PLAIN, SDR_TAP_PRE_SYNTHESIS, false);
    ASSERT_TRUE(session.remove_vantrel_instance(entry));
    EXPECT_EQ(gone->get_num_nodes(), 0);
    EXPECT_EQ(gone->get_node_name(0), nullptr);
    EXPECT_FALSE(gone->add_node("y", SDR_STYPE_PLAIN, SDR_TAP_PRE_SYNTHESIS, false));
    EXPECT_EQ(gone->get_num_levels(), 0);
}

TEST_F(sdr_nodes, data_list_follows_data_enabled_leaves_and_trigger_groups)
{
    add({"a", "b", "c"});
    EXPECT_EQ(shape(data), "a:0:0:0,b:0:0:1,c:0:0:2");
    ASSERT_TRUE(trigger->group_node(0, 1, "bus"));
    EXPECT_EQ(shape(data), "bus:1:0:2,a:3:1:1,b:4:1:2,c:0:0:3") << "a bus made in the trigger list";
    ASSERT_TRUE(trigger->set_node_capture_type(3, SDR_WTYPE_TRIGGER_ONLY));
    EXPECT_EQ(data->get_num_nodes(), 4) << "capture changes reach the data list on sync only";
    trigger->sync_upon_capture_type_change();
    EXPECT_EQ(shape(data), "bus:1:0:2,a:3:1:1,b:4:1:2");
    ASSERT_TRUE(data->insert_node_gen2("top|gen2", 128, SDR_TAP_PRE_SYNTHESIS));
    trigger->refresh_derived_data();
    EXPECT_EQ(data->get_num_nodes(), 4);
    EXPECT_TRUE(data->is_node_data_tab_only(3));
    EXPECT_EQ(data->get_node_wire_index(3), 2);
    EXPECT_EQ(data->get_node_wire_index(0), -1);
    EXPECT_EQ(data->get_data_signal_set()->get_data_wire_width(), 3);
    EXPECT_STREQ(data->get_data_signal_set()->get_data_wire_at(1)->get_name(), "b");
    EXPECT_EQ(data->delete_node(1, 1), 1) << "a node deleted in the data list";
    EXPECT_FALSE(trigger->is_valid_node_name("a")) << "is deleted as a node";
}

TEST_F(sdr_nodes, linked_rows_follow_leaf_fields_and_masked_group_fields)
{
    add({"a", "b"});
    ASSERT_TRUE(trigger->group_node(0, 1, "bus"));
    ASSERT_TRUE(trigger->set_node_alias(1, "first"));
    EXPECT_STREQ(data->get_node_alias(1), "first");
    EXPECT_FALSE(trigger->set_node_alias(2, "first")) << "aliases are unique in a list";
    ASSERT_TRUE(trigger->set_group_display_type(0, SDR_GTYPE_BINARY));
    EXPECT_EQ(data->get_group_display_type(0), SDR_GTYPE_HEX) << "no link: radix is per list";
    ASSERT_TRUE(trigger->set_group_node_link(0, 0x1 | 0x8, 0x1 | 0x8 | 0x4));
    EXPECT_EQ(data->get_group_display_type(0), SDR_GTYPE_BINARY) << "linking brings the row in line";
    ASSERT_TRUE(data->set_group_display_type(0, SDR_GTYPE_OCTAL));
    EXPECT_EQ(trigger->get_group_display_type(0), SDR_GTYPE_OCTAL);
    ASSERT_TRUE(trigger->set_lsb_to_msb(0, true));
    EXPECT_FALSE(data->is_lsb_to_msb(0)) << "order is not in the mask";
    EXPECT_FALSE(trigger->set_lsb_to_msb(1, true)) << "bit order belongs to groups";
}

TEST_F(sdr_nodes, undo_and_redo_restore_node_edits_of_one_bracket)
{
    ASSERT_TRUE(instance->begin_action());
    add({"a", "b", "c"});
    ASSERT_TRUE(trigger->group_node(0, 1, "bus"));
    ASSERT_TRUE(instance->end_action());
    const std::string grouped = shape(trigger);
    const std::string grouped_data = shape(data);
    ASSERT_TRUE(trigger->set_node_capture_type(3, SDR_WTYPE_NEITHER)); // a step of its own
    ASSERT_TRUE(instance->begin_action());
    EXPECT_EQ(trigger->delete_node(0, 0), 3);
    ASSERT_TRUE(instance->end_action());
    EXPECT_EQ(shape(trigger), "c:0:0:0");

    ASSERT_TRUE(instance->undo());
    EXPECT_EQ(shape(trigger), grouped);
    EXPECT_EQ(shape(data), grouped_data);
    ASSERT_TRUE(instance->undo());
    EXPECT_EQ(trigger->get_node_capture_type(3), SDR_WTYPE_DATA_AND_TRIGGER);
    ASSERT_TRUE(instance->undo());
    EXPECT_EQ(trigger->get_num_nodes(), 0);
    EXPECT_EQ(data->get_num_nodes(), 0);
    ASSERT_TRUE(instance->redo());
    EXPECT_EQ(shape(trigger), grouped);
    select(trigger, {0});
    EXPECT_TRUE(instance->is_redo_available()) << "selection is not an edit";
}

TEST_F(sdr_nodes, estimates_count_trigger_and_data_leaves)
{
    add({"a", "b", "c"});
    ASSERT_TRUE(trigger->set_node_capture_type(0, SDR_WTYPE_TRIGGER_ONLY));
    ASSERT_TRUE(trigger->set_node_capture_type(1, SDR_WTYPE_DATA_ONLY));
    ASSERT_TRUE(trigger->group_node(0, 2, "bus"));
    ASSERT_TRUE(data->set_sample_depth(256));
    EXPECT_EQ(session.get_instance_estimated_lcell_count_at(0, 0), 100u + 12u * 2u + 4u * 2u);
    EXPECT_EQ(session.get_instance_ram_bits_usage_at(0), 2u * 256u);
    EXPECT_EQ(trigger->get_trigger_nodes_used(), 2);
    EXPECT_EQ(trigger->get_data_nodes_used(), 2);
    instance->set_enabled(false);
    EXPECT_EQ(session.get_instance_ram_bits_usage_at(0), 0u);
    EXPECT_EQ(session.get_instance_estimated_lcell_count_at(7, 0), 0u);
}

TEST_F(sdr_nodes, a_data_list_missing_from_the_document_is_rebuilt_in_trigger_order)
{
    add({"a", "b", "c", "d"});
    ASSERT_TRUE(trigger->group_node(1, 2, "bus"));
    ASSERT_TRUE(trigger->set_node_capture_type(4, SDR_WTYPE_TRIGGER_ONLY));
    data->get_data_signal_set()->edit_transient().data_list.clear();
    trigger->refresh_derived_data();
    EXPECT_EQ(shape(data), "a:0:0:0,bus:1:0:3,b:3:1:2,c:4:1:3");
    EXPECT_EQ(data->get_node_wire_index(3), 2);
}

TEST_F(sdr_nodes, a_bus_of_4096_bits_groups_as_one_subtree)
{
    ASSERT_TRUE(instance->begin_action());
    for (int i = 4095; i >= 0; --i)
    {
        const std::string name = "top|d[" + std::to_string(i) + "]";
        ASSERT_TRUE(trigger->add_node(name.c_str(), SDR_STYPE_REGISTERED, SDR_TAP_PRE_SYNTHESIS, false));
    }
    ASSERT_TRUE(trigger->group_node(0, 4095, "top|d[4095..0]"));
    ASSERT_TRUE(instance->end_action());
    EXPECT_EQ(trigger->get_last_child_index(0), 4096);
    EXPECT_EQ(trigger->get_parent_index(4096, 1), 0);
    EXPECT_EQ(trigger->get_node_display_type(4096), SDR_NTYPE_LAST_MEMBER);
    EXPECT_EQ(data->get_num_nodes(), 4097);
    EXPECT_EQ(data->get_node_display_type(0), SDR_NTYPE_GROUP);
    EXPECT_EQ(data->get_node_wire_index(4096), 4095);
    ASSERT_TRUE(instance->undo());
    EXPECT_EQ(trigger->get_num_nodes(), 0);
}

TEST_F(sdr_nodes, duplicate_names_are_refused_through_renames_undo_and_deletes)
{
    // The leaf names the validity of a condition's nodes is checked against, asked after every
    // step (their look-up is kept between writes).
    const auto leaves = [&](std::initializer_list<const char*> valid, std::initializer_list<const char*> invalid) {
        for (const char* name : valid)
            EXPECT_TRUE(trigger->is_valid_node_name(name)) << name;
        for (const char* name : invalid)
            EXPECT_FALSE(trigger->is_valid_node_name(name)) << name;
    };
    add({"a", "b"});
    leaves({"a", "b"}, {"z"});
    EXPECT_FALSE(trigger->add_node("a", SDR_STYPE_PLAIN, SDR_TAP_PRE_SYNTHESIS, false));
    EXPECT_TRUE(trigger->set_node_name(0, "z"));
    leaves({"z", "b"}, {"a"});
    EXPECT_TRUE(trigger->add_node("a", SDR_STYPE_PLAIN, SDR_TAP_PRE_SYNTHESIS, false)) << "the old name is free";
    EXPECT_FALSE(trigger->add_node("z", SDR_STYPE_PLAIN, SDR_TAP_PRE_SYNTHESIS, false));
    EXPECT_TRUE(trigger->add_node("z", SDR_STYPE_PLAIN, SDR_TAP_PRE_SYNTHESIS, true)) << "duplicates on request";
    EXPECT_FALSE(trigger->add_node("z", SDR_STYPE_PLAIN, SDR_TAP_PRE_SYNTHESIS, false));
    ASSERT_TRUE(trigger->group_node(0, 1, "bus"));
    leaves({"z", "b", "a"}, {"bus"});
    EXPECT_TRUE(trigger->add_node("bus", SDR_STYPE_PLAIN, SDR_TAP_PRE_SYNTHESIS, false)) << "group names are no leaves";
    leaves({"bus"}, {});
    EXPECT_EQ(trigger->delete_node(2, 2), 1);
    leaves({}, {"b"});
    EXPECT_TRUE(trigger->add_node("b", SDR_STYPE_PLAIN, SDR_TAP_PRE_SYNTHESIS, false)) << "a deleted name is free";
    instance->begin_action();
    EXPECT_TRUE(trigger->add_node("c", SDR_STYPE_PLAIN, SDR_TAP_PRE_SYNTHESIS, false));
    instance->end_action();
    leaves({"c"}, {});
    ASSERT_TRUE(instance->undo());
    leaves({"b"}, {"c"});
    EXPECT_TRUE(trigger->add_node("c", SDR_STYPE_PLAIN, SDR_TAP_PRE_SYNTHESIS, false)) << "undone rows free their names";
    ASSERT_TRUE(instance->undo());
    ASSERT_TRUE(instance->redo());
    leaves({"c"}, {});
    EXPECT_FALSE(trigger->add_node("c", SDR_STYPE_PLAIN, SDR_TAP_PRE_SYNTHESIS, false)) << "redone rows take them again";
}

TEST_F(sdr_nodes, a_group_made_in_the_data_list_first_becomes_the_twin_of_the_trigger_group)
{
    add({"x", "a", "b"});
    ASSERT_TRUE(data->group_node(1, 2, "fsm"));
    ASSERT_TRUE(data->set_lsb_to_msb(1, true));
    ASSERT_TRUE(trigger->group_node(1, 2, "fsm_trigger"));
    EXPECT_EQ(shape(data), "x:0:0:0,fsm:1:0:3,a:3:1:2,b:4:1:3") << "one group, not two";
    EXPECT_FALSE(data->is_node_data_tab_only(1)) << "linked to the trigger group";
    EXPECT_TRUE(data->is_lsb_to_msb(1)) << "the data list keeps its own bit order";
    ASSERT_TRUE(trigger->ungroup_node(1));
    EXPECT_EQ(shape(data), "x:0:0:0,a:0:0:1,b:0:0:2") << "the twin goes with its trigger group";
}

TEST_F(sdr_nodes, group_names_repeat_in_the_data_list_only)
{
    add({"a", "b", "c", "d"});
    ASSERT_TRUE(data->group_node(0, 0, "g"));
    ASSERT_TRUE(data->group_node(2, 2, "h"));
    EXPECT_TRUE(data->set_group_node_name(2, "g"));
    ASSERT_TRUE(trigger->group_node(0, 0, "t"));
    ASSERT_TRUE(trigger->group_node(2, 2, "u"));
    EXPECT_FALSE(trigger->set_group_node_name(2, "t"));
}

TEST_F(sdr_nodes, undo_after_many_adds_restores_each_earlier_list_and_a_later_edit_keeps_the_steps)
{
    // One step per add, over several row chunks; each step shares the rows it did not touch.
    std::vector<std::string> shapes{shape(trigger)};
    std::vector<std::string> data_shapes{shape(data)};
    for (int i = 0; i < 90; ++i)
    {
        add({"n" + std::to_string(i)});
        shapes.push_back(shape(trigger));
        data_shapes.push_back(shape(data));
    }
    for (int i = 90; i > 50; --i)
    {
        ASSERT_TRUE(instance->undo()) << i;
        ASSERT_EQ(shape(trigger), shapes[size_t(i) - 1]);
        ASSERT_EQ(shape(data), data_shapes[size_t(i) - 1]);
    }
    // Renames of rows in the first and the last chunk write rows the kept steps share.
    ASSERT_TRUE(trigger->set_node_name(0, "first"));
    ASSERT_TRUE(trigger->set_node_name(49, "last"));
    EXPECT_FALSE(instance->is_redo_available());
    ASSERT_TRUE(instance->undo());
    ASSERT_TRUE(instance->undo());
    ASSERT_EQ(shape(trigger), shapes[50]);
    for (int i = 50; i > 0; --i)
    {
        ASSERT_TRUE(instance->undo()) << i;
        ASSERT_EQ(shape(trigger), shapes[size_t(i) - 1]);
        ASSERT_EQ(shape(data), data_shapes[size_t(i) - 1]);
    }
    ASSERT_TRUE(instance->redo());
    EXPECT_EQ(shape(trigger), shapes[1]);
}

// The tree pass writes only rows whose tree fields change: a right list keeps its version and
// shares every chunk with its copies; a wrong field costs only its own chunk.
TEST(sdr_nodes_tree_pass, writes_only_the_rows_whose_tree_fields_change)
{
    constexpr int CHUNK = SDR_NODE_LIST::CHUNK_SIZE;
    SDR_NODE_LIST right;
    for (int i = 0; i < 2 * CHUNK + 8; ++i)
    {
        SDR_NODE_ROW row;
        row.name = "top|row_" + std::to_string(i) + "_named_past_the_short_buffer";
        row.depth = i % 5 == 0 ? 0 : 1; // a group every five rows, with its four members
        row.display_type = i % 5 == 0 ? SDR_NTYPE_GROUP : SDR_NTYPE_STANDALONE;
        right.append(row);
    }
    SDR_TX_SIGNAL_NODES::recompute_tree(right);
    SDR_NODE_LIST again = right;
    SDR_TX_SIGNAL_NODES::recompute_tree(again);
    EXPECT_EQ(again.version(), right.version());
    for (int i = 0; i < again.size(); i += CHUNK)
        EXPECT_TRUE(again.shares_chunk_with(right, i)) << i;

    SDR_NODE_LIST wrong = right;
    wrong[2 * CHUNK + 3].subtree_end = 99;
    wrong[2 * CHUNK + 4].wire_index = 99;
    SDR_NODE_LIST fixed = wrong;
    SDR_TX_SIGNAL_NODES::recompute_tree(fixed);
    EXPECT_TRUE(fixed.shares_chunk_with(right, 0));
    EXPECT_TRUE(fixed.shares_chunk_with(right, CHUNK));
    EXPECT_FALSE(fixed.shares_chunk_with(wrong, 2 * CHUNK)) << "the copy being fixed detaches";
    EXPECT_NE(fixed.version(), wrong.version());
    const SDR_NODE_LIST& f = fixed;
    const SDR_NODE_LIST& r = right;
    for (int i = 0; i < f.size(); ++i)
    {
        EXPECT_EQ(f[i].subtree_end, r[i].subtree_end) << i;
        EXPECT_EQ(f[i].wire_index, r[i].wire_index) << i;
        EXPECT_EQ(f[i].parent_row, r[i].parent_row) << i;
        EXPECT_EQ(f[i].display_type, r[i].display_type) << i;
    }
}
