// The shared bus scratch buffer: row layout, growth, and running out of memory.
#include "sedq/model/sedq_bus.h"

#include "host/standin/msg_control.h"

#include <gtest/gtest.h>

#include <climits>

// The out-of-memory case asks for far more than exists; under AddressSanitizer that must come
// back as a null pointer, as it does from the plain allocator, instead of ending the run.
extern "C" const char* __asan_default_options() { return "allocator_may_return_null=1"; }

// The storage is process-wide and only grows, so these tests assume nothing about what earlier
// requests left behind: smaller layouts keep the stride of the last larger one.
TEST(sedq_bus, rows_hold_their_samples_apart)
{
    SEDQ_BUS bus(4, 100);
    ASSERT_TRUE(bus.is_valid());
    EXPECT_EQ(bus.get_nitems(), 4);
    EXPECT_EQ(bus.get_depth(), 100);
    for (int row = 1; row < 4; ++row)
        EXPECT_GE(bus.get_row(row) - bus.get_row(row - 1), 100) << row;
    EXPECT_EQ(bus.get_row(4), nullptr);
    EXPECT_EQ(bus.get_row(-1), nullptr);
    for (int row = 0; row < 4; ++row)
        for (int s = 0; s < 100; ++s)
            bus.get_row(row)[s] = (row + s) % 3 == 0;
    for (int row = 0; row < 4; ++row)
        for (int s = 0; s < 100; ++s)
            ASSERT_EQ(bus.get_row(row)[s], (row + s) % 3 == 0) << row << " " << s;
}

TEST(sedq_bus, smaller_layouts_reuse_the_rows)
{
    SEDQ_BUS large(8, 64);
    large.get_row(1)[5] = true;
    SEDQ_BUS small(2, 16);
    EXPECT_EQ(small.get_row(0), large.get_row(0));
    EXPECT_EQ(small.get_row(1), large.get_row(1));
    EXPECT_TRUE(small.get_row(1)[5]);
}

TEST(sedq_bus, more_rows_than_before_set_the_new_stride)
{
    SEDQ_BUS many(1000000, 1);
    ASSERT_TRUE(many.is_valid());
    EXPECT_EQ(many.get_row(1) - many.get_row(0), 1);
    EXPECT_EQ(many.get_row(999999) - many.get_row(0), 999999);
    SEDQ_BUS fewer(1000, 1);
    EXPECT_EQ(fewer.get_row(999), many.get_row(999));
}

TEST(sedq_bus, growth_gives_zeroed_rows)
{
    SEDQ_BUS first(2, 8);
    first.get_row(1)[7] = true;
    SEDQ_BUS grown(3000, 4096);
    ASSERT_TRUE(grown.is_valid());
    for (int row = 0; row < 3000; row += 7)
        for (int s = 0; s < 4096; s += 511)
            ASSERT_FALSE(grown.get_row(row)[s]) << row << " " << s;
    const long stride = grown.get_row(1) - grown.get_row(0);
    EXPECT_GE(stride, 4096);
    EXPECT_EQ(grown.get_row(2999) - grown.get_row(0), 2999 * stride);
}

// A value is read across the rows at one sample. Rows a power of two apart would put every
// row's cache line into the same few sets; long rows are spaced an odd number of 64-byte lines
// apart instead, short ones stay packed.
TEST(sedq_bus, long_rows_are_spaced_an_odd_number_of_lines_apart)
{
    const struct
    {
        int depth;
        long stride;
    } rows[] = {{4096, 4160}, {65536, 65600}, {1000, 1088}, {1088, 1088}, {300, 320}, {255, 255}, {64, 64}};
    // Each request has more rows than the one before, so the rows are laid out anew for it.
    int nitems = 4000;
    for (const auto& row : rows)
    {
        SEDQ_BUS bus(++nitems, row.depth);
        ASSERT_TRUE(bus.is_valid()) << row.depth;
        EXPECT_EQ(bus.get_row(1) - bus.get_row(0), row.stride) << row.depth;
        EXPECT_EQ(bus.get_row(nitems - 1) - bus.get_row(0), (nitems - 1) * row.stride) << row.depth;
    }
}

TEST(sedq_bus, running_out_of_memory_fails_cleanly_and_keeps_the_old_rows)
{
    SEDQ_BUS before(2, 10);
    before.get_row(1)[9] = true;
    SEDQ_BUS huge(INT_MAX, INT_MAX);
    EXPECT_FALSE(huge.is_valid());
    EXPECT_EQ(huge.get_nitems(), 0);
    EXPECT_EQ(huge.get_row(0), nullptr);
    ASSERT_EQ(standin::msg::internal_errors().size(), 1u);
    SEDQ_BUS after(2, 10);
    EXPECT_TRUE(after.get_row(1)[9]);
    EXPECT_EQ(after.get_row(1), before.get_row(1));
}

TEST(sedq_bus, negative_sizes_are_refused)
{
    SEDQ_BUS bus(-1, 10);
    EXPECT_FALSE(bus.is_valid());
    EXPECT_EQ(bus.get_data(), nullptr);
    ASSERT_EQ(standin::msg::internal_errors().size(), 1u);
    EXPECT_EQ(standin::msg::internal_errors()[0].expression, "nitems >= 0 && depth >= 0");
}
