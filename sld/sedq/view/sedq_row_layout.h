#pragma once
// The row layout of the node view, computed once per model update instead of per query: the
// height of every row, the node rows that have height (in order, with the running sum of
// their heights), and which columns have width. A geometry query then costs O(1), or
// O(log n) to find the row under a point, and painting walks only the rows it shows. The
// layout remembers the inputs it was built from that can change without a model update (the
// node list shown, the mode, the advanced page, the time bars), so a view whose tab switched
// before its refresh arrived still never reads a stale layout.

#include "sedq/view/sedq_grid.h"

#include <vector>

class SEDQ_ROW_LAYOUT
{
public:
    enum
    {
        HEADER_ROWS = SEDQ_HEADER_ROWS,
        COLUMN_COUNT = SEDQ_COLUMN_COUNT
    };

    // What the layout depends on besides the document's content.
    struct SIGNATURE
    {
        const void* nodes = nullptr; // the node list shown (null without a document)
        const void* hierarchy = nullptr;
        int node_count = 0;
        bool data_mode = false;
        bool setup_mode = false;
        bool advanced_mode = false;
        int advanced_level = 0;
        int line_spacing = 0;
        int timebar_count = 0;
        bool operator==(const SIGNATURE& other) const;
        bool operator!=(const SIGNATURE& other) const { return !(*this == other); }
    };

    void clear() { m_valid = false; }
    bool is_valid() const { return m_valid; }
    bool is_valid_for(const SIGNATURE& signature) const { return m_valid && m_signature == signature; }
    const SIGNATURE& get_signature() const { return m_signature; }
    void set(const SIGNATURE& signature, const int header_heights[HEADER_ROWS], std::vector<int> node_heights,
             const bool column_shown[COLUMN_COUNT]);

    int get_node_count() const { return static_cast<int>(m_node_heights.size()); }
    int get_row_count() const { return get_node_count() + HEADER_ROWS; }
    // 0 for a row outside the table.
    int get_row_height(int row) const;
    int get_header_height() const
    {
        return m_header_heights[SEDQ_ROW_TITLE] + m_header_heights[SEDQ_ROW_COLUMN_TITLES] +
               m_header_heights[SEDQ_ROW_LEVEL_HEADERS];
    }
    bool is_column_shown(int column) const
    {
        return column >= 0 && column < COLUMN_COUNT && m_column_shown[column];
    }

    // Node rows of non-zero height: how many, the k-th of them, the position of a node among
    // them (-1 for a hidden node) and the summed heights of the first k.
    int get_shown_count() const { return static_cast<int>(m_shown.size()); }
    int get_shown_node(int k) const { return m_shown[k]; }
    int get_shown_index(int node) const;
    int get_shown_offset(int k) const { return m_offsets[k]; }
    // With the first `scroll` shown rows scrolled away: the first shown row (k >= scroll)
    // whose bottom, the pixel after its last line, reaches `y`; y counts from the top of the
    // first laid-out node row. get_shown_count() when none does.
    int find_shown_row(int scroll, int y) const;

private:
    bool m_valid = false;
    SIGNATURE m_signature;
    int m_header_heights[HEADER_ROWS] = {0, 0, 0};
    bool m_column_shown[COLUMN_COUNT] = {};
    std::vector<int> m_node_heights;
    std::vector<int> m_shown;
    std::vector<int> m_shown_index;
    std::vector<int> m_offsets; // m_offsets[k]: heights of shown rows 0..k-1; one entry more than m_shown
};
