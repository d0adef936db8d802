// SEDQ_CONFIG_WIDGET: construction of the signal configuration pane.
#include "sedq/frame/sedq_config_widget.h"

#include "sedq/frame/sedq_frame_wnd.h"
#include "sedq/frame/sedq_pane_title.h"
#include "sedq/model/sedq_tx_manager.h"

#include <QLabel>
#include <QScrollArea>
#include <QVBoxLayout>

namespace
{
constexpr AFCQ_ACTION_ENUM ACTION_CONFIG_PANE = AFCQ_ACTION_ENUM(705);
}

SEDQ_CONFIG_WIDGET::SEDQ_CONFIG_WIDGET(QWidget* parent, int instance, SEDQ_FRAME_WND* frame)
    : QFrame(parent), m_instance(instance), m_frame(frame), m_tx_manager(frame->get_tx_manager())
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    QAction* toggle = m_tx_manager->get_action(ACTION_CONFIG_PANE, QVariant());
    sedq_bind_pane_toggle(this, toggle);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(
        sedq_make_pane_title_row(this, toggle, {new QLabel(tr("Signal Configuration:"), this)}));
    layout->addWidget(sedq_make_pane_rule(this));
    m_scroll_area = new QScrollArea(this);
    m_scroll_area->setFrameStyle(QFrame::NoFrame);
    m_scroll_area->setWidgetResizable(true);
    m_scroll_area->setWidget(new QWidget(m_scroll_area));
    layout->addWidget(m_scroll_area, 1);
    connect(m_tx_manager, SIGNAL(updated(QObject*, int)), this, SLOT(on_update(QObject*, int)),
            Qt::QueuedConnection);
}

void SEDQ_CONFIG_WIDGET::on_update(QObject*, int) {}
