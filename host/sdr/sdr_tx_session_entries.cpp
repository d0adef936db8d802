// SDR_TX_SESSION: the entry index space, power-up companions, instance creation and removal,
// active objects and the removal of signal sets, triggers and logs.

#include "host/sdr/sdr_tx_session.h"

#include "host/sdr/sdr_tx_session_entry.h"
#include "host/sdr/sdr_tx_tree_object.h"
#include "host/sdr/sdr_undo_history.h"
#include "host/sdr/sdr_verify.h"

#include <algorithm>

SDR_TX_SESSION::ENTRY* SDR_TX_SESSION::entry_at(int index)
{
    if (index < 0 || index >= static_cast<int>(m_entries.size()))
        return nullptr;
    return m_entries[index].get();
}

SDR_DATA_INSTANCE* SDR_TX_SESSION::data_instance_at(int index)
{
    ENTRY* entry = entry_at(index);
    return entry != nullptr ? entry->instance : nullptr;
}

int SDR_TX_SESSION::entry_of(const SDR_DATA_INSTANCE* instance) const
{
    for (size_t i = 0; i < m_entries.size(); ++i)
        if (m_entries[i]->instance == instance && !m_entries[i]->power_up)
            return static_cast<int>(i);
    return -1;
}

void SDR_TX_SESSION::rebuild_entries()
{
    std::vector<std::unique_ptr<ENTRY>> old = std::move(m_entries);
    m_entries.clear();
    auto take = [&old, this](SDR_DATA_INSTANCE* instance, bool power_up) {
        for (auto& entry : old) {
            if (entry && entry->instance == instance && entry->power_up == power_up) {
                m_entries.push_back(std::move(entry));
                return;
            }
        }
        m_entries.push_back(std::make_unique<ENTRY>(this, instance, power_up));
    };
    if (m_data != nullptr) {
        for (const auto& instance : m_data->m_instances) {
            take(instance.get(), false);
            if (instance->m_state.powerup_enabled)
                take(instance.get(), true);
        }
    }
    for (auto& entry : old) {
        if (!entry)
            continue;
        entry->detach();
        m_parked_entries.push_back(std::move(entry));
    }
}

int SDR_TX_SESSION::get_num_instances() const
{
    return static_cast<int>(m_entries.size());
}

SDR_TX_INSTANCE* SDR_TX_SESSION::get_instance_at(int index, bool)
{
    ENTRY* entry = entry_at(index);
    return entry != nullptr ? &entry->tx_instance : nullptr;
}

SDR_TX_SIGNAL_SET* SDR_TX_SESSION::get_signal_set_at(int index, bool)
{
    ENTRY* entry = entry_at(index);
    return entry != nullptr ? &entry->signal_set : nullptr;
}

SDR_TX_TRIGGER* SDR_TX_SESSION::get_trigger_at(int index, bool)
{
    ENTRY* entry = entry_at(index);
    if (entry == nullptr)
        return nullptr;
    if (entry->power_up)
        entry->trigger.set_power_up_selector(true);
    return &entry->trigger;
}

SDR_DATA_LOG* SDR_TX_SESSION::get_log_at(int index, bool)
{
    ENTRY* entry = entry_at(index);
    return entry != nullptr ? entry->instance->get_active_log(entry->power_up) : nullptr;
}

bool SDR_TX_SESSION::is_power_up_view(int index) const
{
    const ENTRY* entry = entry_at(index);
    return entry != nullptr && entry->power_up;
}

bool SDR_TX_SESSION::is_power_up_trigger(int view) const
{
    const ENTRY* entry = entry_at(view);
    return entry != nullptr && entry->instance->m_state.powerup_enabled;
}

bool SDR_TX_SESSION::set_power_up_trigger_mode(int instance, bool on)
{
    ENTRY* entry = entry_at(instance);
    if (entry == nullptr)
        return false;
    SDR_DATA_INSTANCE* data = entry->instance;
    if (data->m_state.powerup_enabled == on)
        return true;
    {
        SDR_EDIT_SCOPE scope(data);
        data->note_change();
        data->m_state.powerup_enabled = on;
    }
    rebuild_entries();
    return true;
}

bool SDR_TX_SESSION::duplicate_trigger_to_other(int view)
{
    ENTRY* entry = entry_at(view);
    SDR_DATA_TRIGGER* trigger = entry != nullptr ? entry->instance->get_active_trigger() : nullptr;
    if (trigger == nullptr)
        return false;
    const int from = entry->power_up ? SDR_COPY_POWER_UP : SDR_COPY_NORMAL;
    const int to = entry->power_up ? SDR_COPY_NORMAL : SDR_COPY_POWER_UP;
    {
        SDR_EDIT_SCOPE scope(entry->instance);
        SDR_NODE_LIST& rows = trigger->edit().trigger_list;
        for (SDR_NODE_ROW& row : rows)
            row.patterns[to] = row.patterns[from];
    }
    bool ok = true;
    for (SDR_TX_TREE_OBJECT* handle : trigger->m_level_trees)
        if (handle != nullptr)
            ok = handle->duplicate_trigger(!entry->power_up) && ok;
    for (SDR_TX_TREE_OBJECT* handle : trigger->m_sq_trees)
        if (handle != nullptr)
            ok = handle->duplicate_trigger(!entry->power_up) && ok;
    return ok;
}

int SDR_TX_SESSION::create_vantrel_instance(void* preset)
{
    (void)preset;
    if (m_data == nullptr)
        return -1;
    if (!has_room(SDR_FILE_ELEMENT::INSTANCE, 1) || !has_room(SDR_FILE_ELEMENT::SIGNAL_SET, 1) ||
        !has_room(SDR_FILE_ELEMENT::TRIGGER, 1) || !has_room(SDR_FILE_ELEMENT::LEVEL, 1))
        return -1;
    SDR_DATA_INSTANCE* instance = m_data->add_default_instance();
    prepare_instance(instance);
    instance->history().push_creation_step();
    instance->m_modified_since_save = true;
    rebuild_entries();
    return entry_of(instance);
}

bool SDR_TX_SESSION::remove_vantrel_instance(int index)
{
    ENTRY* entry = entry_at(index);
    if (entry == nullptr)
        return false;
    SDR_DATA_INSTANCE* instance = entry->instance;
    for (const auto& set : instance->m_signal_sets)
        for (const auto& trigger : set->m_triggers)
            release_trees(trigger.get());
    m_data->remove_instance(instance);
    rebuild_entries();
    return true;
}

bool SDR_TX_SESSION::undo_instance_creation(SDR_DATA_INSTANCE* instance)
{
    if (m_data == nullptr)
        return false;
    // The editor keeps its entry index after the removal, or takes the last entry: the instance
    // there is the one the user sees next, so it is the one that holds the redo.
    const int entry = entry_of(instance);
    std::vector<SDR_DATA_INSTANCE*> remaining;
    for (const auto& other : m_entries)
        if (other->instance != instance)
            remaining.push_back(other->instance);
    SDR_DATA_INSTANCE* heir = remaining.empty() ? nullptr
                                                : remaining[std::min<size_t>(std::max(entry, 0), remaining.size() - 1)];
    if (heir == nullptr && instance->history().redo_count() > 0) {
        SDR_UNDO_REFUSAL{"Cannot undo the creation of instance \"%1!s!\": with no other instance its undone edits "
                         "could not be redone./OSDR_UNDO_CREATION_KEEPS_EDITS",
                         instance->m_state.name, std::string()}
            .show();
        return false;
    }
    const int index = m_data->index_of(instance);
    instance->history().creation_undone();
    instance->m_creation_undone = true;
    // Tree objects are left to the root: undo never deletes them, so a redo finds them again.
    m_data->remove_instance(instance);
    rebuild_entries();
    if (heir != nullptr)
        heir->history().push_revival_step(instance, index);
    return true;
}

void SDR_TX_SESSION::revive_instance(SDR_DATA_INSTANCE* instance, int index)
{
    if (m_data == nullptr || !m_data->unpark(instance, index))
        return;
    instance->m_creation_undone = false;
    instance->history().creation_redone();
    instance->m_modified_since_save = true;
    rebuild_entries();
}

void SDR_TX_SESSION::structural_change(SDR_DATA_INSTANCE* instance)
{
    instance->note_structural_change();
    m_data->mark_modified();
}

// The signal set of entry `index` named `signal_set` (null: the active one), with its index.
SDR_DATA_SIGNAL_SET* SDR_TX_SESSION::signal_set_named(int index, const char* signal_set, int* set_index)
{
    ENTRY* entry = entry_at(index);
    if (entry == nullptr)
        return nullptr;
    SDR_DATA_INSTANCE* instance = entry->instance;
    *set_index = sdr_index_named_or(instance->m_signal_sets, signal_set, instance->m_active_signal_set);
    return instance->get_signal_set_at(*set_index);
}

bool SDR_TX_SESSION::set_active(int index, const char* signal_set, const char* trigger, const char* log)
{
    int set_index = -1;
    SDR_DATA_SIGNAL_SET* set = signal_set_named(index, signal_set, &set_index);
    if (set == nullptr)
        return false;
    ENTRY* entry = entry_at(index);
    SDR_DATA_INSTANCE* instance = entry->instance;
    const int trigger_index = sdr_index_named_or(set->m_triggers, trigger, 0);
    if (trigger_index < 0)
        return false;
    SDR_DATA_TRIGGER* target = set->m_triggers[trigger_index].get();
    int log_index = log != nullptr ? sdr_index_of_name(target->m_logs, log)
                                   : static_cast<int>(target->m_logs.size()) - 1;
    if (log != nullptr && log_index < 0)
        return false;
    instance->m_active_signal_set = set_index;
    set->m_active_trigger = trigger_index;
    target->m_active_log[entry->power_up ? 1 : 0] = log_index;
    structural_change(instance);
    return true;
}

bool SDR_TX_SESSION::set_active_log(int index, SDR_DATA_LOG* log)
{
    ENTRY* entry = entry_at(index);
    SDR_DATA_TRIGGER* trigger = entry != nullptr ? entry->instance->get_active_trigger() : nullptr;
    if (trigger == nullptr || log == nullptr)
        return false;
    // From the newest: a run shows the log it just added, and a trigger may keep hundreds of
    // thousands.
    for (size_t i = trigger->m_logs.size(); i-- > 0;) {
        if (trigger->m_logs[i].get() == log) {
            // Which log is shown is view state: no undo step, no save prompt.
            trigger->m_active_log[entry->power_up ? 1 : 0] = static_cast<int>(i);
            return true;
        }
    }
    return false;
}
