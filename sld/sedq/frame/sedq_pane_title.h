#pragma once
// The parts every pane of the editor window shares: the title row with its close button and
// the one-pixel rule below it. A pane's View-menu toggle and its close button stay in step:
// the toggle shows and hides the pane, the close button hides it and unchecks the toggle.

#include <QList>

class QAction;
class QFrame;
class QHBoxLayout;
class QWidget;

// A title row (left margin 7): `widgets` from the left, a stretch, then an auto-raise close
// button with host icon 36 whose pressed() hides `pane` and toggles `toggle`.
QHBoxLayout* sedq_make_pane_title_row(QWidget* pane, QAction* toggle, const QList<QWidget*>& widgets);

// A sunken one-pixel horizontal rule (line width 0, mid-line width 1).
QFrame* sedq_make_pane_rule(QWidget* parent);

// Lets the pane's View-menu toggle show and hide the pane.
void sedq_bind_pane_toggle(QWidget* pane, QAction* toggle);
