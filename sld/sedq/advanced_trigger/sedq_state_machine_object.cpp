// Unified state text splitting and joining, and the host tree interface of the flow.
#include "sedq/advanced_trigger/sedq_state_machine_object.h"

#include "sedq/advanced_trigger/sedq_property.h"
#include "sedq/model/sedq_verify.h"

#include <algorithm>

namespace
{
const QLatin1String STATE_WORD("state");

bool is_name_char(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

bool is_blank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\r');
}

// Whether the word "state", in any letter case, stands at `p`. Compared letter by letter:
// lowering a copy of the whole text can change its length (some letters lower to two), and
// Qt's case-insensitive search folds letters such as the long s that do not lower to "s".
bool is_state_word_at(const QString& text, int p)
{
    if (p + STATE_WORD.size() > text.size())
        return false;
    // Most lines start with another ASCII letter: only 's' and 'S' lower to 's' among them.
    const ushort first = text.at(p).unicode();
    if (first < 0x80 && (first | 0x20) != 's')
        return false;
    for (int k = 0; k < STATE_WORD.size(); ++k)
        if (text.at(p + k).toLower() != QLatin1Char(STATE_WORD.at(k)))
            return false;
    return p + STATE_WORD.size() == text.size() || !is_name_char(text.at(p + STATE_WORD.size()));
}

// The header that starts the line at `line_start`, if any: blanks, the word, a name and a
// colon on that line.
bool read_header(const QString& text, int line_start, SEDQ_STATE_HEADER* header)
{
    int p = line_start;
    while (p < text.size() && is_blank(text.at(p)))
        ++p;
    if (!is_state_word_at(text, p))
        return false;
    const int after_word = p + STATE_WORD.size();
    int line_end = text.indexOf(QLatin1Char('\n'), after_word);
    if (line_end < 0)
        line_end = text.size();
    const int colon = text.indexOf(QLatin1Char(':'), after_word);
    if (colon < 0 || colon > line_end)
        return false;
    const QString name = text.mid(after_word, colon - after_word).trimmed();
    if (name.isEmpty())
        return false;
    *header = SEDQ_STATE_HEADER{p, colon + 1, name};
    return true;
}
} // namespace

QVector<SEDQ_STATE_HEADER> SEDQ_STATE_MACHINE_OBJECT::find_state_headers(QString const& text)
{
    QVector<SEDQ_STATE_HEADER> headers;
    for (int line_start = 0; line_start >= 0 && line_start <= text.size();) {
        SEDQ_STATE_HEADER header;
        if (read_header(text, line_start, &header))
            headers.append(header);
        const int line_end = text.indexOf(QLatin1Char('\n'), line_start);
        line_start = line_end < 0 ? -1 : line_end + 1;
    }
    return headers;
}

const char* const SEDQ_STATE_MACHINE_OBJECT::FLOW_EXPRESSION_KEY = "state_machine_flow_expression";
// Only undo steps hold this key; a save never writes it.
const char* const SEDQ_STATE_MACHINE_OBJECT::HELD_STATES_KEY = "state_machine_held_states";

SEDQ_STATE_MACHINE_OBJECT::SEDQ_STATE_MACHINE_OBJECT() = default;
SEDQ_STATE_MACHINE_OBJECT::~SEDQ_STATE_MACHINE_OBJECT() = default;

void SEDQ_STATE_MACHINE_OBJECT::store_at(QStringList* list, int index, const QString& text)
{
    while (list->size() <= index)
        list->append(QString());
    (*list)[index] = text;
}

// A state starts only at a real header (see find_state_headers), so a word such as
// "idle_state" or a "state x:" inside a line stays in its body. Names are overwritten by index
// and names past the new count are kept; the text itself is kept exactly as typed.
void SEDQ_STATE_MACHINE_OBJECT::set_unified_state_text(QString const& text)
{
    const QVector<SEDQ_STATE_HEADER> headers = find_state_headers(text).mid(0, MAX_STATES);
    m_state_text_list.clear();
    for (int i = 0; i < headers.size(); ++i) {
        const int body_end = i + 1 < headers.size() ? headers.at(i + 1).start : text.size();
        store_at(&m_state_name_list, i, headers.at(i).name);
        const int body_start = headers.at(i).body_start;
        store_at(&m_state_text_list, i, text.mid(body_start, body_end - body_start).trimmed());
    }
    m_state_count = headers.isEmpty() ? 1 : headers.size();
    m_unified_state_text = text;
    m_unified_kept = true;
}

QString SEDQ_STATE_MACHINE_OBJECT::built_text() const
{
    QString built;
    for (int i = 0; i < m_state_count; ++i) {
        QString name = i < m_state_name_list.size() ? m_state_name_list.at(i) : QString();
        if (name.isEmpty())
            name = QStringLiteral("ST%1").arg(i + 1);
        QString body = i < m_state_text_list.size() ? m_state_text_list.at(i).trimmed() : QString();
        if (body.isEmpty())
            body = QStringLiteral("trigger;");
        built += QStringLiteral("state ") + name + QStringLiteral(":\r\n") + body;
        if (i + 1 < m_state_count)
            built += QStringLiteral("\r\n\r\n");
    }
    return built;
}

void SEDQ_STATE_MACHINE_OBJECT::get_unified_state_text(QString* text)
{
    if (!SEDQ_VERIFY(text != NULL))
        return;
    *text = m_unified_kept ? m_unified_state_text : built_text();
}

namespace
{
// The held states: items of "<byte count>:<UTF-8 bytes>", a NUL written as the two bytes
// C0 80 (which UTF-8 never holds), so the attribute is a C string and any text survives.
void put_item(QByteArray* held, const QString& text)
{
    QByteArray bytes = text.toUtf8();
    bytes.replace(QByteArray(1, '\0'), QByteArray("\xC0\x80"));
    *held += QByteArray::number(bytes.size()) + ':' + bytes;
}

class HELD_READER
{
public:
    explicit HELD_READER(const QByteArray& held) : m_held(held) {}
    bool next(QString* text)
    {
        const int colon = m_held.indexOf(':', m_at);
        bool ok = false;
        const int size = colon < 0 ? -1 : m_held.mid(m_at, colon - m_at).toInt(&ok);
        if (!ok || size < 0 || size > m_held.size() - colon - 1)
            return false;
        QByteArray bytes = m_held.mid(colon + 1, size);
        bytes.replace(QByteArray("\xC0\x80"), QByteArray(1, '\0'));
        *text = QString::fromUtf8(bytes);
        m_at = colon + 1 + size;
        return true;
    }
    bool next_number(int* number)
    {
        QString text;
        bool ok = false;
        *number = next(&text) ? text.toInt(&ok) : 0;
        return ok;
    }
    bool next_list(QStringList* list)
    {
        int size = 0;
        if (!next_number(&size) || size < 0)
            return false;
        list->clear();
        for (QString text; list->size() < size; list->append(text))
            if (!next(&text))
                return false;
        return true;
    }

private:
    const QByteArray& m_held;
    int m_at = 0;
};

const char* const HELD_FORMAT = "states 2";

// ASCII without carriage returns: a text every locale writes and reads back byte for byte.
bool is_plain_ascii(const QString& text)
{
    return QtPrivate::isAscii(QStringView(text)) && !text.contains(QLatin1Char('\r'));
}

// Only white space (without the copy a trimmed text of a typed flow would make).
bool is_white_space_only(const QString& text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.isSpace(); });
}
} // namespace

// The flow text as written (a blank kept text writes the states' text), and the held states
// the flow text cannot restore: the count, names past the text's states and types always, the
// bodies only when no text is kept (a kept text gives them), and the kept text only when the
// flow text does not give it back exactly.
const SEDQ_STATE_MACHINE_OBJECT::WRITTEN& SEDQ_STATE_MACHINE_OBJECT::written() const
{
    WRITTEN& w = m_written;
    if (w.count == m_state_count && w.kept == m_unified_kept && w.unified == m_unified_state_text &&
        w.names == m_state_name_list && w.bodies == m_state_text_list && w.types == m_state_type_list)
        return w;
    w = WRITTEN{m_state_count, m_unified_kept, m_unified_state_text, m_state_name_list, m_state_text_list,
                m_state_type_list, {}, {}};
    QString flow = m_unified_kept && !is_white_space_only(m_unified_state_text) ? m_unified_state_text : built_text();
    bool text_given = false;
    if (is_plain_ascii(flow)) {
        // Its own written form, read back unchanged: no round trip through the locale's codec.
        w.flow = flow.toLatin1();
        text_given = m_unified_kept && flow == m_unified_state_text;
    } else {
        flow.remove(QLatin1Char('\r'));
        w.flow = flow.toLocal8Bit();
        text_given = m_unified_kept && QString::fromLocal8Bit(w.flow) == m_unified_state_text;
    }
    QByteArray& held = w.held;
    put_item(&held, QString::fromLatin1(HELD_FORMAT));
    put_item(&held, QString::number(m_state_count));
    put_item(&held, QString::number(int(m_unified_kept) + 2 * int(m_unified_kept && !text_given)));
    if (m_unified_kept && !text_given)
        put_item(&held, m_unified_state_text);
    for (const QStringList* list : {&m_state_name_list, &m_state_text_list}) {
        const bool skipped = list == &m_state_text_list && m_unified_kept;
        put_item(&held, QString::number(skipped ? 0 : list->size()));
        for (int i = 0; !skipped && i < list->size(); ++i)
            put_item(&held, list->at(i));
    }
    put_item(&held, QString::number(m_state_type_list.size()));
    for (int type : m_state_type_list)
        put_item(&held, QString::number(type));
    return w;
}

void SEDQ_STATE_MACHINE_OBJECT::get_attributes()
{
    add_attribute(FLOW_EXPRESSION_KEY, written().flow.constData());
}

void SEDQ_STATE_MACHINE_OBJECT::get_undo_attributes()
{
    get_attributes();
    add_attribute(HELD_STATES_KEY, written().held.constData());
}

// Overrides what the flow text just set from the held form; anything unreadable leaves that.
void SEDQ_STATE_MACHINE_OBJECT::set_held_states(const QByteArray& held)
{
    HELD_READER reader(held);
    QString format;
    int count = 0;
    int kept = 0;
    QString unified;
    QStringList names;
    QStringList bodies;
    QStringList types;
    const bool read = reader.next(&format) && format == QLatin1String(HELD_FORMAT) && reader.next_number(&count) &&
                      reader.next_number(&kept) && (kept < 2 || reader.next(&unified)) && reader.next_list(&names) &&
                      reader.next_list(&bodies) && reader.next_list(&types);
    if (!SEDQ_VERIFY(read && count >= 1))
        return;
    if (kept >= 2)
        set_unified_state_text(unified);
    if (kept == 0) {
        clear_unified_state_text();
        m_state_text_list = bodies;
    }
    m_state_count = count;
    m_state_name_list = names;
    m_state_type_list.clear();
    for (const QString& type : types)
        m_state_type_list.append(type.toInt());
}

// Read back in the local 8-bit encoding it was written in (see SEDQ_PROPERTY::attribute_text),
// so that non-ASCII state names and comments survive a save and open.
void SEDQ_STATE_MACHINE_OBJECT::set_attribute(char const* key, char const* value)
{
    if (key && qstrcmp(key, FLOW_EXPRESSION_KEY) == 0)
        set_unified_state_text(SEDQ_PROPERTY::attribute_text(value));
    else if (key && value && qstrcmp(key, HELD_STATES_KEY) == 0)
        set_held_states(QByteArray(value));
}

SDR_TX_TREE_OBJECT* SEDQ_STATE_MACHINE_OBJECT::get_child_object(int)
{
    SEDQ_REPORT("get_child_object() should not be called on a SEDQ_STATE_MACHINE_OBJECT");
    return nullptr;
}

int SEDQ_STATE_MACHINE_OBJECT::get_child_count() const
{
    SEDQ_REPORT("get_child_count() should not be called on a SEDQ_STATE_MACHINE_OBJECT");
    return 0;
}

SDR_TX_TREE_OBJECT* SEDQ_STATE_MACHINE_OBJECT::create_child_object(CHILD_OBJECT_TYPE)
{
    SEDQ_REPORT("create_child_object() should not be called on a SEDQ_STATE_MACHINE_OBJECT");
    return nullptr;
}

bool SEDQ_STATE_MACHINE_OBJECT::delete_child_object(SDR_TX_TREE_OBJECT*)
{
    SEDQ_REPORT("delete_child_object() should not be called on a SEDQ_STATE_MACHINE_OBJECT");
    return false;
}

bool SEDQ_STATE_MACHINE_OBJECT::get_equation(std::string*, const SDR_DATA_MNEMONICS*, const SDR_TX_TRIGGER*, int, bool)
{
    SEDQ_REPORT("get_equation() should only be called on a SEDQ_TRIGGER_OBJECT");
    return false;
}

bool SEDQ_STATE_MACHINE_OBJECT::duplicate_trigger(bool)
{
    SEDQ_REPORT("duplicate_trigger() should only be called on a SEDQ_TRIGGER_OBJECT");
    return false;
}

void SEDQ_STATE_MACHINE_OBJECT::generate_tree(void*)
{
    SEDQ_REPORT("generate_tree() should not be called on a SEDQ_STATE_MACHINE_OBJECT");
}
