// SEDQ_HIERARCHY_WIDGET: construction of the hierarchy pane.
#include "sedq/frame/sedq_hierarchy_widget.h"

#include "sedq/frame/sedq_frame_wnd.h"
#include "sedq/frame/sedq_pane_title.h"
#include "sedq/model/sedq_tx_manager.h"

#include <QHeaderView>
#include <QLabel>
#include <QTreeView>
#include <QVBoxLayout>

namespace
{
constexpr AFCQ_ACTION_ENUM ACTION_HIERARCHY_PANE = AFCQ_ACTION_ENUM(700);
}

SEDQ_HIERARCHY_WIDGET::SEDQ_HIERARCHY_WIDGET(QWidget* parent, int instance, SEDQ_FRAME_WND* frame)
    : QFrame(parent), m_instance(instance), m_frame(frame), m_tx_manager(frame->get_tx_manager())
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    QAction* toggle = m_tx_manager->get_action(ACTION_HIERARCHY_PANE, QVariant());
    sedq_bind_pane_toggle(this, toggle);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(sedq_make_pane_title_row(this, toggle, {new QLabel(tr("Hierarchy Display:"), this)}));
    layout->addWidget(sedq_make_pane_rule(this));
    m_tree = new QTreeView(this);
    m_tree->setFrameStyle(QFrame::NoFrame);
    m_tree->setSelectionBehavior(QAbstractItemView::SelectItems);
    m_tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tree->header()->hide();
    m_tree->setModel(&m_model);
    layout->addWidget(m_tree, 1);
    connect(m_tx_manager, SIGNAL(updated(QObject*, int)), this, SLOT(on_update(QObject*, int)),
            Qt::QueuedConnection);
}

void SEDQ_HIERARCHY_WIDGET::on_update(QObject*, int) {}
