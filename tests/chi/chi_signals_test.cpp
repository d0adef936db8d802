// Sample rows of the simulated device: every kind of stimulus, read through the fast row
// generation, gives exactly the levels the design's stimuli give sample by sample.
#include "chi_test_support.h"

namespace
{
using chi_detail::signal_bank;

struct row_case
{
    const char* name;
    const char* signal;
};

const row_case ROW_CASES[] = {
    {"clock", "clk"},
    {"counter bit 0", "cnt[0]"},
    {"counter bit 5", "cnt[5]"},
    {"counter bit 7", "cnt[7]"},
    {"slow counter with start", "slow[2]"},
    {"counter with modulo", "mod[4]"},
    {"counter counting down", "down[5]"},
    {"pulse with phase", "tick"},
    {"state register", "st.b"},
    {"serial line", "tx"},
    {"serial busy", "busy"},
    {"serial data", "txd[6]"},
    {"random block of 8", "noise[2][1]"},
    {"random row read ahead", "noise[3][0]"},
    {"random block of 3", "grain"},
    {"random every sample", "fizz[1]"},
    {"random block of 100", "lazy"},
    {"random block of 5, a high bit", "quint[10]"},
    {"undriven bus bit counts", "other[4]"},
    {"undriven signal is pseudo-random", "other_flag"},
};

std::string expected_row(const signal_bank& bank, int source, int64_t first, int depth)
{
    std::string bits;
    for (int s = 0; s < depth; ++s)
        bits += bank.bit(source, first + s) ? '1' : '0';
    return bits;
}

std::string generated_row(const signal_bank& bank, int source, int64_t first, int depth)
{
    std::vector<unsigned char> row(size_t(depth + 7) / 8 + 1, 0xA5);
    chi_detail::row_scratch scratch;
    bank.fill_row(source, first, depth, row.data(), &scratch);
    std::string bits;
    for (int s = 0; s < depth; ++s)
        bits += (row[size_t(s / 8)] >> (s % 8)) & 1 ? '1' : '0';
    const int tail = depth % 8;
    if (tail != 0)
    {
        EXPECT_EQ(row[size_t(depth / 8)] >> tail, 0) << "bits past the depth are cleared";
    }
    EXPECT_EQ(row.back(), 0xA5) << "nothing is written past the row";
    return bits;
}
} // namespace

class signal_rows : public chi_test::engine_test
{
};

TEST_F(signal_rows, every_stimulus_kind_matches_its_sample_by_sample_levels_at_any_start_and_depth)
{
    signal_bank bank;
    const int64_t starts[] = {0, 1, 63, 64, 1000, 98765, (int64_t(1) << 33) + 5};
    const int depths[] = {1, 7, 64, 65, 200, 4096, 20000};
    for (const row_case& c : ROW_CASES)
    {
        const int source = bank.add_signal(c.signal);
        for (int64_t first : starts)
            for (int depth : depths)
                ASSERT_EQ(generated_row(bank, source, first, depth), expected_row(bank, source, first, depth))
                    << c.name << " from " << first << ", " << depth << " samples";
    }
}

TEST_F(signal_rows, sources_follow_the_project_stimuli_and_defaults_depend_only_on_the_name)
{
    signal_bank bank;
    const struct
    {
        const char* signal;
        bool driven;
    } cases[] = {{"cnt[3]", true}, {"top|cnt[3]", true}, {"st.a", true}, {"noise[1][2]", true}, {"txd[0]", true}};
    for (const auto& c : cases)
    {
        const int source = bank.add_signal(c.signal);
        for (int64_t s = 0; s < 300; ++s)
            ASSERT_EQ(bank.bit(source, s), standin::project::signal_value(c.signal, s) == 1) << c.signal << " at " << s;
    }
    const int a = bank.add_signal("other[9]");
    for (int64_t s = 0; s < 2000; s += 37)
        EXPECT_EQ(bank.bit(a, s), ((s >> 9) & 1) != 0) << "bit 9 of a free-running counter at " << s;
    signal_bank other;
    const int first = bank.add_signal("lonely");
    const int again = other.add_signal("lonely");
    int ones = 0;
    for (int64_t s = 0; s < 4000; ++s)
    {
        ASSERT_EQ(bank.bit(first, s), other.bit(again, s));
        ones += bank.bit(first, s) ? 1 : 0;
    }
    EXPECT_GT(ones, 1000);
    EXPECT_LT(ones, 3000);
}

TEST_F(signal_rows, change_points_never_skip_a_change)
{
    signal_bank bank;
    for (const row_case& c : ROW_CASES)
    {
        const int source = bank.add_signal(c.signal);
        int64_t next = bank.next_change(source, 0);
        for (int64_t s = 1; s < 3000; ++s)
        {
            if (bank.bit(source, s) != bank.bit(source, s - 1))
            {
                ASSERT_LE(next, s) << c.name << " changes at " << s;
            }
            if (s >= next)
                next = bank.next_change(source, s);
        }
    }
}

TEST_F(signal_rows, a_signal_without_a_source_stays_low)
{
    signal_bank bank;
    const int low = bank.add_low();
    EXPECT_EQ(generated_row(bank, low, 77, 130), std::string(130, '0'));
    EXPECT_EQ(bank.next_change(low, 5), INT64_MAX);
}
