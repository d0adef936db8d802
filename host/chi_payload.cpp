// The acquired samples of one acquisition: the memory's channels filled from the samples it
// stored (runs of consecutive samples, one window around the trigger, one per segment, or what
// a storage qualifier kept), the validity of its places, the trigger and break marks, and the
// state of the trigger flow. Built in private memory; the log gets it whole.
#include "host/chi_private.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace chi_detail
{
namespace
{
constexpr int64_t SEGMENT_HORIZON = int64_t(1) << 24;
// Runs closer than this are read as one stretch of samples; a stretch shorter than
// SHORT_STRETCH is read sample by sample.
constexpr int64_t GAP_READ_THROUGH = 64;
constexpr int64_t LONGEST_STRETCH = int64_t(1) << 16;
constexpr int64_t SHORT_STRETCH = 16;

void set_bit(QByteArray& row, int sample, bool on)
{
    char& byte = row.data()[sample / 8];
    const char mask = char(1u << (sample % 8));
    byte = on ? char(byte | mask) : char(byte & ~mask);
}

// Appends strings of bits to a row one after the other, a word at a time.
class bit_appender
{
public:
    explicit bit_appender(unsigned char* row) : m_out(row) {}

    // The low `count` (1 .. 57) bits of `bits`; the bits above them are clear.
    void append(uint64_t bits, int count)
    {
        m_word |= bits << m_filled;
        m_filled += count;
        if (m_filled < 64)
            return;
        std::memcpy(m_out, &m_word, 8);
        m_out += 8;
        m_filled -= 64;
        m_word = m_filled > 0 ? bits >> (count - m_filled) : 0;
    }

    void finish() { std::memcpy(m_out, &m_word, size_t(m_filled + 7) / 8); }

private:
    unsigned char* m_out;
    uint64_t m_word = 0;
    int m_filled = 0;
};

// Up to 57 bits of `bits` from bit `at` on (the buffer holds 8 readable bytes past it).
uint64_t bits_at(const unsigned char* bits, int64_t at, int count)
{
    uint64_t word = 0;
    std::memcpy(&word, bits + at / 8, 8);
    return (word >> (at % 8)) & ((uint64_t(1) << count) - 1);
}

QByteArray filled_row(int depth, bool on)
{
    QByteArray row((depth + 7) / 8, on ? char(0xff) : char(0));
    if (on && depth % 8 != 0)
        row.data()[row.size() - 1] = char((1u << (depth % 8)) - 1u);
    return row;
}

// Runs read together: runs[first .. last] lie within one stretch of samples.
struct stretch
{
    size_t first = 0;
    size_t last = 0;
    int64_t from = 0;
    int64_t length = 0;
};

std::vector<stretch> stretches_of(const std::vector<stored_run>& runs)
{
    std::vector<stretch> result;
    for (size_t i = 0; i < runs.size(); ++i)
    {
        const int64_t end = runs[i].first + runs[i].count;
        if (!result.empty())
        {
            stretch& s = result.back();
            if (runs[i].first >= s.from + s.length && runs[i].first - (s.from + s.length) <= GAP_READ_THROUGH &&
                end - s.from <= LONGEST_STRETCH)
            {
                s.last = i;
                s.length = end - s.from;
                continue;
            }
        }
        result.push_back({i, i, runs[i].first, runs[i].count});
    }
    return result;
}

// One channel's row: each stretch of samples read at once, its runs appended in order.
void fill_channel(const signal_bank& bank, int source, const std::vector<stored_run>& runs,
                  const std::vector<stretch>& stretches, unsigned char* row, std::vector<unsigned char>* buffer,
                  row_scratch* scratch)
{
    constexpr int PIECE = 56;
    bit_appender out(row);
    for (const stretch& s : stretches)
    {
        if (s.length < SHORT_STRETCH)
        {
            for (size_t r = s.first; r <= s.last; ++r)
                for (int64_t i = 0; i < runs[r].count; ++i)
                    out.append(bank.bit(source, runs[r].first + i) ? 1 : 0, 1);
            continue;
        }
        buffer->assign(size_t(s.length + 7) / 8 + 8, 0);
        bank.fill_row(source, s.from, int(s.length), buffer->data(), scratch);
        for (size_t r = s.first; r <= s.last; ++r)
            for (int64_t done = 0; done < runs[r].count; done += PIECE)
            {
                const int count = int(std::min<int64_t>(PIECE, runs[r].count - done));
                out.append(bits_at(buffer->data(), runs[r].first - s.from + done, count), count);
            }
    }
    out.finish();
}

void fill_channels(const acquisition_plan& plan, const std::vector<stored_run>& runs, SDR_LOG_PAYLOAD& p)
{
    const int bytes = p.row_bytes();
    row_scratch scratch;
    std::vector<unsigned char> buffer;
    const std::vector<stretch> stretches = stretches_of(runs);
    unsigned char* rows = reinterpret_cast<unsigned char*>(p.channel_bits.data());
    std::memset(rows, 0, size_t(bytes) * plan.channels.size());
    for (size_t c = 0; c < plan.channels.size(); ++c)
    {
        unsigned char* row = rows + c * size_t(bytes);
        // The common case, one window: read straight into the row.
        if (runs.size() == 1 && runs[0].count == plan.depth)
            plan.bank.fill_row(plan.channels[c], runs[0].first, plan.depth, row, &scratch);
        else
            fill_channel(plan.bank, plan.channels[c], runs, stretches, row, &buffer, &scratch);
    }
}

// The places the runs filled are valid; with discontinuities recorded, the first sample after
// a gap carries the break mark. A faulty memory (a test's fault) loses every k-th place.
void fill_marks(const acquisition_plan& plan, const std::vector<stored_run>& runs, const std::vector<int>& triggers,
                SDR_LOG_PAYLOAD& p)
{
    const int size = plan.segment_size > 0 ? plan.segment_size : plan.depth;
    p.valid_bits = filled_row(plan.depth, false);
    p.trigger_bits = filled_row(plan.depth, false);
    p.break_bits = filled_row(plan.depth, false);
    int64_t place = 0;
    for (size_t r = 0; r < runs.size(); ++r)
    {
        if (plan.storage.record_breaks && r > 0 && place > 0 && runs[r].first != runs[r - 1].first + runs[r - 1].count)
            set_bit(p.break_bits, int(place), true);
        for (int64_t i = 0; i < runs[r].count && place < plan.depth; ++i)
            set_bit(p.valid_bits, int(place++), true);
    }
    for (size_t k = 0; k < triggers.size(); ++k)
    {
        if (triggers[k] >= 0)
            set_bit(p.trigger_bits, int(k) * size + triggers[k], true);
        p.segment_trigger_positions.push_back(triggers[k]);
    }
    for (int s = plan.sq_invalid_every - 1; plan.sq_invalid_every > 1 && s < plan.depth; s += plan.sq_invalid_every)
        set_bit(p.valid_bits, s, p.bit_in_row(p.trigger_bits, 0, s));
}

bool fits(const acquisition_plan& plan)
{
    const int64_t row_bytes = (int64_t(plan.depth) + 7) / 8;
    return plan.depth > 0 && row_bytes * int64_t(plan.channels.size()) <= INT_MAX / 2;
}
} // namespace

capture_result capture_of(const acquisition_plan& plan, const std::vector<stored_run>& runs,
                          const std::vector<int>& triggers, const trigger_result& first)
{
    capture_result result;
    if (!fits(plan))
    {
        result.payload = std::make_shared<SDR_LOG_PAYLOAD>();
        result.end_time = first.found ? first.trigger : first.next;
        return result;
    }
    auto p = std::make_shared<SDR_LOG_PAYLOAD>();
    p->depth = plan.depth;
    p->channel_count = int(plan.channels.size());
    p->segment_size = plan.segment_size;
    const int64_t row_bytes = (int64_t(plan.depth) + 7) / 8;
    p->channel_bits = QByteArray(int(row_bytes * int64_t(plan.channels.size())), Qt::Uninitialized);
    fill_channels(plan, runs, *p);
    fill_marks(plan, runs, triggers, *p);
    p->connected = QByteArray(plan.connected.data(), int(plan.connected.size()));
    p->trigger_position = triggers.empty() ? -1 : triggers[0];
    if (plan.segment_size == 0)
        p->segment_trigger_positions.clear();
    p->state_value = plan.state_value;
    p->flag_values = plan.flags;
    p->counter_values = plan.counters;
    if (first.flow_met)
    {
        // What the flow's registers held at its trigger.
        p->state_value = first.flow.state;
        p->flag_values = QByteArray(first.flow.flags.data(), int(first.flow.flags.size()));
        p->counter_values = first.flow.counters;
    }
    result.payload = p;
    result.end_time = runs.empty() ? 0 : runs.back().first + runs.back().count;
    return result;
}

capture_result capture_windows(const acquisition_plan& plan, const trigger_result& first,
                               const std::atomic<bool>* cancel)
{
    const int size = plan.segment_size > 0 ? plan.segment_size : plan.depth;
    const int count = plan.segment_size > 0 ? plan.depth / plan.segment_size : 1;
    std::vector<stored_run> runs{{first.trigger - plan.trigger_offset, size}};
    std::vector<int> triggers{plan.trigger.continuous ? -1 : plan.trigger_offset};
    for (int k = 1; k < count; ++k)
    {
        const int64_t after = runs.back().first + size;
        trigger_result next = trigger_search_from(after + plan.trigger_offset);
        search_trigger(plan.trigger, plan.bank, SEGMENT_HORIZON, cancel, &next);
        runs.push_back({next.found ? next.trigger - plan.trigger_offset : after, size});
        triggers.push_back(next.found ? plan.trigger_offset : -1);
    }
    return capture_of(plan, runs, triggers, first);
}

capture_result capture_stopped(const acquisition_plan& plan, int64_t start_time, int64_t reached)
{
    const int size = plan.segment_size > 0 ? plan.segment_size : plan.depth;
    const int count = plan.segment_size > 0 ? plan.depth / plan.segment_size : 1;
    const int64_t start = std::max<int64_t>(start_time, reached - int64_t(size) * count);
    std::vector<stored_run> runs;
    for (int k = 0; k < count; ++k)
        runs.push_back({start + int64_t(k) * size, size});
    capture_result result = capture_of(plan, runs, std::vector<int>(size_t(count), -1), trigger_result());
    result.end_time = reached;
    return result;
}
} // namespace chi_detail
