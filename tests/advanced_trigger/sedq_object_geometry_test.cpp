// Box geometry of advanced trigger objects and the two automatic layouts: box sizes, the
// points and rectangles lines and the mouse use, hit testing, and where the tidy tree and the
// schematic layout put a tree.
#include "sedq/advanced_trigger/sedq_object.h"
#include "sedq_object_test_support.h"

#include <gtest/gtest.h>

namespace
{
class object_geometry_test : public ::testing::Test
{
protected:
    SEDQ_OBJECT* place(SEDQ_OBJECT::SEDQ_OBJECT_TYPE type, int left, int top, SEDQ_OBJECT* parent = nullptr)
    {
        SEDQ_OBJECT* object = m_tree.add(type, parent);
        object->move(left, top);
        object->get_property().set(SEDQ_PROPERTY::EXPANDED, 1);
        return object;
    }
    SEDQ_OBJECT* place_library(SEDQ_OBJECT::SEDQ_LIBRARY_TYPE type, int left, int top,
                               SEDQ_OBJECT* parent = nullptr)
    {
        SEDQ_OBJECT* object = place(SEDQ_OBJECT::UNKNOWN, left, top, parent);
        object->set_library_type(type);
        return object;
    }
    static QPoint top_left(const SEDQ_OBJECT* object) { return object->get_rect().topLeft(); }

    sedq_object_tree m_tree;
};
} // namespace

TEST_F(object_geometry_test, box_size_tails_and_head_follow_the_kind)
{
    SEDQ_OBJECT* delayed = place(SEDQ_OBJECT::NODE, 0, 0);
    delayed->get_property().set(SEDQ_PROPERTY::DATA_DELAY, 2);
    const struct
    {
        const char* name;
        SEDQ_OBJECT* object;
        int height;
        int upper, middle, lower;
    } rows[] = {
        {"node", place(SEDQ_OBJECT::NODE, 40, 10), 20, 8, 10, 12},
        {"result", place(SEDQ_OBJECT::LEVEL_RESULT, 40, 10), 20, 8, 10, 12},
        {"node with a data delay", delayed, 33, 13, 16, 21},
        {"comparison", place(SEDQ_OBJECT::COMPARISON_OPERATOR, 40, 10), 100, 35, 50, 65},
    };
    for (const auto& row : rows)
    {
        const QRect box = row.object->get_rect();
        EXPECT_EQ(row.object->get_height(), row.height) << row.name;
        EXPECT_EQ(box.height(), row.height + 1) << row.name;
        EXPECT_EQ(box.right(), box.left() + 100) << row.name;
        EXPECT_EQ(row.object->get_head(), QPoint(box.left() + 100, box.top() + row.height / 2)) << row.name;
        EXPECT_EQ(row.object->get_tail(SEDQ_OBJECT::UPPER_PORT).y() - box.top(), row.upper) << row.name;
        EXPECT_EQ(row.object->get_tail(SEDQ_OBJECT::MIDDLE_PORT).y() - box.top(), row.middle) << row.name;
        EXPECT_EQ(row.object->get_tail(SEDQ_OBJECT::LOWER_PORT).y() - box.top(), row.lower) << row.name;
        EXPECT_EQ(row.object->get_tail(0), QPoint(box.left(), box.top() + row.height)) << row.name;
    }
}

TEST_F(object_geometry_test, ports_and_expand_box_grow_with_inputs_parent_and_bus_output)
{
    SEDQ_OBJECT* bus = place(SEDQ_OBJECT::BUS, 200, 0);
    SEDQ_OBJECT* node = place(SEDQ_OBJECT::NODE, 70, 0, bus);
    SEDQ_OBJECT* root_node = place(SEDQ_OBJECT::NODE, 0, 300);
    QRect rect;
    bus->get_input_port(&rect, SEDQ_OBJECT::MIDDLE_PORT);
    EXPECT_EQ(rect, QRect(QPoint(180, 5), QPoint(200, 15))) << "with inputs the port reaches past their lines";
    node->get_input_port(&rect, SEDQ_OBJECT::MIDDLE_PORT);
    EXPECT_EQ(rect, QRect(QPoint(59, 5), QPoint(70, 15)));
    root_node->get_output_port(&rect);
    EXPECT_EQ(rect, QRect(QPoint(90, 305), QPoint(107, 315))) << "root bit output";
    node->get_output_port(&rect);
    EXPECT_EQ(rect.right(), 170 + 15) << "an output with a parent reaches to its line";
    bus->get_output_port(&rect);
    EXPECT_EQ(rect.right(), 300 + 7 + 9) << "a bus output is wider";
    bus->get_expand_box(&rect);
    EXPECT_EQ(rect, QRect(QPoint(205, 6), QPoint(214, 15)));
    bus->get_property().set(SEDQ_PROPERTY::DATA_DELAY, 1);
    bus->get_expand_box(&rect);
    EXPECT_EQ(rect.top(), 12) << "a 33-high box has its expand box lower";
    node->get_expand_box(&rect);
    EXPECT_TRUE(rect.isNull());
}

TEST_F(object_geometry_test, hit_test_covers_box_output_and_live_input_ports)
{
    SEDQ_OBJECT* comparison = place(SEDQ_OBJECT::COMPARISON_OPERATOR, 200, 0);
    SEDQ_OBJECT* input = place(SEDQ_OBJECT::BUS, 70, 0, comparison);
    const struct
    {
        const char* name;
        QPoint point;
        bool collapsed;
        bool hit;
    } rows[] = {
        {"right edge column", {300, 50}, false, true},
        {"right of the box in the output port", {306, 50}, false, true},
        {"past the output port", {309, 50}, false, false},
        {"upper input port", {185, 35}, false, true},
        {"middle is no port of a two-input object", {185, 50}, false, false},
        {"input port of a collapsed object is dead", {185, 35}, true, false},
        {"above the box", {250, -2}, false, false},
    };
    for (const auto& row : rows)
    {
        comparison->get_property().set(SEDQ_PROPERTY::EXPANDED, row.collapsed ? 0 : 1);
        EXPECT_EQ(comparison->hit_test(row.point), row.hit) << row.name;
    }
    EXPECT_TRUE(input->hit_test(QPoint(100, 10)));
    comparison->get_property().set(SEDQ_PROPERTY::EXPANDED, 0);
    EXPECT_FALSE(input->hit_test(QPoint(100, 10))) << "hidden inside a collapsed parent";
}

TEST_F(object_geometry_test, dragging_moves_the_subtree_and_hides_nothing_it_carries)
{
    SEDQ_OBJECT* bus = place(SEDQ_OBJECT::BUS, 200, 0);
    SEDQ_OBJECT* node = place(SEDQ_OBJECT::NODE, 70, 0, bus);
    bus->get_property().set(SEDQ_PROPERTY::EXPANDED, 0);
    bus->start_drag(QPoint(210, 5));
    EXPECT_FALSE(node->is_hidden()) << "a dragged object is never hidden";
    bus->on_mouse_move(QPoint(310, 105));
    node->on_mouse_move(QPoint(310, 105));
    EXPECT_EQ(top_left(bus), QPoint(300, 100));
    EXPECT_EQ(top_left(node), QPoint(170, 100));
    bus->end_drag();
    node->end_drag();
    EXPECT_TRUE(node->is_hidden());
    bus->move(QPoint(-100, -100));
    EXPECT_EQ(top_left(node), QPoint(70, 0)) << "move by a delta carries the subtree";
}

TEST_F(object_geometry_test, tidy_layout_centres_inputs_on_the_port_they_feed)
{
    SEDQ_OBJECT* logical = place_library(SEDQ_OBJECT::LIBRARY_LOGICAL_AND, 500, 0);
    SEDQ_OBJECT* a = place(SEDQ_OBJECT::NODE, 0, 0, logical);
    SEDQ_OBJECT* b = place(SEDQ_OBJECT::NODE, 0, 0, logical);
    logical->arrange();
    EXPECT_EQ(top_left(a), QPoint(370, 25));
    EXPECT_EQ(top_left(b), QPoint(370, 55));

    SEDQ_OBJECT* comparison = place_library(SEDQ_OBJECT::LIBRARY_EQUALITY, 500, 0);
    SEDQ_OBJECT* only = place(SEDQ_OBJECT::BUS, 0, 0, comparison);
    for (const auto& row : {std::pair<int, int>{0, 25}, {1, 55}})
    {
        comparison->get_property().set(SEDQ_PROPERTY::FIRST_PORT_EMPTY, row.first);
        comparison->arrange();
        EXPECT_EQ(top_left(only), QPoint(370, row.second)) << "first_port_empty " << row.first;
    }
    comparison->get_property().set(SEDQ_PROPERTY::EXPANDED, 0);
    only->move(1, 2);
    comparison->arrange();
    EXPECT_EQ(top_left(only), QPoint(1, 2)) << "a collapsed object is not arranged";
}

// Two deep siblings whose inputs would overlap are pushed apart to the gap at every level: with
// the four leaves right below them, and at the end of chains deeper than an outline holds in
// place.
TEST_F(object_geometry_test, tidy_layout_keeps_sibling_subtrees_apart_at_every_depth)
{
    for (const int chain : {0, SEDQ_OUTLINE::HELD_LEVELS + 3})
    {
        SEDQ_OBJECT* root = place_library(SEDQ_OBJECT::LIBRARY_LOGICAL_OR, 1000, 0);
        SEDQ_OBJECT* first = place_library(SEDQ_OBJECT::LIBRARY_LOGICAL_AND, 0, 0, root);
        SEDQ_OBJECT* second = place_library(SEDQ_OBJECT::LIBRARY_LOGICAL_AND, 0, 0, root);
        for (SEDQ_OBJECT* parent : {first, second})
        {
            for (int k = 0; k < chain; ++k)
                parent = place_library(SEDQ_OBJECT::LIBRARY_LOGICAL_AND, 0, 0, parent);
            for (int i = 0; i < 4; ++i)
                place(SEDQ_OBJECT::NODE, 0, 0, parent);
        }
        root->arrange();
        SEDQ_OUTLINE upper;
        SEDQ_OUTLINE lower;
        first->get_outline(&upper);
        second->get_outline(&lower);
        const int levels = chain + 2;
        ASSERT_EQ(upper.size(), levels) << "chain " << chain;
        ASSERT_EQ(lower.size(), levels) << "chain " << chain;
        for (int level = 0; level < levels; ++level)
            EXPECT_GE(lower.m_top_array[level] - upper.m_bottom_array[level], 10)
                << "chain " << chain << " level " << level;
        EXPECT_EQ(lower.m_top_array[levels - 1] - upper.m_bottom_array[levels - 1], 10)
            << "chain " << chain << ": the deepest level decides the push";
        const int middle = (first->get_head().y() + second->get_head().y()) / 2;
        EXPECT_NEAR(middle, root->get_tail(SEDQ_OBJECT::MIDDLE_PORT).y(), 1)
            << "chain " << chain << ": the group stays centred";
    }
}

TEST_F(object_geometry_test, schematic_layout_puts_leaves_in_one_column_and_keeps_the_root)
{
    SEDQ_OBJECT* root = place_library(SEDQ_OBJECT::LIBRARY_LOGICAL_OR, 800, 400);
    SEDQ_OBJECT* inner = place_library(SEDQ_OBJECT::LIBRARY_LOGICAL_AND, 0, 0, root);
    SEDQ_OBJECT* a = place(SEDQ_OBJECT::NODE, 5, 5, inner);
    SEDQ_OBJECT* b = place(SEDQ_OBJECT::NODE, 5, 5, inner);
    SEDQ_OBJECT* c = place(SEDQ_OBJECT::NODE, 5, 5, root);
    inner->get_property().set(SEDQ_PROPERTY::EXPANDED, 0);
    root->arrange_schematic();
    EXPECT_EQ(top_left(root), QPoint(800, 400));
    EXPECT_EQ(a->get_rect().left(), b->get_rect().left()) << "collapsed inputs are placed too";
    EXPECT_EQ(a->get_rect().left(), c->get_rect().left());
    EXPECT_EQ(b->get_rect().top() - a->get_rect().top(), 30);
    EXPECT_EQ(c->get_rect().top() - b->get_rect().top(), 30);
    EXPECT_EQ(inner->get_rect().left(), a->get_head().x() + 30);
    EXPECT_EQ(root->get_rect().left(), inner->get_head().x() + 30);
    EXPECT_EQ(inner->get_rect().top(), (a->get_head().y() + b->get_head().y()) / 2 - 50);

    SEDQ_OBJECT* leaf = place(SEDQ_OBJECT::NODE, 33, 44);
    leaf->arrange_schematic();
    EXPECT_EQ(top_left(leaf), QPoint(33, 44));
}

TEST_F(object_geometry_test, a_dragged_output_connects_only_to_a_free_input_it_meets)
{
    SEDQ_OBJECT* logical_not = place_library(SEDQ_OBJECT::LIBRARY_LOGICAL_NOT, 200, 0);
    SEDQ_OBJECT* node = place(SEDQ_OBJECT::NODE, 95, 40);
    EXPECT_TRUE(*node == *logical_not);
    node->move(20, 40);
    EXPECT_FALSE(*node == *logical_not) << "too far left";
    node->move(95, 40);
    place(SEDQ_OBJECT::NODE, 0, 0, logical_not);
    EXPECT_FALSE(*node == *logical_not) << "its one input is taken";
}
