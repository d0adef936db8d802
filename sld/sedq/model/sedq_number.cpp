// SEDQ_NUMBER: construction, bit access, 32-bit values, comparison and the radix dispatch.
#include "sedq/model/sedq_number.h"

#include "sedq/model/sedq_bus.h"
#include "sedq/model/sedq_number_bits.h"
#include "sedq/model/sedq_packed_bus.h"
#include "sedq/model/sedq_verify.h"

#include <QString>

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

using namespace sedq_number_bits;

char SEDQ_NUMBER::s_buffer[SEDQ_NUMBER::BUFFER_SIZE];

SEDQ_NUMBER::SEDQ_NUMBER(SEDQ_BUS const& bus, int sample)
    : m_width(bus.get_nitems()), m_sample(std::max(sample, 0)), m_data(bus.get_data())
{
    // A wider bus is read as its first MAX_BUS_WIDTH rows: every conversion is sized for that.
    if (!SEDQ_VERIFY(this->m_width <= MAX_BUS_WIDTH))
        m_width = MAX_BUS_WIDTH;
    // A sample past the rows would read another row or past the storage: such a number is empty.
    if (m_width > 0 && !SEDQ_VERIFY(this->m_sample < bus.get_depth()))
        m_width = 0;
}

SEDQ_NUMBER::SEDQ_NUMBER(SEDQ_PACKED_BUS const& packed, int sample)
    : m_width(packed.get_width()), m_sample(sample), m_packed(packed.get_sample(sample)),
      m_packed_lsb_to_msb(packed.is_lsb_to_msb())
{
    if (!SEDQ_VERIFY(this->m_width <= MAX_BUS_WIDTH))
        m_width = MAX_BUS_WIDTH;
    if (!SEDQ_VERIFY(this->m_packed != NULL))
        m_width = 0;
}

SEDQ_NUMBER::SEDQ_NUMBER(QString const& text) : m_width(text.size()), m_text(&text)
{
    if (!SEDQ_VERIFY(this->m_width <= MAX_BUS_WIDTH))
        m_width = MAX_BUS_WIDTH;
}

SEDQ_NUMBER& SEDQ_NUMBER::operator=(SEDQ_NUMBER const& other)
{
    m_width = other.m_width;
    m_sample = other.m_sample;
    m_data = other.m_data;
    m_packed = other.m_packed;
    m_packed_lsb_to_msb = other.m_packed_lsb_to_msb;
    m_text = other.m_text;
    m_lsb_to_msb = other.m_lsb_to_msb;
    return *this;
}

SEDQ_NUMBER::~SEDQ_NUMBER() = default;

bool SEDQ_NUMBER::operator==(SEDQ_NUMBER const& sedq_number) const
{
    if (m_packed != nullptr || sedq_number.m_packed != nullptr)
    {
        if (!SEDQ_VERIFY(this->m_width == sedq_number.m_width) || !SEDQ_VERIFY(this->m_packed != NULL) ||
            !SEDQ_VERIFY(sedq_number.m_packed != NULL) ||
            !SEDQ_VERIFY(this->m_packed_lsb_to_msb == sedq_number.m_packed_lsb_to_msb))
            return false;
        return std::memcmp(m_packed, sedq_number.m_packed, size_t(m_width + 7) / 8) == 0;
    }
    if (!SEDQ_VERIFY(this->m_width == sedq_number.m_width) || !SEDQ_VERIFY(this->m_data != NULL)
        || !SEDQ_VERIFY(sedq_number.m_data != NULL) || !SEDQ_VERIFY(this->m_data == sedq_number.m_data))
        return false;
    if (m_sample == sedq_number.m_sample || m_width < 1)
        return true;
    // The bytes themselves, not just their truth: a row that holds 2 at one sample and 1 at the
    // other is a change of the sampled data even though both show as a one.
    for (int i = 0; i < m_width; ++i)
        if (byte_at(i) != sedq_number.byte_at(i))
            return false;
    return true;
}

unsigned short const* SEDQ_NUMBER::text_units() const
{
    return m_text ? reinterpret_cast<unsigned short const*>(m_text->constData()) : nullptr;
}

unsigned char SEDQ_NUMBER::byte_at(int index) const
{
    return *reinterpret_cast<unsigned char const*>(m_data[index] + m_sample);
}

bool SEDQ_NUMBER::is_one(int index) const
{
    if (index < 0 || index >= m_width)
        return false;
    if (m_data)
        return byte_at(index) != 0;
    if (m_packed)
    {
        const int weight = m_packed_lsb_to_msb ? index : m_width - 1 - index;
        return (m_packed[weight / 8] >> (weight % 8)) & 1u;
    }
    return m_text && text_units()[index] == '1';
}

// Index 0 is always the most significant bit here: the bit order that the display and
// trigger conversions store does not apply to these 32-bit reads.
unsigned int SEDQ_NUMBER::get_uint_value() const
{
    unsigned int value = 0;
    for (int index = std::max(m_width - 32, 0); index < m_width; ++index)
        value = (value << 1) | (is_one(index) ? 1u : 0u);
    return value;
}

int SEDQ_NUMBER::get_int_value() const
{
    unsigned int value = get_uint_value();
    if (m_width < 1)
        return 0;
    unsigned int sign = 1u << ((m_width - 1) % 32);
    // Negated in unsigned arithmetic: past 32 bits the magnitude can exceed INT_MAX.
    return (value & sign) ? int(0u - (value & ~sign)) : int(value);
}

int SEDQ_NUMBER::get_twos_value() const
{
    unsigned int value = get_uint_value();
    if (m_width < 1)
        return 0;
    int sign_bit = (m_width - 1) % 32;
    if (!((value >> sign_bit) & 1u))
        return int(value);
    // value - 2^(sign_bit + 1) modulo 2^32; for a 32-bit sign that is the value read as signed.
    return int(value - (2u << sign_bit));
}

namespace
{
// Bit j of one_mask is set when unit j of the sixteen is "1", of x_mask when it is "X".
inline void symbol_masks(unsigned short const* units, unsigned* one_mask, unsigned* x_mask)
{
#if defined(__SSE2__)
    // Compare sixteen units at once, narrow the results to bytes and take their top bits.
    __m128i low = _mm_loadu_si128(reinterpret_cast<__m128i const*>(units));
    __m128i high = _mm_loadu_si128(reinterpret_cast<__m128i const*>(units + 8));
    __m128i one = _mm_set1_epi16('1');
    __m128i x = _mm_set1_epi16('X');
    *one_mask = unsigned(_mm_movemask_epi8(_mm_packs_epi16(_mm_cmpeq_epi16(low, one), _mm_cmpeq_epi16(high, one))));
    *x_mask = unsigned(_mm_movemask_epi8(_mm_packs_epi16(_mm_cmpeq_epi16(low, x), _mm_cmpeq_epi16(high, x))));
#else
    *one_mask = *x_mask = 0;
    for (int j = 0; j < 16; ++j)
    {
        *one_mask |= unsigned(units[j] == '1') << j;
        *x_mask |= unsigned(units[j] == 'X') << j;
    }
#endif
}

// Bit j of the result is set when byte j of the word is not zero.
inline unsigned byte_bits(uint64_t word)
{
    constexpr uint64_t LOW_SEVEN = 0x7F7F7F7F7F7F7F7FULL;
    // The top bit of every byte becomes "any bit of the byte set"; the multiplication then
    // moves the eight top bits, in order, into the highest byte.
    uint64_t high = (((word & LOW_SEVEN) + LOW_SEVEN) | word) & ~LOW_SEVEN;
    return unsigned(((high >> 7) * 0x0102040810204080ULL) >> 56);
}

// Bit k of `ones` is the byte of the row of weight k at the sample: row k, or row width - 1 - k
// when index 0 is the most significant. Every bit is a load from a row of its own, so eight
// rows' bytes are packed into a word and turned into eight bits at once, already in weight
// order. Writes the limbs of the width.
template <bool MSB_FIRST>
void gather_rows(bool* const* rows, int width, size_t sample, uint64_t* ones)
{
    auto at = [rows, width, sample](int weight) {
        bool const* row = rows[MSB_FIRST ? width - 1 - weight : weight];
        return uint64_t(reinterpret_cast<unsigned char const*>(row)[sample]);
    };
    auto eight = [&at](int first_weight) {
        uint64_t word = 0;
#pragma GCC unroll 8
        for (int j = 0; j < 8; ++j)
            word |= at(first_weight + j) << (8 * j);
        return uint64_t(byte_bits(word));
    };
    int full = width / LIMB_BITS;
    for (int limb = 0; limb < full; ++limb)
    {
        uint64_t bits = 0;
#pragma GCC unroll 8
        for (int group = 0; group < 8; ++group)
            bits |= eight(limb * LIMB_BITS + 8 * group) << (8 * group);
        ones[limb] = bits;
    }
    int weight = full * LIMB_BITS;
    if (weight == width)
        return;
    uint64_t bits = 0;
    for (; weight + 8 <= width; weight += 8)
        bits |= eight(weight) << (weight % LIMB_BITS);
    for (; weight < width; ++weight)
        bits |= uint64_t(at(weight) != 0) << (weight % LIMB_BITS);
    ones[full] = bits;
}
} // namespace

// Text form: bit i of `ones` is 1 when index i holds "1"; bit i of `capital_x` when it holds
// "X". Every limb of the width is written whole, and the one above it is cleared.
void SEDQ_NUMBER::gather_text_bits(uint64_t* ones, uint64_t* capital_x) const
{
    int top = limb_count(m_width);
    uint64_t ignored[MAX_LIMBS + 1];
    uint64_t* x_bits = capital_x ? capital_x : ignored;
    unsigned short const* units = text_units();
    if (!units)
    {
        std::fill(ones, ones + top + 1, 0);
        std::fill(x_bits, x_bits + top + 1, 0);
        return;
    }
    int full = m_width / LIMB_BITS;
    for (int limb = 0; limb < full; ++limb)
    {
        ones[limb] = x_bits[limb] = 0;
        for (int first = limb * LIMB_BITS; first < (limb + 1) * LIMB_BITS; first += 16)
        {
            unsigned one_mask, x_mask;
            symbol_masks(units + first, &one_mask, &x_mask);
            ones[limb] |= uint64_t(one_mask) << (first % LIMB_BITS);
            x_bits[limb] |= uint64_t(x_mask) << (first % LIMB_BITS);
        }
    }
    ones[full] = ones[top] = x_bits[full] = x_bits[top] = 0;
    for (int i = full * LIMB_BITS; i < m_width; ++i)
    {
        ones[full] |= uint64_t(units[i] == '1') << (i % LIMB_BITS);
        x_bits[full] |= uint64_t(units[i] == 'X') << (i % LIMB_BITS);
    }
}

// Packed form: the bytes are the limbs already, in the packed copy's bit order.
void SEDQ_NUMBER::gather_packed_bits(uint64_t* ones) const
{
    const int top = limb_count(m_width);
    uint64_t stored[MAX_LIMBS + 1];
    uint64_t* out = m_lsb_to_msb == m_packed_lsb_to_msb ? ones : stored;
    std::fill(out, out + top + 1, 0);
    std::memcpy(out, m_packed, size_t(m_width + 7) / 8);
    if (out == stored)
    {
        reverse_bits(stored, ones, m_width);
        ones[top] = 0;
    }
}

void SEDQ_NUMBER::gather_bits(uint64_t* ones, uint64_t* capital_x) const
{
    if (m_packed)
    {
        gather_packed_bits(ones);
        if (capital_x)
            std::fill(capital_x, capital_x + limb_count(m_width) + 1, 0);
        return;
    }
    if (m_data)
    {
        // A bus sample holds no "X".
        int top = limb_count(m_width);
        if (m_lsb_to_msb)
            gather_rows<false>(m_data, m_width, size_t(m_sample), ones);
        else
            gather_rows<true>(m_data, m_width, size_t(m_sample), ones);
        ones[top] = 0;
        if (capital_x)
            std::fill(capital_x, capital_x + top + 1, 0);
        return;
    }
    if (m_lsb_to_msb)
    {
        gather_text_bits(ones, capital_x);
        return;
    }
    uint64_t by_index[MAX_LIMBS + 1];
    uint64_t x_by_index[MAX_LIMBS + 1];
    gather_text_bits(by_index, capital_x ? x_by_index : nullptr);
    int top = limb_count(m_width);
    reverse_bits(by_index, ones, m_width);
    ones[top] = 0;
    if (!capital_x)
        return;
    // Most values hold no "X" at all; then there is nothing to reorder.
    if (std::all_of(x_by_index, x_by_index + top, [](uint64_t limb) { return limb == 0; }))
        std::fill(capital_x, capital_x + top + 1, 0);
    else
    {
        reverse_bits(x_by_index, capital_x, m_width);
        capital_x[top] = 0;
    }
}

char const* SEDQ_NUMBER::get_display_string(SDR_DATA_GROUP_DISPLAY_TYPE radix, int, bool lsb_to_msb)
{
    m_lsb_to_msb = lsb_to_msb;
    switch (int(radix))
    {
    case 1: return bin_to_string(false, -1);
    case 2: return twos_to_string();
    case 3: return int_to_string();
    case 4: return uint_to_string();
    case 6: return octal_to_string(false);
    case 7: return ascii_to_string(false);
    case 13:
    case 14: return float_to_string();
    // Everything else, the symbolic radixes 0 and 12 included, shows as hexadecimal: a
    // symbol that was not found falls back to the value in a fixed, predictable form.
    default: return hex_to_string(false);
    }
}

QString SEDQ_NUMBER::get_valid_characters(SDR_DATA_GROUP_DISPLAY_TYPE radix)
{
    switch (int(radix))
    {
    case 0:
    case 7:
    case 12: {
        QString printable;
        for (char c = 0x20; c <= 0x7E; ++c)
            printable += QLatin1Char(c);
        return printable;
    }
    case 1: return QString::fromLatin1("01XLFRHExlfrhe");
    case 2:
    case 3: return QString::fromLatin1("-0123456789");
    case 4: return QString::fromLatin1("0123456789");
    case 5: return QString::fromLatin1("0123456789ABCDEFabcdefXx");
    case 6: return QString::fromLatin1("01234567Xx");
    case 13:
    case 14: return QString::fromLatin1("-0123456789.eE");
    default: return QString();
    }
}

char const* SEDQ_NUMBER::get_trigger_string(SDR_DATA_GROUP_DISPLAY_TYPE radix, int width, bool lsb_to_msb)
{
    m_lsb_to_msb = lsb_to_msb;
    width = std::clamp(width, 0, int(MAX_BUS_WIDTH));
    parse_by_radix(radix, width);
    int length = int(std::strlen(s_buffer));
    if (length > width)
        std::memmove(s_buffer, s_buffer + length - width, size_t(width) + 1);
    else if (length < width)
    {
        std::memmove(s_buffer + width - length, s_buffer, size_t(length) + 1);
        std::memset(s_buffer, '0', size_t(width - length));
    }
    if (lsb_to_msb)
        std::reverse(s_buffer, s_buffer + width);
    return s_buffer;
}

char const* SEDQ_NUMBER::parse_by_radix(SDR_DATA_GROUP_DISPLAY_TYPE radix, int width)
{
    switch (int(radix))
    {
    case 1: return copy_binary_text();
    case 2: return string_to_twos(width);
    case 3: return string_to_int(width);
    case 4: return string_to_uint();
    case 6: return string_to_octal();
    case 7: return string_to_ascii();
    case 13: return string_to_float();
    case 14: return string_to_double();
    // Other radixes display as hexadecimal, so typed values are read the same way.
    default: return string_to_hex();
    }
}
