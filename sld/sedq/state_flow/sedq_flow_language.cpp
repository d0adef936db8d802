// The flow text tokenizer, the structural predicates and the proposal table.
#include "sedq/state_flow/sedq_flow_language.h"

#include "sedq/model/sedq_verify.h"
#include "sedq/state_flow/sedq_flow_summary.h"

#include <algorithm>
#include <iterator>

namespace
{
const QStringList ACTIONS = {"increment ", "decrement ", "clear ", "set ", "reset "};
const QStringList STATEMENT_STARTS = QStringList{"begin", "if (", "goto ", "start_store;", "stop_store;",
                                                 "trigger;", "segment_trigger;"} + ACTIONS;
const QStringList OPERATORS = {"<", "<=", "==", ">=", ">"};
const QStringList JOINERS = {"&&", "||", ")"};

// The token classes the proposals tell apart: a few fixed words, or a prefix and decimal
// digits. Tokens hold no white space (sedq_split_tokens); the table runs on every key the user
// types, so the classes are compared by hand rather than matched as patterns.
template <size_t N> bool is_one_of(const QString& token, const char* const (&words)[N])
{
    return std::any_of(std::begin(words), std::end(words),
                       [&token](const char* word) { return token == QLatin1String(word); });
}

// `prefix` followed by one or more of the digits 0 to 9.
bool is_numbered(const QString& token, QLatin1String prefix)
{
    if (token.size() <= prefix.size() || !token.startsWith(prefix))
        return false;
    return std::all_of(token.begin() + prefix.size(), token.end(),
                       [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); });
}

const char* const OPERAND_START[] = {"!", "(", "&&", "||"};
const char* const COUNTER_ACTION[] = {"increment", "decrement", "reset"};
const char* const FLAG_ACTION[] = {"set", "clear"};
const char* const RELATIONAL[] = {"<", "<=", "==", "!=", ">=", ">"};
// A missing token (the empty text) ends a statement too.
const char* const END_ACTION[] = {"start_store", "stop_store", "trigger", "segment_trigger", ""};

int last_index_of_state(const QStringList& tokens)
{
    return tokens.lastIndexOf(QStringLiteral("state"));
}

using KEYWORD = SEDQ_FLOW_SUMMARY::KEYWORD;

// Whether `keyword` already stands where a new statement would go. Outside both a logic block
// and a begin-end block nothing counts as used: the begin-end scan would only report that it
// was asked out of place.
bool is_used(const SEDQ_FLOW_SUMMARY& tokens, KEYWORD keyword)
{
    if (!tokens.in_logic_block() && !tokens.in_begin_end_block())
        return false;
    return tokens.keyword_in_begin_end_block(keyword);
}

void append_statements(QStringList* out, const SEDQ_FLOW_SUMMARY& tokens)
{
    if (!is_used(tokens, SEDQ_FLOW_SUMMARY::KEYWORD_GOTO))
        out->append(QStringLiteral("goto "));
    if (!is_used(tokens, SEDQ_FLOW_SUMMARY::KEYWORD_START_STORE) &&
        !is_used(tokens, SEDQ_FLOW_SUMMARY::KEYWORD_STOP_STORE))
        *out << QStringLiteral("start_store;") << QStringLiteral("stop_store;");
    if (!is_used(tokens, SEDQ_FLOW_SUMMARY::KEYWORD_TRIGGER))
        out->append(QStringLiteral("trigger;"));
    if (!is_used(tokens, SEDQ_FLOW_SUMMARY::KEYWORD_SEGMENT_TRIGGER))
        out->append(QStringLiteral("segment_trigger;"));
    *out << ACTIONS;
}

// One kind's names as the hint shows them: its one name, or the kind word for several.
void append_collapsed(QStringList* out, const QStringList& names, const char* kind)
{
    if (names.size() == 1)
        out->append(names.first());
    else if (names.size() > 1)
        out->append(QString::fromLatin1(kind));
}

void append_operands(QStringList* out, const SEDQ_FLOW_NAMES& names, SEDQ_RESOURCE_TYPE resource_type)
{
    if (resource_type == SEDQ_RESOURCE_TYPE_ALL)
    {
        *out << names.conditions << names.counters << names.flags;
        return;
    }
    SEDQ_VERIFY(resource_type == SEDQ_RESOURCE_TYPE_COLLAPSED);
    append_collapsed(out, names.conditions, "condition");
    append_collapsed(out, names.counters, "counter");
    append_collapsed(out, names.flags, "flag");
}

void append_with_semicolon(QStringList* out, const QStringList& names)
{
    for (const QString& name : names)
        out->append(name + QLatin1Char(';'));
}

void after_statement_end(QStringList* out, const SEDQ_FLOW_SUMMARY& tokens)
{
    if (!tokens.in_begin_end_block())
    {
        if (tokens.in_if_block())
            *out << QStringLiteral("else ") << QStringLiteral("else if (");
        if (tokens.first() == QLatin1String("state"))
            out->append(QStringLiteral("state "));
        return;
    }
    if (!tokens.keyword_used(SEDQ_FLOW_SUMMARY::KEYWORD_IF))
        out->append(QStringLiteral("if ("));
    else if (!tokens.in_logic_block() && tokens.in_if_block())
        *out << QStringLiteral("else if (") << QStringLiteral("else ");
    append_statements(out, tokens);
    out->append(QStringLiteral("end"));
}

enum class NAME_KIND
{
    NONE,
    COUNTER,
    FLAG,
    CONDITION,
    STATE
};

// Whether the tokens end with one of `names`; a name of several tokens ("Condition 1") must end
// them with all of its tokens. `before` receives the token in front of the name.
bool ends_with_name(const SEDQ_FLOW_TOKENS& tokens, const QStringList& names, QString* before)
{
    const QString& last = tokens.last();
    const int known = tokens.tail.size();
    const bool whole = known == tokens.summary.size();
    for (const QString& name : names)
    {
        if (!name.contains(last))
            continue;
        const QStringList parts = sedq_split_tokens(name);
        // The name and the token in front of it are among the last tokens, or all of them are.
        if (parts.isEmpty() || parts.size() > known || (parts.size() == known && !whole) || parts.last() != last ||
            !std::equal(parts.begin(), parts.end(), tokens.tail.end() - parts.size()))
            continue;
        *before = tokens.before_last(parts.size());
        return true;
    }
    return false;
}

// The kind of name the tokens end with: a name the instance has, of any form the user gave
// it, or else a token of a default form ("c3", "f1", "condition2", "ST4").
NAME_KIND name_kind(const SEDQ_FLOW_TOKENS& tokens, const SEDQ_FLOW_NAMES& names, QString* before)
{
    const struct
    {
        const QStringList* names;
        QLatin1String default_prefix; // the default names: the prefix and a number
        NAME_KIND kind;
    } kinds[] = {{&names.counters, QLatin1String("c"), NAME_KIND::COUNTER},
                 {&names.flags, QLatin1String("f"), NAME_KIND::FLAG},
                 {&names.conditions, QLatin1String("condition"), NAME_KIND::CONDITION},
                 {&names.states, QLatin1String("ST"), NAME_KIND::STATE}};
    for (const auto& kind : kinds)
        if (ends_with_name(tokens, *kind.names, before))
            return kind.kind;
    *before = tokens.before_last(1);
    for (const auto& kind : kinds)
        if (is_numbered(tokens.last(), kind.default_prefix))
            return kind.kind;
    return NAME_KIND::NONE;
}

// Rules after a last token that is neither ")" nor "else".
void after_operand_token(QStringList* out, const SEDQ_FLOW_TOKENS& tokens, const SEDQ_FLOW_NAMES& names,
                         SEDQ_RESOURCE_TYPE resource)
{
    const QString& last = tokens.last();
    QString before;
    const NAME_KIND kind = name_kind(tokens, names, &before);
    if (is_one_of(last, OPERAND_START))
    {
        if (last != QLatin1String("!"))
            out->append(QStringLiteral("!"));
        out->append(QStringLiteral("("));
        append_operands(out, names, resource);
    }
    else if (is_one_of(last, COUNTER_ACTION))
        append_with_semicolon(out, names.counters);
    else if (is_one_of(last, FLAG_ACTION))
        append_with_semicolon(out, names.flags);
    else if (last == QLatin1String("goto"))
        append_with_semicolon(out, names.states);
    else if (last == QLatin1String("if"))
        out->append(QStringLiteral("("));
    else if (kind == NAME_KIND::COUNTER)
        *out << (is_one_of(before, COUNTER_ACTION) ? QStringList{";"} : OPERATORS);
    else if (kind == NAME_KIND::FLAG)
        *out << (is_one_of(before, FLAG_ACTION) ? QStringList{";"} : JOINERS);
    else if (kind == NAME_KIND::CONDITION)
        *out << JOINERS;
    else if (is_one_of(last, RELATIONAL))
        out->append(QStringLiteral("value"));
    else if (kind == NAME_KIND::STATE || is_one_of(last, END_ACTION))
        out->append(QStringLiteral(";"));
    else if (is_numbered(last, QLatin1String()))
        *out << JOINERS;
}
} // namespace

// One pass over the text that gives what spacing out "(", ")", "&&", "||", ";", ":" and "!"
// (in that order) and splitting at runs of white space gives: "&&" and "||" pair from the left,
// and the white space is what a pattern's "\s" matches.
QStringList sedq_split_tokens(QString const& text, int most)
{
    QStringList tokens;
    const int limit = most < 0 ? text.size() : most;
    int word = -1;
    const auto end_word = [&tokens, &text, &word](int at) {
        if (word >= 0)
            tokens.append(text.mid(word, at - word));
        word = -1;
    };
    for (int at = 0; at < text.size() && tokens.size() < limit; ++at)
    {
        const ushort c = text.at(at).unicode();
        const bool pair = (c == '&' || c == '|') && at + 1 < text.size() && text.at(at + 1).unicode() == c;
        if (c == ' ' || (c >= '\t' && c <= '\r'))
            end_word(at);
        else if (pair || c == '(' || c == ')' || c == ';' || c == ':' || c == '!')
        {
            end_word(at);
            tokens.append(text.mid(at, pair ? 2 : 1));
            at += pair ? 1 : 0;
        }
        else if (word < 0)
            word = at;
    }
    end_word(text.size());
    while (tokens.size() > limit)
        tokens.removeLast();
    return tokens;
}

bool sedq_is_in_begin_end_block(QStringList const& tokens)
{
    int depth = 0;
    for (int i = tokens.size() - 1; i >= 0 && tokens.at(i) != QLatin1String("state"); --i)
    {
        if (tokens.at(i) == QLatin1String("end"))
            --depth;
        else if (tokens.at(i) == QLatin1String("begin"))
            ++depth;
    }
    return depth > 0;
}

bool sedq_is_missing_matching_parenthesis(QStringList const& tokens)
{
    int depth = 0;
    for (int i = tokens.size() - 1; i >= 0 && tokens.at(i) != QLatin1String("if"); --i)
    {
        if (tokens.at(i) == QLatin1String(")"))
            --depth;
        else if (tokens.at(i) == QLatin1String("("))
            ++depth;
    }
    return depth > 0;
}

bool sedq_is_in_if_block(QStringList const& tokens)
{
    int depth = 0;
    for (int i = tokens.size() - 1; i >= 0; --i)
    {
        const QString& token = tokens.at(i);
        if (token == QLatin1String("end"))
            --depth;
        else if (token == QLatin1String("begin"))
            ++depth;
        else if (token == QLatin1String("else") || token == QLatin1String("state"))
            return false;
        else if (token == QLatin1String("if"))
            return depth == 0;
    }
    return false;
}

bool sedq_is_keyword_already_used(QStringList const& tokens, char const* keyword)
{
    SEDQ_VERIFY(::sedq_is_in_begin_end_block(tokens));
    const int from = last_index_of_state(tokens) + 1;
    return tokens.indexOf(QString::fromLatin1(keyword), from) >= 0;
}

bool sedq_is_in_logic_block(QStringList const& tokens)
{
    if (tokens.isEmpty())
        return false;
    if (tokens.last() == QLatin1String("else") || tokens.last() == QLatin1String(")"))
        return true;
    int p = tokens.lastIndexOf(QStringLiteral(")"));
    if (p < 0)
        p = tokens.lastIndexOf(QStringLiteral("else"));
    if (p < 0 || p + 1 >= tokens.size() || tokens.at(p + 1) != QLatin1String("begin"))
        return false;
    return tokens.indexOf(QStringLiteral("end"), p + 2) < 0;
}

bool sedq_is_keyword_already_in_begin_end_block(QStringList const& tokens, char const* keyword)
{
    if (!sedq_is_in_logic_block(tokens))
        return sedq_is_keyword_already_used(tokens, keyword);
    const QString word = QString::fromLatin1(keyword);
    for (int i = tokens.size() - 1; i >= 0; --i)
    {
        if (tokens.at(i) == QLatin1String("else"))
        {
            // The preceding branch is another path: skip back over its "if".
            while (i >= 0 && tokens.at(i) != QLatin1String("if"))
                --i;
        }
        else if (tokens.at(i) == word)
            return true;
    }
    return false;
}

void sedq_get_proposals(QStringList* out, QStringList const& tokens, SEDQ_FLOW_NAMES const& names,
                        SEDQ_DISPLAY_TYPE display_type, SEDQ_RESOURCE_TYPE resource)
{
    sedq_get_proposals(out, SEDQ_FLOW_TOKENS::of(tokens), names, display_type, resource);
}

void sedq_get_proposals(QStringList* out, SEDQ_FLOW_TOKENS const& tokens, SEDQ_FLOW_NAMES const& names,
                        SEDQ_DISPLAY_TYPE display_type, SEDQ_RESOURCE_TYPE resource)
{
    if (tokens.is_empty())
    {
        if (display_type == SEDQ_DISPLAY_TYPE_ALL_STATES_IN_ONE_WINDOW)
            out->append(QStringLiteral("state "));
        else
        {
            SEDQ_VERIFY(display_type == SEDQ_DISPLAY_TYPE_ONE_WINDOW_PER_STATE);
            *out << STATEMENT_STARTS;
        }
        return;
    }
    const QString& last = tokens.last();
    const QString previous = tokens.before_last(1);
    const bool closes = last == QLatin1String(")");
    if (last == QLatin1String(":"))
        *out << STATEMENT_STARTS;
    else if (previous == QLatin1String("state"))
        out->append(QStringLiteral(":"));
    else if (last == QLatin1String(";") || last == QLatin1String("end"))
        after_statement_end(out, tokens.summary);
    else if (last == QLatin1String("begin"))
    {
        if (tokens.summary.size() == 1 || previous == QLatin1String(":"))
            out->append(QStringLiteral("if ("));
        *out << "goto " << "start_store;" << "stop_store;" << "trigger;" << "segment_trigger;" << ACTIONS;
    }
    else if (closes && tokens.summary.missing_matching_parenthesis())
        *out << JOINERS;
    else if (closes || last == QLatin1String("else"))
    {
        if (!closes)
            out->append(QStringLiteral("if ("));
        out->append(QStringLiteral("begin"));
        append_statements(out, tokens.summary);
    }
    else
        after_operand_token(out, tokens, names, resource);
}

QString sedq_word_at_cursor(QString const& before, QString const& whole)
{
    return sedq_word_at_cursor(sedq_split_tokens(before), before, whole);
}

QString sedq_word_at_cursor(QStringList const& head, QString const& before, QString const& whole)
{
    if (before.isEmpty() || whole.isEmpty())
        return QString();
    // The tokens of the whole text past the one after the cursor's decide nothing: at the end of
    // a line the whole text runs on to the next line that holds one.
    const QStringList all = sedq_split_tokens(whole, head.size() + 1);
    if (all.isEmpty())
        return QString();
    if (!head.isEmpty() && all.size() <= head.size() && head.last() == all.last())
        return before.endsWith(head.last()) ? head.last() : QString();
    if (head.isEmpty())
        return all.first();
    const int index = head.size() - 1;
    return all.value(before.endsWith(head.last()) ? index : index + 1);
}

SEDQ_CURSOR_CONTEXT sedq_cursor_context(QString const& before, QString const& whole)
{
    const QStringList tokens = sedq_split_tokens(before.simplified());
    return {SEDQ_FLOW_TOKENS::of(tokens), SEDQ_FLOW_TOKENS::of(tokens.mid(0, tokens.size() - 1)),
            sedq_word_at_cursor(before, whole)};
}

QStringList sedq_get_proposals(SEDQ_CURSOR_CONTEXT const& context, SEDQ_FLOW_NAMES const& names,
                               SEDQ_DISPLAY_TYPE display, SEDQ_TOOLTIPS_TYPE type)
{
    QStringList result;
    const QString& word = context.word;
    const SEDQ_FLOW_TOKENS& tokens = context.tokens;
    if ((type & SEDQ_TOOLTIPS_TYPE_COMPLETION) != 0 && !word.isEmpty() && !tokens.is_empty())
    {
        QStringList candidates;
        sedq_get_proposals(&candidates, context.tokens_but_last, names, display, SEDQ_RESOURCE_TYPE_ALL);
        // Entries that start with the word, not followed there by a blank. The word is user
        // text: it is compared, never read as a pattern.
        for (const QString& candidate : candidates)
            if (candidate != word && candidate.startsWith(word) &&
                (candidate.size() == word.size() || candidate.at(word.size()) != QLatin1Char(' ')))
                result.append(candidate);
    }
    if ((type & SEDQ_TOOLTIPS_TYPE_HINT) != 0)
        sedq_get_proposals(&result, tokens, names, display, SEDQ_RESOURCE_TYPE_COLLAPSED);
    return result;
}

QStringList sedq_get_proposals(QString const& before, QString const& whole, SEDQ_FLOW_NAMES const& names,
                               SEDQ_DISPLAY_TYPE display, SEDQ_TOOLTIPS_TYPE type)
{
    return sedq_get_proposals(sedq_cursor_context(before, whole), names, display, type);
}
