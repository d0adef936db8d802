// SDR_TX_SIGNAL_NODES: the flat group tree (recompute pass), deleting, copying, moving,
// grouping and ungrouping rows, and the tree queries.
#include "host/sdr/sdr_tx_signal_nodes.h"

#include <algorithm>
#include <set>

// ---- tree bookkeeping ------------------------------------------------------------------------

namespace
{
// The tree fields of one row as the rows around it make them.
struct TREE_FIELDS
{
    int depth = 0;
    int subtree_end = 0;
    int parent_row = -1;
    int wire_index = -1;
    SDR_DATA_NODE_DISPLAY_TYPE display_type = SDR_NTYPE_STANDALONE;
};

std::vector<TREE_FIELDS> tree_fields(const SDR_NODE_LIST& list)
{
    const int n = list.size();
    std::vector<TREE_FIELDS> fields(static_cast<size_t>(n));
    std::vector<int> open_groups;
    int wire = 0;
    for (int i = 0; i < n; ++i)
    {
        const SDR_NODE_ROW& row = list[i];
        TREE_FIELDS& f = fields[size_t(i)];
        const bool group = SDR_TX_SIGNAL_NODES::is_group_row(row);
        // A row may sit at most one level below an open group, never below a leaf.
        const int allowed =
            i == 0 ? 0 : fields[size_t(i) - 1].depth + (SDR_TX_SIGNAL_NODES::is_group_row(list[i - 1]) ? 1 : 0);
        f.depth = std::max(0, std::min(row.depth, allowed));
        while (!open_groups.empty() && fields[size_t(open_groups.back())].depth >= f.depth)
        {
            fields[size_t(open_groups.back())].subtree_end = i - 1;
            open_groups.pop_back();
        }
        f.subtree_end = i;
        f.parent_row = open_groups.empty() ? -1 : open_groups.back();
        f.wire_index = group ? -1 : wire++;
        f.display_type = group ? (row.expanded ? SDR_NTYPE_GROUP : SDR_NTYPE_GROUP_ALT) : row.display_type;
        if (group)
            open_groups.push_back(i);
    }
    for (int g : open_groups)
        fields[size_t(g)].subtree_end = n - 1;
    for (int i = 0; i < n; ++i)
    {
        TREE_FIELDS& f = fields[size_t(i)];
        if (SDR_TX_SIGNAL_NODES::is_group_row(list[i]))
            continue;
        if (f.depth == 0)
            f.display_type = SDR_NTYPE_STANDALONE;
        else
            f.display_type =
                i + 1 < n && fields[size_t(i) + 1].depth >= f.depth ? SDR_NTYPE_MEMBER : SDR_NTYPE_LAST_MEMBER;
    }
    return fields;
}

bool same_tree_fields(const SDR_NODE_ROW& row, const TREE_FIELDS& f)
{
    return row.depth == f.depth && row.subtree_end == f.subtree_end && row.parent_row == f.parent_row &&
           row.wire_index == f.wire_index && row.display_type == f.display_type;
}
} // namespace

// The fields are worked out from a read-only view and written only into the rows whose fields
// change: a list that is already right (most are, after a load or a small edit) keeps sharing
// its chunks with its copies and keeps its version.
void SDR_TX_SIGNAL_NODES::recompute_tree(SDR_NODE_LIST& list)
{
    const std::vector<TREE_FIELDS> fields = tree_fields(list);
    const SDR_NODE_LIST& rows = list;
    for (int i = 0; i < rows.size(); ++i)
    {
        const TREE_FIELDS& f = fields[size_t(i)];
        if (same_tree_fields(rows[i], f))
            continue;
        SDR_NODE_ROW& row = list[i];
        row.depth = f.depth;
        row.subtree_end = f.subtree_end;
        row.parent_row = f.parent_row;
        row.wire_index = f.wire_index;
        row.display_type = f.display_type;
    }
}

// A top-level row after the last one changes nothing before it (the last row of a list is
// always a leaf or an empty group, whose subtree ends with itself), so only the new row's
// derived fields need setting.
void SDR_TX_SIGNAL_NODES::append_leaf(SDR_NODE_LIST& list, SDR_NODE_ROW row)
{
    const int n = list.size();
    if (n > 0 && (is_group_row(list.constLast()) || list.constLast().wire_index < 0))
    {
        list.append(row);
        recompute_tree(list);
        return;
    }
    row.depth = 0;
    row.display_type = SDR_NTYPE_STANDALONE;
    row.subtree_end = n;
    row.parent_row = -1;
    row.wire_index = n > 0 ? list.constLast().wire_index + 1 : 0;
    list.append(row);
}

void SDR_TX_SIGNAL_NODES::drop_empty_groups(SDR_NODE_LIST& list)
{
    for (;;)
    {
        recompute_tree(list);
        const SDR_NODE_LIST& rows = list;
        auto empty_group = [&rows](int i) { return is_group_row(rows[i]) && rows[i].subtree_end <= i; };
        int first = 0;
        while (first < rows.size() && !empty_group(first))
            ++first;
        if (first == rows.size())
            return;
        SDR_NODE_LIST kept = rows.mid(0, first);
        for (int i = first + 1; i < rows.size(); ++i)
        {
            if (!empty_group(i))
                kept.append(rows[i]);
        }
        list = kept;
    }
}

std::vector<bool> SDR_TX_SIGNAL_NODES::with_subtrees(const SDR_NODE_LIST& list, std::vector<bool> chosen)
{
    chosen.resize(size_t(list.size()), false);
    for (int i = 0; i < list.size(); ++i)
    {
        if (chosen[size_t(i)] && is_group_row(list[i]))
            std::fill(chosen.begin() + i, chosen.begin() + list[i].subtree_end + 1, true);
    }
    return chosen;
}

void SDR_TX_SIGNAL_NODES::finish_structure(SDR_NODE_LIST& list, const std::vector<int>& removed_links)
{
    drop_empty_groups(list);
    structure_changed(removed_links);
}

int SDR_TX_SIGNAL_NODES::remove_rows(SDR_NODE_LIST& list, std::vector<bool> doomed, std::vector<int>* removed_links)
{
    doomed = with_subtrees(list, doomed);
    SDR_NODE_LIST kept;
    int removed = 0;
    for (int i = 0; i < list.size(); ++i)
    {
        if (!doomed[size_t(i)])
        {
            kept.append(list[i]);
            continue;
        }
        ++removed;
        if (!list[i].data_tab_only && !is_group_row(list[i]))
            removed_links->push_back(list[i].link_id);
    }
    list = kept;
    return removed;
}

std::vector<bool> SDR_TX_SIGNAL_NODES::selected_subtrees(const SDR_NODE_LIST& list) const
{
    std::vector<bool> chosen(size_t(list.size()), false);
    for (int i = 0; i < list.size(); ++i)
        chosen[size_t(i)] = list[i].selected;
    return with_subtrees(list, chosen);
}

SDR_NODE_LIST SDR_TX_SIGNAL_NODES::take_block(const SDR_NODE_LIST& list, const std::vector<bool>& chosen) const
{
    SDR_NODE_LIST block;
    for (int i = 0; i < list.size(); ++i)
    {
        if (chosen[size_t(i)])
            block.append(list[i]);
    }
    return block;
}

// Inserts `block` before row `before` (list size = append). The rows become siblings of the
// row at `before`, or members of the group that ends just before it when `into_group` is set.
int SDR_TX_SIGNAL_NODES::insert_copies(SDR_NODE_LIST& list, SDR_NODE_LIST block, int before, bool into_group)
{
    if (before < 0 || before > list.size() || block.isEmpty())
        return -1;
    int depth = 0;
    if (into_group && before > 0)
        depth = list[before - 1].depth + (is_group_row(list[before - 1]) ? 1 : 0);
    else if (before < list.size())
        depth = list[before].depth;
    int lowest = block[0].depth;
    for (const SDR_NODE_ROW& row : block)
        lowest = std::min(lowest, row.depth);
    for (SDR_NODE_ROW& row : block)
        row.depth = row.depth - lowest + depth;
    for (int i = 0; i < block.size(); ++i)
        list.insert(before + i, block[i]);
    return before;
}

// ---- editing ---------------------------------------------------------------------------------

int SDR_TX_SIGNAL_NODES::delete_node(int first, int last)
{
    const int n = get_num_nodes();
    if (first < 0 || last < first || last >= n || is_refused("delete_node"))
        return 0;
    std::vector<bool> doomed(size_t(n), false);
    std::fill(doomed.begin() + first, doomed.begin() + last + 1, true);
    return delete_rows(doomed);
}

int SDR_TX_SIGNAL_NODES::delete_rows(const std::vector<bool>& doomed)
{
    SDR_EDIT_SCOPE scope(m_instance);
    SDR_NODE_LIST* list = edit_rows(true);
    if (list == nullptr)
        return 0;
    std::vector<int> removed_links;
    const int before = list->size();
    remove_rows(*list, doomed, &removed_links);
    drop_empty_groups(*list); // a group emptied by the deletion goes too, and counts
    const int removed = before - list->size();
    structure_changed(removed_links);
    return removed;
}

bool SDR_TX_SIGNAL_NODES::delete_node(const char* name)
{
    const SDR_NODE_LIST* list = rows();
    if (list == nullptr || name == nullptr)
        return false;
    for (int i = 0; i < list->size(); ++i)
    {
        if (list->at(i).name == name)
            return delete_node(i, i) > 0;
    }
    return false;
}

int SDR_TX_SIGNAL_NODES::delete_selected_nodes()
{
    const SDR_NODE_LIST* current = rows();
    if (current == nullptr || is_refused("delete_node"))
        return 0;
    const std::vector<bool> doomed = selected_subtrees(*current);
    if (std::find(doomed.begin(), doomed.end(), true) == doomed.end())
        return 0;
    return delete_rows(doomed);
}

int SDR_TX_SIGNAL_NODES::copy_block(SDR_NODE_LIST block, int before, bool into_group)
{
    if (block.isEmpty() || before < 0 || before > get_num_nodes())
        return -1;
    for (SDR_NODE_ROW& row : block)
    {
        row.link_id = next_link_id();
        row.data_tab_only = is_data_list();
        row.selected = false;
        if (row.plugin_group != nullptr)
        {
            SDR_PLUGIN_GROUP* record = m_instance->create_plugin_group_record();
            record->copy_settings_from(*row.plugin_group);
            row.plugin_group = record;
        }
    }
    SDR_EDIT_SCOPE scope(m_instance);
    SDR_NODE_LIST* list = edit_rows(true);
    const int at = insert_copies(*list, block, before, into_group);
    finish_structure(*list, {});
    return at;
}

int SDR_TX_SIGNAL_NODES::copy_before_node(int first, int last, int before, bool into_group)
{
    const SDR_NODE_LIST* current = rows();
    if (current == nullptr || first < 0 || last < first || last >= current->size() || is_refused("copy_node"))
        return -1;
    std::vector<bool> chosen(size_t(current->size()), false);
    std::fill(chosen.begin() + first, chosen.begin() + last + 1, true);
    return copy_block(take_block(*current, with_subtrees(*current, chosen)), before, into_group);
}

bool SDR_TX_SIGNAL_NODES::copy_selected_before_node(int before, bool into_group)
{
    const SDR_NODE_LIST* current = rows();
    if (current == nullptr || is_refused("copy_node"))
        return false;
    return copy_block(take_block(*current, selected_subtrees(*current)), before, into_group) >= 0;
}

bool SDR_TX_SIGNAL_NODES::move_selected_before_node(int before, bool into_group)
{
    const SDR_NODE_LIST* current = rows();
    if (current == nullptr || is_invalid_index_for_drop(before, into_group) || is_refused("move_node"))
        return false;
    const std::vector<bool> chosen = selected_subtrees(*current);
    SDR_NODE_LIST block = take_block(*current, chosen);
    if (block.isEmpty())
        return false;
    int target = before;
    for (int i = 0; i < before && i < int(chosen.size()); ++i)
        target -= chosen[size_t(i)] ? 1 : 0;
    SDR_EDIT_SCOPE scope(m_instance);
    SDR_NODE_LIST* list = edit_rows(true);
    SDR_NODE_LIST rest = take_block(*list, [&chosen] {
        std::vector<bool> keep(chosen.size());
        for (size_t i = 0; i < chosen.size(); ++i)
            keep[i] = !chosen[i];
        return keep;
    }());
    *list = rest;
    insert_copies(*list, block, target, into_group);
    finish_structure(*list, {});
    return true;
}

bool SDR_TX_SIGNAL_NODES::is_valid_group_range(const SDR_NODE_LIST& list, int first, int last) const
{
    if (first < 0 || last < first || last >= list.size())
        return false;
    const int depth = list[first].depth;
    for (int i = first; i <= last; ++i)
    {
        if (list[i].depth < depth)
            return false;
    }
    return last + 1 == list.size() || list[last + 1].depth <= depth;
}

bool SDR_TX_SIGNAL_NODES::selection_range(int* first, int* last) const
{
    const SDR_NODE_LIST* list = rows();
    if (list == nullptr)
        return false;
    const std::vector<bool> chosen = selected_subtrees(*list);
    const auto begin = std::find(chosen.begin(), chosen.end(), true);
    if (begin == chosen.end())
        return false;
    *first = int(begin - chosen.begin());
    *last = int(chosen.rend() - std::find(chosen.rbegin(), chosen.rend(), true)) - 1;
    return std::find(begin, chosen.begin() + *last + 1, false) == chosen.begin() + *last + 1;
}

bool SDR_TX_SIGNAL_NODES::is_valid_selection_for_grouping() const
{
    int first = 0;
    int last = 0;
    return selection_range(&first, &last) && is_valid_group_range(*rows(), first, last);
}

bool SDR_TX_SIGNAL_NODES::is_invalid_index_for_drop(int index, bool flag) const
{
    (void)flag;
    const SDR_NODE_LIST* list = rows();
    if (list == nullptr || index < 0 || index > list->size())
        return true;
    for (int s = 0; s < index; ++s)
    {
        if (list->at(s).selected && index <= list->at(s).subtree_end)
            return true;
    }
    const int parent = index < list->size() ? get_parent_index(index, 1) : -1;
    return parent >= 0 && list->at(parent).radix == SDR_GTYPE_PLUGIN;
}

std::string SDR_TX_SIGNAL_NODES::unique_group_name(const SDR_NODE_LIST& list) const
{
    std::set<std::string> taken;
    for (const SDR_NODE_ROW& row : list)
    {
        if (is_group_row(row))
            taken.insert(row.name);
    }
    for (int n = 1;; ++n)
    {
        const std::string name = "group_" + std::to_string(n);
        if (taken.count(name) == 0)
            return name;
    }
}

bool SDR_TX_SIGNAL_NODES::group_node(int first, int last, const char* name)
{
    const SDR_NODE_LIST* current = rows();
    if (current == nullptr || !is_valid_group_range(*current, first, last) || is_refused("group_node"))
        return false;
    const int parent = get_parent_index(first, 1);
    if (parent >= 0 && current->at(parent).radix == SDR_GTYPE_PLUGIN)
        return false;
    if ((name != nullptr && !text_fits(name, "the group name")) || !has_row_room(1, 2))
        return false;
    SDR_NODE_ROW group;
    group.link_id = next_link_id();
    group.name = name != nullptr && *name != '\0' ? std::string(name) : unique_group_name(*current);
    group.display_type = SDR_NTYPE_GROUP;
    group.depth = current->at(first).depth;
    group.radix = SDR_GTYPE_HEX;
    group.tap_mode = current->at(first).tap_mode;
    group.data_tab_only = is_data_list();
    fit_levels(group, get_num_trigger_levels());
    for (SDR_NODE_PATTERNS& p : group.patterns)
        std::fill(p.sq_conditions, p.sq_conditions + SDR_NUM_SQ_PATTERNS, SDR_CTYPE_GROUP_FIRST);
    SDR_EDIT_SCOPE scope(m_instance);
    SDR_NODE_LIST* list = edit_rows(true);
    for (int i = first; i <= last; ++i)
        ++(*list)[i].depth;
    list->insert(first, group);
    finish_structure(*list, {});
    return true;
}

bool SDR_TX_SIGNAL_NODES::group_selected_nodes()
{
    int first = 0;
    int last = 0;
    return selection_range(&first, &last) && group_node(first, last, nullptr);
}

bool SDR_TX_SIGNAL_NODES::ungroup_node(int row)
{
    const SDR_NODE_ROW* r = row_at(row);
    if (r == nullptr || !is_group_row(*r) || is_refused("ungroup_node"))
        return false;
    const int end = r->subtree_end;
    SDR_EDIT_SCOPE scope(m_instance);
    SDR_NODE_LIST* list = edit_rows(true);
    for (int i = row + 1; i <= end; ++i)
        --(*list)[i].depth;
    list->remove(row);
    finish_structure(*list, {});
    return true;
}

bool SDR_TX_SIGNAL_NODES::toggle_node(int row)
{
    const SDR_NODE_ROW* r = row_at(row);
    if (r == nullptr || !is_group_row(*r))
        return false;
    return write_row(row, 0, [](SDR_NODE_ROW& w) {
        w.expanded = !w.expanded;
        w.display_type = w.expanded ? SDR_NTYPE_GROUP : SDR_NTYPE_GROUP_ALT;
    });
}

// ---- tree queries ----------------------------------------------------------------------------

bool SDR_TX_SIGNAL_NODES::is_group_member_node(int row) const
{
    return has_parent(row);
}

bool SDR_TX_SIGNAL_NODES::is_parent_visible(int row) const
{
    return row_at(row) != nullptr && !is_any_parent_not_visible(row);
}

bool SDR_TX_SIGNAL_NODES::is_any_parent_not_visible(int row) const
{
    for (int parent = get_parent_index(row, 1); parent >= 0; parent = get_parent_index(parent, 1))
    {
        if (!row_at(parent)->expanded)
            return true;
    }
    return false;
}

bool SDR_TX_SIGNAL_NODES::has_parent(int row) const
{
    const SDR_NODE_ROW* r = row_at(row);
    return r != nullptr && r->depth > 0;
}

bool SDR_TX_SIGNAL_NODES::has_children(int row) const
{
    const SDR_NODE_ROW* r = row_at(row);
    return r != nullptr && is_group_row(*r) && r->subtree_end > row;
}

bool SDR_TX_SIGNAL_NODES::is_grandparent(int row) const
{
    std::vector<int> children;
    get_direct_children(row, &children);
    for (int child : children)
    {
        if (is_group_row(*row_at(child)))
            return true;
    }
    return false;
}

bool SDR_TX_SIGNAL_NODES::is_last_child(int row) const
{
    const int parent = get_parent_index(row, 1);
    return parent >= 0 && row_at(row)->subtree_end == row_at(parent)->subtree_end;
}

int SDR_TX_SIGNAL_NODES::get_last_child_index(int row) const
{
    const SDR_NODE_ROW* r = row_at(row);
    return r != nullptr ? r->subtree_end : -1;
}

bool SDR_TX_SIGNAL_NODES::is_node_expanded(int row) const
{
    const SDR_NODE_ROW* r = row_at(row);
    return r != nullptr && is_group_row(*r) && r->expanded;
}

int SDR_TX_SIGNAL_NODES::get_num_leaf_children(int row) const
{
    std::vector<int> children;
    get_direct_children(row, &children);
    int leaves = 0;
    for (int child : children)
        leaves += is_group_row(*row_at(child)) ? 0 : 1;
    return leaves;
}

bool SDR_TX_SIGNAL_NODES::is_descendant(int ancestor, int row) const
{
    const SDR_NODE_ROW* a = row_at(ancestor);
    return a != nullptr && row_at(row) != nullptr && ancestor < row && row <= a->subtree_end;
}

int SDR_TX_SIGNAL_NODES::get_parent_index(int row, int level) const
{
    const SDR_NODE_ROW* r = row_at(row);
    if (r == nullptr || level < 1)
        return -1;
    int current = row;
    for (int step = 0; step < level && current >= 0; ++step)
        current = row_at(current)->parent_row;
    return current;
}

void SDR_TX_SIGNAL_NODES::get_direct_children(int row, std::vector<int>* children) const
{
    if (children == nullptr)
        return;
    children->clear();
    if (!has_children(row))
        return;
    const SDR_NODE_LIST& list = *rows();
    const int end = list[row].subtree_end;
    for (int i = row + 1; i <= end; i = list[i].subtree_end + 1)
        children->push_back(i);
}

bool SDR_TX_SIGNAL_NODES::has_nested_groups() const
{
    const SDR_NODE_LIST* list = rows();
    if (list == nullptr)
        return false;
    for (const SDR_NODE_ROW& row : *list)
    {
        if (is_group_row(row) && row.depth > 0)
            return true;
    }
    return false;
}
