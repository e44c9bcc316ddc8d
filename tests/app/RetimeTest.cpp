#include "Retime.h"

#include "ColorCodeParser.h"
#include "support/MakeMap.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <random>
#include <string>

namespace {

constexpr double kNone = std::numeric_limits<double>::infinity();

// 800 bar everywhere, 500 us at 800 bar: the injection lasts 3.0 degrees at
// 1000 1/min and 6.0 at 2000. The SOI grid is X 10, 20 by Y 1000, 2000.
struct Chain {
    Map Rail = Constant({10}, {2000}, 800);
    Map Duration = MakeMap({10}, {400, 1200}, [](int, int y) { return y == 0 ? 300.0 : 700.0; });
    Map Soi = Constant({10, 20}, {1000, 2000}, 5);
    std::unique_ptr<DerivedMaps> Derived = std::make_unique<DerivedMaps>();

    const TRetimeResult& Run(const TRetimeTarget& target, TRetimeLimits limits) {
        DeriveMaps(Rail, Duration, Soi, *Derived);
        Retime(*Derived, target, limits, *Result);
        return *Result;
    }
    std::unique_ptr<TRetimeResult> Result = std::make_unique<TRetimeResult>();
};

// Cells worked by hand: target + duration, clamped, rounded to the step.
TEST(Retime, HandComputedCells) {
    struct Case {
        const char* Name;
        TRetimeTarget Target;
        TRetimeLimits Limits;
        double Soi1000; // the new SOI at 1000 1/min (D = 3.0)
        double Soi2000; //                  2000 1/min (D = 6.0)
        int Clamped1000;
        int Clamped2000;
    };
    const Case cases[] = {
        {"constant", {TargetKind::Constant, 4.0}, {}, 7.0, 10.0, 0, 0},
        {"half step away from zero", {TargetKind::Constant, -2.15}, {}, 0.9, 3.9, 0, 0},
        {"negative half",
         {TargetKind::Constant, -6.125},
         {-kNone, kNone, 0.25},
         -3.25,
         -0.25,
         0,
         0},
        {"hundredths", {TargetKind::Constant, 1.234}, {-kNone, kNone, 0.01}, 4.23, 7.23, 0, 0},
        {"ECU steps of 3/128",
         {TargetKind::Constant, 4.0},
         {-kNone, kNone, 0.0234375},
         7.0078125,
         10.0078125,
         0,
         0},
        {"whole degrees", {TargetKind::Constant, -2.6}, {-kNone, kNone, 1}, 0, 3, 0, 0},
        {"above the maximum", {TargetKind::Constant, 4.0}, {-kNone, 8, 0.1}, 7.0, 8.0, 0, 1},
        {"below the minimum", {TargetKind::Constant, 4.0}, {7.5, kNone, 0.1}, 7.5, 10.0, -1, 0},
        {"both limits", {TargetKind::Constant, 4.0}, {7.5, 8, 0.1}, 7.5, 8.0, -1, 1},
        // 8.06 rounds to 8.1, beyond the limit: the step inside is taken.
        {"limit between steps", {TargetKind::Constant, 4.0}, {-kNone, 8.06, 0.1}, 7.0, 8.0, 0, 1},
        {"half before TDC", {TargetKind::BeforeTdc, 50}, {}, 1.5, 3.0, 0, 0},
        {"all before TDC", {TargetKind::BeforeTdc, 100}, {}, 3.0, 6.0, 0, 0},
        {"all after TDC", {TargetKind::BeforeTdc, 0}, {}, 0.0, 0.0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Chain chain;
        const TRetimeResult& r = chain.Run(c.Target, c.Limits);
        ASSERT_EQ(r.NewSoi.XCount, 2);
        ASSERT_EQ(r.NewSoi.YCount, 2);
        EXPECT_EQ(r.DurationDeg.Value[0][0], 3.0);
        EXPECT_EQ(r.DurationDeg.Value[0][1], 6.0);
        for (int x = 0; x < 2; ++x) {
            EXPECT_DOUBLE_EQ(r.NewSoi.Value[x][0], c.Soi1000);
            EXPECT_DOUBLE_EQ(r.NewSoi.Value[x][1], c.Soi2000);
            EXPECT_EQ(r.Clamped[x][0], c.Clamped1000);
            EXPECT_EQ(r.Clamped[x][1], c.Clamped2000);
            for (int y = 0; y < 2; ++y) {
                const double eoi = r.NewSoi.Value[x][y] - r.DurationDeg.Value[x][y];
                EXPECT_DOUBLE_EQ(r.ResidualEoi.Value[x][y], eoi - r.TargetEoi.Value[x][y]);
                if (r.Clamped[x][y] == 0) {
                    EXPECT_LE(std::fabs(r.ResidualEoi.Value[x][y]), c.Limits.Step / 2 + 1e-12);
                }
            }
        }
    }
}

// A target map with axes of its own, reaching only part of the SOI grid:
// looked up along X in its rows, then along Y, flat beyond its ends.
TEST(Retime, TargetMapLookedUpOnTheSoiGrid) {
    const Map target = MakeMap({15, 25}, {1500, 3000}, [](int x, int y) {
        const double cells[2][2] = {{1, 4}, {3, 6}};
        return cells[x][y];
    });
    Chain chain;
    const TRetimeResult& r = chain.Run({TargetKind::Map, 0, &target}, {});
    // X 10 lies below the target's X axis, Y 1000 below its Y axis; Y 2000
    // is a third of the way from 1500 to 3000.
    const double wanted[2][2] = {{1, 2}, {2, 3}};
    const std::uint8_t flags[2][2] = {{kGridXBelow | kGridYBelow, kGridXBelow}, {kGridYBelow, 0}};
    const double soi[2][2] = {{4, 8}, {5, 9}};
    for (int x = 0; x < 2; ++x) {
        for (int y = 0; y < 2; ++y) {
            SCOPED_TRACE(testing::Message() << "x " << x << " y " << y);
            EXPECT_DOUBLE_EQ(r.TargetEoi.Value[x][y], wanted[x][y]);
            EXPECT_EQ(r.TargetFlags.Cell[x][y], flags[x][y]);
            EXPECT_DOUBLE_EQ(r.NewSoi.Value[x][y], soi[x][y]);
        }
    }
    EXPECT_EQ(SummariseRetime(r), "EOI within 0.05\xC2\xB0 of the target in 4 of 4 cells; 3 "
                                  "cells lie beyond the target's axes (its edge values continued)");
    EXPECT_NE(NewSoiText(r, chain.Soi, true).find("1/min\t[G]1000[/]\t[R][=I]4.0[/]\t[=I]5.0[/]"),
              std::string::npos);
    // Where the grids agree the lookup is exact.
    Map same;
    ExtrapolationMap none;
    LookUpOnGrid(target, target, same, none);
    for (int x = 0; x < 2; ++x) {
        for (int y = 0; y < 2; ++y) {
            EXPECT_EQ(same.Value[x][y], target.Value[x][y]);
            EXPECT_EQ(none.Cell[x][y], 0);
        }
    }
}

// The baseline's EOI as target: more fuel (a longer duration) advances the
// SOI by the added crank angle, and the delta against the baseline is the
// residual.
TEST(Retime, KeepsTheBaselineEoiWhenFuelIsAdded) {
    Chain chain;
    Map baselineEoi;
    ASSERT_TRUE(ComputeEoi(chain.Rail, chain.Duration, chain.Soi, baselineEoi));
    chain.Duration.Value[0][0] = 330; // 10 % longer: 550 us at 800 bar
    chain.Duration.Value[0][1] = 770;
    const TRetimeResult& r = chain.Run({TargetKind::Map, 0, &baselineEoi}, {});
    // 3.3 and 6.6 degrees now: SOI 5 + 0.3 and 5 + 0.6.
    EXPECT_DOUBLE_EQ(r.NewSoi.Value[1][0], 5.3);
    EXPECT_DOUBLE_EQ(r.NewSoi.Value[1][1], 5.6);

    Map eoi;
    ASSERT_TRUE(ComputeEoi(chain.Rail, chain.Duration, chain.Soi, eoi));
    Map delta;
    ExtrapolationMap flags;
    EoiDelta(eoi, baselineEoi, delta, flags);
    EXPECT_NEAR(delta.Value[0][0], -0.3, 1e-12);
    EXPECT_NEAR(delta.Value[1][1], -0.6, 1e-12);
    EXPECT_FALSE(ComputeEoi(chain.Rail, Map{}, chain.Soi, eoi));
}

TEST(Retime, StepsAndDecimals) {
    EXPECT_EQ(StepDecimals(0.1), 1);
    EXPECT_EQ(StepDecimals(0.0234375), 7);
    EXPECT_EQ(StepDecimals(1), 0);
    EXPECT_EQ(StepDecimals(1 / 42.67), 9);
    EXPECT_EQ(RoundToStep(-0.04, 0.1), 0.0);
    EXPECT_FALSE(std::signbit(RoundToStep(-0.04, 0.1)));
    EXPECT_EQ(RoundToStep(0.15, 0.1), 0.2);
    EXPECT_EQ(RoundToStep(-0.15, 0.1), -0.2);
    EXPECT_EQ(RoundToStep(5, 2), 6);
    const double axis[] = {0.5, 12.25, 3};
    EXPECT_EQ(AxisDecimals(axis, 3, 1), 2);
    const double speeds[] = {1000, 4500};
    EXPECT_EQ(AxisDecimals(speeds, 2, 0), 0);
    EXPECT_EQ(ShortestNumber(4500), "4500");
    EXPECT_EQ(ShortestNumber(0.05), "0.05");
}

TEST(Retime, ReportReadsBackAndSaysWhatWasClamped) {
    Chain chain;
    chain.Soi.XAxis[1] = 20.25; // needs two decimals to read back
    chain.Soi.Value[0][0] = 9;  // moves later; the others earlier
    const TRetimeResult& r = chain.Run({TargetKind::Constant, 4.0}, {-kNone, 8, 0.1});
    const std::string coded = NewSoiText(r, chain.Soi, true);
    const std::string plain = NewSoiText(r, chain.Soi, false);
    EXPECT_EQ(plain, "New SOI Map (2, 2)\r\n\r\n"
                     "SOI(Injection Quantity, Engine Speed)/degCA\r\n\r\n"
                     "\t\tmm3\r\n"
                     "\t\t10.00\t20.25\r\n"
                     "1/min\t1000\t7.0\t7.0\r\n"
                     "\t2000\t8.0\t8.0\r\n");
    EXPECT_EQ(StripColorCodes(coded, {.EnableColors = true}), plain);
    EXPECT_NE(coded.find("1/min\t[G]1000[/]\t[R]7.0[/]\t[B]7.0[/]\r\n"), std::string::npos);
    EXPECT_NE(coded.find("\t[P][=B]8.0[/]"), std::string::npos);
    EXPECT_EQ(SummariseRetime(r), "EOI within 0.05\xC2\xB0 of the target in 2 of 4 cells; 2 "
                                  "clamped at 8.0\xC2\xB0: row 2000, X 10, 20.25");

    Map back;
    ParseMap(plain, back);
    EXPECT_EQ(back.XAxis[1], 20.25);
    EXPECT_EQ(back.Value[1][1], 8.0);
}

// Random chains, targets, limits and steps: the new SOI map, printed and
// read back as the SOI map, gives the target within half a step wherever
// the limits left it alone, and stays within the limits elsewhere.
TEST(Retime, RoundTripThroughTheMapText) {
    std::mt19937 rng(20261209);
    std::uniform_real_distribution<double> unit(0, 1);
    const auto axis = [&](Map& m, bool x, int count, double first, double spread) {
        double v = first;
        for (int i = 0; i < count; ++i) {
            (x ? m.XAxis : m.YAxis)[i] = std::round(v * 100) / 100;
            v += 1 + spread * unit(rng);
        }
        (x ? m.XCount : m.YCount) = count;
    };
    const auto fill = [&](int xs, int ys, double first, double spread, double lo, double hi) {
        Map m;
        axis(m, true, xs, first, spread);
        axis(m, false, ys, first * 50, spread * 100);
        for (int x = 0; x < xs; ++x) {
            for (int y = 0; y < ys; ++y) {
                m.Value[x][y] = std::round((lo + (hi - lo) * unit(rng)) * 10) / 10;
            }
        }
        return m;
    };
    const double steps[] = {0.1, 0.01, 0.0234375, 1};
    auto derived = std::make_unique<DerivedMaps>();
    auto result = std::make_unique<TRetimeResult>();
    for (int round = 0; round < 200; ++round) {
        SCOPED_TRACE(round);
        const auto size = [&] { return 1 + static_cast<int>(unit(rng) * 12); };
        const Map rail = fill(size(), size(), 0, 8, 300, 1800);
        const Map duration = fill(size(), size(), 0, 8, 150, 2500);
        Map soi = fill(size(), size(), 2, 6, -5, 20);
        const Map targetMap = fill(size(), size(), 1, 9, -15, 10);
        DeriveMaps(rail, duration, soi, *derived);
        const int kind = round % 3;
        const TRetimeTarget target{static_cast<TargetKind>(kind),
                                   kind == 1 ? 100 * unit(rng) : -10 + 20 * unit(rng), &targetMap};
        TRetimeLimits limits;
        limits.Step = steps[round % 4];
        if (round % 5 == 0) {
            limits.Min = -2 + unit(rng);
            limits.Max = 12 + unit(rng);
        }
        Retime(*derived, target, limits, *result);

        Map back;
        ParseMap(NewSoiText(*result, soi, false), back);
        Map eoi;
        ASSERT_TRUE(ComputeEoi(rail, duration, back, eoi));
        ASSERT_EQ(back.XCount, soi.XCount);
        ASSERT_EQ(back.YCount, soi.YCount);
        for (int x = 0; x < soi.XCount; ++x) {
            ASSERT_EQ(back.XAxis[x], soi.XAxis[x]);
            for (int y = 0; y < soi.YCount; ++y) {
                ASSERT_EQ(back.YAxis[y], soi.YAxis[y]);
                ASSERT_EQ(back.Value[x][y], result->NewSoi.Value[x][y]);
                const double soiValue = back.Value[x][y];
                if (result->Clamped[x][y] == 0) {
                    ASSERT_LE(std::fabs(eoi.Value[x][y] - result->TargetEoi.Value[x][y]),
                              limits.Step / 2 + 1e-9);
                }
                ASSERT_GE(soiValue, limits.Min);
                ASSERT_LE(soiValue, limits.Max);
            }
        }
    }
}

} // namespace
