// GUI test hooks on the analyzer window, its node view and their dialogs.
#include "sedq/tcl/sedq_test.h"

#include "sedq/advanced_trigger/sedq_object_widget.h"
#include "sedq/frame/sedq_frame_wnd.h"
#include "sedq/frame/sedq_layout_widget.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/model/sedq_util.h"
#include "sedq/model/sedq_verify.h"
#include "sedq/plugins/sedq_mnemonic_dlg.h"
#include "sedq/plugins/sedq_mnemonic_dlg_table_view.h"
#include "sedq/plugins/sedq_mnemonic_import_dlg.h"
#include "sedq/plugins/sedq_mnemonic_new_table_dlg.h"
#include "sedq/tcl/sedq_test_object_widget.h"
#include "sedq/view/sedq_find_dlg.h"
#include "sedq/view/sedq_insert_time_bar_dlg.h"
#include "sedq/view/sedq_time_units_dlg.h"
#include "sedq/view/sedq_trigger_value_dlg.h"
#include "sedq/view/sedq_view.h"

#include "host/afcq.h"
#include "host/qui.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPrinter>

namespace
{
// The active modal widget as the dialog a step expects; each failed step is reported.
template <class DIALOG>
DIALOG* active_modal(const char* dialog_check)
{
    if (!SEDQ_VERIFY(qApp != NULL))
        return nullptr;
    QWidget* active_modal_widget = QApplication::activeModalWidget();
    if (!SEDQ_VERIFY(active_modal_widget != NULL))
        return nullptr;
    auto* dialog = qobject_cast<DIALOG*>(active_modal_widget);
    if (!dialog)
        SEDQ_REPORT(dialog_check);
    return dialog;
}

SEDQ_MNEMONIC_DLG* current_mnemonic_dialog()
{
    auto* mnemonic_dlg = qobject_cast<SEDQ_MNEMONIC_DLG*>(SEDQ_TEST_FRAME_WND::sedq_find_current_dialog());
    if (!SEDQ_VERIFY(mnemonic_dlg != NULL))
        sedq_test_step_failed(QStringLiteral("no Mnemonic Table Setup dialog is open"));
    return mnemonic_dlg;
}

// The current table of the setup dialog; a step that needs one fails without it.
mySET* current_table(SEDQ_MNEMONIC_DLG* dialog)
{
    mySET* table = dialog->get_current_set();
    if (table == nullptr)
        sedq_test_step_failed(QStringLiteral("the Mnemonic Table Setup dialog has no table"));
    return table;
}

int decimal(const QString& text)
{
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    return ok ? value : 0;
}

void set_time_fields(const SEDQ_TIME_BAR_WIDGETS& widgets, const QString& time, const QString& index)
{
    if (widgets.time_edit)
        widgets.time_edit->setText(time);
    if (widgets.unit_combo)
        widgets.unit_combo->setCurrentIndex(decimal(index));
}
} // namespace

QDialog* SEDQ_TEST_FRAME_WND::sedq_find_current_dialog()
{
    QWidget* main = qui_get_main_frame_wnd();
    QDialog* current = nullptr;
    if (!main)
        return nullptr;
    // A dialog kept hidden between uses is not open.
    for (QDialog* dialog : main->findChildren<QDialog*>())
        if (dialog->isVisible() && dialog->windowModality() != Qt::NonModal)
            current = dialog;
    return current;
}

SEDQ_VIEW* SEDQ_TEST_FRAME_WND::view_of(SEDQ_FRAME_WND* frame)
{
    SEDQ_LAYOUT_WIDGET* layout = frame ? frame->get_layout_widget() : nullptr;
    return layout ? layout->get_view() : nullptr;
}

SEDQ_OBJECT_WIDGET* SEDQ_TEST_FRAME_WND::canvas_of(SEDQ_FRAME_WND* frame)
{
    SEDQ_LAYOUT_WIDGET* layout = frame ? frame->get_layout_widget() : nullptr;
    return layout ? layout->get_object_widget() : nullptr;
}

void SEDQ_TEST_FRAME_WND::test_show_list_view(SEDQ_FRAME_WND* frame, const QString& filename)
{
    SEDQ_VIEW* view = view_of(frame);
    const std::string problem = view != nullptr ? view->show_list_view(filename) : std::string();
    if (!problem.empty())
        sedq_test_step_failed(QStringLiteral("the list file is not written: ") + QString::fromLocal8Bit(problem.c_str()));
}

// A file that does not open leaves the window's document as it was; the step fails with the
// reason (the file, the entry, what is wrong), or says the file was refused.
void SEDQ_TEST_FRAME_WND::test_open_file(SEDQ_FRAME_WND* frame, const QString& filename)
{
    std::string reason;
    if (frame->open_file(filename, &reason))
        return;
    sedq_test_step_failed(reason.empty() ? filename + QStringLiteral(": the file is not opened")
                                         : QString::fromLocal8Bit(reason.c_str()));
}

void SEDQ_TEST_FRAME_WND::test_on_print_file(SEDQ_FRAME_WND* frame)
{
    if (QPrinter* printer = frame->get_printer())
        printer->setOutputFormat(QPrinter::PdfFormat);
    QMetaObject::invokeMethod(frame, "on_print_file", Qt::DirectConnection);
}

void SEDQ_TEST_FRAME_WND::test_on_mnemonic_table_setup(SEDQ_FRAME_WND* frame)
{
    if (SEDQ_VIEW* view = view_of(frame))
        view->on_mnemonic_table_setup();
}

void SEDQ_TEST_FRAME_WND::test_on_add_table(SEDQ_FRAME_WND*)
{
    if (SEDQ_MNEMONIC_DLG* dialog = current_mnemonic_dialog())
        dialog->on_new();
}

void SEDQ_TEST_FRAME_WND::test_on_add_table_set_data(SEDQ_FRAME_WND*, const QString& name, const QString& width)
{
    if (auto* add_table_dlg = active_modal<SEDQ_MNEMONIC_NEW_TABLE_DLG>("add_table_dlg != NULL"))
    {
        add_table_dlg->get_name_edit()->setText(name);
        add_table_dlg->get_width_edit()->setText(width);
    }
}

// An entry the value dialog refused (too wide, no value, no mnemonic) fails the step.
void SEDQ_TEST_FRAME_WND::test_on_add_entry(SEDQ_FRAME_WND*)
{
    SEDQ_MNEMONIC_DLG* dialog = current_mnemonic_dialog();
    mySET* table = dialog != nullptr ? current_table(dialog) : nullptr;
    if (table == nullptr)
        return;
    const int entries = table->count;
    dialog->on_add_entry();
    if (dialog->get_current_set() != table || table->count == entries)
        sedq_test_step_failed(QStringLiteral("the Add Entry dialog did not take the entry"));
}

void SEDQ_TEST_FRAME_WND::test_on_add_entry_set_data(SEDQ_FRAME_WND*, const QString& value, const QString& mnemonic,
                                                     const QString& radix)
{
    // The radix first: choosing it converts the value the field holds, so a value typed before
    // it would be read in the old radix. A radix the list lacks fails the step and leaves the
    // dialog as it was, so that its OK takes nothing.
    auto* trigger_value_dlg = active_modal<SEDQ_TRIGGER_VALUE_DLG>("trigger_value_dlg != NULL");
    if (trigger_value_dlg == nullptr)
        return;
    QComboBox* radixes = trigger_value_dlg->get_radix_combo();
    const int index = decimal(radix);
    if (index < 0 || index >= radixes->count())
    {
        sedq_test_step_failed(QString("-entry_radix \"%1\" is no entry of the radix list (0 to %2)")
                                  .arg(radix)
                                  .arg(radixes->count() - 1));
        return;
    }
    radixes->setCurrentIndex(index);
    trigger_value_dlg->get_value_edit()->setText(value);
    trigger_value_dlg->get_mnemonic_edit()->setText(mnemonic);
}

void SEDQ_TEST_FRAME_WND::test_on_import(SEDQ_FRAME_WND*)
{
    if (SEDQ_MNEMONIC_DLG* dialog = current_mnemonic_dialog())
        dialog->on_import();
}

void SEDQ_TEST_FRAME_WND::test_on_file_set_data(SEDQ_FRAME_WND*, const QString& filename)
{
    if (auto* file_dlg = active_modal<AFCQ_FILE_DLG>("file_dlg != NULL"))
        if (auto* edit = file_dlg->findChild<QLineEdit*>())
            edit->setText(filename);
}

void SEDQ_TEST_FRAME_WND::test_on_import_set_data(SEDQ_FRAME_WND*)
{
    if (auto* import_dlg = active_modal<SEDQ_MNEMONIC_IMPORT_DLG>("import_dlg != NULL"))
    {
        import_dlg->on_select();
        import_dlg->on_unselect();
        import_dlg->on_select_all();
    }
}

void SEDQ_TEST_FRAME_WND::test_on_delete_table(SEDQ_FRAME_WND*)
{
    if (SEDQ_MNEMONIC_DLG* dialog = current_mnemonic_dialog())
        dialog->on_delete();
}

// Deletes the current row and then the given one, and shows the table as it is after both. A
// row the table lacks fails the step.
void SEDQ_TEST_FRAME_WND::test_on_delete_entry(SEDQ_FRAME_WND*, const QString& row)
{
    SEDQ_MNEMONIC_DLG* dialog = current_mnemonic_dialog();
    if (!dialog)
        return;
    dialog->on_delete_entry();
    mySET* table = current_table(dialog);
    bool number = false;
    const int index = row.toInt(&number, 10);
    if (table != nullptr && (!number || index < 0 || index >= table->count))
        sedq_test_step_failed(
            QString("table \"%1\" has no entry row \"%2\" (it has %3)").arg(table->name, row).arg(table->count));
    else if (table != nullptr)
        dialog->delete_entry(table, index);
    dialog->refresh_list(dialog->get_current_set());
}

void SEDQ_TEST_FRAME_WND::test_advanced_view(SEDQ_FRAME_WND* frame, int type)
{
    constexpr int ADVANCED = 3; // "Basic AND", "Basic OR", "Comparison", "Advanced"
    SEDQ_VIEW* view = view_of(frame);
    QComboBox* selector = view ? view->get_level_type_combo(type) : nullptr;
    if (selector && selector->count() > ADVANCED)
        selector->setCurrentIndex(ADVANCED);
}

void SEDQ_TEST_FRAME_WND::test_on_l_double_click(SEDQ_FRAME_WND* frame, int x, int y)
{
    if (SEDQ_OBJECT_WIDGET* canvas = canvas_of(frame))
        SEDQ_TEST_OBJECT_WIDGET::test_on_l_double_click(canvas, x, y);
}

void SEDQ_TEST_FRAME_WND::test_property_dialog(SEDQ_FRAME_WND*)
{
    SEDQ_TEST_OBJECT_WIDGET::test_property_dialog();
}

void SEDQ_TEST_FRAME_WND::test_advanced_context_menu(SEDQ_FRAME_WND* frame, const QString& name, int x, int y)
{
    if (SEDQ_OBJECT_WIDGET* canvas = canvas_of(frame))
        SEDQ_TEST_OBJECT_WIDGET::test_advanced_context_menu(canvas, frame->get_tx_manager(), name, x, y);
}

void SEDQ_TEST_FRAME_WND::test_advanced_focus_in(SEDQ_FRAME_WND* frame)
{
    if (SEDQ_OBJECT_WIDGET* canvas = canvas_of(frame))
        SEDQ_TEST_OBJECT_WIDGET::test_advanced_focus_in(canvas);
}

void SEDQ_TEST_FRAME_WND::test_advanced_insert(SEDQ_FRAME_WND*)
{
    SEDQ_TEST_OBJECT_WIDGET::test_advanced_insert();
}

void SEDQ_TEST_FRAME_WND::test_advanced_key_press(SEDQ_FRAME_WND* frame, const QString& key, unsigned int modifier)
{
    if (SEDQ_OBJECT_WIDGET* canvas = canvas_of(frame))
        SEDQ_TEST_OBJECT_WIDGET::test_advanced_key_press(canvas, key, modifier);
}

void SEDQ_TEST_FRAME_WND::test_on_time_units(SEDQ_FRAME_WND* frame)
{
    if (SEDQ_VIEW* view = view_of(frame))
        view->on_time_units();
}

void SEDQ_TEST_FRAME_WND::test_time_units_set_data(SEDQ_FRAME_WND*, const QString& time, const QString& index)
{
    if (auto* dialog = qobject_cast<SEDQ_TIME_UNITS_DLG*>(sedq_find_current_dialog()))
        set_time_fields(dialog->get_widgets(), time, index);
}

void SEDQ_TEST_FRAME_WND::test_on_insert_time_bar(SEDQ_FRAME_WND* frame)
{
    if (SEDQ_VIEW* view = view_of(frame))
        view->on_insert_time_bar();
}

void SEDQ_TEST_FRAME_WND::test_insert_time_bar_set_data(SEDQ_FRAME_WND*, const QString& time, const QString& index,
                                                        const QString& sample)
{
    QDialog* current = sedq_find_current_dialog();
    if (auto* units = qobject_cast<SEDQ_TIME_UNITS_DLG*>(current))
        set_time_fields(units->get_widgets(), time, index);
    else if (auto* bar = qobject_cast<SEDQ_INSERT_TIME_BAR_DLG*>(current))
    {
        set_time_fields(bar->get_widgets(), time, index);
        if (bar->get_widgets().sample_edit)
            bar->get_widgets().sample_edit->setText(sample);
    }
}

void SEDQ_TEST_FRAME_WND::test_find_dlg(SEDQ_FRAME_WND* frame, const QByteArray& text, unsigned int direction)
{
    SEDQ_OBJECT_WIDGET* canvas = canvas_of(frame);
    if (!canvas)
        return;
    SEDQ_FIND_STATE& state = canvas->get_find_state();
    state.match_case = state.whole_words = state.regular_expressions = false;
    state.node_names = state.bus_names = state.other_names = state.object_aliases = state.object_types = true;
    state.text = text;
    state.direction = direction == 1 ? QStringLiteral("Up") : direction == 2 ? QStringLiteral("Down")
                                                                              : QStringLiteral("All");
    canvas->on_edit_find();
}

void SEDQ_TEST_FRAME_WND::test_find_next(SEDQ_FRAME_WND* frame)
{
    auto* dialog = qobject_cast<SEDQ_FIND_DLG*>(sedq_find_current_dialog());
    if (!dialog)
        return;
    dialog->on_find_all_state_changed(false);
    dialog->on_find_all_state_changed(true);
    dialog->on_find_option_changed();
    dialog->on_find_next_clicked();
    dialog->on_find_next_clicked();
    SEDQ_LAYOUT_WIDGET* layout = frame->get_layout_widget();
    if (layout && layout->get_object_widget())
        dialog->on_object_widget_find_next();
}

void SEDQ_TEST_FRAME_WND::test_check_locate_enable(SEDQ_FRAME_WND* frame)
{
    SEDQ_VIEW* view = view_of(frame);
    if (!view)
        return;
    view->setFocus(Qt::OtherFocusReason);
    view->select_item(0, true);
    view->on_update_locate();
    AFCQ_LOCATE_MENU* menu = frame->get_locate_menu();
    bool enabled = false;
    for (QAction* action : menu ? menu->get_locate_actions() : QList<QAction*>())
        enabled = enabled || action->isEnabled();
    sedq_msg_debug(enabled ? "locate enabled" : "locate disabled");
}

void SEDQ_TEST_FRAME_WND::test_set_storage_qualifier(SEDQ_FRAME_WND* frame, const QString& type)
{
    const QStringList types = SEDQ_TX_MANAGER::get_storage_qualifier_types();
    if (!types.contains(type))
    {
        sedq_test_step_failed(QString("-type \"%1\" is no storage qualifier type; the types are \"%2\"")
                                  .arg(type, types.join("\", \"")));
        return;
    }
    frame->get_tx_manager()->set_storage_qualifier_type(type);
}

void SEDQ_TEST_FRAME_WND::test_undo_view(SEDQ_FRAME_WND* frame)
{
    frame->get_tx_manager()->on_edit_undo();
}

void SEDQ_TEST_FRAME_WND::test_redo_view(SEDQ_FRAME_WND* frame)
{
    frame->get_tx_manager()->on_edit_redo();
}

void SEDQ_TEST_FRAME_WND::test_set_active(SEDQ_FRAME_WND* frame, const QString& signal_set, const QString& trigger,
                                          const QString& log)
{
    SEDQ_TX_MANAGER* manager = frame->get_tx_manager();
    const QString missing = manager->get_missing_log_entry_part(signal_set, trigger, log);
    if (!missing.isEmpty())
    {
        const QString name = missing == "signal set" ? signal_set : missing == "trigger" ? trigger : log;
        sedq_test_step_failed(missing == "instance" ? QStringLiteral("the document has no instance")
                                                    : QString("the current instance has no %1 \"%2\"").arg(missing, name));
        return;
    }
    manager->set_active(signal_set, trigger, log);
    manager->update_all_views(nullptr, sedq_hint(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_CONFIGURATION | SEDQ_UPDATE_NODE_VIEW));
}

void SEDQ_TEST_FRAME_WND::test_delete_all_node_in_view(SEDQ_FRAME_WND* frame)
{
    SEDQ_VIEW* view = view_of(frame);
    if (!view)
        return;
    view->setFocus(Qt::OtherFocusReason);
    view->select_all_items(true);
    view->on_edit_delete();
}

void SEDQ_TEST_FRAME_WND::test_update_waveform_menu(SEDQ_FRAME_WND* frame)
{
    if (SEDQ_VIEW* view = view_of(frame))
        view->on_update_waveform_menu();
}
