#pragma once
// The table of parameter settings on the "Parameters" page of the object properties dialog.
// For now it holds only the parameter descriptions, rendered once when the library loads by
// the get_*_message() functions below.

#include <QString>

class SEDQ_PARAMETER_SETTING_VIEW
{
public:
    static const QString SEDQ_PARAMETER_PATTERN_STR;
    static const QString SEDQ_PARAMETER_BUS_VALUE_STR;
    static const QString SEDQ_PARAMETER_BUS_NAME_STR;
    static const QString SEDQ_PARAMETER_COMPARISON_TYPE_STR;
    static const QString SEDQ_PARAMETER_SIGNED_COMPARISON_TYPE_STR;
    static const QString SEDQ_PARAMETER_BIT_VALUE_STR;
    static const QString SEDQ_PARAMETER_SHIFT_TYPE_STR;
    static const QString SEDQ_PARAMETER_SHIFT_DIRECTION_STR;
    static const QString SEDQ_PARAMETER_SHIFT_DISTANCE_STR;
    static const QString SEDQ_PARAMETER_BUS_DISPLAY_FORMAT_STR;
    static const QString SEDQ_PARAMETER_BIT_ORDER_STR;
    static const QString SEDQ_PARAMETER_PIPELINE_STR;
    static const QString SEDQ_PARAMETER_DATA_DELAY_STR;
    static const QString SEDQ_PARAMETER_BITWISE_OPERATOR_TYPE_STR;
    static const QString SEDQ_PARAMETER_LOGICAL_OPERATOR_TYPE_STR;
    static const QString SEDQ_PARAMETER_REDUCTION_OPERATOR_TYPE_STR;
    static const QString SEDQ_PARAMETER_COUNTER_TYPE_STR;
    static const QString SEDQ_PARAMETER_COUNTER_WIDTH_STR;
    static const QString SEDQ_PARAMETER_COUNTER_VALUE_STR;
    static const QString SEDQ_PARAMETER_COUNTER_HOLD_STR;
    static const QString SEDQ_PARAMETER_MODULE_NAME_STR;
    static const QString SEDQ_PARAMETER_BITSTREAM_STR;
};

// Each builds the parameter's information message, returns its visible text and deletes the
// message. The text does not depend on whether the user suppressed the message.
QString get_pattern_message();
QString get_bus_value_message();
QString get_bus_name_message();
QString get_comparison_type_message();
QString get_signed_comparison_type_message();
QString get_bit_value_message();
QString get_shift_type_message();
QString get_shift_direction_message();
QString get_shift_distance_message();
QString get_bus_display_format_message();
QString get_bit_order_message();
QString get_pipeline_message();
QString get_data_delay_message();
QString get_bitwise_operator_type_message();
QString get_logical_operator_type_message();
QString get_reduction_operator_type_message();
QString get_counter_type_message();
QString get_counter_width_message();
QString get_counter_value_message();
QString get_counter_hold_message();
QString get_module_name_message();
QString get_bitstream_message();
