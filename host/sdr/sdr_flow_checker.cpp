// State-flow check: a recursive-descent reading of the flow language over a scanner that
// matches the trigger's names literally where a name is expected.
#include "host/sdr/sdr_flow_checker.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace
{
bool is_name_char(char c)
{
    const unsigned char u = static_cast<unsigned char>(c);
    return (u >= '0' && u <= '9') || (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || u == '_' || u >= 0x80;
}

bool is_space(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

// The names of one kind: plain identifiers answer from the set after reading one word; names
// with blanks or punctuation are tried literally, longest first.
class NAME_SET
{
public:
    explicit NAME_SET(std::vector<const std::set<std::string>*> sets)
    {
        for (const std::set<std::string>* set : sets)
        {
            for (const std::string& name : *set)
            {
                if (name.empty())
                    continue;
                m_all.insert(name);
                if (!std::all_of(name.begin(), name.end(), is_name_char))
                    m_literal.push_back(&name);
            }
        }
        std::sort(m_literal.begin(), m_literal.end(),
                  [](const std::string* a, const std::string* b) { return a->size() > b->size(); });
    }

    bool contains(const std::string& name) const { return m_all.count(name) != 0; }

    // Length of the longest name standing at `pos`; 0 when none does. A name ending in a
    // name character must not run on into a longer word.
    size_t match(const std::string& text, size_t pos, size_t word_length) const
    {
        size_t best = word_length > 0 && contains(text.substr(pos, word_length)) ? word_length : 0;
        for (const std::string* name : m_literal)
        {
            if (name->size() <= best)
                break;
            const size_t end = pos + name->size();
            if (text.compare(pos, name->size(), *name) == 0 &&
                !(is_name_char(name->back()) && end < text.size() && is_name_char(text[end])))
                best = name->size();
        }
        return best;
    }

private:
    std::set<std::string> m_all;
    std::vector<const std::string*> m_literal;
};

struct FLOW_ERROR
{
    std::string message;
    int line = 0;
};

class FLOW_PARSER
{
public:
    FLOW_PARSER(const std::string& text, const SDR_FLOW_CHECKER::NAMES& names)
        : m_text(text), m_names(names), m_states({&m_state_names}), m_counters({&names.counters}), m_flags({&names.flags}),
          m_operands({&names.conditions, &names.counters, &names.flags})
    {
        collect_states();
        m_states = NAME_SET({&m_state_names});
    }

    // False with `error` filled at the first problem; what was read goes to `program`.
    bool check(FLOW_ERROR* error, SDR_FLOW_PROGRAM* program)
    {
        m_error = error;
        m_program = program;
        skip_space();
        if (at_end())
            return fail("Missing state header", m_line);
        while (!at_end())
        {
            if (!header())
                return false;
            while (!at_end() && !at_header())
            {
                int index = -1;
                if (!statement(0, &index))
                    return false;
                m_program->bodies.back().push_back(index);
            }
        }
        return true;
    }

private:
    // ---- scanning ------------------------------------------------------------------------

    bool at_end() const { return m_pos >= m_text.size(); }

    void advance(size_t count)
    {
        for (size_t end = std::min(m_pos + count, m_text.size()); m_pos < end; ++m_pos)
            m_line += m_text[m_pos] == '\n' ? 1 : 0;
    }

    // White space and "//" comments; the line of the last real token stays in m_token_line.
    void skip_space()
    {
        while (!at_end())
        {
            if (is_space(m_text[m_pos]))
                advance(1);
            else if (m_text.compare(m_pos, 2, "//") == 0)
            {
                const size_t end = m_text.find('\n', m_pos);
                advance(end == std::string::npos ? m_text.size() - m_pos : end - m_pos);
            }
            else
                break;
        }
    }

    size_t word_length() const
    {
        size_t end = m_pos;
        while (end < m_text.size() && is_name_char(m_text[end]))
            ++end;
        return end - m_pos;
    }

    // The token at the scanner, for messages: a word, or one character.
    std::string token_text() const
    {
        const size_t length = word_length();
        return m_text.substr(m_pos, length > 0 ? length : 1);
    }

    void consume(size_t length)
    {
        m_token_line = m_line;
        advance(length);
        skip_space();
    }

    bool peek_word(const char* word) const
    {
        const size_t length = std::strlen(word);
        return m_text.compare(m_pos, length, word) == 0 && word_length() == length;
    }

    bool take_word(const char* word)
    {
        if (!peek_word(word))
            return false;
        consume(std::strlen(word));
        return true;
    }

    bool take(const char* punctuation)
    {
        const size_t length = std::strlen(punctuation);
        if (m_text.compare(m_pos, length, punctuation) != 0)
            return false;
        consume(length);
        return true;
    }

    bool take_name(const NAME_SET& names, std::string* name)
    {
        const size_t length = at_end() ? 0 : names.match(m_text, m_pos, word_length());
        if (length == 0)
            return false;
        *name = m_text.substr(m_pos, length);
        consume(length);
        return true;
    }

    bool fail(const std::string& message, int line)
    {
        m_error->message = message;
        m_error->line = line;
        return false;
    }

    // At the scanner, or at the end: the line of the token that is missing its follower.
    bool fail_here(const std::string& message) { return fail(message, at_end() ? m_token_line : m_line); }
    bool fail_after(const std::string& message) { return fail(message, m_token_line); }
    bool expect(const char* punctuation)
    {
        return take(punctuation) || fail_after(std::string("Missing \"") + punctuation + "\"");
    }

    // ---- states --------------------------------------------------------------------------

    bool at_line_start(size_t pos) const
    {
        while (pos > 0 && (m_text[pos - 1] == ' ' || m_text[pos - 1] == '\t'))
            --pos;
        return pos == 0 || m_text[pos - 1] == '\n';
    }

    bool at_header() const { return peek_word("state"); }

    // The name between "state" and the colon of its line; false when the line has no colon.
    bool header_name(size_t after_keyword, std::string* name, size_t* colon) const
    {
        const size_t line_end = std::min(m_text.find('\n', after_keyword), m_text.size());
        *colon = m_text.find(':', after_keyword);
        if (*colon == std::string::npos || *colon > line_end)
            return false;
        size_t first = after_keyword;
        size_t last = *colon;
        while (first < last && is_space(m_text[first]))
            ++first;
        while (last > first && is_space(m_text[last - 1]))
            --last;
        *name = m_text.substr(first, last - first);
        return !name->empty();
    }

    void collect_states()
    {
        for (size_t pos = m_text.find("state"); pos != std::string::npos; pos = m_text.find("state", pos + 5))
        {
            const bool word = (pos == 0 || !is_name_char(m_text[pos - 1])) &&
                              (pos + 5 >= m_text.size() || !is_name_char(m_text[pos + 5]));
            std::string name;
            size_t colon = 0;
            if (word && at_line_start(pos) && header_name(pos + 5, &name, &colon))
                m_state_names.insert(name);
        }
    }

    bool header()
    {
        if (!at_header())
            return fail_here("Missing state header");
        const int line = m_line;
        std::string name;
        size_t colon = 0;
        if (!at_line_start(m_pos) || !header_name(m_pos + 5, &name, &colon))
            return fail("Invalid state header", line);
        if (!m_seen_states.insert(name).second)
            return fail("Duplicate state name \"" + name + "\"", line);
        consume(colon + 1 - m_pos);
        m_program->states.push_back(name);
        m_program->bodies.emplace_back();
        return true;
    }

    int add_statement(SDR_FLOW_PROGRAM::STATEMENT_KIND kind, const std::string& name = std::string())
    {
        SDR_FLOW_PROGRAM::STATEMENT s;
        s.kind = kind;
        s.name = name;
        m_program->statements.push_back(std::move(s));
        return int(m_program->statements.size()) - 1;
    }

    int add_condition(SDR_FLOW_PROGRAM::CONDITION_KIND kind, std::vector<int> operands,
                      const std::string& name = std::string())
    {
        SDR_FLOW_PROGRAM::CONDITION c;
        c.kind = kind;
        c.name = name;
        c.operands = std::move(operands);
        m_program->conditions.push_back(std::move(c));
        return int(m_program->conditions.size()) - 1;
    }

    // ---- statements ----------------------------------------------------------------------

    bool statement(int depth, int* index)
    {
        using S = SDR_FLOW_PROGRAM;
        if (depth > SDR_FLOW_CHECKER::MAX_NESTING)
            return fail_here("Nesting too deep");
        if (take_word("begin"))
            return block(depth, *index = add_statement(S::BLOCK));
        if (take_word("if"))
            return branch(depth, *index = add_statement(S::IF));
        if (take_word("goto"))
            return target(m_states, "Unknown state name", *index = add_statement(S::GOTO));
        const std::pair<const char*, S::STATEMENT_KIND> simple[] = {
            {"trigger", S::TRIGGER}, {"segment_trigger", S::SEGMENT_TRIGGER},
            {"start_store", S::START_STORE}, {"stop_store", S::STOP_STORE}};
        for (const auto& action : simple)
            if (take_word(action.first))
            {
                *index = add_statement(action.second);
                return expect(";");
            }
        const std::pair<const char*, S::STATEMENT_KIND> counting[] = {
            {"increment", S::INCREMENT}, {"decrement", S::DECREMENT}, {"reset", S::RESET}};
        for (const auto& action : counting)
            if (take_word(action.first))
                return target(m_counters, "Unknown counter", *index = add_statement(action.second));
        const std::pair<const char*, S::STATEMENT_KIND> flagging[] = {{"set", S::SET}, {"clear", S::CLEAR}};
        for (const auto& action : flagging)
            if (take_word(action.first))
                return target(m_flags, "Unknown flag", *index = add_statement(action.second));
        if (peek_word("end"))
            return fail_here("\"end\" without \"begin\"");
        if (peek_word("else"))
            return fail_here("\"else\" without \"if\"");
        return fail_here("Unexpected \"" + token_text() + "\"");
    }

    bool block(int depth, int self)
    {
        while (!take_word("end"))
        {
            if (at_end() || at_header())
                return fail_here("Missing \"end\"");
            int child = -1;
            if (!statement(depth + 1, &child))
                return false;
            m_program->statements[size_t(self)].children.push_back(child);
        }
        return true;
    }

    // One "(condition) statement" of an if or else if.
    bool guarded(int depth, int self)
    {
        int test = -1;
        int body = -1;
        if (!expect("(") || !condition(depth + 1, &test) || !expect(")") || !branch_body(depth, &body))
            return false;
        m_program->statements[size_t(self)].branches.push_back({test, body});
        return true;
    }

    bool branch(int depth, int self)
    {
        if (!guarded(depth, self))
            return false;
        while (take_word("else"))
        {
            if (!take_word("if"))
            {
                int body = -1;
                if (!branch_body(depth, &body))
                    return false;
                m_program->statements[size_t(self)].otherwise = body;
                return true;
            }
            if (!guarded(depth, self))
                return false;
        }
        return true;
    }

    bool branch_body(int depth, int* index)
    {
        if (at_end() || at_header())
            return fail_after("Missing statement");
        return statement(depth + 1, index);
    }

    bool target(const NAME_SET& names, const char* unknown, int self)
    {
        std::string name;
        if (!take_name(names, &name))
            return fail_here(std::string(unknown) + " \"" + (at_end() ? std::string() : token_text()) + "\"");
        m_program->statements[size_t(self)].name = name;
        return expect(";");
    }

    // ---- conditions ----------------------------------------------------------------------

    // "||" binds looser than "&&"; each chain of more than one operand is one node.
    bool condition(int depth, int* index)
    {
        std::vector<int> any;
        do
        {
            std::vector<int> all;
            do
            {
                int one = -1;
                if (!operand(depth, &one))
                    return false;
                all.push_back(one);
            } while (take("&&"));
            any.push_back(all.size() == 1 ? all[0] : add_condition(SDR_FLOW_PROGRAM::AND, all));
        } while (take("||"));
        *index = any.size() == 1 ? any[0] : add_condition(SDR_FLOW_PROGRAM::OR, any);
        return true;
    }

    bool operand(int depth, int* index)
    {
        if (depth > SDR_FLOW_CHECKER::MAX_NESTING)
            return fail_here("Nesting too deep");
        if (take("!"))
        {
            int inner = -1;
            if (!operand(depth + 1, &inner))
                return false;
            *index = add_condition(SDR_FLOW_PROGRAM::NOT, {inner});
            return true;
        }
        if (take("("))
            return condition(depth + 1, index) && expect(")");
        std::string name;
        if (!take_name(m_operands, &name))
            return at_end() || !is_name_char(m_text[m_pos]) ? fail_here("Missing operand")
                                                            : fail_here("Unknown name \"" + token_text() + "\"");
        *index = add_condition(SDR_FLOW_PROGRAM::NAME, {}, name);
        if (!m_counters.contains(name))
            return true;
        for (const char* op : {">=", "<=", "==", "!=", ">", "<"})
            if (take(op))
            {
                SDR_FLOW_PROGRAM::CONDITION& c = m_program->conditions[size_t(*index)];
                c.kind = SDR_FLOW_PROGRAM::COMPARE;
                c.op = op;
                return number(&c.value);
            }
        // A counter stands alone only when a condition or a flag has the same name.
        if (m_names.conditions.count(name) != 0 || m_names.flags.count(name) != 0)
            return true;
        return fail_after("Missing comparison of counter \"" + name + "\"");
    }

    bool number(uint64_t* value)
    {
        size_t length = 0;
        while (m_pos + length < m_text.size() && m_text[m_pos + length] >= '0' && m_text[m_pos + length] <= '9')
            ++length;
        if (length == 0 || word_length() != length)
            return fail_after("Missing comparison value");
        // Values past 64 bits saturate: no counter reaches them.
        uint64_t v = 0;
        for (size_t i = 0; i < length; ++i)
        {
            const uint64_t digit = uint64_t(m_text[m_pos + i] - '0');
            v = v > (UINT64_MAX - digit) / 10 ? UINT64_MAX : v * 10 + digit;
        }
        *value = v;
        consume(length);
        return true;
    }

    const std::string& m_text;
    const SDR_FLOW_CHECKER::NAMES& m_names;
    std::set<std::string> m_state_names;
    std::set<std::string> m_seen_states;
    NAME_SET m_states;
    NAME_SET m_counters;
    NAME_SET m_flags;
    NAME_SET m_operands;
    FLOW_ERROR* m_error = nullptr;
    SDR_FLOW_PROGRAM* m_program = nullptr;
    size_t m_pos = 0;
    int m_line = 1;
    int m_token_line = 1;
};
} // namespace

bool SDR_FLOW_CHECKER::read(const std::string& text, const NAMES& names, SDR_FLOW_PROGRAM* program,
                            std::string* message, int* line)
{
    SDR_FLOW_PROGRAM ignored;
    SDR_FLOW_PROGRAM& out = program != nullptr ? *program : ignored;
    out = SDR_FLOW_PROGRAM();
    FLOW_PARSER parser(text, names);
    FLOW_ERROR error;
    if (parser.check(&error, &out))
        return true;
    if (message != nullptr)
        *message = error.message;
    if (line != nullptr)
        *line = error.line;
    return false;
}

bool SDR_FLOW_CHECKER::has_error(const std::string& text, const NAMES& names, std::string* message, int* line)
{
    return !read(text, names, nullptr, message, line);
}
