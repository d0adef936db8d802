// The highlighting rules over a set of names and a lock, and their application to one line.
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

// One alternative per name, as the flow check reads names: each escaped, longest first, and
// bounded by \b only on a side where the name ends in a name character, so "x*" is found in
// "x*&&" and "f1" not in "f10". Empty names are left out; empty when none is left.
QString name_alternatives(QStringList names)
{
    std::stable_sort(names.begin(), names.end(),
                     [](const QString& a, const QString& b) { return a.size() > b.size(); });
    QStringList alternatives;
    for (const QString& name : names)
    {
        if (name.isEmpty())
            continue;
        QString pattern = QRegularExpression::escape(name);
        if (is_name_char(name.front()))
            pattern.prepend(QStringLiteral("\\b"));
        if (is_name_char(name.back()))
            pattern.append(QStringLiteral("\\b"));
        alternatives.append(pattern);
    }
    return alternatives.isEmpty() ? QString()
                                  : QStringLiteral("(") + alternatives.join(QLatin1Char('|')) + QStringLiteral(")");
}

bool may_swap(const SEDQ_HIGHLIGHT_LOCK& lock, SCI_FLOW_CONTROL_RUNTIME_CONFIG_OPTION option)
{
    if (lock.locked == lock.powerup)
        return !lock.locked;
    return (lock.configurable & int(option)) != 0;
}
} // namespace

QVector<SEDQ_HIGHLIGHT_RULE> sedq_highlight_rules(SEDQ_FLOW_NAMES const& names, SEDQ_HIGHLIGHT_LOCK const& lock)
{
    const bool names_swap = !lock.locked && !lock.powerup;
    QVector<SEDQ_HIGHLIGHT_RULE> rules;
    auto add = [&rules](const QString& pattern, Qt::GlobalColor colour, bool underline) {
        rules.append({QRegularExpression(pattern), QColor(colour), underline});
    };
    add(QStringLiteral("\\b(state|if|else|increment|decrement|reset|set|clear|goto|trigger|segment_trigger|begin|end)\\b"),
        Qt::blue, false);
    add(QStringLiteral("\\b(start_store|stop_store)\\b"), Qt::lightGray, false);
    for (const QStringList* list : {&names.conditions, &names.flags, &names.counters})
    {
        const QString alternatives = name_alternatives(*list);
        if (!alternatives.isEmpty())
            add(alternatives, Qt::magenta, names_swap);
    }
    const QString states = name_alternatives(names.states);
    if (!states.isEmpty())
    {
        add(states, Qt::darkGreen, may_swap(lock, SCI_RUNTIME_CONFIG_GOTO_STATE));
        add(QStringLiteral("\\bstate\\s+") + states, Qt::darkGreen, false);
    }
    add(QStringLiteral("(<|<=|==|!=|>=|>)"), Qt::black, may_swap(lock, SCI_RUNTIME_CONFIG_COMPARISON_OPERATORS));
    add(QStringLiteral("(&&|\\|\\|)"), Qt::black, may_swap(lock, SCI_RUNTIME_CONFIG_LOGICAL_OPERATORS));
    add(QStringLiteral("\\b\\d+\\b"), Qt::black, may_swap(lock, SCI_RUNTIME_CONFIG_COMPARISON_VALUES));
    if (lock.locked && lock.powerup)
        for (SEDQ_HIGHLIGHT_RULE& rule : rules)
            rule.underline = false;
    return rules;
}

QVector<QTextLayout::FormatRange> sedq_highlight_line(QString const& text, QVector<SEDQ_HIGHLIGHT_RULE> const& rules)
{
    QVector<QTextLayout::FormatRange> ranges;
    for (const SEDQ_HIGHLIGHT_RULE& rule : rules)
    {
        QTextCharFormat format;
        format.setForeground(rule.colour);
        format.setUnderlineStyle(rule.underline ? QTextCharFormat::SingleUnderline : QTextCharFormat::NoUnderline);
        QRegularExpressionMatchIterator it = rule.pattern.globalMatch(text);
        while (it.hasNext())
        {
            // A global match steps on by itself after an empty match, so none can stall.
            const QRegularExpressionMatch match = it.next();
            if (match.capturedLength() > 0)
                ranges.append({match.capturedStart(), match.capturedLength(), format});
        }
    }
    return ranges;
}

