// The node facade of the view: toggles of a node's capture type and flags, the enables of a
// group aggregated over its members with the "partially" flag, and its plain reads.
#include "sedq_view_test_support.h"

#include "sedq/model/sedq_node.h"

namespace
{
// A group row 0 with members 1..3, then a leaf 4.
void group_of_three(SDR_DATA_SESSION& s)
{
    SDR_DATA_TRIGGER* trigger = s.m_instances[0]->get_active_trigger();
    add_leaves(trigger, {"top|m0", "top|m1", "top|m2", "top|x"});
    standin::sdr::add_group(trigger, 0, 2, "bus");
}

std::vector<int> data_states(SEDQ_TX_MANAGER* tx, int first, int last)
{
    std::vector<int> states;
    for (int node = first; node <= last; ++node)
        states.push_back(SEDQ_NODE(tx, node, -1).is_data_enabled(nullptr) ? 1 : 0);
    return states;
}
} // namespace

TEST_F(view_test, toggles_walk_the_capture_types)
{
    open(write_document([](SDR_DATA_SESSION& s) { add_leaves(trigger_of(s), {"top|a"}); }));
    const struct
    {
        SDR_DATA_WIRE_CAPTURE_TYPE from;
        SDR_DATA_WIRE_CAPTURE_TYPE data;
        SDR_DATA_WIRE_CAPTURE_TYPE trigger;
    } cases[] = {
        {SDR_WTYPE_NEITHER, SDR_WTYPE_DATA_ONLY, SDR_WTYPE_TRIGGER_ONLY},
        {SDR_WTYPE_DATA_ONLY, SDR_WTYPE_NEITHER, SDR_WTYPE_DATA_AND_TRIGGER},
        {SDR_WTYPE_TRIGGER_ONLY, SDR_WTYPE_DATA_AND_TRIGGER, SDR_WTYPE_NEITHER},
        {SDR_WTYPE_DATA_AND_TRIGGER, SDR_WTYPE_TRIGGER_ONLY, SDR_WTYPE_DATA_ONLY},
    };
    for (const auto& row : cases)
    {
        const SEDQ_EDIT_SCOPE edit(tx(), SEDQ_CHECK_COMPILATION);
        tx()->set_node_capture_type(0, row.from);
        SEDQ_NODE(tx(), 0, -1).toggle_data();
        EXPECT_EQ(SEDQ_NODE(tx(), 0, -1).get_capture_type(), row.data) << "data from " << row.from;
        tx()->set_node_capture_type(0, row.from);
        SEDQ_NODE(tx(), 0, -1).toggle_trigger();
        EXPECT_EQ(SEDQ_NODE(tx(), 0, -1).get_capture_type(), row.trigger) << "trigger from " << row.from;
    }
}

TEST_F(view_test, a_partly_enabled_group_toggles_to_all_enabled_then_to_none)
{
    open(write_document(
        [](SDR_DATA_SESSION& s)
        {
            group_of_three(s);
            trigger_of(s)->edit_transient().trigger_list[3].capture_type = SDR_WTYPE_TRIGGER_ONLY;
        }));
    bool partially = false;
    EXPECT_TRUE(SEDQ_NODE(tx(), 0, -1).is_data_enabled(&partially));
    EXPECT_TRUE(partially);
    EXPECT_TRUE(SEDQ_NODE(tx(), 0, -1).is_data_enabled(nullptr));
    {
        const SEDQ_EDIT_SCOPE edit(tx(), SEDQ_CHECK_COMPILATION);
        SEDQ_NODE(tx(), 0, -1).toggle_data();
    }
    EXPECT_EQ(data_states(tx(), 1, 3), (std::vector<int>{1, 1, 1}));
    EXPECT_FALSE(SEDQ_NODE(tx(), 0, -1).is_data_enabled(&partially) && partially);
    {
        const SEDQ_EDIT_SCOPE edit(tx(), SEDQ_CHECK_COMPILATION);
        SEDQ_NODE(tx(), 0, -1).toggle_data();
    }
    EXPECT_EQ(data_states(tx(), 1, 3), (std::vector<int>{0, 0, 0}));
    EXPECT_FALSE(SEDQ_NODE(tx(), 0, -1).is_data_enabled(&partially));
    EXPECT_FALSE(partially);
    {
        const SEDQ_EDIT_SCOPE edit(tx(), SEDQ_CHECK_COMPILATION);
        SEDQ_NODE(tx(), 0, -1).toggle_data();
    }
    EXPECT_EQ(data_states(tx(), 1, 3), (std::vector<int>{1, 1, 1})) << "a group with none set toggles to all";
    EXPECT_EQ(data_states(tx(), 4, 4), (std::vector<int>{1})) << "the row after the group is left alone";
}

TEST_F(view_test, flags_of_a_group_aggregate_and_set_its_members)
{
    open(write_document(group_of_three));
    const SEDQ_EDIT_SCOPE edit(tx(), SEDQ_CHECK_COMPILATION);
    SEDQ_NODE group(tx(), 0, -1);
    bool partially = true;
    EXPECT_FALSE(group.is_storage_enabled(&partially));
    EXPECT_FALSE(partially);
    SEDQ_NODE(tx(), 2, -1).toggle_storage();
    EXPECT_TRUE(group.is_storage_enabled(&partially));
    EXPECT_TRUE(partially);
    SEDQ_NODE(tx(), 2, -1).toggle_transition();
    EXPECT_TRUE(group.is_transition_enabled(&partially));
    EXPECT_FALSE(partially) << "only members with storage take part in the transition";
    group.enable_signal_inverted(true);
    EXPECT_TRUE(group.is_signal_inverted(&partially));
    EXPECT_FALSE(partially);
    SEDQ_NODE(tx(), 1, -1).toggle_signal_inverted();
    EXPECT_TRUE(group.is_signal_inverted(&partially));
    EXPECT_TRUE(partially);
    group.enable_trigger(false);
    EXPECT_FALSE(group.is_trigger_enabled(nullptr, -4));
    EXPECT_TRUE(SEDQ_NODE(tx(), 4, -1).is_trigger_enabled(nullptr, -4));
}

TEST_F(view_test, trigger_enables_of_advanced_levels_leave_out_pre_synthesis_nodes)
{
    open(write_document(
        [](SDR_DATA_SESSION& s)
        {
            SDR_DATA_TRIGGER* trigger = trigger_of(s);
            standin::sdr::set_levels(trigger, 2);
            trigger->edit_transient().levels[1].type = SDR_LTYPE_ADVANCED;
            add_leaves(trigger, {"top|pre"});
        }));
    const SEDQ_NODE node(tx(), 0, -1);
    EXPECT_TRUE(node.is_trigger_enabled(nullptr, 0));
    EXPECT_FALSE(node.is_trigger_enabled(nullptr, 1));
    EXPECT_TRUE(node.is_trigger_enabled(nullptr, -4)) << "any level: the capture type alone";
    EXPECT_FALSE(node.is_trigger_enabled(nullptr, -2))
        << "a storage-qualifier level reads the storage enable";
}

TEST_F(view_test, plain_reads_of_a_node)
{
    open(write_document(
        [](SDR_DATA_SESSION& s)
        {
            group_of_three(s);
            SDR_NODE_ROW& leaf = trigger_of(s)->edit_transient().trigger_list[4];
            leaf.alias = "go";
            leaf.patterns[0].conditions[0] = SDR_CTYPE_RISING;
            leaf.patterns[0].sq_conditions[1] = SDR_CTYPE_LOW;
            trigger_of(s)->edit_transient().trigger_list[1].tap_mode = SDR_TAP_POST_FITTING;
            trigger_of(s)->edit_transient().trigger_list[2].tap_mode = SDR_TAP_POST_FITTING;
            trigger_of(s)->edit_transient().trigger_list[3].tap_mode = SDR_TAP_POST_FITTING;
        }));
    const SEDQ_NODE leaf(tx(), 4, -1);
    EXPECT_STREQ(leaf.get_alias(), "go");
    EXPECT_EQ(leaf.get_trigger_pattern(0), SDR_CTYPE_RISING);
    EXPECT_EQ(leaf.get_trigger_pattern(-2), SDR_CTYPE_LOW);
    EXPECT_EQ(leaf.get_trigger_pattern(-4), SDR_CTYPE_DISABLED);
    EXPECT_EQ(internal_errors(), (std::vector<std::string>{"nTriggerLevel >= -3 && nTriggerLevel <= -1"}));
    EXPECT_EQ(leaf.get_debug_port_out(), nullptr);
    EXPECT_EQ(leaf.get_type(), SDR_STYPE_REGISTERED);
    EXPECT_FALSE(leaf.is_child());
    const SEDQ_NODE group(tx(), 0, -1);
    EXPECT_TRUE(group.is_parent());
    EXPECT_EQ(group.get_parent(), SDR_NTYPE_GROUP);
    EXPECT_EQ(group.get_tap_mode(), SDR_TAP_POST_FITTING) << "every member is post-fitting";
    EXPECT_EQ(SEDQ_NODE(tx(), 1, -1).get_node_depth(), 1);
    EXPECT_EQ(group.get_trigger_level(), 1);
    std::vector<int> members;
    group.get_all_descendants(0, &members);
    EXPECT_EQ(members, (std::vector<int>{1, 2, 3}));
}

TEST_F(view_test, a_node_of_no_document_reads_empty)
{
    open_empty();
    const SEDQ_NODE node(tx(), 0, -1);
    EXPECT_STREQ(node.get_name(), "");
    EXPECT_FALSE(node.is_data_enabled(nullptr));
    EXPECT_TRUE(internal_errors().empty());
}
