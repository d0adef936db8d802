// One acquisition of the simulated device on its timeline: the storage qualifier decides, 64
// samples at a time and in sample order, which samples the memory takes; the trigger is armed
// once the pre-trigger part of the memory is full, searched, and the memory then takes the
// post-trigger samples. Every stage can be worked through a slice at a time, so a run waiting
// long (for its trigger or for samples to store) never holds up a stop or another request.
#include "host/chi_private.h"

#include <algorithm>
#include <climits>
#include <deque>

namespace chi_detail
{
namespace
{
constexpr int BLOCK = 64;
constexpr uint64_t ALL = ~uint64_t(0);
constexpr int64_t FOREVER = INT64_MAX;
constexpr int CANCEL_CHECK_BLOCKS = 1 << 12;

// Bits [from, to) of a word.
uint64_t bits_between(int from, int to)
{
    if (from >= to)
        return 0;
    const uint64_t upto = to >= BLOCK ? ALL : (uint64_t(1) << to) - 1;
    return upto & (ALL << from);
}

// The registers of the flow that decides the storage; null before the flow of a state-based
// trigger starts (every sample is stored until then) and for the other qualifiers.
flow_program::state* storage_flow(const acquisition_plan& plan, const trigger_result& trigger)
{
    if (plan.storage.type != SDR_SQTYPE_STATE_BASED || trigger.memory == nullptr || !trigger.memory->flow_started)
        return nullptr;
    return &trigger.memory->flow;
}
} // namespace

// The samples the storage qualifier keeps, from the start of an acquisition. Before the
// trigger the memory is a ring of the last `depth` of them; at the trigger it keeps its
// pre-trigger part and the trigger sample, then fills up.
class storage_tracker
{
public:
    storage_tracker(const acquisition_plan& plan, int64_t start)
        : m_plan(plan), m_start(start), m_position(start)
    {
    }

    int64_t position() const { return m_position; }
    int64_t kept() const { return m_kept; }
    int trigger_place() const { return m_trigger_place; }

    // Decides the samples from position() on until the memory holds `count` samples or `limit`
    // is reached. `flow`: the registers of a state-based flow that decides the storage (null
    // while the flow does not run: every sample is stored then).
    void advance(int64_t limit, int64_t count, flow_program::state* flow, const std::atomic<bool>* cancel)
    {
        int blocks = 0;
        while (m_position < limit && m_kept < count)
        {
            if (++blocks % CANCEL_CHECK_BLOCKS == 0 && cancel != nullptr && cancel->load())
                return;
            const int64_t block_first = m_start + (m_position - m_start) / BLOCK * BLOCK;
            const int to = int(std::min<int64_t>(BLOCK, limit - block_first));
            uint64_t word = stored_word(block_first, to, flow) & bits_between(int(m_position - block_first), to);
            while (word != 0 && m_kept < count)
            {
                const int first = __builtin_ctzll(word);
                const uint64_t rest = ~word >> first;
                const int length = rest == 0 ? BLOCK - first : __builtin_ctzll(rest);
                const int64_t taken = std::min<int64_t>(length, count - m_kept);
                keep(block_first + first, taken);
                if (m_kept == count)
                {
                    m_position = block_first + first + taken;
                    return;
                }
                word &= ~bits_between(first, first + length);
            }
            m_position = block_first + to;
        }
    }

    // The trigger at position(): the memory keeps the last `before` samples and the trigger
    // sample, whatever the qualifier says of it.
    void take_trigger(int before)
    {
        while (m_kept > before)
        {
            stored_run& oldest = m_runs.front();
            const int64_t drop = std::min(oldest.count, m_kept - before);
            oldest.first += drop;
            oldest.count -= drop;
            m_kept -= drop;
            if (oldest.count == 0)
                m_runs.pop_front();
        }
        m_trigger_place = int(m_kept);
        m_triggered = true;
        keep(m_position, 1);
        m_position += 1;
    }

    std::vector<stored_run> runs() const { return std::vector<stored_run>(m_runs.begin(), m_runs.end()); }

private:
    void keep(int64_t first, int64_t count)
    {
        if (!m_runs.empty() && m_runs.back().first + m_runs.back().count == first)
            m_runs.back().count += count;
        else
            m_runs.push_back({first, count});
        m_kept += count;
        // Before the trigger the memory is a ring: the oldest samples make room.
        while (!m_triggered && m_kept > m_plan.depth)
        {
            stored_run& oldest = m_runs.front();
            const int64_t drop = std::min(oldest.count, m_kept - m_plan.depth);
            oldest.first += drop;
            oldest.count -= drop;
            m_kept -= drop;
            if (oldest.count == 0)
                m_runs.pop_front();
        }
    }

    // Which samples of the block from `first` are stored; bits from `to` on may be wrong. The
    // conditions are worked out once per block, in block order.
    uint64_t stored_word(int64_t first, int to, flow_program::state* flow)
    {
        if (m_plan.storage.type == SDR_SQTYPE_STATE_BASED)
            return flow_word(first, to, flow);
        if (first == m_word_first)
            return m_word;
        m_word_first = first;
        const storage_plan& sq = m_plan.storage;
        const uint64_t keep = level_block(sq.keep, m_plan.bank, first, &m_rows, &m_keep_registers);
        if (sq.type != SDR_SQTYPE_START_STOP)
            return m_word = keep;
        // From a sample where the start condition holds up to one where the stop condition
        // holds, both stored.
        const uint64_t stop = level_block(sq.stop, m_plan.bank, first, &m_rows, &m_stop_registers);
        if ((!m_storing && keep == 0) || (m_storing && stop == 0))
            return m_word = m_storing ? ALL : 0;
        m_word = 0;
        for (int i = 0; i < BLOCK; ++i)
        {
            m_storing = m_storing || ((keep >> i) & 1) != 0;
            m_word |= uint64_t(m_storing ? 1 : 0) << i;
            m_storing = m_storing && ((stop >> i) & 1) == 0;
        }
        return m_word;
    }

    // The flow's storage commands: every sample but those of its gaps (the last one still open
    // while it does not store). Gaps behind the tracker are dropped.
    uint64_t flow_word(int64_t first, int to, flow_program::state* flow)
    {
        if (flow == nullptr)
            return ALL;
        store_gaps& gaps = flow->gaps;
        const int64_t behind = std::count_if(gaps.begin(), gaps.end(),
                                             [first](const auto& gap) { return gap.second < first; });
        gaps.erase(gaps.begin(), gaps.begin() + behind);
        uint64_t word = ALL;
        auto clear = [&](int64_t from, int64_t last) {
            if (last >= first && from < first + to)
                word &= ~bits_between(int(std::max<int64_t>(from, first) - first),
                                      int(std::min<int64_t>(last + 1, first + BLOCK) - first));
        };
        for (const auto& gap : gaps)
            clear(gap.first, gap.second);
        if (!flow->storing)
            clear(flow->gap_start, FOREVER - 1);
        return word;
    }

    const acquisition_plan& m_plan;
    int64_t m_start;
    int64_t m_position;
    int64_t m_kept = 0;
    std::deque<stored_run> m_runs;
    bool m_triggered = false;
    int m_trigger_place = -1;
    bool m_storing = false;                  // Start/Stop: between a start and a stop
    int64_t m_word_first = -1;
    uint64_t m_word = 0;
    search_memory m_rows;
    advanced_level::state m_keep_registers;
    advanced_level::state m_stop_registers;
};

acquisition::acquisition(std::shared_ptr<const acquisition_plan> plan, int64_t start)
    : m_plan(std::move(plan)), m_start(start)
{
    const acquisition_plan& p = *m_plan;
    if (p.storage.qualified())
    {
        m_store = std::make_unique<storage_tracker>(p, start);
        m_trigger = trigger_search_from(start);
        m_stage = p.trigger_offset > 0 ? ARMING : SEARCHING;
    }
    else
    {
        // Every sample is stored: the pre-trigger part is full `trigger_offset` samples on.
        m_trigger = trigger_search_from(start + p.trigger_offset);
        m_stage = SEARCHING;
    }
}

acquisition::~acquisition() = default;

void acquisition::advance(int64_t budget, const std::atomic<bool>* cancel)
{
    switch (m_stage)
    {
    case ARMING:
        return arm(budget, cancel);
    case SEARCHING:
        return search(budget, cancel);
    case FILLING:
        return fill(budget, cancel);
    case FULL:
        return;
    }
}

void acquisition::arm(int64_t budget, const std::atomic<bool>* cancel)
{
    m_store->advance(m_store->position() + budget, m_plan->trigger_offset, nullptr, cancel);
    if (m_store->kept() < m_plan->trigger_offset)
        return;
    m_trigger = trigger_search_from(m_store->position());
    m_stage = SEARCHING;
}

void acquisition::search(int64_t budget, const std::atomic<bool>* cancel)
{
    search_trigger(m_plan->trigger, m_plan->bank, budget, cancel, &m_trigger);
    if (m_store == nullptr)
    {
        m_stage = m_trigger.found ? FULL : SEARCHING;
        return;
    }
    follow_search(cancel);
    if (!m_trigger.found || m_store->position() < m_trigger.trigger)
        return;
    m_store->take_trigger(m_plan->trigger_offset);
    m_stage = m_store->kept() >= m_plan->depth ? FULL : FILLING;
}

// The storage qualifier decides the samples the search has passed (up to the trigger).
void acquisition::follow_search(const std::atomic<bool>* cancel)
{
    const int64_t upto = m_trigger.found ? m_trigger.trigger : m_trigger.next;
    m_store->advance(upto, FOREVER, storage_flow(*m_plan, m_trigger), cancel);
}

void acquisition::fill(int64_t budget, const std::atomic<bool>* cancel)
{
    int64_t limit = m_store->position() + budget;
    flow_program::state* flow = storage_flow(*m_plan, m_trigger);
    if (flow != nullptr)
    {
        // The flow runs on after its trigger for its storage commands.
        run_flow_after_trigger(m_plan->trigger, m_plan->bank, limit, cancel, &m_trigger, &limit);
    }
    m_store->advance(limit, m_plan->depth, flow, cancel);
    if (m_store->kept() >= m_plan->depth)
        m_stage = FULL;
}

int64_t acquisition::searched() const
{
    if (m_trigger.found)
        return FOREVER;
    return m_stage == ARMING ? m_store->position() : m_trigger.next;
}

void acquisition::force_trigger()
{
    if (m_stage == ARMING)
        m_trigger = trigger_search_from(m_store->position());
    if (m_stage == FILLING || m_stage == FULL)
        return;
    if (!m_trigger.found)
    {
        if (!m_trigger.started)
            search_trigger(m_plan->trigger, m_plan->bank, 0, nullptr, &m_trigger);
        m_trigger.trigger = m_trigger.next;
        m_trigger.found = true;
        if (m_trigger.memory != nullptr && m_trigger.memory->flow_started)
            m_trigger.memory->flow_next = m_trigger.trigger + 1;
    }
    if (m_store == nullptr)
    {
        m_stage = FULL;
        return;
    }
    follow_search(nullptr);
    m_store->take_trigger(m_plan->trigger_offset);
    m_stage = m_store->kept() >= m_plan->depth ? FULL : FILLING;
}

capture_result acquisition::capture(const std::atomic<bool>* cancel) const
{
    if (m_store == nullptr)
        return capture_windows(*m_plan, m_trigger, cancel);
    return capture_of(*m_plan, m_store->runs(), {m_store->trigger_place()}, m_trigger);
}

capture_result acquisition::stopped() const
{
    if (m_store == nullptr)
        return capture_stopped(*m_plan, m_start, m_trigger.found ? m_trigger.trigger : m_trigger.next);
    capture_result result = capture_of(*m_plan, m_store->runs(), {m_store->trigger_place()}, m_trigger);
    result.end_time = std::max(result.end_time, m_store->position());
    return result;
}

capture_result capture_power_up(std::shared_ptr<const acquisition_plan> plan)
{
    acquisition power_up(std::move(plan), 0);
    // Each stage gets the horizon; a trigger is not met past it.
    for (int stage = 0; stage < 4 && power_up.current() != acquisition::FULL; ++stage)
    {
        if (power_up.current() != acquisition::FILLING && power_up.searched() >= POWER_UP_HORIZON)
            break;
        power_up.advance(POWER_UP_HORIZON, nullptr);
    }
    if (!power_up.trigger().found)
        return capture_result();
    return power_up.current() == acquisition::FULL ? power_up.capture(nullptr) : power_up.stopped();
}
} // namespace chi_detail
