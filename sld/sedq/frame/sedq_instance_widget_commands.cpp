// SEDQ_INSTANCE_WIDGET: the instance commands (add, delete, rename, power-up trigger on and
// off, duplicate a trigger), edits in the list, the current instance, and the status help.
#include "sedq/frame/sedq_instance_widget.h"

#include "sedq/frame/sedq_frame_wnd.h"
#include "sedq/frame/sedq_layout_widget.h"
#include "sedq/model/msg_sedq.h"
#include "sedq/model/sedq_edit_scope.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/model/sedq_types.h"
#include "sedq/model/sedq_util.h"
#include "sedq/model/sedq_verify.h"
#include "sedq/view/sedq_view.h"

#include <QLineEdit>
#include <QTreeView>

#include <memory>

namespace
{
constexpr int ANSWER_YES = 6;
const char* const HELP_LIBRARY = "sys_hlpq";
const char* const HELP_ENTRY = "hlpq_dyn_show_msg_help_impl";

// Every change of the set of instances refreshes the instance pane, the JTAG pane and the layout,
// then the node view.
const int INSTANCES_REBUILD =
    sedq_hint(SEDQ_UPDATE_REBUILD | SEDQ_UPDATE_INSTANCES | SEDQ_UPDATE_JTAG | SEDQ_UPDATE_LAYOUT);
const int NODE_VIEW_REFRESH = sedq_hint(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_NODE_VIEW);
} // namespace

// ---- instance commands ------------------------------------------------------------------------

void SEDQ_INSTANCE_WIDGET::on_instance_add()
{
    m_tx->add_instance();
    m_tx->update_all_views(nullptr, INSTANCES_REBUILD);
    m_tx->update_all_views(nullptr, NODE_VIEW_REFRESH);
}

// Rows are walked from the last to the first, so that a removal never moves an entry still to
// be handled; a selected power-up row takes its whole instance with it.
void SEDQ_INSTANCE_WIDGET::on_instance_delete()
{
    if (m_tx->is_any_instance_acquiring())
    {
        sedq_show_message(MSG_SEDQ::O::CANT_DELETE_INSTANCE());
        return;
    }
    if (sedq_show_message(MSG_SEDQ::YN::NO_UNDO_SUPPORT()) != ANSWER_YES)
        return;
    for (int row = m_model.rowCount() - 1; row >= 0; --row)
        if (is_row_or_powerup_selected(row))
            m_tx->remove_instance(m_model.instance_at(row));
    m_tx->update_all_views(nullptr, INSTANCES_REBUILD);
    m_tx->update_all_views(nullptr, NODE_VIEW_REFRESH);
}

void SEDQ_INSTANCE_WIDGET::on_instance_rename()
{
    const QModelIndexList selected_rows = m_tree->selectionModel()->selectedRows(SEDQ_INSTANCE_COLUMN_NAME);
    if (!SEDQ_VERIFY(selected_rows.count() == 1))
        return;
    m_tree->edit(selected_rows.first());
}

void SEDQ_INSTANCE_WIDGET::on_instance_enable_powerup()
{
    QItemSelectionModel* selection = m_tree->selectionModel();
    bool changed = false;
    for (int row = m_model.rowCount() - 1; row >= 0; --row)
    {
        const int instance = m_model.instance_at(row);
        if (selection->isRowSelected(row, QModelIndex()) && !m_tx->is_powerup_trigger_enabled(instance))
            changed = m_tx->enable_powerup_trigger(instance, true) || changed;
    }
    if (changed)
        m_tx->update_all_views(nullptr, INSTANCES_REBUILD);
}

void SEDQ_INSTANCE_WIDGET::on_instance_disable_powerup()
{
    bool changed = false;
    for (int row = m_model.rowCount() - 1; row >= 0; --row)
    {
        const int instance = m_model.instance_at(row);
        if (m_tx->is_powerup_trigger_enabled(instance) && is_row_or_powerup_selected(row))
            changed = m_tx->enable_powerup_trigger(instance, false) || changed;
    }
    if (changed)
        m_tx->update_all_views(nullptr, INSTANCES_REBUILD);
}

// An instance row copies its trigger to its power-up trigger, a power-up row the other way.
void SEDQ_INSTANCE_WIDGET::on_instance_duplicate_trigger()
{
    for (const QModelIndex& index : m_tree->selectionModel()->selectedRows(SEDQ_INSTANCE_COLUMN_NAME))
        m_tx->duplicate_powerup_trigger(index.data(SEDQ_INSTANCE_ROLE).toInt());
    // The node view, hierarchy, configuration and log panes show the copied conditions; with a
    // single instance the layout is refreshed first.
    if (m_model.rowCount() == 1)
    {
        m_tx->update_all_views(nullptr, sedq_hint(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_LAYOUT));
        m_tx->update_all_views(nullptr, sedq_hint(0x2400000f));
    }
    else
    {
        m_tx->update_all_views(nullptr, sedq_hint(0x2000004f));
    }
}

// ---- edits in the list ------------------------------------------------------------------------

// A name typed in or a box clicked in the list.
void SEDQ_INSTANCE_WIDGET::on_edited(const QModelIndex& index)
{
    if (index.column() == SEDQ_INSTANCE_COLUMN_ENABLED)
        on_box_edited(index.row());
    else if (index.column() == SEDQ_INSTANCE_COLUMN_NAME)
        on_name_edited(index.row());
}

// A refused rename (a name that is taken) shows the name the instance still has.
void SEDQ_INSTANCE_WIDGET::on_name_edited(int row)
{
    const int instance = m_model.instance_at(row);
    const QByteArray old_name = QByteArray(m_tx->get_instance_name_at(instance, nullptr));
    const QString typed = m_model.name_at(row);
    if (typed == QString::fromUtf8(old_name))
        return;
    m_tx->rename_instance_set(typed.toLocal8Bit().constData(), old_name.constData());
    m_model.set_name(row, QString::fromUtf8(m_tx->get_instance_name_at(instance, nullptr)));
}

// The enable flag is stored in the document: the window shows it as a change to save.
void SEDQ_INSTANCE_WIDGET::on_box_edited(int row)
{
    const QModelIndex box = m_model.index(row, SEDQ_INSTANCE_COLUMN_ENABLED);
    const bool checked = box.data(Qt::CheckStateRole).toInt() == Qt::Checked;
    {
        const SEDQ_EDIT_SCOPE edit(m_tx, SEDQ_SKIP_COMPILATION_CHECK, sedq_hint(SEDQ_UPDATE_INSTANCES));
        m_tx->set_instance_enabled(m_model.instance_at(row), checked);
    }
    on_selection_changed();
}

// ---- the current instance ---------------------------------------------------------------------

// A double click makes the row's entry current; on a power-up row that is the power-up view.
void SEDQ_INSTANCE_WIDGET::on_double_clicked(const QModelIndex& index)
{
    if (!index.isValid())
        return;
    SEDQ_LAYOUT_WIDGET* layout = m_frame->get_layout_widget();
    if (layout != nullptr && layout->get_view() != nullptr)
    {
        layout->get_view()->save_scroll_pos();
        layout->set_scroll_flag(true);
    }
    const int instance =
        index.sibling(index.row(), SEDQ_INSTANCE_COLUMN_NAME).data(SEDQ_INSTANCE_ROLE).toInt();
    m_tx->set_instance(instance);
    mark_current_rows(instance);
    m_tx->update_all_views(nullptr, sedq_hint(SEDQ_UPDATE_REBUILD | SEDQ_UPDATE_LAYOUT));
    m_tx->update_all_views(nullptr, NODE_VIEW_REFRESH);
}

// ---- status help ------------------------------------------------------------------------------

// The help of the selected row's status: a trigger progress text is explained by the trigger
// level message, any other status by the message it was rendered from.
void SEDQ_INSTANCE_WIDGET::on_instance_status_help()
{
    const QModelIndexList selected_rows = m_tree->selectionModel()->selectedRows(SEDQ_INSTANCE_COLUMN_NAME);
    if (!SEDQ_VERIFY(selected_rows.count() == 1))
        return;
    QModelIndex name = selected_rows.first();
    if (name.parent().isValid())
        name = name.parent();
    const QString text = name.sibling(name.row(), SEDQ_INSTANCE_COLUMN_STATUS).data().toString();
    if (!SEDQ_VERIFY(!text.isEmpty()))
        return;
    if (text.startsWith("Trigger level ") || text.startsWith("Currently in state "))
        show_help(MSG_SEDQ::I::TRIGGER_LEVEL(), true);
    else
        show_help(sedq_text_to_msg(text), false);
}

void SEDQ_INSTANCE_WIDGET::on_ela_status_help()
{
    const QString text = m_status_line->text();
    if (!SEDQ_VERIFY(!text.isEmpty()))
        return;
    show_help(sedq_text_to_msg(text), false);
}

// Shows the host help of the message; `owned` messages were built for this and are deleted.
// A suppressed (null) message has no help to show.
void SEDQ_INSTANCE_WIDGET::show_help(MSG_BASE* msg, bool owned)
{
    std::unique_ptr<MSG_BASE> built(owned ? msg : nullptr);
    if (!SEDQ_VERIFY(msg != NULL) || msg->is_null() || !load_help_library())
        return;
    m_show_msg_help(msg->help_key());
}

// The help library and its entry are looked up on first use and kept.
bool SEDQ_INSTANCE_WIDGET::load_help_library()
{
    if (m_show_msg_help != nullptr)
        return true;
    if (m_help_library == nullptr)
        m_help_library = thr_drl_load(HELP_LIBRARY);
    void* entry = m_help_library != nullptr ? thr_drl_find_function(m_help_library, HELP_ENTRY) : nullptr;
    if (entry == nullptr)
    {
        SEDQ_REPORT(thr_drl_get_error());
        return false;
    }
    m_show_msg_help = reinterpret_cast<void (*)(const char*)>(entry);
    return true;
}
