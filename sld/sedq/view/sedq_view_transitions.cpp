// SEDQ_VIEW: stepping the master time bar to the next or previous change of value of the selected
// nodes (all nodes when none is selected), or to where the valid data breaks off, searched in the
// rows the waveform painting keeps: a word of 64 samples at a time.
#include "sedq/view/sedq_view.h"

#include "sedq/model/sedq_node.h"
#include "sedq/model/sedq_tx_manager.h"

#include <algorithm>

namespace
{
// The first set bit of the row in [from, end), `end` when none; the row is read a word at a time.
template <class WORDS> int scan_forward(WORDS words, int from, int end)
{
    for (int k = from / 64; k * 64 < end; ++k)
    {
        uint64_t bits = words(k);
        if (k == from / 64)
            bits &= ~uint64_t(0) << (from % 64);
        if (bits != 0)
            return std::min(k * 64 + __builtin_ctzll(bits), end);
    }
    return end;
}

// The last set bit of the row in [begin, from], `begin - 1` when none.
template <class WORDS> int scan_backward(WORDS words, int from, int begin)
{
    if (from < begin)
        return begin - 1;
    for (int k = from / 64; k >= 0 && k * 64 + 63 >= begin; --k)
    {
        uint64_t bits = words(k);
        if (k == from / 64)
            bits &= from % 64 == 63 ? ~uint64_t(0) : (uint64_t(1) << (from % 64 + 1)) - 1;
        if (bits != 0)
            return std::max(k * 64 + 63 - __builtin_clzll(bits), begin - 1);
    }
    return begin - 1;
}
} // namespace

void SEDQ_VIEW::on_next_transition()
{
    step_master_time_bar(true);
}

void SEDQ_VIEW::on_previous_transition()
{
    step_master_time_bar(false);
}

// Without samples to search (a run going on, no data) the master moves by one sample; at the end
// of its way the view only centres on it.
void SEDQ_VIEW::step_master_time_bar(bool forward)
{
    const int depth = get_data_depth();
    if (m_timebar_count > 0 && (forward ? m_timebars[0] < depth : m_timebars[0] > 0))
    {
        if (m_tx_manager->is_acquiring_data() ||
            !m_tx_manager->is_data_available(false, SEDQ_CURRENT, nullptr))
            m_timebars[0] += forward ? 1 : -1;
        else
            m_timebars[0] = find_next_change(m_timebars[0], forward);
    }
    if (m_timebar_count > 0)
        center_in_window(m_timebars[0], true);
    save_timebars();
    update();
    enable_timebar_buttons();
}

// A sample stops the search when it is valid and one of the examined nodes differs there from the
// sample before, or when it is the first invalid sample after a valid one. Groups are never
// examined themselves; a selected group stands for its members. The selection is left as it is.
int SEDQ_VIEW::find_next_change(int from, bool forward)
{
    const SEDQ_WAVE_SUMMARY::LOG_ROWS* log = m_wave_summary.get_log(m_tx_manager);
    const int depth = get_data_depth();
    if (log == nullptr)
        return forward ? depth : 0;
    const int count = m_tx_manager->get_node_count(SEDQ_CURRENT);
    bool any_selected = false;
    for (int node = 0; node < count && !any_selected; ++node)
        any_selected = m_tx_manager->get_node_selection_status(node);
    std::vector<int> examined;
    int group_end = -1;
    for (int node = 0; node < count; ++node)
    {
        const bool parent = SEDQ_NODE(m_tx_manager, node, SEDQ_CURRENT).is_parent();
        const bool selected = m_tx_manager->get_node_selection_status(node);
        if (parent && selected)
            group_end = std::max(group_end, m_tx_manager->get_last_child_index(node));
        if (!parent && (!any_selected || selected || node <= group_end))
            examined.push_back(node);
    }
    const auto breaks_off = [log](int k) { return log->valid_end_word(k); };
    // Searched in [1, depth - 1]: sample 0 has no sample before it, and the depth is past the data.
    from = std::clamp(from, 0, depth);
    int found = forward ? scan_forward(breaks_off, from + 1, depth) : scan_backward(breaks_off, from - 1, 1);
    for (int node : examined)
    {
        const SEDQ_WAVE_SUMMARY::NODE_ROWS* rows = m_wave_summary.get_node(m_tx_manager, node);
        if (rows == nullptr)
            continue;
        const auto changes = [rows](int k) { return rows->change_word(k) & rows->log->valid_word(k); };
        found = forward ? scan_forward(changes, from + 1, found) : std::max(found, scan_backward(changes, from - 1, found + 1));
    }
    return forward ? found : std::max(found, 0);
}
