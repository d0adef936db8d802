#pragma once
// The model's writable access to the repository behind a manager. Panes, dialogs and Tcl
// handlers read the repository through the manager's const getters and change it only through
// its setters; only the model, and tests that set up a document's state, include this header
// (scripts/check-structure holds that).

#include "sedq/model/sedq_tx_manager.h"

class SEDQ_REPOSITORY
{
public:
    static SDR_TX_SESSION* session(SEDQ_TX_MANAGER* manager) { return manager->m_tx_session; }
    static SDR_TX_INSTANCE* instance(SEDQ_TX_MANAGER* manager) { return manager->m_tx_instance; }
    static SDR_TX_INSTANCE* instance_at(SEDQ_TX_MANAGER* manager, int instance)
    {
        return manager->edit_instance_at(instance);
    }
    static SDR_TX_SIGNAL_NODES* nodes(SEDQ_TX_MANAGER* manager, int list) { return manager->edit_nodes(list); }
    static SDR_TX_SIGNAL_SET* signal_nodes(SEDQ_TX_MANAGER* manager, int signal_set)
    {
        return manager->edit_signal_nodes(signal_set);
    }
    static SDR_TX_TRIGGER* trigger_nodes(SEDQ_TX_MANAGER* manager, int trigger)
    {
        return manager->edit_trigger_nodes(trigger);
    }
};
