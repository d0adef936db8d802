// The node table's rows and columns: which columns have width in each mode and storage
// qualifier, row heights, the column widths kept in the document, rectangles and hit tests.
#include "sedq_view_test_support.h"

#include <QScrollBar>
#include <QStandardItem>

#include "sedq/frame/sedq_hierarchy_widget.h"

namespace
{
// Columns with width, as a string of ids.
std::string shown_columns(SEDQ_VIEW* view)
{
    std::string ids;
    for (int column = 0; column < view->get_column_count(); ++column)
        if (view->get_column_width(column) > 0)
            ids += (ids.empty() ? "" : " ") + std::to_string(column);
    return ids;
}

void two_levels_and_sq(SDR_DATA_SESSION& session, SDR_DATA_STORAGE_QUALIFIER_TYPE type)
{
    SDR_DATA_TRIGGER* trigger = session.m_instances[0]->get_active_trigger();
    standin::sdr::set_levels(trigger, 2);
    trigger->edit_transient().sq_type = type;
    add_leaves(trigger, {"top|a", "top|b"});
}
} // namespace

TEST_F(view_test, columns_with_width_follow_the_mode_and_the_storage_qualifier)
{
    const struct
    {
        const char* name;
        SDR_DATA_STORAGE_QUALIFIER_TYPE type;
        const char* setup;
    } cases[] = {
        {"continuous", SDR_SQTYPE_CONTINUOUS, "0 1 2 5 6 12 13"},
        {"transitional", SDR_SQTYPE_TRANSITIONAL, "0 1 2 5 6 7 8 12 13"},
        {"conditional", SDR_SQTYPE_CONDITIONAL, "0 1 2 5 6 7 9 12 13"},
        {"start/stop", SDR_SQTYPE_START_STOP, "0 1 2 5 6 7 10 11 12 13"},
        {"input port", SDR_SQTYPE_INPUT_PORT, "0 1 2 5 6 12 13"},
    };
    for (const auto& row : cases)
    {
        open(write_document([&](SDR_DATA_SESSION& s) { two_levels_and_sq(s, row.type); }, 1,
                            QString::fromLatin1(row.name).remove('/') + ".vtl"));
        EXPECT_EQ(shown_columns(view()), row.setup) << row.name;
        show_data_tab(true);
        EXPECT_EQ(shown_columns(view()), "0 1 2 23") << row.name << ": data mode without time bars";
        m_frames.clear();
    }
}

TEST_F(view_test, default_widths_are_those_of_the_column_table)
{
    open(write_document([](SDR_DATA_SESSION& s) { two_levels_and_sq(s, SDR_SQTYPE_START_STOP); }));
    const int expected[][2] = {{0, 34}, {1, 34},  {2, 220}, {5, 78},   {6, 95},
                               {7, 96}, {10, 88}, {11, 88}, {12, 110}, {13, 101}};
    for (const auto& pair : expected)
        EXPECT_EQ(view()->get_column_width(pair[0]), pair[1]) << "column " << pair[0];
    EXPECT_EQ(view()->get_column_width(SEDQ_COLUMN_INCREMENTAL_ROUTE), 0);
    EXPECT_EQ(view()->get_column_width(SEDQ_COLUMN_DEBUG_PORT_OUT), 0);
    EXPECT_EQ(view()->get_column_count(), 24);
}

TEST_F(view_test, header_rows_grow_with_the_flow_and_the_time_bars)
{
    open(write_document(
        [](SDR_DATA_SESSION& s)
        {
            SDR_DATA_TRIGGER* trigger = trigger_of(s);
            add_leaves(trigger, {"top|a"});
            trigger->edit_transient().sq_type = SDR_SQTYPE_CONDITIONAL;
            trigger->edit_transient().record_discontinuities = true;
            standin::sdr::log_spec log;
            log.depth = 16;
            log.channels = {"0101"};
            standin::sdr::make_log(trigger, log);
            s.m_instances[0]->m_position_data[0]["timebars"] = {3};
        }));
    EXPECT_EQ(view()->get_row_height(0), 23);
    EXPECT_EQ(view()->get_row_height(1), 20) << "sequential flow: one title line";
    EXPECT_EQ(view()->get_row_height(2), 20);
    show_data_tab(true);
    EXPECT_EQ(view()->get_row_height(1), 20) << "conditional storage with discontinuities has a segment row";
    EXPECT_EQ(view()->get_timebar_count(), 1) << "the stored bar is reloaded with the tab";
    EXPECT_EQ(view()->get_row_height(0), 38) << "time-bar labels need the taller title row";
    EXPECT_GT(view()->get_column_width(SEDQ_COLUMN_VALUE), 0) << "the value column comes with a time bar";
}

TEST_F(view_test, hidden_collapsed_and_chart_rows)
{
    open(write_document(
        [](SDR_DATA_SESSION& s)
        {
            SDR_DATA_TRIGGER* trigger = trigger_of(s);
            add_leaves(trigger, {"top|b0", "top|b1", "top|c0", "top|c1", "top|x"});
            standin::sdr::add_group(trigger, 0, 1, "bus", SDR_GTYPE_HEX);       // rows 0..2
            standin::sdr::add_group(trigger, 3, 4, "chart", SDR_GTYPE_CHART_8); // rows 3..5
            trigger->edit_transient().trigger_list[0].expanded = false;
            standin::sdr::recompute_tree(trigger->edit_transient().trigger_list);
        }));
    const int heights[] = {20, 0, 0, 20, 20, 20, 20};
    for (int node = 0; node < 7; ++node)
        EXPECT_EQ(view()->get_row_height(node + 3), heights[node]) << "setup node " << node;
    SEDQ_TX_MANAGER::m_cfg_inter_line_spacing = 4;
    refresh();
    EXPECT_EQ(view()->get_row_height(3), 24) << "the user's line spacing adds to every row";
    show_data_tab(true);
    EXPECT_EQ(view()->get_row_height(3 + 3), 72) << "a chart is three rows high in data mode";
}

TEST_F(view_test, rows_of_levels_hidden_by_the_hierarchy_pane_or_missing_it_have_no_height)
{
    open(write_document([](SDR_DATA_SESSION& s) { add_leaves(trigger_of(s), {"top|a", "top|b"}); }));
    EXPECT_EQ(view()->get_row_height(3), 20);
    EXPECT_EQ(view()->calculate_needed_vertical_pixels(), 23 + 20 + 20 + 2 * 20 + 1 + 18);
}

TEST_F(view_test, set_column_width_keeps_ten_pixels_and_round_trips_through_the_document)
{
    const QString path = write_document([](SDR_DATA_SESSION& s) { add_leaves(trigger_of(s), {"top|a"}); });
    open(path);
    EXPECT_EQ(view()->set_column_width(SEDQ_COLUMN_NAME, QPoint(34 + 34 + 150, 5), false), 150);
    EXPECT_EQ(view()->set_column_width(SEDQ_COLUMN_ALIAS, QPoint(3, 5), false), 10)
        << "a point left of the edge gives 10";
    EXPECT_EQ(view()->set_column_width(SEDQ_COLUMN_NAME, QPoint(900, 5), true), 0) << "relayout only";
    int stored[32] = {};
    EXPECT_EQ(tx()->get_tx_session()->get_global_data("column width", stored, 32), 23);
    EXPECT_EQ(stored[1], 10);
    EXPECT_EQ(stored[2], 150);
    ASSERT_TRUE(tx()->save_document(path.toLocal8Bit().constData()));
    m_frames.clear();
    open(path);
    EXPECT_EQ(view()->get_column_width(SEDQ_COLUMN_ALIAS), 10);
    EXPECT_EQ(view()->get_column_width(SEDQ_COLUMN_NAME), 150);
}

TEST_F(view_test, damaged_stored_widths_keep_the_defaults)
{
    open(write_document(
        [](SDR_DATA_SESSION& s)
        {
            add_leaves(trigger_of(s), {"top|a"});
            s.m_global_data["column width"] = {40, -5, 1000000};
        }));
    EXPECT_EQ(view()->get_column_width(SEDQ_COLUMN_TYPE), 40);
    EXPECT_EQ(view()->get_column_width(SEDQ_COLUMN_ALIAS), 34);
    EXPECT_EQ(view()->get_column_width(SEDQ_COLUMN_NAME), 220);
}

// A view narrower than its fixed columns leaves the waveform column no room, never less.
TEST_F(view_test, the_waveform_column_is_never_negative)
{
    open(write_document([](SDR_DATA_SESSION& s) { add_leaves(trigger_of(s), {"top|a"}); }), QSize(700, 500));
    show_data_tab(true);
    EXPECT_GT(view()->get_column_width(SEDQ_COLUMN_WAVEFORM), 0);
    SEDQ_VIEW narrow(nullptr, tx());
    narrow.resize(150, 300);
    EXPECT_EQ(narrow.get_column_width(SEDQ_COLUMN_WAVEFORM), 0);
}

TEST_F(view_test, item_rectangles_share_borders_and_skip_scrolled_rows)
{
    open(write_document([](SDR_DATA_SESSION& s) { add_leaves(trigger_of(s), {"top|a", "top|b", "top|c"}); }));
    QRect name;
    ASSERT_TRUE(view()->get_name_item_rect(1, &name));
    EXPECT_EQ(name, QRect(QPoint(68, 23 + 20 + 20 + 20), QPoint(68 + 220 + 1, 23 + 20 + 20 + 20 + 21)));
    QRect alias;
    ASSERT_TRUE(view()->get_item_rect(4, 1, &alias));
    EXPECT_EQ(alias.right(), name.left() + 1) << "neighbouring cells share their border";
    EXPECT_FALSE(view()->get_item_rect(4, 3, &alias)) << "a column without width has no cell";
    QRect column;
    view()->get_column_rect(2, &column);
    EXPECT_EQ(column.top(), 23 + 20 + 2 + 20 + 1);
    EXPECT_EQ(column.bottom(), view()->height() - 1);
}

TEST_F(view_test, find_item_and_hit_test)
{
    open(write_document(
        [](SDR_DATA_SESSION& s)
        {
            SDR_DATA_TRIGGER* trigger = trigger_of(s);
            add_leaves(trigger, {"top|m0", "top|m1", "top|x"});
            standin::sdr::add_group(trigger, 0, 1, "bus");
        }));
    int row = 0;
    int column = 0;
    QRect cell;
    ASSERT_TRUE(view()->find_item(QPoint(100, 23 + 20 + 20 + 5), &row, &column, &cell));
    EXPECT_EQ(row, 3);
    EXPECT_EQ(column, 2);
    EXPECT_EQ(view()->find_item(QPoint(100, 23 + 20 + 20 + 25), true), 1);
    EXPECT_EQ(view()->find_item(QPoint(10, 5), true), -3) << "the title row";
    EXPECT_EQ(view()->find_item(QPoint(100, 700), true), -1);
    EXPECT_EQ(view()->find_item(QPoint(100, 700), false), 4) << "past the rows: the node count";
    // The group's expand box and a member's enable box.
    const QRect name = cell;
    const int cy = (name.top() + name.bottom()) / 2;
    EXPECT_TRUE(view()->hit_test(3, 2, QPoint(name.left() + 5, cy), name));
    EXPECT_FALSE(view()->hit_test(3, 2, QPoint(name.left() + 16, cy), name));
    QRect box;
    ASSERT_TRUE(view()->get_item_rect(4, 5, &box));
    const QPoint centre((box.left() + box.right()) / 2, (box.top() + box.bottom()) / 2);
    EXPECT_TRUE(view()->hit_test(4, 5, centre + QPoint(5, 5), box));
    EXPECT_FALSE(view()->hit_test(4, 5, centre + QPoint(6, 0), box));
    EXPECT_TRUE(view()->hit_test(4, 5, centre - QPoint(6, 6), box));
    EXPECT_FALSE(view()->hit_test(4, 0, centre, box)) << "the type column has no click zone";
}

TEST_F(view_test, an_empty_list_has_three_rows)
{
    open(write_document(nullptr));
    EXPECT_EQ(view()->find_item(QPoint(100, 300), false), 0);
    EXPECT_EQ(view()->get_selected_item(), -1);
    EXPECT_EQ(view()->get_row_height(3), 0);
}

TEST_F(view_test, the_level_pattern_box_is_hit_where_it_is_drawn)
{
    open(write_document(
        [](SDR_DATA_SESSION& s)
        {
            standin::sdr::set_levels(trigger_of(s), 2);
            add_leaves(trigger_of(s), {"top|a"});
        }));
    QRect cell;
    ASSERT_TRUE(view()->get_item_rect(2, 13, &cell));
    QRect box = cell.adjusted(2, 2, -2, -2);
    view()->draw_pattern_header(1, &box, nullptr, true, true, false);
    EXPECT_GT(box.width(), 10);
    EXPECT_TRUE(view()->hit_test(2, 13, box.center(), cell));
    EXPECT_FALSE(view()->hit_test(2, 13, QPoint(cell.left() + 2, box.center().y()), cell)) << "on the number";
}

// Stored bars past the hundred the view holds, and bars outside the data, are dropped.
TEST_F(view_test, stored_time_bars_are_bounded_by_the_data)
{
    open(write_document(
        [](SDR_DATA_SESSION& s)
        {
            SDR_DATA_TRIGGER* trigger = trigger_of(s);
            add_leaves(trigger, {"top|a"});
            standin::sdr::log_spec log;
            log.depth = 16;
            log.channels = {"0101"};
            standin::sdr::make_log(trigger, log);
            std::vector<int> bars(120, 3);
            bars[0] = 16; // the end of the data is a place a bar may stand
            bars[1] = 17; // past it
            bars[2] = -1; // before the data
            s.m_instances[0]->m_position_data[0]["timebars"] = bars;
            s.m_instances[0]->m_position_data[0]["zoom level denominator"] = {0};
        }));
    show_data_tab(true);
    EXPECT_EQ(view()->get_timebar_count(), 98) << "a hundred read, two outside the data dropped";
    EXPECT_EQ(view()->get_timebar(0), 16);
    EXPECT_EQ(view()->get_timebar(1), 3);
    EXPECT_GT(view()->get_column_width(SEDQ_COLUMN_WAVEFORM), 0)
        << "a zero zoom denominator reads as the base zoom";
}

TEST_F(view_test, closing_a_window_whose_view_has_the_focus)
{
    open(write_document([](SDR_DATA_SESSION& s) { add_leaves(trigger_of(s), {"top|a"}); }));
    focus_view();
    ASSERT_TRUE(view()->is_connected());
    m_frames.clear();
    settle();
    EXPECT_TRUE(internal_errors().empty());
}

// Rows of a level unchecked in the hierarchy pane have no height; the rows around them keep
// theirs, also where runs of one level alternate.
TEST_F(view_test, unchecked_hierarchy_levels_hide_their_rows)
{
    open(write_document(
        [](SDR_DATA_SESSION& s) {
            add_leaves(trigger_of(s), {"top|a|x0", "top|a|x1", "top|b|y0", "top|a|x2", "top|z"});
        }));
    SEDQ_HIERARCHY_WIDGET* pane = frame()->get_layout_widget()->get_hierarchy_widget();
    ASSERT_NE(pane, nullptr);
    const QList<QStandardItem*> found =
        pane->get_tree_model()->findItems("a", Qt::MatchExactly | Qt::MatchRecursive);
    ASSERT_EQ(found.size(), 1);
    QStandardItem* level_a = found[0];
    level_a->setCheckState(Qt::Unchecked);
    settle();
    const int heights[] = {0, 0, 20, 0, 20};
    for (int node = 0; node < 5; ++node)
        EXPECT_EQ(view()->get_row_height(node + 3), heights[node]) << "node " << node;
}
