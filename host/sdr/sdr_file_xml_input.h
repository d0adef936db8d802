#pragma once
// Checked reading of document.xml: typed attribute getters that refuse bad numbers, values
// out of range and bad base64 with the line and column of the element, and child iteration
// that stops at the first problem. Absent attributes take the caller's default; unknown
// attributes and elements are left alone.
//
// The document reaches the parser a piece at a time, each piece first bounded by
// SDR_FILE_XML_SCAN, so the parser never holds a name, value or text past its limit and the
// document's bytes are never all in memory at once. The parser (libexpat) reports the elements
// of a piece as it parses it; they are kept with the piece, names and values as the UTF-8 the
// document holds, until the reader has walked past them. The pieces are read (inflated),
// bounded and parsed on a thread of their own, a few pieces ahead of the reader, which builds
// the document from them meanwhile; a document of a few pieces is read on the reader's thread.
// A document that declares entities is refused: an analyzer file never does, and their
// expansion would bypass the bounds of the scan.

#include "host/sdr/sdr_file_error.h"
#include "host/sdr/sdr_file_limits.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class SDR_FILE_XML_INPUT
{
public:
    // Fills `buffer` with up to `capacity` more bytes of the document: how many, 0 at its end,
    // negative after a problem it recorded in `error`. It is called on a thread of its own
    // (on the reader's own for a document of a few pieces).
    using SOURCE = std::function<qint64(char* buffer, qint64 capacity, SDR_FILE_ERROR* error)>;

    // `size`: the document's bytes, when known (-1: not known).
    SDR_FILE_XML_INPUT(const SOURCE& source, const QString& entry, SDR_FILE_ERROR* error, qint64 size = -1);
    SDR_FILE_XML_INPUT(const QByteArray& document, const QString& entry, SDR_FILE_ERROR* error);
    ~SDR_FILE_XML_INPUT();
    // Numbers of every list read are counted here (none when null).
    void set_budget(SDR_FILE_BUDGET* budget) { m_budget = budget; }

    // Moves to the next child element of the current element; false at its end or after a
    // problem. Skipped text, comments and processing instructions do not count.
    bool next_child();
    // Moves to the document's root element.
    bool root();
    // Reads what follows the root element: comments and processing instructions may, a
    // second root element or text may not. False (recorded) for anything else.
    bool end_of_document();
    bool is(const char* name) const;
    QString element() const;
    // Reads past the end of the current element, its children included.
    void skip();
    bool failed() const { return m_failed || m_error->is_set(); }
    // Records a problem at the current position and stops the parse.
    void fail(const QString& problem);
    // Records the parser's own error, if any; true when the parse ended cleanly.
    bool finish();

    bool has(const char* name) const;
    std::string text(const char* name, const std::string& fallback = std::string());
    int integer(const char* name, int fallback, int min, int max);
    unsigned uinteger(const char* name, unsigned fallback);
    bool boolean(const char* name, bool fallback);
    // A list of space-separated integers, parsed in place: the count is checked against
    // `max_count` and the document's budget of numbers before anything is allocated.
    std::vector<int> integers(const char* name, int max_count = SDR_FILE_LIMITS::MAX_NUMBERS_PER_LIST);
    // A fixed count of space-separated booleans or integers into an array.
    void integers_into(const char* name, int* values, int count, int min, int max);
    void booleans_into(const char* name, bool* values, int count);

private:
    class PARSER;
    // An attribute's value as the document holds it (UTF-8, references resolved).
    struct VALUE
    {
        const char* data = nullptr; // null when the attribute is absent
        int size = 0;
        bool absent() const { return data == nullptr; }
    };
    bool advance();
    VALUE raw(const char* name, const char* suffix = "") const;
    bool parse_int(const char* name, const char* text, int size, qint64 min, qint64 max, qint64* value);

    std::unique_ptr<PARSER> m_parser;
    QString m_entry;
    SDR_FILE_ERROR* m_error;
    SDR_FILE_BUDGET* m_budget = nullptr;
    bool m_failed = false; // the reader refused what it read, or the parse failed
};
