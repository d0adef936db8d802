// SEDQ_RESOURCES_WIDGET: construction and the connection to the document model.
#include "sedq/state_flow/sedq_resources_widget.h"

#include "sedq/frame/sedq_frame_wnd.h"
#include "sedq/model/sedq_tx_manager.h"

SEDQ_RESOURCES_WIDGET::SEDQ_RESOURCES_WIDGET(QWidget* parent, int instance, SEDQ_FRAME_WND* frame)
    : QFrame(parent), m_instance(instance), m_frame(frame), m_tx_manager(frame->get_tx_manager())
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    connect(m_tx_manager, &SEDQ_TX_MANAGER::updated, this, &SEDQ_RESOURCES_WIDGET::on_update,
            Qt::QueuedConnection);
}

void SEDQ_RESOURCES_WIDGET::on_update(QObject*, int) {}
