// SEDQ_OBJECT: kinds from palette words, the operator settings, the name texts and the text
// drawn in the box.
#include "sedq/advanced_trigger/sedq_object.h"

namespace
{
constexpr int TALL_BOX_HEIGHT = 100;

// The part after the last "|" of a hierarchical path, marked as cut with the ellipsis.
QString leaf_of(const QString& path, bool with_ellipsis)
{
    const int bar = path.lastIndexOf(QLatin1Char('|'));
    if (bar < 0)
        return path;
    const QString leaf = path.mid(bar + 1);
    return with_ellipsis ? QLatin1String("...") + leaf : leaf;
}
} // namespace

void SEDQ_OBJECT::set_type(const QString& library_text)
{
    for (int i = 0; i < LIBRARY_TYPE_COUNT; ++i)
        if (library_text == QLatin1String(LIBRARY_STRING[i]))
        {
            set_library_type(SEDQ_LIBRARY_TYPE(i));
            return;
        }
}

// The palette keeps its entries in runs of one kind: the comparisons, bitwise, logical and
// reduction operators each in the order of their setting texts.
void SEDQ_OBJECT::set_library_type(SEDQ_LIBRARY_TYPE type)
{
    struct RUN
    {
        SEDQ_LIBRARY_TYPE first, last;
        SEDQ_OBJECT_TYPE kind;
        SEDQ_PROPERTY::SEDQ_INT_PROPERTY setting;
    };
    static const RUN runs[] = {
        {LIBRARY_LESS_THAN, LIBRARY_GREATER_THAN, COMPARISON_OPERATOR, SEDQ_PROPERTY::COMPARISON},
        {LIBRARY_BITWISE_COMPLEMENT, LIBRARY_BITWISE_XOR, BITWISE_OPERATOR, SEDQ_PROPERTY::BITWISE},
        {LIBRARY_LOGICAL_NOT, LIBRARY_LOGICAL_XOR, LOGICAL_OPERATOR, SEDQ_PROPERTY::LOGICAL},
        {LIBRARY_REDUCTION_AND, LIBRARY_REDUCTION_XOR, REDUCTION_OPERATOR, SEDQ_PROPERTY::REDUCTION},
        {LIBRARY_CONTINUOUS_COUNTER, LIBRARY_STATE_COUNTER, COUNTER_OPERATOR, SEDQ_PROPERTY::COUNTER_TYPE},
    };
    for (const RUN& run : runs)
        if (type >= run.first && type <= run.last)
        {
            set_type(run.kind);
            m_property.set(run.setting, type - run.first);
            if (run.kind == COUNTER_OPERATOR)
                m_property.set(SEDQ_PROPERTY::COUNTER_HOLD, 0);
            return;
        }
    switch (type)
    {
    case LIBRARY_EDGE_LEVEL_DETECTOR:
        set_type(EDGE_LEVEL_DETECTOR);
        break;
    case LIBRARY_BIT_VALUE:
        set_type(BIT_VALUE);
        m_property.set(SEDQ_PROPERTY::BIT_VALUE, 0);
        break;
    case LIBRARY_BUS_VALUE:
        set_type(BUS_VALUE);
        break;
    case LIBRARY_BUS:
        set_type(BUS);
        break;
    case LIBRARY_LEFT_SHIFT:
    case LIBRARY_RIGHT_SHIFT:
        set_type(SHIFT_OPERATOR);
        m_property.set(SEDQ_PROPERTY::SHIFT_TYPE, SHIFT_LOGICAL);
        m_property.set(SEDQ_PROPERTY::SHIFT_DIRECTION, type == LIBRARY_LEFT_SHIFT ? SHIFT_LEFT : SHIFT_RIGHT);
        break;
    case LIBRARY_CUSTOM_TRIGGER_HDL:
        set_type(CUSTOM_TRIGGER_HDL);
        break;
    default:
        break;
    }
}

SEDQ_OBJECT::SEDQ_COMPARISON_TYPE SEDQ_OBJECT::get_comparison_type() const
{
    return SEDQ_COMPARISON_TYPE(m_property[SEDQ_PROPERTY::COMPARISON]);
}

void SEDQ_OBJECT::set_comparison_type(SEDQ_COMPARISON_TYPE type)
{
    m_property.set(SEDQ_PROPERTY::COMPARISON, int(type));
}

SEDQ_OBJECT::SEDQ_SIGNED_COMPARISON_TYPE SEDQ_OBJECT::get_signed_comparison_type() const
{
    return SEDQ_SIGNED_COMPARISON_TYPE(m_property[SEDQ_PROPERTY::SIGNED_COMPARISON]);
}

void SEDQ_OBJECT::set_signed_comparison_type(SEDQ_SIGNED_COMPARISON_TYPE type)
{
    m_property.set(SEDQ_PROPERTY::SIGNED_COMPARISON, int(type));
}

void SEDQ_OBJECT::set_name(char const* name)
{
    m_property.set(SEDQ_PROPERTY::NAME, QString::fromLocal8Bit(name));
}

void SEDQ_OBJECT::set_bus_name(char const* name)
{
    m_property.set(SEDQ_PROPERTY::BUS_NAME, QString::fromLocal8Bit(name));
}

void SEDQ_OBJECT::set_pattern(char const* pattern)
{
    m_property.set(SEDQ_PROPERTY::PATTERN, QString::fromLocal8Bit(pattern));
}

void SEDQ_OBJECT::set_alias(const QString& alias)
{
    m_property.set(SEDQ_PROPERTY::ALIAS, alias);
}

QString SEDQ_OBJECT::get_short_name(bool with_ellipsis) const
{
    return leaf_of(get_type() == BUS ? get_alias() : get_name(), with_ellipsis);
}

QString SEDQ_OBJECT::get_short_bus_name(bool with_ellipsis) const
{
    return leaf_of(get_bus_name(), with_ellipsis);
}

// A collapsed box with an alias shows the alias; a short box the most telling text it has;
// a tall box (an operator) its symbol.
QString SEDQ_OBJECT::get_symbol() const
{
    QString text = QLatin1String(DISPLAY_TYPES[get_display_type()].symbol);
    const bool collapsed = m_property[SEDQ_PROPERTY::EXPANDED] != 1;
    if (!get_alias().isEmpty() && (collapsed || get_height() < TALL_BOX_HEIGHT))
        text = get_alias();
    else if (get_height() < TALL_BOX_HEIGHT)
    {
        if (get_type() == BUS && !get_bus_name().isEmpty())
            text = get_short_bus_name(false);
        else if (get_type() == NODE && !get_name().isEmpty())
            text = get_short_name(false);
        else if (get_type() == BUS_VALUE)
        {
            const QString value = get_bus_value(-1, nullptr, nullptr, nullptr);
            if (!value.isEmpty())
                text = value;
        }
    }
    return append_data_delay_and_pipeline(text);
}
