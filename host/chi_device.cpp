// The simulated JTAG chain and device of the acquisition engine: the chain the project fixture
// describes, the programmed instances and acquisition memory of the device, and the chain scan.
#include "host/chi_private.h"

#include "host/sdr/sdr_data_manager.h"
#include "host/sdr/sdr_tx_session.h"
#include "host/standin/fixture_json.h"
#include "host/standin/standin.h"

#include <QDir>
#include <QJsonArray>

#include <algorithm>

namespace chi_detail
{
namespace
{
using standin::fixture::fail;

bool read_names(const QJsonObject& jtag, const char* key, std::vector<std::string>* out, std::string* error)
{
    for (const QJsonValue& name : jtag.value(key).toArray())
    {
        if (!name.isString() || name.toString().isEmpty())
            return fail("jtag", std::string("\"") + key + "\" must list names", error);
        out->push_back(name.toString().toStdString());
    }
    return true;
}

bool read_count(const QJsonObject& jtag, const char* key, int maximum, int* out, std::string* error)
{
    if (jtag.contains(key) && !standin::fixture::read_int(jtag.value(key), 0, maximum, out))
        return fail("jtag", std::string("\"") + key + "\" must be an integer from 0 to " + std::to_string(maximum),
                    error);
    return true;
}

bool read_chain(const QJsonObject& jtag, chain_config* c, std::string* error)
{
    if (!standin::fixture::check_keys(jtag, {"hardware", "devices", "connected", "pace_ms", "busy_reports",
                                              "busy_then_error", "error", "clock_stopped", "trigger_in_after",
                                              "advanced_after", "fixed_distance", "sq_invalid_every", "disconnected"},
                                      "jtag", error))
        return false;
    std::vector<std::string> disconnected;
    c->connected = jtag.value("connected").toBool(true);
    c->busy_then_error = jtag.value("busy_then_error").toBool(false);
    c->fixed_distance = jtag.value("fixed_distance").toBool(false);
    c->clock_stopped = jtag.value("clock_stopped").toBool(false);
    if (!read_names(jtag, "hardware", &c->hardware, error) || !read_names(jtag, "devices", &c->devices, error) ||
        !read_names(jtag, "disconnected", &disconnected, error) ||
        !read_count(jtag, "pace_ms", 10000, &c->pace_ms, error) ||
        !read_count(jtag, "busy_reports", 1000, &c->busy_reports, error) ||
        !read_count(jtag, "error", 8, &c->error, error) ||
        !read_count(jtag, "trigger_in_after", 1 << 30, &c->trigger_in_after, error) ||
        !read_count(jtag, "advanced_after", 1 << 30, &c->advanced_after, error) ||
        !read_count(jtag, "sq_invalid_every", 1 << 30, &c->sq_invalid_every, error))
        return false;
    if (c->sq_invalid_every == 1)
        return fail("jtag", "\"sq_invalid_every\" of 1 would store no sample at all", error);
    c->disconnected.insert(disconnected.begin(), disconnected.end());
    return true;
}

// "compiled": {"sof": path (relative to the project), "programmed": bool}: a design compiled
// before the session started, and whether the device holds it.
bool read_compiled(const QJsonValue& compiled, const std::string& project_dir, std::string* error)
{
    if (compiled.isNull() || compiled.isUndefined())
        return true;
    const QJsonObject object = compiled.toObject();
    if (!compiled.isObject() || !standin::fixture::check_keys(object, {"sof", "programmed"}, "compiled", error))
        return compiled.isObject() || fail("compiled", "must be null or an object", error);
    const QString sof = QDir(QString::fromStdString(project_dir)).filePath(object.value("sof").toString());
    std::vector<sof_instance> instances;
    std::string detail;
    if (!read_sof(sof.toStdString(), &instances, &detail))
        return fail("compiled", detail, error);
    if (object.value("programmed").toBool(false))
        program_device(instances);
    return true;
}

void reset_device()
{
    chain() = chain_config();
    device() = device_state();
}

const standin::reset_registrar registrar(&reset_device);

bool listed(const std::vector<std::string>& names, const std::string& name)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

bool connected()
{
    return chain().connected && !cable_unplugged().load();
}

// The instance of an open analyzer document that the programmed instance was compiled from, when
// its power-up trigger is on: same node-information word, same trigger as compiled.
SDR_DATA_INSTANCE* power_up_source(const sof_instance& programmed)
{
    for (SDR_DATA_SESSION* session : SDR_DATA_MANAGER::get_data_repository_manager()->sessions())
        for (const auto& instance : session->m_instances)
            if (instance->m_state.enabled && instance->m_state.powerup_enabled &&
                node_info_word(instance.get()) == programmed.node_info &&
                SDR_TX_SESSION::compute_trigger_crc(instance->get_active_trigger()) == programmed.crc)
                return instance.get();
    return nullptr;
}

// The power-up trigger of a programmed instance takes its capture from sample 0, with its own
// conditions.
void capture_power_up_of(const sof_instance& programmed)
{
    SDR_DATA_INSTANCE* source = power_up_source(programmed);
    SDR_DATA_TRIGGER* trigger = source != nullptr ? source->get_active_trigger() : nullptr;
    if (trigger == nullptr)
        return;
    std::vector<std::string> wires;
    for (int i = 0; i < trigger->m_signal_set->get_data_wire_width(); ++i)
        wires.push_back(trigger->m_signal_set->get_data_wire_at(i)->get_name());
    const auto plan = make_plan(trigger, wires, true, false);
    device_state& d = device();
    d.power_up[programmed.node_info] = source->get_name();
    if (plan == nullptr || plan->start_error != 0)
        return;
    const capture_result capture = capture_power_up(plan);
    if (!capture.payload)
        return;
    d.memory[{programmed.node_info, true}] = {capture.payload, wires};
    d.time = std::max(d.time, capture.end_time);
}
} // namespace

chain_config& chain()
{
    static chain_config c;
    return c;
}

device_state& device()
{
    static device_state d;
    return d;
}

bool load_fixture(const QJsonObject& root, const std::string& project_dir, std::string* error)
{
    chain_config loaded;
    if (root.contains("jtag") && !read_chain(root.value("jtag").toObject(), &loaded, error))
        return false;
    chain() = loaded;
    pace_ms().store(loaded.pace_ms);
    clock_stopped().store(loaded.clock_stopped);
    return read_compiled(root.value("compiled"), project_dir, error);
}

void unload_fixture()
{
    reset_device();
}

int chain_error(const std::string& hardware, const std::string& device_name)
{
    const chain_config& c = chain();
    const bool device_ok = device_name.empty() ? !c.devices.empty() : listed(c.devices, device_name);
    return listed(c.hardware, hardware) && connected() && device_ok ? 0 : 2;
}

unsigned node_info_word(const SDR_DATA_INSTANCE_INFO& info, int version)
{
    return unsigned(info.m_field1) | unsigned(info.m_field2) << 8 | unsigned(info.m_field3) << 19 |
           unsigned(version) << 27;
}

unsigned node_info_word(SDR_DATA_INSTANCE* instance)
{
    const SDR_DATA_INSTANCE_INFO info = instance->get_node_info();
    return node_info_word(info, instance->is_version_not_defined() ? instance->get_current_version() : info.m_version);
}

// Programming replaces the whole design of the device: its instances and what they acquired.
// The design starts over (its clock at sample 0), and each instance with a power-up trigger
// captures it from there.
void program_device(const std::vector<sof_instance>& instances)
{
    device_state& d = device();
    d.crcs.clear();
    d.memory.clear();
    d.power_up.clear();
    d.time = 0;
    for (const sof_instance& instance : instances)
        d.crcs[instance.node_info] = instance.crc;
    d.programmed = true;
    for (const sof_instance& instance : instances)
        capture_power_up_of(instance);
}
} // namespace chi_detail

// ---- chain scan ---------------------------------------------------------------------------------

void CHI_CONTROL_NODES_SCAN::set_hardware_name(const char* name)
{
    m_hardware = name != nullptr ? name : "";
    m_scanned = false;
}

void CHI_CONTROL_NODES_SCAN::set_device_name(const char* name)
{
    m_device = name != nullptr ? name : "";
    m_scanned = false;
}

void CHI_CONTROL_NODES_SCAN::rescan()
{
    standin::record_call("chi:rescan(\"" + m_hardware + "\",\"" + m_device + "\")");
    const chi_detail::chain_config& c = chi_detail::chain();
    const bool cable = std::find(c.hardware.begin(), c.hardware.end(), m_hardware) != c.hardware.end();
    m_available = cable && chi_detail::chain_error(m_hardware, m_device) == 0;
    m_comm_error = cable && !(c.connected && !chi_detail::cable_unplugged().load());
    m_scanned = true;
}

bool CHI_CONTROL_NODES_SCAN::is_device_available()
{
    return m_scanned && m_available;
}

bool CHI_CONTROL_NODES_SCAN::is_jtag_comm_error()
{
    return m_scanned && m_comm_error;
}

bool CHI_CONTROL_NODES_SCAN::get_node_crc_value(const SDR_DATA_INSTANCE_INFO* info, unsigned int* crc)
{
    unsigned value = 0;
    bool found = false;
    if (info != nullptr && is_device_available() && chi_detail::device().programmed)
    {
        const auto& crcs = chi_detail::device().crcs;
        const auto it = crcs.find(chi_detail::node_info_word(*info, info->m_version));
        found = it != crcs.end();
        value = found ? it->second : 0;
    }
    if (crc != nullptr)
        *crc = value;
    return found;
}
