// SEDQ_SYNTAX_HIGHLIGHTER: the rules read from the model, the lines a pass colours at once and
// the lines coloured when they are shown.
#include "sedq/state_flow/sedq_syntax_highlighter.h"

#include "host/sci.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/state_flow/sedq_flow_document.h"

#include <QTextBlock>
#include <QTextDocument>

// QSyntaxHighlighter colours the lines of a change and then marks each of them changed again,
// its line feed included, and the line after a deletion as well: the layout lays out and
// repaints the lines after the edited one too. The lines of a change are coloured here instead,
// before the layout that follows the change lays them out, which then needs no telling.
SEDQ_SYNTAX_HIGHLIGHTER::SEDQ_SYNTAX_HIGHLIGHTER(QTextDocument* document, SEDQ_TX_MANAGER* tx, int instance)
    : QSyntaxHighlighter(document), m_tx_manager(tx), m_instance(instance)
{
    disconnect(document, &QTextDocument::contentsChange, this, nullptr);
    connect(document, &QTextDocument::contentsChange, this, &SEDQ_SYNTAX_HIGHLIGHTER::colour_change);
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

namespace
{
int g_turn = 0;
// The highlighter whose queued call ends the turn; the call goes with it when it is deleted.
SEDQ_SYNTAX_HIGHLIGHTER* g_turn_poster = nullptr;
} // namespace

// The event-loop turn: names and the lock change only in the slots of a turn, never while the
// editors of one page highlight their texts in it. The call that ends it is queued to a
// highlighter, not to the application: a call left in the application's queue would run (or be
// destroyed) after the host has unloaded this library.
int SEDQ_SYNTAX_HIGHLIGHTER::current_turn()
{
    if (g_turn_poster == nullptr)
    {
        g_turn_poster = this;
        QMetaObject::invokeMethod(
            this,
            []() {
                ++g_turn;
                g_turn_poster = nullptr;
            },
            Qt::QueuedConnection);
    }
    return g_turn;
}

// QSyntaxHighlighter takes its colours off the lines as it leaves, which is a change of the
// document: this part of the highlighter is gone by then and hears nothing of it.
SEDQ_SYNTAX_HIGHLIGHTER::~SEDQ_SYNTAX_HIGHLIGHTER()
{
    if (document() != nullptr)
        disconnect(document(), &QTextDocument::contentsChange, this, &SEDQ_SYNTAX_HIGHLIGHTER::colour_change);
    if (g_turn_poster == this)
    {
        ++g_turn;
        g_turn_poster = nullptr;
    }
}

// The model is read once a turn for all editors of an instance (a page may hold thousands),
// and the rules are built again only when the names or the lock differ from those of the last
// rules built.
void SEDQ_SYNTAX_HIGHLIGHTER::refresh_rules()
{
    const int turn = current_turn();
    if (m_rules != nullptr && m_rules_turn == turn)
        return;
    static struct
    {
        const SEDQ_TX_MANAGER* tx = nullptr;
        int instance = 0;
        int turn = -1;
        std::shared_ptr<const RULES> rules;
    } read;
    static int generations = 0;
    if (read.rules == nullptr || read.tx != m_tx_manager || read.instance != m_instance || read.turn != turn)
    {
        SEDQ_FLOW_NAMES names = SEDQ_FLOW_NAMES::of(m_tx_manager, m_instance);
        const SEDQ_HIGHLIGHT_LOCK lock = lock_of();
        std::shared_ptr<const RULES> rules;
        for (const std::shared_ptr<const RULES>& known : {m_rules, read.rules})
            if (known != nullptr && known->names == names && known->lock == lock)
                rules = known;
        if (rules == nullptr)
        {
            auto built = std::make_shared<RULES>();
            built->rules = sedq_highlight_rules(names, lock);
            built->names = std::move(names);
            built->lock = lock;
            built->generation = ++generations;
            rules = built;
        }
        read.tx = m_tx_manager;
        read.instance = m_instance;
        read.turn = turn;
        read.rules = rules;
    }
    m_rules = read.rules;
    m_rules_turn = turn;
    m_lines_this_turn = 0;
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

// Whether the line's colours changed. Formats set on a line count as a change of the whole
// line, its line feed included, which has the layout lay out the line after it too: a key that
// leaves the colours as they were (most keys of a word) sets none.
bool SEDQ_SYNTAX_HIGHLIGHTER::colour(QTextBlock block)
{
    const QString text = block.text();
    const QVector<QTextLayout::FormatRange> runs = sedq_format_runs(sedq_highlight_line(text, m_rules->rules), text);
    const bool changed = block.layout()->formats() != runs;
    if (changed)
        block.layout()->setFormats(runs);
    SEDQ_LINE_DATA* data = SEDQ_LINE_DATA::of(block);
    data->highlighted_revision = block.revision();
    data->highlighted_generation = m_rules->generation;
    return changed;
}

// The lines a change touched, up to LINES_PER_PASS of them a turn; the others wait until they
// are shown.
void SEDQ_SYNTAX_HIGHLIGHTER::colour_change(int from, int, int added)
{
    refresh_rules();
    const QTextBlock last = document()->findBlock(from + added);
    for (QTextBlock block = document()->findBlock(from); block.isValid(); block = block.next())
    {
        if (++m_lines_this_turn <= LINES_PER_PASS)
            colour(block);
        else
            SEDQ_LINE_DATA::of(block)->highlighted_generation = -1;
        if (block == last)
            break;
    }
}

// The formats of the stale lines are set on their layouts and the document is told once of those
// that changed, so the layout runs once for all of them (a line told one by one would lay out
// every line after it each time).
void SEDQ_SYNTAX_HIGHLIGHTER::highlight_shown(const QTextBlock& first, const QTextBlock& last)
{
    int from = -1;
    int to = -1;
    for (QTextBlock block = first; block.isValid(); block = block.next())
    {
        if (!is_current(block) && block.layout() != nullptr && colour(block))
        {
            from = from < 0 ? block.position() : from;
            to = block.position() + block.length();
        }
        if (block == last)
            break;
    }
    if (from >= 0)
        document()->markContentsDirty(from, to - from);
}

// QSyntaxHighlighter::rehighlight() colours through here.
void SEDQ_SYNTAX_HIGHLIGHTER::highlightBlock(QString const& text)
{
    refresh_rules();
    // A line not coloured here is left plain and marked out of date; it is coloured when it
    // is shown. A pass over a whole text of many lines so costs a little per line.
    SEDQ_LINE_DATA* data = SEDQ_LINE_DATA::of(currentBlock());
    if (++m_lines_this_turn > LINES_PER_PASS)
    {
        data->highlighted_generation = -1;
        return;
    }
    for (const QTextLayout::FormatRange& run : sedq_format_runs(sedq_highlight_line(text, m_rules->rules), text))
        setFormat(run.start, run.length, run.format);
    data->highlighted_revision = currentBlock().revision();
    data->highlighted_generation = m_rules->generation;
}
