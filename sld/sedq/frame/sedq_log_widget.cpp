// SEDQ_LOG_WIDGET: construction of the data log pane, its logging switch, and the tree of
// signal sets, triggers and logs with their stored expanded states.
#include "sedq/frame/sedq_log_widget.h"

#include "sedq/frame/sedq_current_instance.h"
#include "sedq/frame/sedq_frame_wnd.h"
#include "sedq/frame/sedq_pane_title.h"
#include "sedq/model/sedq_block.h"
#include "sedq/model/sedq_globals.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/model/sedq_types.h"

#include <QAction>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QStyle>
#include <QToolButton>
#include <QTreeView>

namespace
{
QString text_of(const char* name)
{
    return QString::fromUtf8(name != nullptr ? name : "");
}
} // namespace

SEDQ_LOG_WIDGET::SEDQ_LOG_WIDGET(QWidget* parent, int instance, SEDQ_FRAME_WND* frame)
    : QFrame(parent), m_instance(instance), m_frame(frame), m_tx_manager(frame->get_tx_manager())
{
    sedq_bind_pane_toggle(this, m_tx_manager->get_action(AFCQ_SEDQ_LOG_PANE_ACTION, QVariant()));
    m_tree = sedq_make_list_pane(this, make_title_row(), &m_model).tree;
    m_tree->setSelectionBehavior(QAbstractItemView::SelectItems);
    m_tree->header()->hide();
    setFocusProxy(m_tree);
    make_tree_actions();
    connect(m_tx_manager, &SEDQ_TX_MANAGER::updated_later, this, &SEDQ_LOG_WIDGET::on_update);
    connect(m_tree, &QTreeView::doubleClicked, this, &SEDQ_LOG_WIDGET::on_double_clicked);
    connect(&m_model, &QStandardItemModel::itemChanged, this, &SEDQ_LOG_WIDGET::on_item_changed);
    connect(m_tree, &QTreeView::collapsed, this, &SEDQ_LOG_WIDGET::on_collapsed);
    connect(m_tree, &QTreeView::expanded, this, &SEDQ_LOG_WIDGET::on_expanded);
    connect(m_tree->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &SEDQ_LOG_WIDGET::on_selection_changed);
    connect(m_tx_manager->get_action(AFCQ_SEDQ_LOG_DELETE_ACTION, QVariant()), &QAction::triggered, this,
            &SEDQ_LOG_WIDGET::on_data_log_delete);
    connect(m_tx_manager->get_action(AFCQ_SEDQ_LOG_RENAME_ACTION, QVariant()), &QAction::triggered, this,
            &SEDQ_LOG_WIDGET::on_data_log_rename);
    connect(m_tx_manager->get_action(AFCQ_SEDQ_LOG_SELECT_ALL_ACTION, QVariant()), &QAction::triggered, this,
            &SEDQ_LOG_WIDGET::on_data_log_select_all);
    update_log_tree();
}

// The model is a member: it goes with the pane, and nothing here reaches the document.
SEDQ_LOG_WIDGET::~SEDQ_LOG_WIDGET() = default;

// The check box and the logging action mirror each other, so box and menu entry agree.
QHBoxLayout* SEDQ_LOG_WIDGET::make_title_row()
{
    m_logging = new QCheckBox(tr("Data Log:"), this);
    const bool logging = m_tx_manager->get_logging();
    m_logging->setChecked(logging);
    QAction* logging_action = m_tx_manager->get_action(AFCQ_SEDQ_LOGGING_ACTION, QVariant());
    logging_action->setEnabled(true);
    logging_action->setCheckable(true);
    logging_action->setChecked(logging);
    connect(m_logging, &QCheckBox::clicked, logging_action, &QAction::setChecked);
    connect(logging_action, &QAction::toggled, m_logging, &QCheckBox::setChecked);
    auto* save = new QToolButton(this);
    QAction* save_action = m_tx_manager->get_action(AFCQ_SEDQ_SAVE_TO_LOG_ACTION, QVariant());
    save_action->setEnabled(true);
    save->setDefaultAction(save_action);
    save->setIcon(afcq_get_icon(AFCQ_ICON_SAVE_TO_LOG));
    const int extent = style()->pixelMetric(QStyle::PM_SmallIconSize);
    save->setIconSize(QSize(qMax(extent, 18), qMax(extent, 15)));
    return sedq_make_pane_title_row(this, m_tx_manager->get_action(AFCQ_SEDQ_LOG_PANE_ACTION, QVariant()),
                                    {m_logging, save});
}

// Delete, rename and select all act only while the tree has the focus; they are its context
// menu.
void SEDQ_LOG_WIDGET::make_tree_actions()
{
    const struct
    {
        AFCQ_ACTION_ENUM id;
        QKeySequence shortcut;
    } actions[] = {{AFCQ_SEDQ_LOG_DELETE_ACTION, QKeySequence(QKeySequence::Delete)},
                   {AFCQ_SEDQ_LOG_RENAME_ACTION, QKeySequence(Qt::Key_F2)},
                   {AFCQ_SEDQ_LOG_SELECT_ALL_ACTION, QKeySequence(QKeySequence::SelectAll)}};
    for (const auto& entry : actions)
    {
        QAction* action = m_tx_manager->get_action(entry.id, QVariant());
        action->setShortcut(entry.shortcut);
        action->setShortcutContext(Qt::WidgetShortcut);
        m_tree->addAction(action);
    }
    m_tx_manager->enable_action(AFCQ_SEDQ_LOG_SELECT_ALL_ACTION, true);
    m_tree->setContextMenuPolicy(Qt::ActionsContextMenu);
}

void SEDQ_LOG_WIDGET::on_update(QObject*, int hint)
{
    if ((hint & SEDQ_UPDATE_LOG) == 0)
        return;
    update_log_tree();
    sync_logging_switch();
}

// A document opened or changed by undo may log otherwise than the switch shows; setting the
// action moves the box with it.
void SEDQ_LOG_WIDGET::sync_logging_switch()
{
    const bool logging = m_tx_manager->get_logging();
    QAction* action = m_tx_manager->get_action(AFCQ_SEDQ_LOGGING_ACTION, QVariant());
    if (action->isChecked() != logging)
        action->setChecked(logging);
    m_logging->setChecked(logging);
}

// ---- the tree -----------------------------------------------------------------------------------

// Expanding items here happens under the block, so the stored states are not written back.
// While the instance, its signal sets and their triggers are those the tree shows, the items
// stay and follow the logs; anything else makes the tree anew.
void SEDQ_LOG_WIDGET::update_log_tree()
{
    const SEDQ_BLOCK block;
    if (m_instance < 0 || m_instance >= m_tx_manager->get_num_instances())
    {
        m_model.clear();
        m_log_rows.clear();
        m_marked_logs.clear();
        return;
    }
    const SHOWN_NAMES shown = shown_names();
    const bool following = m_following;
    m_following = true;
    if (!m_edited && has_the_documents_shape())
        follow_logs(shown);
    else
        rebuild_log_tree(shown);
    m_edited = false;
    m_following = following;
}

void SEDQ_LOG_WIDGET::rebuild_log_tree(const SHOWN_NAMES& shown)
{
    m_model.clear();
    m_log_rows.clear();
    m_marked_logs.clear();
    bool expanded = false;
    const QString name = text_of(m_tx_manager->get_instance_name_at(m_instance, &expanded));
    QStandardItem* top = make_item(name, AFCQ_ICON_LOG_INSTANCE, {name});
    m_model.appendRow(top);
    m_tree->setExpanded(top->index(), expanded);
    const int sets = m_tx_manager->get_num_signal_sets(m_instance);
    for (int set = 0; set < sets; ++set)
        add_signal_set(top, set, shown);
}

// The instance, its signal sets and their triggers as the tree names them, in order; their
// stored expanded states are shown again on the way.
bool SEDQ_LOG_WIDGET::has_the_documents_shape()
{
    QStandardItem* top = m_model.item(0);
    bool expanded = false;
    const int sets = m_tx_manager->get_num_signal_sets(m_instance);
    if (m_model.rowCount() != 1 ||
        top->text() != text_of(m_tx_manager->get_instance_name_at(m_instance, &expanded)) || top->rowCount() != sets)
        return false;
    m_tree->setExpanded(top->index(), expanded);
    for (int set = 0; set < sets; ++set)
    {
        QStandardItem* set_item = top->child(set);
        const int triggers = m_tx_manager->get_num_triggers(m_instance, set);
        if (set_item->text() != text_of(m_tx_manager->get_signal_set_name_at(m_instance, set, &expanded)) ||
            set_item->rowCount() != triggers)
            return false;
        m_tree->setExpanded(set_item->index(), expanded);
        for (int trigger = 0; trigger < triggers; ++trigger)
        {
            QStandardItem* trigger_item = set_item->child(trigger);
            if (trigger_item->text() != text_of(m_tx_manager->get_trigger_name_at(m_instance, set, trigger, &expanded)))
                return false;
            m_tree->setExpanded(trigger_item->index(), expanded);
        }
    }
    return true;
}

// A trigger whose logs were only appended to gets items for the new ones; one whose logs changed
// otherwise gets its items anew. The marks of what is shown move to where they belong now.
void SEDQ_LOG_WIDGET::follow_logs(const SHOWN_NAMES& shown)
{
    for (const QPersistentModelIndex& marked : m_marked_logs)
        if (marked.isValid())
            set_icon(m_model.itemFromIndex(marked), AFCQ_ICON_LOG);
    m_marked_logs.clear();
    QStandardItem* top = m_model.item(0);
    for (int set = 0; set < top->rowCount(); ++set)
    {
        QStandardItem* set_item = top->child(set);
        set_icon(set_item, AFCQ_ICON_LOG_SIGNAL_SET + (set_item->text() == shown.signal_set ? 1 : 0));
        for (int trigger = 0; trigger < set_item->rowCount(); ++trigger)
        {
            QStandardItem* trigger_item = set_item->child(trigger);
            set_icon(trigger_item, AFCQ_ICON_LOG_TRIGGER + (trigger_item->text() == shown.trigger ? 1 : 0));
            const quint64 stamp = m_tx_manager->get_log_list_stamp(m_instance, set, trigger);
            const int logs = m_tx_manager->get_num_logs(m_instance, set, trigger);
            int kept = trigger_item->rowCount();
            if (trigger_item->data(STAMP_ROLE).toULongLong() != stamp || kept > logs)
            {
                trigger_item->removeRows(0, kept);
                m_log_rows.remove(trigger_item);
                kept = 0;
            }
            trigger_item->setData(stamp, STAMP_ROLE);
            add_logs(trigger_item, set, trigger, kept);
            mark_shown_log(trigger_item, shown.log);
        }
    }
}

void SEDQ_LOG_WIDGET::add_signal_set(QStandardItem* parent, int set, const SHOWN_NAMES& shown)
{
    const QStringList parent_path = parent->data(PATH_ROLE).toStringList();
    bool expanded = false;
    const QString set_name = text_of(m_tx_manager->get_signal_set_name_at(m_instance, set, &expanded));
    QStandardItem* set_item =
        make_item(set_name, AFCQ_ICON_LOG_SIGNAL_SET + (set_name == shown.signal_set ? 1 : 0),
                  parent_path + QStringList{set_name});
    parent->appendRow(set_item);
    m_tree->setExpanded(set_item->index(), expanded);
    const int triggers = m_tx_manager->get_num_triggers(m_instance, set);
    for (int trigger = 0; trigger < triggers; ++trigger)
    {
        const QString trigger_name =
            text_of(m_tx_manager->get_trigger_name_at(m_instance, set, trigger, &expanded));
        const QStringList trigger_path = set_item->data(PATH_ROLE).toStringList() + QStringList{trigger_name};
        QStandardItem* trigger_item = make_item(
            trigger_name, AFCQ_ICON_LOG_TRIGGER + (trigger_name == shown.trigger ? 1 : 0), trigger_path);
        trigger_item->setData(m_tx_manager->get_log_list_stamp(m_instance, set, trigger), STAMP_ROLE);
        set_item->appendRow(trigger_item);
        m_tree->setExpanded(trigger_item->index(), expanded);
        add_logs(trigger_item, set, trigger, 0);
        mark_shown_log(trigger_item, shown.log);
    }
}

// The items of the trigger's logs from `first` on, appended in one go.
void SEDQ_LOG_WIDGET::add_logs(QStandardItem* trigger_item, int set, int trigger, int first)
{
    const int logs = m_tx_manager->get_num_logs(m_instance, set, trigger);
    if (first >= logs)
        return;
    const QStringList trigger_path = trigger_item->data(PATH_ROLE).toStringList();
    QHash<QString, int>& rows = m_log_rows[trigger_item];
    QList<QStandardItem*> items;
    items.reserve(logs - first);
    for (int log = first; log < logs; ++log)
    {
        const QString log_name = text_of(m_tx_manager->get_log_name_at(m_instance, set, trigger, log));
        QStandardItem* log_item = make_item(log_name, AFCQ_ICON_LOG, trigger_path + QStringList{log_name});
        if (m_tx_manager->is_powerup_trigger(m_instance, set, trigger, log))
            log_item->setData(SEDQ_POWERUP_BRUSH, Qt::BackgroundRole);
        rows.insert(log_name, log);
        items.append(log_item);
    }
    trigger_item->insertRows(first, items);
}

void SEDQ_LOG_WIDGET::mark_shown_log(QStandardItem* trigger_item, const QString& log)
{
    const auto rows = m_log_rows.constFind(trigger_item);
    const int row = rows != m_log_rows.constEnd() ? rows->value(log, -1) : -1;
    QStandardItem* item = row >= 0 ? trigger_item->child(row) : nullptr;
    if (item == nullptr)
        return;
    set_icon(item, AFCQ_ICON_LOG + 1);
    m_marked_logs.emplace_back(item->index());
}

void SEDQ_LOG_WIDGET::set_icon(QStandardItem* item, int icon)
{
    if (item != nullptr && item->data(ICON_ROLE).toInt() != icon)
    {
        item->setIcon(afcq_get_icon(AFCQ_ICON_ENUM(icon)));
        item->setData(icon, ICON_ROLE);
    }
}

QStandardItem* SEDQ_LOG_WIDGET::make_item(const QString& text, int icon, const QStringList& path)
{
    auto* item = new QStandardItem(afcq_get_icon(AFCQ_ICON_ENUM(icon)), text);
    item->setData(path, PATH_ROLE);
    item->setData(icon, ICON_ROLE);
    return item;
}

bool SEDQ_LOG_WIDGET::is_own_instance_current()
{
    return sedq_is_current_or_powerup(m_tx_manager, m_instance);
}

// The model's current names while the pane's instance (or its power-up view) is current;
// otherwise what the instance itself has active, so a pane behind another tab marks its own.
SEDQ_LOG_WIDGET::SHOWN_NAMES SEDQ_LOG_WIDGET::shown_names()
{
    SHOWN_NAMES shown;
    if (is_own_instance_current())
    {
        shown.signal_set = text_of(m_tx_manager->get_signal_set());
        shown.trigger = text_of(m_tx_manager->get_trigger());
        shown.log = text_of(m_tx_manager->get_log());
        return shown;
    }
    const SDR_TX_SESSION* session = m_tx_manager->get_tx_session();
    const SDR_TX_SIGNAL_SET* set = session != nullptr ? session->get_signal_set_at(m_instance, false) : nullptr;
    const SDR_TX_TRIGGER* trigger = session != nullptr ? session->get_trigger_at(m_instance, false) : nullptr;
    const SDR_DATA_LOG* log = session != nullptr ? session->get_log_at(m_instance, false) : nullptr;
    const SDR_DATA_SIGNAL_SET* data_set = set != nullptr ? set->get_data_signal_set() : nullptr;
    const SDR_DATA_TRIGGER* data_trigger = trigger != nullptr ? trigger->get_data_trigger() : nullptr;
    shown.signal_set = text_of(data_set != nullptr ? data_set->get_name() : nullptr);
    shown.trigger = text_of(data_trigger != nullptr ? data_trigger->get_name() : nullptr);
    shown.log = text_of(log != nullptr ? log->get_name() : nullptr);
    return shown;
}

// ---- expanded states ----------------------------------------------------------------------------

void SEDQ_LOG_WIDGET::on_collapsed(QModelIndex const& index)
{
    set_expanded_state(index, false);
}

void SEDQ_LOG_WIDGET::on_expanded(QModelIndex const& index)
{
    set_expanded_state(index, true);
}

void SEDQ_LOG_WIDGET::set_expanded_state(QModelIndex const& index, bool expanded)
{
    if (SEDQ_BLOCK::is_blocked() || !index.isValid())
        return;
    const QStringList path = index.data(PATH_ROLE).toStringList();
    m_tx_manager->set_expanded(expanded, path.value(0), path.value(1), path.value(2));
}
