// The exporter's sample walk (64-sample blocks turned channel-per-bit) and its buffered output.
#include "host/sli/sli_vector_database.h"

#include <QIODevice>
#include <QtEndian>

#include <algorithm>
#include <cstring>

namespace
{
const size_t OUTPUT_PIECE = size_t(1) << 20;

// Turns a 64 x 64 bit matrix around in place: bit j of word i goes to bit i of word j.
void transpose64(uint64_t a[64])
{
    uint64_t mask = 0x00000000FFFFFFFFull;
    for (int j = 32; j != 0; j >>= 1, mask ^= (mask << j)) {
        for (int k = 0; k < 64; k = ((k | j) + 1) & ~j) {
            const uint64_t t = ((a[k] >> j) ^ a[k | j]) & mask;
            a[k] ^= t << j;
            a[k | j] ^= t;
        }
    }
}
} // namespace

SLI_SAMPLE_BLOCKS::SLI_SAMPLE_BLOCKS(const SDR_LOG_PAYLOAD& payload)
    : m_payload(payload), m_groups((payload.channel_count + 63) / 64), m_words(size_t(64) * size_t(m_groups))
{
}

// Up to 64 bits of one packed row from sample m_next on (LSB = first sample); the snapshot's
// rows are long enough for every sample below the depth.
uint64_t SLI_SAMPLE_BLOCKS::row_word(const QByteArray& bits, qint64 row_offset, int count) const
{
    const unsigned char* row = reinterpret_cast<const unsigned char*>(bits.constData()) + row_offset + m_next / 8;
    if (count == 64)
        return qFromLittleEndian<quint64>(row);
    uint64_t word = 0;
    const int bytes = (count + 7) / 8;
    for (int b = 0; b < bytes; ++b)
        word |= uint64_t(row[b]) << (8 * b);
    return word & ((uint64_t(1) << count) - 1);
}

int SLI_SAMPLE_BLOCKS::next()
{
    const int count = std::min(64, m_payload.depth - m_next);
    if (count <= 0)
        return 0;
    m_first = m_next;
    m_valid = row_word(m_payload.valid_bits, 0, count);
    const qint64 row_bytes = m_payload.row_bytes();
    uint64_t block[64];
    for (int g = 0; g < m_groups; ++g) {
        const int first_channel = g * 64;
        const int channels = std::min(64, m_payload.channel_count - first_channel);
        for (int c = 0; c < 64; ++c)
            block[c] = c < channels ? row_word(m_payload.channel_bits, (first_channel + c) * row_bytes, count) : 0;
        transpose64(block);
        for (int j = 0; j < count; ++j)
            m_words[size_t(j) * size_t(m_groups) + size_t(g)] = block[j];
    }
    m_next += count;
    return count;
}

SLI_OUTPUT::SLI_OUTPUT(QIODevice* device, long long fail_after)
    : m_device(device), m_fail_after(fail_after), m_buffer(OUTPUT_PIECE * 2)
{
}

SLI_OUTPUT::~SLI_OUTPUT() = default;

char* SLI_OUTPUT::reserve(size_t bytes)
{
    if (m_used >= OUTPUT_PIECE)
        flush();
    if (m_buffer.size() - m_used < bytes)
        m_buffer.resize(m_used + bytes);
    return m_buffer.data() + m_used;
}

void SLI_OUTPUT::append(const char* text, size_t size)
{
    char* at = reserve(size);
    std::memcpy(at, text, size);
    end(at + size);
}

bool SLI_OUTPUT::flush()
{
    if (m_failed || m_used == 0) {
        m_used = 0;
        return !m_failed;
    }
    qint64 size = qint64(m_used);
    if (m_fail_after >= 0 && m_written + size > m_fail_after) {
        size = std::max<qint64>(0, m_fail_after - m_written);
        m_failed = true;
    }
    if (size > 0 && m_device->write(m_buffer.data(), size) != size)
        m_failed = true;
    m_written += size;
    m_used = 0;
    return !m_failed;
}

bool SLI_OUTPUT::finish()
{
    return flush();
}
