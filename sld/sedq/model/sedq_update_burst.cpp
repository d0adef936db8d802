// The bursts of updates a pane receives.
#include "sedq/model/sedq_update_burst.h"

#include "sedq/model/sedq_tx_manager.h"

SEDQ_UPDATE_BURST::SEDQ_UPDATE_BURST(const SEDQ_TX_MANAGER* tx) : m_tx(tx), m_start(tx->get_update_count())
{
}

bool SEDQ_UPDATE_BURST::received()
{
    if (m_tx == nullptr)
        return true;
    // Called outside a delivery (by hand), the update is one of its own.
    const quint64 number = m_tx->get_delivering_update();
    return number == 0 || (number > m_start && number >= m_tx->get_update_count());
}
