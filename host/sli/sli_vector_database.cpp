// The exporter's sample walk (64-sample blocks turned channel-per-bit), its buffered output
// and the run of a format over the samples in pieces on a few threads.
#include "host/sli/sli_vector_database.h"

#include "host/sdr/sdr_file_parallel.h"

#include <QIODevice>
#include <QtEndian>

#include <algorithm>
#include <cstring>

namespace
{
const size_t OUTPUT_PIECE = size_t(1) << 20;
// Pieces formatted at once: enough for the threads to share, few enough that the text waiting
// to be written stays a few megabytes.
const int PIECES_AT_ONCE = 8;

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

// Samples of a piece: about a megabyte of text, a whole number of 64-sample blocks.
int piece_samples(const SLI_FORMAT_WRITER& writer)
{
    const size_t samples = OUTPUT_PIECE / std::max<size_t>(1, writer.sample_room());
    return int(std::max<size_t>(64, std::min<size_t>(samples, 1 << 16) / 64 * 64));
}
} // namespace

char* sli_put_digits(unsigned long long value, char* out)
{
    char digits[24];
    int count = 0;
    do {
        digits[count++] = char('0' + int(value % 10));
        value /= 10;
    } while (value != 0);
    while (count > 0)
        *out++ = digits[--count];
    return out;
}

std::string sli_one_word(const std::string& name, const std::string& fallback)
{
    std::string word = name.empty() ? fallback : name;
    for (char& c : word)
        if (static_cast<unsigned char>(c) <= ' ' || c == 0x7F)
            c = '_';
    return word;
}

SLI_SAMPLE_BLOCKS::SLI_SAMPLE_BLOCKS(const SDR_LOG_PAYLOAD& payload, int first, int end)
    : m_payload(payload), m_groups((payload.channel_count + 63) / 64), m_next(first),
      m_end(std::min(end, payload.depth)), m_words(size_t(64) * size_t(m_groups))
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
    const int count = std::min(64, m_end - m_next);
    if (count <= 0)
        return 0;
    m_first = m_next;
    m_valid = row_word(m_payload.valid_bits, 0, count);
    const qint64 row_bytes = m_payload.row_bytes();
    uint64_t block[64];
    for (int g = 0; g < m_groups; ++g) {
        const int first_channel = g * 64;
        const int channels = std::min(64, m_payload.channel_count - first_channel);
        const char* rows = m_payload.channel_bits.constData() + first_channel * row_bytes + m_next / 8;
        for (int c = 0; c < 64; ++c)
            if (c >= channels)
                block[c] = 0;
            else if (count == 64)
                block[c] = qFromLittleEndian<quint64>(rows + c * row_bytes);
            else
                block[c] = row_word(m_payload.channel_bits, (first_channel + c) * row_bytes, count);
        transpose64(block);
        for (int j = 0; j < count; ++j)
            m_words[size_t(j) * size_t(m_groups) + size_t(g)] = block[j];
    }
    m_next += count;
    return count;
}

void SLI_SAMPLE_BLOCKS::read_sample(const SDR_LOG_PAYLOAD& payload, int sample, uint64_t* words, bool* valid)
{
    const qint64 row_bytes = payload.row_bytes();
    const int groups = (payload.channel_count + 63) / 64;
    std::fill(words, words + groups, 0);
    for (int c = 0; c < payload.channel_count; ++c)
        if (payload.bit_in_row(payload.channel_bits, int(c * row_bytes), sample))
            words[c >> 6] |= uint64_t(1) << (c & 63);
    *valid = payload.bit_in_row(payload.valid_bits, 0, sample);
}

SLI_OUTPUT::SLI_OUTPUT(QIODevice* device, long long fail_after)
    : m_device(device), m_fail_after(fail_after), m_buffer(device != nullptr ? OUTPUT_PIECE * 2 : 0)
{
}

SLI_OUTPUT::~SLI_OUTPUT() = default;

char* SLI_OUTPUT::reserve(size_t bytes)
{
    if (m_device != nullptr && m_used >= OUTPUT_PIECE)
        flush();
    if (m_buffer.size() - m_used < bytes)
        m_buffer.resize(std::max(m_used + bytes, m_buffer.size() * 3 / 2));
    return m_buffer.data() + m_used;
}

void SLI_OUTPUT::append(const char* text, size_t size)
{
    char* at = reserve(size);
    std::memcpy(at, text, size);
    end(at + size);
}

bool SLI_OUTPUT::write_bytes(const char* bytes, qint64 size)
{
    if (m_failed)
        return false;
    if (m_fail_after >= 0 && m_written + size > m_fail_after) {
        size = std::max<qint64>(0, m_fail_after - m_written);
        m_failed = true;
    }
    if (size > 0 && m_device->write(bytes, size) != size)
        m_failed = true;
    m_written += size;
    return !m_failed;
}

bool SLI_OUTPUT::flush()
{
    const bool written = m_device == nullptr || m_used == 0 || write_bytes(m_buffer.data(), qint64(m_used));
    if (m_device != nullptr)
        m_used = 0;
    return written && !m_failed;
}

void SLI_OUTPUT::write_out(SLI_OUTPUT* piece)
{
    if (m_device == nullptr) {
        append(piece->m_buffer.data(), piece->m_used);
    } else if (flush()) {
        write_bytes(piece->m_buffer.data(), qint64(piece->m_used));
    }
    piece->m_used = 0;
}

bool SLI_OUTPUT::finish()
{
    return flush();
}

// Formatting and writing overlap: while the threads format one window of pieces, one of them
// writes the window before (in order; the output is used by one thread at a time).
bool sli_write_database(const SLI_VECTOR_DATABASE& database, SLI_OUTPUT* out)
{
    std::unique_ptr<SLI_FORMAT_WRITER> writer = database.format == SLI_OUTPUT_FORMAT_CSV   ? sli_csv_writer(database)
                                                : database.format == SLI_OUTPUT_FORMAT_VCD ? sli_vcd_writer(database)
                                                                                           : sli_tbl_writer(database);
    if (!writer->header(out))
        return false;
    const int piece = piece_samples(*writer);
    std::vector<SLI_OUTPUT> pieces(2 * PIECES_AT_ONCE);
    int waiting = 0;                             // formatted pieces of the window before
    for (int first = 0, window = 0; first < database.depth() || waiting > 0; first += piece * PIECES_AT_ONCE) {
        SLI_OUTPUT* current = &pieces[size_t(window * PIECES_AT_ONCE)];
        SLI_OUTPUT* before = &pieces[size_t((1 - window) * PIECES_AT_ONCE)];
        const int count = first < database.depth() ? std::min(PIECES_AT_ONCE, (database.depth() - first + piece - 1) / piece) : 0;
        const int writes = waiting > 0 ? 1 : 0;
        sdr_file_parallel(writes + count, [&](int i) {
            if (i < writes) {
                for (int k = 0; k < waiting; ++k)
                    out->write_out(&before[k]);
                return;
            }
            const int from = first + (i - writes) * piece;
            writer->samples(from, std::min(database.depth(), from + piece), &current[i - writes]);
        });
        waiting = count;
        window = 1 - window;
    }
    writer->trailer(out);
    return true;
}
