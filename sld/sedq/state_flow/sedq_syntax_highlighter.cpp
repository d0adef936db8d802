// SEDQ_SYNTAX_HIGHLIGHTER: the rules read from the model, the lines a pass colours at once and
// the lines coloured when they are shown.
#include "sedq/state_flow/sedq_syntax_highlighter.h"

#include "host/sci.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/state_flow/sedq_flow_document.h"

#include <QTextBlock>
#include <QTextDocument>

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

SEDQ_HIGHLIGHT_LOCK SEDQ_SYNTAX_HIGHLIGHTER::lock_of() const
{
    return lock_of(m_tx_manager, m_instance);
}

// The names and the lock may change between event-loop turns, never within one. Editors of
// one instance share the rules the last of them built, so a page of many editors builds them
// once.
void SEDQ_SYNTAX_HIGHLIGHTER::refresh_rules()
{
    if (m_rules_read && m_rules != nullptr)
        return;
    static std::weak_ptr<const RULES> last_built;
    static int generations = 0;
    SEDQ_FLOW_NAMES names = SEDQ_FLOW_NAMES::of(m_tx_manager, m_instance);
    const SEDQ_HIGHLIGHT_LOCK lock = lock_of();
    const std::shared_ptr<const RULES> shared = last_built.lock();
    if (m_rules == nullptr || !(m_rules->names == names) || !(m_rules->lock == lock))
    {
        if (shared != nullptr && shared->names == names && shared->lock == lock)
            m_rules = shared;
        else
        {
            auto built = std::make_shared<RULES>();
            built->rules = sedq_highlight_rules(names, lock);
            built->names = std::move(names);
            built->lock = lock;
            built->generation = ++generations;
            m_rules = built;
            last_built = m_rules;
        }
    }
    m_rules_read = true;
    m_lines_this_turn = 0;
    QMetaObject::invokeMethod(this, [this]() { m_rules_read = false; }, Qt::QueuedConnection);
}

const QVector<SEDQ_HIGHLIGHT_RULE>& SEDQ_SYNTAX_HIGHLIGHTER::rules()
{
    refresh_rules();
    return m_rules->rules;
}

bool SEDQ_SYNTAX_HIGHLIGHTER::is_current(const QTextBlock& block)
{
    refresh_rules();
    const auto* data = static_cast<const SEDQ_LINE_DATA*>(block.userData());
    return data != nullptr && data->highlighted_revision == block.revision() &&
           data->highlighted_generation == m_rules->generation;
}

void SEDQ_SYNTAX_HIGHLIGHTER::highlight_shown(const QTextBlock& first, const QTextBlock& last)
{
    if (!first.isValid())
        return;
    for (QTextBlock block = first; block.isValid(); block = block.next())
    {
        if (!is_current(block))
        {
            m_forced = true;
            rehighlightBlock(block);
            m_forced = false;
        }
        if (block == last)
            break;
    }
}

void SEDQ_SYNTAX_HIGHLIGHTER::highlightBlock(QString const& text)
{
    refresh_rules();
    // A line not coloured here is left plain and marked out of date; it is coloured when it
    // is shown. A pass over a whole text of many lines so costs a little per line.
    SEDQ_LINE_DATA* data = SEDQ_LINE_DATA::of(currentBlock());
    if (!m_forced && ++m_lines_this_turn > LINES_PER_PASS)
    {
        data->highlighted_generation = -1;
        return;
    }
    for (const QTextLayout::FormatRange& range : sedq_highlight_line(text, m_rules->rules))
        setFormat(range.start, range.length, range.format);
    data->highlighted_revision = currentBlock().revision();
    data->highlighted_generation = m_rules->generation;
}
