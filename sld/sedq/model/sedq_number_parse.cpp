// SEDQ_NUMBER: typed text to bit symbols, and the width a typed value needs.
#include "sedq/model/sedq_number.h"

#include "sedq/model/sedq_number_bits.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <locale.h>

using namespace sedq_number_bits;

namespace
{
// What a typed character stands for in a radix of digit_bits bits per character: the digit
// value (the character code for ASCII), X_DIGIT for "X" or "x", -1 for a character to skip.
constexpr int X_DIGIT = 128;
using CHARACTER_TABLE = std::array<short, 128>;

constexpr CHARACTER_TABLE make_character_table(int digit_bits)
{
    CHARACTER_TABLE table{};
    for (int c = 0; c < 128; ++c)
    {
        int value = -1;
        if (digit_bits == 8)
            value = c >= 0x20 && c <= 0x7E ? c : -1;
        else if (c == 'X' || c == 'x')
            value = X_DIGIT;
        else if (c >= '0' && c <= '9')
            value = c - '0';
        else if (c >= 'A' && c <= 'F')
            value = c - 'A' + 10;
        else if (c >= 'a' && c <= 'f')
            value = c - 'a' + 10;
        table[c] = value < (1 << digit_bits) || value == X_DIGIT ? short(value) : short(-1);
    }
    return table;
}
constexpr CHARACTER_TABLE HEX_CHARACTERS = make_character_table(4);
constexpr CHARACTER_TABLE OCTAL_CHARACTERS = make_character_table(3);
constexpr CHARACTER_TABLE ASCII_CHARACTERS = make_character_table(8);

// Eight symbols per value, most significant first; a digit of b bits uses the last b of them.
using SYMBOL_TEXT = std::array<char, 8>;
constexpr std::array<SYMBOL_TEXT, X_DIGIT + 1> make_symbol_table()
{
    std::array<SYMBOL_TEXT, X_DIGIT + 1> table{};
    for (int value = 0; value <= X_DIGIT; ++value)
        for (int k = 0; k < 8; ++k)
            table[value][k] = value == X_DIGIT ? 'X' : (value >> (7 - k)) & 1 ? '1' : '0';
    return table;
}
constexpr std::array<SYMBOL_TEXT, X_DIGIT + 1> SYMBOLS = make_symbol_table();

inline int lookup(CHARACTER_TABLE const& table, unsigned short unit) { return unit < 128 ? table[unit] : -1; }

// Writes DIGIT_BITS symbols per known character, dropping the first `skip` symbols.
template <int DIGIT_BITS>
char* write_digit_symbols(CHARACTER_TABLE const& table, unsigned short const* units, int length, int skip, char* out)
{
    for (int i = 0; i < length; ++i)
    {
        int value = lookup(table, units[i]);
        if (value < 0)
            continue;
        char const* symbols = SYMBOLS[value].data() + 8 - DIGIT_BITS;
        if (skip == 0)
        {
            std::memcpy(out, symbols, DIGIT_BITS);
            out += DIGIT_BITS;
            continue;
        }
        int dropped = std::min(skip, DIGIT_BITS);
        skip -= dropped;
        std::memcpy(out, symbols + dropped, size_t(DIGIT_BITS - dropped));
        out += DIGIT_BITS - dropped;
    }
    return out;
}

constexpr std::array<uint64_t, TEN_19_DIGITS + 1> make_powers_of_ten()
{
    std::array<uint64_t, TEN_19_DIGITS + 1> powers{};
    powers[0] = 1;
    for (int k = 1; k <= TEN_19_DIGITS; ++k)
        powers[k] = powers[k - 1] * 10;
    return powers;
}
constexpr std::array<uint64_t, TEN_19_DIGITS + 1> POWERS_OF_TEN = make_powers_of_ten();

inline bool is_ascii_symbol(unsigned short unit) { return unit >= 0x20 && unit <= 0x7E; }

// The value of four decimal digits at `units`, or -1 when one of them is not a digit. The four
// products are independent, so a run of digits costs one multiply-add of the chunk per four
// (or eight) digits rather than one per digit.
inline int four_digits(unsigned short const* units)
{
    const unsigned d0 = units[0] - '0', d1 = units[1] - '0', d2 = units[2] - '0', d3 = units[3] - '0';
    if (((d0 < 10) & (d1 < 10) & (d2 < 10) & (d3 < 10)) == 0)
        return -1;
    return int(d0 * 1000 + d1 * 100 + d2 * 10 + d3);
}

// Reads the decimal digits of the text (other characters, a leading "-" among them, are
// skipped) into limbs; returns the limb count. Up to 4096 digits fit MAX_PARSE_LIMBS.
int parse_decimal(unsigned short const* units, int length, uint64_t* limbs)
{
    int count = 0;
    uint64_t chunk = 0;
    int chunk_digits = 0;
    auto flush = [&]() {
        uint64_t carry = multiply_add(limbs, count, POWERS_OF_TEN[chunk_digits], chunk);
        if (carry)
            limbs[count++] = carry;
        chunk = 0;
        chunk_digits = 0;
    };
    for (int i = 0; i < length;)
    {
        if (i + 8 <= length && chunk_digits <= TEN_19_DIGITS - 8)
        {
            const int high = four_digits(units + i), low = four_digits(units + i + 4);
            if ((high | low) >= 0)
            {
                chunk = chunk * 100000000 + uint64_t(high) * 10000 + uint64_t(low);
                chunk_digits += 8;
                i += 8;
                if (chunk_digits == TEN_19_DIGITS)
                    flush();
                continue;
            }
        }
        if (i + 4 <= length && chunk_digits <= TEN_19_DIGITS - 4)
        {
            const int four = four_digits(units + i);
            if (four >= 0)
            {
                chunk = chunk * 10000 + uint64_t(four);
                chunk_digits += 4;
                i += 4;
                if (chunk_digits == TEN_19_DIGITS)
                    flush();
                continue;
            }
        }
        const unsigned short unit = units[i++];
        if (unit < '0' || unit > '9')
            continue;
        chunk = chunk * 10 + (unit - '0');
        if (++chunk_digits == TEN_19_DIGITS)
            flush();
    }
    if (chunk_digits)
        flush();
    return count;
}

// Bits a run of digits needs without its leading zero symbols (an "X" digit has none).
int digits_width(unsigned short const* units, int length, int digit_bits)
{
    int width = 0;
    CHARACTER_TABLE const& table = digit_bits == 4 ? HEX_CHARACTERS : OCTAL_CHARACTERS;
    for (int i = 0; i < length; ++i)
    {
        int value = lookup(table, units[i]);
        if (value < 0)
            continue;
        if (width > 0)
            width += digit_bits;
        else if (value == X_DIGIT)
            width = digit_bits;
        else if (value > 0)
            width = 32 - __builtin_clz(unsigned(value));
    }
    return width;
}

// The sign-aware width of a typed decimal: two's complement needs bitlen(v) + 1 bits for
// v >= 0 and bitlen(|v| - 1) + 1 for v < 0; sign and magnitude bitlen(|v|) + 1.
int decimal_width(unsigned short const* units, int length, int radix)
{
    uint64_t limbs[MAX_PARSE_LIMBS + 1] = {};
    int count = parse_decimal(units, length, limbs);
    int bits = bit_length(limbs, count);
    bool negative = units[0] == '-';
    if (radix == 4)
        return std::max(bits, 1);
    if (radix == 2 && negative && bits > 0)
    {
        // |v| - 1; v is not zero, so the borrow stops inside the value.
        int i = 0;
        while (limbs[i] == 0)
            limbs[i++] = ~uint64_t(0);
        --limbs[i];
        bits = bit_length(limbs, count);
    }
    return bits + 1;
}

// The text as a C string for the C library's number parsers; characters outside printable
// ASCII become a byte no number contains, so the parse stops there.
void to_c_text(unsigned short const* units, int length, char* text)
{
    for (int i = 0; i < length; ++i)
        text[i] = is_ascii_symbol(units[i]) ? char(units[i]) : '\x01';
    text[length] = '\0';
}

// Two's complement of a sign-and-magnitude symbol string, in place: every symbol inverted, one
// added at the least significant end, and the sign set. Only an empty string grows (to "1").
void negate_symbols(char* bits, int length)
{
    for (int i = 0; i < length; ++i)
        bits[i] = bits[i] == '0' ? '1' : '0';
    int i = length - 1;
    for (; i >= 0 && bits[i] == '1'; --i)
        bits[i] = '0';
    if (i < 0)
        std::memmove(bits + 1, bits, size_t(length) + 1);
    bits[std::max(i, 0)] = '1';
    bits[0] = '1';
}

// The C locale of the number parsers, freed when the library unloads.
class C_LOCALE
{
public:
    C_LOCALE() : m_locale(newlocale(LC_ALL_MASK, "C", locale_t(0))) {}
    ~C_LOCALE()
    {
        if (m_locale)
            freelocale(m_locale);
    }
    C_LOCALE(C_LOCALE const&) = delete;
    C_LOCALE& operator=(C_LOCALE const&) = delete;
    locale_t get() const { return m_locale; }

private:
    locale_t m_locale;
};

// Null only when the locale could not be made; the parsers then use the global one.
locale_t c_locale()
{
    static const C_LOCALE locale;
    return locale.get();
}

float parse_float(char const* text)
{
    locale_t locale = c_locale();
    return locale ? strtof_l(text, nullptr, locale) : std::strtof(text, nullptr);
}

double parse_double(char const* text)
{
    locale_t locale = c_locale();
    return locale ? strtod_l(text, nullptr, locale) : std::strtod(text, nullptr);
}
} // namespace

char const* SEDQ_NUMBER::copy_binary_text()
{
    unsigned short const* units = text_units();
    int length = units ? m_width : 0;
    for (int i = 0; i < length; ++i)
        s_buffer[i] = is_ascii_symbol(units[i]) ? char(units[i]) : '?';
    s_buffer[length] = '\0';
    return s_buffer;
}

// No leading zeros; "0" for a text without digits, "" for an empty text. A value wider than
// the buffer keeps its MAX_BUS_WIDTH least significant bits.
char const* SEDQ_NUMBER::string_to_uint()
{
    unsigned short const* units = text_units();
    if (!units || m_width == 0)
    {
        s_buffer[0] = '\0';
        return s_buffer;
    }
    uint64_t limbs[MAX_PARSE_LIMBS + 1];
    int count = parse_decimal(units, m_width, limbs);
    int bits = std::clamp(bit_length(limbs, count), 1, int(MAX_BUS_WIDTH));
    if (count == 0)
        limbs[0] = 0;
    write_bit_symbols(limbs, bits, s_buffer);
    s_buffer[bits] = '\0';
    return s_buffer;
}

char const* SEDQ_NUMBER::string_to_int(int width) { return string_to_signed(width, false); }

char const* SEDQ_NUMBER::string_to_twos(int width) { return string_to_signed(width, true); }

char const* SEDQ_NUMBER::string_to_signed(int width, bool twos)
{
    string_to_uint();
    unsigned short const* units = text_units();
    if (!units || m_width == 0 || units[0] != '-')
        return s_buffer;
    // Minus zero is zero in two's complement, not the most negative value.
    if (twos && std::strcmp(s_buffer, "0") == 0)
        return s_buffer;
    width = std::clamp(width, 0, int(MAX_BUS_WIDTH));
    int length = int(std::strlen(s_buffer));
    if (length >= width)
        s_buffer[width] = '\0';
    else
    {
        // Sign and magnitude: a "1" and zeros in front of the magnitude.
        std::memmove(s_buffer + width - length, s_buffer, size_t(length) + 1);
        s_buffer[0] = '1';
        std::memset(s_buffer + 1, '0', size_t(width - length - 1));
        length = width;
    }
    if (twos)
        negate_symbols(s_buffer, length);
    return s_buffer;
}

char const* SEDQ_NUMBER::string_to_hex() { return string_to_digits(4); }

char const* SEDQ_NUMBER::string_to_octal() { return string_to_digits(3); }

char const* SEDQ_NUMBER::string_to_ascii() { return string_to_digits(8); }

// Each known character gives digit_bits symbols (8 for an ASCII character); unknown ones are
// skipped. Only the last MAX_BUS_WIDTH symbols are kept.
char const* SEDQ_NUMBER::string_to_digits(int digit_bits)
{
    unsigned short const* units = text_units();
    int length = units ? m_width : 0;
    CHARACTER_TABLE const& table =
        digit_bits == 4 ? HEX_CHARACTERS : digit_bits == 3 ? OCTAL_CHARACTERS : ASCII_CHARACTERS;
    // Counting the known characters is needed only when the text could give too many symbols.
    int known = length;
    if (length * digit_bits > MAX_BUS_WIDTH)
        known = int(std::count_if(units, units + length, [&](unsigned short unit) { return lookup(table, unit) >= 0; }));
    int skip = std::max(known * digit_bits - int(MAX_BUS_WIDTH), 0);
    char* out = s_buffer;
    if (digit_bits == 4)
        out = write_digit_symbols<4>(table, units, length, skip, out);
    else if (digit_bits == 3)
        out = write_digit_symbols<3>(table, units, length, skip, out);
    else
        out = write_digit_symbols<8>(table, units, length, skip, out);
    *out = '\0';
    return s_buffer;
}

// The text read as a number in the C locale ("1.5" whatever the user's locale says); a
// text that is not a number reads as 0.
char const* SEDQ_NUMBER::string_to_float()
{
    char text[MAX_BUS_WIDTH + 1];
    to_c_text(text_units(), text_units() ? m_width : 0, text);
    float value = parse_float(text);
    uint32_t pattern;
    std::memcpy(&pattern, &value, sizeof pattern);
    return float_pattern_to_symbols(pattern, 32);
}

char const* SEDQ_NUMBER::string_to_double()
{
    char text[MAX_BUS_WIDTH + 1];
    to_c_text(text_units(), text_units() ? m_width : 0, text);
    double value = parse_double(text);
    uint64_t pattern;
    std::memcpy(&pattern, &value, sizeof pattern);
    return float_pattern_to_symbols(pattern, 64);
}

char const* SEDQ_NUMBER::float_pattern_to_symbols(uint64_t pattern, int bits)
{
    write_bit_symbols(&pattern, bits, s_buffer);
    s_buffer[bits] = '\0';
    return s_buffer;
}

int SEDQ_NUMBER::get_trigger_string_width(SDR_DATA_GROUP_DISPLAY_TYPE radix) const
{
    unsigned short const* units = text_units();
    if (!units || m_width == 0)
        return 0;
    switch (int(radix))
    {
    case 1: {
        int first = 0;
        while (first < m_width && units[first] == '0')
            ++first;
        return m_width - first;
    }
    case 2:
    case 3:
    case 4: return decimal_width(units, m_width, int(radix));
    case 6: return digits_width(units, m_width, 3);
    case 7: return int(std::count_if(units, units + m_width, is_ascii_symbol)) * 8;
    case 13: return 32;
    case 14: return 64;
    default: return digits_width(units, m_width, 4);
    }
}
