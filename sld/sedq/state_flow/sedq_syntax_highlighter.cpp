// SEDQ_SYNTAX_HIGHLIGHTER: the highlighting rules and their application to one line.
#include "sedq/state_flow/sedq_syntax_highlighter.h"

#include "host/sci.h"
#include "sedq/model/sedq_tx_manager.h"

#include <QTextCharFormat>

namespace
{
// "\b(a|b|c)\b" over the names, each escaped, empty ones left out; empty when none is left.
QString name_alternatives(const QStringList& names)
{
    QStringList escaped;
    for (const QString& name : names)
        if (!name.isEmpty())
            escaped.append(QRegularExpression::escape(name));
    return escaped.isEmpty() ? QString() : QStringLiteral("(") + escaped.join(QLatin1Char('|')) + QStringLiteral(")");
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
            add(QStringLiteral("\\b") + alternatives + QStringLiteral("\\b"), Qt::magenta, names_swap);
    }
    const QString states = name_alternatives(names.states);
    if (!states.isEmpty())
    {
        add(QStringLiteral("\\b") + states + QStringLiteral("\\b"), Qt::darkGreen,
            may_swap(lock, SCI_RUNTIME_CONFIG_GOTO_STATE));
        add(QStringLiteral("\\bstate\\s+") + states + QStringLiteral("\\b"), Qt::darkGreen, false);
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

SEDQ_SYNTAX_HIGHLIGHTER::SEDQ_SYNTAX_HIGHLIGHTER(QTextDocument* document, SEDQ_TX_MANAGER* tx, int instance)
    : QSyntaxHighlighter(document), m_tx_manager(tx), m_instance(instance)
{
}

SEDQ_HIGHLIGHT_LOCK SEDQ_SYNTAX_HIGHLIGHTER::lock_of(SEDQ_TX_MANAGER* tx, int instance)
{
    SEDQ_HIGHLIGHT_LOCK lock;
    lock.locked = tx->get_lock_mode(false) != SEDQ_LOCK_MODE_ALLOW_ALL;
    lock.powerup = tx->is_powerup_trigger(-1);
    for (SCI_FLOW_CONTROL_RUNTIME_CONFIG_OPTION option :
         {SCI_RUNTIME_CONFIG_GOTO_STATE, SCI_RUNTIME_CONFIG_COMPARISON_VALUES,
          SCI_RUNTIME_CONFIG_LOGICAL_OPERATORS, SCI_RUNTIME_CONFIG_COMPARISON_OPERATORS})
        if (tx->is_configurable(option, instance))
            lock.configurable |= int(option);
    return lock;
}

void SEDQ_SYNTAX_HIGHLIGHTER::highlightBlock(QString const& text)
{
    if (!m_rules_valid)
    {
        m_rules = sedq_highlight_rules(SEDQ_FLOW_NAMES::of(m_tx_manager, m_instance), lock_of(m_tx_manager, m_instance));
        m_rules_valid = true;
        // The names and the lock may change between passes; within one pass they cannot.
        QMetaObject::invokeMethod(this, [this]() { m_rules_valid = false; }, Qt::QueuedConnection);
    }
    for (const QTextLayout::FormatRange& range : sedq_highlight_line(text, m_rules))
        setFormat(range.start, range.length, range.format);
}
