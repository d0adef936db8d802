// The property bag of an object: defaults, which properties each kind takes, run-time
// configurability as the parameter page shows it, and the union of a multiple selection.
#include "sedq_object_test_support.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace
{
using KEYS = std::set<std::string>;

// The keys of every property the bag says applies.
KEYS used_keys(const SEDQ_PROPERTY& bag)
{
    KEYS keys;
    for (int i = 0; i < SEDQ_PROPERTY::STRING_PROPERTY_COUNT; ++i)
        if (bag.is_used(SEDQ_PROPERTY::SEDQ_STRING_PROPERTY(i)))
            keys.insert(SEDQ_PROPERTY::STRING_TABLE[i].key);
    for (int i = 0; i < SEDQ_PROPERTY::INT_PROPERTY_COUNT; ++i)
        if (bag.is_used(SEDQ_PROPERTY::SEDQ_INT_PROPERTY(i)))
            keys.insert(SEDQ_PROPERTY::INT_TABLE[i].key);
    return keys;
}

std::string configurable_text(const SEDQ_PROPERTY& bag, const std::string& key)
{
    QString text;
    for (int i = 0; i < SEDQ_PROPERTY::STRING_PROPERTY_COUNT; ++i)
        if (key == SEDQ_PROPERTY::STRING_TABLE[i].key)
            bag.get_configurable_text(SEDQ_PROPERTY::SEDQ_STRING_PROPERTY(i), &text);
    for (int i = 0; i < SEDQ_PROPERTY::INT_PROPERTY_COUNT; ++i)
        if (key == SEDQ_PROPERTY::INT_TABLE[i].key)
            bag.get_configurable_text(SEDQ_PROPERTY::SEDQ_INT_PROPERTY(i), &text);
    return text.toStdString();
}
} // namespace

TEST(sedq_property_bag, fresh_bag_reads_the_defaults_with_three_blank_numbers)
{
    struct ROW
    {
        SEDQ_PROPERTY::SEDQ_INT_PROPERTY property;
        const char* text;
    };
    const ROW rows[] = {
        {SEDQ_PROPERTY::DISPLAY_FORMAT, "Decimal"}, {SEDQ_PROPERTY::COMPARISON, "Equality"},
        {SEDQ_PROPERTY::BITWISE, "Bitwise And"},    {SEDQ_PROPERTY::REDUCTION, "Reduction Or"},
        {SEDQ_PROPERTY::MAX_COUNTER_VALUE, "255"},  {SEDQ_PROPERTY::COUNTER_TYPE, "Event"},
        {SEDQ_PROPERTY::COUNTER_HOLD, "Yes"},       {SEDQ_PROPERTY::TYPE, "Unknown"},
        {SEDQ_PROPERTY::SHIFT_DISTANCE, ""},        {SEDQ_PROPERTY::DATA_DELAY, ""},
        {SEDQ_PROPERTY::COUNTER_VALUE, ""},         {SEDQ_PROPERTY::PIPELINE_LENGTH, "0"},
    };
    SEDQ_PROPERTY bag;
    for (const ROW& row : rows)
        for (auto copy : {SEDQ_PROPERTY::POWERUP_COPY, SEDQ_PROPERTY::NORMAL_COPY})
        {
            QString text = QStringLiteral("stale");
            EXPECT_TRUE(bag.get_setting_text(row.property, &text, copy));
            EXPECT_EQ(text.toStdString(), row.text) << SEDQ_PROPERTY::INT_TABLE[row.property].key;
            EXPECT_FALSE(bag.get(row.property, &text, copy)) << "a fresh bag stores nothing";
        }
}

TEST(sedq_property_bag, configurable_text_follows_each_row_and_the_objects_one_setting)
{
    struct ROW
    {
        const char* key;
        const char* variable; // with `configurable` 0
        const char* fixed;    // after set_configurable(false)
    };
    const ROW rows[] = {
        {"display_format", "Always", "Always"},
        {"shift_distance", "Always", "Always"},
        {"shift_direction", "Always", "Always"},
        {"counter_value", "Always", "Always"},
        {"counter_type", "Always", "Always"},
        {"counter_hold", "Always", "Always"},
        {"pattern", "Always", "Always"},
        {"config_bitstream", "Always", "Always"},
        {"bit_value", "Yes", "No"},
        {"comparison", "Yes", "No"},
        {"bus_value", "Yes", "No"},
        {"mnemonic_table", "Yes", "No"},
        {"name", "Never", "Never"},
        {"bus_name", "Never", "Never"},
        {"type", "Never", "Never"},
        {"max_counter_value", "Never", "Never"},
        {"signed_comparison", "Never", "Never"},
        {"pipeline_length", "Never", "Never"},
    };
    SEDQ_PROPERTY bag;
    for (const ROW& row : rows)
        EXPECT_EQ(configurable_text(bag, row.key), row.variable) << row.key;
    EXPECT_TRUE(bag.set_configurable(SEDQ_PROPERTY::BUS_VALUE, false));
    EXPECT_EQ(bag.get_int_data(SEDQ_PROPERTY::CONFIGURABLE, SEDQ_PROPERTY::NORMAL_COPY).value, 1);
    for (const ROW& row : rows)
        EXPECT_EQ(configurable_text(bag, row.key), row.fixed) << row.key;
    bool configurable = true;
    bool selectable = false;
    bag.get_configurable(SEDQ_PROPERTY::COMPARISON, &configurable, &selectable);
    EXPECT_TRUE(selectable);
    EXPECT_FALSE(configurable);
    bag.set_configurable(SEDQ_PROPERTY::COMPARISON, true);
    EXPECT_EQ(bag.get_int_data(SEDQ_PROPERTY::CONFIGURABLE, SEDQ_PROPERTY::NORMAL_COPY).value, 0);
}

TEST(sedq_property_bag, each_kind_takes_its_own_properties)
{
    struct ROW
    {
        SEDQ_OBJECT::SEDQ_OBJECT_TYPE kind;
        KEYS keys;
    };
    const std::vector<ROW> rows = {
        {SEDQ_OBJECT::INCREMENTAL_ROUTE_CONDITION, {}},
        {SEDQ_OBJECT::LEVEL_RESULT, {}},
        {SEDQ_OBJECT::EDGE_LEVEL_DETECTOR, {"pattern", "pipeline_length"}},
        {SEDQ_OBJECT::NODE, {"data_delay"}},
        {SEDQ_OBJECT::BUS, {"bus_name", "bit_order", "data_delay"}},
        {SEDQ_OBJECT::BIT_VALUE, {"bit_value"}},
        {SEDQ_OBJECT::BUS_VALUE, {"bus_value", "display_format"}},
        {SEDQ_OBJECT::COMPARISON_OPERATOR, {"comparison", "signed_comparison", "pipeline_length"}},
        {SEDQ_OBJECT::BITWISE_OPERATOR, {"bitwise"}},
        {SEDQ_OBJECT::LOGICAL_OPERATOR, {"logical"}},
        {SEDQ_OBJECT::REDUCTION_OPERATOR, {"reduction"}},
        {SEDQ_OBJECT::SHIFT_OPERATOR, {"shift_distance", "shift_direction", "shift_type"}},
        {SEDQ_OBJECT::COUNTER_OPERATOR,
         {"counter_value", "max_counter_value", "counter_type", "counter_hold"}},
        {SEDQ_OBJECT::CUSTOM_TRIGGER_HDL, {"module_name", "config_bitstream", "pipeline_length"}},
    };
    sedq_object_tree tree;
    for (const ROW& row : rows)
        EXPECT_EQ(used_keys(tree.add(row.kind)->get_property()), row.keys)
            << SEDQ_OBJECT::OBJECT_STRING[row.kind];
}

TEST(sedq_property_bag, union_of_a_selection_keeps_what_all_share)
{
    sedq_object_tree tree;
    SEDQ_OBJECT* node = tree.add(SEDQ_OBJECT::NODE);
    SEDQ_OBJECT* bus_a = tree.add_bus(2);
    SEDQ_OBJECT* bus_b = tree.add_bus(2);
    bus_a->set_bus_name("top|a");
    bus_b->set_bus_name("top|b");

    SEDQ_PROPERTY node_and_bus;
    node_and_bus.union_property(node->get_property());
    node_and_bus.union_property(bus_a->get_property());
    EXPECT_EQ(used_keys(node_and_bus), KEYS{"data_delay"});
    int type = -1;
    EXPECT_FALSE(node_and_bus.get(SEDQ_PROPERTY::TYPE, &type)) << "the kinds differ";
    EXPECT_EQ(node_and_bus[SEDQ_PROPERTY::TYPE], SEDQ_OBJECT::UNKNOWN);

    SEDQ_PROPERTY two_buses;
    two_buses.union_property(bus_a->get_property());
    two_buses.union_property(bus_b->get_property());
    EXPECT_EQ(used_keys(two_buses), (KEYS{"bus_name", "bit_order", "data_delay"}));
    EXPECT_FALSE(two_buses.get_string_data(SEDQ_PROPERTY::BUS_NAME, SEDQ_PROPERTY::NORMAL_COPY).is_defined);
    EXPECT_EQ(two_buses[SEDQ_PROPERTY::BUS_NAME], QString());
    EXPECT_TRUE(two_buses.get(SEDQ_PROPERTY::TYPE, &type));
    EXPECT_EQ(type, SEDQ_OBJECT::BUS);
    int order = -1;
    EXPECT_TRUE(two_buses.get(SEDQ_PROPERTY::BIT_ORDER, &order)) << "both read MSB to LSB";

    // Written back, only what the selection agrees on reaches an object.
    bus_b->get_property() = two_buses;
    EXPECT_EQ(bus_b->get_bus_name(), QStringLiteral("top|b"));
}

TEST(sedq_property_bag, a_runtime_setting_reads_its_own_copy_only_while_variable)
{
    sedq_object_tree tree;
    SEDQ_OBJECT* value = tree.add(SEDQ_OBJECT::BUS_VALUE);
    SEDQ_PROPERTY& bag = value->get_property();
    bag.set(SEDQ_PROPERTY::BUS_VALUE, QStringLiteral("7"), SEDQ_PROPERTY::POWERUP_COPY);
    bag.set(SEDQ_PROPERTY::BUS_VALUE, QStringLiteral("9"), SEDQ_PROPERTY::NORMAL_COPY);
    value->set_copy(SEDQ_OBJECT_COPY::powerup());
    EXPECT_EQ(bag[SEDQ_PROPERTY::BUS_VALUE], QStringLiteral("7"));
    bag.set_configurable(SEDQ_PROPERTY::BUS_VALUE, false);
    EXPECT_EQ(bag[SEDQ_PROPERTY::BUS_VALUE], QStringLiteral("9")) << "a fixed value is the normal one";
}
