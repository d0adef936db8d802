// QUI_FRAME_MGR, QUI_APP, QUI_PRJ_UI_MGR, the main frame of GUI tests and the host's file
// chooser.
#include "host/qui.h"

#include "host/qui_private.h"
#include "host/standin/standin.h"

#include "host/fio.h"
#include "host/msg.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QPlainTextEdit>

QUI_FRAME_MGR* QUI_FRAME_MGR::get_frame_mgr()
{
    static QUI_FRAME_MGR manager;
    return &manager;
}

namespace
{
// The most of a file the text viewer shows.
constexpr int64_t MAX_VIEWED_SIZE = 64 << 20;

void post_open(const std::string& text, bool opened)
{
    if (opened)
    {
        MSG_I message;
        message.fill_args("%1!s!/IQUI_FILE_OPENED", text.c_str());
        message.post();
        return;
    }
    MSG_W message;
    message.fill_args("%1!s!/WQUI_FILE_NOT_OPENED", text.c_str());
    message.post();
}

// The host's editor for text files, read-only here: a window of the host main window (or of its
// own when there is none) that goes when it is closed.
void show_text_file(const QString& path, const std::string& text)
{
    auto* viewer = new QPlainTextEdit(qui_get_main_frame_wnd());
    viewer->setWindowFlags(Qt::Window);
    viewer->setObjectName(QStringLiteral("QUI_TEXT_VIEWER"));
    viewer->setAttribute(Qt::WA_DeleteOnClose);
    viewer->setReadOnly(true);
    viewer->setLineWrapMode(QPlainTextEdit::NoWrap);
    viewer->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    viewer->setWindowTitle(QFileInfo(path).fileName());
    viewer->setPlainText(QString::fromLocal8Bit(text.data(), int(text.size())));
    viewer->resize(720, 480);
    viewer->show();
}
} // namespace

// The file is shown in the host's text viewer, and the Messages window says which file it is or
// why it is not shown.
bool QUI_FRAME_MGR::open_file(const char* path, bool read_only, bool add_to_recent, bool activate)
{
    const std::string file = path ? path : "";
    standin::record_call("qui:QUI_FRAME_MGR::open_file(\"" + file + "\"," + std::to_string(read_only) + "," +
                         std::to_string(add_to_recent) + "," + std::to_string(activate) + ")");
    qui_detail::state().opened_files.push_back(file);
    std::string text;
    std::string reason = "no file is named";
    if (file.empty() || !fio_read_regular_file(file, MAX_VIEWED_SIZE, &text, &reason))
    {
        post_open("Cannot open " + file + ": " + reason, false);
        return false;
    }
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr)
        show_text_file(QString::fromLocal8Bit(file.c_str()), text);
    post_open("Opened " + file, true);
    return true;
}

QList<QUI_FRAME_WND*> QUI_FRAME_MGR::get_opened_frame_wnd_list(const QString& extension) const
{
    if (extension.isEmpty())
        return m_frames;
    QList<QUI_FRAME_WND*> frames;
    for (QUI_FRAME_WND* frame : m_frames)
        if (frame->get_frame_info() && extension == QLatin1String(frame->get_frame_info()->get_extension()))
            frames.append(frame);
    return frames;
}

QUI_FRAME_WND* QUI_FRAME_MGR::find_frame(const FIO_PATH& path) const
{
    if (path.is_empty())
        return nullptr;
    for (QUI_FRAME_WND* frame : m_frames)
        if (!frame->get_file_path().is_empty() && frame->get_file_path() == path)
            return frame;
    return nullptr;
}

void QUI_FRAME_MGR::add_frame(QUI_FRAME_WND* frame)
{
    if (frame && !m_frames.contains(frame))
        m_frames.append(frame);
}

void QUI_FRAME_MGR::remove_frame(QUI_FRAME_WND* frame)
{
    m_frames.removeAll(frame);
    if (qui_detail::state().main_frame_override == frame)
        qui_detail::state().main_frame_override = nullptr;
}

QUI_APP* qui_get_app()
{
    static QUI_APP app;
    return &app;
}

QUI_PRJ_UI_MGR* QUI_PRJ_UI_MGR::get_prj_ui_mgr()
{
    static QUI_PRJ_UI_MGR manager;
    return qui_detail::state().has_project_manager ? &manager : nullptr;
}

bool QUI_PRJ_UI_MGR::project_is_open() const
{
    return qui_detail::state().project_open;
}

const char* QUI_PRJ_UI_MGR::get_top_entity_name() const
{
    return project_is_open() ? qui_detail::state().top_entity.c_str() : "";
}

const char* QUI_PRJ_UI_MGR::get_revision_name() const
{
    return project_is_open() ? qui_detail::state().revision.c_str() : "";
}

const char* QUI_PRJ_UI_MGR::get_project_dir() const
{
    return project_is_open() ? qui_detail::state().project_dir.c_str() : "";
}

QUI_FRAME_WND* qui_get_main_frame_wnd()
{
    if (QUI_FRAME_WND* frame = qui_detail::state().main_frame_override)
        return frame;
    const QList<QUI_FRAME_WND*> frames = QUI_FRAME_MGR::get_frame_mgr()->get_opened_frame_wnd_list();
    for (auto it = frames.crbegin(); it != frames.crend(); ++it)
        if ((*it)->is_main_window())
            return *it;
    return nullptr;
}

namespace qui_detail
{
bool choose_file(QWidget* parent, const QString& title, bool save, QString* path)
{
    auto& choices = state().file_choices;
    if (!choices.empty())
    {
        const file_choice choice = choices.front();
        choices.pop_front();
        if (choice.accepted)
            *path = choice.path;
        return choice.accepted;
    }
    // Nobody can answer a dialog on a headless display: that is a cancel, never a hang.
    if (QGuiApplication::platformName() == QLatin1String("offscreen"))
    {
        standin::record_call("qui:file_dialog_unanswered(\"" + title.toStdString() + "\")");
        return false;
    }
    QFileDialog dialog(parent, title);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (!path->isEmpty())
        dialog.selectFile(*path);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    *path = dialog.selectedFiles().first();
    return true;
}
} // namespace qui_detail
