// Advanced levels and state-based flows on the simulated device, on the free-running counter
// "cnt" (cnt[k] is bit k of the sample number). A run of depth 256 with the trigger at 32 starts
// its search at sample 32, so every expected sample below follows from the counter's bits:
// cnt[3] rises at 40, 56, 72 ..., cnt[2] at 36, 44 ..., cnt[6] at 64, and {cnt[7..4]} is the
// sample divided by 16.
#include "chi_test_support.h"

#include "host/sci.h"
#include "host/standin/msg_control.h"

#include <map>

namespace
{
using chi_test::recorder;

constexpr const char* HIGH_NIBBLE = "{'cnt[7]','cnt[6]','cnt[5]','cnt[4]'}";

class device_conditions : public chi_test::engine_test
{
public:
    void SetUp() override
    {
        chi_test::engine_test::SetUp();
        prepare();
    }

    void prepare()
    {
        m_count = tap_bus("cnt", 8);
        set_depth(256);
    }

    int bit_row(int k) const { return m_count + 8 - k; }

    void advanced(int level, const std::string& equation)
    {
        settings().levels[size_t(level)].type = SDR_LTYPE_ADVANCED;
        settings().levels[size_t(level)].expression = equation;
    }

    void flow(const std::string& text)
    {
        settings().state_based = true;
        trigger()->m_stored_state_machine.present = true;
        trigger()->m_stored_state_machine.attributes = {{"state_machine_flow_expression", text}};
    }

    // Runs once; the absolute trigger sample, or -1 when the run ended without data.
    int64_t run(SDR_DATA_LOG** log_out = nullptr, recorder** callback_out = nullptr)
    {
        compile_and_program();
        recorder& callback = make_recorder();
        SDR_DATA_LOG* log = start(&callback);
        standin::chi::run_to_end();
        if (log_out != nullptr)
            *log_out = log;
        if (callback_out != nullptr)
            *callback_out = &callback;
        if (callback.count(10) != 1)
            return -1;
        return chi_detail::device().time - log->get_data_sample_depth() + log->get_data_trigger_position(-1);
    }

    int m_count = -1;
};

TEST_F(device_conditions, an_advanced_level_triggers_where_its_equation_first_holds)
{
    const std::string nibble = HIGH_NIBBLE;
    const struct
    {
        const char* name;
        std::string equation;
        int64_t sample;
    } rows[] = {
        {"edge and bus comparison", "and(mbpm('R', 'cnt[3]'), compare(" + nibble + ", ==, 5, cc, uc))", 88},
        {"greater than", "and(mbpm('R', 'cnt[3]'), compare(" + nibble + ", >, 5, cc, uc))", 104},
        {"the mirrored comparison", "and(mbpm('R', 'cnt[3]'), compare(" + nibble + ", <, 5, cc, uc))", 40},
        {"signed: the top bit set is negative", "compare(" + nibble + ", <, 0, cc, sc)", 128},
        {"a data delay of two", "mbpm('R', ('cnt[3]'@2))", 42},
        {"a pipeline of two", "(mbpm('R', 'cnt[3]'))#2", 42},
        {"a falling edge on the first sample searched (cnt[3] was high at 31)", "mbpm('F', 'cnt[3]')", 32},
        {"a pattern over a bus, most significant first", "mbpm('1R0', {'cnt[5]', 'cnt[3]', 'cnt[2]'})", 40},
        {"a reduction", "(&{'cnt[2]', 'cnt[1]', 'cnt[0]'})", 39},
        {"bitwise and a constant", "compare(({'cnt[3]', 'cnt[2]'} & 2), ==, 2, cc, uc)", 40},
        {"the complement", "compare(~{'cnt[1]', 'cnt[0]'}, ==, 3, cc, uc)", 32},
        {"a logical shift", "compare(shift(logical, right, 2, {'cnt[3]', 'cnt[2]', 'cnt[1]', 'cnt[0]'}), ==, 3, cc, uc)",
         44},
        {"a rotation", "compare(shift(rotate, left, 1, {'cnt[3]', 'cnt[2]', 'cnt[1]', 'cnt[0]'}), ==, 3, cc, uc)", 41},
        {"a counter of rises reaching three", "ec(8, 3, s, 1, 'cnt[3]')", 72},
        {"a counter of high samples reaching three", "ec(8, 3, e, 0, 'cnt[3]')", 42},
        {"a counter of consecutive high samples", "ec(8, 5, c, 0, 'cnt[3]')", 44},
        {"imbpm over three nodes", "imbpm('110', {cnt[0],cnt[1],cnt[2]})", 35},
        {"imbpm with quoted names and an edge", "imbpm('RX', {'cnt[4]','cnt[0]'})", 48},
        {"a variable comparison and constant", "compare(" + nibble + ", ==, variable(6), vc, uc)", 96},
        {"a logical not", "and(!'cnt[5]', 'cnt[4]', mbpm('R', 'cnt[3]'))", 88},
    };
    for (const auto& row : rows)
    {
        advanced(0, row.equation);
        EXPECT_EQ(run(), row.sample) << row.name << ": " << row.equation;
        restart();
        prepare();
    }
}

TEST_F(device_conditions, a_level_the_device_cannot_build_fails_the_run_with_its_reason)
{
    const struct
    {
        const char* equation;
        const char* reason;
    } rows[] = {
        {"and('cnt[3]',", "Condition 1: expression expected at offset 13"},
        {"mbpm('RR', 'cnt[3]')", "Condition 1: pattern 'RR' has 2 symbols for 1 bits"},
        {"imbpm('1X', {cnt[0],})", "Condition 1: an empty node name in {cnt[0],}"},
        {"imbpm('10', {cnt[0]})", "Condition 1: pattern '10' has 2 symbols for 1 bits"},
        {"mvx_custom_trigger_hdl(1, 'cnt[0]', 1, '1', 0, mine)",
         "Condition 1: the custom trigger module \"mine\" cannot run on the simulated device"},
    };
    for (const auto& row : rows)
    {
        advanced(0, row.equation);
        recorder* callback = nullptr;
        EXPECT_EQ(run(nullptr, &callback), -1) << row.equation;
        EXPECT_EQ(callback->pairs().back(), std::make_pair(17, 7)) << row.equation;
        ASSERT_FALSE(standin::msg::posted().empty());
        EXPECT_NE(standin::msg::posted().back().text.find(row.reason), std::string::npos)
            << standin::msg::posted().back().text;
        restart();
        prepare();
    }
}

TEST_F(device_conditions, the_fixed_distance_switch_keeps_the_old_placement)
{
    advanced(0, "this is no equation");
    chi_detail::chain().fixed_distance = true;
    EXPECT_EQ(run(), 32 + 70);
}

struct flow_case
{
    const char* name;
    const char* text;
    std::vector<int> flag_initial;
    int64_t sample;
    int state;
    std::vector<char> flags;
    std::vector<unsigned> counters;
};

TEST_F(device_conditions, a_state_flow_triggers_and_reports_its_registers)
{
    const flow_case rows[] = {
        {"three rises counted, then the next state triggers",
         "state ST1:\n"
         "if (Condition 1 && counter1 == 2) begin increment counter1; goto ST2; end\n"
         "else if (Condition 1) increment counter1;\n"
         "state ST2:\ntrigger;\n",
         {0}, 73, 1, {0}, {3}},
        {"a flag gates a level",
         "state ST1:\nif (Condition 2) set flag1;\nif (flag1 && Condition 1) trigger;\n", {0}, 72, 0, {1}, {0}},
        {"the same flag set from the start", "state ST1:\nif (flag1 && Condition 1) trigger;\n", {1}, 40, 0, {1}, {0}},
        {"an advanced level in a flow, a counter reset and a decrement",
         "state ST1:\nif (Condition 3) begin reset counter1; decrement counter1; goto ST2; end\n"
         "state ST2:\nif (counter1 == 255) trigger;\n",
         {0}, 89, 1, {0}, {255}},
    };
    for (const flow_case& row : rows)
    {
        standin::sdr::set_levels(trigger(), 3);
        set_condition(bit_row(3), 0, SDR_CTYPE_RISING);
        set_condition(bit_row(6), 1, SDR_CTYPE_RISING);
        advanced(2, std::string("and(mbpm('R', 'cnt[3]'), compare(") + HIGH_NIBBLE + ", ==, 5, cc, uc))");
        settings().flags = {{"flag1", row.flag_initial[0]}};
        settings().counters = {{"counter1", 8, 0}};
        flow(row.text);
        SDR_DATA_LOG* log = nullptr;
        EXPECT_EQ(run(&log), row.sample) << row.name;
        ASSERT_NE(log, nullptr);
        EXPECT_EQ(log->get_state_value(), row.state) << row.name;
        EXPECT_EQ(std::vector<char>(log->m_payload->flag_values.begin(), log->m_payload->flag_values.end()), row.flags)
            << row.name;
        EXPECT_EQ(log->m_payload->counter_values, row.counters) << row.name;
        restart();
        prepare();
    }
}

// Storage commands are for the state-based storage qualifier: under another one the flow's
// stop_store keeps nothing out of the memory.
TEST_F(device_conditions, storage_commands_change_nothing_under_another_qualifier)
{
    standin::sdr::set_levels(trigger(), 2);
    set_condition(bit_row(3), 0, SDR_CTYPE_RISING);
    set_condition(bit_row(2), 1, SDR_CTYPE_RISING);
    flow("state ST1:\nif (Condition 1) begin stop_store; goto ST2; end\n"
         "state ST2:\nif (Condition 2) goto ST3;\n"
         "state ST3:\nif (Condition 1) trigger;\n");
    SDR_DATA_LOG* log = nullptr;
    ASSERT_EQ(run(&log), 56);
    for (int s = 0; s < 256; ++s)
    {
        EXPECT_TRUE(log->is_bit_valid(s)) << s;
        EXPECT_EQ(bus_at(log, "cnt", 8, s), uint64_t(24 + s) & 0xff) << s;
    }
}

// A state-based flow without a trigger statement never triggers: the run waits until Stop.
TEST_F(device_conditions, a_flow_without_a_trigger_statement_waits_until_stop)
{
    set_condition(bit_row(3), 0, SDR_CTYPE_RISING);
    flow("state ST1:\nif (Condition 1) goto ST2;\nstate ST2:\nif (Condition 1) goto ST1;\n");
    recorder* callback = nullptr;
    EXPECT_EQ(run(nullptr, &callback), -1);
    EXPECT_FALSE(callback->finished());
    CHI_CONTROL::stop(instance());
    standin::chi::run_to_end();
    EXPECT_EQ(callback->pairs().back(), std::make_pair(12, 0));
    EXPECT_EQ(callback->count(10), 0);
}

TEST_F(device_conditions, a_flow_that_is_no_flow_fails_the_run_with_its_line)
{
    flow("state ST1:\ngoto ST9;\n");
    recorder* callback = nullptr;
    EXPECT_EQ(run(nullptr, &callback), -1);
    EXPECT_EQ(callback->pairs().back(), std::make_pair(17, 7));
    EXPECT_NE(standin::msg::posted().back().text.find("state flow line 2: Unknown state name"), std::string::npos)
        << standin::msg::posted().back().text;
}

// The level is worked out 64 samples at a time: delays, pipeline registers and counters carry
// their values across those blocks, and a search stopped inside a block goes on where it
// stopped. Signals "w[k]" are bit k of the sample number: w[5] rises at 32, 96, 160 ...,
// w[6] at 64, 192, 320 ..., {w[8], w[7]} is 2 over samples 256 .. 383 and 1 over 640 .. 767
// after 512.
struct block_case
{
    const char* name;
    std::string equation;
    int64_t from;
    int64_t found;
};

// The first sample from `from` on where the equation holds, found whole, in slices that end
// inside blocks and sample by sample; each way must agree with the hand computation.
void expect_found(const block_case& row)
{
    std::string error;
    const auto parsed = SCI_ADVANCED_TRIGGER_FACTORY::parse(row.equation.c_str(), &error);
    ASSERT_NE(parsed, nullptr) << row.name << ": " << error;
    chi_detail::signal_bank bank;
    chi_detail::advanced_level level;
    std::map<std::string, int> sources; // one source per name, as a run's plan keeps them
    auto source = [&bank, &sources](const std::string& name) {
        const auto found = sources.find(name);
        return found != sources.end() ? found->second : sources[name] = bank.add_signal(name);
    };
    ASSERT_TRUE(level.compile(parsed->get_root(), source, &error)) << row.name << ": " << error;
    chi_detail::advanced_level::state whole, sliced, single;
    EXPECT_EQ(level.first_holding(bank, row.from, row.from + 1000, &whole), row.found) << row.name;
    int64_t found = -1;
    for (int64_t at = row.from; found < 0 && at < row.from + 1000; at += 37)
        found = level.first_holding(bank, at, at + 37, &sliced);
    EXPECT_EQ(found, row.found) << row.name << " in slices";
    int64_t first = row.from;
    while (first < row.from + 1000 && !level.holds(bank, first, &single))
        ++first;
    EXPECT_EQ(first < row.from + 1000 ? first : -1, row.found) << row.name << " sample by sample";
}

TEST(device_condition_blocks, values_carry_across_blocks_and_split_searches)
{
    const block_case rows[] = {
        {"an edge and a bus comparison", "and(mbpm('R', 'w[6]'), compare({'w[8]', 'w[7]'}, ==, 2, cc, uc))", 0, 320},
        {"a pipeline register past one block", "(mbpm('R', 'w[6]'))#70", 0, 134},
        {"a pipeline register holds 0 until it fills", "(!'w[9]')#130", 10, 140},
        {"a data delay past one block", "mbpm('R', ('w[6]'@65))", 0, 129},
        {"a counter of rises across blocks", "ec(4, 3, s, 0, 'w[5]')", 0, 160},
        {"... counting from where the search starts", "ec(4, 3, s, 0, 'w[5]')", 100, 288},
        {"a counter of every sample its input holds", "ec(8, 40, e, 0, 'w[5]')", 0, 96 + 7},
        {"a continuous counter restarts when its input falls", "ec(8, 40, c, 0, 'w[5]')", 0, -1},
        {"an edge seen at the first sample of a search", "mbpm('R', 'w[6]')", 64, 64},
        // w[9] is 0 before 512: the and's later inputs keep their counts and edges meanwhile.
        {"an and keeps counting under an input that is 0", "and('w[9]', ec(4, 3, s, 1, 'w[5]'))", 0, 512},
        {"an and keeps the edges under an input that is 0", "and('w[9]', mbpm('R', 'w[6]'))", 0, 576},
        {"an and of levels", "and('w[9]', compare({'w[8]', 'w[7]'}, ==, 1, cc, uc), !'w[6]')", 0, 640},
    };
    for (const block_case& row : rows)
        expect_found(row);
}

// Buses wider than 64 bits are compared, shifted and detected whole. w[63] is 0 over these
// samples, so {w[9], w[63] ... w[63], w[0]} is w[9] * 2^(width - 1) + w[0], whatever its width:
// above 1, and negative when signed, over 512 .. 1023 (w[9] high); equal to 1 at the odd
// samples outside them.
std::string wide_bus(const char* top, int width, const char* bottom)
{
    std::string bus = std::string("{'") + top + "'";
    for (int i = 0; i < width - 2; ++i)
        bus += ",'w[63]'";
    return bus + ",'" + bottom + "'}";
}

TEST(device_condition_blocks, buses_wider_than_64_bits_are_compared_whole)
{
    const std::string b128 = wide_bus("w[9]", 128, "w[0]");
    const std::string b4096 = wide_bus("w[9]", 4096, "w[0]");
    const std::string b64 = wide_bus("w[9]", 64, "w[0]");
    const std::string b80 = wide_bus("w[9]", 80, "w[0]");
    std::string nodes65 = "{w[9]";
    for (int i = 0; i < 63; ++i)
        nodes65 += ",w[63]";
    nodes65 += ",w[0]}";
    const std::string rise_under_top = "'1" + std::string(126, 'X') + "R'";
    const block_case rows[] = {
        {"128 bits: above 1 once the top bit is set", "compare(" + b128 + ", >, 1, cc, uc)", 0, 512},
        {"128 bits: equal to 1 with the top bit clear", "compare(" + b128 + ", ==, 1, cc, uc)", 0, 1},
        {"128 bits: equal to 1 again after the top bit", "compare(" + b128 + ", ==, 1, cc, uc)", 512, 1025},
        {"128 bits signed: negative with the top bit set", "compare(" + b128 + ", <, 0, cc, sc)", 0, 512},
        // Only the top bit of the left side and the bottom bit of the right one can be 1.
        {"128 bits against 128 bits", "compare(" + wide_bus("w[8]", 128, "w[63]") + ", >, " +
                                          wide_bus("w[63]", 128, "w[0]") + ", vc, uc)",
         0, 256},
        {"128 bits: a pattern over all of them", "mbpm(" + rise_under_top + ", " + b128 + ")", 0, 513},
        {"... with its edge at the first sample searched", "mbpm(" + rise_under_top + ", " + b128 + ")", 513, 513},
        {"65 incrementally routed nodes", "imbpm('1" + std::string(63, 'X') + "R', " + nodes65 + ")", 0, 513},
        {"4096 bits: above 1 once the top bit is set", "compare(" + b4096 + ", >, 1, cc, uc)", 0, 512},
        {"4096 bits: equal to 1", "compare(" + b4096 + ", ==, 1, cc, uc)", 2, 3},
        {"4096 bits signed: negative", "compare(" + b4096 + ", <, 0, cc, sc)", 100, 512},
        {"4096 bits shifted right by 4095", "compare(shift(logical, right, 4095, " + b4096 + "), ==, 1, cc, uc)", 0,
         512},
        {"4096 bits and a 4096-bit mask", "compare((" + b4096 + " & " + wide_bus("w[9]", 4096, "w[63]") +
                                              "), !=, 0, cc, uc)",
         0, 512},
        // Constants of 64 bits and more, as the canvas writes them (unsigned, or signed).
        {"64 bits equal to 2^63 + 1", "compare(" + b64 + ", ==, 9223372036854775809, cc, uc)", 0, 513},
        {"80 bits above 2^64 - 1", "compare(" + b80 + ", >, 18446744073709551615, cc, uc)", 0, 512},
        {"80 bits at most 2^64 - 1", "compare(" + b80 + ", <=, 18446744073709551615, cc, uc)", 512, 1024},
        {"80 bits equal to 2^79 + 1", "compare(" + b80 + ", ==, 604462909807314587353089, cc, uc)", 0, 513},
        {"80 bits signed equal to -(2^79 - 1)", "compare(" + b80 + ", ==, -604462909807314587353087, cc, sc)", 0,
         513},
    };
    for (const block_case& row : rows)
        expect_found(row);
}
} // namespace
