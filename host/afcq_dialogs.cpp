// Application-framework stand-in: the host's dialog base and message box, the file dialog with
// its scripted answers, the wait cursor, file filters and custom shortcuts.
#include "host/afcq.h"

#include "host/qui_private.h"
#include "host/standin/afcq_control.h"
#include "host/standin/msg_control.h"
#include "host/standin/standin.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QMessageBox>

#include <deque>

namespace
{
struct dialog_answer
{
    bool accepted = false;
    QString file;
};

struct dialog_state
{
    std::deque<dialog_answer> answers;
    QStringList titles;
    standin::afcq::file_dialog_settings last_file_dialog;
    int dialogs = 0;
    QStringList help_requests;
    QStringList message_boxes;
};

dialog_state& state()
{
    static dialog_state s;
    return s;
}

void reset()
{
    state() = dialog_state();
}

const standin::reset_registrar registrar(&reset);

bool headless()
{
    const QString platform = QGuiApplication::platformName();
    return platform == QLatin1String("offscreen") || platform == QLatin1String("minimal");
}

// A copy whose characters this program owns. Texts the analyzer library hands over may be
// literals of the library itself; the state here outlives the library (it is destroyed at
// exit, after the library is unloaded), so it never keeps a shared reference to them.
QString owned(const QString& text)
{
    return QString(text.constData(), text.size());
}

QStringList owned(const QStringList& texts)
{
    QStringList copies;
    for (const QString& text : texts)
        copies << owned(text);
    return copies;
}
} // namespace

AFCQ_DIALOG::AFCQ_DIALOG(QWidget* parent, Qt::WindowFlags flags) : QDialog(parent, flags)
{
    ++state().dialogs;
}

void AFCQ_DIALOG::help_button_clicked()
{
    state().help_requests << owned(windowTitle());
    standin::record_call("afcq:AFCQ_DIALOG::help_button_clicked(\"" + windowTitle().toStdString() + "\")");
}

void afcq_message_box(const QString& text, int type)
{
    state().message_boxes << owned(text);
    standin::record_call("afcq:afcq_message_box(" + std::to_string(type) + ")");
    if (standin::msg::is_interactive() && !headless())
        QMessageBox::information(nullptr, QStringLiteral("Vantrel"), text);
}

AFCQ_FILE_DLG::AFCQ_FILE_DLG(QWidget* parent) : QFileDialog(parent)
{
    setOption(QFileDialog::DontUseNativeDialog, true);
}

int AFCQ_FILE_DLG::exec()
{
    dialog_state& s = state();
    s.titles << owned(windowTitle());
    s.last_file_dialog = {owned(nameFilters()), acceptMode() == QFileDialog::AcceptSave,
                          owned(directory().absolutePath()), owned(selectedFiles().value(0))};
    standin::record_call("afcq:AFCQ_FILE_DLG::exec(\"" + windowTitle().toStdString() + "\")");
    // A test step that answers the dialog as a user would needs the dialog shown.
    if (s.answers.empty())
        return headless() && !qui_detail::state().responder_armed ? QDialog::Rejected : QFileDialog::exec();
    const dialog_answer answer = s.answers.front();
    s.answers.pop_front();
    if (!answer.accepted)
        return QDialog::Rejected;
    selectFile(answer.file);
    return QDialog::Accepted;
}

AFCQ_WAIT_CURSOR::AFCQ_WAIT_CURSOR(bool show) : m_shown(show && qobject_cast<QApplication*>(qApp) != nullptr)
{
    if (m_shown)
        QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

AFCQ_WAIT_CURSOR::~AFCQ_WAIT_CURSOR()
{
    if (m_shown)
        QApplication::restoreOverrideCursor();
}

QString afcq_create_filter(int type_flags, const char*, int)
{
    if ((type_flags & 512) != 0)
        return QStringLiteral("Vantrel File (*.vtl)");
    return QStringLiteral("All Files (*)");
}

QString afcq_get_custom_shortcut(AFCQ_ACTION_ENUM id)
{
    return id == AFCQ_EDIT_FIND_NEXT_ACTION ? QStringLiteral("F3") : QString();
}

namespace standin::afcq
{
void push_file_dialog_result(bool accepted, const QString& file)
{
    state().answers.push_back({accepted, file});
}

int pending_file_dialog_results()
{
    return static_cast<int>(state().answers.size());
}

QStringList file_dialog_titles()
{
    return state().titles;
}

file_dialog_settings last_file_dialog()
{
    return state().last_file_dialog;
}

int dialogs_constructed()
{
    return state().dialogs;
}

QStringList help_requests()
{
    return state().help_requests;
}

QStringList message_box_texts()
{
    return state().message_boxes;
}
} // namespace standin::afcq
