// SEDQ_FRAME_WND: document commands, menu updates, edit routing, detach and attach, the two
// host notifications and the add-node entry of the Tcl package.
#include "sedq/frame/sedq_frame_wnd.h"

#include "host/afcq.h"
#include "host/fio.h"
#include "host/sdr/sdr_data_manager.h"
#include "host/tst.h"
#include "sedq/advanced_trigger/sedq_object_widget.h"
#include "sedq/frame/sedq_layout_widget.h"
#include "sedq/model/msg_sedq.h"
#include "sedq/model/sedq_edit_scope.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/model/sedq_types.h"
#include "sedq/model/sedq_util.h"
#include "sedq/model/sedq_verify.h"
#include "sedq/view/sedq_export_dlg.h"
#include "sedq/view/sedq_view.h"

#include <QAction>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>

namespace
{
// Type flag of the analyzer file in the host's file filters.
constexpr int VANTREL_FILE_TYPE = 512;

// The repository takes file names in the local 8-bit encoding. A name it cannot carry would
// reach it as another name (characters replaced), so that two names could open or save one file;
// so would one holding the replacement character, which is what bytes not valid in that encoding
// became when the name was read (from a folder listing or the command line).
bool representable(QString const& path)
{
    const QByteArray bytes = path.toLocal8Bit();
    return QString::fromLocal8Bit(bytes) == path && fio_file_name_problem(bytes.toStdString()).empty();
}

std::string unrepresentable_reason(QString const& path)
{
    return path.toLocal8Bit().toStdString() + ": the file name is not valid in the local character encoding";
}
} // namespace

// ---- document commands ---------------------------------------------------------------------

// A new document gets the window layout of a document without stored state, as an opened
// one does.
bool SEDQ_FRAME_WND::new_file()
{
    if (!QUI_FRAME_WND::new_file())
        return false;
    if (!m_tx_manager->new_document(document_title().toLocal8Bit().constData()))
        return false;
    m_layout_widget->load_window_position();
    return true;
}

// The title without the host's placeholder for the modified mark.
QString SEDQ_FRAME_WND::document_title() const
{
    QString title = windowTitle();
    title.remove(QStringLiteral("[*]"));
    return title;
}

bool SEDQ_FRAME_WND::open_file(QString const& path)
{
    std::string reason;
    return open_file(path, &reason);
}

bool SEDQ_FRAME_WND::open_file(QString const& path, std::string* reason)
{
    reason->clear();
    if (!representable(path))
    {
        *reason = unrepresentable_reason(path);
        sedq_show_message(MSG_SEDQ::O::INVALID_VTL_FILE_STRUCTURE(path.toLocal8Bit().toStdString()), *reason);
        return false;
    }
    // The host takes the new path at once; a file that does not open leaves the document and
    // its path and title as they were.
    const FIO_PATH previous_path = get_file_path();
    const QString previous_title = windowTitle();
    if (!QUI_FRAME_WND::open_file(path))
    {
        *reason = "no file name is given";
        return false;
    }
    bool renamed = false;
    std::string new_name;
    const bool opened = m_tx_manager->open_document(path.toLocal8Bit().constData(), &renamed, &new_name);
    if (!opened)
    {
        *reason = SDR_DATA_MANAGER::get_data_repository_manager()->get_last_error();
        set_file_path(previous_path);
        setWindowTitle(previous_title);
        return false;
    }
    if (renamed)
    {
        const FIO_PATH renamed_path(new_name);
        set_window_title(renamed_path);
        set_file_path(renamed_path);
    }
    m_layout_widget->load_window_position();
    return true;
}

bool SEDQ_FRAME_WND::save_file(QString const& path)
{
    if (!representable(path))
    {
        sedq_show_message(MSG_SEDQ::O::CANNOT_SAVE(), unrepresentable_reason(path));
        return false;
    }
    // The host takes the new path at once; a save that fails leaves the document's path and
    // title as they were, so that the next Save does not write where this one could not.
    const FIO_PATH previous_path = get_file_path();
    const QString previous_title = windowTitle();
    if (!QUI_FRAME_WND::save_file(path))
        return false;
    if (m_tx_manager->save_document(path.toLocal8Bit().constData()))
        return true;
    set_file_path(previous_path);
    setWindowTitle(previous_title);
    return false;
}

// The host asks about the window's modified mark, which the model brings in line with the
// document first.
bool SEDQ_FRAME_WND::save_modified(bool ask)
{
    if (!SEDQ_VERIFY(this->m_tx_manager != NULL))
        return false;
    if (!m_tx_manager->save_modified())
        return false;
    return QUI_FRAME_WND::save_modified(ask);
}

void SEDQ_FRAME_WND::on_open_action()
{
    if (!is_main_window())
    {
        QUI_FRAME_WND::on_open_action();
        return;
    }
    AFCQ_FILE_DLG dialog(this);
    dialog.setNameFilters({afcq_create_filter(VANTREL_FILE_TYPE, "", -1)});
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setWindowTitle(tr("Open File"));
    if (dialog.exec() != QDialog::Accepted)
        return;
    for (const QString& file : dialog.selectedFiles())
    {
        AFCQ_WAIT_CURSOR wait;
        if (find_open_file(file, true))
            continue;
        if (!save_modified(true))
            return;
        QUI_FRAME_WND::open_file(file, false, false, false, true, true);
    }
}

bool SEDQ_FRAME_WND::save_as(FIO_PATH const& path)
{
    if (!is_main_window())
        return QUI_FRAME_WND::save_as(path);
    QString chosen;
    if (!run_save_as_dialog(path, &chosen))
        return false;
    AFCQ_WAIT_CURSOR wait;
    return save_file(QFileInfo(chosen).absoluteFilePath());
}

// The proposal is the given path, else the document's, else the host's untitled name. A
// proposal the owner may not write is preselected only when the host allows it. Regression
// tests never see the dialog and take the preselection; without one there is nothing to save.
bool SEDQ_FRAME_WND::run_save_as_dialog(FIO_PATH const& path, QString* chosen)
{
    AFCQ_FILE_DLG dialog(this);
    dialog.setNameFilters({afcq_create_filter(VANTREL_FILE_TYPE, "", -1)});
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setLabelText(QFileDialog::FileType, tr("Save as type:"));
    for (QLineEdit* edit : dialog.findChildren<QLineEdit*>())
        edit->selectAll();
    std::string proposal = path.fullpath();
    if (proposal.empty())
        proposal = get_file_path().fullpath();
    if (proposal.empty() && get_frame_info() != nullptr)
        proposal = get_frame_info()->get_untitled();
    QString preselected;
    const QFileInfo info(QString::fromLocal8Bit(proposal.c_str()));
    if (!proposal.empty() && ((get_frame_state_bits() & QUI_FW_BIT_PRESELECT_READ_ONLY) != 0 ||
                              info.permission(QFileDevice::WriteOwner)))
        preselected = info.filePath();
    if (!preselected.isEmpty())
        dialog.selectFile(preselected);
    if (tst_is_regtest_mode())
    {
        *chosen = preselected;
        return !preselected.isEmpty();
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    *chosen = dialog.selectedFiles().first();
    return true;
}

// ---- detach and attach ----------------------------------------------------------------------

void SEDQ_FRAME_WND::detach_window()
{
    if (QUI_PROCESSING_MENU* processing = get_menu_record()->processing_menu)
        append_actions(processing,
                       {AFCQ_SEDQ_TOOLBAR_START_RECOMPILE_ACTION, AFCQ_SEDQ_TOOLBAR_START_COMPILE_ACTION});
    QUI_FRAME_WND::detach_window();
    set_detached_shortcuts(true);
}

void SEDQ_FRAME_WND::attach_window()
{
    remove_compile_entries();
    QUI_FRAME_WND::attach_window();
    set_detached_shortcuts(false);
}

void SEDQ_FRAME_WND::remove_compile_entries()
{
    if (QUI_PROCESSING_MENU* processing = get_menu_record()->processing_menu)
    {
        processing->removeAction(action(AFCQ_SEDQ_TOOLBAR_START_RECOMPILE_ACTION));
        processing->removeAction(action(AFCQ_SEDQ_TOOLBAR_START_COMPILE_ACTION));
    }
}

// A detached window has no host main window around it to carry the shortcuts.
void SEDQ_FRAME_WND::set_detached_shortcuts(bool detached)
{
    const auto set = [detached](QAction* entry, const QKeySequence& keys)
    {
        if (entry != nullptr)
            entry->setShortcut(detached ? keys : QKeySequence());
    };
    set(action(AFCQ_EDIT_UNDO_ACTION), QKeySequence::Undo);
    set(action(AFCQ_EDIT_REDO_ACTION), QKeySequence::Redo);
    set(action(AFCQ_EDIT_DELETE_ACTION), QKeySequence::Delete);
    set(action(AFCQ_EDIT_SELECT_ALL_ACTION), QKeySequence::SelectAll);
    set(action(AFCQ_EDIT_FIND_ACTION), QKeySequence::Find);
    set(action(AFCQ_EDIT_FIND_NEXT_ACTION),
        QKeySequence(afcq_get_custom_shortcut(AFCQ_EDIT_FIND_NEXT_ACTION)));
    if (QUI_FILE_MENU* file = get_menu_record()->file_menu)
    {
        set(file->new_action, QKeySequence::New);
        set(file->save_action, QKeySequence::Save);
        set(file->print_action, QKeySequence::Print);
    }
}

// ---- menu updates ---------------------------------------------------------------------------

void SEDQ_FRAME_WND::on_update_file_menu()
{
    const bool empty = m_tx_manager->is_empty();
    action(AFCQ_SEDQ_EXPORT_DATA_ACTION)->setEnabled(enable_export_action());
    const bool data = !empty && m_tx_manager->is_data_available(false, SEDQ_CURRENT, nullptr);
    if (QUI_FILE_MENU* file = get_menu_record()->file_menu)
    {
        const bool printable = data && !m_tx_manager->is_instance_acquiring(SEDQ_CURRENT);
        file->print_preview_action->setEnabled(printable);
        file->print_action->setEnabled(printable);
    }
    action(AFCQ_SEDQ_CREATE_LIST_FILE_ACTION)
        ->setEnabled(!empty && m_tx_manager->get_trigger() != nullptr && data &&
                     m_tx_manager->is_data_mode(SEDQ_CURRENT));
}

// Copy, cut and paste are the canvas's alone: offered by its rules while it has the focus,
// hidden otherwise. An empty document offers no node editing.
void SEDQ_FRAME_WND::on_update_edit_menu()
{
    const bool canvas = canvas_has_focus();
    for (int id : {AFCQ_EDIT_COPY_ACTION, AFCQ_EDIT_CUT_ACTION, AFCQ_EDIT_PASTE_ACTION})
    {
        action(id)->setVisible(canvas);
        action(id)->setEnabled(false);
    }
    if (m_tx_manager->is_empty())
    {
        for (int id : {AFCQ_EDIT_UNDO_ACTION, AFCQ_EDIT_REDO_ACTION, AFCQ_SEDQ_MNEMONIC_TABLE_SETUP_ACTION,
                       AFCQ_SEDQ_SAVE_TO_LOG_ACTION, AFCQ_SEDQ_LOGGING_ACTION, AFCQ_SEDQ_INSERT_NODES_ACTION,
                       AFCQ_SEDQ_ADD_STATE_MACHINE_ACTION, AFCQ_SEDQ_RECREATE_MNEMONICS_ACTION})
            action(id)->setEnabled(false);
        get_plugin_menu()->setEnabled(false);
        return;
    }
    int level = 0;
    if (m_tx_manager->is_advanced_mode(&level))
    {
        action(AFCQ_SEDQ_MNEMONIC_TABLE_SETUP_ACTION)->setEnabled(false);
        if (canvas)
            m_layout_widget->get_object_widget()->update_edit_rules();
    }
    else
    {
        m_tx_manager->on_update_edit_undo();
        m_tx_manager->on_update_edit_redo();
        action(AFCQ_SEDQ_MNEMONIC_TABLE_SETUP_ACTION)->setEnabled(true);
        m_layout_widget->get_view()->on_update_edit_menu();
    }
    for (int id : {AFCQ_SEDQ_SAVE_TO_LOG_ACTION, AFCQ_SEDQ_LOGGING_ACTION, AFCQ_SEDQ_LOCK_MODE_ALL_ACTION,
                   AFCQ_SEDQ_LOCK_MODE_INCREMENTAL_ACTION, AFCQ_SEDQ_LOCK_MODE_TRIGGER_ACTION})
        action(id)->setEnabled(true);
    action(AFCQ_SEDQ_LOCK_MODE_ALL_ACTION + int(m_tx_manager->get_lock_mode(false)))->setChecked(true);
    // Delete and Select All act on the node view or the canvas, whichever has the focus. With the
    // focus in another pane they would do nothing, and their keys belong to that pane's own
    // commands (the data log's, the instance list's): they are greyed.
    if (!canvas && focusWidget() != m_layout_widget->get_view())
        for (int id : {AFCQ_EDIT_DELETE_ACTION, AFCQ_EDIT_SELECT_ALL_ACTION})
            action(id)->setEnabled(false);
}

void SEDQ_FRAME_WND::on_update_view_menu()
{
    if (m_tx_manager->is_data_mode(SEDQ_CURRENT))
    {
        m_layout_widget->get_view()->on_update_waveform_menu();
        return;
    }
    int level = 0;
    if (m_tx_manager->is_advanced_mode(&level))
    {
        SEDQ_OBJECT_WIDGET* canvas = m_layout_widget->get_object_widget();
        canvas->on_update_zoom_in();
        canvas->on_update_zoom_out();
        canvas->on_update_fit_in_window();
        action(AFCQ_SEDQ_CENTER_ON_TRIGGER_ACTION)->setEnabled(false);
        return;
    }
    for (int id : {AFCQ_SEDQ_FIT_IN_WINDOW_ACTION, AFCQ_SEDQ_ZOOM_IN_ACTION, AFCQ_SEDQ_ZOOM_OUT_ACTION,
                   AFCQ_SEDQ_CENTER_ON_TRIGGER_ACTION})
        action(id)->setEnabled(false);
}

// ---- commands -------------------------------------------------------------------------------

// The export dialog writes the data log the view shows.
void SEDQ_FRAME_WND::export_action()
{
    const SDR_DATA_LOG* log = nullptr;
    m_tx_manager->is_data_available(false, SEDQ_CURRENT, &log);
    SEDQ_EXPORT_DLG dialog(log, this, this, m_tx_manager);
    dialog.exec();
}

bool SEDQ_FRAME_WND::enable_export_action()
{
    const SDR_DATA_LOG* log = nullptr;
    if (m_tx_manager->is_empty() || m_tx_manager->is_setup_mode())
        return false;
    m_tx_manager->is_data_available(false, SEDQ_CURRENT, &log);
    return log != nullptr;
}

// The menu offers these two wherever the focus is: once, not twice (two lists written and
// opened) and not never.
void SEDQ_FRAME_WND::create_list_file()
{
    if (SEDQ_VIEW* view = view_to_pass_on())
        view->show_list_view(QString());
}

void SEDQ_FRAME_WND::on_mnemonic_table_setup()
{
    if (SEDQ_VIEW* view = view_to_pass_on())
        view->on_mnemonic_table_setup();
}

void SEDQ_FRAME_WND::on_print_file()
{
    if (!SEDQ_VERIFY((this->m_layout_widget->get_view() != NULL) && (get_printer() != NULL)))
        return;
    m_layout_widget->get_view()->on_print(get_printer());
}

bool SEDQ_FRAME_WND::canvas_has_focus()
{
    return m_layout_widget != nullptr && m_layout_widget->get_object_widget()->holds_focus();
}

SEDQ_VIEW* SEDQ_FRAME_WND::view_to_pass_on()
{
    SEDQ_VIEW* view = m_layout_widget->get_view();
    return view->is_connected() ? nullptr : view;
}

void SEDQ_FRAME_WND::on_undo_action()
{
    if (canvas_has_focus())
        m_layout_widget->get_object_widget()->on_edit_undo();
    else
        m_tx_manager->on_edit_undo();
}

void SEDQ_FRAME_WND::on_redo_action()
{
    if (canvas_has_focus())
        m_layout_widget->get_object_widget()->on_edit_redo();
    else
        m_tx_manager->on_edit_redo();
}

void SEDQ_FRAME_WND::on_cut_action()
{
    if (canvas_has_focus())
        m_layout_widget->get_object_widget()->on_edit_cut();
}

void SEDQ_FRAME_WND::on_copy_action()
{
    if (canvas_has_focus())
        m_layout_widget->get_object_widget()->on_edit_copy();
}

void SEDQ_FRAME_WND::on_paste_action()
{
    if (canvas_has_focus())
        m_layout_widget->get_object_widget()->on_edit_paste();
}

void SEDQ_FRAME_WND::on_delete_action()
{
    if (canvas_has_focus())
        m_layout_widget->get_object_widget()->on_edit_delete();
    else
        m_layout_widget->get_view()->on_edit_delete();
}

void SEDQ_FRAME_WND::on_select_all_action()
{
    if (canvas_has_focus())
        m_layout_widget->get_object_widget()->on_edit_select_all();
    else
        m_layout_widget->get_view()->on_edit_select_all();
}

// While the view or the canvas has the focus it takes Find and Find Next through its own
// connections to these actions; passing them on as well would run them twice (two dialogs, or
// a Find Next that skips a match).
void SEDQ_FRAME_WND::on_find_action()
{
    SEDQ_OBJECT_WIDGET* canvas = m_layout_widget->get_object_widget();
    if (canvas_has_focus())
    {
        if (!canvas->is_focused())
            canvas->on_edit_find();
    }
    else if (SEDQ_VIEW* view = view_to_pass_on())
        view->on_edit_find();
}

// The toolbar's Find is the window's own action, which no pane takes through its connections:
// it goes to the pane that has the focus wherever the focus is.
void SEDQ_FRAME_WND::on_toolbar_find()
{
    if (canvas_has_focus())
        m_layout_widget->get_object_widget()->on_edit_find();
    else
        m_layout_widget->get_view()->on_edit_find();
}

void SEDQ_FRAME_WND::on_find_next_action()
{
    SEDQ_OBJECT_WIDGET* canvas = m_layout_widget->get_object_widget();
    if (canvas_has_focus())
    {
        if (!canvas->is_focused())
            canvas->on_edit_find_next();
    }
    else if (SEDQ_VIEW* view = view_to_pass_on())
        view->on_edit_find_next();
}

void SEDQ_FRAME_WND::on_center_on_trigger()
{
    if (!canvas_has_focus())
        m_layout_widget->get_view()->on_center_on_trigger();
}

// ---- notifications --------------------------------------------------------

bool SEDQ_FRAME_WND::ntfq_msg_prdq_updated(unsigned long, bool)
{
    if (!SEDQ_VERIFY(this->m_tx_manager != NULL))
        return true;
    m_tx_manager->cfg_initialize_user_registry_settings();
    m_tx_manager->update_all_views(nullptr,
                                   sedq_hint(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_JTAG | SEDQ_UPDATE_INSTANCES |
                                             SEDQ_UPDATE_LOG | SEDQ_UPDATE_NODE_VIEW));
    return true;
}

bool SEDQ_FRAME_WND::ntfq_msg_post_notify_flow_finish(unsigned long, bool)
{
    if (!SEDQ_VERIFY(this->m_tx_manager != NULL))
        return true;
    m_tx_manager->check_node_validity(SEDQ_CURRENT);
    m_tx_manager->update_all_views(nullptr, sedq_hint(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_JTAG |
                                                      SEDQ_UPDATE_INSTANCES | SEDQ_UPDATE_NODE_VIEW));
    return true;
}

// ---- the Tcl package's entry -----------------------------------------------------------------

void SEDQ_FRAME_WND::add_node(QString const& name)
{
    if (name.isEmpty() || !SEDQ_VERIFY(m_tx_manager != NULL))
        return;
    // Names come from Tcl in the local encoding and go to the repository in it.
    const QString node = QString::fromLocal8Bit(name.toLocal8Bit());
    const SEDQ_EDIT_SCOPE edit(m_tx_manager, SEDQ_CHECK_COMPILATION);
    m_tx_manager->insert_node(node, m_tx_manager->is_incremental_compile() ? SDR_TAP_POST_FITTING
                                                                           : SDR_TAP_PRE_SYNTHESIS);
}
