// What an object is by its kind and settings: the display type with its names, symbol and
// equation word, kinds made from palette words, name texts, the box text, and which trigger's
// settings the object reads.
#include "sedq_object_test_support.h"

#include "host/sdr/sdr_tx_session.h"
#include "sedq/advanced_trigger/sedq_object_widget.h"
#include "sedq/model/sedq_tx_manager.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace
{
using SETUP = std::function<void(SEDQ_OBJECT*)>;

void set_int(SEDQ_OBJECT* object, SEDQ_PROPERTY::SEDQ_INT_PROPERTY property, int value)
{
    object->get_property().set(property, value);
}
} // namespace

TEST(sedq_object_kind, display_type_names_symbol_and_equation_word)
{
    struct ROW
    {
        const char* name;
        SETUP setup;
        SEDQ_OBJECT::SEDQ_DISPLAY_TYPE display;
        const char* long_name;
        const char* symbol;
        const char* word;
    };
    const ROW rows[] = {
        {"palette bit value", [](SEDQ_OBJECT* o) { o->set_type(QStringLiteral("Bit Value")); },
         SEDQ_OBJECT::DISPLAY_VARIABLE_HIGH, "Variable High", "True", "variable"},
        {"fixed bit value",
         [](SEDQ_OBJECT* o)
         {
             o->set_type(QStringLiteral("Bit Value"));
             set_int(o, SEDQ_PROPERTY::CONFIGURABLE, 1);
         },
         SEDQ_OBJECT::DISPLAY_CONSTANT_HIGH, "Constant High", "True", "1"},
        {"variable unsigned true",
         [](SEDQ_OBJECT* o)
         {
             o->set_type(SEDQ_OBJECT::COMPARISON_OPERATOR);
             o->set_comparison_type(SEDQ_OBJECT::COMPARISON_TRUE);
         },
         SEDQ_OBJECT::DISPLAY_VARIABLE_UNSIGNED_TRUE, "Variable Unsigned True", "True", "TRUE"},
        {"constant signed less than",
         [](SEDQ_OBJECT* o)
         {
             o->set_type(QStringLiteral("Less Than"));
             o->set_signed_comparison_type(SEDQ_OBJECT::SIGNED_COMPARISON);
             set_int(o, SEDQ_PROPERTY::CONFIGURABLE, 1);
         },
         SEDQ_OBJECT::DISPLAY_CONSTANT_SIGNED_LESS_THAN, "Constant Signed Less Than", "<", "<"},
        {"rotate right",
         [](SEDQ_OBJECT* o)
         {
             o->set_type(SEDQ_OBJECT::SHIFT_OPERATOR);
             set_int(o, SEDQ_PROPERTY::SHIFT_TYPE, SEDQ_OBJECT::SHIFT_ROTATE);
             set_int(o, SEDQ_PROPERTY::SHIFT_DIRECTION, SEDQ_OBJECT::SHIFT_RIGHT);
         },
         SEDQ_OBJECT::DISPLAY_ROTATE_RIGHT_SHIFT, "Rotate Right Shift", ">>", "shift"},
        {"shift type beyond the table",
         [](SEDQ_OBJECT* o)
         {
             o->set_type(SEDQ_OBJECT::SHIFT_OPERATOR);
             set_int(o, SEDQ_PROPERTY::SHIFT_TYPE, 3);
         },
         SEDQ_OBJECT::DISPLAY_UNKNOWN, "Unknown", "", ""},
        {"palette event counter", [](SEDQ_OBJECT* o) { o->set_type(QStringLiteral("Event Counter")); },
         SEDQ_OBJECT::DISPLAY_REGISTERED_EVENT_COUNTER, "Registered Event Counter", "Counter", "ec"},
        {"dynamic state counter",
         [](SEDQ_OBJECT* o)
         {
             o->set_type(QStringLiteral("State Counter"));
             set_int(o, SEDQ_PROPERTY::COUNTER_HOLD, 1);
         },
         SEDQ_OBJECT::DISPLAY_DYNAMIC_STATE_COUNTER, "Dynamic State Counter", "Counter", "ec"},
        {"logical or", [](SEDQ_OBJECT* o) { o->set_type(QStringLiteral("Logical Or")); },
         SEDQ_OBJECT::DISPLAY_LOGICAL_OR, "Logical Or", "||", "or"},
        {"reduction beyond the table",
         [](SEDQ_OBJECT* o)
         {
             o->set_type(SEDQ_OBJECT::REDUCTION_OPERATOR);
             set_int(o, SEDQ_PROPERTY::REDUCTION, 3);
         },
         SEDQ_OBJECT::DISPLAY_UNKNOWN, "Unknown", "", ""},
        {"fixed bus value",
         [](SEDQ_OBJECT* o)
         {
             o->set_type(QStringLiteral("Bus Value"));
             set_int(o, SEDQ_PROPERTY::CONFIGURABLE, 1);
         },
         SEDQ_OBJECT::DISPLAY_CONSTANT_BUS_VALUE, "Constant Bus Value", "Constant", ""},
        {"custom HDL", [](SEDQ_OBJECT* o) { o->set_type(QStringLiteral("Custom Trigger HDL")); },
         SEDQ_OBJECT::DISPLAY_CUSTOM_TRIGGER_HDL, "Custom Trigger HDL", "HDL", "mvx_custom_trigger_hdl"},
        {"kind beyond the table", [](SEDQ_OBJECT* o) { set_int(o, SEDQ_PROPERTY::TYPE, 15); },
         SEDQ_OBJECT::DISPLAY_UNKNOWN, "Unknown", "", ""},
    };
    sedq_object_tree tree;
    for (const ROW& row : rows)
    {
        SEDQ_OBJECT* object = tree.add(SEDQ_OBJECT::UNKNOWN);
        row.setup(object);
        const SEDQ_OBJECT::SEDQ_DISPLAY_TYPE display = object->get_display_type();
        EXPECT_EQ(display, row.display) << row.name;
        EXPECT_STREQ(SEDQ_OBJECT::DISPLAY_TYPES[display].name, row.long_name) << row.name;
        EXPECT_STREQ(SEDQ_OBJECT::DISPLAY_TYPES[display].symbol, row.symbol) << row.name;
        EXPECT_STREQ(SEDQ_OBJECT::DISPLAY_TYPES[display].equation, row.word) << row.name;
    }
}

TEST(sedq_object_kind, ports_and_precedence_of_display_types)
{
    struct ROW
    {
        SEDQ_OBJECT::SEDQ_DISPLAY_TYPE display;
        int inputs;
        SEDQ_OBJECT::SEDQ_PORT_TYPE input, output;
        int precedence;
    };
    const ROW rows[] = {
        {SEDQ_OBJECT::DISPLAY_LEVEL_RESULT, 1, SEDQ_OBJECT::PORT_BIT, SEDQ_OBJECT::PORT_NONE, -1},
        {SEDQ_OBJECT::DISPLAY_NODE, 0, SEDQ_OBJECT::PORT_NONE, SEDQ_OBJECT::PORT_BIT,
         SEDQ_OBJECT::NO_PRECEDENCE},
        {SEDQ_OBJECT::DISPLAY_BUS, SEDQ_OBJECT::ANY_INPUT_COUNT, SEDQ_OBJECT::PORT_BUS, SEDQ_OBJECT::PORT_BUS,
         -1},
        {SEDQ_OBJECT::DISPLAY_VARIABLE_SIGNED_FALSE, 2, SEDQ_OBJECT::PORT_BUS, SEDQ_OBJECT::PORT_BIT, 9},
        {SEDQ_OBJECT::DISPLAY_BITWISE_COMPLEMENT, 1, SEDQ_OBJECT::PORT_BUS, SEDQ_OBJECT::PORT_BUS, 31},
        {SEDQ_OBJECT::DISPLAY_LOGICAL_AND, SEDQ_OBJECT::ANY_INPUT_COUNT, SEDQ_OBJECT::PORT_BIT,
         SEDQ_OBJECT::PORT_BIT, 5},
        {SEDQ_OBJECT::DISPLAY_REDUCTION_OR, 1, SEDQ_OBJECT::PORT_BUS, SEDQ_OBJECT::PORT_BIT, 0},
        {SEDQ_OBJECT::DISPLAY_ARITHMETIC_RIGHT_SHIFT, 1, SEDQ_OBJECT::PORT_BUS, SEDQ_OBJECT::PORT_BUS, 25},
        {SEDQ_OBJECT::DISPLAY_DYNAMIC_STATE_COUNTER, 1, SEDQ_OBJECT::PORT_BIT, SEDQ_OBJECT::PORT_BIT, 29},
        {SEDQ_OBJECT::DISPLAY_CUSTOM_TRIGGER_HDL, 1, SEDQ_OBJECT::PORT_BUS, SEDQ_OBJECT::PORT_BIT, -1},
    };
    for (const ROW& row : rows)
    {
        EXPECT_EQ(SEDQ_OBJECT::DISPLAY_TYPES[row.display].input_count, row.inputs)
            << SEDQ_OBJECT::DISPLAY_TYPES[row.display].name;
        EXPECT_EQ(SEDQ_OBJECT::DISPLAY_TYPES[row.display].input_type, row.input)
            << SEDQ_OBJECT::DISPLAY_TYPES[row.display].name;
        EXPECT_EQ(SEDQ_OBJECT::DISPLAY_TYPES[row.display].output_type, row.output)
            << SEDQ_OBJECT::DISPLAY_TYPES[row.display].name;
        EXPECT_EQ(SEDQ_OBJECT::DISPLAY_TYPES[row.display].precedence, row.precedence)
            << SEDQ_OBJECT::DISPLAY_TYPES[row.display].name;
    }
}

TEST(sedq_object_kind, palette_words_set_kind_and_operator_or_nothing)
{
    struct ROW
    {
        const char* word;
        SEDQ_OBJECT::SEDQ_OBJECT_TYPE kind;
        SEDQ_PROPERTY::SEDQ_INT_PROPERTY setting;
        int value;
    };
    const ROW rows[] = {
        {"Greater Than", SEDQ_OBJECT::COMPARISON_OPERATOR, SEDQ_PROPERTY::COMPARISON, 5},
        {"Greater", SEDQ_OBJECT::NODE, SEDQ_PROPERTY::COMPARISON, 2},
        {"greater than", SEDQ_OBJECT::NODE, SEDQ_PROPERTY::COMPARISON, 2},
        {"Right Shift", SEDQ_OBJECT::SHIFT_OPERATOR, SEDQ_PROPERTY::SHIFT_DIRECTION,
         SEDQ_OBJECT::SHIFT_RIGHT},
        {"Left Shift", SEDQ_OBJECT::SHIFT_OPERATOR, SEDQ_PROPERTY::SHIFT_TYPE, SEDQ_OBJECT::SHIFT_LOGICAL},
        {"Bitwise Xor", SEDQ_OBJECT::BITWISE_OPERATOR, SEDQ_PROPERTY::BITWISE, 3},
        {"Logical Not", SEDQ_OBJECT::LOGICAL_OPERATOR, SEDQ_PROPERTY::LOGICAL, 0},
        {"Reduction Xor", SEDQ_OBJECT::REDUCTION_OPERATOR, SEDQ_PROPERTY::REDUCTION, 2},
        {"Continuous Counter", SEDQ_OBJECT::COUNTER_OPERATOR, SEDQ_PROPERTY::COUNTER_TYPE, 0},
        {"State Counter", SEDQ_OBJECT::COUNTER_OPERATOR, SEDQ_PROPERTY::COUNTER_HOLD, 0},
        {"Edge & Level Detector", SEDQ_OBJECT::EDGE_LEVEL_DETECTOR, SEDQ_PROPERTY::COMPARISON, 2},
        {"Bus", SEDQ_OBJECT::BUS, SEDQ_PROPERTY::COMPARISON, 2},
    };
    sedq_object_tree tree;
    for (const ROW& row : rows)
    {
        SEDQ_OBJECT* object = tree.add(SEDQ_OBJECT::NODE);
        set_int(object, SEDQ_PROPERTY::SHIFT_DIRECTION, SEDQ_OBJECT::SHIFT_LEFT);
        set_int(object, SEDQ_PROPERTY::COUNTER_HOLD, 1);
        set_int(object, SEDQ_PROPERTY::SHIFT_TYPE, SEDQ_OBJECT::SHIFT_ROTATE);
        object->set_type(QString::fromLatin1(row.word));
        EXPECT_EQ(object->get_type(), row.kind) << row.word;
        EXPECT_EQ(object->get_property()[row.setting], row.value) << row.word;
    }
    SEDQ_OBJECT* object = tree.add(SEDQ_OBJECT::NODE);
    object->set_library_type(SEDQ_OBJECT::SEDQ_LIBRARY_TYPE(SEDQ_OBJECT::LIBRARY_TYPE_COUNT));
    EXPECT_EQ(object->get_type(), SEDQ_OBJECT::NODE) << "a value outside the palette changes nothing";
}

TEST(sedq_object_kind, short_names_keep_the_leaf_of_a_path)
{
    struct ROW
    {
        SEDQ_OBJECT::SEDQ_OBJECT_TYPE kind;
        const char* name;
        const char* alias;
        const char* plain;
        const char* with_ellipsis;
    };
    const ROW rows[] = {
        {SEDQ_OBJECT::NODE, "top|core|clk", "", "clk", "...clk"},
        {SEDQ_OBJECT::NODE, "clk", "c", "clk", "clk"},
        {SEDQ_OBJECT::NODE, "top|", "", "", "..."},
        {SEDQ_OBJECT::BUS, "ignored|name", "top|data", "data", "...data"},
    };
    sedq_object_tree tree;
    for (const ROW& row : rows)
    {
        SEDQ_OBJECT* object = tree.add(row.kind);
        object->set_name(row.name);
        object->set_alias(QString::fromLatin1(row.alias));
        EXPECT_EQ(object->get_short_name(false).toStdString(), row.plain) << row.name;
        EXPECT_EQ(object->get_short_name(true).toStdString(), row.with_ellipsis) << row.name;
    }
    SEDQ_OBJECT* bus = tree.add(SEDQ_OBJECT::BUS);
    bus->set_bus_name("a|b");
    EXPECT_EQ(bus->get_short_bus_name(true), QStringLiteral("...b"));
}

TEST(sedq_object_kind, box_text_with_suffixes)
{
    struct ROW
    {
        const char* name;
        SETUP setup;
        const char* symbol;
    };
    const auto expanded = [](SEDQ_OBJECT* o) { set_int(o, SEDQ_PROPERTY::EXPANDED, 1); };
    const ROW rows[] = {
        {"hexadecimal value",
         [](SEDQ_OBJECT* o)
         {
             o->set_type(SEDQ_OBJECT::BUS_VALUE);
             o->get_property().set(SEDQ_PROPERTY::BUS_VALUE, QStringLiteral("1F"));
             set_int(o, SEDQ_PROPERTY::DISPLAY_FORMAT, SEDQ_OBJECT::FORMAT_HEXADECIMAL);
         },
         "1Fh"},
        {"empty value", [](SEDQ_OBJECT* o) { o->set_type(SEDQ_OBJECT::BUS_VALUE); }, "Variable"},
        {"delayed node",
         [](SEDQ_OBJECT* o)
         {
             o->set_type(SEDQ_OBJECT::NODE);
             o->set_name("top|n");
             set_int(o, SEDQ_PROPERTY::DATA_DELAY, 2);
         },
         "n@2"},
        {"pipelined comparison",
         [&](SEDQ_OBJECT* o)
         {
             expanded(o);
             o->set_type(QStringLiteral("Equality"));
             o->set_alias(QStringLiteral("eq"));
             set_int(o, SEDQ_PROPERTY::PIPELINE_LENGTH, 3);
         },
         "=#3"},
        {"collapsed comparison with alias",
         [](SEDQ_OBJECT* o)
         {
             o->set_type(QStringLiteral("Equality"));
             o->set_alias(QStringLiteral("eq"));
         },
         "eq"},
        {"bus by its bus name",
         [&](SEDQ_OBJECT* o)
         {
             expanded(o);
             o->set_type(SEDQ_OBJECT::BUS);
             o->set_bus_name("a|b");
         },
         "b"},
        {"bus without names",
         [&](SEDQ_OBJECT* o)
         {
             expanded(o);
             o->set_type(SEDQ_OBJECT::BUS);
         },
         "Bus"},
        {"pipeline zero is none",
         [](SEDQ_OBJECT* o)
         {
             o->set_type(QStringLiteral("Edge & Level Detector"));
             set_int(o, SEDQ_PROPERTY::PIPELINE_LENGTH, 0);
         },
         "ELD"},
        {"pipeline on a kind without one",
         [](SEDQ_OBJECT* o)
         {
             o->set_type(QStringLiteral("Logical And"));
             set_int(o, SEDQ_PROPERTY::PIPELINE_LENGTH, 3);
         },
         "&&"},
    };
    sedq_object_tree tree;
    for (const ROW& row : rows)
    {
        SEDQ_OBJECT* object = tree.add(SEDQ_OBJECT::UNKNOWN);
        row.setup(object);
        EXPECT_EQ(object->get_symbol().toStdString(), row.symbol) << row.name;
    }
}

TEST(sedq_object_kind, stored_copies_say_which_trigger_they_belong_to)
{
    sedq_object_tree tree;
    SEDQ_OBJECT* object = tree.add(SEDQ_OBJECT::BIT_VALUE);
    EXPECT_FALSE(object->is_powerup_trigger()) << "claimed by no copy";
    object->set_copy(SEDQ_OBJECT_COPY::normal());
    EXPECT_FALSE(object->is_powerup_trigger());
    object->set_copy(SEDQ_OBJECT_COPY::powerup());
    EXPECT_TRUE(object->is_powerup_trigger());
    object->set_copy(SEDQ_OBJECT_COPY::of_canvas(1 << 30));
    EXPECT_FALSE(object->is_powerup_trigger()) << "a canvas that does not exist";
}

TEST(sedq_object_kind, a_canvas_in_the_power_up_view_edits_the_power_up_settings)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    SEDQ_TX_MANAGER manager(nullptr);
    ASSERT_TRUE(manager.new_document(dir.filePath(QStringLiteral("a.vtl")).toLocal8Bit().constData()));
    SEDQ_OBJECT_WIDGET canvas(nullptr, &manager);
    sedq_object_tree tree;
    SEDQ_OBJECT* object = tree.add(SEDQ_OBJECT::BIT_VALUE);
    object->set_copy(canvas.get_copy());
    EXPECT_FALSE(object->is_powerup_trigger());

    ASSERT_TRUE(manager.enable_powerup_trigger(0, true));
    ASSERT_TRUE(manager.is_powerup_trigger(-1));
    EXPECT_TRUE(object->is_powerup_trigger());
    object->get_property().set(SEDQ_PROPERTY::BIT_VALUE, 1);
    EXPECT_EQ(
        object->get_property().get_int_data(SEDQ_PROPERTY::BIT_VALUE, SEDQ_PROPERTY::POWERUP_COPY).value, 1);
    EXPECT_EQ(object->get_property().get_int_data(SEDQ_PROPERTY::BIT_VALUE, SEDQ_PROPERTY::NORMAL_COPY).value,
              0);
}
