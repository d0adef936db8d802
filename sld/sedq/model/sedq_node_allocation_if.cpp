// The node-allocation interface and its data, trigger and storage-qualifier variants, each a
// view of one allocation of the model's current instance.
#include "sedq/model/sedq_node_allocation_if.h"

#include "sedq/model/sedq_tx_manager.h"

bool SEDQ_NODE_ALLOCATION_IF::isAuto()
{
    return getNodesAllocated() == 0;
}

void SEDQ_NODE_ALLOCATION_IF::update(int hint)
{
    m_manager->update_all_views(nullptr, hint);
}

int SEDQ_DATA_NODE_ALLOCATION::getNodesAllocated()
{
    return m_manager->get_data_nodes_allocated(-1);
}

int SEDQ_DATA_NODE_ALLOCATION::getNodesUsed()
{
    return m_manager->get_data_nodes_used(-1);
}

void SEDQ_DATA_NODE_ALLOCATION::setNodesAllocated(int count)
{
    m_manager->data_manual_input_changed(count);
}

int SEDQ_TRIGGER_NODE_ALLOCATION::getNodesAllocated()
{
    return m_manager->get_trigger_nodes_allocated(-1);
}

int SEDQ_TRIGGER_NODE_ALLOCATION::getNodesUsed()
{
    return m_manager->get_trigger_nodes_used(-1);
}

void SEDQ_TRIGGER_NODE_ALLOCATION::setNodesAllocated(int count)
{
    m_manager->trigger_manual_input_changed(count);
}

int SEDQ_STORAGE_QUALIFIER_NODE_ALLOCATION::getNodesAllocated()
{
    return m_manager->get_storage_qualifier_nodes_allocated(SEDQ_CURRENT);
}

int SEDQ_STORAGE_QUALIFIER_NODE_ALLOCATION::getNodesUsed()
{
    return m_manager->get_storage_qualifier_nodes_used(-1);
}

void SEDQ_STORAGE_QUALIFIER_NODE_ALLOCATION::setNodesAllocated(int count)
{
    m_manager->storage_qualifier_manual_input_changed(count);
}
