// SEDQ_OBJECT: the display type an object's kind and settings give, which properties its kind
// takes, and the data delay of nodes and buses.
#include "sedq/advanced_trigger/sedq_object.h"

namespace
{
// `base + value` for a value in [0, count), else the unknown type.
SEDQ_OBJECT::SEDQ_DISPLAY_TYPE offset_or_unknown(SEDQ_OBJECT::SEDQ_DISPLAY_TYPE base, int value, int count)
{
    return value >= 0 && value < count ? SEDQ_OBJECT::SEDQ_DISPLAY_TYPE(base + value)
                                       : SEDQ_OBJECT::DISPLAY_UNKNOWN;
}

SEDQ_OBJECT::SEDQ_DISPLAY_TYPE comparison_base(bool is_signed, bool variable)
{
    if (is_signed)
        return variable ? SEDQ_OBJECT::DISPLAY_VARIABLE_SIGNED_LESS_THAN
                        : SEDQ_OBJECT::DISPLAY_CONSTANT_SIGNED_LESS_THAN;
    return variable ? SEDQ_OBJECT::DISPLAY_VARIABLE_UNSIGNED_LESS_THAN
                    : SEDQ_OBJECT::DISPLAY_CONSTANT_UNSIGNED_LESS_THAN;
}

SEDQ_OBJECT::SEDQ_DISPLAY_TYPE bit_value_display(bool high, bool variable)
{
    if (high)
        return variable ? SEDQ_OBJECT::DISPLAY_VARIABLE_HIGH : SEDQ_OBJECT::DISPLAY_CONSTANT_HIGH;
    return variable ? SEDQ_OBJECT::DISPLAY_VARIABLE_LOW : SEDQ_OBJECT::DISPLAY_CONSTANT_LOW;
}

// Left and right of one shift type stand side by side.
SEDQ_OBJECT::SEDQ_DISPLAY_TYPE shift_display(int type, int direction)
{
    if (type < SEDQ_OBJECT::SHIFT_LOGICAL || type > SEDQ_OBJECT::SHIFT_ARITHMETIC)
        return SEDQ_OBJECT::DISPLAY_UNKNOWN;
    const int right = direction == SEDQ_OBJECT::SHIFT_LEFT ? 0 : 1;
    return SEDQ_OBJECT::SEDQ_DISPLAY_TYPE(SEDQ_OBJECT::DISPLAY_LOGICAL_LEFT_SHIFT + 2 * type + right);
}
} // namespace

// A value is variable (configurable at run time) while "configurable" is 0.
SEDQ_OBJECT::SEDQ_DISPLAY_TYPE SEDQ_OBJECT::get_display_type() const
{
    const bool variable = m_property[SEDQ_PROPERTY::CONFIGURABLE] == 0;
    switch (get_type())
    {
    case INCREMENTAL_ROUTE_CONDITION:
        return DISPLAY_INCREMENTAL_ROUTE_CONDITION;
    case LEVEL_RESULT:
        return DISPLAY_LEVEL_RESULT;
    case EDGE_LEVEL_DETECTOR:
        return DISPLAY_EDGE_LEVEL_DETECTOR;
    case NODE:
        return DISPLAY_NODE;
    case BUS:
        return DISPLAY_BUS;
    case BIT_VALUE:
        return bit_value_display(m_property[SEDQ_PROPERTY::BIT_VALUE] == 0, variable);
    case BUS_VALUE:
        return variable ? DISPLAY_VARIABLE_BUS_VALUE : DISPLAY_CONSTANT_BUS_VALUE;
    case COMPARISON_OPERATOR:
        return offset_or_unknown(comparison_base(is_signed_comparison(), variable),
                                 m_property[SEDQ_PROPERTY::COMPARISON], COMPARISON_TYPE_COUNT);
    case BITWISE_OPERATOR:
        return offset_or_unknown(DISPLAY_BITWISE_COMPLEMENT, m_property[SEDQ_PROPERTY::BITWISE], 4);
    case LOGICAL_OPERATOR:
        return offset_or_unknown(DISPLAY_LOGICAL_NOT, m_property[SEDQ_PROPERTY::LOGICAL], 4);
    case REDUCTION_OPERATOR:
        return offset_or_unknown(DISPLAY_REDUCTION_AND, m_property[SEDQ_PROPERTY::REDUCTION], 3);
    case SHIFT_OPERATOR:
        return shift_display(m_property[SEDQ_PROPERTY::SHIFT_TYPE],
                             m_property[SEDQ_PROPERTY::SHIFT_DIRECTION]);
    case COUNTER_OPERATOR:
    {
        // Hold "Yes" (0) is the registered counter.
        const bool registered = m_property[SEDQ_PROPERTY::COUNTER_HOLD] == 0;
        return offset_or_unknown(registered ? DISPLAY_REGISTERED_CONTINUOUS_COUNTER
                                            : DISPLAY_DYNAMIC_CONTINUOUS_COUNTER,
                                 m_property[SEDQ_PROPERTY::COUNTER_TYPE], 3);
    }
    case CUSTOM_TRIGGER_HDL:
        return DISPLAY_CUSTOM_TRIGGER_HDL;
    default:
        return DISPLAY_UNKNOWN;
    }
}

bool SEDQ_OBJECT::is_signed_comparison() const
{
    return get_type() == COMPARISON_OPERATOR &&
           m_property[SEDQ_PROPERTY::SIGNED_COMPARISON] == SIGNED_COMPARISON;
}

bool SEDQ_OBJECT::allows(SEDQ_PROPERTY::SEDQ_INT_PROPERTY property) const
{
    return (KINDS[get_type()].properties & (1u << (8 + property))) != 0;
}

bool SEDQ_OBJECT::has_own_data_delay() const
{
    if (!allows(SEDQ_PROPERTY::DATA_DELAY))
        return false;
    const SEDQ_PROPERTY::INT_ENTRY& entry =
        m_property.get_int_data(SEDQ_PROPERTY::DATA_DELAY, SEDQ_PROPERTY::BY_CONTEXT);
    return entry.is_defined && !entry.is_blank && entry.value != 0;
}

// A delay of 0 is no delay; a node without one of its own takes its bus's when asked to.
QString SEDQ_OBJECT::get_data_delay(bool inherit) const
{
    QString delay;
    if (has_own_data_delay())
        m_property.get_setting_text(SEDQ_PROPERTY::DATA_DELAY, &delay, SEDQ_PROPERTY::BY_CONTEXT);
    else if (inherit && allows(SEDQ_PROPERTY::DATA_DELAY) && get_type() == NODE && m_parent != nullptr &&
             m_parent->get_type() == BUS)
        return m_parent->get_data_delay(false);
    return delay;
}
