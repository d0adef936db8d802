// SEDQ_OBJECT: how many bits an object's inputs and output carry, from the port tables and the
// tree. A width asks only downwards (inputs) except where a constant lets its consumer decide,
// which asks upwards once, so no width question comes back to the object that asked it.
#include "sedq/advanced_trigger/sedq_object.h"

namespace
{
// The sum of the inputs' output widths (a bus of its parts); unknown if any part is.
int sum_of_widths(const QList<SEDQ_OBJECT*>& inputs)
{
    int sum = 0;
    for (const SEDQ_OBJECT* input : inputs)
    {
        const int width = input->get_output_width(false);
        if (width == SEDQ_OBJECT::UNKNOWN_WIDTH)
            return SEDQ_OBJECT::UNKNOWN_WIDTH;
        sum += width;
    }
    return sum;
}

// The common width of the first `count` inputs: an unknown width takes the next known one,
// and two known widths that differ give `mismatch`.
int common_width(const QList<SEDQ_OBJECT*>& inputs, int count, bool ask_consumer, int mismatch)
{
    int width = inputs.first()->get_output_width(ask_consumer);
    for (int i = 1; i < inputs.size() && i < count; ++i)
    {
        const int next = inputs.at(i)->get_output_width(ask_consumer);
        if (width == SEDQ_OBJECT::UNKNOWN_WIDTH)
            width = next;
        else if (next != SEDQ_OBJECT::UNKNOWN_WIDTH && next != width)
            return mismatch;
    }
    return width;
}
} // namespace

int SEDQ_OBJECT::get_output_width(bool ask_consumer) const
{
    const SEDQ_DISPLAY_TYPE display = get_display_type();
    if (DISPLAY_TYPES[display].output_type == PORT_BIT)
        return 1;
    if (get_type() == BUS)
        return sum_of_widths(m_children);
    const int count = DISPLAY_TYPES[display].input_count;
    if (count == 0)
        return ask_consumer && m_parent != nullptr ? m_parent->get_input_width() : UNKNOWN_WIDTH;
    if (m_children.isEmpty() || (count != ANY_INPUT_COUNT && count != m_children.size()))
        return UNKNOWN_WIDTH;
    return common_width(m_children, count, ask_consumer, UNKNOWN_WIDTH);
}

int SEDQ_OBJECT::get_input_width() const
{
    const SEDQ_DISPLAY_TYPE display = get_display_type();
    const int count = DISPLAY_TYPES[display].input_count;
    switch (DISPLAY_TYPES[display].input_type)
    {
    case PORT_NONE:
        return 0;
    case PORT_BIT:
        return 1;
    default:
        break;
    }
    if (count == ANY_INPUT_COUNT)
        return sum_of_widths(m_children);
    if (m_children.isEmpty() || m_children.size() != count)
        return UNKNOWN_WIDTH;
    const int width = common_width(m_children, count, false, MISMATCHED_WIDTH);
    // A bus operator between bus ports passes its width through: the consumer decides.
    if (width == UNKNOWN_WIDTH && DISPLAY_TYPES[display].output_type == PORT_BUS && m_parent != nullptr &&
        DISPLAY_TYPES[m_parent->get_display_type()].input_type == PORT_BUS)
        return m_parent->get_input_width();
    return width;
}
