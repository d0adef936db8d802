// SEDQ_LOG_WIDGET: choosing the shown log, renaming in place, deleting, selecting, and the
// rules that enable those commands.
#include "sedq/frame/sedq_log_widget.h"

#include "sedq/frame/sedq_current_instance.h"
#include "sedq/model/msg_sedq.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/model/sedq_types.h"
#include "sedq/model/sedq_util.h"
#include "sedq/model/sedq_verify.h"

#include <QAction>
#include <QItemSelectionModel>
#include <QTreeView>

#include <algorithm>

namespace
{
constexpr int ANSWER_YES = 6;

// The model's tree operations act on the current instance. For the span of one command this
// makes the pane's instance current when another one is, and makes that one current again
// afterwards (moved down when the command removed entries before it). The pane's instance or
// its power-up view being current is left alone: both name the same logs.
class OWN_INSTANCE_SCOPE
{
public:
    OWN_INSTANCE_SCOPE(SEDQ_TX_MANAGER* tx, int own, bool own_is_current)
        : m_tx(tx), m_own(own), m_previous(sedq_current_instance(tx)), m_switched(!own_is_current),
          m_entries(entry_count(tx))
    {
        if (m_switched)
            m_tx->set_instance(m_own);
    }
    ~OWN_INSTANCE_SCOPE()
    {
        if (!m_switched)
            return;
        const int removed = m_entries - entry_count(m_tx);
        m_tx->set_instance(m_previous > m_own ? m_previous - removed : m_previous);
    }
    OWN_INSTANCE_SCOPE(const OWN_INSTANCE_SCOPE&) = delete;
    OWN_INSTANCE_SCOPE& operator=(const OWN_INSTANCE_SCOPE&) = delete;

private:
    static int entry_count(SEDQ_TX_MANAGER* tx)
    {
        return tx->get_tx_session() != nullptr ? tx->get_tx_session()->get_num_instances() : 0;
    }

    SEDQ_TX_MANAGER* m_tx;
    int m_own;
    int m_previous;
    bool m_switched;
    int m_entries;
};

QByteArray local_name(const QStringList& path, int level)
{
    return path.value(level).toLocal8Bit();
}

// Whether an ancestor of the item is selected too: removing the ancestor takes the item.
bool has_selected_ancestor(const QModelIndex& index, const QModelIndexList& rows)
{
    for (QModelIndex parent = index.parent(); parent.isValid(); parent = parent.parent())
        if (rows.contains(parent))
            return true;
    return false;
}
} // namespace

// ---- choosing what the editor shows -------------------------------------------------------------

// Nothing to do for the item the editor already shows (or, with nothing current below it,
// the set or trigger that holds it).
bool SEDQ_LOG_WIDGET::is_already_shown(const QStringList& path, const QString& text)
{
    const QString set = QString::fromUtf8(m_tx_manager->get_signal_set());
    const QString trigger = QString::fromUtf8(m_tx_manager->get_trigger());
    const char* log = m_tx_manager->get_log();
    if (path.size() == INSTANCE_DEPTH && m_tx_manager->get_signal_set() == nullptr)
        return true;
    if (path.size() == SIGNAL_SET_DEPTH && text == set && m_tx_manager->get_trigger() == nullptr)
        return true;
    if (path.size() == TRIGGER_DEPTH && text == trigger && log == nullptr)
        return true;
    return log != nullptr && text == QString::fromUtf8(log);
}

void SEDQ_LOG_WIDGET::on_double_clicked(QModelIndex const& index)
{
    if (!index.isValid())
        return;
    const QStringList path = index.data(PATH_ROLE).toStringList();
    const bool own_current = is_own_instance_current();
    if (own_current && is_already_shown(path, index.data(Qt::DisplayRole).toString()))
        return;
    {
        const OWN_INSTANCE_SCOPE scope(m_tx_manager, m_instance, own_current);
        m_tx_manager->set_active(path.value(1), path.value(2), path.value(3));
    }
    update_log_tree();
    m_tx_manager->update_all_views(nullptr, sedq_hint(SEDQ_UPDATE_REBUILD | SEDQ_UPDATE_LAYOUT));
    m_tx_manager->update_all_views(nullptr, sedq_hint(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_CONFIGURATION |
                                                      SEDQ_UPDATE_NODE_VIEW));
}

// ---- renaming -----------------------------------------------------------------------------------

void SEDQ_LOG_WIDGET::on_data_log_rename()
{
    if (!hasFocus())
        return;
    const QModelIndexList selected_rows = m_tree->selectionModel()->selectedRows();
    if (!SEDQ_VERIFY(selected_rows.count() == 1))
        return;
    m_tree->edit(selected_rows.first());
}

// The rename goes to the model by the item's path of old names; the tree is rebuilt once the
// model's signal has returned, since rebuilding now would delete the item being edited. A
// refused or empty name so shows the stored one again.
void SEDQ_LOG_WIDGET::on_item_changed(QStandardItem* item)
{
    if (item == nullptr || m_following)
        return;
    m_edited = true;
    const QStringList path = item->data(PATH_ROLE).toStringList();
    const QByteArray name = item->text().toLocal8Bit();
    if (!name.isEmpty() && !path.isEmpty())
    {
        const OWN_INSTANCE_SCOPE scope(m_tx_manager, m_instance, is_own_instance_current());
        switch (path.size())
        {
        case LOG_DEPTH:
            m_tx_manager->rename_log_set(name.constData(), local_name(path, 3).constData(),
                                         local_name(path, 2).constData(), local_name(path, 1).constData());
            break;
        case TRIGGER_DEPTH:
            m_tx_manager->rename_trigger_set(name.constData(), local_name(path, 2).constData(),
                                             local_name(path, 1).constData());
            break;
        case SIGNAL_SET_DEPTH:
            m_tx_manager->rename_signal_set(name.constData(), local_name(path, 1).constData());
            break;
        default:
            m_tx_manager->rename_instance_set(name.constData(), local_name(path, 0).constData());
            break;
        }
    }
    QMetaObject::invokeMethod(this, "update_log_tree", Qt::QueuedConnection);
    m_tx_manager->update_all_views(nullptr, sedq_hint(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_NODE_VIEW));
}

// ---- selection and deleting ---------------------------------------------------------------------

void SEDQ_LOG_WIDGET::on_selection_changed(QItemSelection const&)
{
    const int selected = m_tree->selectionModel()->selectedIndexes().count();
    m_tx_manager->enable_action(AFCQ_SEDQ_LOG_RENAME_ACTION, selected == 1);
    const bool locked = m_tx_manager->get_lock_mode(false) != SEDQ_LOCK_MODE_ALLOW_ALL &&
                        !m_tx_manager->is_tessarelle_generated();
    m_tx_manager->enable_action(AFCQ_SEDQ_LOG_DELETE_ACTION, !locked && selected > 0);
    m_tx_manager->enable_action(AFCQ_SEDQ_LOG_SELECT_ALL_ACTION, true);
}

// Every item, also those inside collapsed ones (the view's own select-all takes only the
// items it shows).
void SEDQ_LOG_WIDGET::on_data_log_select_all()
{
    if (!hasFocus())
        return;
    QItemSelection all;
    QList<QStandardItem*> pending{m_model.invisibleRootItem()};
    while (!pending.isEmpty())
    {
        QStandardItem* parent = pending.takeLast();
        for (int row = 0; row < parent->rowCount(); ++row)
        {
            all.select(parent->child(row)->index(), parent->child(row)->index());
            pending.append(parent->child(row));
        }
    }
    m_tree->selectionModel()->select(all, QItemSelectionModel::ClearAndSelect);
}

void SEDQ_LOG_WIDGET::on_data_log_delete()
{
    if (!hasFocus())
        return;
    const QModelIndexList rows = m_tree->selectionModel()->selectedRows();
    if (rows.isEmpty() || refuse_delete_while_acquiring(rows))
        return;
    if (sedq_show_message(MSG_SEDQ::YN::NO_UNDO_SUPPORT()) != ANSWER_YES)
        return;
    const int instances = m_tx_manager->get_tx_session() != nullptr ? m_tx_manager->get_num_instances() : 0;
    {
        const OWN_INSTANCE_SCOPE scope(m_tx_manager, m_instance, is_own_instance_current());
        remove_selected(rows);
    }
    if (m_tx_manager->get_num_instances() < instances)
        m_tx_manager->update_all_views(nullptr, sedq_hint(SEDQ_UPDATE_REBUILD | SEDQ_UPDATE_LAYOUT |
                                                          SEDQ_UPDATE_INSTANCES | SEDQ_UPDATE_JTAG));
    else
        m_tx_manager->update_all_views(nullptr,
                                       sedq_hint(SEDQ_UPDATE_REBUILD | SEDQ_UPDATE_LOG | SEDQ_UPDATE_NODE_VIEW));
}

// An acquisition writes into the logs of its instance and reports by instance index: nothing
// is removed while one runs, as the instance manager refuses to remove instances then.
bool SEDQ_LOG_WIDGET::refuse_delete_while_acquiring(const QModelIndexList& rows)
{
    if (!m_tx_manager->is_any_instance_acquiring())
        return false;
    const bool instance_selected =
        std::any_of(rows.begin(), rows.end(),
                    [](const QModelIndex& index)
                    { return index.data(PATH_ROLE).toStringList().size() == INSTANCE_DEPTH; });
    sedq_show_message(instance_selected ? MSG_SEDQ::O::CANT_DELETE_INSTANCE() : MSG_SEDQ::O::CANT_CLOSE_VTL_FILE());
    return true;
}

// Deepest level first, so the names of parents still hold for the later passes. An item whose
// parent is selected too goes with its parent. The paths are read before anything changes.
void SEDQ_LOG_WIDGET::remove_selected(const QModelIndexList& rows)
{
    QList<QStringList> paths;
    for (const QModelIndex& index : rows)
        if (!has_selected_ancestor(index, rows))
            paths << index.data(PATH_ROLE).toStringList();
    for (int level = LOG_DEPTH; level >= INSTANCE_DEPTH; --level)
        for (const QStringList& path : paths)
            if (path.size() == level)
                m_tx_manager->remove_log_tree_item(local_name(path, 1).constData(), local_name(path, 2).constData(),
                                                   local_name(path, 3).constData());
}
