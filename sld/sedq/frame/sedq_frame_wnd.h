#pragma once
// The editor main window of one analyzer document. It owns the document model, puts the
// analyzer's commands into the host menus and its "Default" toolbar, offers the colour and
// font preference pages, and holds the pane layout as its central widget. In main-window
// mode it is the application's only window and prunes the host menus and toolbars down to
// what the analyzer needs; in child mode it lives inside the host main window and keeps them.
// The model is deleted before the layout and its panes, so no pane destructor may use it.

#include "host/qui.h"
#include "sedq/model/sedq_window_if.h"

#include <QPointer>

class QActionGroup;
class SEDQ_LAYOUT_WIDGET;
class SEDQ_TX_MANAGER;
class SEDQ_VIEW;

class SEDQ_FRAME_WND : public QUI_FRAME_WND, public SEDQ_WINDOW_IF
{
    Q_OBJECT
public:
    SEDQ_FRAME_WND(QUI_FRAME_INFO* info, QUI_FW_STATE_ENUM state, QWidget* parent = nullptr,
                   Qt::WindowFlags flags = Qt::WindowFlags());
    ~SEDQ_FRAME_WND() override;
    SEDQ_FRAME_WND(const SEDQ_FRAME_WND&) = delete;
    SEDQ_FRAME_WND& operator=(const SEDQ_FRAME_WND&) = delete;

    // The window that shows a manager's document; null for a manager without one (the wizard's).
    static SEDQ_FRAME_WND* of(const SEDQ_TX_MANAGER* manager);

    SEDQ_TX_MANAGER* get_tx_manager() const { return m_tx_manager; }
    SEDQ_LAYOUT_WIDGET* get_layout_widget() const { return m_layout_widget; }
    QToolBar* get_default_toolbar() const { return m_toolbar; }

    // Entries of the bus display format menu, submenu entry and separators included; 0 before
    // the menu exists.
    int get_num_bus_display_actions() const { return m_num_bus_display_actions; }
    // The two submenus are built on first request and reused; both belong to the frame.
    QMenu* get_bus_display_format_menu();
    QMenu* get_plugin_menu();
    // The exclusive group of the plug-in menu's entries; null before the menu exists. Held
    // here, typed, rather than in a QVariant: a meta-type registered by this library would
    // outlive its unload and crash the next QVariant of that type.
    QActionGroup* get_plugin_action_group() const { return m_plugin_action_group; }

    // Shows the unsaved-changes mark and lets the host refresh the title and its state.
    void set_window_modified(bool modified);
    void set_rly_action(QAction* action);
    // Whether the toolbar's Relayne command is enabled.
    bool is_rly_available();
    void setup_toolbar();

    // Host document commands and notifications.
    void detach_window() override;
    void attach_window() override;
    bool new_file() override;
    bool open_file(QString const& path) override;
    // False with why in `reason`: the name's problem, or the repository's (the file, the entry,
    // what is wrong); empty when the file was refused for what it holds (a newer version).
    bool open_file(QString const& path, std::string* reason);
    bool save_file(QString const& path) override;
    bool save_modified(bool ask) override;
    bool ntfq_msg_post_notify_flow_finish(unsigned long data, bool flag) override;
    bool ntfq_msg_prdq_updated(unsigned long data, bool flag) override;
    QStringList get_predefined_toolbar_buttons(QString const& name) override;
    QMap<QString, QStringList> get_toolbar_categories() const override;
    bool save_as(FIO_PATH const& path) override;

    // Adds a design name to the current instance as one undoable edit (the Tcl package's entry
    // for located and named nodes); an empty name does nothing.
    void add_node(QString const& name);

public Q_SLOTS:
    // Menu refreshes; the node view also runs them when its selection changes.
    void on_update_file_menu();
    void on_update_edit_menu();
    void on_update_view_menu();

private Q_SLOTS:
    void create_list_file();
    void on_mnemonic_table_setup();
    void on_toolbar_find();
    void on_compile();
    void on_recompile();
    void on_rly_changed();

protected Q_SLOTS:
    void export_action() override;
    bool enable_export_action() override;
    void on_open_action() override;
    void on_print_file() override;
    void on_undo_action() override;
    void on_redo_action() override;
    void on_cut_action() override;
    void on_copy_action() override;
    void on_paste_action() override;
    void on_delete_action() override;
    void on_select_all_action() override;
    void on_find_action() override;
    void on_find_next_action() override;
    void on_center_on_trigger();
    void on_update(QObject* sender, int hint);

private:
    // What the model asks of its window (SEDQ_WINDOW_IF).
    QWidget* dialog_parent() override { return this; }
    bool is_standalone_window() const override { return is_main_window(); }
    void show_modified(bool modified) override { set_window_modified(modified); }
    void add_pane_toggle(QAction* action) override;
    QTabWidget* get_data_setup_tab_widget(int instance) override;
    void save_view_scroll_position(bool restore_after_run) override;
    void prepare_save() override;
    bool can_compile_now() override { return can_start_flow(); }
    bool ask_to_save() override { return save_modified(true); }
    void start_recompile() override;

    QAction* action(int id, const QVariant& data = QVariant());
    bool canvas_has_focus();
    // The node view while it does not take its commands through its own connections (another
    // pane has the focus): the window passes a command on only then, so that it runs once.
    SEDQ_VIEW* view_to_pass_on();
    void update_undo_actions(bool empty);
    // Menus (sedq_frame_wnd_menus.cpp).
    void make_file_menu();
    void register_edit_actions();
    void make_edit_menu();
    void append_actions(QMenu* menu, std::initializer_list<int> ids);
    QMenu* make_exclusive_submenu(const QString& title, std::initializer_list<int> ids);
    void make_view_and_processing_menus();
    void make_preference_pages();
    void connect_menus();
    void prune_main_window();
    bool prune_file_menu(QUI_MENU_RECORD* menu);
    bool prune_view_and_project_menus(QUI_MENU_RECORD* menu);
    bool prune_processing_menu(QUI_MENU_RECORD* menu);
    bool prune_tools_and_window_menus(QUI_MENU_RECORD* menu);
    bool prune_toolbars();
    bool prune_help_menu(QUI_MENU_RECORD* menu);
    void enable_window_menu_entries();
    void borrow_rly_action();
    // Commands (sedq_frame_wnd_commands.cpp).
    QString document_title() const;
    void set_detached_shortcuts(bool detached);
    void remove_compile_entries();
    bool run_save_as_dialog(FIO_PATH const& path, QString* chosen);

    // Borrowed from the host main window, which may go before this window does.
    QPointer<QAction> m_rly_action;
    SEDQ_TX_MANAGER* m_tx_manager = nullptr;
    SEDQ_LAYOUT_WIDGET* m_layout_widget = nullptr;
    QMenu* m_bus_display_format_menu = nullptr;
    QMenu* m_plugin_menu = nullptr;
    QActionGroup* m_plugin_action_group = nullptr;
    QToolBar* m_toolbar = nullptr;
    int m_num_bus_display_actions = 0;
};
