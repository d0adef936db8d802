// SEDQ_PRINT_GRID and SEDQ_PRINT_COLUMNS: the page grid and the column layout of a printout.
#include "sedq/view/sedq_print_layout.h"

#include <algorithm>

namespace
{
int ceil_div(int a, int b)
{
    return b > 0 ? a / b + (a % b != 0 ? 1 : 0) : 0;
}
} // namespace

// Settings of 0 or below count as 1; fitting derives the rows and samples of a page from the
// number of pages wanted.
SEDQ_PRINT_GRID::SEDQ_PRINT_GRID(SEDQ_PRINT_SETTINGS const& settings, int rows, int depth)
    : m_rows_per_page(settings.rows_per_page), m_samples_per_page(settings.samples_per_page),
      m_depth(std::max(depth, 0))
{
    const int wide = std::max(settings.pages_wide, 1);
    const int tall = std::max(settings.pages_tall, 1);
    rows = std::max(rows, 0);
    if (settings.fit_data == 1)
    {
        m_rows_per_page = rows / tall + 1;
        m_samples_per_page = m_depth / wide + 1;
    }
    m_rows_per_page = std::max(m_rows_per_page, 1);
    m_samples_per_page = std::max(m_samples_per_page, 1);
    m_across = rows > 0 ? ceil_div(m_depth, m_samples_per_page) : 0;
    m_down = m_depth > 0 ? ceil_div(rows, m_rows_per_page) : 0;
}

int SEDQ_PRINT_GRID::get_end_sample(int page) const
{
    return std::min(m_depth, get_first_sample(page) + m_samples_per_page);
}

int SEDQ_PRINT_GRID::get_row_height(int node_count) const
{
    const int rows = std::max(std::min(m_rows_per_page, node_count), 0) + 1;
    return std::max(1, std::min(int(MAX_ROW_HEIGHT), PAGE_SIZE / rows));
}

// The alias may take half of what the data leaves free and the name the rest, so that a long
// alias or a name width near the whole page still leaves the waveforms their room.
std::vector<SEDQ_PRINT_COLUMN> SEDQ_PRINT_COLUMNS::make(SEDQ_PRINT_SETTINGS const& settings, bool first_window,
                                                        int longest_name, int longest_alias)
{
    std::vector<SEDQ_PRINT_COLUMN> columns{{ROW_NUMBER_COLUMN, 0, 51, 1}};
    int x = 50;
    int remaining = SEDQ_PRINT_GRID::PAGE_SIZE - 50;
    if (first_window)
    {
        if (settings.show_type)
        {
            columns.push_back({SEDQ_COLUMN_TYPE, 50, 101, 1});
            x = 100;
            remaining -= 50;
        }
        const int free = remaining - MIN_DATA_WIDTH;
        const int alias = settings.show_alias ? std::min(9 * std::max(longest_alias, 5), free / 2) : 0;
        const int name_width = std::clamp(settings.name_width, 1, 100);
        const double wanted = std::min(name_width * SEDQ_PRINT_GRID::PAGE_SIZE * 0.01, 9.0 * std::max(longest_name, 4));
        const int name = std::min(int(wanted), free - alias);
        if (settings.show_alias)
        {
            columns.push_back({SEDQ_COLUMN_ALIAS, x, x + alias + 1, 1});
            x += alias;
        }
        columns.push_back({SEDQ_COLUMN_NAME, x, x + name + 1, 2});
        x += name;
        remaining -= alias + name;
    }
    columns.push_back({SEDQ_COLUMN_WAVEFORM, x, x + 1 + remaining, 5});
    return columns;
}
