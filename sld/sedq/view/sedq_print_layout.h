#pragma once
// The geometry of a printout, apart from any painter: how the rows and samples of an
// acquisition are cut into a grid of pages, and where each column of a page lies on the fixed
// logical page of PAGE_SIZE x PAGE_SIZE units. Rectangles have inclusive corners.
//
// Whatever the settings say, every page keeps at least MIN_DATA_WIDTH units for the waveforms
// and every row is at least one unit high, so no setting can make a page draw over itself.

#include "sedq/view/sedq_grid.h"

#include <QRect>

#include <vector>

struct SEDQ_PRINT_SETTINGS
{
    int rows_per_page = 35;
    int samples_per_page = 30;
    int pages_wide = 1;
    int pages_tall = 1;
    int fit_data = 0;
    int name_width = 20; // percent of the page width
    bool show_type = true;
    bool show_alias = true;
};

class SEDQ_PRINT_GRID
{
public:
    enum
    {
        PAGE_SIZE = 800,
        MAX_ROW_HEIGHT = 30
    };

    // `rows`: the printed (shown) node rows; `depth`: the samples of the data.
    SEDQ_PRINT_GRID(SEDQ_PRINT_SETTINGS const& settings, int rows, int depth);

    int get_rows_per_page() const { return m_rows_per_page; }
    int get_samples_per_page() const { return m_samples_per_page; }
    int get_pages_across() const { return m_across; }
    int get_pages_down() const { return m_down; }
    // 0 without rows or samples.
    int get_page_count() const { return m_across * m_down; }

    // Pages run sample window by sample window within each block of rows.
    int get_row_block(int page) const { return m_across > 0 ? page / m_across : 0; }
    int get_sample_window(int page) const { return m_across > 0 ? page % m_across : 0; }
    int get_first_sample(int page) const { return get_sample_window(page) * m_samples_per_page; }
    int get_end_sample(int page) const;

    // The height of every row of a page of a list of `node_count` nodes: as many rows as fit,
    // at most MAX_ROW_HEIGHT and never 0.
    int get_row_height(int node_count) const;

private:
    int m_rows_per_page;
    int m_samples_per_page;
    int m_depth;
    int m_across;
    int m_down;
};

// One column of a printed page: its id (as the view's, SEDQ_COLUMN_ROW_NUMBER for the row number), its cell's
// left and right edge and the kind of frame it gets.
struct SEDQ_PRINT_COLUMN
{
    int id;
    int left;
    int right;
    int kind;
};

class SEDQ_PRINT_COLUMNS
{
public:
    enum
    {
        ROW_NUMBER_COLUMN = SEDQ_COLUMN_ROW_NUMBER,
        MIN_DATA_WIDTH = 100
    };

    // The columns of a page: on the pages of the first sample window the node columns (type
    // and alias when shown, name) come between the row number and the data; `longest_name` and
    // `longest_alias` are lengths in characters.
    static std::vector<SEDQ_PRINT_COLUMN> make(SEDQ_PRINT_SETTINGS const& settings, bool first_window,
                                               int longest_name, int longest_alias);
};
