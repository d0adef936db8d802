// What a drop on the canvas makes: Node and Bus objects from the nodes selected in the node
// view, and objects of the kinds named by the entries selected in the object library, stacked
// in a list of their own for the paste; which drags the canvas takes, and what their drops do.
#include "sedq_object_widget_canvas_test_support.h"

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


TEST_F(canvas_drag_test, nodes_and_palette_entries_are_taken_and_anything_else_refused)
{
    result()->move(500, 200);
    refresh(SEDQ_UPDATE_TRIGGER_CANVAS);
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
            const int header = canvas()->get_header_height();
            EXPECT_TRUE(over(QEvent::DragMove, QPoint(400, header + 20), QMimeData()).accepted)
                << "below the listing, " << level;
            EXPECT_FALSE(over(QEvent::DragMove, QPoint(400, header - 5), QMimeData()).accepted)
                << "the listing, " << level;
            EXPECT_FALSE(over(QEvent::DragMove, QPoint(400, 10), QMimeData()).accepted) << "the title, " << level;
        });
    }
}


TEST_F(canvas_dropping_test, dropped_nodes_and_palette_entries_join_the_object_under_the_drop)
{
    result()->move(500, 200);
    refresh(SEDQ_UPDATE_TRIGGER_CANVAS);
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

// The entries of a palette category dropped onto empty canvas stand where they were dropped,
// the first at the drop point and each next one its height and 10 below; nothing else moves,
// though every new root adds a line to the listing.
TEST_F(canvas_dropping_test, a_dropped_category_stacks_its_entries_110_apart_from_the_drop_point)
{
    result()->move(500, 200);
    refresh(SEDQ_UPDATE_TRIGGER_CANVAS);
    const int header = canvas()->get_header_height();
    for (const QPoint at : {QPoint(100, header + 30), QPoint(240, 300)})
    {
        SEDQ_OPERATOR_WIDGET palette(nullptr);
        palette.get_tree_view()->selectionModel()->select(palette.get_model()->item(2)->index(),
                                                          QItemSelectionModel::ClearAndSelect);
        const int made_before = of_kind(SEDQ_OBJECT::COMPARISON_OPERATOR).size();
        drag_from(palette.get_tree_view(), new QMimeData, [&] { EXPECT_TRUE(drop(at, QMimeData()).accepted); });
        const QList<SEDQ_OBJECT*> made = of_kind(SEDQ_OBJECT::COMPARISON_OPERATOR).mid(made_before);
        ASSERT_EQ(made.size(), 6) << at.y();
        QPoint first = at;
        canvas()->client_to_zoom(&first);
        for (int i = 0; i < made.size(); ++i)
            EXPECT_EQ(made[i]->get_rect().topLeft(), first + QPoint(0, 110 * i)) << "drop at " << at.y() << ", #" << i;
        EXPECT_EQ(result()->get_rect().topLeft(), QPoint(500, 200)) << "drop at " << at.y();
    }
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
