// Test seams of the simulated chain, device and compile flow (the delivery and fault seams
// live with the engine).
#include "host/standin/chi_control.h"

#include "host/chi_private.h"
#include "host/sdr/sdr_tx_session.h"

namespace standin::chi
{
namespace
{
std::vector<chi_detail::sof_instance> instances_of(const std::vector<std::pair<unsigned, unsigned>>& pairs)
{
    std::vector<chi_detail::sof_instance> instances;
    for (const auto& pair : pairs)
    {
        chi_detail::sof_instance instance;
        instance.node_info = pair.first;
        instance.crc = pair.second;
        instances.push_back(instance);
    }
    return instances;
}
} // namespace

void set_chain(const std::vector<std::string>& hardware, const std::vector<std::string>& devices, bool connected)
{
    chi_detail::chain_config& c = chi_detail::chain();
    c.hardware = hardware;
    c.devices = devices;
    c.connected = connected;
}

void program_device(const std::vector<std::pair<unsigned, unsigned>>& pairs)
{
    chi_detail::program_device(instances_of(pairs));
}

bool program_device_from_file(const std::string& sof, std::string* error)
{
    std::vector<chi_detail::sof_instance> instances;
    if (!chi_detail::read_sof(sof, &instances, error))
        return false;
    chi_detail::program_device(instances);
    return true;
}

bool is_programmed()
{
    return chi_detail::device().programmed;
}

std::vector<std::pair<unsigned, unsigned>> device_pairs()
{
    const auto& crcs = chi_detail::device().crcs;
    return std::vector<std::pair<unsigned, unsigned>>(crcs.begin(), crcs.end());
}

std::shared_ptr<const SDR_LOG_PAYLOAD> device_memory(unsigned node_info, bool power_up)
{
    const auto& memory = chi_detail::device().memory;
    const auto found = memory.find({node_info, power_up});
    return found != memory.end() ? found->second.payload : nullptr;
}

bool compile(SDR_DATA_SESSION* session, int flow, const std::string& sof_path, std::string* error)
{
    return chi_detail::compile_session(session, flow, sof_path, error);
}

bool write_programming_file(const std::string& path, const std::vector<std::pair<unsigned, unsigned>>& pairs,
                            std::string* error)
{
    return chi_detail::write_sof(path, instances_of(pairs), error);
}

unsigned node_info_word(SDR_DATA_INSTANCE* instance)
{
    return instance != nullptr ? chi_detail::node_info_word(instance) : 0;
}

bool acquire_first_run(SDR_DATA_LOG* log, std::string* error)
{
    SDR_DATA_TRIGGER* trigger = log != nullptr ? log->get_trigger() : nullptr;
    SDR_DATA_INSTANCE* instance = trigger != nullptr ? trigger->get_instance() : nullptr;
    if (instance == nullptr)
    {
        *error = "the log belongs to no instance";
        return false;
    }
    chi_detail::device_state& device = chi_detail::device();
    device.programmed = true;
    device.crcs[chi_detail::node_info_word(instance)] = SDR_TX_SESSION::compute_trigger_crc(trigger);
    const int64_t clock = device.time;
    device.time = 0;
    const std::shared_ptr<chi_detail::acquisition_plan> plan = chi_detail::make_plan(log, false);
    device.time = clock;
    const std::string name = instance->get_name();
    if (plan == nullptr || plan->start_error != 0)
    {
        *error = name + ": the simulated device cannot run it" +
                 (plan != nullptr && !plan->start_reason.empty() ? ": " + plan->start_reason : std::string());
        return false;
    }
    // A first run is the capture a device makes from sample 0, as it does for a power-up trigger.
    const chi_detail::capture_result first = chi_detail::capture_power_up(plan);
    if (first.payload == nullptr)
    {
        *error = name + ": the trigger is not met within " + std::to_string(chi_detail::POWER_UP_HORIZON) + " samples";
        return false;
    }
    log->m_payload = first.payload;
    return log->m_payload != nullptr;
}
} // namespace standin::chi
