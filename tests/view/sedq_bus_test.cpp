// The shared bus scratch buffer: row layout, growth, and running out of memory.
#include "sedq/view/sedq_bus.h"

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
    EXPECT_EQ(grown.get_row(2999) - grown.get_row(0), 2999 * 4096);
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
