// The highlighting rules over a set of names and a lock, the name matcher they look names up
// with, and their application to one line.
#include "host/sci.h"
#include "sedq/state_flow/sedq_syntax_highlighter.h"

#include <QTextCharFormat>

#include <algorithm>

namespace
{
bool is_name_char(QChar c)
{
    return (c.unicode() < 128 && c.isLetterOrNumber()) || c == QLatin1Char('_');
}

bool is_plain_name(const QString& name)
{
    return std::all_of(name.begin(), name.end(), is_name_char);
}

// The end of the run of name characters that starts at `at`.
int word_end(const QString& text, int at)
{
    int end = at;
    while (end < text.size() && is_name_char(text.at(end)))
        ++end;
    return end;
}

bool starts_word(const QString& text, int at)
{
    return at < text.size() && is_name_char(text.at(at)) && (at == 0 || !is_name_char(text.at(at - 1)));
}

// The length of the key a literal name is filed under, and looked up by at a place in a line:
// its first word, or its first character where that is no name character.
int literal_key_length(const QString& text, int at)
{
    return is_name_char(text.at(at)) ? word_end(text, at) - at : 1;
}

bool may_swap(const SEDQ_HIGHLIGHT_LOCK& lock, SCI_FLOW_CONTROL_RUNTIME_CONFIG_OPTION option)
{
    if (lock.locked == lock.powerup)
        return !lock.locked;
    return (lock.configurable & int(option)) != 0;
}

// The end of the run of ASCII blanks (\s: space, tab, line feed, vertical tab, form feed,
// carriage return) that starts at `at`.
int blanks_end(const QString& text, int at)
{
    while (at < text.size() && (text.at(at) == QLatin1Char(' ') ||
                                (text.at(at).unicode() >= 0x09 && text.at(at).unicode() <= 0x0D)))
        ++at;
    return at;
}

bool is_keyword(QStringView word)
{
    static const QLatin1String keywords[] = {
        QLatin1String("state"), QLatin1String("if"),    QLatin1String("else"),   QLatin1String("increment"),
        QLatin1String("decrement"), QLatin1String("reset"), QLatin1String("set"), QLatin1String("clear"),
        QLatin1String("goto"),  QLatin1String("trigger"), QLatin1String("begin"), QLatin1String("end"),
        QLatin1String("segment_trigger")};
    return std::any_of(std::begin(keywords), std::end(keywords),
                       [word](QLatin1String keyword) { return word == keyword; });
}

bool is_store_word(QStringView word)
{
    return word == QLatin1String("start_store") || word == QLatin1String("stop_store");
}

bool is_number(QStringView word)
{
    return std::all_of(word.begin(), word.end(),
                       [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); });
}

// The relations where they stand, each two-character one before the one-character one it starts
// with: "<=" is never read as "<".
QVector<QPair<int, int>> relations(const QString& text)
{
    QVector<QPair<int, int>> found;
    for (int at = 0; at < text.size(); ++at)
    {
        const QChar c = text.at(at);
        const bool two = at + 1 < text.size() && text.at(at + 1) == QLatin1Char('=') &&
                         (c == QLatin1Char('<') || c == QLatin1Char('>') || c == QLatin1Char('=') ||
                          c == QLatin1Char('!'));
        if (two)
            found.append({at++, 2});
        else if (c == QLatin1Char('<') || c == QLatin1Char('>'))
            found.append({at, 1});
    }
    return found;
}

// "&&" and "||", paired from the left.
QVector<QPair<int, int>> logicals(const QString& text)
{
    QVector<QPair<int, int>> found;
    for (int at = 0; at + 1 < text.size(); ++at)
    {
        const QChar c = text.at(at);
        if ((c == QLatin1Char('&') || c == QLatin1Char('|')) && text.at(at + 1) == c)
            found.append({at++, 2});
    }
    return found;
}

// Every match of one rule in a line, as (start, length), in order.
QVector<QPair<int, int>> matches_of(const SEDQ_HIGHLIGHT_RULE& rule, const QString& text)
{
    if (rule.names != nullptr && !rule.after_state_word)
        return rule.names->find_all(text);
    QVector<QPair<int, int>> found = sedq_fixed_tokens(rule.tokens, text);
    if (rule.after_state_word)
    {
        for (QPair<int, int>& header : found)
        {
            const int name = rule.names->match_at(text, header.first + header.second);
            header.second = name > 0 ? header.second + name : 0;
        }
        found.erase(std::remove_if(found.begin(), found.end(), [](const QPair<int, int>& m) { return m.second == 0; }),
                    found.end());
    }
    return found;
}
} // namespace

// ---- fixed tokens --------------------------------------------------------------------------

QVector<QPair<int, int>> sedq_fixed_tokens(SEDQ_FIXED_TOKENS which, QString const& text)
{
    if (which == SEDQ_FIXED_TOKENS::RELATIONS)
        return relations(text);
    if (which == SEDQ_FIXED_TOKENS::LOGICALS)
        return logicals(text);
    QVector<QPair<int, int>> found;
    if (which == SEDQ_FIXED_TOKENS::NONE)
        return found;
    // The others are whole words: a run of word characters, nothing of one before or after it.
    for (int at = 0; at < text.size();)
    {
        if (!is_name_char(text.at(at)))
        {
            ++at;
            continue;
        }
        const int end = word_end(text, at);
        const QStringView word = QStringView(text).mid(at, end - at);
        if (which == SEDQ_FIXED_TOKENS::STATE_WORD)
        {
            const int blanks = blanks_end(text, end);
            if (word == QLatin1String("state") && blanks > end)
            {
                found.append({at, blanks - at});
                at = blanks;
                continue;
            }
        }
        else if (which == SEDQ_FIXED_TOKENS::KEYWORDS ? is_keyword(word)
                 : which == SEDQ_FIXED_TOKENS::STORE_WORDS ? is_store_word(word)
                                                          : is_number(word))
            found.append({at, end - at});
        at = end;
    }
    return found;
}

// ---- names ---------------------------------------------------------------------------------

SEDQ_NAME_MATCHER::SEDQ_NAME_MATCHER(QStringList const& names)
{
    for (const QString& name : names)
    {
        if (name.isEmpty())
            continue;
        if (is_plain_name(name))
        {
            m_words.insert(name, name.size());
            continue;
        }
        QStringList& bucket = m_literals[name.left(literal_key_length(name, 0))];
        if (!bucket.contains(name))
            bucket.append(name);
    }
    for (QStringList& bucket : m_literals)
        std::stable_sort(bucket.begin(), bucket.end(),
                         [](const QString& a, const QString& b) { return a.size() > b.size(); });
}

int SEDQ_NAME_MATCHER::match_at(QString const& text, int at) const
{
    if (at < 0 || at >= text.size())
        return 0;
    const bool word_start = starts_word(text, at);
    if (!word_start && is_name_char(text.at(at)))
        return 0;
    // Looked up over the line's own characters: a word costs no copy, in every rule, on every key.
    const QString key = QString::fromRawData(text.constData() + at, literal_key_length(text, at));
    int best = 0;
    if (word_start && m_words.contains(key))
        best = key.size();
    if (m_literals.isEmpty())
        return best;
    const auto bucket = m_literals.constFind(key);
    if (bucket == m_literals.constEnd())
        return best;
    for (const QString& name : *bucket)
    {
        if (name.size() <= best)
            break;
        const int end = at + name.size();
        if (QStringRef(&text, at, qMin(name.size(), text.size() - at)) == name &&
            !(is_name_char(name.back()) && end < text.size() && is_name_char(text.at(end))))
            return name.size();
    }
    return best;
}

QVector<QPair<int, int>> SEDQ_NAME_MATCHER::find_all(QString const& text) const
{
    QVector<QPair<int, int>> found;
    for (int at = 0; at < text.size();)
    {
        const int length = match_at(text, at);
        if (length > 0)
        {
            found.append({at, length});
            at += length;
        }
        else
            at = is_name_char(text.at(at)) ? word_end(text, at) : at + 1;
    }
    return found;
}

// ---- rules ---------------------------------------------------------------------------------

QVector<SEDQ_HIGHLIGHT_RULE> sedq_highlight_rules(SEDQ_FLOW_NAMES const& names, SEDQ_HIGHLIGHT_LOCK const& lock)
{
    const bool names_swap = !lock.locked && !lock.powerup;
    QVector<SEDQ_HIGHLIGHT_RULE> rules;
    auto add = [&rules](SEDQ_FIXED_TOKENS tokens, Qt::GlobalColor colour, bool underline) {
        SEDQ_HIGHLIGHT_RULE rule;
        rule.tokens = tokens;
        rule.colour = QColor(colour);
        rule.underline = underline;
        rules.append(rule);
    };
    auto add_names = [&rules](const std::shared_ptr<const SEDQ_NAME_MATCHER>& matcher, Qt::GlobalColor colour,
                              bool underline) {
        SEDQ_HIGHLIGHT_RULE rule;
        rule.names = matcher;
        rule.colour = QColor(colour);
        rule.underline = underline;
        rules.append(rule);
    };
    add(SEDQ_FIXED_TOKENS::KEYWORDS, Qt::blue, false);
    add(SEDQ_FIXED_TOKENS::STORE_WORDS, Qt::lightGray, false);
    for (const QStringList* list : {&names.conditions, &names.flags, &names.counters})
    {
        auto matcher = std::make_shared<const SEDQ_NAME_MATCHER>(*list);
        if (!matcher->is_empty())
            add_names(matcher, Qt::magenta, names_swap);
    }
    auto states = std::make_shared<const SEDQ_NAME_MATCHER>(names.states);
    if (!states->is_empty())
    {
        add_names(states, Qt::darkGreen, may_swap(lock, SCI_RUNTIME_CONFIG_GOTO_STATE));
        add(SEDQ_FIXED_TOKENS::STATE_WORD, Qt::darkGreen, false);
        rules.last().names = states;
        rules.last().after_state_word = true;
    }
    add(SEDQ_FIXED_TOKENS::RELATIONS, Qt::black, may_swap(lock, SCI_RUNTIME_CONFIG_COMPARISON_OPERATORS));
    add(SEDQ_FIXED_TOKENS::LOGICALS, Qt::black, may_swap(lock, SCI_RUNTIME_CONFIG_LOGICAL_OPERATORS));
    add(SEDQ_FIXED_TOKENS::NUMBERS, Qt::black, may_swap(lock, SCI_RUNTIME_CONFIG_COMPARISON_VALUES));
    for (SEDQ_HIGHLIGHT_RULE& rule : rules)
    {
        if (lock.locked && lock.powerup)
            rule.underline = false;
        rule.format.setForeground(rule.colour);
        rule.format.setUnderlineStyle(rule.underline ? QTextCharFormat::SingleUnderline : QTextCharFormat::NoUnderline);
    }
    return rules;
}

namespace
{
// The matches of every rule in a line, in rule order. A number inside a name ("Condition 2")
// is part of the name: the number rule, which would override it, leaves it out.
QVector<QVector<QPair<int, int>>> line_matches(const QString& text, const QVector<SEDQ_HIGHLIGHT_RULE>& rules)
{
    QVector<QVector<QPair<int, int>>> found;
    QVector<QPair<int, int>> names;
    for (const SEDQ_HIGHLIGHT_RULE& rule : rules)
    {
        QVector<QPair<int, int>> matches = matches_of(rule, text);
        if (rule.names != nullptr)
            names << matches;
        else if (rule.tokens == SEDQ_FIXED_TOKENS::NUMBERS)
            matches.erase(std::remove_if(matches.begin(), matches.end(),
                                         [&names](const QPair<int, int>& number) {
                                             return std::any_of(names.begin(), names.end(),
                                                                [&number](const QPair<int, int>& name) {
                                                                    return number.first >= name.first &&
                                                                           number.first < name.first + name.second;
                                                                });
                                         }),
                          matches.end());
        found.append(matches);
    }
    return found;
}
} // namespace

QVector<QTextLayout::FormatRange> sedq_highlight_line(QString const& text, QVector<SEDQ_HIGHLIGHT_RULE> const& rules)
{
    QVector<QTextLayout::FormatRange> ranges;
    const QVector<QVector<QPair<int, int>>> found = line_matches(text, rules);
    for (int r = 0; r < rules.size(); ++r)
    {
        for (const QPair<int, int>& match : found.at(r))
            ranges.append({match.first, match.second, rules.at(r).format});
    }
    return ranges;
}

namespace
{
// Whether a run of `format` looks the same over blanks as blanks without a format: a colour
// alone does; an underline or a background shows.
bool invisible_on_blanks(const QTextCharFormat& format)
{
    return format.underlineStyle() == QTextCharFormat::NoUnderline && !format.hasProperty(QTextFormat::BackgroundBrush);
}

bool is_blank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}
} // namespace

// Qt lays out and paints a line in pieces split wherever a format starts or ends, each piece
// shaped and drawn on its own: a key typed in a line of many tokens costs a piece per token and
// per gap between. A coloured run takes the blanks after it, where its colour shows nothing,
// and runs of one format that then meet become one ("else if" is one piece, not three).
QVector<QTextLayout::FormatRange> sedq_format_runs(QVector<QTextLayout::FormatRange> const& ranges,
                                                    QString const& text)
{
    const int length = text.size();
    QVector<int> deciding(length, -1);
    for (int r = 0; r < ranges.size(); ++r)
    {
        const int end = qMin(length, ranges.at(r).start + ranges.at(r).length);
        for (int at = qMax(0, ranges.at(r).start); at < end; ++at)
            deciding[at] = r;
    }
    const auto format_at = [&](int at) {
        return deciding.at(at) < 0 ? QTextCharFormat() : ranges.at(deciding.at(at)).format;
    };
    QVector<QTextLayout::FormatRange> runs;
    for (int at = 0; at < length;)
    {
        int end = at + 1;
        const QTextCharFormat format = format_at(at);
        while (end < length && format_at(end) == format)
            ++end;
        if (format == QTextCharFormat())
        {
            at = end;
            continue;
        }
        if (invisible_on_blanks(format))
            while (end < length && deciding.at(end) < 0 && is_blank(text.at(end)))
                ++end;
        if (!runs.isEmpty() && runs.last().start + runs.last().length == at && runs.last().format == format)
            runs.last().length = end - runs.last().start;
        else
            runs.append({at, end - at, format});
        at = end;
    }
    return runs;
}

bool sedq_swappable_token_at(QString const& text, int at, QVector<SEDQ_HIGHLIGHT_RULE> const& rules, int* start,
                             int* length)
{
    const QVector<QVector<QPair<int, int>>> found = line_matches(text, rules);
    const SEDQ_HIGHLIGHT_RULE* deciding = nullptr;
    for (int r = 0; r < rules.size(); ++r)
        for (const QPair<int, int>& match : found.at(r))
            if (at >= match.first && at < match.first + match.second)
            {
                deciding = &rules.at(r);
                *start = match.first;
                *length = match.second;
            }
    return deciding != nullptr && deciding->underline;
}
