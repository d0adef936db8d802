// QUI_FRAME_WND: the host's own commands beside the document ones: Close, Page Setup, Print
// Preview, what a print wrote, Full Screen, arranging the document windows, Tcl scripts and
// About. An entry whose tool the stand-in host does not have is greyed, never left to do nothing.
#include "host/qui.h"

#include "host/atcl.h"
#include "host/msg.h"
#include "host/qui_private.h"
#include "host/standin/standin.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include <tcl.h>

namespace
{
void post_info(const std::string& text, const char* key)
{
    MSG_I message;
    message.fill_args((std::string("%1!s!/I") + key).c_str(), text.c_str());
    message.post();
}

void post_problem(const std::string& text, const char* key)
{
    MSG_W message;
    message.fill_args((std::string("%1!s!/W") + key).c_str(), text.c_str());
    message.post();
}

std::string local(const QString& text)
{
    return text.toLocal8Bit().toStdString();
}
} // namespace

void QUI_FRAME_WND::connect_host_commands()
{
    const QUI_MENU_RECORD& menu = *m_menu;
    const QUI_FILE_MENU& file = *menu.file_menu;
    connect(file.close_action, &QAction::triggered, this, &QUI_FRAME_WND::on_close_action);
    connect(file.page_setup_action, &QAction::triggered, this, &QUI_FRAME_WND::on_page_setup_action);
    connect(file.print_preview_action, &QAction::triggered, this, &QUI_FRAME_WND::on_print_preview_action);
    connect(file.print_action, &QAction::triggered, this, &QUI_FRAME_WND::on_print_action);
    menu.view_menu->full_screen_action->setCheckable(true);
    connect(menu.view_menu->full_screen_action, &QAction::triggered, this, &QUI_FRAME_WND::on_full_screen_action);
    connect(menu.window_menu, &QMenu::aboutToShow, this, &QUI_FRAME_WND::sync_window_entries);
    connect(menu.window_menu->cascade_action, &QAction::triggered, this, [this] { arrange_windows(false); });
    connect(menu.window_menu->tile_action, &QAction::triggered, this, [this] { arrange_windows(true); });
    connect(menu.tools_menu->tcl_scripts_action, &QAction::triggered, this, &QUI_FRAME_WND::on_tcl_scripts_action);
    connect(menu.help_menu->about_action, &QAction::triggered, this, &QUI_FRAME_WND::on_about_action);
    grey_unavailable_entries();
}

// Project management, assignments, the suite's other tools, help pages and toolbar
// customisation are the real suite's; the stand-in host has none of them.
void QUI_FRAME_WND::grey_unavailable_entries()
{
    const QUI_MENU_RECORD& menu = *m_menu;
    const QUI_FILE_MENU& file = *menu.file_menu;
    QList<QAction*> unavailable = {file.new_project_action,
                                   file.open_project_action,
                                   file.save_project_action,
                                   file.close_project_action,
                                   file.archive_project_action,
                                   file.file_properties_action,
                                   file.create_update_menu->menuAction(),
                                   file.convert_programming_files_action,
                                   menu.edit_menu->replace_action,
                                   menu.edit_menu->go_to_action,
                                   menu.view_menu->tcl_console_action,
                                   menu.view_menu->toolbars_menu->menuAction(),
                                   menu.project_menu->add_current_file_action,
                                   menu.project_menu->add_remove_files_action,
                                   menu.project_menu->revisions_action,
                                   menu.processing_menu->compilation_report_action,
                                   menu.tools_menu->programmer_action,
                                   menu.tools_menu->netlist_viewers_menu->menuAction(),
                                   menu.tools_menu->chip_planner_action,
                                   menu.tools_menu->customize_action,
                                   menu.tools_menu->options_action,
                                   menu.tools_menu->license_setup_action,
                                   menu.help_menu->help_action,
                                   menu.help_menu->tutorial_action};
    unavailable += menu.assignment_menu->actions();
    for (QAction* entry : unavailable)
        entry->setEnabled(false);
    sync_window_entries();
}

// A window with a document area has no document of its own: Close closes the document window
// the commands go to. A document window closes itself, with its sub-window; a window that was
// not inside one goes once it agreed to close.
void QUI_FRAME_WND::on_close_action()
{
    standin::record_call("qui:on_close_action()");
    QUI_FRAME_WND* target = m_mdi_area != nullptr ? get_active_child() : this;
    if (target == nullptr)
        return;
    if (auto* holder = qobject_cast<QMdiSubWindow*>(target->parentWidget()))
        holder->close();
    else if (target->close() && !target->is_main_window())
        target->deleteLater();
}

void QUI_FRAME_WND::on_page_setup_action()
{
    QPageSetupDialog dialog(get_printer(), this);
    dialog.exec();
}

// The preview shows what Print would print: the document window prints into the preview.
void QUI_FRAME_WND::on_print_preview_action()
{
    QPrintPreviewDialog dialog(get_printer(), this);
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this, [this] { on_print_file(); });
    dialog.exec();
}

// The printer writes a file: the host tells where it went, or that nothing was printed.
void QUI_FRAME_WND::on_print_action()
{
    const QString file = get_printer()->outputFileName();
    if (!file.isEmpty())
        QFile::remove(file);
    on_print_file();
    if (file.isEmpty())
        return post_info("The document was sent to the printer", "QUI_PRINTED");
    if (QFileInfo(file).size() > 0)
        post_info("Printed to " + local(file), "QUI_PRINTED");
    else
        post_problem("Nothing was printed to " + local(file) + ": the window had no page to print",
                     "QUI_NOTHING_PRINTED");
}

void QUI_FRAME_WND::on_full_screen_action()
{
    QWidget* top = window();
    if (top->isFullScreen())
        top->showNormal();
    else
        top->showFullScreen();
    if (QUI_VIEW_MENU* view = m_menu->view_menu)
        view->full_screen_action->setChecked(top->isFullScreen());
}

QMdiArea* QUI_FRAME_WND::document_area() const
{
    const QUI_FRAME_WND* main = get_main_window();
    return main != nullptr ? main->get_mdi_area() : nullptr;
}

void QUI_FRAME_WND::arrange_windows(bool tile)
{
    QMdiArea* area = document_area();
    if (area == nullptr)
        return;
    if (tile)
        area->tileSubWindows();
    else
        area->cascadeSubWindows();
}

// Detach is offered to an attached document window, Attach to a detached one, and arranging
// to a window with document windows around it.
void QUI_FRAME_WND::sync_window_entries()
{
    QUI_WINDOW_MENU* window = m_menu->window_menu;
    if (window == nullptr)
        return;
    const bool document_window = !is_main_window() && main_wnd_has_mdi_area();
    window->detach_action->setEnabled(document_window && !m_detached);
    window->attach_action->setEnabled(document_window && m_detached);
    const QMdiArea* area = document_area();
    const bool arrangeable = area != nullptr && !area->subWindowList().isEmpty();
    window->cascade_action->setEnabled(arrangeable);
    window->tile_action->setEnabled(arrangeable);
}

// The script runs in the host's interpreter, where the analyzer's package is loaded; what it
// did or why it stopped is told in the Messages window.
void QUI_FRAME_WND::on_tcl_scripts_action()
{
    QString script;
    if (!qui_detail::choose_file(this, tr("Tcl Scripts"), false, &script))
        return;
    Tcl_Interp* interpreter = atcl_get_interpreter();
    const QByteArray path = QFileInfo(script).absoluteFilePath().toLocal8Bit();
    if (Tcl_EvalFile(interpreter, path.constData()) == TCL_OK)
        return post_info("Tcl script " + path.toStdString() + " ran", "QUI_TCL_SCRIPT_RAN");
    MSG_E failure;
    failure.fill_args("Tcl script %1!s! failed: %2!s!/EQUI_TCL_SCRIPT_FAILED", path.constData(),
                      Tcl_GetStringResult(interpreter));
    failure.post();
}

void QUI_FRAME_WND::on_about_action()
{
    QMessageBox::about(this, tr("About Corvane"),
                       tr("The Corvane stand-in host: the windows, menus, files, compile flow and "
                          "simulated device the Vantrel analyzer editor runs in."));
}
