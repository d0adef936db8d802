#pragma once
// Inside the data exporter: the snapshot of a data log, the sample blocks the writers walk and
// the buffered output they write into.

#include "host/sdr/sdr_data_model.h"
#include "host/sli.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class QIODevice;

// A group of the log's node list as a vector of its channels, most significant bit first.
struct SLI_BUS
{
    std::string name;
    std::vector<int> channels;
};

struct SLI_VECTOR_DATABASE
{
    SLI_DATA_LOG_EXPORTER_OUTPUT_FORMAT format = SLI_OUTPUT_FORMAT_TBL;
    long long clock_interval_ps = 0;             // 0: not set, times count samples
    // Rows at least as long as the payload's counts say (a short row is padded with zeros).
    std::shared_ptr<const SDR_LOG_PAYLOAD> payload;
    std::vector<std::string> names;              // one per channel, as acquired
    std::vector<SLI_BUS> buses;                  // the groups whose every leaf was acquired
    std::string scope;                           // the instance the log belongs to
    std::string log_name;
    int trigger_position = 0;                    // the sample at time 0

    int depth() const { return payload->depth; }
    int channels() const { return payload->channel_count; }
};

// Walks samples [first, end) of a payload 64 at a time, turning its channel-major rows around
// so that each sample's bits come as words of 64 channels (channel c at bit c % 64 of word
// c / 64). Writers then read a sample's channels without touching a cache line per channel.
class SLI_SAMPLE_BLOCKS
{
public:
    // `first` is a multiple of 64.
    SLI_SAMPLE_BLOCKS(const SDR_LOG_PAYLOAD& payload, int first, int end);

    // Loads the next block; the number of samples in it, 0 after the last.
    int next();
    // The sample index of the block's first sample.
    int first_sample() const { return m_first; }
    const uint64_t* channel_words(int j) const { return m_words.data() + size_t(j) * size_t(m_groups); }
    bool is_valid(int j) const { return ((m_valid >> j) & 1u) != 0; }

    // The bit of `channel` among a sample's words.
    static bool bit(const uint64_t* words, int channel) { return ((words[channel >> 6] >> (channel & 63)) & 1u) != 0; }
    // One sample's words (one per 64 channels) and validity, read on their own.
    static void read_sample(const SDR_LOG_PAYLOAD& payload, int sample, uint64_t* words, bool* valid);

private:
    uint64_t row_word(const QByteArray& bits, qint64 row_offset, int count) const;

    const SDR_LOG_PAYLOAD& m_payload;
    int m_groups = 0;
    int m_first = 0;
    int m_next = 0;
    int m_end = 0;
    uint64_t m_valid = 0;
    std::vector<uint64_t> m_words;               // 64 samples x m_groups
};

// What a writer writes into: bytes gathered in a buffer and handed to the device in large
// pieces, or, without a device, kept in memory. A failed device write makes every later write
// a no-op and finish() false. Aligned to a cache line: the outputs of pieces that threads
// write side by side must not share one.
class alignas(64) SLI_OUTPUT
{
public:
    // `fail_after` >= 0 makes the writes fail once that many bytes have gone out (a test seam
    // for a disk that fills up).
    SLI_OUTPUT(QIODevice* device, long long fail_after);
    SLI_OUTPUT() : SLI_OUTPUT(nullptr, -1) {}
    ~SLI_OUTPUT();
    SLI_OUTPUT(SLI_OUTPUT&& other) noexcept;
    SLI_OUTPUT(const SLI_OUTPUT&) = delete;
    SLI_OUTPUT& operator=(const SLI_OUTPUT&) = delete;

    // Room for at least `bytes` more bytes at the returned pointer; end() takes the position
    // after what was written there.
    char* reserve(size_t bytes);
    void end(char* position) { m_used = size_t(position - m_buffer.get()); }
    void append(const char* text, size_t size);
    void append(const std::string& text) { append(text.data(), text.size()); }
    // Writes what an in-memory output holds straight to this one's device, then empties it.
    void write_out(SLI_OUTPUT* piece);
    // Writes what is left; false when any write failed.
    bool finish();

private:
    bool flush();
    void grow(size_t capacity);
    bool write_bytes(const char* bytes, qint64 size);

    QIODevice* m_device;
    long long m_fail_after;
    long long m_written = 0;
    bool m_failed = false;
    // Left uninitialised: every byte is written before it is read, and growing copies only
    // the bytes in use.
    std::unique_ptr<char[]> m_buffer;
    size_t m_capacity = 0;
    size_t m_used = 0;
};

// The text of one format: a header, the lines of any range of samples (from several threads at
// once, each into its own output), and a trailer.
class SLI_FORMAT_WRITER
{
public:
    virtual ~SLI_FORMAT_WRITER() = default;
    // False when the snapshot cannot be written in this format.
    virtual bool header(SLI_OUTPUT* out) const = 0;
    // Samples [first, end); `first` is a multiple of 64.
    virtual void samples(int first, int end, SLI_OUTPUT* out) const = 0;
    virtual void trailer(SLI_OUTPUT* out) const { (void)out; }
    // The most bytes one sample's text can take.
    virtual size_t sample_room() const = 0;
};

std::unique_ptr<SLI_FORMAT_WRITER> sli_csv_writer(const SLI_VECTOR_DATABASE& database);
std::unique_ptr<SLI_FORMAT_WRITER> sli_tbl_writer(const SLI_VECTOR_DATABASE& database);
std::unique_ptr<SLI_FORMAT_WRITER> sli_vcd_writer(const SLI_VECTOR_DATABASE& database);

// Writes the snapshot in its format: the samples are formatted in pieces on a few threads and
// written in order. False when the format refuses the snapshot or a write failed.
bool sli_write_database(const SLI_VECTOR_DATABASE& database, SLI_OUTPUT* out);

// The decimal digits of `value` at `out`; the position after them.
char* sli_put_digits(unsigned long long value, char* out);
// A name as one word for formats whose readers split at white space ("a b" reads as "ab", or
// as two columns): blanks and control characters become "_"; an empty name becomes `fallback`.
std::string sli_one_word(const std::string& name, const std::string& fallback);

// The largest number of characters (with a sign) a time of the table formats takes.
constexpr int SLI_MAX_TIME_TEXT = 48;
