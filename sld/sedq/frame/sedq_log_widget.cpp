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
    connect(m_tx_manager, &SEDQ_TX_MANAGER::updated, this, &SEDQ_LOG_WIDGET::on_update, Qt::QueuedConnection);
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
void SEDQ_LOG_WIDGET::update_log_tree()
{
    const SEDQ_BLOCK block;
    m_model.clear();
    if (m_instance < 0 || m_instance >= m_tx_manager->get_num_instances())
        return;
    const SHOWN_NAMES shown = shown_names();
    bool expanded = false;
    const QString name = text_of(m_tx_manager->get_instance_name_at(m_instance, &expanded));
    QStandardItem* top = make_item(name, AFCQ_ICON_LOG_INSTANCE, {name});
    m_model.appendRow(top);
    m_tree->setExpanded(top->index(), expanded);
    const int sets = m_tx_manager->get_num_signal_sets(m_instance);
    for (int set = 0; set < sets; ++set)
        add_signal_set(top, set, shown);
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
        set_item->appendRow(trigger_item);
        m_tree->setExpanded(trigger_item->index(), expanded);
        const int logs = m_tx_manager->get_num_logs(m_instance, set, trigger);
        for (int log = 0; log < logs; ++log)
        {
            const QString log_name = text_of(m_tx_manager->get_log_name_at(m_instance, set, trigger, log));
            QStandardItem* log_item = make_item(log_name, AFCQ_ICON_LOG + (log_name == shown.log ? 1 : 0),
                                                trigger_path + QStringList{log_name});
            if (m_tx_manager->is_powerup_trigger(m_instance, set, trigger, log))
                log_item->setData(SEDQ_POWERUP_BRUSH, Qt::BackgroundRole);
            trigger_item->appendRow(log_item);
        }
    }
}

QStandardItem* SEDQ_LOG_WIDGET::make_item(const QString& text, int icon, const QStringList& path)
{
    auto* item = new QStandardItem(afcq_get_icon(AFCQ_ICON_ENUM(icon)), text);
    item->setData(path, PATH_ROLE);
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
