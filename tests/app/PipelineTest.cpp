#include "Pipeline.h"

#include "support/MakeMap.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <vector>

namespace {

std::unique_ptr<DerivedMaps> Derive(const Map& rp, const Map& dur, const Map& soi) {
    auto out = std::make_unique<DerivedMaps>();
    DeriveMaps(rp, dur, soi, *out);
    return out;
}

TEST(Pipeline, WorkedExample) {
    // SOI 10 degrees at 2000 1/min; 800 bar there; 500 us at 800 bar.
    const Map rp = Constant({10}, {2000}, 800);
    const Map dur = MakeMap({10}, {400, 800, 1200}, [](int, int y) { return 300.0 + 200 * y; });
    const Map soi = Constant({10}, {2000}, 10);
    const auto out = Derive(rp, dur, soi);
    EXPECT_EQ(out->NewRailPressureMap.Value[0][0], 800.0);
    EXPECT_EQ(out->NewDurationMapUs.Value[0][0], 500.0);
    EXPECT_EQ(out->NewDurationMapDeg.Value[0][0], 6.0);
    EXPECT_EQ(out->NewEOIMap.Value[0][0], 4.0);
}

TEST(Pipeline, AxesAndCountsFollowTheSoiGrid) {
    const Map rp = Constant({0, 20}, {1000, 2000, 3000}, 900);
    const Map dur = Constant({0, 10, 20, 30}, {500, 1000}, 400);
    const Map soi = Constant({5, 15}, {1500, 2500, 3500, 4500}, 12);
    const auto out = Derive(rp, dur, soi);
    EXPECT_EQ(out->NewDurationMapRP.XCount, 2);
    EXPECT_EQ(out->NewDurationMapRP.YCount, 2);
    EXPECT_EQ(out->NewDurationMapRP.YAxis[1], 1000.0);
    EXPECT_EQ(out->RailPressureMapSoiX.YCount, 3);
    EXPECT_EQ(out->RailPressureMapSoiX.YAxis[2], 3000.0);
    for (const Map* m : {&out->NewDurationMapUs, &out->NewDurationMapDeg, &out->NewEOIMap,
                         &out->NewRailPressureMap}) {
        EXPECT_EQ(m->XCount, 2);
        EXPECT_EQ(m->YCount, 4);
        EXPECT_EQ(m->XAxis[1], 15.0);
        EXPECT_EQ(m->YAxis[3], 4500.0);
    }
}

TEST(Pipeline, FlatContinuationBeyondTheInputAxes) {
    // The duration map's injection quantities reach only 10..20; the rail
    // pressure map's engine speeds only 1000..2000.
    const Map rp = MakeMap({0, 100}, {1000, 2000}, [](int, int y) { return 500.0 + 500 * y; });
    const Map dur = MakeMap({10, 20}, {0, 2000}, [](int x, int) { return 100.0 * (x + 1); });
    const Map soi = Constant({0, 15, 50}, {500, 1500, 2500}, 0);
    const auto out = Derive(rp, dur, soi);
    EXPECT_EQ(out->NewDurationMapRP.Value[0][0], 100.0); // below: first column
    EXPECT_EQ(out->NewDurationMapRP.Value[1][0], 150.0);
    EXPECT_EQ(out->NewDurationMapRP.Value[2][0], 200.0);   // above: last column
    EXPECT_EQ(out->NewRailPressureMap.Value[0][0], 500.0); // below 1000 1/min
    EXPECT_EQ(out->NewRailPressureMap.Value[0][1], 750.0);
    EXPECT_EQ(out->NewRailPressureMap.Value[0][2], 1000.0); // above 2000 1/min
}

// Each flag on its own axis, both sides, and points on an axis's ends are
// not flagged: each derived cell carries the flags of every lookup behind it.
TEST(Pipeline, CellsBeyondTheAxesLookedUpAreFlagged) {
    // Rail pressure: quantities 10..20, speeds 1000..2000, 300 bar at the
    // lower speed and 700 at the upper. Duration: quantities 10..30, rail
    // pressures 400..600.
    const Map rp = MakeMap({10, 20}, {1000, 2000}, [](int, int y) { return 300.0 + 400 * y; });
    const Map dur = Constant({10, 30}, {400, 600}, 500);
    const Map soi = Constant({5, 10, 20, 25}, {500, 1500, 2500}, 0);
    const auto out = Derive(rp, dur, soi);

    const std::uint8_t railX[] = {kRailXBelow, 0, 0, kRailXAbove};
    const std::uint8_t durationX[] = {kDurationXBelow, 0, 0, 0};
    // 500 1/min reads 300 bar (below 400), 1500 reads 500, 2500 reads 700.
    const std::uint8_t railY[] = {kRailYBelow, 0, kRailYAbove};
    const std::uint8_t durationY[] = {kDurationYBelow, 0, kDurationYAbove};
    for (int x = 0; x < 4; ++x) {
        for (int y = 0; y < 3; ++y) {
            const int rail = railX[x] | railY[y];
            const int all = rail | durationX[x] | durationY[y];
            EXPECT_EQ(out->Flags.RailPressureMapSoiX.Cell[x][y % 2], railX[x]) << x;
            EXPECT_EQ(out->Flags.NewDurationMapRP.Cell[x][y % 2], durationX[x]) << x;
            EXPECT_EQ(out->Flags.NewRailPressureMap.Cell[x][y], rail) << x << "," << y;
            EXPECT_EQ(out->Flags.NewDurationMapUs.Cell[x][y], all) << x << "," << y;
            EXPECT_EQ(out->Flags.NewDurationMapDeg.Cell[x][y], all);
            EXPECT_EQ(out->Flags.NewEOIMap.Cell[x][y], all);
        }
    }
    // Only x = 1 and 2 at 1500 1/min are inside everything.
    const ExtrapolationCount count = CountExtrapolated(out->NewEOIMap, out->Flags.NewEOIMap);
    EXPECT_EQ(count.Cells, 10);
    EXPECT_EQ(count.ByFlag[0], 3); // duration X below: the column x = 0
    EXPECT_EQ(count.ByFlag[7], 4); // rail pressure Y above: the row at 2500 1/min
}

TEST(Pipeline, SameAxesReproduceTheInputs) {
    auto rpValue = [](int x, int y) { return 300.0 + 37 * x + 101 * y; };
    auto durValue = [](int x, int y) { return 200.0 + 13.5 * x - 7 * y; };
    const Map rp = MakeMap({0, 5, 10, 20}, {800, 1600, 2400}, rpValue);
    const Map dur = MakeMap({0, 5, 10, 20}, {250, 1000, 1800}, durValue);
    const Map soi = Constant({0, 5, 10, 20}, {800, 1600, 2400}, 3);
    const auto out = Derive(rp, dur, soi);
    for (int x = 0; x < 4; ++x) {
        for (int y = 0; y < 3; ++y) {
            EXPECT_EQ(out->NewDurationMapRP.Value[x][y], dur.Value[x][y]);
            EXPECT_EQ(out->NewRailPressureMap.Value[x][y], rp.Value[x][y]);
        }
    }
}

TEST(Pipeline, DurationIsRoundedToTenthsOfAMicrosecond) {
    const Map rp = MakeMap({0}, {1000, 2000}, [](int, int y) { return y == 0 ? 100.0 : 200.0; });
    const Map dur = MakeMap({0}, {100, 200}, [](int, int y) { return y == 0 ? 250.04 : 250.05; });
    const Map soi = Constant({0}, {1000, 2000}, 0);
    const auto out = Derive(rp, dur, soi);
    EXPECT_EQ(out->NewDurationMapUs.Value[0][0], 250.0);
    EXPECT_EQ(out->NewDurationMapUs.Value[0][1], 250.1);
}

TEST(Pipeline, StandstillAndLateInjection) {
    const Map rp = Constant({0}, {0, 3000}, 1000);
    const Map dur = Constant({0}, {1000}, 1000);
    const Map soi = MakeMap({0}, {0, 3000}, [](int, int y) { return y == 0 ? 7.5 : 10.0; });
    const auto out = Derive(rp, dur, soi);
    EXPECT_EQ(out->NewDurationMapDeg.Value[0][0], 0.0);
    EXPECT_EQ(out->NewEOIMap.Value[0][0], 7.5);
    EXPECT_EQ(out->NewDurationMapDeg.Value[0][1], 18.0);
    EXPECT_EQ(out->NewEOIMap.Value[0][1], -8.0); // ends 8 degrees after top dead centre
}

TEST(Pipeline, DegreesAreFormedInExtendedPrecision) {
    // 0.1 us at 1000 1/min: the double-precision chain ends one unit in the
    // last place below the extended one.
    const Map rp = Constant({0}, {1000}, 1000);
    const Map dur = Constant({0}, {1000}, 0.1);
    const Map soi = Constant({0}, {1000}, 0);
    const auto out = Derive(rp, dur, soi);
    volatile double us = 0.1, rpm = 1000, six = 6, milli = 0.001;
    const double doubleChain = us * rpm * six * milli * milli;
    EXPECT_EQ(out->NewDurationMapDeg.Value[0][0], 0.00060000000000000006);
    EXPECT_NE(out->NewDurationMapDeg.Value[0][0], doubleChain);
}

TEST(Pipeline, FirstIncompleteInputIsNamed) {
    const Map full = Constant({1}, {1}, 1);
    Map noX = full;
    noX.XCount = 0;
    Map noY = full;
    noY.YCount = 0;
    EXPECT_EQ(FindIncompleteInput(full, full, full), MissingInput::None);
    EXPECT_EQ(FindIncompleteInput(noY, noX, noX), MissingInput::RailPressure);
    EXPECT_EQ(FindIncompleteInput(full, noY, noX), MissingInput::Duration);
    EXPECT_EQ(FindIncompleteInput(full, full, noX), MissingInput::Soi);
}

} // namespace
