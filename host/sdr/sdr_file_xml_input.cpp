// Typed, checked attribute reading of document.xml.
#include "host/sdr/sdr_file_xml_input.h"

#include "host/sdr/sdr_file_xml_scan.h"

#include <expat.h>

#include <algorithm>
#include <climits>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <exception>
#include <mutex>
#include <new>
#include <thread>

namespace
{
const SDR_FILE_XML_SCAN::LIMITS SCAN_LIMITS{SDR_FILE_LIMITS::MAX_XML_NAME, SDR_FILE_LIMITS::MAX_XML_VALUE,
                                            SDR_FILE_LIMITS::MAX_XML_TEXT};
// Bytes handed to the parser at a time.
const qint64 PIECE_SIZE = 65536;
// A document of at most this size is read and parsed on the reader's thread: handing a few
// pieces to a thread and back costs more than it saves.
const qint64 READ_IN_PLACE = 4 * PIECE_SIZE;

bool is_blank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// A decimal integer with an optional sign between blanks, within 64 bits; false for anything
// else (which the caller then hands to Qt's own conversion).
bool plain_integer(const char* text, int size, qint64* value)
{
    int begin = 0;
    int end = size;
    while (begin < end && is_blank(text[begin]))
        ++begin;
    while (end > begin && is_blank(text[end - 1]))
        --end;
    const bool negative = begin < end && text[begin] == '-';
    if (begin < end && (text[begin] == '-' || text[begin] == '+'))
        ++begin;
    if (begin == end || end - begin > 18)
        return false; // empty, or long enough to need the overflow checks of the slow path
    qint64 magnitude = 0;
    for (int i = begin; i < end; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
        magnitude = magnitude * 10 + (text[i] - '0');
    }
    *value = negative ? -magnitude : magnitude;
    return true;
}
// Characters of UTF-8 bytes: all but the continuation bytes.
qint64 characters(const char* bytes, qint64 size)
{
    qint64 count = 0;
    for (qint64 i = 0; i < size; ++i)
        count += (uchar(bytes[i]) & 0xc0) != 0x80 ? 1 : 0;
    return count;
}

// One piece of the document and what its parse gave: every start and end of an element that
// the parser reported while it was given the piece, with its name, attributes and the position
// after it; the lines of the piece; and the problem the parse stopped at, if any.
struct PIECE
{
    struct EVENT
    {
        bool start = false;
        int name = 0;  // offsets into `strings`
        int first = 0; // attributes of a start
        int count = 0;
        quint64 initials = 0; // a bit for the first byte of each attribute's name
        qint64 end = 0;       // the byte after it in the document
    };
    static quint64 initial(char c) { return quint64(1) << (uchar(c) & 63); }
    struct ATTRIBUTE
    {
        int name = 0;
        int value = 0;
        int size = 0;
    };
    struct LINES
    {
        qint64 base = 0;          // the piece's first byte in the document
        qint64 line = 1;          // of that byte
        qint64 column = 0;        // characters of that line before it
        std::vector<qint64> ends; // the piece's newlines, in the document
    };

    std::vector<char> bytes;
    qint64 size = 0;
    bool last = false;
    bool refused = false; // by the source or the scan: see PARSE_AHEAD::problem()
    std::exception_ptr exception;

    std::vector<char> strings; // names and values of the events, each followed by a null
    std::vector<ATTRIBUTE> attributes;
    std::vector<EVENT> events;
    LINES lines;
    bool parse_failed = false;
    XML_Error code = XML_ERROR_NONE;
    qint64 error_line = 0;
    qint64 error_column = 0;
    QString problem; // a problem of ours found during the parse, in place of the parser's

    int store(const char* text, size_t size)
    {
        const size_t offset = strings.size();
        strings.insert(strings.end(), text, text + size + 1);
        return int(offset);
    }
};

// The document read, bounded and parsed a few pieces ahead on a thread of its own: reading a
// piece (inflating it, checking its checksum), bounding it with the scan and parsing it then
// cost the reader nothing while it builds the document from the pieces before. What the source
// or the scan refused ends the last piece and reaches the reader with it; so does a piece whose
// parse failed, after the elements in front of the problem. Without `ahead`, each piece is read
// and parsed on the reader's thread when it asks for it.
class PARSE_AHEAD
{
public:
    PARSE_AHEAD(const SDR_FILE_XML_INPUT::SOURCE& source, const QString& entry, const QString& file, bool ahead)
        : m_parser(XML_ParserCreate("UTF-8")), m_source(source), m_scan(SCAN_LIMITS), m_entry(entry),
          m_problem(file)
    {
        XML_SetUserData(m_parser, this);
        XML_SetElementHandler(m_parser, on_start, on_end);
        XML_SetEntityDeclHandler(m_parser, on_entity);
        if (ahead)
            m_thread = std::thread(&PARSE_AHEAD::run, this);
    }
    ~PARSE_AHEAD()
    {
        if (m_thread.joinable()) {
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_stop = true;
            }
            m_changed.notify_all();
            m_thread.join();
        }
        XML_ParserFree(m_parser);
    }
    PARSE_AHEAD(const PARSE_AHEAD&) = delete;
    PARSE_AHEAD& operator=(const PARSE_AHEAD&) = delete;

    // The next piece, once it has been parsed; the one before goes back for reuse.
    const PIECE& next()
    {
        if (!m_thread.joinable()) {
            m_taken = produce(std::move(m_taken));
            return *m_taken;
        }
        std::unique_lock<std::mutex> lock(m_mutex);
        if (m_taken != nullptr)
            m_free.push_back(std::move(m_taken));
        m_changed.notify_all();
        m_changed.wait(lock, [this] { return !m_read.empty(); });
        m_taken = std::move(m_read.front());
        m_read.pop_front();
        return *m_taken;
    }
    // Why the last piece was refused.
    const SDR_FILE_ERROR& problem() const { return m_problem; }

private:
    static const size_t MOST_AHEAD = 4;

    void run()
    {
        for (bool last = false; !last;) {
            std::unique_ptr<PIECE> piece;
            {
                std::unique_lock<std::mutex> lock(m_mutex);
                m_changed.wait(lock, [this] { return m_stop || m_read.size() < MOST_AHEAD; });
                if (m_stop)
                    return;
                if (!m_free.empty()) {
                    piece = std::move(m_free.back());
                    m_free.pop_back();
                }
            }
            piece = produce(std::move(piece));
            last = piece->last;
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_read.push_back(std::move(piece));
            }
            m_changed.notify_all();
        }
    }

    // The next piece read and parsed into `piece` (a new one when null); a failure of either
    // comes back as the last piece.
    std::unique_ptr<PIECE> produce(std::unique_ptr<PIECE> piece)
    {
        try {
            if (piece == nullptr)
                piece = std::make_unique<PIECE>();
            read(piece.get());
            if (!piece->refused)
                parse(piece.get());
        } catch (...) {
            piece = std::make_unique<PIECE>();
            piece->last = true;
            piece->exception = std::current_exception();
        }
        return piece;
    }

    void read(PIECE* piece)
    {
        piece->bytes.resize(size_t(PIECE_SIZE));
        piece->size = m_source(piece->bytes.data(), PIECE_SIZE, &m_problem);
        if (piece->size > 0 && !m_scan.scan(piece->bytes.data(), piece->size)) {
            m_problem.set_at(m_entry, m_scan.line(), m_scan.column(), m_scan.problem());
            piece->size = -1;
        }
        piece->refused = piece->size < 0;
        piece->last = piece->size <= 0;
        piece->strings.clear();
        piece->attributes.clear();
        piece->events.clear();
        piece->parse_failed = false;
        piece->problem.clear();
    }

    // The piece's elements join it; a parse that fails makes it the last piece.
    void parse(PIECE* piece)
    {
        count_lines(piece);
        void* buffer = piece->size > 0 ? XML_GetBuffer(m_parser, int(piece->size)) : nullptr;
        if (piece->size > 0 && buffer == nullptr)
            throw std::bad_alloc();
        if (buffer != nullptr)
            std::memcpy(buffer, piece->bytes.data(), size_t(piece->size));
        m_filling = piece;
        const bool parsed = XML_ParseBuffer(m_parser, int(piece->size), piece->last) == XML_STATUS_OK;
        m_filling = nullptr;
        if (m_out_of_memory)
            throw std::bad_alloc();
        if (!parsed) {
            piece->parse_failed = true;
            piece->last = true;
            piece->code = XML_GetErrorCode(m_parser);
            piece->error_line = qint64(XML_GetCurrentLineNumber(m_parser));
            piece->error_column = qint64(XML_GetCurrentColumnNumber(m_parser)) + 1;
        }
    }

    // Where the piece starts in lines, and where its lines end; the line and column after it
    // are kept for the next piece.
    void count_lines(PIECE* piece)
    {
        PIECE::LINES& lines = piece->lines;
        lines.base = m_base;
        lines.line = m_line;
        lines.column = m_column;
        lines.ends.clear();
        const char* const bytes = piece->bytes.data();
        const qint64 size = std::max<qint64>(0, piece->size);
        for (const char* at = bytes;; ++at) {
            at = static_cast<const char*>(std::memchr(at, '\n', size_t(bytes + size - at)));
            if (at == nullptr)
                break;
            lines.ends.push_back(m_base + (at - bytes));
        }
        if (!lines.ends.empty()) {
            m_line += qint64(lines.ends.size());
            const qint64 tail = lines.ends.back() + 1 - m_base;
            m_column = characters(bytes + tail, size - tail);
        } else {
            m_column += characters(bytes, size);
        }
        m_base += size;
    }

    // Where the event the parser is at ends; the end of an empty element ends where its start did.
    qint64 event_end()
    {
        const int length = XML_GetCurrentByteCount(m_parser);
        if (length > 0)
            m_last_end = qint64(XML_GetCurrentByteIndex(m_parser)) + length;
        return m_last_end;
    }

    // Handlers are called from C: a failed allocation stops the parse, and is thrown once it
    // has returned.
    static void XMLCALL on_start(void* data, const XML_Char* name, const XML_Char** attributes)
    {
        auto* self = static_cast<PARSE_AHEAD*>(data);
        try {
            self->add_start(name, attributes);
        } catch (const std::bad_alloc&) {
            self->stop_for_memory();
        }
    }

    static void XMLCALL on_end(void* data, const XML_Char* name)
    {
        auto* self = static_cast<PARSE_AHEAD*>(data);
        try {
            PIECE::EVENT event;
            event.name = self->m_filling->store(name, std::strlen(name));
            event.end = self->event_end();
            self->m_filling->events.push_back(event);
        } catch (const std::bad_alloc&) {
            self->stop_for_memory();
        }
    }

    void stop_for_memory()
    {
        m_out_of_memory = true;
        XML_StopParser(m_parser, XML_FALSE);
    }

    void add_start(const XML_Char* name, const XML_Char** attributes)
    {
        PIECE& piece = *m_filling;
        PIECE::EVENT event;
        event.start = true;
        event.name = piece.store(name, std::strlen(name));
        event.first = int(piece.attributes.size());
        for (const XML_Char** a = attributes; *a != nullptr; a += 2) {
            PIECE::ATTRIBUTE attribute;
            attribute.name = piece.store(a[0], std::strlen(a[0]));
            event.initials |= PIECE::initial(a[0][0]);
            attribute.size = int(std::strlen(a[1]));
            attribute.value = piece.store(a[1], size_t(attribute.size));
            piece.attributes.push_back(attribute);
        }
        event.count = int(piece.attributes.size()) - event.first;
        event.end = event_end();
        piece.events.push_back(event);
    }

    static void XMLCALL on_entity(void* data, const XML_Char* name, int, const XML_Char*, int, const XML_Char*,
                                  const XML_Char*, const XML_Char*, const XML_Char*)
    {
        auto* self = static_cast<PARSE_AHEAD*>(data);
        self->m_filling->problem = QStringLiteral("the document declares entity \"%1\"; an analyzer file declares none")
                                       .arg(QString::fromUtf8(name).left(64));
        XML_StopParser(self->m_parser, XML_FALSE);
    }

    // The parser, the scan and the running counts belong to the worker alone.
    XML_Parser m_parser;
    SDR_FILE_XML_INPUT::SOURCE m_source;
    SDR_FILE_XML_SCAN m_scan;
    QString m_entry;
    SDR_FILE_ERROR m_problem;
    PIECE* m_filling = nullptr; // the piece being parsed
    bool m_out_of_memory = false;
    qint64 m_last_end = 0;
    qint64 m_base = 0;
    qint64 m_line = 1;
    qint64 m_column = 0;

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<std::unique_ptr<PIECE>> m_read;
    std::vector<std::unique_ptr<PIECE>> m_free;
    std::unique_ptr<PIECE> m_taken;
    bool m_stop = false;
    std::thread m_thread;
};
} // namespace

// The document's elements a piece at a time, as the worker parsed them: the reader walks the
// elements of the piece it holds, and takes the next piece when it has walked past them.
class SDR_FILE_XML_INPUT::PARSER
{
public:
    using EVENT = PIECE::EVENT;
    using ATTRIBUTE = PIECE::ATTRIBUTE;
    static quint64 initial(char c) { return PIECE::initial(c); }

    PARSER(const SOURCE& source, const QString& entry, SDR_FILE_ERROR* error, qint64 size)
        : m_pieces(source, entry, error->file(), size < 0 || size > READ_IN_PLACE), m_entry(entry), m_error(error)
    {
    }

    // The next start or end of an element; null at the end of the document or at a problem.
    const EVENT* next()
    {
        m_current = nullptr;
        while (m_piece == nullptr || m_next == m_piece->events.size()) {
            if (m_done)
                return nullptr;
            take_piece();
        }
        m_current = &m_piece->events[m_next++];
        m_end = m_current->end;
        m_position_known = false;
        return m_current;
    }
    const EVENT* current() const { return m_current; }
    const char* bytes(int offset) const { return m_piece->strings.data() + offset; }
    const ATTRIBUTE* attributes(const EVENT& event) const { return m_piece->attributes.data() + event.first; }
    // Where the reader stands: after the last element it read (a problem found in an element's
    // attributes points at the end of its tag). Worked out when asked for.
    qint64 line()
    {
        know_position();
        return m_line;
    }
    qint64 column()
    {
        know_position();
        return m_column;
    }

    // The parse's problem, once every element in front of it has been read.
    bool failed() const
    {
        return m_done && m_piece != nullptr && m_next == m_piece->events.size() && m_piece->parse_failed;
    }
    bool junk_after_root() const { return m_piece != nullptr && m_piece->code == XML_ERROR_JUNK_AFTER_DOC_ELEMENT; }
    void record_problem() const
    {
        const QString problem = !m_piece->problem.isEmpty()
                                    ? m_piece->problem
                                    : QStringLiteral("malformed XML: %1")
                                          .arg(QString::fromUtf8(XML_ErrorString(m_piece->code)));
        record_problem(problem);
    }
    void record_problem(const QString& problem) const
    {
        m_error->set_at(m_entry, m_piece->error_line, m_piece->error_column, problem);
    }

private:
    void take_piece()
    {
        know_position(); // the lines of the piece before are let go
        m_current = nullptr;
        m_piece = &m_pieces.next();
        m_next = 0;
        if (m_piece->exception)
            std::rethrow_exception(m_piece->exception);
        if (m_piece->refused) {
            const SDR_FILE_ERROR& problem = m_pieces.problem();
            m_error->set_at(problem.entry(), problem.line(), problem.column(), problem.problem());
            m_done = true;
            return;
        }
        m_done = m_piece->last;
    }

    // The line and column of the byte after the last element read: found in the lines of the
    // piece held, the one it was reported with.
    void know_position()
    {
        if (m_position_known)
            return;
        m_position_known = true;
        if (m_end < 0 || m_piece == nullptr) {
            m_line = m_column = 0;
            return;
        }
        const PIECE::LINES& lines = m_piece->lines;
        const char* const piece_bytes = m_piece->bytes.data();
        const qint64 size = std::max<qint64>(0, m_piece->size);
        const qint64 at = std::min(std::max(m_end, lines.base), lines.base + size);
        const auto after = std::lower_bound(lines.ends.begin(), lines.ends.end(), at);
        m_line = lines.line + (after - lines.ends.begin());
        if (after == lines.ends.begin()) {
            m_column = lines.column + characters(piece_bytes, at - lines.base);
        } else {
            const qint64 start = *(after - 1) + 1;
            m_column = characters(piece_bytes + (start - lines.base), at - start);
        }
    }

    PARSE_AHEAD m_pieces;
    QString m_entry;
    SDR_FILE_ERROR* m_error;
    const PIECE* m_piece = nullptr; // the piece whose elements are read
    size_t m_next = 0;
    const EVENT* m_current = nullptr;
    qint64 m_end = -1; // after the last element read
    bool m_position_known = true;
    qint64 m_line = 0;
    qint64 m_column = 0;
    bool m_done = false; // nothing more to take: the end, or a problem
};

SDR_FILE_XML_INPUT::SDR_FILE_XML_INPUT(const SOURCE& source, const QString& entry, SDR_FILE_ERROR* error,
                                       qint64 size)
    : m_parser(std::make_unique<PARSER>(source, entry, error, size)), m_entry(entry), m_error(error)
{
}

SDR_FILE_XML_INPUT::SDR_FILE_XML_INPUT(const QByteArray& document, const QString& entry, SDR_FILE_ERROR* error)
    : SDR_FILE_XML_INPUT(
          [document, offset = qint64(0)](char* buffer, qint64 capacity, SDR_FILE_ERROR*) mutable {
              const qint64 n = std::min<qint64>(capacity, document.size() - offset);
              std::memcpy(buffer, document.constData() + offset, size_t(n));
              offset += n;
              return n;
          },
          entry, error, document.size())
{
}

SDR_FILE_XML_INPUT::~SDR_FILE_XML_INPUT() = default;

// The next start or end of an element; false at the end of the document or at a problem.
bool SDR_FILE_XML_INPUT::advance()
{
    if (failed())
        return false;
    if (m_parser->next() != nullptr)
        return true;
    m_failed = m_parser->failed();
    return false;
}

bool SDR_FILE_XML_INPUT::root()
{
    return advance() && m_parser->current()->start;
}

bool SDR_FILE_XML_INPUT::end_of_document()
{
    while (advance()) {
    }
    if (m_parser->failed() && m_parser->junk_after_root())
        m_parser->record_problem(QStringLiteral("a second root element or text follows the end of the document"));
    return finish();
}

bool SDR_FILE_XML_INPUT::next_child()
{
    return advance() && m_parser->current()->start;
}

void SDR_FILE_XML_INPUT::skip()
{
    for (int depth = 1; depth > 0 && advance();)
        depth += m_parser->current()->start ? 1 : -1;
}

bool SDR_FILE_XML_INPUT::is(const char* name) const
{
    const PARSER::EVENT* event = m_parser->current();
    return event != nullptr && std::strcmp(m_parser->bytes(event->name), name) == 0;
}

QString SDR_FILE_XML_INPUT::element() const
{
    const PARSER::EVENT* event = m_parser->current();
    return event != nullptr ? QString::fromUtf8(m_parser->bytes(event->name)) : QString();
}

void SDR_FILE_XML_INPUT::fail(const QString& problem)
{
    m_error->set_at(m_entry, m_parser->line(), m_parser->column(), QStringLiteral("<%1>: %2").arg(element(), problem));
    m_failed = true;
}

bool SDR_FILE_XML_INPUT::finish()
{
    if (m_parser->failed())
        m_parser->record_problem();
    return !failed();
}

// The attribute `name` followed by `suffix` of the current element (this runs for every
// attribute of every element read, so nothing is built for the lookup).
SDR_FILE_XML_INPUT::VALUE SDR_FILE_XML_INPUT::raw(const char* name, const char* suffix) const
{
    const PARSER::EVENT* event = m_parser->current();
    if (event == nullptr || !event->start || (event->initials & PARSER::initial(name[0])) == 0)
        return VALUE();
    const PARSER::ATTRIBUTE* attributes = m_parser->attributes(*event);
    for (int i = 0; i < event->count; ++i) {
        const char* candidate = m_parser->bytes(attributes[i].name);
        const char* wanted = name;
        while (*wanted != 0 && *candidate == *wanted) {
            ++candidate;
            ++wanted;
        }
        if (*wanted == 0 && (*suffix == 0 ? *candidate == 0 : std::strcmp(candidate, suffix) == 0))
            return VALUE{m_parser->bytes(attributes[i].value), attributes[i].size};
    }
    return VALUE();
}

bool SDR_FILE_XML_INPUT::has(const char* name) const
{
    return !raw(name).absent() || !raw(name, "_b64").absent();
}

// Texts that XML cannot carry (control characters, bytes that are not UTF-8) are written
// base64-encoded under "<name>_b64"; both forms are read back to the exact bytes.
std::string SDR_FILE_XML_INPUT::text(const char* name, const std::string& fallback)
{
    const VALUE plain = raw(name);
    if (!plain.absent())
        return std::string(plain.data, size_t(plain.size));
    const VALUE base64 = raw(name, "_b64");
    if (base64.absent())
        return fallback;
    const auto decoded = QByteArray::fromBase64Encoding(QByteArray::fromRawData(base64.data, base64.size),
                                                        QByteArray::AbortOnBase64DecodingErrors);
    if (decoded.decodingStatus != QByteArray::Base64DecodingStatus::Ok) {
        fail(QStringLiteral("bad base64 in attribute \"%1_b64\"").arg(QLatin1String(name)));
        return fallback;
    }
    return decoded.decoded.toStdString();
}

// The common form is read here; anything else is left to Qt's conversion, which decides what
// else a number may look like.
bool SDR_FILE_XML_INPUT::parse_int(const char* name, const char* text, int size, qint64 min, qint64 max,
                                   qint64* value)
{
    qint64 v = 0;
    if (!plain_integer(text, size, &v)) {
        bool ok = false;
        const QString shown = QString::fromUtf8(text, size);
        v = shown.trimmed().toLongLong(&ok, 10);
        if (!ok) {
            fail(QStringLiteral("bad number \"%1\" in attribute \"%2\"").arg(shown.left(40), QLatin1String(name)));
            return false;
        }
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
    const VALUE text = raw(name);
    qint64 value = 0;
    if (text.absent() || !parse_int(name, text.data, text.size, min, max, &value))
        return fallback;
    return int(value);
}

unsigned SDR_FILE_XML_INPUT::uinteger(const char* name, unsigned fallback)
{
    const VALUE text = raw(name);
    qint64 value = 0;
    if (text.absent() || !parse_int(name, text.data, text.size, 0, UINT_MAX, &value))
        return fallback;
    return unsigned(value);
}

bool SDR_FILE_XML_INPUT::boolean(const char* name, bool fallback)
{
    const VALUE text = raw(name);
    if (text.absent())
        return fallback;
    if (std::strcmp(text.data, "1") == 0 || std::strcmp(text.data, "true") == 0)
        return true;
    if (std::strcmp(text.data, "0") == 0 || std::strcmp(text.data, "false") == 0)
        return false;
    fail(QStringLiteral("bad boolean \"%1\" in attribute \"%2\"")
             .arg(QString::fromUtf8(text.data, text.size).left(40), QLatin1String(name)));
    return fallback;
}

// The list is walked twice in place: once to count its numbers, so that a hostile count is
// refused before anything is allocated for it, then to parse them. Splitting it into strings
// first would cost 16 bytes per number of a list that has not been checked yet.
std::vector<int> SDR_FILE_XML_INPUT::integers(const char* name, int max_count)
{
    std::vector<int> values;
    const VALUE text = raw(name);
    if (text.absent())
        return values;
    const char* const begin = text.data;
    const int length = text.size;
    qint64 count = 0;
    for (int i = 0; i < length; ++i)
        if (begin[i] != ' ' && (i == 0 || begin[i - 1] == ' '))
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
        if (begin[i] == ' ') {
            ++i;
            continue;
        }
        int end = i;
        while (end < length && begin[end] != ' ')
            ++end;
        qint64 value = 0;
        if (!parse_int(name, begin + i, end - i, INT_MIN, INT_MAX, &value))
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
