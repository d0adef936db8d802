#pragma once
// What the canvas answers a drag over it, as functions of what the drag and the canvas are,
// so that the rule holds without a real drag: where the drag comes from (only the node view
// of the canvas's own window, the object library and the canvas itself may drop), the drop
// action and whether the object under the drag becomes the selection, and the edge band
// where a drag scrolls the canvas. Positions here are widget pixels.

#include <QPoint>
#include <QSize>
#include <Qt>

class QMimeData;
class QObject;
class QWidget;

enum class SEDQ_DRAG_SOURCE
{
    FOREIGN,   // anything else: another window's view, another application, plain text
    NODE_VIEW, // the node view of the canvas's own window, with its node format
    PALETTE,   // the object library's tree
    CANVAS,    // the canvas itself, with its own empty format
};

// `window` is the editor window of the canvas; a node drag counts only from a node view inside
// it, since the dropped nodes are read from the canvas's own model.
SEDQ_DRAG_SOURCE sedq_drag_source(const QMimeData* data, const QObject* source, const QWidget* canvas,
                                  const QWidget* window);

struct SEDQ_DROP_STATE
{
    Qt::DropAction proposed = Qt::IgnoreAction;
    SEDQ_DRAG_SOURCE source = SEDQ_DRAG_SOURCE::FOREIGN;
    bool disabled = false;
    // Locked (lock mode other than 0) or showing the power-up trigger.
    bool locked = false;
    bool has_target = false;
    // The target has fewer inputs than its kind allows.
    bool target_free = false;
    // A drag that started on this canvas is under way.
    bool moving = false;
    bool ctrl = false;
    // The drag position also hits an object of the drag remainder: the target is not dragged.
    bool target_stays = false;
};

struct SEDQ_DROP_ANSWER
{
    Qt::DropAction action = Qt::IgnoreAction;
    // Select only the target (or nothing without one); otherwise clear the selection.
    bool select_target = false;
};

SEDQ_DROP_ANSWER sedq_drop_answer(const SEDQ_DROP_STATE& state);

// The bars the canvas shows and how far each can still scroll.
struct SEDQ_DRAG_VIEW
{
    QSize size;
    // Where the drawing starts, below the title band and the listing.
    int drawing_top = 22;
    int vertical_bar_width = 0;    // 0 while hidden
    int horizontal_bar_height = 0; // 0 while hidden
    bool can_scroll_up = false;
    bool can_scroll_down = false;
    bool can_scroll_left = false;
    bool can_scroll_right = false;
};

struct SEDQ_DRAG_SCROLL
{
    // Outside the drawing area (the title band and the bars) nothing may be dropped.
    bool inside = false;
    // One step of the bars, -1, 0 or +1 each.
    int dx = 0;
    int dy = 0;
};

// The drawing area starts below the title band and the listing; near an edge that can still
// scroll, every move scrolls one step that way.
SEDQ_DRAG_SCROLL sedq_drag_scroll(QPoint position, const SEDQ_DRAG_VIEW& view);

// An input dragged away from its parent stays near enough to it while its output point (`head`)
// is less than SEDQ_DETACH_LEFT left of the parent's middle input point (`tail`) and less than
// SEDQ_DETACH_RIGHT right of it; farther off it comes loose.
constexpr int SEDQ_DETACH_LEFT = 61;
constexpr int SEDQ_DETACH_RIGHT = 38;
bool sedq_near_parent_input(QPoint tail, QPoint head);
