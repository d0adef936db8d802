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
const DISPLAY_FORMAT LEADING_FORMATS[] = {{335, 5}, {343, 4}, {342, 2}, {341, 3}};
const DISPLAY_FORMAT FLOATING_POINT_FORMATS[] = {{334, 13}, {333, 14}};
const DISPLAY_FORMAT MIDDLE_FORMATS[] = {{338, 6}, {332, 1}, {330, 7}};
const DISPLAY_FORMAT SECOND_GROUP_FORMATS[] = {{331, 8}, {336, 9}};
const DISPLAY_FORMAT LAST_GROUP_FORMATS[] = {{339, 10}, {340, 11}};

QList<PRDQ_COLOR>* color_entries()
{
    static QList<PRDQ_COLOR> colors = {{"Selection highlight", 297, nullptr},
                                       {"Background", 298, nullptr},
                                       {"Time bars", 299, nullptr},
                                       {"Trigger position bar", 300, nullptr},
                                       {"End of samples bar", 301, nullptr},
                                       {"Column header text", 302, nullptr},
                                       {"Waveform grid lines", 303, nullptr},
                                       {"Data/Setup Window titles", 304, nullptr},
                                       {"Pre-synthesis node names", 305, nullptr},
                                       {"Post-fitting node names", 306, nullptr},
                                       {"Duplicated Nodes", 315, nullptr},
                                       {"Group names", 307, nullptr},
                                       {"Trigger mnemonics", 308, nullptr},
                                       {"Data mnemonics", 309, nullptr},
                                       {"Sample numbers", 310, nullptr},
                                       {"Segment numbers", 311, nullptr},
                                       {"High values", 312, nullptr},
                                       {"Low values", 313, nullptr},
                                       {"Bus values", 314, nullptr}};
    return &colors;
}

QList<PRDQ_FONT>* font_entries()
{
    static QList<PRDQ_FONT> fonts = {{"Data/Setup Window titles", 54, nullptr},
                                     {"Column headers", 55, nullptr},
                                     {"Pre-synthesis node names", 56, nullptr},
                                     {"Post-fitting node names", 57, nullptr},
                                     {"Duplicated Nodes", 66, nullptr},
                                     {"Group names", 58, nullptr},
                                     {"Trigger mnemonics", 59, nullptr},
                                     {"Data mnemonics", 60, nullptr},
                                     {"Master time bar sample number", 61, nullptr},
                                     {"Sample numbers", 62, nullptr},
                                     {"Master time bar segment numbers", 63, nullptr},
                                     {"Segment numbers", 64, nullptr},
                                     {"Bus values", 65, nullptr}};
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

// New, Save, Save As and the three print entries are offered; list file (344) and export
// (154) follow Save As.
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
    QAction* list_file = action(344);
    QAction* export_data = action(154);
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
    const QList<QPair<int, QAction*>> entries = {
        {694, edit->undo_action},       {459, edit->redo_action},  {75, edit->copy_action},
        {112, edit->cut_action},        {408, edit->paste_action}, {120, edit->delete_action},
        {513, edit->select_all_action}, {178, edit->find_action},  {179, edit->find_next_action},
        {474, edit->replace_action},    {218, edit->go_to_action}};
    for (const auto& entry : entries)
        m_tx_manager->insert_action(AFCQ_ACTION_ENUM(entry.first), entry.second);
    edit->menuAction()->setVisible(true);
    if (!is_main_window())
        edit->show_all_actions(edit->actions(), true);
    for (int id : {218, 474})
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
    append_actions(edit, {349, 350, 351});
    edit->addSeparator();
    edit->addMenu(get_plugin_menu());
    edit->addSeparator();
    append_actions(edit, {326, 358});
    edit->addSeparator();
    append_actions(edit, {327, 361});
    edit->addSeparator();
    append_actions(edit, {257, 258, 262});
    edit->addSeparator();
    append_actions(edit, {261, 259, 260});
    edit->addSeparator();
    append_actions(edit, {363, 357, 347});
    edit->addSeparator();
    append_actions(edit, {352, 377, 362});
    edit->addSeparator();
    append_actions(edit, {346, 345});
    edit->addSeparator();
    append_actions(edit, {376, 375});
    edit->addSeparator();
    append_actions(edit, {365, 364});
    edit->addSeparator();
    append_actions(edit, {367, 366});
    edit->addSeparator();
    edit->addMenu(make_exclusive_submenu(tr("Bus &Bit Order"), {356, 354}));
    edit->addMenu(get_bus_display_format_menu());
    edit->addSeparator();
    append_actions(edit, {355, 117, 114});
    edit->addSeparator();
    edit->addMenu(make_exclusive_submenu(tr("Loc&k Mode"), {290, 291, 292}));
}

void SEDQ_FRAME_WND::make_view_and_processing_menus()
{
    QUI_MENU_RECORD* menu = get_menu_record();
    if (menu->view_menu != nullptr)
    {
        menu->view_menu->menuAction()->setVisible(true);
        append_actions(menu->view_menu, {728, 729, 730, 708});
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
        append_actions(menu->processing_menu, {22, 19, 23, 21});
        menu->processing_menu->addSeparator();
        append_actions(menu->processing_menu, {507, 508});
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
    QAction* fit_in_window = action(728);
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
    QAction* analysis_run_action = processing_menu->actions().contains(action(22)) ? action(22) : nullptr;
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
