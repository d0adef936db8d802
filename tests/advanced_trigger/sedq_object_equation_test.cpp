// The equation writer on hand-built diagrams: the checked text with its reported problem and
// the structure text; the legal-connection rules and canonical input order it relies on; and
// a condition's equation as saving asks for it.
#include "sedq_object_test_support.h"

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <string>

namespace
{
using ERROR = SEDQ_OBJECT::SEDQ_ERROR_TYPE;
using P = SEDQ_PROPERTY;

SEDQ_OBJECT* node(sedq_object_tree& tree, SEDQ_OBJECT* parent, const char* name)
{
    SEDQ_OBJECT* made = tree.add(SEDQ_OBJECT::NODE, parent);
    made->set_name(name);
    return made;
}

// A Bus of `width` Nodes named n0, n1, ...
SEDQ_OBJECT* named_bus(sedq_object_tree& tree, int width, SEDQ_OBJECT* parent)
{
    SEDQ_OBJECT* bus = tree.add(SEDQ_OBJECT::BUS, parent);
    for (int i = 0; i < width; ++i)
        node(tree, bus, qPrintable(QStringLiteral("n%1").arg(i)));
    return bus;
}

SEDQ_OBJECT* operation(sedq_object_tree& tree, SEDQ_OBJECT::SEDQ_OBJECT_TYPE type, P::SEDQ_INT_PROPERTY property,
                       int value, SEDQ_OBJECT* parent)
{
    SEDQ_OBJECT* made = tree.add(type, parent);
    made->get_property().set(property, value);
    return made;
}

// A configurable "value <= Bus of `nodes`" comparison under `parent`.
void configurable_comparison(sedq_object_tree& tree, SEDQ_OBJECT* parent, std::initializer_list<const char*> nodes,
                             const char* value)
{
    SEDQ_OBJECT* compare = operation(tree, SEDQ_OBJECT::COMPARISON_OPERATOR, P::COMPARISON,
                                     SEDQ_OBJECT::COMPARISON_LESS_THAN_OR_EQUAL, parent);
    compare->get_property().set(P::CONFIGURABLE, 1);
    SEDQ_OBJECT* bus = tree.add(SEDQ_OBJECT::BUS, compare);
    for (const char* name : nodes)
        node(tree, bus, name);
    tree.add_value(QString::fromLatin1(value), QStringLiteral("Decimal"), compare)->get_property().set(P::CONFIGURABLE, 1);
}

struct WRITER_CASE
{
    const char* what;
    // Builds the diagram under the given Result object.
    std::function<void(sedq_object_tree&, SEDQ_OBJECT*)> build;
    int condition;
    const char* checked;
    ERROR error;
    const char* structure;
};

const WRITER_CASE WRITER_CASES[] = {
    {"named logical or, inputs in text order",
     [](sedq_object_tree& t, SEDQ_OBJECT* r) {
         SEDQ_OBJECT* op = operation(t, SEDQ_OBJECT::LOGICAL_OPERATOR, P::LOGICAL, 2, r);
         op->set_name("logical_0");
         node(t, op, "b");
         node(t, op, "a");
     },
     1, "'logical_0':(or('a','b'))", SEDQ_OBJECT::ERROR_NONE, "or('a','b')"},
    {"counter outside the first condition",
     [](sedq_object_tree& t, SEDQ_OBJECT* r) {
         SEDQ_OBJECT* counter = operation(t, SEDQ_OBJECT::COUNTER_OPERATOR, P::COUNTER_TYPE, 1, r);
         counter->set_name("counter_0");
         node(t, counter, "a");
     },
     2, "'counter_0':(ec(8,1,e,1,'a'))", SEDQ_OBJECT::ERROR_COUNTER_NOT_IN_FIRST_CONDITION, "ec(8,,,,'a')"},
    {"detector without pattern on a 4-bit bus",
     [](sedq_object_tree& t, SEDQ_OBJECT* r) {
         SEDQ_OBJECT* detector = t.add(SEDQ_OBJECT::EDGE_LEVEL_DETECTOR, r);
         SEDQ_OBJECT* bus = t.add(SEDQ_OBJECT::BUS, detector);
         for (const char* name : {"d3", "d2", "d1", "d0"})
             node(t, bus, name);
     },
     1, "mbpm('XXXX',{'d3','d2','d1','d0'})", SEDQ_OBJECT::ERROR_NONE, "mbpm(,{'d3','d2','d1','d0'})"},
    {"detector pattern too short",
     [](sedq_object_tree& t, SEDQ_OBJECT* r) {
         SEDQ_OBJECT* detector = t.add(SEDQ_OBJECT::EDGE_LEVEL_DETECTOR, r);
         detector->set_pattern("R1X");
         named_bus(t, 4, detector);
     },
     1, nullptr, SEDQ_OBJECT::ERROR_PATTERN_TOO_SHORT, nullptr},
    {"detector pattern with a foreign character",
     [](sedq_object_tree& t, SEDQ_OBJECT* r) {
         SEDQ_OBJECT* detector = t.add(SEDQ_OBJECT::EDGE_LEVEL_DETECTOR, r);
         detector->set_pattern("R1XZ");
         named_bus(t, 4, detector);
     },
     1, nullptr, SEDQ_OBJECT::ERROR_PATTERN_INVALID_CHARACTERS, nullptr},
    {"comparison whose sorted inputs swap is mirrored",
     [](sedq_object_tree& t, SEDQ_OBJECT* r) { configurable_comparison(t, r, {"a", "b", "c"}, "5"); },
     1, "compare(5,>=,{'a','b','c'},cc,uc)", SEDQ_OBJECT::ERROR_NONE, "compare(5,>=,{'a','b','c'},cc,uc)"},
    {"logical and orders comparisons that differ only in their values",
     [](sedq_object_tree& t, SEDQ_OBJECT* r) {
         SEDQ_OBJECT* conjunction = operation(t, SEDQ_OBJECT::LOGICAL_OPERATOR, P::LOGICAL, 1, r);
         for (const char* value : {"3", "1", "2"})
             configurable_comparison(t, conjunction, {"a", "b"}, value);
     },
     1, "and(compare(1,>=,{'a','b'},cc,uc),compare(2,>=,{'a','b'},cc,uc),compare(3,>=,{'a','b'},cc,uc))",
     SEDQ_OBJECT::ERROR_NONE,
     "and(compare(1,>=,{'a','b'},cc,uc),compare(2,>=,{'a','b'},cc,uc),compare(3,>=,{'a','b'},cc,uc))"},
    {"logical or of ten nodes, written in text order",
     [](sedq_object_tree& t, SEDQ_OBJECT* r) {
         SEDQ_OBJECT* op = operation(t, SEDQ_OBJECT::LOGICAL_OPERATOR, P::LOGICAL, 2, r);
         for (const char* name : {"f", "c", "j", "a", "h", "e", "b", "i", "d", "g"})
             node(t, op, name);
     },
     1, "or('a','b','c','d','e','f','g','h','i','j')", SEDQ_OBJECT::ERROR_NONE,
     "or('a','b','c','d','e','f','g','h','i','j')"},
    {"inputs alike in structure are ordered by their names",
     [](sedq_object_tree& t, SEDQ_OBJECT* r) {
         SEDQ_OBJECT* conjunction = operation(t, SEDQ_OBJECT::LOGICAL_OPERATOR, P::LOGICAL, 1, r);
         for (const char* name : {"or_2", "or_0", "or_1"})
         {
             SEDQ_OBJECT* op = operation(t, SEDQ_OBJECT::LOGICAL_OPERATOR, P::LOGICAL, 2, conjunction);
             op->set_name(name);
             node(t, op, "a");
             node(t, op, "b");
         }
     },
     1, "and('or_0':(or('a','b')),'or_1':(or('a','b')),'or_2':(or('a','b')))", SEDQ_OBJECT::ERROR_NONE,
     "and(or('a','b'),or('a','b'),or('a','b'))"},
    {"variable comparison hides its operator in the structure",
     [](sedq_object_tree& t, SEDQ_OBJECT* r) {
         SEDQ_OBJECT* compare = operation(t, SEDQ_OBJECT::COMPARISON_OPERATOR, P::COMPARISON,
                                          SEDQ_OBJECT::COMPARISON_GREATER_THAN, r);
         compare->get_property().set(P::CONFIGURABLE, 0);
         node(t, t.add(SEDQ_OBJECT::BUS, compare), "x");
         node(t, t.add(SEDQ_OBJECT::BUS, compare), "y");
     },
     1, "compare({'x'},>,{'y'},vc,uc)", SEDQ_OBJECT::ERROR_NONE, "compare({'x'},,{'y'},vc,uc)"},
    {"comparison with one input",
     [](sedq_object_tree& t, SEDQ_OBJECT* r) {
         SEDQ_OBJECT* compare = t.add(SEDQ_OBJECT::COMPARISON_OPERATOR, r);
         named_bus(t, 2, compare);
     },
     1, nullptr, SEDQ_OBJECT::ERROR_WRONG_INPUT_COUNT, nullptr},
    {"logical and without inputs",
     [](sedq_object_tree& t, SEDQ_OBJECT* r) { operation(t, SEDQ_OBJECT::LOGICAL_OPERATOR, P::LOGICAL, 1, r); },
     1, "and()", SEDQ_OBJECT::ERROR_NOT_ENOUGH_INPUTS, "and()"},
    {"node with a data delay",
     [](sedq_object_tree& t, SEDQ_OBJECT* r) { node(t, r, "a")->get_property().set(P::DATA_DELAY, 2); },
     1, "('a'@2)", SEDQ_OBJECT::ERROR_NONE, "('a'@2)"},
    {"quote and backslash in a node name",
     [](sedq_object_tree& t, SEDQ_OBJECT* r) { node(t, r, "a'b\\c"); },
     1, "'a\\'b\\\\c'", SEDQ_OBJECT::ERROR_NONE, "'a\\'b\\\\c'"},
    {"node without a name",
     [](sedq_object_tree& t, SEDQ_OBJECT* r) { t.add(SEDQ_OBJECT::NODE, r); },
     1, "", SEDQ_OBJECT::ERROR_MISSING_NODE_NAME, ""},
    {"reduction of a bus, bitwise complement inside",
     [](sedq_object_tree& t, SEDQ_OBJECT* r) {
         SEDQ_OBJECT* reduce = operation(t, SEDQ_OBJECT::REDUCTION_OPERATOR, P::REDUCTION, 1, r);
         SEDQ_OBJECT* complement = operation(t, SEDQ_OBJECT::BITWISE_OPERATOR, P::BITWISE, 0, reduce);
         SEDQ_OBJECT* bus = t.add(SEDQ_OBJECT::BUS, complement);
         node(t, bus, "p");
         node(t, bus, "q");
     },
     1, "(|~{'p','q'})", SEDQ_OBJECT::ERROR_NONE, "(|~{'p','q'})"},
    {"shift of a bus",
     [](sedq_object_tree& t, SEDQ_OBJECT* r) {
         SEDQ_OBJECT* reduce = operation(t, SEDQ_OBJECT::REDUCTION_OPERATOR, P::REDUCTION, 0, r);
         SEDQ_OBJECT* shift = operation(t, SEDQ_OBJECT::SHIFT_OPERATOR, P::SHIFT_TYPE, SEDQ_OBJECT::SHIFT_ROTATE,
                                        reduce);
         shift->get_property().set(P::SHIFT_DIRECTION, SEDQ_OBJECT::SHIFT_RIGHT);
         shift->get_property().set(P::SHIFT_DISTANCE, 1);
         SEDQ_OBJECT* bus = t.add(SEDQ_OBJECT::BUS, shift);
         node(t, bus, "p");
         node(t, bus, "q");
     },
     1, "(&shift(rotate,right,1,{'p','q'}))", SEDQ_OBJECT::ERROR_NONE, "(&shift(rotate,,,{'p','q'}))"},
    {"shift of a single bit",
     [](sedq_object_tree& t, SEDQ_OBJECT* r) {
         SEDQ_OBJECT* reduce = operation(t, SEDQ_OBJECT::REDUCTION_OPERATOR, P::REDUCTION, 0, r);
         SEDQ_OBJECT* shift = t.add(SEDQ_OBJECT::SHIFT_OPERATOR, reduce);
         node(t, t.add(SEDQ_OBJECT::BUS, shift), "p");
     },
     1, nullptr, SEDQ_OBJECT::ERROR_SHIFT_INPUT_TOO_NARROW, nullptr},
    {"custom HDL without name or module is still closed",
     [](sedq_object_tree& t, SEDQ_OBJECT* r) {
         SEDQ_OBJECT* hdl = t.add(SEDQ_OBJECT::CUSTOM_TRIGGER_HDL, r);
         hdl->get_property().set(P::CONFIG_BITSTREAM, QStringLiteral("0110"));
         named_bus(t, 3, hdl);
     },
     1, nullptr, SEDQ_OBJECT::ERROR_MISSING_MODULE_NAME, nullptr},
};

class sedq_object_equation_writer : public testing::TestWithParam<WRITER_CASE>
{
};

TEST_P(sedq_object_equation_writer, checked_and_structure_texts)
{
    const WRITER_CASE& c = GetParam();
    sedq_object_tree tree;
    SEDQ_OBJECT* result = tree.add(SEDQ_OBJECT::LEVEL_RESULT);
    c.build(tree, result);

    QString checked;
    ERROR error = SEDQ_OBJECT::ERROR_NONE;
    SEDQ_OBJECT* culprit = nullptr;
    result->get_equation(&checked, nullptr, nullptr, &error, &culprit, c.condition, true);
    EXPECT_EQ(error, c.error) << SEDQ_OBJECT::ERROR_STRING[error];
    EXPECT_EQ(culprit == nullptr, c.error == SEDQ_OBJECT::ERROR_NONE);
    if (c.checked)
        EXPECT_EQ(checked.toStdString(), c.checked);
    if (c.structure)
        EXPECT_EQ(result->get_structure_equation().toStdString(), c.structure);
    // Balanced parentheses whatever the problem.
    EXPECT_EQ(checked.count(QLatin1Char('(')), checked.count(QLatin1Char(')'))) << checked.toStdString();
}

INSTANTIATE_TEST_SUITE_P(cases, sedq_object_equation_writer, testing::ValuesIn(WRITER_CASES),
                         [](const testing::TestParamInfo<WRITER_CASE>& info) {
                             return "case_" + std::to_string(info.index);
                         });

TEST(sedq_object_tree, mirrored_comparisons)
{
    using D = SEDQ_OBJECT;
    const std::pair<D::SEDQ_DISPLAY_TYPE, D::SEDQ_DISPLAY_TYPE> mirrors[] = {
        {D::DISPLAY_CONSTANT_UNSIGNED_LESS_THAN, D::DISPLAY_CONSTANT_UNSIGNED_GREATER_THAN},
        {D::DISPLAY_CONSTANT_UNSIGNED_LESS_THAN_OR_EQUAL, D::DISPLAY_CONSTANT_UNSIGNED_GREATER_THAN_OR_EQUAL},
        {D::DISPLAY_VARIABLE_UNSIGNED_LESS_THAN, D::DISPLAY_VARIABLE_UNSIGNED_GREATER_THAN},
        {D::DISPLAY_CONSTANT_SIGNED_LESS_THAN_OR_EQUAL, D::DISPLAY_CONSTANT_SIGNED_GREATER_THAN_OR_EQUAL},
        {D::DISPLAY_VARIABLE_SIGNED_LESS_THAN, D::DISPLAY_VARIABLE_SIGNED_GREATER_THAN},
        {D::DISPLAY_CONSTANT_UNSIGNED_EQUALITY, D::DISPLAY_CONSTANT_UNSIGNED_EQUALITY},
        {D::DISPLAY_VARIABLE_UNSIGNED_TRUE, D::DISPLAY_VARIABLE_UNSIGNED_TRUE},
        {D::DISPLAY_VARIABLE_SIGNED_INEQUALITY, D::DISPLAY_VARIABLE_SIGNED_INEQUALITY},
        {D::DISPLAY_BITWISE_AND, D::DISPLAY_BITWISE_AND},
    };
    for (const auto& [type, mirror] : mirrors) {
        EXPECT_EQ(reverse_comparison_type(type), mirror) << type;
        EXPECT_EQ(reverse_comparison_type(mirror), type) << mirror;
    }
}

TEST(sedq_object_tree, legal_inputs_and_relatives)
{
    sedq_object_tree tree;
    SEDQ_OBJECT* conjunction = operation(tree, SEDQ_OBJECT::LOGICAL_OPERATOR, P::LOGICAL, 1, nullptr);
    SEDQ_OBJECT* compare = tree.add(SEDQ_OBJECT::COMPARISON_OPERATOR, conjunction);
    SEDQ_OBJECT* bus = tree.add_bus(2, conjunction);
    EXPECT_TRUE(conjunction->is_valid_child(compare));
    EXPECT_FALSE(conjunction->is_valid_child(bus));
    EXPECT_TRUE(bus->is_valid_child(bus->get_oldest_child())) << "a bus takes single bits";

    SEDQ_OBJECT* three = tree.add(SEDQ_OBJECT::COMPARISON_OPERATOR);
    SEDQ_OBJECT* a = tree.add_bus(2, three);
    SEDQ_OBJECT* b = tree.add_bus(2, three);
    SEDQ_OBJECT* c = tree.add_bus(2, three);
    EXPECT_TRUE(three->is_valid_child(a));
    EXPECT_TRUE(three->is_valid_child(b));
    EXPECT_FALSE(three->is_valid_child(c));
    EXPECT_FALSE(three->is_valid_parent());
    EXPECT_FALSE(c->is_valid_child(nullptr)) << "asks its parent";

    EXPECT_EQ(three->get_oldest_sibling(), nullptr);
    EXPECT_EQ(three->get_youngest_sibling(), nullptr);
    EXPECT_EQ(b->get_oldest_sibling(), a);
    EXPECT_EQ(b->get_youngest_sibling(), c);
    EXPECT_TRUE(three->is_descendent(a->get_oldest_child()));
    EXPECT_TRUE(three->is_descendent(three));
    EXPECT_FALSE(a->is_descendent(b));
    EXPECT_FALSE(a->is_descendent(nullptr));
    EXPECT_EQ(a->get_oldest_child()->get_root(), three);
}

TEST(sedq_object_tree, clone_lists_descendants_not_the_top)
{
    sedq_object_tree tree;
    SEDQ_OBJECT* top = operation(tree, SEDQ_OBJECT::LOGICAL_OPERATOR, P::LOGICAL, 2, nullptr);
    node(tree, top, "n");
    SEDQ_OBJECT* compare = tree.add(SEDQ_OBJECT::COMPARISON_OPERATOR, top);
    tree.add_bus(2, compare);
    tree.add_value(QStringLiteral("1"), QStringLiteral("Decimal"), compare);

    SEDQ_OBJECT copy(SEDQ_OBJECT_COPY(), SEDQ_OBJECT::ORIGIN_POINT, nullptr);
    QList<SEDQ_OBJECT*> made;
    copy.clone(*top, &made, nullptr);
    EXPECT_EQ(made.size(), 6);
    EXPECT_FALSE(made.contains(&copy));
    EXPECT_EQ(copy.get_structure_equation(), top->get_structure_equation());
    qDeleteAll(made);
}

TEST(sedq_trigger_object, equation_of_a_condition)
{
    SEDQ_TRIGGER_OBJECT condition;
    auto add = [&](SEDQ_OBJECT::SEDQ_OBJECT_TYPE type, SEDQ_OBJECT* parent) {
        auto* made = static_cast<SEDQ_OBJECT*>(
            parent ? parent->create_child_object(SDR_TX_TREE_OBJECT::CHILD_OBJECT_TRIGGER)
                   : condition.create_child_object(SDR_TX_TREE_OBJECT::CHILD_OBJECT_TRIGGER));
        made->set_type(type);
        return made;
    };
    std::string equation = "stale";
    EXPECT_FALSE(condition.get_equation(&equation, nullptr, nullptr, 1, false)) << "no Result";
    EXPECT_EQ(equation, "");

    SEDQ_OBJECT* result = add(SEDQ_OBJECT::LEVEL_RESULT, nullptr);
    const SEDQ_OBJECT_COPY canvas = SEDQ_OBJECT_COPY::of_canvas(7);
    result->set_copy(canvas);
    EXPECT_FALSE(condition.get_equation(&equation, nullptr, nullptr, 1, false)) << "Result without input";
    EXPECT_EQ(equation, "");

    SEDQ_OBJECT* input = add(SEDQ_OBJECT::NODE, result);
    input->set_name("busy");
    input->set_copy(canvas);
    EXPECT_TRUE(condition.get_equation(&equation, nullptr, nullptr, 1, false));
    EXPECT_EQ(equation, "'busy'");
    EXPECT_EQ(result->get_copy(), canvas) << "the canvas's objects answer for the canvas again";
    EXPECT_EQ(input->get_copy(), canvas);

    condition.get_object_list()->removeAll(input);
    delete input;
    EXPECT_FALSE(condition.get_equation(&equation, nullptr, nullptr, 1, false));
}
} // namespace

namespace
{
// A chain of `depth` Logical Ands under a Result, each taking the next And and the Node
// "<prefix>k" at its depth k; the deepest And takes two Nodes.
SEDQ_OBJECT* and_chain(sedq_object_tree& tree, int depth, const char* prefix)
{
    SEDQ_OBJECT* result = tree.add(SEDQ_OBJECT::LEVEL_RESULT);
    SEDQ_OBJECT* level = result;
    for (int k = 0; k < depth; ++k)
    {
        level = operation(tree, SEDQ_OBJECT::LOGICAL_OPERATOR, P::LOGICAL, 1, level);
        node(tree, level, qPrintable(QStringLiteral("%1%2").arg(prefix).arg(k)));
    }
    node(tree, level, qPrintable(QStringLiteral("%1end").arg(prefix)));
    return result;
}

// 16,384 levels: far deeper than a condition may be drawn, and deep enough that a writer,
// an ordering or a copy that recursed per level would run out of stack.
constexpr int DEEP = 16384;

TEST(sedq_object_tree, deep_chains_are_written_ordered_and_copied_without_recursion)
{
    sedq_object_tree tree;
    SEDQ_OBJECT* result = and_chain(tree, DEEP, "n");
    EXPECT_EQ(sedq_condition_depth(*tree.condition().get_object_list()), DEEP + 2);

    // The Node sorts before the And at every level ("'" before "a").
    QString text;
    ERROR error = SEDQ_OBJECT::ERROR_NONE;
    SEDQ_OBJECT* culprit = nullptr;
    result->get_equation(&text, nullptr, nullptr, &error, &culprit, 1, true);
    EXPECT_EQ(error, SEDQ_OBJECT::ERROR_NONE);
    EXPECT_TRUE(text.startsWith("and('n0',and('n1',and('n2',")) << text.left(40).toStdString();
    EXPECT_TRUE(text.endsWith("and('n16383','nend')" + QString(DEEP - 1, QLatin1Char(')'))))
        << text.right(40).toStdString();

    // Two chains that differ only at their deepest Node are ordered by it.
    sedq_object_tree other;
    SEDQ_OBJECT* mirror = and_chain(other, DEEP, "n");
    SEDQ_OBJECT* last = other.condition().get_object_list()->last();
    last->set_name("nzz");
    EXPECT_TRUE(*result->get_oldest_child() < *mirror->get_oldest_child());
    EXPECT_FALSE(*mirror->get_oldest_child() < *result->get_oldest_child());

    SEDQ_OBJECT copy(SEDQ_OBJECT_COPY(), SEDQ_OBJECT::ORIGIN_POINT, nullptr);
    QList<SEDQ_OBJECT*> made;
    copy.clone(*result, &made, nullptr);
    EXPECT_EQ(made.size(), 2 * DEEP + 1);
    EXPECT_EQ(copy.get_structure_equation(), result->get_structure_equation());
    qDeleteAll(made);
}

// A problem met after an input was written is reported after everything that input reported:
// the writer, walking with its own stack, keeps the order of a writing by recursion.
TEST(sedq_object_tree, the_last_problem_in_writing_order_is_reported)
{
    sedq_object_tree tree;
    SEDQ_OBJECT* result = tree.add(SEDQ_OBJECT::LEVEL_RESULT);
    SEDQ_OBJECT* counter = tree.add(SEDQ_OBJECT::COUNTER_OPERATOR, result);
    SEDQ_OBJECT* bus = tree.add(SEDQ_OBJECT::BUS, counter);
    tree.add(SEDQ_OBJECT::NODE, bus); // no name: reported first
    QString text;
    ERROR error = SEDQ_OBJECT::ERROR_NONE;
    SEDQ_OBJECT* culprit = nullptr;
    result->get_equation(&text, nullptr, nullptr, &error, &culprit, 2, true);
    EXPECT_EQ(error, SEDQ_OBJECT::ERROR_COUNTER_NOT_IN_FIRST_CONDITION) << "the counter's check follows its input";
    EXPECT_EQ(culprit, counter);
}
} // namespace
