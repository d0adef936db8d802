#pragma once
// What one paint of the node table reads for every cell, gathered once when the paint starts,
// and the row a cell belongs to. Painting only reads them.

#include <QRect>

class QPainter;

struct SEDQ_PAINT_CONTEXT
{
    QPainter* painter = nullptr;
    bool setup_enabled = false;   // the setup columns take edits
    bool trigger_enabled = false; // the trigger columns take edits
    bool powerup = false;         // the current trigger is the power-up trigger
    bool incremental = false;     // incremental compile marks names
    bool sequential = false;      // trigger levels run in sequence, not by state
    bool marks = false;           // some trigger row carries an invalid mark: names ask theirs
};

// One painted row of the table: header rows first, then node rows (row - header rows = node).
struct SEDQ_PAINT_ROW
{
    int row = 0;
    bool selected = false;
    bool first_visible = false; // the topmost node row in view
};
