// The time axis of the data tab: zoom fractions and windows, zoom to a range and by the mouse
// rectangle, centring, time texts, time bars (insert, remove, find near a point, the master
// commands, dragging), next and previous transition, the enabling tests of the waveform menu and
// the positions kept in the document, damaged ones included.
#include "sedq_waveform_test_support.h"

#include <QAction>
#include <QTest>
#include <QToolButton>

namespace
{
// A signal that toggles at each of `changes` (starting low).
std::string toggling(int depth, const std::vector<int>& changes)
{
    std::string bits(size_t(depth), '0');
    char level = '0';
    size_t next = 0;
    for (int s = 0; s < depth; ++s)
    {
        if (next < changes.size() && s == changes[next])
        {
            level = level == '0' ? '1' : '0';
            ++next;
        }
        bits[size_t(s)] = level;
    }
    return bits;
}

WAVE_DOCUMENT plain_document(int depth)
{
    WAVE_DOCUMENT d;
    d.depth = depth;
    d.rows = {{"top|a"}, {"top|b"}};
    d.channels = {toggling(depth, {depth / 4}), toggling(depth, {depth / 2})};
    return d;
}

class time_axis_test : public waveform_test
{
protected:
    struct ZOOM
    {
        int level_numerator, level_denominator, offset_numerator, offset_denominator, window;
    };

    void expect_zoom(const ZOOM& z, const std::string& where)
    {
        EXPECT_EQ(view()->get_zoom_level().get_numerator(), z.level_numerator) << where;
        EXPECT_EQ(view()->get_zoom_level().get_denominator(), z.level_denominator) << where;
        EXPECT_EQ(view()->get_zoom_offset().get_numerator(), z.offset_numerator) << where;
        EXPECT_EQ(view()->get_zoom_offset().get_denominator(), z.offset_denominator) << where;
        EXPECT_EQ(view()->get_window_width(), double(z.window)) << where;
        EXPECT_EQ(view()->get_last_transition() - view()->get_first_transition(), z.window) << where;
    }

    int position(const char* key) { return tx()->get_tx_instance()->get_position_data(key); }

    QString time_text(int value, bool signed_form, bool samples_only = false)
    {
        QString text;
        EXPECT_TRUE(view()->get_time_units_string(&text, value, signed_form, samples_only));
        return text;
    }

    QString label(int index)
    {
        QString first;
        view()->get_timebar_string(index, &first, nullptr);
        return first;
    }
};

TEST_F(time_axis_test, zoom_steps_at_depth_1000_keep_exact_fractions_both_ways)
{
    open_waves(plain_document(1000));
    view()->on_fit_in_window();
    const ZOOM steps[] = {{1, 1, 130072, 1, 1000}, {2, 1, 65036, 1, 500}, {4, 1, 32518, 1, 250},
                          {8, 1, 16259, 1, 125},   {16, 1, 16259, 2, 63}, {32, 1, 16259, 4, 32}};
    expect_zoom(steps[0], "fitted");
    EXPECT_FALSE(view()->on_update_zoom_out()) << "the whole data is shown";
    EXPECT_FALSE(view()->zoom_out(nullptr, nullptr));
    for (int i = 1; i < 6; ++i)
    {
        ASSERT_TRUE(view()->zoom_in(nullptr, nullptr));
        expect_zoom(steps[i], "zoom in " + std::to_string(i));
    }
    EXPECT_EQ(position("zoom level numerator"), 32) << "every zoom is saved";
    EXPECT_EQ(position("zoom offset denominator"), 4);
    for (int i = 4; i >= 0; --i)
    {
        ASSERT_TRUE(view()->zoom_out(nullptr, nullptr));
        expect_zoom(steps[i], "zoom out to " + std::to_string(i));
    }
    EXPECT_FALSE(view()->zoom_out(nullptr, nullptr));
}

TEST_F(time_axis_test, the_widest_acquisition_zooms_to_one_sample_and_no_further)
{
    open_waves(plain_document(131072));
    view()->on_fit_in_window();
    expect_zoom({1, 1, 0, 1, 131072}, "fitted");
    for (int i = 0; i < 17; ++i)
        ASSERT_TRUE(view()->zoom_in(nullptr, nullptr)) << "step " << i;
    EXPECT_EQ(view()->get_window_width(), 1.0);
    EXPECT_EQ(double(view()->get_zoom_level()), 131072.0);
    EXPECT_FALSE(view()->on_update_zoom_in());
    EXPECT_TRUE(view()->on_update_zoom_out());
    EXPECT_FALSE(view()->zoom_in(nullptr, nullptr));
    EXPECT_EQ(view()->get_window_width(), 1.0);
}

TEST_F(time_axis_test, zoom_to_a_range_gives_the_power_of_two_step_and_the_exact_window)
{
    open_waves(plain_document(131072));
    int step = 0;
    view()->set_fudge_factor(1000, 1300, &step);
    EXPECT_EQ(step, 256);
    EXPECT_EQ(view()->get_fudge_factor(), 212);
    view()->set_fudge_factor(0, 131072, &step);
    EXPECT_EQ(step, 1);
    EXPECT_EQ(view()->get_fudge_factor(), 0);
    view()->set_fudge_factor(5, 6, &step);
    EXPECT_EQ(step, 131072);
    EXPECT_EQ(view()->get_fudge_factor(), 0);
}

// A dragged rectangle zooms to the samples under its edges; a narrow one acts as a click, which
// zooms in by two at its start (out with Shift, not tested here: no modifier can be held).
TEST_F(time_axis_test, the_mouse_rectangle_zooms_to_its_samples_and_a_click_zooms_by_a_step)
{
    open_waves(plain_document(1000));
    view()->on_fit_in_window();
    const int top = inner_cell(4, 23).top();
    const int left = view()->find_point(200);
    const int right = view()->find_point(500);
    const int under_left = view()->find_transition(QPoint(left, 0), false);
    ASSERT_NEAR(under_left, 200, 1);
    view()->start_drag_rect(QPoint(left, top));
    view()->end_drag_rect(QPoint(right, top + 10));
    view()->zoom_drag_rect(false);
    EXPECT_EQ(view()->get_first_transition(), under_left);
    EXPECT_NEAR(view()->get_window_width(), 300.0, 2.0);
    EXPECT_EQ(position("data horizontal scroll position"), view()->get_first_transition());

    view()->on_fit_in_window();
    const QPoint click(view()->find_point(700), top);
    view()->start_drag_rect(click);
    view()->end_drag_rect(click + QPoint(3, 10));
    view()->zoom_drag_rect(false);
    EXPECT_EQ(view()->get_window_width(), 500.0);
    EXPECT_NEAR(view()->find_transition(click, false), 700, 1) << "the clicked sample stays under the pointer";
    view()->on_fit_in_window();
    view()->start_drag_rect(click);
    view()->end_drag_rect(click + QPoint(2, 2));
    view()->zoom_drag_rect(true);
    EXPECT_EQ(view()->get_window_width(), 1000.0) << "clicks do not zoom when told not to";
}

TEST_F(time_axis_test, centring_scrolls_the_sample_to_the_middle_within_the_range)
{
    WAVE_DOCUMENT d = plain_document(1000);
    d.trigger_position = 600;
    open_waves(d);
    view()->on_fit_in_window();
    EXPECT_FALSE(view()->center_in_window(600, true)) << "nothing to scroll while all is shown";
    EXPECT_FALSE(view()->on_update_center_on_trigger());
    view()->zoom_in(nullptr, nullptr);
    view()->zoom_in(nullptr, nullptr); // 250 samples
    EXPECT_TRUE(view()->on_update_center_on_trigger());
    view()->on_center_on_trigger();
    EXPECT_EQ(view()->get_first_transition(), 600 - 125);
    EXPECT_FALSE(view()->center_in_window(600, false)) << "already centred";
    EXPECT_TRUE(view()->center_in_window(990, true));
    EXPECT_EQ(view()->get_first_transition(), 750) << "clamped to the end of the range";
    EXPECT_TRUE(view()->center_in_window(3, true));
    EXPECT_EQ(view()->get_first_transition(), 0);
}

// View > Zoom In and Zoom Out have no pointer to follow: they keep the master time bar where it
// stands while it is in sight, else the sample in the middle of the window.
TEST_F(time_axis_test, zoom_from_the_menu_keeps_the_master_bar_or_the_middle_in_place)
{
    open_waves(plain_document(1000));
    QApplication::setActiveWindow(frame());
    QTest::mouseClick(view(), Qt::LeftButton, Qt::NoModifier, inner_cell(3, SEDQ_COLUMN_NAME).center());
    ASSERT_TRUE(view()->hasFocus()) << "a click on a name gives the waveform the keyboard";
    const auto zoom = [this](AFCQ_ACTION_ENUM id)
    {
        emit frame()->get_menu_record()->view_menu->aboutToShow();
        QAction* entry = tx()->get_action(id, QVariant());
        ASSERT_TRUE(entry->isEnabled());
        entry->trigger();
        settle();
    };
    const auto middle = [this]() { return view()->get_first_transition() + view()->get_window_width() / 2; };

    view()->on_fit_in_window();
    const struct
    {
        AFCQ_ACTION_ENUM id;
        int first;
    } steps[] = {{AFCQ_SEDQ_ZOOM_IN_ACTION, 250}, {AFCQ_SEDQ_ZOOM_IN_ACTION, 375}, {AFCQ_SEDQ_ZOOM_OUT_ACTION, 250}};
    for (const auto& step : steps)
    {
        zoom(step.id);
        EXPECT_EQ(view()->get_first_transition(), step.first) << "the middle sample 500 stays in the middle";
    }

    // The window starts at a whole sample: the bar may move by up to a sample of either scale.
    view()->on_fit_in_window();
    view()->insert_timebar(300);
    for (AFCQ_ACTION_ENUM id : {AFCQ_SEDQ_ZOOM_IN_ACTION, AFCQ_SEDQ_ZOOM_IN_ACTION, AFCQ_SEDQ_ZOOM_IN_ACTION,
                                AFCQ_SEDQ_ZOOM_OUT_ACTION})
    {
        const int bar_x = view()->find_point(300);
        const double sample_before = view()->get_transition_width();
        zoom(id);
        EXPECT_NEAR(view()->find_point(300), bar_x, std::max(sample_before, view()->get_transition_width()))
            << "window " << view()->get_window_width();
    }

    view()->get_horizontal_scroll_bar()->setValue(600);
    const double looked_at = middle();
    zoom(AFCQ_SEDQ_ZOOM_IN_ACTION);
    EXPECT_NEAR(middle(), looked_at, 1.0) << "the bar out of sight: the middle stays";
}

TEST_F(time_axis_test, time_texts_as_times_and_as_samples)
{
    open_waves(plain_document(100));
    struct CASE
    {
        bool show_time;
        double value;
        const char* unit;
        int n;
        bool signed_form;
        bool samples_only;
        const char* text;
    };
    const CASE cases[] = {
        {true, 100.0, "ns", 3, false, false, "300ns"},   {true, 100.0, "ns", 12, false, false, "1.2us"},
        {true, 100.0, "ns", 10, false, false, "1us"},    {true, 100.0, "ns", -25, true, false, "-2.5us"},
        {true, 100.0, "ns", 0, true, false, "+0ns"},     {true, 100.0, "ns", 0, false, false, "0"},
        {true, 100.0, "ns", 7, true, false, "+700ns"},   {true, 50.0, "MHz", 100, false, false, "2us"},
        {true, 50.0, "MHz", 0, true, false, "+0us"},     {true, 50.0, "MHz", 1, false, false, "20ns"},
        {true, 0.001, "ps", 3, false, false, "0.00ps"},  {true, 2.5, "s", 1000, false, false, "2500s"},
        {true, 1.0, "us", 1234, false, false, "1.23ms"}, {true, 100.0, "ns", 12, true, true, "+12"},
        {false, 100.0, "ns", 0, false, false, "0"},      {false, 100.0, "ns", 0, true, false, "+0"},
        {false, 100.0, "ns", 5, true, false, "+5"},      {false, 100.0, "ns", -5, true, false, "-5"},
        {false, 100.0, "ns", 131072, false, false, "131072"},
    };
    for (const CASE& c : cases)
    {
        view()->set_time_units(c.show_time, c.value, QString::fromLatin1(c.unit));
        EXPECT_EQ(time_text(c.n, c.signed_form, c.samples_only), QString::fromLatin1(c.text))
            << c.n << " at " << c.value << c.unit << (c.show_time ? " as time" : " as samples");
    }
}

TEST_F(time_axis_test, a_hundred_bars_at_most_one_per_sample_and_removal_checks_its_index)
{
    open_waves(plain_document(1000));
    EXPECT_TRUE(view()->insert_timebar(10));
    EXPECT_FALSE(view()->insert_timebar(10)) << "a second bar on one sample";
    for (int s = 11; s < 110; ++s)
        ASSERT_TRUE(view()->insert_timebar(s));
    EXPECT_EQ(view()->get_timebar_count(), 100);
    EXPECT_FALSE(view()->insert_timebar(500)) << "the 101st";
    EXPECT_FALSE(view()->remove_timebar(-1)) << "no current bar";
    EXPECT_FALSE(view()->remove_timebar(100));
    EXPECT_EQ(view()->get_timebar_count(), 100);
    EXPECT_TRUE(view()->remove_timebar(99));
    EXPECT_EQ(view()->get_timebar(98), 108);
}

TEST_F(time_axis_test, deleting_the_master_promotes_the_next_bar_and_relabels_it)
{
    WAVE_DOCUMENT d = plain_document(1000);
    d.trigger_position = 100;
    d.trigger = std::string(1000, '0');
    d.trigger[100] = '1';
    open_waves(d);
    view()->insert_timebar(150);
    view()->insert_timebar(400);
    view()->insert_timebar(90);
    EXPECT_EQ(label(0), "50") << "the master from the trigger";
    EXPECT_EQ(label(1), "+250") << "the others from the master";
    EXPECT_EQ(label(2), "-60");
    view()->set_time_units(true, 10.0, "ns");
    EXPECT_EQ(label(1), "+2.5us");
    view()->set_time_units(false, 10.0, "ns");
    view()->set_context_sample(150);
    view()->on_delete_time_bar();
    EXPECT_EQ(view()->get_timebar(0), 400);
    EXPECT_EQ(label(0), "300");
    EXPECT_EQ(label(1), "-310");
    std::vector<int> stored(100, -7);
    EXPECT_EQ(tx()->get_tx_instance()->get_position_data("timebars", stored.data(), 100), 2);
    EXPECT_EQ(stored[0], 400);
    EXPECT_EQ(stored[1], 90);
}

TEST_F(time_axis_test, a_bar_is_found_within_five_pixels_nearest_first)
{
    open_waves(plain_document(1000));
    view()->on_fit_in_window();
    for (int i = 0; i < 3; ++i)
        view()->zoom_in(nullptr, nullptr); // 125 samples, several pixels each
    ASSERT_GT(view()->get_transition_width(), 6.0);
    view()->insert_timebar(40);
    view()->insert_timebar(42);
    const int y = 5;
    // Every pixel within five of a bar's line grabs it, none further away.
    for (int dx = -12; dx <= 12; ++dx)
    {
        const int x = view()->find_point(40) + dx;
        const int expected = std::abs(dx) <= 5 ? 0 : x >= view()->find_point(42) - 5 ? 1 : -1;
        EXPECT_EQ(view()->find_timebar(QPoint(x, y)), expected) << dx << " pixels from the bar";
    }
    EXPECT_EQ(view()->find_timebar(QPoint(view()->find_point(40), y)), 0);
    EXPECT_EQ(view()->find_timebar(QPoint(view()->find_point(42) + 2, y)), 1);
    EXPECT_EQ(view()->find_timebar(QPoint(view()->find_point(40) - 4, y)), 0) << "four pixels before it";
    EXPECT_EQ(view()->find_timebar(QPoint(view()->find_point(44) + 4, y)), -1) << "a sample and more away";
    EXPECT_EQ(view()->find_timebar(QPoint(view()->find_point(60), y)), -1);
    view()->insert_timebar(QPoint(view()->find_point(60) + 1, y));
    EXPECT_EQ(view()->get_timebar(2), 60);
}

TEST_F(time_axis_test, master_commands_and_their_enabling)
{
    open_waves(plain_document(1000));
    EXPECT_TRUE(view()->on_update_insert_time_bar());
    EXPECT_FALSE(view()->on_update_delete_all_time_bars());
    EXPECT_FALSE(view()->on_update_insert_master_time_bar()) << "no context sample";
    view()->set_context_sample(300);
    EXPECT_TRUE(view()->on_update_insert_master_time_bar());
    EXPECT_FALSE(view()->on_update_delete_time_bar());
    EXPECT_FALSE(view()->on_update_move_master_time_bar()) << "no bar to move";
    EXPECT_FALSE(view()->on_update_set_as_master_time_bar());
    view()->on_insert_master_time_bar();
    EXPECT_EQ(view()->get_timebar(0), 300);
    EXPECT_TRUE(view()->on_update_delete_time_bar());
    EXPECT_TRUE(view()->on_update_delete_all_time_bars());
    EXPECT_FALSE(view()->on_update_insert_master_time_bar()) << "a bar is there";
    EXPECT_FALSE(view()->on_update_set_as_master_time_bar()) << "it is the master";
    EXPECT_FALSE(view()->on_update_move_master_time_bar()) << "the master is there";
    view()->insert_timebar(500);
    view()->set_context_sample(500);
    EXPECT_TRUE(view()->on_update_set_as_master_time_bar());
    view()->on_insert_master_time_bar();
    EXPECT_EQ(view()->get_timebar(0), 500) << "set as master: swapped";
    EXPECT_EQ(view()->get_timebar(1), 300);
    view()->set_context_sample(700);
    EXPECT_TRUE(view()->on_update_move_master_time_bar());
    view()->on_move_master_time_bar();
    EXPECT_EQ(view()->get_timebar_count(), 2);
    EXPECT_EQ(view()->get_timebar(0), 700);
    view()->set_context_sample(300);
    view()->on_move_master_time_bar();
    EXPECT_EQ(view()->get_timebar_count(), 1) << "moved onto a bar: that bar goes";
    EXPECT_EQ(view()->get_timebar(0), 300);
    view()->on_delete_all_time_bars();
    EXPECT_EQ(view()->get_timebar_count(), 0);
    EXPECT_EQ(tx()->get_tx_instance()->get_position_data("timebars", nullptr, 0), 0);
    EXPECT_FALSE(view()->get_next_transition_button()->isVisible());
}

TEST_F(time_axis_test, dragging_bars_moves_them_and_a_drop_outside_deletes)
{
    open_waves(plain_document(1000));
    view()->on_fit_in_window();
    for (int i = 0; i < 3; ++i)
        view()->zoom_in(nullptr, nullptr);
    view()->insert_timebar(20);
    view()->insert_timebar(30);
    const int y = 5;
    view()->set_current_timebar(QPoint(view()->find_point(30), y));
    EXPECT_TRUE(view()->drag_current_timebar(QPoint(view()->find_point(50), y), true));
    EXPECT_EQ(view()->get_timebar(1), 50);
    EXPECT_EQ(view()->get_timebar(0), 20) << "only the grabbed bar moves";
    view()->drop_current_timebar(QPoint(view()->find_point(20), y));
    EXPECT_EQ(view()->get_timebar_count(), 1) << "dropped on the master: the dragged bar goes";
    view()->insert_timebar(60);
    view()->set_current_timebar(QPoint(view()->find_point(20), y));
    view()->drop_current_timebar(QPoint(view()->find_point(60), y));
    EXPECT_EQ(view()->get_timebar_count(), 2) << "the master stays beside the other bar";
    EXPECT_EQ(view()->get_timebar(0), 60);
    QRect column;
    view()->get_column_rect(23, &column);
    view()->set_current_timebar(QPoint(view()->find_point(60), y));
    view()->drop_current_timebar(QPoint(column.left() - 30, y));
    EXPECT_EQ(view()->get_timebar_count(), 1) << "dropped outside the waveform column";
    EXPECT_EQ(view()->get_timebar(0), 60);
    EXPECT_FALSE(view()->drag_current_timebar(QPoint(view()->find_point(10), y), false)) << "no current bar";
}

TEST_F(time_axis_test, next_and_previous_transition_step_the_master_over_changes_and_gaps)
{
    WAVE_DOCUMENT d;
    d.depth = 200;
    d.rows = {{"top|a"}, {"top|b"}, {"top|bus", 2}, {"top|bus[0]"}, {"top|bus[1]"}};
    d.channels = {toggling(200, {20, 150}), toggling(200, {60}), toggling(200, {90}), toggling(200, {120})};
    d.valid.assign(200, '1');
    d.valid[170] = '0';
    open_waves(d);
    view()->insert_timebar(0);
    const int expected_forward[] = {20, 60, 90, 120, 150, 170, 200};
    for (int at : expected_forward)
    {
        view()->on_next_transition();
        EXPECT_EQ(view()->get_timebar(0), at);
    }
    EXPECT_FALSE(view()->get_next_transition_button()->isEnabled()) << "at the end of the data";
    EXPECT_TRUE(view()->get_previous_transition_button()->isEnabled());
    view()->on_next_transition();
    EXPECT_EQ(view()->get_timebar(0), 200) << "the end of the data stays";
    const int expected_back[] = {170, 150, 120, 90, 60, 20, 0};
    for (int at : expected_back)
    {
        view()->on_previous_transition();
        EXPECT_EQ(view()->get_timebar(0), at);
    }
    EXPECT_FALSE(view()->get_previous_transition_button()->isEnabled());
    EXPECT_TRUE(view()->get_next_transition_button()->isEnabled());
    // Only the selected nodes are searched; a selected bus stands for its members.
    select_only(node_row("b"));
    view()->on_next_transition();
    EXPECT_EQ(view()->get_timebar(0), 60);
    view()->on_next_transition();
    EXPECT_EQ(view()->get_timebar(0), 170) << "the end of the valid data stops every search";
    select_only(node_row("bus"));
    view()->on_previous_transition();
    EXPECT_EQ(view()->get_timebar(0), 120);
    view()->on_previous_transition();
    EXPECT_EQ(view()->get_timebar(0), 90);
    EXPECT_EQ(view()->get_selected_item(), node_row("bus")) << "the selection is left as it was";
    EXPECT_TRUE(internal_errors().empty());
}

TEST_F(time_axis_test, next_transition_on_the_last_change_goes_to_the_depth)
{
    WAVE_DOCUMENT d;
    d.depth = 64;
    d.rows = {{"top|a"}};
    d.channels = {toggling(64, {63})};
    open_waves(d);
    view()->insert_timebar(0);
    view()->on_next_transition();
    EXPECT_EQ(view()->get_timebar(0), 63);
    EXPECT_TRUE(view()->get_next_transition_button()->isEnabled());
    view()->on_next_transition();
    EXPECT_EQ(view()->get_timebar(0), 64);
    EXPECT_FALSE(view()->get_next_transition_button()->isEnabled());
}

TEST_F(time_axis_test, positions_round_trip_through_save_and_open)
{
    const QString path = write_document([](SDR_DATA_SESSION& s) { waveform_test::build(s, plain_document(1000)); });
    open(path);
    show_data_tab(true);
    view()->on_fit_in_window();
    for (int i = 0; i < 4; ++i)
        view()->zoom_in(nullptr, nullptr);
    view()->center_in_window(700, true);
    view()->insert_timebar(700);
    view()->insert_timebar(1000);
    view()->save_timebars();
    const int first = view()->get_first_transition();
    ASSERT_GT(first, 0);
    ASSERT_TRUE(tx()->save_document(path.toLocal8Bit().constData()));
    m_frames.clear();
    open(path);
    show_data_tab(true);
    refresh(SEDQ_UPDATE_RELOAD_POSITIONS | SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_NODE_VIEW);
    expect_zoom({16, 1, 16259, 2, 63}, "reopened");
    EXPECT_EQ(view()->get_first_transition(), first);
    ASSERT_EQ(view()->get_timebar_count(), 2);
    EXPECT_EQ(view()->get_timebar(1), 1000) << "the end of the data is a position";
}

TEST_F(time_axis_test, damaged_stored_positions_give_the_base_values)
{
    struct CASE
    {
        std::map<std::string, std::vector<int>> stored;
        int level_numerator, level_denominator, offset_numerator, offset_denominator;
    };
    const CASE cases[] = {
        {{{"zoom level numerator", {4}}, {"zoom level denominator", {0}}}, 1, 1, 0, 1},
        {{{"zoom level numerator", {4}}}, 1, 1, 0, 1},
        {{{"zoom level numerator", {-4}}, {"zoom level denominator", {1}}}, 1, 1, 0, 1},
        {{{"zoom level numerator", {4}}, {"zoom level denominator", {1}}, {"zoom offset numerator", {-3}},
          {"zoom offset denominator", {1}}},
         4, 1, 0, 1},
        {{{"zoom level numerator", {4}}, {"zoom level denominator", {1}}, {"zoom offset numerator", {8}},
          {"zoom offset denominator", {2}}},
         4, 1, 8, 2},
        {{{"zoom offset numerator", {8}}}, 1, 1, 0, 1},
    };
    for (const CASE& c : cases)
    {
        m_frames.clear();
        const std::map<std::string, std::vector<int>> stored = c.stored;
        open(write_document(
            [&stored](SDR_DATA_SESSION& s)
            {
                waveform_test::build(s, plain_document(131072));
                for (const auto& entry : stored)
                    s.m_instances[0]->m_position_data[0][entry.first] = entry.second;
            }));
        show_data_tab(true);
        refresh(SEDQ_UPDATE_RELOAD_POSITIONS | SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_NODE_VIEW);
        const std::string where = "case " + std::to_string(&c - cases);
        EXPECT_EQ(view()->get_zoom_level().get_numerator(), c.level_numerator) << where;
        EXPECT_EQ(view()->get_zoom_level().get_denominator(), c.level_denominator) << where;
        EXPECT_EQ(view()->get_zoom_offset().get_numerator(), c.offset_numerator) << where;
        EXPECT_EQ(view()->get_zoom_offset().get_denominator(), c.offset_denominator) << where;
    }
}
// Positions count from the trigger of their segment; the last segment may be cut short by the
// end of the data, and its scan stops there.
TEST_F(time_axis_test, positions_relative_to_the_trigger_of_their_segment)
{
    WAVE_DOCUMENT d = plain_document(100);
    d.segment_size = 64;
    d.trigger = std::string(100, '0');
    d.trigger[10] = '1';
    d.trigger[80] = '1';
    open_waves(d);
    struct CASE
    {
        int sample, position, segment;
    };
    for (const CASE& c : {CASE{10, 0, 0}, CASE{3, -7, 0}, CASE{63, 53, 0}, CASE{64, -16, 1}, CASE{99, 19, 1},
                          CASE{100, 36, 1}})
    {
        int segment = -1;
        EXPECT_EQ(view()->get_offset_sample_number(c.sample, &segment), c.position) << c.sample;
        EXPECT_EQ(segment, c.segment) << c.sample;
    }
}

TEST_F(time_axis_test, storage_qualifier_segments_count_the_breaks)
{
    WAVE_DOCUMENT d = plain_document(100);
    d.breaks = std::string(100, '0');
    d.breaks[20] = '1';
    d.breaks[50] = '1';
    open_waves(d);
    const int expected[][2] = {{-1, 0}, {0, 0}, {19, 0}, {20, 1}, {49, 1}, {50, 2}, {99, 2}, {100, 2}};
    for (const auto& e : expected)
        EXPECT_EQ(view()->get_storage_qualifier_segment_number(e[0]), e[1]) << e[0];
}
// In a window narrower than its columns the horizontal bar scrolls the columns by pixels: the
// waveform column then starts at sample 0 and no sample is centred by moving that bar.
TEST_F(time_axis_test, columns_scrolled_by_pixels_start_the_waveforms_at_sample_0)
{
    open_waves(plain_document(1000));
    view()->set_column_width(SEDQ_COLUMN_NAME,
                             QPoint(view()->get_column_width(SEDQ_COLUMN_TYPE) +
                                        view()->get_column_width(SEDQ_COLUMN_ALIAS) + 1500,
                                    5),
                             false);
    settle();
    int total = 0;
    for (int column = 0; column < 24; ++column)
        total += view()->get_column_width(column);
    ASSERT_GE(total, view()->width()) << "the columns overflow the view";
    QScrollBar* bar = view()->get_horizontal_scroll_bar();
    ASSERT_FALSE(bar->isHidden());
    bar->setValue(std::min(bar->maximum(), 40));
    EXPECT_EQ(view()->get_first_transition(), 0);
    EXPECT_FALSE(view()->center_in_window(800, true));
    const int pixels = bar->value();
    view()->zoom_in(nullptr, nullptr);
    EXPECT_EQ(view()->get_first_transition(), 0);
    EXPECT_LE(bar->value(), std::max(pixels, bar->maximum())) << "the pixel position is not set from samples";
    EXPECT_TRUE(internal_errors().empty());
}
} // namespace


// The value column's heading shows the master's position and, beside it, its title: a wide time
// label leaves the title the room up to the column's edge, never the label's own pixels.
TEST_F(time_axis_test, the_value_columns_title_never_covers_the_masters_label)
{
    WAVE_DOCUMENT d = plain_document(1000);
    d.trigger_position = 100;
    open_waves(d);
    view()->insert_timebar(147);
    const struct
    {
        const char* name;
        bool time;
        const char* label;
    } rows[] = {{"sample numbers", false, "47"}, {"time units", true, "470ns"}};
    // The title is written in dark grey, the label in blue; anti-aliased edges keep their hue.
    const auto is_title_ink = [](const QColor& colour)
    { return qGray(colour.rgb()) < 128 && std::abs(colour.red() - colour.blue()) < 24; };
    for (const auto& row : rows)
    {
        view()->set_time_units(row.time, 10.0, "ns");
        ASSERT_EQ(label(0), row.label) << row.name;
        const QImage image = render();
        QRect header;
        const int header_row = view()->get_row_height(SEDQ_ROW_LEVEL_HEADERS) > 0 ? SEDQ_ROW_LEVEL_HEADERS
                                                                                  : SEDQ_ROW_COLUMN_TITLES;
        ASSERT_TRUE(view()->get_item_rect(header_row, SEDQ_COLUMN_VALUE, &header));
        const int label_end =
            header.left() + 2 + QFontMetrics(AFCQ_FONT(AFCQ_FONT_SAMPLE_NUMBER).get_font()).boundingRect(row.label).width() + 2;
        int under_label = 0;
        int beside = 0;
        const QRect inside = header.adjusted(2, 2, -2, -2); // within the cell's frame
        for (int y = inside.top(); y <= inside.bottom(); ++y)
            for (int x = inside.left(); x <= inside.right(); ++x)
                (x <= label_end ? under_label : beside) += is_title_ink(image.pixelColor(x, y));
        EXPECT_EQ(under_label, 0) << row.name << ": the title keeps off the label";
        EXPECT_GT(beside, 0) << row.name << ": the title stands beside it";
    }
}
