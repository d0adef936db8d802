// Exact fractions: scaling, restoring the base value, and the limits of int.
#include "sedq/model/sedq_double.h"

#include "host/standin/msg_control.h"

#include <gtest/gtest.h>

#include <climits>

namespace
{
struct fraction
{
    int numerator;
    int denominator;
};

void expect_fraction(SEDQ_DOUBLE const& value, fraction expected, const char* step)
{
    EXPECT_EQ(value.get_numerator(), expected.numerator) << step;
    EXPECT_EQ(value.get_denominator(), expected.denominator) << step;
}
} // namespace

TEST(sedq_double, scaling_stays_exact)
{
    SEDQ_DOUBLE zoom(3.7);
    expect_fraction(zoom, {3, 1}, "construct truncates");
    EXPECT_DOUBLE_EQ(zoom *= 3, 9.0);
    expect_fraction(zoom, {9, 1}, "times 3");
    EXPECT_DOUBLE_EQ(zoom /= 2, 4.5);
    expect_fraction(zoom, {9, 2}, "divided by 2");
    EXPECT_DOUBLE_EQ(zoom *= 2.9, 9.0);
    expect_fraction(zoom, {9, 1}, "times 2.9 scales by 2");
    zoom /= 3;
    expect_fraction(zoom, {3, 1}, "divisible numerator");
    zoom = 0;
    zoom *= 2;
    zoom /= 2;
    expect_fraction(zoom, {0, 1}, "zero stays zero");
}

TEST(sedq_double, base_value_survives_assignment_and_is_restored)
{
    SEDQ_DOUBLE offset(5);
    offset = 8.9;
    expect_fraction(offset, {8, 1}, "assignment");
    offset.set_double(7, 3);
    expect_fraction(offset, {7, 3}, "set");
    EXPECT_NEAR(double(offset), 7.0 / 3.0, 1e-12);
    offset.set_double(-1, -1);
    expect_fraction(offset, {5, 1}, "restored");
    offset.set_double(-1, 2);
    expect_fraction(offset, {-1, 2}, "other pairs with -1 are values");
}

TEST(sedq_double, zero_factor_and_zero_denominator_change_nothing)
{
    SEDQ_DOUBLE zoom(6);
    zoom *= 0.5;
    zoom /= 0;
    zoom /= -0.9;
    expect_fraction(zoom, {6, 1}, "zero factors");
    EXPECT_TRUE(standin::msg::internal_errors().empty());
    zoom.set_double(1, 0);
    expect_fraction(zoom, {6, 1}, "zero denominator");
    ASSERT_EQ(standin::msg::internal_errors().size(), 1u);
    EXPECT_EQ(standin::msg::internal_errors()[0].expression, "denominator != 0");
}

TEST(sedq_double, repeated_doubling_stops_at_the_int_limit)
{
    SEDQ_DOUBLE zoom(1);
    for (int step = 0; step < 40; ++step)
        zoom *= 2;
    expect_fraction(zoom, {1 << 30, 1}, "zoom in");
    SEDQ_DOUBLE offset(1);
    for (int step = 0; step < 40; ++step)
        offset /= 2;
    expect_fraction(offset, {1, 1 << 30}, "zoom out");
    SEDQ_DOUBLE negative(INT_MIN);
    negative.set_double(INT_MIN, 2);
    negative *= -3;
    expect_fraction(negative, {INT_MIN, 2}, "a numerator past int");
}

TEST(sedq_double, out_of_range_doubles_saturate)
{
    expect_fraction(SEDQ_DOUBLE(1e300), {INT_MAX, 1}, "huge");
    expect_fraction(SEDQ_DOUBLE(-1e300), {INT_MIN, 1}, "huge negative");
    expect_fraction(SEDQ_DOUBLE(0.0 / 0.0), {0, 1}, "nan");
    SEDQ_DOUBLE negative(-6);
    negative /= 2;
    expect_fraction(negative, {-6, 2}, "a negative numerator is not divided");
    negative *= -2;
    expect_fraction(negative, {-6, -1}, "the denominator divides by a negative factor");
}
