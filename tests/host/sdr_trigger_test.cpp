// Trigger façade: levels, per-row conditions and comparisons in the normal and power-up copies,
// settings, flow resources, the flow check, and undo of condition edits.
#include "host/sdr.h"
#include "host/standin/sdr_control.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
class sdr_trigger : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(session.create_session("/tmp/sdr_trigger_test.vtl"));
        trigger = session.get_trigger_at(0, false);
        instance = session.get_instance_at(0, false);
        for (const char* name : {"a", "b", "c"})
            ASSERT_TRUE(trigger->add_node(name, SDR_STYPE_PLAIN, SDR_TAP_PRE_SYNTHESIS, false));
        ASSERT_TRUE(trigger->group_node(1, 2, "bus")); // a, bus, b, c
    }

    SDR_TX_SESSION session{nullptr, false};
    SDR_TX_TRIGGER* trigger = nullptr;
    SDR_TX_INSTANCE* instance = nullptr;
};
} // namespace

TEST_F(sdr_trigger, conditions_are_stored_per_level_and_storage_qualifier_pattern)
{
    ASSERT_TRUE(trigger->set_num_levels(3));
    const struct
    {
        const char* name;
        int row;
        int index;
        bool sq;
        SDR_DATA_TRIGGER_CONDITION value;
        bool stored;
    } rows[] = {{"leaf level 0", 0, 0, false, SDR_CTYPE_RISING, true},
                {"leaf last level", 0, 2, false, SDR_CTYPE_LOW, true},
                {"leaf SQ pattern -3 (host 0)", 0, 0, true, SDR_CTYPE_HIGH, true},
                {"leaf SQ pattern -1 (host 2)", 0, 2, true, SDR_CTYPE_FALLING, true},
                {"group row", 1, 1, false, SDR_DATA_TRIGGER_CONDITION(12), true},
                {"level past the count", 0, 3, false, SDR_CTYPE_HIGH, false},
                {"SQ index 3", 0, 3, true, SDR_CTYPE_HIGH, false},
                {"negative level", 0, -1, false, SDR_CTYPE_HIGH, false},
                {"value past the advanced marker", 0, 1, false, SDR_DATA_TRIGGER_CONDITION(30), false}};
    for (const auto& row : rows)
    {
        EXPECT_EQ(trigger->set_condition(row.row, row.index, row.sq, row.value, true), row.stored) << row.name;
        if (row.stored)
        {
            EXPECT_EQ(trigger->get_condition(row.row, row.index, row.sq), row.value) << row.name;
        }
    }
    EXPECT_EQ(trigger->get_condition(0, 1, false), SDR_CTYPE_DONT_CARE) << "untouched level keeps its default";
    EXPECT_EQ(trigger->get_condition(0, 1, true), SDR_CTYPE_DONT_CARE);
    EXPECT_EQ(trigger->get_condition(0, 2, true), SDR_CTYPE_FALLING) << "SQ patterns are independent";
}

TEST_F(sdr_trigger, growing_levels_gives_defaults_and_shrinking_forgets_values)
{
    ASSERT_TRUE(trigger->set_condition(0, 0, false, SDR_CTYPE_HIGH, true));
    ASSERT_TRUE(trigger->set_num_levels(2));
    ASSERT_TRUE(trigger->set_condition(0, 1, false, SDR_CTYPE_LOW, true));
    EXPECT_EQ(trigger->get_condition(1, 1, false), SDR_CTYPE_GROUP_FIRST) << "group rows default to 9";
    EXPECT_STREQ(trigger->get_level_name(1), "Condition 2");
    ASSERT_TRUE(trigger->set_num_levels(1));
    ASSERT_TRUE(trigger->set_num_levels(2));
    EXPECT_EQ(trigger->get_condition(0, 1, false), SDR_CTYPE_DONT_CARE);
    EXPECT_EQ(trigger->get_condition(0, 0, false), SDR_CTYPE_HIGH);
    EXPECT_FALSE(trigger->set_num_levels(0));
    EXPECT_FALSE(trigger->set_num_levels(SDR_MAX_TRIGGER_LEVELS + 1));
    EXPECT_EQ(trigger->get_level_name(2), nullptr);
}

TEST_F(sdr_trigger, power_up_selector_picks_the_condition_copy)
{
    ASSERT_TRUE(instance->begin_action());
    ASSERT_TRUE(session.set_power_up_trigger_mode(0, true));
    ASSERT_TRUE(instance->end_action());
    ASSERT_TRUE(session.is_power_up_view(1));
    SDR_TX_TRIGGER* power_up = session.get_trigger_at(1, false);
    SDR_TX_TRIGGER* normal = session.get_trigger_at(0, false);
    ASSERT_TRUE(power_up->is_power_up_selector());
    ASSERT_FALSE(normal->is_power_up_selector());
    ASSERT_TRUE(power_up->set_condition(0, 0, false, SDR_CTYPE_RISING, true));
    ASSERT_TRUE(power_up->set_comparison_enabled(1, 0, false, true, true));
    EXPECT_EQ(normal->get_condition(0, 0, false), SDR_CTYPE_DONT_CARE);
    EXPECT_FALSE(normal->is_comparison_enabled(1, 0, false));
    EXPECT_EQ(power_up->get_condition(0, 0, false), SDR_CTYPE_RISING);
    normal->set_power_up_selector(true);
    EXPECT_EQ(normal->get_condition(0, 0, false), SDR_CTYPE_RISING) << "the selector, not the entry, decides";
    EXPECT_TRUE(session.is_power_up_editing());
    SDR_TX_SIGNAL_SET* data = session.get_signal_set_at(0, false);
    EXPECT_EQ(data->get_condition(0, 0, false), SDR_CTYPE_RISING) << "data rows read their trigger rows";
    normal->set_power_up_selector(false);
    EXPECT_EQ(data->get_condition(0, 0, false), SDR_CTYPE_DONT_CARE);
}

TEST_F(sdr_trigger, comparisons_belong_to_group_rows_and_take_operators_only)
{
    EXPECT_FALSE(trigger->set_comparison_enabled(0, 0, false, true, true)) << "a leaf has no comparison";
    ASSERT_TRUE(trigger->set_comparison_enabled(1, 0, false, true, true));
    EXPECT_TRUE(trigger->is_comparison_group_member(1, 0, false));
    ASSERT_TRUE(trigger->set_comparison_enabled(1, 0, false, false, true));
    EXPECT_TRUE(trigger->is_comparison_group_member(1, 0, false)) << "disabling keeps the membership";
    const struct
    {
        const char* name;
        int operand;
        SDR_DATA_TRIGGER_CONDITION value;
        bool stored;
    } rows[] = {{"lower bound >", 1, SDR_CTYPE_COMPARE_GREATER_THAN, true},
                {"upper bound <", 2, SDR_CTYPE_COMPARE_LESS_THAN, true},
                {"TRUE", 2, SDR_CTYPE_COMPARE_TRUE, true},
                {"not an operator", 1, SDR_CTYPE_HIGH, false},
                {"group pattern", 2, SDR_DATA_TRIGGER_CONDITION(9), false},
                {"operand 3", 3, SDR_CTYPE_COMPARE_GREATER_THAN, false}};
    for (const auto& row : rows)
        EXPECT_EQ(trigger->set_comparison_operand(1, 0, false, row.operand, row.value), row.stored) << row.name;
    EXPECT_EQ(trigger->get_comparison_operand(1, 0, false, 1), SDR_CTYPE_COMPARE_GREATER_THAN);
    ASSERT_TRUE(trigger->set_comparison_value(1, 0, false, 1, 3));
    ASSERT_TRUE(trigger->set_comparison_value(1, 2, true, 2, 10));
    EXPECT_EQ(trigger->get_comparison_value(1, 0, false, 1), 3);
    EXPECT_EQ(trigger->get_comparison_value(1, 2, true, 2), 10);
    EXPECT_EQ(trigger->get_comparison_value(1, 0, true, 2), 0) << "SQ comparisons are separate";
    EXPECT_FALSE(trigger->is_group_condition(SDR_CTYPE_DONT_CARE));
    EXPECT_TRUE(trigger->is_group_condition(SDR_DATA_TRIGGER_CONDITION(17)));
    EXPECT_TRUE(trigger->is_comparison_operand_condition(SDR_CTYPE_COMPARE_EQUAL_TO));
    EXPECT_FALSE(trigger->is_comparison_operand_condition(SDR_CTYPE_ADVANCED));
}

TEST_F(sdr_trigger, initializing_group_conditions_repairs_groups_without_an_undo_step)
{
    ASSERT_TRUE(trigger->set_condition(1, 0, false, SDR_CTYPE_HIGH, true));
    ASSERT_TRUE(trigger->set_condition(0, 0, false, SDR_CTYPE_HIGH, true));
    const bool undo_before = instance->is_undo_available();
    ASSERT_TRUE(trigger->initialize_group_condition(1, 0, false));
    ASSERT_TRUE(trigger->initialize_group_condition(0, 0, false));
    EXPECT_EQ(trigger->get_condition(1, 0, false), SDR_CTYPE_GROUP_FIRST);
    EXPECT_EQ(trigger->get_condition(0, 0, false), SDR_CTYPE_HIGH) << "leaves are left alone";
    EXPECT_EQ(instance->is_undo_available(), undo_before);
    EXPECT_FALSE(trigger->initialize_group_condition(7, 0, false));
}

TEST_F(sdr_trigger, condition_edits_undo_and_redo)
{
    ASSERT_TRUE(trigger->set_condition(0, 0, false, SDR_CTYPE_RISING, true));
    ASSERT_TRUE(instance->begin_action());
    ASSERT_TRUE(trigger->set_condition(0, 0, false, SDR_CTYPE_FALLING, true));
    ASSERT_TRUE(trigger->set_comparison_value(1, 0, false, 2, 42));
    ASSERT_TRUE(trigger->set_position(SDR_TPOS_CENTER));
    ASSERT_TRUE(instance->end_action());
    ASSERT_TRUE(instance->undo());
    EXPECT_EQ(trigger->get_condition(0, 0, false), SDR_CTYPE_RISING);
    EXPECT_EQ(trigger->get_comparison_value(1, 0, false, 2), 0);
    EXPECT_EQ(trigger->get_position(), SDR_TPOS_PRE);
    ASSERT_TRUE(instance->redo());
    EXPECT_EQ(trigger->get_condition(0, 0, false), SDR_CTYPE_FALLING);
    EXPECT_EQ(trigger->get_comparison_value(1, 0, false, 2), 42);
    ASSERT_TRUE(trigger->set_condition(0, 0, false, SDR_CTYPE_FALLING, true));
    EXPECT_FALSE(instance->is_redo_available()) << "an unchanged value records no step";
}

TEST_F(sdr_trigger, settings_refuse_values_outside_their_ranges)
{
    EXPECT_TRUE(trigger->set_position(SDR_TPOS_CONTINUOUS));
    EXPECT_FALSE(trigger->set_sq_type(SDR_SQTYPE_INVALID_TYPE));
    EXPECT_FALSE(trigger->set_sq_type(SDR_DATA_STORAGE_QUALIFIER_TYPE(7)));
    EXPECT_TRUE(trigger->set_sq_type(SDR_SQTYPE_START_STOP));
    EXPECT_FALSE(trigger->set_trigger_out_selected(1, true)) << "source 1 is not a trigger-out source";
    EXPECT_TRUE(trigger->set_trigger_out_selected(5, true));
    EXPECT_TRUE(trigger->is_trigger_out_selected(5));
    EXPECT_FALSE(trigger->is_trigger_out_selected(3));
    EXPECT_FALSE(trigger->set_level_type(3, true, SDR_LTYPE_ADVANCED));
    EXPECT_TRUE(trigger->set_level_type(2, true, SDR_LTYPE_ADVANCED));
    EXPECT_EQ(trigger->get_level_type(2, true), SDR_LTYPE_ADVANCED);
    EXPECT_EQ(trigger->get_level_type(0, false), SDR_LTYPE_BASIC_AND);
    bool post_fitting = false;
    ASSERT_TRUE(trigger->set_sq_input_port("top|port", true));
    EXPECT_STREQ(trigger->get_sq_input_port(&post_fitting), "top|port");
    EXPECT_TRUE(post_fitting);
    EXPECT_TRUE(trigger->drop_tapped_node("a"));
    EXPECT_FALSE(trigger->drop_tapped_node("bus")) << "only tapped leaves are dropped";
}

TEST_F(sdr_trigger, flags_and_counters_change_only_what_is_given)
{
    ASSERT_TRUE(trigger->set_flag_count(2));
    ASSERT_TRUE(trigger->set_counter_count(1));
    int initial = -1;
    EXPECT_STREQ(trigger->get_flag_name(1, &initial), "flag2");
    EXPECT_EQ(initial, 0);
    const int one = 1;
    ASSERT_TRUE(trigger->set_flag(1, nullptr, &one));
    ASSERT_TRUE(trigger->set_flag(0, "armed", nullptr));
    EXPECT_STREQ(trigger->get_flag_name(1, &initial), "flag2");
    EXPECT_EQ(initial, 1);
    EXPECT_STREQ(trigger->get_flag_name(0, nullptr), "armed");
    EXPECT_EQ(trigger->get_flag_name(2, &initial), nullptr);
    int width = 0;
    unsigned start = 9;
    EXPECT_STREQ(trigger->get_counter_name(0, &width, &start), "counter1");
    EXPECT_EQ(width, 8);
    EXPECT_EQ(start, 0u);
    const int zero_width = 0;
    EXPECT_FALSE(trigger->set_counter(0, nullptr, &zero_width, nullptr));
    EXPECT_FALSE(trigger->set_configurable(3, true));
    ASSERT_TRUE(trigger->set_configurable(4, true));
    EXPECT_TRUE(trigger->is_configurable(4));
    EXPECT_FALSE(trigger->is_configurable(8));
}

TEST_F(sdr_trigger, scripted_flow_verdict_overrides_the_checker)
{
    std::string message;
    int line = 0;
    EXPECT_FALSE(trigger->has_flow_error(&message, &line)) << "no state machine object, no text";
    standin::sdr::set_flow_error(true, "scripted", 4);
    EXPECT_TRUE(trigger->has_flow_error(&message, &line));
    EXPECT_EQ(message, "scripted");
    EXPECT_EQ(line, 4);
}

TEST_F(sdr_trigger, names_of_triggers_and_signal_sets_are_unique_and_undoable)
{
    SDR_DATA_TRIGGER* data_trigger = trigger->get_data_trigger();
    SDR_DATA_SIGNAL_SET* set = session.get_signal_set_at(0, false)->get_data_signal_set();
    const std::string old_trigger = data_trigger->get_name();
    SDR_DATA_TRIGGER* other = set->create_trigger(nullptr, false);
    ASSERT_NE(other, nullptr);
    EXPECT_FALSE(instance->is_undo_available()) << "adding a trigger cannot be undone";
    EXPECT_EQ(other->get_instance(), data_trigger->get_instance());
    EXPECT_FALSE(other->set_name(old_trigger.c_str()));
    EXPECT_FALSE(other->set_name(nullptr));
    ASSERT_TRUE(data_trigger->set_name("renamed"));
    ASSERT_TRUE(set->set_name("setup"));
    EXPECT_EQ(set->find_trigger("renamed"), data_trigger);
    ASSERT_TRUE(instance->undo());
    EXPECT_NE(std::string(set->get_name()), "setup");
    ASSERT_TRUE(instance->undo());
    EXPECT_EQ(std::string(data_trigger->get_name()), old_trigger);
    EXPECT_NE(set->to_string().find("node a capture=3"), std::string::npos);
    EXPECT_NE(data_trigger->to_string(false).find("bus="), std::string::npos);
}
