#pragma once
// The flow language over an editor's document. Each line keeps its tokens until its text
// changes, and the summary of its state (SEDQ_FLOW_SUMMARY) from the last line at or before it
// that holds the word "state" to its end, until a line at or before it changes. The proposals
// at a cursor read the summary of the line before and the cursor's own line, so a key costs the
// same wherever it is typed in a state of any length; after a change, the summaries are brought
// up to date from the changed line to the line that is read, once.

#include "sedq/state_flow/sedq_flow_language.h"

#include <QTextBlockUserData>
#include <QTextLayout>
#include <QVector>

class QTextBlock;
class QTextCursor;

// What the editor keeps with one line: its tokens, the summaries of its state up to its end
// (with and without the last token), and its colours with the revision and rules the
// highlighter coloured it for.
class SEDQ_LINE_DATA : public QTextBlockUserData
{
public:
    // The line's data, made when it has none.
    static SEDQ_LINE_DATA* of(QTextBlock block);

    // The tokens and the revision and length of the text they were read from.
    QStringList tokens;
    int tokens_revision = -1;
    int tokens_length = -1;
    SEDQ_FLOW_SUMMARY summary;
    SEDQ_FLOW_SUMMARY summary_but_last;
    QVector<QTextLayout::FormatRange> colours;
    int highlighted_revision = -1;
    int highlighted_generation = -1;
};

// The tokens of one line, as sedq_split_tokens gives them.
QStringList sedq_line_tokens(QTextBlock const& block);
// The context the proposals read at `cursor`: the tokens of its state up to the cursor, and the
// word at the cursor as the whole text would give it.
SEDQ_CURSOR_CONTEXT sedq_cursor_context(QTextCursor const& cursor);
