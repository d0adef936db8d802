#pragma once
// Enumerations and constants of the analyzer data repository. The numeric values are part of the
// contract with the editor library and of the analyzer file: never renumber them. The kinds that
// every node row stores several times are one or two bytes wide, which keeps rows small.

#include <cstdint>

// How a row of a node list sits in the group tree.
enum SDR_DATA_NODE_DISPLAY_TYPE : std::uint8_t
{
    SDR_NTYPE_STANDALONE = 0,       // a leaf outside any group
    SDR_NTYPE_GROUP = 1,            // a group row (parent item)
    SDR_NTYPE_GROUP_ALT = 2,        // a group row as well; read as a parent item everywhere
    SDR_NTYPE_MEMBER = 3,           // a member of a group that is not the last one
    SDR_NTYPE_LAST_MEMBER = 4       // the last member of its group
};

// Kind of a tapped node; the values are bit flags except for the plain 0.
enum SDR_DATA_SIGNAL_TYPE : std::uint16_t
{
    SDR_STYPE_PLAIN = 0,
    SDR_STYPE_INPUT_PIN = 4,
    SDR_STYPE_OUTPUT_PIN = 8,
    SDR_STYPE_BIDIR_PIN = 16,
    SDR_STYPE_MEMORY = 32,
    SDR_STYPE_REGISTERED = 64,
    SDR_STYPE_COMBINATIONAL = 128,
    SDR_STYPE_MACHINE = 1024
};

// What a node is tapped for. 0 is accepted and treated like "neither" (4) wherever it is read.
enum SDR_DATA_WIRE_CAPTURE_TYPE : std::uint8_t
{
    SDR_WTYPE_UNSET = 0,
    SDR_WTYPE_DATA_ONLY = 1,
    SDR_WTYPE_TRIGGER_ONLY = 2,
    SDR_WTYPE_DATA_AND_TRIGGER = 3,
    SDR_WTYPE_NEITHER = 4
};

// Netlist the node was tapped from; other values are stored as given.
enum SDR_DATA_WIRE_TAP_MODE : std::uint8_t
{
    SDR_TAP_PRE_SYNTHESIS = 0,
    SDR_TAP_POST_FITTING = 2
};

// Radix of a group row; leaves answer SDR_GTYPE_INVALID.
enum SDR_DATA_GROUP_DISPLAY_TYPE : std::uint8_t
{
    SDR_GTYPE_MNEMONICS = 0,
    SDR_GTYPE_BINARY = 1,
    SDR_GTYPE_TWOS_COMPLEMENT = 2,
    SDR_GTYPE_SIGNED_MAGNITUDE = 3,
    SDR_GTYPE_UNSIGNED = 4,
    SDR_GTYPE_HEX = 5,
    SDR_GTYPE_OCTAL = 6,
    SDR_GTYPE_ASCII = 7,
    SDR_GTYPE_CHART_8 = 8,
    SDR_GTYPE_CHART_9 = 9,
    SDR_GTYPE_CHART_10 = 10,
    SDR_GTYPE_CHART_11 = 11,
    SDR_GTYPE_PLUGIN = 12,
    SDR_GTYPE_FLOAT = 13,
    SDR_GTYPE_DOUBLE = 14,
    SDR_GTYPE_INVALID = 15
};

// Per-node trigger condition of one pattern.
enum SDR_DATA_TRIGGER_CONDITION : std::uint8_t
{
    SDR_CTYPE_DISABLED = 0,
    SDR_CTYPE_ACTIVE_HIGH = 1,
    SDR_CTYPE_ACTIVE_LOW = 2,
    SDR_CTYPE_HIGH = 3,
    SDR_CTYPE_LOW = 4,
    SDR_CTYPE_RISING = 5,
    SDR_CTYPE_FALLING = 6,
    SDR_CTYPE_EITHER_EDGE = 7,
    SDR_CTYPE_DONT_CARE = 8,
    SDR_CTYPE_GROUP_FIRST = 9,      // 9..17: group patterns
    SDR_CTYPE_GROUP_LAST = 17,
    SDR_CTYPE_COMPARE_GREATER_THAN = 18,
    SDR_CTYPE_COMPARE_GREATER_THAN_OR_EQUAL_TO = 19,
    SDR_CTYPE_COMPARE_EQUAL_TO = 20,
    SDR_CTYPE_COMPARE_LESS_THAN_OR_EQUAL_TO = 21,
    SDR_CTYPE_COMPARE_LESS_THAN = 22,
    SDR_CTYPE_COMPARE_TRUE = 23,
    SDR_CTYPE_ADVANCED = 24         // advanced condition, not parsed into per-node values
};

enum SDR_DATA_TRIGGER_LEVEL_TYPE
{
    SDR_LTYPE_BASIC_AND = 0,
    SDR_LTYPE_BASIC_OR = 1,
    SDR_LTYPE_COMPARISON = 2,
    SDR_LTYPE_ADVANCED = 3
};

// Stored as an int, so that any int a caller passes is a value the setters can test and refuse.
enum SDR_DATA_TRIGGER_POSITION : int
{
    SDR_TPOS_PRE = 0,
    SDR_TPOS_CENTER = 1,
    SDR_TPOS_POST = 2,
    SDR_TPOS_CONTINUOUS = 3
};

enum SDR_DATA_STORAGE_QUALIFIER_TYPE
{
    SDR_SQTYPE_CONTINUOUS = 0,
    SDR_SQTYPE_CONDITIONAL = 1,
    SDR_SQTYPE_START_STOP = 2,
    SDR_SQTYPE_TRANSITIONAL = 3,
    SDR_SQTYPE_STATE_BASED = 4,
    SDR_SQTYPE_INPUT_PORT = 5,
    SDR_SQTYPE_INVALID_TYPE = 6
};

enum SDR_DATA_TRIGGER_IN_OUT_SOURCE_TYPE
{
    SDR_IOSRC_PIN = 0,
    SDR_IOSRC_NODE = 1,
    SDR_IOSRC_INSTANCE = 2,
    SDR_IOSRC_HPS_TRIGGER_OUT = 3,
    SDR_IOSRC_HPS_TRIGGER_IN = 4,
    SDR_IOSRC_HPS_EVENT_INDEX = 5
};

enum SDR_HALCYTE_RAM_TYPE
{
    SDR_RAM_AUTO = 0,
    SDR_RAM_MID_SIZE = 1,
    SDR_RAM_SMALL = 2,
    SDR_RAM_LARGE = 3
};

// Limits shared by the model, the node lists and the file reader.
constexpr int SDR_CURRENT_INSTANCE_VERSION = 6;
constexpr int SDR_MAX_TRIGGER_LEVELS = 10;
constexpr int SDR_NUM_SQ_PATTERNS = 3;          // host index 0 = pattern -3, 1 = -2, 2 = -1
constexpr int SDR_DEFAULT_MAX_UNDO_STEPS = 100;
constexpr int SDR_DEFAULT_SAMPLE_DEPTH = 128;
constexpr int SDR_GLOBAL_DATA_CAPACITY = 32;     // default capacity of the global-data array getter
constexpr int SDR_POSITION_DATA_CAPACITY = 128; // default capacity of the position-data array getter
