// The bounds of the names, values and texts of an XML byte stream.
#include "host/sdr/sdr_file_xml_scan.h"

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

// A name as a message shows it: its start, when a hostile one is long.
QString shown(const QByteArray& name)
{
    const int most = 64;
    return name.size() <= most ? QString::fromUtf8(name) : QString::fromUtf8(name.left(most)) + QStringLiteral("...");
}
} // namespace

bool SDR_FILE_XML_SCAN::scan(const char* data, qint64 length)
{
    if (!m_problem.isEmpty())
        return false;
    for (qint64 i = 0; i < length; ++i) {
        const char c = data[i];
        if (c == '\n') {
            ++m_line;
            m_column = 0;
        } else {
            ++m_column;
        }
        step(c);
        if (!m_problem.isEmpty())
            return false;
        m_last[0] = m_last[1];
        m_last[1] = c;
    }
    return true;
}

void SDR_FILE_XML_SCAN::enter(STATE state)
{
    m_state = state;
    m_run = 0;
}

void SDR_FILE_XML_SCAN::fail_over(qint64 limit, const QString& what)
{
    m_problem = QStringLiteral("%1 is longer than the %2 bytes it may hold").arg(what).arg(limit);
}

void SDR_FILE_XML_SCAN::step(char c)
{
    switch (m_state) {
    case STATE::TEXT:
        if (c == '<')
            enter(STATE::OPEN);
        else
            over(m_limits.text, [&] { return QStringLiteral("a text"); });
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
            m_element = QByteArray(1, c);
            over(m_limits.name, [&] { return QStringLiteral("the name of an element"); });
        }
        return;
    case STATE::ELEMENT:
        if (is_space(c) || c == '/')
            enter(STATE::TAG);
        else if (c == '>')
            enter(STATE::TEXT);
        else if (!over(m_limits.name, [&] { return QStringLiteral("the name of element <%1>").arg(shown(m_element)); }))
            m_element += c;
        return;
    case STATE::END_ELEMENT:
        if (c == '>')
            enter(STATE::TEXT);
        else
            over(m_limits.name, [&] { return QStringLiteral("the name of an end tag"); });
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
            m_attribute = QByteArray(1, c);
            over(m_limits.name, [&] { return QStringLiteral("the name of an attribute"); });
        }
        return;
    case STATE::ATTRIBUTE:
        if (c == '=' || is_space(c))
            enter(STATE::EQUALS);
        else if (c == '>')
            enter(STATE::TEXT);
        else if (c == '/')
            enter(STATE::TAG);
        else if (!over(m_limits.name, [&] { return QStringLiteral("the name of attribute \"%1\" of <%2>")
                                          .arg(shown(m_attribute), shown(m_element)); }))
            m_attribute += c;
        return;
    case STATE::EQUALS:
        if (is_quote(c)) {
            m_quote = c;
            enter(STATE::VALUE);
        } else if (c == '>') {
            enter(STATE::TEXT);
        } else if (!is_space(c) && c != '=') {
            enter(STATE::ATTRIBUTE);
            m_attribute = QByteArray(1, c);
        }
        return;
    case STATE::VALUE:
        if (c == m_quote)
            enter(STATE::TAG);
        else
            over(m_limits.value, [&] { return QStringLiteral("the value of attribute \"%1\" of <%2>")
                                     .arg(shown(m_attribute), shown(m_element)); });
        return;
    case STATE::INSTRUCTION:
        if (c == '>' && m_last[1] == '?')
            enter(STATE::TEXT);
        else
            over(m_limits.text, [&] { return QStringLiteral("a processing instruction"); });
        return;
    case STATE::COMMENT:
        if (c == '>' && m_last[0] == '-' && m_last[1] == '-')
            enter(STATE::TEXT);
        else
            over(m_limits.text, [&] { return QStringLiteral("a comment"); });
        return;
    case STATE::CDATA:
        if (c == '>' && m_last[0] == ']' && m_last[1] == ']')
            enter(STATE::TEXT);
        else
            over(m_limits.text, [&] { return QStringLiteral("a CDATA section"); });
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
            over(m_limits.text, [&] { return QStringLiteral("the document type"); });
        return;
    }
}
