// The basic trigger of the simulated device: the levels are met one after the other, each at
// the first sample (after the one before) where its node conditions hold. A basic condition can
// only start to hold where one of its signals changes, so the search jumps from change to
// change instead of walking every sample.
#include "host/chi_private.h"

#include <algorithm>
#include <climits>

namespace chi_detail
{
namespace
{
constexpr int64_t NEVER = INT64_MAX;
constexpr int CANCEL_CHECK_EVERY = 1 << 14;

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

// The bus value, most significant member first; wider buses keep their low 63 bits.
int64_t bus_value(const compare_term& term, const signal_bank& bank, int64_t sample)
{
    uint64_t value = 0;
    for (int source : term.sources)
        value = (value << 1) | (bank.bit(source, sample) ? 1u : 0u);
    return int64_t(value & ~(uint64_t(1) << 63));
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

int64_t next_candidate(const level_plan& level, const signal_bank& bank, int64_t sample)
{
    int64_t next = NEVER;
    for (const trigger_term& term : level.terms)
        next = std::min(next, bank.next_change(term.source, sample));
    for (const compare_term& term : level.compares)
        for (int source : term.sources)
            next = std::min(next, bank.next_change(source, sample));
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
    for (; sample < limit; sample = next_candidate(level, bank, sample))
    {
        if (level_holds(level, bank, sample))
            return sample;
        if (++checks % CANCEL_CHECK_EVERY == 0 && cancel != nullptr && cancel->load())
            break;
    }
    *reached = std::min(sample, limit);
    return -1;
}

void start_search(const trigger_plan& plan, trigger_result* search)
{
    search->started = true;
    const int64_t from = search->next;
    if (plan.trigger_in)
    {
        search->trigger_in = from + plan.trigger_in_after;
        search->next = search->trigger_in + 1;
    }
    if (plan.continuous || plan.state_based)
    {
        search->trigger = plan.continuous ? from : search->next + plan.advanced_after;
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
    while (!search->found && search->levels.size() < plan.levels.size())
    {
        const level_plan& level = plan.levels[search->levels.size()];
        int64_t met = search->next;
        if (level.enabled && level.type == SDR_LTYPE_ADVANCED)
            met = search->next + plan.advanced_after;
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
