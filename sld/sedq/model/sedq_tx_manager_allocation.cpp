// SEDQ_TX_MANAGER: the nodes an instance uses and allocates (trigger, data, storage qualifier,
// and the allocation the IP wizard recorded), their display texts, and the resource estimates.
#include "sedq/model/sedq_tx_manager.h"

#include "host/sdr/sdr_tx_signal_set.h"
#include "host/sdr/sdr_tx_trigger.h"
#include "sedq/model/sedq_block.h"
#include "sedq/model/sedq_edit_scope.h"
#include "sedq/model/sedq_trigger_pattern.h"

namespace
{
// Allocation kinds of the signal set.
constexpr int ALLOCATION_TRIGGER = 0;
constexpr int ALLOCATION_DATA = 1;
constexpr int ALLOCATION_STORAGE_QUALIFIER = 2;
constexpr int GENERATED_BY_IP_WIZARD = 2;

const int SETUP_REFRESH = sedq_hint(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_NODE_VIEW);

// An allocation text is a count only when it is written exactly as one ("12", not "012" or
// " 12"); anything else ("Auto", "") asks for every node an instance can hold.
int allocation_of(QString const& text)
{
    const int count = text.toInt();
    return text == QString::number(count) ? count : SEDQ_MAX_NODES;
}
} // namespace

// ---- nodes used --------------------------------------------------------------------------------

int SEDQ_TX_MANAGER::get_trigger_nodes_used(int instance)
{
    SDR_TX_TRIGGER* trigger = sedq_document_trigger(this, instance);
    return trigger ? trigger->get_trigger_nodes_used() : 0;
}

int SEDQ_TX_MANAGER::get_data_nodes_used(int instance)
{
    SDR_TX_TRIGGER* trigger = sedq_document_trigger(this, instance);
    return trigger ? trigger->get_data_nodes_used() : 0;
}

int SEDQ_TX_MANAGER::get_storage_qualifier_nodes_used(int instance)
{
    SDR_TX_TRIGGER* trigger = sedq_document_trigger(this, instance);
    return trigger ? trigger->get_sq_nodes_used() : 0;
}

bool SEDQ_TX_MANAGER::get_trigger_nodes_used(QString* count)
{
    const int used = get_trigger_nodes_used(-1);
    *count = QString::number(used);
    return used != 0;
}

bool SEDQ_TX_MANAGER::get_data_nodes_used(QString* count)
{
    const int used = get_data_nodes_used(-1);
    *count = QString::number(used);
    return used != 0;
}

bool SEDQ_TX_MANAGER::get_storage_qualifier_nodes_used(QString* count)
{
    const int used = get_storage_qualifier_nodes_used(-1);
    *count = QString::number(used);
    return used != 0;
}

// ---- nodes allocated (0 = automatic) -----------------------------------------------------------

int SEDQ_TX_MANAGER::get_trigger_nodes_allocated(int instance)
{
    SDR_TX_SIGNAL_SET* set = is_empty() ? nullptr : edit_signal_nodes(instance);
    return set ? set->get_nodes_allocated(ALLOCATION_TRIGGER) : 0;
}

int SEDQ_TX_MANAGER::get_data_nodes_allocated(int instance)
{
    SDR_TX_SIGNAL_SET* set = is_empty() ? nullptr : edit_signal_nodes(instance);
    return set ? set->get_nodes_allocated(ALLOCATION_DATA) : 0;
}

int SEDQ_TX_MANAGER::get_storage_qualifier_nodes_allocated(int instance)
{
    SDR_TX_SIGNAL_SET* set = is_empty() ? nullptr : edit_signal_nodes(instance);
    return set ? set->get_nodes_allocated(ALLOCATION_STORAGE_QUALIFIER) : 0;
}

bool SEDQ_TX_MANAGER::get_trigger_nodes_allocated(QString* count)
{
    *count = QString::number(get_trigger_nodes_allocated(-1));
    return true;
}

bool SEDQ_TX_MANAGER::get_data_nodes_allocated(QString* count)
{
    *count = QString::number(get_data_nodes_allocated(-1));
    return true;
}

int SEDQ_TX_MANAGER::get_tessarelle_trigger_nodes_allocated(int instance)
{
    SDR_TX_SIGNAL_SET* set = is_empty() ? nullptr : edit_signal_nodes(instance);
    return set ? set->get_tessarelle_nodes_allocated(ALLOCATION_TRIGGER) : 0;
}

int SEDQ_TX_MANAGER::get_tessarelle_data_nodes_allocated(int instance)
{
    SDR_TX_SIGNAL_SET* set = is_empty() ? nullptr : edit_signal_nodes(instance);
    return set ? set->get_tessarelle_nodes_allocated(ALLOCATION_DATA) : 0;
}

bool SEDQ_TX_MANAGER::get_tessarelle_trigger_nodes_allocated(QString* count)
{
    *count = QString::number(get_tessarelle_trigger_nodes_allocated(-1));
    return true;
}

bool SEDQ_TX_MANAGER::get_tessarelle_data_nodes_allocated(QString* count)
{
    *count = QString::number(get_tessarelle_data_nodes_allocated(-1));
    return true;
}

// ---- setting allocations -----------------------------------------------------------------------

// The plain allocation setters open no bracket: their callers do.
void SEDQ_TX_MANAGER::store_nodes_allocated(int kind, int count, int instance)
{
    SDR_TX_SIGNAL_SET* set = is_empty() ? nullptr : edit_signal_nodes(instance);
    if (set == nullptr || set->get_nodes_allocated(kind) == count || !set->set_nodes_allocated(kind, count))
        return;
    update_all_views(nullptr, SETUP_REFRESH);
}

void SEDQ_TX_MANAGER::set_trigger_nodes_allocated(int count, int instance)
{
    store_nodes_allocated(ALLOCATION_TRIGGER, count, instance);
}

void SEDQ_TX_MANAGER::set_data_nodes_allocated(int count, int instance)
{
    store_nodes_allocated(ALLOCATION_DATA, count, instance);
}

void SEDQ_TX_MANAGER::set_storage_qualifier_nodes_allocated(int count, int instance)
{
    store_nodes_allocated(ALLOCATION_STORAGE_QUALIFIER, count, instance);
}

void SEDQ_TX_MANAGER::set_trigger_nodes_allocated(QString const& count)
{
    set_trigger_nodes_allocated(allocation_of(count), SEDQ_CURRENT);
}

void SEDQ_TX_MANAGER::set_data_nodes_allocated(QString const& count)
{
    set_data_nodes_allocated(allocation_of(count), SEDQ_CURRENT);
}

// The IP wizard sets these outside any bracket, so they mark the document modified themselves.
bool SEDQ_TX_MANAGER::store_tessarelle_nodes_allocated(int kind, int count, int instance)
{
    SDR_TX_SIGNAL_SET* set = is_empty() ? nullptr : edit_signal_nodes(instance);
    if (set == nullptr)
        return false;
    if (set->get_tessarelle_nodes_allocated(kind) != count &&
        set->set_tessarelle_nodes_allocated(kind, count))
    {
        update_modified_flag();
        update_all_views(nullptr, SETUP_REFRESH);
    }
    return true;
}

bool SEDQ_TX_MANAGER::set_tessarelle_trigger_nodes_allocated(int count, int instance)
{
    return store_tessarelle_nodes_allocated(ALLOCATION_TRIGGER, count, instance);
}

bool SEDQ_TX_MANAGER::set_tessarelle_data_nodes_allocated(int count, int instance)
{
    return store_tessarelle_nodes_allocated(ALLOCATION_DATA, count, instance);
}

bool SEDQ_TX_MANAGER::set_tessarelle_trigger_nodes_allocated(QString const& count)
{
    return set_tessarelle_trigger_nodes_allocated(allocation_of(count), SEDQ_CURRENT);
}

bool SEDQ_TX_MANAGER::set_tessarelle_data_nodes_allocated(QString const& count)
{
    return set_tessarelle_data_nodes_allocated(allocation_of(count), SEDQ_CURRENT);
}

// ---- the allocation controls' slots: one undoable edit each ------------------------------------

void SEDQ_TX_MANAGER::data_manual_input_changed(int count)
{
    if (is_empty() || SEDQ_BLOCK::is_blocked())
        return;
    SEDQ_EDIT_SCOPE edit(this, SEDQ_CHECK_COMPILATION);
    set_data_nodes_allocated(count, SEDQ_CURRENT);
    update_modified_flag();
}

void SEDQ_TX_MANAGER::trigger_manual_input_changed(int count)
{
    if (is_empty() || SEDQ_BLOCK::is_blocked())
        return;
    SEDQ_EDIT_SCOPE edit(this, SEDQ_CHECK_COMPILATION);
    set_trigger_nodes_allocated(count, SEDQ_CURRENT);
    update_modified_flag();
}

void SEDQ_TX_MANAGER::storage_qualifier_manual_input_changed(int count)
{
    if (is_empty() || SEDQ_BLOCK::is_blocked())
        return;
    SEDQ_EDIT_SCOPE edit(this, SEDQ_CHECK_COMPILATION);
    set_storage_qualifier_nodes_allocated(count, SEDQ_CURRENT);
    update_modified_flag();
}

// ---- instance kind, structure and resource estimates -------------------------------------------

bool SEDQ_TX_MANAGER::is_tessarelle_generated()
{
    SDR_DATA_INSTANCE* data = m_tx_instance ? m_tx_instance->get_data_instance() : nullptr;
    return data != nullptr && data->get_node_info().m_generator == GENERATED_BY_IP_WIZARD;
}

bool SEDQ_TX_MANAGER::has_nested_groups()
{
    SDR_TX_SIGNAL_NODES* nodes = is_empty() ? nullptr : edit_nodes(SEDQ_CURRENT);
    return nodes != nullptr && nodes->has_nested_groups();
}

unsigned SEDQ_TX_MANAGER::get_le_usage(int instance, DEV_FAMILY_ENUM family)
{
    if (m_tx_session == nullptr || !instance_is_enabled(instance))
        return 0;
    return m_tx_session->get_instance_estimated_lcell_count_at(instance == -1 ? m_active_instance : instance,
                                                               family);
}

unsigned SEDQ_TX_MANAGER::get_esb_usage(int instance)
{
    if (m_tx_session == nullptr || !instance_is_enabled(instance))
        return 0;
    return m_tx_session->get_instance_ram_bits_usage_at(instance == -1 ? m_active_instance : instance);
}
