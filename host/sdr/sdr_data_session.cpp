// SDR_DATA_SESSION: instances of a document, parking of removed objects, modified state.

#include "host/sdr/sdr_data_model.h"

#include "host/sdr/sdr_shared_undo.h"
#include "host/sdr/sdr_undo_history.h"

#include <algorithm>
#include <climits>

SDR_DATA_SESSION::SDR_DATA_SESSION(const std::string& name)
    : m_shared_undo(std::make_unique<SDR_SHARED_UNDO>(this)), m_name(name)
{
    m_mnemonics.set_watcher(m_shared_undo.get());
}

SDR_DATA_SESSION::~SDR_DATA_SESSION()
{
    // Instances first: their histories hold snapshots that point at plug-in records and tables
    // of this session, and nothing may run against a half-destroyed session.
    m_instances.clear();
    m_parked_instances.clear();
    if (m_open_check)
        m_open_check->forget();
}

const char* SDR_DATA_SESSION::get_name() const
{
    return m_name.c_str();
}

SDR_DATA_MNEMONICS* SDR_DATA_SESSION::get_mnemonics()
{
    return &m_mnemonics;
}

SDR_DATA_INSTANCE* SDR_DATA_SESSION::find_instance(const char* name)
{
    if (name == nullptr)
        return nullptr;
    for (const auto& instance : m_instances)
        if (instance->m_state.name == name)
            return instance.get();
    return nullptr;
}

// The IP wizard's instance: it builds the signal set and the trigger itself, so the instance
// starts without them.
SDR_DATA_INSTANCE* SDR_DATA_SESSION::create_vantrel_instance(void* preset)
{
    (void)preset;
    SDR_DATA_INSTANCE* instance = add_default_instance();
    instance->m_signal_sets.clear();
    instance->m_node_info.m_generator = 2;
    return instance;
}

const char* SDR_DATA_SESSION::get_sof_file_name() const
{
    return m_sof_file_name.c_str();
}

void SDR_DATA_SESSION::set_sof_file_name(const char* name)
{
    std::string value = name != nullptr ? name : "";
    if (value == m_sof_file_name)
        return;
    m_sof_file_name = value;
    m_modified = true;
}

int SDR_DATA_SESSION::index_of(const SDR_DATA_INSTANCE* instance) const
{
    for (size_t i = 0; i < m_instances.size(); ++i)
        if (m_instances[i].get() == instance)
            return static_cast<int>(i);
    return -1;
}

// Names of instances whose creation was undone stay taken: a redo may bring them back.
std::string SDR_DATA_SESSION::unique_instance_name() const
{
    auto taken = [](const std::vector<std::unique_ptr<SDR_DATA_INSTANCE>>& list, const std::string& name,
                    bool only_undone) {
        return std::any_of(list.begin(), list.end(), [&](const std::unique_ptr<SDR_DATA_INSTANCE>& instance) {
            return (!only_undone || instance->m_creation_undone) && instance->m_state.name == name;
        });
    };
    for (int n = 0;; ++n) {
        std::string name = "auto_vantrel_" + std::to_string(n);
        if (!taken(m_instances, name, false) && !taken(m_parked_instances, name, true))
            return name;
    }
}

SDR_DATA_INSTANCE* SDR_DATA_SESSION::add_default_instance()
{
    auto instance = std::make_unique<SDR_DATA_INSTANCE>(this, unique_instance_name());
    instance->m_node_info.m_field2 = m_next_instance_ordinal;
    if (m_next_instance_ordinal < INT_MAX)
        ++m_next_instance_ordinal;
    auto set = std::make_unique<SDR_DATA_SIGNAL_SET>(instance.get(), "signal_set_1");
    set->m_triggers.push_back(std::make_unique<SDR_DATA_TRIGGER>(set.get(), "trigger_1"));
    instance->m_signal_sets.push_back(std::move(set));
    m_instances.push_back(std::move(instance));
    m_modified = true;
    return m_instances.back().get();
}

void SDR_DATA_SESSION::remove_instance(SDR_DATA_INSTANCE* instance)
{
    int index = index_of(instance);
    if (index < 0)
        return;
    std::unique_ptr<SDR_DATA_INSTANCE> owned = std::move(m_instances[index]);
    m_instances.erase(m_instances.begin() + index);
    m_modified = true;
    park(std::move(owned));
}

bool SDR_DATA_SESSION::unpark(SDR_DATA_INSTANCE* instance, int index)
{
    auto it = std::find_if(m_parked_instances.begin(), m_parked_instances.end(),
                           [instance](const std::unique_ptr<SDR_DATA_INSTANCE>& parked) { return parked.get() == instance; });
    if (it == m_parked_instances.end())
        return false;
    std::unique_ptr<SDR_DATA_INSTANCE> owned = std::move(*it);
    m_parked_instances.erase(it);
    owned->m_session = this;
    const int at = std::max(0, std::min(index, get_num_instances()));
    m_instances.insert(m_instances.begin() + at, std::move(owned));
    m_modified = true;
    return true;
}

namespace
{
// Releases the samples of a removed log; the object stays and answers "no data".
void drop_payload(SDR_DATA_LOG* log)
{
    log->m_static_plugin_tables.clear();
    log->m_payload.reset();
    log->m_acquiring = false;
}

void drop_payloads(SDR_DATA_TRIGGER* trigger)
{
    for (const auto& log : trigger->m_logs)
        drop_payload(log.get());
}
} // namespace

void SDR_DATA_SESSION::park(std::unique_ptr<SDR_DATA_INSTANCE> instance)
{
    if (!instance)
        return;
    instance->m_session = nullptr;
    for (const auto& set : instance->m_signal_sets)
        for (const auto& trigger : set->m_triggers)
            drop_payloads(trigger.get());
    m_parked_instances.push_back(std::move(instance));
}

void SDR_DATA_SESSION::park(std::unique_ptr<SDR_DATA_SIGNAL_SET> signal_set)
{
    if (!signal_set)
        return;
    signal_set->m_instance = nullptr;
    for (const auto& trigger : signal_set->m_triggers)
        drop_payloads(trigger.get());
    m_parked_signal_sets.push_back(std::move(signal_set));
}

void SDR_DATA_SESSION::park(std::unique_ptr<SDR_DATA_TRIGGER> trigger)
{
    if (!trigger)
        return;
    trigger->m_signal_set = nullptr;
    drop_payloads(trigger.get());
    m_parked_triggers.push_back(std::move(trigger));
}

void SDR_DATA_SESSION::park(std::unique_ptr<SDR_DATA_LOG> log)
{
    if (!log)
        return;
    log->detach_from_trigger();
    drop_payload(log.get());
    m_parked_logs.push_back(std::move(log));
}

bool SDR_DATA_SESSION::is_modified() const
{
    if (m_modified || m_undoable_modified || m_mnemonics.get_change_count() != m_mnemonics_saved_count)
        return true;
    for (const auto& instance : m_instances)
        if (instance->m_modified_since_save)
            return true;
    return false;
}

void SDR_DATA_SESSION::clear_modified()
{
    m_modified = false;
    m_undoable_modified = false;
    m_mnemonics_saved_count = m_mnemonics.get_change_count();
    for (const auto& instance : m_instances)
        instance->m_modified_since_save = false;
}
