// The trigger of the simulated device: the levels are met one after the other, each at the
// first sample (after the one before) where its condition holds. A basic condition can only
// start to hold where one of its signals changes, so the search jumps from change to change
// instead of walking every sample; an advanced level and the levels of a state-based flow are
// evaluated 64 samples at a time, and the flow steps at the samples where its state can act.
#include "host/chi_private.h"

#include <algorithm>
#include <climits>

namespace chi_detail
{
namespace
{
constexpr int64_t NEVER = INT64_MAX;
constexpr int CANCEL_CHECK_EVERY = 1 << 12;
constexpr int64_t DENSE_STRETCH = 32;

bool term_holds(const trigger_term& term, const signal_bank& bank, int64_t sample)
{
    const bool now = bank.bit(term.source, sample);
    const bool before = sample > 0 ? bank.bit(term.source, sample - 1) : now;
    switch (term.condition)
    {
    case SDR_CTYPE_ACTIVE_HIGH:
    case SDR_CTYPE_HIGH:
        return now;
    case SDR_CTYPE_ACTIVE_LOW:
    case SDR_CTYPE_LOW:
        return !now;
    case SDR_CTYPE_RISING:
        return now && !before;
    case SDR_CTYPE_FALLING:
        return before && !now;
    case SDR_CTYPE_EITHER_EDGE:
        return before != now;
    default:
        return true;
    }
}

bool operand_holds(SDR_DATA_TRIGGER_CONDITION op, int64_t value, int64_t bound)
{
    switch (op)
    {
    case SDR_CTYPE_COMPARE_GREATER_THAN:
        return value > bound;
    case SDR_CTYPE_COMPARE_GREATER_THAN_OR_EQUAL_TO:
        return value >= bound;
    case SDR_CTYPE_COMPARE_EQUAL_TO:
        return value == bound;
    case SDR_CTYPE_COMPARE_LESS_THAN_OR_EQUAL_TO:
        return value <= bound;
    case SDR_CTYPE_COMPARE_LESS_THAN:
        return value < bound;
    default:
        return true; // "true" operand: no bound on this side
    }
}

// The bus value, most significant member first. The bounds are ints, so a bus with a member set
// above its low VALUE_BITS bits is larger than any of them: it reads as INT64_MAX, whatever its
// width. A bus that is bits of one stimulus reads the stimulus once.
constexpr int VALUE_BITS = 62;

int64_t bus_value(const compare_term& term, const signal_bank& bank, int64_t sample)
{
    const bool shared = term.stimulus >= 0;
    const size_t count = shared ? term.bits.size() : term.sources.size();
    const uint64_t word = shared ? bank.stimulus_value(term.stimulus, sample + term.offset) : 0;
    uint64_t value = 0;
    bool over = false;
    for (size_t i = 0; i < count; ++i)
    {
        const bool bit = shared ? ((word >> term.bits[i]) & 1u) != 0 : bank.bit(term.sources[i], sample);
        if (count - i > VALUE_BITS)
            over = over || bit;
        else
            value = (value << 1) | (bit ? 1u : 0u);
    }
    return over ? INT64_MAX : int64_t(value);
}

// A bus of one stimulus changes no sooner than its lowest bit does (for a counter a higher bit
// only flips where the count crosses a multiple of that bit's weight, which the lowest one's
// weight divides; every other stimulus changes all its bits at the same samples).
int64_t bus_next_change(const compare_term& term, const signal_bank& bank, int64_t sample)
{
    if (term.stimulus >= 0)
    {
        const int64_t next = bank.stimulus_next_change(term.stimulus, sample + term.offset, term.lowest_bit);
        return next == NEVER ? NEVER : next - term.offset;
    }
    int64_t next = NEVER;
    for (int source : term.sources)
        next = std::min(next, bank.next_change(source, sample));
    return next;
}

bool compare_holds(const compare_term& term, const signal_bank& bank, int64_t sample)
{
    const int64_t value = bus_value(term, bank, sample);
    return operand_holds(term.op1, value, term.value1) && operand_holds(term.op2, value, term.value2);
}

bool level_holds(const level_plan& level, const signal_bank& bank, int64_t sample)
{
    const bool any = level.type == SDR_LTYPE_BASIC_OR;
    for (const trigger_term& term : level.terms)
        if (term_holds(term, bank, sample) == any)
            return any;
    for (const compare_term& term : level.compares)
        if (compare_holds(term, bank, sample) == any)
            return any;
    return !any;
}

// The values a comparison accepts, as a closed range of field values; false when it accepts
// none or has operands that are no range.
bool accepted_range(const compare_term& term, int64_t mask, int64_t* low, int64_t* high)
{
    *low = 0;
    *high = mask;
    switch (term.op1)
    {
    case SDR_CTYPE_COMPARE_GREATER_THAN: *low = int64_t(term.value1) + 1; break;
    case SDR_CTYPE_COMPARE_GREATER_THAN_OR_EQUAL_TO: *low = term.value1; break;
    case SDR_CTYPE_COMPARE_EQUAL_TO: *low = *high = term.value1; break;
    case SDR_CTYPE_COMPARE_TRUE: break;
    default: return false;
    }
    switch (term.op2)
    {
    case SDR_CTYPE_COMPARE_LESS_THAN: *high = std::min<int64_t>(*high, int64_t(term.value2) - 1); break;
    case SDR_CTYPE_COMPARE_LESS_THAN_OR_EQUAL_TO: *high = std::min<int64_t>(*high, term.value2); break;
    case SDR_CTYPE_COMPARE_EQUAL_TO:
        *low = std::max<int64_t>(*low, term.value2);
        *high = std::min<int64_t>(*high, term.value2);
        break;
    case SDR_CTYPE_COMPARE_TRUE: break;
    default: return false;
    }
    *low = std::max<int64_t>(*low, 0);
    return true;
}

// For a comparison on a field of a counter that counts up by one: the first sample after
// `sample` where the field can be in range (the count is set to the range's low end, past the
// next wrap of the field when it is above the range). -1 when this does not apply.
int64_t next_counter_match(const compare_term& term, const signal_bank& bank, int64_t sample)
{
    int64_t start = 0, step = 0, every = 0, modulo = 0;
    if (term.stimulus < 0 || !term.field || !bank.stimulus_of(term.stimulus).counter(&start, &step, &every, &modulo) ||
        step != 1 || modulo != 0 || term.lowest_bit + int(term.bits.size()) > 60)
        return -1;
    const int width = int(term.bits.size());
    const int64_t mask = (int64_t(1) << width) - 1;
    int64_t low = 0, high = 0;
    if (!accepted_range(term, mask, &low, &high))
        return -1;
    if (low > high)
        return NEVER;
    const int64_t first = sample + 1;
    const uint64_t count = uint64_t(start) + uint64_t((first + term.offset) / every);
    const int shift = term.lowest_bit;
    const uint64_t value = (count >> shift) & uint64_t(mask);
    if (int64_t(value) >= low && int64_t(value) <= high)
        return first;
    const uint64_t above = count & ~((uint64_t(mask) << shift) | ((uint64_t(1) << shift) - 1));
    uint64_t target = above | (uint64_t(low) << shift);
    if (int64_t(value) > high)
        target += uint64_t(1) << (shift + width);
    const int64_t q = int64_t(target - uint64_t(start));
    return q < 0 ? -1 : std::max(first, q * every - term.offset);
}

// A sample no later than the first one after `sample` where the term holds.
int64_t term_lower_bound(const trigger_term& term, const signal_bank& bank, int64_t sample)
{
    const bool edge = term.condition >= SDR_CTYPE_RISING && term.condition <= SDR_CTYPE_EITHER_EDGE;
    if (!edge && term_holds(term, bank, sample))
        return sample + 1;
    return bank.next_change(term.source, sample);
}

int64_t compare_lower_bound(const compare_term& term, const signal_bank& bank, int64_t sample)
{
    const int64_t match = next_counter_match(term, bank, sample);
    if (match >= 0)
        return match;
    return compare_holds(term, bank, sample) ? sample + 1 : bus_next_change(term, bank, sample);
}

// The first sample after `sample` where the level may hold: for "all of" no sooner than its
// latest term may hold, for "any of" no sooner than its earliest.
int64_t next_candidate(const level_plan& level, const signal_bank& bank, int64_t sample)
{
    const bool any = level.type == SDR_LTYPE_BASIC_OR;
    int64_t next = any ? NEVER : sample + 1;
    for (const trigger_term& term : level.terms)
    {
        const int64_t bound = term_lower_bound(term, bank, sample);
        next = any ? std::min(next, bound) : std::max(next, bound);
    }
    for (const compare_term& term : level.compares)
    {
        const int64_t bound = compare_lower_bound(term, bank, sample);
        next = any ? std::min(next, bound) : std::max(next, bound);
    }
    return next;
}

// The first sample in [from, limit) where the level holds, -1 when there is none (then
// `reached` is where the search ended).
int64_t find_level(const level_plan& level, const signal_bank& bank, int64_t from, int64_t limit,
                   const std::atomic<bool>* cancel, int64_t* reached)
{
    if (level.terms.empty() && level.compares.empty())
        return from;
    int checks = 0;
    int64_t sample = from;
    while (sample < limit)
    {
        if (level_holds(level, bank, sample))
            return sample;
        if (++checks % CANCEL_CHECK_EVERY == 0 && cancel != nullptr && cancel->load())
            break;
        const int64_t next = next_candidate(level, bank, sample);
        if (next != sample + 1)
        {
            sample = next;
            continue;
        }
        // Where the signals change at every sample, asking for the next change costs more
        // than looking: the next stretch is checked sample by sample.
        const int64_t stretch_end = std::min(limit, sample + DENSE_STRETCH);
        for (++sample; sample < stretch_end; ++sample)
            if (level_holds(level, bank, sample))
                return sample;
    }
    *reached = std::min(sample, limit);
    return -1;
}

// The first sample in [from, limit) where an advanced level holds, -1 when there is none (then
// `reached` is where the search ended). Its registers go on from where the last slice left them.
int64_t find_advanced(const advanced_level& level, advanced_level::state* registers, const signal_bank& bank,
                      int64_t from, int64_t limit, const std::atomic<bool>* cancel, int64_t* reached)
{
    for (int64_t sample = from; sample < limit;)
    {
        const int64_t end = std::min(limit, sample + CANCEL_CHECK_EVERY);
        const int64_t found = level.first_holding(bank, sample, end, registers);
        if (found >= 0)
            return found;
        sample = end;
        if (sample < limit && cancel != nullptr && cancel->load())
        {
            *reached = sample;
            return -1;
        }
    }
    *reached = std::max(from, limit);
    return -1;
}

// ---- levels 64 samples at a time, for a flow ----

constexpr int BLOCK = 64;
constexpr int ROW_SAMPLES = 16384;
constexpr uint64_t ALL = ~uint64_t(0);

// A source's levels at samples `at` .. `at` + 63 (bit i for `at` + i), read a row at a time.
uint64_t row_word(const signal_bank& bank, int source, int64_t at, search_memory* memory)
{
    if (source < 0)
        return 0;
    if (memory->rows.size() <= size_t(source))
    {
        memory->rows.resize(size_t(source) + 1);
        memory->row_first.resize(size_t(source) + 1, 0);
    }
    std::vector<uint64_t>& row = memory->rows[size_t(source)];
    int64_t& first = memory->row_first[size_t(source)];
    if (row.empty() || at < first || at + BLOCK > first + ROW_SAMPLES || (at - first) % BLOCK != 0)
    {
        row.assign(ROW_SAMPLES / BLOCK, 0);
        first = at;
        bank.fill_row(source, first, ROW_SAMPLES, reinterpret_cast<unsigned char*>(row.data()), &memory->scratch);
    }
    return row[size_t((at - first) / BLOCK)];
}

uint64_t term_word(const trigger_term& term, const signal_bank& bank, int64_t first, search_memory* memory)
{
    const uint64_t now = row_word(bank, term.source, first, memory);
    // Before sample 0 a signal holds its level at sample 0: no edge there.
    const uint64_t before_first = term.source >= 0 && bank.bit(term.source, std::max<int64_t>(0, first - 1)) ? 1 : 0;
    const uint64_t before = (now << 1) | before_first;
    switch (term.condition)
    {
    case SDR_CTYPE_ACTIVE_HIGH:
    case SDR_CTYPE_HIGH: return now;
    case SDR_CTYPE_ACTIVE_LOW:
    case SDR_CTYPE_LOW: return ~now;
    case SDR_CTYPE_RISING: return now & ~before;
    case SDR_CTYPE_FALLING: return before & ~now;
    case SDR_CTYPE_EITHER_EDGE: return before ^ now;
    default: return ALL;
    }
}

// Where a bus (bit slices, `width` of them) stands to a bound: one operand of a comparison.
uint64_t operand_word(SDR_DATA_TRIGGER_CONDITION op, const uint64_t* slices, int width, int64_t bound)
{
    uint64_t less = 0, equal = 0;
    const int64_t top = width >= 63 ? INT64_MAX : (int64_t(1) << width) - 1;
    if (bound < 0)
        less = equal = 0;          // every value lies above
    else if (bound > top)
        less = ALL;                // every value lies below
    else
    {
        equal = ALL;
        for (int bit = width - 1; bit >= 0; --bit)
        {
            const uint64_t b = ((bound >> bit) & 1) != 0 ? ALL : 0;
            less |= equal & ~slices[bit] & b;
            equal &= ~(slices[bit] ^ b);
        }
    }
    switch (op)
    {
    case SDR_CTYPE_COMPARE_GREATER_THAN: return ~less & ~equal;
    case SDR_CTYPE_COMPARE_GREATER_THAN_OR_EQUAL_TO: return ~less;
    case SDR_CTYPE_COMPARE_EQUAL_TO: return equal;
    case SDR_CTYPE_COMPARE_LESS_THAN_OR_EQUAL_TO: return less | equal;
    case SDR_CTYPE_COMPARE_LESS_THAN: return less;
    default: return ALL;
    }
}

uint64_t compare_word(const compare_term& term, const signal_bank& bank, int64_t first, search_memory* memory)
{
    // As for one sample: the low 62 bits compared, and where a bit above them is set the bus is
    // above every bound.
    const int count = int(term.sources.size());
    const int width = std::min(count, VALUE_BITS);
    uint64_t slices[VALUE_BITS];
    for (int bit = 0; bit < width; ++bit)
        slices[bit] = row_word(bank, term.sources[size_t(count - 1 - bit)], first, memory);
    uint64_t over = 0;
    for (int bit = VALUE_BITS; bit < count; ++bit)
        over |= row_word(bank, term.sources[size_t(count - 1 - bit)], first, memory);
    const uint64_t within =
        operand_word(term.op1, slices, width, term.value1) & operand_word(term.op2, slices, width, term.value2);
    const bool above_holds = operand_holds(term.op1, INT64_MAX, term.value1) &&
                             operand_holds(term.op2, INT64_MAX, term.value2);
    return (within & ~over) | (above_holds ? over : 0);
}

uint64_t level_word(const level_plan& level, const signal_bank& bank, int64_t first, search_memory* memory)
{
    const bool any = level.type == SDR_LTYPE_BASIC_OR;
    uint64_t v = any ? 0 : ALL;
    for (const trigger_term& term : level.terms)
        v = any ? v | term_word(term, bank, first, memory) : v & term_word(term, bank, first, memory);
    for (const compare_term& term : level.compares)
        v = any ? v | compare_word(term, bank, first, memory) : v & compare_word(term, bank, first, memory);
    return v;
}

// Runs a state-based flow over [from, limit): the levels it reads 64 samples at a time, then
// its step at each sample. The sample where it triggers, else -1 with `reached` where it got.
int64_t run_flow_over(const trigger_plan& plan, const signal_bank& bank, int64_t from, int64_t limit,
                      const std::atomic<bool>* cancel, search_memory& memory, int64_t* reached)
{
    const flow_program& flow = *plan.flow;
    const std::vector<char>& read = flow.levels_read();
    const size_t levels = std::min<size_t>(plan.levels.size(), 64);
    memory.words.resize(levels, 0);
    int64_t blocks = 0;
    for (int64_t sample = from; sample < limit;)
    {
        const int64_t offset = sample - memory.words_first;
        if (memory.words_first < 0 || offset < 0 || offset >= BLOCK)
        {
            if (++blocks % (CANCEL_CHECK_EVERY / BLOCK) == 0 && cancel != nullptr && cancel->load())
            {
                *reached = sample;
                return -1;
            }
            // Blocks follow one another from the first sample of the search.
            memory.words_first = sample;
            for (size_t i = 0; i < levels; ++i)
                memory.words[i] = i >= read.size() || read[i] == 0 || !plan.levels[i].enabled
                                      ? 0
                                      : level_block(plan.levels[i], bank, sample, &memory, &memory.levels[i]);
        }
        // The flow only steps where its state may act; elsewhere nothing would change.
        const int at = int(sample - memory.words_first);
        const uint64_t pending = flow.acting(memory.words, memory.flow) >> at;
        const int64_t block_end = std::min(limit, memory.words_first + BLOCK);
        if (pending == 0 || sample + __builtin_ctzll(pending) >= block_end)
        {
            sample = block_end;
            continue;
        }
        sample += __builtin_ctzll(pending);
        const int step_at = int(sample - memory.words_first);
        uint64_t bits = 0;
        for (size_t i = 0; i < levels; ++i)
            bits |= ((memory.words[i] >> step_at) & 1) << i;
        if (flow.step_bits(bits, sample, &memory.flow))
            return sample;
        ++sample;
    }
    *reached = std::max(from, limit);
    return -1;
}

// The flow of a search over [search->next, limit).
void run_flow(const trigger_plan& plan, const signal_bank& bank, int64_t limit, const std::atomic<bool>* cancel,
              trigger_result* search)
{
    search_memory& memory = *search->memory;
    if (!memory.flow_started)
    {
        plan.flow->start(&memory.flow);
        memory.flow_started = true;
        memory.words_first = -1;
    }
    int64_t reached = limit;
    const int64_t at = run_flow_over(plan, bank, search->next, limit, cancel, memory, &reached);
    if (at < 0)
    {
        search->next = std::max(search->next, reached);
        return;
    }
    search->trigger = at;
    search->levels.push_back(at);
    search->flow_met = true;
    search->flow = plan.flow->report(memory.flow);
    search->found = true;
    memory.flow_next = at + 1;
}

// The trigger in from a pin or node, or from another instance's trigger out.
int64_t find_trigger_in(const trigger_in_plan& in, const signal_bank& bank, int64_t from, int64_t limit,
                        const std::atomic<bool>* cancel, int64_t* reached)
{
    if (in.after > 0)
        return from + in.after;
    if (in.condition == SDR_CTYPE_DONT_CARE)
        return from;
    if (in.never || (in.from_instance && in.line == nullptr))
    {
        *reached = std::max(from, limit);
        return -1;
    }
    if (in.from_instance)
        return in.line->first_meeting(in.condition, from, limit, reached);
    return find_level(in.signal, bank, from, limit, cancel, reached);
}

void start_search(const trigger_plan& plan, trigger_result* search)
{
    search->started = true;
    search->memory = std::make_shared<search_memory>();
    search->memory->levels.resize(plan.levels.size());
    if (plan.continuous || (plan.state_based && plan.fixed_distance))
    {
        search->trigger = plan.continuous ? search->next : search->next + plan.advanced_after;
        search->levels.push_back(search->trigger);
        search->found = true;
    }
}
} // namespace

void search_trigger(const trigger_plan& plan, const signal_bank& bank, int64_t budget, const std::atomic<bool>* cancel,
                    trigger_result* search)
{
    if (!search->started)
        start_search(plan, search);
    const int64_t limit = search->next + budget;
    if (!search->found && plan.trigger_in.enabled && search->trigger_in < 0)
    {
        const int64_t met = find_trigger_in(plan.trigger_in, bank, search->next, limit, cancel, &search->next);
        if (met < 0)
            return;
        search->trigger_in = met;
        search->next = met + 1;
    }
    if (!search->found && plan.state_based)
    {
        // A state-based trigger triggers where its flow says, and without a flow never.
        if (plan.flow != nullptr)
            run_flow(plan, bank, limit, cancel, search);
        else
            search->next = std::max(search->next, limit);
        return;
    }
    while (!search->found && search->levels.size() < plan.levels.size())
    {
        const size_t index = search->levels.size();
        const level_plan& level = plan.levels[index];
        int64_t met = search->next;
        if (level.enabled && level.type == SDR_LTYPE_ADVANCED && (plan.fixed_distance || level.advanced == nullptr))
            met = search->next + plan.advanced_after;
        else if (level.enabled && level.type == SDR_LTYPE_ADVANCED)
            met = find_advanced(*level.advanced, &search->memory->levels[index], bank, search->next, limit, cancel,
                                &search->next);
        else if (level.enabled)
            met = find_level(level, bank, search->next, limit, cancel, &search->next);
        if (met < 0)
            return;
        search->levels.push_back(met);
        search->next = met + 1;
    }
    if (!search->found)
    {
        search->trigger = search->levels.empty() ? search->next : search->levels.back();
        search->found = true;
    }
}
} // namespace chi_detail

namespace chi_detail
{
void run_flow_after_trigger(const trigger_plan& plan, const signal_bank& bank, int64_t limit,
                            const std::atomic<bool>* cancel, trigger_result* search, int64_t* reached)
{
    search_memory& memory = *search->memory;
    *reached = limit;
    if (plan.flow == nullptr || !memory.flow_started || memory.flow_next >= limit)
    {
        *reached = std::max(limit, memory.flow_next);
        return;
    }
    run_flow_over(plan, bank, memory.flow_next, limit, cancel, memory, reached);
    memory.flow_next = *reached;
}

uint64_t level_block(const level_plan& level, const signal_bank& bank, int64_t first, search_memory* memory,
                     advanced_level::state* registers)
{
    if (level.advanced != nullptr)
        return level.advanced->holds_block(bank, first, registers);
    if (level.type == SDR_LTYPE_ADVANCED)
        return 0; // a level the device could not build holds nowhere
    return level_word(level, bank, first, memory);
}

// ---- trigger out ---------------------------------------------------------------------------

void trigger_out_line::searched_to(int64_t sample)
{
    if (m_trigger.load() < 0)
        m_known.store(std::max(m_known.load(), sample));
}

void trigger_out_line::triggered_at(int64_t sample)
{
    m_trigger.store(sample);
    m_known.store(FOREVER);
}

void trigger_out_line::never()
{
    m_known.store(FOREVER);
}

void trigger_out_line::restart(int64_t start)
{
    m_known.store(start);
    m_trigger.store(-1);
}

int64_t trigger_out_line::first_meeting(SDR_DATA_TRIGGER_CONDITION condition, int64_t from, int64_t limit,
                                        int64_t* reached) const
{
    const int64_t known = m_known.load();
    const int64_t trigger = m_trigger.load();
    // No trigger before `quiet`: the line is at rest there.
    const int64_t quiet = trigger >= 0 ? trigger : known;
    const bool asserted = !m_active_low;
    const bool edge = condition == SDR_CTYPE_RISING || condition == SDR_CTYPE_FALLING ||
                      condition == SDR_CTYPE_EITHER_EDGE;
    if (edge)
    {
        // The line changes once, at the trigger, towards its asserted level.
        const bool direction = condition == SDR_CTYPE_EITHER_EDGE || (condition == SDR_CTYPE_RISING) == asserted;
        if (direction && trigger >= from && trigger < limit)
            return trigger;
        *reached = trigger >= 0 || !direction ? std::max(from, limit) : std::min(std::max(from, known), limit);
        return -1;
    }
    const bool want = condition == SDR_CTYPE_HIGH || condition == SDR_CTYPE_ACTIVE_HIGH;
    if (from < quiet && want == !asserted)
        return from;
    if (trigger >= 0 && want == asserted && std::max(from, trigger) < limit)
        return std::max(from, trigger);
    *reached = trigger >= 0 ? std::max(from, limit) : std::min(std::max(from, known), limit);
    return -1;
}
} // namespace chi_detail
