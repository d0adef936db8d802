// The acquired samples of one trigger (or one per segment): the window of every channel around
// the trigger sample, the validity the storage qualifier leaves, the trigger and break marks,
// and the state of the trigger flow. Built in private memory; the log gets it whole.
#include "host/chi_private.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace chi_detail
{
namespace
{
constexpr int64_t SEGMENT_HORIZON = int64_t(1) << 24;

void set_bit(QByteArray& row, int sample, bool on)
{
    char& byte = row.data()[sample / 8];
    const char mask = char(1u << (sample % 8));
    byte = on ? char(byte | mask) : char(byte & ~mask);
}

// Copies `count` bits of `from` (starting at bit 0) to bit `at` of `to`.
void copy_bits(unsigned char* to, int at, const unsigned char* from, int count)
{
    if (at % 8 == 0)
    {
        std::memcpy(to + at / 8, from, size_t(count / 8));
        for (int i = count / 8 * 8; i < count; ++i)
            to[(at + i) / 8] = static_cast<unsigned char>(
                to[(at + i) / 8] | (((from[i / 8] >> (i % 8)) & 1u) << ((at + i) % 8)));
        return;
    }
    for (int i = 0; i < count; ++i)
        if ((from[i / 8] >> (i % 8)) & 1u)
            to[(at + i) / 8] = static_cast<unsigned char>(to[(at + i) / 8] | (1u << ((at + i) % 8)));
}

QByteArray filled_row(int depth, bool on)
{
    QByteArray row((depth + 7) / 8, on ? char(0xff) : char(0));
    if (on && depth % 8 != 0)
        row.data()[row.size() - 1] = char((1u << (depth % 8)) - 1u);
    return row;
}

// Where each window starts and where its trigger lies inside it (-1: no trigger).
struct window
{
    int64_t first = 0;
    int trigger = -1;
};

std::vector<window> windows_of(const acquisition_plan& plan, const trigger_result& first,
                               const std::atomic<bool>* cancel)
{
    const int size = plan.segment_size > 0 ? plan.segment_size : plan.depth;
    const int count = plan.segment_size > 0 ? plan.depth / plan.segment_size : 1;
    std::vector<window> result;
    window w;
    w.first = first.trigger - plan.trigger_offset;
    w.trigger = plan.trigger.continuous ? -1 : plan.trigger_offset;
    result.push_back(w);
    for (int k = 1; k < count; ++k)
    {
        const int64_t after = result.back().first + size;
        trigger_result next = trigger_search_from(after + plan.trigger_offset);
        search_trigger(plan.trigger, plan.bank, SEGMENT_HORIZON, cancel, &next);
        w.first = next.found ? next.trigger - plan.trigger_offset : after;
        w.trigger = next.found ? plan.trigger_offset : -1;
        result.push_back(w);
    }
    return result;
}

void fill_channels(const acquisition_plan& plan, const std::vector<window>& windows, SDR_LOG_PAYLOAD& p)
{
    const int size = plan.segment_size > 0 ? plan.segment_size : plan.depth;
    const int bytes = p.row_bytes();
    row_scratch scratch;
    std::vector<unsigned char> segment(size_t(size + 7) / 8);
    unsigned char* rows = reinterpret_cast<unsigned char*>(p.channel_bits.data());
    for (size_t c = 0; c < plan.channels.size(); ++c)
    {
        unsigned char* row = rows + c * size_t(bytes);
        if (windows.size() == 1)
        {
            plan.bank.fill_row(plan.channels[c], windows[0].first, plan.depth, row, &scratch);
            continue;
        }
        std::memset(row, 0, size_t(bytes));
        for (size_t k = 0; k < windows.size(); ++k)
        {
            plan.bank.fill_row(plan.channels[c], windows[k].first, size, segment.data(), &scratch);
            copy_bits(row, int(k) * size, segment.data(), size);
        }
    }
}

// With a storage qualifier every k-th sample is not stored (the trigger sample always is);
// with discontinuities recorded, the sample after a gap carries the break mark.
void fill_marks(const acquisition_plan& plan, const std::vector<window>& windows, const store_gaps& gaps,
                SDR_LOG_PAYLOAD& p)
{
    const int size = plan.segment_size > 0 ? plan.segment_size : plan.depth;
    p.valid_bits = filled_row(plan.depth, true);
    p.trigger_bits = filled_row(plan.depth, false);
    p.break_bits = filled_row(plan.depth, false);
    for (size_t k = 0; k < windows.size(); ++k)
    {
        if (windows[k].trigger >= 0)
            set_bit(p.trigger_bits, int(k) * size + windows[k].trigger, true);
        p.segment_trigger_positions.push_back(windows[k].trigger);
    }
    // Samples a state flow kept out of the memory (the window of a single acquisition).
    for (size_t g = 0; plan.segment_size == 0 && g < gaps.size(); ++g)
    {
        const int64_t from = std::max<int64_t>(gaps[g].first - windows[0].first, 0);
        const int64_t to = std::min<int64_t>(gaps[g].second - windows[0].first, plan.depth - 1);
        for (int64_t s = from; s <= to; ++s)
            set_bit(p.valid_bits, int(s), false);
    }
    if (!plan.storage_qualified)
        return;
    for (int s = plan.sq_invalid_every - 1; s < plan.depth; s += plan.sq_invalid_every)
        set_bit(p.valid_bits, s, p.bit_in_row(p.trigger_bits, 0, s));
    for (int s = 1; plan.record_breaks && s < plan.depth; ++s)
        set_bit(p.break_bits, s, !p.bit_in_row(p.valid_bits, 0, s - 1));
}
} // namespace

namespace
{
capture_result fill(const acquisition_plan& plan, const std::vector<window>& windows, const trigger_result& first)
{
    capture_result result;
    auto p = std::make_shared<SDR_LOG_PAYLOAD>();
    p->depth = plan.depth;
    p->channel_count = int(plan.channels.size());
    p->segment_size = plan.segment_size;
    const int64_t row_bytes = (int64_t(plan.depth) + 7) / 8;
    p->channel_bits = QByteArray(int(row_bytes * int64_t(plan.channels.size())), Qt::Uninitialized);
    fill_channels(plan, windows, *p);
    fill_marks(plan, windows, first.gaps, *p);
    p->connected = QByteArray(plan.connected.data(), int(plan.connected.size()));
    p->trigger_position = windows[0].trigger;
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
    result.end_time = windows.back().first + (plan.segment_size > 0 ? plan.segment_size : plan.depth);
    return result;
}

bool fits(const acquisition_plan& plan)
{
    const int64_t row_bytes = (int64_t(plan.depth) + 7) / 8;
    return plan.depth > 0 && row_bytes * int64_t(plan.channels.size()) <= INT_MAX / 2;
}
} // namespace

capture_result capture(const acquisition_plan& plan, const trigger_result& first,
                       const std::atomic<bool>* cancel)
{
    if (!fits(plan))
    {
        capture_result result;
        result.payload = std::make_shared<SDR_LOG_PAYLOAD>();
        result.end_time = first.trigger;
        return result;
    }
    return fill(plan, windows_of(plan, first, cancel), first);
}

capture_result capture_stopped(const acquisition_plan& plan, int64_t reached)
{
    if (!fits(plan))
        return capture_result();
    const int size = plan.segment_size > 0 ? plan.segment_size : plan.depth;
    const int count = plan.segment_size > 0 ? plan.depth / plan.segment_size : 1;
    const int64_t start = std::max<int64_t>(plan.start_time, reached - int64_t(size) * count);
    std::vector<window> windows;
    for (int k = 0; k < count; ++k)
    {
        window w;
        w.first = start + int64_t(k) * size;
        w.trigger = -1;
        windows.push_back(w);
    }
    capture_result result = fill(plan, windows, trigger_result());
    result.end_time = reached;
    return result;
}
} // namespace chi_detail
