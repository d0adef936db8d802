// The exporter's sample walk (64-sample blocks turned channel-per-bit), its buffered output
// and the run of a format over the samples in pieces on a few threads.
#include "host/sli/sli_vector_database.h"

#include "host/sdr/sdr_file_parallel.h"

#include <QIODevice>
#include <QtEndian>

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <mutex>

namespace
{
const size_t OUTPUT_PIECE = size_t(1) << 20;
// The first room of an in-memory output: about what a piece's text takes, so that a piece
// grows its buffer once or twice rather than a dozen times.
const size_t FIRST_PIECE_CAPACITY = size_t(128) << 10;
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

// "00" to "99": a time stamp's digits go two per division.
struct digit_pairs
{
    constexpr digit_pairs() : text()
    {
        for (int i = 0; i < 100; ++i) {
            text[2 * i] = char('0' + i / 10);
            text[2 * i + 1] = char('0' + i % 10);
        }
    }
    char text[200];
};
constexpr digit_pairs DIGIT_PAIRS;
} // namespace

char* sli_put_digits(unsigned long long value, char* out)
{
    char digits[24];
    char* at = digits + sizeof digits;
    while (value >= 100) {
        at -= 2;
        std::memcpy(at, DIGIT_PAIRS.text + 2 * (value % 100), 2);
        value /= 100;
    }
    if (value >= 10) {
        at -= 2;
        std::memcpy(at, DIGIT_PAIRS.text + 2 * value, 2);
    } else {
        *--at = char('0' + value);
    }
    const size_t count = size_t(digits + sizeof digits - at);
    std::memcpy(out, at, count);
    return out + count;
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
    : m_device(device), m_fail_after(fail_after)
{
    if (device != nullptr)
        grow(OUTPUT_PIECE * 2);
}

SLI_OUTPUT::SLI_OUTPUT(SLI_OUTPUT&& other) noexcept
    : m_device(other.m_device), m_fail_after(other.m_fail_after), m_written(other.m_written),
      m_failed(other.m_failed), m_buffer(std::move(other.m_buffer)), m_capacity(other.m_capacity),
      m_used(other.m_used)
{
    other.m_capacity = 0;
    other.m_used = 0;
}

SLI_OUTPUT::~SLI_OUTPUT() = default;

char* SLI_OUTPUT::reserve(size_t bytes)
{
    if (m_device != nullptr && m_used >= OUTPUT_PIECE)
        flush();
    if (m_capacity - m_used < bytes)
        grow(std::max({m_used + bytes, m_capacity * 2, FIRST_PIECE_CAPACITY}));
    return m_buffer.get() + m_used;
}

void SLI_OUTPUT::grow(size_t capacity)
{
    std::unique_ptr<char[]> larger(new char[capacity]);
    if (m_used > 0)
        std::memcpy(larger.get(), m_buffer.get(), m_used);
    m_buffer = std::move(larger);
    m_capacity = capacity;
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
    const bool written = m_device == nullptr || m_used == 0 || write_bytes(m_buffer.get(), qint64(m_used));
    if (m_device != nullptr)
        m_used = 0;
    return written && !m_failed;
}

void SLI_OUTPUT::write_out(SLI_OUTPUT* piece)
{
    if (m_device == nullptr) {
        append(piece->m_buffer.get(), piece->m_used);
    } else if (flush()) {
        write_bytes(piece->m_buffer.get(), qint64(piece->m_used));
    }
    piece->m_used = 0;
}

bool SLI_OUTPUT::finish()
{
    return flush();
}

namespace
{
// The pieces of one export in flight: formatted into a ring of outputs on any thread, written
// to the output in order by whichever thread finds the next one ready. A piece waits for its
// slot until the piece a ring before it has been written, so the text waiting to be written
// stays a few megabytes however long the log.
class ordered_pieces
{
public:
    ordered_pieces(const SLI_FORMAT_WRITER& writer, SLI_OUTPUT* out, int depth, int piece)
        : m_writer(writer), m_out(out), m_depth(depth), m_piece(piece), m_slots(RING), m_ready(RING, false)
    {
    }

    int count() const { return (m_depth + m_piece - 1) / m_piece; }

    void format(int i)
    {
        SLI_OUTPUT* slot = &m_slots[size_t(i % RING)];
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_slot_free.wait(lock, [&] { return i < m_written + RING || m_failed; });
            if (m_failed)
                return;
        }
        try {
            const int from = i * m_piece;
            m_writer.samples(from, std::min(m_depth, from + m_piece), slot);
        } catch (...) {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_failed = true;
            m_slot_free.notify_all();
            throw;
        }
        write_ready(i);
    }

private:
    static const int RING = 2 * PIECES_AT_ONCE;

    // Marks piece i formatted and, unless another thread is writing, writes every piece that
    // is next in order and ready; the writes run outside the lock.
    void write_ready(int i)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_ready[size_t(i % RING)] = true;
        if (m_writing)
            return;
        m_writing = true;
        while (!m_failed && m_written < count() && m_ready[size_t(m_written % RING)]) {
            SLI_OUTPUT* next = &m_slots[size_t(m_written % RING)];
            lock.unlock();
            m_out->write_out(next);
            lock.lock();
            m_ready[size_t(m_written % RING)] = false;
            ++m_written;
            m_slot_free.notify_all();
        }
        m_writing = false;
    }

    const SLI_FORMAT_WRITER& m_writer;
    SLI_OUTPUT* m_out;
    const int m_depth;
    const int m_piece;
    std::vector<SLI_OUTPUT> m_slots;
    std::mutex m_mutex;
    std::condition_variable m_slot_free;
    std::vector<bool> m_ready;
    int m_written = 0;
    bool m_writing = false;
    bool m_failed = false;
};
} // namespace

// Formatting and writing overlap: the threads format pieces ahead while one of them writes the
// pieces before, in order (the output is used by one thread at a time). The threads start once
// per export, not once per window of pieces.
bool sli_write_database(const SLI_VECTOR_DATABASE& database, SLI_OUTPUT* out)
{
    std::unique_ptr<SLI_FORMAT_WRITER> writer = database.format == SLI_OUTPUT_FORMAT_CSV   ? sli_csv_writer(database)
                                                : database.format == SLI_OUTPUT_FORMAT_VCD ? sli_vcd_writer(database)
                                                                                           : sli_tbl_writer(database);
    if (!writer->header(out))
        return false;
    ordered_pieces pieces(*writer, out, database.depth(), piece_samples(*writer));
    sdr_file_parallel(pieces.count(), [&](int i) { pieces.format(i); });
    writer->trailer(out);
    return true;
}
