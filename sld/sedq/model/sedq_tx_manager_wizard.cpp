// SEDQ_TX_MANAGER: the wizard's reserved session, made and preset before a document opens over
// it, and readied for generation at the end.
#include "sedq/model/sedq_tx_manager.h"

#include "host/sdr/sdr_data_manager.h"

SEDQ_TX_MANAGER::WIZARD_SESSION SEDQ_TX_MANAGER::create_wizard_session(const char* name)
{
    WIZARD_SESSION made;
    SDR_DATA_MANAGER* repository = SDR_DATA_MANAGER::get_data_repository_manager();
    if (repository->find_session(name) != nullptr)
        repository->close_session(name);
    made.session = repository->create_session(name);
    if (made.session == nullptr)
        return made;
    made.instance = made.session->create_vantrel_instance(nullptr);
    made.signal_set = made.instance != nullptr ? made.instance->create_signal_set(nullptr, false) : nullptr;
    made.trigger = made.signal_set != nullptr ? made.signal_set->create_trigger(nullptr, false) : nullptr;
    return made;
}

bool SEDQ_TX_MANAGER::open_wizard_session(SDR_TX_SESSION* tx_session, SDR_DATA_SESSION* data_session)
{
    return tx_session->open_session(data_session);
}

void SEDQ_TX_MANAGER::close_wizard_session(SDR_TX_SESSION* tx_session)
{
    tx_session->close_session();
}

void SEDQ_TX_MANAGER::preset_data_nodes_allocated(SDR_DATA_SIGNAL_SET* signal_set, int count)
{
    signal_set->set_tessarelle_data_node_size(count);
}

bool SEDQ_TX_MANAGER::preset_trigger_nodes_allocated(SDR_DATA_SIGNAL_SET* signal_set, int count)
{
    signal_set->set_tessarelle_trigger_node_size(count);
    for (int i = 0; i < count; ++i)
    {
        const QByteArray name = QStringLiteral("acq_trigger_in[%1]").arg(i).toLocal8Bit();
        SDR_DATA_WIRE* wire = signal_set->create_wire(name.constData(), SDR_WTYPE_DATA_AND_TRIGGER,
                                                      SDR_TAP_PRE_SYNTHESIS, true, nullptr, false);
        if (wire == nullptr || !signal_set->append(wire, true))
            return false;
    }
    return true;
}

void SEDQ_TX_MANAGER::preset_sample_depth(SDR_DATA_SIGNAL_SET* signal_set, int depth)
{
    signal_set->set_sample_depth(depth);
}

void SEDQ_TX_MANAGER::preset_segment_size(SDR_DATA_TRIGGER* trigger, int size)
{
    trigger->set_segment_size(size);
    trigger->set_trigger_type(size != 0 ? 1 : 0);
}

void SEDQ_TX_MANAGER::preset_ram_type(SDR_DATA_SIGNAL_SET* signal_set, SDR_HALCYTE_RAM_TYPE type)
{
    signal_set->set_ram_type(type);
}

void SEDQ_TX_MANAGER::preset_trigger_levels(SDR_DATA_TRIGGER* trigger, int count)
{
    for (int i = 0; i < count; ++i)
        trigger->append_new_level(true);
}

void SEDQ_TX_MANAGER::preset_trigger_in(SDR_DATA_SIGNAL_SET* signal_set, bool on)
{
    signal_set->set_trigger_in_enabled(on);
}

void SEDQ_TX_MANAGER::preset_trigger_out(SDR_DATA_SIGNAL_SET* signal_set, bool on)
{
    signal_set->set_trigger_out_enabled(on);
}

bool SEDQ_TX_MANAGER::preset_advanced_trigger_expression(SDR_DATA_TRIGGER* trigger, int level, const QByteArray& expr)
{
    if (expr.isEmpty())
        return trigger->set_trigger_level_cond_expr_type(level, true);
    if (!trigger->set_trigger_level_cond_expr_type(level, false))
        return false;
    return trigger->set_advanced_trigger_expression(level, expr.constData(), false);
}

void SEDQ_TX_MANAGER::preset_storage_qualifier_type(SDR_DATA_TRIGGER* trigger, SDR_DATA_STORAGE_QUALIFIER_TYPE type)
{
    trigger->set_sq_type(type);
}

void SEDQ_TX_MANAGER::preset_record_discontinuities(SDR_DATA_TRIGGER* trigger, bool on)
{
    trigger->set_record_discontinuities(on);
}

void SEDQ_TX_MANAGER::finalize_wizard_triggers(SDR_DATA_TRIGGER* trigger)
{
    if (m_tx_session != nullptr)
        m_tx_session->commit_session();
    trigger->finalize_triggers();
}
