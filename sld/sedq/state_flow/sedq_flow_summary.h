#pragma once
// What the proposals need to know of the tokens before the cursor, gathered one token at a time.
// The structural rules of the flow language scan the tokens backwards, as far as the start of
// the state and further; the summary answers each of them from a few numbers and keyword bits
// that the next token updates, so that every line can keep the summary of its state up to its
// end and a key typed at the end of a long state reads one line, not the state.
// Invariant: for any token list, the summary folded over it gives the answers that the
// predicates of sedq_flow_language.h give for that list.

#include <QString>
#include <QStringList>

class SEDQ_FLOW_SUMMARY
{
public:
    // The statement keywords whose use the proposals ask about.
    enum KEYWORD : unsigned
    {
        KEYWORD_IF = 1u << 0,
        KEYWORD_GOTO = 1u << 1,
        KEYWORD_START_STORE = 1u << 2,
        KEYWORD_STOP_STORE = 1u << 3,
        KEYWORD_TRIGGER = 1u << 4,
        KEYWORD_SEGMENT_TRIGGER = 1u << 5
    };

    // The summary of `tokens` after this one's.
    void add(const QString& token);
    void add(const QStringList& tokens);

    int size() const { return m_count; }
    const QString& first() const { return m_first; }

    // The answers of sedq_is_in_begin_end_block, sedq_is_missing_matching_parenthesis,
    // sedq_is_in_if_block and sedq_is_in_logic_block.
    bool in_begin_end_block() const { return m_begin_depth > 0; }
    bool missing_matching_parenthesis() const { return m_paren_depth > 0; }
    bool in_if_block() const { return m_branch == BRANCH_IF && m_branch_depth == 0; }
    bool in_logic_block() const;
    // Whether `keyword` stands after the last "state" (sedq_is_keyword_already_used, without its
    // precondition), and sedq_is_keyword_already_in_begin_end_block's answer for it.
    bool keyword_used(KEYWORD keyword) const { return (m_used & keyword) != 0; }
    bool keyword_in_begin_end_block(KEYWORD keyword) const;

    bool operator==(const SEDQ_FLOW_SUMMARY& other) const;
    bool operator!=(const SEDQ_FLOW_SUMMARY& other) const { return !(*this == other); }

private:
    // The last of "if", "else" and "state".
    enum BRANCH : unsigned char
    {
        BRANCH_NONE,
        BRANCH_IF,
        BRANCH_OTHER
    };
    // What follows the last ")" (or "else"): nothing yet, "begin" and no "end" since, or
    // anything else.
    enum LOGIC : unsigned char
    {
        LOGIC_NONE,
        LOGIC_JUST,
        LOGIC_OPEN,
        LOGIC_CLOSED
    };
    static LOGIC follow(LOGIC logic, bool begin, bool end);

    int m_count = 0;
    QString m_first;
    bool m_last_opens_logic = false; // the last token is ")" or "else"
    int m_begin_depth = 0;           // "begin" less "end" since the last "state"
    int m_paren_depth = 0;           // "(" less ")" since the last "if"
    BRANCH m_branch = BRANCH_NONE;
    int m_branch_depth = 0; // "begin" less "end" since m_branch
    LOGIC m_after_close = LOGIC_NONE;
    LOGIC m_after_else = LOGIC_NONE;
    unsigned m_used = 0;            // keywords since the last "state"
    unsigned m_visible = 0;         // keywords a backward scan meets, skipping "if" ... "else"
    unsigned m_visible_before_if = 0; // m_visible just before the last "if"
};

// The tokens before the cursor as the proposals read them: the summary of all of them and the
// last few as they stand. A name at the end of the tokens is recognised over at most the last
// TAIL - 1 of them.
struct SEDQ_FLOW_TOKENS
{
    static constexpr int TAIL = 32;

    SEDQ_FLOW_SUMMARY summary;
    QStringList tail;

    static SEDQ_FLOW_TOKENS of(const QStringList& tokens);
    bool is_empty() const { return summary.size() == 0; }
    const QString& last() const { return tail.last(); }
    // The token `back` places before the last one (0: the last); empty where there is none.
    QString before_last(int back) const;
    // The last TAIL of `tokens`, or all of them.
    static QStringList tail_of(const QStringList& tokens);

    bool operator==(const SEDQ_FLOW_TOKENS& other) const
    {
        return summary == other.summary && tail == other.tail;
    }
};
