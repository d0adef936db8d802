// Runs of the simulated device: the exact status sequence of single runs, autorun, power-up
// runs and state-based flows, stops before and after the trigger, every error as a final
// report, and the three ways reports are delivered.
#include "chi_test_support.h"

#include "host/sdr/sdr_file_limits.h"
#include "host/standin/msg_control.h"
#include "host/standin/sdr_file_control.h"

#include <QCoreApplication>

namespace
{
using chi_test::recorder;
using chi_test::report_pairs;
using standin::chi::delivery;

class engine_runs : public chi_test::engine_test
{
public:
    void SetUp() override
    {
        chi_test::engine_test::SetUp();
        m_count = tap_bus("cnt", 8);
        tap("tick");
        set_depth(256);
    }

    // Level 1 of a single level trigger: the counter at a value.
    void trigger_on_count(int value, int level = 0)
    {
        set_compare(m_count, level, SDR_CTYPE_COMPARE_EQUAL_TO, value, SDR_CTYPE_COMPARE_TRUE, 0);
    }

    int m_count = -1;
};

TEST_F(engine_runs, single_runs_report_the_exact_sequence_of_their_trigger_setting)
{
    struct row
    {
        const char* name;
        int levels;
        bool trigger_in;
        bool state_based;
        bool continuous;
        report_pairs expected;
    };
    const row rows[] = {
        {"one level", 1, false, false, false, {{0, 0}, {4, 0}, {1, 1}, {6, 0}, {8, 0}, {10, 0}, {12, 0}}},
        {"three levels", 3, false, false, false, {{0, 0}, {4, 0}, {1, 1}, {2, 2}, {2, 3}, {6, 0}, {8, 0}, {10, 0}, {12, 0}}},
        {"trigger in", 2, true, false, false, {{0, 0}, {4, 0}, {1, 0}, {2, 1}, {2, 2}, {6, 0}, {8, 0}, {10, 0}, {12, 0}}},
        {"state-based flow", 1, false, true, false, {{0, 0}, {4, 0}, {1, -1}, {6, 0}, {8, 0}, {10, 0}, {12, 0}}},
        {"continuous", 1, false, false, true, {{0, 0}, {4, 0}, {6, 0}, {8, 0}, {10, 0}, {12, 0}}},
    };
    for (const row& r : rows)
    {
        standin::sdr::set_levels(trigger(), r.levels);
        settings().trigger_in.enabled = r.trigger_in;
        settings().state_based = r.state_based;
        settings().position = r.continuous ? SDR_TPOS_CONTINUOUS : SDR_TPOS_PRE;
        for (int level = 0; level < r.levels; ++level)
            trigger_on_count(10 + level * 20, level);
        compile_and_program();
        recorder& callback = make_recorder();
        SDR_DATA_LOG* log = start(&callback);
        EXPECT_TRUE(log->is_acquiring_data()) << r.name;
        standin::chi::run_to_end();
        EXPECT_EQ(callback.pairs(), r.expected) << r.name;
        EXPECT_EQ(callback.reports()[5 + (r.levels - 1) + (r.trigger_in ? 1 : 0) - (r.continuous ? 1 : 0)].log, log) << r.name;
        EXPECT_TRUE(log->is_data_available(false)) << r.name;
        EXPECT_FALSE(log->is_acquiring_data()) << r.name;
    }
    EXPECT_EQ(standin::chi::late_reports(), 0);
}

TEST_F(engine_runs, data_is_installed_before_data_ready_and_the_log_is_released_before_the_final_report)
{
    trigger_on_count(100);
    compile_and_program();
    struct checking : recorder
    {
        void update_acquisition_status(ELA_STATUS status, int value, SDR_DATA_LOG* log) override
        {
            if (status == ELA_DATA_READY)
                data_at_ready = log->is_data_available(false);
            if (status == ELA_NOT_RUNNING)
                acquiring_at_end = log->is_acquiring_data();
            recorder::update_acquisition_status(status, value, log);
        }
        bool data_at_ready = false;
        bool acquiring_at_end = true;
    } callback;
    start(&callback);
    standin::chi::run_to_end();
    EXPECT_TRUE(callback.data_at_ready);
    EXPECT_FALSE(callback.acquiring_at_end);
}

TEST_F(engine_runs, power_up_runs_report_with_the_power_up_codes)
{
    ASSERT_TRUE(m_editing.set_power_up_trigger_mode(0, true));
    trigger_on_count(7);
    SDR_NODE_ROW& group = settings().trigger_list[m_count];
    group.patterns[SDR_COPY_POWER_UP].comparisons[0] = group.patterns[SDR_COPY_NORMAL].comparisons[0];
    compile_and_program();
    recorder& callback = make_recorder();
    SDR_DATA_LOG* log = start(&callback, 1);
    ASSERT_TRUE(log->is_power_up_trigger());
    standin::chi::run_to_end();
    EXPECT_EQ(callback.pairs(), (report_pairs{{0, 0}, {5, 0}, {3, 1}, {7, 0}, {9, 0}, {11, 0}, {13, 0}}));
    EXPECT_EQ(bus_at(log, "cnt", 8, 256 / 8), 7u);
    EXPECT_NE(standin::chi::device_memory(standin::chi::node_info_word(instance()), true), nullptr);
}

TEST_F(engine_runs, autorun_repeats_with_a_new_log_per_cycle_until_stopped)
{
    m_editing.set_gui_logging(true);
    trigger_on_count(42);
    compile_and_program();
    recorder& callback = make_recorder();
    SDR_DATA_LOG* first = start(&callback, 0, true);
    for (int i = 0; i < 20; ++i)
        standin::chi::step();
    ASSERT_GE(callback.count(10), 2);
    CHI_CONTROL::stop(instance());
    standin::chi::run_to_end();
    const auto reports = callback.reports();
    EXPECT_EQ(reports.back().status, 12);
    std::vector<SDR_DATA_LOG*> ready;
    for (const auto& r : reports)
        if (r.status == 10)
            ready.push_back(r.log);
    EXPECT_EQ(ready.front(), first);
    EXPECT_NE(ready[1], ready[0]);
    EXPECT_EQ(trigger()->get_num_logs(), int(ready.size())) << "the cycle stopped before data leaves no entry";
    for (SDR_DATA_LOG* log : ready)
    {
        EXPECT_EQ(bus_at(log, "cnt", 8, 32), 42u);
        EXPECT_FALSE(log->is_acquiring_data());
    }
    EXPECT_NE(row_of(ready[0], "tick"), row_of(ready[1], "tick")) << "each cycle samples a later window";
}

// An autorun that reaches the document's most data logs keeps refilling its newest log, says
// why once in the Messages window, and never leaves a document the file cannot hold.
TEST_F(engine_runs, autorun_at_the_documents_most_logs_refills_its_newest_log_and_says_why)
{
    m_editing.set_gui_logging(true);
    trigger_on_count(42);
    compile_and_program();
    standin::sdr_file::lower_limit(int(SDR_FILE_ELEMENT::LOG), trigger()->get_num_logs() + 2);
    recorder& callback = make_recorder();
    start(&callback, 0, true);
    while (callback.count(10) < 5)
        standin::chi::step();
    CHI_CONTROL::stop(instance());
    standin::chi::run_to_end();
    EXPECT_EQ(trigger()->get_num_logs(), int(SDR_FILE_LIMITS::per_document(SDR_FILE_ELEMENT::LOG)));
    std::vector<std::string> warnings;
    for (const auto& message : standin::msg::posted())
        if (message.text.find("the acquisition keeps refilling its newest data log") != std::string::npos)
            warnings.push_back(message.text);
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_NE(warnings[0].find("the document would hold more than"), std::string::npos) << warnings[0];
    const SDR_DATA_LOG* newest = trigger()->get_log_at(trigger()->get_num_logs() - 1);
    for (const auto& r : callback.reports())
        if (r.status == 10)
            EXPECT_TRUE(r.log == newest || r.log == trigger()->get_log_at(trigger()->get_num_logs() - 2));
}

TEST_F(engine_runs, autorun_with_logging_off_refills_the_one_temporary_log)
{
    trigger_on_count(42);
    compile_and_program();
    recorder& callback = make_recorder();
    SDR_DATA_LOG* log = start(&callback, 0, true);
    while (callback.count(10) < 3)
        standin::chi::step();
    CHI_CONTROL::stop(instance());
    standin::chi::run_to_end();
    for (const auto& r : callback.reports())
        EXPECT_EQ(r.log, log);
    EXPECT_TRUE(log->is_global_temp());
    EXPECT_TRUE(log->is_data_available(false)) << "the last cycle's samples stay";
    EXPECT_FALSE(log->is_acquiring_data());
}

TEST_F(engine_runs, stop_before_the_trigger_ends_without_data)
{
    trigger_on_count(300); // an 8-bit counter never reaches it
    compile_and_program();
    recorder& callback = make_recorder();
    SDR_DATA_LOG* log = start(&callback);
    EXPECT_LT(standin::chi::run_to_end(), 50) << "a run waiting for its trigger stops making reports";
    EXPECT_EQ(callback.pairs(), (report_pairs{{0, 0}, {4, 0}, {1, 1}}));
    CHI_CONTROL::stop(instance());
    standin::chi::run_to_end();
    EXPECT_EQ(callback.pairs(), (report_pairs{{0, 0}, {4, 0}, {1, 1}, {12, 0}}));
    EXPECT_FALSE(log->is_data_available(false));
    EXPECT_FALSE(log->is_acquiring_data());
    EXPECT_EQ(standin::chi::stops(), std::vector<SDR_DATA_INSTANCE*>{instance()});
}

TEST_F(engine_runs, stop_after_the_trigger_still_delivers_the_data)
{
    trigger_on_count(5);
    compile_and_program();
    recorder& callback = make_recorder();
    SDR_DATA_LOG* log = start(&callback);
    while (callback.count(6) == 0)
        standin::chi::step();
    CHI_CONTROL::stop(instance());
    standin::chi::run_to_end();
    EXPECT_EQ(callback.pairs(), (report_pairs{{0, 0}, {4, 0}, {1, 1}, {6, 0}, {8, 0}, {10, 0}, {12, 0}}));
    EXPECT_TRUE(log->is_data_available(false));
}

TEST_F(engine_runs, errors_end_the_run_with_one_final_report)
{
    struct row
    {
        const char* name;
        void (*arrange)(chi_test::engine_test&);
        report_pairs expected;
    };
    const row rows[] = {
        {"no hardware named", [](chi_test::engine_test& t) { t.m_editing.set_jtag_chain_name(""); }, {{0, 0}, {17, 2}}},
        {"cable not connected", [](chi_test::engine_test&) { standin::chi::set_chain({chi_test::CABLE}, {chi_test::DEVICE}, false); },
         {{0, 0}, {17, 2}}},
        {"device not programmed", [](chi_test::engine_test&) { standin::chi::program_device({}); }, {{0, 0}, {17, 5}}},
        {"design changed since programming",
         [](chi_test::engine_test& t) { t.set_depth(512); }, {{0, 0}, {17, 7}}},
        {"chain in use", [](chi_test::engine_test&) { standin::chi::set_busy(2, true); },
         {{0, 0}, {15, 0}, {15, 0}, {17, 4}}},
        {"version mismatch", [](chi_test::engine_test&) { standin::chi::set_error(8); }, {{0, 0}, {17, 8}}},
    };
    for (const row& r : rows)
    {
        restart();
        trigger_on_count(3);
        compile_and_program();
        r.arrange(*this);
        recorder& callback = make_recorder();
        SDR_DATA_LOG* log = start(&callback);
        standin::chi::run_to_end();
        EXPECT_EQ(callback.pairs(), r.expected) << r.name;
        EXPECT_FALSE(log->is_acquiring_data()) << r.name;
        EXPECT_FALSE(log->is_data_available(false)) << r.name;
        standin::chi::run_to_end();
        EXPECT_EQ(callback.pairs(), r.expected) << r.name << ": nothing after the final report";
    }
}

TEST_F(engine_runs, a_cable_lost_during_the_run_ends_it_with_communication_lost)
{
    trigger_on_count(300);
    compile_and_program();
    recorder& callback = make_recorder();
    start(&callback);
    standin::chi::run_to_end();
    standin::chi::unplug_cable(true);
    standin::chi::step();
    EXPECT_EQ(callback.pairs(), (report_pairs{{0, 0}, {4, 0}, {1, 1}, {17, 6}}));
}

TEST_F(engine_runs, busy_chain_and_stopped_clock_delay_the_run)
{
    trigger_on_count(3);
    compile_and_program();
    standin::chi::set_busy(2, false);
    standin::chi::stop_clock(true);
    recorder& callback = make_recorder();
    start(&callback);
    for (int i = 0; i < 6; ++i)
        standin::chi::step();
    EXPECT_EQ(callback.pairs(), (report_pairs{{0, 0}, {15, 0}, {15, 0}, {14, 0}, {14, 0}, {14, 0}}));
    standin::chi::stop_clock(false);
    standin::chi::run_to_end();
    EXPECT_EQ(callback.pairs().back(), std::make_pair(12, 0));
    EXPECT_EQ(callback.count(10), 1);
}

TEST_F(engine_runs, a_script_replaces_the_sequence_and_still_brings_samples)
{
    trigger_on_count(3);
    compile_and_program();
    standin::chi::script(instance()->get_name(), {{1, -2}, {16, 0}, {10, 0}, {17, 9}});
    recorder& callback = make_recorder();
    SDR_DATA_LOG* log = start(&callback);
    standin::chi::run_to_end();
    EXPECT_EQ(callback.pairs(), (report_pairs{{0, 0}, {1, -2}, {16, 0}, {10, 0}, {17, 9}}));
    EXPECT_TRUE(log->is_data_available(false));
}

TEST_F(engine_runs, a_refused_or_malformed_run_calls_no_callback)
{
    compile_and_program();
    recorder& callback = make_recorder();
    CHI_CONTROL::ACQ_PARAMETER request;
    request.log = m_editing.create_new_log(0);
    request.callback = &callback;
    standin::chi::refuse_runs(true);
    EXPECT_FALSE(CHI_CONTROL::run({request}));
    standin::chi::refuse_runs(false);
    EXPECT_FALSE(CHI_CONTROL::run({}));
    CHI_CONTROL::ACQ_PARAMETER no_callback = request;
    no_callback.callback = nullptr;
    EXPECT_FALSE(CHI_CONTROL::run({request, no_callback}));
    standin::chi::run_to_end();
    EXPECT_TRUE(callback.pairs().empty());
    EXPECT_FALSE(request.log->is_acquiring_data());
    EXPECT_TRUE(standin::chi::runs().empty());
}

TEST_F(engine_runs, a_log_that_goes_away_ends_its_run_without_naming_it_again)
{
    trigger_on_count(300);
    compile_and_program();
    recorder& callback = make_recorder();
    start(&callback);
    standin::chi::run_to_end();
    m_editing.close_session();
    standin::chi::run_to_end();
    const auto reports = callback.reports();
    ASSERT_EQ(reports.back().status, 12);
    EXPECT_EQ(reports.back().log, nullptr);
}

TEST_F(engine_runs, the_three_deliveries_make_the_same_reports_from_their_own_threads)
{
    trigger_on_count(77);
    compile_and_program();
    const report_pairs expected = {{0, 0}, {4, 0}, {1, 1}, {6, 0}, {8, 0}, {10, 0}, {12, 0}};
    for (delivery mode : {delivery::thread, delivery::timer, delivery::manual})
    {
        standin::chi::set_delivery(mode);
        recorder& callback = make_recorder();
        SDR_DATA_LOG* log = start(&callback);
        if (mode == delivery::manual)
            standin::chi::run_to_end();
        ASSERT_TRUE(standin::chi::wait_idle(10000));
        EXPECT_EQ(callback.pairs(), expected);
        for (const auto& r : callback.reports())
            EXPECT_EQ(r.thread == m_main, mode != delivery::thread) << "delivery " << int(mode);
        EXPECT_EQ(bus_at(log, "cnt", 8, 32), 77u);
        EXPECT_FALSE(log->is_acquiring_data());
    }
}

TEST_F(engine_runs, one_engine_thread_serves_every_request_of_a_run_and_hands_each_log_to_the_gui_thread)
{
    standin::chi::set_delivery(delivery::thread);
    m_editing.set_gui_logging(true);
    trigger_on_count(200);
    const int other = tap_bus("cnt", 8, 1);
    set_depth(128, 1);
    set_compare(other, 0, SDR_CTYPE_COMPARE_EQUAL_TO, 17, SDR_CTYPE_COMPARE_TRUE, 0, 1);
    compile_and_program();
    recorder& repeating = make_recorder();
    recorder& single = make_recorder();
    CHI_CONTROL::ACQ_PARAMETER first;
    first.log = m_editing.create_new_log(0);
    first.callback = &repeating;
    first.repeat = 1;
    CHI_CONTROL::ACQ_PARAMETER second;
    second.log = m_editing.create_new_log(1);
    second.callback = &single;
    ASSERT_TRUE(CHI_CONTROL::run({first, second}));
    for (int i = 0; i < 10000 && repeating.count(10) < 3; ++i)
    {
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    CHI_CONTROL::stop(instance(0));
    ASSERT_TRUE(standin::chi::wait_idle(10000));
    ASSERT_GE(repeating.count(10), 3);
    EXPECT_EQ(repeating.pairs().back(), std::make_pair(12, 0));
    EXPECT_EQ(single.pairs(), (report_pairs{{0, 0}, {4, 0}, {1, 1}, {6, 0}, {8, 0}, {10, 0}, {12, 0}}));
    const std::thread::id engine = repeating.reports()[0].thread;
    EXPECT_NE(engine, m_main);
    for (const recorder* callback : {&repeating, &single})
        for (const auto& r : callback->reports())
            EXPECT_EQ(r.thread, engine);
    EXPECT_EQ(trigger(0)->get_num_logs(), repeating.count(10));
    EXPECT_EQ(bus_at(single.reports()[5].log, "cnt", 8, 16), 17u);
}

TEST_F(engine_runs, stop_on_the_engine_thread_never_waits_and_shutdown_silences_the_run)
{
    standin::chi::set_delivery(delivery::thread);
    trigger_on_count(300);
    compile_and_program();
    auto wait_for = [](const recorder& callback, int status) {
        for (int i = 0; i < 5000 && callback.count(status) == 0; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return callback.count(status) > 0;
    };
    recorder& stopped = make_recorder();
    start(&stopped);
    ASSERT_TRUE(wait_for(stopped, 1));
    CHI_CONTROL::stop(instance());
    ASSERT_TRUE(standin::chi::wait_idle(10000));
    EXPECT_EQ(stopped.pairs().back(), std::make_pair(12, 0));

    recorder& abandoned = make_recorder();
    start(&abandoned);
    ASSERT_TRUE(wait_for(abandoned, 1));
    standin::chi::shutdown();
    const size_t seen = abandoned.reports().size();
    EXPECT_FALSE(standin::chi::is_active());
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_EQ(abandoned.reports().size(), seen);
    EXPECT_FALSE(abandoned.finished());
}
} // namespace
