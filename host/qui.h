#pragma once
// Host main-window framework: the frame base class of every document window with its menu
// record and named toolbars, compile flows, printing, the frame manager and the project UI
// manager, and the modal-dialog hook of GUI regression tests.

#include "host/afcq.h"
#include "host/fio.h"
#include "host/ntfq.h"

#include <QList>
#include <QMainWindow>
#include <QMap>
#include <QMenu>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <string>

class QCloseEvent;
class QComboBox;
class QDockWidget;
class QMdiArea;
class QPrinter;
class QShowEvent;
class QToolBar;
class QUI_FRAME_WND;

namespace qui_detail
{
class mdi_host;
class message_window;
} // namespace qui_detail

// How the host opens a frame. A main-window frame is the application's main window; the
// other two are child frames of the host main window, inside its MDI area or on their own.
enum QUI_FW_STATE_ENUM
{
    QUI_FW_STATE_ATTACHED = 0,
    QUI_FW_STATE_DETACHED = 1,
    QUI_FW_STATE_MAIN_WINDOW = 2
};

// Frame state bits.
enum : unsigned
{
    // Save-as may preselect a file its owner cannot write.
    QUI_FW_BIT_PRESELECT_READ_ONLY = 0x4
};

// The document class a frame edits: its untitled names ("Untitled1.vtl", "Untitled2.vtl", ...)
// count up per frame information, so frames of one class never share an untitled name.
class QUI_FRAME_INFO
{
public:
    explicit QUI_FRAME_INFO(const char* untitled_base = "Untitled", const char* extension = "vtl");

    // The current untitled name; "Untitled1.vtl" before the first new document.
    const char* get_untitled() const;
    // Moves on to the next untitled name and returns it (the base frame's new_file).
    const char* next_untitled();
    const char* get_extension() const { return m_extension.c_str(); }

private:
    void rebuild_name();

    std::string m_base;
    std::string m_extension;
    int m_count = 0;
    std::string m_name;
};

// A host menu. The host fills it with its standard actions, which the record names as
// members; every action and submenu is a Qt child of the frame, so a frame may remove or
// delete entries without the other members dangling.
class QUI_QMENU : public QMenu
{
    Q_OBJECT
public:
    QUI_QMENU(const QString& title, QWidget* parent);

    // Puts `action` right after `after`; at the end when `after` is not in the menu.
    void insert_action_after(QAction* after, QAction* action);
    // Makes every listed action visible (`show` true) or hidden.
    void show_all_actions(const QList<QAction*>& actions, bool show);

protected:
    QAction* add_host_action(const QString& text, const QString& name);
    QMenu* add_host_submenu(const QString& title, const QString& name);
};

class QUI_FILE_MENU : public QUI_QMENU
{
    Q_OBJECT
public:
    explicit QUI_FILE_MENU(QWidget* parent);

    QAction* new_action;
    QAction* open_action;
    QAction* close_action;
    QAction* new_project_action;
    QAction* open_project_action;
    QAction* save_project_action;
    QAction* close_project_action;
    QAction* archive_project_action;
    QAction* save_action;
    QAction* save_as_action; // the entry after which a document window places its own entries
    QAction* file_properties_action;
    QMenu* create_update_menu;
    QAction* convert_programming_files_action;
    QAction* page_setup_action;
    QAction* print_preview_action; // first print entry
    QAction* print_action;         // second print entry
    QMenu* recent_project_menu;
    QAction* exit_action;

    // The entry after which a document window places its own File entries.
    QAction* get_placement_action() const { return save_as_action; }
    // The three entries below the placement: page setup and the two print entries.
    QList<QAction*> get_print_actions() const;
    // The project-level entries a stand-alone document window removes (New excluded).
    QList<QAction*> get_removable_actions() const;
};

class QUI_EDIT_MENU : public QUI_QMENU
{
    Q_OBJECT
public:
    explicit QUI_EDIT_MENU(QWidget* parent);

    QAction* undo_action;       // 694
    QAction* redo_action;       // 459
    QAction* cut_action;        // 112
    QAction* copy_action;       // 75
    QAction* paste_action;      // 408
    QAction* delete_action;     // 120
    QAction* select_all_action; // 513
    QAction* find_action;       // 178
    QAction* find_next_action;  // 179
    QAction* replace_action;    // 474
    QAction* go_to_action;      // 218
};

class QUI_VIEW_MENU : public QUI_QMENU
{
    Q_OBJECT
public:
    explicit QUI_VIEW_MENU(QWidget* parent);

    QMenu* utility_windows_menu;
    QAction* message_window_action; // in the Utility Windows submenu
    QAction* tcl_console_action;    // in the Utility Windows submenu
    QMenu* toolbars_menu;
    QAction* full_screen_action;
};

class QUI_PROJECT_MENU : public QUI_QMENU
{
    Q_OBJECT
public:
    explicit QUI_PROJECT_MENU(QWidget* parent);

    QAction* add_current_file_action; // hidden until a document window shows it
    QAction* add_remove_files_action;
    QAction* revisions_action;
};

class QUI_ASSIGNMENT_MENU : public QUI_QMENU
{
    Q_OBJECT
public:
    explicit QUI_ASSIGNMENT_MENU(QWidget* parent);

    QAction* device_action;
    QAction* settings_action;
    QAction* assignment_editor_action;
};

class QUI_PROCESSING_MENU : public QUI_QMENU
{
    Q_OBJECT
public:
    explicit QUI_PROCESSING_MENU(QWidget* parent);

    QAction* stop_processing_action;
    QAction* start_compilation_action; // starts flow 15
    QAction* rly_action;               // starts flow 80; enabled while Relayne can run
    QAction* compilation_report_action;
};

class QUI_TOOLS_MENU : public QUI_QMENU
{
    Q_OBJECT
public:
    explicit QUI_TOOLS_MENU(QWidget* parent);

    QAction* programmer_action;
    QMenu* netlist_viewers_menu;
    QAction* chip_planner_action;
    QAction* tcl_scripts_action;
    QAction* customize_action;
    QAction* options_action;
    QAction* license_setup_action;

    // The three entries a stand-alone document window keeps.
    QList<QAction*> get_kept_actions() const;
};

class QUI_WINDOW_MENU : public QUI_QMENU
{
    Q_OBJECT
public:
    explicit QUI_WINDOW_MENU(QWidget* parent);

    QAction* detach_action; // enabled by child frames
    QAction* attach_action; // enabled by child frames
    QAction* cascade_action;
    QAction* tile_action;
};

class QUI_HELP_MENU : public QUI_QMENU
{
    Q_OBJECT
public:
    explicit QUI_HELP_MENU(QWidget* parent);

    QAction* help_action;
    QAction* tutorial_action; // removed by a stand-alone document window
    QAction* about_action;
};

// The menus of one frame, in menu-bar order.
struct QUI_MENU_RECORD
{
    QUI_FILE_MENU* file_menu = nullptr;
    QUI_EDIT_MENU* edit_menu = nullptr;
    QUI_VIEW_MENU* view_menu = nullptr;
    QUI_PROJECT_MENU* project_menu = nullptr;
    QUI_ASSIGNMENT_MENU* assignment_menu = nullptr;
    QUI_PROCESSING_MENU* processing_menu = nullptr;
    QUI_TOOLS_MENU* tools_menu = nullptr;
    QUI_WINDOW_MENU* window_menu = nullptr;
    QUI_HELP_MENU* help_menu = nullptr;
};

// Base of every document window of the host. It owns its menu record, its toolbars, its
// preference pages and its printer; document commands are virtuals whose base versions do
// the host's part (path, title, bookkeeping, the save question) and report success. A main
// window with a document area works as a multi-document host: the active attached document
// window's menus and toolbars stand in the main window's menu bar and toolbar area, and the
// main window's own edit commands go to that window.
class QUI_FRAME_WND : public QMainWindow, public NTFQ_NOTIFY_TARGET
{
    Q_OBJECT
public:
    QUI_FRAME_WND(QUI_FRAME_INFO* info, QUI_FW_STATE_ENUM state, QWidget* parent = nullptr,
                  Qt::WindowFlags flags = Qt::WindowFlags());
    ~QUI_FRAME_WND() override;

    // Mode, fixed at construction.
    bool is_main_window() const;
    // The host main window: this frame in main-window mode, else the live main-window frame
    // of the process (null when there is none).
    QUI_FRAME_WND* get_main_window() const;
    bool main_wnd_has_mdi_area() const;
    // Gives this (main-window) frame an MDI area as central widget for attached children.
    QMdiArea* create_mdi_area();
    QMdiArea* get_mdi_area() const;
    // The document window the host's commands go to: the active (else the last active)
    // attached child of a main window with a document area; null for any other frame.
    QUI_FRAME_WND* get_active_child() const;
    // A main window with a document area opens the documents of its own New and Open in
    // document windows that this makes (the host application's editor factory); without one
    // those commands have no window to open in.
    void set_document_window_maker(std::function<QUI_FRAME_WND*()> maker);
    // The host application opens the project of a document that File > Open opens: given the
    // document, it opens that document's project when it has one of its own, and answers how to
    // return to the project before (nothing when it changed nothing), which the host does when
    // the document does not open. Kept by the main window (by the frame when there is none).
    using PROJECT_RETURN = std::function<void()>;
    using PROJECT_OPENER = std::function<PROJECT_RETURN(const QString& document)>;
    void set_project_opener(PROJECT_OPENER opener);
    QUI_FW_STATE_ENUM get_state() const { return m_state; }
    bool is_detached() const { return m_detached; }
    QUI_FRAME_INFO* get_frame_info() const { return m_info; }
    unsigned get_frame_state_bits() const { return m_state_bits; }
    void set_frame_state_bits(unsigned bits) { m_state_bits = bits; }

    // Menus and toolbars.
    QUI_MENU_RECORD* get_menu_record() const { return m_menu.get(); }
    QToolBar* get_toolbar(const QString& name) const;
    QToolBar* create_toolbar(const QString& name, const QStringList& buttons);
    void update_toolbar(const QString& name, const QStringList& buttons);
    QStringList get_toolbar_category(const QString& name) const;
    virtual QStringList get_predefined_toolbar_buttons(const QString& name);
    virtual QMap<QString, QStringList> get_toolbar_categories() const;
    // The action behind a toolbar button name ("AFCQ_SAVE_ACTION"); null for unknown names.
    QAction* get_toolbar_action(const QString& name) const;
    QList<QComboBox*>& get_toolbar_combo_boxes() { return m_toolbar_combo_boxes; }

    // Preference pages: the page trees this frame contributes (owned) and its own page id.
    QList<AFCQ_PAGE_INFO*>& get_preference_pages() { return m_preference_pages; }
    int get_page_id() const { return m_page_id; }
    void set_page_id(int id) { m_page_id = id; }

    // Document.
    virtual bool new_file();
    virtual bool open_file(QString const& path);
    bool open_file(QString const& path, bool read_only, bool add_to_recent, bool select_frame, bool activate,
                   bool check_open);
    virtual bool save_file(QString const& path);
    virtual bool save_as(FIO_PATH const& path);
    // True when the window may close: its document is not modified, or the user saved it or
    // let the changes go. `ask` false saves a modified document without asking. The question
    // (Save, Discard, Cancel) is a real box in interactive use; headless, with no scripted
    // answer, it is cancelled.
    virtual bool save_modified(bool ask);
    virtual void detach_window();
    virtual void attach_window();
    bool modified();
    void set_window_title(const FIO_PATH& path);
    const FIO_PATH& get_file_path() const { return m_file_path; }
    void set_file_path(const FIO_PATH& path) { m_file_path = path; }
    bool find_open_file(const QString& path, bool activate);
    // The message window: a dock listing every posted message, of the host main window (of
    // this frame when there is none). Made hidden on first use; "Messages" shows and hides it.
    QDockWidget* get_message_window();
    bool is_message_window_shown() const;

    // Compile flows: one at a time per process; the flow-finish notification follows on a
    // later turn of the event loop.
    bool can_start_flow();
    void start_flow(int flow, const char* text, bool save_first, bool incremental, bool show_report);

    // A PDF printer writing to a temporary file; owned by the frame.
    QPrinter* get_printer();
    // The frame's "Locate" submenu, built on first request (a Qt child of the frame).
    AFCQ_LOCATE_MENU* get_locate_menu();

    // Notifications; both return true.
    virtual bool ntfq_msg_prdq_updated(unsigned long data, bool flag);
    virtual bool ntfq_msg_post_notify_flow_finish(unsigned long data, bool flag);
    // Sends the two frame notifications to the handlers above, anything else along the map.
    bool on_ntfq_notify(unsigned int id, unsigned long data, bool flag) override;

public Q_SLOTS:
    virtual void on_open_action();
    virtual void on_message_window_action();

protected Q_SLOTS:
    virtual void export_action();
    virtual bool enable_export_action();
    virtual void on_print_file();
    virtual void on_undo_action();
    virtual void on_redo_action();
    virtual void on_cut_action();
    virtual void on_copy_action();
    virtual void on_paste_action();
    virtual void on_delete_action();
    virtual void on_select_all_action();
    virtual void on_find_action();
    virtual void on_find_next_action();

protected:
    // The action a document window keeps for a shared action id; the base looks among the
    // frame's own actions (objectName "AFCQ_<id>"). Toolbar names of analyzer commands map here.
    virtual QAction* find_frame_action(int id) const;
    // A main window asks every document window of the process, any other frame its own
    // document, whether it may close; one refusal keeps the window open.
    void closeEvent(QCloseEvent* event) override;
    // A window shown keeps its Window entries in line with whether it is attached.
    void showEvent(QShowEvent* event) override;

    FIO_PATH m_file_path;

private:
    friend class qui_detail::mdi_host;

    void make_menus();
    template <class MENU> void track_menu(MENU*& member);
    void make_toolbars();
    void connect_menu_actions();
    void apply_mode_defaults();
    void fill_toolbar(QToolBar* toolbar, const QStringList& buttons);
    void on_new_action();
    QUI_FRAME_WND* make_document_window();
    PROJECT_RETURN open_project_of(const QString& document);
    static void discard_document_window(QUI_FRAME_WND* window);
    void on_save_action();
    void on_save_as_action();
    void on_exit_action();
    void on_start_compilation_action();
    // The host's own commands (qui_commands.cpp).
    void connect_host_commands();
    void grey_unavailable_entries();
    void on_close_action();
    void on_page_setup_action();
    void on_print_preview_action();
    void on_print_action();
    void on_full_screen_action();
    QMdiArea* document_area() const;
    void arrange_windows(bool tile);
    void sync_window_entries();
    void on_tcl_scripts_action();
    void on_about_action();
    int ask_to_save_changes();
    bool may_close();
    QUI_FRAME_WND* message_window_owner() const;
    void sync_message_actions();
    // The host main window re-merges its active child's menus and toolbars.
    void update_host_merge();

    QUI_FRAME_INFO* m_info;
    QUI_FW_STATE_ENUM m_state;
    bool m_detached;
    unsigned m_state_bits = 0;
    std::unique_ptr<QUI_MENU_RECORD> m_menu;
    QList<QMetaObject::Connection> m_menu_tracking;
    QList<QComboBox*> m_toolbar_combo_boxes;
    QList<AFCQ_PAGE_INFO*> m_preference_pages;
    int m_page_id = 0;
    QMdiArea* m_mdi_area = nullptr;
    qui_detail::mdi_host* m_mdi_host = nullptr;           // Qt child, made with the MDI area
    qui_detail::message_window* m_message_window = nullptr; // Qt child, made on first use
    std::unique_ptr<QPrinter> m_printer;
    AFCQ_LOCATE_MENU* m_locate_menu = nullptr;
    std::function<QUI_FRAME_WND*()> m_document_window_maker;
    PROJECT_OPENER m_project_opener;
};

// The frames of the process in creation order, with the files they show.
class QUI_FRAME_MGR
{
public:
    static QUI_FRAME_MGR* get_frame_mgr();

    // Opens a file in the host's editor for its type; recorded. False when it does not exist.
    bool open_file(const char* path, bool read_only, bool add_to_recent, bool activate);
    // The live frames (optionally only those whose document class has this untitled
    // extension; every frame for an empty one), in creation order.
    QList<QUI_FRAME_WND*> get_opened_frame_wnd_list(const QString& extension = QString()) const;
    QUI_FRAME_WND* find_frame(const FIO_PATH& path) const;

    void add_frame(QUI_FRAME_WND* frame);
    void remove_frame(QUI_FRAME_WND* frame);

private:
    QList<QUI_FRAME_WND*> m_frames;
};

class QUI_APP
{
public:
    QUI_FRAME_MGR* get_frame_wnd_mgr() { return QUI_FRAME_MGR::get_frame_mgr(); }
};

QUI_APP* qui_get_app();

// The host's project manager; absent when the host runs without projects.
class QUI_PRJ_UI_MGR
{
public:
    static QUI_PRJ_UI_MGR* get_prj_ui_mgr();

    bool project_is_open() const;
    const char* get_top_entity_name() const;
    const char* get_revision_name() const;
    // The project directory with a trailing "/"; empty without an open project.
    const char* get_project_dir() const;
};

// Enables (mode 2) or disables (mode 0) the tool entries of a locate menu.
void qui_enable_locate_menu_actions(AFCQ_LOCATE_MENU* menu, int mode);
class MSG_GEN_LOCATION_SCHEMA;
// Shows the schema's nodes in the host tool `target` (the stand-in records the call as
// "qui:qui_locate(<tool entry text>: <nodes>)").
void qui_locate(CLSID target, MSG_GEN_LOCATION_SCHEMA* schema, bool flag);
// Opens the design file at the place the location names (recorded as
// "qui:qui_locate_to_design_file(<file:line>)").
void qui_locate_to_design_file(MSG_GEN_LOCATION_SCHEMA* location, bool flag);

// The frame that GUI test hooks act on: the live main-window frame (last created wins).
QUI_FRAME_WND* qui_get_main_frame_wnd();

// In regression-test mode, arms the auto-responder for the next modal dialog: when it shows,
// `command` is evaluated in the Tcl interpreter, then the dialog is accepted if still open,
// then rejected if still open. A second call before that dialog replaces the command.
void qui_prepare_for_modal_dlg_if_in_test(const QString& command, int ms);
