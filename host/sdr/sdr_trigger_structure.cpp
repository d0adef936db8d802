// The structure of advanced level equations (read through the trigger compiler's parse) and of
// state-based flows (read token by token).
#include "host/sdr/sdr_trigger_structure.h"

#include "host/sci.h"

#include <cstring>

namespace
{
const char* const LOGICAL_WORD[] = {"and", "", "or", "", "xor", "", "!"};
const char* const BITWISE_WORD[] = {"&", "", "|", "", "^", "", "~"};
const char* const COMPARE_WORD[] = {">", ">=", "<", "<=", "==", "!=", "FALSE", "TRUE"};
const char* const SHIFT_WORD[] = {"rotate", "arithmetic", "logical"};

const char* word_of(const char* const* words, int count, int value)
{
    return value >= 0 && value < count ? words[value] : "?";
}

// Writes a parse tree as its structure. Names of objects are left out, wire names and delays
// (pipelines, data delays) stay: they are what the compile builds. A parse is at most as deep
// as a condition may be drawn, so the recursion is bounded.
class STRUCTURE_WRITER : public SCI_ADVANCED_TRIGGER_VISITOR
{
public:
    std::string text;

    void write(SCI_ADVANCED_TRIGGER_BASE* node)
    {
        if (node == nullptr)
            return;
        node->accept(*this);
        if (node->get_delay() != 0)
            text += "#" + std::to_string(node->get_delay());
    }

    void visit(SCI_ADVANCED_TRIGGER_LOGICAL* node) override
    {
        if (node->get_operation() == SCI_LTYPE_NOT)
            return prefixed("!", node);
        call(std::string(word_of(LOGICAL_WORD, 7, node->get_operation())) + "(", node, ")");
    }
    void visit(SCI_ADVANCED_TRIGGER_UNARY* node) override
    {
        call(std::string("(") + word_of(BITWISE_WORD, 7, node->get_operation()), node, ")");
    }
    void visit(SCI_ADVANCED_TRIGGER_CUSTOM_HDL* node) override
    {
        call("hdl(" + std::to_string(node->get_input_width()) + ",", node,
             std::string(",'") + node->get_bitstream() + "'," + std::to_string(node->get_pipeline_latency()) + "," +
                 node->get_module_name() + ")");
    }
    void visit(SCI_ADVANCED_TRIGGER_BITWISE* node) override
    {
        if (node->get_operation() == SCI_LTYPE_NOT)
            return prefixed("~", node);
        call("(", node, ")", word_of(BITWISE_WORD, 7, node->get_operation()));
    }
    void visit(SCI_ADVANCED_TRIGGER_COMPARE_CONSTANT* node) override
    {
        compare(node, word_of(COMPARE_WORD, 8, node->get_operation()), "cc");
    }
    // The operator of a variable comparison is loaded with the run.
    void visit(SCI_ADVANCED_TRIGGER_COMPARE_VARIABLE* node) override { compare(node, "", "vc"); }
    // Direction and distance are loaded with the run.
    void visit(SCI_ADVANCED_TRIGGER_SHIFT* node) override
    {
        call(std::string("shift(") + word_of(SHIFT_WORD, 3, node->get_operation()) + ",,,", node, ")");
    }
    void visit(SCI_ADVANCED_TRIGGER_OUTPUT* node) override { write(node->get_input_connection_at(0)); }
    void visit(SCI_ADVANCED_TRIGGER_INPUT_WIRE* node) override { text += quoted(node->get_name()); }
    void visit(SCI_ADVANCED_TRIGGER_INPUT_CONSTANT* node) override
    {
        text += std::to_string(node->get_value());
        // The words above the first of a wide constant are built too; a one-word constant keeps
        // the form the programming files already record.
        const SCI_NUMBER& number = node->get_number();
        for (size_t i = 1; i < number.words.size(); ++i)
            text += ":" + std::to_string(number.words[i]);
        if (number.words.size() > 1 && number.negative)
            text += ":-";
    }
    void visit(SCI_ADVANCED_TRIGGER_INPUT_VARIABLE*) override { text += "variable()"; }
    void visit(SCI_ADVANCED_TRIGGER_CONCATENATE* node) override { call("{", node, "}"); }
    // The pattern of a detector is loaded with the run; how many inputs it watches is not.
    void visit(SCI_ADVANCED_TRIGGER_MBPM* node) override { call("mbpm(,", node, ")"); }
    void visit(SCI_ADVANCED_TRIGGER_IMBPM* node) override
    {
        text += std::string("imbpm(,{") + node->get_nodes() + "})";
    }
    // Counter value, type and hold are loaded with the run; its width is built.
    void visit(SCI_ADVANCED_TRIGGER_EVENT_COUNTER* node) override
    {
        call("ec(" + std::to_string(node->get_counter_width()) + ",,,,", node, ")");
    }
    void visit(SCI_FLOW_CONTROL_STATE_MACHINE*) override {}
    void visit(SCI_FLOW_CONTROL_STATE_BODY*) override {}
    void visit(SCI_FLOW_CONTROL_BRANCH*) override {}
    void visit(SCI_FLOW_CONTROL_CONDITION*) override {}
    void visit(SCI_FLOW_CONTROL_ACTION_LIST*) override {}
    void visit(SCI_FLOW_CONTROL_ACTION_COUNTER*) override {}
    void visit(SCI_FLOW_CONTROL_ACTION_FLAG*) override {}
    void visit(SCI_FLOW_CONTROL_ACTION_TRIGGER*) override {}
    void visit(SCI_FLOW_CONTROL_ACTION_TRANSITION*) override {}
    void visit(SCI_FLOW_CONTROL_ACTION_STORE*) override {}
    void visit(SCI_FLOW_CONTROL_RESOURCE_LIST*) override {}
    void visit(SCI_FLOW_CONTROL_RESOURCE_COUNTER*) override {}
    void visit(SCI_FLOW_CONTROL_RESOURCE_FLAG*) override {}
    void visit(SCI_FLOW_CONTROL_RESOURCE_CONDITION*) override {}

private:
    static std::string quoted(const std::string& name)
    {
        std::string out = "'";
        for (char c : name)
        {
            if (c == '\'' || c == '\\')
                out += '\\';
            out += c;
        }
        return out + "'";
    }

    void prefixed(const char* word, SCI_ADVANCED_TRIGGER_BASE* node)
    {
        text += word;
        write(node->get_input_connection_at(0));
    }

    // `open`, the inputs separated by `separator`, `close`.
    void call(const std::string& open, SCI_ADVANCED_TRIGGER_BASE* node, const std::string& close,
              const char* separator = ",")
    {
        text += open;
        for (int i = 0; i < node->get_input_count(); ++i)
        {
            if (i > 0)
                text += separator;
            write(node->get_input_connection_at(i));
        }
        text += close;
    }

    void compare(SCI_ADVANCED_TRIGGER_COMPARE_CONSTANT* node, const char* op, const char* kind)
    {
        text += "compare(";
        write(node->get_input_connection_at(0));
        text += std::string(",") + op + ",";
        write(node->get_input_connection_at(1));
        text += std::string(",") + kind + (node->get_signed_mode() != 0 ? ",sc)" : ",uc)");
    }
};

bool is_name_char(char c)
{
    const unsigned char u = static_cast<unsigned char>(c);
    return (u >= '0' && u <= '9') || (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || u == '_' || u >= 0x80;
}

bool is_blank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

// The length of the flow token at `at`: a run of name characters, a two-character operator
// ("&&", "||", "<=", ">=", "==", "!="), or one other character.
size_t token_length(const std::string& flow, size_t at)
{
    size_t end = at;
    while (end < flow.size() && is_name_char(flow[end]))
        ++end;
    if (end > at)
        return end - at;
    const char next = at + 1 < flow.size() ? flow[at + 1] : '\0';
    switch (flow[at])
    {
    case '&':
    case '|': return next == flow[at] ? 2 : 1;
    case '<':
    case '>':
    case '=':
    case '!': return next == '=' ? 2 : 1;
    default: return 1;
    }
}

// A token of a flow, in place.
struct TOKEN
{
    const char* text;
    size_t length;

    template <size_t N> bool is(const char (&word)[N]) const
    {
        return N - 1 == length && std::memcmp(text, word, length) == 0;
    }
    bool is_comparison() const
    {
        return (length == 1 && (*text == '<' || *text == '>')) ||
               (length == 2 && text[1] == '=' && std::strchr("<>=!", text[0]) != nullptr);
    }
    bool is_logical() const { return is("&&") || is("||"); }
    bool is_number() const
    {
        for (size_t i = 0; i < length; ++i)
            if (text[i] < '0' || text[i] > '9')
                return false;
        return true;
    }
};
} // namespace

std::string SDR_TRIGGER_STRUCTURE::of_equation(const std::string& equation)
{
    const auto parsed = SCI_ADVANCED_TRIGGER_FACTORY::parse(equation.c_str(), nullptr);
    if (parsed == nullptr || parsed->get_root() == nullptr)
        return "unread:" + equation;
    STRUCTURE_WRITER writer;
    writer.write(parsed->get_root());
    return writer.text;
}

// One pass over the tokens, as the editor marks the ones a run may change: a number right after
// a comparison operator is a comparison value, and a goto's destination runs up to its ";"
// (state names may hold blanks). A flow that does not read is then still compared as written.
std::string SDR_TRIGGER_STRUCTURE::of_flow(const std::string& flow, int runtime_options)
{
    const bool free_goto = (runtime_options & SCI_RUNTIME_CONFIG_GOTO_STATE) != 0;
    const bool free_values = (runtime_options & SCI_RUNTIME_CONFIG_COMPARISON_VALUES) != 0;
    const bool free_logical = (runtime_options & SCI_RUNTIME_CONFIG_LOGICAL_OPERATORS) != 0;
    const bool free_comparison = (runtime_options & SCI_RUNTIME_CONFIG_COMPARISON_OPERATORS) != 0;
    std::string out;
    out.reserve(flow.size());
    bool destination = false;
    bool after_comparison = false;
    for (size_t at = 0; at < flow.size();)
    {
        if (is_blank(flow[at]))
        {
            ++at;
            continue;
        }
        const TOKEN token{flow.data() + at, token_length(flow, at)};
        at += token.length;
        const bool end = token.is(";");
        if (destination && !end && free_goto)
            continue;
        destination = (destination || token.is("goto")) && !end;
        if (token.is_comparison() && free_comparison)
            out += '?';
        else if (token.is_logical() && free_logical)
            out += "&|";
        else if (after_comparison && token.is_number() && free_values)
            out += '#';
        else
            out.append(token.text, token.length);
        after_comparison = token.is_comparison();
        out += ' ';
    }
    return out;
}
