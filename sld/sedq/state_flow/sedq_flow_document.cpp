// The tokens of a line, kept with it, and the proposals' context at a cursor from the lines
// around it.
#include "sedq/state_flow/sedq_flow_document.h"

#include <QPointer>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QVector>

#include <algorithm>

namespace
{
bool has_token(const QString& text, int from = 0)
{
    for (auto c = text.cbegin() + qBound(0, from, text.size()); c != text.cend(); ++c)
        if (!c->isSpace())
            return true;
    return false;
}

const char* const SUMMARIES_NAME = "sedq_line_summaries";

// Which lines of a document still hold the summary of their state as the text now reads: those
// before the first line that changed since the summaries were last brought up to date. Lives
// as a child of the document, made when the first context is read from it.
class LINE_SUMMARIES : public QObject
{
public:
    explicit LINE_SUMMARIES(QTextDocument* document) : QObject(document)
    {
        setObjectName(QLatin1String(SUMMARIES_NAME));
        // A document tells of its changes only once it has a layout (an editor's always has).
        document->documentLayout();
        connect(document, &QTextDocument::contentsChange, this,
                [this, document](int from, int, int) { mark_changed(document->findBlock(from)); });
    }

    // Every key typed asks for those of the editor's document: the last found is kept (and
    // forgotten when it goes with its document).
    static LINE_SUMMARIES* of(QTextDocument* document)
    {
        static QPointer<LINE_SUMMARIES> last;
        if (last != nullptr && last->parent() == document)
            return last;
        auto* found = document->findChild<QObject*>(QLatin1String(SUMMARIES_NAME), Qt::FindDirectChildrenOnly);
        last = found != nullptr ? static_cast<LINE_SUMMARIES*>(found) : new LINE_SUMMARIES(document);
        return last;
    }

    void mark_changed(const QTextBlock& line)
    {
        m_current_below = qMin(m_current_below, line.isValid() ? line.blockNumber() : 0);
    }

    // The data of `line` with its summaries brought up to date, and those of the lines before it.
    SEDQ_LINE_DATA* summaries_to(const QTextBlock& line)
    {
        if (line.blockNumber() >= m_current_below)
        {
            QTextBlock next = line.document()->findBlockByNumber(m_current_below);
            const SEDQ_LINE_DATA* previous = next.previous().isValid() ? SEDQ_LINE_DATA::of(next.previous()) : nullptr;
            for (;; next = next.next())
            {
                previous = summarise(next, previous);
                if (next == line)
                    break;
            }
            m_current_below = line.blockNumber() + 1;
        }
        return SEDQ_LINE_DATA::of(line);
    }

private:
    // A line that holds "state" starts the summary afresh with its own tokens.
    static SEDQ_LINE_DATA* summarise(const QTextBlock& line, const SEDQ_LINE_DATA* previous)
    {
        const QStringList tokens = sedq_line_tokens(line);
        SEDQ_LINE_DATA* data = SEDQ_LINE_DATA::of(line);
        const bool starts = previous == nullptr || tokens.contains(QStringLiteral("state"));
        const SEDQ_FLOW_SUMMARY before = starts ? SEDQ_FLOW_SUMMARY() : previous->summary;
        if (tokens.isEmpty())
        {
            data->summary = before;
            data->summary_but_last = starts ? SEDQ_FLOW_SUMMARY() : previous->summary_but_last;
            return data;
        }
        data->summary_but_last = before;
        for (int i = 0; i + 1 < tokens.size(); ++i)
            data->summary_but_last.add(tokens.at(i));
        data->summary = data->summary_but_last;
        data->summary.add(tokens.last());
        return data;
    }

    int m_current_below = 0;
};

// The last tokens before the cursor from the start of its state on, one more than the
// proposals read (SEDQ_FLOW_TOKENS::TAIL) where there are as many: `head` (the cursor's line up
// to the cursor), then the lines before it.
QStringList last_tokens(const QTextBlock& line, const QStringList& head)
{
    const QString state = QStringLiteral("state");
    if (head.contains(state))
        return head;
    // The lines are read back to front and joined once, front to back.
    QVector<QStringList> lines;
    int count = head.size();
    for (QTextBlock before = line.previous(); before.isValid() && count <= SEDQ_FLOW_TOKENS::TAIL;
         before = before.previous())
    {
        lines.append(sedq_line_tokens(before));
        count += lines.last().size();
        if (lines.last().contains(state))
            break;
    }
    QStringList last;
    last.reserve(count);
    for (auto tokens = lines.crbegin(); tokens != lines.crend(); ++tokens)
        last.append(*tokens);
    last.append(head);
    return last;
}

// The text from the start of the cursor's line (`line`, whose text is `text`, the cursor at `at`
// in it) to the end of the first line, from the cursor on, that holds a token after the cursor
// (the end of the text when none does). A word at the cursor needs no more: tokens never run
// across a line break.
QString lines_to_next_token(const QTextBlock& line, QString text, int at)
{
    if (has_token(text, at))
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
    const QString text = line.text();
    const QString head = text.left(at);
    const QStringList head_tokens = sedq_split_tokens(head.simplified());
    // The summaries of the state up to the end of the line before, unless the cursor's line
    // starts the state before the cursor.
    SEDQ_FLOW_SUMMARY summary;
    SEDQ_FLOW_SUMMARY but_last;
    const QTextBlock previous = line.previous();
    if (previous.isValid() && !head_tokens.contains(QStringLiteral("state")))
    {
        const SEDQ_LINE_DATA* data = LINE_SUMMARIES::of(cursor.document())->summaries_to(previous);
        summary = data->summary;
        but_last = data->summary_but_last;
    }
    if (!head_tokens.isEmpty())
    {
        but_last = summary;
        for (int i = 0; i + 1 < head_tokens.size(); ++i)
            but_last.add(head_tokens.at(i));
        summary = but_last;
        summary.add(head_tokens.last());
    }
    const QStringList last = last_tokens(line, head_tokens);
    SEDQ_CURSOR_CONTEXT context;
    const int but_one = qMax(0, last.size() - 1);
    context.tokens = {summary, SEDQ_FLOW_TOKENS::tail_of(last)};
    context.tokens_but_last = {but_last, last.mid(qMax(0, but_one - SEDQ_FLOW_TOKENS::TAIL),
                                                  qMin(but_one, SEDQ_FLOW_TOKENS::TAIL))};
    // A line break in front stands for the lines before: the text before the cursor is not
    // empty then, even at the start of a line.
    const QString lead = line.position() > 0 ? QStringLiteral("\n") : QString();
    // A line feed in front splits no token; white space outside ASCII is a blank only once the
    // text is simplified, which the word at the cursor is not.
    const bool ascii_blanks =
        std::none_of(head.begin(), head.end(), [](QChar c) { return c.unicode() >= 0x80 && c.isSpace(); });
    context.word = sedq_word_at_cursor(ascii_blanks ? head_tokens : sedq_split_tokens(head), lead + head,
                                       lead + lines_to_next_token(line, text, at));
    return context;
}
