// SEDQ_ROW_LAYOUT: the cached row heights, shown rows and column visibility of the node view.
#include "sedq/view/sedq_row_layout.h"

#include <algorithm>

bool SEDQ_ROW_LAYOUT::SIGNATURE::operator==(const SIGNATURE& other) const
{
    return nodes == other.nodes && hierarchy == other.hierarchy && node_count == other.node_count &&
           data_mode == other.data_mode && setup_mode == other.setup_mode &&
           advanced_mode == other.advanced_mode && advanced_level == other.advanced_level &&
           line_spacing == other.line_spacing && timebar_count == other.timebar_count;
}

void SEDQ_ROW_LAYOUT::set(const SIGNATURE& signature, const int header_heights[HEADER_ROWS],
                          std::vector<int> node_heights, const bool column_shown[COLUMN_COUNT])
{
    m_signature = signature;
    std::copy(header_heights, header_heights + HEADER_ROWS, m_header_heights);
    std::copy(column_shown, column_shown + COLUMN_COUNT, m_column_shown);
    m_node_heights = std::move(node_heights);
    m_shown.clear();
    m_shown_index.assign(m_node_heights.size(), -1);
    m_offsets.assign(1, 0);
    for (int node = 0; node < get_node_count(); ++node)
    {
        if (m_node_heights[node] <= 0)
            continue;
        m_shown_index[node] = static_cast<int>(m_shown.size());
        m_shown.push_back(node);
        m_offsets.push_back(m_offsets.back() + m_node_heights[node]);
    }
    m_valid = true;
}

int SEDQ_ROW_LAYOUT::get_row_height(int row) const
{
    if (row < 0 || row >= get_row_count())
        return 0;
    return row < HEADER_ROWS ? m_header_heights[row] : m_node_heights[row - HEADER_ROWS];
}

int SEDQ_ROW_LAYOUT::get_shown_index(int node) const
{
    return node >= 0 && node < get_node_count() ? m_shown_index[node] : -1;
}

int SEDQ_ROW_LAYOUT::find_shown_row(int scroll, int y) const
{
    const int count = get_shown_count();
    if (scroll < 0 || scroll >= count)
        return count;
    // Row k lies from offset[k] - offset[scroll] down to offset[k + 1] - offset[scroll] + 1.
    const int target = y - 1 + m_offsets[scroll];
    const auto first = m_offsets.begin() + scroll + 1;
    const auto it = std::lower_bound(first, m_offsets.end(), target);
    return static_cast<int>(it - m_offsets.begin()) - 1;
}
