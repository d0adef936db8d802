// Diagrams rebuilt from a stored equation: the objects and settings the trigger compiler's
// parse gives, and equations that come back unchanged after one round through the diagram.
#include "sedq_object_test_support.h"

#include "host/sci.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace
{
using P = SEDQ_PROPERTY;

// The condition rebuilt from `equation`; its Result is the first object.
struct rebuilt
{
    explicit rebuilt(const char* equation)
    {
        std::string error;
        std::unique_ptr<SCI_ADVANCED_TRIGGER_FACTORY> parsed = SCI_ADVANCED_TRIGGER_FACTORY::parse(equation, &error);
        EXPECT_TRUE(parsed) << equation << ": " << error;
        if (parsed)
            condition.generate_tree(parsed.get());
    }
    SEDQ_OBJECT* result() { return condition.get_object_list()->value(0); }
    std::string equation(int level = 1)
    {
        std::string text;
        written = condition.get_equation(&text, nullptr, nullptr, level, false);
        return text;
    }

    SEDQ_TRIGGER_OBJECT condition;
    bool written = false;
};

int setting(SEDQ_OBJECT* object, P::SEDQ_INT_PROPERTY property)
{
    return object->get_property()[property];
}

TEST(sedq_tree_generator, objects_and_settings_from_the_parse)
{
    rebuilt level("or('busy',compare({'d1','d0'},>,2,cc,uc),ec(40,3,s,0,'tick'),and(1,!'x'))");
    SEDQ_OBJECT* result = level.result();
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(result->get_type(), SEDQ_OBJECT::LEVEL_RESULT) << "an output root fills the object asked";
    ASSERT_EQ(result->get_children().size(), 1);
    SEDQ_OBJECT* disjunction = result->get_oldest_child();
    EXPECT_EQ(disjunction->get_display_type(), SEDQ_OBJECT::DISPLAY_LOGICAL_OR);
    ASSERT_EQ(disjunction->get_children().size(), 4);

    SEDQ_OBJECT* compare = disjunction->get_children().at(1);
    EXPECT_EQ(compare->get_display_type(), SEDQ_OBJECT::DISPLAY_CONSTANT_UNSIGNED_GREATER_THAN);
    SEDQ_OBJECT* bus = compare->get_oldest_child();
    ASSERT_EQ(bus->get_type(), SEDQ_OBJECT::BUS);
    EXPECT_EQ(bus->get_oldest_child()->get_name(), "d0") << "made from the least significant bit";
    EXPECT_EQ(compare->get_youngest_child()->get_display_type(), SEDQ_OBJECT::DISPLAY_CONSTANT_BUS_VALUE);

    SEDQ_OBJECT* counter = disjunction->get_children().at(2);
    EXPECT_EQ(counter->get_display_type(), SEDQ_OBJECT::DISPLAY_DYNAMIC_STATE_COUNTER);
    EXPECT_EQ(setting(counter, P::MAX_COUNTER_VALUE), 0x7fffffff) << "2^40 - 1 kept in range";
    EXPECT_EQ(setting(counter, P::COUNTER_VALUE), 3);

    SEDQ_OBJECT* conjunction = disjunction->get_youngest_child();
    EXPECT_EQ(conjunction->get_oldest_child()->get_display_type(), SEDQ_OBJECT::DISPLAY_CONSTANT_HIGH)
        << "a one-bit constant under a logical operator is a bit";
    EXPECT_EQ(conjunction->get_youngest_child()->get_display_type(), SEDQ_OBJECT::DISPLAY_LOGICAL_NOT);
}

TEST(sedq_tree_generator, comparison_codes_widths_and_large_values)
{
    struct CASE
    {
        const char* equation;
        SEDQ_OBJECT::SEDQ_DISPLAY_TYPE comparison;
        const char* value;
    };
    const CASE cases[] = {
        {"compare({'a','b'},>,1,cc,uc)", SEDQ_OBJECT::DISPLAY_CONSTANT_UNSIGNED_GREATER_THAN, "1"},
        {"compare({'a','b'},FALSE,1,vc,uc)", SEDQ_OBJECT::DISPLAY_VARIABLE_UNSIGNED_FALSE, "1"},
        {"compare({'a','b'},<=,variable(-2),vc,sc)", SEDQ_OBJECT::DISPLAY_VARIABLE_SIGNED_LESS_THAN_OR_EQUAL, "-2"},
        {"compare({'a','b'},!=,-1,cc,uc)", SEDQ_OBJECT::DISPLAY_CONSTANT_UNSIGNED_INEQUALITY,
         "18446744073709551615"},
        {"compare({'a','b'},<,18446744073709551615,cc,uc)", SEDQ_OBJECT::DISPLAY_CONSTANT_UNSIGNED_LESS_THAN,
         "18446744073709551615"},
    };
    for (const CASE& c : cases) {
        rebuilt level(c.equation);
        ASSERT_FALSE(level.result()->is_leaf()) << c.equation;
        SEDQ_OBJECT* compare = level.result()->get_oldest_child();
        EXPECT_EQ(compare->get_display_type(), c.comparison) << c.equation;
        EXPECT_EQ(compare->get_youngest_child()->get_property()[P::BUS_VALUE], c.value) << c.equation;
    }
    rebuilt counter("ec(8,1,c,1,'a')");
    EXPECT_EQ(setting(counter.result()->get_oldest_child(), P::MAX_COUNTER_VALUE), 255);
}

TEST(sedq_tree_generator, incremental_condition_takes_the_quoted_pattern_and_the_braced_node_list)
{
    rebuilt level("imbpm('10RX',{'a','b'})");
    ASSERT_FALSE(level.result()->is_leaf());
    const SEDQ_OBJECT* condition = level.result()->get_oldest_child();
    ASSERT_EQ(condition->get_type(), SEDQ_OBJECT::INCREMENTAL_ROUTE_CONDITION);
    EXPECT_EQ(condition->get_incremental_text(0), "10RX") << "the power-up pattern";
    EXPECT_EQ(condition->get_incremental_text(1), "10RX") << "the normal pattern";
    EXPECT_EQ(condition->get_incremental_text(2), "'a','b'") << "the node list";
}

// Each equation, written back after one round, is the text the second column gives; a second
// round changes nothing.
TEST(sedq_tree_generator, equations_survive_the_round_trip)
{
    struct CASE
    {
        const char* stored;
        const char* written;
    };
    const CASE cases[] = {
        {"'busy'", "'busy'"},
        {"or('b','a')", "or('a','b')"},
        {"'logical_0':(xor('a',!'b'))", "'logical_0':(xor(!'b','a'))"},
        {"and('busy',compare({'d2','d1','d0'},==,5,cc,uc))", "and('busy',compare(5,==,{'d2','d1','d0'},cc,uc))"},
        {"compare({'d1','d0'},<,variable(2),vc,uc)", "compare(variable(2),>,{'d1','d0'},vc,uc)"},
        {"mbpm('R1',{'a','b'})", "mbpm('R1',{'a','b'})"},
        {"('a'@2)", "('a'@2)"},
        {"(|({'a','b'}&{'c','d'}))", "(|({'a','b'}&{'c','d'}))"},
        {"(&shift(rotate,right,1,{'p','q','r'}))", "(&shift(rotate,right,1,{'p','q','r'}))"},
        {"ec(8,3,e,1,'a')", "ec(8,3,e,1,'a')"},
        {"or(1,'a')", "or('a',1)"},
        {"imbpm('10RX',{'a','b'})", "imbpm('10RX',{'a','b'})"},
    };
    for (const CASE& c : cases) {
        rebuilt first(c.stored);
        const std::string once = first.equation();
        EXPECT_TRUE(first.written) << c.stored;
        EXPECT_EQ(once, c.written) << c.stored;
        rebuilt second(once.c_str());
        EXPECT_EQ(second.equation(), once) << "a fixed point after one round: " << c.stored;
    }
}
} // namespace
