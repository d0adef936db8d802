// Acquisition control of the model: the state table, run with and without the recompile
// question, what becomes of requests that never start, stop, read data, and the current data
// log queries.
#include "sedq_tx_manager_acquisition_test_support.h"

#include "host/sdr/sdr_file_limits.h"
#include "host/standin/sdr_file_control.h"

#include "host/standin/qtk_control.h"

#include <QMessageBox>
#include "sedq/model/sedq_repository.h"

namespace
{
using acquisition_test::callback;
using acquisition_test::live_callbacks;

class model_acquisition : public acquisition_test::acquisition
{
};

TEST_F(model_acquisition, the_state_table_keeps_the_masked_flags_and_reads_final_states_as_idle)
{
    SEDQ_TX_MANAGER* manager = open(2);
    const struct
    {
        int flags;
        bool acquiring;
    } rows[] = {{0, false},       {0x40000, false}, {0x80000, false}, {0x400000, true},  {0x800000, true},
                {0x2040000, false}, {0x2004000, true}, {0x1000000, true}, {0x12345, true}};
    for (const auto& row : rows)
    {
        manager->set_instance_acq_state(1, row.flags);
        EXPECT_EQ(manager->is_instance_acquiring(1), row.acquiring) << std::hex << row.flags;
        EXPECT_EQ(manager->is_any_instance_acquiring(), row.acquiring) << std::hex << row.flags;
    }
    manager->set_instance_acq_state(0, 0x800000);
    EXPECT_TRUE(manager->is_instance_acquiring(-1)) << "the current instance";
    manager->set_instance_acq_state(128, 0x800000);
    manager->set_instance_acq_state(-5, 0x800000);
    EXPECT_FALSE(manager->is_instance_acquiring(128)) << "outside the table: not running";
    EXPECT_FALSE(manager->is_instance_acquiring(100000));
    EXPECT_TRUE(internal_errors().empty());
}

TEST_F(model_acquisition, a_run_creates_one_log_per_request_and_starts_the_engine)
{
    SEDQ_TX_MANAGER* manager = open(2);
    compile_and_program();
    const std::vector<callback*> started = run(requests({0, 1}));
    ASSERT_EQ(started.size(), 2u);
    const auto runs = standin::chi::runs();
    ASSERT_EQ(runs.size(), 1u);
    ASSERT_EQ(runs[0].size(), 2u);
    for (int i = 0; i < 2; ++i)
    {
        EXPECT_EQ(runs[0][size_t(i)].callback, started[size_t(i)]);
        EXPECT_EQ(runs[0][size_t(i)].log, manager->get_tx_session()->get_log_at(i, false));
        EXPECT_TRUE(manager->is_instance_acquiring(i));
    }
    EXPECT_TRUE(manager->is_acquiring_data()) << "the cached log of the current instance";
    standin::chi::run_to_end();
    for (callback* c : started)
    {
        EXPECT_EQ(c->pairs(), (std::vector<std::pair<int, int>>{{0, 0}, {4, 0}, {1, 1}, {6, 0}, {8, 0}, {10, 0}, {12, 0}}));
        apply(c);
        EXPECT_FALSE(manager->is_instance_acquiring(c->get_instance()));
    }
    EXPECT_TRUE(manager->is_data_available(false, 0, nullptr));
    EXPECT_TRUE(manager->is_stopped_at_trigger());
    EXPECT_FALSE(manager->is_acquiring_data());
}

TEST_F(model_acquisition, an_empty_run_only_refreshes_the_current_log_when_logging_is_off)
{
    SEDQ_TX_MANAGER* manager = open(1);
    SDR_DATA_LOG* made = SEDQ_REPOSITORY::session(manager)->create_new_log(0);
    EXPECT_FALSE(manager->is_data_available(false, -1, nullptr));
    const SDR_DATA_LOG* cached = nullptr;
    run({});
    manager->is_data_available(false, -1, &cached);
    EXPECT_EQ(cached, made);
    manager->set_logging(true);
    EXPECT_TRUE(manager->get_logging());
    SEDQ_REPOSITORY::session(manager)->create_new_log(0);
    run({});
    manager->is_data_available(false, -1, &cached);
    EXPECT_EQ(cached, made) << "logging on: the cache stays";
    EXPECT_TRUE(standin::chi::runs().empty());
}

TEST_F(model_acquisition, a_changed_design_asks_and_yes_compiles_without_starting_anything)
{
    for (const bool relayne : {false, true})
    {
        SEDQ_TX_MANAGER* manager = open(2);
        standin::qtk::set_relayne_supported(relayne);
        standin::qui::push_dialog_answer("Do you wish to recompile before running the logic analyzer?", QMessageBox::Yes);
        // The window asks to save the changed document before the compile; it compiles without.
        standin::qui::push_dialog_answer("Do you want to save the changes", QMessageBox::Discard);
        const int logs_before = log_count(0) + log_count(1);
        run(requests({0, 1}));
        EXPECT_EQ(standin::qui::pending_dialog_answers(), 0);
        EXPECT_TRUE(live_callbacks().empty()) << "no request started: every callback is released";
        EXPECT_EQ(log_count(0) + log_count(1), logs_before) << "the new logs are removed again";
        EXPECT_EQ(manager->get_tx_session()->get_log_at(1, false), nullptr);
        EXPECT_TRUE(standin::chi::runs().empty());
        ASSERT_FALSE(standin::qui::flows().empty());
        EXPECT_EQ(standin::qui::flows().back().flow, relayne ? 80 : 15);
        QCoreApplication::processEvents();
        EXPECT_TRUE(standin::qui::flows().back().finished);
        restart();
    }
}

TEST_F(model_acquisition, no_runs_anyway_and_cancel_drops_the_run)
{
    SEDQ_TX_MANAGER* manager = open(2);
    standin::qui::push_dialog_answer("The design has changed", QMessageBox::No);
    const std::vector<callback*> started = run(requests({0, 1}));
    EXPECT_EQ(started.size(), 2u);
    EXPECT_EQ(standin::chi::runs().size(), 1u);
    EXPECT_FALSE(manager->is_instance_acquiring(0)) << "the first report sets the state on this path";
    standin::chi::run_to_end();
    EXPECT_EQ(started[0]->pairs(), (std::vector<std::pair<int, int>>{{0, 0}, {17, 5}})) << "the device lacks the design";

    standin::qui::push_dialog_answer("The design has changed", QMessageBox::Cancel);
    run(requests({0, 1}));
    EXPECT_EQ(standin::chi::runs().size(), 1u);
    EXPECT_TRUE(standin::qui::flows().empty());
    EXPECT_EQ(live_callbacks().size(), 2u) << "only the two of the started run are left";
    const SDR_DATA_LOG* cached = manager->get_tx_session()->get_log_at(0, false);
    EXPECT_FALSE(cached != nullptr && cached->is_acquiring_data());
}

TEST_F(model_acquisition, auto_recompile_or_a_busy_flow_skip_the_question)
{
    for (const bool automatic : {true, false})
    {
        open(1);
        SEDQ_TX_MANAGER::m_cfg_auto_recompile = automatic;
        standin::qui::set_flow_allowed(automatic);
        // The window asks to save the changed document before any compile; nothing else is asked.
        standin::qui::push_dialog_answer("Do you want to save the changes", QMessageBox::Discard);
        run(requests({0}));
        EXPECT_TRUE(standin::qui::unanswered_dialogs().empty())
            << automatic << testing::PrintToString(standin::qui::unanswered_dialogs());
        EXPECT_EQ(standin::qui::pending_dialog_answers(), 0) << automatic;
        EXPECT_TRUE(live_callbacks().empty()) << automatic;
        EXPECT_TRUE(standin::qui::flows().empty() != automatic) << automatic;
        restart();
    }
}

TEST_F(model_acquisition, requests_that_never_start_release_their_callbacks)
{
    SEDQ_TX_MANAGER* manager = open(2);
    compile_and_program();
    standin::sdr::fail_next_create_new_log();
    std::vector<callback*> started = run(requests({0, 1}));
    ASSERT_EQ(started.size(), 1u) << "the request without a log is dropped";
    EXPECT_EQ(started[0]->get_instance(), 1);
    EXPECT_EQ(live_callbacks().size(), 1u);
    standin::chi::run_to_end();

    standin::chi::refuse_runs(true);
    const int logs_before = log_count(0);
    started = run(requests({0}));
    EXPECT_TRUE(started.empty());
    EXPECT_EQ(live_callbacks().size(), 1u);
    EXPECT_EQ(log_count(0), logs_before);
    EXPECT_FALSE(manager->is_instance_acquiring(0)) << "a refused run leaves the state as it was";
}

// A document that can hold no more logs does not start a run: the user is told why, and the
// other requests run.
TEST_F(model_acquisition, a_run_past_the_documents_logs_does_not_start_and_says_why)
{
    SEDQ_TX_MANAGER* manager = open(2);
    compile_and_program();
    const int logs = log_count(0) + log_count(1);
    standin::sdr_file::lower_limit(int(SDR_FILE_ELEMENT::LOG), logs + 1);
    standin::msg::reset();
    std::vector<callback*> started = run(requests({0, 1}));
    ASSERT_EQ(started.size(), 1u);
    EXPECT_EQ(started[0]->get_instance(), 0);
    ASSERT_EQ(standin::msg::shown().size(), 1u);
    EXPECT_EQ(standin::msg::shown()[0].text, "The acquisition does not start: the document would hold more than " +
                                                 std::to_string(logs + 1) +
                                                 " data logs, the most an analyzer file may hold. Delete data logs to "
                                                 "make room.");
    standin::chi::run_to_end();
    for (callback* c : started)
        apply(c);
    EXPECT_EQ(log_count(0) + log_count(1), logs + 1);
    EXPECT_FALSE(manager->is_instance_acquiring(1));
    EXPECT_TRUE(manager->save_document(path("full.vtl").c_str()));
}

TEST_F(model_acquisition, a_plug_in_symbol_becomes_the_conditions_of_its_bus_before_a_run)
{
    SEDQ_TX_MANAGER* manager = open(1);
    SDR_DATA_INSTANCE* instance = data()->m_instances[0].get();
    SDR_PLUGIN_GROUP* record = instance->create_plugin_group_record();
    SDR_NODE_ROW& bus = instance->get_active_trigger()->edit_transient().trigger_list[0];
    bus.radix = SDR_GTYPE_PLUGIN;
    bus.plugin_group = record;
    bus.patterns[SDR_COPY_NORMAL].comparisons[0].enabled = false;
    record->set_trigger_symbol(0, "3");
    compile_and_program();
    run(requests({0}));
    // No decoder plug-in is loaded: the symbol reads as a hexadecimal value, and is dropped.
    std::vector<SDR_DATA_TRIGGER_CONDITION> conditions;
    for (int row = 1; row <= 8; ++row)
        conditions.push_back(instance->get_active_trigger()->state().trigger_list[row].patterns[SDR_COPY_NORMAL].conditions[0]);
    EXPECT_EQ(conditions, (std::vector<SDR_DATA_TRIGGER_CONDITION>{SDR_CTYPE_LOW, SDR_CTYPE_LOW, SDR_CTYPE_LOW, SDR_CTYPE_LOW,
                                                                  SDR_CTYPE_LOW, SDR_CTYPE_LOW, SDR_CTYPE_HIGH, SDR_CTYPE_HIGH}));
    EXPECT_STREQ(record->get_trigger_symbol(0), "");
    EXPECT_EQ(standin::chi::runs().size(), 1u) << "conditions change without a recompile";
    EXPECT_TRUE(manager->is_instance_acquiring(0));
}

TEST_F(model_acquisition, stop_asks_the_engine_to_stop_that_instance)
{
    SEDQ_TX_MANAGER* manager = open(2);
    compile_and_program();
    SDR_NODE_COMPARISON& c = data()->m_instances[0]->get_active_trigger()->edit_transient()
                                 .trigger_list[0].patterns[SDR_COPY_NORMAL].comparisons[0];
    c.value1 = 0x142; // an 8-bit counter never gets there
    const std::vector<callback*> started = run(requests({0}));
    standin::chi::run_to_end();
    manager->stop(0);
    EXPECT_EQ(standin::chi::stops(), std::vector<SDR_DATA_INSTANCE*>{data()->m_instances[0].get()});
    standin::chi::run_to_end();
    EXPECT_EQ(started[0]->pairs().back(), std::make_pair(12, 0));
    apply(started[0]);
    EXPECT_FALSE(manager->is_instance_acquiring(0));
    EXPECT_FALSE(manager->is_data_available(false, 0, nullptr));
}

TEST_F(model_acquisition, read_data_offloads_into_a_new_log_or_drops_it)
{
    SEDQ_TX_MANAGER* manager = open(1);
    manager->set_logging(true);
    compile_and_program();
    take_hints();
    const int logs = log_count(0);
    EXPECT_FALSE(manager->read_data(0)) << "nothing acquired yet";
    EXPECT_EQ(log_count(0), logs) << "the failed read leaves no log";
    EXPECT_TRUE(take_hints().empty());

    std::vector<callback*> started = run(requests({0}));
    standin::chi::run_to_end();
    apply(started[0]);
    take_hints();
    ASSERT_TRUE(manager->read_data(0));
    EXPECT_EQ(log_count(0), logs + 2);
    const SDR_DATA_LOG* shown = nullptr;
    EXPECT_TRUE(manager->is_data_available(false, -1, &shown));
    EXPECT_EQ(shown, manager->get_tx_session()->get_log_at(0, false));
    EXPECT_NE(shown, started[0]->reports().back().log);
    const std::vector<int> hints = take_hints();
    ASSERT_GE(hints.size(), 2u);
    EXPECT_EQ(std::vector<int>(hints.end() - 2, hints.end()), (std::vector<int>{H(0x20400048), H(0x20000001)}));
}

TEST_F(model_acquisition, the_current_log_tells_whether_it_stopped_at_the_trigger)
{
    SEDQ_TX_MANAGER* manager = open(1);
    EXPECT_FALSE(manager->is_stopped_at_trigger()) << "no log";
    SDR_DATA_TRIGGER* trigger = data()->m_instances[0]->get_active_trigger();
    const struct
    {
        int depth;
        int trigger;
        bool stopped;
    } rows[] = {{0, 0, true}, {0, -1, false}, {16, 0, false}, {16, 4, true}, {16, -1, false}};
    for (const auto& row : rows)
    {
        standin::sdr::log_spec spec;
        spec.depth = row.depth;
        spec.trigger_position = row.trigger;
        standin::sdr::make_log(trigger, spec);
        manager->refresh_data_log_cache();
        EXPECT_EQ(manager->is_stopped_at_trigger(), row.stopped) << row.depth << "/" << row.trigger;
    }
}
} // namespace
