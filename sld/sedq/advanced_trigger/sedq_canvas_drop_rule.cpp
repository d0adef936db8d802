// The canvas's drag rules: where a drag comes from, what a drop over an object or empty canvas
// would do, and the edge band that scrolls during a drag.
#include "sedq/advanced_trigger/sedq_canvas_drop_rule.h"

#include <QMimeData>
#include <QRect>
#include <QWidget>

#include <cstring>

namespace
{
// The format the node view drags its rows with.
constexpr const char* NODE_FORMAT = "SEDQ_NODE_CLIPBOARD_FORMAT";
// How far in from an edge a drag starts to scroll.
constexpr int SCROLL_BAND = 10;

bool is_class(const QObject* object, const char* name)
{
    return object != nullptr && std::strcmp(object->metaObject()->className(), name) == 0;
}
} // namespace

SEDQ_DRAG_SOURCE sedq_drag_source(const QMimeData* data, const QObject* source, const QWidget* canvas,
                                  const QWidget* window)
{
    if (data == nullptr || source == nullptr)
        return SEDQ_DRAG_SOURCE::FOREIGN;
    if (source == canvas)
        return data->formats().contains(QString()) ? SEDQ_DRAG_SOURCE::CANVAS : SEDQ_DRAG_SOURCE::FOREIGN;
    if (is_class(source->parent(), "SEDQ_OPERATOR_WIDGET"))
        return SEDQ_DRAG_SOURCE::PALETTE;
    const auto* view = qobject_cast<const QWidget*>(source);
    if (data->hasFormat(QLatin1String(NODE_FORMAT)) && is_class(source, "SEDQ_VIEW") && window != nullptr &&
        view != nullptr && window->isAncestorOf(view))
        return SEDQ_DRAG_SOURCE::NODE_VIEW;
    return SEDQ_DRAG_SOURCE::FOREIGN;
}

SEDQ_DROP_ANSWER sedq_drop_answer(const SEDQ_DROP_STATE& state)
{
    const SEDQ_DROP_ANSWER refused{Qt::IgnoreAction, false};
    if (state.proposed == Qt::IgnoreAction || state.disabled || state.locked ||
        (state.has_target && !state.target_free) || state.source == SEDQ_DRAG_SOURCE::FOREIGN)
        return refused;
    const SEDQ_DROP_ANSWER onto_target{state.has_target ? Qt::LinkAction : Qt::CopyAction, true};
    if (state.source != SEDQ_DRAG_SOURCE::CANVAS || !state.moving)
        return onto_target;
    if (state.ctrl)
        return {Qt::CopyAction, true};
    if (!state.has_target)
        return {Qt::MoveAction, false};
    if (state.target_stays)
        return {Qt::LinkAction, true};
    return refused;
}

SEDQ_DRAG_SCROLL sedq_drag_scroll(QPoint position, const SEDQ_DRAG_VIEW& view)
{
    const QRect area(QPoint(0, view.drawing_top),
                     QPoint(view.size.width() - 1 - view.vertical_bar_width,
                            view.size.height() - 1 - view.horizontal_bar_height));
    SEDQ_DRAG_SCROLL scroll;
    scroll.inside = area.contains(position);
    if (!scroll.inside)
        return scroll;
    const QRect inner = area.adjusted(view.can_scroll_left ? SCROLL_BAND : 0, view.can_scroll_up ? SCROLL_BAND : 0,
                                      view.can_scroll_right ? -SCROLL_BAND : 0,
                                      view.can_scroll_down ? -SCROLL_BAND : 0);
    scroll.dy = position.y() < inner.top() ? -1 : position.y() > inner.bottom() ? 1 : 0;
    scroll.dx = position.x() < inner.left() ? -1 : position.x() > inner.right() ? 1 : 0;
    return scroll;
}

bool sedq_near_parent_input(QPoint tail, QPoint head)
{
    return tail.x() - head.x() < SEDQ_DETACH_LEFT && head.x() - tail.x() < SEDQ_DETACH_RIGHT;
}
