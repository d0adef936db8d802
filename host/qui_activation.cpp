// The host's windows get the keyboard back after a modal dialog: a window manager activates the
// window a dialog belonged to once the dialog closes, but on a display without one (the demo
// under xvfb-run) the keyboard would go nowhere until the user clicked a window.
#include "host/qui_private.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QPointer>
#include <QTimer>

namespace
{
class dialog_closing_watch : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Hide)
            return false;
        auto* dialog = qobject_cast<QDialog*>(watched);
        if (dialog == nullptr || !dialog->isWindow() || dialog->windowModality() == Qt::NonModal ||
            dialog->parentWidget() == nullptr)
            return false;
        const QPointer<QWidget> owner = dialog->parentWidget()->window();
        // A window the window system activated meanwhile stays active; the hidden dialog may
        // still count as the active window until the system says otherwise.
        QTimer::singleShot(0, owner, [owner] {
            const QWidget* active = QApplication::activeWindow();
            if (!owner.isNull() && owner->isVisible() && (active == nullptr || !active->isVisible()) &&
                QApplication::activeModalWidget() == nullptr)
                owner->activateWindow();
        });
        return false;
    }
};
} // namespace

namespace qui_detail
{
void install_dialog_closing_watch()
{
    install_application_filter<dialog_closing_watch>();
}
} // namespace qui_detail
