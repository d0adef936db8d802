// Typed, checked attribute reading of document.xml.
#include "host/sdr/sdr_file_xml_input.h"

#include <QVector>

#include <climits>

SDR_FILE_XML_INPUT::SDR_FILE_XML_INPUT(const QByteArray& document, const QString& entry, SDR_FILE_ERROR* error)
    : m_reader(document), m_entry(entry), m_error(error)
{
}

bool SDR_FILE_XML_INPUT::root()
{
    return !failed() && m_reader.readNextStartElement();
}

bool SDR_FILE_XML_INPUT::next_child()
{
    if (failed())
        return false;
    return m_reader.readNextStartElement();
}

void SDR_FILE_XML_INPUT::fail(const QString& problem)
{
    m_error->set_at(m_entry, m_reader.lineNumber(), m_reader.columnNumber(),
                    QStringLiteral("<%1>: %2").arg(element(), problem));
    if (!m_reader.hasError())
        m_reader.raiseError(problem);
}

bool SDR_FILE_XML_INPUT::finish()
{
    if (m_reader.hasError())
        m_error->set_xml(m_entry, m_reader);
    return !failed();
}

QStringRef SDR_FILE_XML_INPUT::raw(const char* name) const
{
    return m_reader.attributes().value(QLatin1String(name));
}

bool SDR_FILE_XML_INPUT::has(const char* name) const
{
    const QXmlStreamAttributes& a = m_reader.attributes();
    return a.hasAttribute(QLatin1String(name)) || a.hasAttribute(QLatin1String(name) + QLatin1String("_b64"));
}

// Texts that XML cannot carry (control characters, bytes that are not UTF-8) are written
// base64-encoded under "<name>_b64"; both forms are read back to the exact bytes.
std::string SDR_FILE_XML_INPUT::text(const char* name, const std::string& fallback)
{
    const QXmlStreamAttributes& a = m_reader.attributes();
    if (a.hasAttribute(QLatin1String(name)))
        return a.value(QLatin1String(name)).toUtf8().toStdString();
    const QString encoded_name = QLatin1String(name) + QLatin1String("_b64");
    if (!a.hasAttribute(encoded_name))
        return fallback;
    const auto decoded = QByteArray::fromBase64Encoding(a.value(encoded_name).toLatin1(),
                                                        QByteArray::AbortOnBase64DecodingErrors);
    if (decoded.decodingStatus != QByteArray::Base64DecodingStatus::Ok) {
        fail(QStringLiteral("bad base64 in attribute \"%1\"").arg(encoded_name));
        return fallback;
    }
    return decoded.decoded.toStdString();
}

bool SDR_FILE_XML_INPUT::parse_int(const char* name, const QStringRef& text, qint64 min, qint64 max, qint64* value)
{
    bool ok = false;
    const qint64 v = text.trimmed().toLongLong(&ok, 10);
    if (!ok) {
        fail(QStringLiteral("bad number \"%1\" in attribute \"%2\"").arg(text.left(40).toString(), QLatin1String(name)));
        return false;
    }
    if (v < min || v > max) {
        fail(QStringLiteral("value %1 of attribute \"%2\" is out of range %3..%4").arg(v).arg(QLatin1String(name)).arg(min).arg(max));
        return false;
    }
    *value = v;
    return true;
}

int SDR_FILE_XML_INPUT::integer(const char* name, int fallback, int min, int max)
{
    const QStringRef text = raw(name);
    qint64 value = 0;
    if (text.isNull() || !parse_int(name, text, min, max, &value))
        return fallback;
    return int(value);
}

unsigned SDR_FILE_XML_INPUT::uinteger(const char* name, unsigned fallback)
{
    const QStringRef text = raw(name);
    qint64 value = 0;
    if (text.isNull() || !parse_int(name, text, 0, UINT_MAX, &value))
        return fallback;
    return unsigned(value);
}

bool SDR_FILE_XML_INPUT::boolean(const char* name, bool fallback)
{
    const QStringRef text = raw(name);
    if (text.isNull())
        return fallback;
    if (text == QLatin1String("1") || text == QLatin1String("true"))
        return true;
    if (text == QLatin1String("0") || text == QLatin1String("false"))
        return false;
    fail(QStringLiteral("bad boolean \"%1\" in attribute \"%2\"").arg(text.left(40).toString(), QLatin1String(name)));
    return fallback;
}

std::vector<int> SDR_FILE_XML_INPUT::integers(const char* name)
{
    std::vector<int> values;
    const QStringRef text = raw(name);
    if (text.isNull())
        return values;
    const QVector<QStringRef> parts = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    values.reserve(size_t(parts.size()));
    for (const QStringRef& part : parts) {
        qint64 value = 0;
        if (!parse_int(name, part, INT_MIN, INT_MAX, &value))
            return {};
        values.push_back(int(value));
    }
    return values;
}

void SDR_FILE_XML_INPUT::integers_into(const char* name, int* values, int count, int min, int max)
{
    if (!has(name))
        return;
    const std::vector<int> read = integers(name);
    if (failed())
        return;
    if (int(read.size()) != count) {
        fail(QStringLiteral("attribute \"%1\" needs %2 numbers, not %3").arg(QLatin1String(name)).arg(count).arg(read.size()));
        return;
    }
    for (int i = 0; i < count; ++i) {
        if (read[size_t(i)] < min || read[size_t(i)] > max) {
            fail(QStringLiteral("value %1 of attribute \"%2\" is out of range").arg(read[size_t(i)]).arg(QLatin1String(name)));
            return;
        }
        values[i] = read[size_t(i)];
    }
}

void SDR_FILE_XML_INPUT::booleans_into(const char* name, bool* values, int count)
{
    int numbers[16] = {};
    if (count > 16 || !has(name))
        return;
    integers_into(name, numbers, count, 0, 1);
    if (failed())
        return;
    for (int i = 0; i < count; ++i)
        values[i] = numbers[i] != 0;
}
