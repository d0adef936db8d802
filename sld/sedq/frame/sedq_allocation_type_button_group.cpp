// SEDQ_ALLOCATION_TYPE_BUTTON_GROUP: automatic or manual node allocation.
#include "sedq/frame/sedq_allocation_type_button_group.h"

#include "sedq/model/sedq_node_allocation_if.h"
#include "sedq/model/sedq_types.h"

#include <QSpinBox>

SEDQ_ALLOCATION_TYPE_BUTTON_GROUP::SEDQ_ALLOCATION_TYPE_BUTTON_GROUP(SEDQ_NODE_ALLOCATION_IF* allocation,
                                                                     QObject* parent)
    : QButtonGroup(parent), m_allocation(allocation)
{
}

SEDQ_ALLOCATION_TYPE_BUTTON_GROUP::~SEDQ_ALLOCATION_TYPE_BUTTON_GROUP() = default;

void SEDQ_ALLOCATION_TYPE_BUTTON_GROUP::rbuttonclicked(int id)
{
    if (m_allocation == nullptr || m_spin_box == nullptr || (id != AUTO_ID && id != MANUAL_ID))
        return;
    if (id == AUTO_ID)
    {
        m_spin_box->setEnabled(false);
        // The node view first, so that it shows the automatic allocation's nodes in use.
        m_allocation->update(SEDQ_UPDATE_NODE_VIEW);
        m_allocation->setNodesAllocated(0);
        return;
    }
    m_spin_box->setEnabled(true);
    m_allocation->setNodesAllocated(m_spin_box->value());
}
