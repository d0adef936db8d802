// SEDQ_INSTANCE_WIDGET: construction of the instance manager pane and its list of instances.
#include "sedq/frame/sedq_instance_widget.h"

#include "sedq/frame/sedq_current_instance.h"
#include "sedq/frame/sedq_frame_wnd.h"
#include "sedq/frame/sedq_pane_title.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/model/sedq_types.h"

#include <QAction>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>

namespace
{
constexpr AFCQ_ACTION_ENUM ACTION_INSTANCE_PANE = AFCQ_ACTION_ENUM(701);
constexpr int SEDQ_INSTANCE_ROLE = Qt::UserRole + 1;
constexpr int SEDQ_POWERUP_ROLE = Qt::UserRole + 2;
} // namespace

SEDQ_INSTANCE_WIDGET::SEDQ_INSTANCE_WIDGET(QWidget* parent, SEDQ_FRAME_WND* frame)
    : QFrame(parent), m_frame(frame), m_tx(frame->get_tx_manager())
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(make_title_row());
    layout->addWidget(sedq_make_pane_rule(this));
    m_tree = new QTreeView(this);
    m_tree->setFrameStyle(QFrame::NoFrame);
    m_tree->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_tree->setAllColumnsShowFocus(true);
    m_tree->setExpandsOnDoubleClick(false);
    m_tree->setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
    m_tree->setModel(&m_model);
    m_model.setHorizontalHeaderLabels({tr("Instance"), tr("Status"), tr("Enabled"), tr("LE usage"),
                                       tr("Memory usage"), tr("Small memory usage"),
                                       tr("Medium memory usage"), tr("Large memory usage")});
    size_columns();
    layout->addWidget(m_tree, 1);
    sedq_bind_pane_toggle(this, m_tx->get_action(ACTION_INSTANCE_PANE, QVariant()));
    connect(m_tx, SIGNAL(updated(QObject*, int)), this, SLOT(on_update(QObject*, int)), Qt::QueuedConnection);
    update_instance_list();
}

// Instance 200 pixels and Enabled 65 wide, but never narrower than a header text needs: a
// clipped header hides what the column shows.
void SEDQ_INSTANCE_WIDGET::size_columns()
{
    QHeaderView* header = m_tree->header();
    for (int column = 0; column < m_model.columnCount(); ++column)
    {
        const int wanted = column == 0 ? 200 : column == 2 ? 65 : 0;
        m_tree->setColumnWidth(column, std::max(wanted, header->sectionSizeHint(column)));
    }
}

// Label, the four acquisition commands (host actions 22, 19, 23, 21), and the close button.
QHBoxLayout* SEDQ_INSTANCE_WIDGET::make_title_row()
{
    m_run_button = make_command_button(22, 536);
    m_autorun_button = make_command_button(19, 10);
    m_stop_button = make_command_button(23, 633);
    m_read_button = make_command_button(21, 508);
    QHBoxLayout* row = sedq_make_pane_title_row(this, m_tx->get_action(ACTION_INSTANCE_PANE, QVariant()),
                                                {new QLabel(tr("Instance Manager:"), this), m_run_button,
                                                 m_autorun_button, m_stop_button, m_read_button});
    row->setSpacing(6);
    return row;
}

QToolButton* SEDQ_INSTANCE_WIDGET::make_command_button(int action_id, int icon_id)
{
    QAction* action = m_tx->get_action(AFCQ_ACTION_ENUM(action_id), QVariant());
    action->setIcon(afcq_get_icon(AFCQ_ICON_ENUM(icon_id)));
    auto* button = new QToolButton(this);
    button->setDefaultAction(action);
    button->setAutoRaise(true);
    return button;
}

// One row per instance with its name; the current instance (or the instance whose power-up
// trigger is current) carries host icon 275, the others 274.
void SEDQ_INSTANCE_WIDGET::update_instance_list()
{
    m_model.removeRows(0, m_model.rowCount());
    const int count = m_tx->get_num_instances();
    const int current = sedq_current_instance(m_tx);
    for (int i = 0; i < count; ++i)
    {
        if (m_tx->is_powerup_trigger(i))
            continue;
        const bool is_current = i == current || (i + 1 == current && m_tx->is_powerup_trigger(current));
        auto* item = new QStandardItem(afcq_get_icon(AFCQ_ICON_ENUM(is_current ? 275 : 274)),
                                       QString::fromUtf8(m_tx->get_instance_name_at(i, nullptr)));
        item->setData(i, SEDQ_INSTANCE_ROLE);
        item->setData(false, SEDQ_POWERUP_ROLE);
        item->setEditable(false);
        m_model.appendRow(item);
    }
}

void SEDQ_INSTANCE_WIDGET::on_sel_change_instance_tab(int)
{
    update_instance_list();
}

void SEDQ_INSTANCE_WIDGET::on_update(QObject*, int hint)
{
    if ((hint & SEDQ_UPDATE_INSTANCES) != 0 && (hint & (SEDQ_UPDATE_REBUILD | SEDQ_UPDATE_REFRESH)) != 0)
        update_instance_list();
}
