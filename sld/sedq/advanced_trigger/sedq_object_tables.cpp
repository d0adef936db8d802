// SEDQ_OBJECT: the records of kinds and display types, and the texts of palette entries and
// validation errors.
#include "sedq/advanced_trigger/sedq_object.h"

#include "sedq/advanced_trigger/sedq_object_equation.h"

#include "host/afcq.h"

namespace
{
// Applicability bits of the kinds' masks.
constexpr unsigned int string_bit(SEDQ_PROPERTY::SEDQ_STRING_PROPERTY property)
{
    return 1u << property;
}
constexpr unsigned int int_bit(SEDQ_PROPERTY::SEDQ_INT_PROPERTY property)
{
    return 1u << (8 + property);
}
} // namespace

// One record per kind, in the order of SEDQ_OBJECT_TYPE: its word, the properties that apply
// and its equation writer.
const SEDQ_OBJECT::KIND_RECORD SEDQ_OBJECT::KINDS[OBJECT_TYPE_COUNT] = {
    {"", 0, sedq_equation::write_nothing},
    {"condition", 0, sedq_equation::write_incremental_route},
    {"", 0, sedq_equation::write_level_result},
    {"detector", string_bit(SEDQ_PROPERTY::PATTERN) | int_bit(SEDQ_PROPERTY::PIPELINE_LENGTH),
     sedq_equation::write_detector},
    {"", int_bit(SEDQ_PROPERTY::DATA_DELAY), sedq_equation::write_node},
    {"bus",
     string_bit(SEDQ_PROPERTY::BUS_NAME) | int_bit(SEDQ_PROPERTY::BIT_ORDER) |
         int_bit(SEDQ_PROPERTY::DATA_DELAY),
     sedq_equation::write_bus},
    {"bit_value", int_bit(SEDQ_PROPERTY::BIT_VALUE), sedq_equation::write_bit_value},
    {"bus_value", string_bit(SEDQ_PROPERTY::BUS_VALUE) | int_bit(SEDQ_PROPERTY::DISPLAY_FORMAT),
     sedq_equation::write_bus_value},
    {"comparison",
     int_bit(SEDQ_PROPERTY::COMPARISON) | int_bit(SEDQ_PROPERTY::SIGNED_COMPARISON) |
         int_bit(SEDQ_PROPERTY::PIPELINE_LENGTH),
     sedq_equation::write_comparison},
    {"bitwise", int_bit(SEDQ_PROPERTY::BITWISE), sedq_equation::write_bitwise},
    {"logical", int_bit(SEDQ_PROPERTY::LOGICAL), sedq_equation::write_logical},
    {"reduction", int_bit(SEDQ_PROPERTY::REDUCTION), sedq_equation::write_reduction},
    {"shift",
     int_bit(SEDQ_PROPERTY::SHIFT_DISTANCE) | int_bit(SEDQ_PROPERTY::SHIFT_DIRECTION) |
         int_bit(SEDQ_PROPERTY::SHIFT_TYPE),
     sedq_equation::write_shift},
    {"counter",
     int_bit(SEDQ_PROPERTY::COUNTER_VALUE) | int_bit(SEDQ_PROPERTY::MAX_COUNTER_VALUE) |
         int_bit(SEDQ_PROPERTY::COUNTER_TYPE) | int_bit(SEDQ_PROPERTY::COUNTER_HOLD),
     sedq_equation::write_counter},
    {"mvx_custom_trigger_hdl",
     string_bit(SEDQ_PROPERTY::MODULE_NAME) | string_bit(SEDQ_PROPERTY::CONFIG_BITSTREAM) |
         int_bit(SEDQ_PROPERTY::PIPELINE_LENGTH),
     sedq_equation::write_custom_hdl},
};

const char* const SEDQ_OBJECT::LIBRARY_STRING[LIBRARY_TYPE_COUNT] = {
    "Edge & Level Detector", "Bit Value", "Bus Value", "Bus", "Less Than", "Less Than or Equal To", "Equality",
    "Inequality", "Greater Than or Equal To", "Greater Than", "Bitwise Complement", "Bitwise And", "Bitwise Or",
    "Bitwise Xor", "Logical Not", "Logical And", "Logical Or", "Logical Xor", "Reduction And", "Reduction Or",
    "Reduction Xor", "Left Shift", "Right Shift", "Continuous Counter", "Event Counter", "State Counter",
    "Custom Trigger HDL"};

const char* const SEDQ_OBJECT::CONFIGURABLE_STRING[4] = {"Never", "Always", "No", "Yes"};

const char* const SEDQ_OBJECT::ERROR_STRING[ERROR_TYPE_COUNT] = {
    "",
    "Output of the trigger expression must be a single bit.",
    "Input width cannot be determined.",
    "Input objects have different output widths.",
    "Object does not have enough inputs.",
    "Object has an incorrect number of inputs.",
    "Node object is missing a node name.",
    "The value is too large, only 64 bit integers are supported.",
    "The value is larger than the output bus width.",
    "The node name specified is invalid.",
    "The pattern specified contains invalid characters.",
    "The pattern specified doesn't contain enough characters.",
    "The pattern specified contains too many characters.",
    "Counter Operators can only be used in Advanced Trigger 1.",
    "The value is negative, only unsigned 64 bit integers are supported.",
    "The mnemonic table specified is invalid.",
    "The mnemonic symbol specified is invalid.",
    "The bus value specified is invalid.",
    "The input to the shift object must have a width greater than 1.",
    "Data delay for busses can only be used if all inputs are nodes or values.",
    "The counter value is invalid.",
    "The max counter value is invalid.",
    "The counter value is larger than the max counter value.",
    "The bitstream specified contains invalid characters.",
    "The object is missing a module name.",
};

// One record per display type, in the order of SEDQ_DISPLAY_TYPE: name, symbol, equation word,
// inputs, input port, output port, precedence, picture.
const SEDQ_OBJECT::DISPLAY_RECORD SEDQ_OBJECT::DISPLAY_TYPES[DISPLAY_TYPE_COUNT] = {
    {"Unknown", "", "", 0, PORT_NONE, PORT_NONE, NO_PRECEDENCE, AFCQ_ICON_SEDQ_UNKNOWN},
    {"Condition for Incrementally Routed Nodes", "CIRN", "imbpm", 0, PORT_NONE, PORT_BIT, -1,
     AFCQ_ICON_SEDQ_CONDITION_FOR_INCREMENTALLY_ROUTED_NODES},
    {"Advanced Trigger Level Result", "Result", "", 1, PORT_BIT, PORT_NONE, -1,
     AFCQ_ICON_SEDQ_ADVANCED_TRIGGER_LEVEL_RESULT},
    {"Edge and Level Detector", "ELD", "mbpm", ANY_INPUT_COUNT, PORT_BUS, PORT_BIT, -1,
     AFCQ_ICON_SEDQ_EDGE_AND_LEVEL_DETECTOR},
    {"Node", "Node", "", 0, PORT_NONE, PORT_BIT, NO_PRECEDENCE, AFCQ_ICON_SEDQ_NODE},
    {"Bus", "Bus", "", ANY_INPUT_COUNT, PORT_BUS, PORT_BUS, -1, AFCQ_ICON_SEDQ_BUS},
    {"Constant High", "True", "1", 0, PORT_NONE, PORT_BIT, NO_PRECEDENCE, AFCQ_ICON_SEDQ_CONSTANT_HIGH},
    {"Constant Low", "False", "0", 0, PORT_NONE, PORT_BIT, NO_PRECEDENCE, AFCQ_ICON_SEDQ_CONSTANT_LOW},
    {"Variable High", "True", "variable", 0, PORT_NONE, PORT_BIT, NO_PRECEDENCE,
     AFCQ_ICON_SEDQ_VARIABLE_HIGH},
    {"Variable Low", "False", "variable", 0, PORT_NONE, PORT_BIT, NO_PRECEDENCE, AFCQ_ICON_SEDQ_VARIABLE_LOW},
    {"Constant Bus Value", "Constant", "", 0, PORT_NONE, PORT_BUS, NO_PRECEDENCE,
     AFCQ_ICON_SEDQ_CONSTANT_BUS_VALUE},
    {"Variable Bus Value", "Variable", "variable", 0, PORT_NONE, PORT_BUS, NO_PRECEDENCE,
     AFCQ_ICON_SEDQ_VARIABLE_BUS_VALUE},
    // Four blocks of eight comparisons.
    {"Constant Unsigned Less Than", "<", "<", 2, PORT_BUS, PORT_BIT, 22,
     AFCQ_ICON_SEDQ_CONSTANT_UNSIGNED_LESS_THAN},
    {"Constant Unsigned Less Than or Equal To", "<=", "<=", 2, PORT_BUS, PORT_BIT, 18,
     AFCQ_ICON_SEDQ_CONSTANT_UNSIGNED_LESS_THAN_OR_EQUAL_TO},
    {"Constant Unsigned Equality", "=", "==", 2, PORT_BUS, PORT_BIT, 14,
     AFCQ_ICON_SEDQ_CONSTANT_UNSIGNED_EQUALITY},
    {"Constant Unsigned Inequality", "!=", "!=", 2, PORT_BUS, PORT_BIT, 12,
     AFCQ_ICON_SEDQ_CONSTANT_UNSIGNED_INEQUALITY},
    {"Constant Unsigned Greater Than or Equal To", ">=", ">=", 2, PORT_BUS, PORT_BIT, 16,
     AFCQ_ICON_SEDQ_CONSTANT_UNSIGNED_GREATER_THAN_OR_EQUAL_TO},
    {"Constant Unsigned Greater Than", ">", ">", 2, PORT_BUS, PORT_BIT, 20,
     AFCQ_ICON_SEDQ_CONSTANT_UNSIGNED_GREATER_THAN},
    {"Constant Unsigned True", "True", "1", 2, PORT_BUS, PORT_BIT, NO_PRECEDENCE,
     AFCQ_ICON_SEDQ_CONSTANT_UNSIGNED_TRUE},
    {"Constant Unsigned False", "False", "0", 2, PORT_BUS, PORT_BIT, NO_PRECEDENCE,
     AFCQ_ICON_SEDQ_CONSTANT_UNSIGNED_FALSE},
    {"Variable Unsigned Less Than", "<", "<", 2, PORT_BUS, PORT_BIT, 21,
     AFCQ_ICON_SEDQ_VARIABLE_UNSIGNED_LESS_THAN},
    {"Variable Unsigned Less Than or Equal To", "<=", "<=", 2, PORT_BUS, PORT_BIT, 17,
     AFCQ_ICON_SEDQ_VARIABLE_UNSIGNED_LESS_THAN_OR_EQUAL_TO},
    {"Variable Unsigned Equality", "=", "==", 2, PORT_BUS, PORT_BIT, 13,
     AFCQ_ICON_SEDQ_VARIABLE_UNSIGNED_EQUALITY},
    {"Variable Unsigned Inequality", "!=", "!=", 2, PORT_BUS, PORT_BIT, 11,
     AFCQ_ICON_SEDQ_VARIABLE_UNSIGNED_INEQUALITY},
    {"Variable Unsigned Greater Than or Equal To", ">=", ">=", 2, PORT_BUS, PORT_BIT, 15,
     AFCQ_ICON_SEDQ_VARIABLE_UNSIGNED_GREATER_THAN_OR_EQUAL_TO},
    {"Variable Unsigned Greater Than", ">", ">", 2, PORT_BUS, PORT_BIT, 19,
     AFCQ_ICON_SEDQ_VARIABLE_UNSIGNED_GREATER_THAN},
    {"Variable Unsigned True", "True", "TRUE", 2, PORT_BUS, PORT_BIT, 10,
     AFCQ_ICON_SEDQ_VARIABLE_UNSIGNED_TRUE},
    {"Variable Unsigned False", "False", "FALSE", 2, PORT_BUS, PORT_BIT, 9,
     AFCQ_ICON_SEDQ_VARIABLE_UNSIGNED_FALSE},
    {"Constant Signed Less Than", "<", "<", 2, PORT_BUS, PORT_BIT, 22,
     AFCQ_ICON_SEDQ_CONSTANT_SIGNED_LESS_THAN},
    {"Constant Signed Less Than or Equal To", "<=", "<=", 2, PORT_BUS, PORT_BIT, 18,
     AFCQ_ICON_SEDQ_CONSTANT_SIGNED_LESS_THAN_OR_EQUAL_TO},
    {"Constant Signed Equality", "=", "==", 2, PORT_BUS, PORT_BIT, 14,
     AFCQ_ICON_SEDQ_CONSTANT_SIGNED_EQUALITY},
    {"Constant Signed Inequality", "!=", "!=", 2, PORT_BUS, PORT_BIT, 12,
     AFCQ_ICON_SEDQ_CONSTANT_SIGNED_INEQUALITY},
    {"Constant Signed Greater Than or Equal To", ">=", ">=", 2, PORT_BUS, PORT_BIT, 16,
     AFCQ_ICON_SEDQ_CONSTANT_SIGNED_GREATER_THAN_OR_EQUAL_TO},
    {"Constant Signed Greater Than", ">", ">", 2, PORT_BUS, PORT_BIT, 20,
     AFCQ_ICON_SEDQ_CONSTANT_SIGNED_GREATER_THAN},
    {"Constant Signed True", "True", "1", 2, PORT_BUS, PORT_BIT, NO_PRECEDENCE,
     AFCQ_ICON_SEDQ_CONSTANT_SIGNED_TRUE},
    {"Constant Signed False", "False", "0", 2, PORT_BUS, PORT_BIT, NO_PRECEDENCE,
     AFCQ_ICON_SEDQ_CONSTANT_SIGNED_FALSE},
    {"Variable Signed Less Than", "<", "<", 2, PORT_BUS, PORT_BIT, 21,
     AFCQ_ICON_SEDQ_VARIABLE_SIGNED_LESS_THAN},
    {"Variable Signed Less Than or Equal To", "<=", "<=", 2, PORT_BUS, PORT_BIT, 17,
     AFCQ_ICON_SEDQ_VARIABLE_SIGNED_LESS_THAN_OR_EQUAL_TO},
    {"Variable Signed Equality", "=", "==", 2, PORT_BUS, PORT_BIT, 13,
     AFCQ_ICON_SEDQ_VARIABLE_SIGNED_EQUALITY},
    {"Variable Signed Inequality", "!=", "!=", 2, PORT_BUS, PORT_BIT, 11,
     AFCQ_ICON_SEDQ_VARIABLE_SIGNED_INEQUALITY},
    {"Variable Signed Greater Than or Equal To", ">=", ">=", 2, PORT_BUS, PORT_BIT, 15,
     AFCQ_ICON_SEDQ_VARIABLE_SIGNED_GREATER_THAN_OR_EQUAL_TO},
    {"Variable Signed Greater Than", ">", ">", 2, PORT_BUS, PORT_BIT, 19,
     AFCQ_ICON_SEDQ_VARIABLE_SIGNED_GREATER_THAN},
    {"Variable Signed True", "True", "TRUE", 2, PORT_BUS, PORT_BIT, 10, AFCQ_ICON_SEDQ_VARIABLE_SIGNED_TRUE},
    {"Variable Signed False", "False", "FALSE", 2, PORT_BUS, PORT_BIT, 9,
     AFCQ_ICON_SEDQ_VARIABLE_SIGNED_FALSE},
    // Operators, shifts, counters, custom HDL.
    {"Bitwise Complement", "~", "~", 1, PORT_BUS, PORT_BUS, 31, AFCQ_ICON_SEDQ_BITWISE_COMPLEMENT},
    {"Bitwise And", "&", "&", 2, PORT_BUS, PORT_BUS, 8, AFCQ_ICON_SEDQ_BITWISE_AND},
    {"Bitwise Or", "|", "|", 2, PORT_BUS, PORT_BUS, 6, AFCQ_ICON_SEDQ_BITWISE_OR},
    {"Bitwise Xor", "^", "^", 2, PORT_BUS, PORT_BUS, 7, AFCQ_ICON_SEDQ_BITWISE_XOR},
    {"Logical Not", "!", "!", 1, PORT_BIT, PORT_BIT, 30, AFCQ_ICON_SEDQ_LOGICAL_NOT},
    {"Logical And", "&&", "and", ANY_INPUT_COUNT, PORT_BIT, PORT_BIT, 5, AFCQ_ICON_SEDQ_LOGICAL_AND},
    {"Logical Or", "||", "or", ANY_INPUT_COUNT, PORT_BIT, PORT_BIT, 3, AFCQ_ICON_SEDQ_LOGICAL_OR},
    {"Logical Xor", "^^", "xor", ANY_INPUT_COUNT, PORT_BIT, PORT_BIT, 4, AFCQ_ICON_SEDQ_LOGICAL_XOR},
    {"Reduction And", "&", "&", 1, PORT_BUS, PORT_BIT, 2, AFCQ_ICON_SEDQ_REDUCTION_AND},
    {"Reduction Or", "|", "|", 1, PORT_BUS, PORT_BIT, 0, AFCQ_ICON_SEDQ_REDUCTION_OR},
    {"Reduction Xor", "^", "^", 1, PORT_BUS, PORT_BIT, 1, AFCQ_ICON_SEDQ_REDUCTION_XOR},
    {"Logical Left Shift", "<<", "shift", 1, PORT_BUS, PORT_BUS, 28, AFCQ_ICON_SEDQ_LOGICAL_LEFT_SHIFT},
    {"Logical Right Shift", ">>", "shift", 1, PORT_BUS, PORT_BUS, 25, AFCQ_ICON_SEDQ_LOGICAL_RIGHT_SHIFT},
    {"Rotate Left Shift", "<<", "shift", 1, PORT_BUS, PORT_BUS, 27, AFCQ_ICON_SEDQ_ROTATE_LEFT_SHIFT},
    {"Rotate Right Shift", ">>", "shift", 1, PORT_BUS, PORT_BUS, 24, AFCQ_ICON_SEDQ_ROTATE_RIGHT_SHIFT},
    {"Arithmetic Left Shift", "<<", "shift", 1, PORT_BUS, PORT_BUS, 26, AFCQ_ICON_SEDQ_ARITHMETIC_LEFT_SHIFT},
    {"Arithmetic Right Shift", ">>", "shift", 1, PORT_BUS, PORT_BUS, 25,
     AFCQ_ICON_SEDQ_ARITHMETIC_RIGHT_SHIFT},
    {"Registered Continuous Counter", "Counter", "ec", 1, PORT_BIT, PORT_BIT, 29,
     AFCQ_ICON_SEDQ_REGISTERED_CONTINUOUS_COUNTER},
    {"Registered Event Counter", "Counter", "ec", 1, PORT_BIT, PORT_BIT, 29,
     AFCQ_ICON_SEDQ_REGISTERED_EVENT_COUNTER},
    {"Registered State Counter", "Counter", "ec", 1, PORT_BIT, PORT_BIT, 29,
     AFCQ_ICON_SEDQ_REGISTERED_STATE_COUNTER},
    {"Dynamic Continuous Counter", "Counter", "ec", 1, PORT_BIT, PORT_BIT, 29,
     AFCQ_ICON_SEDQ_DYNAMIC_CONTINUOUS_COUNTER},
    {"Dynamic Event Counter", "Counter", "ec", 1, PORT_BIT, PORT_BIT, 29,
     AFCQ_ICON_SEDQ_DYNAMIC_EVENT_COUNTER},
    {"Dynamic State Counter", "Counter", "ec", 1, PORT_BIT, PORT_BIT, 29,
     AFCQ_ICON_SEDQ_DYNAMIC_STATE_COUNTER},
    {"Custom Trigger HDL", "HDL", "mvx_custom_trigger_hdl", 1, PORT_BUS, PORT_BIT, -1,
     AFCQ_ICON_SEDQ_CUSTOM_TRIGGER_HDL},
};
