// Trigger compiler stand-in: parsing the equation language into trees, latencies, the latency
// alignment of levels and the generated descriptions.
#include "host/sci.h"
#include "host/sdr/sdr_file_limits.h"
#include "host/standin/standin.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <string>

namespace
{
// Renders a tree through the visitor: class word, "'name'", "#delay", operation and inputs.
class printer : public SCI_ADVANCED_TRIGGER_VISITOR
{
public:
    std::string text;

    void visit(SCI_ADVANCED_TRIGGER_LOGICAL* n) override { node("logical" + op(n->get_operation()), n); }
    void visit(SCI_ADVANCED_TRIGGER_UNARY* n) override { node("reduce" + op(n->get_operation()), n); }
    void visit(SCI_ADVANCED_TRIGGER_CUSTOM_HDL* n) override
    {
        node(std::string("hdl:") + n->get_module_name() + ":" + n->get_bitstream(), n);
    }
    void visit(SCI_ADVANCED_TRIGGER_BITWISE* n) override { node("bitwise" + op(n->get_operation()), n); }
    void visit(SCI_ADVANCED_TRIGGER_COMPARE_CONSTANT* n) override { compare("cc", n); }
    void visit(SCI_ADVANCED_TRIGGER_COMPARE_VARIABLE* n) override { compare("vc", n); }
    void visit(SCI_ADVANCED_TRIGGER_SHIFT* n) override
    {
        node("shift" + op(n->get_operation()) + (n->get_shift_direction() ? "r" : "l") +
                 std::to_string(n->get_shift_amount()),
             n);
    }
    void visit(SCI_ADVANCED_TRIGGER_OUTPUT* n) override { node("out", n); }
    void visit(SCI_ADVANCED_TRIGGER_INPUT_WIRE* n) override { node("w", n); }
    void visit(SCI_ADVANCED_TRIGGER_INPUT_CONSTANT* n) override
    {
        node("c" + std::to_string(n->get_value()), n);
    }
    void visit(SCI_ADVANCED_TRIGGER_INPUT_VARIABLE* n) override
    {
        node("v" + std::to_string(n->get_value()), n);
    }
    void visit(SCI_ADVANCED_TRIGGER_CONCATENATE* n) override { node("bus", n); }
    void visit(SCI_ADVANCED_TRIGGER_MBPM* n) override { node(std::string("mbpm:") + n->get_pattern(), n); }
    void visit(SCI_ADVANCED_TRIGGER_IMBPM* n) override
    {
        node(std::string("imbpm:") + n->get_pattern() + "{" + n->get_nodes() + "}", n);
    }
    void visit(SCI_ADVANCED_TRIGGER_EVENT_COUNTER* n) override
    {
        node("ec" + std::to_string(n->get_counter_width()) + ":" + std::to_string(n->get_counter_value()) +
                 ":" + std::to_string(n->get_mode()) + (n->get_hold_status() ? "h" : ""),
             n);
    }
    void visit(SCI_FLOW_CONTROL_STATE_MACHINE*) override { text += "flow"; }
    void visit(SCI_FLOW_CONTROL_STATE_BODY*) override { text += "flow"; }
    void visit(SCI_FLOW_CONTROL_BRANCH*) override { text += "flow"; }
    void visit(SCI_FLOW_CONTROL_CONDITION*) override { text += "flow"; }
    void visit(SCI_FLOW_CONTROL_ACTION_LIST*) override { text += "flow"; }
    void visit(SCI_FLOW_CONTROL_ACTION_COUNTER*) override { text += "flow"; }
    void visit(SCI_FLOW_CONTROL_ACTION_FLAG*) override { text += "flow"; }
    void visit(SCI_FLOW_CONTROL_ACTION_TRIGGER*) override { text += "flow"; }
    void visit(SCI_FLOW_CONTROL_ACTION_TRANSITION*) override { text += "flow"; }
    void visit(SCI_FLOW_CONTROL_ACTION_STORE*) override { text += "flow"; }
    void visit(SCI_FLOW_CONTROL_RESOURCE_LIST*) override { text += "flow"; }
    void visit(SCI_FLOW_CONTROL_RESOURCE_COUNTER*) override { text += "flow"; }
    void visit(SCI_FLOW_CONTROL_RESOURCE_FLAG*) override { text += "flow"; }
    void visit(SCI_FLOW_CONTROL_RESOURCE_CONDITION*) override { text += "flow"; }

private:
    static std::string op(int operation) { return std::to_string(operation); }

    void compare(const char* word, SCI_ADVANCED_TRIGGER_COMPARE_CONSTANT* n)
    {
        node(std::string(word) + op(n->get_operation()) + (n->get_signed_mode() ? "s" : "u"), n);
    }

    void node(const std::string& word, SCI_ADVANCED_TRIGGER_BASE* n)
    {
        text += word;
        if (*n->get_name() != '\0')
            text += std::string("'") + n->get_name() + "'";
        if (n->get_delay() != 0)
            text += "#" + std::to_string(n->get_delay());
        if (n->get_input_count() == 0)
            return;
        text += "(";
        for (int i = 0; i < n->get_input_count(); ++i)
        {
            if (i > 0)
                text += ",";
            n->get_input_connection_at(i)->accept(*this);
        }
        text += ")";
    }
};

std::string tree_of(const char* equation, int* latency = nullptr)
{
    std::string error;
    auto factory = SCI_ADVANCED_TRIGGER_FACTORY::parse(equation, &error);
    if (!factory)
        return "error: " + error;
    if (latency != nullptr)
        *latency = factory->get_root()->get_pipeline_latency();
    printer print;
    factory->get_root()->accept(print);
    return print.text;
}

class sci_test : public ::testing::Test
{
protected:
    void SetUp() override { standin::reset_all(); }
};
} // namespace

TEST_F(sci_test, equations_the_editor_writes_parse_into_their_trees_and_latencies)
{
    struct row
    {
        const char* name;
        const char* equation;
        const char* tree;
        int latency;
    };
    const row rows[] = {
        {"wire", "'top|a'", "out(w'top|a')", 1},
        {"logical and", "and('a','b')", "out(logical0(w'a',w'b'))", 1},
        {"named or with pipeline", "('o1':(or('a',!'b')))#2", "out(logical2'o1'#2(w'a',logical6(w'b')))", 3},
        {"bitwise list", "('a'&'b'&~'c')", "out(bitwise0(w'a',w'b',bitwise6(w'c')))", 1},
        {"reduction", "(|{'a','b'})", "out(reduce2(bus(w'a',w'b')))", 1},
        {"data delay", "and(('a'@3),'b')", "out(logical0(w'a'#3,w'b'))", 4},
        {"deepest path counts", "xor((compare('a',>=,5,cc,uc))#2,(mbpm('R1',{('b'@1),'c'}))#4)",
         "out(logical4(cc1u#2(w'a',c5),mbpm:R1#4(w'b'#1,w'c')))", 6},
        {"variable compare signed", "compare({'a','b'},<,variable(-3),vc,sc)",
         "out(vc2s(bus(w'a',w'b'),v-3))", 1},
        {"shift", "shift(rotate,right,2,{'a','b','c'})", "out(shift0r2(bus(w'a',w'b',w'c')))", 1},
        {"counter", "ec(8,255,e,1,'a')", "out(ec8:255:1h(w'a'))", 1},
        {"imbpm: the pattern quoted, the node list in braces", "imbpm('01RX',{'x|y','z'})",
         "out(imbpm:01RX{'x|y','z'})", 1},
        {"custom module adds its pipeline", "mvx_custom_trigger_hdl(2,{'a','b'},3,'010',5,my_mod)",
         "out(hdl:my_mod:010(bus(w'a',w'b')))", 6},
        {"escaped quote in a name", "'it\\'s'", "out(w'it's')", 1},
        {"true comparison word", "compare('a',TRUE,'b',vc,uc)", "out(vc7u(w'a',w'b'))", 1},
        {"constant bit", "and(1,'a')", "out(logical0(c1,w'a'))", 1},
    };
    for (const row& r : rows)
    {
        int latency = 0;
        EXPECT_EQ(tree_of(r.equation, &latency), r.tree) << r.name;
        EXPECT_EQ(latency, r.latency) << r.name;
    }
}

TEST_F(sci_test, text_that_is_no_equation_gives_no_factory_and_a_reason)
{
    const char* bad[] = {"",
                         "and('a'",
                         "'a",
                         "and('a','b') junk",
                         "('a'&'b'|'c')",
                         "compare('a',~,'b',cc,uc)",
                         "shift(up,left,1,'a')",
                         "frob('a')",
                         "ec(0,1,c,0,'a')",
                         "mvx_custom_trigger_hdl(1,'a',4,'01',0,m)",
                         "(('a')#-1)",
                         "ec(8,18446744073709551616,c,0,'a')",
                         "(('a')#9223372036854775808)"};
    for (const char* text : bad)
    {
        std::string error;
        EXPECT_EQ(SCI_ADVANCED_TRIGGER_FACTORY::parse(text, &error), nullptr) << text;
        EXPECT_FALSE(error.empty()) << text;
    }
    std::string error;
    EXPECT_EQ(SCI_ADVANCED_TRIGGER_FACTORY::parse(std::string(20000, '9').c_str(), &error), nullptr);
    EXPECT_EQ(error, "number out of range at offset 0") << "a number wider than any bus";
    EXPECT_EQ(SCI_ADVANCED_TRIGGER_FACTORY::parse(nullptr, nullptr), nullptr);
    std::string deep(1000, '~');
    EXPECT_EQ(SCI_ADVANCED_TRIGGER_FACTORY::parse((deep + "'a'").c_str(), nullptr), nullptr)
        << "nesting deeper than any drawn condition is refused, not recursed into";
}

// The parse of a condition as deep as a condition may be drawn (the output node, its nested
// objects, the leaf) is taken, each object written as the editor writes a named, pipelined
// one; one level more is refused with the reason.
TEST_F(sci_test, the_deepest_drawable_condition_parses_and_one_level_more_does_not)
{
    const auto nested = [](int objects) {
        std::string text;
        for (int k = 0; k < objects; ++k)
            text += "('c" + std::to_string(k) + "':(compare(";
        text += "'a'";
        for (int k = 0; k < objects; ++k)
            text += ",==,1,cc,uc)))#1";
        return text;
    };
    const int limit = SDR_FILE_LIMITS::MAX_CONDITION_DEPTH;
    std::string error;
    EXPECT_NE(SCI_ADVANCED_TRIGGER_FACTORY::parse(nested(limit - 2).c_str(), &error), nullptr) << error;
    EXPECT_EQ(SCI_ADVANCED_TRIGGER_FACTORY::parse(nested(limit - 1).c_str(), &error), nullptr);
    EXPECT_EQ(error, "equation nested deeper than " + std::to_string(limit) + " levels");
}

// A number is read as wide as it is written, past 64 bits too: its low 64 bits, the bits it
// needs and its sign.
TEST_F(sci_test, numbers_are_read_whole_at_any_width)
{
    const struct
    {
        const char* text;
        std::uint64_t low;
        int width;
        bool negative;
    } rows[] = {
        {"0", 0, 1, false},
        {"-1", ~0ull, 1, true},
        {"9223372036854775807", 0x7fffffffffffffffull, 63, false},
        {"9223372036854775808", 0x8000000000000000ull, 64, false},
        {"18446744073709551615", ~0ull, 64, false},
        {"18446744073709551616", 0, 65, false},
        {"-9223372036854775808", 0x8000000000000000ull, 64, true},
        {"-18446744073709551616", 0, 65, true},
        {"604462909807314587353087", ~0ull, 79, false},
        {"-604462909807314587353087", 1, 80, true},
    };
    for (const auto& row : rows)
    {
        std::string error;
        const auto factory = SCI_ADVANCED_TRIGGER_FACTORY::parse(row.text, &error);
        ASSERT_TRUE(factory) << row.text << ": " << error;
        const auto* constant =
            static_cast<const SCI_ADVANCED_TRIGGER_INPUT_CONSTANT*>(factory->get_root()->get_input_connection_at(0));
        ASSERT_EQ(constant->get_kind(), SCI_KIND_INPUT_CONSTANT) << row.text;
        EXPECT_EQ(std::uint64_t(constant->get_value()), row.low) << row.text;
        EXPECT_EQ(constant->get_bit_width(), row.width) << row.text;
        EXPECT_EQ(constant->get_number().negative, row.negative) << row.text;
    }
}

TEST_F(sci_test, widths_follow_the_inputs_and_every_input_knows_its_consumer)
{
    auto factory = SCI_ADVANCED_TRIGGER_FACTORY::parse("compare({'a','b',{'c','d'}},==,-4,cc,sc)", nullptr);
    ASSERT_TRUE(factory);
    SCI_ADVANCED_TRIGGER_BASE* compare = factory->get_root()->get_input_connection_at(0);
    ASSERT_NE(compare, nullptr);
    EXPECT_EQ(compare->get_kind(), SCI_KIND_COMPARE_CONSTANT);
    EXPECT_EQ(compare->get_bit_width(), 1);
    EXPECT_EQ(compare->get_output_connection(), factory->get_root());
    SCI_ADVANCED_TRIGGER_BASE* bus = compare->get_input_connection_at(0);
    EXPECT_EQ(bus->get_bit_width(), 4);
    EXPECT_EQ(compare->get_input_connection_at(1)->get_bit_width(), 3) << "-4 needs three bits";
    EXPECT_EQ(compare->get_input_connection_at(2), nullptr);
    EXPECT_EQ(compare->get_input_connection_at(-1), nullptr);
    EXPECT_EQ(factory->get_root()->get_kind(), SCI_KIND_OUTPUT);
}

TEST_F(sci_test, coordinated_delays_line_every_level_up_with_the_slowest)
{
    auto slow = SCI_ADVANCED_TRIGGER_FACTORY::parse("('a'&'b')#4", nullptr);
    auto fast = SCI_ADVANCED_TRIGGER_FACTORY::parse("and(('a'@1),'b')", nullptr);
    ASSERT_TRUE(slow && fast);
    SCI_ADVANCED_TRIGGER_OUTPUT* roots[4] = {
        nullptr, static_cast<SCI_ADVANCED_TRIGGER_OUTPUT*>(slow->get_root()),
        static_cast<SCI_ADVANCED_TRIGGER_OUTPUT*>(fast->get_root()), nullptr};
    int delays[4] = {-1, -1, -1, -1};
    SCI_ADVANCED_TRIGGER_UTILITY::set_coordinated_latency_delay(roots, delays, 4);
    EXPECT_EQ(delays[0], 4) << "a basic level has latency 1";
    EXPECT_EQ(delays[1], 0);
    EXPECT_EQ(delays[2], 3);
    EXPECT_EQ(delays[3], 4);
    int untouched[1] = {-7};
    SCI_ADVANCED_TRIGGER_UTILITY::set_coordinated_latency_delay(roots, untouched, 0);
    SCI_ADVANCED_TRIGGER_UTILITY::set_coordinated_latency_delay(nullptr, untouched, 1);
    EXPECT_EQ(untouched[0], -7);
}

TEST_F(sci_test, a_level_description_is_written_whole_with_its_equation)
{
    QTemporaryDir dir;
    auto factory = SCI_ADVANCED_TRIGGER_FACTORY::parse("('a'&'b')#2", nullptr);
    auto* root = static_cast<SCI_ADVANCED_TRIGGER_OUTPUT*>(factory->get_root());
    const QByteArray path = dir.path().toLocal8Bit();
    ASSERT_TRUE(SCI_ADVANCED_TRIGGER_UTILITY::create_advanced_trigger_hdl("p_level_1", root, false, false,
                                                                          false, path.constData()));
    QFile plain(dir.filePath("p_level_1.hdl"));
    ASSERT_TRUE(plain.open(QIODevice::ReadOnly));
    const QByteArray text = plain.readAll();
    EXPECT_TRUE(text.contains("pipeline latency 3")) << text.constData();
    EXPECT_TRUE(text.contains("('a'&'b')#2")) << text.constData();
    ASSERT_TRUE(SCI_ADVANCED_TRIGGER_UTILITY::create_advanced_trigger_hdl("p_level_2", root, false, true,
                                                                          false, path.constData()));
    QFile encrypted(dir.filePath("p_level_2.hdl"));
    ASSERT_TRUE(encrypted.open(QIODevice::ReadOnly));
    const QByteArray secret = encrypted.readAll();
    EXPECT_TRUE(secret.contains("encrypted yes"));
    EXPECT_FALSE(secret.contains("'a'")) << "an encrypted description does not show the equation";
    EXPECT_FALSE(SCI_ADVANCED_TRIGGER_UTILITY::create_advanced_trigger_hdl("x", nullptr, false, false, false,
                                                                           path.constData()));
    EXPECT_FALSE(SCI_ADVANCED_TRIGGER_UTILITY::create_advanced_trigger_hdl("x", root, false, false, false,
                                                                           "/nonexistent/folder"));
}
