// What a drop on the canvas makes: Node and Bus objects from the nodes selected in the node
// view, and objects of the kinds named by the entries selected in the object library, stacked
// in a list of their own for the paste.
#include "sedq_view_test_support.h"

#include "host/afcq_drag.h"
#include "host/standin/afcq_control.h"
#include "host/standin/qui_control.h"
#include "sedq/advanced_trigger/sedq_canvas_drop_rule.h"
#include "sedq/advanced_trigger/sedq_object.h"
#include "sedq/advanced_trigger/sedq_object_widget.h"
#include "sedq/advanced_trigger/sedq_operator_widget.h"
#include "sedq/advanced_trigger/sedq_trigger_object.h"
#include "sedq/model/sedq_lock_mode.h"
#include "sedq/model/sedq_trigger_pattern.h"

#include <QDrag>
#include <QDragEnterEvent>
#include <QItemSelectionModel>
#include <QMimeData>
#include <QStandardItemModel>
#include <QScrollBar>
#include <QTreeView>

#include <functional>

#include <memory>

namespace
{
// Rows: 0 the group "top|d" of 16 members (rows 1..16, the last two data only, so hidden in
// advanced mode), 17 the loose node "top|x".
void bus_and_node(SDR_DATA_SESSION& s)
{
    SDR_DATA_TRIGGER* trigger = s.m_instances[0]->get_active_trigger();
    std::vector<std::string> shown, data_only;
    for (int bit = 0; bit < 16; ++bit)
        (bit < 14 ? shown : data_only).push_back("top|d[" + std::to_string(bit) + "]");
    add_leaves(trigger, shown);
    add_leaves(trigger, data_only, SDR_WTYPE_DATA_ONLY);
    add_leaves(trigger, {"top|x"});
    standin::sdr::add_group(trigger, 0, 15, "top|d");
}

struct made
{
    SEDQ_OBJECT::SEDQ_OBJECT_TYPE kind;
    int top;
};

class canvas_drop_test : public view_test
{
protected:
    SEDQ_OBJECT_WIDGET* canvas() { return frame()->get_layout_widget()->get_object_widget(); }

    void select_nodes(std::initializer_list<int> rows)
    {
        tx()->select_node_range(0, tx()->get_node_count(-1) - 1, false);
        for (int row : rows)
            tx()->set_node_selection_status(row, true);
    }

    QList<SEDQ_OBJECT*>* drop_nodes()
    {
        qDeleteAll(m_list);
        m_list.clear();
        canvas()->clone_node_tree(&m_list);
        return &m_list;
    }

    // The roots of the list: the objects a paste places.
    QList<SEDQ_OBJECT*> roots() const
    {
        QList<SEDQ_OBJECT*> found;
        for (SEDQ_OBJECT* object : m_list)
            if (object->get_parent() == nullptr)
                found.append(object);
        return found;
    }

    void TearDown() override
    {
        qDeleteAll(m_list);
        view_test::TearDown();
    }

    QList<SEDQ_OBJECT*> m_list;
};
} // namespace

TEST_F(canvas_drop_test, a_group_with_picked_members_makes_an_expanded_bus_of_just_those)
{
    open(write_document(bus_and_node));
    ASSERT_EQ(tx()->get_node_count(-1), 18);
    select_nodes({0, 3, 5, 16});
    drop_nodes();
    ASSERT_EQ(roots().size(), 1);
    SEDQ_OBJECT* bus = roots().front();
    EXPECT_EQ(bus->get_type(), SEDQ_OBJECT::BUS);
    EXPECT_EQ(bus->get_bus_name(), QStringLiteral("top|d"));
    EXPECT_EQ(bus->get_property()[SEDQ_PROPERTY::EXPANDED], 1);
    ASSERT_EQ(bus->get_children().size(), 3);
    const char* names[] = {"top|d[2]", "top|d[4]", "top|d[15]"};
    for (int i = 0; i < 3; ++i)
    {
        const SEDQ_OBJECT* node = bus->get_children()[i];
        EXPECT_EQ(node->get_type(), SEDQ_OBJECT::NODE) << i;
        EXPECT_EQ(node->get_name(), QString::fromLatin1(names[i])) << "picked members only, even a hidden one";
        EXPECT_EQ(node->get_property()[SEDQ_PROPERTY::SELECTED], 1) << i;
    }
    EXPECT_EQ(m_list.size(), 4) << "the members travel in the list with their bus";
}

TEST_F(canvas_drop_test, top_level_objects_stack_30_apart_and_a_group_alone_is_collapsed)
{
    open(write_document(bus_and_node));
    select_nodes({0});
    drop_nodes();
    ASSERT_EQ(roots().size(), 1);
    EXPECT_EQ(roots().front()->get_property()[SEDQ_PROPERTY::EXPANDED], 0) << "the group alone: collapsed";
    EXPECT_EQ(roots().front()->get_children().size(), 14) << "members hidden in advanced mode stay out";
    EXPECT_EQ(roots().front()->get_children().front()->get_property()[SEDQ_PROPERTY::SELECTED], 0);

    select_nodes({17, 0});
    drop_nodes();
    ASSERT_EQ(roots().size(), 2);
    EXPECT_EQ(roots()[0]->get_type(), SEDQ_OBJECT::BUS) << "in node order";
    EXPECT_EQ(roots()[1]->get_name(), QStringLiteral("top|x"));
    EXPECT_EQ(roots()[1]->get_rect().top() - roots()[0]->get_rect().top(), 30);
}

TEST_F(canvas_drop_test, a_group_of_groups_makes_nothing)
{
    open(write_document([](SDR_DATA_SESSION& s) {
        SDR_DATA_TRIGGER* trigger = s.m_instances[0]->get_active_trigger();
        add_leaves(trigger, {"top|a", "top|b", "top|c"});
        standin::sdr::add_group(trigger, 0, 1, "inner");
        standin::sdr::add_group(trigger, 0, 3, "outer");
    }));
    ASSERT_TRUE(tx()->is_grandparent(0));
    select_nodes({0});
    EXPECT_TRUE(drop_nodes()->isEmpty());
    select_nodes({1});
    EXPECT_EQ(drop_nodes()->size(), 3) << "the inner group alone is a bus of two";
}

TEST_F(canvas_drop_test, palette_entries_make_their_kinds_stacked_by_height)
{
    open(write_document(bus_and_node));
    SEDQ_OPERATOR_WIDGET palette(nullptr);
    QStandardItemModel* model = palette.get_model();
    QItemSelectionModel* selection = palette.get_tree_view()->selectionModel();
    const struct
    {
        const char* name;
        std::vector<std::pair<int, int>> picked; // (top row, child; -1 the row itself)
        std::vector<made> expected;
    } rows[] = {
        {"a category alone gives all its entries",
         {{2, -1}},
         {{SEDQ_OBJECT::COMPARISON_OPERATOR, 0}, {SEDQ_OBJECT::COMPARISON_OPERATOR, 110},
          {SEDQ_OBJECT::COMPARISON_OPERATOR, 220}, {SEDQ_OBJECT::COMPARISON_OPERATOR, 330},
          {SEDQ_OBJECT::COMPARISON_OPERATOR, 440}, {SEDQ_OBJECT::COMPARISON_OPERATOR, 550}}},
        {"input objects are short", {{1, -1}},
         {{SEDQ_OBJECT::BIT_VALUE, 0}, {SEDQ_OBJECT::BUS_VALUE, 30}, {SEDQ_OBJECT::BUS, 60}}},
        {"a category with a picked entry gives that one", {{4, -1}, {4, 1}}, {{SEDQ_OBJECT::LOGICAL_OPERATOR, 0}}},
        {"an entry row without children", {{7, -1}, {0, -1}},
         {{SEDQ_OBJECT::EDGE_LEVEL_DETECTOR, 0}, {SEDQ_OBJECT::CUSTOM_TRIGGER_HDL, 110}}},
        {"entries of an unselected category", {{6, 1}, {3, 0}},
         {{SEDQ_OBJECT::BITWISE_OPERATOR, 0}, {SEDQ_OBJECT::SHIFT_OPERATOR, 110}}},
    };
    for (const auto& row : rows)
    {
        selection->clearSelection();
        for (const auto& pick : row.picked)
        {
            QStandardItem* item = model->item(pick.first);
            selection->select((pick.second < 0 ? item : item->child(pick.second))->index(),
                              QItemSelectionModel::Select);
        }
        qDeleteAll(m_list);
        m_list.clear();
        canvas()->clone_operator_tree(&m_list, palette.get_tree_view());
        ASSERT_EQ(m_list.size(), int(row.expected.size())) << row.name;
        for (size_t i = 0; i < row.expected.size(); ++i)
        {
            const SEDQ_OBJECT* object = m_list[int(i)];
            EXPECT_EQ(object->get_type(), row.expected[i].kind) << row.name << " #" << i;
            EXPECT_EQ(object->get_rect().top(), row.expected[i].top) << row.name << " #" << i;
            EXPECT_EQ(object->get_property()[SEDQ_PROPERTY::SELECTED], 1) << row.name;
            EXPECT_EQ(object->get_property()[SEDQ_PROPERTY::EXPANDED], 1) << row.name;
            EXPECT_TRUE(canvas()->is_own(object)) << row.name;
        }
    }
}

// The gestures of the canvas's own drag; drags from elsewhere go through real events below.
TEST(canvas_drop_rule, the_answer_follows_the_source_the_target_and_the_gesture)
{
    using S = SEDQ_DRAG_SOURCE;
    const auto state = [](S source, bool target, bool free) {
        SEDQ_DROP_STATE s;
        s.proposed = Qt::CopyAction;
        s.source = source;
        s.has_target = target;
        s.target_free = free;
        return s;
    };
    SEDQ_DROP_STATE locked = state(S::PALETTE, false, false);
    locked.locked = true;
    SEDQ_DROP_STATE disabled = state(S::NODE_VIEW, false, false);
    disabled.disabled = true;
    SEDQ_DROP_STATE nothing = state(S::PALETTE, false, false);
    nothing.proposed = Qt::IgnoreAction;
    SEDQ_DROP_STATE ctrl = state(S::CANVAS, true, true);
    ctrl.moving = ctrl.ctrl = true;
    SEDQ_DROP_STATE move = state(S::CANVAS, false, false);
    move.moving = true;
    SEDQ_DROP_STATE onto_other = state(S::CANVAS, true, true);
    onto_other.moving = onto_other.target_stays = true;
    SEDQ_DROP_STATE onto_dragged = state(S::CANVAS, true, true);
    onto_dragged.moving = true;
    const struct
    {
        const char* name;
        SEDQ_DROP_STATE state;
        Qt::DropAction action;
        bool select_target;
    } rows[] = {
        {"a palette entry onto empty canvas", state(S::PALETTE, false, false), Qt::CopyAction, true},
        {"nodes onto a free object", state(S::NODE_VIEW, true, true), Qt::LinkAction, true},
        {"nodes onto a full object", state(S::NODE_VIEW, true, false), Qt::IgnoreAction, false},
        {"a foreign drag, whatever the clipboard holds", state(S::FOREIGN, false, false), Qt::IgnoreAction, false},
        {"locked", locked, Qt::IgnoreAction, false},
        {"disabled", disabled, Qt::IgnoreAction, false},
        {"nothing proposed", nothing, Qt::IgnoreAction, false},
        {"own drag with Ctrl", ctrl, Qt::CopyAction, true},
        {"own drag onto empty canvas", move, Qt::MoveAction, false},
        {"own drag onto an object that stays", onto_other, Qt::LinkAction, true},
        {"own drag onto a dragged object", onto_dragged, Qt::IgnoreAction, false},
    };
    for (const auto& row : rows)
    {
        const SEDQ_DROP_ANSWER answer = sedq_drop_answer(row.state);
        EXPECT_EQ(answer.action, row.action) << row.name;
        EXPECT_EQ(answer.select_target, row.select_target) << row.name;
    }
}

// Only the title band and the bars refuse; an edge scrolls only while its bar can move.
TEST(canvas_drop_rule, a_drag_near_an_edge_that_can_scroll_scrolls_one_step)
{
    SEDQ_DRAG_VIEW view;
    view.size = QSize(400, 300);
    view.vertical_bar_width = 16;
    view.horizontal_bar_height = 16;
    view.can_scroll_down = view.can_scroll_right = true;
    const struct
    {
        const char* name;
        QPoint position;
        bool inside;
        int dx, dy;
    } rows[] = {
        {"the middle", {200, 150}, true, 0, 0},
        {"on the vertical bar", {390, 150}, false, 0, 0},
        {"near the bottom right corner", {380, 280}, true, 1, 1},
        {"near the left edge, already at the start", {3, 150}, true, 0, 0},
    };
    for (const auto& row : rows)
    {
        const SEDQ_DRAG_SCROLL scroll = sedq_drag_scroll(row.position, view);
        EXPECT_EQ(scroll.inside, row.inside) << row.name;
        EXPECT_EQ(scroll.dx, row.dx) << row.name;
        EXPECT_EQ(scroll.dy, row.dy) << row.name;
    }
    view.can_scroll_left = view.can_scroll_up = true;
    const SEDQ_DRAG_SCROLL scroll = sedq_drag_scroll(QPoint(3, 25), view);
    EXPECT_EQ(scroll.dx, -1);
    EXPECT_EQ(scroll.dy, -1);
}

namespace
{
struct drag_answer
{
    Qt::DropAction action;
    bool accepted;
};

// A canvas showing level 0's condition, its Result object far to the right so that the
// drawing is wider than the canvas.
class canvas_drag_test : public canvas_drop_test
{
protected:
    void SetUp() override
    {
        canvas_drop_test::SetUp();
        open(write_document(
            [](SDR_DATA_SESSION& s)
            {
                bus_and_node(s);
                trigger_of(s)->edit_transient().levels[0].type = SDR_LTYPE_ADVANCED;
            }));
        tabs()->setCurrentIndex(2);
        settle();
        refresh(0x20000100u);
        ASSERT_NE(canvas()->get_object_list(), nullptr);
        // The canvas gives the shown condition its Result.
        ASSERT_GE(sedq_get_object_index(canvas()->get_object_list(), SEDQ_OBJECT::LEVEL_RESULT), 0);
        result()->move(2500, 200);
        canvas()->resize(800, 600);
        // The application delivers drag events only to a widget that takes drops.
        canvas()->setAcceptDrops(true);
        refresh(0x100u);
    }

    void TearDown() override
    {
        standin::afcq::set_drag_handler(nullptr);
        canvas_drop_test::TearDown();
    }

    // One drag event at a widget position, as the canvas answers it.
    drag_answer over(QEvent::Type type, QPoint position, const QMimeData& data,
                     Qt::KeyboardModifiers keys = Qt::NoModifier)
    {
        const Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;
        std::unique_ptr<QDragMoveEvent> event;
        if (type == QEvent::DragEnter)
            event = std::make_unique<QDragEnterEvent>(position, actions, &data, Qt::LeftButton, keys);
        else
            event = std::make_unique<QDragMoveEvent>(position, actions, &data, Qt::LeftButton, keys);
        QApplication::sendEvent(canvas(), event.get());
        return {event->dropAction(), event->isAccepted()};
    }

    // Runs a drag from `source` through the host; `during` stands for the events a real drag
    // delivers while it runs. The application hands moves only to the widget that took the
    // drag's entry, and every drag ends with a leave.
    void drag_from(QObject* source, QMimeData* data, const std::function<void()>& during)
    {
        standin::afcq::set_drag_handler([&](QDrag*, Qt::DropActions) {
            during();
            QDragLeaveEvent leave;
            QApplication::sendEvent(canvas(), &leave);
            return Qt::IgnoreAction;
        });
        auto* drag = new QDrag(source);
        drag->setMimeData(data);
        afcq_exec_drag(drag, Qt::CopyAction | Qt::MoveAction, Qt::CopyAction);
        standin::afcq::set_drag_handler(nullptr);
    }

    // The Result as the canvas holds it now: a refresh reads the condition anew.
    SEDQ_OBJECT* result()
    {
        QList<SEDQ_OBJECT*>* list = canvas()->get_object_list();
        return list->at(sedq_get_object_index(list, SEDQ_OBJECT::LEVEL_RESULT));
    }

    QPoint result_centre()
    {
        QRect box = result()->get_rect();
        canvas()->zoom_to_client(&box);
        return box.center();
    }
};

QMimeData* node_data()
{
    auto* data = new QMimeData;
    data->setData(QStringLiteral("SEDQ_NODE_CLIPBOARD_FORMAT"), QByteArray());
    return data;
}
} // namespace

TEST_F(canvas_drag_test, nodes_and_palette_entries_are_taken_and_anything_else_refused)
{
    result()->move(500, 200);
    refresh(0x100u);
    const QPoint empty(100, 300);
    ASSERT_LT(empty.x(), result_centre().x() - 100);
    drag_from(view(), node_data(), [&] {
        const drag_answer answer = over(QEvent::DragEnter, empty, *node_data());
        EXPECT_TRUE(answer.accepted) << "nodes of this window's view onto empty canvas";
        EXPECT_EQ(answer.action, Qt::CopyAction);
        const drag_answer onto = over(QEvent::DragMove, result_centre(), *node_data());
        EXPECT_EQ(onto.action, Qt::LinkAction) << "onto the free Result";
        EXPECT_EQ(canvas()->get_selected_item(), result());
    });
    SEDQ_OPERATOR_WIDGET palette(nullptr);
    drag_from(palette.get_tree_view(), new QMimeData, [&] {
        EXPECT_TRUE(over(QEvent::DragEnter, empty, QMimeData()).accepted) << "a palette entry";
    });

    std::unique_ptr<QMimeData> nodes(node_data());
    QMimeData text;
    text.setText(QStringLiteral("top|x"));
    EXPECT_FALSE(over(QEvent::DragEnter, empty, *nodes).accepted) << "nodes with no source: another application";
    EXPECT_FALSE(over(QEvent::DragEnter, empty, text).accepted) << "text from another application";
    EXPECT_EQ(canvas()->get_selection_count(), 0) << "a refusal clears the selection";
    SEDQ_VIEW other_window(nullptr, tx());
    drag_from(&other_window, node_data(), [&] {
        EXPECT_FALSE(over(QEvent::DragEnter, empty, *nodes).accepted) << "nodes from a view outside this window";
    });
    tx()->set_lock_mode(SEDQ_LOCK_MODE_ALLOW_INCREMENTAL, false);
    drag_from(view(), node_data(), [&] {
        EXPECT_FALSE(over(QEvent::DragEnter, empty, *nodes).accepted) << "locked";
    });
}

// Both the position and the area are widget pixels at every zoom: the right edge scrolls, and
// the drawing right under the title takes drops.
TEST_F(canvas_drag_test, a_drag_near_the_right_edge_scrolls_at_every_zoom)
{
    SEDQ_OPERATOR_WIDGET palette(nullptr);
    for (int level : {5, 10, 40})
    {
        canvas()->set_zoom_positions(level);
        QScrollBar* bar = canvas()->get_horizontal_scroll_bar();
        bar->setValue(bar->minimum());
        ASSERT_LT(bar->value(), bar->maximum()) << level;
        const int right = canvas()->width() - 1 -
                          (canvas()->get_vertical_scroll_bar()->isVisible() ? canvas()->get_vertical_scroll_bar()->width() : 0);
        drag_from(palette.get_tree_view(), new QMimeData, [&] {
            ASSERT_TRUE(over(QEvent::DragEnter, QPoint(400, 300), QMimeData()).accepted) << level;
            const int before = bar->value();
            const drag_answer edge = over(QEvent::DragMove, QPoint(right - 3, 300), QMimeData());
            EXPECT_TRUE(edge.accepted) << level;
            EXPECT_EQ(bar->value(), before + 1) << level;
            EXPECT_TRUE(over(QEvent::DragMove, QPoint(400, 50), QMimeData()).accepted) << "below the title, " << level;
            EXPECT_FALSE(over(QEvent::DragMove, QPoint(400, 10), QMimeData()).accepted) << "the title, " << level;
        });
    }
}

namespace
{
// Drops on the canvas, delivered from inside the drag the way the application does.
class canvas_dropping_test : public canvas_drag_test
{
protected:
    // Enters at the position, then drops there; the drop's answer.
    drag_answer drop(QPoint position, const QMimeData& data, Qt::KeyboardModifiers keys = Qt::NoModifier)
    {
        over(QEvent::DragEnter, position, data, keys);
        const Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;
        QDropEvent event(position, actions, &data, Qt::LeftButton, keys);
        QApplication::sendEvent(canvas(), &event);
        return {event.dropAction(), event.isAccepted()};
    }

    QList<SEDQ_OBJECT*> of_kind(SEDQ_OBJECT::SEDQ_OBJECT_TYPE kind)
    {
        QList<SEDQ_OBJECT*> found;
        for (SEDQ_OBJECT* object : *canvas()->get_object_list())
            if (object->get_type() == kind)
                found.append(object);
        return found;
    }

    // The loose node "top|x" dropped onto empty canvas.
    SEDQ_OBJECT* drop_loose_node(QPoint position)
    {
        select_nodes({17});
        drag_from(view(), node_data(), [&] { EXPECT_TRUE(drop(position, *node_data()).accepted); });
        const QList<SEDQ_OBJECT*> nodes = of_kind(SEDQ_OBJECT::NODE);
        return nodes.isEmpty() ? nullptr : nodes.back();
    }

    QPoint centre_of(const SEDQ_OBJECT* object)
    {
        QRect box = object->get_rect();
        canvas()->zoom_to_client(&box);
        return box.center();
    }
};
} // namespace

TEST_F(canvas_dropping_test, dropped_nodes_and_palette_entries_join_the_object_under_the_drop)
{
    result()->move(500, 200);
    refresh(0x100u);
    select_nodes({17});
    drag_from(view(), node_data(), [&] { EXPECT_TRUE(drop(result_centre(), *node_data()).accepted); });
    ASSERT_EQ(result()->get_children().size(), 1) << "the node is wired into the Result it was dropped on";
    EXPECT_EQ(result()->get_children().front()->get_name(), QStringLiteral("top|x"));

    SEDQ_OPERATOR_WIDGET palette(nullptr);
    palette.get_tree_view()->selectionModel()->select(palette.get_model()->item(4)->child(1)->index(),
                                                      QItemSelectionModel::Select);
    drag_from(palette.get_tree_view(), new QMimeData, [&] { EXPECT_TRUE(drop(QPoint(100, 300), QMimeData()).accepted); });
    const QList<SEDQ_OBJECT*> made = of_kind(SEDQ_OBJECT::LOGICAL_OPERATOR);
    ASSERT_EQ(made.size(), 1) << "the palette's Logical And";
    EXPECT_TRUE(made.front()->is_root()) << "dropped onto empty canvas";
    EXPECT_GT(canvas()->get_undo_position(), 0) << "a drop is one undo step";
}

// Foreign drops are refused even when the application delivers them: nothing changes.
TEST_F(canvas_dropping_test, a_foreign_drop_changes_nothing_even_over_a_full_clipboard)
{
    ASSERT_NE(drop_loose_node(QPoint(100, 300)), nullptr);
    ASSERT_FALSE(canvas()->get_clipboard().isEmpty());
    const int before = canvas()->get_object_list()->size();
    std::unique_ptr<QMimeData> nodes(node_data());
    QMimeData text;
    text.setText(QStringLiteral("top|x"));
    SEDQ_VIEW other_window(nullptr, tx());
    const struct
    {
        const char* name;
        QObject* source;
        const QMimeData* data;
    } rows[] = {
        {"nodes from another application", nullptr, nodes.get()},
        {"text from another application", nullptr, &text},
        {"nodes from another window's view", &other_window, nodes.get()},
    };
    for (const auto& row : rows)
    {
        const auto deliver = [&] { EXPECT_FALSE(drop(QPoint(300, 300), *row.data).accepted) << row.name; };
        if (row.source == nullptr)
            deliver();
        else
            drag_from(row.source, node_data(), deliver);
        EXPECT_EQ(canvas()->get_object_list()->size(), before) << row.name;
    }
    tx()->set_lock_mode(SEDQ_LOCK_MODE_ALLOW_INCREMENTAL, false);
    drag_from(view(), node_data(), [&] { EXPECT_FALSE(drop(QPoint(300, 300), *nodes).accepted); });
    EXPECT_EQ(canvas()->get_object_list()->size(), before) << "locked";
}

// The canvas drags its selection out with Shift or Ctrl held; Ctrl leaves it, Shift takes it.
TEST_F(canvas_dropping_test, a_ctrl_drag_copies_and_a_shift_drag_moves)
{
    const struct
    {
        const char* name;
        Qt::KeyboardModifier key;
        int nodes_after;
    } rows[] = {{"Ctrl copies", Qt::ControlModifier, 2}, {"Shift moves", Qt::ShiftModifier, 1}};
    for (const auto& row : rows)
    {
        for (SEDQ_OBJECT* node : of_kind(SEDQ_OBJECT::NODE))
            node->select(true, false, false);
        canvas()->on_edit_delete();
        SEDQ_OBJECT* node = drop_loose_node(QPoint(100, 300));
        ASSERT_NE(node, nullptr) << row.name;
        const QPoint from = centre_of(node) - QPoint(20, 0);
        QMouseEvent hover(QEvent::MouseMove, from, Qt::NoButton, Qt::NoButton, row.key);
        QApplication::sendEvent(canvas(), &hover);
        ASSERT_EQ(SEDQ_OBJECT_WIDGET::m_object_widget_cursor, Qt::ArrowCursor) << row.name;
        standin::afcq::set_drag_handler([&](QDrag* drag, Qt::DropActions) {
            EXPECT_EQ(drag->source(), canvas()) << row.name;
            EXPECT_TRUE(drop(QPoint(400, 450), *drag->mimeData(), row.key).accepted) << row.name;
            return Qt::CopyAction;
        });
        QMouseEvent press(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton, row.key);
        QApplication::sendEvent(canvas(), &press);
        standin::afcq::set_drag_handler(nullptr);
        EXPECT_EQ(of_kind(SEDQ_OBJECT::NODE).size(), row.nodes_after) << row.name;
        QPoint now = of_kind(SEDQ_OBJECT::NODE).back()->get_rect().center();
        QRect box(now, now);
        canvas()->zoom_to_client(&box);
        EXPECT_GT(box.center().y(), 400) << "the dropped copy stands at the drop, " << row.name;
    }
}

namespace
{
// The mouse and the keys on a canvas holding the Result and loose nodes.
class canvas_mouse_test : public canvas_dropping_test
{
protected:
    void mouse(QEvent::Type type, QPoint at, Qt::MouseButtons held, Qt::KeyboardModifiers keys = Qt::NoModifier)
    {
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, at, button, held, keys);
        QApplication::sendEvent(canvas(), &event);
    }

    // Hover (the cursor rule picks the gesture), press, move and release.
    void gesture(QPoint from, QPoint to, Qt::KeyboardModifiers keys = Qt::NoModifier)
    {
        canvas()->setFocus();
        mouse(QEvent::MouseMove, from, Qt::NoButton, keys);
        mouse(QEvent::MouseButtonPress, from, Qt::LeftButton, keys);
        mouse(QEvent::MouseMove, (from + to) / 2, Qt::LeftButton, keys);
        mouse(QEvent::MouseMove, to, Qt::LeftButton, keys);
        mouse(QEvent::MouseButtonRelease, to, Qt::NoButton, keys);
    }

    void key(int code, Qt::KeyboardModifiers keys = Qt::NoModifier)
    {
        QKeyEvent event(QEvent::KeyPress, code, keys);
        QApplication::sendEvent(canvas(), &event);
    }

    bool is_selected(SEDQ_OBJECT* object) { return object->is_selected(); }
};
} // namespace

TEST_F(canvas_mouse_test, a_click_selects_and_a_ctrl_rubber_band_inverts)
{
    result()->move(500, 200);
    refresh(0x100u);
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
    refresh(0x100u);
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

TEST_F(canvas_mouse_test, keys_run_their_commands_under_their_conditions)
{
    result()->move(500, 200);
    refresh(0x100u);
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
    EXPECT_TRUE(of_kind(SEDQ_OBJECT::NODE).isEmpty()) << "Delete deletes under lock mode 2";
    EXPECT_EQ(of_kind(SEDQ_OBJECT::LEVEL_RESULT).size(), 1) << "the Result stays";
}

TEST_F(canvas_mouse_test, the_tooltip_says_what_a_double_click_does_or_that_the_level_is_off)
{
    result()->move(500, 200);
    refresh(0x100u);
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
    refresh(0x100u);
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
        const size_t dialogs = standin::qui::unanswered_dialogs().size();
        canvas()->setFocus();
        key(row.key, row.keys);
        const QList<SEDQ_OBJECT*> nodes = of_kind(SEDQ_OBJECT::NODE);
        const key_effect after{int(nodes.size()), !nodes.isEmpty() && nodes.front()->get_parent() == result(),
                               result()->is_expanded(), standin::qui::unanswered_dialogs().size() - dialogs};
        EXPECT_EQ(after, row.after) << row.name;
    }
}
