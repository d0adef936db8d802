// The transition graph of the state diagram and the geometry of its arcs.
#include "sedq/state_flow/sedq_diagram_widget.h"

#include "sedq/advanced_trigger/sedq_state_machine_object.h"

void SEDQ_STATE::enable()
{
    QList<SEDQ_STATE*> pending{this};
    while (!pending.isEmpty())
    {
        SEDQ_STATE* node = pending.takeLast();
        if (node->enabled)
            continue;
        node->enabled = true;
        pending << node->next;
    }
}

SEDQ_STATE_INDEX sedq_state_index(QStringList const& names)
{
    SEDQ_STATE_INDEX index;
    for (int k = 0; k < names.size(); ++k)
        index[names.at(k)].append(k);
    return index;
}

namespace
{
// What separates words: blanks (QChar::isSpace) and ";".
bool is_separator(QChar c)
{
    return c.isSpace() || c == QLatin1Char(';');
}

// From `at` back to the start of the word before the one that reaches `at`: a change at `at`
// can alter that word's goto (the word after it is its target) and nothing before it.
int word_before(const QString& text, int at)
{
    int p = at;
    while (p > 0 && !is_separator(text.at(p - 1)))
        --p;
    while (p > 0 && is_separator(text.at(p - 1)))
        --p;
    while (p > 0 && !is_separator(text.at(p - 1)))
        --p;
    return p;
}

// From `at` on to the end of the word after the one that reaches `at` (a goto's target).
int word_after(const QString& text, int at)
{
    const int size = text.size();
    int p = at;
    while (p < size && !is_separator(text.at(p)))
        ++p;
    while (p < size && is_separator(text.at(p)))
        ++p;
    while (p < size && !is_separator(text.at(p)))
        ++p;
    return p;
}
} // namespace

// Words are runs of characters other than separators. A key typed in a state reads that
// state's text again, and a state may hold thousands of lines: only the places of a "g" are
// looked at (a vectorised search finds them), and only the word after a word "goto" is looked
// up.
QVector<int> sedq_goto_targets(SEDQ_STATE_INDEX const& index, QString const& text)
{
    QVector<int> targets;
    const QStringView view(text);
    const qsizetype size = view.size();
    const QLatin1String go("goto");
    for (qsizetype at = view.indexOf(QLatin1Char('g')); at >= 0; at = view.indexOf(QLatin1Char('g'), at + 1))
    {
        const qsizetype after = at + go.size();
        if (after > size || (at > 0 && !is_separator(view.at(at - 1))) || view.mid(at, go.size()) != go ||
            (after < size && !is_separator(view.at(after))))
            continue;
        qsizetype word = after;
        while (word < size && is_separator(view.at(word)))
            ++word;
        qsizetype end = word;
        while (end < size && !is_separator(view.at(end)))
            ++end;
        if (end > word)
            targets << index.value(view.mid(word, end - word).toString());
    }
    return targets;
}

// A key changes one run of a text: the gotos before and after the words around it stay, so only
// those words are read in both texts. The run is found by comparing the texts.
bool sedq_same_goto_targets(SEDQ_STATE_INDEX const& index, QString const& before, QString const& after)
{
    const SEDQ_TEXT_CHANGE change = sedq_text_change(before, after);
    return sedq_same_goto_targets(index, after, change, before.mid(change.at, change.removed));
}

// The words around the change are the same characters in both texts, but for the run changed:
// the words before it are read in the text after, the words after it too, shifted by the change.
bool sedq_same_goto_targets(SEDQ_STATE_INDEX const& index, QString const& after, SEDQ_TEXT_CHANGE const& change,
                            QString const& removed)
{
    const int from = word_before(after, change.at);
    const int after_end = word_after(after, change.at + change.inserted);
    const int tail = change.at + change.inserted;
    QString before;
    before.reserve(change.at - from + removed.size() + after_end - tail);
    before.append(after.constData() + from, change.at - from);
    before.append(removed);
    before.append(after.constData() + tail, after_end - tail);
    return sedq_goto_targets(index, before) == sedq_goto_targets(index, after.mid(from, after_end - from));
}

QVector<QVector<int>> sedq_state_transitions(QStringList const& names, QStringList const& texts)
{
    const SEDQ_STATE_INDEX index = sedq_state_index(names);
    QVector<QVector<int>> transitions(names.size());
    for (int state = 0; state < names.size(); ++state)
        transitions[state] = sedq_goto_targets(index, texts.value(state));
    return transitions;
}

SEDQ_STATE_ARC sedq_state_arc(QPoint source, QPoint target)
{
    SEDQ_STATE_ARC arc;
    const int y_source = ((source.y() - 9) + (source.y() + 10)) / 2;
    const int y_target = ((target.y() - 9) + (target.y() + 10)) / 2;
    const int cx = source.x();
    if (y_target > y_source)
    {
        const int d = (y_target - 6) - (y_source + 6) + 1;
        arc.rect = QRect(cx - d / 2 + 31, y_source + 6, d, d);
        arc.start_angle = 270 * 16;
        arc.span_angle = 180 * 16;
        const int ax = (arc.rect.left() + (arc.rect.left() + d - 1)) / 2;
        arc.head[0] = QPoint(ax, y_target - 6);
        arc.head[1] = QPoint(ax + 5, y_target - 8);
        arc.head[2] = QPoint(ax + 5, y_target - 2);
    }
    else if (y_target < y_source)
    {
        const int d = y_source - (y_target + 6) - 5;
        arc.rect = QRect(cx - d / 2 - 30, y_target + 6, d, d);
        arc.start_angle = 270 * 16;
        arc.span_angle = -180 * 16;
        const int ax = (arc.rect.left() + (arc.rect.left() + d - 1)) / 2;
        arc.head[0] = QPoint(ax, y_target + 6);
        arc.head[1] = QPoint(ax - 5, y_target + 3);
        arc.head[2] = QPoint(ax - 5, y_target + 9);
    }
    else
    {
        const int cy = source.y();
        arc.rect = QRect(cx - 18, cy - 4, 38, 40);
        arc.start_angle = 0;
        arc.span_angle = -180 * 16;
        const int y_arrow = ((cy - 4) + (cy + 35)) / 2;
        arc.head[0] = QPoint(cx - 18, y_arrow);
        arc.head[1] = QPoint(cx - 21, y_arrow + 5);
        arc.head[2] = QPoint(cx - 15, y_arrow + 5);
    }
    return arc;
}
