#pragma once
// Focus routing shared by the window's panes that take host commands while they have the
// keyboard (the node view and the advanced trigger canvas): when a pane counts as focused, and
// a context menu run with the pane's commands in force.

#include <functional>

class QMenu;
class QPoint;
class QWidget;

// A pane counts as focused while it has the keyboard, and while its window is not active but
// the pane is that window's focus widget: a dialog of its own or another program took the
// activation, or a right click reached the window before the window system activated it. The
// window's menus and commands then still act on the pane that gets the keyboard back.
bool sedq_holds_focus(const QWidget* pane);

// Runs the pane's menu at `global_pos` with its commands routed to it (`route(true)`) for the
// run of the menu, because the menu refreshes and runs them before an activation gives the pane
// the focus; afterwards they are given up (`route(false)`) when the pane no longer counts as
// focused. `running` is set while the menu is up, so that the pane keeps its commands when the
// focus moves into the menu. The pane may be destroyed by the chosen command.
void sedq_run_routed_menu(QWidget* pane, QMenu* menu, const QPoint& global_pos, bool* running,
                          const std::function<void(bool)>& route);
