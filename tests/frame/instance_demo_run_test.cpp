// The bundled demo run from the window: its project compiled and programmed, both instances
// selected in the instance manager and Run pressed; the engine acquires on its own thread and
// each instance ends showing its new data. The pane's picture is kept in the build tree.
#include "instance_widget_test_support.h"

#include "host/afcq.h"
#include "sedq/view/sedq_view.h"

#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include <random>
#include "sedq/model/sedq_repository.h"

namespace
{
class instance_demo_run_test : public instance_widget_test::instance_widget_fixture
{
protected:
    void compile_and_program_demo()
    {
        compile_and_program("output/demo_top.sof");
        tx()->update_all_views(nullptr, SEDQ_UPDATE_INSTANCES);
        refresh();
    }

    // Both instances selected and run on the engine's thread until every request has ended.
    void run_both_instances()
    {
        tx()->set_logging(true);
        standin::chi::set_pace_ms(5);
        standin::chi::set_delivery(standin::chi::delivery::thread);
        select({0, 1});
        run_to_the_end();
    }

    // The data tab's view of the current instance, painted into an image.
    QImage data_view_picture()
    {
        m_frame->get_layout_widget()->get_data_setup_tab_widget(-1)->setCurrentIndex(0);
        refresh();
        SEDQ_VIEW* view = m_frame->get_layout_widget()->get_view();
        QImage image(view->size(), QImage::Format_ARGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        view->paint(&painter, nullptr, view, view->rect(), true);
        return image;
    }
};

TEST_F(instance_demo_run_test, the_demo_runs_from_the_instance_manager_to_its_new_data)
{
    open_demo();
    ASSERT_EQ(model()->rowCount(), 2);
    EXPECT_EQ(status_line(), SEDQ_INSTANCE_WIDGET::SEDQ_PROGRAM_DEVICE_STR) << "the demo is shipped compiled";
    compile_and_program_demo();
    EXPECT_EQ(status_line(), SEDQ_INSTANCE_WIDGET::SEDQ_READY_TO_ACQUIRE_STR);
    SDR_DATA_LOG* before[2] = {SEDQ_REPOSITORY::session(tx())->get_log_at(0, false),
                               SEDQ_REPOSITORY::session(tx())->get_log_at(1, false)};
    run_both_instances();
    for (int instance : {0, 1})
    {
        const SDR_DATA_LOG* shown = tx()->get_tx_session()->get_log_at(instance, false);
        ASSERT_NE(shown, nullptr);
        EXPECT_NE(shown, before[instance]) << "a new log per run";
        EXPECT_TRUE(shown->is_data_available(false)) << instance;
        EXPECT_EQ(status_text(instance), SEDQ_INSTANCE_WIDGET::SEDQ_NOT_RUNNING_STR);
    }
    EXPECT_EQ(status_line(), SEDQ_INSTANCE_WIDGET::SEDQ_READY_TO_ACQUIRE_STR);
    EXPECT_TRUE(standin::msg::internal_errors().empty());
    const QPixmap picture = m_frame->grab();
    ASSERT_FALSE(picture.isNull());
    EXPECT_TRUE(picture.save(QString(SEDQ_BINARY_DIR) + "/instance_manager_demo.png", "PNG"));

    // The data tab shows the new samples as waveforms.
    const QImage image = data_view_picture();
    SEDQ_VIEW* view = m_frame->get_layout_widget()->get_view();
    int wave_pixels = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            for (int pen : {108, 109})
                wave_pixels += image.pixel(x, y) == AFCQ_PEN(pen).get_pen().color().rgb();
    EXPECT_GT(wave_pixels, 1000) << "one-bit waveforms drawn";
    // Two time bars: the value column opens beside the names with the values at the master.
    view->insert_timebar(40);
    view->insert_timebar(100);
    view->save_timebars();
    refresh();
    EXPECT_GT(view->get_column_width(SEDQ_COLUMN_VALUE), 0);
    EXPECT_TRUE(m_frame->grab().save(QString(SEDQ_BINARY_DIR) + "/demo_waveforms.png", "PNG"));
}

// What was acquired, and where the user left the time bars, is in the saved file: the window
// opened on it again shows the same data tab.
TEST_F(instance_demo_run_test, the_acquired_demo_saved_and_opened_again_shows_the_same_data)
{
    open_demo();
    compile_and_program_demo();
    run_both_instances();
    SEDQ_VIEW* view = m_frame->get_layout_widget()->get_view();
    data_view_picture();
    view->insert_timebar(40);
    view->insert_timebar(100);
    view->save_timebars();
    const QImage acquired = data_view_picture();
    const QString path = m_dir.filePath("demo.vtl");
    ASSERT_TRUE(m_frame->save_file(path));
    close_frame(m_frame);
    m_frame = nullptr;
    settle();

    m_frame = open_frame(path);
    const SDR_DATA_LOG* shown = tx()->get_tx_session()->get_log_at(0, false);
    ASSERT_NE(shown, nullptr);
    EXPECT_TRUE(shown->is_data_available(false));
    const QImage reopened = data_view_picture();
    ASSERT_EQ(reopened.size(), acquired.size());
    EXPECT_TRUE(reopened == acquired) << "the data tab after opening the saved file differs";
    if (reopened != acquired)
    {
        acquired.save(QString(SEDQ_BINARY_DIR) + "/demo_before_save.png", "PNG");
        reopened.save(QString(SEDQ_BINARY_DIR) + "/demo_after_open.png", "PNG");
    }
    EXPECT_TRUE(standin::msg::internal_errors().empty());
}

// Reports one at a time: the picture shows both instances in the middle of their runs.
TEST_F(instance_demo_run_test, the_status_column_follows_each_instances_run)
{
    open_demo();
    compile_and_program_demo();
    select({0, 1});
    press(ACTION_RUN);
    step();
    step();
    step();
    EXPECT_EQ(status_text(0), SEDQ_INSTANCE_WIDGET::SEDQ_WAITING_FOR_TRIGGER_STR);
    EXPECT_EQ(status_text(1), "Currently in state 1: ST1") << "the state-based flow of the second instance";
    EXPECT_EQ(status_line(), SEDQ_INSTANCE_WIDGET::SEDQ_ACQUISITION_IN_PROGRESS_STR);
    EXPECT_FALSE(action_of(ACTION_RUN)->isEnabled());
    EXPECT_TRUE(action_of(ACTION_STOP)->isEnabled());
    EXPECT_TRUE(m_frame->grab().save(QString(SEDQ_BINARY_DIR) + "/instance_manager_demo_running.png", "PNG"));
    end_all_runs();
    EXPECT_EQ(pane()->get_request_count(), 0);
}

// Clicks the tab `index` of a tab bar, as the mouse does.
void click_tab(QTabWidget* tabs, int index)
{
    QTabBar* bar = tabs->tabBar();
    if (index < bar->count())
        QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->tabRect(index).center());
}

void click_tab(SEDQ_INSTANCE_TABS* tabs, int index)
{
    if (index < tabs->count())
        QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, Qt::NoModifier, tabs->tabRect(index).center());
}

// An hour of runs in a few seconds: the engine reports on its own thread while the user runs,
// stops and autoruns either instance or both and goes from instance to instance and page to page
// (the data, setup, advanced trigger and state flow pages). Run under the address and thread
// sanitizers, it is the hunt for a fault of the run's reports meeting the pages.
TEST_F(instance_demo_run_test, runs_stops_and_autoruns_meet_page_changes_without_fault)
{
    open_demo();
    compile_and_program_demo();
    tx()->set_logging(true);
    standin::chi::set_pace_ms(1);
    standin::chi::set_delivery(standin::chi::delivery::thread);
    SEDQ_LAYOUT_WIDGET* layout = m_frame->get_layout_widget();
    std::mt19937 random(57);
    const int commands[] = {ACTION_RUN, ACTION_AUTORUN, ACTION_STOP, ACTION_RUN};
    const std::vector<std::vector<int>> selections = {{0}, {1}, {0, 1}, {1}};
    int started = 0;
    for (int round = 0; round < 60; ++round)
    {
        select(selections[random() % selections.size()]);
        QAction* command = action_of(commands[random() % 4]);
        if (command->isEnabled())
        {
            command->trigger();
            ++started;
        }
        for (unsigned change = random() % 4; change > 0; --change)
        {
            click_tab(layout->get_instance_tab_widget(), int(random() % 2));
            click_tab(layout->get_data_setup_tab_widget(SEDQ_CURRENT), int(random() % 4));
            QCoreApplication::processEvents(QEventLoop::AllEvents, int(random() % 8));
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    if (action_of(ACTION_STOP)->isEnabled())
    {
        select({0, 1});
        action_of(ACTION_STOP)->trigger();
    }
    end_all_runs();
    EXPECT_GT(started, 20);
    EXPECT_EQ(pane()->get_request_count(), 0);
    EXPECT_FALSE(tx()->is_any_instance_acquiring());
    EXPECT_TRUE(standin::msg::internal_errors().empty());
}
} // namespace
