// SDR_DATA_INSTANCE: names, signal sets, version record, edit bracket and change counting.

#include "host/sdr/sdr_data_model.h"

#include "host/sdr/sdr_data_manager.h"
#include "host/sdr/sdr_file_limits.h"

#include "host/sdr/sdr_tx_session.h"
#include "host/sdr/sdr_undo_history.h"

SDR_DATA_INSTANCE::SDR_DATA_INSTANCE(SDR_DATA_SESSION* session, const std::string& name)
    : m_session(session), m_history(new SDR_UNDO_HISTORY(this))
{
    m_state.name = name;
}

SDR_DATA_INSTANCE::~SDR_DATA_INSTANCE() = default;

const char* SDR_DATA_INSTANCE::get_name() const
{
    return m_state.name.c_str();
}

bool SDR_DATA_INSTANCE::set_name(const char* name)
{
    if (name == nullptr || *name == '\0')
        return false;
    if (m_state.name == name)
        return true;
    if (m_session != nullptr && m_session->find_instance(name) != nullptr)
        return false;
    if (!SDR_DATA_MANAGER::text_fits(name, "the instance name"))
        return false;
    SDR_EDIT_SCOPE scope(this);
    note_change();
    m_state.name = name;
    return true;
}

void SDR_DATA_INSTANCE::set_expanded_status(bool expanded)
{
    m_expanded = expanded;
}

bool SDR_DATA_INSTANCE::is_expanded() const
{
    return m_expanded;
}

SDR_DATA_SIGNAL_SET* SDR_DATA_INSTANCE::find_signal_set(const char* name)
{
    if (name == nullptr)
        return nullptr;
    for (const auto& set : m_signal_sets)
        if (set->state().name == name)
            return set.get();
    return nullptr;
}

SDR_DATA_SIGNAL_SET* SDR_DATA_INSTANCE::get_global_signal_set()
{
    return get_signal_set_at(0);
}

int SDR_DATA_INSTANCE::get_num_signal_sets() const
{
    return static_cast<int>(m_signal_sets.size());
}

SDR_DATA_SIGNAL_SET* SDR_DATA_INSTANCE::get_signal_set_at(int index)
{
    if (index < 0 || index >= get_num_signal_sets())
        return nullptr;
    return m_signal_sets[index].get();
}

SDR_DATA_SIGNAL_SET* SDR_DATA_INSTANCE::create_signal_set(void* preset, bool flag)
{
    (void)preset;
    (void)flag;
    QString problem;
    if (m_session == nullptr)
        return nullptr;
    if (!SDR_FILE_LIMITS::has_room(*m_session, SDR_FILE_ELEMENT::SIGNAL_SET, 1, &problem)) {
        SDR_DATA_MANAGER::refuse(problem);
        return nullptr;
    }
    std::string name;
    for (int n = get_num_signal_sets() + 1;; ++n) {
        name = "signal_set_" + std::to_string(n);
        if (find_signal_set(name.c_str()) == nullptr)
            break;
    }
    note_structural_change();
    m_signal_sets.push_back(std::make_unique<SDR_DATA_SIGNAL_SET>(this, name));
    m_session->mark_modified();
    return m_signal_sets.back().get();
}

bool SDR_DATA_INSTANCE::is_incremental_route_available() const
{
    return m_incremental_route_available;
}

SDR_DATA_INSTANCE_INFO SDR_DATA_INSTANCE::get_node_info() const
{
    return m_node_info;
}

int SDR_DATA_INSTANCE::get_current_version() const
{
    return m_version;
}

bool SDR_DATA_INSTANCE::is_version_not_defined() const
{
    return m_version_not_defined;
}

SDR_DATA_SIGNAL_SET* SDR_DATA_INSTANCE::get_active_signal_set()
{
    return get_signal_set_at(m_active_signal_set);
}

SDR_DATA_TRIGGER* SDR_DATA_INSTANCE::get_active_trigger()
{
    SDR_DATA_SIGNAL_SET* set = get_active_signal_set();
    return set != nullptr ? set->get_active_trigger() : nullptr;
}

SDR_DATA_LOG* SDR_DATA_INSTANCE::get_active_log(bool power_up)
{
    SDR_DATA_TRIGGER* trigger = get_active_trigger();
    if (trigger == nullptr)
        return nullptr;
    int index = trigger->m_active_log[power_up ? 1 : 0];
    if (index < 0 || index >= static_cast<int>(trigger->m_logs.size()))
        return nullptr;
    return trigger->m_logs[index].get();
}

SDR_PLUGIN_GROUP* SDR_DATA_INSTANCE::create_plugin_group_record()
{
    m_plugin_groups.push_back(std::make_unique<SDR_PLUGIN_GROUP>());
    return m_plugin_groups.back().get();
}

void SDR_DATA_INSTANCE::begin_edit()
{
    m_history->begin();
}

void SDR_DATA_INSTANCE::end_edit()
{
    m_history->end();
}

void SDR_DATA_INSTANCE::note_change()
{
    ++m_change_count;
    m_modified_since_save = true;
}

void SDR_DATA_INSTANCE::note_structural_change()
{
    m_history->clear();
    m_modified_since_save = true;
}
