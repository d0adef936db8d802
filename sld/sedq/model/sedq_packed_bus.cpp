// SEDQ_PACKED_BUS: bus values packed sample by sample, from bus rows or from 64 x 64 blocks.
#include "sedq/model/sedq_packed_bus.h"

#include "sedq/model/sedq_bus.h"

#include <QtGlobal>

#include <algorithm>
#include <cstring>

static_assert(Q_BYTE_ORDER == Q_LITTLE_ENDIAN, "sample words are stored as their bytes, low byte first");

namespace
{
// Byte j of the result is 1 when byte j of the word is not zero, else 0.
inline uint64_t nonzero_bytes(uint64_t word)
{
    constexpr uint64_t LOW_SEVEN = 0x7F7F7F7F7F7F7F7FULL;
    return ((((word & LOW_SEVEN) + LOW_SEVEN) | word) & ~LOW_SEVEN) >> 7;
}

// The bus row holding the value's bit `weight`.
inline int row_of(int weight, int width, bool lsb_to_msb)
{
    return lsb_to_msb ? weight : width - 1 - weight;
}
} // namespace

bool SEDQ_PACKED_BUS::reset(int width, int first, int count, bool lsb_to_msb)
{
    m_width = m_first = m_count = m_stride = 0;
    m_lsb_to_msb = lsb_to_msb;
    if (width < 0 || first < 0 || count < 0)
        return false;
    const int stride = (width + 7) / 8;
    m_bytes.assign(size_t(stride) * size_t(count), 0);
    m_width = width;
    m_first = first;
    m_count = count;
    m_stride = stride;
    return true;
}

// Eight samples of eight members at a time: the eight row words are folded into one word whose
// byte t holds the eight bits of sample t.
bool SEDQ_PACKED_BUS::assign(SEDQ_BUS const& bus, int first, int count, bool lsb_to_msb)
{
    const int width = bus.get_nitems();
    if (!bus.is_valid() || first < 0 || count < 0 || first + count > bus.get_depth() ||
        !reset(width, first, count, lsb_to_msb))
    {
        reset(0, 0, 0, lsb_to_msb);
        return false;
    }
    bool** rows = bus.get_data();
    const int whole = count / 8 * 8;
    for (int offset = 0; offset < whole; offset += 8)
    {
        unsigned char* out = m_bytes.data() + size_t(offset) * size_t(m_stride);
        for (int group = 0; group < m_stride; ++group)
        {
            uint64_t folded = 0;
            for (int bit = 0; bit < 8 && group * 8 + bit < width; ++bit)
            {
                uint64_t word = 0;
                std::memcpy(&word, rows[row_of(group * 8 + bit, width, lsb_to_msb)] + first + offset, 8);
                folded |= nonzero_bytes(word) << bit;
            }
            for (int t = 0; t < 8; ++t)
                out[size_t(t) * size_t(m_stride) + size_t(group)] = static_cast<unsigned char>(folded >> (8 * t));
        }
    }
    for (int offset = whole; offset < count; ++offset)
    {
        unsigned char* out = m_bytes.data() + size_t(offset) * size_t(m_stride);
        for (int weight = 0; weight < width; ++weight)
            if (rows[row_of(weight, width, lsb_to_msb)][first + offset])
                out[weight / 8] |= static_cast<unsigned char>(1u << (weight % 8));
    }
    return true;
}

void SEDQ_PACKED_BUS::set_block(int block, int sample, uint64_t const* words)
{
    const int bytes = std::min(8, m_stride - 8 * block);
    if (bytes <= 0)
        return;
    for (int t = 0; t < 64; ++t)
    {
        if (!contains(sample + t))
            continue;
        unsigned char* out = m_bytes.data() + size_t(sample + t - m_first) * size_t(m_stride) + size_t(8 * block);
        std::memcpy(out, &words[t], size_t(bytes));
    }
}

bool SEDQ_PACKED_BUS::equal(int a, int b) const
{
    const unsigned char* x = get_sample(a);
    const unsigned char* y = get_sample(b);
    return x != nullptr && y != nullptr && std::memcmp(x, y, size_t(m_stride)) == 0;
}
