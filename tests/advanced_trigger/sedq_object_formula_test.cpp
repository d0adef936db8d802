// What the canvas says about objects in words: the readable formula of the equation line and
// its two layers, the tooltip by cursor shape, and when a collapsed ancestor hides an object.
#include "sedq_object_test_support.h"

#include <gtest/gtest.h>

#include <functional>

namespace
{
using P = SEDQ_PROPERTY;

// Objects made here show their inputs, as the canvas's objects do once expanded.
SEDQ_OBJECT* expanded(sedq_object_tree& tree, SEDQ_OBJECT::SEDQ_OBJECT_TYPE type, SEDQ_OBJECT* parent)
{
    SEDQ_OBJECT* made = tree.add(type, parent);
    made->get_property().set(P::EXPANDED, 1);
    return made;
}

SEDQ_OBJECT* operation(sedq_object_tree& tree, SEDQ_OBJECT::SEDQ_OBJECT_TYPE type, P::SEDQ_INT_PROPERTY property,
                       int value, SEDQ_OBJECT* parent)
{
    SEDQ_OBJECT* made = expanded(tree, type, parent);
    made->get_property().set(property, value);
    return made;
}

SEDQ_OBJECT* node(sedq_object_tree& tree, SEDQ_OBJECT* parent, const char* name)
{
    SEDQ_OBJECT* made = tree.add(SEDQ_OBJECT::NODE, parent);
    made->set_name(name);
    return made;
}

SEDQ_OBJECT* bus_of(sedq_object_tree& tree, SEDQ_OBJECT* parent, std::initializer_list<const char*> names)
{
    SEDQ_OBJECT* bus = expanded(tree, SEDQ_OBJECT::BUS, parent);
    for (const char* name : names)
        node(tree, bus, name);
    return bus;
}

struct FORMULA_CASE
{
    const char* what;
    // Builds the diagram and returns the object whose formula is read.
    std::function<SEDQ_OBJECT*(sedq_object_tree&)> build;
    const char* formula;
};

const FORMULA_CASE FORMULA_CASES[] = {
    {"a looser operator inside a tighter one is enclosed",
     [](sedq_object_tree& t) {
         SEDQ_OBJECT* conjunction = operation(t, SEDQ_OBJECT::LOGICAL_OPERATOR, P::LOGICAL, 1, nullptr);
         SEDQ_OBJECT* disjunction = operation(t, SEDQ_OBJECT::LOGICAL_OPERATOR, P::LOGICAL, 2, conjunction);
         node(t, disjunction, "a");
         node(t, disjunction, "b");
         node(t, conjunction, "c");
         return conjunction;
     },
     "(a||b)&&c"},
    {"a tighter operator inside a looser one is not",
     [](sedq_object_tree& t) {
         SEDQ_OBJECT* disjunction = operation(t, SEDQ_OBJECT::LOGICAL_OPERATOR, P::LOGICAL, 2, nullptr);
         SEDQ_OBJECT* conjunction = operation(t, SEDQ_OBJECT::LOGICAL_OPERATOR, P::LOGICAL, 1, disjunction);
         node(t, conjunction, "a");
         node(t, conjunction, "b");
         node(t, disjunction, "c");
         return disjunction;
     },
     "a&&b||c"},
    {"a collapsed operator shows its box text",
     [](sedq_object_tree& t) {
         SEDQ_OBJECT* conjunction = t.add(SEDQ_OBJECT::LOGICAL_OPERATOR);
         conjunction->get_property().set(P::LOGICAL, 1);
         node(t, conjunction, "a");
         return conjunction;
     },
     "&&"},
    {"an always-true constant comparison reads as True",
     [](sedq_object_tree& t) {
         SEDQ_OBJECT* compare = operation(t, SEDQ_OBJECT::COMPARISON_OPERATOR, P::COMPARISON,
                                          SEDQ_OBJECT::COMPARISON_TRUE, nullptr);
         compare->get_property().set(P::CONFIGURABLE, 1);
         bus_of(t, compare, {"a"});
         bus_of(t, compare, {"b"});
         return compare;
     },
     "True"},
    {"a comparison between its inputs, a bus listed in bit order",
     [](sedq_object_tree& t) {
         SEDQ_OBJECT* compare = operation(t, SEDQ_OBJECT::COMPARISON_OPERATOR, P::COMPARISON,
                                          SEDQ_OBJECT::COMPARISON_LESS_THAN_OR_EQUAL, nullptr);
         bus_of(t, compare, {"a", "b"});
         bus_of(t, compare, {"c", "d"})->get_property().set(P::BIT_ORDER, 1);
         return compare;
     },
     "{a,b}<={d,c}"},
    {"shift: input, symbol, distance",
     [](sedq_object_tree& t) {
         SEDQ_OBJECT* shift = operation(t, SEDQ_OBJECT::SHIFT_OPERATOR, P::SHIFT_DISTANCE, 2, nullptr);
         bus_of(t, shift, {"a", "b", "c"});
         return shift;
     },
     "{a,b,c}<<2"},
    {"detector: its bus as is, then the pattern",
     [](sedq_object_tree& t) {
         SEDQ_OBJECT* detector = expanded(t, SEDQ_OBJECT::EDGE_LEVEL_DETECTOR, nullptr);
         detector->set_pattern("R1");
         bus_of(t, detector, {"a", "b"});
         return detector;
     },
     "ELD({a,b},R1)"},
    {"detector over single bits lists them in braces",
     [](sedq_object_tree& t) {
         SEDQ_OBJECT* detector = expanded(t, SEDQ_OBJECT::EDGE_LEVEL_DETECTOR, nullptr);
         node(t, detector, "a");
         node(t, detector, "b");
         return detector;
     },
     "ELD({a,b})"},
    {"prefix operators and a reduction",
     [](sedq_object_tree& t) {
         SEDQ_OBJECT* negation = operation(t, SEDQ_OBJECT::LOGICAL_OPERATOR, P::LOGICAL, 0, nullptr);
         SEDQ_OBJECT* reduction = operation(t, SEDQ_OBJECT::REDUCTION_OPERATOR, P::REDUCTION, 1, negation);
         SEDQ_OBJECT* complement = operation(t, SEDQ_OBJECT::BITWISE_OPERATOR, P::BITWISE, 0, reduction);
         bus_of(t, complement, {"a", "b"});
         return negation;
     },
     "!(|~{a,b})"},
    {"bus with a data delay",
     [](sedq_object_tree& t) {
         SEDQ_OBJECT* bus = bus_of(t, nullptr, {"a", "b"});
         bus->get_property().set(P::DATA_DELAY, 3);
         return bus;
     },
     "{a,b}@3"},
};

TEST(sedq_object_formula, formula_of_each_kind)
{
    for (const FORMULA_CASE& c : FORMULA_CASES) {
        sedq_object_tree tree;
        const SEDQ_OBJECT* top = c.build(tree);
        EXPECT_EQ(top->get_equation(false, 0), c.formula) << c.what;
        EXPECT_EQ(top->get_equation(true, 0).trimmed(), "") << c.what << ": nothing selected";
    }
}

// Laid over each other, the two layers give the whole formula, the selected objects' parts in
// one and everything else in the other.
TEST(sedq_object_formula, selected_and_unselected_layers_line_up)
{
    sedq_object_tree tree;
    SEDQ_OBJECT* disjunction = operation(tree, SEDQ_OBJECT::LOGICAL_OPERATOR, P::LOGICAL, 2, nullptr);
    SEDQ_OBJECT* conjunction = operation(tree, SEDQ_OBJECT::LOGICAL_OPERATOR, P::LOGICAL, 1, disjunction);
    node(tree, conjunction, "a")->get_property().set(P::SELECTED, 1);
    node(tree, conjunction, "b");
    node(tree, disjunction, "c");
    disjunction->get_property().set(P::SELECTED, 1);

    const QString selected = disjunction->get_equation(true, 0);
    const QString unselected = disjunction->get_equation(false, 0);
    EXPECT_EQ(selected, "a   || ");
    EXPECT_EQ(unselected, " &&b  c");
    ASSERT_EQ(selected.size(), unselected.size());

    conjunction->get_property().set(P::SELECTED, 1);
    disjunction->get_property().set(P::SELECTED, 0);
    const int looser = SEDQ_OBJECT::DISPLAY_TYPES[SEDQ_OBJECT::DISPLAY_LOGICAL_NOT].precedence;
    EXPECT_EQ(conjunction->get_equation(true, looser), "(a&& )") << "the parentheses are the enclosed object's";
    EXPECT_EQ(conjunction->get_equation(false, looser), "    b ");
}

TEST(sedq_object_formula, long_input_lists_stop_after_128_characters)
{
    // Ten-character names joined by "&&": eleven inputs make 130 characters.
    for (const int count : {11, 12, 40}) {
        sedq_object_tree tree;
        SEDQ_OBJECT* conjunction = operation(tree, SEDQ_OBJECT::LOGICAL_OPERATOR, P::LOGICAL, 1, nullptr);
        QStringList names;
        for (int i = 0; i < count; ++i) {
            names << QStringLiteral("signal_%1").arg(i, 3, 10, QLatin1Char('0'));
            node(tree, conjunction, qPrintable(names.last()));
        }
        const QString shown = names.mid(0, 11).join(QStringLiteral("&&"));
        EXPECT_EQ(conjunction->get_equation(false, 0), count == 11 ? shown : shown + QStringLiteral(",..."))
            << count << " inputs";
    }
}

TEST(sedq_object_formula, tooltip_by_cursor_shape)
{
    sedq_object_tree tree;
    SEDQ_OBJECT* shift = operation(tree, SEDQ_OBJECT::SHIFT_OPERATOR, P::SHIFT_DISTANCE, 2, nullptr);
    shift->set_name("shift_0");
    bus_of(tree, shift, {"a", "b", "c"});
    SEDQ_OBJECT* delayed = node(tree, nullptr, "n");
    delayed->get_property().set(P::DATA_DELAY, 4);
    SEDQ_OBJECT* bus = expanded(tree, SEDQ_OBJECT::BUS, nullptr);
    bus->set_bus_name("data");
    SEDQ_OBJECT* collapsed = tree.add(SEDQ_OBJECT::LOGICAL_OPERATOR);

    const struct
    {
        const char* what;
        const SEDQ_OBJECT* object;
        Qt::CursorShape cursor;
        const char* tip;
    } rows[] = {
        {"connecting", shift, Qt::CrossCursor, "drag and drop onto another object to connect"},
        {"over an expanded object", shift, Qt::ArrowCursor, "click to collapse"},
        {"over a collapsed object", collapsed, Qt::ArrowCursor, "click to expand"},
        {"a named shift", shift, Qt::PointingHandCursor, "Logical Left Shift, shift_0, 2"},
        {"a node's own data delay", delayed, Qt::PointingHandCursor, "Node, n, data delay 4"},
        {"a bus by its name", bus, Qt::SizeAllCursor, "Bus, data"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(row.object->get_tooltip(row.cursor), row.tip) << row.what;
}

// The chain top -> middle -> leaf; `dragging` lists which of the three take part in a drag.
TEST(sedq_object_formula, collapsed_ancestors_hide_within_their_drag_group)
{
    const struct
    {
        const char* what;
        Qt::CursorShape cursor;
        bool top_expanded;
        bool dragging[3];
        bool hidden;
    } rows[] = {
        {"below a collapsed top", Qt::ArrowCursor, false, {false, false, false}, true},
        {"below an expanded top", Qt::ArrowCursor, true, {false, false, false}, false},
        {"itself dragged", Qt::ArrowCursor, false, {false, false, true}, false},
        {"a dragged ancestor comes first", Qt::ArrowCursor, false, {false, true, false}, false},
        {"moving: the parent in the other group", Qt::SizeAllCursor, false, {false, true, false}, false},
        {"moving: all dragged together", Qt::OpenHandCursor, false, {true, true, true}, true},
        {"moving: the collapsed top left behind", Qt::SizeAllCursor, false, {false, true, true}, false},
        {"moving: nothing dragged", Qt::SizeAllCursor, false, {false, false, false}, true},
    };
    for (const auto& row : rows) {
        sedq_object_tree tree;
        SEDQ_OBJECT* top = tree.add(SEDQ_OBJECT::LOGICAL_OPERATOR);
        top->get_property().set(P::EXPANDED, row.top_expanded ? 1 : 0);
        SEDQ_OBJECT* middle = expanded(tree, SEDQ_OBJECT::LOGICAL_OPERATOR, top);
        SEDQ_OBJECT* leaf = node(tree, middle, "a");
        SEDQ_OBJECT* chain[] = {top, middle, leaf};
        for (int i = 0; i < 3; ++i)
            chain[i]->drag(row.dragging[i]);
        EXPECT_EQ(leaf->is_hidden(row.cursor), row.hidden) << row.what;
        EXPECT_FALSE(top->is_hidden(row.cursor)) << row.what << ": a root is never hidden";
    }
}
} // namespace
