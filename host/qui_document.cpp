// QUI_FRAME_WND document commands (the host's part of new, open, save, save as) and the
// untitled names of QUI_FRAME_INFO.
#include "host/qui.h"

#include "host/qui_private.h"
#include "host/standin/standin.h"
#include "host/tst.h"

#include <QCloseEvent>
#include <QShowEvent>
#include <QFileInfo>
#include <QMdiSubWindow>
#include <QMessageBox>

namespace
{
std::string quoted(const QString& text)
{
    return "\"" + text.toStdString() + "\"";
}

// The window shows the file name and, while the document is modified, Qt's mark in place
// of the placeholder; the full path stays in the frame's file path.
QString title_of(const QString& path)
{
    return QFileInfo(path).fileName() + QStringLiteral("[*]");
}
} // namespace

QUI_FRAME_INFO::QUI_FRAME_INFO(const char* untitled_base, const char* extension)
    : m_base(untitled_base ? untitled_base : "Untitled"), m_extension(extension ? extension : "")
{
    rebuild_name();
}

const char* QUI_FRAME_INFO::get_untitled() const
{
    return m_name.c_str();
}

const char* QUI_FRAME_INFO::next_untitled()
{
    ++m_count;
    rebuild_name();
    return m_name.c_str();
}

void QUI_FRAME_INFO::rebuild_name()
{
    m_name = m_base + std::to_string(m_count < 1 ? 1 : m_count);
    if (!m_extension.empty())
        m_name += "." + m_extension;
}

bool QUI_FRAME_WND::new_file()
{
    standin::record_call("qui:new_file()");
    m_file_path = FIO_PATH();
    setWindowTitle(
        title_of(m_info ? QString::fromLocal8Bit(m_info->next_untitled()) : QStringLiteral("Untitled")));
    return true;
}

bool QUI_FRAME_WND::open_file(QString const& path)
{
    standin::record_call("qui:open_file(" + quoted(path) + ")");
    if (path.isEmpty())
        return false;
    m_file_path = FIO_PATH(path.toLocal8Bit().toStdString());
    set_window_title(m_file_path);
    return true;
}

// The host's full open: a file already shown by another frame is brought forward instead
// of being opened twice; otherwise this frame opens it.
bool QUI_FRAME_WND::open_file(QString const& path, bool read_only, bool add_to_recent, bool select_frame,
                              bool activate, bool check_open)
{
    standin::record_call("qui:open_file(" + quoted(path) + "," + std::to_string(read_only) + "," +
                         std::to_string(add_to_recent) + "," + std::to_string(select_frame) + "," +
                         std::to_string(activate) + "," + std::to_string(check_open) + ")");
    if (check_open && find_open_file(path, activate))
        return true;
    const PROJECT_RETURN back_to_previous_project = open_project_of(path);
    bool opened = false;
    if (QUI_FRAME_WND* window = make_document_window())
    {
        opened = window->open_file(path);
        if (!opened)
            discard_document_window(window);
    }
    else
        opened = open_file(path);
    if (!opened && back_to_previous_project)
        back_to_previous_project();
    return opened;
}

void QUI_FRAME_WND::set_project_opener(PROJECT_OPENER opener)
{
    m_project_opener = std::move(opener);
}

QUI_FRAME_WND::PROJECT_RETURN QUI_FRAME_WND::open_project_of(const QString& document)
{
    QUI_FRAME_WND* main = get_main_window();
    QUI_FRAME_WND* keeper = main != nullptr ? main : this;
    return keeper->m_project_opener ? keeper->m_project_opener(document) : PROJECT_RETURN();
}

bool QUI_FRAME_WND::save_file(QString const& path)
{
    standin::record_call("qui:save_file(" + quoted(path) + ")");
    if (path.isEmpty())
        return false;
    const FIO_PATH target(path.toLocal8Bit().toStdString());
    if (target != m_file_path)
    {
        m_file_path = target;
        set_window_title(m_file_path);
    }
    return true;
}

// Proposes the given name, else the document's, else the untitled name; regression tests
// take the proposal without a dialog.
bool QUI_FRAME_WND::save_as(FIO_PATH const& path)
{
    standin::record_call("qui:save_as(" + quoted(QString::fromStdString(path.str())) + ")");
    std::string proposal = path.fullpath();
    if (proposal.empty())
        proposal = m_file_path.fullpath();
    if (proposal.empty() && m_info)
        proposal = m_info->get_untitled();
    QString chosen = QString::fromLocal8Bit(proposal.c_str());
    if (!tst_is_regtest_mode() && !qui_detail::choose_file(this, tr("Save As"), true, &chosen))
        return false;
    return save_file(chosen);
}

bool QUI_FRAME_WND::save_modified(bool ask)
{
    standin::record_call("qui:save_modified()");
    if (!isWindowModified())
        return true;
    switch (ask ? ask_to_save_changes() : QMessageBox::Save)
    {
    case QMessageBox::Discard:
        return true;
    case QMessageBox::Save:
        on_save_action();
        // A save that failed or was cancelled leaves the document modified: it stays open.
        return !isWindowModified();
    default:
        return false;
    }
}

// Save, Discard or Cancel; closing the box is Cancel.
int QUI_FRAME_WND::ask_to_save_changes()
{
    QString name = windowTitle();
    name.remove(QStringLiteral("[*]"));
    QMessageBox box(QMessageBox::Question, QStringLiteral("Corvane"),
                    tr("Do you want to save the changes to %1?").arg(name),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, this);
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    return box.exec();
}

// Every document window is asked before the host main window goes, and a document window
// before it goes itself; one that says no keeps everything open.
bool QUI_FRAME_WND::may_close()
{
    if (is_main_window())
        for (QUI_FRAME_WND* frame : QUI_FRAME_MGR::get_frame_mgr()->get_opened_frame_wnd_list())
            if (frame != this && !frame->is_main_window() && !frame->save_modified(true))
                return false;
    return save_modified(true);
}

void QUI_FRAME_WND::closeEvent(QCloseEvent* event)
{
    if (!may_close())
    {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

void QUI_FRAME_WND::showEvent(QShowEvent* event)
{
    sync_window_entries();
    QMainWindow::showEvent(event);
}

// Exit closes the application's main window, whichever window's menu it was chosen from.
void QUI_FRAME_WND::on_exit_action()
{
    QUI_FRAME_WND* main = get_main_window();
    (main != nullptr ? main : this)->close();
}

// The window-modified flag is Qt's; the host's part is to show it in the title.
bool QUI_FRAME_WND::modified()
{
    standin::record_call("qui:modified(" + std::to_string(isWindowModified()) + ")");
    return isWindowModified();
}

void QUI_FRAME_WND::set_window_title(const FIO_PATH& path)
{
    setWindowTitle(title_of(QString::fromLocal8Bit(path.str().c_str())));
}

bool QUI_FRAME_WND::find_open_file(const QString& path, bool activate)
{
    QUI_FRAME_WND* frame =
        QUI_FRAME_MGR::get_frame_mgr()->find_frame(FIO_PATH(path.toLocal8Bit().toStdString()));
    if (frame && activate)
    {
        frame->raise();
        frame->activateWindow();
    }
    return frame != nullptr;
}

void QUI_FRAME_WND::on_open_action()
{
    standin::record_call("qui:on_open_action()");
    QString chosen;
    if (!qui_detail::choose_file(this, tr("Open File"), false, &chosen))
        return;
    if (!find_open_file(chosen, true) && save_modified(true))
        open_file(chosen, false, true, true, true, true);
}

// This host keeps one document per window: New replaces it once the user let the old one go.
// A main window with a document area has no document of its own: it opens a document window.
void QUI_FRAME_WND::on_new_action()
{
    standin::record_call("qui:on_new_action()");
    if (QUI_FRAME_WND* window = make_document_window())
    {
        if (!window->new_file())
            discard_document_window(window);
        return;
    }
    if (save_modified(true))
        new_file();
}

void QUI_FRAME_WND::set_document_window_maker(std::function<QUI_FRAME_WND*()> maker)
{
    m_document_window_maker = std::move(maker);
}

QUI_FRAME_WND* QUI_FRAME_WND::make_document_window()
{
    if (!is_main_window() || m_mdi_area == nullptr || !m_document_window_maker)
        return nullptr;
    return m_document_window_maker();
}

// A document window whose document could not be made goes again, with its sub-window.
void QUI_FRAME_WND::discard_document_window(QUI_FRAME_WND* window)
{
    QWidget* holder = qobject_cast<QMdiSubWindow*>(window->parentWidget());
    (holder != nullptr ? holder : window)->deleteLater();
}

void QUI_FRAME_WND::on_save_action()
{
    if (m_file_path.is_empty())
        save_as(FIO_PATH());
    else
        save_file(QString::fromLocal8Bit(m_file_path.fullpath().c_str()));
}

void QUI_FRAME_WND::on_save_as_action()
{
    save_as(FIO_PATH());
}
