// SEDQ_SYNTAX_HIGHLIGHTER: the rules read from the model, the lines a pass colours at once and
// the lines coloured when they are shown.
#include "sedq/state_flow/sedq_syntax_highlighter.h"

#include "host/sci.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/state_flow/sedq_flow_document.h"

#include <QGlyphRun>
#include <QPainter>
#include <QRawFont>
#include <QTextBlock>
#include <QTextDocument>
#include <QtMath>

#include <algorithm>
#include <climits>
#include <cmath>
#include <memory>

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

int SEDQ_SYNTAX_HIGHLIGHTER::rules_generation()
{
    refresh_rules();
    return m_rules->generation;
}

bool SEDQ_SYNTAX_HIGHLIGHTER::is_current(const QTextBlock& block)
{
    refresh_rules();
    const auto* data = static_cast<const SEDQ_LINE_DATA*>(block.userData());
    return data != nullptr && data->highlighted_revision == block.revision() &&
           data->highlighted_generation == m_rules->generation;
}

namespace
{
// The one format of every coloured line's layout, over any length of text: Qt draws the text
// clear, and a key typed at the line's end stays under it.
const QVector<QTextLayout::FormatRange>& clear_text()
{
    static const QVector<QTextLayout::FormatRange> formats = []() {
        QTextLayout::FormatRange range;
        range.start = 0;
        range.length = INT_MAX / 2;
        range.format.setForeground(QColor(Qt::transparent));
        return QVector<QTextLayout::FormatRange>{range};
    }();
    return formats;
}
} // namespace

bool SEDQ_SYNTAX_HIGHLIGHTER::is_painted_by_editor(const QTextLayout* layout)
{
    return layout != nullptr && layout->formats() == clear_text();
}

QVector<QTextLayout::FormatRange> SEDQ_SYNTAX_HIGHLIGHTER::colours_of(const QTextBlock& block)
{
    const auto* data = static_cast<const SEDQ_LINE_DATA*>(block.userData());
    return data != nullptr ? data->colours : QVector<QTextLayout::FormatRange>();
}

// The colours the rules give `text`, the line's text, kept with the line for its revision.
void SEDQ_SYNTAX_HIGHLIGHTER::keep_colours(const QTextBlock& block, QString const& text)
{
    SEDQ_LINE_DATA* data = SEDQ_LINE_DATA::of(block);
    data->colours = sedq_format_runs(sedq_highlight_line(text, m_rules->rules), text);
    data->highlighted_revision = block.revision();
    data->highlighted_generation = m_rules->generation;
}

// Whether the line's layout was given another format now: formats set on a line count as a
// change of the whole line, its line feed included, which has the layout lay out the line after
// it too. That happens once, when a line is first coloured; its colours change no layout.
bool SEDQ_SYNTAX_HIGHLIGHTER::colour(QTextBlock block)
{
    keep_colours(block, block.text());
    QTextLayout* layout = block.layout();
    // Text an input method is composing is laid out in the line but is no text of it yet: Qt
    // paints the line, plain, while it lasts.
    if (!layout->preeditAreaText().isEmpty())
    {
        if (!is_painted_by_editor(layout))
            return false;
        layout->setFormats({});
        return true;
    }
    if (is_painted_by_editor(layout))
        return false;
    layout->setFormats(clear_text());
    return true;
}

// The lines a change touched, up to LINES_PER_PASS of them; the others wait until they are
// shown. The lines are coloured with the rules last read: the change has not reached the model
// yet (a state's header typed renames the state only then), and the names are read again after
// it, by the page and the paint. Should the rules have changed since, the paint finds the lines
// coloured with others (see is_current) and colours them again.
void SEDQ_SYNTAX_HIGHLIGHTER::colour_change(int from, int, int added)
{
    if (m_rules == nullptr)
        refresh_rules();
    const QTextBlock last = document()->findBlock(from + added);
    int lines = 0;
    for (QTextBlock block = document()->findBlock(from); block.isValid(); block = block.next())
    {
        if (++lines <= LINES_PER_PASS)
            colour(block);
        else
            SEDQ_LINE_DATA::of(block)->highlighted_generation = -1;
        if (block == last)
            break;
    }
}

// The stale lines, those whose layout Qt still paints and those with text being composed are
// coloured; those whose format changed now are laid out again, the document told once of them
// all (a line told one by one would lay out every line after it each time).
void SEDQ_SYNTAX_HIGHLIGHTER::highlight_shown(const QTextBlock& first, const QTextBlock& last)
{
    int from = -1;
    int to = -1;
    for (QTextBlock block = first; block.isValid(); block = block.next())
    {
        const QTextLayout* layout = block.layout();
        if (layout != nullptr &&
            (!is_current(block) || !is_painted_by_editor(layout) || !layout->preeditAreaText().isEmpty()) &&
            colour(block))
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

// QSyntaxHighlighter::rehighlight() colours through here. Its format reaches the layout over
// the text's length only: the line is given its own again when it is next coloured.
void SEDQ_SYNTAX_HIGHLIGHTER::highlightBlock(QString const& text)
{
    refresh_rules();
    setFormat(0, text.size(), clear_text().constFirst().format);
    // A line not coloured here is marked out of date; it is coloured when it is shown. A pass
    // over a whole text of many lines so costs a little per line.
    if (++m_lines_this_turn > LINES_PER_PASS)
    {
        SEDQ_LINE_DATA::of(currentBlock())->highlighted_generation = -1;
        return;
    }
    keep_colours(currentBlock(), text);
}

namespace
{
// The glyphs of the line's characters from `from` to `to`. Qt finds them over the line's items
// for each range asked; a line whose glyphs stand one for each of its characters, left to right
// in one run (`whole`: one script in one font without ligatures or marks, as a flow's line mostly
// is, its trailing blanks without glyphs), has them cut from that run.
QList<QGlyphRun> glyphs_of(const QTextLine& line, const QGlyphRun* whole, int from, int to)
{
    if (whole == nullptr)
        return line.glyphRuns(from, to - from);
    const int first = from - line.textStart();
    const int count = qMin(to, line.textStart() + whole->glyphIndexes().size()) - from;
    if (count <= 0)
        return {};
    QGlyphRun piece = *whole;
    piece.setGlyphIndexes(whole->glyphIndexes().mid(first, count));
    piece.setPositions(whole->positions().mid(first, count));
    piece.setBoundingRect(QRectF());
    return {piece};
}

// The line's one run, when its glyphs stand one for each character as glyphs_of asks; null
// otherwise.
std::unique_ptr<QGlyphRun> one_glyph_a_character(const QTextLine& line, QString const& text)
{
    const QList<QGlyphRun> runs = line.glyphRuns();
    if (runs.size() != 1)
        return nullptr;
    const QVector<QPointF> positions = runs.constFirst().positions();
    const int glyphs = positions.size();
    if (glyphs > line.textLength())
        return nullptr;
    for (int i = 1; i < glyphs; ++i)
        if (positions[i].x() <= positions[i - 1].x())
            return nullptr;
    if (line.textStart() + line.textLength() > text.size())
        return nullptr;
    for (int i = line.textStart() + glyphs; i < line.textStart() + line.textLength(); ++i)
        if (text.at(i) != QLatin1Char(' '))
            return nullptr;
    return std::make_unique<QGlyphRun>(runs.constFirst());
}

// The glyphs in one colour, as Qt paints a format's text, and their underline as Qt places it:
// below the baseline by the font's underline offset rounded up and kept within the descent,
// from the first glyph's origin to the last glyph's advance. Selected text has its glyphs
// painted by Qt and only its underline here.
void paint_run(QPainter* painter, const QList<QGlyphRun>& runs, QPointF origin, QColor const& colour,
               bool glyphs, bool underline)
{
    for (const QGlyphRun& run : runs)
    {
        painter->setPen(colour);
        if (glyphs)
            painter->drawGlyphRun(origin, run);
        const QVector<QPointF> positions = run.positions();
        if (!underline || positions.isEmpty())
            continue;
        const QRawFont font = run.rawFont();
        const QVector<QPointF> advances = font.advancesForGlyphIndexes(run.glyphIndexes());
        qreal left = positions.constFirst().x();
        qreal right = left;
        for (int i = 0; i < positions.size(); ++i)
        {
            left = qMin(left, positions[i].x());
            right = qMax(right, positions[i].x() + advances.value(i).x());
        }
        qreal below = std::ceil(font.underlinePosition()) + 0.5;
        if (font.underlinePosition() <= font.descent())
            below = qMin(below, font.descent() - 0.5);
        const qreal y = origin.y() + positions.constFirst().y() + below;
        QPen pen(colour, font.lineThickness());
        pen.setCapStyle(Qt::FlatCap);
        painter->setPen(pen);
        painter->drawLine(QLineF(qFloor(origin.x() + left), y, qFloor(origin.x() + right), y));
    }
}
} // namespace

void sedq_paint_colours(QPainter* painter, const QTextLine& line, QString const& text, QPointF origin,
                        QVector<QTextLayout::FormatRange> const& colours, QColor const& plain,
                        SEDQ_PAINTED_SELECTION const& selection)
{
    // A layout may hold more than the line's text (an input method's text being composed).
    const int end = qMin(line.textStart() + line.textLength(), text.size());
    int at = line.textStart();
    if (at >= end)
        return;
    const std::unique_ptr<QGlyphRun> whole = one_glyph_a_character(line, text);
    const auto glyphs = [&](int from, int to) { return glyphs_of(line, whole.get(), from, to); };
    // Blanks not underlined show nothing: no glyphs are drawn for them.
    const auto blank = [&text](int from, int to) {
        return std::all_of(text.constBegin() + from, text.constBegin() + to,
                           [](QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); });
    };
    // The characters from `at` to `to`: the selected ones in the selection's colour.
    const auto paint_to = [&](int to, QColor const& colour, bool underline) {
        if (!underline && blank(at, to))
        {
            at = to;
            return;
        }
        const int selected_from = qBound(at, selection.from, to);
        const int selected_to = qBound(selected_from, selection.to, to);
        if (at < selected_from)
            paint_run(painter, glyphs(at, selected_from), origin, colour, true, underline);
        if (selected_from < selected_to && underline)
            paint_run(painter, glyphs(selected_from, selected_to), origin, selection.colour, false, true);
        if (selected_to < to)
            paint_run(painter, glyphs(selected_to, to), origin, colour, true, underline);
        at = to;
    };
    // The runs stand in order: a line of a long wrapped text starts from the first run that
    // reaches into it.
    const auto first = std::lower_bound(colours.cbegin(), colours.cend(), at,
                                        [](const QTextLayout::FormatRange& run, int start) {
                                            return run.start + run.length <= start;
                                        });
    for (auto next = first; next != colours.cend(); ++next)
    {
        const QTextLayout::FormatRange& run = *next;
        if (run.start >= end)
            break;
        if (run.start > at)
            paint_to(run.start, plain, false);
        const QTextCharFormat& format = run.format;
        paint_to(qMin(end, run.start + run.length), format.foreground().color(), format.fontUnderline());
    }
    if (at < end)
        paint_to(end, plain, false);
}
