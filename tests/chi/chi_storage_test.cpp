// What the simulated device stores and when it triggers, on the free-running counter "cnt"
// (16 bits: cnt[k] is bit k of the sample number, so every place of the memory says which
// sample it holds): each storage qualifier keeps the samples its settings pick, the trigger in
// follows its source, and the power-up trigger captures from the moment of programming. Every
// expectation is worked out sample by sample from the counter, apart from the device's code.
#include "chi_test_support.h"

#include "host/standin/msg_control.h"
#include "support/qualified_memory.h"

#include <functional>

namespace
{
using chi_test::recorder;

constexpr int DEPTH = 256;
constexpr int WIDTH = 16;
constexpr int64_t TRIGGER_VALUE = 5000;

bool bit(int64_t sample, int k)
{
    return ((sample >> k) & 1) != 0;
}

class device_storage : public chi_test::engine_test
{
public:
    void SetUp() override
    {
        chi_test::engine_test::SetUp();
        prepare();
    }

    void prepare()
    {
        m_count = tap_bus("cnt", WIDTH);
        set_depth(DEPTH);
    }

    int bit_row(int k, int i = 0) const { return (i == 0 ? m_count : m_count_1) + WIDTH - k; }

    SDR_NODE_ROW& row(int r, int i = 0) { return settings(i).trigger_list[r]; }

    // Runs the first instance once; the log, or null when no data came.
    SDR_DATA_LOG* acquire(recorder** callback_out = nullptr)
    {
        compile_and_program();
        recorder& callback = make_recorder();
        SDR_DATA_LOG* log = start(&callback);
        standin::chi::run_to_end();
        if (callback_out != nullptr)
            *callback_out = &callback;
        return callback.count(10) == 1 ? log : nullptr;
    }

    uint64_t sample_at(SDR_DATA_LOG* log, int place) { return bus_at(log, "cnt", WIDTH, place); }

    int m_count = -1;
    int m_count_1 = -1;
};

struct storage_case
{
    const char* name;
    void (*arrange)(device_storage&);
    bool (*keeps)(int64_t);
    SDR_DATA_TRIGGER_POSITION position;
    bool record_breaks;
};

const storage_case STORAGE_CASES[] = {
    {"continuous: every sample", [](device_storage&) {}, qualified_memory::every_sample, SDR_TPOS_PRE, true},
    {"input port: while cnt[2] is high",
     [](device_storage& t) {
         t.settings().sq_type = SDR_SQTYPE_INPUT_PORT;
         t.settings().sq_port_name = "cnt[2]";
     },
     [](int64_t s) { return bit(s, 2); }, SDR_TPOS_PRE, true},
    {"transitional: where cnt[5] changes; a storage node without its box is not watched",
     [](device_storage& t) {
         t.settings().sq_type = SDR_SQTYPE_TRANSITIONAL;
         t.row(t.bit_row(5)).storage_enabled = t.row(t.bit_row(5)).transition_enabled = true;
         t.row(t.bit_row(0)).storage_enabled = true;
     },
     [](int64_t s) { return s > 0 && s % 32 == 0; }, SDR_TPOS_CENTER, true},
    {"conditional: cnt[0] high and cnt[1] low; a condition without storage enable is ignored",
     [](device_storage& t) {
         t.settings().sq_type = SDR_SQTYPE_CONDITIONAL;
         for (int k : {0, 1})
             t.row(t.bit_row(k)).storage_enabled = true;
         t.row(t.bit_row(0)).patterns[SDR_COPY_NORMAL].sq_conditions[0] = SDR_CTYPE_HIGH;
         t.row(t.bit_row(1)).patterns[SDR_COPY_NORMAL].sq_conditions[0] = SDR_CTYPE_LOW;
         t.row(t.bit_row(2)).patterns[SDR_COPY_NORMAL].sq_conditions[0] = SDR_CTYPE_HIGH;
     },
     [](int64_t s) { return s % 4 == 1; }, SDR_TPOS_PRE, false},
    {"conditional, basic or: cnt[3] or cnt[4] high",
     [](device_storage& t) {
         t.settings().sq_type = SDR_SQTYPE_CONDITIONAL;
         t.settings().sq_patterns[0].type = SDR_LTYPE_BASIC_OR;
         for (int k : {3, 4})
         {
             t.row(t.bit_row(k)).storage_enabled = true;
             t.row(t.bit_row(k)).patterns[SDR_COPY_NORMAL].sq_conditions[0] = SDR_CTYPE_HIGH;
         }
     },
     [](int64_t s) { return bit(s, 3) || bit(s, 4); }, SDR_TPOS_POST, true},
    {"conditional, advanced: the rises of cnt[3]",
     [](device_storage& t) {
         t.settings().sq_type = SDR_SQTYPE_CONDITIONAL;
         t.settings().sq_patterns[0].type = SDR_LTYPE_ADVANCED;
         t.settings().sq_patterns[0].expression = "mbpm('R', 'cnt[3]')";
     },
     [](int64_t s) { return s % 16 == 8; }, SDR_TPOS_PRE, true},
    {"start on cnt[4] rising, stop on its fall: both stored",
     [](device_storage& t) {
         t.settings().sq_type = SDR_SQTYPE_START_STOP;
         t.row(t.bit_row(4)).storage_enabled = true;
         t.row(t.bit_row(4)).patterns[SDR_COPY_NORMAL].sq_conditions[1] = SDR_CTYPE_RISING;
         t.row(t.bit_row(4)).patterns[SDR_COPY_NORMAL].sq_conditions[2] = SDR_CTYPE_FALLING;
     },
     [](int64_t s) { return s % 32 >= 16 || (s > 0 && s % 32 == 0); },
     SDR_TPOS_CENTER, true},
    {"a disabled qualifier stores every sample",
     [](device_storage& t) {
         t.settings().sq_type = SDR_SQTYPE_INPUT_PORT;
         t.settings().sq_port_name = "cnt[2]";
         t.settings().sq_disabled = true;
     },
     qualified_memory::every_sample, SDR_TPOS_PRE, true},
};

TEST_F(device_storage, the_memory_holds_what_each_storage_qualifier_keeps_and_the_trigger_sample)
{
    for (const storage_case& c : STORAGE_CASES)
    {
        restart();
        prepare();
        settings().position = c.position;
        settings().record_discontinuities = c.record_breaks;
        set_compare(m_count, 0, SDR_CTYPE_COMPARE_EQUAL_TO, int(TRIGGER_VALUE), SDR_CTYPE_COMPARE_TRUE, 0);
        c.arrange(*this);
        const int before = c.position == SDR_TPOS_PRE ? DEPTH / 8 : c.position == SDR_TPOS_CENTER ? DEPTH / 2 : DEPTH / 8 * 7;
        // The count is the sample number: the trigger is where it reads TRIGGER_VALUE.
        const std::vector<int64_t> expected = qualified_memory::expected(
            c.keeps, [](int64_t s) { return s % (int64_t(1) << WIDTH) == TRIGGER_VALUE; }, before, DEPTH);
        ASSERT_EQ(int(expected.size()), DEPTH) << c.name;
        SDR_DATA_LOG* log = acquire();
        ASSERT_NE(log, nullptr) << c.name;
        EXPECT_EQ(log->get_data_trigger_position(-1), before) << c.name;
        for (int place = 0; place < DEPTH; ++place)
        {
            const int64_t s = expected[size_t(place)];
            ASSERT_EQ(sample_at(log, place), uint64_t(s)) << c.name << ", place " << place;
            ASSERT_TRUE(log->is_bit_valid(place)) << c.name << ", place " << place;
            ASSERT_EQ(log->is_bit_trigger(place), place == before) << c.name << ", place " << place;
            const bool gap = place > 0 && s != expected[size_t(place) - 1] + 1;
            ASSERT_EQ(log->is_break_previous(place), c.record_breaks && gap) << c.name << ", place " << place;
        }
    }
}

// The state-based qualifier follows the flow's stop_store and start_store, also after the
// trigger. The search starts at 32 (every sample is stored before the flow runs): cnt[3]
// rises at 40 (stop: 41 on are not stored), cnt[2] at 44 (start: 45 on are), the trigger is
// the rise of cnt[3] at 56; after it the flow stops storing at the rise of cnt[4] at 80 and
// starts again at the rise of cnt[2] at 84.
TEST_F(device_storage, the_state_based_qualifier_follows_the_flows_storage_commands)
{
    standin::sdr::set_levels(trigger(), 3);
    set_condition(bit_row(3), 0, SDR_CTYPE_RISING);
    set_condition(bit_row(2), 1, SDR_CTYPE_RISING);
    set_condition(bit_row(4), 2, SDR_CTYPE_RISING);
    settings().state_based = true;
    settings().sq_type = SDR_SQTYPE_STATE_BASED;
    settings().record_discontinuities = true;
    trigger()->m_stored_state_machine.present = true;
    trigger()->m_stored_state_machine.attributes = {
        {"state_machine_flow_expression", "state ST1:\nif (Condition 1) begin stop_store; goto ST2; end\n"
                                          "state ST2:\nif (Condition 2) begin start_store; goto ST3; end\n"
                                          "state ST3:\nif (Condition 1) begin trigger; goto ST4; end\n"
                                          "state ST4:\nif (Condition 3) begin stop_store; goto ST5; end\n"
                                          "state ST5:\nif (Condition 2) start_store;\n"}};
    SDR_DATA_LOG* log = acquire();
    ASSERT_NE(log, nullptr);
    const auto kept = [](int64_t s) { return !(s >= 41 && s <= 44) && !(s >= 81 && s <= 84); };
    std::vector<int64_t> expected;
    for (int64_t s = 56; int(expected.size()) <= 32; --s)
        if (kept(s))
            expected.insert(expected.begin(), s);
    for (int64_t s = 57; int(expected.size()) < DEPTH; ++s)
        if (kept(s))
            expected.push_back(s);
    ASSERT_EQ(log->get_data_trigger_position(-1), 32);
    for (int place = 0; place < DEPTH; ++place)
    {
        ASSERT_EQ(sample_at(log, place), uint64_t(expected[size_t(place)])) << place;
        EXPECT_EQ(log->is_break_previous(place), place > 0 && expected[size_t(place)] != expected[size_t(place) - 1] + 1)
            << place;
    }
    EXPECT_EQ(log->get_state_value(), 2) << "the flow's state at its trigger";
}

// A memory that fills slowly is still filling when the user stops: the run then brings what
// the memory took, its other places invalid. Transitional on cnt[12] keeps the multiples of
// 4096: the first 32 arm the trigger at 131073, the count is 5000 at 136072, the memory keeps
// the 32 multiples before it (8192 .. 135168) and after it 139264, 143360 ... (the bus shows
// them modulo 65536).
TEST_F(device_storage, a_run_stopped_while_the_memory_fills_brings_what_it_took)
{
    settings().sq_type = SDR_SQTYPE_TRANSITIONAL;
    row(bit_row(12)).storage_enabled = row(bit_row(12)).transition_enabled = true;
    set_compare(m_count, 0, SDR_CTYPE_COMPARE_EQUAL_TO, int(TRIGGER_VALUE), SDR_CTYPE_COMPARE_TRUE, 0);
    compile_and_program();
    recorder& callback = make_recorder();
    SDR_DATA_LOG* log = start(&callback);
    for (int step = 0; step < 100 && callback.count(6) == 0; ++step)
        standin::chi::step();
    ASSERT_EQ(callback.count(6), 1) << "acquiring post-trigger data";
    standin::chi::step();
    CHI_CONTROL::stop(instance());
    standin::chi::run_to_end();
    ASSERT_EQ(callback.count(10), 1);
    EXPECT_EQ(callback.pairs().back(), std::make_pair(12, 0));
    ASSERT_EQ(log->get_data_trigger_position(-1), 32);
    const int64_t mask = (int64_t(1) << WIDTH) - 1;
    for (int place = 0; place < 32; ++place)
        ASSERT_EQ(sample_at(log, place), uint64_t((place + 2) * 4096 & mask)) << place;
    EXPECT_EQ(sample_at(log, 32), uint64_t(136072 & mask));
    int filled = 33;
    while (filled < DEPTH && log->is_bit_valid(filled))
    {
        ASSERT_EQ(sample_at(log, filled), uint64_t((filled + 1) * 4096 & mask)) << filled;
        ++filled;
    }
    EXPECT_GT(filled, 33);
    EXPECT_LT(filled, DEPTH) << "the memory was not full yet";
    for (int place = filled; place < DEPTH; ++place)
        ASSERT_FALSE(log->is_bit_valid(place)) << place;
}

// ---- the trigger in --------------------------------------------------------------------------

// Each row sets the trigger in of the first instance (whose level 1 waits for cnt[0] high) and
// says where it triggers; the second instance, in the same run, triggers where its count is 300.
// The searches start at 32. "tick" rises at 43, 93 ...; the clock pin "clk" is high at even
// samples.
struct trigger_in_case
{
    const char* name;
    SDR_DATA_TRIGGER_IN_OUT_SOURCE_TYPE source;
    const char* name_of_source;
    SDR_DATA_TRIGGER_CONDITION condition;
    bool second_active_low;
    int64_t trigger; // -1: waits until stopped
};

const trigger_in_case TRIGGER_IN_CASES[] = {
    {"don't care: met at once", SDR_IOSRC_NODE, "tick", SDR_CTYPE_DONT_CARE, false, 33},
    {"a node's rising edge", SDR_IOSRC_NODE, "tick", SDR_CTYPE_RISING, false, 45},
    {"a node low", SDR_IOSRC_NODE, "tick", SDR_CTYPE_LOW, false, 33},
    {"a pin high", SDR_IOSRC_PIN, "clk", SDR_CTYPE_HIGH, false, 33},
    {"the other instance's trigger out rising", SDR_IOSRC_INSTANCE, "second", SDR_CTYPE_RISING, false, 301},
    {"... held high from its trigger on", SDR_IOSRC_INSTANCE, "second", SDR_CTYPE_HIGH, false, 301},
    {"... active low: it falls at the trigger", SDR_IOSRC_INSTANCE, "second", SDR_CTYPE_FALLING, true, 301},
    {"... active low never rises", SDR_IOSRC_INSTANCE, "second", SDR_CTYPE_RISING, true, -1},
    {"... low before its trigger", SDR_IOSRC_INSTANCE, "second", SDR_CTYPE_LOW, false, 33},
};

TEST_F(device_storage, the_trigger_in_follows_its_source_before_the_levels)
{
    for (const trigger_in_case& c : TRIGGER_IN_CASES)
    {
        restart();
        prepare();
        instance(1)->set_name("second");
        m_count_1 = tap_bus("cnt", WIDTH, 1);
        set_depth(DEPTH, 1);
        set_compare(m_count_1, 0, SDR_CTYPE_COMPARE_EQUAL_TO, 300, SDR_CTYPE_COMPARE_TRUE, 0, 1);
        settings(1).trigger_out.condition = c.second_active_low ? SDR_CTYPE_ACTIVE_LOW : SDR_CTYPE_ACTIVE_HIGH;
        set_condition(bit_row(0), 0, SDR_CTYPE_HIGH);
        SDR_TRIGGER_IN& in = settings().trigger_in;
        in = {true, c.source, "clk", "tick", false, true, "second", c.condition};
        if (c.source == SDR_IOSRC_NODE)
            in.node = c.name_of_source;
        compile_and_program();
        recorder& first = make_recorder();
        recorder& second = make_recorder();
        SDR_DATA_LOG* logs[2] = {m_editing.create_new_log(0), m_editing.create_new_log(1)};
        CHI_CONTROL::ACQ_PARAMETER requests[2];
        requests[0].log = logs[0];
        requests[0].callback = &first;
        requests[1].log = logs[1];
        requests[1].callback = &second;
        ASSERT_TRUE(CHI_CONTROL::run({requests[0], requests[1]})) << c.name;
        standin::chi::run_to_end();
        ASSERT_EQ(second.count(10), 1) << c.name;
        EXPECT_EQ(sample_at(logs[1], DEPTH / 8), 300u) << c.name;
        if (c.trigger < 0)
        {
            EXPECT_EQ(first.count(10), 0) << c.name << ": waits for its trigger in";
            CHI_CONTROL::stop(instance());
            standin::chi::run_to_end();
            EXPECT_TRUE(first.finished()) << c.name;
            continue;
        }
        ASSERT_EQ(first.count(10), 1) << c.name;
        EXPECT_EQ(sample_at(logs[0], DEPTH / 8), uint64_t(c.trigger)) << c.name;
        EXPECT_EQ(first.pairs()[2], std::make_pair(1, 0)) << c.name << ": waiting, trigger in on";
        EXPECT_EQ(first.pairs()[3], std::make_pair(2, 1)) << c.name << ": the trigger in met";
    }
}

TEST_F(device_storage, a_trigger_in_from_an_instance_that_does_not_run_never_comes)
{
    instance(1)->set_name("second");
    settings().trigger_in = {true, SDR_IOSRC_INSTANCE, "", "", false, true, "second", SDR_CTYPE_HIGH};
    recorder* callback = nullptr;
    EXPECT_EQ(acquire(&callback), nullptr);
    EXPECT_FALSE(callback->finished());
    CHI_CONTROL::stop(instance());
    standin::chi::run_to_end();
    EXPECT_EQ(callback->pairs().back(), std::make_pair(12, 0));
}

// A source the design does not have cannot be built into the device: the run fails at once and
// says why.
TEST_F(device_storage, a_source_the_design_lacks_fails_the_run_with_its_name)
{
    const struct
    {
        const char* name;
        void (*arrange)(SDR_TRIGGER_STATE&);
        const char* reason;
    } rows[] = {
        {"trigger in node", [](SDR_TRIGGER_STATE& s) { s.trigger_in = {true, SDR_IOSRC_NODE, "", "nowhere", false, true, "", SDR_CTYPE_HIGH}; },
         "the trigger in node \"nowhere\" is not in the design"},
        {"trigger in pin", [](SDR_TRIGGER_STATE& s) { s.trigger_in = {true, SDR_IOSRC_PIN, "", "", false, true, "", SDR_CTYPE_RISING}; },
         "no trigger in pin is chosen"},
        {"input port",
         [](SDR_TRIGGER_STATE& s) {
             s.sq_type = SDR_SQTYPE_INPUT_PORT;
             s.sq_port_name = "nowhere";
         },
         "the storage qualifier input port \"nowhere\" is not in the design"},
    };
    for (const auto& row : rows)
    {
        restart();
        prepare();
        row.arrange(settings());
        recorder* callback = nullptr;
        EXPECT_EQ(acquire(&callback), nullptr) << row.name;
        EXPECT_EQ(callback->pairs().back(), std::make_pair(17, 7)) << row.name;
        EXPECT_NE(standin::msg::posted().back().text.find(row.reason), std::string::npos)
            << standin::msg::posted().back().text;
    }
}

// ---- the power-up trigger --------------------------------------------------------------------

// Programming starts the design at sample 0, and the power-up trigger captures from there with
// its own conditions (the count at 1000; the run-time trigger's at 2000). A run afterwards
// starts where that capture ended.
TEST_F(device_storage, the_power_up_trigger_captures_from_programming_with_its_own_conditions)
{
    ASSERT_TRUE(m_editing.set_power_up_trigger_mode(0, true));
    set_compare(m_count, 0, SDR_CTYPE_COMPARE_EQUAL_TO, 2000, SDR_CTYPE_COMPARE_TRUE, 0);
    row(m_count).patterns[SDR_COPY_POWER_UP].comparisons[0] = {true, true, SDR_CTYPE_COMPARE_EQUAL_TO, 1000,
                                                                SDR_CTYPE_COMPARE_TRUE, 0};
    compile_and_program();
    SDR_DATA_LOG* power_up = m_editing.create_new_log(1);
    ASSERT_TRUE(power_up->is_power_up_trigger());
    ASSERT_TRUE(CHI_CONTROL::offload(power_up));
    ASSERT_EQ(power_up->get_data_trigger_position(-1), 32);
    for (int place = 0; place < DEPTH; ++place)
        ASSERT_EQ(sample_at(power_up, place), uint64_t(1000 - 32 + place)) << place;
    EXPECT_EQ(chi_detail::device().time, 1000 - 32 + DEPTH);

    recorder& callback = make_recorder();
    SDR_DATA_LOG* log = start(&callback);
    standin::chi::run_to_end();
    ASSERT_EQ(callback.count(10), 1);
    EXPECT_EQ(sample_at(log, 32), 2000u);
    SDR_DATA_LOG* again = m_editing.create_new_log(1);
    ASSERT_TRUE(CHI_CONTROL::offload(again)) << "the power-up capture stays in the memory";
    EXPECT_EQ(sample_at(again, 32), 1000u);
}

TEST_F(device_storage, reading_a_power_up_capture_the_device_lacks_says_why)
{
    const struct
    {
        const char* name;
        bool enabled_before_programming;
        int value;
        const char* reason;
    } rows[] = {
        {"enabled after programming", false, 1000, "the device was programmed without the power-up trigger"},
        {"a condition never met", true, 70000, "has not been met since the device was programmed"},
    };
    for (const auto& row : rows)
    {
        restart();
        prepare();
        set_compare(m_count, 0, SDR_CTYPE_COMPARE_EQUAL_TO, row.value, SDR_CTYPE_COMPARE_TRUE, 0);
        if (row.enabled_before_programming)
            ASSERT_TRUE(m_editing.set_power_up_trigger_mode(0, true));
        this->row(m_count).patterns[SDR_COPY_POWER_UP].comparisons[0] = this->row(m_count).patterns[SDR_COPY_NORMAL].comparisons[0];
        compile_and_program();
        if (!row.enabled_before_programming)
            ASSERT_TRUE(m_editing.set_power_up_trigger_mode(0, true));
        EXPECT_FALSE(CHI_CONTROL::offload(m_editing.create_new_log(1))) << row.name;
        EXPECT_NE(standin::msg::posted().back().text.find(row.reason), std::string::npos)
            << standin::msg::posted().back().text;
    }
}
} // namespace
