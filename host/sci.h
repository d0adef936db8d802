#pragma once
// Host trigger compiler: the data types the analyzer exchanges with it.

// Parts of a state-based trigger flow that can be changed at run time without a recompile.
enum SCI_FLOW_CONTROL_RUNTIME_CONFIG_OPTION : int
{
    SCI_RUNTIME_CONFIG_GOTO_STATE = 1,
    SCI_RUNTIME_CONFIG_COMPARISON_VALUES = 2,
    SCI_RUNTIME_CONFIG_LOGICAL_OPERATORS = 4,
    SCI_RUNTIME_CONFIG_COMPARISON_OPERATORS = 8
};
