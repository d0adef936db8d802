// SEDQ_LOG_WIDGET: construction of the data log pane and its logging switch.
#include "sedq/frame/sedq_log_widget.h"

#include "sedq/frame/sedq_frame_wnd.h"
#include "sedq/frame/sedq_pane_title.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/model/sedq_types.h"

#include <QAction>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QStyle>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace
{
constexpr AFCQ_ACTION_ENUM ACTION_LOGGING = AFCQ_ACTION_ENUM(114);
constexpr AFCQ_ACTION_ENUM ACTION_SAVE_TO_LOG = AFCQ_ACTION_ENUM(117);
constexpr AFCQ_ACTION_ENUM ACTION_LOG_PANE = AFCQ_ACTION_ENUM(698);
} // namespace

SEDQ_LOG_WIDGET::SEDQ_LOG_WIDGET(QWidget* parent, int instance, SEDQ_FRAME_WND* frame)
    : QFrame(parent), m_instance(instance), m_frame(frame), m_tx_manager(frame->get_tx_manager())
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    sedq_bind_pane_toggle(this, m_tx_manager->get_action(ACTION_LOG_PANE, QVariant()));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(make_title_row());
    layout->addWidget(sedq_make_pane_rule(this));
    m_tree = new QTreeView(this);
    m_tree->setFrameStyle(QFrame::NoFrame);
    m_tree->setSelectionBehavior(QAbstractItemView::SelectItems);
    m_tree->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_tree->header()->hide();
    m_tree->setExpandsOnDoubleClick(false);
    m_tree->setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
    m_tree->setModel(&m_model);
    layout->addWidget(m_tree, 1);
    setFocusProxy(m_tree);
    connect(m_tx_manager, SIGNAL(updated(QObject*, int)), this, SLOT(on_update(QObject*, int)),
            Qt::QueuedConnection);
}

// The check box and the logging action mirror each other, so box and menu entry agree.
QHBoxLayout* SEDQ_LOG_WIDGET::make_title_row()
{
    m_logging = new QCheckBox(tr("Data Log:"), this);
    const bool logging = m_tx_manager->get_logging();
    m_logging->setChecked(logging);
    QAction* logging_action = m_tx_manager->get_action(ACTION_LOGGING, QVariant());
    logging_action->setEnabled(true);
    logging_action->setCheckable(true);
    logging_action->setChecked(logging);
    connect(m_logging, SIGNAL(clicked(bool)), logging_action, SLOT(setChecked(bool)));
    connect(logging_action, SIGNAL(toggled(bool)), m_logging, SLOT(setChecked(bool)));
    auto* save = new QToolButton(this);
    QAction* save_action = m_tx_manager->get_action(ACTION_SAVE_TO_LOG, QVariant());
    save_action->setEnabled(true);
    save->setDefaultAction(save_action);
    save->setIcon(afcq_get_icon(AFCQ_ICON_ENUM(550)));
    const int extent = style()->pixelMetric(QStyle::PM_SmallIconSize);
    save->setIconSize(QSize(qMax(extent, 18), qMax(extent, 15)));
    return sedq_make_pane_title_row(this, m_tx_manager->get_action(ACTION_LOG_PANE, QVariant()),
                                    {m_logging, save});
}

void SEDQ_LOG_WIDGET::on_update(QObject*, int hint)
{
    if ((hint & SEDQ_UPDATE_LOG) != 0 && (hint & (SEDQ_UPDATE_REBUILD | SEDQ_UPDATE_REFRESH)) != 0)
        m_logging->setChecked(m_tx_manager->get_logging());
}
