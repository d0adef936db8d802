// SEDQ_PROPERTY: which properties a kind takes, which may change at run time, and the union of
// the bags of a multiple selection.
#include "sedq/advanced_trigger/sedq_object.h"
#include "sedq/advanced_trigger/sedq_property.h"
#include "sedq/model/sedq_verify.h"

namespace
{
constexpr int INT_BIT_OFFSET = 8;
} // namespace

unsigned int SEDQ_PROPERTY::kind_mask() const
{
    const int kind = m_int[NORMAL_COPY][TYPE].value;
    if (kind < 0 || kind >= SEDQ_OBJECT::OBJECT_TYPE_COUNT)
        return 0;
    return SEDQ_OBJECT::KINDS[kind].properties;
}

// The kind is structural, so it is read from the normal copy whatever the context.
bool SEDQ_PROPERTY::is_used_bit(int bit) const
{
    const unsigned int mask =
        m_int[NORMAL_COPY][TYPE].value == SEDQ_OBJECT::UNKNOWN ? m_union_mask : kind_mask();
    return (mask & (1u << bit)) != 0;
}

bool SEDQ_PROPERTY::is_used(SEDQ_STRING_PROPERTY property) const
{
    return is_used_bit(property);
}

bool SEDQ_PROPERTY::is_used(SEDQ_INT_PROPERTY property) const
{
    return is_used_bit(INT_BIT_OFFSET + property);
}

bool SEDQ_PROPERTY::get_configurable(bool runtime_configurable, bool user_configurable, bool* configurable,
                                     bool* selectable) const
{
    *selectable = user_configurable;
    *configurable = user_configurable ? m_int[NORMAL_COPY][CONFIGURABLE].value == 0 : runtime_configurable;
    return true;
}

bool SEDQ_PROPERTY::get_configurable(SEDQ_INT_PROPERTY property, bool* configurable, bool* selectable) const
{
    if (!SEDQ_VERIFY(property >= 0 && property < INT_PROPERTY_COUNT))
        return false;
    const INT_ROW& row = INT_TABLE[property];
    return get_configurable(row.runtime_configurable, row.user_configurable, configurable, selectable);
}

bool SEDQ_PROPERTY::get_configurable(SEDQ_STRING_PROPERTY property, bool* configurable,
                                     bool* selectable) const
{
    if (!SEDQ_VERIFY(property >= 0 && property < STRING_PROPERTY_COUNT))
        return false;
    const STRING_ROW& row = STRING_TABLE[property];
    return get_configurable(row.runtime_configurable, row.user_configurable, configurable, selectable);
}

bool SEDQ_PROPERTY::get_configurable_text(bool runtime_configurable, bool user_configurable,
                                          QString* text) const
{
    bool configurable = false;
    bool selectable = false;
    get_configurable(runtime_configurable, user_configurable, &configurable, &selectable);
    SEDQ_OBJECT::SEDQ_CONFIGURABLE_TEXT which = SEDQ_OBJECT::CONFIGURABLE_NEVER;
    if (selectable)
        which = configurable ? SEDQ_OBJECT::CONFIGURABLE_YES : SEDQ_OBJECT::CONFIGURABLE_NO;
    else if (runtime_configurable)
        which = SEDQ_OBJECT::CONFIGURABLE_ALWAYS;
    *text = QLatin1String(SEDQ_OBJECT::CONFIGURABLE_STRING[which]);
    return true;
}

bool SEDQ_PROPERTY::get_configurable_text(SEDQ_INT_PROPERTY property, QString* text) const
{
    if (!SEDQ_VERIFY(property >= 0 && property < INT_PROPERTY_COUNT))
        return false;
    return get_configurable_text(INT_TABLE[property].runtime_configurable,
                                 INT_TABLE[property].user_configurable, text);
}

bool SEDQ_PROPERTY::get_configurable_text(SEDQ_STRING_PROPERTY property, QString* text) const
{
    if (!SEDQ_VERIFY(property >= 0 && property < STRING_PROPERTY_COUNT))
        return false;
    return get_configurable_text(STRING_TABLE[property].runtime_configurable,
                                 STRING_TABLE[property].user_configurable, text);
}

// One object has one `configurable` setting, shared by all its selectable properties.
bool SEDQ_PROPERTY::set_configurable(SEDQ_INT_PROPERTY, bool configurable)
{
    set(CONFIGURABLE, configurable ? 0 : 1, NORMAL_COPY);
    return true;
}

bool SEDQ_PROPERTY::set_configurable(SEDQ_STRING_PROPERTY, bool configurable)
{
    set(CONFIGURABLE, configurable ? 0 : 1, NORMAL_COPY);
    return true;
}

// Both copies are folded, so the union needs no context to resolve: a bag that stands for a
// selection belongs to no object, and whichever copy the dialog then reads holds the union.
void SEDQ_PROPERTY::union_property(const SEDQ_PROPERTY& other)
{
    if (!m_union_started)
    {
        m_union_mask = other.kind_mask();
        *this = other;
        m_union_started = true;
        return;
    }
    m_union_mask &= other.kind_mask();
    note_change(true);
    for (int copy = 0; copy < 2; ++copy)
    {
        for (int i = 0; i < STRING_PROPERTY_COUNT; ++i)
        {
            STRING_ENTRY& mine = m_string[copy][i];
            const STRING_ENTRY& theirs = other.m_string[copy][i];
            if (!(mine.is_defined && theirs.is_defined && mine.value == theirs.value))
                mine = {QString(), false};
        }
        for (int i = 0; i < INT_PROPERTY_COUNT; ++i)
        {
            INT_ENTRY& mine = m_int[copy][i];
            const INT_ENTRY& theirs = other.m_int[copy][i];
            if (!(mine.is_defined && theirs.is_defined && mine.value == theirs.value))
                mine = {INT_TABLE[i].default_value, false, false};
        }
    }
}
