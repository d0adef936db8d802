#pragma once
// Bus values stored sample by sample: for each sample of a range, the member bits packed into
// bytes in the weight order of one bit order (bit k of the value in bit k % 8 of byte k / 8).
// The bus rows of SEDQ_BUS hold one byte per sample per member, so reading one value there
// touches one cache line per member; read here it is one short copy, and a conversion costs
// what the same conversion of a typed text costs. Filled from bus rows by blocks of eight
// members and eight samples, or, by the waveform summary, from the member bits of a whole log
// by blocks of 64 by 64 bits.

#include <cstddef>
#include <cstdint>
#include <vector>

class SEDQ_BUS;

class SEDQ_PACKED_BUS
{
public:
    SEDQ_PACKED_BUS() = default;

    // An all-zero copy of samples [first, first + count) of a bus `width` members wide, in the
    // weight order of `lsb_to_msb` (true: member 0 is bit 0; false: member 0 is the most
    // significant bit). False, and an empty copy, for sizes that are not usable.
    bool reset(int width, int first, int count, bool lsb_to_msb);
    // Packs samples [first, first + count) of the rows of `bus` (row r is member r). Samples
    // outside the rows are refused (false, empty copy).
    bool assign(SEDQ_BUS const& bus, int first, int count, bool lsb_to_msb);
    // Writes the 64 sample words of bits 64 * `block` .. 64 * `block` + 63 of the value, for the
    // 64 samples from `sample` on (samples past the copy are skipped): word t holds bit k of
    // sample + t at bit k. The summary's block transposition ends here.
    void set_block(int block, int sample, uint64_t const* words);

    bool is_empty() const { return m_count == 0; }
    int get_width() const { return m_width; }
    int get_first() const { return m_first; }
    int get_count() const { return m_count; }
    bool is_lsb_to_msb() const { return m_lsb_to_msb; }
    // Bytes per sample: (width + 7) / 8.
    int get_stride() const { return m_stride; }
    bool contains(int sample) const { return sample >= m_first && sample - m_first < m_count; }
    // The sample's bytes; null outside the copy.
    unsigned char const* get_sample(int sample) const
    {
        return contains(sample) ? m_bytes.data() + size_t(sample - m_first) * size_t(m_stride) : nullptr;
    }
    bool equal(int a, int b) const;

private:
    std::vector<unsigned char> m_bytes;
    int m_width = 0;
    int m_first = 0;
    int m_count = 0;
    int m_stride = 0;
    bool m_lsb_to_msb = false;
};
