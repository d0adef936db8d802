#pragma once
// Writing side of document.xml: attributes of texts, numbers, flags and number lists, in the
// forms that SDR_FILE_XML_INPUT reads back. Texts that XML 1.0 cannot carry (control
// characters, bytes that are not UTF-8) go base64-encoded under "<name>_b64", so that every
// stored byte survives.
//
// It counts what it writes against the file's limits (sdr_file_limits.h) as the reader will:
// the elements of each kind, the numbers of the lists and the size of each value as stored.
// problem() names the first limit passed; the writer then refuses the save.

#include "host/sdr/sdr_file_limits.h"

#include <QByteArray>
#include <QString>
#include <QXmlStreamWriter>

#include <string>
#include <vector>

class SDR_FILE_XML_OUTPUT
{
public:
    explicit SDR_FILE_XML_OUTPUT(QByteArray* document);

    void start(const char* element);
    void end()
    {
        m_open.pop_back();
        m_writer.writeEndElement();
    }
    void begin_document() { m_writer.writeStartDocument(); }
    void end_document() { m_writer.writeEndDocument(); }

    void text(const char* name, const std::string& value);
    void integer(const char* name, long long value);
    void boolean(const char* name, bool value) { integer(name, value ? 1 : 0); }
    void integers(const char* name, const int* values, int count);
    void integers(const char* name, const std::vector<int>& values);
    void booleans(const char* name, const bool* values, int count);
    // The same, left out when the value is the one the reader takes for a missing attribute:
    // most values of a large document are, and leaving them out keeps it small and quick to read.
    void integer(const char* name, long long value, long long omitted)
    {
        if (value != omitted)
            integer(name, value);
    }
    void boolean(const char* name, bool value, bool omitted)
    {
        if (value != omitted)
            boolean(name, value);
    }
    void text_unless_empty(const char* name, const std::string& value)
    {
        if (!value.empty())
            text(name, value);
    }

    // Counts elements the file stands for without spelling them out (a log's wire names shared
    // with the log before it), as the reader counts them when it makes them.
    void count(SDR_FILE_ELEMENT element, qint64 count);
    // Counts `count` of that kind when the document has room for them; false, counting nothing
    // and passing no limit, when it has not.
    bool count_if_room(SDR_FILE_ELEMENT element, qint64 count);

    static bool is_xml_safe(const std::string& value);
    // The bytes `value` takes as an attribute's value of the file: escaped, or base64.
    static qint64 stored_size(const std::string& value);

    // The first limit of an analyzer file that what was written passes; empty while none is.
    const QString& problem() const { return m_problem; }

private:
    void fail(const QString& problem);
    void count_numbers(const char* name, qint64 count);

    QXmlStreamWriter m_writer;
    SDR_FILE_BUDGET m_budget;
    std::vector<const char*> m_open; // the elements open, outermost first
    QString m_problem;
};
