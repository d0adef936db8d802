// SEDQ_OBJECT: the static tables of kinds, palette entries, display types and validation errors.
#include "sedq/advanced_trigger/sedq_object.h"

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

const char* const SEDQ_OBJECT::OBJECT_NAME[OBJECT_TYPE_COUNT] = {
    "", "condition", "", "detector", "", "bus", "bit_value", "bus_value", "comparison", "bitwise", "logical",
    "reduction", "shift", "counter", "mvx_custom_trigger_hdl"};

const unsigned int SEDQ_OBJECT::OBJECT_PROPERTY[OBJECT_TYPE_COUNT] = {
    0,
    0,
    0,
    string_bit(SEDQ_PROPERTY::PATTERN) | int_bit(SEDQ_PROPERTY::PIPELINE_LENGTH),
    int_bit(SEDQ_PROPERTY::DATA_DELAY),
    string_bit(SEDQ_PROPERTY::BUS_NAME) | int_bit(SEDQ_PROPERTY::BIT_ORDER) | int_bit(SEDQ_PROPERTY::DATA_DELAY),
    int_bit(SEDQ_PROPERTY::BIT_VALUE),
    string_bit(SEDQ_PROPERTY::BUS_VALUE) | int_bit(SEDQ_PROPERTY::DISPLAY_FORMAT),
    int_bit(SEDQ_PROPERTY::COMPARISON) | int_bit(SEDQ_PROPERTY::SIGNED_COMPARISON) |
        int_bit(SEDQ_PROPERTY::PIPELINE_LENGTH),
    int_bit(SEDQ_PROPERTY::BITWISE),
    int_bit(SEDQ_PROPERTY::LOGICAL),
    int_bit(SEDQ_PROPERTY::REDUCTION),
    int_bit(SEDQ_PROPERTY::SHIFT_DISTANCE) | int_bit(SEDQ_PROPERTY::SHIFT_DIRECTION) |
        int_bit(SEDQ_PROPERTY::SHIFT_TYPE),
    int_bit(SEDQ_PROPERTY::COUNTER_VALUE) | int_bit(SEDQ_PROPERTY::MAX_COUNTER_VALUE) |
        int_bit(SEDQ_PROPERTY::COUNTER_TYPE) | int_bit(SEDQ_PROPERTY::COUNTER_HOLD),
    string_bit(SEDQ_PROPERTY::MODULE_NAME) | string_bit(SEDQ_PROPERTY::CONFIG_BITSTREAM) |
        int_bit(SEDQ_PROPERTY::PIPELINE_LENGTH),
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

const char* const SEDQ_OBJECT::DISPLAY_SYMBOL[DISPLAY_TYPE_COUNT] = {
    "", "CIRN", "Result", "ELD", "Node", "Bus", "True", "False",
    "True", "False", "Constant", "Variable", "<", "<=", "=", "!=",
    ">=", ">", "True", "False", "<", "<=", "=", "!=",
    ">=", ">", "True", "False", "<", "<=", "=", "!=",
    ">=", ">", "True", "False", "<", "<=", "=", "!=",
    ">=", ">", "True", "False", "~", "&", "|", "^",
    "!", "&&", "||", "^^", "&", "|", "^", "<<",
    ">>", "<<", ">>", "<<", ">>", "Counter", "Counter", "Counter",
    "Counter", "Counter", "Counter", "HDL",
};
const char* const SEDQ_OBJECT::DISPLAY_EQUATION[DISPLAY_TYPE_COUNT] = {
    "", "imbpm", "", "mbpm", "", "", "1", "0",
    "variable", "variable", "", "variable", "<", "<=", "==", "!=",
    ">=", ">", "1", "0", "<", "<=", "==", "!=",
    ">=", ">", "TRUE", "FALSE", "<", "<=", "==", "!=",
    ">=", ">", "1", "0", "<", "<=", "==", "!=",
    ">=", ">", "TRUE", "FALSE", "~", "&", "|", "^",
    "!", "and", "or", "xor", "&", "|", "^", "shift",
    "shift", "shift", "shift", "shift", "shift", "ec", "ec", "ec",
    "ec", "ec", "ec", "mvx_custom_trigger_hdl",
};
const int SEDQ_OBJECT::DISPLAY_INPUT_COUNT[DISPLAY_TYPE_COUNT] = {
    0, 0, 1, ANY_INPUT_COUNT, 0, ANY_INPUT_COUNT, 0, 0,
    0, 0, 0, 0, 2, 2, 2, 2,
    2, 2, 2, 2, 2, 2, 2, 2,
    2, 2, 2, 2, 2, 2, 2, 2,
    2, 2, 2, 2, 2, 2, 2, 2,
    2, 2, 2, 2, 1, 2, 2, 2,
    1, ANY_INPUT_COUNT, ANY_INPUT_COUNT, ANY_INPUT_COUNT, 1, 1, 1, 1,
    1, 1, 1, 1, 1, 1, 1, 1,
    1, 1, 1, 1,
};
const SEDQ_OBJECT::SEDQ_PORT_TYPE SEDQ_OBJECT::DISPLAY_INPUT_TYPE[DISPLAY_TYPE_COUNT] = {
    PORT_NONE, PORT_NONE, PORT_BIT, PORT_BUS, PORT_NONE, PORT_BUS,
    PORT_NONE, PORT_NONE, PORT_NONE, PORT_NONE, PORT_NONE, PORT_NONE,
    PORT_BUS, PORT_BUS, PORT_BUS, PORT_BUS, PORT_BUS, PORT_BUS,
    PORT_BUS, PORT_BUS, PORT_BUS, PORT_BUS, PORT_BUS, PORT_BUS,
    PORT_BUS, PORT_BUS, PORT_BUS, PORT_BUS, PORT_BUS, PORT_BUS,
    PORT_BUS, PORT_BUS, PORT_BUS, PORT_BUS, PORT_BUS, PORT_BUS,
    PORT_BUS, PORT_BUS, PORT_BUS, PORT_BUS, PORT_BUS, PORT_BUS,
    PORT_BUS, PORT_BUS, PORT_BUS, PORT_BUS, PORT_BUS, PORT_BUS,
    PORT_BIT, PORT_BIT, PORT_BIT, PORT_BIT, PORT_BUS, PORT_BUS,
    PORT_BUS, PORT_BUS, PORT_BUS, PORT_BUS, PORT_BUS, PORT_BUS,
    PORT_BUS, PORT_BIT, PORT_BIT, PORT_BIT, PORT_BIT, PORT_BIT,
    PORT_BIT, PORT_BUS,
};
const SEDQ_OBJECT::SEDQ_PORT_TYPE SEDQ_OBJECT::DISPLAY_OUTPUT_TYPE[DISPLAY_TYPE_COUNT] = {
    PORT_NONE, PORT_BIT, PORT_NONE, PORT_BIT, PORT_BIT, PORT_BUS,
    PORT_BIT, PORT_BIT, PORT_BIT, PORT_BIT, PORT_BUS, PORT_BUS,
    PORT_BIT, PORT_BIT, PORT_BIT, PORT_BIT, PORT_BIT, PORT_BIT,
    PORT_BIT, PORT_BIT, PORT_BIT, PORT_BIT, PORT_BIT, PORT_BIT,
    PORT_BIT, PORT_BIT, PORT_BIT, PORT_BIT, PORT_BIT, PORT_BIT,
    PORT_BIT, PORT_BIT, PORT_BIT, PORT_BIT, PORT_BIT, PORT_BIT,
    PORT_BIT, PORT_BIT, PORT_BIT, PORT_BIT, PORT_BIT, PORT_BIT,
    PORT_BIT, PORT_BIT, PORT_BUS, PORT_BUS, PORT_BUS, PORT_BUS,
    PORT_BIT, PORT_BIT, PORT_BIT, PORT_BIT, PORT_BIT, PORT_BIT,
    PORT_BIT, PORT_BUS, PORT_BUS, PORT_BUS, PORT_BUS, PORT_BUS,
    PORT_BUS, PORT_BIT, PORT_BIT, PORT_BIT, PORT_BIT, PORT_BIT,
    PORT_BIT, PORT_BIT,
};
const int SEDQ_OBJECT::DISPLAY_PRECEDENCE[DISPLAY_TYPE_COUNT] = {
    NO_PRECEDENCE, -1, -1, -1, NO_PRECEDENCE, -1,
    NO_PRECEDENCE, NO_PRECEDENCE, NO_PRECEDENCE, NO_PRECEDENCE, NO_PRECEDENCE, NO_PRECEDENCE,
    22, 18, 14, 12, 16, 20, NO_PRECEDENCE, NO_PRECEDENCE,
    21, 17, 13, 11, 15, 19, 10, 9,
    22, 18, 14, 12, 16, 20, NO_PRECEDENCE, NO_PRECEDENCE,
    21, 17, 13, 11, 15, 19, 10, 9,
    31, 8, 6, 7, 30, 5, 3, 4, 2, 0, 1,
    28, 25, 27, 24, 26, 25,
    29, 29, 29, 29, 29, 29, -1,
};

const AFCQ_ICON_ENUM SEDQ_OBJECT::DISPLAY_BITMAP[DISPLAY_TYPE_COUNT] = {
    AFCQ_ICON_SEDQ_UNKNOWN,
    AFCQ_ICON_SEDQ_CONDITION_FOR_INCREMENTALLY_ROUTED_NODES,
    AFCQ_ICON_SEDQ_ADVANCED_TRIGGER_LEVEL_RESULT,
    AFCQ_ICON_SEDQ_EDGE_AND_LEVEL_DETECTOR,
    AFCQ_ICON_SEDQ_NODE,
    AFCQ_ICON_SEDQ_BUS,
    AFCQ_ICON_SEDQ_CONSTANT_HIGH,
    AFCQ_ICON_SEDQ_CONSTANT_LOW,
    AFCQ_ICON_SEDQ_VARIABLE_HIGH,
    AFCQ_ICON_SEDQ_VARIABLE_LOW,
    AFCQ_ICON_SEDQ_CONSTANT_BUS_VALUE,
    AFCQ_ICON_SEDQ_VARIABLE_BUS_VALUE,
    AFCQ_ICON_SEDQ_CONSTANT_UNSIGNED_LESS_THAN,
    AFCQ_ICON_SEDQ_CONSTANT_UNSIGNED_LESS_THAN_OR_EQUAL_TO,
    AFCQ_ICON_SEDQ_CONSTANT_UNSIGNED_EQUALITY,
    AFCQ_ICON_SEDQ_CONSTANT_UNSIGNED_INEQUALITY,
    AFCQ_ICON_SEDQ_CONSTANT_UNSIGNED_GREATER_THAN_OR_EQUAL_TO,
    AFCQ_ICON_SEDQ_CONSTANT_UNSIGNED_GREATER_THAN,
    AFCQ_ICON_SEDQ_CONSTANT_UNSIGNED_TRUE,
    AFCQ_ICON_SEDQ_CONSTANT_UNSIGNED_FALSE,
    AFCQ_ICON_SEDQ_VARIABLE_UNSIGNED_LESS_THAN,
    AFCQ_ICON_SEDQ_VARIABLE_UNSIGNED_LESS_THAN_OR_EQUAL_TO,
    AFCQ_ICON_SEDQ_VARIABLE_UNSIGNED_EQUALITY,
    AFCQ_ICON_SEDQ_VARIABLE_UNSIGNED_INEQUALITY,
    AFCQ_ICON_SEDQ_VARIABLE_UNSIGNED_GREATER_THAN_OR_EQUAL_TO,
    AFCQ_ICON_SEDQ_VARIABLE_UNSIGNED_GREATER_THAN,
    AFCQ_ICON_SEDQ_VARIABLE_UNSIGNED_TRUE,
    AFCQ_ICON_SEDQ_VARIABLE_UNSIGNED_FALSE,
    AFCQ_ICON_SEDQ_CONSTANT_SIGNED_LESS_THAN,
    AFCQ_ICON_SEDQ_CONSTANT_SIGNED_LESS_THAN_OR_EQUAL_TO,
    AFCQ_ICON_SEDQ_CONSTANT_SIGNED_EQUALITY,
    AFCQ_ICON_SEDQ_CONSTANT_SIGNED_INEQUALITY,
    AFCQ_ICON_SEDQ_CONSTANT_SIGNED_GREATER_THAN_OR_EQUAL_TO,
    AFCQ_ICON_SEDQ_CONSTANT_SIGNED_GREATER_THAN,
    AFCQ_ICON_SEDQ_CONSTANT_SIGNED_TRUE,
    AFCQ_ICON_SEDQ_CONSTANT_SIGNED_FALSE,
    AFCQ_ICON_SEDQ_VARIABLE_SIGNED_LESS_THAN,
    AFCQ_ICON_SEDQ_VARIABLE_SIGNED_LESS_THAN_OR_EQUAL_TO,
    AFCQ_ICON_SEDQ_VARIABLE_SIGNED_EQUALITY,
    AFCQ_ICON_SEDQ_VARIABLE_SIGNED_INEQUALITY,
    AFCQ_ICON_SEDQ_VARIABLE_SIGNED_GREATER_THAN_OR_EQUAL_TO,
    AFCQ_ICON_SEDQ_VARIABLE_SIGNED_GREATER_THAN,
    AFCQ_ICON_SEDQ_VARIABLE_SIGNED_TRUE,
    AFCQ_ICON_SEDQ_VARIABLE_SIGNED_FALSE,
    AFCQ_ICON_SEDQ_BITWISE_COMPLEMENT,
    AFCQ_ICON_SEDQ_BITWISE_AND,
    AFCQ_ICON_SEDQ_BITWISE_OR,
    AFCQ_ICON_SEDQ_BITWISE_XOR,
    AFCQ_ICON_SEDQ_LOGICAL_NOT,
    AFCQ_ICON_SEDQ_LOGICAL_AND,
    AFCQ_ICON_SEDQ_LOGICAL_OR,
    AFCQ_ICON_SEDQ_LOGICAL_XOR,
    AFCQ_ICON_SEDQ_REDUCTION_AND,
    AFCQ_ICON_SEDQ_REDUCTION_OR,
    AFCQ_ICON_SEDQ_REDUCTION_XOR,
    AFCQ_ICON_SEDQ_LOGICAL_LEFT_SHIFT,
    AFCQ_ICON_SEDQ_LOGICAL_RIGHT_SHIFT,
    AFCQ_ICON_SEDQ_ROTATE_LEFT_SHIFT,
    AFCQ_ICON_SEDQ_ROTATE_RIGHT_SHIFT,
    AFCQ_ICON_SEDQ_ARITHMETIC_LEFT_SHIFT,
    AFCQ_ICON_SEDQ_ARITHMETIC_RIGHT_SHIFT,
    AFCQ_ICON_SEDQ_REGISTERED_CONTINUOUS_COUNTER,
    AFCQ_ICON_SEDQ_REGISTERED_EVENT_COUNTER,
    AFCQ_ICON_SEDQ_REGISTERED_STATE_COUNTER,
    AFCQ_ICON_SEDQ_DYNAMIC_CONTINUOUS_COUNTER,
    AFCQ_ICON_SEDQ_DYNAMIC_EVENT_COUNTER,
    AFCQ_ICON_SEDQ_DYNAMIC_STATE_COUNTER,
    AFCQ_ICON_SEDQ_CUSTOM_TRIGGER_HDL,
};
