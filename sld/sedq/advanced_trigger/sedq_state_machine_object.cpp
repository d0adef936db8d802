// Unified state text splitting and joining, and the host tree interface of the flow.
#include "sedq/advanced_trigger/sedq_state_machine_object.h"

#include "sedq/advanced_trigger/sedq_property.h"
#include "sedq/model/sedq_verify.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

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
    const QVector<SEDQ_STATE_HEADER> headers = find_state_headers(text);
    m_state_text_list.clear();
    for (int i = 0; i < headers.size(); ++i) {
        const int body_end = i + 1 < headers.size() ? headers.at(i + 1).start : text.size();
        store_at(&m_state_name_list, i, headers.at(i).name);
        const int body_start = headers.at(i).body_start;
        store_at(&m_state_text_list, i, text.mid(body_start, body_end - body_start).trimmed());
    }
    m_state_count = headers.isEmpty() ? 1 : headers.size();
    m_unified_state_text = text;
}

void SEDQ_STATE_MACHINE_OBJECT::get_unified_state_text(QString* text)
{
    if (!SEDQ_VERIFY(text != NULL))
        return;
    if (m_unified_state_text.isEmpty()) {
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
        *text = built;
        return;
    }
    *text = m_unified_state_text;
}

void SEDQ_STATE_MACHINE_OBJECT::get_attributes()
{
    QString text;
    get_unified_state_text(&text);
    text.remove(QLatin1Char('\r'));
    add_attribute(FLOW_EXPRESSION_KEY, text.toLocal8Bit().constData());
}

void SEDQ_STATE_MACHINE_OBJECT::get_undo_attributes()
{
    get_attributes();
    add_attribute(HELD_STATES_KEY, held_states().constData());
}

// The count, the unified text as kept (empty when it is rebuilt) and the name, body and type
// lists, as compact JSON in UTF-8 so that any text survives.
QByteArray SEDQ_STATE_MACHINE_OBJECT::held_states() const
{
    QJsonArray types;
    for (int type : m_state_type_list)
        types.append(type);
    QJsonObject held;
    held.insert(QStringLiteral("count"), m_state_count);
    held.insert(QStringLiteral("unified"), m_unified_state_text);
    held.insert(QStringLiteral("names"), QJsonArray::fromStringList(m_state_name_list));
    held.insert(QStringLiteral("bodies"), QJsonArray::fromStringList(m_state_text_list));
    held.insert(QStringLiteral("types"), types);
    return QJsonDocument(held).toJson(QJsonDocument::Compact);
}

// Overrides what the flow text just set from the saved form; anything unreadable leaves that.
void SEDQ_STATE_MACHINE_OBJECT::set_held_states(const QByteArray& held)
{
    const QJsonObject object = QJsonDocument::fromJson(held).object();
    if (!SEDQ_VERIFY(object.value(QStringLiteral("count")).toInt() >= 1))
        return;
    const auto strings = [&object](const char* key) {
        QStringList list;
        for (const QJsonValue& value : object.value(QLatin1String(key)).toArray())
            list.append(value.toString());
        return list;
    };
    m_state_count = object.value(QStringLiteral("count")).toInt();
    m_unified_state_text = object.value(QStringLiteral("unified")).toString();
    m_state_name_list = strings("names");
    m_state_text_list = strings("bodies");
    m_state_type_list.clear();
    for (const QJsonValue& value : object.value(QStringLiteral("types")).toArray())
        m_state_type_list.append(value.toInt());
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

bool SEDQ_STATE_MACHINE_OBJECT::get_equation(std::string*, SDR_DATA_MNEMONICS*, SDR_TX_TRIGGER*, int, bool)
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
