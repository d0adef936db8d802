// The basic trigger of the simulated device: the trigger sample lands where the user's
// conditions first hold (levels in sequence, edges, don't-care, comparisons), at the place the
// trigger position gives it; segments, disconnected nodes and the faults a test can switch on.
#include "chi_test_support.h"

namespace
{
using chi_test::recorder;

class trigger_placement : public chi_test::engine_test
{
public:
    void SetUp() override
    {
        chi_test::engine_test::SetUp();
        m_count = tap_bus("cnt", 8);
        m_tick = tap("tick");
        m_bit0 = m_count + 8; // cnt[0], the last member
        set_depth(256);
    }

    // Runs once and returns the log; `trigger_sample` receives the absolute trigger sample.
    SDR_DATA_LOG* acquire(int64_t* trigger_sample = nullptr)
    {
        compile_and_program();
        recorder& callback = make_recorder();
        SDR_DATA_LOG* log = start(&callback);
        standin::chi::run_to_end();
        EXPECT_EQ(callback.count(10), 1) << "data ready once";
        if (trigger_sample != nullptr)
            *trigger_sample = chi_detail::device().time - log->get_data_sample_depth() + log->get_data_trigger_position(-1);
        return log;
    }

    bool tick_at(SDR_DATA_LOG* log, int sample) { return log->get_bit(channel(log, "tick"), sample); }
    uint64_t count_at(SDR_DATA_LOG* log, int sample) { return bus_at(log, "cnt", 8, sample); }

    int m_count = -1;
    int m_tick = -1;
    int m_bit0 = -1;
};

TEST_F(trigger_placement, the_trigger_position_puts_the_trigger_sample_at_its_place)
{
    const struct
    {
        SDR_DATA_TRIGGER_POSITION position;
        int sample;
    } rows[] = {{SDR_TPOS_PRE, 32}, {SDR_TPOS_CENTER, 128}, {SDR_TPOS_POST, 224}};
    for (const auto& row : rows)
    {
        settings().position = row.position;
        set_compare(m_count, 0, SDR_CTYPE_COMPARE_EQUAL_TO, 0x5A, SDR_CTYPE_COMPARE_TRUE, 0);
        SDR_DATA_LOG* log = acquire();
        EXPECT_EQ(log->get_data_trigger_position(-1), row.sample);
        EXPECT_EQ(count_at(log, row.sample), 0x5Au) << "position " << row.position;
        for (int s = 0; s < 256; ++s)
            ASSERT_EQ(log->is_bit_trigger(s), s == row.sample) << "position " << row.position << " sample " << s;
    }
}

// Each row sets the conditions of level 1 and says what must hold at the trigger sample.
struct condition_case
{
    const char* name;
    void (*arrange)(trigger_placement&);
    bool (*holds)(trigger_placement&, SDR_DATA_LOG*, int sample);
};

const condition_case CONDITION_CASES[] = {
    {"high", [](trigger_placement& t) { t.set_condition(t.m_tick, 0, SDR_CTYPE_HIGH); },
     [](trigger_placement& t, SDR_DATA_LOG* log, int s) { return t.tick_at(log, s); }},
    {"low", [](trigger_placement& t) { t.set_condition(t.m_bit0, 0, SDR_CTYPE_LOW); },
     [](trigger_placement& t, SDR_DATA_LOG* log, int s) { return (t.count_at(log, s) & 1) == 0; }},
    {"rising edge", [](trigger_placement& t) { t.set_condition(t.m_tick, 0, SDR_CTYPE_RISING); },
     [](trigger_placement& t, SDR_DATA_LOG* log, int s) { return t.tick_at(log, s) && !t.tick_at(log, s - 1); }},
    {"falling edge", [](trigger_placement& t) { t.set_condition(t.m_tick, 0, SDR_CTYPE_FALLING); },
     [](trigger_placement& t, SDR_DATA_LOG* log, int s) { return !t.tick_at(log, s) && t.tick_at(log, s - 1); }},
    {"either edge", [](trigger_placement& t) { t.set_condition(t.m_tick, 0, SDR_CTYPE_EITHER_EDGE); },
     [](trigger_placement& t, SDR_DATA_LOG* log, int s) { return t.tick_at(log, s) != t.tick_at(log, s - 1); }},
    {"and of two nodes, don't care elsewhere",
     [](trigger_placement& t) {
         t.set_condition(t.m_tick, 0, SDR_CTYPE_HIGH);
         t.set_condition(t.m_bit0, 0, SDR_CTYPE_HIGH);
         t.set_condition(t.m_bit0 - 1, 0, SDR_CTYPE_DONT_CARE);
     },
     [](trigger_placement& t, SDR_DATA_LOG* log, int s) { return t.tick_at(log, s) && (t.count_at(log, s) & 1); }},
    {"or level",
     [](trigger_placement& t) {
         t.settings().levels[0].type = SDR_LTYPE_BASIC_OR;
         t.set_condition(t.m_tick, 0, SDR_CTYPE_RISING);
         t.set_condition(t.m_bit0 - 7, 0, SDR_CTYPE_HIGH); // cnt[7]
     },
     [](trigger_placement& t, SDR_DATA_LOG* log, int s) {
         return (t.tick_at(log, s) && !t.tick_at(log, s - 1)) || t.count_at(log, s) >= 128;
     }},
    {"inclusive range",
     [](trigger_placement& t) {
         t.set_compare(t.m_count, 0, SDR_CTYPE_COMPARE_GREATER_THAN_OR_EQUAL_TO, 100, SDR_CTYPE_COMPARE_LESS_THAN_OR_EQUAL_TO, 102);
     },
     [](trigger_placement& t, SDR_DATA_LOG* log, int s) { return t.count_at(log, s) >= 100 && t.count_at(log, s) <= 102; }},
    {"a slow counter's field and a pulse",
     [](trigger_placement& t) {
         const int slow = t.tap_bus("slow", 4);
         t.set_compare(slow, 0, SDR_CTYPE_COMPARE_EQUAL_TO, 9, SDR_CTYPE_COMPARE_TRUE, 0);
         t.set_condition(t.m_tick, 0, SDR_CTYPE_HIGH);
     },
     [](trigger_placement& t, SDR_DATA_LOG* log, int s) { return t.tick_at(log, s) && t.bus_at(log, "slow", 4, s) == 9; }},
    {"exclusive range with the bus bits asking otherwise",
     [](trigger_placement& t) {
         t.set_compare(t.m_count, 0, SDR_CTYPE_COMPARE_GREATER_THAN, 200, SDR_CTYPE_COMPARE_LESS_THAN, 203);
         t.set_condition(t.m_bit0, 0, SDR_CTYPE_LOW); // the comparison stands for the bits
     },
     [](trigger_placement& t, SDR_DATA_LOG* log, int s) { return t.count_at(log, s) == 201; }},
};

TEST_F(trigger_placement, the_trigger_sample_is_the_first_where_the_conditions_hold)
{
    for (const condition_case& c : CONDITION_CASES)
    {
        restart();
        settings().position = SDR_TPOS_CENTER;
        c.arrange(*this);
        int64_t trigger_sample = 0;
        SDR_DATA_LOG* log = acquire(&trigger_sample);
        const int t = log->get_data_trigger_position(-1);
        ASSERT_EQ(t, 128) << c.name;
        EXPECT_TRUE(c.holds(*this, log, t)) << c.name;
        // The search started at absolute sample 128: nothing before the trigger from there on.
        for (int s = std::max<int64_t>(1, 128 - (trigger_sample - 128)); s < t; ++s)
            EXPECT_FALSE(c.holds(*this, log, s)) << c.name << " holds earlier, at " << s;
    }
}

// The design has no "w": w[k] is bit k % 64 of the sample number, so {w[127..0]} is
// s * 2^64 + s, above 1000 from the first sample searched (32) on and never equal to a small
// number; only its low bits would be 1000 first at 1001. The same whether the search looks at
// one sample at a time (a level of the trigger) or 64 (a level a state-based flow reads).
TEST_F(trigger_placement, a_bus_wider_than_64_bits_is_compared_whole)
{
    for (const bool flow : {false, true})
    {
        restart();
        const int wide = tap_bus("w", 128);
        set_compare(wide, 0, SDR_CTYPE_COMPARE_GREATER_THAN, 1000, SDR_CTYPE_COMPARE_TRUE, 0);
        settings().state_based = flow;
        trigger()->m_stored_state_machine.present = flow;
        trigger()->m_stored_state_machine.attributes = {
            {"state_machine_flow_expression", "state ST1:\nif (Condition 1) trigger;\n"}};
        int64_t trigger_sample = 0;
        acquire(&trigger_sample);
        EXPECT_EQ(trigger_sample, 32) << (flow ? "in a flow" : "a level");
    }
}

TEST_F(trigger_placement, levels_are_met_in_sequence)
{
    standin::sdr::set_levels(trigger(), 2);
    settings().position = SDR_TPOS_POST;
    set_compare(m_count, 0, SDR_CTYPE_COMPARE_EQUAL_TO, 180, SDR_CTYPE_COMPARE_TRUE, 0);
    set_condition(m_tick, 1, SDR_CTYPE_RISING);
    SDR_DATA_LOG* log = acquire();
    const int t = log->get_data_trigger_position(-1);
    ASSERT_EQ(t, 224);
    EXPECT_TRUE(tick_at(log, t) && !tick_at(log, t - 1));
    int level_one = -1;
    for (int s = t; s >= 0 && level_one < 0; --s)
        level_one = count_at(log, s) == 180 ? s : -1;
    ASSERT_GE(level_one, 0) << "level 1 was met before the trigger";
    for (int s = level_one + 1; s < t; ++s)
        EXPECT_FALSE(tick_at(log, s) && !tick_at(log, s - 1)) << "an earlier rising edge after level 1, at " << s;
}

// Faults a test can switch on: a stuck trigger in, met a fixed distance after the search
// starts whatever its source, and advanced levels met a fixed distance on.
TEST_F(trigger_placement, fault_knobs_put_the_trigger_in_and_advanced_levels_at_fixed_distances)
{
    chi_detail::chain().trigger_in_after = 40;
    settings().trigger_in = {true, SDR_IOSRC_NODE, "", "tick", false, true, "", SDR_CTYPE_RISING};
    set_condition(m_tick, 0, SDR_CTYPE_DONT_CARE);
    int64_t trigger_sample = 0;
    acquire(&trigger_sample);
    EXPECT_EQ(trigger_sample, 32 + 40 + 1) << "the first sample after the trigger in";

    restart();
    chi_detail::chain().fixed_distance = true;
    settings().levels[0].type = SDR_LTYPE_ADVANCED;
    acquire(&trigger_sample);
    EXPECT_EQ(trigger_sample, 32 + 70);
}

TEST_F(trigger_placement, segments_each_carry_their_own_trigger)
{
    settings().segmented = true;
    settings().segment_size = 64;
    set_compare(m_count, 0, SDR_CTYPE_COMPARE_EQUAL_TO, 9, SDR_CTYPE_COMPARE_TRUE, 0);
    SDR_DATA_LOG* log = acquire();
    EXPECT_EQ(log->get_segment_size(), 64);
    for (int k = 0; k < 4; ++k)
    {
        EXPECT_EQ(log->get_data_trigger_position(k), 8) << "segment " << k;
        EXPECT_EQ(count_at(log, k * 64 + 8), 9u) << "segment " << k;
    }
    for (int s = 0; s < 256; ++s)
        EXPECT_EQ(log->is_bit_trigger(s), s % 64 == 8) << s;
}

TEST_F(trigger_placement, a_disconnected_node_reads_low_and_says_so)
{
    chi_detail::chain().disconnected.insert("tick");
    set_compare(m_count, 0, SDR_CTYPE_COMPARE_EQUAL_TO, 3, SDR_CTYPE_COMPARE_TRUE, 0);
    SDR_DATA_LOG* log = acquire();
    EXPECT_FALSE(log->get_connection_status(channel(log, "tick")));
    EXPECT_TRUE(log->get_connection_status(channel(log, "cnt[3]")));
    EXPECT_EQ(row_of(log, "tick"), std::string(256, '0'));
}
} // namespace

namespace
{
using chi_detail::compare_term;
using chi_detail::level_plan;
using chi_detail::signal_bank;
using chi_detail::trigger_plan;
using chi_detail::trigger_term;

// The meaning of a basic level, sample by sample.
bool holds_plainly(const level_plan& level, const signal_bank& bank, int64_t s)
{
    auto term = [&](const trigger_term& t) {
        const bool now = bank.bit(t.source, s);
        const bool before = s > 0 ? bank.bit(t.source, s - 1) : now;
        switch (t.condition)
        {
        case SDR_CTYPE_HIGH: return now;
        case SDR_CTYPE_LOW: return !now;
        case SDR_CTYPE_RISING: return now && !before;
        case SDR_CTYPE_FALLING: return before && !now;
        default: return now != before;
        }
    };
    auto compare = [&](const compare_term& c) {
        int64_t v = 0;
        for (int source : c.sources)
            v = v * 2 + (bank.bit(source, s) ? 1 : 0);
        auto check = [v](SDR_DATA_TRIGGER_CONDITION op, int bound) {
            switch (op)
            {
            case SDR_CTYPE_COMPARE_GREATER_THAN: return v > bound;
            case SDR_CTYPE_COMPARE_GREATER_THAN_OR_EQUAL_TO: return v >= bound;
            case SDR_CTYPE_COMPARE_EQUAL_TO: return v == bound;
            case SDR_CTYPE_COMPARE_LESS_THAN_OR_EQUAL_TO: return v <= bound;
            case SDR_CTYPE_COMPARE_LESS_THAN: return v < bound;
            default: return true;
            }
        };
        return check(c.op1, c.value1) && check(c.op2, c.value2);
    };
    const bool any = level.type == SDR_LTYPE_BASIC_OR;
    bool result = !any;
    for (const trigger_term& t : level.terms)
        result = any ? result || term(t) : result && term(t);
    for (const compare_term& c : level.compares)
        result = any ? result || compare(c) : result && compare(c);
    return result;
}

compare_term bus_compare(signal_bank& bank, const std::string& name, int width, uint32_t r)
{
    compare_term c;
    for (int bit = width - 1; bit >= 0; --bit)
        c.sources.push_back(bank.add_signal(name + "[" + std::to_string(bit) + "]"));
    const SDR_DATA_TRIGGER_CONDITION lower[] = {SDR_CTYPE_COMPARE_GREATER_THAN, SDR_CTYPE_COMPARE_GREATER_THAN_OR_EQUAL_TO,
                                                SDR_CTYPE_COMPARE_EQUAL_TO};
    const SDR_DATA_TRIGGER_CONDITION upper[] = {SDR_CTYPE_COMPARE_LESS_THAN, SDR_CTYPE_COMPARE_LESS_THAN_OR_EQUAL_TO,
                                                SDR_CTYPE_COMPARE_TRUE};
    const int top = (1 << width) - 1;
    c.op1 = lower[r % 3];
    c.value1 = int((r >> 2) % uint32_t(top + 1));
    c.op2 = upper[(r >> 9) % 3];
    c.value2 = c.value1 + int((r >> 12) % 5);
    bank.share_stimulus(&c);
    return c;
}
} // namespace

TEST_F(trigger_placement, the_search_finds_the_levels_where_a_plain_scan_does)
{
    const char* leaves[] = {"tick", "clk", "cnt[0]", "cnt[6]", "st.a", "slow[1]", "tx", "busy", "mod[2]"};
    const struct
    {
        const char* name;
        int width;
    } buses[] = {{"cnt", 8}, {"slow", 4}, {"mod", 6}, {"down", 6}};
    uint32_t r = 12345;
    auto next = [&r] { return r = r * 1103515245u + 12345u; };
    for (int round = 0; round < 120; ++round)
    {
        signal_bank bank;
        trigger_plan plan;
        for (int l = 0; l < 1 + int(next() % 2); ++l)
        {
            level_plan level;
            level.type = next() % 3 == 0 ? SDR_LTYPE_BASIC_OR : SDR_LTYPE_BASIC_AND;
            for (int t = 0; t < int(next() % 3); ++t)
                level.terms.push_back({bank.add_signal(leaves[next() % 9]),
                                       SDR_DATA_TRIGGER_CONDITION(SDR_CTYPE_HIGH + int(next() % 5))});
            if (next() % 2 == 0 || level.terms.empty())
            {
                const auto& bus = buses[next() % 4];
                level.compares.push_back(bus_compare(bank, bus.name, bus.width, next()));
            }
            plan.levels.push_back(level);
        }
        const int64_t from = int64_t(next() % 5000);
        chi_detail::trigger_result found = chi_detail::trigger_search_from(from);
        chi_detail::search_trigger(plan, bank, 40000, nullptr, &found);
        int64_t sample = from;
        std::vector<int64_t> expected;
        for (const level_plan& level : plan.levels)
        {
            while (sample < from + 40000 && !holds_plainly(level, bank, sample))
                ++sample;
            if (sample >= from + 40000)
                break;
            expected.push_back(sample++);
        }
        const bool met = expected.size() == plan.levels.size();
        ASSERT_EQ(found.found, met) << "round " << round;
        if (met)
        {
            EXPECT_EQ(found.levels, expected) << "round " << round;
        }
    }
}
