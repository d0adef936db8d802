// Application-framework stand-in: running a drag, and the test seam that scripts it.
#include "host/afcq_drag.h"

#include "host/standin/afcq_control.h"
#include "host/standin/standin.h"

#include <QDrag>
#include <QDropEvent>
#include <QGuiApplication>
#include <QMimeData>
#include <QPointer>

namespace
{
struct drag_state
{
    standin::afcq::drag_handler handler;
    QStringList formats;
    int count = 0;
    // The source of the scripted drag that is running, if any.
    QPointer<QObject> running_source;
};

drag_state& state()
{
    static drag_state s;
    return s;
}

void reset()
{
    state() = drag_state();
}

const standin::reset_registrar registrar(&reset);

bool headless()
{
    const QString platform = QGuiApplication::platformName();
    return platform == QLatin1String("offscreen") || platform == QLatin1String("minimal");
}
} // namespace

Qt::DropAction afcq_exec_drag(QDrag* drag, Qt::DropActions actions, Qt::DropAction default_action)
{
    if (drag == nullptr)
        return Qt::IgnoreAction;
    drag_state& s = state();
    ++s.count;
    s.formats = drag->mimeData() != nullptr ? drag->mimeData()->formats() : QStringList();
    standin::record_call("afcq:afcq_exec_drag(" + s.formats.join(QLatin1Char(',')).toStdString() + ")");
    Qt::DropAction result = Qt::IgnoreAction;
    if (s.handler)
    {
        // The handler may delete the drag's source; the drag goes with it then.
        QPointer<QDrag> guard(drag);
        s.running_source = drag->source();
        result = s.handler(drag, actions);
        s.running_source = nullptr;
        delete guard.data();
    }
    else if (headless())
        delete drag;
    else
        result = drag->exec(actions, default_action);
    return result;
}

QObject* afcq_drop_source(const QDropEvent* event)
{
    if (event == nullptr)
        return nullptr;
    // A scripted drag delivers constructed events, which know no drag of their own.
    const drag_state& s = state();
    return s.handler && s.running_source != nullptr ? s.running_source.data() : event->source();
}

namespace standin::afcq
{
void set_drag_handler(drag_handler handler)
{
    state().handler = std::move(handler);
}

int drags_run()
{
    return state().count;
}

QStringList last_drag_formats()
{
    return state().formats;
}
} // namespace standin::afcq
