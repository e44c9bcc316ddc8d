#include "Explain.h"

#include "TextFile.h"
#include "support/MakeMap.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>

namespace {

// Every grid point of the SOI map explained gives what the chain computes.
void ExpectTheChainAtEveryGridPoint(const Map& rail, const Map& duration, const Map& soi) {
    auto derived = std::make_unique<DerivedMaps>();
    DeriveMaps(rail, duration, soi, *derived);
    for (int x = 0; x < soi.XCount; ++x) {
        for (int y = 0; y < soi.YCount; ++y) {
            TExplanation e;
            ASSERT_TRUE(ExplainPoint(rail, duration, soi, soi.XAxis[x], soi.YAxis[y], e));
            ASSERT_EQ(e.RailPressure.Value, derived->NewRailPressureMap.Value[x][y]) << x << y;
            ASSERT_EQ(e.DurationUs, derived->NewDurationMapUs.Value[x][y]) << x << " " << y;
            ASSERT_EQ(e.DurationDeg, derived->NewDurationMapDeg.Value[x][y]) << x << " " << y;
            ASSERT_TRUE(e.OnSoiGrid);
            ASSERT_EQ(e.Soi.Value, soi.Value[x][y]);
            ASSERT_EQ(e.Eoi, derived->NewEOIMap.Value[x][y]) << x << " " << y;
            // The lookups beyond the axes are those the chain flags.
            const std::uint8_t flags = derived->Flags.NewEOIMap.Cell[x][y];
            ASSERT_EQ(e.RailPressure.X.Side < 0, (flags & kRailXBelow) != 0);
            ASSERT_EQ(e.RailPressure.Y.Side > 0, (flags & kRailYAbove) != 0);
            ASSERT_EQ(e.Duration.Y.Side > 0, (flags & kDurationYAbove) != 0);
        }
    }
}

TEST(Explain, EqualsTheChainAtEveryGridPoint) {
    const std::string demo = std::string(MAPWRIGHT_SOURCE_DIR) + "/app/demo/";
    auto maps = std::make_unique<std::array<Map, 3>>();
    const char* files[] = {"DemoRailPressure.txt", "DemoDuration.txt", "DemoSOI.txt"};
    for (int i = 0; i < 3; ++i) {
        std::string text;
        std::string error;
        ASSERT_TRUE(ReadTextFile(demo + files[i], text, error)) << error;
        ParseMap(text, (*maps)[static_cast<std::size_t>(i)]);
    }
    ExpectTheChainAtEveryGridPoint((*maps)[0], (*maps)[1], (*maps)[2]);

    // Random maps whose axes reach past each other on every side.
    std::mt19937 rng(4711);
    std::uniform_real_distribution<double> unit(0, 1);
    for (int round = 0; round < 50; ++round) {
        for (Map& m : *maps) {
            m = Map{};
            m.XCount = 1 + static_cast<int>(unit(rng) * 20);
            m.YCount = 1 + static_cast<int>(unit(rng) * 20);
            double x = -5 + 10 * unit(rng);
            for (int i = 0; i < m.XCount; ++i, x += 0.5 + 5 * unit(rng)) {
                m.XAxis[i] = x;
            }
            double y = 300 + 600 * unit(rng);
            for (int j = 0; j < m.YCount; ++j, y += 10 + 300 * unit(rng)) {
                m.YAxis[j] = y;
            }
            for (int i = 0; i < m.XCount; ++i) {
                for (int j = 0; j < m.YCount; ++j) {
                    m.Value[i][j] = 2000 * unit(rng);
                }
            }
        }
        ExpectTheChainAtEveryGridPoint((*maps)[0], (*maps)[1], (*maps)[2]);
    }
}

// Between and beyond the axes, weights worked by hand.
TEST(Explain, BracketsAndWeights) {
    const Map m = MakeMap({0, 10, 20}, {1000, 2000}, [](int x, int y) {
        const double cells[3][2] = {{100, 300}, {200, 500}, {250, 700}};
        return cells[x][y];
    });
    const struct {
        double X, Y;
        int XLo, XHi, XSide;
        double XWeight;
        int YLo, YHi, YSide;
        double YWeight;
        double Value;
    } cases[] = {
        {5, 1500, 0, 1, 0, 0.5, 0, 1, 0, 0.5, (150 + 400) / 2.0},
        {2.5, 1750, 0, 1, 0, 0.25, 0, 1, 0, 0.75, 125 * 0.25 + 350 * 0.75},
        {10, 2000, 1, 2, 0, 0, 1, 1, 0, 0, 500},   // on the grid
        {25, 500, 2, 2, 1, 0, 0, 0, -1, 0, 250},   // beyond X's end, before Y's start
        {-1, 2500, 0, 0, -1, 0, 1, 1, 1, 0, 300},  // before X's start, beyond Y's end
        {15, 2500, 1, 2, 0, 0.5, 1, 1, 1, 0, 600}, // between in X, beyond in Y
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.X << ", " << c.Y);
        const TLookupStep l = ExplainLookup(m, c.X, c.Y);
        EXPECT_EQ(l.X.Lo, c.XLo);
        EXPECT_EQ(l.X.Hi, c.XHi);
        EXPECT_EQ(l.X.Side, c.XSide);
        EXPECT_DOUBLE_EQ(l.X.Weight, c.XWeight);
        EXPECT_EQ(l.Y.Lo, c.YLo);
        EXPECT_EQ(l.Y.Hi, c.YHi);
        EXPECT_EQ(l.Y.Side, c.YSide);
        EXPECT_DOUBLE_EQ(l.Y.Weight, c.YWeight);
        EXPECT_DOUBLE_EQ(l.Value, c.Value);
        EXPECT_EQ(l.Cells[0][0], m.Value[c.XLo][c.YLo]);
        EXPECT_EQ(l.Cells[1][1], m.Value[c.XHi][c.YHi]);
    }
}

TEST(Explain, ShareBeforeTdc) {
    const struct {
        double Soi, Duration, Share;
    } cases[] = {{3, 6, 50},  {-1, 6, 0}, {8, 6, 100}, {6, 6, 100},
                 {1, 0, 100}, {0, 0, 0},  {-1, 0, 0},  {1.5, 6, 25}};
    for (const auto& c : cases) {
        EXPECT_DOUBLE_EQ(BeforeTdcShare(c.Soi, c.Duration), c.Share) << c.Soi << " " << c.Duration;
    }
}

// One grid point: 800 bar, 500 us at 800 bar, 6 degrees at 2000 1/min,
// SOI 10: the injection ends 4 degrees before TDC. Off the grid, the SOI is
// looked up too, and extrapolated lookups say which end.
TEST(Explain, TextSaysEveryStep) {
    const Map rail = Constant({10}, {2000}, 800);
    const Map duration =
        MakeMap({10}, {400, 1200}, [](int, int y) { return y == 0 ? 300.0 : 700.0; });
    const Map soi = Constant({10, 20}, {2000}, 10);
    TExplanation e;
    ASSERT_TRUE(ExplainPoint(rail, duration, soi, 10, 2000, e));
    EXPECT_EQ(ExplanationText(e),
              "10.0 mm3 at 2000 1/min\r\n"
              "rail pressure  800.0 bar       rail pressure map, X 10.0, Y 2000\r\n"
              "duration       500.0 \xC2\xB5s        duration map, X 10.0, Y 400\xE2\x80\x93"
              "1200 (0.50/0.50); 500.00 rounded\r\n"
              "               6.00 \xC2\xB0"
              "CA        500.0 \xC2\xB5s \xC3\x97 2000 1/min "
              "\xC3\x97 6e-6\r\n"
              "SOI            10.00 \xC2\xB0"
              "CA BTDC  SOI map cell\r\n"
              "EOI            4.00 \xC2\xB0"
              "CA        4.00\xC2\xB0 before TDC; 100.0 % of the "
              "injection before TDC\r\n");
    ASSERT_TRUE(ExplainPoint(rail, duration, soi, 25, 1000, e));
    EXPECT_FALSE(e.OnSoiGrid);
    const std::string text = ExplanationText(e);
    EXPECT_NE(text.find("rail pressure map, X above 10.0 (the last value continued), Y below "
                        "2000 (the first value continued)"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("SOI map, X above 20.0"), std::string::npos) << text;
    // 3 degrees at 1000 1/min from SOI 10.
    EXPECT_EQ(e.DurationDeg, 3.0);
    EXPECT_EQ(e.Eoi, 7.0);
    EXPECT_FALSE(ExplainPoint(rail, Map{}, soi, 10, 2000, e));
}

} // namespace
