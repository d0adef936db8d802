#pragma once
// GUI test hooks: one user step each, on the analyzer window a test script drives, its node
// view and the dialogs they open. A hook that opens a modal dialog returns when it closes.

#include <QString>

class QDialog;
class SEDQ_FRAME_WND;
class SEDQ_OBJECT_WIDGET;
class SEDQ_VIEW;

// A hook could not do its step (a name the document lacks, a row the table lacks): the Tcl
// command running it returns an error with the reason, and so does the command whose dialog
// ran it. The first reason counts; outside a command nothing happens.
void sedq_test_step_failed(const QString& reason);

class SEDQ_TEST_FRAME_WND
{
public:
    // The last modal dialog among the main widget's descendants; null when there is none.
    static QDialog* sedq_find_current_dialog();

    static void test_show_list_view(SEDQ_FRAME_WND* frame, const QString& filename);
    static void test_open_file(SEDQ_FRAME_WND* frame, const QString& filename);
    static void test_on_print_file(SEDQ_FRAME_WND* frame);
    static void test_on_mnemonic_table_setup(SEDQ_FRAME_WND* frame);
    static void test_on_add_table(SEDQ_FRAME_WND* frame);
    static void test_on_add_table_set_data(SEDQ_FRAME_WND* frame, const QString& name, const QString& width);
    static void test_on_add_entry(SEDQ_FRAME_WND* frame);
    static void test_on_add_entry_set_data(SEDQ_FRAME_WND* frame, const QString& value, const QString& mnemonic,
                                           const QString& radix);
    static void test_on_import(SEDQ_FRAME_WND* frame);
    static void test_on_file_set_data(SEDQ_FRAME_WND* frame, const QString& filename);
    static void test_on_import_set_data(SEDQ_FRAME_WND* frame);
    static void test_on_delete_table(SEDQ_FRAME_WND* frame);
    static void test_on_delete_entry(SEDQ_FRAME_WND* frame, const QString& row);
    // Sets selector number `type` of the view's level-type selectors to "Advanced".
    static void test_advanced_view(SEDQ_FRAME_WND* frame, int type);
    // Steps on the window's advanced trigger canvas and its Object Properties dialog.
    static void test_on_l_double_click(SEDQ_FRAME_WND* frame, int x, int y);
    static void test_property_dialog(SEDQ_FRAME_WND* frame);
    // The context menu's entry of that name (lower case, as "move up"), after a right-button
    // press at (x, y).
    static void test_advanced_context_menu(SEDQ_FRAME_WND* frame, const QString& name, int x, int y);
    static void test_advanced_focus_in(SEDQ_FRAME_WND* frame);
    static void test_advanced_insert(SEDQ_FRAME_WND* frame);
    static void test_advanced_key_press(SEDQ_FRAME_WND* frame, const QString& key, unsigned int modifier);
    static void test_on_time_units(SEDQ_FRAME_WND* frame);
    static void test_time_units_set_data(SEDQ_FRAME_WND* frame, const QString& time, const QString& index);
    static void test_on_insert_time_bar(SEDQ_FRAME_WND* frame);
    static void test_insert_time_bar_set_data(SEDQ_FRAME_WND* frame, const QString& time, const QString& index,
                                              const QString& sample);
    static void test_find_dlg(SEDQ_FRAME_WND* frame, const QByteArray& text, unsigned int direction);
    static void test_find_next(SEDQ_FRAME_WND* frame);
    static void test_check_locate_enable(SEDQ_FRAME_WND* frame);
    static void test_set_storage_qualifier(SEDQ_FRAME_WND* frame, const QString& type);
    static void test_undo_view(SEDQ_FRAME_WND* frame);
    static void test_redo_view(SEDQ_FRAME_WND* frame);
    static void test_set_active(SEDQ_FRAME_WND* frame, const QString& signal_set, const QString& trigger,
                                const QString& log);
    static void test_delete_all_node_in_view(SEDQ_FRAME_WND* frame);
    static void test_update_waveform_menu(SEDQ_FRAME_WND* frame);

private:
    static SEDQ_VIEW* view_of(SEDQ_FRAME_WND* frame);
    static SEDQ_OBJECT_WIDGET* canvas_of(SEDQ_FRAME_WND* frame);
};
