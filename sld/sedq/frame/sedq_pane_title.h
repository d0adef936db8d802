#pragma once
// The parts every pane of the editor window shares: the title row with its close button,
// the one-pixel rule below it, and the skeletons of the panes that list items in a tree and
// of the state flow panes. A pane's View-menu toggle and its close button stay in step: the
// toggle shows and hides the pane, the close button hides it and unchecks the toggle.

#include <QList>

class QAbstractItemModel;
class QAbstractItemView;
class QAction;
class QFrame;
class QHBoxLayout;
class QString;
class QTreeView;
class QVBoxLayout;
class QWidget;

// A title row (left margin 7): `widgets` from the left, a stretch, then an auto-raise close
// button with AFCQ_ICON_CLOSE_PANE whose pressed() hides `pane` and toggles `toggle`.
QHBoxLayout* sedq_make_pane_title_row(QWidget* pane, QAction* toggle, const QList<QWidget*>& widgets);

// A sunken horizontal line (line width 0, mid-line width 1) between the parts of a pane, and
// the same line held to one pixel under a pane's title row.
QFrame* sedq_make_sunken_line(QWidget* parent = nullptr);
QFrame* sedq_make_pane_rule(QWidget* parent);

// Lets the pane's View-menu toggle show and hide the pane.
void sedq_bind_pane_toggle(QWidget* pane, QAction* toggle);

// A list repaints whenever its window is activated or deactivated, for its selection's colours;
// other widgets only when their palette colours an inactive window otherwise. This gives `view`
// and its header that rule: a modal dialog opened and closed over the window then repaints no
// list that would look the same.
void sedq_repaint_list_on_activation_as_widgets_do(QAbstractItemView* view);

// In a pane that scrolls, the wheel scrolls the pane: the combo boxes and spin boxes below `body`
// (those it holds now) take the wheel only while they have the keyboard focus, so that a value
// does not change because its control slid under the pointer.
void sedq_wheel_scrolls_the_pane(QWidget* body);

// A list pane's skeleton: `pane` framed as a sunken panel over a column without margins that
// holds `title_row`, the rule and, stretched, a frameless tree on `model` that selects many
// items, does not expand on a double click and edits on a second click or the edit key.
struct SEDQ_LIST_PANE
{
    QVBoxLayout* layout = nullptr;
    QTreeView* tree = nullptr;
};
SEDQ_LIST_PANE sedq_make_list_pane(QFrame* pane, QHBoxLayout* title_row, QAbstractItemModel* model);

// A state flow pane's skeleton: `pane` framed as a sunken panel over a column without margins
// that holds a header row (left margin 7) led by the label `title`, 22 pixels high, and a
// sunken line below it. The caller adds to the header row and below the line.
struct SEDQ_TITLED_PANE
{
    QVBoxLayout* layout = nullptr;
    QHBoxLayout* header = nullptr;
};
SEDQ_TITLED_PANE sedq_make_titled_pane(QFrame* pane, const QString& title);
