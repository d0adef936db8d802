// Attribute writing of document.xml.
#include "host/sdr/sdr_file_xml_output.h"

#include <QString>

SDR_FILE_XML_OUTPUT::SDR_FILE_XML_OUTPUT(QByteArray* document) : m_writer(document)
{
    m_writer.setAutoFormatting(true);
    m_writer.setAutoFormattingIndent(1);
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
