// Typed, checked attribute reading of document.xml.
#include "host/sdr/sdr_file_xml_input.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace
{
const SDR_FILE_XML_SCAN::LIMITS SCAN_LIMITS{SDR_FILE_LIMITS::MAX_XML_NAME, SDR_FILE_LIMITS::MAX_XML_VALUE,
                                            SDR_FILE_LIMITS::MAX_XML_TEXT};
} // namespace

// The document as a sequential device: the parser pulls a block at a time, each block scanned
// before the parser sees it. A block past a limit (or a source that fails) ends the device in an
// error, recorded first, so the parser's own "premature end" that follows does not replace it.
class SDR_FILE_XML_INPUT::PIECES : public QIODevice
{
public:
    PIECES(const SOURCE& source, const QString& entry, SDR_FILE_ERROR* error)
        : m_source(source), m_scan(SCAN_LIMITS), m_entry(entry), m_error(error)
    {
        open(QIODevice::ReadOnly);
    }
    bool isSequential() const override { return true; }
    bool atEnd() const override { return m_done && QIODevice::atEnd(); }

protected:
    qint64 readData(char* data, qint64 capacity) override
    {
        if (m_done)
            return -1;
        if (capacity <= 0)
            return 0;
        const qint64 n = m_source(data, capacity);
        if (n <= 0) {
            m_done = true;
            return -1;
        }
        if (!m_scan.scan(data, n)) {
            m_error->set_at(m_entry, m_scan.line(), m_scan.column(), m_scan.problem());
            m_done = true;
            return -1;
        }
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    SOURCE m_source;
    SDR_FILE_XML_SCAN m_scan;
    QString m_entry;
    SDR_FILE_ERROR* m_error;
    bool m_done = false;
};

SDR_FILE_XML_INPUT::SDR_FILE_XML_INPUT(const SOURCE& source, const QString& entry, SDR_FILE_ERROR* error)
    : m_pieces(std::make_unique<PIECES>(source, entry, error)), m_entry(entry), m_error(error)
{
    m_reader.setDevice(m_pieces.get());
}

SDR_FILE_XML_INPUT::SDR_FILE_XML_INPUT(const QByteArray& document, const QString& entry, SDR_FILE_ERROR* error)
    : SDR_FILE_XML_INPUT(
          [document, offset = qint64(0)](char* buffer, qint64 capacity) mutable {
              const qint64 n = std::min<qint64>(capacity, document.size() - offset);
              std::memcpy(buffer, document.constData() + offset, size_t(n));
              offset += n;
              return n;
          },
          entry, error)
{
}

SDR_FILE_XML_INPUT::~SDR_FILE_XML_INPUT() = default;

bool SDR_FILE_XML_INPUT::root()
{
    return !failed() && m_reader.readNextStartElement();
}

bool SDR_FILE_XML_INPUT::end_of_document()
{
    while (!failed() && !m_reader.atEnd())
        m_reader.readNext();
    if (m_reader.error() == QXmlStreamReader::NotWellFormedError && m_reader.tokenType() == QXmlStreamReader::Invalid &&
        m_reader.errorString() == QLatin1String("Extra content at end of document.")) {
        // Qt's own text does not say what it found; the reader would otherwise have dropped it.
        m_error->set_at(m_entry, m_reader.lineNumber(), m_reader.columnNumber(),
                        QStringLiteral("a second root element or text follows the end of the document"));
    }
    return finish();
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

// The base64 form "<name>_b64", looked up without building a string for its name (this runs for
// every attribute of every element read).
QStringRef SDR_FILE_XML_INPUT::encoded(const char* name) const
{
    char buffer[64];
    const size_t length = std::strlen(name);
    if (length + 5 > sizeof buffer)
        return QStringRef();
    std::memcpy(buffer, name, length);
    std::memcpy(buffer + length, "_b64", 5);
    return m_reader.attributes().value(QLatin1String(buffer, int(length + 4)));
}

bool SDR_FILE_XML_INPUT::has(const char* name) const
{
    return !raw(name).isNull() || !encoded(name).isNull();
}

// Texts that XML cannot carry (control characters, bytes that are not UTF-8) are written
// base64-encoded under "<name>_b64"; both forms are read back to the exact bytes.
std::string SDR_FILE_XML_INPUT::text(const char* name, const std::string& fallback)
{
    const QStringRef plain = raw(name);
    if (!plain.isNull())
        return plain.toUtf8().toStdString();
    const QStringRef base64 = encoded(name);
    if (base64.isNull())
        return fallback;
    const auto decoded =
        QByteArray::fromBase64Encoding(base64.toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    if (decoded.decodingStatus != QByteArray::Base64DecodingStatus::Ok) {
        fail(QStringLiteral("bad base64 in attribute \"%1_b64\"").arg(QLatin1String(name)));
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

// The list is walked twice in place: once to count its numbers, so that a hostile count is
// refused before anything is allocated for it, then to parse them. Splitting it into strings
// first would cost 16 bytes per number of a list that has not been checked yet.
std::vector<int> SDR_FILE_XML_INPUT::integers(const char* name, int max_count)
{
    std::vector<int> values;
    const QStringRef text = raw(name);
    if (text.isNull())
        return values;
    const QChar* const begin = text.constData();
    const int length = text.size();
    qint64 count = 0;
    for (int i = 0; i < length; ++i)
        if (begin[i] != QLatin1Char(' ') && (i == 0 || begin[i - 1] == QLatin1Char(' ')))
            ++count;
    if (count > max_count) {
        fail(QStringLiteral("attribute \"%1\" holds %2 numbers, more than the %3 it may hold")
                 .arg(QLatin1String(name)).arg(count).arg(max_count));
        return values;
    }
    QString problem;
    if (m_budget && !m_budget->take(SDR_FILE_ELEMENT::NUMBER, count, &problem)) {
        fail(problem);
        return values;
    }
    values.reserve(size_t(count));
    for (int i = 0; i < length;) {
        if (begin[i] == QLatin1Char(' ')) {
            ++i;
            continue;
        }
        int end = i;
        while (end < length && begin[end] != QLatin1Char(' '))
            ++end;
        qint64 value = 0;
        if (!parse_int(name, text.mid(i, end - i), INT_MIN, INT_MAX, &value))
            return {};
        values.push_back(int(value));
        i = end;
    }
    return values;
}

void SDR_FILE_XML_INPUT::integers_into(const char* name, int* values, int count, int min, int max)
{
    if (!has(name))
        return;
    const std::vector<int> read = integers(name, count);
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
