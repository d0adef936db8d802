// SDR_TX_SIGNAL_NODES: per-row conditions and comparisons of each level and storage-qualifier
// pattern, read and written in the copy (normal or power-up) that the façade selects.
#include "host/sdr/sdr_tx_signal_nodes.h"

namespace
{
// The stored value at a level, or the default of a level the row's arrays do not reach yet
// (rows made before the level count grew).
SDR_DATA_TRIGGER_CONDITION level_condition(const SDR_NODE_ROW& row, const SDR_NODE_PATTERNS& p, int index)
{
    return index < p.conditions.size() ? p.conditions[index] : SDR_TX_SIGNAL_NODES::default_condition(row);
}

SDR_NODE_COMPARISON level_comparison(const SDR_NODE_PATTERNS& p, int index)
{
    return index < p.comparisons.size() ? p.comparisons[index] : SDR_NODE_COMPARISON();
}

SDR_NODE_COMPARISON comparison_of(const SDR_NODE_PATTERNS& p, int index, bool sq)
{
    return sq ? p.sq_comparisons[index] : level_comparison(p, index);
}

SDR_NODE_COMPARISON& comparison_ref(SDR_NODE_PATTERNS& p, int index, bool sq)
{
    return sq ? p.sq_comparisons[index] : p.comparisons[index];
}
} // namespace

SDR_DATA_TRIGGER_CONDITION SDR_TX_SIGNAL_NODES::default_condition(const SDR_NODE_ROW& row)
{
    return is_group_row(row) ? SDR_CTYPE_GROUP_FIRST : SDR_CTYPE_DONT_CARE;
}

void SDR_TX_SIGNAL_NODES::fit_levels(SDR_NODE_ROW& row, int levels)
{
    const SDR_DATA_TRIGGER_CONDITION fill = default_condition(row);
    for (SDR_NODE_PATTERNS& p : row.patterns)
    {
        const int old_size = p.conditions.size();
        if (old_size != levels)
            p.conditions.resize(levels);
        for (int i = old_size; i < levels; ++i)
            p.conditions[i] = fill;
        if (p.comparisons.size() != levels)
            p.comparisons.resize(levels);
    }
}

int SDR_TX_SIGNAL_NODES::get_num_trigger_levels() const
{
    const SDR_DATA_TRIGGER* trigger = active_trigger();
    return trigger != nullptr ? int(trigger->state().levels.size()) : 0;
}

bool SDR_TX_SIGNAL_NODES::valid_pattern(int index, bool sq) const
{
    if (sq)
        return index >= 0 && index < SDR_NUM_SQ_PATTERNS;
    return index >= 0 && index < get_num_trigger_levels();
}

const SDR_NODE_ROW* SDR_TX_SIGNAL_NODES::condition_row(int row) const
{
    return row_at(row);
}

SDR_NODE_ROW* SDR_TX_SIGNAL_NODES::edit_condition_row(int row)
{
    if (row_at(row) == nullptr)
        return nullptr;
    SDR_NODE_LIST* list = edit_rows(true);
    return list != nullptr ? &(*list)[row] : nullptr;
}

bool SDR_TX_SIGNAL_NODES::write_pattern(int row, int index, bool sq, const PATTERN_WRITE& apply)
{
    if (!valid_pattern(index, sq) || condition_row(row) == nullptr)
        return false;
    SDR_EDIT_SCOPE scope(m_instance);
    SDR_NODE_ROW* target = edit_condition_row(row);
    if (target == nullptr)
        return false;
    fit_levels(*target, get_num_trigger_levels());
    apply(target->patterns[pattern_copy()], index, sq);
    return true;
}

SDR_DATA_TRIGGER_CONDITION SDR_TX_SIGNAL_NODES::get_condition(int row, int index, bool sq) const
{
    const SDR_NODE_ROW* r = condition_row(row);
    if (r == nullptr || !valid_pattern(index, sq))
        return SDR_CTYPE_DISABLED;
    const SDR_NODE_PATTERNS& p = r->patterns[pattern_copy()];
    return sq ? p.sq_conditions[index] : level_condition(*r, p, index);
}

bool SDR_TX_SIGNAL_NODES::set_condition(int row, int index, bool sq, SDR_DATA_TRIGGER_CONDITION condition,
                                        bool notify)
{
    (void)notify; // nothing listens to the repository in the stand-in
    if (condition < SDR_CTYPE_DISABLED || condition > SDR_CTYPE_ADVANCED || is_refused("set_condition"))
        return false;
    if (valid_pattern(index, sq) && get_condition(row, index, sq) == condition)
        return condition_row(row) != nullptr;
    return write_pattern(row, index, sq, [condition](SDR_NODE_PATTERNS& p, int i, bool in_sq) {
        (in_sq ? p.sq_conditions[i] : p.conditions[i]) = condition;
    });
}

bool SDR_TX_SIGNAL_NODES::is_group_condition(SDR_DATA_TRIGGER_CONDITION condition) const
{
    return condition >= SDR_CTYPE_GROUP_FIRST && condition <= SDR_CTYPE_GROUP_LAST;
}

bool SDR_TX_SIGNAL_NODES::is_comparison_operand_condition(SDR_DATA_TRIGGER_CONDITION condition) const
{
    return condition >= SDR_CTYPE_COMPARE_GREATER_THAN && condition <= SDR_CTYPE_COMPARE_TRUE;
}

bool SDR_TX_SIGNAL_NODES::is_comparison_group_member(int row, int index, bool sq) const
{
    const SDR_NODE_ROW* r = condition_row(row);
    if (r == nullptr || !is_group_row(*r) || !valid_pattern(index, sq))
        return false;
    return comparison_of(r->patterns[pattern_copy()], index, sq).member;
}

bool SDR_TX_SIGNAL_NODES::is_comparison_enabled(int row, int index, bool sq) const
{
    const SDR_NODE_ROW* r = condition_row(row);
    if (r == nullptr || !valid_pattern(index, sq))
        return false;
    return comparison_of(r->patterns[pattern_copy()], index, sq).enabled;
}

bool SDR_TX_SIGNAL_NODES::set_comparison_enabled(int row, int index, bool sq, bool on, bool flag)
{
    (void)flag;
    const SDR_NODE_ROW* r = condition_row(row);
    if (r == nullptr || !is_group_row(*r) || !valid_pattern(index, sq))
        return false;
    const SDR_NODE_COMPARISON current = comparison_of(r->patterns[pattern_copy()], index, sq);
    if (current.enabled == on && (!on || current.member))
        return true;
    return write_pattern(row, index, sq, [on](SDR_NODE_PATTERNS& p, int i, bool in_sq) {
        SDR_NODE_COMPARISON& c = comparison_ref(p, i, in_sq);
        c.enabled = on;
        if (on)
            c.member = true;
    });
}

SDR_DATA_TRIGGER_CONDITION SDR_TX_SIGNAL_NODES::get_comparison_operand(int row, int index, bool sq, int operand) const
{
    const SDR_NODE_ROW* r = condition_row(row);
    if (r == nullptr || !valid_pattern(index, sq) || (operand != 1 && operand != 2))
        return SDR_CTYPE_DISABLED;
    const SDR_NODE_COMPARISON c = comparison_of(r->patterns[pattern_copy()], index, sq);
    return operand == 1 ? c.op1 : c.op2;
}

bool SDR_TX_SIGNAL_NODES::set_comparison_operand(int row, int index, bool sq, int operand,
                                                 SDR_DATA_TRIGGER_CONDITION condition)
{
    const SDR_NODE_ROW* r = condition_row(row);
    if (r == nullptr || !is_group_row(*r) || (operand != 1 && operand != 2)
        || !is_comparison_operand_condition(condition))
        return false;
    if (valid_pattern(index, sq) && get_comparison_operand(row, index, sq, operand) == condition)
        return true;
    return write_pattern(row, index, sq, [operand, condition](SDR_NODE_PATTERNS& p, int i, bool in_sq) {
        SDR_NODE_COMPARISON& c = comparison_ref(p, i, in_sq);
        (operand == 1 ? c.op1 : c.op2) = condition;
    });
}

int SDR_TX_SIGNAL_NODES::get_comparison_value(int row, int index, bool sq, int operand) const
{
    const SDR_NODE_ROW* r = condition_row(row);
    if (r == nullptr || !valid_pattern(index, sq) || (operand != 1 && operand != 2))
        return 0;
    const SDR_NODE_COMPARISON c = comparison_of(r->patterns[pattern_copy()], index, sq);
    return operand == 1 ? c.value1 : c.value2;
}

bool SDR_TX_SIGNAL_NODES::set_comparison_value(int row, int index, bool sq, int bound, int value)
{
    const SDR_NODE_ROW* r = condition_row(row);
    if (r == nullptr || !is_group_row(*r) || (bound != 1 && bound != 2))
        return false;
    if (valid_pattern(index, sq) && get_comparison_value(row, index, sq, bound) == value)
        return true;
    return write_pattern(row, index, sq, [bound, value](SDR_NODE_PATTERNS& p, int i, bool in_sq) {
        SDR_NODE_COMPARISON& c = comparison_ref(p, i, in_sq);
        (bound == 1 ? c.value1 : c.value2) = value;
    });
}

// Runs when a document is opened: a group row whose condition is not a group pattern gets the
// default group pattern in both copies. It only repairs what a file left inconsistent, so it is
// neither an edit of the user nor a reason to call the document modified.
bool SDR_TX_SIGNAL_NODES::initialize_group_condition(int row, int index, bool sq)
{
    const SDR_NODE_ROW* r = condition_row(row);
    if (r == nullptr || !valid_pattern(index, sq))
        return false;
    if (!is_group_row(*r))
        return true;
    bool needed = false;
    for (const SDR_NODE_PATTERNS& p : r->patterns)
        needed = needed || !is_group_condition(sq ? p.sq_conditions[index] : level_condition(*r, p, index));
    if (!needed)
        return true;
    if (is_data_list())
        return true; // data rows keep no conditions of their own
    SDR_NODE_LIST* list = edit_rows(false);
    if (list == nullptr)
        return false;
    SDR_NODE_ROW& target = (*list)[row];
    fit_levels(target, get_num_trigger_levels());
    for (SDR_NODE_PATTERNS& p : target.patterns)
    {
        SDR_DATA_TRIGGER_CONDITION& c = sq ? p.sq_conditions[index] : p.conditions[index];
        if (!is_group_condition(c))
            c = SDR_CTYPE_GROUP_FIRST;
    }
    return true;
}
