// Engine reports in the instance manager: every status code as a text and colour of the Status
// column, trigger progress read with the reporting instance's trigger in, error values, codes
// that are dropped, reports without a row, and status callbacks that are deleted exactly once,
// also when the pane goes away during a run.
#include "instance_widget_test_support.h"

#include "sedq/frame/sedq_control_cmd_ela_int.h"
#include "sedq/frame/sedq_update_state_event.h"

#include <QSignalSpy>

namespace
{
using instance_widget_test::probe;
using W = SEDQ_INSTANCE_WIDGET;

class instance_status_test : public instance_widget_test::instance_widget_fixture
{
protected:
    // Alpha (trigger in off) and beta (trigger in on), compiled and programmed; alpha is current.
    void open_pair()
    {
        open({{"alpha"}, {"beta", false, true, true}});
        compile_and_program();
    }

    // Starts a scripted run of one instance row and handles its "running" report.
    void start(int row, const std::vector<std::pair<int, int>>& reports)
    {
        standin::chi::script(row == 0 ? "alpha" : "beta", reports);
        select({row});
        press(ACTION_RUN);
        step();
    }
};

TEST_F(instance_status_test, every_status_code_has_its_text_and_colour)
{
    struct row
    {
        int status;
        int value;
        QString text; // empty: the cell keeps what it showed
        QBrush brush;
    };
    const QBrush progress = host_brush(4);
    const QBrush waiting = host_brush(8);
    const std::vector<row> rows = {
        {0, 0, "", {}},
        {1, 1, W::SEDQ_WAITING_FOR_TRIGGER_STR, progress},
        {2, 2, "Trigger level 1 met", progress},
        {3, 1, W::SEDQ_POWERUP_WAITING_FOR_TRIGGER_STR, SEDQ_POWERUP_BRUSH},
        {4, 0, W::SEDQ_ACQUIRING_PRE_TRIGGER_DATA_STR, progress},
        {5, 0, W::SEDQ_POWERUP_ACQUIRING_PRE_TRIGGER_DATA_STR, SEDQ_POWERUP_BRUSH},
        {6, 0, W::SEDQ_ACQUIRING_POST_TRIGGER_DATA_STR, progress},
        {7, 0, W::SEDQ_POWERUP_ACQUIRING_POST_TRIGGER_DATA_STR, SEDQ_POWERUP_BRUSH},
        {8, 0, W::SEDQ_OFFLOADING_DATA_STR, progress},
        {9, 0, W::SEDQ_POWERUP_OFFLOADING_DATA_STR, SEDQ_POWERUP_BRUSH},
        {10, 0, "", {}},
        {11, 0, "", {}},
        {12, 0, W::SEDQ_NOT_RUNNING_STR, idle_brush()},
        {13, 0, W::SEDQ_NOT_RUNNING_STR, idle_brush()},
        {14, 0, W::SEDQ_WAITING_FOR_CLOCK_STR, waiting},
        {15, 0, W::SEDQ_JTAG_COMMUNICATION_BUSY_STR, waiting},
        {16, 0, "", {}},
        {17, 5, W::SEDQ_JTAG_ERR_NO_SLD_NODE_STR, host_brush(5)},
    };
    open_pair();
    for (const row& r : rows)
    {
        start(0, {{r.status, r.value}});
        model()->set_status(0, "before", QBrush(Qt::darkCyan));
        step();
        EXPECT_EQ(status_text(0), r.text.isEmpty() ? QString("before") : r.text) << "status " << r.status;
        EXPECT_EQ(status_brush(0), r.text.isEmpty() ? QBrush(Qt::darkCyan) : r.brush)
            << "status " << r.status;
        end_all_runs();
        EXPECT_FALSE(tx()->is_instance_acquiring(0)) << "status " << r.status;
        EXPECT_EQ(pane()->get_request_count(), 0) << "status " << r.status;
    }
    EXPECT_EQ(standin::chi::late_reports(), 0);
}

// The engine has no power-up form of waiting for clock; a report that has one still reads right.
TEST_F(instance_status_test, a_power_up_report_of_waiting_for_clock_has_its_own_text)
{
    open({{"alpha"}});
    SEDQ_UPDATE_STATE_EVENT event(SEDQ_ACQ_STATE_POWERUP | SEDQ_ACQ_STATE_WAITING_FOR_CLOCK, nullptr, nullptr,
                                  0, 0);
    QCoreApplication::sendEvent(pane(), &event);
    EXPECT_EQ(status_text(0), W::SEDQ_POWERUP_WAITING_FOR_CLOCK_STR);
    EXPECT_EQ(status_brush(0), host_brush(8));
}

TEST_F(instance_status_test, trigger_progress_counts_levels_with_the_reporting_instances_trigger_in)
{
    struct row
    {
        int instance_row;
        std::pair<int, int> report;
        QString text;
    };
    const std::vector<row> rows = {
        {0, {1, 1}, W::SEDQ_WAITING_FOR_TRIGGER_STR}, {0, {2, 2}, "Trigger level 1 met"},
        {0, {2, 3}, "Trigger level 2 met"},           {0, {1, 0}, W::SEDQ_WAITING_FOR_TRIGGER_STR},
        {1, {1, 0}, W::SEDQ_WAITING_FOR_TRIGGER_STR}, {1, {2, 1}, W::SEDQ_TRIGGER_IN_MET_STR},
        {1, {2, 2}, "Trigger level 1 met"},           {1, {2, 4}, "Trigger level 3 met"},
        {0, {1, -1}, "Currently in state 1: ST1"},    {1, {2, -3}, "Currently in state 3: ST3"},
    };
    open_pair();
    ASSERT_FALSE(tx()->is_trigger_in_enabled(-1)) << "the current instance has no trigger in";
    for (const row& r : rows)
    {
        start(r.instance_row, {r.report});
        step();
        EXPECT_EQ(status_text(r.instance_row), r.text) << r.instance_row << ": " << r.report.second;
        EXPECT_EQ(status_brush(r.instance_row), host_brush(4));
        end_all_runs();
    }
    EXPECT_TRUE(standin::msg::internal_errors().empty());
}

TEST_F(instance_status_test, an_error_report_names_the_error_of_its_value)
{
    const std::vector<std::pair<int, QString>> rows = {{1, W::SEDQ_JTAG_ERR_VERSION_DIFF_STR},
                                                       {2, W::SEDQ_JTAG_ERR_NO_HARDWARE_STR},
                                                       {3, W::SEDQ_JTAG_ERR_HANDWARE_CHANGED_STR},
                                                       {4, W::SEDQ_JTAG_ERR_HANDWARE_BUSY_STR},
                                                       {5, W::SEDQ_JTAG_ERR_NO_SLD_NODE_STR},
                                                       {6, W::SEDQ_JTAG_ERR_JTAG_ERROR_STR},
                                                       {7, W::SEDQ_JTAG_ERR_SOF_INCOMPATIBLE_STR},
                                                       {8, W::SEDQ_JTAG_ERR_VERSION_MISMATCH_STR},
                                                       {0, W::SEDQ_NOT_RUNNING_STR},
                                                       {9, W::SEDQ_NOT_RUNNING_STR},
                                                       {-2, W::SEDQ_NOT_RUNNING_STR}};
    open_pair();
    for (const auto& r : rows)
    {
        start(0, {{17, r.first}});
        step();
        EXPECT_EQ(status_text(0), r.second) << "value " << r.first;
        EXPECT_EQ(status_brush(0), r.second == W::SEDQ_NOT_RUNNING_STR ? idle_brush() : host_brush(5))
            << "value " << r.first;
        EXPECT_FALSE(tx()->is_instance_acquiring(0));
        EXPECT_EQ(pane()->get_request_count(), 0);
    }
}

TEST_F(instance_status_test, codes_without_a_state_are_dropped_by_the_callback)
{
    open({{"alpha"}});
    QSignalSpy hints(tx(), SIGNAL(updated(QObject*, int)));
    SEDQ_CONTROL_CMD_ELA_INT callback(pane(), 0);
    for (int status : {16, 18, 40, -1})
        callback.update_acquisition_status(CHI_CONTROL_ELA_INT::ELA_STATUS(status), 7, nullptr);
    refresh();
    EXPECT_EQ(callback.get_value(), 0) << "not even the value is kept";
    EXPECT_EQ(hints.count(), 0);
    EXPECT_EQ(status_text(0), W::SEDQ_NOT_RUNNING_STR);
}

TEST_F(instance_status_test, a_report_for_an_instance_without_a_row_still_updates_and_ends_its_request)
{
    open_pair();
    start(1, {{6, 0}});
    SEDQ_INSTANCE_LIST_MODEL::ENTRY alpha;
    alpha.name = text(0, 0);
    model()->set_rows({alpha}, 0, true);
    step();
    ASSERT_EQ(standin::msg::internal_errors().size(), 1u);
    EXPECT_EQ(standin::msg::internal_errors()[0].expression, "row >= 0");
    EXPECT_TRUE(tx()->is_instance_acquiring(1));
    step();
    EXPECT_FALSE(tx()->is_instance_acquiring(1)) << "the final report is stored";
    EXPECT_EQ(pane()->get_request_count(), 0) << "and its callback deleted";
    EXPECT_EQ(status_text(0), W::SEDQ_NOT_RUNNING_STR) << "no other row was written";
}

TEST_F(instance_status_test, a_data_ready_report_of_a_log_marked_not_to_be_shown_is_ignored)
{
    open_pair();
    start(0, {{10, 0}});
    SDR_DATA_LOG* log = standin::chi::runs().back()[0].log;
    ASSERT_NE(log, nullptr);
    log->m_do_not_show = 1;
    QSignalSpy hints(tx(), SIGNAL(updated(QObject*, int)));
    step();
    for (const QList<QVariant>& hint : hints)
        EXPECT_NE(hint[1].toInt() & SEDQ_UPDATE_SWITCH_POWERUP_VIEW, SEDQ_UPDATE_SWITCH_POWERUP_VIEW);
    log->m_do_not_show = 0;
}

TEST_F(instance_status_test, the_enabled_boxes_are_locked_while_any_instance_acquires)
{
    open_pair();
    start(0, {{4, 0}});
    EXPECT_FALSE(enabled_cell(0, 2));
    EXPECT_FALSE(enabled_cell(1, 2)) << "every row, not only the acquiring one";
    end_all_runs();
    EXPECT_TRUE(enabled_cell(0, 2));
    EXPECT_TRUE(enabled_cell(1, 2));
}

TEST_F(instance_status_test, a_pane_closed_during_a_run_leaves_its_callback_to_the_final_report)
{
    open_pair();
    start(0, {{4, 0}, {6, 0}});
    ASSERT_EQ(pane()->get_request_count(), 1);
    close_frame(m_frame);
    m_frame = nullptr;
    EXPECT_GT(standin::chi::run_to_end(), 0);
    EXPECT_EQ(standin::chi::late_reports(), 0) << "the callback deleted itself at its final report";
}

TEST_F(instance_status_test, a_pane_closed_after_the_final_report_was_posted_deletes_the_callback)
{
    open_pair();
    start(0, {{12, 0}});
    standin::chi::step(); // posted, not handled
    EXPECT_FALSE(standin::chi::is_active());
    close_frame(m_frame);
    m_frame = nullptr;
    refresh();
}
} // namespace
