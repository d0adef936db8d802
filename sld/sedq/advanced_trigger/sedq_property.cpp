// Property tables, copy resolution, setting texts and the attribute reader of an object.
#include "sedq/advanced_trigger/sedq_property.h"

#include "sedq/advanced_trigger/sedq_object.h"
#include "sedq/model/sedq_verify.h"

#include <QTextCodec>

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

const SEDQ_PROPERTY::INT_ROW SEDQ_PROPERTY::INT_TABLE[INT_PROPERTY_COUNT] = {
    {0, "selected", "", 0, false, false},
    {1, "expanded", "", 0, false, false},
    {2, "first_port_empty", "", 0, false, false},
    {3, "top", "", 0, false, false},
    {4, "left", "", 0, false, false},
    {5, "configurable", "", 0, false, false},
    {6, "type", "Object Type", 0, false, false},
    {7, "display_format", "Bus Value Radix", 1, true, false},
    {8, "bit_order", "Bit Order", 0, false, false},
    {9, "bit_value", "Bit Value", 0, true, true},
    {10, "comparison", "Comparison Type", 2, true, true},
    {11, "signed_comparison", "Signed/Unsigned Type", 0, false, false},
    {12, "bitwise", "Bitwise Operator Type", 1, false, false},
    {13, "logical", "Logical Operator Type", 1, false, false},
    {14, "reduction", "Reduction Operator Type", 1, false, false},
    {15, "shift_distance", "Shift Distance", 0, true, false},
    {16, "shift_direction", "Shift Direction", 0, true, false},
    {17, "shift_type", "Shift Type", 0, false, false},
    {18, "pipeline_length", "Pipeline", 0, false, false},
    {19, "data_delay", "Data Delay", 0, false, false},
    {20, "counter_value", "Counter Value", 1, true, false},
    {21, "max_counter_value", "Max Counter Value", 255, false, false},
    {22, "counter_type", "Counter Type", 1, true, false},
    {23, "counter_hold", "Counter Hold", 0, true, false},
};

const SEDQ_PROPERTY::STRING_ROW SEDQ_PROPERTY::STRING_TABLE[STRING_PROPERTY_COUNT] = {
    {0, "name", "", false, false},
    {1, "alias", "", false, false},
    {2, "pattern", "Edge & Level Detector Pattern", true, false},
    {3, "bus_name", "Bus Name", false, false},
    {4, "bus_value", "Bus Value", true, true},
    {5, "mnemonic_table", "Mnemonic Table", true, true},
    {6, "module_name", "Custom HDL Module Name", false, false},
    {7, "config_bitstream", "Configuration Bitstream", true, false},
};

namespace
{
const char POWERUP_PREFIX[] = "powerup_";
const int POWERUP_PREFIX_LENGTH = 8;

bool in_range(int property, int count)
{
    return property >= 0 && property < count;
}
} // namespace

namespace
{
// The integer entries of a new bag, both copies, worked out once: every object made (each one
// of every undo snapshot) starts from them.
const SEDQ_PROPERTY::INT_ENTRY* fresh_int_entries()
{
    using P = SEDQ_PROPERTY;
    static const auto fresh = [] {
        std::array<P::INT_ENTRY, 2 * P::INT_PROPERTY_COUNT> entries{};
        for (int copy = 0; copy < 2; ++copy) {
            P::INT_ENTRY* row = &entries[size_t(copy * P::INT_PROPERTY_COUNT)];
            for (int i = 0; i < P::INT_PROPERTY_COUNT; ++i)
                row[i].value = P::INT_TABLE[i].default_value;
            row[P::SHIFT_DISTANCE].is_blank = true;
            row[P::DATA_DELAY].is_blank = true;
            row[P::COUNTER_VALUE].is_blank = true;
        }
        return entries;
    }();
    return fresh.data();
}
} // namespace

SEDQ_PROPERTY::SEDQ_PROPERTY()
{
    std::copy_n(fresh_int_entries(), 2 * INT_PROPERTY_COUNT, &m_int[0][0]);
}

void SEDQ_PROPERTY::reset()
{
    note_change(true);
    const SEDQ_PROPERTY fresh;
    std::copy(&fresh.m_int[0][0], &fresh.m_int[0][0] + 2 * INT_PROPERTY_COUNT, &m_int[0][0]);
    std::copy(&fresh.m_string[0][0], &fresh.m_string[0][0] + 2 * STRING_PROPERTY_COUNT, &m_string[0][0]);
    m_union_mask = 0;
    m_union_started = false;
    m_parent = nullptr;
}

SEDQ_PROPERTY::~SEDQ_PROPERTY() = default;

SEDQ_PROPERTY::SEDQ_PROPERTY(const SEDQ_PROPERTY& other) : SEDQ_PROPERTY()
{
    *this = other;
}

SEDQ_PROPERTY& SEDQ_PROPERTY::operator=(const SEDQ_PROPERTY& other)
{
    note_change(true);
    for (int copy = 0; copy < 2; ++copy) {
        for (int i = 0; i < INT_PROPERTY_COUNT; ++i)
            if (other.m_int[copy][i].is_defined)
                m_int[copy][i] = other.m_int[copy][i];
        for (int i = 0; i < STRING_PROPERTY_COUNT; ++i)
            if (other.m_string[copy][i].is_defined)
                m_string[copy][i] = other.m_string[copy][i];
    }
    return *this;
}

const char* const* SEDQ_PROPERTY::enum_texts(int property, int* count)
{
    struct ENUM_TEXTS
    {
        int property;
        const char* const* texts;
        int count;
    };
    static const ENUM_TEXTS tables[] = {
        {TYPE, SEDQ_OBJECT::OBJECT_STRING, SEDQ_OBJECT::OBJECT_TYPE_COUNT},
        {DISPLAY_FORMAT, SEDQ_OBJECT::DISPLAY_FORMAT_STRING, 5},
        {BIT_ORDER, SEDQ_OBJECT::BIT_ORDER_STRING, 2},
        {BIT_VALUE, SEDQ_OBJECT::BIT_VALUE_STRING, 2},
        {COMPARISON, SEDQ_OBJECT::COMPARISON_TYPE_STRING, 8},
        {SIGNED_COMPARISON, SEDQ_OBJECT::SIGNED_COMPARISON_TYPE_STRING, 2},
        {BITWISE, SEDQ_OBJECT::BITWISE_OPERATOR_TYPE_STRING, 4},
        {LOGICAL, SEDQ_OBJECT::LOGICAL_OPERATOR_TYPE_STRING, 4},
        {REDUCTION, SEDQ_OBJECT::REDUCTION_OPERATOR_TYPE_STRING, 3},
        {SHIFT_DIRECTION, SEDQ_OBJECT::SHIFT_DIRECTION_STRING, 2},
        {SHIFT_TYPE, SEDQ_OBJECT::SHIFT_TYPE_STRING, 3},
        {COUNTER_TYPE, SEDQ_OBJECT::COUNTER_TYPE_STRING, 3},
        {COUNTER_HOLD, SEDQ_OBJECT::COUNTER_HOLD_TYPE_STRING, 2},
    };
    for (const ENUM_TEXTS& t : tables)
        if (t.property == property) {
            *count = t.count;
            return t.texts;
        }
    *count = 0;
    return nullptr;
}

int SEDQ_PROPERTY::resolve_context(bool runtime_configurable, bool user_configurable) const
{
    if (!runtime_configurable)
        return NORMAL_COPY;
    if (user_configurable && m_int[NORMAL_COPY][CONFIGURABLE].value != 0)
        return NORMAL_COPY;
    if (!SEDQ_VERIFY(this->m_parent != NULL))
        return NORMAL_COPY;
    return m_parent->is_powerup_trigger() ? POWERUP_COPY : NORMAL_COPY;
}

int SEDQ_PROPERTY::resolve_int(int property, SEDQ_IS_POWERUP_TRIGGER copy) const
{
    if (copy != BY_CONTEXT)
        return copy == POWERUP_COPY ? POWERUP_COPY : NORMAL_COPY;
    return resolve_context(INT_TABLE[property].runtime_configurable, INT_TABLE[property].user_configurable);
}

int SEDQ_PROPERTY::resolve_string(int property, SEDQ_IS_POWERUP_TRIGGER copy) const
{
    if (copy != BY_CONTEXT)
        return copy == POWERUP_COPY ? POWERUP_COPY : NORMAL_COPY;
    return resolve_context(STRING_TABLE[property].runtime_configurable, STRING_TABLE[property].user_configurable);
}

namespace
{
quint64 changes = 0;
quint64 content_changes = 0;
} // namespace

quint64 SEDQ_PROPERTY::change_count()
{
    return changes;
}

quint64 SEDQ_PROPERTY::content_change_count()
{
    return content_changes;
}

void SEDQ_PROPERTY::note_change(bool content)
{
    ++changes;
    if (content)
        ++content_changes;
}

// Where the object stands and how it is shown; the rest makes what it means.
bool SEDQ_PROPERTY::is_layout_property(int property)
{
    return property == LEFT || property == TOP || property == SELECTED || property == EXPANDED;
}

// A property number outside the tables gets a scratch entry marked undefined, so that every
// caller that checks the mark (the storing getters, the setting texts) produces nothing.
const SEDQ_PROPERTY::INT_ENTRY& SEDQ_PROPERTY::get_int_data(int property, SEDQ_IS_POWERUP_TRIGGER copy) const
{
    static INT_ENTRY scratch;
    if (!SEDQ_VERIFY(in_range(property, INT_PROPERTY_COUNT))) {
        scratch = INT_ENTRY();
        scratch.is_defined = false;
        return scratch;
    }
    return m_int[resolve_int(property, copy)][property];
}

// Writable access may change the entry: it counts as a change.
SEDQ_PROPERTY::INT_ENTRY& SEDQ_PROPERTY::get_int_data(int property, SEDQ_IS_POWERUP_TRIGGER copy)
{
    note_change(!is_layout_property(property));
    return const_cast<INT_ENTRY&>(std::as_const(*this).get_int_data(property, copy));
}

const SEDQ_PROPERTY::STRING_ENTRY& SEDQ_PROPERTY::get_string_data(int property, SEDQ_IS_POWERUP_TRIGGER copy) const
{
    static STRING_ENTRY scratch;
    if (!SEDQ_VERIFY(in_range(property, STRING_PROPERTY_COUNT))) {
        scratch = STRING_ENTRY();
        return scratch;
    }
    return m_string[resolve_string(property, copy)][property];
}

SEDQ_PROPERTY::STRING_ENTRY& SEDQ_PROPERTY::get_string_data(int property, SEDQ_IS_POWERUP_TRIGGER copy)
{
    note_change(true);
    return const_cast<STRING_ENTRY&>(std::as_const(*this).get_string_data(property, copy));
}

bool SEDQ_PROPERTY::get(SEDQ_INT_PROPERTY property, int* value) const
{
    const INT_ENTRY& entry = get_int_data(property, BY_CONTEXT);
    if (!entry.is_defined)
        return false;
    *value = entry.value;
    return true;
}

void SEDQ_PROPERTY::set(SEDQ_INT_PROPERTY property, int value, SEDQ_IS_POWERUP_TRIGGER copy)
{
    INT_ENTRY& entry = get_int_data(property, copy);
    entry.value = value;
    entry.is_blank = false;
    entry.is_defined = true;
}

void SEDQ_PROPERTY::set(SEDQ_STRING_PROPERTY property, const QString& value, SEDQ_IS_POWERUP_TRIGGER copy)
{
    STRING_ENTRY& entry = get_string_data(property, copy);
    entry.value = value;
    entry.is_defined = true;
}

bool SEDQ_PROPERTY::get(SEDQ_INT_PROPERTY property, QString* text, SEDQ_IS_POWERUP_TRIGGER copy) const
{
    const INT_ENTRY& entry = get_int_data(property, copy);
    if (!entry.is_defined || entry.is_blank || !in_range(property, INT_PROPERTY_COUNT) ||
        entry.value == INT_TABLE[property].default_value)
        return false;
    return get_setting_text(property, text, copy);
}

bool SEDQ_PROPERTY::get(SEDQ_STRING_PROPERTY property, QString* text, SEDQ_IS_POWERUP_TRIGGER copy) const
{
    const STRING_ENTRY& entry = get_string_data(property, copy);
    if (!entry.is_defined || entry.value.isEmpty())
        return false;
    *text = entry.value;
    return true;
}

// An enumerated value outside its text table has no setting text: it reads as undefined
// rather than as a word that would name another value.
bool SEDQ_PROPERTY::get_setting_text(SEDQ_INT_PROPERTY property, QString* text, SEDQ_IS_POWERUP_TRIGGER copy) const
{
    const INT_ENTRY& entry = get_int_data(property, copy);
    text->clear();
    if (!entry.is_defined)
        return false;
    if (entry.is_blank)
        return true;
    int count = 0;
    const char* const* texts = enum_texts(property, &count);
    if (!texts) {
        *text = QString::number(entry.value);
        return true;
    }
    if (entry.value < 0 || entry.value >= count)
        return false;
    *text = QString::fromLatin1(texts[entry.value]);
    return true;
}

bool SEDQ_PROPERTY::set_setting_text(SEDQ_INT_PROPERTY property, const QString& text, SEDQ_IS_POWERUP_TRIGGER copy)
{
    INT_ENTRY& entry = get_int_data(property, copy);
    entry.is_blank = false;
    int count = 0;
    const char* const* texts = enum_texts(property, &count);
    if (texts) {
        for (int i = 0; i < count; ++i)
            if (text == QLatin1String(texts[i])) {
                entry.value = i;
                entry.is_defined = true;
                return true;
            }
        return false;
    }
    entry.is_defined = true;
    entry.is_blank = text.isEmpty();
    entry.value = text.isEmpty() ? 0 : text.toInt();
    return true;
}

bool SEDQ_PROPERTY::get_setting_text(SEDQ_STRING_PROPERTY property, QString* text, SEDQ_IS_POWERUP_TRIGGER copy) const
{
    const STRING_ENTRY& entry = get_string_data(property, copy);
    *text = entry.is_defined ? entry.value : QString();
    return true;
}

bool SEDQ_PROPERTY::set_setting_text(SEDQ_STRING_PROPERTY property, const QString& text, SEDQ_IS_POWERUP_TRIGGER copy)
{
    set(property, text, copy);
    return true;
}

// The writer stores texts in the local 8-bit encoding, so they are read back in it; reading
// them as Latin-1 would turn every non-ASCII name into two or more wrong characters on each
// save and open. Bytes that are no valid text in the local encoding (a file written under
// another locale) are taken as Latin-1 rather than replaced, so no byte is lost.
QString SEDQ_PROPERTY::attribute_text(char const* text)
{
    if (text == nullptr)
        return QString();
    const int length = int(qstrlen(text));
    QTextCodec* codec = QTextCodec::codecForLocale();
    if (codec == nullptr)
        return QString::fromLatin1(text, length);
    QTextCodec::ConverterState state;
    const QString decoded = codec->toUnicode(text, length, &state);
    return state.invalidChars == 0 && state.remainingChars == 0 ? decoded : QString::fromLatin1(text, length);
}

void SEDQ_PROPERTY::set(char const* key, char const* value)
{
    if (!SEDQ_VERIFY(key != NULL))
        return;
    set(attribute_text(key), attribute_text(value));
}

void SEDQ_PROPERTY::set(const QString& key, const QString& value)
{
    const bool powerup = key.startsWith(QLatin1String(POWERUP_PREFIX, POWERUP_PREFIX_LENGTH));
    const QString plain = powerup ? key.mid(POWERUP_PREFIX_LENGTH) : key;
    const SEDQ_IS_POWERUP_TRIGGER copy = powerup ? POWERUP_COPY : NORMAL_COPY;
    for (int i = 0; i < STRING_PROPERTY_COUNT; ++i)
        if (plain == QLatin1String(STRING_TABLE[i].key)) {
            set(SEDQ_STRING_PROPERTY(i), value, copy);
            return;
        }
    for (int i = 0; i < INT_PROPERTY_COUNT; ++i)
        if (plain == QLatin1String(INT_TABLE[i].key)) {
            set_setting_text(SEDQ_INT_PROPERTY(i), value, copy);
            return;
        }
}

bool SEDQ_PROPERTY::duplicate_trigger(bool to_powerup)
{
    const int from = to_powerup ? NORMAL_COPY : POWERUP_COPY;
    const int to = to_powerup ? POWERUP_COPY : NORMAL_COPY;
    note_change(true);
    for (int i = 0; i < INT_PROPERTY_COUNT; ++i)
        if (INT_TABLE[i].runtime_configurable)
            m_int[to][i] = m_int[from][i];
    for (int i = 0; i < STRING_PROPERTY_COUNT; ++i)
        if (STRING_TABLE[i].runtime_configurable)
            m_string[to][i] = m_string[from][i];
    return true;
}
