#pragma once
// Drawing helpers of the node table and the trigger canvas.

#include <QPen>

// A one-pixel dotted pen (dash pattern 1, 1) in the default palette's Dark colour of the
// current colour group, square caps, bevel joins.
QPen sedq_get_dotted_pen();
