// QUI_FRAME_WND document commands (the host's part of new, open, save, save as) and the
// untitled names of QUI_FRAME_INFO.
#include "host/qui.h"

#include "host/qui_private.h"
#include "host/standin/standin.h"
#include "host/tst.h"

#include <QFileInfo>

namespace
{
std::string quoted(const QString& text)
{
    return "\"" + text.toStdString() + "\"";
}

// The window shows the file name; the full path stays in the frame's file path.
QString title_of(const QString& path)
{
    return QFileInfo(path).fileName();
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
    setWindowTitle(m_info ? QString::fromLocal8Bit(m_info->next_untitled()) : QStringLiteral("Untitled"));
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
    return open_file(path);
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

bool QUI_FRAME_WND::save_modified(bool)
{
    standin::record_call("qui:save_modified()");
    return true;
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
