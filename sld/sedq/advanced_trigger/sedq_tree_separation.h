#pragma once
// Where the trees of a canvas go after a layout, so that no box lies over another: each tree in
// turn moves down, by the least distance at which none of its rectangles meets a rectangle of a
// tree placed before it, widened by `gap` above and below (the test of QRect::intersects). The
// work grows with the rectangles and the ones each tree meets on its way, not with the square of
// the trees.

#include <QRect>
#include <QVector>

// The downward move of each tree, in order; `trees` holds the rectangles of each where the
// layout left it. The first `fixed` trees stay where they are (even where they meet each
// other); the others make way for them.
QVector<int> sedq_separate_trees(const QVector<QVector<QRect>>& trees, int gap, int fixed = 1);
