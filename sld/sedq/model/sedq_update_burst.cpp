// The bursts of updates a pane receives.
#include "sedq/model/sedq_update_burst.h"

#include "sedq/model/sedq_tx_manager.h"

SEDQ_UPDATE_BURST::SEDQ_UPDATE_BURST(const SEDQ_TX_MANAGER* tx) : m_tx(tx), m_received(tx->get_update_count())
{
}

bool SEDQ_UPDATE_BURST::received()
{
    return m_tx == nullptr || ++m_received >= m_tx->get_update_count();
}
