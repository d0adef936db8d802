// SEDQ_TX_MANAGER: the data segment size the window's view and toolbar ask for.
#include "sedq/model/sedq_tx_manager.h"

#include "host/sdr/sdr_tx_signal_nodes.h"
#include "host/sdr/sdr_tx_trigger.h"

// The acquired data's segment size while data is shown, else the segment size that the next
// acquisition will use; 0 for an acquisition that is not segmented.
int SEDQ_TX_MANAGER::get_data_segment_size()
{
    if (is_empty())
        return 0;
    if (m_tx_log != nullptr && is_data_available(false, -1, nullptr))
        return m_tx_log->get_segment_size();
    SDR_TX_TRIGGER* nodes = get_trigger_nodes(-1);
    return nodes != nullptr && nodes->is_segmented() ? nodes->get_segment_size() : 0;
}
