// The mouse over the waveform: a click on the time-bar row inserts a bar, a bar is dragged to a
// new sample, the zoom rectangle and the right-button zoom out, and the tooltips of the value and
// waveform columns and of the ruler.
#include "sedq_waveform_test_support.h"

#include "host/afcq.h"

#include <QTest>

namespace
{
WAVE_DOCUMENT counter_document(int depth, std::vector<int> timebars = {})
{
    WAVE_DOCUMENT d;
    d.depth = depth;
    d.rows = {{"top|a"}, {"top|b"}};
    std::string a(size_t(depth), '0');
    std::string b(size_t(depth), '0');
    for (int s = 0; s < depth; ++s)
    {
        a[size_t(s)] = s % 2 ? '1' : '0';
        b[size_t(s)] = s >= depth / 2 ? '1' : '0';
    }
    d.channels = {a, b};
    d.timebars = std::move(timebars);
    return d;
}
} // namespace

class wave_mouse_test : public waveform_test
{
protected:
    void move_to(QPoint point, Qt::MouseButtons buttons = Qt::NoButton, Qt::KeyboardModifiers keys = Qt::NoModifier)
    {
        QMouseEvent move(QEvent::MouseMove, point, Qt::NoButton, buttons, keys);
        QApplication::sendEvent(view(), &move);
    }

    void press(QPoint point, Qt::MouseButton button = Qt::LeftButton)
    {
        QMouseEvent event(QEvent::MouseButtonPress, point, button, button, Qt::NoModifier);
        QApplication::sendEvent(view(), &event);
    }

    void release(QPoint point, Qt::MouseButton button = Qt::LeftButton)
    {
        QMouseEvent event(QEvent::MouseButtonRelease, point, button, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(view(), &event);
        settle();
    }

    int bar_row_y() { return inner_cell(0, 23).center().y(); }
};

TEST_F(wave_mouse_test, a_click_on_the_time_bar_row_inserts_a_bar_and_a_drag_moves_it)
{
    open_waves(counter_document(100));
    focus_view();
    view()->on_fit_in_window();
    const QPoint at(view()->find_point(30), bar_row_y());
    move_to(at);
    ASSERT_EQ(view()->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(tooltip_at(at), "click to insert time bar");
    const int before = view()->get_timebar_count();
    press(at);
    release(at);
    ASSERT_EQ(view()->get_timebar_count(), before + 1);
    const int bar = view()->get_timebar_count() - 1;
    EXPECT_NEAR(view()->get_timebar(bar), 30, 1);

    // The first bar opens the value column, which moves the waveform to the right.
    const QPoint on_bar(view()->find_point(view()->get_timebar(bar)), bar_row_y());
    move_to(on_bar);
    ASSERT_EQ(view()->cursor().shape(), Qt::SizeHorCursor) << "over the bar";
    press(on_bar);
    const QPoint to(view()->find_point(60), bar_row_y());
    move_to(to, Qt::LeftButton);
    release(to);
    bool moved = false;
    for (int index = 0; index < view()->get_timebar_count(); ++index)
        moved = moved || std::abs(view()->get_timebar(index) - 60) <= 1;
    EXPECT_TRUE(moved) << "the bar follows the mouse and stays where it is dropped";
    EXPECT_EQ(view()->get_timebar_count(), before + 1);
}

TEST_F(wave_mouse_test, the_zoom_rectangle_and_the_right_button)
{
    open_waves(counter_document(1000));
    focus_view();
    view()->on_fit_in_window();
    const int y = inner_cell(4, 23).top() + 2;
    const QPoint from(view()->find_point(200), y);
    const QPoint to(view()->find_point(500), y + 12);
    move_to(from);
    ASSERT_EQ(view()->cursor().shape(), Qt::BitmapCursor) << "the zoom cursor";
    press(from);
    move_to(to, Qt::LeftButton);
    release(to);
    EXPECT_NEAR(view()->get_window_width(), 300.0, 2.0) << "zoomed to the rectangle";
    EXPECT_NEAR(view()->get_first_transition(), 200, 1);

    const double zoomed = view()->get_window_width();
    const QPoint middle(view()->find_point(350), y);
    move_to(middle);
    QMouseEvent right_press(QEvent::MouseButtonPress, middle, Qt::RightButton, Qt::RightButton, Qt::NoModifier);
    QApplication::sendEvent(view(), &right_press);
    release(middle, Qt::RightButton);
    EXPECT_GT(view()->get_window_width(), zoomed) << "a right click zooms out";
}

TEST_F(wave_mouse_test, value_tooltips_stay_inside_the_data)
{
    open_waves(counter_document(100, {100}));
    view()->on_fit_in_window();
    ASSERT_GT(view()->get_timebar_count(), 0);
    ASSERT_EQ(view()->get_timebar(0), 100) << "the master stands at the end of the data";
    EXPECT_EQ(tooltip_at(inner_cell(4, 22).center()), "No Data") << "one past the last sample";

    m_frames.clear();
    open_waves(counter_document(100, {51}));
    view()->on_fit_in_window();
    EXPECT_EQ(tooltip_at(inner_cell(3, 22).center()), "1") << "a at sample 51";
    EXPECT_EQ(tooltip_at(inner_cell(4, 22).center()), "1") << "b from the middle on";

    const QRect wave = inner_cell(4, 23);
    const QString left = tooltip_at(QPoint(wave.left() + 1, wave.center().y()));
    EXPECT_EQ(left, "0") << "b before the middle";
    const QString past = tooltip_at(QPoint(view()->width() - 2, wave.center().y()));
    EXPECT_TRUE(past == "0" || past == "1") << past.toStdString() << ": clamped to the last sample";
    EXPECT_TRUE(internal_errors().empty());
}

TEST_F(wave_mouse_test, ruler_tooltips_name_the_sample)
{
    open_waves(counter_document(100, {40}));
    view()->on_fit_in_window();
    const QPoint at(view()->find_point(40), bar_row_y());
    move_to(at);
    ASSERT_EQ(view()->cursor().shape(), Qt::SizeHorCursor);
    EXPECT_TRUE(tooltip_at(at).startsWith("Sample ")) << tooltip_at(at).toStdString();
    const QPoint ruler(view()->find_point(25), inner_cell(2, 23).center().y());
    EXPECT_TRUE(tooltip_at(ruler).startsWith("Sample ")) << tooltip_at(ruler).toStdString();
}

// The ruler and the time bars share one scale: its labelled, tallest ticks stand a marker width
// apart counted from the trigger, as the bars count.
TEST_F(wave_mouse_test, the_ruler_counts_from_the_trigger)
{
    WAVE_DOCUMENT document = counter_document(100);
    document.trigger_position = 37;
    open_waves(document);
    view()->on_fit_in_window();
    const int marker = view()->get_marker_width();
    ASSERT_GT(marker, 1);
    const QImage image = render();
    QRect ruler;
    ASSERT_TRUE(view()->get_item_rect(2, 23, &ruler));
    const auto tick = [&](int sample) {
        int inked = 0;
        for (int y = ruler.top(); y <= ruler.bottom(); ++y)
            inked += image.pixelColor(view()->find_point(sample), y) ==
                     AFCQ_COLOR(AFCQ_COLOR_TIME_BAR).get_color();
        return inked;
    };
    for (int sample = 37 - marker; sample <= 37 + marker; ++sample)
        if (sample != 37 && sample != 37 - marker && sample != 37 + marker)
        {
            EXPECT_LT(tick(sample), tick(37)) << "sample " << sample;
            EXPECT_LT(tick(sample), tick(37 + marker)) << "sample " << sample;
        }
}
