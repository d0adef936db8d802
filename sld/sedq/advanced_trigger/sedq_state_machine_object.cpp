// Unified state text splitting and joining, and the host tree interface of the flow.
#include "sedq/advanced_trigger/sedq_state_machine_object.h"

#include "sedq/advanced_trigger/sedq_property.h"
#include "sedq/model/sedq_verify.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <cstring>

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
    // Looked for on the line only: a line that opens with the word and holds no colon (one being
    // typed) reads no further.
    const int colon_in_line = QStringView(text).mid(after_word, line_end - after_word).indexOf(QLatin1Char(':'));
    if (colon_in_line < 0)
        return false;
    const int colon = after_word + colon_in_line;
    const QString name = text.mid(after_word, colon - after_word).trimmed();
    if (name.isEmpty())
        return false;
    *header = SEDQ_STATE_HEADER{p, colon + 1, name};
    return true;
}

// The headers of the lines from the one starting at `line_start` to the one holding `last`.
QVector<SEDQ_STATE_HEADER> headers_in(const QString& text, int line_start, int last)
{
    QVector<SEDQ_STATE_HEADER> headers;
    for (int at = line_start;;) {
        SEDQ_STATE_HEADER header;
        if (read_header(text, at, &header))
            headers.append(header);
        const int end = text.indexOf(QLatin1Char('\n'), at);
        if (end < 0 || end >= last)
            break;
        at = end + 1;
    }
    return headers;
}

// Where the line holding `at` ends: its line feed, or the end of the text.
int line_end(const QString& text, int at)
{
    const int end = text.indexOf(QLatin1Char('\n'), at);
    return end < 0 ? text.size() : end;
}

// The length of the common start of two runs of characters: compared in blocks by memcmp
// first, which scans a long text at the speed of memory.
int common_start(const QChar* a, const QChar* b, int length)
{
    const int block = 64;
    int same = 0;
    while (same + block <= length && memcmp(a + same, b + same, block * sizeof(QChar)) == 0)
        same += block;
    while (same < length && a[same] == b[same])
        ++same;
    return same;
}

// The same from the end: the runs end at `a` and `b`.
int common_end(const QChar* a, const QChar* b, int length)
{
    const int block = 64;
    int same = 0;
    while (same + block <= length && memcmp(a - same - block, b - same - block, block * sizeof(QChar)) == 0)
        same += block;
    while (same < length && a[-same - 1] == b[-same - 1])
        ++same;
    return same;
}
} // namespace

SEDQ_TEXT_CHANGE sedq_text_change(QString const& before, QString const& after)
{
    const int shorter = qMin(before.size(), after.size());
    const int start = common_start(before.constData(), after.constData(), shorter);
    const int end = common_end(before.constData() + before.size(), after.constData() + after.size(), shorter - start);
    return SEDQ_TEXT_CHANGE{start, before.size() - start - end, after.size() - start - end};
}

bool SEDQ_TEXT_CHANGE_FROM::holds_between(quint64 held_serial, int held_size, QString const& after) const
{
    return serial != 0 && held_serial == serial && held_size == before_size && change.at >= 0 &&
           change.removed >= 0 && change.inserted >= 0 && change.at <= held_size - change.removed &&
           held_size - change.removed == after.size() - change.inserted;
}

// Serials of texts and generations of bodies, never the same twice, whichever thread reads a
// document.
quint64 SEDQ_STATE_MACHINE_OBJECT::next_generation()
{
    static std::atomic<quint64> taken{0};
    return ++taken;
}

QVector<SEDQ_STATE_HEADER> SEDQ_STATE_MACHINE_OBJECT::find_state_headers(QString const& text)
{
    return headers_in(text, 0, text.size());
}

const char* const SEDQ_STATE_MACHINE_OBJECT::FLOW_EXPRESSION_KEY = "state_machine_flow_expression";

SEDQ_STATE_MACHINE_OBJECT::SEDQ_STATE_MACHINE_OBJECT() = default;
SEDQ_STATE_MACHINE_OBJECT::~SEDQ_STATE_MACHINE_OBJECT() = default;

// A list entry that stays the same is not written: the list stays shared with the undo
// versions and the readers that hold it.
void SEDQ_STATE_MACHINE_OBJECT::store_at(QStringList* list, int index, const QString& text)
{
    while (list->size() <= index)
        list->append(QString());
    if (list->at(index) != text)
        (*list)[index] = text;
}

// A state starts only at a real header (see find_state_headers), so a word such as
// "idle_state" or a "state x:" inside a line stays in its body. Names are overwritten by index
// and names past the new count are kept; the text itself is kept exactly as typed.
void SEDQ_STATE_MACHINE_OBJECT::set_unified_state_text(QString const& text, const SEDQ_TEXT_CHANGE_FROM* known)
{
    int from = 0;
    int to = text.size();
    // The headers whose names may differ from those stored: all of them, unless only the
    // headers of the changed lines were read again and as many as before.
    int named_from = 0;
    int named_to = INT_MAX;
    bool in_place = false;
    if (m_unified_kept) {
        in_place = known != nullptr && known->holds_between(m_text_serial, m_unified_state_text.size(), text);
        m_change = in_place ? known->change : sedq_text_change(m_unified_state_text, text);
        const int before = m_headers.size();
        const HEADERS_READ read = read_headers(text, m_change);
        from = read.from;
        to = read.to;
        // Names written since by another hand (or taken from an undo version) are all set again.
        if (m_headers.size() == before && m_state_name_list == m_names_from_headers) {
            named_from = read.first;
            named_to = read.first + read.count;
        }
    } else
        m_headers = find_state_headers(text);
    const int count = qMin(m_headers.size(), MAX_STATES);
    for (int i = named_from; i < qMin(count, named_to); ++i)
        store_at(&m_state_name_list, i, m_headers.at(i).name);
    // Bodies someone else changed since they were cut are cut again, all of them.
    if (!m_unified_kept || m_state_text_list.size() != count || m_cut_generation != m_body_generation) {
        m_state_text_list.clear();
        from = 0;
        to = text.size();
    }
    m_names_from_headers = m_state_name_list;
    cut_bodies(text, from, to, m_unified_kept && !m_state_text_list.isEmpty() ? &m_change : nullptr);
    m_state_count = count == 0 ? 1 : count;
    if (m_unified_kept)
        note_text_change(m_change);
    // The change known, the kept text is changed where it stands: held by nobody else, it is
    // not copied, and the caller's text stays the caller's alone.
    if (in_place)
        m_unified_state_text.replace(m_change.at, m_change.removed, text.constData() + m_change.at, m_change.inserted);
    else
        m_unified_state_text = text;
    m_unified_kept = true;
    m_text_serial = next_generation();
}

void SEDQ_STATE_MACHINE_OBJECT::clear_unified_state_text()
{
    keep_version_text();
    m_unified_state_text.clear();
    m_unified_kept = false;
    m_headers.clear();
    m_text_serial = next_generation();
}

// The headers of `text`, which differs from the kept text by `change`: the lines the change
// touched are read again, the headers after them move with the text. Returns where those lines
// are in `text` and which headers they hold.
SEDQ_STATE_MACHINE_OBJECT::HEADERS_READ SEDQ_STATE_MACHINE_OBJECT::read_headers(QString const& text,
                                                                              SEDQ_TEXT_CHANGE const& change)
{
    const QString& old = m_unified_state_text;
    const int from = change.at == 0 ? 0 : old.lastIndexOf(QLatin1Char('\n'), change.at - 1) + 1;
    const int old_end = line_end(old, change.at + change.removed);
    const int to = line_end(text, change.at + change.inserted);
    const auto before = [](const SEDQ_STATE_HEADER& header, int at) { return header.start < at; };
    const int first = int(std::lower_bound(m_headers.begin(), m_headers.end(), from, before) - m_headers.begin());
    const int past = int(std::lower_bound(m_headers.begin(), m_headers.end(), old_end + 1, before) - m_headers.begin());
    // The headers read replace those of the touched lines with one move of the ones after.
    const QVector<SEDQ_STATE_HEADER> read = headers_in(text, from, to);
    m_headers.remove(first, past - first);
    m_headers.insert(first, read.size(), SEDQ_STATE_HEADER());
    std::copy(read.begin(), read.end(), m_headers.begin() + first);
    const int shift = text.size() - old.size();
    for (int i = first + read.size(); i < m_headers.size(); ++i) {
        m_headers[i].start += shift;
        m_headers[i].body_start += shift;
    }
    return HEADERS_READ{from, to, first, read.size()};
}

// The bodies of the states that reach into [from, to] of `text` cut from it again; the last
// state's body runs to the end of the text, past any headers beyond MAX_STATES.
void SEDQ_STATE_MACHINE_OBJECT::cut_bodies(QString const& text, int from, int to, const SEDQ_TEXT_CHANGE* change)
{
    int changed_bodies = 0;
    m_body_change = SEDQ_BODY_CHANGE{-1, {}, {}, m_body_generation, next_generation()};
    m_body_generation = m_body_change.to;
    const int count = qMin(m_headers.size(), MAX_STATES);
    // The headers run in the order of the text: the states that may reach into [from, to] are
    // found by halving, not by walking every state of a flow of thousands.
    const auto starts_before = [](const SEDQ_STATE_HEADER& header, int at) { return header.start < at; };
    const auto body_after = [](int at, const SEDQ_STATE_HEADER& header) { return at < header.body_start; };
    const auto begin = m_headers.begin();
    const int first = qMax(0, int(std::lower_bound(begin, begin + count, from, starts_before) - begin) - 1);
    const int past = int(std::upper_bound(begin, begin + count, to, body_after) - begin);
    for (int i = first; i < past; ++i) {
        const int start = m_headers.at(i).body_start;
        const int end = i + 1 < count ? m_headers.at(i + 1).start : text.size();
        if (end >= from && start <= to)
        {
            // The first body re-cut may be the one body the change fell in: changed where it
            // stands. Any other is cut again, and the change is then not one body's.
            ++changed_bodies;
            if (change != nullptr && changed_bodies == 1 && edit_body(i, text, start, end, *change))
                continue;
            m_body_change.state = -1;
            store_at(&m_state_text_list, i, QStringView(text).mid(start, end - start).trimmed().toString());
        }
    }
    if (changed_bodies != 1)
        m_body_change.state = -1;
    m_cut_generation = m_body_generation;
}

// The body of state `state`, cut from [start, end) of the new text, after a change of the kept
// text. Its body before is the same slice of the text before, trimmed. A change that starts past
// the body's first character keeps that character and the blanks before it, so both bodies start
// at the same place of their texts; where the lengths then agree with the change, the body after
// is the body before with the change made: it is made so (in place when nobody else holds the
// body) and noted. False, with nothing changed, when the change is not one inside the body.
bool SEDQ_STATE_MACHINE_OBJECT::edit_body(int state, QString const& text, int start, int end,
                                          SEDQ_TEXT_CHANGE const& change)
{
    if (state >= m_state_text_list.size())
        return false;
    const QStringView slice = QStringView(text).mid(start, end - start);
    const int size = int(slice.trimmed().size());
    int blanks = 0;
    while (blanks < slice.size() && slice.at(blanks).isSpace())
        ++blanks;
    const SEDQ_TEXT_CHANGE in_body{change.at - start - blanks, change.removed, change.inserted};
    const int before = m_state_text_list.at(state).size();
    if (size == 0 || in_body.at <= 0 || in_body.at + in_body.removed > before ||
        before - in_body.removed + in_body.inserted != size)
        return false;
    QString& body = m_state_text_list[state];
    m_body_change.state = state;
    m_body_change.change = in_body;
    m_body_change.removed = body.mid(in_body.at, in_body.removed);
    body.replace(in_body.at, in_body.removed, text.constData() + change.at, in_body.inserted);
    return true;
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

void SEDQ_STATE_MACHINE_OBJECT::get_unified_state_text(QString* text) const
{
    if (!SEDQ_VERIFY(text != NULL))
        return;
    *text = m_unified_kept && !m_unified_state_text.isEmpty() ? m_unified_state_text : built_text();
}

QString SEDQ_STATE_MACHINE_OBJECT::get_unified_state_text_as_typed() const
{
    return m_unified_kept ? m_unified_state_text : built_text();
}

namespace
{
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

// The flow text as written: the kept text, or the states' text when none is kept or the kept
// one is blank (a flow always has a state).
const QByteArray& SEDQ_STATE_MACHINE_OBJECT::written() const
{
    WRITTEN& w = m_written;
    if (w.count == m_state_count && w.kept == m_unified_kept && w.unified == m_unified_state_text &&
        w.names == m_state_name_list && w.bodies == m_state_text_list)
        return w.flow;
    w = WRITTEN{m_state_count, m_unified_kept, m_unified_state_text, m_state_name_list, m_state_text_list, {}};
    QString flow = m_unified_kept && !is_white_space_only(m_unified_state_text) ? m_unified_state_text : built_text();
    if (is_plain_ascii(flow)) {
        // Its own written form, read back unchanged: no round trip through the locale's codec.
        w.flow = flow.toLatin1();
    } else {
        flow.remove(QLatin1Char('\r'));
        w.flow = flow.toLocal8Bit();
    }
    return w.flow;
}

void SEDQ_STATE_MACHINE_OBJECT::get_attributes()
{
    add_attribute(FLOW_EXPRESSION_KEY, written().constData());
}

// Read back in the local 8-bit encoding it was written in (see SEDQ_PROPERTY::attribute_text),
// so that non-ASCII state names and comments survive a save and open.
void SEDQ_STATE_MACHINE_OBJECT::set_attribute(char const* key, char const* value)
{
    if (key && qstrcmp(key, FLOW_EXPRESSION_KEY) == 0)
        set_unified_state_text(SEDQ_PROPERTY::attribute_text(value));
}

// ---- undo versions -----------------------------------------------------------------------

// One version of a flow as undo steps keep it. Its text is the version before it with one change
// (`removed` at `at` replaced by `inserted`), or whole (no version before: `inserted` is all of
// it) once every CHAIN_LENGTH versions, so a chain of changes to walk stays short and a version
// keeps at most that many changes alive before it. The rest of the flow is held as the object
// held it, in lists shared with it until they change; the bodies only when no text is kept (a
// kept text gives them).
struct SEDQ_FLOW_VERSION : SDR_TREE_UNDO_STATE
{
    static constexpr int CHAIN_LENGTH = 64;

    std::shared_ptr<const SEDQ_FLOW_VERSION> base;
    int depth = 0; // versions back to the one holding its whole text
    int at = 0;
    QString removed;
    QString inserted;
    int count = 1;
    bool kept = false;
    QStringList names;
    QStringList bodies;
    QList<int> types;
};

bool SEDQ_STATE_MACHINE_OBJECT::holds(const SEDQ_FLOW_VERSION& version) const
{
    return version.count == m_state_count && version.kept == m_unified_kept && version.names == m_state_name_list &&
           version.types == m_state_type_list && (m_unified_kept || version.bodies == m_state_text_list) &&
           is_version_text();
}

// The text of the version last read or set.
QString SEDQ_STATE_MACHINE_OBJECT::version_text() const
{
    if (!m_since_version.noted)
        return m_version_text;
    QString text = m_unified_state_text;
    text.replace(m_since_version.at, m_since_version.inserted, m_since_version.removed);
    return text;
}

// Whether the kept text is still the version's text (a change noted may have been taken back).
bool SEDQ_STATE_MACHINE_OBJECT::is_version_text() const
{
    if (!m_since_version.noted)
        return m_version_text == m_unified_state_text;
    return QStringView(m_unified_state_text).mid(m_since_version.at, m_since_version.inserted) ==
           m_since_version.removed;
}

// The kept text is about to change by `change`. While it is the version's text itself, the
// change is noted and the version's text let go; a second change before the next version has
// the version's text made whole again, to be compared with the text then.
void SEDQ_STATE_MACHINE_OBJECT::note_text_change(SEDQ_TEXT_CHANGE const& change)
{
    if (m_version == nullptr)
        return;
    if (m_since_version.noted) {
        keep_version_text();
        return;
    }
    if (!m_version_text.isSharedWith(m_unified_state_text))
        return;
    m_since_version = SINCE_VERSION{true, change.at, m_unified_state_text.mid(change.at, change.removed),
                                    change.inserted};
    m_version_text.clear();
}

// The version's text held whole again, before the kept text changes in a way not noted.
void SEDQ_STATE_MACHINE_OBJECT::keep_version_text()
{
    if (!m_since_version.noted)
        return;
    m_version_text = version_text();
    m_since_version = SINCE_VERSION();
}

// The version last read stands while nothing changed (the start of every edit reads it again);
// a new one holds the change of the text since.
SDR_TREE_UNDO_STATE_PTR SEDQ_STATE_MACHINE_OBJECT::get_undo_state()
{
    if (m_version != nullptr && holds(*m_version))
        return m_version;
    auto version = std::make_shared<SEDQ_FLOW_VERSION>();
    version->count = m_state_count;
    version->kept = m_unified_kept;
    version->names = m_state_name_list;
    version->bodies = m_unified_kept ? QStringList() : m_state_text_list;
    version->types = m_state_type_list;
    if (m_version != nullptr && m_version->depth + 1 < SEDQ_FLOW_VERSION::CHAIN_LENGTH) {
        const SINCE_VERSION& noted = m_since_version;
        const SEDQ_TEXT_CHANGE change = noted.noted ? SEDQ_TEXT_CHANGE{noted.at, noted.removed.size(), noted.inserted}
                                                    : sedq_text_change(m_version_text, m_unified_state_text);
        version->base = m_version;
        version->depth = m_version->depth + 1;
        version->at = change.at;
        version->removed = noted.noted ? noted.removed : m_version_text.mid(change.at, change.removed);
        version->inserted = m_unified_state_text.mid(change.at, change.inserted);
    } else {
        version->inserted = m_unified_state_text;
    }
    m_version = version;
    m_version_text = m_unified_state_text;
    m_since_version = SINCE_VERSION();
    return m_version;
}

// The text of `target`, from the text of the version held now: its changes taken back up to
// the last version both come from, then the target's changes made down from there. Versions
// from different whole texts share none: the target's text is then made from its own.
QString SEDQ_STATE_MACHINE_OBJECT::text_of(const SEDQ_FLOW_VERSION* target) const
{
    const auto depth = [](const SEDQ_FLOW_VERSION* version) { return version != nullptr ? version->depth : -1; };
    const SEDQ_FLOW_VERSION* held = m_version.get();
    QVector<const SEDQ_FLOW_VERSION*> undone;
    QVector<const SEDQ_FLOW_VERSION*> redone;
    while (held != target) {
        if (depth(held) >= depth(target)) {
            undone.append(held);
            held = held->base.get();
        } else {
            redone.append(target);
            target = target->base.get();
        }
    }
    QString text;
    if (held != nullptr) {
        text = version_text();
        for (const SEDQ_FLOW_VERSION* version : undone) {
            SEDQ_VERIFY(version->at + version->inserted.size() <= text.size());
            text.replace(version->at, version->inserted.size(), version->removed);
        }
    }
    for (auto it = redone.rbegin(); it != redone.rend(); ++it) {
        SEDQ_VERIFY((*it)->at + (*it)->removed.size() <= text.size());
        text.replace((*it)->at, (*it)->removed.size(), (*it)->inserted);
    }
    return text;
}

void SEDQ_STATE_MACHINE_OBJECT::set_undo_state(const SDR_TREE_UNDO_STATE_PTR& state)
{
    auto version = std::dynamic_pointer_cast<const SEDQ_FLOW_VERSION>(state);
    if (!SEDQ_VERIFY(version != NULL) || (version == m_version && holds(*version)))
        return;
    const QString text = text_of(version.get());
    if (version->kept) {
        set_unified_state_text(text);
    } else {
        clear_unified_state_text();
        m_state_text_list = version->bodies;
        m_body_generation = next_generation();
    }
    m_state_count = version->count;
    m_state_name_list = version->names;
    m_state_type_list = version->types;
    m_version = version;
    m_version_text = m_unified_state_text;
    m_since_version = SINCE_VERSION();
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
