// Limb arithmetic of SEDQ_NUMBER: bit access, reversal, division by 10^19 and digit output.
#include "sedq/model/sedq_number_bits.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace sedq_number_bits
{
namespace
{
using u128 = unsigned __int128;

// Reciprocal of 10^19 for division by multiplication: floor((2^128 - 1) / d) - 2^64
// (Moeller and Granlund, "Improved division by invariant integers").
constexpr uint64_t TEN_19_INVERSE = uint64_t(~u128(0) / TEN_19 - (u128(1) << 64));

uint64_t reverse_limb(uint64_t x)
{
    x = ((x >> 1) & 0x5555555555555555ULL) | ((x & 0x5555555555555555ULL) << 1);
    x = ((x >> 2) & 0x3333333333333333ULL) | ((x & 0x3333333333333333ULL) << 2);
    x = ((x >> 4) & 0x0F0F0F0F0F0F0F0FULL) | ((x & 0x0F0F0F0F0F0F0F0FULL) << 4);
    return __builtin_bswap64(x);
}

// Divides (high:low) by 10^19 with high < 10^19; returns the quotient, *rest the remainder.
// The first correction goes either way about half the time, so it is taken without a branch.
inline uint64_t divide_limb(uint64_t high, uint64_t low, uint64_t* rest)
{
    u128 p = u128(TEN_19_INVERSE) * high + ((u128(high) << 64) | low);
    uint64_t quotient = uint64_t(p >> 64) + 1;
    uint64_t remainder = low - quotient * TEN_19;
    uint64_t too_far = 0 - uint64_t(remainder > uint64_t(p));
    quotient += too_far;
    remainder += too_far & TEN_19;
    if (__builtin_expect(remainder >= TEN_19, 0))
    {
        ++quotient;
        remainder -= TEN_19;
    }
    *rest = remainder;
    return quotient;
}

// Passes of division by 10^19 run together in one sweep over the limbs.
constexpr int PASSES = 4;

// Each division by 10^19 runs from the top limb down, and depends on the division before it
// only through the quotient limb just above where it works. So in a sweep pass j runs one
// limb behind pass j - 1 and takes that quotient straight from it: the remainder chains of
// the passes are independent, and the multiplier overlaps them instead of waiting on one at
// a time. rest[j] is pass j's remainder, handed[j] the quotient limb it produced last step;
// the last pass writes its quotient back into the limbs.
inline void sweep_step(uint64_t* limbs, int count, int step, int first, int last, uint64_t* rest,
                       uint64_t* handed)
{
#pragma GCC unroll 16
    for (int pass = last; pass >= first; --pass)
    {
        uint64_t in = pass == 0 ? limbs[count - 1 - step] : handed[pass - 1];
        handed[pass] = divide_limb(rest[pass], in, &rest[pass]);
    }
    if (last == PASSES - 1)
        limbs[count - 1 - step + PASSES - 1] = handed[PASSES - 1];
}

// The steps in which every pass runs, on copies the compiler keeps in registers. Returns the
// first step after them.
int sweep_all_passes(uint64_t* limbs, int count, int step, uint64_t* rest, uint64_t* handed)
{
    uint64_t r[PASSES], h[PASSES];
    std::copy(rest, rest + PASSES, r);
    std::copy(handed, handed + PASSES, h);
    for (; step < count; ++step)
        sweep_step(limbs, count, step, 0, PASSES - 1, r, h);
    std::copy(r, r + PASSES, rest);
    std::copy(h, h + PASSES, handed);
    return step;
}

// PASSES divisions of limbs[0, count) by 10^19 (count >= PASSES); the remainders go to
// chunks, least significant first.
void divide_ten_19_passes(uint64_t* limbs, int count, uint64_t* chunks)
{
    uint64_t rest[PASSES] = {};
    uint64_t handed[PASSES] = {};
    // The passes start one after the other, all run while pass 0 has limbs left, and stop
    // one after the other.
    int step = 0;
    for (; step < PASSES - 1; ++step)
        sweep_step(limbs, count, step, 0, step, rest, handed);
    step = sweep_all_passes(limbs, count, step, rest, handed);
    for (; step < count + PASSES - 1; ++step)
        sweep_step(limbs, count, step, step - count + 1, PASSES - 1, rest, handed);
    std::copy(rest, rest + PASSES, chunks);
}

constexpr std::array<char, 200> make_pairs()
{
    std::array<char, 200> pairs{};
    for (int i = 0; i < 100; ++i)
    {
        pairs[2 * i] = char('0' + i / 10);
        pairs[2 * i + 1] = char('0' + i % 10);
    }
    return pairs;
}
constexpr std::array<char, 200> DIGIT_PAIRS = make_pairs();

// The eight symbol characters of every byte value, most significant bit first.
using BYTE_TEXT = std::array<char, 8>;
constexpr std::array<BYTE_TEXT, 256> make_byte_symbols()
{
    std::array<BYTE_TEXT, 256> table{};
    for (int b = 0; b < 256; ++b)
        for (int k = 0; k < 8; ++k)
            table[b][k] = (b >> (7 - k)) & 1 ? '1' : '0';
    return table;
}
constexpr std::array<BYTE_TEXT, 256> BYTE_SYMBOLS = make_byte_symbols();

inline void write_pair(unsigned value, char* out)
{
    std::memcpy(out, &DIGIT_PAIRS[2 * value], 2);
}

// Exactly eight digits of a value below 10^8.
inline void write_8_digits(uint32_t value, char* out)
{
    uint32_t high = value / 10000, low = value % 10000;
    write_pair(high / 100, out);
    write_pair(high % 100, out + 2);
    write_pair(low / 100, out + 4);
    write_pair(low % 100, out + 6);
}

// Exactly 19 digits, leading zeros included. Split in three parts first, so the divisions
// by constants of the parts do not wait on each other.
void write_19_digits(uint64_t value, char* out)
{
    constexpr uint64_t TEN_8 = 100000000, TEN_16 = TEN_8 * TEN_8;
    unsigned top = unsigned(value / TEN_16);
    uint64_t rest = value % TEN_16;
    out[0] = char('0' + top / 100);
    write_pair(top % 100, out + 1);
    write_8_digits(uint32_t(rest / TEN_8), out + 3);
    write_8_digits(uint32_t(rest % TEN_8), out + 11);
}

int write_digits(uint64_t value, char* out)
{
    char digits[20];
    int n = 0;
    do
    {
        digits[n++] = char('0' + value % 10);
        value /= 10;
    } while (value);
    for (int i = 0; i < n; ++i)
        out[i] = digits[n - 1 - i];
    return n;
}
} // namespace

uint64_t get_bits(uint64_t const* limbs, int first, int count)
{
    int limb = first / LIMB_BITS;
    int shift = first % LIMB_BITS;
    uint64_t value = limbs[limb] >> shift;
    if (shift + count > LIMB_BITS)
        value |= limbs[limb + 1] << (LIMB_BITS - shift);
    return value & ((uint64_t(1) << count) - 1);
}

void reverse_bits(uint64_t const* in, uint64_t* out, int width)
{
    int count = limb_count(width);
    for (int j = 0; j < count; ++j)
        out[j] = reverse_limb(in[count - 1 - j]);
    int shift = count * LIMB_BITS - width;
    if (shift == 0)
        return;
    for (int j = 0; j < count; ++j)
    {
        uint64_t next = j + 1 < count ? out[j + 1] : 0;
        out[j] = (out[j] >> shift) | (next << (LIMB_BITS - shift));
    }
}

int trimmed_count(uint64_t const* limbs, int count)
{
    while (count > 0 && limbs[count - 1] == 0)
        --count;
    return count;
}

int bit_length(uint64_t const* limbs, int count)
{
    count = trimmed_count(limbs, count);
    if (count == 0)
        return 0;
    return count * LIMB_BITS - __builtin_clzll(limbs[count - 1]);
}

uint64_t divide_ten_19(uint64_t* limbs, int count)
{
    uint64_t remainder = 0;
    for (int i = count - 1; i >= 0; --i)
        limbs[i] = divide_limb(remainder, limbs[i], &remainder);
    return remainder;
}

uint64_t multiply_add(uint64_t* limbs, int count, uint64_t factor, uint64_t addend)
{
    uint64_t carry = addend;
    for (int i = 0; i < count; ++i)
    {
        u128 product = u128(limbs[i]) * factor + carry;
        limbs[i] = uint64_t(product);
        carry = uint64_t(product >> 64);
    }
    return carry;
}

int to_decimal(uint64_t* limbs, int count, char* out)
{
    // 19-digit chunks, least significant first; 4096 bits give at most 65 of them.
    uint64_t chunks[MAX_LIMBS + 2 + PASSES];
    int chunk_count = 0;
    count = trimmed_count(limbs, count < MAX_LIMBS ? count : MAX_LIMBS);
    // A value of PASSES limbs or more is above 2^(64 (PASSES - 1)) > 10^(19 (PASSES - 1)), so
    // it has at least PASSES chunks and a sweep never ends in leading zero chunks. Fewer
    // limbs go one pass at a time, which ends with the value's first, non-zero chunk.
    for (; count >= PASSES; count = trimmed_count(limbs, count))
    {
        divide_ten_19_passes(limbs, count, chunks + chunk_count);
        chunk_count += PASSES;
    }
    for (; count > 0; count = trimmed_count(limbs, count))
        chunks[chunk_count++] = divide_ten_19(limbs, count);
    if (chunk_count == 0)
    {
        out[0] = '0';
        return 1;
    }
    int length = write_digits(chunks[chunk_count - 1], out);
    for (int i = chunk_count - 2; i >= 0; --i, length += TEN_19_DIGITS)
        write_19_digits(chunks[i], out + length);
    return length;
}

void write_bit_symbols(uint64_t const* limbs, int count_bits, char* out)
{
    int head = count_bits % 8;
    for (int bit = count_bits - 1; bit >= count_bits - head; --bit)
        *out++ = test_bit(limbs, bit) ? '1' : '0';
    // Whole bytes never straddle two limbs: byte k is bits 8k to 8k + 7 of limb k / 8.
    for (int byte = (count_bits - head) / 8 - 1; byte >= 0; --byte, out += 8)
        std::memcpy(out, BYTE_SYMBOLS[(limbs[byte / 8] >> (8 * (byte % 8))) & 0xFFu].data(), 8);
}
} // namespace sedq_number_bits
