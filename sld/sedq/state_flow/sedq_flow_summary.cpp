// SEDQ_FLOW_SUMMARY: the structural rules of the flow language folded token by token, and the
// tokens the proposals read.
#include "sedq/state_flow/sedq_flow_summary.h"

namespace
{
// The tokens the summary tells apart; a token is compared once, by its length first.
enum class TOKEN
{
    OTHER,
    STATE,
    BEGIN,
    END,
    IF,
    ELSE,
    OPEN,
    CLOSE,
    GOTO,
    START_STORE,
    STOP_STORE,
    TRIGGER,
    SEGMENT_TRIGGER
};

TOKEN kind_of(const QString& token)
{
    static const struct
    {
        QLatin1String text;
        TOKEN kind;
    } words[] = {{QLatin1String("state"), TOKEN::STATE},
                 {QLatin1String("begin"), TOKEN::BEGIN},
                 {QLatin1String("end"), TOKEN::END},
                 {QLatin1String("if"), TOKEN::IF},
                 {QLatin1String("else"), TOKEN::ELSE},
                 {QLatin1String("("), TOKEN::OPEN},
                 {QLatin1String(")"), TOKEN::CLOSE},
                 {QLatin1String("goto"), TOKEN::GOTO},
                 {QLatin1String("start_store"), TOKEN::START_STORE},
                 {QLatin1String("stop_store"), TOKEN::STOP_STORE},
                 {QLatin1String("trigger"), TOKEN::TRIGGER},
                 {QLatin1String("segment_trigger"), TOKEN::SEGMENT_TRIGGER}};
    for (const auto& word : words)
        if (token.size() == word.text.size() && token == word.text)
            return word.kind;
    return TOKEN::OTHER;
}

unsigned keyword_of(TOKEN kind)
{
    switch (kind)
    {
    case TOKEN::IF:
        return SEDQ_FLOW_SUMMARY::KEYWORD_IF;
    case TOKEN::GOTO:
        return SEDQ_FLOW_SUMMARY::KEYWORD_GOTO;
    case TOKEN::START_STORE:
        return SEDQ_FLOW_SUMMARY::KEYWORD_START_STORE;
    case TOKEN::STOP_STORE:
        return SEDQ_FLOW_SUMMARY::KEYWORD_STOP_STORE;
    case TOKEN::TRIGGER:
        return SEDQ_FLOW_SUMMARY::KEYWORD_TRIGGER;
    case TOKEN::SEGMENT_TRIGGER:
        return SEDQ_FLOW_SUMMARY::KEYWORD_SEGMENT_TRIGGER;
    default:
        return 0;
    }
}
} // namespace

SEDQ_FLOW_SUMMARY::LOGIC SEDQ_FLOW_SUMMARY::follow(LOGIC logic, bool begin, bool end)
{
    if (logic == LOGIC_JUST)
        return begin ? LOGIC_OPEN : LOGIC_CLOSED;
    if (logic == LOGIC_OPEN && end)
        return LOGIC_CLOSED;
    return logic;
}

void SEDQ_FLOW_SUMMARY::add(const QString& token)
{
    const TOKEN kind = kind_of(token);
    if (m_count++ == 0)
        m_first = token;
    const bool begin = kind == TOKEN::BEGIN;
    const bool end = kind == TOKEN::END;
    m_last_opens_logic = kind == TOKEN::CLOSE || kind == TOKEN::ELSE;
    m_begin_depth = kind == TOKEN::STATE ? 0 : m_begin_depth + int(begin) - int(end);
    m_paren_depth = kind == TOKEN::IF ? 0 : m_paren_depth + int(kind == TOKEN::OPEN) - int(kind == TOKEN::CLOSE);
    if (kind == TOKEN::IF || kind == TOKEN::ELSE || kind == TOKEN::STATE)
    {
        m_branch = kind == TOKEN::IF ? BRANCH_IF : BRANCH_OTHER;
        m_branch_depth = 0;
    }
    else
        m_branch_depth += int(begin) - int(end);
    // The logic block looks at what follows the last ")", or the last "else" while there is no
    // ")" at all.
    m_after_close = kind == TOKEN::CLOSE ? LOGIC_JUST : follow(m_after_close, begin, end);
    m_after_else = kind == TOKEN::ELSE ? LOGIC_JUST : follow(m_after_else, begin, end);
    const unsigned keyword = keyword_of(kind);
    m_used = kind == TOKEN::STATE ? 0 : m_used | keyword;
    // Scanning back from an "else" skips over its branch to before the "if" in front of it.
    if (kind == TOKEN::ELSE)
        m_visible = m_visible_before_if;
    else
    {
        if (kind == TOKEN::IF)
            m_visible_before_if = m_visible;
        m_visible |= keyword;
    }
}

void SEDQ_FLOW_SUMMARY::add(const QStringList& tokens)
{
    for (const QString& token : tokens)
        add(token);
}

bool SEDQ_FLOW_SUMMARY::in_logic_block() const
{
    if (m_count == 0)
        return false;
    if (m_last_opens_logic)
        return true;
    const LOGIC logic = m_after_close != LOGIC_NONE ? m_after_close : m_after_else;
    return logic == LOGIC_OPEN;
}

bool SEDQ_FLOW_SUMMARY::keyword_in_begin_end_block(KEYWORD keyword) const
{
    if (!in_logic_block())
        return keyword_used(keyword);
    return (m_visible & keyword) != 0;
}

bool SEDQ_FLOW_SUMMARY::operator==(const SEDQ_FLOW_SUMMARY& other) const
{
    return m_count == other.m_count && m_first == other.m_first && m_last_opens_logic == other.m_last_opens_logic &&
           m_begin_depth == other.m_begin_depth && m_paren_depth == other.m_paren_depth &&
           m_branch == other.m_branch && m_branch_depth == other.m_branch_depth &&
           m_after_close == other.m_after_close && m_after_else == other.m_after_else && m_used == other.m_used &&
           m_visible == other.m_visible && m_visible_before_if == other.m_visible_before_if;
}

// ---- SEDQ_FLOW_TOKENS --------------------------------------------------------------------------

SEDQ_FLOW_TOKENS SEDQ_FLOW_TOKENS::of(const QStringList& tokens)
{
    SEDQ_FLOW_TOKENS result;
    result.summary.add(tokens);
    result.tail = tail_of(tokens);
    return result;
}

QStringList SEDQ_FLOW_TOKENS::tail_of(const QStringList& tokens)
{
    return tokens.mid(qMax(0, tokens.size() - TAIL));
}

QString SEDQ_FLOW_TOKENS::before_last(int back) const
{
    return tail.value(tail.size() - 1 - back);
}
