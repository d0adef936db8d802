// The canvas under the mouse and the keys: clicks and the rubber band select, a moved tree
// attaches to a free input and an input pulled away comes loose, a gesture past an edge
// scrolls, each key acts under its condition, F2 renames, a double click opens Properties, and
// the tooltip says what a double click does.
#include "sedq_object_widget_canvas_test_support.h"
#include "sedq_modal_step.h"

#include "host/standin/qui_control.h"
#include "sedq/advanced_trigger/sedq_general_widget.h"
#include "sedq/advanced_trigger/sedq_object_properties_dlg.h"
#include "sedq/advanced_trigger/sedq_rename_edit.h"

#include <QLineEdit>
#include <QTest>


TEST_F(canvas_mouse_test, a_click_selects_and_a_ctrl_rubber_band_inverts)
{
    result()->move(500, 200);
    refresh(SEDQ_UPDATE_TRIGGER_CANVAS);
    SEDQ_OBJECT* first = drop_loose_node(QPoint(100, 200));
    SEDQ_OBJECT* second = drop_loose_node(QPoint(100, 400));
    ASSERT_TRUE(first && second);
    const QPoint on_first = centre_of(first) - QPoint(20, 0);
    gesture(on_first, on_first);
    EXPECT_TRUE(is_selected(first) && !is_selected(second)) << "a click selects only the object";
    gesture(QPoint(300, 560), QPoint(300, 560), Qt::ShiftModifier);
    EXPECT_TRUE(is_selected(first)) << "Shift keeps the selection on empty canvas";
    gesture(QPoint(300, 560), QPoint(300, 560));
    EXPECT_EQ(canvas()->get_selection_count(), 0) << "a click on empty canvas clears";
    first->select(true, false, false);
    const QPoint corner(20, centre_of(first).y() - 40);
    const QPoint far(centre_of(second).x() + 80, centre_of(second).y() + 30);
    gesture(corner, far, Qt::ControlModifier);
    EXPECT_FALSE(is_selected(first)) << "Ctrl inverts the selected one";
    EXPECT_TRUE(is_selected(second)) << "and the other";
}

// Within 61 left or 38 right of the parent's middle input an input holds; farther it comes loose.
TEST(canvas_detach_rule, an_input_comes_loose_61_left_or_38_right_of_its_parents_input)
{
    const QPoint tail(500, 100);
    const struct
    {
        const char* name;
        int head_x;
        bool near;
    } rows[] = {
        {"at the input", 500, true},       {"60 left", 440, true},  {"61 left", 439, false},
        {"37 right", 537, true},           {"38 right", 538, false}, {"far right", 900, false},
    };
    for (const auto& row : rows)
        EXPECT_EQ(sedq_near_parent_input(tail, QPoint(row.head_x, 170)), row.near) << row.name;
}

TEST_F(canvas_mouse_test, moving_a_tree_onto_a_free_input_attaches_and_pulling_it_away_detaches)
{
    result()->move(500, 200);
    refresh(SEDQ_UPDATE_TRIGGER_CANVAS);
    SEDQ_OBJECT* node = drop_loose_node(QPoint(100, 450));
    ASSERT_NE(node, nullptr);
    QRect input;
    result()->get_input_port(&input, SEDQ_OBJECT::MIDDLE_PORT);
    QRect output;
    node->get_output_port(&output);
    QRect target(input.center() - output.center() + node->get_rect().center(), QSize(1, 1));
    canvas()->zoom_to_client(&target);
    const QPoint grab = centre_of(node) - QPoint(20, 0);
    gesture(grab, grab + (target.topLeft() - centre_of(node)));
    ASSERT_EQ(node->get_parent(), result()) << "released over the Result's free input";
    EXPECT_GT(canvas()->get_undo_position(), 0);

    const QPoint grab_input = centre_of(node) - QPoint(20, 0);
    gesture(grab_input, grab_input - QPoint(200, 0));
    EXPECT_TRUE(node->is_root()) << "pulled far left of the Result";
}

// An input pulled past 38 right (or 61 left) of its parent's input comes loose and stays where
// it was let go, at its old top, also over its former parent's box and after a later click; one
// pulled less stays an input, back in its place.
TEST_F(canvas_mouse_test, an_input_pulled_away_comes_loose_where_it_was_let_go)
{
    result()->move(500, 200);
    refresh(SEDQ_UPDATE_TRIGGER_CANVAS);
    select_nodes({17});
    drag_from(view(), node_data(), [&] { EXPECT_TRUE(drop(result_centre(), *node_data()).accepted); });
    const struct
    {
        const char* name;
        int zoom;
        int pixels; // how far the mouse moves, in widget pixels
        int units;  // the same in canvas units
        bool loose;
    } rows[] = {
        {"80 right", 10, 80, 80, true},
        {"80 right, zoomed out", 20, 40, 80, true},
        {"200 left", 10, -200, -200, true},
        {"30 right", 10, 30, 30, false},
    };
    for (const auto& row : rows)
    {
        canvas()->set_zoom_positions(row.zoom);
        ASSERT_EQ(result()->get_children().size(), 1) << row.name;
        SEDQ_OBJECT* node = result()->get_children().front();
        const QPoint before = node->get_rect().topLeft();
        const QPoint grab = centre_of(node) - QPoint(4, 0);
        gesture(grab, grab + QPoint(row.pixels, 0));
        EXPECT_EQ(node->is_root(), row.loose) << row.name;
        const QPoint expected = row.loose ? before + QPoint(row.units, 0) : before;
        EXPECT_EQ(node->get_rect().topLeft(), expected) << row.name;
        gesture(QPoint(40, 560), QPoint(40, 560));
        EXPECT_EQ(node->get_rect().topLeft(), expected) << row.name << ": after a click elsewhere";
        if (row.loose)
            canvas()->on_edit_undo();
    }
}

TEST_F(canvas_mouse_test, keys_run_their_commands_under_their_conditions)
{
    result()->move(500, 200);
    refresh(SEDQ_UPDATE_TRIGGER_CANVAS);
    select_nodes({17});
    drag_from(view(), node_data(), [&] { drop(result_centre(), *node_data()); });
    SEDQ_OBJECT* node = result()->get_children().value(0);
    ASSERT_NE(node, nullptr);
    canvas()->select(node);
    tx()->set_lock_mode(SEDQ_LOCK_MODE_ALLOW_TRIGGER, false);
    key(Qt::Key_D);
    EXPECT_EQ(node->get_parent(), result()) << "D does nothing while locked";
    tx()->set_lock_mode(SEDQ_LOCK_MODE_ALLOW_ALL, false);
    key(Qt::Key_D, Qt::ControlModifier);
    EXPECT_EQ(node->get_parent(), result()) << "Ctrl+D is no command";
    key(Qt::Key_D);
    EXPECT_TRUE(node->is_root()) << "D detaches";

    tx()->set_lock_mode(SEDQ_LOCK_MODE_ALLOW_TRIGGER, false);
    for (SEDQ_OBJECT* object : *canvas()->get_object_list())
        object->select(true, false, false);
    key(Qt::Key_Delete);
    EXPECT_EQ(of_kind(SEDQ_OBJECT::NODE).size(), 1) << "Delete deletes nothing under lock mode 2";
    tx()->set_lock_mode(SEDQ_LOCK_MODE_ALLOW_ALL, false);
    key(Qt::Key_Delete);
    EXPECT_TRUE(of_kind(SEDQ_OBJECT::NODE).isEmpty()) << "Delete deletes the selection";
    EXPECT_EQ(of_kind(SEDQ_OBJECT::LEVEL_RESULT).size(), 1) << "the Result stays";
}

TEST_F(canvas_mouse_test, the_tooltip_says_what_a_double_click_does_or_that_the_level_is_off)
{
    result()->move(500, 200);
    refresh(SEDQ_UPDATE_TRIGGER_CANVAS);
    mouse(QEvent::MouseMove, QPoint(100, 500), Qt::NoButton);
    EXPECT_EQ(canvas()->toolTip(), QStringLiteral("double-click to insert a new object"));
    mouse(QEvent::MouseMove, result_centre(), Qt::NoButton);
    EXPECT_EQ(canvas()->toolTip(), result()->get_tooltip(Qt::OpenHandCursor));
}

namespace
{
// What a key may change on the scene of a Node wired into the Result.
struct key_effect
{
    int nodes;
    bool node_attached;
    bool result_expanded;
    size_t dialogs; // Properties dialogs opened (rejected at once on the headless display)
    bool operator==(const key_effect& o) const
    {
        return nodes == o.nodes && node_attached == o.node_attached && result_expanded == o.result_expanded &&
               dialogs == o.dialogs;
    }
};

std::ostream& operator<<(std::ostream& out, const key_effect& e)
{
    return out << "{nodes " << e.nodes << ", attached " << e.node_attached << ", expanded " << e.result_expanded
               << ", dialogs " << e.dialogs << "}";
}
} // namespace

TEST_F(canvas_mouse_test, each_key_acts_only_under_its_condition)
{
    result()->move(500, 200);
    refresh(SEDQ_UPDATE_TRIGGER_CANVAS);
    enum PICK { NODE, RESULT, NOTHING };
    const key_effect unchanged{1, true, true, 0};
    const struct
    {
        const char* name;
        int key;
        Qt::KeyboardModifiers keys;
        SEDQ_LOCK_MODE lock;
        PICK pick;
        key_effect after;
        bool acquiring = false;
    } rows[] = {
        {"R removes the node", Qt::Key_R, Qt::NoModifier, SEDQ_LOCK_MODE_ALLOW_ALL, NODE, {0, false, true, 0}},
        {"R never takes the Result", Qt::Key_R, Qt::NoModifier, SEDQ_LOCK_MODE_ALLOW_ALL, RESULT, unchanged},
        {"R while locked", Qt::Key_R, Qt::NoModifier, SEDQ_LOCK_MODE_ALLOW_TRIGGER, NODE, unchanged},
        {"I asks the kind of the new object", Qt::Key_I, Qt::NoModifier, SEDQ_LOCK_MODE_ALLOW_ALL, NODE, {1, true, true, 1}},
        {"I with nothing selected", Qt::Key_I, Qt::NoModifier, SEDQ_LOCK_MODE_ALLOW_ALL, NOTHING, unchanged},
        {"A while locked", Qt::Key_A, Qt::NoModifier, SEDQ_LOCK_MODE_ALLOW_INCREMENTAL, NODE, unchanged},
        {"Shift+Right collapses", Qt::Key_Right, Qt::ShiftModifier, SEDQ_LOCK_MODE_ALLOW_ALL, RESULT, {1, true, false, 0}},
        {"Shift+Right on a leaf", Qt::Key_Right, Qt::ShiftModifier, SEDQ_LOCK_MODE_ALLOW_ALL, NODE, unchanged},
        {"Alt+Return opens Properties, even locked", Qt::Key_Return, Qt::AltModifier, SEDQ_LOCK_MODE_ALLOW_TRIGGER, NODE, {1, true, true, 1}},
        {"Alt+Return with nothing selected", Qt::Key_Return, Qt::AltModifier, SEDQ_LOCK_MODE_ALLOW_ALL, NOTHING, unchanged},
        {"Delete deletes the node", Qt::Key_Delete, Qt::NoModifier, SEDQ_LOCK_MODE_ALLOW_ALL, NODE, {0, false, true, 0}},
        {"Delete under lock mode 1", Qt::Key_Delete, Qt::NoModifier, SEDQ_LOCK_MODE_ALLOW_INCREMENTAL, NODE, unchanged},
        {"Delete under lock mode 2", Qt::Key_Delete, Qt::NoModifier, SEDQ_LOCK_MODE_ALLOW_TRIGGER, NODE, unchanged},
        {"Delete while acquiring", Qt::Key_Delete, Qt::NoModifier, SEDQ_LOCK_MODE_ALLOW_ALL, NODE, unchanged, true},
        {"R while acquiring", Qt::Key_R, Qt::NoModifier, SEDQ_LOCK_MODE_ALLOW_ALL, NODE, unchanged, true},
    };
    for (const auto& row : rows)
    {
        tx()->set_lock_mode(SEDQ_LOCK_MODE_ALLOW_ALL, false);
        for (SEDQ_OBJECT* object : *canvas()->get_object_list())
            object->select(object->get_type() == SEDQ_OBJECT::NODE, false, false);
        canvas()->on_edit_delete();
        select_nodes({17});
        drag_from(view(), node_data(), [&] { drop(result_centre(), *node_data()); });
        SEDQ_OBJECT* node = result()->get_children().value(0);
        ASSERT_NE(node, nullptr) << row.name;
        result()->get_property().set(SEDQ_PROPERTY::EXPANDED, 1);
        canvas()->select(row.pick == NODE ? node : row.pick == RESULT ? result() : nullptr);
        tx()->set_lock_mode(row.lock, false);
        tx()->set_instance_acq_state(0, row.acquiring ? SEDQ_ACQ_STATE_RUNNING : SEDQ_ACQ_STATE_NOT_RUNNING);
        const size_t dialogs = standin::qui::unanswered_dialogs().size();
        canvas()->setFocus();
        key(row.key, row.keys);
        const QList<SEDQ_OBJECT*> nodes = of_kind(SEDQ_OBJECT::NODE);
        const key_effect after{int(nodes.size()), !nodes.isEmpty() && nodes.front()->get_parent() == result(),
                               result()->is_expanded(), standin::qui::unanswered_dialogs().size() - dialogs};
        EXPECT_EQ(after, row.after) << row.name;
        tx()->set_instance_acq_state(0, SEDQ_ACQ_STATE_NOT_RUNNING);
    }
}

TEST_F(canvas_mouse_test, f2_opens_the_rename_editor_and_return_commits_one_undo_step)
{
    result()->move(500, 200);
    refresh(SEDQ_UPDATE_TRIGGER_CANVAS);
    SEDQ_OBJECT* node = drop_loose_node(QPoint(100, 300));
    ASSERT_NE(node, nullptr);
    node->set_alias(QStringLiteral("old"));
    canvas()->save_undo_state(true);
    QApplication::setActiveWindow(frame());
    canvas()->setFocus();
    canvas()->select(nullptr);
    key(Qt::Key_F2);
    EXPECT_EQ(canvas()->get_rename_edit(), nullptr) << "F2 with nothing selected";

    canvas()->select(node);
    const int position = canvas()->get_undo_position();
    key(Qt::Key_F2);
    SEDQ_RENAME_EDIT* editor = canvas()->get_rename_edit();
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(editor->text(), QStringLiteral("old"));
    EXPECT_TRUE(editor->geometry().intersects(QRect(centre_of(node), QSize(1, 1)).adjusted(-60, -20, 60, 20)))
        << "the editor lies over the object";
    editor->selectAll();
    QTest::keyClicks(editor, QStringLiteral("renamed"));
    QTest::keyClick(editor, Qt::Key_Return);
    settle();
    EXPECT_EQ(canvas()->get_rename_edit(), nullptr) << "Return closes the editor";
    EXPECT_EQ(node->get_alias(), QStringLiteral("renamed"));
    EXPECT_EQ(canvas()->get_undo_position(), position + 1);
    canvas()->on_edit_undo();
    ASSERT_EQ(of_kind(SEDQ_OBJECT::NODE).size(), 1);
    EXPECT_EQ(of_kind(SEDQ_OBJECT::NODE).front()->get_alias(), QStringLiteral("old"));
}

// The user's double click: the mouse arrives, the first click selects, the second opens the
// Properties dialog of the object; Cancel leaves it as it was.
TEST_F(canvas_mouse_test, a_double_click_on_an_object_opens_its_properties_and_cancel_keeps_it)
{
    result()->move(500, 200);
    refresh(SEDQ_UPDATE_TRIGGER_CANVAS);
    SEDQ_OBJECT* first = drop_loose_node(QPoint(100, 200));
    SEDQ_OBJECT* second = drop_loose_node(QPoint(100, 400));
    ASSERT_TRUE(first && second);
    first->set_alias(QStringLiteral("first"));
    second->set_alias(QStringLiteral("second"));
    canvas()->select(first);
    const int position = canvas()->get_undo_position();
    QString shown;
    on_next_modal<SEDQ_OBJECT_PROPERTIES_DLG>(
        [&](SEDQ_OBJECT_PROPERTIES_DLG* dialog)
        {
            ASSERT_NE(dialog, nullptr);
            shown = dialog->get_general_widget()->get_alias_edit()->text();
            dialog->get_general_widget()->get_alias_edit()->setText(QStringLiteral("typed"));
            dialog->reject();
        });
    const QPoint at = centre_of(second) - QPoint(20, 0);
    canvas()->setFocus();
    mouse(QEvent::MouseMove, at, Qt::NoButton);
    mouse(QEvent::MouseButtonPress, at, Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, at, Qt::NoButton);
    mouse(QEvent::MouseButtonDblClick, at, Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, at, Qt::NoButton);
    standin::tst::set_regtest_mode(false);
    EXPECT_EQ(shown, QStringLiteral("second")) << "the dialog opened for the object clicked";
    EXPECT_EQ(second->get_alias(), QStringLiteral("second")) << "Cancel";
    EXPECT_EQ(canvas()->get_undo_position(), position);
    EXPECT_FALSE(standin::qui::responder_armed()) << "the dialog was shown";
}

// A gesture held past an edge scrolls one step a move towards the mouse; scrolling moves the
// drawing the other way.
TEST_F(canvas_mouse_test, a_gesture_past_an_edge_scrolls_towards_the_mouse)
{
    result()->move(500, 200);
    refresh(SEDQ_UPDATE_TRIGGER_CANVAS);
    SEDQ_OBJECT* node = drop_loose_node(QPoint(100, 400));
    ASSERT_NE(node, nullptr);
    QApplication::setActiveWindow(frame());
    const QPoint inside(300, 520);
    const int right = canvas()->width() + 5;
    const int bottom = canvas()->height() + 5;
    const struct
    {
        const char* name;
        bool from_node;
        QPoint to;
        bool vertical;
        int direction;
    } rows[] = {
        {"rubber band past the right edge", false, QPoint(right, 300), false, 1},
        {"rubber band past the left edge", false, QPoint(-5, 300), false, -1},
        {"rubber band past the bottom edge", false, QPoint(300, bottom), true, 1},
        {"rubber band above the drawing", false, QPoint(300, 5), true, -1},
        {"moving a node past the bottom edge", true, QPoint(100, bottom), true, 1},
    };
    for (const auto& row : rows)
    {
        QScrollBar* bar = row.vertical ? canvas()->get_vertical_scroll_bar() : canvas()->get_horizontal_scroll_bar();
        const QPoint from = row.from_node ? centre_of(node) - QPoint(20, 0) : inside;
        canvas()->setFocus();
        mouse(QEvent::MouseMove, from, Qt::NoButton);
        mouse(QEvent::MouseButtonPress, from, Qt::LeftButton);
        const int value = bar->value();
        const QPoint drawing = result()->get_rect().topLeft();
        const int moves = 3;
        for (int move = 0; move < moves; ++move)
            mouse(QEvent::MouseMove, row.to, Qt::LeftButton);
        const int step = canvas()->get_horizontal_scroll_bar()->singleStep() * row.direction;
        EXPECT_EQ(bar->value(), value + moves * step) << row.name;
        const QPoint shift = result()->get_rect().topLeft() - drawing;
        EXPECT_EQ(row.vertical ? shift.y() : shift.x(), -moves * step) << row.name;
        mouse(QEvent::MouseButtonRelease, row.to, Qt::NoButton);
    }
}
