#pragma once
// The host runs the drags that panes start, so that every drag of the suite behaves alike:
// a pane builds its QDrag and hands it over instead of calling QDrag::exec itself.

#include <Qt>

class QDrag;
class QDropEvent;
class QObject;

// Runs the drag (taking ownership) and returns the action the drop took, Ignore when nothing
// took it. On a headless display no real drag can run: unless a test scripts the drag, it
// ends at once with Ignore.
Qt::DropAction afcq_exec_drag(QDrag* drag, Qt::DropActions actions, Qt::DropAction default_action);

// The widget the drag of a drop event started from: null for a drag from another application.
// Panes ask the host rather than the event, since the host knows the drags it runs.
QObject* afcq_drop_source(const QDropEvent* event);
