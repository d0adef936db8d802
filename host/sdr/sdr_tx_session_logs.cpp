// SDR_TX_SESSION: data logs (logging on and off), and removal of logs, triggers and signal sets.
// All of these change the document's structure: they cannot be undone and clear the history.

#include "host/sdr/sdr_tx_session.h"

#include "host/sdr/sdr_tx_session_entry.h"
#include "host/sdr/sdr_tx_tree_object.h"
#include "host/standin/sdr_control.h"

namespace
{
// First free "log_<n>" of a trigger.
std::string next_log_name(SDR_DATA_TRIGGER* trigger)
{
    return trigger->m_log_names.first_free(trigger->m_logs);
}

// Names of the data list's leaves, in channel order.
SDR_WIRE_NAMES::LIST wire_names(const SDR_DATA_SIGNAL_SET* set)
{
    SDR_WIRE_NAMES::LIST names;
    if (set == nullptr)
        return names;
    for (const SDR_NODE_ROW& row : set->state().data_list)
        if (!SDR_TX_SIGNAL_NODES::is_group_row(row))
            names.push_back(row.name);
    return names;
}

// The decoder tables a copy of `source` appended after `last` stores: those the last log does
// not hold the same.
SDR_LOG_TALLY copied_tables(const SDR_DATA_LOG& source, const SDR_DATA_LOG* last)
{
    SDR_LOG_TALLY tables;
    for (const auto& table : source.m_static_plugin_tables) {
        const SDR_DATA_MNEMONICS_TABLE* before =
            last != nullptr ? last->get_static_plugin_mnemonics_table(table.first) : nullptr;
        if (before != nullptr && before->same_content(*table.second))
            continue;
        ++tables.tables;
        tables.table_entries += table.second->get_num_entries();
    }
    return tables;
}

// Index that stays active after element `removed` left a list (the previous one when it was
// the active one; 0 at the front).
int active_object_after_removal(int active, int removed)
{
    if (active > removed || (active == removed && active > 0))
        return active - 1;
    return active;
}
} // namespace

bool SDR_TX_SESSION::save_to_log(int index)
{
    ENTRY* entry = entry_at(index);
    SDR_DATA_TRIGGER* trigger = entry != nullptr ? entry->instance->get_active_trigger() : nullptr;
    SDR_DATA_LOG* source = entry != nullptr ? entry->instance->get_active_log(entry->power_up) : nullptr;
    if (trigger == nullptr || source == nullptr)
        return false;
    // The copy's samples are stored again in the file, and so are its decoder tables unless the
    // last log holds the same.
    const SDR_DATA_LOG* last = trigger->m_logs.empty() ? nullptr : trigger->m_logs.back().get();
    if (!has_room_for_log(trigger, source->m_wire_names, nullptr, copied_tables(*source, last)))
        return false;
    auto copy = std::make_unique<SDR_DATA_LOG>(trigger, next_log_name(trigger));
    copy->m_power_up = source->m_power_up;
    copy->m_signal_set = source->m_signal_set;
    copy->m_payload = source->m_payload; // immutable samples: shared, not copied
    for (const auto& table : source->m_static_plugin_tables) {
        auto clone = std::make_unique<SDR_DATA_MNEMONICS_TABLE>(table.second->get_name(), table.second->get_width());
        clone->clone(table.second.get()); // the entries are shared, not copied
        clone->set_log(copy.get());
        copy->m_static_plugin_tables[table.first] = std::move(clone);
    }
    SDR_DATA_LOG* added = copy.get();
    trigger->m_logs.push_back(std::move(copy));
    added->m_wire_names = source->m_wire_names;
    structural_change(entry->instance);
    return true;
}

SDR_DATA_LOG* SDR_TX_SESSION::create_new_log(int index)
{
    ENTRY* entry = entry_at(index);
    SDR_DATA_TRIGGER* trigger = entry != nullptr ? entry->instance->get_active_trigger() : nullptr;
    if (trigger == nullptr || standin::sdr::detail::take_create_log_failure())
        return nullptr;
    // Never a log the file could not hold: the run does not start, or an autorun keeps filling
    // the log it has.
    const SDR_WIRE_NAMES wires = wire_names(trigger->m_signal_set);
    const SDR_LOG_TALLY tables = sdr_expected_static_tables(trigger->m_signal_set);
    if (!has_room_for_log(trigger, wires, m_data->m_gui_logging ? nullptr : temp_log_of(trigger), tables))
        return nullptr;
    const int view = entry->power_up ? 1 : 0;
    auto replaced = std::make_unique<SDR_DATA_LOG::REPLACED>();
    replaced->shown = trigger->get_log_at(trigger->m_active_log[view]);
    replaced->view = view;
    SDR_DATA_LOG* log = nullptr;
    int position = -1;
    if (m_data->m_gui_logging) {
        trigger->m_logs.push_back(std::make_unique<SDR_DATA_LOG>(trigger, next_log_name(trigger)));
        log = trigger->m_logs.back().get();
        position = int(trigger->m_logs.size()) - 1;
        replaced->created = true;
        m_data->mark_modified();
    } else {
        log = reuse_temp_log(trigger, entry->power_up, replaced.get());
        position = sdr_index_of_name(trigger->m_logs, log->m_name.c_str());
    }
    // A log still waiting for its data already holds what the user saw last: that stays.
    if (log->m_replaced == nullptr)
        log->m_replaced = std::move(replaced);
    // The reused log may change views; a new one is shown for the first time.
    if (!m_data->m_gui_logging && log->m_power_up != entry->power_up)
        trigger->m_logs.note_changed();
    log->m_power_up = entry->power_up;
    log->m_signal_set = trigger->m_signal_set;
    log->m_wire_names = wires;
    log->expect_static_tables(tables);
    trigger->m_active_log[view] = position;
    entry->instance->note_structural_change();
    return log;
}

const SDR_DATA_LOG* SDR_TX_SESSION::temp_log_of(const SDR_DATA_TRIGGER* trigger)
{
    for (const auto& log : trigger->m_logs)
        if (log->m_global_temp)
            return log.get();
    return nullptr;
}

// Logging off keeps one temporary log per trigger, emptied and reused for every run; its
// previous content goes to `replaced`.
SDR_DATA_LOG* SDR_TX_SESSION::reuse_temp_log(SDR_DATA_TRIGGER* trigger, bool power_up,
                                             SDR_DATA_LOG::REPLACED* replaced)
{
    for (const auto& log : trigger->m_logs) {
        if (log->m_global_temp) {
            replaced->power_up = log->m_power_up;
            replaced->signal_set = log->m_signal_set;
            replaced->wire_names = log->m_wire_names;
            replaced->payload = log->m_payload;
            replaced->static_plugin_tables = std::move(log->m_static_plugin_tables);
            replaced->do_not_show = log->m_do_not_show;
            log->m_static_plugin_tables.clear();
            log->m_payload.reset();
            log->m_acquiring = false;
            log->m_do_not_show = 0;
            return log.get();
        }
    }
    std::string name = "log_temp";
    if (sdr_index_of_name(trigger->m_logs, name.c_str()) >= 0)
        name = next_log_name(trigger);
    trigger->m_logs.push_back(std::make_unique<SDR_DATA_LOG>(trigger, name));
    SDR_DATA_LOG* log = trigger->m_logs.back().get();
    log->m_global_temp = true;
    log->m_power_up = power_up;
    replaced->created = true;
    return log;
}

bool SDR_TX_SESSION::restore_replaced_log(SDR_DATA_LOG* log)
{
    if (log == nullptr || log->m_replaced == nullptr)
        return false;
    std::unique_ptr<SDR_DATA_LOG::REPLACED> replaced = std::move(log->m_replaced);
    SDR_DATA_TRIGGER* trigger = log->get_trigger();
    SDR_DATA_INSTANCE* instance = trigger != nullptr ? trigger->get_instance() : nullptr;
    if (instance == nullptr || log->is_data_available(false))
        return false;
    log->m_acquiring = false;
    if (replaced->created) {
        log->remove();
    } else {
        if (log->m_power_up != replaced->power_up)
            trigger->m_logs.note_changed();
        log->m_power_up = replaced->power_up;
        log->m_signal_set = replaced->signal_set;
        log->m_wire_names = std::move(replaced->wire_names);
        log->m_static_plugin_tables = std::move(replaced->static_plugin_tables);
        log->expect_static_tables(SDR_LOG_TALLY());
        log->m_payload = std::move(replaced->payload);
        log->m_do_not_show = replaced->do_not_show;
    }
    const int shown = replaced->shown != nullptr
                          ? sdr_index_of_name(trigger->m_logs, replaced->shown->m_name.c_str())
                          : -1;
    if (shown >= 0 && trigger->m_logs[size_t(shown)].get() == replaced->shown)
        trigger->m_active_log[replaced->view] = shown;
    instance->note_structural_change();
    return true;
}

void SDR_TX_SESSION::forget_replaced_log(SDR_DATA_LOG* log)
{
    if (log != nullptr)
        log->m_replaced.reset();
}

void SDR_TX_SESSION::remove_current_log(int index)
{
    ENTRY* entry = entry_at(index);
    SDR_DATA_TRIGGER* trigger = entry != nullptr ? entry->instance->get_active_trigger() : nullptr;
    if (trigger == nullptr)
        return;
    remove_log(trigger, trigger->m_active_log[entry->power_up ? 1 : 0]);
}

// The log takes itself out of its trigger and fixes the active indices, as it does when the
// acquisition code removes it.
bool SDR_TX_SESSION::remove_log(SDR_DATA_TRIGGER* trigger, int log_index)
{
    SDR_DATA_LOG* log = trigger->get_log_at(log_index);
    if (log == nullptr)
        return false;
    log->remove();
    return true;
}

bool SDR_TX_SESSION::remove(int index, const char* signal_set, const char* trigger, const char* log)
{
    int set_index = -1;
    SDR_DATA_SIGNAL_SET* set = signal_set_named(index, signal_set, &set_index);
    if (set == nullptr)
        return false;
    if (trigger == nullptr && log == nullptr)
        return remove_signal_set(entry_at(index)->instance, set_index);
    const int trigger_index = sdr_index_named_or(set->m_triggers, trigger, set->m_active_trigger);
    if (trigger_index < 0)
        return false;
    if (log == nullptr)
        return remove_trigger(set, trigger_index);
    SDR_DATA_TRIGGER* target = set->m_triggers[trigger_index].get();
    return remove_log(target, sdr_index_of_name(target->m_logs, log));
}

bool SDR_TX_SESSION::remove_trigger(SDR_DATA_SIGNAL_SET* set, int trigger_index)
{
    if (set->m_triggers.size() <= 1)
        return false; // a signal set always keeps one trigger
    std::unique_ptr<SDR_DATA_TRIGGER> trigger = std::move(set->m_triggers[trigger_index]);
    set->m_triggers.erase(set->m_triggers.begin() + trigger_index);
    set->m_active_trigger = active_object_after_removal(set->m_active_trigger, trigger_index);
    release_trees(trigger.get());
    m_data->park(std::move(trigger));
    structural_change(set->m_instance);
    return true;
}

bool SDR_TX_SESSION::remove_signal_set(SDR_DATA_INSTANCE* instance, int set_index)
{
    if (instance->m_signal_sets.size() <= 1)
        return false; // an instance always keeps one signal set
    std::unique_ptr<SDR_DATA_SIGNAL_SET> set = std::move(instance->m_signal_sets[set_index]);
    instance->m_signal_sets.erase(instance->m_signal_sets.begin() + set_index);
    instance->m_active_signal_set = active_object_after_removal(instance->m_active_signal_set, set_index);
    for (const auto& trigger : set->m_triggers)
        release_trees(trigger.get());
    m_data->park(std::move(set));
    structural_change(instance);
    return true;
}
