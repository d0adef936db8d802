// Construction of the data-side objects and their copy-on-write write access (change counting).

#include "host/sdr/sdr_data_model.h"

#include "host/chi_log_watch.h"
#include "host/sdr/sdr_file_limits.h"
#include "host/sdr/sdr_undo_history.h"
#include "host/sdr/sdr_verify.h"

#include <algorithm>

// ---------------------------------------------------------------------------------------------
// Logs, triggers, signal sets

SDR_DATA_LOG::SDR_DATA_LOG(SDR_DATA_TRIGGER* trigger, const std::string& name)
    : m_name(name), m_trigger(trigger)
{
    if (trigger != nullptr)
        m_signal_set = trigger->m_signal_set;
}

SDR_DATA_LOG::~SDR_DATA_LOG()
{
    chi_detail::forget_log(this);
}

std::string sdr_default_level_name(int index)
{
    return "Condition " + std::to_string(index + 1);
}

SDR_DATA_TRIGGER::SDR_DATA_TRIGGER(SDR_DATA_SIGNAL_SET* signal_set, const std::string& name)
    : m_signal_set(signal_set), m_state(new SDR_TRIGGER_STATE)
{
    m_state->name = name;
    SDR_TRIGGER_LEVEL level;
    level.name = sdr_default_level_name(0);
    m_state->levels.push_back(level);
    m_level_trees.resize(1, nullptr);
}

SDR_DATA_TRIGGER::~SDR_DATA_TRIGGER() = default;

SDR_DATA_INSTANCE* SDR_DATA_TRIGGER::get_instance()
{
    return m_signal_set != nullptr ? m_signal_set->m_instance : nullptr;
}

SDR_TRIGGER_STATE& SDR_DATA_TRIGGER::edit()
{
    if (SDR_DATA_INSTANCE* instance = get_instance())
        instance->note_change();
    return edit_transient();
}

SDR_TRIGGER_STATE& SDR_DATA_TRIGGER::edit_transient()
{
    SDR_TRIGGER_STATE& state = *m_state;
    state.leaf_names.reset();
    return state;
}

SDR_DATA_SIGNAL_SET::SDR_DATA_SIGNAL_SET(SDR_DATA_INSTANCE* instance, const std::string& name)
    : m_instance(instance), m_state(new SDR_SIGNAL_SET_STATE)
{
    m_state->name = name;
}

SDR_DATA_SIGNAL_SET::~SDR_DATA_SIGNAL_SET() = default;

SDR_SIGNAL_SET_STATE& SDR_DATA_SIGNAL_SET::edit()
{
    if (m_instance != nullptr)
        m_instance->note_change();
    return *m_state;
}

SDR_SIGNAL_SET_STATE& SDR_DATA_SIGNAL_SET::edit_transient()
{
    return *m_state;
}

SDR_DATA_TRIGGER* SDR_DATA_SIGNAL_SET::get_active_trigger()
{
    if (m_active_trigger < 0 || m_active_trigger >= static_cast<int>(m_triggers.size()))
        return nullptr;
    return m_triggers[m_active_trigger].get();
}

// ---------------------------------------------------------------------------------------------
// Edit scope

SDR_EDIT_SCOPE::SDR_EDIT_SCOPE(SDR_DATA_INSTANCE* instance) : m_instance(instance)
{
    if (m_instance != nullptr && m_instance->m_session != nullptr)
        m_instance->begin_edit();
    else
        m_instance = nullptr;
}

SDR_EDIT_SCOPE::~SDR_EDIT_SCOPE()
{
    if (m_instance != nullptr)
        m_instance->end_edit();
}

// ---------------------------------------------------------------------------------------------
// Named integer arrays (global data, position data)

int sdr_read_int_data(const SDR_INT_DATA_MAP& data, const char* key, int* values, int capacity)
{
    if (key == nullptr || !SDR_VERIFY(capacity >= 0) || !SDR_VERIFY(values != NULL || capacity == 0))
        return -1;
    auto it = data.find(key);
    if (it == data.end())
        return -1;
    const int count = static_cast<int>(it->second.size());
    std::copy_n(it->second.begin(), std::min(count, capacity), values);
    return count;
}

bool sdr_write_int_data(SDR_INT_DATA_MAP* data, const char* key, const int* values, int count)
{
    // A longer list would make the saved file one that no reader opens.
    if (key == nullptr || !SDR_VERIFY(count >= 0) || !SDR_VERIFY(values != NULL || count == 0) ||
        !SDR_VERIFY(count <= SDR_FILE_LIMITS::MAX_NUMBERS_PER_LIST))
        return false;
    (*data)[key] = std::vector<int>(values, values + count);
    return true;
}
