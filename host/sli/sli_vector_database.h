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

struct SLI_VECTOR_DATABASE
{
    SLI_DATA_LOG_EXPORTER_OUTPUT_FORMAT format = SLI_OUTPUT_FORMAT_TBL;
    long long clock_interval_ps = 0;             // 0: not set, times count samples
    // Rows at least as long as the payload's counts say (a short row is padded with zeros).
    std::shared_ptr<const SDR_LOG_PAYLOAD> payload;
    std::vector<std::string> names;              // one per channel, as acquired
    std::string scope;                           // the instance the log belongs to
    std::string log_name;
    int trigger_position = 0;                    // the sample at time 0

    int depth() const { return payload->depth; }
    int channels() const { return payload->channel_count; }
};

// Walks a payload 64 samples at a time, turning its channel-major rows around so that each
// sample's bits come as words of 64 channels (channel c at bit c % 64 of word c / 64). Writers
// then read a sample's channels without touching a cache line per channel.
class SLI_SAMPLE_BLOCKS
{
public:
    explicit SLI_SAMPLE_BLOCKS(const SDR_LOG_PAYLOAD& payload);

    // Loads the next block; the number of samples in it, 0 after the last.
    int next();
    // The sample index of the block's first sample.
    int first_sample() const { return m_first; }
    // Words per sample: one per 64 channels.
    int groups() const { return m_groups; }
    const uint64_t* channel_words(int j) const { return m_words.data() + size_t(j) * size_t(m_groups); }
    bool is_valid(int j) const { return ((m_valid >> j) & 1u) != 0; }

    // The bit of `channel` among a sample's words.
    static bool bit(const uint64_t* words, int channel) { return ((words[channel >> 6] >> (channel & 63)) & 1u) != 0; }

private:
    uint64_t row_word(const QByteArray& bits, qint64 row_offset, int count) const;

    const SDR_LOG_PAYLOAD& m_payload;
    int m_groups = 0;
    int m_first = 0;
    int m_next = 0;
    uint64_t m_valid = 0;
    std::vector<uint64_t> m_words;               // 64 samples x m_groups
};

// What a writer writes into: bytes gathered in a buffer and handed to the device in large
// pieces. A failed device write makes every later call a no-op and finish() false.
class SLI_OUTPUT
{
public:
    // `fail_after` >= 0 makes the writes fail once that many bytes have gone out (a test seam
    // for a disk that fills up).
    SLI_OUTPUT(QIODevice* device, long long fail_after);
    ~SLI_OUTPUT();
    SLI_OUTPUT(const SLI_OUTPUT&) = delete;
    SLI_OUTPUT& operator=(const SLI_OUTPUT&) = delete;

    // Room for at least `bytes` more bytes at the returned pointer; end() takes the position
    // after what was written there.
    char* reserve(size_t bytes);
    void end(char* position) { m_used = size_t(position - m_buffer.data()); }
    void append(const char* text, size_t size);
    void append(const std::string& text) { append(text.data(), text.size()); }
    // Writes what is left; false when any write failed.
    bool finish();

private:
    bool flush();

    QIODevice* m_device;
    long long m_fail_after;
    long long m_written = 0;
    bool m_failed = false;
    std::vector<char> m_buffer;
    size_t m_used = 0;
};

bool sli_write_csv(const SLI_VECTOR_DATABASE& database, SLI_OUTPUT* out);
bool sli_write_tbl(const SLI_VECTOR_DATABASE& database, SLI_OUTPUT* out);
bool sli_write_vcd(const SLI_VECTOR_DATABASE& database, SLI_OUTPUT* out);

// The largest number of decimal digits (with a sign) a time of the table formats takes.
constexpr int SLI_MAX_TIME_TEXT = 48;
