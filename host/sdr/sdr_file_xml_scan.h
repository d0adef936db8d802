#pragma once
// Bounds the pieces of an XML byte stream before a parser holds them: every element or
// attribute name, every attribute value and every run of text (character data, a comment, a
// CDATA section, a processing instruction, the document type) must stay within its limit.
// The XML parser keeps a whole token in memory, as UTF-16 and again as the strings it hands
// out, so one hostile 500 MB attribute would cost gigabytes; the scan sees the bytes first,
// a piece at a time, and stops at the first byte past a limit.
//
// It follows the XML syntax only as far as it needs to tell the pieces apart; the parser that
// reads the same bytes afterwards judges whether they are well-formed.

#include <QByteArray>
#include <QString>

class SDR_FILE_XML_SCAN
{
public:
    struct LIMITS
    {
        qint64 name = 0;
        qint64 value = 0;
        qint64 text = 0;
    };
    explicit SDR_FILE_XML_SCAN(const LIMITS& limits) : m_limits(limits) {}

    // Scans the next `length` bytes; false at the first piece past its limit, with the problem
    // and its line and column (1-based, in bytes).
    bool scan(const char* data, qint64 length);
    const QString& problem() const { return m_problem; }
    qint64 line() const { return m_line; }
    qint64 column() const { return m_column; }

private:
    enum class STATE
    {
        TEXT,
        OPEN,        // after '<'
        BANG,        // after "<!": a comment, a CDATA section or the document type
        COMMENT,
        CDATA,
        DECLARATION, // the document type, with its internal subset
        INSTRUCTION,
        ELEMENT,     // the element's name
        END_ELEMENT,
        TAG,         // between attributes
        ATTRIBUTE,   // an attribute's name
        EQUALS,      // between the name and the value
        VALUE
    };

    void step(char c);
    void enter(STATE state);
    // Counts one more byte of the current run; past `limit` records the problem, naming the run
    // with what `what()` says (built only then: this runs for every byte of a document).
    template <class WHAT> bool over(qint64 limit, const WHAT& what)
    {
        if (++m_run <= limit)
            return false;
        fail_over(limit, what());
        return true;
    }
    void fail_over(qint64 limit, const QString& what);

    LIMITS m_limits;
    STATE m_state = STATE::TEXT;
    qint64 m_run = 0;          // bytes of the current piece
    QByteArray m_element;      // the current element's name, for messages
    QByteArray m_attribute;    // the current attribute's name
    QByteArray m_bang;         // what follows "<!" until it is known which kind it is
    char m_quote = 0;
    char m_last[2] = {0, 0};   // the two bytes before, for the ends of comments and sections
    int m_depth = 0;           // brackets of the document type's internal subset
    qint64 m_line = 1;
    qint64 m_column = 0;
    QString m_problem;
};
