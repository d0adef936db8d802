// The bounds of the names, values and texts of an XML byte stream.
#include "host/sdr/sdr_file_xml_scan.h"

#include <cstring>

namespace
{
bool is_space(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool is_quote(char c)
{
    return c == '"' || c == '\'';
}
} // namespace

// A name as a message shows it: its start, when a hostile one is long.
QString SDR_FILE_XML_SCAN::SHOWN_NAME::text() const
{
    return size <= MOST ? QString::fromUtf8(bytes, size) : QString::fromUtf8(bytes, MOST) + QStringLiteral("...");
}

bool SDR_FILE_XML_SCAN::scan(const char* data, qint64 length)
{
    if (m_failed)
        return false;
    qint64 i = 0;
    while (i < length) {
        i = skip_run(data, i, length);
        if (!m_failed && i < length) {
            const char c = data[i];
            step(c);
            m_last[0] = m_last[1];
            m_last[1] = c;
        }
        if (m_failed) {
            count_lines(data, i + 1);
            return false;
        }
        ++i;
    }
    count_lines(data, length);
    return true;
}

// Bytes that end a run of each state that runs; the rest of a run only counts.
struct SDR_FILE_XML_SCAN::STOPS
{
    bool text[256] = {};
    bool value[2][256] = {}; // in double quotes, in single quotes
    bool name[256] = {};     // an element's name
    bool attribute[256] = {};
    bool end_tag[256] = {};
    bool tag[256] = {};      // between attributes: all but blanks and '/'

    STOPS()
    {
        text[uchar('<')] = true;
        value[0][uchar('"')] = true;
        value[1][uchar('\'')] = true;
        for (char c : {' ', '\t', '\n', '\r', '/', '>'})
            name[uchar(c)] = attribute[uchar(c)] = true;
        attribute[uchar('=')] = true;
        end_tag[uchar('>')] = true;
        for (int c = 0; c < 256; ++c)
            tag[c] = !is_space(char(c)) && c != '/';
    }
};

// Runs of text, values and names are most of a document: their bytes matter only as a count
// until the byte that ends them (and a name's first bytes, for a message). Returns where the
// run ends: at the byte that ends it, at `length`, or at the byte past the limit, with the
// problem recorded.
qint64 SDR_FILE_XML_SCAN::skip_run(const char* data, qint64 from, qint64 length)
{
    static const STOPS STOP;
    const bool* stops = nullptr;
    qint64 limit = -1; // uncounted
    PIECE piece = PIECE::TEXT;
    SHOWN_NAME* name = nullptr;
    switch (m_state) {
    case STATE::TEXT:
        stops = STOP.text;
        limit = m_limits.text;
        break;
    case STATE::VALUE:
        stops = STOP.value[m_quote == '"' ? 0 : 1];
        limit = m_limits.value;
        piece = PIECE::VALUE;
        break;
    case STATE::ELEMENT:
        stops = STOP.name;
        limit = m_limits.name;
        piece = PIECE::ELEMENT;
        name = &m_element;
        break;
    case STATE::ATTRIBUTE:
        stops = STOP.attribute;
        limit = m_limits.name;
        piece = PIECE::ATTRIBUTE;
        name = &m_attribute;
        break;
    case STATE::END_ELEMENT:
        stops = STOP.end_tag;
        limit = m_limits.name;
        piece = PIECE::END_ELEMENT;
        break;
    case STATE::TAG:
        stops = STOP.tag;
        break;
    default:
        return from;
    }
    qint64 stop = from;
    while (stop < length && !stops[uchar(data[stop])])
        ++stop;
    if (stop == from)
        return from;
    const bool past = limit >= 0 && stop - from > limit - m_run;
    const qint64 end = past ? from + (limit - m_run) : stop;
    if (name != nullptr)
        for (qint64 i = from; i < end && name->size <= SHOWN_NAME::MOST; ++i)
            name->add(data[i]);
    if (past) {
        m_run = limit + 1;
        fail(limit, piece);
        return end;
    }
    if (limit >= 0)
        m_run += stop - from;
    m_last[0] = stop - from >= 2 ? data[stop - 2] : m_last[1];
    m_last[1] = data[stop - 1];
    return stop;
}

// Lines and columns follow the bytes scanned, counted a piece at a time, eight bytes a step.
void SDR_FILE_XML_SCAN::count_lines(const char* data, qint64 length)
{
    const quint64 ones = 0x0101010101010101ull;
    const quint64 low7 = 0x7f7f7f7f7f7f7f7full;
    qint64 lines = 0;
    qint64 i = 0;
    for (; i + 8 <= length; i += 8) {
        quint64 word;
        std::memcpy(&word, data + i, 8);
        const quint64 x = word ^ (ones * '\n'); // zero bytes where the newlines are
        lines += __builtin_popcountll(~(((x & low7) + low7) | x | low7));
    }
    for (; i < length; ++i)
        lines += data[i] == '\n' ? 1 : 0;
    if (lines == 0) {
        m_column += length;
        return;
    }
    m_line += lines;
    const char* last = static_cast<const char*>(memrchr(data, '\n', size_t(length)));
    m_column = length - 1 - (last - data);
}

void SDR_FILE_XML_SCAN::enter(STATE state)
{
    m_state = state;
    m_run = 0;
}

bool SDR_FILE_XML_SCAN::over(qint64 limit, PIECE piece)
{
    if (++m_run <= limit)
        return false;
    fail(limit, piece);
    return true;
}

void SDR_FILE_XML_SCAN::fail(qint64 limit, PIECE piece)
{
    QString what;
    switch (piece) {
    case PIECE::TEXT:
        what = QStringLiteral("a text");
        break;
    case PIECE::ELEMENT_START:
        what = QStringLiteral("the name of an element");
        break;
    case PIECE::ELEMENT:
        what = QStringLiteral("the name of element <%1>").arg(m_element.text());
        break;
    case PIECE::END_ELEMENT:
        what = QStringLiteral("the name of an end tag");
        break;
    case PIECE::ATTRIBUTE_START:
        what = QStringLiteral("the name of an attribute");
        break;
    case PIECE::ATTRIBUTE:
        what = QStringLiteral("the name of attribute \"%1\" of <%2>").arg(m_attribute.text(), m_element.text());
        break;
    case PIECE::VALUE:
        what = QStringLiteral("the value of attribute \"%1\" of <%2>").arg(m_attribute.text(), m_element.text());
        break;
    case PIECE::INSTRUCTION:
        what = QStringLiteral("a processing instruction");
        break;
    case PIECE::COMMENT:
        what = QStringLiteral("a comment");
        break;
    case PIECE::CDATA:
        what = QStringLiteral("a CDATA section");
        break;
    case PIECE::DECLARATION:
        what = QStringLiteral("the document type");
        break;
    }
    m_failed = true;
    m_problem = QStringLiteral("%1 is longer than the %2 bytes it may hold").arg(what).arg(limit);
}

void SDR_FILE_XML_SCAN::step(char c)
{
    switch (m_state) {
    case STATE::TEXT:
        if (c == '<')
            enter(STATE::OPEN);
        else
            over(m_limits.text, PIECE::TEXT);
        return;
    case STATE::OPEN:
        if (c == '/') {
            enter(STATE::END_ELEMENT);
        } else if (c == '?') {
            enter(STATE::INSTRUCTION);
        } else if (c == '!') {
            enter(STATE::BANG);
            m_bang.clear();
        } else {
            enter(STATE::ELEMENT);
            m_element.start(c);
            over(m_limits.name, PIECE::ELEMENT_START);
        }
        return;
    case STATE::ELEMENT:
        if (is_space(c) || c == '/')
            enter(STATE::TAG);
        else if (c == '>')
            enter(STATE::TEXT);
        else if (!over(m_limits.name, PIECE::ELEMENT))
            m_element.add(c);
        return;
    case STATE::END_ELEMENT:
        if (c == '>')
            enter(STATE::TEXT);
        else
            over(m_limits.name, PIECE::END_ELEMENT);
        return;
    case STATE::TAG:
        if (c == '>') {
            enter(STATE::TEXT);
        } else if (c == '=') {
            enter(STATE::EQUALS);
        } else if (is_quote(c)) {
            m_quote = c;
            enter(STATE::VALUE);
        } else if (!is_space(c) && c != '/') {
            enter(STATE::ATTRIBUTE);
            m_attribute.start(c);
            over(m_limits.name, PIECE::ATTRIBUTE_START);
        }
        return;
    case STATE::ATTRIBUTE:
        if (c == '=' || is_space(c))
            enter(STATE::EQUALS);
        else if (c == '>')
            enter(STATE::TEXT);
        else if (c == '/')
            enter(STATE::TAG);
        else if (!over(m_limits.name, PIECE::ATTRIBUTE))
            m_attribute.add(c);
        return;
    case STATE::EQUALS:
        if (is_quote(c)) {
            m_quote = c;
            enter(STATE::VALUE);
        } else if (c == '>') {
            enter(STATE::TEXT);
        } else if (!is_space(c) && c != '=') {
            enter(STATE::ATTRIBUTE);
            m_attribute.start(c);
        }
        return;
    case STATE::VALUE:
        if (c == m_quote)
            enter(STATE::TAG);
        else
            over(m_limits.value, PIECE::VALUE);
        return;
    case STATE::INSTRUCTION:
        if (c == '>' && m_last[1] == '?')
            enter(STATE::TEXT);
        else
            over(m_limits.text, PIECE::INSTRUCTION);
        return;
    case STATE::COMMENT:
        if (c == '>' && m_last[0] == '-' && m_last[1] == '-')
            enter(STATE::TEXT);
        else
            over(m_limits.text, PIECE::COMMENT);
        return;
    case STATE::CDATA:
        if (c == '>' && m_last[0] == ']' && m_last[1] == ']')
            enter(STATE::TEXT);
        else
            over(m_limits.text, PIECE::CDATA);
        return;
    case STATE::BANG: {
        static const QByteArray COMMENT_START("--");
        static const QByteArray CDATA_START("[CDATA[");
        m_bang += c;
        if (m_bang == COMMENT_START) {
            enter(STATE::COMMENT);
        } else if (m_bang == CDATA_START) {
            enter(STATE::CDATA);
        } else if (!COMMENT_START.startsWith(m_bang) && !CDATA_START.startsWith(m_bang)) {
            // The document type: what was held back counts as its start.
            enter(STATE::DECLARATION);
            m_depth = 0;
            const QByteArray held = m_bang;
            for (char h : held)
                if (m_state == STATE::DECLARATION)
                    step(h);
        }
        return;
    }
    case STATE::DECLARATION:
        if (c == '[')
            ++m_depth;
        else if (c == ']')
            --m_depth;
        if (c == '>' && m_depth <= 0)
            enter(STATE::TEXT);
        else
            over(m_limits.text, PIECE::DECLARATION);
        return;
    }
}
