// Focus routing shared by the node view and the advanced trigger canvas.
#include "sedq/frame/sedq_focus_route.h"

#include <QMenu>
#include <QPointer>
#include <QWidget>

bool sedq_holds_focus(const QWidget* pane)
{
    if (pane == nullptr)
        return false;
    if (pane->hasFocus())
        return true;
    const QWidget* top = pane->window();
    return top != nullptr && !top->isActiveWindow() && top->focusWidget() == pane && pane->isVisible();
}

void sedq_run_routed_menu(QWidget* pane, QMenu* menu, const QPoint& global_pos, bool* running,
                          const std::function<void(bool)>& route)
{
    const QPointer<QWidget> alive(pane);
    route(true);
    *running = true;
    menu->exec(global_pos);
    if (alive.isNull())
        return;
    *running = false;
    if (!sedq_holds_focus(pane))
        route(false);
}
