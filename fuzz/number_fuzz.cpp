// Fuzzes the bus value parsers and display conversions: every result must fit the shared
// buffer, typed values must come out at exactly the asked width in bit symbols, the fast
// decimal conversions must agree with the plain digit-string arithmetic and parse back to
// the value, and a bus sample must show exactly like the text of its bits.
//
// Input: byte 0 selects the radix, byte 1 flags (bit 0: least significant bit first, bit 1:
// text as UTF-16 units, else Latin-1), bytes 2-3 the width; the rest is the text.
#include "sedq/model/sedq_bus.h"
#include "sedq/model/sedq_number.h"

#include <QString>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

namespace
{
constexpr size_t LONGEST_RESULT = SEDQ_NUMBER::BUFFER_SIZE - 1;

void check(bool ok)
{
    if (!ok)
        __builtin_trap();
}

SDR_DATA_GROUP_DISPLAY_TYPE radix_of(int radix) { return static_cast<SDR_DATA_GROUP_DISPLAY_TYPE>(radix); }

void check_length(char const* result) { check(std::strlen(result) <= LONGEST_RESULT); }

bool is_symbol(char c) { return std::strchr("01XxLlFfRrHhEe", c) != nullptr; }

// The unsigned decimal of a symbol string the slow way: sum the powers of two.
std::string reference_decimal(std::string const& bits)
{
    std::string digits(1300, '\0');
    digits[0] = '0';
    for (size_t i = 0; i < bits.size(); ++i)
        if (bits[i] == '1')
            add_buffer(&digits[0], power_buffer(int(bits.size() - 1 - i)));
    std::string result(digits.c_str());
    std::reverse(result.begin(), result.end());
    return result;
}

// The bits of a decimal text the slow way: halve until nothing is left.
std::string reference_bits(std::string const& typed)
{
    std::string digits;
    for (char c : typed)
        if (c >= '0' && c <= '9')
            digits += c;
    if (digits.empty())
        return "0";
    std::string bits;
    while (!digits.empty())
    {
        bits += halve_buffer(&digits[0], false, true) ? '1' : '0';
        digits.resize(std::strlen(digits.c_str()));
    }
    std::reverse(bits.begin(), bits.end());
    return bits;
}

QString make_text(uint8_t const* data, size_t size, bool utf16)
{
    if (utf16)
        return QString::fromUtf16(reinterpret_cast<char16_t const*>(data), int(size / 2));
    return QString::fromLatin1(reinterpret_cast<char const*>(data), int(size));
}

void fuzz_parsers(QString const& text, int radix, int width, bool lsb_to_msb)
{
    SEDQ_NUMBER number(text);
    for (int parser = 0; parser < 8; ++parser)
    {
        char const* result = parser == 0   ? number.string_to_uint()
                             : parser == 1 ? number.string_to_int(width)
                             : parser == 2 ? number.string_to_twos(width)
                             : parser == 3 ? number.string_to_hex()
                             : parser == 4 ? number.string_to_octal()
                             : parser == 5 ? number.string_to_ascii()
                             : parser == 6 ? number.string_to_float()
                                           : number.string_to_double();
        check_length(result);
        check(std::all_of(result, result + std::strlen(result), [](char c) { return c == '0' || c == '1' || c == 'X'; }));
    }
    int needed = number.get_trigger_string_width(radix_of(radix));
    check(needed >= 0);
    char const* bits = number.get_trigger_string(radix_of(radix), width, lsb_to_msb);
    check(int(std::strlen(bits)) == std::clamp(width, 0, 4096));
    if (radix != 1)
        check(std::all_of(bits, bits + std::strlen(bits), is_symbol));
    if (radix == 4 && !text.isEmpty() && text.size() <= 400)
    {
        std::string expected = reference_bits(text.toStdString());
        check(number.get_trigger_string_width(radix_of(4)) == int(expected.size()));
        check(SEDQ_NUMBER(text).string_to_uint() == expected);
    }
}

void fuzz_display(QString const& text, int width)
{
    SEDQ_NUMBER number(text);
    for (bool lsb_to_msb : {false, true})
        for (int radix = 0; radix <= 15; ++radix)
            check_length(number.get_display_string(radix_of(radix), 0, lsb_to_msb));
    check_length(number.bin_to_string(true, width));
    check_length(number.hex_to_string(true));
    check_length(number.octal_to_string(true));
    check_length(number.ascii_to_string(true));
    number.set_lsb_to_msb(false);
    if (text.size() <= 512)
    {
        std::string bits;
        for (QChar c : text)
            bits += c == QChar('1') ? '1' : '0';
        check(number.uint_to_string() == reference_decimal(bits));
    }
}

// The same symbols as bus rows must display exactly like the text of zeros and ones, in every
// radix and bit order. A one is any non-zero byte, so the ones take every bit position; the
// rows are long enough to be laid out apart, and the neighbouring samples hold other bytes.
void fuzz_bus(QString const& text, int width)
{
    int rows = std::min(int(text.size()), 4096);
    constexpr int DEPTH = 300, SAMPLE = 257;
    SEDQ_BUS bus(rows, DEPTH);
    check(bus.is_valid());
    QString ones(rows, QChar('0'));
    for (int row = 0; row < rows; ++row)
    {
        unsigned char* bytes = reinterpret_cast<unsigned char*>(bus.get_row(row));
        bool one = text[row] == QChar('1');
        bytes[SAMPLE - 1] = bytes[SAMPLE + 1] = one ? 0 : 1;
        bytes[SAMPLE] = one ? (unsigned char)(1u << (row % 8)) : 0;
        ones[row] = one ? QChar('1') : QChar('0');
    }
    SEDQ_NUMBER from_bus(bus, SAMPLE), from_text(ones);
    for (bool lsb_to_msb : {false, true})
        for (int radix = 0; radix <= 15; ++radix)
        {
            std::string shown = from_bus.get_display_string(radix_of(radix), 0, lsb_to_msb);
            check(shown == from_text.get_display_string(radix_of(radix), 0, lsb_to_msb));
        }
    int shown_width = std::clamp(width, 0, rows);
    std::string bits = from_bus.bin_to_string(true, shown_width);
    check(bits == from_text.bin_to_string(true, shown_width));
}

// The fast decimal conversion at any width: its text must parse back to the same value.
void fuzz_decimal_round_trip(QString const& text)
{
    SEDQ_NUMBER number(text);
    number.set_lsb_to_msb(false);
    QString decimal = QString::fromLatin1(number.uint_to_string());
    std::string bits;
    for (QChar c : text.left(4096))
        bits += c == QChar('1') ? '1' : '0';
    bits.erase(0, std::min(bits.find('1'), bits.size()));
    std::string parsed = SEDQ_NUMBER(decimal).string_to_uint();
    parsed.erase(0, std::min(parsed.find('1'), parsed.size()));
    check(parsed == bits);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(uint8_t const* data, size_t size)
{
    if (size < 4)
        return 0;
    int radix = data[0] % 16;
    bool lsb_to_msb = data[1] & 1;
    bool utf16 = data[1] & 2;
    int width = int(int16_t(uint16_t(data[2] | data[3] << 8)));
    QString text = make_text(data + 4, size - 4, utf16);
    fuzz_parsers(text, radix, width, lsb_to_msb);
    fuzz_display(text, width);
    fuzz_bus(text, width);
    fuzz_decimal_round_trip(text);
    return 0;
}
