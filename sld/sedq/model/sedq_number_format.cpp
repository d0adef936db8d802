// SEDQ_NUMBER: display conversions (binary, decimal, hexadecimal, octal, ASCII, float).
#include "sedq/model/sedq_number.h"

#include "sedq/model/sedq_number_bits.h"

#include <algorithm>
#include <charconv>
#include <cstring>

using namespace sedq_number_bits;

namespace
{
constexpr char DIGITS[] = "0123456789ABCDEF";

// A text symbol as one result character: printable ASCII as it is, anything else "?", so a
// result never holds a terminator or a byte of a multi-byte sequence.
inline char symbol_char(unsigned short unit) { return unit >= 0x20 && unit <= 0x7E ? char(unit) : '?'; }

inline bool printable(uint64_t code) { return code >= 0x20 && code <= 0x7E; }

// Digits high down to low (inclusive) of group_bits bits each, most significant first.
char* write_group_digits(uint64_t const* ones, uint64_t const* capital_x, int high, int low, int group_bits, char* out)
{
    for (int digit = high; digit >= low; --digit)
    {
        int first = digit * group_bits;
        *out++ = test_bit(capital_x, first) ? 'X' : DIGITS[get_bits(ones, first, group_bits)];
    }
    return out;
}

// Eight hexadecimal digits of a word at once: one nibble per byte, then '0' or 'A' - 10 added
// to every byte in parallel.
inline void write_hex_word(uint32_t word, char* out)
{
    uint64_t x = word;
    x = ((x & 0xFFFF0000ULL) << 16) | (x & 0x0000FFFFULL);
    x = ((x & 0x0000FF000000FF00ULL) << 8) | (x & 0x000000FF000000FFULL);
    x = ((x & 0x00F000F000F000F0ULL) << 4) | (x & 0x000F000F000F000FULL);
    uint64_t letters = ((x + 0x0606060606060606ULL) >> 4) & 0x0101010101010101ULL;
    x += 0x3030303030303030ULL + letters * ('A' - '0' - 10);
    // The most significant digit sits in the top byte; it must come first in memory.
#if __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    x = __builtin_bswap64(x);
#endif
    std::memcpy(out, &x, sizeof x);
}

// Hexadecimal digits never straddle a limb: whole limbs without "X" go sixteen digits at a time.
char* write_hex_digits(uint64_t const* ones, uint64_t const* capital_x, int digits, char* out)
{
    int full_limbs = digits / 16;
    out = write_group_digits(ones, capital_x, digits - 1, full_limbs * 16, 4, out);
    for (int limb = full_limbs - 1; limb >= 0; --limb)
    {
        if (capital_x[limb])
        {
            out = write_group_digits(ones, capital_x, limb * 16 + 15, limb * 16, 4, out);
            continue;
        }
        write_hex_word(uint32_t(ones[limb] >> 32), out);
        write_hex_word(uint32_t(ones[limb]), out + 8);
        out += 16;
    }
    return out;
}
// Eight octal digits of 24 bits at once: one three-bit group per byte, then '0' added to every
// byte in parallel.
inline void write_octal_word(uint32_t bits, char* out)
{
    uint64_t x = bits;
    x = ((x & 0xFFF000ULL) << 20) | (x & 0x000FFFULL);
    x = ((x & 0x00000FC000000FC0ULL) << 10) | (x & 0x0000003F0000003FULL);
    x = ((x & 0x0038003800380038ULL) << 5) | (x & 0x0007000700070007ULL);
    x += 0x3030303030303030ULL;
#if __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    x = __builtin_bswap64(x);
#endif
    std::memcpy(out, &x, sizeof x);
}

// Bits [first, first + count) of the limbs, count <= 24, inline: this runs eight digits at a
// time over a value of up to 4096 bits.
inline uint32_t low_bits(uint64_t const* limbs, int first, int count)
{
    const int limb = first / LIMB_BITS;
    const int shift = first % LIMB_BITS;
    uint64_t value = limbs[limb] >> shift;
    if (shift + count > LIMB_BITS)
        value |= limbs[limb + 1] << (LIMB_BITS - shift);
    return uint32_t(value & ((uint64_t(1) << count) - 1));
}

// Octal digits eight at a time (24 bits), the top ones of the last eight too. A value with an
// "X" goes digit by digit.
char* write_octal_digits(uint64_t const* ones, uint64_t const* capital_x, int digits, char* out)
{
    if (std::any_of(capital_x, capital_x + limb_count(digits * 3), [](uint64_t limb) { return limb != 0; }))
        return write_group_digits(ones, capital_x, digits - 1, 0, 3, out);
    const int whole = digits / 8;
    const int top = digits - whole * 8;
    if (top > 0)
    {
        char eight[8];
        write_octal_word(low_bits(ones, whole * 24, top * 3), eight);
        std::memcpy(out, eight + 8 - top, size_t(top));
        out += top;
    }
    for (int group = whole - 1; group >= 0; --group, out += 8)
        write_octal_word(low_bits(ones, group * 24, 24), out);
    return out;
}
} // namespace

char const* SEDQ_NUMBER::bin_to_string(bool suffix, int width)
{
    int shown = width < 0 || width > m_width ? m_width : width;
    int padding = is_sample() && width > m_width ? std::min(width, int(MAX_BUS_WIDTH)) - m_width : 0;
    char* out = s_buffer;
    std::memset(out, 'X', size_t(padding));
    out += padding;
    unsigned short const* units = text_units();
    // The shown bits are the least significant ones, written most significant first.
    if (units)
    {
        for (int weight = shown - 1; weight >= 0; --weight)
            *out++ = symbol_char(units[m_lsb_to_msb ? weight : m_width - 1 - weight]);
    }
    else
    {
        // A bus sample holds only zeros and ones: gather them once, then write eight at a time.
        uint64_t ones[MAX_LIMBS + 1];
        gather_bits(ones, nullptr);
        write_bit_symbols(ones, shown, out);
        out += shown;
    }
    if (suffix)
        *out++ = 'b';
    *out = '\0';
    return s_buffer;
}

char const* SEDQ_NUMBER::uint_to_string()
{
    uint64_t ones[MAX_LIMBS + 1];
    gather_bits(ones, nullptr);
    return decimal_to_string(ones, false);
}

char const* SEDQ_NUMBER::int_to_string()
{
    uint64_t ones[MAX_LIMBS + 1];
    gather_bits(ones, nullptr);
    bool negative = m_width > 0 && test_bit(ones, m_width - 1);
    if (negative)
        clear_bit(ones, m_width - 1);
    return decimal_to_string(ones, negative);
}

char const* SEDQ_NUMBER::twos_to_string()
{
    uint64_t ones[MAX_LIMBS + 1];
    gather_bits(ones, nullptr);
    if (m_width < 1 || !test_bit(ones, m_width - 1))
        return decimal_to_string(ones, false);
    // The magnitude of a negative value: the other bits inverted, plus one.
    int count = limb_count(m_width);
    for (int i = 0; i < count; ++i)
        ones[i] = ~ones[i];
    int magnitude_bits = m_width - 1;
    for (int bit = magnitude_bits; bit < count * LIMB_BITS; ++bit)
        clear_bit(ones, bit);
    multiply_add(ones, count, 1, 1);
    return decimal_to_string(ones, true);
}

char const* SEDQ_NUMBER::decimal_to_string(uint64_t* ones, bool negative)
{
    char* out = s_buffer;
    if (negative)
        *out++ = '-';
    out += to_decimal(ones, limb_count(std::max(m_width, 1)), out);
    *out = '\0';
    return s_buffer;
}

char const* SEDQ_NUMBER::hex_to_string(bool suffix) { return groups_to_string(4, suffix ? 'h' : '\0'); }

char const* SEDQ_NUMBER::octal_to_string(bool suffix) { return groups_to_string(3, suffix ? 'o' : '\0'); }

// Digits of group_bits bits from the least significant end; the top digit may cover fewer
// bits. A group whose least significant symbol is a capital "X" shows "X".
char const* SEDQ_NUMBER::groups_to_string(int group_bits, char suffix)
{
    uint64_t ones[MAX_LIMBS + 1];
    uint64_t capital_x[MAX_LIMBS + 1];
    gather_bits(ones, capital_x);
    int digits = (m_width - 1) / group_bits + 1;
    char* out = group_bits == 4   ? write_hex_digits(ones, capital_x, digits, s_buffer)
                : group_bits == 3 ? write_octal_digits(ones, capital_x, digits, s_buffer)
                                  : write_group_digits(ones, capital_x, digits - 1, 0, group_bits, s_buffer);
    if (suffix)
        *out++ = suffix;
    *out = '\0';
    return s_buffer;
}

char const* SEDQ_NUMBER::ascii_to_string(bool quoted)
{
    uint64_t ones[MAX_LIMBS + 1];
    gather_bits(ones, nullptr);
    char* out = s_buffer;
    if (quoted)
        *out++ = '"';
    for (int character = (m_width - 1) / 8; character >= 0; --character)
    {
        uint64_t code = get_bits(ones, character * 8, 8);
        *out++ = printable(code) ? char(code) : ' ';
    }
    if (quoted)
        *out++ = '"';
    *out = '\0';
    return s_buffer;
}

// Exactly 32 bits read as a single, any other width as a double; a wider value folds its
// bits onto the 64-bit pattern (bit k on position k mod 64). Printed as "%.9g" / "%.17g"
// in the C locale, whatever locale the application runs in.
char const* SEDQ_NUMBER::float_to_string()
{
    uint64_t ones[MAX_LIMBS + 1];
    gather_bits(ones, nullptr);
    uint64_t pattern = 0;
    for (int i = 0; i < limb_count(m_width); ++i)
        pattern |= ones[i];
    std::to_chars_result written;
    char* end = s_buffer + BUFFER_SIZE - 1;
    if (m_width == 32)
    {
        uint32_t low = uint32_t(pattern);
        float value;
        std::memcpy(&value, &low, sizeof value);
        written = std::to_chars(s_buffer, end, value, std::chars_format::general, 9);
    }
    else
    {
        double value;
        std::memcpy(&value, &pattern, sizeof value);
        written = std::to_chars(s_buffer, end, value, std::chars_format::general, 17);
    }
    *written.ptr = '\0';
    return s_buffer;
}
