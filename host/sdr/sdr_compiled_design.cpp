// SDR_COMPILED_DESIGN: registry of the last compiled design.

#include "host/sdr/sdr_compiled_design.h"

#include "host/sdr/sdr_tx_session.h"
#include "host/standin/standin.h"

namespace
{
void reset_compiled_design()
{
    SDR_COMPILED_DESIGN::clear();
}

const standin::reset_registrar registrar(&reset_compiled_design);
} // namespace

std::map<std::string, SDR_COMPILED_DESIGN::INSTANCE>& SDR_COMPILED_DESIGN::instances()
{
    static std::map<std::string, INSTANCE> map;
    return map;
}

void SDR_COMPILED_DESIGN::record_session(SDR_TX_SESSION* session)
{
    SDR_DATA_SESSION* data = session != nullptr ? session->get_data_session() : nullptr;
    if (data == nullptr)
        return;
    instances().clear();
    for (const auto& instance : data->m_instances) {
        if (!instance->m_state.enabled)
            continue;
        SDR_DATA_TRIGGER* trigger = instance->get_active_trigger();
        INSTANCE compiled;
        compiled.crc = SDR_TX_SESSION::compute_trigger_crc(trigger);
        compiled.pre_fit_crc = SDR_TX_SESSION::compute_trigger_crc(trigger, true);
        compiled.incremental_route = instance->m_incremental_route_available;
        record(instance->m_state.name, compiled);
    }
}

void SDR_COMPILED_DESIGN::record(const std::string& instance_name, const INSTANCE& instance)
{
    instances()[instance_name] = instance;
}

bool SDR_COMPILED_DESIGN::find(const std::string& instance_name, INSTANCE* instance)
{
    auto it = instances().find(instance_name);
    if (it == instances().end())
        return false;
    if (instance != nullptr)
        *instance = it->second;
    return true;
}

void SDR_COMPILED_DESIGN::clear()
{
    instances().clear();
}
