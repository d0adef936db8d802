// Run, autorun, stop and read data from the instance manager: a run on the engine's own thread
// up to its data, which becomes the log the instance shows; which selected instances take part;
// autorun until stopped; reading the device; and runs that never start.
#include "instance_widget_test_support.h"

#include "host/standin/qui_control.h"
#include "sedq/frame/sedq_control_cmd_ela_int.h"

#include <QElapsedTimer>
#include <QMessageBox>
#include <QSignalSpy>
#include "sedq/model/sedq_repository.h"

namespace
{
using instance_widget_test::probe;
using W = SEDQ_INSTANCE_WIDGET;

class instance_run_test : public instance_widget_test::instance_widget_fixture
{
protected:
    // The instances of the requests of the engine's last accepted run.
    static std::vector<int> last_run_instances()
    {
        std::vector<int> instances;
        const auto runs = standin::chi::runs();
        if (runs.empty())
            return instances;
        for (const standin::chi::request_record& request : runs.back())
            instances.push_back(static_cast<SEDQ_CONTROL_CMD_ELA_INT*>(request.callback)->get_instance());
        return instances;
    }

    // Handles events until every request's final report is handled (or 20 s pass).
    bool wait_for_requests() const
    {
        QElapsedTimer timer;
        timer.start();
        while (pane()->get_request_count() > 0 && timer.elapsed() < 20000)
        {
            standin::chi::wait_idle(100);
            refresh();
        }
        return pane()->get_request_count() == 0;
    }

    int log_count(int instance) const
    {
        return data()->m_instances[size_t(instance)]->get_active_trigger()->get_num_logs();
    }
};

TEST_F(instance_run_test, a_run_on_the_engines_thread_reaches_its_data_and_shows_the_new_log)
{
    open({{"alpha"}, {"beta"}});
    compile_and_program();
    QStringList seen;
    const QModelIndex status = cell(0, 1);
    QObject::connect(model(), &QAbstractItemModel::dataChanged,
                     [&seen, status](const QModelIndex& first, const QModelIndex& last)
                     {
                         // Each text is counted once.
                         const bool covered = first.parent() == status.parent() &&
                                              first.row() <= status.row() && status.row() <= last.row() &&
                                              first.column() <= status.column() &&
                                              status.column() <= last.column();
                         if (covered && (seen.isEmpty() || seen.last() != status.data().toString()))
                             seen << status.data().toString();
                     });
    QSignalSpy hints(tx(), SIGNAL(updated(QObject*, int)));
    standin::chi::set_delivery(standin::chi::delivery::thread);
    select({0, 1});
    press(ACTION_RUN);
    ASSERT_TRUE(wait_for_requests());
    ASSERT_EQ(standin::chi::runs().size(), 1u);
    for (int instance : {0, 1})
    {
        SDR_DATA_LOG* acquired = standin::chi::runs()[0][size_t(instance)].log;
        EXPECT_EQ(tx()->get_tx_session()->get_log_at(instance, false), acquired) << instance;
        EXPECT_TRUE(acquired->is_data_available(false)) << instance;
        EXPECT_EQ(status_text(instance), W::SEDQ_NOT_RUNNING_STR);
        EXPECT_FALSE(tx()->is_instance_acquiring(instance));
    }
    EXPECT_EQ(seen, (QStringList{W::SEDQ_ACQUIRING_PRE_TRIGGER_DATA_STR, W::SEDQ_WAITING_FOR_TRIGGER_STR,
                                 W::SEDQ_ACQUIRING_POST_TRIGGER_DATA_STR, W::SEDQ_OFFLOADING_DATA_STR,
                                 W::SEDQ_NOT_RUNNING_STR}))
        << seen.join(", ").toStdString();
    bool shown = false;
    for (const QList<QVariant>& hint : hints)
        shown = shown || hint[1].toInt() == 0x400040;
    EXPECT_TRUE(shown) << "the panes of the current instance switch to its new data";
    EXPECT_EQ(status_line(), W::SEDQ_READY_TO_ACQUIRE_STR);
    EXPECT_EQ(standin::chi::late_reports(), 0);
}

TEST_F(instance_run_test, run_takes_each_selected_enabled_idle_instance_once)
{
    open({{"alpha", true}, {"beta"}, {"gamma", false, false}});
    compile_and_program();
    select({0, 1, 2}, {0});
    press(ACTION_RUN);
    EXPECT_EQ(last_run_instances(), (std::vector<int>{0, 2})) << "alpha once, beta, not the disabled gamma";
    EXPECT_FALSE(standin::chi::runs().back()[0].repeat);
    EXPECT_EQ(pane()->get_request_count(), 2);
    pane()->on_tools_go();
    EXPECT_EQ(standin::chi::runs().size(), 1u) << "nothing idle is left to run";
    end_all_runs();
    select({}, {0});
    press(ACTION_RUN);
    EXPECT_EQ(last_run_instances(), std::vector<int>{0}) << "a power-up row alone runs its instance";
}

TEST_F(instance_run_test, autorun_repeats_until_stopped)
{
    open({{"alpha"}});
    compile_and_program();
    select({0});
    press(ACTION_AUTORUN);
    ASSERT_EQ(standin::chi::runs().size(), 1u);
    EXPECT_TRUE(standin::chi::runs()[0][0].repeat);
    int data_ready = 0;
    SDR_DATA_LOG* first = standin::chi::runs()[0][0].log;
    for (int i = 0; i < 40 && data_ready < 2; ++i)
    {
        step();
        data_ready += tx()->is_data_available(false, 0, nullptr) ? 1 : 0;
    }
    EXPECT_GE(data_ready, 2) << "a second cycle after the first data";
    EXPECT_TRUE(tx()->is_instance_acquiring(0));
    press(ACTION_STOP);
    ASSERT_EQ(standin::chi::stops().size(), 1u);
    EXPECT_EQ(standin::chi::stops()[0], data()->m_instances[0].get());
    end_all_runs();
    EXPECT_FALSE(tx()->is_instance_acquiring(0));
    EXPECT_EQ(status_text(0), W::SEDQ_NOT_RUNNING_STR);
    EXPECT_EQ(pane()->get_request_count(), 0);
    EXPECT_NE(first, nullptr);
}

TEST_F(instance_run_test, read_data_brings_the_device_memory_into_a_new_shown_log)
{
    open({{"alpha"}, {"beta", false, true, false, 0}});
    compile_and_program();
    select({0});
    press(ACTION_RUN);
    end_all_runs();
    tx()->set_logging(true);
    const int logs = log_count(0);
    select({0, 1});
    press(ACTION_READ);
    EXPECT_EQ(log_count(0), logs + 1);
    const SDR_DATA_LOG* read = tx()->get_tx_session()->get_log_at(0, false);
    ASSERT_NE(read, nullptr);
    EXPECT_TRUE(read->is_data_available(false));
    EXPECT_NE(read, standin::chi::runs()[0][0].log);
    EXPECT_EQ(log_count(1), 0) << "beta has no sample depth: nothing to read";
    EXPECT_TRUE(standin::msg::shown().empty());
}

TEST_F(instance_run_test, a_failed_read_says_so_in_the_status_line_and_the_row)
{
    open({{"alpha"}});
    compile_and_program();
    standin::chi::fail_offload(true);
    write(0, 1, "before");
    select({0});
    press(ACTION_READ);
    EXPECT_EQ(status_line(), W::SEDQ_JTAG_COMMUNICATION_ERROR_STR);
    EXPECT_EQ(pane()->get_status_line()->palette().brush(QPalette::Base),
              SEDQ_YELLOW_BASE_PALETTE.brush(QPalette::Base));
    EXPECT_EQ(status_text(0), W::SEDQ_NOT_RUNNING_STR);
    EXPECT_EQ(status_brush(0), idle_brush());
}

// What each instance shows: its log and that log's samples.
struct shown_data
{
    SDR_DATA_LOG* log = nullptr;
    std::shared_ptr<const SDR_LOG_PAYLOAD> samples;
    int logs = 0;
};

// Autorun on both instances that already show data, stopped before or after the first new
// data, with logging on and off: a stop before data shows the data seen before, untouched and
// with no empty entry left; a stop after it shows the new data.
TEST_F(instance_run_test, a_stopped_autorun_shows_the_newest_whole_data)
{
    const struct
    {
        bool logging;
        bool data_before_stop;
    } cases[] = {{true, false}, {false, false}, {true, true}, {false, true}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(std::string(c.logging ? "logging on" : "logging off") +
                     (c.data_before_stop ? ", stopped after new data" : ", stopped before data"));
        open({{"alpha"}, {"beta"}});
        compile_and_program();
        tx()->set_logging(c.logging);
        select({0, 1});
        press(ACTION_RUN);
        end_all_runs();
        shown_data before[2];
        for (int instance : {0, 1})
        {
            before[instance].log = SEDQ_REPOSITORY::session(tx())->get_log_at(instance, false);
            ASSERT_NE(before[instance].log, nullptr);
            ASSERT_TRUE(before[instance].log->is_data_available(false));
            before[instance].samples = before[instance].log->m_payload;
            before[instance].logs = log_count(instance);
        }
        press(ACTION_AUTORUN);
        ASSERT_EQ(standin::chi::runs().size(), 2u);
        SDR_DATA_LOG* first_cycle[2] = {standin::chi::runs()[1][0].log, standin::chi::runs()[1][1].log};
        step(); // "running": Stop is enabled
        for (int i = 0; i < 40 && c.data_before_stop &&
                        !(first_cycle[0]->is_data_available(false) && first_cycle[1]->is_data_available(false));
             ++i)
            step();
        press(ACTION_STOP);
        end_all_runs();
        ASSERT_EQ(pane()->get_request_count(), 0);
        for (int instance : {0, 1})
        {
            SCOPED_TRACE(instance);
            const SDR_DATA_LOG* shown = tx()->get_tx_session()->get_log_at(instance, false);
            ASSERT_NE(shown, nullptr);
            EXPECT_TRUE(shown->is_data_available(false));
            EXPECT_FALSE(shown->is_acquiring_data());
            if (c.data_before_stop)
            {
                EXPECT_EQ(shown, first_cycle[instance]);
                EXPECT_NE(shown->m_payload, before[instance].samples);
                EXPECT_EQ(log_count(instance), before[instance].logs + (c.logging ? 1 : 0))
                    << "the new data's log, and no empty one for the stopped cycle";
            }
            else
            {
                EXPECT_EQ(shown, before[instance].log);
                EXPECT_EQ(shown->m_payload, before[instance].samples);
                EXPECT_EQ(log_count(instance), before[instance].logs);
            }
            EXPECT_EQ(status_text(instance), W::SEDQ_NOT_RUNNING_STR);
        }
        const SDR_DATA_LOG* current = nullptr;
        EXPECT_TRUE(tx()->is_data_available(false, -1, &current)) << "the panes show data";
        EXPECT_EQ(current, tx()->get_tx_session()->get_log_at(0, false));
        close_frame(m_frame);
        m_frame = nullptr;
        standin::chi::reset();
        standin::chi::set_pace_ms(0);
        standin::chi::set_delivery(standin::chi::delivery::manual);
    }
}

// A read that fails, with logging on or off, leaves the data shown before as it was: the same
// log, the same samples, no new entry.
TEST_F(instance_run_test, a_failed_read_keeps_the_data_shown_before)
{
    for (bool logging : {true, false})
    {
        SCOPED_TRACE(logging ? "logging on" : "logging off");
        open({{"alpha"}});
        compile_and_program();
        tx()->set_logging(logging);
        select({0});
        press(ACTION_RUN);
        end_all_runs();
        const SDR_DATA_LOG* before = tx()->get_tx_session()->get_log_at(0, false);
        ASSERT_NE(before, nullptr);
        ASSERT_TRUE(before->is_data_available(false));
        const SDR_PAYLOAD_HANDLE samples = before->m_payload;
        const int logs = log_count(0);
        standin::chi::fail_offload(true);
        press(ACTION_READ);
        EXPECT_EQ(status_line(), W::SEDQ_JTAG_COMMUNICATION_ERROR_STR);
        EXPECT_EQ(tx()->get_tx_session()->get_log_at(0, false), before);
        EXPECT_EQ(before->m_payload, samples);
        EXPECT_EQ(log_count(0), logs);
        const SDR_DATA_LOG* current = nullptr;
        EXPECT_TRUE(tx()->is_data_available(false, -1, &current));
        EXPECT_EQ(current, before);
        standin::chi::fail_offload(false);
        close_frame(m_frame);
        m_frame = nullptr;
    }
}

// Data seen before the device was programmed again (as data opened from a file), then an
// autorun stopped while it waited for its trigger: Read Data brings what the device sampled up
// to the stop, without a trigger, and no communication error.
TEST_F(instance_run_test, read_data_after_a_stopped_autorun_brings_what_the_device_sampled)
{
    open({{"alpha"}});
    compile_and_program();
    select({0});
    press(ACTION_RUN);
    end_all_runs();
    compile_and_program(); // the device's memory is empty again
    const SDR_DATA_LOG* before = tx()->get_tx_session()->get_log_at(0, false);
    ASSERT_TRUE(before->is_data_available(false));
    tx()->set_logging(true);
    press(ACTION_AUTORUN);
    for (int i = 0; i < 40 && status_text(0) != W::SEDQ_WAITING_FOR_TRIGGER_STR; ++i)
        step();
    ASSERT_EQ(status_text(0), W::SEDQ_WAITING_FOR_TRIGGER_STR);
    press(ACTION_STOP);
    end_all_runs();
    ASSERT_EQ(tx()->get_tx_session()->get_log_at(0, false), before);
    press(ACTION_READ);
    EXPECT_NE(status_line(), W::SEDQ_JTAG_COMMUNICATION_ERROR_STR);
    const SDR_DATA_LOG* read = tx()->get_tx_session()->get_log_at(0, false);
    ASSERT_NE(read, before);
    EXPECT_TRUE(read->is_data_available(false));
    EXPECT_EQ(read->get_data_trigger_position(-1), -1) << "stopped before its trigger";
    EXPECT_TRUE(before->is_data_available(false));
}

TEST_F(instance_run_test, a_run_cancelled_at_the_recompile_question_keeps_no_request)
{
    open({{"alpha"}});
    standin::qui::push_dialog_answer("recompile", QMessageBox::Cancel);
    select({0});
    press(ACTION_RUN);
    EXPECT_EQ(standin::qui::pending_dialog_answers(), 0);
    EXPECT_TRUE(standin::chi::runs().empty());
    EXPECT_EQ(pane()->get_request_count(), 0);
    EXPECT_FALSE(tx()->is_instance_acquiring(0));
}

TEST_F(instance_run_test, a_run_started_anyway_on_an_unprogrammed_device_ends_with_its_error)
{
    open({{"alpha"}});
    standin::qui::push_dialog_answer("recompile", QMessageBox::No);
    select({0});
    press(ACTION_RUN);
    ASSERT_EQ(pane()->get_request_count(), 1);
    end_all_runs();
    EXPECT_EQ(status_text(0), W::SEDQ_JTAG_ERR_NO_SLD_NODE_STR);
    EXPECT_EQ(status_brush(0), host_brush(5));
    EXPECT_EQ(pane()->get_request_count(), 0);
}

// Many short runs on the engine's thread, the window closed while some still report: every
// callback is deleted once, by the pane or by itself (the sanitizers watch the rest).
TEST_F(instance_run_test, windows_closed_during_threaded_runs_lose_no_callback)
{
    standin::chi::set_delivery(standin::chi::delivery::thread);
    for (int round = 0; round < 8; ++round)
    {
        open({{"alpha"}, {"beta"}});
        compile_and_program();
        select({0, 1});
        press(ACTION_RUN);
        for (int i = 0; i < round; ++i)
            refresh();
        close_frame(m_frame);
        m_frame = nullptr;
        ASSERT_TRUE(standin::chi::wait_idle(20000));
        refresh();
    }
    EXPECT_EQ(standin::chi::late_reports(), 0);
}
} // namespace
