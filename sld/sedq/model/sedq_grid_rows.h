#pragma once
// The rows of the node view's grid: three header rows above the node rows. The model answers
// some questions by grid row (the waveform rows of a node), so the count lives here, where the
// view and the model both read it.

enum SEDQ_GRID_ROW : int
{
    SEDQ_ROW_TITLE = 0,         // title, lock mode, time bars
    SEDQ_ROW_COLUMN_TITLES = 1, // column titles, level names, the ruler
    SEDQ_ROW_LEVEL_HEADERS = 2, // per-column headers: level patterns, storage qualifier titles
    SEDQ_HEADER_ROWS = 3        // the first node row
};

constexpr int sedq_node_of_row(int row)
{
    return row - SEDQ_HEADER_ROWS;
}

constexpr int sedq_row_of_node(int node)
{
    return node + SEDQ_HEADER_ROWS;
}
