// Attribute writing of document.xml.
#include "host/sdr/sdr_file_xml_output.h"

#include <QString>

SDR_FILE_XML_OUTPUT::SDR_FILE_XML_OUTPUT(QByteArray* document) : m_writer(document)
{
    m_writer.setAutoFormatting(true);
    m_writer.setAutoFormattingIndent(1);
}

namespace
{
// The element kinds the reader counts, by the names the writer gives them.
struct COUNTED
{
    const char* name;
    SDR_FILE_ELEMENT element;
};
constexpr COUNTED COUNTED_ELEMENTS[] = {
    {"instance", SDR_FILE_ELEMENT::INSTANCE},
    {"signal_set", SDR_FILE_ELEMENT::SIGNAL_SET},
    {"trigger", SDR_FILE_ELEMENT::TRIGGER},
    {"level", SDR_FILE_ELEMENT::LEVEL},
    {"row", SDR_FILE_ELEMENT::ROW},
    {"log", SDR_FILE_ELEMENT::LOG},
    {"wire", SDR_FILE_ELEMENT::WIRE},
    {"table", SDR_FILE_ELEMENT::TABLE},
    {"entry", SDR_FILE_ELEMENT::TABLE_ENTRY},
    {"object", SDR_FILE_ELEMENT::TREE_OBJECT},
    {"attribute", SDR_FILE_ELEMENT::TREE_ATTRIBUTE},
    {"plugin_group", SDR_FILE_ELEMENT::PLUGIN_GROUP},
    {"user_option", SDR_FILE_ELEMENT::PLUGIN_OPTION},
    {"internal_option", SDR_FILE_ELEMENT::PLUGIN_OPTION},
    {"trigger_symbol", SDR_FILE_ELEMENT::PLUGIN_OPTION},
    {"flag", SDR_FILE_ELEMENT::FLAG},
    {"counter", SDR_FILE_ELEMENT::COUNTER},
    {"data", SDR_FILE_ELEMENT::INT_LIST},
    {"file", SDR_FILE_ELEMENT::EMBEDDED_FILE},
};

qint64 base64_size(qint64 bytes)
{
    return (bytes + 2) / 3 * 4;
}
} // namespace

void SDR_FILE_XML_OUTPUT::start(const char* element)
{
    for (const COUNTED& counted : COUNTED_ELEMENTS) {
        QString problem;
        if (qstrcmp(counted.name, element) == 0 && !m_budget.take(counted.element, 1, &problem))
            fail(problem);
    }
    m_open.push_back(element);
    m_writer.writeStartElement(QLatin1String(element));
}

void SDR_FILE_XML_OUTPUT::count(SDR_FILE_ELEMENT element, qint64 count)
{
    QString problem;
    if (!m_budget.take(element, count, &problem))
        fail(problem);
}

bool SDR_FILE_XML_OUTPUT::count_if_room(SDR_FILE_ELEMENT element, qint64 count)
{
    QString problem;
    return m_budget.take(element, count, &problem);
}

void SDR_FILE_XML_OUTPUT::fail(const QString& problem)
{
    if (m_problem.isEmpty())
        m_problem = problem;
}

void SDR_FILE_XML_OUTPUT::count_numbers(const char* name, qint64 count)
{
    QString problem;
    if (count > SDR_FILE_LIMITS::MAX_NUMBERS_PER_LIST)
        fail(QStringLiteral("the list \"%1\" of <%2> holds %3 numbers, more than the %4 of a list of an analyzer file")
                 .arg(QLatin1String(name), QLatin1String(m_open.empty() ? "" : m_open.back()))
                 .arg(count)
                 .arg(SDR_FILE_LIMITS::MAX_NUMBERS_PER_LIST));
    else if (!m_budget.take(SDR_FILE_ELEMENT::NUMBER, count, &problem))
        fail(problem);
}

// What QXmlStreamWriter makes of an attribute's value: the markup characters and the white
// space that would be normalised away become references.
qint64 SDR_FILE_XML_OUTPUT::stored_size(const std::string& value)
{
    const qint64 size = qint64(value.size());
    if (!is_xml_safe(value))
        return base64_size(size);
    qint64 stored = size;
    for (const char c : value) {
        switch (c) {
        case '<':
        case '>':
        case '\t': // &#9;
            stored += 3;
            break;
        case '&':
        case '\n': // &#10;
        case '\r': // &#13;
            stored += 4;
            break;
        case '"':
            stored += 5;
            break;
        default:
            break;
        }
    }
    return stored;
}

bool SDR_FILE_XML_OUTPUT::is_xml_safe(const std::string& value)
{
    const QByteArray bytes = QByteArray::fromStdString(value);
    const QString text = QString::fromUtf8(bytes);
    if (text.toUtf8() != bytes)
        return false;
    for (const QChar c : text) {
        const ushort u = c.unicode();
        if (u < 0x20 && u != 0x9 && u != 0xA && u != 0xD)
            return false;
        if (u == 0xFFFE || u == 0xFFFF)
            return false;
    }
    return true;
}

void SDR_FILE_XML_OUTPUT::text(const char* name, const std::string& value)
{
    // Only long values can pass the limit: the slowest escape makes six bytes of one.
    if (qint64(value.size()) > SDR_FILE_LIMITS::MAX_XML_VALUE / 6 && stored_size(value) > SDR_FILE_LIMITS::MAX_XML_VALUE)
        fail(QStringLiteral("the value of attribute \"%1\" of <%2> takes %3 bytes, more than the %4 a text of an "
                            "analyzer file may take")
                 .arg(QLatin1String(name), QLatin1String(m_open.empty() ? "" : m_open.back()))
                 .arg(stored_size(value))
                 .arg(SDR_FILE_LIMITS::MAX_XML_VALUE));
    if (is_xml_safe(value))
        m_writer.writeAttribute(QLatin1String(name), QString::fromStdString(value));
    else
        m_writer.writeAttribute(QLatin1String(name) + QLatin1String("_b64"),
                                QString::fromLatin1(QByteArray::fromStdString(value).toBase64()));
}

void SDR_FILE_XML_OUTPUT::integer(const char* name, long long value)
{
    m_writer.writeAttribute(QLatin1String(name), QString::number(value));
}

void SDR_FILE_XML_OUTPUT::integers(const char* name, const int* values, int count)
{
    count_numbers(name, count);
    QString list;
    for (int i = 0; i < count; ++i) {
        if (i)
            list += QLatin1Char(' ');
        list += QString::number(values[i]);
    }
    m_writer.writeAttribute(QLatin1String(name), list);
}

void SDR_FILE_XML_OUTPUT::integers(const char* name, const std::vector<int>& values)
{
    integers(name, values.data(), int(values.size()));
}

void SDR_FILE_XML_OUTPUT::booleans(const char* name, const bool* values, int count)
{
    std::vector<int> numbers;
    for (int i = 0; i < count; ++i)
        numbers.push_back(values[i] ? 1 : 0);
    integers(name, numbers);
}
