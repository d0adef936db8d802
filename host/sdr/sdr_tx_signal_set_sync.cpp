// SDR_TX_SIGNAL_SET: derivation of the data list from the trigger list. Rows the data list
// already has keep their place and grouping there; new data-enabled leaves join under their
// trigger-list group when the data list has it, and a group new to the data list gathers its
// members, so a bus made in the trigger list shows as a bus in the data list too.
#include "host/sdr/sdr_tx_signal_set.h"

#include <QSet>

#include <algorithm>
#include <set>
#include <string>

namespace
{
bool takes_data(const SDR_NODE_ROW& row)
{
    return row.capture_type == SDR_WTYPE_DATA_ONLY || row.capture_type == SDR_WTYPE_DATA_AND_TRIGGER;
}

// Leaves are the trigger rows seen from the data side: their node fields follow. Group rows
// follow where their link mask says so.
void refresh_from(SDR_NODE_ROW* row, const SDR_NODE_ROW& source)
{
    if (!SDR_TX_SIGNAL_NODES::is_group_row(source))
    {
        row->name = source.name;
        row->signal_type = source.signal_type;
        row->alias = source.alias;
        row->capture_type = source.capture_type;
        row->tap_mode = source.tap_mode;
        row->storage_enabled = source.storage_enabled;
        row->transition_enabled = source.transition_enabled;
        row->inverted = source.inverted;
        row->node_flag = source.node_flag;
        row->has_debug_port_out = source.has_debug_port_out;
        row->debug_port_out = source.debug_port_out;
        row->debug_port_out_enabled = source.debug_port_out_enabled;
        return;
    }
    row->link_mask = source.link_mask;
    row->link_mask2 = source.link_mask2;
    row->link_type = source.link_type;
    // Groups made in both lists at once carry only a link type.
    const int link = source.link_mask != 0 ? source.link_mask : source.link_type;
    if (link & 0x1)
        row->name = source.name;
    if (link & 0x8)
    {
        row->radix = source.radix;
        row->alias = source.alias;
    }
    if (link & 0x2)
        row->lsb_to_msb = source.lsb_to_msb;
    if (link & 0x4)
        row->mnemonic_table = source.mnemonic_table;
}

bool same_row(const SDR_NODE_ROW& a, const SDR_NODE_ROW& b)
{
    return a.link_id == b.link_id && a.name == b.name && a.signal_type == b.signal_type && a.alias == b.alias
           && a.display_type == b.display_type && a.depth == b.depth && a.subtree_end == b.subtree_end
           && a.expanded == b.expanded && a.capture_type == b.capture_type && a.tap_mode == b.tap_mode
           && a.storage_enabled == b.storage_enabled && a.transition_enabled == b.transition_enabled
           && a.inverted == b.inverted && a.node_flag == b.node_flag && a.radix == b.radix
           && a.lsb_to_msb == b.lsb_to_msb && a.mnemonic_table == b.mnemonic_table && a.link_mask == b.link_mask
           && a.link_mask2 == b.link_mask2 && a.link_type == b.link_type && a.plugin_group == b.plugin_group
           && a.wire_index == b.wire_index && a.data_tab_only == b.data_tab_only && a.link_row == b.link_row
           && a.parent_row == b.parent_row && a.has_debug_port_out == b.has_debug_port_out
           && a.debug_port_out == b.debug_port_out;
}

bool same_list(const SDR_NODE_LIST& a, const SDR_NODE_LIST& b)
{
    if (a.size() != b.size())
        return false;
    for (int i = 0; i < a.size(); ++i)
    {
        if (!same_row(a[i], b[i]))
            return false;
    }
    return true;
}

// Names of the leaves that exist only in the data list.
std::set<std::string> copied_leaf_names(const SDR_NODE_LIST& data)
{
    std::set<std::string> names;
    for (const SDR_NODE_ROW& row : data)
    {
        if (row.data_tab_only && !SDR_TX_SIGNAL_NODES::is_group_row(row))
            names.insert(row.name);
    }
    return names;
}

// Marks trigger row `leaf` and the groups holding it.
void mark_with_parents(const SDR_NODE_LIST& trigger, int leaf, std::vector<bool>* marks)
{
    for (int at = leaf; at >= 0 && !(*marks)[size_t(at)]; at = trigger[at].parent_row)
        (*marks)[size_t(at)] = true;
}

class DATA_LIST_BUILDER
{
public:
    // `wanted`: rows the data list may keep; `addable`: rows it brings in when missing.
    DATA_LIST_BUILDER(const SDR_NODE_LIST& trigger, const SDR_NODE_LIST& data)
        : m_trigger(trigger), m_wanted(size_t(trigger.size())), m_addable(size_t(trigger.size())),
          m_present(size_t(trigger.size()))
    {
        const std::set<std::string> copied = copied_leaf_names(data);
        m_index.reserve(size_t(trigger.size()));
        for (int i = 0; i < trigger.size(); ++i)
            m_index.emplace_back(trigger[i].link_id, i);
        std::stable_sort(m_index.begin(), m_index.end(),
                         [](const std::pair<int, int>& a, const std::pair<int, int>& b) { return a.first < b.first; });
        for (int i = 0; i < trigger.size(); ++i)
        {
            if (SDR_TX_SIGNAL_NODES::is_group_row(trigger[i]) || !takes_data(trigger[i]))
                continue;
            mark_with_parents(trigger, i, &m_wanted);
            if (copied.count(trigger[i].name) == 0)
                mark_with_parents(trigger, i, &m_addable);
        }
    }

    SDR_NODE_LIST build(const SDR_NODE_LIST& current)
    {
        keep_known_rows(current);
        if (m_present_count == 0)
            return build_fresh();
        adopt_twin_groups();
        for (int t = 0; t < m_trigger.size(); ++t)
        {
            if (m_addable[size_t(t)] && !is_present(m_trigger[t].link_id))
                add(t);
        }
        SDR_TX_SIGNAL_NODES::drop_empty_groups(m_next);
        return m_next;
    }

private:
    // Nothing of the trigger list is shown yet (a new document, a file without a data list):
    // the wanted rows in trigger order, then the rows that exist only in the data list.
    SDR_NODE_LIST build_fresh()
    {
        SDR_NODE_LIST fresh;
        for (int t = 0; t < m_trigger.size(); ++t)
        {
            if (m_addable[size_t(t)])
                fresh.append(fresh_row(t));
        }
        for (const SDR_NODE_ROW& row : m_next)
            fresh.append(row);
        SDR_TX_SIGNAL_NODES::drop_empty_groups(fresh);
        return fresh;
    }

    int trigger_index(const SDR_NODE_ROW& row) const
    {
        return row.data_tab_only ? -1 : index_of(row.link_id);
    }

    // The trigger row of a link id (the last one, should a list repeat it); -1 for none.
    int index_of(int link_id) const
    {
        const auto after = std::upper_bound(m_index.begin(), m_index.end(), link_id,
                                            [](int id, const std::pair<int, int>& e) { return id < e.first; });
        return after != m_index.begin() && (after - 1)->first == link_id ? (after - 1)->second : -1;
    }

    bool is_present(int link_id) const
    {
        const int t = index_of(link_id);
        return t >= 0 && m_present[size_t(t)];
    }

    // Only links of trigger rows are ever marked.
    void mark_present(int link_id)
    {
        const int t = index_of(link_id);
        if (t < 0 || m_present[size_t(t)])
            return;
        m_present[size_t(t)] = true;
        ++m_present_count;
    }

    void keep_known_rows(const SDR_NODE_LIST& current)
    {
        for (const SDR_NODE_ROW& row : current)
        {
            const int t = trigger_index(row);
            if (!row.data_tab_only && (t < 0 || !m_wanted[size_t(t)]))
                continue;
            SDR_NODE_ROW kept = row;
            if (t >= 0)
            {
                refresh_from(&kept, m_trigger[t]);
                kept.link_row = t;
                mark_present(kept.link_id);
            }
            m_next.append(std::move(kept));
        }
    }

    // The leaf link ids below row `at` of `list` (its subtree must be recomputed).
    static QSet<int> leaf_links(const SDR_NODE_LIST& list, int at)
    {
        QSet<int> links;
        for (int i = at + 1; i <= list[at].subtree_end && i < list.size(); ++i)
        {
            if (!SDR_TX_SIGNAL_NODES::is_group_row(list[i]))
                links.insert(list[i].link_id);
        }
        return links;
    }

    // A group made in the data list first and then over the same leaves in the trigger list
    // (duplicate state-machine nodes are grouped in both lists directly) is the trigger group's
    // twin: it takes the trigger group's link and keeps its own name and bit order.
    void adopt_twin_groups()
    {
        SDR_TX_SIGNAL_NODES::recompute_tree(m_next);
        for (int t = 0; t < m_trigger.size(); ++t)
        {
            if (!m_addable[size_t(t)] || is_present(m_trigger[t].link_id) ||
                !SDR_TX_SIGNAL_NODES::is_group_row(m_trigger[t]))
                continue;
            const QSet<int> wanted = leaf_links(m_trigger, t);
            for (int i = 0; i < m_next.size() && !wanted.isEmpty(); ++i)
            {
                SDR_NODE_ROW& row = m_next[i];
                if (!row.data_tab_only || !SDR_TX_SIGNAL_NODES::is_group_row(row) || leaf_links(m_next, i) != wanted)
                    continue;
                row.link_id = m_trigger[t].link_id;
                row.data_tab_only = false;
                row.link_row = t;
                mark_present(row.link_id);
                break;
            }
        }
    }

    SDR_NODE_ROW fresh_row(int t) const
    {
        SDR_NODE_ROW row = m_trigger[t];
        row.data_tab_only = false;
        row.selected = false;
        row.invalid = false;
        row.link_row = t;
        return row;
    }

    int position_of(int link_id) const
    {
        for (int i = 0; i < m_next.size(); ++i)
        {
            if (m_next[i].link_id == link_id && !m_next[i].data_tab_only)
                return i;
        }
        return -1;
    }

    // Where a new row of trigger row t goes: at the end of its parent's rows in the data list,
    // else at the end of the list. Returns the position and sets the depth.
    int place_under_parent(int t, int* depth) const
    {
        const int parent = m_trigger[t].parent_row;
        const int q = parent >= 0 ? position_of(m_trigger[parent].link_id) : -1;
        if (q < 0)
        {
            *depth = 0;
            return m_next.size();
        }
        int k = q + 1;
        while (k < m_next.size() && m_next[k].depth > m_next[q].depth)
            ++k;
        *depth = m_next[q].depth + 1;
        return k;
    }

    void add(int t)
    {
        int depth = 0;
        int at = place_under_parent(t, &depth);
        SDR_NODE_LIST block{fresh_row(t)};
        block[0].depth = depth;
        if (SDR_TX_SIGNAL_NODES::is_group_row(m_trigger[t]))
            gather_members(t, &block, &at);
        for (int i = 0; i < block.size(); ++i)
            m_next.insert(at + i, block[i]);
        mark_present(m_trigger[t].link_id);
    }

    // Moves the rows already shown that belong under the new group t into the block, in
    // trigger order; the block then takes the place of the first of them.
    void gather_members(int t, SDR_NODE_LIST* block, int* at)
    {
        const int end = m_trigger[t].subtree_end;
        std::vector<std::pair<int, int>> members; // trigger index, data position
        for (int i = 0; i < m_next.size(); ++i)
        {
            const int ti = trigger_index(m_next[i]);
            if (ti > t && ti <= end)
                members.emplace_back(ti, i);
        }
        if (members.empty())
            return;
        int first = members[0].second;
        for (const auto& member : members)
            first = std::min(first, member.second);
        std::sort(members.begin(), members.end());
        const int base = (*block)[0].depth - m_trigger[t].depth;
        for (const auto& member : members)
        {
            SDR_NODE_ROW row = m_next[member.second];
            row.depth = base + m_trigger[member.first].depth;
            block->append(row);
        }
        // One pass: the gathered rows leave their places, the block goes in before `first`.
        std::vector<bool> taken(size_t(m_next.size()), false);
        for (const auto& member : members)
            taken[size_t(member.second)] = true;
        SDR_NODE_LIST rest;
        rest.reserve(m_next.size());
        for (int i = 0; i < m_next.size(); ++i)
        {
            if (!taken[size_t(i)])
                rest.append(m_next[i]);
        }
        m_next = rest;
        *at = std::min(*at, first);
        if (*at > m_next.size())
            *at = m_next.size();
    }

    const SDR_NODE_LIST& m_trigger;
    std::vector<bool> m_wanted;
    std::vector<bool> m_addable;
    // Link id and index of each trigger row, by link id: one allocation, not a node per row.
    std::vector<std::pair<int, int>> m_index;
    // The trigger rows whose link the data list has (by trigger index), and how many.
    std::vector<bool> m_present;
    int m_present_count = 0;
    SDR_NODE_LIST m_next;
};
} // namespace

void SDR_TX_SIGNAL_SET::sync_data_list(SDR_DATA_SIGNAL_SET* set, SDR_DATA_TRIGGER* trigger, bool as_edit)
{
    if (set == nullptr || trigger == nullptr || trigger->m_signal_set != set)
        return;
    // The trigger list is kept recomputed by every structural change, so parent rows and
    // subtree ends can be trusted here.
    DATA_LIST_BUILDER builder(trigger->state().trigger_list, set->state().data_list);
    const SDR_NODE_LIST next = builder.build(set->state().data_list);
    if (same_list(next, set->state().data_list))
        return;
    if (!as_edit)
    {
        set->edit_transient().data_list = next;
        return;
    }
    SDR_EDIT_SCOPE scope(set->m_instance);
    set->edit().data_list = next;
}
