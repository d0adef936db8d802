// SEDQ_FRAME_WND: the analyzer's entries in the host menus, the two lazily built submenus,
// the preference pages, and the pruning of a main window's host menus and toolbars.
#include "sedq/frame/sedq_frame_wnd.h"

#include "host/prdq.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/model/sedq_verify.h"

#include <QAction>
#include <QActionGroup>
#include <QMenuBar>
#include <QToolBar>

namespace
{
// Bus display format entries: host action and the display type it carries.
struct DISPLAY_FORMAT
{
    int action;
    int display_type;
};
const DISPLAY_FORMAT LEADING_FORMATS[] = {
    {AFCQ_SEDQ_BUS_DISPLAY_FORMAT_ACTION, SDR_GTYPE_HEX},
    {AFCQ_SEDQ_BUS_UNSIGNED_ACTION, SDR_GTYPE_UNSIGNED},
    {AFCQ_SEDQ_BUS_TWOS_COMPLEMENT_ACTION, SDR_GTYPE_TWOS_COMPLEMENT},
    {AFCQ_SEDQ_BUS_SIGNED_MAGNITUDE_ACTION, SDR_GTYPE_SIGNED_MAGNITUDE}};
const DISPLAY_FORMAT FLOATING_POINT_FORMATS[] = {{AFCQ_SEDQ_BUS_FLOAT_ACTION, SDR_GTYPE_FLOAT},
                                                 {AFCQ_SEDQ_BUS_DOUBLE_ACTION, SDR_GTYPE_DOUBLE}};
const DISPLAY_FORMAT MIDDLE_FORMATS[] = {{AFCQ_SEDQ_BUS_OCTAL_ACTION, SDR_GTYPE_OCTAL},
                                         {AFCQ_SEDQ_BUS_BINARY_ACTION, SDR_GTYPE_BINARY},
                                         {AFCQ_SEDQ_BUS_ASCII_ACTION, SDR_GTYPE_ASCII}};
const DISPLAY_FORMAT SECOND_GROUP_FORMATS[] = {{AFCQ_SEDQ_BUS_BAR_CHART_ACTION, SDR_GTYPE_CHART_8},
                                               {AFCQ_SEDQ_BUS_LINE_CHART_ACTION, SDR_GTYPE_CHART_9}};
const DISPLAY_FORMAT LAST_GROUP_FORMATS[] = {{AFCQ_SEDQ_BUS_SIGNED_BAR_CHART_ACTION, SDR_GTYPE_CHART_10},
                                             {AFCQ_SEDQ_BUS_SIGNED_LINE_CHART_ACTION, SDR_GTYPE_CHART_11}};

QList<PRDQ_COLOR>* color_entries()
{
    static QList<PRDQ_COLOR> colors = {{"Selection highlight", AFCQ_COLOR_SELECTION, nullptr},
                                       {"Background", AFCQ_COLOR_IDLE, nullptr},
                                       {"Time bars", AFCQ_COLOR_TIME_BAR, nullptr},
                                       {"Trigger position bar", AFCQ_COLOR_TRIGGER_POSITION, nullptr},
                                       {"End of samples bar", AFCQ_COLOR_END_OF_SAMPLES, nullptr},
                                       {"Column header text", AFCQ_COLOR_COLUMN_HEADER, nullptr},
                                       {"Waveform grid lines", AFCQ_COLOR_WAVEFORM_GRID, nullptr},
                                       {"Data/Setup Window titles", AFCQ_COLOR_WINDOW_TITLE, nullptr},
                                       {"Pre-synthesis node names", AFCQ_COLOR_PRE_SYNTHESIS_NAME, nullptr},
                                       {"Post-fitting node names", AFCQ_COLOR_POST_FITTING_NAME, nullptr},
                                       {"Duplicated Nodes", AFCQ_COLOR_DUPLICATED_NODE, nullptr},
                                       {"Group names", AFCQ_COLOR_GROUP_NAME, nullptr},
                                       {"Trigger mnemonics", AFCQ_COLOR_TRIGGER_MNEMONIC, nullptr},
                                       {"Data mnemonics", AFCQ_COLOR_DATA_MNEMONIC, nullptr},
                                       {"Sample numbers", AFCQ_COLOR_SAMPLE_NUMBER, nullptr},
                                       {"Segment numbers", AFCQ_COLOR_SEGMENT_NUMBER, nullptr},
                                       {"High values", AFCQ_COLOR_HIGH_VALUE, nullptr},
                                       {"Low values", AFCQ_COLOR_LOW_VALUE, nullptr},
                                       {"Bus values", AFCQ_COLOR_BUS_VALUE, nullptr}};
    return &colors;
}

QList<PRDQ_FONT>* font_entries()
{
    static QList<PRDQ_FONT> fonts = {
        {"Data/Setup Window titles", AFCQ_FONT_WINDOW_TITLE, nullptr},
        {"Column headers", AFCQ_FONT_COLUMN_HEADER, nullptr},
        {"Pre-synthesis node names", AFCQ_FONT_PRE_SYNTHESIS_NAME, nullptr},
        {"Post-fitting node names", AFCQ_FONT_POST_FITTING_NAME, nullptr},
        {"Duplicated Nodes", AFCQ_FONT_DUPLICATED_NODE, nullptr},
        {"Group names", AFCQ_FONT_GROUP_NAME, nullptr},
        {"Trigger mnemonics", AFCQ_FONT_TRIGGER_MNEMONIC, nullptr},
        {"Data mnemonics", AFCQ_FONT_DATA_MNEMONIC, nullptr},
        {"Master time bar sample number", AFCQ_FONT_MASTER_SAMPLE_NUMBER, nullptr},
        {"Sample numbers", AFCQ_FONT_SAMPLE_NUMBER, nullptr},
        {"Master time bar segment numbers", AFCQ_FONT_MASTER_SEGMENT_NUMBER, nullptr},
        {"Segment numbers", AFCQ_FONT_SEGMENT_NUMBER, nullptr},
        {"Bus values", AFCQ_FONT_BUS_VALUE, nullptr}};
    return &fonts;
}

AFCQ_PAGE_INFO* make_page(int id)
{
    auto* page = new AFCQ_PAGE_INFO;
    page->m_id = id;
    return page;
}

void remove_menu_from_bar(QMenuBar* bar, QMenu* menu)
{
    bar->removeAction(menu->menuAction());
}
} // namespace

// New, Save, Save As and the three print entries are offered; list file and export
// follow Save As.
void SEDQ_FRAME_WND::make_file_menu()
{
    QUI_FILE_MENU* file = get_menu_record()->file_menu;
    if (file == nullptr)
        return;
    QList<QAction*> offered = {file->new_action, file->save_action, file->get_placement_action()};
    offered += file->get_print_actions();
    file->show_all_actions(offered, true);
    for (QAction* entry : offered)
        entry->setEnabled(true);
    if (!is_main_window())
    {
        file->insertSeparator(file->save_action);
        file->insertSeparator(file->get_print_actions().first());
    }
    QAction* list_file = action(AFCQ_SEDQ_CREATE_LIST_FILE_ACTION);
    QAction* export_data = action(AFCQ_SEDQ_EXPORT_DATA_ACTION);
    file->insert_action_after(file->get_placement_action(), list_file);
    file->insert_action_after(list_file, export_data);
    file->insertSeparator(list_file);
    connect(export_data, &QAction::triggered, this, &SEDQ_FRAME_WND::export_action);
    connect(list_file, &QAction::triggered, this, &SEDQ_FRAME_WND::create_list_file);
}

// The host's own Edit entries become the window's actions under their shared ids.
void SEDQ_FRAME_WND::register_edit_actions()
{
    QUI_EDIT_MENU* edit = get_menu_record()->edit_menu;
    if (edit == nullptr)
        return;
    const QList<QPair<int, QAction*>> entries = {{AFCQ_EDIT_UNDO_ACTION, edit->undo_action},
                                                 {AFCQ_EDIT_REDO_ACTION, edit->redo_action},
                                                 {AFCQ_EDIT_COPY_ACTION, edit->copy_action},
                                                 {AFCQ_EDIT_CUT_ACTION, edit->cut_action},
                                                 {AFCQ_EDIT_PASTE_ACTION, edit->paste_action},
                                                 {AFCQ_EDIT_DELETE_ACTION, edit->delete_action},
                                                 {AFCQ_EDIT_SELECT_ALL_ACTION, edit->select_all_action},
                                                 {AFCQ_EDIT_FIND_ACTION, edit->find_action},
                                                 {AFCQ_EDIT_FIND_NEXT_ACTION, edit->find_next_action},
                                                 {AFCQ_EDIT_REPLACE_ACTION, edit->replace_action},
                                                 {AFCQ_EDIT_GO_TO_ACTION, edit->go_to_action}};
    for (const auto& entry : entries)
        m_tx_manager->insert_action(AFCQ_ACTION_ENUM(entry.first), entry.second);
    edit->menuAction()->setVisible(true);
    if (!is_main_window())
        edit->show_all_actions(edit->actions(), true);
    for (int id : {AFCQ_EDIT_GO_TO_ACTION, AFCQ_EDIT_REPLACE_ACTION})
    {
        action(id)->setVisible(false);
        action(id)->setEnabled(false);
    }
}

void SEDQ_FRAME_WND::append_actions(QMenu* menu, std::initializer_list<int> ids)
{
    for (int id : ids)
        menu->addAction(action(id));
}

// A submenu over an exclusive group of checkable actions, both owned by the frame.
QMenu* SEDQ_FRAME_WND::make_exclusive_submenu(const QString& title, std::initializer_list<int> ids)
{
    auto* submenu = new QMenu(title, this);
    auto* group = new QActionGroup(this);
    group->setExclusive(true);
    for (int id : ids)
    {
        QAction* entry = action(id);
        entry->setCheckable(true);
        group->addAction(entry);
        submenu->addAction(entry);
    }
    return submenu;
}

void SEDQ_FRAME_WND::make_edit_menu()
{
    QMenu* edit = get_menu_record()->edit_menu;
    if (edit == nullptr)
        return;
    append_actions(edit, {AFCQ_SEDQ_FIND_BUS_VALUE_ACTION, AFCQ_SEDQ_FIND_NEXT_BUS_VALUE_ACTION,
                          AFCQ_SEDQ_FIND_PREVIOUS_BUS_VALUE_ACTION});
    edit->addSeparator();
    edit->addMenu(get_plugin_menu());
    edit->addSeparator();
    append_actions(edit, {AFCQ_SEDQ_INSERT_NODES_ACTION, AFCQ_SEDQ_PLUGIN_OPTIONS_ACTION});
    edit->addSeparator();
    append_actions(edit, {AFCQ_SEDQ_ADD_STATE_MACHINE_ACTION, AFCQ_SEDQ_RECREATE_MNEMONICS_ACTION});
    edit->addSeparator();
    append_actions(edit, {AFCQ_SEDQ_ADD_INSTANCE_ACTION, AFCQ_SEDQ_DELETE_INSTANCE_ACTION,
                          AFCQ_SEDQ_RENAME_INSTANCE_ACTION});
    edit->addSeparator();
    append_actions(edit, {AFCQ_SEDQ_ENABLE_POWERUP_ACTION, AFCQ_SEDQ_DISABLE_POWERUP_ACTION,
                          AFCQ_SEDQ_DUPLICATE_TRIGGER_ACTION});
    edit->addSeparator();
    append_actions(edit,
                   {AFCQ_SEDQ_SET_ALIAS_ACTION, AFCQ_SEDQ_PASTE_ALIAS_ACTION, AFCQ_SEDQ_REMOVE_ALIAS_ACTION});
    edit->addSeparator();
    append_actions(edit, {AFCQ_SEDQ_GROUP_ACTION, AFCQ_SEDQ_UNGROUP_ACTION, AFCQ_SEDQ_RENAME_NODE_ACTION});
    edit->addSeparator();
    append_actions(edit, {AFCQ_SEDQ_DATA_ENABLE_ACTION, AFCQ_SEDQ_DATA_DISABLE_ACTION});
    edit->addSeparator();
    append_actions(edit, {AFCQ_SEDQ_TRIGGER_ENABLE_ACTION, AFCQ_SEDQ_TRIGGER_DISABLE_ACTION});
    edit->addSeparator();
    append_actions(edit, {AFCQ_SEDQ_STORAGE_ENABLE_ACTION, AFCQ_SEDQ_STORAGE_DISABLE_ACTION});
    edit->addSeparator();
    append_actions(edit, {AFCQ_SEDQ_TRANSITION_ENABLE_ACTION, AFCQ_SEDQ_TRANSITION_DISABLE_ACTION});
    edit->addSeparator();
    edit->addMenu(make_exclusive_submenu(tr("Bus &Bit Order"),
                                         {AFCQ_SEDQ_BUS_MSB_TO_LSB_ACTION, AFCQ_SEDQ_BUS_LSB_TO_MSB_ACTION}));
    edit->addMenu(get_bus_display_format_menu());
    edit->addSeparator();
    append_actions(edit, {AFCQ_SEDQ_MNEMONIC_TABLE_SETUP_ACTION, AFCQ_SEDQ_SAVE_TO_LOG_ACTION,
                          AFCQ_SEDQ_LOGGING_ACTION});
    connect(action(AFCQ_SEDQ_MNEMONIC_TABLE_SETUP_ACTION), &QAction::triggered, this,
            &SEDQ_FRAME_WND::on_mnemonic_table_setup);
    edit->addSeparator();
    edit->addMenu(make_exclusive_submenu(tr("Loc&k Mode"), {AFCQ_SEDQ_LOCK_MODE_ALL_ACTION,
                                                            AFCQ_SEDQ_LOCK_MODE_INCREMENTAL_ACTION,
                                                            AFCQ_SEDQ_LOCK_MODE_TRIGGER_ACTION}));
}

void SEDQ_FRAME_WND::make_view_and_processing_menus()
{
    QUI_MENU_RECORD* menu = get_menu_record();
    if (menu->view_menu != nullptr)
    {
        menu->view_menu->menuAction()->setVisible(true);
        append_actions(menu->view_menu, {AFCQ_SEDQ_FIT_IN_WINDOW_ACTION, AFCQ_SEDQ_ZOOM_IN_ACTION,
                                         AFCQ_SEDQ_ZOOM_OUT_ACTION, AFCQ_SEDQ_CENTER_ON_TRIGGER_ACTION});
        menu->view_menu->addSeparator();
    }
    if (menu->project_menu != nullptr)
    {
        menu->project_menu->menuAction()->setVisible(true);
        menu->project_menu->add_current_file_action->setVisible(true);
    }
    if (menu->processing_menu != nullptr)
    {
        menu->processing_menu->menuAction()->setVisible(true);
        menu->processing_menu->addSeparator();
        append_actions(menu->processing_menu, {AFCQ_SEDQ_RUN_ACTION, AFCQ_SEDQ_AUTORUN_ACTION,
                                               AFCQ_SEDQ_STOP_ACTION, AFCQ_SEDQ_READ_DATA_ACTION});
        menu->processing_menu->addSeparator();
        append_actions(menu->processing_menu,
                       {AFCQ_SEDQ_TOOLBAR_START_COMPILE_ACTION, AFCQ_SEDQ_TOOLBAR_START_RECOMPILE_ACTION});
    }
}

// Root page 52 over pages 53, colours (54), fonts (55) and 56. The entry lists are built by
// the first window and shared by every later one; the pages are the window's own.
void SEDQ_FRAME_WND::make_preference_pages()
{
    AFCQ_PAGE_INFO* root = make_page(52);
    root->m_children.append(make_page(53));
    root->m_children.append(new PRDQ_COLOR_INFO(54, color_entries()));
    root->m_children.append(new PRDQ_FONT_INFO(55, font_entries()));
    root->m_children.append(make_page(56));
    set_page_id(52);
    get_preference_pages().append(root);
}

void SEDQ_FRAME_WND::connect_menus()
{
    QUI_MENU_RECORD* menu = get_menu_record();
    if (menu->file_menu != nullptr)
        connect(menu->file_menu, &QMenu::aboutToShow, this, &SEDQ_FRAME_WND::on_update_file_menu);
    if (menu->edit_menu != nullptr)
        connect(menu->edit_menu, &QMenu::aboutToShow, this, &SEDQ_FRAME_WND::on_update_edit_menu);
    if (menu->view_menu != nullptr)
        connect(menu->view_menu, &QMenu::aboutToShow, this, &SEDQ_FRAME_WND::on_update_view_menu);
}

QMenu* SEDQ_FRAME_WND::get_bus_display_format_menu()
{
    if (m_bus_display_format_menu != nullptr)
        return m_bus_display_format_menu;
    auto* menu = new QMenu(tr("Bus Displa&y Format"), this);
    auto* group = new QActionGroup(this);
    const auto add = [&](QMenu* target, const DISPLAY_FORMAT& format)
    {
        QAction* entry = action(format.action, format.display_type);
        entry->setData(format.display_type);
        entry->setCheckable(true);
        group->addAction(entry);
        target->addAction(entry);
    };
    const auto add_separator = [&] { group->addAction(menu->addSeparator()); };
    for (const DISPLAY_FORMAT& format : LEADING_FORMATS)
        add(menu, format);
    QMenu* floating_point = menu->addMenu(tr("&Floating-point"));
    for (const DISPLAY_FORMAT& format : FLOATING_POINT_FORMATS)
        add(floating_point, format);
    for (const DISPLAY_FORMAT& format : MIDDLE_FORMATS)
        add(menu, format);
    add_separator();
    for (const DISPLAY_FORMAT& format : SECOND_GROUP_FORMATS)
        add(menu, format);
    add_separator();
    for (const DISPLAY_FORMAT& format : LAST_GROUP_FORMATS)
        add(menu, format);
    m_num_bus_display_actions = menu->actions().count();
    m_bus_display_format_menu = menu;
    return menu;
}

QMenu* SEDQ_FRAME_WND::get_plugin_menu()
{
    if (m_plugin_menu != nullptr)
        return m_plugin_menu;
    m_plugin_menu = new QMenu(tr("Add Nodes with Plug-In"), this);
    m_plugin_action_group = new QActionGroup(this);
    return m_plugin_menu;
}

void SEDQ_FRAME_WND::enable_window_menu_entries()
{
    if (QUI_WINDOW_MENU* window = get_menu_record()->window_menu)
    {
        window->detach_action->setEnabled(true);
        window->attach_action->setEnabled(true);
    }
}

// ---- main-window mode -----------------------------------------------------------------------

// Each step needs the host pieces it names; a missing one is reported and pruning stops
// there rather than touching what is not there.
void SEDQ_FRAME_WND::prune_main_window()
{
    QUI_MENU_RECORD* menu = get_menu_record();
    if (!SEDQ_VERIFY(menu != NULL))
        return;
    on_message_window_action();
    if (!prune_file_menu(menu) || !prune_view_and_project_menus(menu) || !prune_processing_menu(menu) ||
        !prune_tools_and_window_menus(menu) || !prune_toolbars())
        return;
    prune_help_menu(menu);
}

bool SEDQ_FRAME_WND::prune_file_menu(QUI_MENU_RECORD* menu)
{
    QUI_FILE_MENU* file_menu = menu->file_menu;
    if (!SEDQ_VERIFY(file_menu != NULL))
        return false;
    QMenu* create_update_menu = file_menu->create_update_menu;
    QMenu* recent_project_menu = file_menu->recent_project_menu;
    if (!SEDQ_VERIFY(create_update_menu != NULL) || !SEDQ_VERIFY(recent_project_menu != NULL))
        return false;
    file_menu->save_action->setEnabled(true);
    file_menu->removeAction(file_menu->new_action);
    for (QAction* entry : file_menu->get_removable_actions())
        file_menu->removeAction(entry);
    file_menu->removeAction(create_update_menu->menuAction());
    file_menu->removeAction(recent_project_menu->menuAction());
    return true;
}

// Submenus leave the View menu; the message window entry moves up before the zoom entries.
bool SEDQ_FRAME_WND::prune_view_and_project_menus(QUI_MENU_RECORD* menu)
{
    QUI_VIEW_MENU* view_menu = menu->view_menu;
    if (!SEDQ_VERIFY(view_menu != NULL))
        return false;
    for (QAction* entry : view_menu->actions())
        if (entry->menu() != nullptr)
            view_menu->removeAction(entry);
    QAction* fit_in_window = action(AFCQ_SEDQ_FIT_IN_WINDOW_ACTION);
    view_menu->insertAction(fit_in_window, view_menu->message_window_action);
    view_menu->insertSeparator(fit_in_window);
    QUI_PROJECT_MENU* project_menu = menu->project_menu;
    QUI_ASSIGNMENT_MENU* assignment_menu = menu->assignment_menu;
    if (!SEDQ_VERIFY(project_menu != NULL) || !SEDQ_VERIFY(assignment_menu != NULL))
        return false;
    remove_menu_from_bar(menuBar(), project_menu);
    remove_menu_from_bar(menuBar(), assignment_menu);
    return true;
}

// Everything above the run command goes, so the menu holds only the analyzer's entries.
bool SEDQ_FRAME_WND::prune_processing_menu(QUI_MENU_RECORD* menu)
{
    QUI_PROCESSING_MENU* processing_menu = menu->processing_menu;
    if (!SEDQ_VERIFY(processing_menu != NULL))
        return false;
    QAction* analysis_run_action = processing_menu->actions().contains(action(AFCQ_SEDQ_RUN_ACTION))
                                       ? action(AFCQ_SEDQ_RUN_ACTION)
                                       : nullptr;
    if (!SEDQ_VERIFY(analysis_run_action != NULL))
        return false;
    for (QAction* entry : processing_menu->actions())
    {
        if (entry == analysis_run_action)
            break;
        processing_menu->removeAction(entry);
    }
    return true;
}

bool SEDQ_FRAME_WND::prune_tools_and_window_menus(QUI_MENU_RECORD* menu)
{
    QUI_TOOLS_MENU* tools_menu = menu->tools_menu;
    if (!SEDQ_VERIFY(tools_menu != NULL))
        return false;
    const QList<QAction*> kept = tools_menu->get_kept_actions();
    for (QAction* entry : tools_menu->actions())
        if (!kept.contains(entry))
            tools_menu->removeAction(entry);
    QUI_WINDOW_MENU* window_menu = menu->window_menu;
    if (!SEDQ_VERIFY(window_menu != NULL))
        return false;
    remove_menu_from_bar(menuBar(), window_menu);
    return true;
}

// The File and Standard toolbars give way to "Default"; the toolbar combo boxes lived on
// Standard and go with it.
bool SEDQ_FRAME_WND::prune_toolbars()
{
    QToolBar* file_toolbar = get_toolbar("File");
    if (!SEDQ_VERIFY(file_toolbar != NULL))
        return false;
    update_toolbar("File", get_predefined_toolbar_buttons("File"));
    removeToolBar(file_toolbar);
    delete file_toolbar;
    QToolBar* standard_toolbar = get_toolbar("Standard");
    if (!SEDQ_VERIFY(standard_toolbar != NULL))
        return false;
    removeToolBar(standard_toolbar);
    delete standard_toolbar;
    get_toolbar_combo_boxes().clear();
    update_toolbar("Utility Windows", get_predefined_toolbar_buttons("Utility Windows"));
    QToolBar* application_toolbar = get_toolbar("Applications");
    if (!SEDQ_VERIFY(application_toolbar != NULL))
        return false;
    removeToolBar(application_toolbar);
    delete application_toolbar;
    QToolBar* processing_toolbar = get_toolbar("Processing");
    if (!SEDQ_VERIFY(processing_toolbar != NULL))
        return false;
    removeToolBar(processing_toolbar);
    delete processing_toolbar;
    return true;
}

bool SEDQ_FRAME_WND::prune_help_menu(QUI_MENU_RECORD* menu)
{
    QUI_HELP_MENU* help_menu = menu->help_menu;
    if (!SEDQ_VERIFY(help_menu != NULL))
        return false;
    help_menu->removeAction(help_menu->tutorial_action);
    return true;
}
