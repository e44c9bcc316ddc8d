#include "Report.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdio>
#include <limits>
#include <memory>
#include <random>

namespace {

std::string Printf(double v, int n) {
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, "%.*f", n, v);
    return buffer;
}

TEST(FormatNumber, FixedPointLikePrintf) {
    EXPECT_EQ(FormatNumber(1.25, 1), "1.2"); // an exact tie goes to even, as printf does
    EXPECT_EQ(FormatNumber(1.35, 1), "1.4");
    EXPECT_EQ(FormatNumber(2.5, 0), "2");
    EXPECT_EQ(FormatNumber(3.5, 0), "4");
    EXPECT_EQ(FormatNumber(-2.0, 1), "-2.0");
    EXPECT_EQ(FormatNumber(-0.04, 1), "-0.0");
    EXPECT_EQ(FormatNumber(-0.0, 1), "-0.0");
    EXPECT_EQ(FormatNumber(0.0, 0), "0");
    EXPECT_EQ(FormatNumber(1800, 0), "1800");
    EXPECT_EQ(FormatNumber(0.05, 1), "0.1");
    EXPECT_EQ(FormatNumber(123456789.96, 1), "123456790.0");
    EXPECT_EQ(FormatNumber(1e15, 1), "1000000000000000.0"); // longer than 15: written whole
    EXPECT_EQ(FormatNumber(-1e300, 1).size(), 304u);
    EXPECT_EQ(FormatNumber(1.5, 6), "1.500000");
    EXPECT_EQ(FormatNumber(std::numeric_limits<double>::infinity(), 1), "inf");
}

TEST(FormatNumber, MatchesPrintfOnRandomValues) {
    std::mt19937_64 rng(7);
    std::uniform_real_distribution<double> exponent(-12, 19);
    for (int i = 0; i < 200000; ++i) {
        const int n = static_cast<int>(rng() % 5);
        double v;
        switch (i % 4) {
        case 0: // anything from tiny to beyond the fast path
            v = std::pow(10.0, exponent(rng)) * ((rng() & 1) ? -1 : 1);
            break;
        case 1: // exact ties at the last decimal
            v = (static_cast<double>(rng() % 2000000) + 0.5) / std::pow(10.0, n);
            break;
        case 2: // raw bit patterns of normal numbers
            do {
                v = std::bit_cast<double>(rng());
            } while (!std::isfinite(v));
            break;
        default: // typical map values
            v = static_cast<double>(static_cast<std::int64_t>(rng() % 400000) - 200000) / 100.0;
            break;
        }
        ASSERT_EQ(FormatNumber(v, n), Printf(v, n)) << std::hexfloat << v << " n=" << n;
    }
}

Map RenderingExample() {
    Map m;
    m.XCount = 2;
    m.YCount = 1;
    m.XAxis[0] = 1.2;
    m.XAxis[1] = 2.5;
    m.YAxis[0] = 1000;
    m.Value[0][0] = 3.14;
    m.Value[1][0] = -2;
    return m;
}

TEST(MapToText, RenderingExample) {
    EXPECT_EQ(MapToText(RenderingExample(), "T", "D", "U", "V", 1, 0, 1, -1, 3),
              "T (2, 1)\r\n"
              "\r\n"
              "D\r\n"
              "\r\n"
              "\t\tU\r\n"
              "\t\t[G]1.2[/]\t[G]2.5[/]\r\n"
              "V\t[G]1000[/]\t[B]3.1[/]\t[R]-2.0[/]\r\n");
}

TEST(MapToText, EmptyMapHasHeaderOnly) {
    EXPECT_EQ(MapToText(Map{}, "T", "D", "U", "V", 1, 0, 1, -1, 3),
              "T (0, 0)\r\n\r\nD\r\n\r\n\t\tU\r\n\t\r\n");
}

TEST(ColorCode, BoundariesAndOrder) {
    EXPECT_EQ(ColorCode(-8, -8, 0), "[R]"); // equal to lo: red
    EXPECT_EQ(ColorCode(-8.05, -8, 0), "[R]");
    EXPECT_EQ(ColorCode(-7.95, -8, 0), "");
    EXPECT_EQ(ColorCode(0, -8, 0), "[B]"); // equal to hi: blue
    EXPECT_EQ(ColorCode(-0.0, -8, 0), "[B]");
    EXPECT_EQ(ColorCode(5, 10, 0), "[R]"); // lo is tested first
    EXPECT_EQ(ColorCode(std::nan(""), -8, 0), "");
}

TEST(MapDataToText, ValueRowsOnly) {
    Map m;
    m.XCount = 3;
    m.YCount = 2;
    for (int x = 0; x < 3; ++x) {
        for (int y = 0; y < 2; ++y) {
            m.Value[x][y] = x + 10 * y + 0.25;
        }
    }
    EXPECT_EQ(MapDataToText(m, 1), "0.2\t1.2\t2.2\r\n10.2\t11.2\t12.2\r\n");
    EXPECT_EQ(MapDataToText(Map{}, 1), "");
}

TEST(ReadEoiThresholds, EmptyEditSwitchesColoursOff) {
    const Thresholds defaults = ReadEoiThresholds("-8", "0");
    EXPECT_EQ(defaults.Lo, -8.0);
    EXPECT_EQ(defaults.Hi, 0.0);
    for (const auto& [lo, hi] : {std::pair{"", "0"}, std::pair{"-8", ""}, std::pair{"", ""}}) {
        const Thresholds off = ReadEoiThresholds(lo, hi);
        EXPECT_EQ(off.Lo, -9999.0);
        EXPECT_EQ(off.Hi, 9999.0);
    }
    EXPECT_EQ(ReadEoiThresholds("5,5", "7").Lo, 5.5);
    EXPECT_EQ(ReadEoiThresholds(" ", "x").Lo, 0.0); // blanks only: not empty, no number
    EXPECT_EQ(ReadEoiThresholds(" ", "x").Hi, 0.0);
}

TEST(BuildViewText, TitlesUnitsDecimalsAndThresholds) {
    auto maps = std::make_unique<DerivedMaps>();
    for (Map* m : {&maps->NewRailPressureMap, &maps->NewDurationMapRP, &maps->NewDurationMapUs,
                   &maps->NewDurationMapDeg, &maps->NewEOIMap}) {
        m->XCount = 1;
        m->YCount = 1;
        m->XAxis[0] = 5;
        m->YAxis[0] = 1500;
        m->Value[0][0] = -9.25;
    }
    const Thresholds eoi{-8, 0};
    EXPECT_EQ(BuildViewText(OutputView::RailPressure, *maps, eoi),
              "Rail pressure Map (1, 1)\r\n\r\n"
              "Rail pressure(Injection Quantity,Engine Speed)/Bar\r\n\r\n\t\tmm3\r\n"
              "\t\t[G]5.0[/]\r\n1/min\t[G]1500[/]\t-9[/]\r\n");
    EXPECT_NE(BuildViewText(OutputView::DurationRP, *maps, eoi)
                  .find("Duration(Injection Quantity, Rail Pressure)/\xB5s\r\n\r\n\t\tmm3\r\n"),
              std::string::npos);
    EXPECT_NE(BuildViewText(OutputView::DurationRP, *maps, eoi).find("Bar\t[G]1500[/]"),
              std::string::npos);
    EXPECT_NE(BuildViewText(OutputView::DurationUs, *maps, eoi)
                  .find("Duration(Injection Quantity, Engine Speed)/\xB5s"),
              std::string::npos);
    EXPECT_NE(BuildViewText(OutputView::DurationDeg, *maps, eoi).find("\t-9.2[/]\r\n"),
              std::string::npos); // one decimal, black against +-99999
    EXPECT_NE(BuildViewText(OutputView::EOI, *maps, eoi).find("EOI (1, 1)\r\n"), std::string::npos);
    EXPECT_NE(BuildViewText(OutputView::EOI, *maps, eoi).find("\t[R]-9.2[/]\r\n"),
              std::string::npos);
    EXPECT_EQ(BuildViewText(OutputView::DurationDegData, *maps, eoi), "-9.2\r\n");
    EXPECT_EQ(BuildViewText(OutputView::EOIData, *maps, eoi), "-9.2\r\n");
}

} // namespace
