// SDR_DATA_MANAGER: the process-wide registry of open data sessions.

#include "host/sdr/sdr_data_manager.h"

#include "host/sdr/sdr_data_model.h"
#include "host/sdr/sdr_file.h"
#include "host/sdr/sdr_file_limits.h"

#include <QFileInfo>
#include <QString>

#include <sys/stat.h>

SDR_DATA_MANAGER* SDR_DATA_MANAGER::get_data_repository_manager()
{
    static SDR_DATA_MANAGER manager;
    return &manager;
}

std::string SDR_DATA_MANAGER::key_of(const std::string& path)
{
    if (path.empty() || path == SDR_RESERVED_SESSION_NAME)
        return path;
    return QFileInfo(QString::fromLocal8Bit(path.c_str())).absoluteFilePath().toLocal8Bit().toStdString();
}

// The same file under another name (through a symbolic or a hard link) is the same document:
// opening it twice would give two sessions that save over each other.
SDR_DATA_SESSION* SDR_DATA_MANAGER::get_session_opened(const char* path)
{
    if (path == nullptr)
        return nullptr;
    auto it = m_sessions.find(key_of(path));
    if (it != m_sessions.end())
        return it->second.get();
    struct stat wanted;
    if (*path == '\0' || ::stat(path, &wanted) != 0)
        return nullptr;
    for (const auto& entry : m_sessions) {
        struct stat st;
        if (::stat(entry.first.c_str(), &st) == 0 && st.st_dev == wanted.st_dev && st.st_ino == wanted.st_ino)
            return entry.second.get();
    }
    return nullptr;
}

SDR_DATA_SESSION* SDR_DATA_MANAGER::open_session(const char* file)
{
    if (file == nullptr || *file == '\0')
        return nullptr;
    if (SDR_DATA_SESSION* open = get_session_opened(file))
        return open;
    std::unique_ptr<SDR_DATA_SESSION> session = sdr_read_session_file(file, &m_last_error);
    if (!session)
        return nullptr;
    session->m_name = key_of(file);
    SDR_DATA_SESSION* result = session.get();
    return register_session(std::move(session)) ? result : nullptr;
}

bool SDR_DATA_MANAGER::close_session(const char* file)
{
    if (file == nullptr)
        return false;
    auto it = m_sessions.find(key_of(file));
    // An editing session still works on it: closing here would pull the document from under it.
    if (it == m_sessions.end() || it->second->m_tx_user != nullptr)
        return false;
    m_sessions.erase(it);
    return true;
}

SDR_DATA_SESSION* SDR_DATA_MANAGER::find_session(const char* name)
{
    return get_session_opened(name);
}

SDR_DATA_SESSION* SDR_DATA_MANAGER::create_session(const char* name)
{
    if (name == nullptr || *name == '\0' || get_session_opened(name) != nullptr)
        return nullptr;
    auto session = std::make_unique<SDR_DATA_SESSION>(key_of(name));
    SDR_DATA_SESSION* result = session.get();
    return register_session(std::move(session)) ? result : nullptr;
}

bool SDR_DATA_MANAGER::register_session(std::unique_ptr<SDR_DATA_SESSION> session)
{
    if (!session)
        return false;
    std::string key = key_of(session->m_name);
    if (m_sessions.count(key) != 0)
        return false;
    session->m_name = key;
    m_sessions[key] = std::move(session);
    return true;
}

bool SDR_DATA_MANAGER::rename_session(SDR_DATA_SESSION* session, const std::string& name)
{
    std::string key = key_of(name);
    for (auto it = m_sessions.begin(); it != m_sessions.end(); ++it) {
        if (it->second.get() != session)
            continue;
        if (it->first == key)
            return true;
        if (m_sessions.count(key) != 0)
            return false;
        std::unique_ptr<SDR_DATA_SESSION> owned = std::move(it->second);
        m_sessions.erase(it);
        owned->m_name = key;
        m_sessions[key] = std::move(owned);
        return true;
    }
    return false;
}

void SDR_DATA_MANAGER::release_session(SDR_DATA_SESSION* session)
{
    for (auto it = m_sessions.begin(); it != m_sessions.end(); ++it) {
        if (it->second.get() == session) {
            m_sessions.erase(it);
            return;
        }
    }
}

std::vector<SDR_DATA_SESSION*> SDR_DATA_MANAGER::sessions()
{
    std::vector<SDR_DATA_SESSION*> result;
    for (const auto& entry : m_sessions)
        result.push_back(entry.second.get());
    return result;
}

bool SDR_DATA_MANAGER::is_registered(const SDR_DATA_SESSION* session) const
{
    for (const auto& entry : m_sessions)
        if (entry.second.get() == session)
            return true;
    return false;
}

std::string SDR_DATA_MANAGER::take_refusal()
{
    std::string refusal;
    refusal.swap(m_refusal);
    return refusal;
}

bool SDR_DATA_MANAGER::refuse(const QString& problem)
{
    get_data_repository_manager()->m_refusal = problem.toStdString();
    return false;
}

bool SDR_DATA_MANAGER::text_fits(const std::string& value, const char* what)
{
    QString problem;
    return SDR_FILE_LIMITS::text_fits(value, what, &problem) || refuse(problem);
}

void SDR_DATA_MANAGER::clear()
{
    m_sessions.clear();
    m_last_error.clear();
    m_refusal.clear();
}
