// The modal-dialog hook of GUI regression tests and the scripted answers of plain modal
// dialogs: one application-wide event filter that watches modal dialogs being shown.
#include "host/qui.h"

#include "host/atcl.h"
#include "host/qui_private.h"
#include "host/standin/standin.h"
#include "host/tst.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QEvent>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>

namespace
{
QString describe(const QDialog* dialog)
{
    QString text = dialog->windowTitle() + QLatin1Char('\n');
    if (const auto* box = qobject_cast<const QMessageBox*>(dialog))
        text += box->text();
    return text;
}

// The button a user presses to accept the dialog: the default button of a message box, the
// accepting button (OK, Open, ...) of a button box, else the dialog's default push button.
// Pressing it runs what the dialog does on OK (its checks and conversions), where accept()
// would skip them.
QAbstractButton* accepting_button(QDialog* dialog)
{
    const auto usable = [dialog](QAbstractButton* button) {
        return button != nullptr && button->isVisibleTo(dialog) && button->isEnabled();
    };
    if (auto* box = qobject_cast<QMessageBox*>(dialog))
    {
        QAbstractButton* button = box->defaultButton() ? box->defaultButton() : box->button(QMessageBox::Ok);
        return usable(button) ? button : nullptr;
    }
    for (QDialogButtonBox* buttons : dialog->findChildren<QDialogButtonBox*>())
    {
        if (usable(buttons->button(QDialogButtonBox::Ok)))
            return buttons->button(QDialogButtonBox::Ok);
        for (QAbstractButton* button : buttons->buttons())
            if (buttons->buttonRole(button) == QDialogButtonBox::AcceptRole && usable(button))
                return button;
    }
    for (QPushButton* button : dialog->findChildren<QPushButton*>())
        if (button->isDefault() && usable(button))
            return button;
    return nullptr;
}

// The step runs in the script's interpreter while the script's own command waits for this
// dialog: the interpreter's result is put back afterwards, so that command's result stands.
void run_step(const QString& command, qui_detail::responder_record* record)
{
    Tcl_Interp* interp = atcl_get_interpreter();
    Tcl_InterpState outer = Tcl_SaveInterpState(interp, TCL_OK);
    record->code = Tcl_EvalEx(interp, command.toUtf8().constData(), -1, TCL_EVAL_GLOBAL);
    record->result = Tcl_GetStringResult(interp);
    Tcl_RestoreInterpState(interp, outer);
}

// The dialog's own event loop has started when this runs: QDialog::exec shows the dialog
// before it enters its loop, so closing it from inside the Show event would leave exec()
// waiting forever. After the step the dialog is accepted as a user would, by pressing its OK;
// a dialog that stays open after that (it refused what it holds) is cancelled.
void respond(const QPointer<QDialog>& dialog, const QString& command)
{
    qui_detail::responder_record record;
    record.command = command.toStdString();
    record.dialog_title = dialog ? dialog->windowTitle().toStdString() : std::string();
    record.code = -1;
    if (!command.isEmpty())
        run_step(command, &record);
    if (dialog && dialog->isVisible())
    {
        if (QAbstractButton* ok = accepting_button(dialog))
            ok->click();
        else
            dialog->accept();
        record.accepted = dialog && !dialog->isVisible() && dialog->result() == QDialog::Accepted;
    }
    if (dialog && dialog->isVisible())
    {
        dialog->reject();
        record.rejected = true;
    }
    qui_detail::state().responses.push_back(record);
}

void press(QDialog* dialog, int result)
{
    if (auto* box = qobject_cast<QMessageBox*>(dialog))
    {
        if (QAbstractButton* button = box->button(static_cast<QMessageBox::StandardButton>(result)))
        {
            button->click();
            return;
        }
    }
    dialog->done(result);
}

// Nobody can answer a modal dialog on a display that is not shown: left alone, its exec()
// would never return.
bool headless()
{
    const QString platform = QGuiApplication::platformName();
    return platform == QLatin1String("offscreen") || platform == QLatin1String("minimal");
}

void answer(const QPointer<QDialog>& dialog)
{
    if (!dialog || !dialog->isVisible())
        return;
    auto& answers = qui_detail::state().dialog_answers;
    const QString text = describe(dialog);
    if (!answers.empty() && (answers.front().pattern.isEmpty() || text.contains(answers.front().pattern)))
    {
        const int result = answers.front().result;
        answers.pop_front();
        press(dialog, result);
        return;
    }
    qui_detail::state().unanswered_dialogs.push_back(text.toStdString());
    dialog->reject();
}

class modal_filter : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Show || event->spontaneous())
            return false;
        auto* dialog = qobject_cast<QDialog*>(watched);
        if (dialog == nullptr || !dialog->isWindow() || dialog->windowModality() == Qt::NonModal)
            return false;
        schedule(dialog);
        return false;
    }

private:
    void schedule(QDialog* dialog)
    {
        auto& s = qui_detail::state();
        const QPointer<QDialog> guard(dialog);
        if (s.responder_armed)
        {
            s.responder_armed = false;
            const QString command = s.responder_command;
            QMetaObject::invokeMethod(
                this, [guard, command] { respond(guard, command); }, Qt::QueuedConnection);
        }
        else if (!s.dialog_answers.empty() || headless())
        {
            QMetaObject::invokeMethod(
                this, [guard] { answer(guard); }, Qt::QueuedConnection);
        }
    }
};
} // namespace

namespace qui_detail
{
void install_modal_filter()
{
    static QPointer<modal_filter> filter;
    if (filter || QCoreApplication::instance() == nullptr)
        return;
    filter = new modal_filter(QCoreApplication::instance());
    QCoreApplication::instance()->installEventFilter(filter);
}
} // namespace qui_detail

// The delay is the host's pacing for a watched test run; the stand-in answers on the
// dialog's first event-loop turn so headless runs stay fast, and keeps the value for tests.
void qui_prepare_for_modal_dlg_if_in_test(const QString& command, int ms)
{
    standin::record_call("qui:qui_prepare_for_modal_dlg_if_in_test(\"" + command.toStdString() + "\"," +
                         std::to_string(ms) + ")");
    if (!tst_is_regtest_mode())
        return;
    qui_detail::install_modal_filter();
    auto& s = qui_detail::state();
    s.responder_armed = true;
    s.responder_command = command;
    s.responder_ms = ms;
}
