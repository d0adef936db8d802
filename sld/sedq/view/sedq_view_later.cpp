// SEDQ_VIEW: the commands, menu rules and input handlers of the view that are not built yet.
// Each body here is a deliberate no-op (or answers "not possible", which keeps its host action
// disabled), so that no menu entry, button or key reaches unfinished code; the change that
// builds a command moves its body into the source of its concern.
#include "sedq/view/sedq_view.h"

#include <QEvent>

// ---- input: mouse, keys, drag and drop -----------------------------------------------------------

bool SEDQ_VIEW::event(QEvent* event)
{
    // Tooltips are built with the input handling.
    return QWidget::event(event);
}

void SEDQ_VIEW::mousePressEvent(QMouseEvent* event)
{
    QWidget::mousePressEvent(event);
}

void SEDQ_VIEW::mouseReleaseEvent(QMouseEvent* event)
{
    QWidget::mouseReleaseEvent(event);
}

void SEDQ_VIEW::mouseDoubleClickEvent(QMouseEvent* event)
{
    QWidget::mouseDoubleClickEvent(event);
}

void SEDQ_VIEW::mouseMoveEvent(QMouseEvent* event)
{
    QWidget::mouseMoveEvent(event);
}

void SEDQ_VIEW::wheelEvent(QWheelEvent* event)
{
    QWidget::wheelEvent(event);
}

void SEDQ_VIEW::keyPressEvent(QKeyEvent* event)
{
    QWidget::keyPressEvent(event);
}

void SEDQ_VIEW::dragEnterEvent(QDragEnterEvent* event)
{
    QWidget::dragEnterEvent(event);
}

void SEDQ_VIEW::dragMoveEvent(QDragMoveEvent* event)
{
    QWidget::dragMoveEvent(event);
}

void SEDQ_VIEW::dragLeaveEvent(QDragLeaveEvent* event)
{
    QWidget::dragLeaveEvent(event);
}

void SEDQ_VIEW::dropEvent(QDropEvent* event)
{
    QWidget::dropEvent(event);
}

void SEDQ_VIEW::on_drag_scroll()
{
    // Scrolling while dragging nodes is built with the input handling.
}

// ---- selection commands and their menu rules -----------------------------------------------------

void SEDQ_VIEW::on_data_enable()
{
    // The selection commands are built with the node commands.
}

void SEDQ_VIEW::on_data_disable()
{
    // The selection commands are built with the node commands.
}

void SEDQ_VIEW::on_trigger_enable()
{
    // The selection commands are built with the node commands.
}

void SEDQ_VIEW::on_trigger_disable()
{
    // The selection commands are built with the node commands.
}

void SEDQ_VIEW::on_storage_enable()
{
    // The selection commands are built with the node commands.
}

void SEDQ_VIEW::on_storage_disable()
{
    // The selection commands are built with the node commands.
}

void SEDQ_VIEW::on_transition_enable()
{
    // The selection commands are built with the node commands.
}

void SEDQ_VIEW::on_transition_disable()
{
    // The selection commands are built with the node commands.
}

void SEDQ_VIEW::on_invert_signal()
{
    // The selection commands are built with the node commands.
}

void SEDQ_VIEW::on_view_align_left()
{
    // The selection commands are built with the node commands.
}

void SEDQ_VIEW::on_view_align_right()
{
    // The selection commands are built with the node commands.
}

void SEDQ_VIEW::on_change_node_pre_syn()
{
    // The selection commands are built with the node commands.
}

void SEDQ_VIEW::on_change_node_post_fit()
{
    // The selection commands are built with the node commands.
}

void SEDQ_VIEW::on_bus_order(QAction*)
{
    // The selection commands are built with the node commands.
}

void SEDQ_VIEW::on_bus_display_format(QAction*)
{
    // The selection commands are built with the node commands.
}

void SEDQ_VIEW::on_node_set_alias()
{
    // The selection commands are built with the node commands.
}

void SEDQ_VIEW::on_node_paste_alias()
{
    // The selection commands are built with the node commands.
}

void SEDQ_VIEW::on_node_remove_alias()
{
    // The selection commands are built with the node commands.
}

void SEDQ_VIEW::on_node_rename()
{
    // The selection commands are built with the node commands.
}

void SEDQ_VIEW::on_node_group()
{
    // The selection commands are built with the node commands.
}

void SEDQ_VIEW::on_node_ungroup()
{
    // The selection commands are built with the node commands.
}

void SEDQ_VIEW::on_node_ungroup_nested_groups()
{
    // The selection commands are built with the node commands.
}

void SEDQ_VIEW::on_mnemonic(QAction*)
{
    // The selection commands are built with the node commands.
}

void SEDQ_VIEW::on_mnemonic_table_setup()
{
    // The mnemonic table setup dialog is built with the mnemonic tables.
}

void SEDQ_VIEW::on_plugin(QAction*)
{
    // Decoder plug-ins are built with the plug-in support.
}

void SEDQ_VIEW::on_plugin_options()
{
    // Decoder plug-ins are built with the plug-in support.
}

void SEDQ_VIEW::on_locate(CLSID)
{
    // Locating a node in the design is built with the node commands.
}

void SEDQ_VIEW::on_locate_design_file()
{
    // Locating a node in the design is built with the node commands.
}

void SEDQ_VIEW::on_update_data_menu()
{
    // The selection commands' rules are built with the node commands; their entries stay disabled.
}

void SEDQ_VIEW::on_update_trigger_menu()
{
    // The selection commands' rules are built with the node commands; their entries stay disabled.
}

void SEDQ_VIEW::on_update_storage_menu()
{
    // The selection commands' rules are built with the node commands; their entries stay disabled.
}

void SEDQ_VIEW::on_update_transition_menu()
{
    // The selection commands' rules are built with the node commands; their entries stay disabled.
}

void SEDQ_VIEW::on_update_alias_menu()
{
    // The selection commands' rules are built with the node commands; their entries stay disabled.
}

// The Edit entries of the menu follow the Edit menu's rules; the name menu's own entries
// (inversion, alignment, tap mode) come with the node commands.
void SEDQ_VIEW::on_update_name_menu()
{
    if (hasFocus())
        on_update_edit_menu();
}

void SEDQ_VIEW::on_update_bus_display_format_menu()
{
    // The selection commands' rules are built with the node commands; their entries stay disabled.
}

void SEDQ_VIEW::on_update_plugin_menu()
{
    // Decoder plug-ins are built with the plug-in support; the menu stays empty.
}

void SEDQ_VIEW::on_update_locate()
{
    // Locating is built with the node commands; the locate entries stay disabled.
}

bool SEDQ_VIEW::on_update_node_group()
{
    return false;
}

bool SEDQ_VIEW::on_update_node_ungroup()
{
    return false;
}

bool SEDQ_VIEW::on_update_node_ungroup_nested_groups()
{
    return false;
}

bool SEDQ_VIEW::on_update_node_rename()
{
    return false;
}

bool SEDQ_VIEW::on_update_node_set_alias()
{
    return false;
}

bool SEDQ_VIEW::on_update_node_remove_alias()
{
    return false;
}

bool SEDQ_VIEW::on_update_plugin_options()
{
    return false;
}

bool SEDQ_VIEW::on_update_bus_order(AFCQ_ACTION_ENUM)
{
    return false;
}
