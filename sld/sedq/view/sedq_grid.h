#pragma once
// The node view's grid: which column shows what and the map between a condition column and its
// pattern; the header rows above the node rows and the map between a row and its node are the
// model's (sedq_grid_rows.h).
// The column numbers are also the ids the view stores its widths under and the printer
// addresses cells by: never renumber them.

#include "sedq/model/sedq_grid_rows.h"
#include "sedq/model/sedq_types.h"

enum SEDQ_GRID_COLUMN : int
{
    SEDQ_COLUMN_TYPE = 0, // the node type icon
    SEDQ_COLUMN_ALIAS = 1,
    SEDQ_COLUMN_NAME = 2,              // name, tree lines and expand box
    SEDQ_COLUMN_INCREMENTAL_ROUTE = 3, // check box
    SEDQ_COLUMN_DEBUG_PORT_OUT = 4,
    SEDQ_COLUMN_DATA_ENABLE = 5,    // check box
    SEDQ_COLUMN_TRIGGER_ENABLE = 6, // check box
    SEDQ_COLUMN_STORAGE_ENABLE = 7, // check box
    SEDQ_COLUMN_TRANSITIONAL = 8,   // check box of the "Transitional" storage qualifier
    SEDQ_COLUMN_SQ_CONDITIONAL = 9, // the condition columns, one a pattern, start here
    SEDQ_COLUMN_SQ_START = 10,
    SEDQ_COLUMN_SQ_STOP = 11,
    SEDQ_COLUMN_FIRST_LEVEL = 12, // trigger level 0
    SEDQ_COLUMN_LAST_LEVEL = 21,  // trigger level 9
    SEDQ_COLUMN_VALUE = 22,       // the value at the master time bar
    SEDQ_COLUMN_WAVEFORM = 23,
    SEDQ_COLUMN_COUNT = 24,
    SEDQ_STORED_COLUMN_COUNT = SEDQ_COLUMN_WAVEFORM, // the waveform column's width is computed
    SEDQ_COLUMN_ROW_NUMBER = 24                      // printed pages only
};

// The condition columns show the storage-qualifier patterns and then the trigger levels, so a
// column and its pattern number differ by a constant.
constexpr int sedq_pattern_of_column(int column)
{
    return column - SEDQ_COLUMN_FIRST_LEVEL;
}

constexpr int sedq_column_of_pattern(int pattern)
{
    return pattern + SEDQ_COLUMN_FIRST_LEVEL;
}

constexpr bool sedq_is_condition_column(int column)
{
    return column >= SEDQ_COLUMN_SQ_CONDITIONAL && column <= SEDQ_COLUMN_LAST_LEVEL;
}

constexpr bool sedq_is_level_column(int column)
{
    return column >= SEDQ_COLUMN_FIRST_LEVEL && column <= SEDQ_COLUMN_LAST_LEVEL;
}

constexpr bool sedq_is_enable_column(int column)
{
    return column >= SEDQ_COLUMN_DATA_ENABLE && column <= SEDQ_COLUMN_STORAGE_ENABLE;
}

static_assert(sedq_column_of_pattern(SEDQ_PATTERN_SQ_CONDITIONAL) == SEDQ_COLUMN_SQ_CONDITIONAL,
              "the storage-qualifier columns sit just before the level columns");
