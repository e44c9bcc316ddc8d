#include "Lookup.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

TEST(Interpolate, StraightLineWithoutClamping) {
    EXPECT_EQ(Interpolate(0, 10, 5, 100, 200), 150.0);
    EXPECT_EQ(Interpolate(0, 10, 15, 100, 200), 250.0);
    EXPECT_EQ(Interpolate(0, 10, -5, 100, 200), 50.0);
    EXPECT_EQ(Interpolate(3, 3, 7, 1, 2), 2.0); // equal ends: the second value
}

TEST(AxisLookup, FlatBeyondBothEndsLinearBetween) {
    const double axis[] = {10, 20, 30};
    const double values[] = {1, 2, 3};
    EXPECT_EQ(AxisLookup(axis, 3, values, 1, 5), 1.0);
    EXPECT_EQ(AxisLookup(axis, 3, values, 1, 10), 1.0);
    EXPECT_EQ(AxisLookup(axis, 3, values, 1, 15), 1.5);
    EXPECT_EQ(AxisLookup(axis, 3, values, 1, 20), 2.0);
    EXPECT_EQ(AxisLookup(axis, 3, values, 1, 30), 3.0);
    EXPECT_EQ(AxisLookup(axis, 3, values, 1, 99), 3.0);
    EXPECT_EQ(AxisLookup(axis, 3, values, 1, std::nan("")), 3.0); // no point is greater
    EXPECT_EQ(AxisLookup(axis, 1, values, 1, 999), 1.0);
    EXPECT_EQ(AxisLookup(axis, 1, values, 1, -999), 1.0);
    EXPECT_EQ(AxisLookup(axis, 0, values, 1, 15), 0.0);
}

TEST(AxisLookup, DescendingAxisTakesTheFirstGreaterPoint) {
    const double axis[] = {30, 20, 10};
    const double values[] = {3, 2, 1};
    EXPECT_EQ(AxisLookup(axis, 3, values, 1, 25), 3.0);
    EXPECT_EQ(AxisLookup(axis, 3, values, 1, 35), 1.0);
}

TEST(AxisLookup, MapRowsAndColumns) {
    Map m;
    m.XCount = 2;
    m.YCount = 2;
    m.XAxis[0] = 0;
    m.XAxis[1] = 10;
    m.YAxis[0] = 100;
    m.YAxis[1] = 200;
    m.Value[0][0] = 1;
    m.Value[1][0] = 2;
    m.Value[0][1] = 3;
    m.Value[1][1] = 5;
    EXPECT_EQ(LookupAlongX(m, 1, 5), 4.0);   // row 1: 3 .. 5
    EXPECT_EQ(LookupAlongY(m, 1, 150), 3.5); // column 1: 2 .. 5
}

TEST(RoundTo, HalvesAwayFromZero) {
    EXPECT_EQ(RoundTo(2.25, 1), 2.3);
    EXPECT_EQ(RoundTo(-2.25, 1), -2.3);
    EXPECT_EQ(RoundTo(0.04, 1), 0.0);
    EXPECT_EQ(RoundTo(0.05, 1), 0.1);
    EXPECT_EQ(RoundTo(-0.05, 1), -0.1);
    EXPECT_EQ(RoundTo(1234.44, 1), 1234.4);
    EXPECT_EQ(RoundTo(250.04, 1), 250.0);
    EXPECT_EQ(RoundTo(250.05, 1), 250.1);
    EXPECT_EQ(RoundTo(7.5, 0), 8.0);
    EXPECT_EQ(RoundTo(-7.5, 0), -8.0);
}

TEST(RoundTo, BeyondThe32BitRangeStillRounds) {
    // 214748364.7 * 10 is the largest product that fits 32 bits.
    EXPECT_EQ(RoundTo(214748364.7, 1), 214748364.7);
    EXPECT_EQ(RoundTo(214748365.0, 1), 214748365.0);
    EXPECT_EQ(RoundTo(214748365.26, 1), 214748365.3);
    EXPECT_EQ(RoundTo(-214748365.26, 1), -214748365.3);
    EXPECT_EQ(RoundTo(3e9 + 0.25, 1), 3000000000.3);
    EXPECT_EQ(RoundTo(1e300, 1), 1e300);
    EXPECT_TRUE(std::isinf(RoundTo(std::numeric_limits<double>::infinity(), 1)));
    EXPECT_TRUE(std::isnan(RoundTo(std::nan(""), 1)));
    EXPECT_EQ(RoundTo(1234.5, 12), 1234.5);
}

} // namespace
