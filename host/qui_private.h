#pragma once
// State shared by the sources of the main-window framework stand-in and its test seams.
// Neither library code nor tests include it.

#include "host/qui.h"
#include "host/standin/qui_control.h"

#include <QCoreApplication>
#include <QDockWidget>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace qui_detail
{
// The host's file chooser: the next scripted choice when one is queued, else a real dialog;
// a headless run without a scripted choice cancels. `path` holds the proposal on entry.
bool choose_file(QWidget* parent, const QString& title, bool save, QString* path);

struct file_choice
{
    bool accepted = false;
    QString path;
};

// A started flow is kept as the seam reports it.
using flow_record = standin::qui::flow;

struct dialog_answer
{
    QString pattern; // matched against "<title>\n<text>"; empty matches any dialog
    int result = 0;  // a QMessageBox::StandardButton for message boxes, else the done() code
};

struct responder_record
{
    std::string command;
    int code = 0; // Tcl code of the command; -1 when there was none to evaluate
    std::string result;
    std::string dialog_title;
    bool accepted = false;
    bool rejected = false;
};

struct qui_state
{
    std::deque<file_choice> file_choices;
    std::vector<flow_record> flows;
    bool flow_allowed = true;
    bool flow_running = false;
    unsigned generation = 0; // bumped on reset so a pending flow end of an old test is dropped
    QUI_FRAME_WND* main_frame_override = nullptr;
    bool has_project_manager = false;
    bool project_open = false;
    std::string top_entity;
    std::string revision;
    std::string project_dir;
    bool responder_armed = false;
    QString responder_command;
    int responder_ms = 0;
    std::vector<responder_record> responses;
    std::deque<dialog_answer> dialog_answers;
    std::vector<std::string> unanswered_dialogs;
    std::vector<std::string> opened_files;
    std::vector<QString> omitted_toolbars; // host toolbars a new frame is built without
};

qui_state& state();

// A test's own step after the simulated compile of a flow; survives resets.
std::function<void(QUI_FRAME_WND*, int)>& flow_simulator();

// Installs one filter of this type on the application, once; none before an application exists.
template <class FILTER> void install_application_filter()
{
    static QPointer<FILTER> filter;
    if (filter || QCoreApplication::instance() == nullptr)
        return;
    filter = new FILTER(QCoreApplication::instance());
    QCoreApplication::instance()->installEventFilter(filter);
}

// Makes sure the application-wide filter that answers modal dialogs is installed.
void install_modal_filter();
// Makes sure the application-wide filter is installed that brings a menu's entries up to date
// before a key runs one of them.
void install_shortcut_refresher();
// Makes sure the application-wide filter is installed that gives a window the keyboard back when
// a modal dialog of it closes and no window is active.
void install_dialog_closing_watch();
// Gives the host entries of the window's menus that have no key the host's standard keys.
void give_standard_keys(QMainWindow* window);

// The multi-document side of a main window with a document area: while an attached document
// window is the active one, its menu bar (its own menus, which hold the host's entries and its
// own) stands in the main window's menu bar and copies of its toolbars, over the same actions,
// in the main window's toolbar area; the document window's own bars are hidden meanwhile. Any
// change of the active window, its bars or its attachment re-merges on the next event-loop
// turn; with no attached document window the main window shows its own bars again.
class mdi_host : public QObject
{
public:
    mdi_host(QUI_FRAME_WND* main, QMdiArea* area);
    ~mdi_host() override;

    QUI_FRAME_WND* active_child() const;
    QUI_FRAME_WND* merged_child() const { return m_merged; }
    void schedule_merge();
    void merge();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void unmerge();
    void enable_own_edit_commands(bool enable);
    void merge_menus(QUI_FRAME_WND* child);
    void merge_toolbars(QUI_FRAME_WND* child);
    void watch(QObject* object);

    QUI_FRAME_WND* m_main;
    QMdiArea* m_area;
    QPointer<QUI_FRAME_WND> m_merged;
    QList<QAction*> m_own_menus; // the main window's menu bar before the merge
    QList<QPointer<QToolBar>> m_hidden_own_toolbars;
    QList<QPointer<QToolBar>> m_hidden_child_toolbars;
    QList<QPointer<QToolBar>> m_copies;
    QList<QPointer<QObject>> m_watched;
    QList<QMetaObject::Connection> m_watch_connections;
    bool m_merge_pending = false;
};

// The dock of the message window: one row per posted message, newest last.
class message_window : public QDockWidget
{
public:
    explicit message_window(QWidget* parent);
    ~message_window() override;
    message_window(const message_window&) = delete;
    message_window& operator=(const message_window&) = delete;

private:
    void add_row(const std::string& kind, unsigned int id, const std::string& text, int depth);

    int m_listener = 0;
};

// Makes the posted messages of a host main window seen where the user looks: each one stands
// in its status bar, and an error or warning brings its message window forward, as the suite's
// always open message pane does. Lives as a Qt child of the window.
void watch_posted_messages(QUI_FRAME_WND* main);
} // namespace qui_detail
