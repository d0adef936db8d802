// Parameter descriptions of the parameter settings table: one message-text function per
// parameter, used when the library loads.
#include "sedq/advanced_trigger/sedq_parameter_setting_view.h"

#include "sedq/model/msg_sedq.h"
#include "sedq/model/sedq_verify.h"

#include <memory>

namespace
{
// The descriptions are help texts, not notices: they come from the unsuppressed builders
// so a message the user silenced does not leave an empty description behind.
QString text_of(MSG_BASE* message)
{
    const std::unique_ptr<MSG_BASE> owned(message);
    if (!SEDQ_VERIFY(message != NULL))
        return QString();
    return QString::fromLatin1(message->text());
}
} // namespace

QString get_pattern_message()
{
    return text_of(MSG_SEDQ::unsuppressed::I::PARAMETER_PATTERN());
}

QString get_bus_value_message()
{
    return text_of(MSG_SEDQ::unsuppressed::I::PARAMETER_BUS_VALUE());
}

QString get_bus_name_message()
{
    return text_of(MSG_SEDQ::unsuppressed::I::PARAMETER_BUS_NAME());
}

QString get_comparison_type_message()
{
    return text_of(MSG_SEDQ::unsuppressed::I::PARAMETER_COMPARISON_TYPE());
}

QString get_signed_comparison_type_message()
{
    return text_of(MSG_SEDQ::unsuppressed::I::PARAMETER_SIGNED_COMPARISON_TYPE());
}

QString get_bit_value_message()
{
    return text_of(MSG_SEDQ::unsuppressed::I::PARAMETER_BIT_VALUE());
}

QString get_shift_type_message()
{
    return text_of(MSG_SEDQ::unsuppressed::I::PARAMETER_SHIFT_TYPE());
}

QString get_shift_direction_message()
{
    return text_of(MSG_SEDQ::unsuppressed::I::PARAMETER_SHIFT_DIRECTION());
}

QString get_shift_distance_message()
{
    return text_of(MSG_SEDQ::unsuppressed::I::PARAMETER_SHIFT_DISTANCE());
}

QString get_bus_display_format_message()
{
    return text_of(MSG_SEDQ::unsuppressed::I::PARAMETER_BUS_DISPLAY_FORMAT());
}

QString get_bit_order_message()
{
    return text_of(MSG_SEDQ::unsuppressed::I::PARAMETER_BIT_ORDER());
}

QString get_pipeline_message()
{
    return text_of(MSG_SEDQ::unsuppressed::I::PARAMETER_PIPELINE());
}

QString get_data_delay_message()
{
    return text_of(MSG_SEDQ::unsuppressed::I::PARAMETER_DATA_DELAY());
}

QString get_bitwise_operator_type_message()
{
    return text_of(MSG_SEDQ::unsuppressed::I::PARAMETER_BITWISE_OPERATOR_TYPE());
}

QString get_logical_operator_type_message()
{
    return text_of(MSG_SEDQ::unsuppressed::I::PARAMETER_LOGICAL_OPERATOR_TYPE());
}

QString get_reduction_operator_type_message()
{
    return text_of(MSG_SEDQ::unsuppressed::I::PARAMETER_REDUCTION_OPERATOR_TYPE());
}

QString get_counter_type_message()
{
    return text_of(MSG_SEDQ::unsuppressed::I::PARAMETER_COUNTER_TYPE());
}

QString get_counter_width_message()
{
    return text_of(MSG_SEDQ::unsuppressed::I::PARAMETER_COUNTER_WIDTH());
}

QString get_counter_value_message()
{
    return text_of(MSG_SEDQ::unsuppressed::I::PARAMETER_COUNTER_VALUE());
}

QString get_counter_hold_message()
{
    return text_of(MSG_SEDQ::unsuppressed::I::PARAMETER_COUNTER_HOLD());
}

QString get_module_name_message()
{
    return text_of(MSG_SEDQ::unsuppressed::I::PARAMETER_MODULE_NAME());
}

QString get_bitstream_message()
{
    return text_of(MSG_SEDQ::unsuppressed::I::PARAMETER_BITSTREAM());
}
