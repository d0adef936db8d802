// The printout's geometry without a painter: the page grid from the settings, the row height of
// crowded pages and the columns of a page under any name-width and alias setting.
#include "sedq/view/sedq_print_layout.h"

#include <gtest/gtest.h>

namespace
{
SEDQ_PRINT_SETTINGS settings_of(int rows, int samples, int wide, int tall, int fit)
{
    SEDQ_PRINT_SETTINGS settings;
    settings.rows_per_page = rows;
    settings.samples_per_page = samples;
    settings.pages_wide = wide;
    settings.pages_tall = tall;
    settings.fit_data = fit;
    return settings;
}

int width_of(std::vector<SEDQ_PRINT_COLUMN> const& columns, int id)
{
    for (const auto& column : columns)
        if (column.id == id)
            return column.right - column.left - 1;
    return -1;
}
} // namespace

TEST(sedq_print_layout, page_grid_from_the_settings)
{
    const struct
    {
        const char* name;
        SEDQ_PRINT_SETTINGS settings;
        int rows, depth;
        int rows_per_page, samples_per_page, across, down;
    } cases[] = {
        {"defaults", settings_of(35, 30, 1, 1, 0), 100, 1000, 35, 30, 34, 3},
        {"fit one page", settings_of(35, 30, 1, 1, 1), 100, 1000, 101, 1001, 1, 1},
        {"fit 2 x 3", settings_of(35, 30, 2, 3, 1), 100, 1000, 34, 501, 2, 3},
        {"settings below one", settings_of(0, -4, 0, -1, 0), 3, 5, 1, 1, 5, 3},
        {"fit with page counts below one", settings_of(35, 30, 0, 0, 1), 10, 10, 11, 11, 1, 1},
        {"no rows", settings_of(35, 30, 1, 1, 0), 0, 1000, 35, 30, 0, 0},
        {"no samples", settings_of(35, 30, 1, 1, 0), 100, 0, 35, 30, 0, 0},
        {"exact fit", settings_of(10, 10, 1, 1, 0), 20, 30, 10, 10, 3, 2},
    };
    for (const auto& c : cases)
    {
        const SEDQ_PRINT_GRID grid(c.settings, c.rows, c.depth);
        EXPECT_EQ(grid.get_rows_per_page(), c.rows_per_page) << c.name;
        EXPECT_EQ(grid.get_samples_per_page(), c.samples_per_page) << c.name;
        EXPECT_EQ(grid.get_pages_across(), c.across) << c.name;
        EXPECT_EQ(grid.get_pages_down(), c.down) << c.name;
        EXPECT_EQ(grid.get_page_count(), c.across * c.down) << c.name;
    }
}

TEST(sedq_print_layout, pages_run_window_by_window_within_a_block)
{
    const SEDQ_PRINT_GRID grid(settings_of(35, 30, 1, 1, 0), 100, 1000);
    EXPECT_EQ(grid.get_row_block(33), 0);
    EXPECT_EQ(grid.get_row_block(34), 1);
    EXPECT_EQ(grid.get_sample_window(34), 0);
    EXPECT_EQ(grid.get_first_sample(33), 990);
    EXPECT_EQ(grid.get_end_sample(33), 1000) << "the last window stops at the data's end";
    EXPECT_EQ(grid.get_end_sample(35), 60);
}

TEST(sedq_print_layout, rows_are_as_high_as_fit_and_never_flat)
{
    const struct
    {
        const char* name;
        int rows_per_page, node_count, height;
    } cases[] = {{"few nodes", 35, 3, 30},   {"defaults", 35, 100, 22},       {"list shorter than page", 35, 20, 30},
                 {"799 rows", 799, 5000, 1}, {"100000 rows", 100000, 100000, 1}};
    for (const auto& c : cases)
    {
        const SEDQ_PRINT_GRID grid(settings_of(c.rows_per_page, 30, 1, 1, 0), c.node_count, 10);
        EXPECT_EQ(grid.get_row_height(c.node_count), c.height) << c.name;
    }
}

TEST(sedq_print_layout, columns_of_first_and_later_windows)
{
    SEDQ_PRINT_SETTINGS settings;
    const auto first = SEDQ_PRINT_COLUMNS::make(settings, true, 10, 3);
    ASSERT_EQ(first.size(), 5u);
    const int ids[] = {24, 0, 1, 2, 23};
    const int kinds[] = {1, 1, 1, 2, 5};
    for (size_t i = 0; i < first.size(); ++i)
    {
        EXPECT_EQ(first[i].id, ids[i]) << i;
        EXPECT_EQ(first[i].kind, kinds[i]) << i;
    }
    EXPECT_EQ(first[1].left, 50);
    EXPECT_EQ(first[2].left, 100);
    EXPECT_EQ(width_of(first, 1), 45) << "an alias column of at least five characters";
    EXPECT_EQ(width_of(first, 2), 90) << "the name column follows the longest name";
    EXPECT_EQ(first[4].left, 235);
    EXPECT_EQ(first[4].right, 801);
    const auto later = SEDQ_PRINT_COLUMNS::make(settings, false, 10, 3);
    ASSERT_EQ(later.size(), 2u);
    EXPECT_EQ(later[1].left, 50);
    EXPECT_EQ(later[1].right, 801);
}

TEST(sedq_print_layout, the_data_keeps_its_room_under_any_setting)
{
    const struct
    {
        const char* label;
        int name_width, longest_name, longest_alias;
        bool type;
        int name, alias;
    } cases[] = {{"name width 20", 20, 100, 5, true, 160, 45},
                 {"name width near 100", 99, 200, 5, true, 555, 45},
                 {"name width past 100", 250, 200, 5, false, 605, 45},
                 {"name width 0", 0, 200, 5, true, 8, 45},
                 {"negative name width", -30, 200, 5, true, 8, 45},
                 {"long alias", 20, 10, 500, true, 90, 300},
                 {"long alias and name", 100, 500, 500, false, 325, 325}};
    for (const auto& c : cases)
    {
        SEDQ_PRINT_SETTINGS settings;
        settings.name_width = c.name_width;
        settings.show_type = c.type;
        const auto columns = SEDQ_PRINT_COLUMNS::make(settings, true, c.longest_name, c.longest_alias);
        EXPECT_EQ(width_of(columns, 2), c.name) << c.label;
        EXPECT_EQ(width_of(columns, 1), c.alias) << c.label;
        EXPECT_GE(width_of(columns, 23), 100) << c.label;
    }
}
