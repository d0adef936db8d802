// The bounds of the names, values and texts of an XML byte stream.
#include "host/sdr/sdr_file_xml_scan.h"

#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

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
        if (is_run(m_state)) {
            i = skip_run(data, i, length);
            if (m_failed || i == length)
                break;
        }
        // The two bytes before, for the ends of comments, sections and instructions.
        m_last[1] = i >= 1 ? data[i - 1] : m_tail[1];
        m_last[0] = i >= 2 ? data[i - 2] : i == 1 ? m_tail[1] : m_tail[0];
        step(data[i]);
        if (m_failed)
            break;
        ++i;
    }
    if (m_failed) {
        count_lines(data, i + 1);
        return false;
    }
    count_lines(data, length);
    m_tail[0] = length >= 2 ? data[length - 2] : length == 1 ? m_tail[1] : m_tail[0];
    m_tail[1] = length >= 1 ? data[length - 1] : m_tail[1];
    return true;
}

bool SDR_FILE_XML_SCAN::is_run(STATE state)
{
    switch (state) {
    case STATE::TEXT:
    case STATE::VALUE:
    case STATE::ELEMENT:
    case STATE::ATTRIBUTE:
    case STATE::END_ELEMENT:
    case STATE::TAG:
        return true;
    default:
        return false;
    }
}

namespace
{
// Bytes that end a run: a table, and for a vector compare the bytes themselves (none when the
// set is too large for it).
struct STOP_SET
{
    bool table[256] = {};
    int count = 0;
#ifdef __SSE2__
    __m128i vectors[8]; // each byte sixteen times
#endif

    void add(char c)
    {
        table[uchar(c)] = true;
#ifdef __SSE2__
        vectors[count] = _mm_set1_epi8(c);
#endif
        ++count;
    }
};

// The first byte from `from` on that ends the run, or `length`: sixteen bytes a step where the
// processor allows, since most runs of a document are a few dozen bytes long.
qint64 first_stop(const STOP_SET& set, const char* data, qint64 from, qint64 length)
{
#ifdef __SSE2__
    if (set.count > 0) {
        for (; from + 16 <= length; from += 16) {
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + from));
            __m128i hits = _mm_cmpeq_epi8(bytes, set.vectors[0]);
            for (int k = 1; k < set.count; ++k)
                hits = _mm_or_si128(hits, _mm_cmpeq_epi8(bytes, set.vectors[k]));
            const int mask = _mm_movemask_epi8(hits);
            if (mask != 0)
                return from + __builtin_ctz(unsigned(mask));
        }
    }
#endif
    while (from < length && !set.table[uchar(data[from])])
        ++from;
    return from;
}
} // namespace

// The bytes that end a run of each state that runs; the rest of a run only counts.
struct SDR_FILE_XML_SCAN::STOPS
{
    STOP_SET text;
    STOP_SET value[2]; // in double quotes, in single quotes
    STOP_SET name;     // an element's name
    STOP_SET attribute;
    STOP_SET end_tag;
    STOP_SET tag;      // between attributes: all but blanks and '/'

    STOPS()
    {
        text.add('<');
        value[0].add('"');
        value[1].add('\'');
        for (char c : {' ', '\t', '\n', '\r', '/', '>'}) {
            name.add(c);
            attribute.add(c);
        }
        attribute.add('=');
        end_tag.add('>');
        for (int c = 0; c < 256; ++c)
            tag.table[c] = !is_space(char(c)) && c != '/';
    }
};

// Runs of text, values and names are most of a document: their bytes matter only as a count
// until the byte that ends them (and a name's first bytes, for a message). Returns where the
// run ends: at the byte that ends it, at `length`, or at the byte past the limit, with the
// problem recorded.
qint64 SDR_FILE_XML_SCAN::skip_run(const char* data, qint64 from, qint64 length)
{
    static const STOPS STOP;
    const STOP_SET* stops = nullptr;
    qint64 limit = -1; // uncounted
    PIECE piece = PIECE::TEXT;
    SHOWN_NAME* name = nullptr;
    switch (m_state) {
    case STATE::TEXT:
        stops = &STOP.text;
        limit = m_limits.text;
        break;
    case STATE::VALUE:
        stops = &STOP.value[m_quote == '"' ? 0 : 1];
        limit = m_limits.value;
        piece = PIECE::VALUE;
        break;
    case STATE::ELEMENT:
        stops = &STOP.name;
        limit = m_limits.name;
        piece = PIECE::ELEMENT;
        name = &m_element;
        break;
    case STATE::ATTRIBUTE:
        stops = &STOP.attribute;
        limit = m_limits.name;
        piece = PIECE::ATTRIBUTE;
        name = &m_attribute;
        break;
    case STATE::END_ELEMENT:
        stops = &STOP.end_tag;
        limit = m_limits.name;
        piece = PIECE::END_ELEMENT;
        break;
    case STATE::TAG:
        stops = &STOP.tag;
        break;
    default:
        return from;
    }
    const qint64 stop = first_stop(*stops, data, from, length);
    if (stop == from)
        return from;
    const bool past = limit >= 0 && stop - from > limit - m_run;
    const qint64 end = past ? from + (limit - m_run) : stop;
    if (name != nullptr)
        for (qint64 k = from; k < end && name->size <= SHOWN_NAME::MOST; ++k)
            name->bytes[name->size++] = data[k];
    if (past) {
        m_run = limit + 1;
        fail(limit, piece);
        return end;
    }
    if (limit >= 0)
        m_run += stop - from;
    return stop;
}

// Lines and columns follow the bytes scanned, counted a piece at a time, sixteen bytes a step
// where the processor allows.
void SDR_FILE_XML_SCAN::count_lines(const char* data, qint64 length)
{
    qint64 lines = 0;
    qint64 i = 0;
#ifdef __SSE2__
    const __m128i newline = _mm_set1_epi8('\n');
    while (i + 16 <= length) {
        // Per-byte counts, added up before any of them can pass 255.
        __m128i counts = _mm_setzero_si128();
        for (int k = 0; k < 255 && i + 16 <= length; ++k, i += 16) {
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
            counts = _mm_sub_epi8(counts, _mm_cmpeq_epi8(bytes, newline));
        }
        const __m128i sums = _mm_sad_epu8(counts, _mm_setzero_si128());
        lines += _mm_cvtsi128_si32(sums) + _mm_extract_epi16(sums, 4);
    }
#endif
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
