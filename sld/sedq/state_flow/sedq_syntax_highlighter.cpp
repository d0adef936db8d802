// SEDQ_SYNTAX_HIGHLIGHTER: the rules of one pass, read from the model, over each block.
#include "sedq/state_flow/sedq_syntax_highlighter.h"

#include "host/sci.h"
#include "sedq/model/sedq_tx_manager.h"

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
