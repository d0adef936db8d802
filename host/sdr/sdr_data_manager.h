#pragma once
// Process-wide registry of the open data sessions, by absolute path (or reserved name). It owns
// every registered session; an editing session that uses one keeps it from being closed here.

#include <QString>

#include <map>
#include <memory>
#include <string>
#include <vector>

class SDR_DATA_SESSION;

class SDR_DATA_MANAGER
{
public:
    static SDR_DATA_MANAGER* get_data_repository_manager();

    SDR_DATA_SESSION* get_session_opened(const char* path);
    SDR_DATA_SESSION* open_session(const char* file);
    bool close_session(const char* file);
    SDR_DATA_SESSION* find_session(const char* name);
    SDR_DATA_SESSION* create_session(const char* name);
    // Why the last open or save of an analyzer file failed, by any session ("" after a
    // success): the file, the archive entry and the problem. The host reports it with its own
    // open and save failures.
    const std::string& get_last_error() const { return m_last_error; }
    void set_last_error(const std::string& error) { m_last_error = error; }
    // Why the repository last refused an edit or an acquisition because the document would
    // pass a limit of an analyzer file (sdr_file_limits.h); "" when nothing was refused since
    // the last call. Taking it clears it.
    std::string take_refusal();
    bool has_refusal() const { return !m_refusal.empty(); }
    // Records that refusal; returns false, for the refusing operation to return.
    static bool refuse(const QString& problem);
    // Whether the file can store `value` as `what` ("the log name"); false, with the refusal
    // recorded, when it cannot.
    static bool text_fits(const std::string& value, const char* what);

    // --- repository internals ----------------------------------------------------------------
    // Registry key of a path: its absolute form (reserved names are kept as they are).
    static std::string key_of(const std::string& path);
    // Takes ownership of `session` under its name; false (and the session is deleted) when the
    // name is already taken by another session.
    bool register_session(std::unique_ptr<SDR_DATA_SESSION> session);
    // Re-registers `session` under a new name (save under another path, stripped rename).
    bool rename_session(SDR_DATA_SESSION* session, const std::string& name);
    // Removes and deletes `session` whatever uses it (the editing session closing it).
    void release_session(SDR_DATA_SESSION* session);
    bool is_registered(const SDR_DATA_SESSION* session) const;
    int session_count() const { return static_cast<int>(m_sessions.size()); }
    // Every open session, in name order.
    std::vector<SDR_DATA_SESSION*> sessions();
    // Drops every session and the last error (test reset).
    void clear();

private:
    std::map<std::string, std::unique_ptr<SDR_DATA_SESSION>> m_sessions;
    std::string m_last_error;
    std::string m_refusal;
};
