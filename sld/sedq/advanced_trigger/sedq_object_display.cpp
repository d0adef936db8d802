// SEDQ_OBJECT: the display type an object's kind and settings give, its long names, and the
// data delay of nodes and buses.
#include "sedq/advanced_trigger/sedq_object.h"

const char* const SEDQ_OBJECT::DISPLAY_STRING[DISPLAY_TYPE_COUNT] = {
    "Unknown", "Condition for Incrementally Routed Nodes", "Advanced Trigger Level Result",
    "Edge and Level Detector", "Node", "Bus", "Constant High", "Constant Low", "Variable High",
    "Variable Low", "Constant Bus Value", "Variable Bus Value",
    // 12..43: four blocks of eight comparisons.
    "Constant Unsigned Less Than", "Constant Unsigned Less Than or Equal To", "Constant Unsigned Equality",
    "Constant Unsigned Inequality", "Constant Unsigned Greater Than or Equal To",
    "Constant Unsigned Greater Than", "Constant Unsigned True", "Constant Unsigned False",
    "Variable Unsigned Less Than", "Variable Unsigned Less Than or Equal To", "Variable Unsigned Equality",
    "Variable Unsigned Inequality", "Variable Unsigned Greater Than or Equal To",
    "Variable Unsigned Greater Than", "Variable Unsigned True", "Variable Unsigned False",
    "Constant Signed Less Than", "Constant Signed Less Than or Equal To", "Constant Signed Equality",
    "Constant Signed Inequality", "Constant Signed Greater Than or Equal To", "Constant Signed Greater Than",
    "Constant Signed True", "Constant Signed False", "Variable Signed Less Than",
    "Variable Signed Less Than or Equal To", "Variable Signed Equality", "Variable Signed Inequality",
    "Variable Signed Greater Than or Equal To", "Variable Signed Greater Than", "Variable Signed True",
    "Variable Signed False",
    // 44..67: operators, shifts, counters, custom HDL.
    "Bitwise Complement", "Bitwise And", "Bitwise Or", "Bitwise Xor", "Logical Not", "Logical And",
    "Logical Or", "Logical Xor", "Reduction And", "Reduction Or", "Reduction Xor", "Logical Left Shift",
    "Logical Right Shift", "Rotate Left Shift", "Rotate Right Shift", "Arithmetic Left Shift",
    "Arithmetic Right Shift", "Registered Continuous Counter", "Registered Event Counter",
    "Registered State Counter", "Dynamic Continuous Counter", "Dynamic Event Counter",
    "Dynamic State Counter", "Custom Trigger HDL"};

namespace
{
// `base + value` for a value in [0, count), else the unknown type.
int offset_or_unknown(int base, int value, int count)
{
    return value >= 0 && value < count ? base + value : 0;
}
} // namespace

// A value is variable (configurable at run time) while "configurable" is 0.
SEDQ_OBJECT::SEDQ_DISPLAY_TYPE SEDQ_OBJECT::get_display_type() const
{
    const bool variable = m_property[SEDQ_PROPERTY::CONFIGURABLE] == 0;
    int display = 0;
    switch (get_type())
    {
    case INCREMENTAL_ROUTE_CONDITION:
    case LEVEL_RESULT:
    case EDGE_LEVEL_DETECTOR:
    case NODE:
    case BUS:
        display = int(get_type());
        break;
    case BIT_VALUE:
        display = (m_property[SEDQ_PROPERTY::BIT_VALUE] == 0 ? 6 : 7) + (variable ? 2 : 0);
        break;
    case BUS_VALUE:
        display = variable ? 11 : 10;
        break;
    case COMPARISON_OPERATOR:
    {
        const bool is_signed = m_property[SEDQ_PROPERTY::SIGNED_COMPARISON] == 1;
        const int base = is_signed ? (variable ? 36 : 28) : (variable ? 20 : 12);
        display = offset_or_unknown(base, m_property[SEDQ_PROPERTY::COMPARISON], 8);
        break;
    }
    case BITWISE_OPERATOR:
        display = offset_or_unknown(44, m_property[SEDQ_PROPERTY::BITWISE], 4);
        break;
    case LOGICAL_OPERATOR:
        display = offset_or_unknown(48, m_property[SEDQ_PROPERTY::LOGICAL], 4);
        break;
    case REDUCTION_OPERATOR:
        display = offset_or_unknown(52, m_property[SEDQ_PROPERTY::REDUCTION], 3);
        break;
    case SHIFT_OPERATOR:
    {
        // Left and right of one shift type stand side by side.
        const int shift = m_property[SEDQ_PROPERTY::SHIFT_TYPE];
        const int right = m_property[SEDQ_PROPERTY::SHIFT_DIRECTION] == 0 ? 0 : 1;
        display = shift >= 0 && shift < 3 ? 55 + 2 * shift + right : 0;
        break;
    }
    case COUNTER_OPERATOR:
    {
        const bool registered = m_property[SEDQ_PROPERTY::COUNTER_HOLD] == 0;
        display = offset_or_unknown(registered ? 61 : 64, m_property[SEDQ_PROPERTY::COUNTER_TYPE], 3);
        break;
    }
    case CUSTOM_TRIGGER_HDL:
        display = 67;
        break;
    default:
        display = 0;
        break;
    }
    return SEDQ_DISPLAY_TYPE(display);
}

QString SEDQ_OBJECT::get_data_delay(bool inherit) const
{
    const SEDQ_OBJECT_TYPE type = get_type();
    if (type != NODE && type != BUS)
        return QString();
    QString delay;
    m_property.get_setting_text(SEDQ_PROPERTY::DATA_DELAY, &delay, SEDQ_PROPERTY::BY_CONTEXT);
    if (delay == QLatin1String("0"))
        delay.clear();
    if (delay.isEmpty() && inherit && type == NODE && m_parent != nullptr && m_parent->get_type() == BUS)
        return m_parent->get_data_delay(false);
    return delay;
}
