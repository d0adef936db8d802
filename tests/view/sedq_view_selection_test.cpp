// Selection and the group tree in the node view: Shift and Ctrl, ranges, the rubber band,
// bringing a node into view, group rows and their members, and what a lock lets the enable
// boxes change.
#include "sedq_view_test_support.h"

#include <QScrollBar>
#include <QTest>

namespace
{
// Holds a modifier key down for the application while it lives.
class held_keys
{
public:
    held_keys(QWidget* widget, Qt::KeyboardModifiers keys) : m_widget(widget), m_keys(keys)
    {
        QTest::keyPress(m_widget, key(), m_keys);
    }
    ~held_keys() { QTest::keyRelease(m_widget, key(), Qt::NoModifier); }

private:
    Qt::Key key() const { return m_keys & Qt::ShiftModifier ? Qt::Key_Shift : Qt::Key_Control; }
    QWidget* m_widget;
    Qt::KeyboardModifiers m_keys;
};

std::vector<int> selected(SEDQ_VIEW* view, int count)
{
    std::vector<int> rows;
    for (int node = 0; node < count; ++node)
        if (view->is_item_selected(node))
            rows.push_back(node);
    return rows;
}

void six_leaves(SDR_DATA_SESSION& s)
{
    add_leaves(s.m_instances[0]->get_active_trigger(),
               {"top|n0", "top|n1", "top|n2", "top|n3", "top|n4", "top|n5"});
}

// The point in the name cell of a node's row.
QPoint row_point(SEDQ_VIEW* view, int node)
{
    QRect cell;
    view->get_name_item_rect(node, &cell);
    return cell.center();
}
} // namespace

TEST_F(view_test, shift_adds_and_ctrl_toggles_a_row)
{
    open(write_document(six_leaves));
    focus_view();
    view()->select_item(1, true);
    view()->select_item(2, true);
    EXPECT_EQ(selected(view(), 6), (std::vector<int>{1, 2})) << "without keys a row is set";
    {
        const held_keys keys(view(), Qt::ControlModifier);
        ASSERT_EQ(QGuiApplication::keyboardModifiers(), Qt::ControlModifier);
        view()->select_item(2, true);
        view()->select_item(3, true);
    }
    EXPECT_EQ(selected(view(), 6), (std::vector<int>{1, 3})) << "Ctrl toggles";
    {
        const held_keys keys(view(), Qt::ShiftModifier);
        view()->select_item(3, false);
        view()->select_item(4, true);
    }
    EXPECT_EQ(selected(view(), 6), (std::vector<int>{1, 3, 4})) << "Shift only adds";
}

TEST_F(view_test, select_item_refuses_rows_outside_the_list)
{
    open(write_document(six_leaves));
    view()->select_item(-1, true);
    view()->select_item(6, true);
    EXPECT_EQ(view()->get_selection_count(), 0);
    EXPECT_TRUE(internal_errors().empty());
}

TEST_F(view_test, shift_click_selects_down_to_the_focus_row)
{
    open(write_document(six_leaves));
    focus_view();
    EXPECT_EQ(view()->select_item(row_point(view(), 4)), 4);
    EXPECT_EQ(view()->get_focus_item(), 4);
    {
        const held_keys keys(view(), Qt::ShiftModifier);
        view()->select_item(row_point(view(), 1));
    }
    EXPECT_EQ(selected(view(), 6), (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(view()->get_focus_item(), 4) << "the focus row stays";
    view()->select_all_items(false);
    view()->select_item(QPoint(100, 700));
    EXPECT_EQ(view()->get_focus_item(), 5) << "a click below the rows moves the focus to the last row";
    EXPECT_EQ(view()->get_selection_count(), 0);
}

TEST_F(view_test, the_rubber_band_selects_the_rows_it_spans)
{
    open(write_document(six_leaves));
    view()->select_item(0, true);
    view()->select_items(4, row_point(view(), 2));
    EXPECT_EQ(selected(view(), 6), (std::vector<int>{2, 3, 4}));
    view()->select_items(-5, QPoint(100, 5));
    EXPECT_EQ(view()->get_selection_count(), 0) << "a band over the header rows only selects nothing";
}

TEST_F(view_test, single_selections_by_kind)
{
    open(write_document(
        [](SDR_DATA_SESSION& s)
        {
            SDR_DATA_TRIGGER* trigger = trigger_of(s);
            add_leaves(trigger, {"top|m0", "top|m1", "top|x"});
            standin::sdr::add_group(trigger, 0, 1, "bus");
        }));
    select_only(0);
    EXPECT_EQ(view()->get_selected_item(), 0);
    EXPECT_EQ(view()->get_selected_parent(), 0);
    EXPECT_EQ(view()->get_selected_child(), -1);
    EXPECT_TRUE(view()->is_selected_parent(0));
    tx()->set_node_selection_status(3, true);
    EXPECT_EQ(view()->get_selected_item(), -1);
    EXPECT_EQ(view()->get_selected_child(), 3);
    EXPECT_TRUE(view()->is_selected_child(3));
    EXPECT_EQ(view()->get_selection_count(), 2);
}

TEST_F(view_test, group_rows_count_their_members)
{
    open(write_document(
        [](SDR_DATA_SESSION& s)
        {
            SDR_DATA_TRIGGER* trigger = trigger_of(s);
            add_leaves(trigger, {"top|m0", "top|m1", "top|m2", "top|x"});
            trigger->edit_transient().trigger_list[1].capture_type = SDR_WTYPE_DATA_ONLY;
            trigger->edit_transient().trigger_list[2].tap_mode = SDR_TAP_POST_FITTING;
            standin::sdr::add_group(trigger, 0, 2, "bus");
        }));
    EXPECT_TRUE(view()->is_parent_item(0));
    EXPECT_TRUE(view()->is_child_item(1));
    EXPECT_FALSE(view()->is_child_item(4));
    EXPECT_EQ(view()->get_child_item_count(0), 3);
    EXPECT_EQ(view()->get_child_item_count(4), 0);
    EXPECT_EQ(view()->get_trigger_input_child_item_count(0), 2);
    EXPECT_FALSE(view()->item_is_pre_syn(0)) << "one member is post-fitting";
    EXPECT_FALSE(view()->item_is_post_fit(0));
    EXPECT_TRUE(view()->item_is_post_fit(3));
    EXPECT_TRUE(view()->item_is_pre_syn(4));
}

TEST_F(view_test, toggling_a_group_hides_its_members_as_one_edit)
{
    open(write_document(
        [](SDR_DATA_SESSION& s)
        {
            SDR_DATA_TRIGGER* trigger = trigger_of(s);
            add_leaves(trigger, {"top|m0", "top|m1", "top|x"});
            standin::sdr::add_group(trigger, 0, 1, "bus");
        }));
    EXPECT_FALSE(view()->toggle_item(-1, true));
    EXPECT_FALSE(view()->toggle_item(0, false)) << "expanded";
    EXPECT_TRUE(view()->toggle_item(0, true));
    EXPECT_TRUE(view()->toggle_item(0, false)) << "collapsed";
    EXPECT_EQ(view()->get_row_height(4), 0);
    EXPECT_EQ(view()->get_row_height(3), 20) << "the group row stays";
    EXPECT_EQ(view()->find_item(QPoint(100, 63 + 25), true), 3) << "the next shown row follows the group";
}

TEST_F(view_test, ensure_visible_opens_the_group_and_scrolls_to_the_node)
{
    open(write_document(
        [](SDR_DATA_SESSION& s)
        {
            SDR_DATA_TRIGGER* trigger = trigger_of(s);
            std::vector<std::string> names;
            for (int i = 0; i < 60; ++i)
                names.push_back("top|n" + std::to_string(i));
            add_leaves(trigger, names);
            standin::sdr::add_group(trigger, 40, 49, "bus"); // group row 40, members 41..50
            trigger->edit_transient().trigger_list[40].expanded = false;
            standin::sdr::recompute_tree(trigger->edit_transient().trigger_list);
        }));
    ASSERT_EQ(view()->get_row_height(45 + 3), 0);
    view()->ensure_visible(45);
    EXPECT_TRUE(tx()->is_node_expanded(40));
    EXPECT_EQ(view()->get_selected_item(), 45);
    EXPECT_GT(view()->get_row_height(45 + 3), 0);
    QScrollBar* bar = view()->get_vertical_scroll_bar();
    EXPECT_EQ(bar->value(), std::min(45, bar->maximum()));
}

// ---- what a lock lets the boxes change ------------------------------------------------------------

TEST_F(view_test, reroute_under_each_lock_mode)
{
    open(write_document(
        [](SDR_DATA_SESSION& s)
        {
            SDR_DATA_TRIGGER* trigger = trigger_of(s);
            standin::sdr::node_spec pre;
            pre.name = "top|pre";
            standin::sdr::add_node(trigger, pre);
            standin::sdr::node_spec post;
            post.name = "top|post";
            post.tap = SDR_TAP_POST_FITTING;
            post.capture = SDR_WTYPE_DATA_ONLY;
            standin::sdr::add_node(trigger, post);
            s.m_instances[0]->get_active_signal_set()->edit_transient().allocated[0] = 4; // trigger
        }));
    EXPECT_TRUE(view()->is_reroute_enabled(0, true, true)) << "no lock";
    tx()->set_lock_mode(SEDQ_LOCK_MODE_ALLOW_TRIGGER, false);
    EXPECT_FALSE(view()->is_reroute_enabled(1, false, false));
    EXPECT_FALSE(view()->is_reroute_enabled(1, true, true));
    tx()->set_lock_mode(SEDQ_LOCK_MODE_ALLOW_INCREMENTAL, false);
    EXPECT_FALSE(view()->is_reroute_enabled(0, false, false)) << "a pre-synthesis node";
    EXPECT_FALSE(view()->is_reroute_enabled(-1, false, false));
    EXPECT_TRUE(view()->is_reroute_enabled(1, false, false)) << "trigger allocation has room";
    EXPECT_FALSE(view()->is_reroute_enabled(1, true, false)) << "no data allocation left (automatic)";
    EXPECT_TRUE(view()->is_reroute_enabled(1, true, true)) << "leaving data: trigger room";
    tx()->set_instance_acq_state(0, SEDQ_ACQ_STATE_RUNNING);
    EXPECT_FALSE(view()->is_reroute_enabled(1, false, false)) << "not while acquiring";
    EXPECT_FALSE(view()->is_trigger_enabled());
    EXPECT_FALSE(view()->is_setup_enabled(false));
}

// Only rows inside a bus a plug-in added leave the selection; a bus that follows it keeps its
// selected members.
TEST_F(view_test, plug_in_bus_members_leave_the_selection_with_one_message)
{
    open(write_document(
        [](SDR_DATA_SESSION& s)
        {
            SDR_DATA_TRIGGER* trigger = trigger_of(s);
            add_leaves(trigger, {"top|p1", "top|p0", "top|q1", "top|q0"});
            standin::sdr::add_group(trigger, 2, 3, "after", SDR_GTYPE_HEX);   // rows 2..4
            standin::sdr::add_group(trigger, 0, 1, "decoded", SDR_GTYPE_HEX); // rows 0..2, "after" 3..5
        }));
    {
        const SEDQ_EDIT_SCOPE edit(tx(), SEDQ_CHECK_COMPILATION);
        ASSERT_TRUE(tx()->set_node_group_display_type(0, SDR_GTYPE_PLUGIN));
    }
    for (int node : {1, 2, 4, 5})
        tx()->set_node_selection_status(node, true);
    view()->unselect_plugin_group_member_items();
    EXPECT_EQ(selected(view(), 6), (std::vector<int>{4, 5}));
    ASSERT_EQ(standin::msg::shown().size(), 1u);
    EXPECT_EQ(standin::msg::shown()[0].help_key, "OSEDQ_PLUGIN_MEM_NODES_EXCLUSION");
    view()->unselect_plugin_group_member_items();
    EXPECT_EQ(standin::msg::shown().size(), 1u) << "nothing deselected: no message";
}

TEST_F(view_test, ensure_visible_opens_every_closed_group_above_the_node)
{
    open(write_document(
        [](SDR_DATA_SESSION& s)
        {
            SDR_DATA_TRIGGER* trigger = trigger_of(s);
            add_leaves(trigger, {"top|a", "top|b", "top|c"});
            standin::sdr::add_group(trigger, 1, 2, "inner"); // 1 inner {2, 3}
            standin::sdr::add_group(trigger, 0, 3, "outer"); // 0 outer {1 a, 2 inner {3 b, 4 c}}
            trigger->edit_transient().trigger_list[0].expanded = false;
            trigger->edit_transient().trigger_list[2].expanded = false;
            standin::sdr::recompute_tree(trigger->edit_transient().trigger_list);
        }));
    ASSERT_EQ(view()->get_row_height(4 + 3), 0);
    view()->ensure_visible(4);
    EXPECT_TRUE(tx()->is_node_expanded(0));
    EXPECT_TRUE(tx()->is_node_expanded(2));
    EXPECT_GT(view()->get_row_height(4 + 3), 0);
}
