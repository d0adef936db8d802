// The flow language over one instance of the document model: its names and the proposals
// that read them.
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/state_flow/sedq_flow_language.h"

SEDQ_FLOW_NAMES SEDQ_FLOW_NAMES::of(SEDQ_TX_MANAGER* tx, int instance)
{
    SEDQ_FLOW_NAMES names;
    if (tx == nullptr)
        return names;
    names.states = tx->get_state_names(instance);
    names.conditions = tx->get_condition_names(instance);
    names.counters = tx->get_counter_names(instance);
    names.flags = tx->get_flag_names(instance);
    return names;
}

void sedq_get_tooltip(QStringList* out, QStringList const& tokens, SEDQ_TX_MANAGER* tx, int instance,
                      SEDQ_DISPLAY_TYPE display, SEDQ_RESOURCE_TYPE resource)
{
    sedq_get_proposals(out, tokens, SEDQ_FLOW_NAMES::of(tx, instance), display, resource);
}

QStringList sedq_get_tooltip(QString const& before, QString const& whole, SEDQ_TX_MANAGER* tx, int instance,
                             SEDQ_DISPLAY_TYPE display, SEDQ_TOOLTIPS_TYPE type)
{
    return sedq_get_proposals(before, whole, SEDQ_FLOW_NAMES::of(tx, instance), display, type);
}
