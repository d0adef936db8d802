// Mouse, keys, drag and drop and tooltips of the node view: the cursor over each area, where a
// drop lands and which positions are refused, drops of typed names, design names and the view's
// own nodes, drags entering from elsewhere, enable boxes, the wheel, Delete, the double click,
// scrolling while dragging, and the tooltips.
#include "sedq_view_test_support.h"

#include "host/standin/afcq_control.h"
#include "host/standin/msg_control.h"
#include "sedq/model/sedq_node.h"
#include "sedq/view/sedq_edit.h"

#include <QComboBox>
#include <QMimeData>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace
{
// Rows: 0 bus "data" over 1..4, then "a", "b", "c".
void bus_and_leaves(SDR_DATA_SESSION& s)
{
    SDR_DATA_TRIGGER* trigger = s.m_instances[0]->get_active_trigger();
    add_leaves(trigger, {"top|d3", "top|d2", "top|d1", "top|d0", "top|a", "top|b", "top|c"});
    standin::sdr::add_group(trigger, 0, 3, "data", SDR_GTYPE_HEX);
}

// Leaves "top|n0" .. "top|n<count - 1>".
void add_numbered_leaves(SDR_DATA_SESSION& s, int count)
{
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i)
        names.push_back("top|n" + std::to_string(i));
    add_leaves(s.m_instances[0]->get_active_trigger(), names);
}

void with_samples(SDR_DATA_SESSION& s)
{
    bus_and_leaves(s);
    standin::sdr::log_spec log;
    log.depth = 8;
    log.channels = {"01010101", "00110011", "00001111", "11110000", "10101010", "0", "1"};
    standin::sdr::make_log(s.m_instances[0]->get_active_trigger(), log);
}

std::vector<int> hints_of(const QSignalSpy& spy)
{
    std::vector<int> hints;
    for (const QList<QVariant>& call : spy)
        hints.push_back(call.at(1).toInt());
    return hints;
}

bool contains(const std::vector<int>& hints, unsigned hint)
{
    return std::find(hints.begin(), hints.end(), int(hint)) != hints.end();
}
} // namespace

class view_input_test : public view_test
{
protected:
    QRect cell(int row, int column)
    {
        QRect rect;
        EXPECT_TRUE(view()->get_item_rect(row, column, &rect)) << row << ", " << column;
        return rect;
    }

    Qt::CursorShape cursor_at(QPoint point, Qt::KeyboardModifiers keys = Qt::NoModifier)
    {
        QMouseEvent move(QEvent::MouseMove, point, Qt::NoButton, Qt::NoButton, keys);
        QApplication::sendEvent(view(), &move);
        return view()->cursor().shape();
    }

    // The application hands drag moves and drops only to the widget that took the drag's
    // entry, as during a real drag; every drag of a test ends with a leave or a drop.
    bool enter(const QMimeData& data, QPoint point, Qt::DropAction action)
    {
        QDragEnterEvent event(point, action, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view(), &event);
        settle();
        return event.isAccepted();
    }

    void leave()
    {
        QDragLeaveEvent event;
        QApplication::sendEvent(view(), &event);
    }

    // A drag of `data` entered and moved over `point`; true when the position was accepted.
    bool drag_move(const QMimeData& data, QPoint point, Qt::DropAction action = Qt::MoveAction)
    {
        EXPECT_TRUE(enter(data, point, action));
        QDragMoveEvent move(point, action, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view(), &move);
        leave_pending = true;
        return move.isAccepted();
    }

    void drop(const QMimeData& data, QPoint point, Qt::DropAction action = Qt::MoveAction)
    {
        if (!leave_pending)
        {
            EXPECT_TRUE(enter(data, point, action));
        }
        leave_pending = false;
        QDropEvent event(point, action, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view(), &event);
        settle();
    }

    void TearDown() override
    {
        if (leave_pending && !m_frames.empty())
            leave();
        view_test::TearDown();
    }

    bool leave_pending = false;

    std::vector<std::string> names()
    {
        std::vector<std::string> rows;
        for (int row = 0; row < tx()->get_node_count(-1); ++row)
            rows.push_back(SEDQ_NODE(tx(), row, -1).get_name());
        return rows;
    }
};

TEST_F(view_input_test, the_cursor_follows_what_lies_under_the_mouse)
{
    open(write_document(with_samples));
    const QRect alias = cell(3, 1);
    EXPECT_EQ(cursor_at(alias.center()), Qt::IBeamCursor) << "alias of a node row";
    EXPECT_EQ(cursor_at(cell(3, 2).center()), Qt::ArrowCursor) << "name";
    EXPECT_EQ(cursor_at(cell(1, 12).center()), Qt::ArrowCursor) << "a level's name in sequential mode";
    EXPECT_EQ(cursor_at(cell(3, 12).center()), Qt::IBeamCursor) << "a bus's trigger value";
    EXPECT_EQ(cursor_at(cell(4, 12).center()), Qt::ArrowCursor) << "a member's condition";
    const QRect name_header = cell(2, 2);
    EXPECT_EQ(cursor_at(QPoint(name_header.right() - 1, name_header.center().y())), Qt::SplitHCursor);
    EXPECT_EQ(cursor_at(QPoint(name_header.left() + 1, name_header.center().y())), Qt::SplitHCursor)
        << "the left edge resizes the column before";
    EXPECT_EQ(cursor_at(QPoint(cell(3, 2).right() - 1, cell(3, 2).center().y())), Qt::ArrowCursor)
        << "node rows resize nothing";

    show_data_tab(true);
    EXPECT_EQ(cursor_at(cell(0, 23).center()), Qt::PointingHandCursor) << "a time bar goes here";
    EXPECT_EQ(cursor_at(cell(4, 23).center()), Qt::BitmapCursor);
    EXPECT_EQ(view()->cursor().pixmap().cacheKey(), afcq_get_cursor(AFCQ_CURSOR_ZOOM_IN).pixmap().cacheKey())
        << "zoom in";
    cursor_at(cell(4, 23).center(), Qt::ShiftModifier);
    EXPECT_EQ(view()->cursor().pixmap().cacheKey(), afcq_get_cursor(AFCQ_CURSOR_ZOOM_OUT).pixmap().cacheKey())
        << "zoom out";
}

TEST_F(view_input_test, drop_positions)
{
    open(write_document(bus_and_leaves));
    const int count = tx()->get_node_count(-1);
    const QRect a = cell(3 + 4, 2); // row of d0, the bus's last member
    const QRect b = cell(3 + 5, 2); // row of "a"
    bool before = false;
    EXPECT_EQ(view()->find_drop_item(QPoint(b.center().x(), b.top() + 6), &before), 5);
    EXPECT_TRUE(before) << "the top 7 pixels drop before the row";
    EXPECT_EQ(view()->find_drop_item(b.center(), &before), 5);
    EXPECT_FALSE(before) << "the middle drops after it";
    EXPECT_EQ(view()->find_drop_item(QPoint(a.center().x(), a.bottom() - 5), &before), 5);
    EXPECT_TRUE(before) << "the bottom 6 pixels drop before the next row";
    EXPECT_LT(view()->find_drop_item(cell(0, 2).center(), &before), 0) << "header row 0";
    EXPECT_LT(view()->find_drop_item(cell(1, 2).center(), &before), 0) << "header row 1";
    EXPECT_EQ(view()->find_drop_item(cell(2, 2).center(), &before), count) << "header row 2: the end";
    EXPECT_FALSE(before);
    EXPECT_EQ(view()->find_drop_item(QPoint(b.center().x(), view()->height() - 20), &before), count)
        << "below the last row";
}

TEST_F(view_input_test, refused_drop_positions_show_no_marker)
{
    open(write_document([](SDR_DATA_SESSION& s) {
        bus_and_leaves(s);
        SDR_DATA_TRIGGER* trigger = trigger_of(s);
        add_leaves(trigger, {"top|p1", "top|p0"});
        standin::sdr::add_group(trigger, 8, 9, "decoded", SDR_GTYPE_PLUGIN); // rows 8..10
    }));
    QMimeData nodes;
    nodes.setData("SEDQ_NODE_CLIPBOARD_FORMAT", QByteArray());
    select_only(5);
    const QRect own = cell(3 + 5, 2);
    EXPECT_FALSE(drag_move(nodes, own.center())) << "onto a selected row";
    bool before = true;
    EXPECT_EQ(view()->get_drop_item(&before), -1);
    EXPECT_FALSE(drag_move(nodes, cell(1, 2).center())) << "over the header";
    EXPECT_FALSE(drag_move(nodes, cell(3 + 9, 2).center())) << "inside a plug-in's bus";
    EXPECT_TRUE(drag_move(nodes, cell(3 + 6, 2).center()));
    EXPECT_EQ(view()->get_drop_item(&before), 6);
    EXPECT_FALSE(before);
}

TEST_F(view_input_test, moving_nodes_by_a_drop)
{
    open(write_document(bus_and_leaves));
    QMimeData nodes;
    nodes.setData("SEDQ_NODE_CLIPBOARD_FORMAT", QByteArray());
    select_only(6); // "b"
    const QRect first = cell(3 + 5, 2);
    ASSERT_TRUE(drag_move(nodes, QPoint(first.center().x(), first.top() + 2)));
    QSignalSpy spy(tx(), &SEDQ_TX_MANAGER::updated);
    drop(nodes, QPoint(first.center().x(), first.top() + 2));
    EXPECT_EQ(names(), (std::vector<std::string>{"data", "top|d3", "top|d2", "top|d1", "top|d0", "top|b", "top|a",
                                                 "top|c"}));
    EXPECT_TRUE(contains(hints_of(spy), 0x20000007u));
    EXPECT_EQ(view()->get_selection_count(), 0);
    bool before = true;
    EXPECT_EQ(view()->get_drop_item(&before), -1);
}

TEST_F(view_input_test, a_text_drop_inserts_each_name)
{
    open(write_document(bus_and_leaves));
    const int count = tx()->get_node_count(-1);
    QMimeData text;
    text.setText(" a b\tc   d \n");
    QSignalSpy spy(tx(), &SEDQ_TX_MANAGER::updated);
    drop(text, cell(3, 2).center());
    ASSERT_EQ(tx()->get_node_count(-1), count + 4);
    const std::vector<std::string> rows = names();
    EXPECT_EQ(std::vector<std::string>(rows.end() - 4, rows.end()), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_TRUE(contains(hints_of(spy), 0x20000007u));
    EXPECT_TRUE(tx()->get_tx_instance()->is_undo_available()) << "one edit";
    tx()->on_edit_undo();
    EXPECT_EQ(tx()->get_node_count(-1), count);
}

TEST_F(view_input_test, a_text_drop_stops_at_the_node_limit)
{
    open(write_document([](SDR_DATA_SESSION& s) {
        add_numbered_leaves(s, 4094);
    }));
    QMimeData text;
    text.setText("x1 x2 x3 x4 x5");
    const size_t shown_before = standin::msg::shown().size();
    drop(text, cell(3, 2).center());
    EXPECT_EQ(tx()->get_node_count(-1), 4096) << "names before the limit stay";
    int limit_messages = 0;
    for (size_t i = shown_before; i < standin::msg::shown().size(); ++i)
        limit_messages += standin::msg::shown()[i].text == "Specify a maximum of 4096 nodes in a Vantrel instance" ? 1 : 0;
    EXPECT_EQ(limit_messages, 1);
}

TEST_F(view_input_test, a_drop_of_design_names)
{
    open(write_document(bus_and_leaves));
    const int count = tx()->get_node_count(-1);
    std::unique_ptr<QMimeData> data(standin::afcq::instance_name_list_mime(
        {AFCQ_INSTANCE_NAME(0, "top|x", 0x40), AFCQ_INSTANCE_NAME(1, "top|v", 0x40, {1, 0})}));
    drop(*data, cell(3, 2).center(), Qt::CopyAction);
    EXPECT_EQ(tx()->get_node_count(-1), count + 4) << "a node, then a bus of two with its group row";
}

TEST_F(view_input_test, a_drag_from_elsewhere_opens_the_setup_page_only_when_nodes_may_be_added)
{
    open(write_document(bus_and_leaves));
    QMimeData text;
    text.setText("x");
    const QPoint at = cell(3, 2).center();
    show_data_tab(true);
    tx()->set_lock_mode(SEDQ_LOCK_MODE_ALLOW_TRIGGER, true);
    settle();
    EXPECT_FALSE(enter(text, at, Qt::CopyAction)) << "locked";
    EXPECT_EQ(tabs()->currentIndex(), 0);
    tx()->set_lock_mode(SEDQ_LOCK_MODE_ALLOW_ALL, true);
    settle();
    QSignalSpy spy(tx(), &SEDQ_TX_MANAGER::updated);
    EXPECT_TRUE(enter(text, at, Qt::CopyAction));
    leave();
    EXPECT_TRUE(contains(hints_of(spy), 0x20000041u));
    EXPECT_EQ(tabs()->currentIndex(), 1) << "the setup page";
    QMimeData other;
    other.setData("image/png", QByteArray("x"));
    QDragEnterEvent event(cell(3, 2).center(), Qt::CopyAction, &other, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view(), &event);
    EXPECT_FALSE(event.isAccepted()) << "data without names is left alone";
}

TEST_F(view_input_test, enable_boxes_toggle_under_a_press)
{
    open(write_document(bus_and_leaves));
    focus_view();
    const QRect box = cell(3 + 5, 5);
    QSignalSpy spy(tx(), &SEDQ_TX_MANAGER::updated);
    QTest::mouseClick(view(), Qt::LeftButton, Qt::NoModifier, box.center());
    settle();
    EXPECT_FALSE(SEDQ_NODE(tx(), 5, -1).is_data_enabled(nullptr));
    EXPECT_TRUE(contains(hints_of(spy), 0x20000005u));
    EXPECT_EQ(view()->get_selection_count(), 0) << "a box press selects nothing";
    QTest::mouseClick(view(), Qt::LeftButton, Qt::NoModifier, cell(3 + 5, 6).center());
    EXPECT_FALSE(SEDQ_NODE(tx(), 5, -1).is_trigger_enabled(nullptr, -4));
    tx()->set_lock_mode(SEDQ_LOCK_MODE_ALLOW_TRIGGER, true);
    settle();
    QTest::mouseClick(view(), Qt::LeftButton, Qt::NoModifier, box.center());
    EXPECT_FALSE(SEDQ_NODE(tx(), 5, -1).is_data_enabled(nullptr)) << "locked: the press selects instead";
    EXPECT_TRUE(view()->is_item_selected(5));
}

TEST_F(view_input_test, a_press_selects_shift_extends_and_ctrl_toggles)
{
    open(write_document(bus_and_leaves));
    focus_view();
    QTest::mouseClick(view(), Qt::LeftButton, Qt::NoModifier, cell(3 + 5, 2).center());
    EXPECT_EQ(view()->get_selected_item(), 5);
    QTest::mouseClick(view(), Qt::LeftButton, Qt::ShiftModifier, cell(3 + 7, 2).center());
    EXPECT_EQ(view()->get_selection_count(), 3);
    QTest::mouseClick(view(), Qt::LeftButton, Qt::NoModifier, QPoint(cell(3, 2).center().x(), view()->height() - 5));
    EXPECT_EQ(view()->get_selection_count(), 0) << "a press on no cell deselects all";
}

TEST_F(view_input_test, ctrl_with_the_wheel_scrolls_across_and_nothing_zooms)
{
    open(write_document([](SDR_DATA_SESSION& s) {
        add_numbered_leaves(s, 200);
    }), QSize(600, 400));
    focus_view();
    QScrollBar* vertical = view()->get_vertical_scroll_bar();
    QScrollBar* horizontal = view()->get_horizontal_scroll_bar();
    ASSERT_FALSE(vertical->isHidden());
    ASSERT_FALSE(horizontal->isHidden());
    const auto wheel = [&](Qt::KeyboardModifiers keys) {
        const QPoint local = cell(3 + 2, 2).center();
        QWheelEvent event(local, view()->mapToGlobal(local), QPoint(), QPoint(0, -120), Qt::NoButton, keys,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(view(), &event);
        settle();
    };
    wheel(Qt::NoModifier);
    EXPECT_GT(vertical->value(), 0) << "rows scroll";
    EXPECT_EQ(horizontal->value(), 0);
    const int rows = vertical->value();
    wheel(Qt::ControlModifier);
    EXPECT_EQ(vertical->value(), rows);
    EXPECT_GT(horizontal->value(), 0) << "Ctrl scrolls across";
}

TEST_F(view_input_test, delete_and_arrow_keys)
{
    open(write_document(bus_and_leaves));
    focus_view();
    select_only(6);
    QTest::keyClick(view(), Qt::Key_Delete);
    settle();
    EXPECT_EQ(names(), (std::vector<std::string>{"data", "top|d3", "top|d2", "top|d1", "top|d0", "top|a", "top|c"}));
}

TEST_F(view_input_test, arrow_keys_scroll_the_way_they_point)
{
    open(write_document([](SDR_DATA_SESSION& s) {
        add_numbered_leaves(s, 200);
    }), QSize(600, 400));
    focus_view();
    QScrollBar* vertical = view()->get_vertical_scroll_bar();
    QScrollBar* horizontal = view()->get_horizontal_scroll_bar();
    ASSERT_GT(horizontal->maximum(), 2);
    vertical->setValue(2);
    horizontal->setValue(2);
    const struct
    {
        const char* name;
        Qt::Key key;
        QScrollBar* bar;
        int step;
    } rows[] = {{"Right", Qt::Key_Right, horizontal, 1},
                {"Left", Qt::Key_Left, horizontal, -1},
                {"Down", Qt::Key_Down, vertical, 1},
                {"Up", Qt::Key_Up, vertical, -1}};
    for (const auto& row : rows)
    {
        const int before = row.bar->value();
        QTest::keyClick(view(), row.key);
        settle();
        EXPECT_EQ(row.bar->value(), before + row.step * row.bar->singleStep()) << row.name;
    }
}

TEST_F(view_input_test, a_double_click_on_empty_space_adds_nodes_outside_a_main_window)
{
    open(write_document(bus_and_leaves));
    focus_view();
    QSignalSpy spy(tx()->get_action(AFCQ_SEDQ_INSERT_NODES_ACTION, QVariant()), &QAction::triggered);
    QTest::mouseDClick(view(), Qt::LeftButton, Qt::NoModifier, cell(2, 2).center());
    EXPECT_EQ(spy.count(), 0) << "on a cell";
    QTest::mouseDClick(view(), Qt::LeftButton, Qt::NoModifier,
                       QPoint(cell(3, 2).center().x(), view()->height() - 5));
    EXPECT_EQ(spy.count(), 1);
}

TEST_F(view_input_test, scroll_rate_grows_with_the_distance)
{
    open(write_document(bus_and_leaves));
    const std::pair<int, int> rates[] = {{0, 1}, {9, 1}, {10, 2}, {19, 2}, {20, 3}, {30, 4}};
    for (const auto& rate : rates)
        EXPECT_EQ(view()->get_scroll_rate(rate.first), rate.second) << rate.first;
}

TEST_F(view_input_test, tooltips_name_what_a_cell_shows)
{
    open(write_document([](SDR_DATA_SESSION& s) {
        bus_and_leaves(s);
        SDR_NODE_LIST& rows = trigger_of(s)->edit_transient().trigger_list;
        rows[5].alias = "clk_en";
        rows[1].capture_type = SDR_WTYPE_TRIGGER_ONLY;
        rows[6].patterns[0].conditions[0] = SDR_CTYPE_RISING;
    }));
    EXPECT_EQ(tooltip_at(cell(2, 2).center()), "Node Name");
    EXPECT_EQ(tooltip_at(cell(3 + 5, 1).center()), "clk_en");
    EXPECT_EQ(tooltip_at(cell(3 + 6, 1).center()), "click to set alias");
    EXPECT_EQ(tooltip_at(cell(3 + 6, 2).center()), "top|b");
    EXPECT_EQ(tooltip_at(cell(3 + 6, 0).center()), "Registered");
    EXPECT_TRUE(tooltip_at(cell(3, 0).center()).endsWith(" Bus"));
    EXPECT_EQ(tooltip_at(cell(3, 5).center()), "Data Capture Partially Enabled");
    EXPECT_EQ(tooltip_at(cell(3 + 5, 5).center()), "Data Capture Enabled");
    EXPECT_EQ(tooltip_at(cell(3 + 6, 12).center()), "Rising Edge");
    EXPECT_EQ(tooltip_at(cell(3 + 5, 6).center()), "Trigger Enabled");
    EXPECT_EQ(tooltip_at(cell(3 + 1, 5).center()), "Data Capture Disabled");
}

TEST_F(view_input_test, value_tooltips_read_inside_the_data)
{
    open(write_document(with_samples));
    show_data_tab(true);
    const QString bit = tooltip_at(cell(3 + 1, 23).center());
    EXPECT_TRUE(bit == "0" || bit == "1") << bit.toStdString() << ": a one-bit value inside the data";
    EXPECT_TRUE(internal_errors().empty());
}

TEST_F(view_input_test, the_pattern_mark_of_a_level_toggles_in_sequential_mode)
{
    open(write_document(bus_and_leaves));
    focus_view();
    ASSERT_TRUE(tx()->is_sequential_mode(-1));
    QRect mark = cell(2, 12).adjusted(2, 2, -2, -2);
    view()->draw_pattern_header(0, &mark, nullptr, true, false, false);
    const bool before = tx()->is_pattern_enabled(0);
    QSignalSpy spy(tx(), &SEDQ_TX_MANAGER::updated);
    QTest::mouseClick(view(), Qt::LeftButton, Qt::NoModifier, mark.center());
    settle();
    EXPECT_NE(tx()->is_pattern_enabled(0), before);
    EXPECT_TRUE(contains(hints_of(spy), 0x20000001u));
    tx()->on_edit_undo();
    EXPECT_EQ(tx()->is_pattern_enabled(0), before);
}

TEST_F(view_input_test, a_copy_dropped_at_the_end_stays_out_of_a_bus_that_ends_the_list)
{
    open(write_document([](SDR_DATA_SESSION& s) {
        SDR_DATA_TRIGGER* trigger = trigger_of(s);
        add_leaves(trigger, {"top|a", "top|d1", "top|d0"});
        standin::sdr::add_group(trigger, 1, 2, "data"); // a, data, d1, d0
    }));
    QMimeData nodes;
    nodes.setData("SEDQ_NODE_CLIPBOARD_FORMAT", QByteArray());
    select_only(0);
    const QPoint below(cell(3, 2).center().x(), view()->height() - 5);
    drag_move(nodes, below, Qt::CopyAction);
    drop(nodes, below, Qt::CopyAction);
    ASSERT_EQ(tx()->get_node_count(-1), 5);
    EXPECT_FALSE(tx()->is_group_member(4)) << "appended after the bus, not into it";
    EXPECT_EQ(SEDQ_NODE(tx(), 4, -1).get_name(), std::string("top|a"));
    EXPECT_TRUE(internal_errors().empty());
}

TEST_F(view_input_test, a_resize_fits_the_scroll_bars_and_the_lock_mode_combo)
{
    open(write_document([](SDR_DATA_SESSION& s) {
        add_numbered_leaves(s, 50);
    }));
    QScrollBar* vertical = view()->get_vertical_scroll_bar();
    ASSERT_FALSE(vertical->isHidden());
    EXPECT_EQ(vertical->maximum(), 50 - vertical->pageStep()) << "rows beyond one page";
    QComboBox* combo = view()->get_lock_mode_combo();
    EXPECT_TRUE(combo->isVisible());
    EXPECT_LE(combo->width(), 222);
    const int start = combo->x();
    bool hidden_seen = false;
    for (int width : {1600, 900, 700, 500, 300})
    {
        frame()->resize(width, 800);
        settle();
        const int room = view()->width() - start;
        EXPECT_EQ(combo->isHidden(), room < 21) << width;
        if (!combo->isHidden())
        {
            EXPECT_EQ(combo->width(), std::min(room, 222)) << width;
        }
        hidden_seen = hidden_seen || combo->isHidden();
    }
    EXPECT_TRUE(hidden_seen);
}

// Activating the window lets the host lay out its bars again: the view passes through a taller
// size and back. The rows stay where the user scrolled them, so the next click lands on the row
// the user saw.
TEST_F(view_input_test, a_passing_taller_size_keeps_the_scrolled_rows)
{
    open(write_document([](SDR_DATA_SESSION& s) {
        add_numbered_leaves(s, 40);
    }), QSize(600, 500));
    QScrollBar* vertical = view()->get_vertical_scroll_bar();
    ASSERT_GT(vertical->maximum(), 4);
    vertical->setValue(vertical->maximum());
    const int top = vertical->value();
    const QSize size = frame()->size();
    frame()->resize(size + QSize(0, 80));
    settle();
    frame()->resize(size);
    settle();
    EXPECT_EQ(vertical->value(), top);
    vertical->setValue(top - 1);
    frame()->resize(size + QSize(0, 80));
    settle();
    frame()->resize(size);
    settle();
    EXPECT_EQ(vertical->value(), top - 1) << "a row the user scrolled to is kept too";
}

TEST_F(view_input_test, presses_open_the_alias_and_bus_value_editors_and_the_wheel_commits_them)
{
    open(write_document([](SDR_DATA_SESSION& s) {
        add_numbered_leaves(s, 60);
        standin::sdr::add_group(trigger_of(s), 0, 3, "data", SDR_GTYPE_HEX);
    }));
    focus_view();
    ASSERT_FALSE(view()->get_vertical_scroll_bar()->isHidden());
    const QPoint alias = cell(3 + 5, 1).center();
    EXPECT_EQ(cursor_at(alias), Qt::IBeamCursor);
    QTest::mouseClick(view(), Qt::LeftButton, Qt::NoModifier, alias);
    ASSERT_NE(view()->get_edit(), nullptr);
    EXPECT_EQ(view()->get_edit()->get_column(), 1);
    EXPECT_EQ(view()->get_edit()->get_node(), 5);
    view()->get_edit()->setFocus();
    view()->get_edit()->setText("clk_en");
    QWheelEvent turn(alias, view()->mapToGlobal(alias), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                     Qt::NoScrollPhase, false);
    QApplication::sendEvent(view(), &turn);
    settle();
    EXPECT_EQ(view()->get_edit(), nullptr) << "the wheel took the focus from the editor";
    QString text;
    tx()->get_node_alias(5, &text);
    EXPECT_EQ(text, "clk_en") << "which committed it";

    view()->get_vertical_scroll_bar()->setValue(0);
    settle();
    const QPoint value = cell(3, 12).center();
    ASSERT_EQ(cursor_at(value), Qt::IBeamCursor);
    QTest::mouseClick(view(), Qt::LeftButton, Qt::NoModifier, value);
    ASSERT_NE(view()->get_edit(), nullptr) << "a bus's value";
    EXPECT_EQ(view()->get_edit()->get_column(), 12);
    EXPECT_EQ(view()->get_comparison_edit(), nullptr);
}

TEST_F(view_input_test, rename_opens_the_name_editor_on_the_one_selected_row)
{
    open(write_document(bus_and_leaves));
    focus_view();
    select_only(6);
    ASSERT_TRUE(view()->on_update_node_rename());
    view()->on_node_rename();
    ASSERT_NE(view()->get_edit(), nullptr);
    EXPECT_EQ(view()->get_edit()->get_node(), 6);
    EXPECT_EQ(view()->get_edit()->get_column(), 2);
}

TEST_F(view_input_test, dragging_near_an_edge_scrolls_by_the_distance)
{
    open(write_document([](SDR_DATA_SESSION& s) {
        add_numbered_leaves(s, 200);
    }));
    QScrollBar* bar = view()->get_vertical_scroll_bar();
    ASSERT_FALSE(bar->isHidden());
    bar->setValue(100);
    const int header = view()->get_row_height(0) + view()->get_row_height(1) + view()->get_row_height(2);
    const int top = header + 31;
    const int x = view()->width() / 2;
    const auto scroll_with_pointer_at = [&](int y) {
        QCursor::setPos(view()->mapToGlobal(QPoint(x, y)));
        EXPECT_EQ(view()->mapFromGlobal(QCursor::pos()).y(), y) << "the pointer is where the test put it";
        const int before = bar->value();
        view()->on_drag_scroll();
        return bar->value() - before;
    };
    EXPECT_EQ(scroll_with_pointer_at(top + 40), 0) << "inside the rows nothing scrolls";
    EXPECT_EQ(scroll_with_pointer_at(top - 5), -view()->get_scroll_rate(5));
    EXPECT_EQ(scroll_with_pointer_at(top - 25), -view()->get_scroll_rate(25));
    const int bottom = view()->height() - 1 - 31;
    EXPECT_EQ(scroll_with_pointer_at(bottom + 20), view()->get_scroll_rate(20));
    bar->setValue(0);
    EXPECT_EQ(scroll_with_pointer_at(header - 5), 0) << "nothing above the first row";
}
