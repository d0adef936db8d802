#pragma once
// Colours a flow editor's text: keywords, store words, the instance's names, numbers and
// operators, and underlines the tokens a click can swap. Names are user text: they are looked
// up as words or compared literally, never compiled into a pattern, so thousands of names cost
// a hash look-up per word and no name can make a rule match the empty string.
// Highlighting follows what is shown: a change has a bounded number of its lines coloured at
// once, and every other line is coloured when it is painted (see highlight_shown).
// The colours are kept with each line (SEDQ_LINE_DATA) and painted by the editor over the
// glyphs Qt shaped (sedq_paint_colours); the line's layout holds one format over all of its
// text that has Qt draw it clear. Qt shapes a line of many formats one format at a time and
// lays out again every line whose formats are set, the line after it too: here a line is laid
// out as a plain editor lays it out, and new colours cost a repaint.
// The rules are read from the model at most once per event-loop turn and built again only
// when the names or the lock have changed.

#include "sedq/state_flow/sedq_flow_language.h"

#include <QColor>
#include <QHash>
#include <QSyntaxHighlighter>
#include <QTextCharFormat>
#include <QTextLayout>
#include <QVector>

#include <memory>

class QPainter;
class SEDQ_TX_MANAGER;

// What decides which tokens may be swapped: the lock, the power-up trigger and the options that
// stay configurable at run time (bits of SCI_FLOW_CONTROL_RUNTIME_CONFIG_OPTION).
struct SEDQ_HIGHLIGHT_LOCK
{
    bool locked = false;
    bool powerup = false;
    int configurable = 0;

    bool operator==(const SEDQ_HIGHLIGHT_LOCK& other) const
    {
        return locked == other.locked && powerup == other.powerup && configurable == other.configurable;
    }
};

// The names of one kind as the flow check reads them: a name made of name characters (ASCII
// letters, digits, "_") stands where exactly that word stands; any other name is compared
// literally, with a word boundary on each side where it ends in a name character.
class SEDQ_NAME_MATCHER
{
public:
    explicit SEDQ_NAME_MATCHER(QStringList const& names);

    bool is_empty() const { return m_words.isEmpty() && m_literals.isEmpty(); }
    // The length of the longest name that stands at `at`; 0 when none does.
    int match_at(QString const& text, int at) const;
    // Every match, leftmost first, the longest at one place, each search going on after the
    // last match (as a pattern of alternatives, longest first, would find them).
    QVector<QPair<int, int>> find_all(QString const& text) const;

private:
    QHash<QString, int> m_words;
    // Literal names by their first word (or first character when that is no name character),
    // longest first.
    QHash<QString, QStringList> m_literals;
};

// The tokens of the language a rule finds by their spelling, each as the pattern beside it
// finds them, \w and \d being ASCII and \s the ASCII blanks:
enum class SEDQ_FIXED_TOKENS
{
    NONE,
    KEYWORDS,    // \b(state|if|else|increment|decrement|reset|set|clear|goto|trigger|segment_trigger|begin|end)\b
    STORE_WORDS, // \b(start_store|stop_store)\b
    STATE_WORD,  // \bstate\s+
    RELATIONS,   // (<=|>=|==|!=|<|>)
    LOGICALS,    // (&&|\|\|)
    NUMBERS      // \b\d+\b
};
// Every such token of a line as (start, length), leftmost first, each search going on after the
// last token found. Scanned by hand: a key colours its line, and a pattern's match costs more
// than the line.
QVector<QPair<int, int>> sedq_fixed_tokens(SEDQ_FIXED_TOKENS which, QString const& text);

struct SEDQ_HIGHLIGHT_RULE
{
    // A rule is a kind of fixed token or the names of one kind; `after_state_word` finds the
    // names only where "state" and blanks stand before them, and colours the whole header.
    SEDQ_FIXED_TOKENS tokens = SEDQ_FIXED_TOKENS::NONE;
    std::shared_ptr<const SEDQ_NAME_MATCHER> names;
    bool after_state_word = false;
    QColor colour;
    bool underline = false;
    // The colour and the underline as a format, made once with the rules.
    QTextCharFormat format;
};

QVector<SEDQ_HIGHLIGHT_RULE> sedq_highlight_rules(SEDQ_FLOW_NAMES const& names, SEDQ_HIGHLIGHT_LOCK const& lock);
// The format ranges of one line, later rules over earlier ones where they overlap.
QVector<QTextLayout::FormatRange> sedq_highlight_line(QString const& text,
                                                      QVector<SEDQ_HIGHLIGHT_RULE> const& rules);
// The ranges of the line `text` as its layout holds them: one run per stretch of characters of
// one format, the last range over a character deciding its format, characters of no format left
// out but the blanks after a run that only colours, which join it.
QVector<QTextLayout::FormatRange> sedq_format_runs(QVector<QTextLayout::FormatRange> const& ranges,
                                                    QString const& text);
// The range of the swappable token (an underlined range of the rules) that covers character
// `at` of a line: the last rule's range that covers it decides, as it decides the format.
// False when no range covers it or the deciding one is not underlined.
bool sedq_swappable_token_at(QString const& text, int at, QVector<SEDQ_HIGHLIGHT_RULE> const& rules, int* start,
                             int* length);

// The selected characters of a line (positions in its text) and the colour Qt paints them in.
struct SEDQ_PAINTED_SELECTION
{
    int from = 0;
    int to = 0;
    QColor colour;
};

// Paints the text of `line` (of a layout of `text` at `origin`, in the painter's coordinates):
// the characters of `colours` (a line's runs, as sedq_format_runs gives them) in their colour
// and underline, every other character in `plain`. Qt paints the selected characters itself;
// only their underlines are painted here.
void sedq_paint_colours(QPainter* painter, const QTextLine& line, QString const& text, QPointF origin,
                        QVector<QTextLayout::FormatRange> const& colours, QColor const& plain,
                        SEDQ_PAINTED_SELECTION const& selection);

class SEDQ_SYNTAX_HIGHLIGHTER : public QSyntaxHighlighter
{
    Q_OBJECT
public:
    // Lines a change has coloured at once (the lines of an edit, the first screen of a text just
    // loaded); the rest wait until they are painted.
    static const int LINES_PER_PASS = 200;

    SEDQ_HIGHLIGHT_LOCK lock_of() const;
    static SEDQ_HIGHLIGHT_LOCK lock_of(SEDQ_TX_MANAGER* tx, int instance);

    SEDQ_SYNTAX_HIGHLIGHTER(QTextDocument* document, SEDQ_TX_MANAGER* tx, int instance);
    ~SEDQ_SYNTAX_HIGHLIGHTER() override;

    // The rules as the model's names and lock are now.
    const QVector<SEDQ_HIGHLIGHT_RULE>& rules();
    // Which names and lock the rules are now made of: another generation once either changed.
    // Read once a turn for every highlighter of the instance, as the rules are.
    int rules_generation();
    // Whether the line shows what the rules give for its text now.
    bool is_current(const QTextBlock& block);
    // Colours the lines from `first` to `last` (inclusive) that are not current.
    void highlight_shown(const QTextBlock& first, const QTextBlock& last);
    // Whether the editor paints the text of the layout: Qt draws it clear. False for a line
    // never coloured, which Qt draws plain.
    static bool is_painted_by_editor(const QTextLayout* layout);
    // The colours of the line, as last coloured.
    static QVector<QTextLayout::FormatRange> colours_of(const QTextBlock& block);

protected:
    void highlightBlock(QString const& text) override;

private:
    struct RULES
    {
        SEDQ_FLOW_NAMES names;
        SEDQ_HIGHLIGHT_LOCK lock;
        QVector<SEDQ_HIGHLIGHT_RULE> rules;
        int generation = 0;
    };
    void refresh_rules();
    int current_turn();
    void keep_colours(const QTextBlock& block, QString const& text);
    bool colour(QTextBlock block);
    void colour_change(int from, int removed, int added);

    SEDQ_TX_MANAGER* m_tx_manager;
    int m_instance;
    std::shared_ptr<const RULES> m_rules;
    int m_rules_turn = -1;
    int m_lines_this_turn = 0;
};
