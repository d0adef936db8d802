// SEDQ_TX_MANAGER: the document questions the window's layout and toolbar ask: trigger level
// count, flow mode, state flow page and data segment size.
#include "sedq/model/sedq_tx_manager.h"

#include "host/sdr/sdr_tx_signal_nodes.h"
#include "host/sdr/sdr_tx_trigger.h"
#include "sedq/frame/sedq_layout_widget.h"

#include <QTabWidget>

namespace
{
constexpr int SETUP_TAB = 1;
} // namespace

bool SEDQ_TX_MANAGER::get_trigger_level(int* count, int trigger)
{
    *count = 0;
    if (is_empty())
        return false;
    SDR_TX_TRIGGER* nodes = get_trigger_nodes(trigger);
    if (nodes == nullptr)
        return false;
    *count = nodes->get_num_levels();
    return true;
}

bool SEDQ_TX_MANAGER::is_sequential_mode(int trigger)
{
    if (is_empty())
        return true;
    SDR_TX_TRIGGER* nodes = get_trigger_nodes(trigger);
    return nodes == nullptr || !nodes->is_state_based();
}

bool SEDQ_TX_MANAGER::is_state_mode()
{
    QTabWidget* tabs = get_data_setup_tab_widget(-1);
    const int page = tabs != nullptr ? tabs->currentIndex() : -1;
    return page > SETUP_TAB && tabs->tabText(page) == QLatin1String(SEDQ_LAYOUT_WIDGET::STATE_FLOW_TAB_TITLE);
}

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
