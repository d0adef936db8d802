// A state-based flow on the simulated device. At every sample the current state's statements
// run on the values the registers hold at that sample: the levels' results on it, the flags and
// the counters as the sample before left them. What they do (goto, counter and flag writes,
// start_store/stop_store) takes effect from the next sample, as registers do; the last write of
// a sample wins. trigger and segment_trigger end the search at that sample.
//
// Storage (the state-based storage qualifier): stop_store at sample t keeps samples t + 1 ..
// out of the memory until a start_store at sample u (u + 1 is stored again); the trigger sample
// is always stored, and storing resumes after it unless that sample's own stop_store says
// otherwise: the trigger sample's statements (goto, storage commands) take effect as any other
// sample's do. After its trigger the flow goes on running for its storage commands; a trigger
// statement then does nothing.
#include "host/chi_condition.h"

#include <algorithm>

namespace chi_detail
{
namespace
{
uint64_t mask_of(int width)
{
    return width >= 64 || width < 1 ? ~uint64_t(0) : (uint64_t(1) << width) - 1;
}
} // namespace

int flow_program::index_of(const std::vector<std::string>& names, const std::string& name) const
{
    const auto found = std::find(names.begin(), names.end(), name);
    return found == names.end() ? -1 : int(found - names.begin());
}

bool flow_program::read(const std::string& text, const resources& names, std::string* error)
{
    SDR_FLOW_CHECKER::NAMES known;
    known.conditions.insert(names.levels.begin(), names.levels.end());
    known.flags.insert(names.flags.begin(), names.flags.end());
    known.counters.insert(names.counters.begin(), names.counters.end());
    std::string message;
    int line = 0;
    if (!SDR_FLOW_CHECKER::read(text, known, &m_program, &message, &line))
    {
        *error = "state flow line " + std::to_string(line) + ": " + message;
        return false;
    }
    m_levels_read.assign(names.levels.size(), 0);
    m_condition_target.assign(m_program.conditions.size(), -1);
    for (size_t i = 0; i < m_program.conditions.size(); ++i)
    {
        SDR_FLOW_PROGRAM::CONDITION& c = m_program.conditions[i];
        if (c.kind == SDR_FLOW_PROGRAM::COMPARE)
            m_condition_target[i] = index_of(names.counters, c.name);
        if (c.kind != SDR_FLOW_PROGRAM::NAME)
            continue;
        // A name is a level first, then a flag, then (standing alone) a counter that is not 0.
        int target = index_of(names.levels, c.name);
        if (target >= 0)
        {
            m_levels_read[size_t(target)] = 1;
            m_condition_target[i] = target;
            continue;
        }
        target = index_of(names.flags, c.name);
        if (target >= 0)
        {
            m_condition_target[i] = int(names.levels.size()) + target;
            continue;
        }
        c.kind = SDR_FLOW_PROGRAM::COMPARE;
        c.op = "!=";
        c.value = 0;
        m_condition_target[i] = index_of(names.counters, c.name);
    }
    m_statement_target.assign(m_program.statements.size(), -1);
    for (size_t i = 0; i < m_program.statements.size(); ++i)
    {
        const SDR_FLOW_PROGRAM::STATEMENT& s = m_program.statements[i];
        switch (s.kind)
        {
        case SDR_FLOW_PROGRAM::GOTO: m_statement_target[i] = index_of(m_program.states, s.name); break;
        case SDR_FLOW_PROGRAM::INCREMENT:
        case SDR_FLOW_PROGRAM::DECREMENT:
        case SDR_FLOW_PROGRAM::RESET: m_statement_target[i] = index_of(names.counters, s.name); break;
        case SDR_FLOW_PROGRAM::SET:
        case SDR_FLOW_PROGRAM::CLEAR: m_statement_target[i] = index_of(names.flags, s.name); break;
        default: break;
        }
    }
    m_level_count = int(names.levels.size());
    m_counter_mask.clear();
    for (int width : names.counter_width)
        m_counter_mask.push_back(mask_of(width));
    m_counter_initial = names.counter_initial;
    m_flag_initial = names.flag_initial;
    build_tables(names);
    return true;
}

bool flow_program::condition_levels_only(int index, std::vector<int>* levels) const
{
    const SDR_FLOW_PROGRAM::CONDITION& c = m_program.conditions[size_t(index)];
    const int target = m_condition_target[size_t(index)];
    switch (c.kind)
    {
    case SDR_FLOW_PROGRAM::NAME:
        if (target < 0 || target >= m_level_count)
            return false;
        if (std::find(levels->begin(), levels->end(), target) == levels->end())
            levels->push_back(target);
        return true;
    case SDR_FLOW_PROGRAM::COMPARE:
        return false;
    default:
        for (int operand : c.operands)
            if (!condition_levels_only(operand, levels))
                return false;
        return true;
    }
}

bool flow_program::levels_only(int statement, std::vector<int>* levels) const
{
    const SDR_FLOW_PROGRAM::STATEMENT& st = m_program.statements[size_t(statement)];
    switch (st.kind)
    {
    case SDR_FLOW_PROGRAM::BLOCK:
        for (int child : st.children)
            if (!levels_only(child, levels))
                return false;
        return true;
    case SDR_FLOW_PROGRAM::IF:
        for (const auto& branch : st.branches)
            if (!condition_levels_only(branch.first, levels) || !levels_only(branch.second, levels))
                return false;
        return st.otherwise < 0 || levels_only(st.otherwise, levels);
    default:
        return true;
    }
}

// What a state does depends, for most flows, on the levels alone: its action for every
// combination of them is worked out once, so a sample costs one look-up.
void flow_program::build_tables(const resources& names)
{
    constexpr size_t MOST_LEVELS = 8;
    m_tables.assign(m_program.bodies.size(), {});
    state registers;
    start(&registers);
    std::vector<char> levels(size_t(m_level_count), 0);
    for (size_t st = 0; st < m_program.bodies.size(); ++st)
    {
        table& t = m_tables[st];
        bool only = true;
        for (int statement : m_program.bodies[st])
            only = only && levels_only(statement, &t.levels);
        if (!only || t.levels.size() > MOST_LEVELS)
        {
            t.levels.clear();
            continue;
        }
        for (size_t index = 0; index < (size_t(1) << t.levels.size()); ++index)
        {
            std::fill(levels.begin(), levels.end(), 0);
            for (size_t j = 0; j < t.levels.size(); ++j)
                levels[size_t(t.levels[j])] = char((index >> j) & 1);
            action a;
            a.flag_writes.assign(names.flags.size(), 0);
            a.counter_writes.assign(names.counters.size(), 0);
            for (int statement : m_program.bodies[st])
                run(statement, levels, registers, &a);
            t.actions.push_back(std::move(a));
        }
    }
}

void flow_program::start(state* s) const
{
    s->current = 0;
    s->flags.assign(m_flag_initial.size(), 0);
    for (size_t i = 0; i < m_flag_initial.size(); ++i)
        s->flags[i] = m_flag_initial[i] != 0 ? 1 : 0;
    s->counters.assign(m_counter_initial.size(), 0);
    for (size_t i = 0; i < m_counter_initial.size(); ++i)
        s->counters[i] = m_counter_initial[i] & m_counter_mask[i];
    s->storing = true;
    s->triggered = false;
    s->trigger_state = -1;
    s->gap_start = -1;
    s->gaps.clear();
}

bool flow_program::condition(int index, const std::vector<char>& levels, const state& s) const
{
    const SDR_FLOW_PROGRAM::CONDITION& c = m_program.conditions[size_t(index)];
    const int target = m_condition_target[size_t(index)];
    switch (c.kind)
    {
    case SDR_FLOW_PROGRAM::NAME:
        return target < m_level_count ? levels[size_t(target)] != 0 : s.flags[size_t(target - m_level_count)] != 0;
    case SDR_FLOW_PROGRAM::COMPARE:
    {
        const uint64_t v = s.counters[size_t(target)];
        if (c.op == ">=") return v >= c.value;
        if (c.op == "<=") return v <= c.value;
        if (c.op == "==") return v == c.value;
        if (c.op == "!=") return v != c.value;
        if (c.op == ">") return v > c.value;
        return v < c.value;
    }
    case SDR_FLOW_PROGRAM::NOT:
        return !condition(c.operands[0], levels, s);
    case SDR_FLOW_PROGRAM::AND:
        for (int operand : c.operands)
            if (!condition(operand, levels, s))
                return false;
        return true;
    case SDR_FLOW_PROGRAM::OR:
        for (int operand : c.operands)
            if (condition(operand, levels, s))
                return true;
        return false;
    }
    return false;
}

void flow_program::run(int statement, const std::vector<char>& levels, const state& s, action* a) const
{
    const SDR_FLOW_PROGRAM::STATEMENT& st = m_program.statements[size_t(statement)];
    const int target = m_statement_target[size_t(statement)];
    switch (st.kind)
    {
    case SDR_FLOW_PROGRAM::BLOCK:
        for (int child : st.children)
            run(child, levels, s, a);
        return;
    case SDR_FLOW_PROGRAM::IF:
        for (const auto& branch : st.branches)
            if (condition(branch.first, levels, s))
                return run(branch.second, levels, s, a);
        if (st.otherwise >= 0)
            run(st.otherwise, levels, s, a);
        return;
    case SDR_FLOW_PROGRAM::GOTO: a->next_state = target; a->nothing = false; return;
    case SDR_FLOW_PROGRAM::TRIGGER:
    case SDR_FLOW_PROGRAM::SEGMENT_TRIGGER: a->trigger = true; a->nothing = false; return;
    case SDR_FLOW_PROGRAM::START_STORE: a->store = 1; a->nothing = false; return;
    case SDR_FLOW_PROGRAM::STOP_STORE: a->store = 2; a->nothing = false; return;
    case SDR_FLOW_PROGRAM::INCREMENT: a->counter_writes[size_t(target)] = 1; a->nothing = false; return;
    case SDR_FLOW_PROGRAM::DECREMENT: a->counter_writes[size_t(target)] = 2; a->nothing = false; return;
    case SDR_FLOW_PROGRAM::RESET: a->counter_writes[size_t(target)] = 3; a->nothing = false; return;
    case SDR_FLOW_PROGRAM::SET: a->flag_writes[size_t(target)] = 1; a->nothing = false; return;
    case SDR_FLOW_PROGRAM::CLEAR: a->flag_writes[size_t(target)] = 2; a->nothing = false; return;
    }
}

bool flow_program::step(const std::vector<char>& level_results, int64_t sample, state* s) const
{
    action& a = s->scratch;
    a.next_state = -1;
    a.trigger = false;
    a.store = 0;
    a.nothing = true;
    a.flag_writes.assign(s->flags.size(), 0);
    a.counter_writes.assign(s->counters.size(), 0);
    if (s->current >= 0 && size_t(s->current) < m_program.bodies.size())
        for (int statement : m_program.bodies[size_t(s->current)])
            run(statement, level_results, *s, &a);
    return apply(a, sample, s);
}

bool flow_program::step_bits(uint64_t level_bits, int64_t sample, state* s) const
{
    if (s->current >= 0 && size_t(s->current) < m_tables.size() && !m_tables[size_t(s->current)].actions.empty())
    {
        const table& t = m_tables[size_t(s->current)];
        size_t index = 0;
        for (size_t j = 0; j < t.levels.size(); ++j)
            index |= size_t((level_bits >> t.levels[j]) & 1) << j;
        const action& a = t.actions[index];
        return !a.nothing && apply(a, sample, s);
    }
    s->levels.assign(size_t(m_level_count), 0);
    for (int i = 0; i < m_level_count && i < 64; ++i)
        s->levels[size_t(i)] = char((level_bits >> i) & 1);
    return step(s->levels, sample, s);
}

uint64_t flow_program::acting(const std::vector<uint64_t>& words, const state& s) const
{
    if (s.current < 0 || size_t(s.current) >= m_tables.size() || m_tables[size_t(s.current)].actions.empty())
        return ~uint64_t(0);
    const table& t = m_tables[size_t(s.current)];
    for (int level : t.levels)
        if (size_t(level) >= words.size())
            return ~uint64_t(0);
    uint64_t any = 0;
    for (size_t index = 0; index < t.actions.size(); ++index)
    {
        if (t.actions[index].nothing)
            continue;
        uint64_t match = ~uint64_t(0);
        for (size_t j = 0; j < t.levels.size(); ++j)
            match &= ((index >> j) & 1) != 0 ? words[size_t(t.levels[j])] : ~words[size_t(t.levels[j])];
        any |= match;
    }
    return any;
}

bool flow_program::apply(const action& a, int64_t sample, state* s) const
{
    for (size_t i = 0; i < a.flag_writes.size() && i < s->flags.size(); ++i)
        if (a.flag_writes[i] != 0)
            s->flags[i] = a.flag_writes[i] == 1 ? 1 : 0;
    for (size_t i = 0; i < a.counter_writes.size() && i < s->counters.size(); ++i)
    {
        uint64_t& c = s->counters[i];
        switch (a.counter_writes[i])
        {
        case 1: c = (c + 1) & m_counter_mask[i]; break;
        case 2: c = (c - 1) & m_counter_mask[i]; break;
        case 3: c = 0; break;
        default: break;
        }
    }
    const bool triggers = a.trigger && !s->triggered;
    if (triggers)
    {
        if (!s->storing && s->gap_start <= sample - 1)
            s->gaps.push_back({s->gap_start, sample - 1});
        s->storing = true;
        s->triggered = true;
        s->trigger_state = s->current;
    }
    if (a.store == 2 && s->storing)
    {
        s->storing = false;
        s->gap_start = sample + 1;
    }
    else if (a.store == 1 && !s->storing)
    {
        s->storing = true;
        if (s->gap_start <= sample)
            s->gaps.push_back({s->gap_start, sample});
    }
    if (a.next_state >= 0)
        s->current = a.next_state;
    return triggers;
}

flow_report flow_program::report(const state& s) const
{
    flow_report r;
    r.state = s.triggered ? s.trigger_state : s.current;
    r.flags = s.flags;
    for (uint64_t c : s.counters)
        r.counters.push_back(unsigned(c));
    return r;
}
} // namespace chi_detail
