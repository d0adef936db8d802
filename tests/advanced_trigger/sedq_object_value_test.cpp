// The numbers behind an object: port widths, bus values in each radix or from a mnemonic
// table with their validation errors, counter widths and values, shift words, the shifter
// model and folding a shifted constant.
#include "sedq_object_test_support.h"

#include "host/sdr/sdr_data_mnemonics.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
using ERROR = SEDQ_OBJECT::SEDQ_ERROR_TYPE;

struct CONVERTED
{
    std::string text;
    ERROR error;
    bool operator==(const CONVERTED& o) const { return text == o.text && error == o.error; }
};

std::ostream& operator<<(std::ostream& out, const CONVERTED& c)
{
    return out << '"' << c.text << "\" error " << int(c.error) << " (" << SEDQ_OBJECT::ERROR_STRING[c.error]
               << ")";
}

CONVERTED convert(const SEDQ_OBJECT* value, int width, SDR_DATA_MNEMONICS* mnemonics = nullptr)
{
    ERROR error = SEDQ_OBJECT::ERROR_NONE;
    SEDQ_OBJECT* culprit = nullptr;
    const QString text = value->get_bus_value(width, mnemonics, &error, &culprit);
    EXPECT_TRUE(error == SEDQ_OBJECT::ERROR_NONE ? culprit == nullptr : culprit == value);
    return {text.toStdString(), error};
}
} // namespace

TEST(sedq_object_value, widths_from_ports_and_inputs)
{
    sedq_object_tree tree;
    SEDQ_OBJECT* bus = tree.add_bus(3);
    EXPECT_EQ(bus->get_output_width(false), 3);
    EXPECT_EQ(bus->get_input_width(), 3);
    SEDQ_OBJECT* loose = tree.add(SEDQ_OBJECT::BUS);
    tree.add(SEDQ_OBJECT::BUS_VALUE, loose);
    EXPECT_EQ(loose->get_output_width(false), SEDQ_OBJECT::UNKNOWN_WIDTH);

    SEDQ_OBJECT* compare = tree.add(SEDQ_OBJECT::COMPARISON_OPERATOR);
    tree.add_bus(4, compare);
    SEDQ_OBJECT* value = tree.add_value(QStringLiteral("3"), QStringLiteral("Decimal"), compare);
    EXPECT_EQ(value->get_output_width(false), SEDQ_OBJECT::UNKNOWN_WIDTH);
    EXPECT_EQ(value->get_output_width(true), 4) << "the consumer decides a constant's width";
    EXPECT_EQ(compare->get_input_width(), 4);
    EXPECT_EQ(compare->get_output_width(true), 1);

    SEDQ_OBJECT* mismatch = tree.add(SEDQ_OBJECT::COMPARISON_OPERATOR);
    tree.add_bus(4, mismatch);
    tree.add_bus(8, mismatch);
    EXPECT_EQ(mismatch->get_input_width(), SEDQ_OBJECT::MISMATCHED_WIDTH);
    SEDQ_OBJECT* single = tree.add(SEDQ_OBJECT::COMPARISON_OPERATOR);
    tree.add_bus(4, single);
    EXPECT_EQ(single->get_input_width(), SEDQ_OBJECT::UNKNOWN_WIDTH) << "one input of two";

    // A bitwise operator between a value and a bus port passes the consumer's width down.
    SEDQ_OBJECT* outer = tree.add(SEDQ_OBJECT::COMPARISON_OPERATOR);
    SEDQ_OBJECT* complement = tree.add(SEDQ_OBJECT::BITWISE_OPERATOR, outer);
    complement->get_property().set(SEDQ_PROPERTY::BITWISE, 0);
    SEDQ_OBJECT* inner = tree.add(SEDQ_OBJECT::BUS_VALUE, complement);
    tree.add_bus(6, outer);
    EXPECT_EQ(complement->get_input_width(), 6);
    EXPECT_EQ(inner->get_output_width(true), 6);
}

TEST(sedq_object_value, bus_values_convert_within_the_width_or_report)
{
    struct ROW
    {
        const char* name;
        const char* text;
        const char* radix;
        bool under_signed;
        int width;
        CONVERTED expected;
    };
    const ROW rows[] = {
        {"one hex digit", "F", "Hexadecimal", false, 4, {"15", SEDQ_OBJECT::ERROR_NONE}},
        {"two hex digits", "1F", "Hexadecimal", false, 4, {"", SEDQ_OBJECT::ERROR_VALUE_OVER_WIDTH}},
        {"negative in range", "-3", "Decimal", true, 4, {"-3", SEDQ_OBJECT::ERROR_NONE}},
        {"most negative", "-8", "Decimal", true, 4, {"-8", SEDQ_OBJECT::ERROR_NONE}},
        {"too negative", "-9", "Decimal", true, 4, {"", SEDQ_OBJECT::ERROR_VALUE_OVER_WIDTH}},
        {"sign bit set", "8", "Decimal", true, 4, {"", SEDQ_OBJECT::ERROR_VALUE_OVER_WIDTH}},
        {"largest positive signed", "7", "Decimal", true, 4, {"7", SEDQ_OBJECT::ERROR_NONE}},
        {"negative unsigned", "-5", "Decimal", false, 8, {"", SEDQ_OBJECT::ERROR_INVALID_BUS_VALUE}},
        {"all 64 bits",
         "18446744073709551615",
         "Decimal",
         false,
         64,
         {"18446744073709551615", SEDQ_OBJECT::ERROR_NONE}},
        {"65 bits decimal",
         "18446744073709551616",
         "Decimal",
         false,
         64,
         {"", SEDQ_OBJECT::ERROR_INVALID_BUS_VALUE}},
        {"65 bits hex",
         "1FFFFFFFFFFFFFFFF",
         "Hexadecimal",
         false,
         128,
         {"", SEDQ_OBJECT::ERROR_INVALID_BUS_VALUE}},
        {"signed 64 bits, sign bit set",
         "9223372036854775808",
         "Decimal",
         true,
         64,
         {"", SEDQ_OBJECT::ERROR_VALUE_OVER_WIDTH}},
        {"most negative 64 bits",
         "-9223372036854775808",
         "Decimal",
         true,
         64,
         {"-9223372036854775808", SEDQ_OBJECT::ERROR_NONE}},
        {"octal", "17", "Octal", false, 4, {"15", SEDQ_OBJECT::ERROR_NONE}},
        {"octal digit 8", "18", "Octal", false, 8, {"", SEDQ_OBJECT::ERROR_INVALID_BUS_VALUE}},
        {"binary", "101", "Binary", false, 3, {"5", SEDQ_OBJECT::ERROR_NONE}},
        {"binary too wide", "101", "Binary", false, 2, {"", SEDQ_OBJECT::ERROR_VALUE_OVER_WIDTH}},
        {"ascii", "AB", "8-bit ASCII", false, 16, {"16706", SEDQ_OBJECT::ERROR_NONE}},
        {"ascii punctuation", "a_ ~", "8-bit ASCII", false, 32, {"1633624190", SEDQ_OBJECT::ERROR_NONE}},
        {"ascii control", "A\tB", "8-bit ASCII", false, 24, {"", SEDQ_OBJECT::ERROR_INVALID_BUS_VALUE}},
        {"leading blank", " 5", "Decimal", false, 8, {"", SEDQ_OBJECT::ERROR_INVALID_BUS_VALUE}},
        {"plus sign", "+5", "Decimal", false, 8, {"", SEDQ_OBJECT::ERROR_INVALID_BUS_VALUE}},
        {"zero width", "0", "Decimal", false, 0, {"0", SEDQ_OBJECT::ERROR_NONE}},
        {"empty", "", "Decimal", false, 8, {"", SEDQ_OBJECT::ERROR_NONE}},
    };
    for (const ROW& row : rows)
    {
        sedq_object_tree tree;
        SEDQ_OBJECT* compare = tree.add(SEDQ_OBJECT::COMPARISON_OPERATOR);
        compare->set_signed_comparison_type(row.under_signed ? SEDQ_OBJECT::SIGNED_COMPARISON
                                                             : SEDQ_OBJECT::UNSIGNED_COMPARISON);
        SEDQ_OBJECT* value =
            tree.add_value(QString::fromLatin1(row.text), QString::fromLatin1(row.radix), compare);
        EXPECT_EQ(convert(value, row.width), row.expected) << row.name;
    }
}

TEST(sedq_object_value, display_text_carries_the_radix_mark_unless_a_table_names_it)
{
    struct ROW
    {
        const char* text;
        const char* radix;
        const char* table;
        const char* shown;
    };
    const ROW rows[] = {
        {"1F", "Hexadecimal", "", "1Fh"},    {"17", "Octal", "", "17o"},  {"101", "Binary", "", "101b"},
        {"AB", "8-bit ASCII", "", "\"AB\""}, {"12", "Decimal", "", "12"}, {"GO", "Binary", "ops", "GO"},
        {"", "Hexadecimal", "", ""},
    };
    sedq_object_tree tree;
    for (const ROW& row : rows)
    {
        SEDQ_OBJECT* value = tree.add_value(QString::fromLatin1(row.text), QString::fromLatin1(row.radix));
        value->get_property().set(SEDQ_PROPERTY::MNEMONIC_TABLE, QString::fromLatin1(row.table));
        EXPECT_EQ(value->get_bus_value(-1, nullptr, nullptr, nullptr).toStdString(), row.shown) << row.text;
    }
}

TEST(sedq_object_value, mnemonic_symbols_convert_through_their_table)
{
    SDR_DATA_MNEMONICS mnemonics;
    SDR_DATA_MNEMONICS_TABLE* table = mnemonics.create_table("ops", 4);
    ASSERT_NE(table, nullptr);
    ASSERT_TRUE(table->add_entry("GO", "0101"));
    struct ROW
    {
        const char* symbol;
        const char* table;
        bool with_tables;
        CONVERTED expected;
    };
    const ROW rows[] = {
        {"GO", "ops", true, {"5", SEDQ_OBJECT::ERROR_NONE}},
        {"STOP", "ops", true, {"", SEDQ_OBJECT::ERROR_INVALID_MNEMONIC_SYMBOL}},
        {"GO", "other", true, {"", SEDQ_OBJECT::ERROR_INVALID_MNEMONIC_TABLE}},
        {"GO", "ops", false, {"", SEDQ_OBJECT::ERROR_INVALID_BUS_VALUE}},
    };
    sedq_object_tree tree;
    for (const ROW& row : rows)
    {
        SEDQ_OBJECT* value = tree.add_value(QString::fromLatin1(row.symbol), QStringLiteral("Binary"));
        value->get_property().set(SEDQ_PROPERTY::MNEMONIC_TABLE, QString::fromLatin1(row.table));
        EXPECT_EQ(convert(value, 4, row.with_tables ? &mnemonics : nullptr), row.expected)
            << row.symbol << row.table;
    }
}

TEST(sedq_object_value, counter_width_is_the_bit_length_of_the_maximum)
{
    struct ROW
    {
        int max;
        const char* width;
    };
    const ROW rows[] = {
        {255, "8"},      {256, "9"},         {0, "1"},           {1, "1"}, {2, "2"}, {(1 << 29) - 1, "29"},
        {1 << 29, "30"}, {0x7ffffffe, "31"}, {0x7fffffff, "31"}, {-5, "1"}};
    sedq_object_tree tree;
    for (const ROW& row : rows)
    {
        SEDQ_OBJECT* counter = tree.add(SEDQ_OBJECT::COUNTER_OPERATOR);
        counter->get_property().set(SEDQ_PROPERTY::MAX_COUNTER_VALUE, row.max);
        EXPECT_EQ(counter->get_counter_width().toStdString(), row.width) << row.max;
    }
}

TEST(sedq_object_value, counter_value_is_clamped_with_the_last_problem_reported)
{
    struct ROW
    {
        const char* value;
        int max;
        CONVERTED expected;
    };
    const ROW rows[] = {
        {"", 255, {"", SEDQ_OBJECT::ERROR_NONE}},
        {"5", 255, {"5", SEDQ_OBJECT::ERROR_NONE}},
        {"300", 255, {"255", SEDQ_OBJECT::ERROR_COUNTER_VALUE_OVER_MAX}},
        {"0", 255, {"1", SEDQ_OBJECT::ERROR_INVALID_COUNTER_VALUE}},
        {"-3", 10, {"1", SEDQ_OBJECT::ERROR_INVALID_COUNTER_VALUE}},
        {"1", 0, {"1", SEDQ_OBJECT::ERROR_INVALID_MAX_COUNTER_VALUE}},
        {"5", 0, {"1", SEDQ_OBJECT::ERROR_COUNTER_VALUE_OVER_MAX}},
    };
    sedq_object_tree tree;
    for (const ROW& row : rows)
    {
        SEDQ_OBJECT* counter = tree.add(SEDQ_OBJECT::COUNTER_OPERATOR);
        SEDQ_PROPERTY& bag = counter->get_property();
        bag.set(SEDQ_PROPERTY::MAX_COUNTER_VALUE, row.max);
        bag.set_setting_text(SEDQ_PROPERTY::COUNTER_VALUE, QString::fromLatin1(row.value),
                             SEDQ_PROPERTY::BY_CONTEXT);
        ERROR error = SEDQ_OBJECT::ERROR_NONE;
        SEDQ_OBJECT* culprit = nullptr;
        const CONVERTED got{counter->get_counter_value(&error, &culprit).toStdString(), error};
        EXPECT_EQ(got, row.expected) << row.value << " of " << row.max;
        EXPECT_EQ(counter->get_counter_value(nullptr, nullptr).toStdString(), row.expected.text);
    }
}

TEST(sedq_object_value, counter_and_shift_words)
{
    sedq_object_tree tree;
    SEDQ_OBJECT* counter = tree.add(SEDQ_OBJECT::COUNTER_OPERATOR);
    EXPECT_EQ(counter->get_counter_type(), QStringLiteral("e"));
    EXPECT_EQ(counter->get_counter_hold(), QStringLiteral("1"));
    counter->set_type(QStringLiteral("State Counter"));
    counter->get_property().set(SEDQ_PROPERTY::COUNTER_HOLD, 1);
    EXPECT_EQ(counter->get_counter_type(), QStringLiteral("s"));
    EXPECT_EQ(counter->get_counter_hold(), QStringLiteral("0"));

    SEDQ_OBJECT* shift = tree.add(SEDQ_OBJECT::SHIFT_OPERATOR);
    EXPECT_EQ(shift->get_shift_distance(), QStringLiteral("0")) << "blank";
    shift->get_property().set(SEDQ_PROPERTY::SHIFT_TYPE, SEDQ_OBJECT::SHIFT_ARITHMETIC);
    shift->get_property().set(SEDQ_PROPERTY::SHIFT_DIRECTION, SEDQ_OBJECT::SHIFT_RIGHT);
    shift->get_property().set(SEDQ_PROPERTY::SHIFT_DISTANCE, 12);
    EXPECT_EQ(shift->get_shift_type(), QStringLiteral("arithmetic"));
    EXPECT_EQ(shift->get_shift_direction(), QStringLiteral("right"));
    EXPECT_EQ(shift->get_shift_distance(), QStringLiteral("12")) << "input width unknown";
    tree.add_bus(8, shift);
    EXPECT_EQ(shift->get_shift_distance(), QStringLiteral("8")) << "no further than the input is wide";
}

TEST(sedq_object_value, shifter_model_within_the_width)
{
    struct ROW
    {
        const char* name;
        unsigned long long value;
        int width;
        SEDQ_OBJECT::SEDQ_SHIFT_TYPE type;
        int direction;
        int distance;
        unsigned long long expected;
    };
    const unsigned long long top = 1ull << 63;
    const ROW rows[] = {
        {"rotate left", 0b1001, 4, SEDQ_OBJECT::SHIFT_ROTATE, SEDQ_OBJECT::SHIFT_LEFT, 1, 0b0011},
        {"arithmetic right", 0b1000, 4, SEDQ_OBJECT::SHIFT_ARITHMETIC, SEDQ_OBJECT::SHIFT_RIGHT, 2, 0b1110},
        {"arithmetic right positive", 0b0100, 4, SEDQ_OBJECT::SHIFT_ARITHMETIC, SEDQ_OBJECT::SHIFT_RIGHT, 2,
         0b0001},
        {"rotate right past the width", 0b0001, 4, SEDQ_OBJECT::SHIFT_ROTATE, SEDQ_OBJECT::SHIFT_RIGHT, 5,
         0b1000},
        {"logical left drops high bits", 0b0011, 4, SEDQ_OBJECT::SHIFT_LOGICAL, SEDQ_OBJECT::SHIFT_LEFT, 3,
         0b1000},
        {"value masked first", 0xff, 4, SEDQ_OBJECT::SHIFT_LOGICAL, SEDQ_OBJECT::SHIFT_RIGHT, 1, 0b0111},
        {"logical left by the width", 0b0101, 4, SEDQ_OBJECT::SHIFT_LOGICAL, SEDQ_OBJECT::SHIFT_LEFT, 4, 0},
        {"64 bits left by 64", ~0ull, 64, SEDQ_OBJECT::SHIFT_LOGICAL, SEDQ_OBJECT::SHIFT_LEFT, 64, 0},
        {"64 bits right by 64", ~0ull, 64, SEDQ_OBJECT::SHIFT_LOGICAL, SEDQ_OBJECT::SHIFT_RIGHT, 64, 0},
        {"64 bits arithmetic by 64, negative", top, 64, SEDQ_OBJECT::SHIFT_ARITHMETIC,
         SEDQ_OBJECT::SHIFT_RIGHT, 64, ~0ull},
        {"64 bits arithmetic by 70, positive", top - 1, 64, SEDQ_OBJECT::SHIFT_ARITHMETIC,
         SEDQ_OBJECT::SHIFT_RIGHT, 70, 0},
        {"64 bits rotate left", top | 1, 64, SEDQ_OBJECT::SHIFT_ROTATE, SEDQ_OBJECT::SHIFT_LEFT, 1, 0b11},
        {"no width", 0b1, 0, SEDQ_OBJECT::SHIFT_LOGICAL, SEDQ_OBJECT::SHIFT_LEFT, 1, 0},
        {"other direction", 0b1010, 4, SEDQ_OBJECT::SHIFT_LOGICAL, 2, 1, 0b1010},
    };
    for (const ROW& row : rows)
        EXPECT_EQ(SEDQ_OBJECT::lpm_clshift_model(row.value, row.width, row.type,
                                                 SEDQ_OBJECT::SEDQ_SHIFT_DIRECTION_TYPE(row.direction),
                                                 row.distance),
                  row.expected)
            << row.name;
}

TEST(sedq_object_value, a_shifted_decimal_constant_folds_at_a_known_width_only)
{
    struct ROW
    {
        const char* name;
        const char* text;
        const char* radix;
        int consumer_width; // 0: the shift feeds nothing
        bool fixed;
        const char* folded; // null: not folded
    };
    const ROW rows[] = {
        {"variable", "3", "Decimal", 4, false, "variable(12)"},
        {"fixed", "3", "Decimal", 4, true, "constant(12)"},
        {"empty counts as zero", "", "Decimal", 4, false, "variable(0)"},
        {"bits shifted out", "6", "Decimal", 3, false, "variable(0)"},
        {"hexadecimal does not fold", "3", "Hexadecimal", 4, false, nullptr},
        {"undetermined width", "3", "Decimal", 0, false, nullptr},
    };
    for (const ROW& row : rows)
    {
        sedq_object_tree tree;
        SEDQ_OBJECT* compare = tree.add(SEDQ_OBJECT::COMPARISON_OPERATOR);
        SEDQ_OBJECT* shift =
            tree.add(SEDQ_OBJECT::SHIFT_OPERATOR, row.consumer_width > 0 ? compare : nullptr);
        shift->set_type(QStringLiteral("Left Shift"));
        shift->get_property().set(SEDQ_PROPERTY::SHIFT_DISTANCE, 2);
        SEDQ_OBJECT* value =
            tree.add_value(QString::fromLatin1(row.text), QString::fromLatin1(row.radix), shift);
        value->get_property().set(SEDQ_PROPERTY::CONFIGURABLE, row.fixed ? 1 : 0);
        if (row.consumer_width > 0)
            tree.add_bus(row.consumer_width, compare);
        QString out = QStringLiteral("x");
        const bool folded = shift->input_numerical_value_rolling_of_shift_operator(
            &out, nullptr, nullptr, nullptr, nullptr, 1, true, value);
        EXPECT_EQ(folded, row.folded != nullptr) << row.name;
        EXPECT_EQ(out.toStdString(), std::string("x") + (row.folded ? row.folded : "")) << row.name;
    }
}
