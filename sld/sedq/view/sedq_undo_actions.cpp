// The editor's own undo steps: re-validate the nodes, re-layout the view.
#include "sedq/view/sedq_undo_actions.h"

#include "sedq/model/sedq_tx_manager.h"
#include "sedq/view/sedq_view.h"

SDR_TX_UNDO_ACTION_CHECK_NODE_VALIDITY::SDR_TX_UNDO_ACTION_CHECK_NODE_VALIDITY(SEDQ_TX_MANAGER* manager)
    : m_manager(manager)
{
}

SDR_TX_UNDO_ACTION_CHECK_NODE_VALIDITY::~SDR_TX_UNDO_ACTION_CHECK_NODE_VALIDITY() = default;

bool SDR_TX_UNDO_ACTION_CHECK_NODE_VALIDITY::undo()
{
    if (m_manager != nullptr)
        m_manager->check_node_validity(SEDQ_CURRENT);
    return true;
}

bool SDR_TX_UNDO_ACTION_CHECK_NODE_VALIDITY::redo()
{
    return undo();
}

SDR_TX_UNDO_ACTION_RESIZE_EVENT::SDR_TX_UNDO_ACTION_RESIZE_EVENT(SEDQ_VIEW* view) : m_view(view) {}

SDR_TX_UNDO_ACTION_RESIZE_EVENT::~SDR_TX_UNDO_ACTION_RESIZE_EVENT() = default;

void SDR_TX_UNDO_ACTION_RESIZE_EVENT::relayout()
{
    if (m_view == nullptr)
        return;
    m_view->send_resize_event();
    m_view->set_resize_flag(false);
}

bool SDR_TX_UNDO_ACTION_RESIZE_EVENT::undo()
{
    relayout();
    return true;
}

bool SDR_TX_UNDO_ACTION_RESIZE_EVENT::redo()
{
    relayout();
    return true;
}
