// The current instance index, found from the model's cached host instance.
#include "sedq/frame/sedq_current_instance.h"

#include "sedq/model/sedq_tx_manager.h"

int sedq_current_instance(SEDQ_TX_MANAGER* tx)
{
    const SDR_TX_INSTANCE* current = tx->get_tx_instance();
    if (current == nullptr)
        return -1;
    const SDR_TX_SESSION* session = tx->get_tx_session();
    const int count = session != nullptr ? session->get_num_instances() : 0;
    for (int i = 0; i < count; ++i)
        if (session->get_instance_at(i, false) == current)
            return i;
    return -1;
}

bool sedq_is_current_or_powerup(SEDQ_TX_MANAGER* tx, int instance)
{
    const int current = sedq_current_instance(tx);
    return current == instance || (current == instance + 1 && tx->is_powerup_trigger(current));
}
