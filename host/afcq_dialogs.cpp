// Application-framework stand-in: the host's dialog base and message box, the file dialog with
// its scripted answers, the wait cursor, file filters and custom shortcuts.
#include "host/afcq.h"

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
} // namespace

AFCQ_DIALOG::AFCQ_DIALOG(QWidget* parent, Qt::WindowFlags flags) : QDialog(parent, flags)
{
    ++state().dialogs;
}

void AFCQ_DIALOG::help_button_clicked()
{
    state().help_requests << windowTitle();
    standin::record_call("afcq:AFCQ_DIALOG::help_button_clicked(\"" + windowTitle().toStdString() + "\")");
}

void afcq_message_box(const QString& text, int type)
{
    state().message_boxes << text;
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
    s.titles << windowTitle();
    s.last_file_dialog = {nameFilters(), acceptMode() == QFileDialog::AcceptSave, directory().absolutePath(),
                          selectedFiles().value(0)};
    standin::record_call("afcq:AFCQ_FILE_DLG::exec(\"" + windowTitle().toStdString() + "\")");
    if (s.answers.empty())
        return headless() ? QDialog::Rejected : QFileDialog::exec();
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
