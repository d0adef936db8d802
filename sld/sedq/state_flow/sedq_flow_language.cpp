// The flow text tokenizer, the structural predicates and the proposal table.
#include "sedq/state_flow/sedq_flow_language.h"

#include "sedq/model/sedq_verify.h"

#include <cstring>
#include <initializer_list>

namespace
{
const QStringList ACTIONS = {"increment ", "decrement ", "clear ", "set ", "reset "};
const QStringList STATEMENT_STARTS = QStringList{"begin", "if (", "goto ", "start_store;", "stop_store;",
                                                 "trigger;", "segment_trigger;"} + ACTIONS;
const QStringList OPERATORS = {"<", "<=", "==", ">=", ">"};
const QStringList JOINERS = {"&&", "||", ")"};

// The table runs on every key the user types: plain comparisons, no pattern matching.
bool is_one_of(const QString& token, std::initializer_list<const char*> words)
{
    for (const char* word : words)
        if (token == QLatin1String(word))
            return true;
    return false;
}

// `prefix` followed by one ASCII digit or more.
bool is_numbered(const QString& token, const char* prefix)
{
    const int start = int(std::strlen(prefix));
    if (token.size() <= start || !token.startsWith(QLatin1String(prefix)))
        return false;
    for (int i = start; i < token.size(); ++i)
        if (token.at(i) < QLatin1Char('0') || token.at(i) > QLatin1Char('9'))
            return false;
    return true;
}

bool is_operand_start(const QString& token)
{
    return is_one_of(token, {"!", "(", "&&", "||"});
}

bool is_counter_action(const QString& token)
{
    return is_one_of(token, {"increment", "decrement", "reset"});
}

bool is_flag_action(const QString& token)
{
    return is_one_of(token, {"set", "clear"});
}

int last_index_of_state(const QStringList& tokens)
{
    return tokens.lastIndexOf(QStringLiteral("state"));
}

// Whether `keyword` already stands where a new statement would go. Outside both a logic block
// and a begin-end block nothing counts as used: the begin-end scan would only report that it
// was asked out of place.
bool is_used(const QStringList& tokens, const char* keyword)
{
    if (!sedq_is_in_logic_block(tokens) && !sedq_is_in_begin_end_block(tokens))
        return false;
    return sedq_is_keyword_already_in_begin_end_block(tokens, keyword);
}

void append_statements(QStringList* out, const QStringList& tokens)
{
    if (!is_used(tokens, "goto"))
        out->append(QStringLiteral("goto "));
    if (!is_used(tokens, "start_store") && !is_used(tokens, "stop_store"))
        *out << QStringLiteral("start_store;") << QStringLiteral("stop_store;");
    if (!is_used(tokens, "trigger"))
        out->append(QStringLiteral("trigger;"));
    if (!is_used(tokens, "segment_trigger"))
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

void append_operands(QStringList* out, const SEDQ_FLOW_NAMES& names, SEDQ_RESOURCE_TYPE resource)
{
    if (resource == SEDQ_RESOURCE_TYPE_ALL)
    {
        *out << names.conditions << names.counters << names.flags;
        return;
    }
    SEDQ_VERIFY(resource == SEDQ_RESOURCE_TYPE_COLLAPSED);
    append_collapsed(out, names.conditions, "condition");
    append_collapsed(out, names.counters, "counter");
    append_collapsed(out, names.flags, "flag");
}

void append_with_semicolon(QStringList* out, const QStringList& names)
{
    for (const QString& name : names)
        out->append(name + QLatin1Char(';'));
}

void after_statement_end(QStringList* out, const QStringList& tokens)
{
    if (!sedq_is_in_begin_end_block(tokens))
    {
        if (sedq_is_in_if_block(tokens))
            *out << QStringLiteral("else ") << QStringLiteral("else if (");
        if (tokens.first() == QLatin1String("state"))
            out->append(QStringLiteral("state "));
        return;
    }
    if (!sedq_is_keyword_already_used(tokens, "if"))
        out->append(QStringLiteral("if ("));
    else if (!sedq_is_in_logic_block(tokens) && sedq_is_in_if_block(tokens))
        *out << QStringLiteral("else if (") << QStringLiteral("else ");
    append_statements(out, tokens);
    out->append(QStringLiteral("end"));
}

// Rules after a last token that is neither ")" nor "else".
void after_operand_token(QStringList* out, const QString& last, const QString& previous, const SEDQ_FLOW_NAMES& names,
                         SEDQ_RESOURCE_TYPE resource)
{
    if (is_operand_start(last))
    {
        if (last != QLatin1String("!"))
            out->append(QStringLiteral("!"));
        out->append(QStringLiteral("("));
        append_operands(out, names, resource);
    }
    else if (is_counter_action(last))
        append_with_semicolon(out, names.counters);
    else if (is_flag_action(last))
        append_with_semicolon(out, names.flags);
    else if (last == QLatin1String("goto"))
        append_with_semicolon(out, names.states);
    else if (last == QLatin1String("if"))
        out->append(QStringLiteral("("));
    else if (is_numbered(last, "c"))
        *out << (is_counter_action(previous) ? QStringList{";"} : OPERATORS);
    else if (is_numbered(last, "f"))
        *out << (is_flag_action(previous) ? QStringList{";"} : JOINERS);
    else if (is_numbered(last, "condition"))
        *out << JOINERS;
    else if (is_one_of(last, {"<", "<=", "==", "!=", ">=", ">"}))
        out->append(QStringLiteral("value"));
    else if (is_numbered(last, "ST") || is_one_of(last, {"start_store", "stop_store", "trigger", "segment_trigger", ""}))
        out->append(QStringLiteral(";"));
    else if (is_numbered(last, ""))
        *out << JOINERS;
}
} // namespace

// The operators ( ) && || ; : ! are tokens of their own wherever they stand; white space (the
// ASCII blanks) separates the other tokens. One pass: this runs on the whole text at every
// keystroke of the flow editor.
QStringList sedq_split_tokens(QString const& text)
{
    QStringList tokens;
    int start = -1;
    const auto close_word = [&](int end) {
        if (start >= 0)
            tokens.append(text.mid(start, end - start));
        start = -1;
    };
    const int size = text.size();
    for (int i = 0; i < size; ++i)
    {
        const ushort c = text.at(i).unicode();
        switch (c)
        {
        case '&':
        case '|':
            if (i + 1 >= size || text.at(i + 1).unicode() != c)
            {
                start = start < 0 ? i : start;
                break;
            }
            close_word(i);
            tokens.append(text.mid(i, 2));
            ++i;
            break;
        case '(':
        case ')':
        case ';':
        case ':':
        case '!':
            close_word(i);
            tokens.append(text.mid(i, 1));
            break;
        case ' ':
        case '\t':
        case '\n':
        case '\v':
        case '\f':
        case '\r':
            close_word(i);
            break;
        default:
            start = start < 0 ? i : start;
            break;
        }
    }
    close_word(size);
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
                        SEDQ_DISPLAY_TYPE display, SEDQ_RESOURCE_TYPE resource)
{
    if (tokens.isEmpty())
    {
        if (display == SEDQ_DISPLAY_TYPE_ALL_STATES_IN_ONE_WINDOW)
            out->append(QStringLiteral("state "));
        else
        {
            SEDQ_VERIFY(display == SEDQ_DISPLAY_TYPE_ONE_WINDOW_PER_STATE);
            *out << STATEMENT_STARTS;
        }
        return;
    }
    const QString& last = tokens.last();
    const QString previous = tokens.size() > 1 ? tokens.at(tokens.size() - 2) : QString();
    const bool closes = last == QLatin1String(")");
    if (last == QLatin1String(":"))
        *out << STATEMENT_STARTS;
    else if (previous == QLatin1String("state"))
        out->append(QStringLiteral(":"));
    else if (last == QLatin1String(";") || last == QLatin1String("end"))
        after_statement_end(out, tokens);
    else if (last == QLatin1String("begin"))
    {
        if (tokens.size() == 1 || previous == QLatin1String(":"))
            out->append(QStringLiteral("if ("));
        *out << "goto " << "start_store;" << "stop_store;" << "trigger;" << "segment_trigger;" << ACTIONS;
    }
    else if (closes && sedq_is_missing_matching_parenthesis(tokens))
        *out << JOINERS;
    else if (closes || last == QLatin1String("else"))
    {
        if (!closes)
            out->append(QStringLiteral("if ("));
        out->append(QStringLiteral("begin"));
        append_statements(out, tokens);
    }
    else
        after_operand_token(out, last, previous, names, resource);
}

QString sedq_word_at_cursor(QString const& before, QString const& whole)
{
    if (before.isEmpty() || whole.isEmpty())
        return QString();
    const QStringList head = sedq_split_tokens(before);
    const QStringList all = sedq_split_tokens(whole);
    if (all.isEmpty())
        return QString();
    if (!head.isEmpty() && all.size() <= head.size() && head.last() == all.last())
        return before.endsWith(head.last()) ? head.last() : QString();
    if (head.isEmpty())
        return all.first();
    const int index = head.size() - 1;
    return all.value(before.endsWith(head.last()) ? index : index + 1);
}

QStringList sedq_get_proposals(QString const& before, QString const& whole, SEDQ_FLOW_NAMES const& names,
                               SEDQ_DISPLAY_TYPE display, SEDQ_TOOLTIPS_TYPE type)
{
    QStringList result;
    const QString word = sedq_word_at_cursor(before, whole);
    const QStringList tokens = sedq_split_tokens(before.simplified());
    if ((type & SEDQ_TOOLTIPS_TYPE_COMPLETION) != 0 && !word.isEmpty() && !tokens.isEmpty())
    {
        QStringList candidates;
        sedq_get_proposals(&candidates, tokens.mid(0, tokens.size() - 1), names, display, SEDQ_RESOURCE_TYPE_ALL);
        // A candidate that starts with the word (as typed, every character taken literally),
        // not followed by a blank.
        const auto continues = [&word](const QString& candidate) {
            return candidate.startsWith(word) &&
                   (candidate.size() == word.size() || candidate.at(word.size()) != QLatin1Char(' '));
        };
        for (const QString& candidate : candidates)
            if (candidate != word && continues(candidate))
                result.append(candidate);
    }
    if ((type & SEDQ_TOOLTIPS_TYPE_HINT) != 0)
        sedq_get_proposals(&result, tokens, names, display, SEDQ_RESOURCE_TYPE_COLLAPSED);
    return result;
}
