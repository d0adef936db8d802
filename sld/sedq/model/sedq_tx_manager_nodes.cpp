// SEDQ_TX_MANAGER: the node lists of the current instance and the tree queries over them.
#include "sedq/model/sedq_tx_manager.h"

#include "host/sdr/sdr_tx_signal_set.h"
#include "host/sdr/sdr_tx_trigger.h"
#include "sedq/model/sedq_verify.h"

SDR_TX_SIGNAL_NODES* SEDQ_TX_MANAGER::get_nodes(int list)
{
    if (m_list_view_mode || is_data_mode(list))
        return get_signal_nodes(list);
    return get_trigger_nodes(list);
}

SDR_TX_SIGNAL_SET* SEDQ_TX_MANAGER::get_signal_nodes(int signal_set)
{
    SDR_TX_SIGNAL_SET* return_value = m_tx_signals;
    if (signal_set != -1)
        return_value = m_tx_session ? m_tx_session->get_signal_set_at(signal_set, false) : nullptr;
    SEDQ_VERIFY(return_value);
    return return_value;
}

bool SEDQ_TX_MANAGER::get_node_group_display_type(int node, SDR_DATA_GROUP_DISPLAY_TYPE* display_type, int trigger)
{
    SDR_TX_SIGNAL_NODES* nodes = trigger == -1 ? get_nodes(-1) : get_trigger_nodes(trigger);
    *display_type = nodes ? nodes->get_group_display_type(node) : SDR_GTYPE_INVALID;
    return *display_type != SDR_GTYPE_INVALID;
}

bool SEDQ_TX_MANAGER::is_group_member(int node)
{
    SDR_TX_SIGNAL_NODES* nodes = get_nodes(-1);
    const SDR_DATA_NODE_DISPLAY_TYPE type = nodes ? nodes->get_node_display_type(node) : SDR_NTYPE_STANDALONE;
    return type == SDR_NTYPE_MEMBER || type == SDR_NTYPE_LAST_MEMBER;
}

int SEDQ_TX_MANAGER::get_last_child_index(int node)
{
    SDR_TX_SIGNAL_NODES* nodes = get_nodes(-1);
    return nodes ? nodes->get_last_child_index(node) : node;
}
