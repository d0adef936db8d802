#pragma once
// The flow language over an editor's document. Each line keeps its tokens until its text
// changes, and the proposals at a cursor read only the lines of the state the cursor stands in
// (from the last line before it that holds the word "state"), so the work per key follows the
// state being edited, not the whole flow.

#include "sedq/state_flow/sedq_flow_language.h"

#include <QTextBlockUserData>

class QTextBlock;
class QTextCursor;

// What the editor keeps with one line: its tokens, and the revision and rules the highlighter
// coloured it for.
class SEDQ_LINE_DATA : public QTextBlockUserData
{
public:
    // The line's data, made when it has none.
    static SEDQ_LINE_DATA* of(QTextBlock block);

    // The tokens and the revision and length of the text they were read from.
    QStringList tokens;
    int tokens_revision = -1;
    int tokens_length = -1;
    int highlighted_revision = -1;
    int highlighted_generation = -1;
};

// The tokens of one line, as sedq_split_tokens gives them.
QStringList sedq_line_tokens(QTextBlock const& block);
// The context the proposals read at `cursor`: the tokens of its state up to the cursor, and the
// word at the cursor as the whole text would give it.
SEDQ_CURSOR_CONTEXT sedq_cursor_context(QTextCursor const& cursor);
