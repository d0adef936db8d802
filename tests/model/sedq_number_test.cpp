// Bus values: display conversions, parsing, widths, buffer limits, checked against GMP.
#include "sedq/model/sedq_bus.h"
#include "sedq/model/sedq_number.h"

#include "host/standin/msg_control.h"

#include <QString>
#include <gmp.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace
{
const int WIDTHS[] = {1, 3, 4, 8, 31, 32, 33, 63, 64, 65, 100, 192, 193, 256, 257, 1000, 4096};

SDR_DATA_GROUP_DISPLAY_TYPE radix_of(int radix) { return static_cast<SDR_DATA_GROUP_DISPLAY_TYPE>(radix); }

std::string display(std::string const& bits, int radix, bool lsb_to_msb = false)
{
    QString text = QString::fromStdString(bits);
    return SEDQ_NUMBER(text).get_display_string(radix_of(radix), 0, lsb_to_msb);
}

std::string trigger(std::string const& typed, int radix, int width, bool lsb_to_msb = false)
{
    QString text = QString::fromStdString(typed);
    return SEDQ_NUMBER(text).get_trigger_string(radix_of(radix), width, lsb_to_msb);
}

int needed(std::string const& typed, int radix)
{
    QString text = QString::fromStdString(typed);
    return SEDQ_NUMBER(text).get_trigger_string_width(radix_of(radix));
}

std::string random_bits(std::mt19937_64& random, int width)
{
    std::string bits(size_t(width), '0');
    for (char& bit : bits)
        bit = random() & 1 ? '1' : '0';
    return bits;
}

// GMP's decimal text of a bit string read as unsigned, two's complement or sign and magnitude.
std::string gmp_decimal(std::string const& bits, int radix)
{
    mpz_t value, bound;
    mpz_inits(value, bound, nullptr);
    mpz_set_str(value, bits.c_str(), 2);
    bool sign = bits[0] == '1' && radix != 4;
    if (sign && radix == 2)
    {
        mpz_ui_pow_ui(bound, 2, bits.size());
        mpz_sub(value, value, bound);
    }
    if (sign && radix == 3)
        mpz_set_str(value, bits.size() > 1 ? bits.c_str() + 1 : "0", 2);
    std::vector<char> text(mpz_sizeinbase(value, 10) + 2);
    mpz_get_str(text.data(), 10, value);
    std::string result = (sign && radix == 3 ? "-" : "") + std::string(text.data());
    mpz_clears(value, bound, nullptr);
    return result;
}

std::string gmp_convert(std::string const& text, int from_base, int to_base)
{
    mpz_t value;
    mpz_init_set_str(value, text.c_str(), from_base);
    std::vector<char> out(mpz_sizeinbase(value, to_base) + 2);
    mpz_get_str(out.data(), to_base, value);
    mpz_clear(value);
    std::string result(out.data());
    std::transform(result.begin(), result.end(), result.begin(), ::toupper);
    return result;
}
} // namespace

TEST(sedq_number_display, four_bit_1010_in_every_radix)
{
    const struct
    {
        int radix;
        const char* expected;
    } rows[] = {{1, "1010"}, {4, "10"}, {3, "-2"}, {2, "-6"}, {5, "A"}, {6, "12"}, {0, "A"}, {12, "A"}, {9, "A"}};
    for (const auto& row : rows)
        EXPECT_EQ(display("1010", row.radix), row.expected) << "radix " << row.radix;
}

// Octal goes eight digits at a time: every width around those groups (and the widest) against
// GMP's digits, padded to the width's digits; a value with an "X" goes digit by digit.
TEST(sedq_number_display, octal_matches_gmp_at_every_width)
{
    std::mt19937_64 random(11);
    std::vector<int> widths;
    for (int width = 1; width <= 200; ++width)
        widths.push_back(width);
    widths.insert(widths.end(), {1000, 4095, 4096});
    for (int width : widths)
    {
        const std::string bits = random_bits(random, width);
        mpz_t value;
        mpz_init_set_str(value, bits.c_str(), 2);
        std::string expected(size_t(mpz_sizeinbase(value, 8)) + 2, '\0');
        mpz_get_str(&expected[0], 8, value);
        expected.resize(std::strlen(expected.c_str()));
        mpz_clear(value);
        expected.insert(0, size_t((width + 2) / 3) - expected.size(), '0');
        EXPECT_EQ(display(bits, 6), expected) << "width " << width;
    }
    EXPECT_EQ(display("101" + std::string(47, '1') + "X", 6), "5" + std::string(15, '7') + "X");
}

TEST(sedq_number_display, sign_rules_and_edge_widths)
{
    const struct
    {
        const char* bits;
        int radix;
        const char* expected;
    } rows[] = {{"1000", 3, "-0"}, {"1111", 2, "-1"}, {"1", 2, "-1"},   {"0", 2, "0"},         {"1", 3, "-0"},
                {"", 4, "0"},      {"", 2, "0"},     {"", 5, "0"},      {"", 1, ""},           {"10000000", 2, "-128"},
                {"0111", 2, "7"},  {"1X0R", 4, "8"}, {"1X0R", 1, "1X0R"}, {"0001101X", 5, "1X"}, {"X0011010", 5, "1A"},
                {"0001101x", 5, "1A"}, {"X0011010", 6, "032"}, {"11X010", 6, "X2"}};
    for (const auto& row : rows)
        EXPECT_EQ(display(row.bits, row.radix), row.expected) << row.bits << " radix " << row.radix;
}

TEST(sedq_number_display, symbols_and_bit_order)
{
    EXPECT_EQ(display("0001", 4, true), "8");
    EXPECT_EQ(display("0001", 1, true), "1000");
    EXPECT_EQ(display("X1100000", 5, true), "0X");
    QString text("110R");
    SEDQ_NUMBER number(text);
    EXPECT_STREQ(number.bin_to_string(true, 2), "0Rb");
    number.set_lsb_to_msb(true);
    EXPECT_STREQ(number.bin_to_string(false, 3), "011");
    EXPECT_STREQ(number.hex_to_string(true), "3h");
    EXPECT_STREQ(number.octal_to_string(true), "03o");
    EXPECT_STREQ(number.ascii_to_string(true), "\" \"");
    // The text form gets no "X" padding; a non-printable symbol never ends the text early.
    EXPECT_STREQ(number.bin_to_string(false, 9), "R011");
    QString odd = QString("1") + QChar(0) + QChar(0x00E9) + "0";
    EXPECT_STREQ(SEDQ_NUMBER(odd).bin_to_string(false, -1), "1??0");
}

TEST(sedq_number_display, ascii_shows_blanks_outside_printable_range)
{
    const struct
    {
        const char* bits;
        const char* expected;
    } rows[] = {{"01000001", "A"},
                {"0100000101111110", "A~"},
                {"0001111101111111", "  "},
                {"1000000011111111", "  "},
                {"00100000", " "},
                {"101000001", " A"}};
    for (const auto& row : rows)
        EXPECT_EQ(display(row.bits, 7), row.expected) << row.bits;
}

TEST(sedq_number_display, float_patterns)
{
    const struct
    {
        std::string bits;
        const char* expected;
    } rows[] = {{"00111111110000000000000000000000", "1.5"},
                {"10111111110000000000000000000000", "-1.5"},
                {"0011111111111000" + std::string(48, '0'), "1.5"},
                {"01111111100000000000000000000000", "inf"},
                {std::string(32, '0'), "0"},
                {"01000000010010010000111111011011", "3.14159274"}};
    for (const auto& row : rows)
        EXPECT_EQ(display(row.bits, 13), row.expected) << row.bits;
    EXPECT_EQ(trigger("1.5", 13, 32), rows[0].bits);
    EXPECT_EQ(trigger("-1.5", 14, 64), "1011111111111000" + std::string(48, '0'));
    EXPECT_EQ(trigger("not a number", 13, 32), std::string(32, '0'));
}

TEST(sedq_number_display, wide_decimal_values_are_exact)
{
    EXPECT_EQ(display(std::string(100, '1'), 4), "1267650600228229401496703205375");
    std::string power = "1" + std::string(4095, '0');
    std::string digits = display(power, 4);
    EXPECT_EQ(digits.size(), 1233u);
    EXPECT_EQ(digits, gmp_decimal(power, 4));
    EXPECT_EQ(display(std::string(4096, '1'), 2), "-1");
    EXPECT_EQ(display(power, 2), "-" + digits);
}

// The decimal conversion divides in sweeps of several passes at once; values with 19-digit
// chunks of zeros at the top or in the middle, and one either side of them, at their own
// width and at the widest.
TEST(sedq_number_display, decimal_chunks_of_zeros_match_gmp)
{
    for (int exponent : {1, 18, 19, 20, 37, 38, 39, 57, 76, 95, 114, 133, 608, 1216, 1232})
        for (int offset : {-1, 0, 1})
        {
            mpz_t value;
            mpz_init(value);
            mpz_ui_pow_ui(value, 10, unsigned(exponent));
            offset < 0 ? mpz_sub_ui(value, value, 1) : mpz_add_ui(value, value, unsigned(offset));
            std::vector<char> text(mpz_sizeinbase(value, 2) + 2);
            std::string bits = mpz_get_str(text.data(), 2, value);
            mpz_clear(value);
            for (size_t width : {bits.size(), size_t(4096)})
            {
                std::string padded = std::string(width - bits.size(), '0') + bits;
                ASSERT_EQ(display(padded, 4), gmp_decimal(padded, 4)) << "10^" << exponent << " + " << offset;
            }
        }
}

TEST(sedq_number_display, random_values_match_gmp_in_every_decimal_radix_and_hex)
{
    std::mt19937_64 random(4);
    for (int width : WIDTHS)
        for (int round = 0; round < 20; ++round)
        {
            std::string bits = random_bits(random, width);
            if (round == 0)
                bits.assign(size_t(width), '1');
            for (int radix : {2, 3, 4})
                ASSERT_EQ(display(bits, radix), gmp_decimal(bits, radix)) << "width " << width << " radix " << radix;
            std::string hex = gmp_convert(bits, 2, 16);
            ASSERT_EQ(display(bits, 5), std::string(size_t((width + 3) / 4) - hex.size(), '0') + hex) << width;
        }
}

TEST(sedq_number_values, thirty_two_bit_reads)
{
    const struct
    {
        std::string bits;
        unsigned int uint_value;
        int int_value;
        int twos_value;
    } rows[] = {{std::string(32, '1'), 4294967295u, -2147483647, -1},
                {"1010", 10, -2, -6},
                {"0111", 7, 7, 7},
                {"", 0, 0, 0},
                {"1", 1, 0, -1},
                // Wider values keep their last 32 bits; the sign is bit (width - 1) mod 32 of those.
                {"11" + std::string(30, '0') + "1", 0x80000001u, -2147483647 - 1, 2147483647},
                {"1X0R", 8, 0, -8}};
    for (const auto& row : rows)
    {
        QString text = QString::fromStdString(row.bits);
        SEDQ_NUMBER number(text);
        EXPECT_EQ(number.get_uint_value(), row.uint_value) << row.bits;
        EXPECT_EQ(number.get_int_value(), row.int_value) << row.bits;
        EXPECT_EQ(number.get_twos_value(), row.twos_value) << row.bits;
    }
}

TEST(sedq_number_parse, typed_values_to_exact_widths)
{
    const struct
    {
        const char* name;
        const char* typed;
        int radix;
        int width;
        const char* expected;
    } rows[] = {{"hex lower case", "1f", 5, 8, "00011111"},
                {"hex unknown skipped", "1g", 5, 4, "0001"},
                {"hex don't care", "x1", 5, 8, "XXXX0001"},
                {"hex pads X digits too", "X", 5, 6, "00XXXX"},
                {"octal 8 skipped", "8", 6, 3, "000"},
                {"octal", "7x", 6, 6, "111XXX"},
                {"sign magnitude -3", "-3", 3, 4, "1011"},
                {"twos -3", "-3", 2, 4, "1101"},
                {"twos -8 exact", "-8", 2, 4, "1000"},
                {"twos -1", "-1", 2, 1, "1"},
                {"twos minus zero is zero", "-0", 2, 4, "0000"},
                {"twos positive", "5", 2, 4, "0101"},
                {"unsigned", "5", 4, 8, "00000101"},
                {"unsigned cut", "5", 4, 2, "01"},
                {"unsigned leading zeros", "0007", 4, 3, "111"},
                {"binary as typed", "1X0R", 1, 6, "001X0R"},
                {"ascii skips controls", "\tA\x7f", 7, 8, "01000001"},
                {"width 0", "5", 4, 0, ""},
                {"negative width", "5", 4, -3, ""}};
    for (const auto& row : rows)
        EXPECT_EQ(trigger(row.typed, row.radix, row.width), row.expected) << row.name;
    EXPECT_EQ(trigger("5", 4, 8, true), "10100000");
}

TEST(sedq_number_parse, raw_parsers_keep_their_natural_length)
{
    QString hex("1g"), octal("8"), empty(""), zero("0"), minus("-");
    EXPECT_STREQ(SEDQ_NUMBER(hex).string_to_hex(), "0001");
    EXPECT_STREQ(SEDQ_NUMBER(octal).string_to_octal(), "");
    EXPECT_STREQ(SEDQ_NUMBER(empty).string_to_uint(), "");
    EXPECT_STREQ(SEDQ_NUMBER(zero).string_to_uint(), "0");
    EXPECT_STREQ(SEDQ_NUMBER(minus).string_to_uint(), "0");
    EXPECT_STREQ(SEDQ_NUMBER(minus).string_to_twos(4), "0");
    EXPECT_STREQ(SEDQ_NUMBER(zero).string_to_float(), std::string(32, '0').c_str());
    EXPECT_EQ(std::strlen(SEDQ_NUMBER(zero).string_to_double()), 64u);
}

TEST(sedq_number_parse, round_trips_in_every_radix_and_width)
{
    std::mt19937_64 random(7);
    for (int width : WIDTHS)
        for (bool lsb_to_msb : {false, true})
            for (int round = 0; round < 6; ++round)
            {
                std::string bits = random_bits(random, width);
                for (int radix : {1, 2, 3, 4, 5, 6})
                {
                    // A lone sign bit in sign and magnitude is "-0", which reads back as 0.
                    if (radix == 3 && width == 1)
                        continue;
                    std::string text = display(bits, radix, lsb_to_msb);
                    ASSERT_EQ(trigger(text, radix, width, lsb_to_msb), bits)
                        << "width " << width << " radix " << radix << " lsb " << lsb_to_msb << " text " << text;
                }
            }
}

TEST(sedq_number_parse, ascii_and_float_round_trips)
{
    std::mt19937_64 random(9);
    for (int width : {8, 64, 4096})
    {
        std::string bits;
        for (int c = 0; c < width / 8; ++c)
            for (int k = 7, code = 0x20 + int(random() % 95); k >= 0; --k)
                bits += (code >> k) & 1 ? '1' : '0';
        EXPECT_EQ(trigger(display(bits, 7), 7, width), bits) << width;
    }
    for (int round = 0; round < 200; ++round)
    {
        std::string single = random_bits(random, 32), wide = random_bits(random, 64);
        // NaN texts carry no payload, so only numbers come back bit for bit.
        std::string single_text = display(single, 13), wide_text = display(wide, 14);
        if (single_text.find("nan") == std::string::npos)
        {
            ASSERT_EQ(trigger(single_text, 13, 32), single) << single_text;
        }
        if (wide_text.find("nan") == std::string::npos)
        {
            ASSERT_EQ(trigger(wide_text, 14, 64), wide) << wide_text;
        }
    }
}

TEST(sedq_number_parse, random_decimal_texts_match_gmp)
{
    std::mt19937_64 random(11);
    for (int digits : {1, 18, 19, 20, 38, 39, 40, 300, 1233})
        for (int round = 0; round < 10; ++round)
        {
            std::string typed(size_t(digits), '0');
            for (char& digit : typed)
                digit = char('0' + random() % 10);
            std::string expected = gmp_convert(typed, 10, 2);
            QString text = QString::fromStdString(typed);
            EXPECT_EQ(std::string(SEDQ_NUMBER(text).string_to_uint()), expected) << typed;
            EXPECT_EQ(needed(typed, 4), int(expected.size())) << typed;
        }
}

// Typed decimal and octal at the edges: digit runs broken by other characters at every offset
// (the parser reads runs of four and eight digits at once), leading zeros, the largest value of
// the widest bus and one past it (whose low bits are kept).
TEST(sedq_number_parse, decimal_and_octal_edges)
{
    const std::string largest = gmp_convert(std::string(4096, '1'), 2, 10);
    const std::string one_past = gmp_convert("1" + std::string(4096, '0'), 2, 10);
    const struct
    {
        const char* name;
        std::string typed;
        int radix;
        std::string expected;
    } rows[] = {
        {"leading zeros", "00000000000000000000000123", 4, "1111011"},
        {"only zeros", "0000000000000000000000000", 4, "0"},
        {"minus and a run", "-1234567890123456789", 4, gmp_convert("1234567890123456789", 10, 2)},
        {"breaks at every offset", "1_2345_67890,1234567 12345678.9", 4,
         gmp_convert("12345678901234567123456789", 10, 2)},
        {"a run of nineteen then one", "12345678901234567890", 4, gmp_convert("12345678901234567890", 10, 2)},
        {"largest", largest, 4, std::string(4096, '1')},
        {"one past the largest", one_past, 4, std::string(4096, '0')},
        {"octal leading zeros", "0017", 6, "000000001111"},
        {"octal largest", "1" + std::string(1365, '7'), 6, std::string(4096, '1')},
        {"octal one past the largest", "2" + std::string(1365, '0'), 6, std::string(4096, '0')},
    };
    for (const auto& row : rows)
    {
        QString text = QString::fromStdString(row.typed);
        SEDQ_NUMBER number(text);
        EXPECT_EQ(std::string(row.radix == 4 ? number.string_to_uint() : number.string_to_octal()), row.expected)
            << row.name;
    }
}

TEST(sedq_number_width, needed_bits_per_radix)
{
    const struct
    {
        const char* typed;
        int radix;
        int expected;
    } rows[] = {{"", 4, 0},      {"0011", 1, 2},  {"0000", 1, 0},  {"0F", 5, 4},  {"00", 5, 0},    {"x", 5, 4},
                {"0X", 6, 3},    {"17", 6, 4},    {"-5", 3, 4},    {"-5", 2, 4},  {"1.5", 13, 32}, {"1.5", 14, 64},
                {"AB", 7, 16},   {"7", 2, 4},     {"-8", 2, 4},    {"-8", 3, 5},  {"8", 4, 4},     {"0", 4, 1},
                {"0", 2, 1},     {"-1", 2, 1},    {"-0", 2, 1},    {"7", 3, 4},   {"-4", 2, 3},    {"-9", 2, 5},
                {"18446744073709551616", 4, 65}, {"-18446744073709551616", 2, 65}, {"-18446744073709551617", 2, 66}};
    for (const auto& row : rows)
        EXPECT_EQ(needed(row.typed, row.radix), row.expected) << row.typed << " radix " << row.radix;
}

TEST(sedq_number_input, valid_characters_per_radix)
{
    std::string printable;
    for (int c = 0x20; c <= 0x7E; ++c)
        printable += char(c);
    const struct
    {
        int radix;
        std::string expected;
    } rows[] = {{0, printable},
                {1, "01XLFRHExlfrhe"},
                {2, "-0123456789"},
                {3, "-0123456789"},
                {4, "0123456789"},
                {5, "0123456789ABCDEFabcdefXx"},
                {6, "01234567Xx"},
                {7, printable},
                {8, ""},
                {11, ""},
                {12, printable},
                {13, "-0123456789.eE"},
                {14, "-0123456789.eE"},
                {15, ""}};
    for (const auto& row : rows)
        EXPECT_EQ(SEDQ_NUMBER::get_valid_characters(radix_of(row.radix)).toStdString(), row.expected)
            << "radix " << row.radix;
}

TEST(sedq_number_limits, results_never_pass_the_buffer)
{
    const struct
    {
        const char* name;
        std::string typed;
        int radix;
        int needed;
    } rows[] = {{"hex", std::string(4096, 'F'), 5, 16384},
                {"hex X", std::string(4096, 'x'), 5, 16384},
                {"octal", std::string(4096, '7'), 6, 12288},
                {"ascii", std::string(4096, 'A'), 7, 32768},
                {"decimal", std::string(4096, '9'), 4, 13607}};
    for (const auto& row : rows)
    {
        QString text = QString::fromStdString(row.typed);
        SEDQ_NUMBER number(text);
        EXPECT_EQ(number.get_trigger_string_width(radix_of(row.radix)), row.needed) << row.name;
        EXPECT_EQ(std::strlen(number.get_trigger_string(radix_of(row.radix), 5000, false)), 4096u) << row.name;
    }
    // Capped values keep their least significant bits: 10^4096 - 1 ends in ...11111111.
    QString nines = QString(4096, QChar('9'));
    std::string low = gmp_convert(nines.toStdString(), 10, 2);
    EXPECT_EQ(std::string(SEDQ_NUMBER(nines).string_to_uint()), low.substr(low.size() - 4096));
    QString octal = QString(4096, QChar('7'));
    EXPECT_EQ(std::string(SEDQ_NUMBER(octal).string_to_octal()), std::string(4096, '1'));
    QString all_ones = QString(4096, QChar('1'));
    EXPECT_EQ(std::strlen(SEDQ_NUMBER(all_ones).bin_to_string(true, -1)), 4097u);
}

TEST(sedq_number_limits, wider_texts_and_buses_are_reported_and_clamped)
{
    QString text = QString(5000, QChar('1'));
    SEDQ_NUMBER number(text);
    EXPECT_EQ(number.get_width(), 4096);
    EXPECT_EQ(std::strlen(number.get_display_string(SDR_GTYPE_BINARY, 0, false)), 4096u);
    EXPECT_STREQ(number.get_display_string(SDR_GTYPE_TWOS_COMPLEMENT, 0, false), "-1");
    SEDQ_BUS bus(4100, 2);
    bus.get_row(4099)[1] = true;
    SEDQ_NUMBER sample(bus, 1);
    EXPECT_EQ(sample.get_width(), 4096);
    EXPECT_EQ(std::strlen(sample.bin_to_string(true, 100000)), 4097u);
    const auto& errors = standin::msg::internal_errors();
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_EQ(errors[0].expression, "this->m_width <= MAX_BUS_WIDTH");
    EXPECT_EQ(errors[0].module, "SEDQ");
    EXPECT_EQ(errors[0].file, "sld/sedq/model/sedq_number.cpp");
}

namespace
{
// Edge widths of gathering a bus sample eight rows and 64 rows at a time.
const int BUS_WIDTHS[] = {1, 7, 8, 9, 15, 16, 17, 63, 64, 65, 127, 128, 129, 255, 256, 257, 1000, 4095, 4096};

// Writes a value (symbol i on row i) at one sample of the bus. Any non-zero byte is a one, so
// the ones are written as a different byte from row to row.
void write_sample(SEDQ_BUS const& bus, int sample, std::string const& bits)
{
    const unsigned char ONE_BYTES[] = {0x01, 0x80, 0xFF, 0x7F, 0x02, 0x40, 0x10, 0xFE, 0x01};
    for (int row = 0; row < bus.get_nitems(); ++row)
        reinterpret_cast<unsigned char*>(bus.get_row(row))[sample] = bits[size_t(row)] == '1' ? ONE_BYTES[row % 9] : 0;
}

std::string most_significant_first(std::string bits, bool lsb_to_msb)
{
    if (lsb_to_msb)
        std::reverse(bits.begin(), bits.end());
    return bits;
}
} // namespace

TEST(sedq_number_bus, samples_show_like_their_text_in_every_radix_width_and_bit_order)
{
    std::mt19937_64 random(13);
    for (int width : BUS_WIDTHS)
    {
        // Rows long enough to be laid out apart; neighbouring samples hold other values.
        SEDQ_BUS bus(width, 300);
        ASSERT_TRUE(bus.is_valid());
        const std::pair<int, std::string> samples[] = {
            {0, random_bits(random, width)}, {151, std::string(size_t(width), '1')}, {299, random_bits(random, width)}};
        for (const auto& [sample, bits] : samples)
            write_sample(bus, sample, bits);
        for (const auto& [sample, bits] : samples)
            for (int radix = 0; radix <= 15; ++radix)
                for (bool lsb_to_msb : {false, true})
                {
                    SEDQ_NUMBER number(bus, sample);
                    std::string from_bus = number.get_display_string(radix_of(radix), 0, lsb_to_msb);
                    ASSERT_EQ(from_bus, display(bits, radix, lsb_to_msb))
                        << "width " << width << " sample " << sample << " radix " << radix
                        << (lsb_to_msb ? " lsb first" : " msb first");
                }
    }
    EXPECT_TRUE(standin::msg::internal_errors().empty());
}

TEST(sedq_number_bus, samples_match_gmp_in_decimal_and_hexadecimal)
{
    std::mt19937_64 random(17);
    for (int width : BUS_WIDTHS)
    {
        SEDQ_BUS bus(width, 1);
        std::string bits = random_bits(random, width);
        write_sample(bus, 0, bits);
        for (bool lsb_to_msb : {false, true})
        {
            std::string value = most_significant_first(bits, lsb_to_msb);
            SEDQ_NUMBER number(bus, 0);
            for (int radix : {2, 3, 4})
                ASSERT_EQ(number.get_display_string(radix_of(radix), 0, lsb_to_msb), gmp_decimal(value, radix))
                    << "width " << width << " radix " << radix << " lsb first " << lsb_to_msb;
            std::string hex = gmp_convert(value, 2, 16);
            ASSERT_EQ(number.get_display_string(SDR_GTYPE_HEX, 0, lsb_to_msb),
                      std::string(size_t((width + 3) / 4) - hex.size(), '0') + hex)
                << "width " << width << " lsb first " << lsb_to_msb;
        }
    }
}

TEST(sedq_number_bus, binary_text_of_a_sample_keeps_its_width_and_padding)
{
    SEDQ_BUS bus(70, 2);
    std::string bits = "1" + std::string(68, '0') + "1";
    write_sample(bus, 1, bits);
    SEDQ_NUMBER number(bus, 1);
    EXPECT_EQ(std::string(number.bin_to_string(true, -1)), bits + "b");
    EXPECT_EQ(std::string(number.bin_to_string(false, 3)), "001");
    EXPECT_EQ(std::string(number.bin_to_string(false, 72)), "XX" + bits);
    number.set_lsb_to_msb(true);
    EXPECT_EQ(std::string(number.bin_to_string(true, 65)), std::string(bits.rbegin() + 5, bits.rend()) + "b");
}

TEST(sedq_number_values, thirty_two_bit_reads_ignore_the_bit_order)
{
    const struct
    {
        std::string bits;
        unsigned int uint_value;
        int int_value;
        int twos_value;
    } rows[] = {{"0001", 1, 1, 1},
                {"1000", 8, -0, -8},
                {"1110", 14, -6, -2},
                {"1" + std::string(32, '0') + "1", 1, 1, 1}};
    for (const auto& row : rows)
    {
        QString text = QString::fromStdString(row.bits);
        SEDQ_NUMBER number(text);
        number.get_display_string(SDR_GTYPE_BINARY, 0, true);
        ASSERT_TRUE(number.is_lsb_to_msb());
        EXPECT_EQ(number.get_uint_value(), row.uint_value) << row.bits;
        EXPECT_EQ(number.get_int_value(), row.int_value) << row.bits;
        EXPECT_EQ(number.get_twos_value(), row.twos_value) << row.bits;
    }
}

TEST(sedq_number_bus, samples_compare_by_their_bytes)
{
    SEDQ_BUS bus(2, 3);
    const unsigned char first_row[] = {1, 1, 2};
    std::memcpy(bus.get_row(0), first_row, sizeof first_row);
    std::memset(bus.get_row(1), 0, 3);
    EXPECT_TRUE(SEDQ_NUMBER(bus, 0) == SEDQ_NUMBER(bus, 1));
    // Both show as a one, but the sampled bytes differ.
    EXPECT_TRUE(SEDQ_NUMBER(bus, 0) != SEDQ_NUMBER(bus, 2));
    EXPECT_STREQ(SEDQ_NUMBER(bus, 2).bin_to_string(false, -1), "10");
    EXPECT_TRUE(standin::msg::internal_errors().empty());
}

TEST(sedq_number_bus, padding_comparison_and_sample_bounds)
{
    SEDQ_BUS bus(3, 4);
    const char* rows[] = {"1010", "0110", "1100"};
    for (int row = 0; row < 3; ++row)
        for (int s = 0; s < 4; ++s)
            bus.get_row(row)[s] = rows[row][s] == '1';
    SEDQ_NUMBER first(bus, -5), third(bus, 2), fourth(bus, 3);
    EXPECT_STREQ(first.bin_to_string(true, 5), "XX101b");
    EXPECT_TRUE(first == SEDQ_NUMBER(bus, 0));
    EXPECT_TRUE(first != third);
    EXPECT_FALSE(SEDQ_NUMBER(bus, 1) == fourth);
    EXPECT_TRUE(standin::msg::internal_errors().empty());
    SEDQ_NUMBER outside(bus, 4);
    EXPECT_EQ(outside.get_width(), 0);
    QString text("101");
    EXPECT_FALSE(first == SEDQ_NUMBER(text));
    const auto& errors = standin::msg::internal_errors();
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_EQ(errors[0].expression, "this->m_sample < bus.get_depth()");
    EXPECT_EQ(errors[1].expression, "sedq_number.m_data != NULL");
}

TEST(sedq_number_faults, assignment_copies_text_and_bit_order)
{
    QString long_text("0001"), short_text("1");
    SEDQ_NUMBER copy(short_text);
    SEDQ_NUMBER source(long_text);
    source.set_lsb_to_msb(true);
    copy = source;
    EXPECT_TRUE(copy.is_lsb_to_msb());
    EXPECT_STREQ(copy.uint_to_string(), "8");
}

TEST(sedq_number_faults, symbolic_radixes_show_hex_whatever_the_buffer_held)
{
    for (const char* previous : {"1010", "XXXX", "LLRR"})
        for (int radix : {0, 12})
        {
            QString last(previous), bits("0001101X");
            SEDQ_NUMBER(last).bin_to_string(false, -1);
            EXPECT_STREQ(SEDQ_NUMBER(bits).get_display_string(radix_of(radix), 0, false), "1X") << previous;
        }
}

TEST(sedq_number_digits, digit_string_helpers)
{
    char digits[16] = "99";
    increment_buffer(digits, 10);
    EXPECT_STREQ(digits, "001");
    std::strcpy(digits, "");
    increment_buffer(digits, 2);
    EXPECT_STREQ(digits, "1");
    std::strcpy(digits, "11");
    increment_buffer(digits, 2);
    EXPECT_STREQ(digits, "001");
    std::strcpy(digits, "57");
    double_buffer(digits, true);
    EXPECT_STREQ(digits, "151"); // 75 * 2 + 1
    std::strcpy(digits, "151");
    EXPECT_TRUE(halve_buffer(digits, false, true));
    EXPECT_STREQ(digits, "75");
    std::strcpy(digits, "1");
    EXPECT_TRUE(halve_buffer(digits, false, true));
    EXPECT_STREQ(digits, "");
    EXPECT_TRUE(halve_buffer(digits, true, true));
    std::strcpy(digits, "99");
    add_buffer(digits, "2");
    EXPECT_STREQ(digits, "101");
    std::strcpy(digits, "1");
    add_buffer(digits, "0001");
    EXPECT_STREQ(digits, "1001");
    std::string power(power_buffer(4095));
    std::reverse(power.begin(), power.end());
    EXPECT_EQ(power, gmp_decimal("1" + std::string(4095, '0'), 4));
    EXPECT_STREQ(power_buffer(10), "4201");
    EXPECT_STREQ(power_buffer(4096), "");
    EXPECT_EQ(standin::msg::internal_errors().size(), 1u);
}
