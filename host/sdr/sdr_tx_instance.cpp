// SDR_TX_INSTANCE: bracket and undo forwarding, position data, enable flag and version state.

#include "host/sdr/sdr_tx_instance.h"

#include "host/sdr/sdr_tx_undo_action_atomic.h"
#include "host/sdr/sdr_undo_history.h"

SDR_TX_INSTANCE::SDR_TX_INSTANCE(SDR_TX_SESSION* session, SDR_DATA_INSTANCE* instance, bool power_up)
    : m_session(session), m_instance(instance), m_power_up(power_up)
{
}

SDR_TX_INSTANCE::~SDR_TX_INSTANCE() = default;

bool SDR_TX_INSTANCE::begin_action()
{
    if (m_instance == nullptr)
        return false;
    return m_instance->history().begin();
}

bool SDR_TX_INSTANCE::end_action()
{
    if (m_instance == nullptr)
        return false;
    return m_instance->history().end();
}

bool SDR_TX_INSTANCE::undo()
{
    // The history may remove the instance (undo of its creation), which detaches this object:
    // keep the instance in a local and touch nothing of `this` afterwards.
    SDR_DATA_INSTANCE* instance = m_instance;
    return instance != nullptr && instance->m_session != nullptr && instance->history().undo();
}

bool SDR_TX_INSTANCE::redo()
{
    SDR_DATA_INSTANCE* instance = m_instance;
    return instance != nullptr && instance->m_session != nullptr && instance->history().redo();
}

bool SDR_TX_INSTANCE::is_undo_available() const
{
    return m_instance != nullptr && m_instance->history().can_undo();
}

bool SDR_TX_INSTANCE::is_redo_available() const
{
    return m_instance != nullptr && m_instance->history().can_redo();
}

void SDR_TX_INSTANCE::set_max_undo_steps(int steps)
{
    if (m_instance != nullptr)
        m_instance->history().set_max_steps(steps);
}

int SDR_TX_INSTANCE::get_max_undo_steps() const
{
    return m_instance != nullptr ? m_instance->history().max_steps() : 0;
}

void SDR_TX_INSTANCE::append_atomic_action(SDR_TX_UNDO_ACTION_ATOMIC* action)
{
    if (m_instance == nullptr) {
        delete action; // ownership was handed over; nothing can run it any more
        return;
    }
    m_instance->history().append_atomic_action(action);
}

int SDR_TX_INSTANCE::get_position_data(const char* key) const
{
    int value = -1;
    return get_position_data(key, &value, 1) > 0 ? value : -1;
}

int SDR_TX_INSTANCE::get_position_data(const char* key, int* values, int capacity) const
{
    if (m_instance == nullptr)
        return -1;
    return sdr_read_int_data(m_instance->m_position_data[m_power_up ? 1 : 0], key, values, capacity);
}

void SDR_TX_INSTANCE::set_position_data(const char* key, int value)
{
    set_position_data(key, &value, 1);
}

// UI state: stored in the file, but neither an undo step nor a reason to ask for a save.
void SDR_TX_INSTANCE::set_position_data(const char* key, const int* values, int count)
{
    if (m_instance != nullptr)
        sdr_write_int_data(&m_instance->m_position_data[m_power_up ? 1 : 0], key, values, count);
}

bool SDR_TX_INSTANCE::is_enabled() const
{
    return m_instance != nullptr && m_instance->m_state.enabled;
}

void SDR_TX_INSTANCE::set_enabled(bool enabled)
{
    if (m_instance == nullptr || m_instance->m_state.enabled == enabled)
        return;
    SDR_EDIT_SCOPE scope(m_instance);
    m_instance->note_change();
    m_instance->m_state.enabled = enabled;
}

bool SDR_TX_INSTANCE::is_modified() const
{
    return m_instance != nullptr && m_instance->m_modified_since_save;
}

bool SDR_TX_INSTANCE::is_newer_version() const
{
    return m_instance != nullptr && m_instance->m_newer;
}

bool SDR_TX_INSTANCE::is_current_version() const
{
    return m_instance != nullptr && !m_instance->m_newer && !m_instance->m_older &&
           m_instance->m_version == SDR_CURRENT_INSTANCE_VERSION;
}

void SDR_TX_INSTANCE::update_to_current_version()
{
    if (m_instance == nullptr)
        return;
    m_instance->m_version = SDR_CURRENT_INSTANCE_VERSION;
    m_instance->m_node_info.m_version = SDR_CURRENT_INSTANCE_VERSION;
    m_instance->m_newer = false;
    m_instance->m_older = false;
    m_instance->m_version_not_defined = false;
    m_instance->m_modified_since_save = true;
}

const SDR_DATA_INSTANCE_INFO& SDR_TX_INSTANCE::get_node_info() const
{
    static const SDR_DATA_INSTANCE_INFO detached_info;
    return m_instance != nullptr ? m_instance->m_node_info : detached_info;
}

SDR_DATA_INSTANCE* SDR_TX_INSTANCE::get_data_instance()
{
    return m_instance;
}
