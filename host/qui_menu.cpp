// The host menus of a frame and their standard entries.
#include "host/qui.h"

#include "host/afcq_private.h"
#include "host/msg.h"

#include <QAction>

namespace
{
// Shared actions the Edit menu is built from keep the shared id and the host's own text.
QAction* shared_action(int id, const QString& text, QWidget* owner, QMenu* menu)
{
    QAction* action = afcq_create_action(static_cast<AFCQ_ACTION_ENUM>(id), owner);
    action->setText(text);
    menu->addAction(action);
    return action;
}
} // namespace

QUI_QMENU::QUI_QMENU(const QString& title, QWidget* parent) : QMenu(title, parent) {}

void QUI_QMENU::insert_action_after(QAction* after, QAction* action)
{
    if (action == nullptr)
    {
        MSG_INTERNAL_ERROR::report("action != NULL", "HOST", __FILE__, __LINE__);
        return;
    }
    const QList<QAction*> list = actions();
    const int index = after ? list.indexOf(after) : -1;
    if (index < 0)
    {
        addAction(action);
        return;
    }
    QAction* before = list.value(index + 1, nullptr);
    if (before == action)
        return;
    insertAction(before, action); // a null `before` appends; an action already here moves
}

void QUI_QMENU::show_all_actions(const QList<QAction*>& list, bool show)
{
    for (QAction* action : list)
        if (action)
            action->setVisible(show);
}

// Owned by the frame (the menu's parent), not the menu: entries outlive their removal.
QAction* QUI_QMENU::add_host_action(const QString& text, const QString& name)
{
    QAction* action = new QAction(afcq_detail::action_icon(name), text, parentWidget());
    action->setObjectName(name);
    action->setShortcuts(afcq_detail::standard_keys(name));
    addAction(action);
    return action;
}

QMenu* QUI_QMENU::add_host_submenu(const QString& title, const QString& name)
{
    QMenu* submenu = new QMenu(title, parentWidget());
    submenu->setObjectName(name);
    addMenu(submenu);
    return submenu;
}

QUI_FILE_MENU::QUI_FILE_MENU(QWidget* parent) : QUI_QMENU(tr("&File"), parent)
{
    new_action = add_host_action(tr("&New..."), "AFCQ_NEW_ACTION");
    open_action = add_host_action(tr("&Open..."), "AFCQ_OPEN_ACTION");
    close_action = add_host_action(tr("Cl&ose"), "AFCQ_CLOSE_ACTION");
    addSeparator();
    new_project_action = add_host_action(tr("New &Project Wizard..."), "AFCQ_NEW_PROJECT_ACTION");
    open_project_action = add_host_action(tr("Open Pro&ject..."), "AFCQ_OPEN_PROJECT_ACTION");
    save_project_action = add_host_action(tr("Sa&ve Project"), "AFCQ_SAVE_PROJECT_ACTION");
    close_project_action = add_host_action(tr("Close Projec&t"), "AFCQ_CLOSE_PROJECT_ACTION");
    archive_project_action = add_host_action(tr("Arc&hive Project..."), "AFCQ_ARCHIVE_PROJECT_ACTION");
    addSeparator();
    save_action = add_host_action(tr("&Save"), "AFCQ_SAVE_ACTION");
    save_as_action = add_host_action(tr("Save &As..."), "AFCQ_SAVE_AS_ACTION");
    file_properties_action = add_host_action(tr("File Propert&ies..."), "AFCQ_FILE_PROPERTIES_ACTION");
    addSeparator();
    create_update_menu = add_host_submenu(tr("Create / &Update"), "QUI_CREATE_UPDATE_MENU");
    create_update_menu->addAction(tr("Create &Symbol Files for Current File"));
    convert_programming_files_action =
        add_host_action(tr("Con&vert Programming Files..."), "AFCQ_CONVERT_PROGRAMMING_FILES_ACTION");
    addSeparator();
    page_setup_action = add_host_action(tr("Page Set&up..."), "AFCQ_PAGE_SETUP_ACTION");
    print_preview_action = add_host_action(tr("Print Pre&view"), "AFCQ_PRINT_PREVIEW_ACTION");
    print_action = add_host_action(tr("&Print..."), "AFCQ_PRINT_ACTION");
    addSeparator();
    recent_project_menu = add_host_submenu(tr("Recent &Projects"), "QUI_RECENT_PROJECT_MENU");
    recent_project_menu->setEnabled(false);
    addSeparator();
    exit_action = add_host_action(tr("E&xit"), "AFCQ_EXIT_ACTION");
    // Document entries stay out of sight until a document window offers them.
    show_all_actions({save_action, save_as_action, page_setup_action, print_preview_action, print_action},
                     false);
    for (QAction* action :
         {save_action, save_as_action, page_setup_action, print_preview_action, print_action})
        action->setEnabled(false);
}

QList<QAction*> QUI_FILE_MENU::get_print_actions() const
{
    return {page_setup_action, print_preview_action, print_action};
}

QList<QAction*> QUI_FILE_MENU::get_removable_actions() const
{
    return {new_project_action,
            open_project_action,
            save_project_action,
            close_project_action,
            archive_project_action,
            file_properties_action,
            convert_programming_files_action};
}

QUI_EDIT_MENU::QUI_EDIT_MENU(QWidget* parent) : QUI_QMENU(tr("&Edit"), parent)
{
    undo_action = shared_action(694, tr("&Undo"), parent, this);
    redo_action = shared_action(459, tr("&Redo"), parent, this);
    addSeparator();
    cut_action = shared_action(112, tr("Cu&t"), parent, this);
    copy_action = shared_action(75, tr("&Copy"), parent, this);
    paste_action = shared_action(408, tr("&Paste"), parent, this);
    delete_action = shared_action(120, tr("&Delete"), parent, this);
    addSeparator();
    select_all_action = shared_action(513, tr("Select &All"), parent, this);
    addSeparator();
    find_action = shared_action(178, tr("&Find..."), parent, this);
    find_next_action = shared_action(179, tr("Find &Next"), parent, this);
    replace_action = shared_action(474, tr("R&eplace..."), parent, this);
    go_to_action = shared_action(218, tr("&Go To..."), parent, this);
}

QUI_VIEW_MENU::QUI_VIEW_MENU(QWidget* parent) : QUI_QMENU(tr("&View"), parent)
{
    utility_windows_menu = add_host_submenu(tr("&Utility Windows"), "QUI_UTILITY_WINDOWS_MENU");
    message_window_action = new QAction(afcq_detail::action_icon("AFCQ_MSWQ_ACTION"), tr("&Messages"), parent);
    message_window_action->setObjectName("AFCQ_MSWQ_ACTION");
    message_window_action->setCheckable(true);
    utility_windows_menu->addAction(message_window_action);
    tcl_console_action =
        new QAction(afcq_detail::action_icon("AFCQ_TCL_CONSOLE_ACTION"), tr("&Tcl Console"), parent);
    tcl_console_action->setObjectName("AFCQ_TCL_CONSOLE_ACTION");
    utility_windows_menu->addAction(tcl_console_action);
    toolbars_menu = add_host_submenu(tr("&Toolbars"), "QUI_TOOLBARS_MENU");
    addSeparator();
    full_screen_action = add_host_action(tr("F&ull Screen"), "AFCQ_FULL_SCREEN_ACTION");
}

QUI_PROJECT_MENU::QUI_PROJECT_MENU(QWidget* parent) : QUI_QMENU(tr("&Project"), parent)
{
    add_current_file_action =
        add_host_action(tr("Add &Current File to Project"), "AFCQ_ADD_CURRENT_FILE_ACTION");
    add_current_file_action->setVisible(false);
    add_remove_files_action =
        add_host_action(tr("&Add/Remove Files in Project..."), "AFCQ_ADD_REMOVE_FILES_ACTION");
    revisions_action = add_host_action(tr("&Revisions..."), "AFCQ_REVISIONS_ACTION");
}

QUI_ASSIGNMENT_MENU::QUI_ASSIGNMENT_MENU(QWidget* parent) : QUI_QMENU(tr("&Assignments"), parent)
{
    device_action = add_host_action(tr("&Device..."), "AFCQ_DEVICE_ACTION");
    settings_action = add_host_action(tr("&Settings..."), "AFCQ_SETTINGS_ACTION");
    assignment_editor_action = add_host_action(tr("Assignment &Editor"), "AFCQ_ASSIGNMENT_EDITOR_ACTION");
}

QUI_PROCESSING_MENU::QUI_PROCESSING_MENU(QWidget* parent) : QUI_QMENU(tr("&Processing"), parent)
{
    stop_processing_action = add_host_action(tr("S&top Processing"), "AFCQ_STOP_PROCESSING_ACTION");
    stop_processing_action->setEnabled(false);
    start_compilation_action = add_host_action(tr("Start &Compilation"), "AFCQ_START_COMPILATION_ACTION");
    rly_action = add_host_action(tr("Start &Relayne Recompile"), "AFCQ_RELAYNE_ACTION");
    rly_action->setEnabled(false);
    addSeparator();
    compilation_report_action = add_host_action(tr("Compilation &Report"), "AFCQ_COMPILATION_REPORT_ACTION");
}

QUI_TOOLS_MENU::QUI_TOOLS_MENU(QWidget* parent) : QUI_QMENU(tr("&Tools"), parent)
{
    programmer_action = add_host_action(tr("&Programmer"), "AFCQ_PROGRAMMER_ACTION");
    netlist_viewers_menu = add_host_submenu(tr("Netlist &Viewers"), "QUI_NETLIST_VIEWERS_MENU");
    netlist_viewers_menu->addAction(tr("&RTL Viewer"));
    chip_planner_action = add_host_action(tr("&Chip Planner"), "AFCQ_CHIP_PLANNER_ACTION");
    addSeparator();
    tcl_scripts_action = add_host_action(tr("Tc&l Scripts..."), "AFCQ_TCL_SCRIPTS_ACTION");
    customize_action = add_host_action(tr("C&ustomize..."), "AFCQ_CUSTOMIZE_ACTION");
    options_action = add_host_action(tr("&Options..."), "AFCQ_OPTIONS_ACTION");
    license_setup_action = add_host_action(tr("&License Setup..."), "AFCQ_LICENSE_SETUP_ACTION");
}

QList<QAction*> QUI_TOOLS_MENU::get_kept_actions() const
{
    return {tcl_scripts_action, customize_action, options_action};
}

QUI_WINDOW_MENU::QUI_WINDOW_MENU(QWidget* parent) : QUI_QMENU(tr("&Window"), parent)
{
    detach_action = add_host_action(tr("&Detach Window"), "AFCQ_DETACH_ACTION");
    attach_action = add_host_action(tr("&Attach Window"), "AFCQ_ATTACH_ACTION");
    detach_action->setEnabled(false);
    attach_action->setEnabled(false);
    addSeparator();
    cascade_action = add_host_action(tr("&Cascade Windows"), "AFCQ_CASCADE_ACTION");
    tile_action = add_host_action(tr("&Tile Windows"), "AFCQ_TILE_ACTION");
}

QUI_HELP_MENU::QUI_HELP_MENU(QWidget* parent) : QUI_QMENU(tr("&Help"), parent)
{
    help_action = add_host_action(tr("Corvane &Help"), "AFCQ_CORVANE_HELP_ACTION");
    tutorial_action = add_host_action(tr("&Tutorial"), "AFCQ_TUTORIAL_ACTION");
    addSeparator();
    about_action = add_host_action(tr("&About Corvane"), "AFCQ_ABOUT_ACTION");
}
