#pragma once
// The flow text language as the editor sees it: the tokenizer, the structural predicates over
// a token list, and the table that turns the tokens before the cursor into ordered proposals.
// The pure functions take the names in a SEDQ_FLOW_NAMES; the overloads with a document model
// read the names of one instance and call them. Whether a flow is valid is the host's check.

#include "sedq/state_flow/sedq_flow_summary.h"

#include <QString>
#include <QStringList>

class SEDQ_TX_MANAGER;

enum SEDQ_DISPLAY_TYPE
{
    SEDQ_DISPLAY_TYPE_ONE_WINDOW_PER_STATE = 1,
    SEDQ_DISPLAY_TYPE_ALL_STATES_IN_ONE_WINDOW = 16
};

enum SEDQ_RESOURCE_TYPE
{
    SEDQ_RESOURCE_TYPE_ALL = 1,
    SEDQ_RESOURCE_TYPE_COLLAPSED = 16
};

enum SEDQ_TOOLTIPS_TYPE
{
    SEDQ_TOOLTIPS_TYPE_COMPLETION = 1,
    SEDQ_TOOLTIPS_TYPE_HINT = 16,
    SEDQ_TOOLTIPS_TYPE_BOTH = 17
};

// The names a flow may use, in the model's order.
struct SEDQ_FLOW_NAMES
{
    QStringList states;
    QStringList conditions;
    QStringList counters;
    QStringList flags;

    static SEDQ_FLOW_NAMES of(SEDQ_TX_MANAGER* tx, int instance);
    bool operator==(SEDQ_FLOW_NAMES const& other) const
    {
        return states == other.states && conditions == other.conditions && counters == other.counters &&
               flags == other.flags;
    }
};

// At most `most` tokens (the first ones) when `most` is not negative.
QStringList sedq_split_tokens(QString const& text, int most = -1);

bool sedq_is_in_begin_end_block(QStringList const& tokens);
bool sedq_is_in_if_block(QStringList const& tokens);
bool sedq_is_in_logic_block(QStringList const& tokens);
bool sedq_is_missing_matching_parenthesis(QStringList const& tokens);
bool sedq_is_keyword_already_used(QStringList const& tokens, char const* keyword);
bool sedq_is_keyword_already_in_begin_end_block(QStringList const& tokens, char const* keyword);

// What may follow `tokens`, appended to `out`: of a token list, or of the summary of one and
// its last tokens.
void sedq_get_proposals(QStringList* out, QStringList const& tokens, SEDQ_FLOW_NAMES const& names,
                        SEDQ_DISPLAY_TYPE display_type, SEDQ_RESOURCE_TYPE resource);
void sedq_get_proposals(QStringList* out, SEDQ_FLOW_TOKENS const& tokens, SEDQ_FLOW_NAMES const& names,
                        SEDQ_DISPLAY_TYPE display_type, SEDQ_RESOURCE_TYPE resource);
// The word at the cursor: `before` is the text up to the cursor, `whole` the editor's text.
QString sedq_word_at_cursor(QString const& before, QString const& whole);
// The same, given the tokens of `before`.
QString sedq_word_at_cursor(QStringList const& head, QString const& before, QString const& whole);
// What the proposals read at the cursor: the tokens before it, the same without the last of them
// (what a completion of the word at the cursor follows), and the word at it.
struct SEDQ_CURSOR_CONTEXT
{
    SEDQ_FLOW_TOKENS tokens;
    SEDQ_FLOW_TOKENS tokens_but_last;
    QString word;
};
SEDQ_CURSOR_CONTEXT sedq_cursor_context(QString const& before, QString const& whole);
// Completion of the word at the cursor and/or what may follow, as `type` asks.
QStringList sedq_get_proposals(SEDQ_CURSOR_CONTEXT const& context, SEDQ_FLOW_NAMES const& names,
                               SEDQ_DISPLAY_TYPE display, SEDQ_TOOLTIPS_TYPE type);
QStringList sedq_get_proposals(QString const& before, QString const& whole, SEDQ_FLOW_NAMES const& names,
                               SEDQ_DISPLAY_TYPE display, SEDQ_TOOLTIPS_TYPE type);

void sedq_get_tooltip(QStringList* out, QStringList const& tokens, SEDQ_TX_MANAGER* tx, int instance,
                      SEDQ_DISPLAY_TYPE display, SEDQ_RESOURCE_TYPE resource);
QStringList sedq_get_tooltip(QString const& before, QString const& whole, SEDQ_TX_MANAGER* tx, int instance,
                             SEDQ_DISPLAY_TYPE display, SEDQ_TOOLTIPS_TYPE type);
