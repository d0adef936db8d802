// Unified state text splitting and joining, and the host tree interface of the flow.
#include "sedq/advanced_trigger/sedq_state_machine_object.h"

#include "sedq/advanced_trigger/sedq_property.h"
#include "sedq/model/sedq_verify.h"

namespace
{
const QLatin1String STATE_WORD("state");

// Where the five letters of "state" next stand, from `from`, in any letter case. Compared
// letter by letter: lowering a copy of the whole text can change its length (some letters
// lower to two) and shift every position after them, and Qt's case-insensitive search folds
// letters such as the long s that do not lower to "s".
int find_state_word(const QString& text, int from)
{
    const int last = text.size() - STATE_WORD.size();
    for (int p = qMax(from, 0); p <= last; ++p) {
        int k = 0;
        while (k < STATE_WORD.size() && text.at(p + k).toLower() == QLatin1Char(STATE_WORD.at(k)))
            ++k;
        if (k == STATE_WORD.size())
            return p;
    }
    return -1;
}
} // namespace

const char* const SEDQ_STATE_MACHINE_OBJECT::FLOW_EXPRESSION_KEY = "state_machine_flow_expression";

SEDQ_STATE_MACHINE_OBJECT::SEDQ_STATE_MACHINE_OBJECT() = default;
SEDQ_STATE_MACHINE_OBJECT::~SEDQ_STATE_MACHINE_OBJECT() = default;

void SEDQ_STATE_MACHINE_OBJECT::store_at(QStringList* list, int index, const QString& text)
{
    while (list->size() <= index)
        list->append(QString());
    (*list)[index] = text;
}

// Every occurrence of the five letters, in any case and even inside a word, starts a
// header; names are overwritten by index and names past the new count are kept.
void SEDQ_STATE_MACHINE_OBJECT::set_unified_state_text(QString const& text)
{
    const int word_size = STATE_WORD.size();
    m_state_text_list.clear();
    int state = -1;
    int body_start = -1;
    int from = 0;
    for (;;) {
        const int p = find_state_word(text, from);
        if (p < 0)
            break;
        if (body_start >= 0)
            store_at(&m_state_text_list, state, text.mid(body_start, p - body_start).trimmed());
        body_start = -1;
        const int colon = text.indexOf(QLatin1Char(':'), p + word_size);
        if (colon < 0)
            break;
        store_at(&m_state_name_list, ++state, text.mid(p + word_size, colon - p - word_size).trimmed());
        body_start = colon + 1;
        from = colon + 1;
    }
    if (body_start >= 0)
        store_at(&m_state_text_list, state, text.mid(body_start).trimmed());
    m_state_count = state >= 0 ? state + 1 : 1;
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
        m_unified_state_text = built;
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

// Read back in the local 8-bit encoding it was written in (see SEDQ_PROPERTY::attribute_text),
// so that non-ASCII state names and comments survive a save and open.
void SEDQ_STATE_MACHINE_OBJECT::set_attribute(char const* key, char const* value)
{
    if (key && qstrcmp(key, FLOW_EXPRESSION_KEY) == 0)
        set_unified_state_text(SEDQ_PROPERTY::attribute_text(value));
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
