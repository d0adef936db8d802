// SCI_ADVANCED_TRIGGER_FACTORY::parse: a recursive-descent reader of the equation language in
// which the analyzer hands an advanced trigger level to the trigger compiler.
//
//   expr     := group | quoted [":" "(" inner ")"] | "~" expr | "!" expr | call | "{" list "}" | number
//   group    := "(" inner ")" ["#" number]            pipeline registers after the group
//   inner    := quoted "@" number                      a wire's data delay
//             | ("&" | "|" | "^") expr                 reduction
//             | expr {("&" | "|" | "^") expr}          bitwise, one operator per group
//   call     := and|or|xor "(" list ")" | compare(...) | shift(...) | mbpm(...) | imbpm(...) | ec(...)
//             | variable "(" number ")" | constant "(" number ")" | mvx_custom_trigger_hdl(...)
#include "host/sci.h"

#include "host/sdr/sdr_file_limits.h"

#include <cctype>
#include <climits>
#include <map>
#include <utility>
#include <vector>

namespace
{
// The editor writes at most three nested expressions per object (a pipeline group, a name and
// the object's own call), so an equation of the deepest condition it can draw stays within this;
// deeper nesting is refused rather than risking the stack.
constexpr int MAX_DEPTH = 3 * SDR_FILE_LIMITS::MAX_CONDITION_DEPTH + 8;

// A number may be as wide as a bus of every row of a node list; a wider one is refused rather
// than read digit by digit into ever more words.
constexpr size_t MAX_NUMBER_WORDS = SDR_FILE_LIMITS::MAX_ROWS_PER_LIST / 64;

// magnitude = magnitude * 10 + digit; false when it would need more than MAX_NUMBER_WORDS.
bool append_digit(std::vector<std::uint64_t>* magnitude, unsigned digit)
{
    unsigned __int128 carry = digit;
    for (std::uint64_t& word : *magnitude)
    {
        const unsigned __int128 next = static_cast<unsigned __int128>(word) * 10 + carry;
        word = static_cast<std::uint64_t>(next);
        carry = next >> 64;
    }
    if (carry != 0)
        magnitude->push_back(static_cast<std::uint64_t>(carry));
    return magnitude->size() <= MAX_NUMBER_WORDS;
}

// The depth of a parse in nodes, the output node counted; without recursion.
int depth_of(const SCI_ADVANCED_TRIGGER_BASE* root)
{
    int deepest = 0;
    std::vector<std::pair<const SCI_ADVANCED_TRIGGER_BASE*, int>> stack{{root, 1}};
    while (!stack.empty())
    {
        const auto [node, depth] = stack.back();
        stack.pop_back();
        deepest = std::max(deepest, depth);
        for (int i = 0; i < node->get_input_count(); ++i)
            if (const SCI_ADVANCED_TRIGGER_BASE* input = node->get_input_connection_at(i))
                stack.push_back({input, depth + 1});
    }
    return deepest;
}

class parser
{
public:
    parser(const char* text, SCI_ADVANCED_TRIGGER_FACTORY* factory) : m_text(text), m_factory(factory) {}

    SCI_ADVANCED_TRIGGER_BASE* parse_equation()
    {
        SCI_ADVANCED_TRIGGER_BASE* node = expr();
        skip_blanks();
        if (node != nullptr && m_text[m_pos] != '\0')
            return fail("unexpected text after the equation");
        return node;
    }

    const std::string& error() const { return m_error; }

private:
    // ---- characters and tokens ------------------------------------------------------------------
    void skip_blanks()
    {
        while (std::isspace(static_cast<unsigned char>(m_text[m_pos])))
            ++m_pos;
    }

    char peek()
    {
        skip_blanks();
        return m_text[m_pos];
    }

    bool accept(char c)
    {
        if (peek() != c)
            return false;
        ++m_pos;
        return true;
    }

    bool accept(const char* word)
    {
        skip_blanks();
        size_t n = 0;
        while (word[n] != '\0' && m_text[m_pos + n] == word[n])
            ++n;
        if (word[n] != '\0')
            return false;
        m_pos += n;
        return true;
    }

    bool expect(char c)
    {
        if (accept(c))
            return true;
        fail(std::string("'") + c + "' expected");
        return false;
    }

    std::nullptr_t fail(const std::string& what)
    {
        if (m_error.empty())
            m_error = what + " at offset " + std::to_string(m_pos);
        return nullptr;
    }

    std::string identifier()
    {
        skip_blanks();
        std::string word;
        while (std::isalnum(static_cast<unsigned char>(m_text[m_pos])) || m_text[m_pos] == '_')
            word += m_text[m_pos++];
        return word;
    }

    // A single-quoted text; a backslash takes the next character as it is.
    bool quoted(std::string* out)
    {
        if (!expect('\''))
            return false;
        out->clear();
        for (;;)
        {
            char c = m_text[m_pos];
            if (c == '\0')
            {
                fail("unterminated quoted text");
                return false;
            }
            ++m_pos;
            if (c == '\'')
                return true;
            if (c == '\\' && m_text[m_pos] != '\0')
                c = m_text[m_pos++];
            *out += c;
        }
    }

    // A decimal number, "-" before a negative one, of any width a bus has.
    bool number(SCI_NUMBER* value)
    {
        skip_blanks();
        const bool negative = m_text[m_pos] == '-';
        size_t at = m_pos + (negative ? 1 : 0);
        if (!std::isdigit(static_cast<unsigned char>(m_text[at])))
        {
            fail("number expected");
            return false;
        }
        std::vector<std::uint64_t> magnitude{0};
        for (; std::isdigit(static_cast<unsigned char>(m_text[at])); ++at)
            if (!append_digit(&magnitude, unsigned(m_text[at] - '0')))
            {
                fail("number out of range");
                return false;
            }
        m_pos = at;
        *value = SCI_NUMBER::of_magnitude(std::move(magnitude), negative);
        return true;
    }

    // A number that a signed 64-bit integer holds.
    bool integer(std::int64_t* value)
    {
        SCI_NUMBER parsed;
        if (!number(&parsed))
            return false;
        const std::uint64_t low = parsed.words.front();
        if (parsed.words.size() > 1 || (low >> 63 != 0) != parsed.negative)
        {
            fail("number out of range");
            return false;
        }
        *value = static_cast<std::int64_t>(low);
        return true;
    }

    bool small_integer(int* value, int low, int high)
    {
        std::int64_t parsed = 0;
        if (!integer(&parsed))
            return false;
        if (parsed < low || parsed > high)
        {
            fail("number out of range");
            return false;
        }
        *value = static_cast<int>(parsed);
        return true;
    }

    // ---- expressions ----------------------------------------------------------------------------
    SCI_ADVANCED_TRIGGER_BASE* expr()
    {
        if (++m_depth > MAX_DEPTH)
            return fail("equation nested too deeply");
        SCI_ADVANCED_TRIGGER_BASE* node = primary();
        --m_depth;
        return node;
    }

    SCI_ADVANCED_TRIGGER_BASE* primary()
    {
        const char c = peek();
        if (c == '(')
            return group();
        if (c == '\'')
            return wire_or_named();
        if (c == '~' || c == '!')
        {
            ++m_pos;
            SCI_ADVANCED_TRIGGER_BASE* node =
                c == '~' ? static_cast<SCI_ADVANCED_TRIGGER_BASE*>(
                               m_factory->make<SCI_ADVANCED_TRIGGER_BITWISE>(SCI_LTYPE_NOT))
                         : m_factory->make<SCI_ADVANCED_TRIGGER_LOGICAL>(SCI_LTYPE_NOT);
            return with_inputs(node, {expr()});
        }
        if (c == '{')
            return concatenation();
        if (std::isdigit(static_cast<unsigned char>(c)) || c == '-')
        {
            SCI_NUMBER value;
            return number(&value) ? m_factory->make<SCI_ADVANCED_TRIGGER_INPUT_CONSTANT>(std::move(value)) : nullptr;
        }
        if (std::isalpha(static_cast<unsigned char>(c)))
            return call();
        return fail("expression expected");
    }

    SCI_ADVANCED_TRIGGER_BASE* with_inputs(SCI_ADVANCED_TRIGGER_BASE* node,
                                           std::initializer_list<SCI_ADVANCED_TRIGGER_BASE*> inputs)
    {
        for (SCI_ADVANCED_TRIGGER_BASE* input : inputs)
        {
            if (input == nullptr)
                return nullptr;
            node->add_input(input);
        }
        return node;
    }

    // "(" inner ")" with an optional pipeline "#n" on what the group holds.
    SCI_ADVANCED_TRIGGER_BASE* group()
    {
        expect('(');
        SCI_ADVANCED_TRIGGER_BASE* node = inner();
        if (node == nullptr || !expect(')'))
            return nullptr;
        if (accept('#'))
        {
            int delay = 0;
            if (!small_integer(&delay, 0, INT_MAX / 4))
                return nullptr;
            node->set_delay(node->get_delay() + delay);
        }
        return node;
    }

    SCI_ADVANCED_TRIGGER_BASE* inner()
    {
        const char c = peek();
        if (c == '&' || c == '|' || c == '^')
        {
            ++m_pos;
            return with_inputs(m_factory->make<SCI_ADVANCED_TRIGGER_UNARY>(operation_of(c)), {expr()});
        }
        SCI_ADVANCED_TRIGGER_BASE* first = expr();
        if (first == nullptr)
            return nullptr;
        if (accept('@'))
            return data_delay(first);
        const char op = peek();
        if (op != '&' && op != '|' && op != '^')
            return first;
        SCI_ADVANCED_TRIGGER_BASE* node = m_factory->make<SCI_ADVANCED_TRIGGER_BITWISE>(operation_of(op));
        node->add_input(first);
        while (accept(op))
            if (with_inputs(node, {expr()}) == nullptr)
                return nullptr;
        const char other = peek();
        if (other == '&' || other == '|' || other == '^')
            return fail("operators mixed without parentheses");
        return node;
    }

    SCI_ADVANCED_TRIGGER_BASE* data_delay(SCI_ADVANCED_TRIGGER_BASE* node)
    {
        int delay = 0;
        if (!small_integer(&delay, 0, INT_MAX / 4))
            return nullptr;
        node->set_delay(node->get_delay() + delay);
        return node;
    }

    static SCI_LOGICAL_TYPE operation_of(char c)
    {
        return c == '&' ? SCI_LTYPE_AND : c == '|' ? SCI_LTYPE_OR : SCI_LTYPE_XOR;
    }

    // 'name' is a wire; 'name':(...) names the object the parentheses hold.
    SCI_ADVANCED_TRIGGER_BASE* wire_or_named()
    {
        std::string name;
        if (!quoted(&name))
            return nullptr;
        if (!accept(':'))
            return m_factory->make<SCI_ADVANCED_TRIGGER_INPUT_WIRE>(name);
        if (!expect('('))
            return nullptr;
        SCI_ADVANCED_TRIGGER_BASE* node = inner();
        if (node == nullptr || !expect(')'))
            return nullptr;
        node->set_name(name);
        return node;
    }

    SCI_ADVANCED_TRIGGER_BASE* concatenation()
    {
        expect('{');
        SCI_ADVANCED_TRIGGER_BASE* node = m_factory->make<SCI_ADVANCED_TRIGGER_CONCATENATE>();
        return list_into(node, '}') ? node : nullptr;
    }

    // Expressions separated by "," up to `close`; an empty list is allowed.
    bool list_into(SCI_ADVANCED_TRIGGER_BASE* node, char close)
    {
        if (accept(close))
            return true;
        do
        {
            SCI_ADVANCED_TRIGGER_BASE* input = expr();
            if (input == nullptr)
                return false;
            node->add_input(input);
        } while (accept(','));
        return expect(close);
    }

    SCI_ADVANCED_TRIGGER_BASE* call()
    {
        const std::string word = identifier();
        if (!expect('('))
            return nullptr;
        if (word == "and" || word == "or" || word == "xor")
        {
            auto* node = m_factory->make<SCI_ADVANCED_TRIGGER_LOGICAL>(word == "and"  ? SCI_LTYPE_AND
                                                                       : word == "or" ? SCI_LTYPE_OR
                                                                                      : SCI_LTYPE_XOR);
            return list_into(node, ')') ? node : nullptr;
        }
        if (word == "variable" || word == "constant")
            return value(word == "variable");
        if (word == "compare")
            return compare();
        if (word == "shift")
            return shift();
        if (word == "mbpm")
            return mbpm();
        if (word == "imbpm")
            return imbpm();
        if (word == "ec")
            return counter();
        if (word == "mvx_custom_trigger_hdl")
            return custom_hdl();
        return fail("unknown function \"" + word + "\"");
    }

    SCI_ADVANCED_TRIGGER_BASE* value(bool variable)
    {
        SCI_NUMBER value;
        if (!number(&value) || !expect(')'))
            return nullptr;
        if (variable)
            return m_factory->make<SCI_ADVANCED_TRIGGER_INPUT_VARIABLE>(std::move(value));
        return m_factory->make<SCI_ADVANCED_TRIGGER_INPUT_CONSTANT>(std::move(value));
    }

    bool comparison_operator(SCI_COMPARE_TYPE* operation)
    {
        static const std::pair<const char*, SCI_COMPARE_TYPE> words[] = {
            {">=", SCI_CTYPE_GREATER_THAN_OR_EQUAL_TO},
            {"<=", SCI_CTYPE_LESS_THAN_OR_EQUAL_TO},
            {"==", SCI_CTYPE_EQUAL_TO},
            {"!=", SCI_CTYPE_NOT_EQUAL_TO},
            {">", SCI_CTYPE_GREATER_THAN},
            {"<", SCI_CTYPE_LESS_THAN},
            {"TRUE", SCI_CTYPE_TRUE},
            {"FALSE", SCI_CTYPE_FALSE},
            {"1", SCI_CTYPE_TRUE},
            {"0", SCI_CTYPE_FALSE},
        };
        for (const auto& word : words)
            if (accept(word.first))
            {
                *operation = word.second;
                return true;
            }
        fail("comparison operator expected");
        return false;
    }

    // compare(a, op, b, vc|cc, sc|uc)
    SCI_ADVANCED_TRIGGER_BASE* compare()
    {
        SCI_ADVANCED_TRIGGER_BASE* left = expr();
        SCI_COMPARE_TYPE operation = SCI_CTYPE_EQUAL_TO;
        if (left == nullptr || !expect(',') || !comparison_operator(&operation) || !expect(','))
            return nullptr;
        SCI_ADVANCED_TRIGGER_BASE* right = expr();
        if (right == nullptr || !expect(','))
            return nullptr;
        const std::string configurable = identifier();
        if ((configurable != "vc" && configurable != "cc") || !expect(','))
            return fail("vc or cc expected");
        const std::string sign = identifier();
        if ((sign != "sc" && sign != "uc") || !expect(')'))
            return fail("sc or uc expected");
        SCI_ADVANCED_TRIGGER_BASE* node =
            configurable == "vc"
                ? static_cast<SCI_ADVANCED_TRIGGER_BASE*>(
                      m_factory->make<SCI_ADVANCED_TRIGGER_COMPARE_VARIABLE>(operation, sign == "sc"))
                : m_factory->make<SCI_ADVANCED_TRIGGER_COMPARE_CONSTANT>(operation, sign == "sc");
        return with_inputs(node, {left, right});
    }

    // shift(logical|rotate|arithmetic, left|right, distance, x)
    SCI_ADVANCED_TRIGGER_BASE* shift()
    {
        static const std::map<std::string, SCI_SHIFT_TYPE> types = {{"logical", SCI_STYPE_LOGICAL},
                                                                    {"rotate", SCI_STYPE_ROTATE},
                                                                    {"arithmetic", SCI_STYPE_ARITHMETIC}};
        const auto type = types.find(identifier());
        if (type == types.end() || !expect(','))
            return fail("shift type expected");
        const std::string direction = identifier();
        if ((direction != "left" && direction != "right") || !expect(','))
            return fail("left or right expected");
        int amount = 0;
        if (!small_integer(&amount, 0, INT_MAX) || !expect(','))
            return nullptr;
        SCI_ADVANCED_TRIGGER_BASE* input = expr();
        if (input == nullptr || !expect(')'))
            return nullptr;
        return with_inputs(
            m_factory->make<SCI_ADVANCED_TRIGGER_SHIFT>(type->second, direction == "right", amount), {input});
    }

    // mbpm('pattern', {a, b}) or mbpm('pattern', bus) or mbpm('pattern', )
    SCI_ADVANCED_TRIGGER_BASE* mbpm()
    {
        std::string pattern;
        if (!quoted(&pattern) || !expect(','))
            return nullptr;
        auto* node = m_factory->make<SCI_ADVANCED_TRIGGER_MBPM>(pattern);
        if (accept(')'))
            return node;
        if (accept('{'))
            return list_into(node, '}') && expect(')') ? node : nullptr;
        SCI_ADVANCED_TRIGGER_BASE* input = expr();
        if (input == nullptr || !expect(')'))
            return nullptr;
        return with_inputs(node, {input});
    }

    // imbpm('pattern', {nodes}) or imbpm()
    SCI_ADVANCED_TRIGGER_BASE* imbpm()
    {
        std::string pattern;
        std::string nodes;
        if (accept(')'))
            return m_factory->make<SCI_ADVANCED_TRIGGER_IMBPM>(pattern, nodes);
        if (!quoted(&pattern) || !expect(',') || !expect('{'))
            return nullptr;
        while (m_text[m_pos] != '}' && m_text[m_pos] != '\0')
            nodes += m_text[m_pos++];
        if (!expect('}') || !expect(')'))
            return nullptr;
        return m_factory->make<SCI_ADVANCED_TRIGGER_IMBPM>(pattern, nodes);
    }

    // ec(width, value, c|e|s, hold, x)
    SCI_ADVANCED_TRIGGER_BASE* counter()
    {
        int width = 0;
        SCI_NUMBER value;
        // The count is compared in at most 64 bits: the value is one unsigned word.
        if (!small_integer(&width, 1, 64) || !expect(',') || !number(&value) || value.negative ||
            value.words.size() > 1 || !expect(','))
            return m_error.empty() ? fail("counter value out of range") : nullptr;
        const std::string type = identifier();
        static const std::map<std::string, SCI_EVENT_COUNTER_TYPE> modes = {
            {"c", SCI_ETYPE_CONTINUOUS}, {"e", SCI_ETYPE_EVENT}, {"s", SCI_ETYPE_STATE}};
        const auto mode = modes.find(type);
        int hold = 0;
        if (mode == modes.end() || !expect(',') || !small_integer(&hold, 0, 1) || !expect(','))
            return m_error.empty() ? fail("counter type expected") : nullptr;
        SCI_ADVANCED_TRIGGER_BASE* input = expr();
        if (input == nullptr || !expect(')'))
            return nullptr;
        auto* node = m_factory->make<SCI_ADVANCED_TRIGGER_EVENT_COUNTER>(width, value.words.front(), mode->second,
                                                                         hold == 1);
        return with_inputs(node, {input});
    }

    // mvx_custom_trigger_hdl(width, input, length, 'bitstream', pipeline, module)
    SCI_ADVANCED_TRIGGER_BASE* custom_hdl()
    {
        int width = 0;
        int length = 0;
        int pipeline = 0;
        std::string bitstream;
        if (!small_integer(&width, 0, INT_MAX) || !expect(','))
            return nullptr;
        SCI_ADVANCED_TRIGGER_BASE* input = expr();
        if (input == nullptr || !expect(',') || !small_integer(&length, 0, INT_MAX) || !expect(',') ||
            !quoted(&bitstream) || !expect(',') || !small_integer(&pipeline, 0, INT_MAX / 4) || !expect(','))
            return nullptr;
        if (static_cast<size_t>(length) != bitstream.size())
            return fail("bitstream length does not match");
        const std::string module = identifier();
        if (module.empty())
            return fail("module name expected");
        // The call is closed only when the object had a name; both forms are the editor's.
        accept(')');
        auto* node = m_factory->make<SCI_ADVANCED_TRIGGER_CUSTOM_HDL>(width, bitstream, pipeline, module);
        return with_inputs(node, {input});
    }

    const char* m_text;
    size_t m_pos = 0;
    int m_depth = 0;
    SCI_ADVANCED_TRIGGER_FACTORY* m_factory;
    std::string m_error;
};
} // namespace

std::unique_ptr<SCI_ADVANCED_TRIGGER_FACTORY> SCI_ADVANCED_TRIGGER_FACTORY::parse(const char* equation,
                                                                                  std::string* error)
{
    std::string ignored;
    std::string& reason = error != nullptr ? *error : ignored;
    reason.clear();
    if (equation == nullptr)
    {
        reason = "no equation";
        return nullptr;
    }
    auto factory = std::make_unique<SCI_ADVANCED_TRIGGER_FACTORY>();
    parser reader(equation, factory.get());
    SCI_ADVANCED_TRIGGER_BASE* top = reader.parse_equation();
    if (top == nullptr)
    {
        reason = reader.error().empty() ? "empty equation" : reader.error();
        return nullptr;
    }
    auto* output = factory->make<SCI_ADVANCED_TRIGGER_OUTPUT>(equation);
    output->add_input(top);
    // The condition the editor draws from it must be one it can hold.
    if (depth_of(output) > SDR_FILE_LIMITS::MAX_CONDITION_DEPTH)
    {
        reason = "equation nested deeper than " + std::to_string(SDR_FILE_LIMITS::MAX_CONDITION_DEPTH) + " levels";
        return nullptr;
    }
    factory->set_root(output);
    return factory;
}
