// SDR_TX_TRIGGER: binding to the entry's active trigger, the trigger list's own operations
// (add, drop, used counts, data-list sync) and the levels.
#include "host/sdr/sdr_tx_trigger.h"

#include "host/sdr/sdr_tx_session.h"
#include "host/sdr/sdr_tx_signal_set.h"

#include <cstring>

namespace
{
bool takes_trigger(const SDR_NODE_ROW& row)
{
    return row.capture_type == SDR_WTYPE_TRIGGER_ONLY || row.capture_type == SDR_WTYPE_DATA_AND_TRIGGER;
}

bool takes_data(const SDR_NODE_ROW& row)
{
    return row.capture_type == SDR_WTYPE_DATA_ONLY || row.capture_type == SDR_WTYPE_DATA_AND_TRIGGER;
}

bool takes_storage(const SDR_NODE_ROW& row)
{
    return row.storage_enabled;
}
} // namespace

SDR_TX_TRIGGER::SDR_TX_TRIGGER(SDR_TX_SESSION* session, SDR_DATA_INSTANCE* instance, bool power_up_entry)
    : SDR_TX_SIGNAL_NODES(session, instance), m_power_up_entry(power_up_entry), m_power_up_selector(power_up_entry)
{
}

SDR_TX_TRIGGER::~SDR_TX_TRIGGER() = default;

const SDR_TRIGGER_STATE* SDR_TX_TRIGGER::state() const
{
    const SDR_DATA_TRIGGER* t = trigger();
    return t != nullptr ? &t->state() : nullptr;
}

bool SDR_TX_TRIGGER::write(const std::function<void(SDR_TRIGGER_STATE&)>& apply)
{
    SDR_DATA_TRIGGER* t = trigger();
    if (t == nullptr)
        return false;
    SDR_EDIT_SCOPE scope(m_instance);
    apply(t->edit());
    return true;
}

const SDR_NODE_LIST* SDR_TX_TRIGGER::rows() const
{
    const SDR_TRIGGER_STATE* s = state();
    return s != nullptr ? &s->trigger_list : nullptr;
}

SDR_NODE_LIST* SDR_TX_TRIGGER::edit_rows(bool undoable)
{
    SDR_DATA_TRIGGER* t = trigger();
    if (t == nullptr)
        return nullptr;
    return undoable ? &t->edit().trigger_list : &t->edit_transient().trigger_list;
}

SDR_PATTERN_COPY SDR_TX_TRIGGER::pattern_copy() const
{
    return m_power_up_selector ? SDR_COPY_POWER_UP : SDR_COPY_NORMAL;
}

void SDR_TX_TRIGGER::structure_changed(const std::vector<int>& removed_links)
{
    (void)removed_links; // the data list follows through the sync
    sync_data_list();
}

void SDR_TX_TRIGGER::sync_data_list(bool as_edit)
{
    SDR_DATA_TRIGGER* t = trigger();
    if (t != nullptr)
        SDR_TX_SIGNAL_SET::sync_data_list(t->m_signal_set, t, as_edit);
}

// ---- binding ---------------------------------------------------------------------------------

void SDR_TX_TRIGGER::set_power_up_selector(bool power_up)
{
    m_power_up_selector = power_up;
    if (m_session != nullptr)
        m_session->set_power_up_editing(power_up);
}

SDR_DATA_TRIGGER* SDR_TX_TRIGGER::get_data_trigger()
{
    return trigger();
}

// Derived data lives in the rows themselves; a list that came from outside the node-list
// operations (a file, a fixture) or that an undo step brought back is brought in line here. That
// is never an edit of its own: a step recorded here would drop the redo of the step just undone.
void SDR_TX_TRIGGER::refresh_derived_data()
{
    refresh_derived_data(trigger());
}

void SDR_TX_TRIGGER::refresh_derived_data(SDR_DATA_TRIGGER* t)
{
    if (t == nullptr)
        return;
    SDR_NODE_LIST list = t->state().trigger_list;
    recompute_tree(list);
    bool moved = false;
    const SDR_NODE_LIST& now = t->state().trigger_list;
    for (int i = 0; i < list.size() && !moved; ++i)
        moved = list[i].depth != now[i].depth || list[i].subtree_end != now[i].subtree_end
                || list[i].display_type != now[i].display_type || list[i].parent_row != now[i].parent_row
                || list[i].wire_index != now[i].wire_index;
    if (moved)
        t->edit_transient().trigger_list = list;
    SDR_TX_SIGNAL_SET::sync_data_list(t->m_signal_set, t, false);
}

void SDR_TX_TRIGGER::sync_upon_capture_type_change()
{
    sync_data_list();
}

// ---- nodes -----------------------------------------------------------------------------------

bool SDR_TX_TRIGGER::add_node(const char* name, SDR_DATA_SIGNAL_TYPE type, SDR_DATA_WIRE_TAP_MODE tap_mode,
                              bool allow_duplicate)
{
    const SDR_NODE_LIST* list = rows();
    if (list == nullptr || name == nullptr || *name == '\0' || is_refused("add_node"))
        return false;
    if (!allow_duplicate && has_leaf_named(*list, name))
        return false;
    if (!text_fits(name, "the node name") || !has_row_room(1, 2))
        return false;
    const uint64_t version_before = list->version();
    SDR_NODE_ROW row;
    row.link_id = next_link_id();
    row.name = name;
    row.signal_type = type;
    row.tap_mode = tap_mode;
    row.capture_type = SDR_WTYPE_DATA_AND_TRIGGER;
    fit_levels(row, get_num_trigger_levels());
    SDR_EDIT_SCOPE scope(m_instance);
    SDR_NODE_LIST* rows_out = edit_rows(true);
    append_leaf(*rows_out, row);
    // A new top-level leaf simply ends the data list too: no sync, no recompute (a bus of
    // 4096 bits is added one node at a time).
    SDR_DATA_SIGNAL_SET* set = trigger()->m_signal_set;
    if (set != nullptr && takes_data(row))
    {
        row.link_row = rows_out->size() - 1;
        append_leaf(set->edit().data_list, row);
    }
    note_leaf_added(version_before, *rows_out, row.name);
    return true;
}

bool SDR_TX_TRIGGER::has_leaf_named(const SDR_NODE_LIST& list, const std::string& name)
{
    LEAF_NAME_INDEX& index = m_leaf_names;
    if (index.version != list.version())
    {
        index.names.clear();
        for (const SDR_NODE_ROW& row : list)
        {
            if (!is_group_row(row))
                index.names.insert(row.name);
        }
        index.version = list.version();
    }
    return index.names.count(name) != 0;
}

void SDR_TX_TRIGGER::note_leaf_added(uint64_t version_before, const SDR_NODE_LIST& list, const std::string& name)
{
    LEAF_NAME_INDEX& index = m_leaf_names;
    // Only an index that was valid for the list before this row stays valid with it.
    if (index.version != version_before)
        return;
    index.names.insert(name);
    index.version = list.version();
}

bool SDR_TX_TRIGGER::drop_tapped_node(const char* name)
{
    const SDR_NODE_LIST* list = rows();
    if (list == nullptr || name == nullptr)
        return false;
    for (int i = 0; i < list->size(); ++i)
    {
        if (!is_group_row(list->at(i)) && list->at(i).name == name)
            return delete_node(i, i) > 0;
    }
    return false;
}

int SDR_TX_TRIGGER::count_leaves(bool (*counts)(const SDR_NODE_ROW&)) const
{
    const SDR_NODE_LIST* list = rows();
    int used = 0;
    if (list != nullptr)
    {
        for (const SDR_NODE_ROW& row : *list)
            used += !is_group_row(row) && counts(row) ? 1 : 0;
    }
    return used;
}

int SDR_TX_TRIGGER::get_trigger_nodes_used() const
{
    return count_leaves(takes_trigger);
}

int SDR_TX_TRIGGER::get_data_nodes_used() const
{
    return count_leaves(takes_data);
}

int SDR_TX_TRIGGER::get_sq_nodes_used() const
{
    return count_leaves(takes_storage);
}

bool SDR_TX_TRIGGER::is_valid_node_name(const char* name) const
{
    const SDR_TRIGGER_STATE* s = state();
    if (s == nullptr || name == nullptr)
        return false;
    if (s->leaf_names == nullptr)
    {
        auto names = std::make_shared<std::unordered_set<std::string>>();
        for (const SDR_NODE_ROW& row : s->trigger_list)
        {
            if (!is_group_row(row))
                names->insert(row.name);
        }
        s->leaf_names = std::move(names);
    }
    return s->leaf_names->count(name) != 0;
}

// ---- levels ----------------------------------------------------------------------------------

int SDR_TX_TRIGGER::get_num_levels() const
{
    const SDR_TRIGGER_STATE* s = state();
    return s != nullptr ? int(s->levels.size()) : 0;
}

bool SDR_TX_TRIGGER::set_num_levels(int count)
{
    if (state() == nullptr || count < 1 || count > SDR_MAX_TRIGGER_LEVELS || is_refused("set_num_levels"))
        return false;
    if (count == get_num_levels())
        return true;
    return write([count](SDR_TRIGGER_STATE& s) {
        const int old = int(s.levels.size());
        s.levels.resize(size_t(count));
        for (int i = old; i < count; ++i)
            s.levels[size_t(i)].name = sdr_default_level_name(i);
        for (SDR_NODE_ROW& row : s.trigger_list)
            fit_levels(row, count);
    });
}

const char* SDR_TX_TRIGGER::get_level_name(int level) const
{
    const SDR_TRIGGER_STATE* s = state();
    if (s == nullptr || level < 0 || level >= int(s->levels.size()))
        return nullptr;
    return s->levels[size_t(level)].name.c_str();
}

bool SDR_TX_TRIGGER::set_level_name(int level, const char* name)
{
    if (get_level_name(level) == nullptr || name == nullptr)
        return false;
    if (std::strcmp(get_level_name(level), name) == 0)
        return true;
    const std::string value = name;
    if (!text_fits(value, "the trigger condition name"))
        return false;
    return write([level, &value](SDR_TRIGGER_STATE& s) { s.levels[size_t(level)].name = value; });
}

SDR_DATA_TRIGGER_LEVEL_TYPE SDR_TX_TRIGGER::get_level_type(int index, bool sq) const
{
    const SDR_TRIGGER_STATE* s = state();
    if (s == nullptr)
        return SDR_LTYPE_BASIC_AND;
    if (sq)
        return index >= 0 && index < SDR_NUM_SQ_PATTERNS ? s->sq_patterns[index].type : SDR_LTYPE_BASIC_AND;
    return index >= 0 && index < int(s->levels.size()) ? s->levels[size_t(index)].type : SDR_LTYPE_BASIC_AND;
}

bool SDR_TX_TRIGGER::set_level_type(int index, bool sq, SDR_DATA_TRIGGER_LEVEL_TYPE type)
{
    const SDR_TRIGGER_STATE* s = state();
    const int count = sq ? SDR_NUM_SQ_PATTERNS : get_num_levels();
    if (s == nullptr || index < 0 || index >= count || type < SDR_LTYPE_BASIC_AND || type > SDR_LTYPE_ADVANCED)
        return false;
    if (get_level_type(index, sq) == type)
        return true;
    return write([index, sq, type](SDR_TRIGGER_STATE& w) {
        (sq ? w.sq_patterns[index].type : w.levels[size_t(index)].type) = type;
    });
}

bool SDR_TX_TRIGGER::is_level_enabled(int level) const
{
    const SDR_TRIGGER_STATE* s = state();
    return s != nullptr && level >= 0 && level < int(s->levels.size()) && s->levels[size_t(level)].enabled;
}

bool SDR_TX_TRIGGER::set_level_enabled(int level, bool on)
{
    if (level < 0 || level >= get_num_levels())
        return false;
    if (is_level_enabled(level) == on)
        return true;
    return write([level, on](SDR_TRIGGER_STATE& s) { s.levels[size_t(level)].enabled = on; });
}
