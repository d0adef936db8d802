// State-flow check: state headers, goto targets, names inside conditions, balanced brackets
// and begin/end blocks, statement ends and the kinds of counter and flag actions.
#include "host/sdr/sdr_flow_checker.h"

#include <cctype>
#include <sstream>

namespace
{
struct TOKEN
{
    std::string text;
    bool word = false;
};

std::vector<TOKEN> tokens_of(const std::string& line)
{
    std::vector<TOKEN> tokens;
    size_t i = 0;
    while (i < line.size())
    {
        const unsigned char c = static_cast<unsigned char>(line[i]);
        if (std::isspace(c)) { ++i; continue; }
        if (c == '/' && i + 1 < line.size() && line[i + 1] == '/')
            break;
        size_t j = i + 1;
        const bool word = std::isalpha(c) || c == '_';
        if (word || std::isdigit(c))
        {
            while (j < line.size() && (std::isalnum(static_cast<unsigned char>(line[j])) || line[j] == '_'
                                       || line[j] == '\'' || line[j] == '.'))
                ++j;
        }
        tokens.push_back(TOKEN{line.substr(i, j - i), word});
        i = j;
    }
    return tokens;
}

bool is_header(const std::vector<TOKEN>& t)
{
    return t.size() >= 3 && t[0].text == "state" && t[1].word && t[2].text == ":";
}

class CHECK
{
public:
    CHECK(const SDR_FLOW_CHECKER::NAMES& names, std::set<std::string> states) : m_names(names), m_states(std::move(states)) {}

    // Empty when the line is fine.
    std::string line(const std::vector<TOKEN>& t)
    {
        if (!t.empty() && t[0].text == "state")
            return is_header(t) ? std::string() : "Invalid state header";
        for (size_t i = 0; i < t.size(); ++i)
        {
            const std::string problem = token(t, i);
            if (!problem.empty())
                return problem;
        }
        return std::string();
    }

    std::string at_end() const
    {
        if (m_parens != 0)
            return "Unbalanced parentheses";
        return m_blocks != 0 ? "Missing \"end\"" : std::string();
    }

private:
    std::string token(const std::vector<TOKEN>& t, size_t i)
    {
        const std::string& s = t[i].text;
        if (s == "(") { ++m_parens; return std::string(); }
        if (s == ")") return --m_parens < 0 ? "Unbalanced parentheses" : std::string();
        if (s == "begin") { ++m_blocks; return std::string(); }
        if (s == "end") return --m_blocks < 0 ? "\"end\" without \"begin\"" : std::string();
        if (s == "goto") return action(t, i, m_states, "Unknown state name");
        if (s == "increment" || s == "decrement" || s == "clear") return action(t, i, m_names.counters, "Unknown counter");
        if (s == "set" || s == "reset") return action(t, i, m_names.flags, "Unknown flag");
        if (s == "trigger" || s == "start_store" || s == "stop_store") return ends_statement(t, i + 1);
        if (m_parens > 0 && t[i].word && !known_in_condition(s))
            return "Unknown name \"" + s + "\"";
        return std::string();
    }

    bool known_in_condition(const std::string& s) const
    {
        return m_names.conditions.count(s) != 0 || m_names.counters.count(s) != 0 || m_names.flags.count(s) != 0;
    }

    std::string action(const std::vector<TOKEN>& t, size_t i, const std::set<std::string>& known, const char* what)
    {
        if (i + 1 >= t.size() || known.count(t[i + 1].text) == 0)
            return std::string(what) + " \"" + (i + 1 < t.size() ? t[i + 1].text : std::string()) + "\"";
        return ends_statement(t, i + 2);
    }

    static std::string ends_statement(const std::vector<TOKEN>& t, size_t i)
    {
        return i < t.size() && t[i].text == ";" ? std::string() : "Missing \";\"";
    }

    const SDR_FLOW_CHECKER::NAMES& m_names;
    std::set<std::string> m_states;
    int m_parens = 0;
    int m_blocks = 0;
};
} // namespace

bool SDR_FLOW_CHECKER::has_error(const std::string& text, const NAMES& names, std::string* message, int* line)
{
    std::vector<std::vector<TOKEN>> lines;
    std::istringstream in(text);
    std::set<std::string> states;
    for (std::string raw; std::getline(in, raw);)
    {
        lines.push_back(tokens_of(raw));
        if (is_header(lines.back()))
            states.insert(lines.back()[1].text);
    }
    CHECK check(names, states);
    for (size_t i = 0; i < lines.size(); ++i)
    {
        const std::string problem = check.line(lines[i]);
        if (!problem.empty())
        {
            *message = problem;
            *line = int(i) + 1;
            return true;
        }
    }
    const std::string problem = check.at_end();
    if (problem.empty())
        return false;
    *message = problem;
    *line = std::max(1, int(lines.size()));
    return true;
}
