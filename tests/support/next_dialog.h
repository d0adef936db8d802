#pragma once
// Acting on the next modal dialog of a type that a command opens, inside the dialog's own event
// loop, without waiting on it: for the tests and the benchmarks that walk a dialog as a user does.

#include <QCoreApplication>
#include <QDialog>
#include <QEvent>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <vector>

// The dialog hooks not yet used; a test's tear-down removes them, so none outlives its test.
inline std::vector<QPointer<QObject>>& pending_dialog_hooks()
{
    static std::vector<QPointer<QObject>> hooks;
    return hooks;
}

// Runs `act` on the next shown modal dialog of type T, queued so that it runs inside the
// dialog's own event loop, ahead of the host's answer to dialogs nobody scripted.
template <class T> void on_next_dialog(std::function<void(T*)> act)
{
    struct hook : QObject
    {
        std::function<void(T*)> act;
        bool eventFilter(QObject* watched, QEvent* event) override
        {
            T* dialog = qobject_cast<T*>(watched);
            if (event->type() != QEvent::Show || dialog == nullptr || !act)
                return false;
            auto run = std::move(act);
            act = nullptr;
            QPointer<T> guard(dialog);
            QTimer::singleShot(0, dialog, [guard, run] {
                if (guard)
                    run(guard.data());
            });
            deleteLater();
            return false;
        }
    };
    auto* filter = new hook;
    filter->act = std::move(act);
    QCoreApplication::instance()->installEventFilter(filter);
    pending_dialog_hooks().push_back(filter);
}
