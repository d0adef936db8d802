// SDR_TX_SIGNAL_SET: binding to the entry's active signal set, the acquisition setup and the
// data list's links to the trigger list.
#include "host/sdr/sdr_tx_signal_set.h"

#include "host/sdr/sdr_tx_session.h"

#include <set>
#include <string>

SDR_TX_SIGNAL_SET::SDR_TX_SIGNAL_SET(SDR_TX_SESSION* session, SDR_DATA_INSTANCE* instance)
    : SDR_TX_SIGNAL_NODES(session, instance)
{
}

SDR_TX_SIGNAL_SET::~SDR_TX_SIGNAL_SET() = default;

const SDR_SIGNAL_SET_STATE* SDR_TX_SIGNAL_SET::state() const
{
    const SDR_DATA_SIGNAL_SET* set = active_signal_set();
    return set != nullptr ? &set->state() : nullptr;
}

bool SDR_TX_SIGNAL_SET::write(const std::function<void(SDR_SIGNAL_SET_STATE&)>& apply)
{
    SDR_DATA_SIGNAL_SET* set = active_signal_set();
    if (set == nullptr)
        return false;
    SDR_EDIT_SCOPE scope(m_instance);
    apply(set->edit());
    return true;
}

const SDR_NODE_LIST* SDR_TX_SIGNAL_SET::rows() const
{
    const SDR_SIGNAL_SET_STATE* s = state();
    return s != nullptr ? &s->data_list : nullptr;
}

SDR_NODE_LIST* SDR_TX_SIGNAL_SET::edit_rows(bool undoable)
{
    SDR_DATA_SIGNAL_SET* set = active_signal_set();
    if (set == nullptr)
        return nullptr;
    return undoable ? &set->edit().data_list : &set->edit_transient().data_list;
}

// The data list is shared by an instance's entries; it shows the copy of the entry being
// edited, which the session knows.
SDR_PATTERN_COPY SDR_TX_SIGNAL_SET::pattern_copy() const
{
    return m_session != nullptr && m_session->is_power_up_editing() ? SDR_COPY_POWER_UP : SDR_COPY_NORMAL;
}

int SDR_TX_SIGNAL_SET::linked_trigger_row(int row) const
{
    const SDR_NODE_ROW* r = row_at(row);
    const SDR_DATA_TRIGGER* trigger = active_trigger();
    if (r == nullptr || r->data_tab_only || trigger == nullptr)
        return -1;
    const SDR_NODE_LIST& list = trigger->state().trigger_list;
    if (r->link_row >= 0 && r->link_row < list.size() && list[r->link_row].link_id == r->link_id)
        return r->link_row;
    for (int i = 0; i < list.size(); ++i)
    {
        if (list[i].link_id == r->link_id)
            return i;
    }
    return -1;
}

const SDR_NODE_ROW* SDR_TX_SIGNAL_SET::condition_row(int row) const
{
    const int linked = linked_trigger_row(row);
    return linked >= 0 ? &active_trigger()->state().trigger_list[linked] : nullptr;
}

SDR_NODE_ROW* SDR_TX_SIGNAL_SET::edit_condition_row(int row)
{
    const int linked = linked_trigger_row(row);
    return linked >= 0 ? &active_trigger()->edit().trigger_list[linked] : nullptr;
}

// Rows deleted here are deleted as nodes: their trigger rows go too, or the next sync would
// bring them back. A node that a copy in this list still shows stays: only one of its two
// rows went, and the sync leaves it to the copy.
void SDR_TX_SIGNAL_SET::structure_changed(const std::vector<int>& removed_links)
{
    SDR_DATA_TRIGGER* trigger = active_trigger();
    if (trigger == nullptr)
        return;
    if (!removed_links.empty())
    {
        const std::set<int> gone(removed_links.begin(), removed_links.end());
        std::set<std::string> copied;
        if (const SDR_NODE_LIST* own = rows())
        {
            for (const SDR_NODE_ROW& row : *own)
            {
                if (row.data_tab_only && !is_group_row(row))
                    copied.insert(row.name);
            }
        }
        SDR_NODE_LIST& list = trigger->edit().trigger_list;
        SDR_NODE_LIST kept;
        for (const SDR_NODE_ROW& row : list)
        {
            if (is_group_row(row) || gone.count(row.link_id) == 0 || copied.count(row.name) != 0)
                kept.append(row);
        }
        list = kept;
        drop_empty_groups(list);
    }
    sync_data_list(active_signal_set(), trigger);
}

SDR_DATA_SIGNAL_SET* SDR_TX_SIGNAL_SET::get_data_signal_set()
{
    return active_signal_set();
}

const char* SDR_TX_SIGNAL_SET::get_clock_name(bool* post_fitting) const
{
    const SDR_SIGNAL_SET_STATE* s = state();
    if (post_fitting != nullptr)
        *post_fitting = s != nullptr && s->clock_post_fitting;
    return s != nullptr ? s->clock_name.c_str() : "";
}

bool SDR_TX_SIGNAL_SET::set_clock(const char* name, bool post_fitting)
{
    const SDR_SIGNAL_SET_STATE* s = state();
    if (s == nullptr || is_refused("set_clock"))
        return false;
    const std::string value = name != nullptr ? name : "";
    if (s->clock_name == value && s->clock_post_fitting == post_fitting)
        return true;
    if (!text_fits(value, "the clock name"))
        return false;
    return write([&value, post_fitting](SDR_SIGNAL_SET_STATE& w) {
        w.clock_name = value;
        w.clock_post_fitting = post_fitting;
    });
}

void SDR_TX_SIGNAL_SET::clock_changed(int reason)
{
    (void)reason;
    set_clock_invalid(false);
}

bool SDR_TX_SIGNAL_SET::is_clock_invalid() const
{
    const SDR_DATA_SIGNAL_SET* set = active_signal_set();
    return set != nullptr && set->m_clock_invalid;
}

void SDR_TX_SIGNAL_SET::set_clock_invalid(bool invalid)
{
    if (SDR_DATA_SIGNAL_SET* set = active_signal_set())
        set->m_clock_invalid = invalid;
}

bool SDR_TX_SIGNAL_SET::is_clock_post_fitting() const
{
    return state() != nullptr && state()->clock_post_fitting;
}

int SDR_TX_SIGNAL_SET::get_sample_depth() const
{
    return state() != nullptr ? state()->sample_depth : 0;
}

bool SDR_TX_SIGNAL_SET::set_sample_depth(int depth)
{
    if (state() == nullptr || depth < 0 || is_refused("set_sample_depth"))
        return false;
    return state()->sample_depth == depth || write([depth](SDR_SIGNAL_SET_STATE& w) { w.sample_depth = depth; });
}

SDR_HALCYTE_RAM_TYPE SDR_TX_SIGNAL_SET::get_ram_type() const
{
    return state() != nullptr ? state()->ram_type : SDR_RAM_AUTO;
}

bool SDR_TX_SIGNAL_SET::set_ram_type(SDR_HALCYTE_RAM_TYPE type)
{
    if (state() == nullptr || type < SDR_RAM_AUTO || type > SDR_RAM_LARGE)
        return false;
    return state()->ram_type == type || write([type](SDR_SIGNAL_SET_STATE& w) { w.ram_type = type; });
}

int SDR_TX_SIGNAL_SET::get_pipeline_level() const
{
    return state() != nullptr ? state()->pipeline_level : 0;
}

bool SDR_TX_SIGNAL_SET::set_pipeline_level(int level)
{
    if (state() == nullptr || level < 0)
        return false;
    return state()->pipeline_level == level || write([level](SDR_SIGNAL_SET_STATE& w) { w.pipeline_level = level; });
}

int SDR_TX_SIGNAL_SET::get_nodes_allocated(int kind) const
{
    return state() != nullptr && kind >= 0 && kind < 3 ? state()->allocated[kind] : 0;
}

bool SDR_TX_SIGNAL_SET::set_nodes_allocated(int kind, int count)
{
    if (state() == nullptr || kind < 0 || kind >= 3 || count < 0)
        return false;
    return state()->allocated[kind] == count
           || write([kind, count](SDR_SIGNAL_SET_STATE& w) { w.allocated[kind] = count; });
}

int SDR_TX_SIGNAL_SET::get_tessarelle_nodes_allocated(int kind) const
{
    return state() != nullptr && kind >= 0 && kind < 2 ? state()->tessarelle_allocated[kind] : 0;
}

bool SDR_TX_SIGNAL_SET::set_tessarelle_nodes_allocated(int kind, int count)
{
    if (state() == nullptr || kind < 0 || kind >= 2 || count < 0)
        return false;
    return state()->tessarelle_allocated[kind] == count
           || write([kind, count](SDR_SIGNAL_SET_STATE& w) { w.tessarelle_allocated[kind] = count; });
}

const char* SDR_TX_SIGNAL_SET::get_top_entity_name() const
{
    const SDR_SIGNAL_SET_STATE* s = state();
    return s != nullptr && s->has_top_entity_name ? s->top_entity_name.c_str() : nullptr;
}

void SDR_TX_SIGNAL_SET::set_assignment_value(const char* value)
{
    const std::string text = value != nullptr ? value : "";
    if (state() != nullptr && state()->assignment_350_value != text)
        write([&text](SDR_SIGNAL_SET_STATE& w) { w.assignment_350_value = text; });
}

bool SDR_TX_SIGNAL_SET::insert_node_gen2(const char* full_name, int kind, SDR_DATA_WIRE_TAP_MODE tap_mode)
{
    // Signal types are flags up to SDR_STYPE_MACHINE; a kind beyond them could not be read back.
    if (state() == nullptr || full_name == nullptr || *full_name == '\0' || kind < 0
        || kind >= 2 * SDR_STYPE_MACHINE)
        return false;
    SDR_NODE_ROW row;
    row.link_id = next_link_id();
    row.name = full_name;
    row.signal_type = SDR_DATA_SIGNAL_TYPE(kind);
    row.tap_mode = tap_mode;
    row.capture_type = SDR_WTYPE_DATA_ONLY;
    row.data_tab_only = true;
    return write([&row](SDR_SIGNAL_SET_STATE& w) {
        w.data_list.append(row);
        recompute_tree(w.data_list);
    });
}
