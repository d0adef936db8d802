// The tokens of a line, kept with it, and the proposals' context at a cursor from the lines
// around it.
#include "sedq/state_flow/sedq_flow_document.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace
{
bool has_token(const QString& text)
{
    for (const QChar c : text)
        if (!c.isSpace())
            return true;
    return false;
}

// The first line of the state the cursor stands in: its own line when the text before it
// there holds "state", else the last line before it whose tokens hold "state", else the first.
QTextBlock state_start(const QTextBlock& line, const QStringList& head_tokens)
{
    QTextBlock first = line;
    if (head_tokens.contains(QStringLiteral("state")))
        return first;
    for (QTextBlock before = line.previous(); before.isValid(); before = before.previous())
    {
        first = before;
        if (sedq_line_tokens(before).contains(QStringLiteral("state")))
            break;
    }
    return first;
}

// The text from the start of the cursor's line to the end of the first line, from the cursor
// on, that holds a token after the cursor (the end of the text when none does). A word at the
// cursor needs no more: tokens never run across a line break.
QString lines_to_next_token(const QTextCursor& cursor)
{
    const QTextBlock line = cursor.block();
    const int at = cursor.position() - line.position();
    QString text = line.text();
    if (has_token(text.mid(at)))
        return text;
    for (QTextBlock next = line.next(); next.isValid(); next = next.next())
    {
        const QString more = next.text();
        text += QLatin1Char('\n') + more;
        if (has_token(more))
            break;
    }
    return text;
}
} // namespace

SEDQ_LINE_DATA* SEDQ_LINE_DATA::of(QTextBlock block)
{
    auto* data = static_cast<SEDQ_LINE_DATA*>(block.userData());
    if (data == nullptr)
    {
        data = new SEDQ_LINE_DATA;
        block.setUserData(data);
    }
    return data;
}

QStringList sedq_line_tokens(QTextBlock const& block)
{
    if (!block.isValid())
        return {};
    SEDQ_LINE_DATA* data = SEDQ_LINE_DATA::of(block);
    if (data->tokens_revision != block.revision() || data->tokens_length != block.length())
    {
        data->tokens = sedq_split_tokens(block.text().simplified());
        data->tokens_revision = block.revision();
        data->tokens_length = block.length();
    }
    return data->tokens;
}

SEDQ_CURSOR_CONTEXT sedq_cursor_context(QTextCursor const& cursor)
{
    const QTextBlock line = cursor.block();
    if (!line.isValid())
        return {};
    const int at = cursor.position() - line.position();
    const QString head = line.text().left(at);
    const QStringList head_tokens = sedq_split_tokens(head.simplified());
    SEDQ_CURSOR_CONTEXT context;
    for (QTextBlock before = state_start(line, head_tokens); before.isValid() && before != line; before = before.next())
        context.tokens << sedq_line_tokens(before);
    context.tokens << head_tokens;
    // A line break in front stands for the lines before: the text before the cursor is not
    // empty then, even at the start of a line.
    const QString lead = line.position() > 0 ? QStringLiteral("\n") : QString();
    context.word = sedq_word_at_cursor(lead + head, lead + lines_to_next_token(cursor));
    return context;
}
