#pragma once
// Fixed-capacity binary arithmetic behind SEDQ_NUMBER's conversions: values are arrays of
// 64-bit limbs, least significant limb first, kept on the stack so no conversion allocates.

#include <cstdint>

namespace sedq_number_bits
{
constexpr int LIMB_BITS = 64;
constexpr int MAX_LIMBS = 64; // 4096 bits
// 4096 decimal digits need 13,607 bits.
constexpr int MAX_PARSE_LIMBS = 213;
// 10^19, the largest power of ten in a limb; its top bit is set, which the division needs.
constexpr uint64_t TEN_19 = 10000000000000000000ULL;
constexpr int TEN_19_DIGITS = 19;

inline int limb_count(int bits) { return (bits + LIMB_BITS - 1) / LIMB_BITS; }

inline bool test_bit(uint64_t const* limbs, int bit) { return (limbs[bit / LIMB_BITS] >> (bit % LIMB_BITS)) & 1u; }

inline void set_bit(uint64_t* limbs, int bit) { limbs[bit / LIMB_BITS] |= uint64_t(1) << (bit % LIMB_BITS); }

inline void clear_bit(uint64_t* limbs, int bit) { limbs[bit / LIMB_BITS] &= ~(uint64_t(1) << (bit % LIMB_BITS)); }

// Bits [first, first + count) as an integer, count <= 57.
uint64_t get_bits(uint64_t const* limbs, int first, int count);

// out bit k = in bit (width - 1 - k) for k < width; bits at and above width are zero.
void reverse_bits(uint64_t const* in, uint64_t* out, int width);

// Number of limbs without the zero limbs at the top.
int trimmed_count(uint64_t const* limbs, int count);

// Position of the highest one plus one; 0 for zero.
int bit_length(uint64_t const* limbs, int count);

// limbs /= 10^19 in place; returns the remainder.
uint64_t divide_ten_19(uint64_t* limbs, int count);

// limbs = limbs * factor + addend; returns the carry out of the top limb.
uint64_t multiply_add(uint64_t* limbs, int count, uint64_t factor, uint64_t addend);

// Writes the decimal digits of the value (most significant first, at least "0") and returns
// their number. The limbs are used up. out needs room for 1,234 digits per 4096 bits.
int to_decimal(uint64_t* limbs, int count, char* out);

// Writes one '0' or '1' per bit, most significant first, for bits [0, count_bits).
void write_bit_symbols(uint64_t const* limbs, int count_bits, char* out);
} // namespace sedq_number_bits
