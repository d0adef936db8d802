// SDR_DATA_SIGNAL_SET: names, triggers, wires (the data list's leaves), the wizard setters and
// the text form.
#include "host/sdr/sdr_data_model.h"

#include "host/sdr/sdr_data_manager.h"
#include "host/sdr/sdr_file_limits.h"

#include "host/sdr/sdr_tx_session.h"
#include "host/sdr/sdr_tx_signal_nodes.h"
#include "host/sdr/sdr_tx_signal_set.h"

#include <sstream>

namespace
{
bool is_attached(const SDR_DATA_SIGNAL_SET* set)
{
    return set->m_instance != nullptr && set->m_instance->m_session != nullptr;
}
} // namespace

const char* SDR_DATA_SIGNAL_SET::get_name() const
{
    return state().name.c_str();
}

bool SDR_DATA_SIGNAL_SET::set_name(const char* name)
{
    if (name == nullptr || *name == '\0' || !is_attached(this))
        return false;
    if (state().name == name)
        return true;
    SDR_DATA_SIGNAL_SET* other = m_instance->find_signal_set(name);
    if (other != nullptr && other != this)
        return false;
    if (!SDR_DATA_MANAGER::text_fits(name, "the signal set name"))
        return false;
    SDR_EDIT_SCOPE scope(m_instance);
    edit().name = name;
    return true;
}

void SDR_DATA_SIGNAL_SET::set_expanded_status(bool expanded)
{
    m_expanded = expanded;
}

bool SDR_DATA_SIGNAL_SET::is_expanded() const
{
    return m_expanded;
}

SDR_DATA_TRIGGER* SDR_DATA_SIGNAL_SET::find_trigger(const char* name)
{
    if (name == nullptr)
        return nullptr;
    for (const auto& trigger : m_triggers)
    {
        if (trigger->state().name == name)
            return trigger.get();
    }
    return nullptr;
}

SDR_DATA_TRIGGER* SDR_DATA_SIGNAL_SET::get_global_trigger()
{
    return get_trigger_at(0);
}

int SDR_DATA_SIGNAL_SET::get_num_triggers() const
{
    return int(m_triggers.size());
}

SDR_DATA_TRIGGER* SDR_DATA_SIGNAL_SET::get_trigger_at(int index)
{
    if (index < 0 || index >= get_num_triggers())
        return nullptr;
    return m_triggers[size_t(index)].get();
}

// A new trigger starts with the signal set's node list, so that it can take the data list
// over; adding one cannot be undone.
SDR_DATA_TRIGGER* SDR_DATA_SIGNAL_SET::create_trigger(void* preset, bool flag)
{
    (void)preset;
    (void)flag;
    if (!is_attached(this))
        return nullptr;
    QString problem;
    const SDR_DATA_SESSION& session = *m_instance->m_session;
    if (!SDR_FILE_LIMITS::has_room(session, SDR_FILE_ELEMENT::TRIGGER, 1, &problem) ||
        !SDR_FILE_LIMITS::has_room(session, SDR_FILE_ELEMENT::LEVEL, 1, &problem)) {
        SDR_DATA_MANAGER::refuse(problem);
        return nullptr;
    }
    std::string name;
    for (int n = get_num_triggers() + 1;; ++n)
    {
        name = "trigger_" + std::to_string(n);
        if (find_trigger(name.c_str()) == nullptr)
            break;
    }
    m_instance->note_structural_change();
    m_triggers.push_back(std::make_unique<SDR_DATA_TRIGGER>(this, name));
    SDR_DATA_TRIGGER* trigger = m_triggers.back().get();
    if (SDR_DATA_TRIGGER* global = get_global_trigger(); global != nullptr && global != trigger)
        trigger->edit_transient().trigger_list = global->state().trigger_list;
    if (SDR_TX_SESSION* tx = m_instance->m_session->m_tx_user)
        tx->ensure_state_machine_object(trigger);
    m_instance->m_session->mark_modified();
    return trigger;
}

// The wire made here becomes a row only through append(); until then it is kept with the
// other wires of the set, past the rows it describes (whose wires are made when first asked
// for, see get_data_wire_at).
SDR_DATA_WIRE* SDR_DATA_SIGNAL_SET::create_wire(const char* name, int capture, int tap, bool flag, void* preset,
                                                bool flag2)
{
    (void)flag;
    (void)preset;
    (void)flag2;
    if (name == nullptr || *name == '\0')
        return nullptr;
    for (size_t leaves = size_t(get_data_wire_width()); m_wires.size() < leaves;)
        m_wires.push_back(std::make_unique<SDR_DATA_WIRE>());
    auto wire = std::make_unique<SDR_DATA_WIRE>();
    wire->m_name = name;
    wire->m_capture_type = capture;
    wire->m_tap_mode = tap;
    m_wires.push_back(std::move(wire));
    return m_wires.back().get();
}

bool SDR_DATA_SIGNAL_SET::append(SDR_DATA_WIRE* wire, bool flag)
{
    (void)flag;
    SDR_DATA_TRIGGER* trigger = get_active_trigger();
    if (wire == nullptr || trigger == nullptr || !is_attached(this))
        return false;
    SDR_NODE_ROW row;
    row.link_id = m_instance->m_session->m_next_link_id++;
    row.name = wire->m_name;
    row.capture_type = SDR_DATA_WIRE_CAPTURE_TYPE(wire->m_capture_type);
    row.tap_mode = SDR_DATA_WIRE_TAP_MODE(wire->m_tap_mode);
    SDR_TX_SIGNAL_NODES::fit_levels(row, int(trigger->state().levels.size()));
    SDR_EDIT_SCOPE scope(m_instance);
    SDR_NODE_LIST& list = trigger->edit().trigger_list;
    list.append(row);
    SDR_TX_SIGNAL_NODES::recompute_tree(list);
    SDR_TX_SIGNAL_SET::sync_data_list(this, trigger);
    return true;
}

void SDR_DATA_SIGNAL_SET::set_tessarelle_data_node_size(int size)
{
    if (state().tessarelle_allocated[1] != size)
        edit().tessarelle_allocated[1] = size;
}

void SDR_DATA_SIGNAL_SET::set_tessarelle_trigger_node_size(int size)
{
    if (state().tessarelle_allocated[0] != size)
        edit().tessarelle_allocated[0] = size;
}

void SDR_DATA_SIGNAL_SET::set_sample_depth(int depth)
{
    if (depth >= 0 && state().sample_depth != depth)
        edit().sample_depth = depth;
}

void SDR_DATA_SIGNAL_SET::set_ram_type(SDR_HALCYTE_RAM_TYPE type)
{
    if (type >= SDR_RAM_AUTO && type <= SDR_RAM_LARGE && state().ram_type != type)
        edit().ram_type = type;
}

// The IP wizard's switch: recorded on the signal set and applied to its triggers, whose
// trigger-in and trigger-out settings the editor shows.
void SDR_DATA_SIGNAL_SET::set_trigger_in_enabled(bool on)
{
    if (state().wizard_trigger_in_enabled != on)
        edit().wizard_trigger_in_enabled = on;
    for (const auto& trigger : m_triggers)
        if (trigger->state().trigger_in.enabled != on)
            trigger->edit().trigger_in.enabled = on;
}

void SDR_DATA_SIGNAL_SET::set_trigger_out_enabled(bool on)
{
    if (state().wizard_trigger_out_enabled != on)
        edit().wizard_trigger_out_enabled = on;
    for (const auto& trigger : m_triggers)
        if (trigger->state().trigger_out.enabled != on)
            trigger->edit().trigger_out.enabled = on;
}

const char* SDR_DATA_SIGNAL_SET::get_clock_name() const
{
    return state().clock_name.c_str();
}

// Wire i is the i-th leaf of the data list. The wire objects are made when first asked for
// (a document of many instances mostly never asks) and reused by position, so a pointer stays
// valid for the life of the set and names the channel at that position.
SDR_DATA_WIRE* SDR_DATA_SIGNAL_SET::get_data_wire_at(int index)
{
    const SDR_NODE_LIST& list = state().data_list;
    int leaf = 0;
    for (const SDR_NODE_ROW& row : list)
    {
        if (SDR_TX_SIGNAL_NODES::is_group_row(row))
            continue;
        if (leaf == index)
        {
            while (int(m_wires.size()) <= index)
                m_wires.push_back(std::make_unique<SDR_DATA_WIRE>());
            SDR_DATA_WIRE* wire = m_wires[size_t(index)].get();
            wire->m_name = row.name;
            wire->m_capture_type = row.capture_type;
            wire->m_tap_mode = row.tap_mode;
            return wire;
        }
        ++leaf;
    }
    return nullptr;
}

int SDR_DATA_SIGNAL_SET::get_data_wire_width() const
{
    int leaves = 0;
    for (const SDR_NODE_ROW& row : state().data_list)
        leaves += SDR_TX_SIGNAL_NODES::is_group_row(row) ? 0 : 1;
    return leaves;
}

std::string SDR_DATA_SIGNAL_SET::to_string()
{
    std::ostringstream out;
    const SDR_SIGNAL_SET_STATE& s = state();
    out << "signal_set " << s.name << " clock=" << s.clock_name << (s.clock_post_fitting ? " (post-fitting)" : "")
        << " depth=" << s.sample_depth << " ram=" << s.ram_type << " pipeline=" << s.pipeline_level << '\n';
    for (const SDR_NODE_ROW& row : s.data_list)
    {
        out << std::string(size_t(row.depth) * 2, ' ') << (SDR_TX_SIGNAL_NODES::is_group_row(row) ? "group " : "node ")
            << row.name << " capture=" << int(row.capture_type) << " tap=" << int(row.tap_mode);
        if (!row.alias.empty())
            out << " alias=" << row.alias;
        out << '\n';
    }
    return out.str();
}
