// SEDQ_TX_MANAGER: trigger settings of an instance: storage qualifier and group conditions.
#include "sedq/model/sedq_tx_manager.h"

#include "host/sdr/sdr_tx_signal_set.h"
#include "host/sdr/sdr_tx_trigger.h"
#include "sedq/model/sedq_verify.h"

void SEDQ_TX_MANAGER::initialize_group_conditions()
{
    const int count = m_tx_session ? m_tx_session->get_num_instances() : 0;
    for (int i = 0; i < count; ++i)
    {
        // Every entry, power-up views included: each one edits its own copy of the conditions.
        SDR_TX_TRIGGER* trigger = m_tx_session->get_trigger_at(i, false);
        if (trigger == nullptr)
            continue;
        const int levels = trigger->get_num_levels();
        for (int row = 0; row < trigger->get_num_nodes(); ++row)
        {
            for (int level = 0; level < levels; ++level)
                trigger->initialize_group_condition(row, level, false);
            for (int pattern = 0; pattern < SDR_NUM_SQ_PATTERNS; ++pattern)
                trigger->initialize_group_condition(row, pattern, true);
        }
    }
}

bool SEDQ_TX_MANAGER::get_storage_qualifier_type(QString* text, int trigger)
{
    int depth = 0;
    get_sample_depth(&depth, trigger);
    SDR_TX_TRIGGER* nodes = is_empty() ? nullptr : get_trigger_nodes(trigger);
    if (depth == 0 || nodes == nullptr || nodes->is_segmented())
        return false;
    static const char* const TEXTS[] = {"Continuous", "Conditional", "Start/Stop", "Transitional", "State-based",
                                        "Input port"};
    const int type = nodes->get_sq_type();
    if (type < 0 || type >= int(sizeof(TEXTS) / sizeof(TEXTS[0])))
    {
        SEDQ_REPORT("Unknown storage qualifier mode");
        return false;
    }
    *text = QString::fromLatin1(TEXTS[type]);
    return true;
}

// Whether the instance manager has a status to re-evaluate after a grouping: some trigger
// level, or a storage-qualifier pattern in use, is a basic OR level.
bool SEDQ_TX_MANAGER::has_at_least_one_basic_or_trigger_level() const
{
    SDR_TX_TRIGGER* trigger = m_tx_trigger;
    if (trigger == nullptr)
        return false;
    for (int level = 0; level < trigger->get_num_levels(); ++level)
    {
        if (trigger->get_level_type(level, false) == SDR_LTYPE_BASIC_OR)
            return true;
    }
    switch (trigger->get_sq_type())
    {
    case SDR_SQTYPE_CONDITIONAL:
        return trigger->get_level_type(0, true) == SDR_LTYPE_BASIC_OR;
    case SDR_SQTYPE_START_STOP:
        return trigger->get_level_type(1, true) == SDR_LTYPE_BASIC_OR ||
               trigger->get_level_type(2, true) == SDR_LTYPE_BASIC_OR;
    default:
        return false;
    }
}
