// `mapwright convert` against outputs kept in tests/golden/ (written by
// tools/make-golden): every view of the demo maps and of hand-made maps
// (more than 50 columns and rows, junk cells, lookups beyond every side),
// plain and with colour codes, byte for byte, and retime's worked example.
// Scripts rely on this output.

#include "support/Files.h"
#include "support/Process.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(GoldenOutputs, EveryViewOfEveryCaseByteForByte) {
    const std::string golden = MAPWRIGHT_GOLDEN_DIR;
    const char* const views[] = {"rail-pressure",     "duration-rp", "duration-us", "duration-deg",
                                 "duration-deg-data", "eoi",         "eoi-data"};
    for (const std::string c : {"demo", "wide", "junk", "outside"}) {
        const std::string dir = golden + "/" + c + "/";
        const std::string demo = std::string(MAPWRIGHT_SOURCE_DIR) + "/app/demo/";
        const std::string rp = c == "demo" ? demo + "DemoRailPressure.txt" : dir + "rp.txt";
        const std::string du = c == "demo" ? demo + "DemoDuration.txt" : dir + "duration.txt";
        const std::string soi = c == "demo" ? demo + "DemoSOI.txt" : dir + "soi.txt";
        for (const char* view : views) {
            for (const std::string colour : {"never", "codes"}) {
                const ProcessResult run =
                    RunProcess({MAPWRIGHT_EXE, "convert", "--rail-pressure", rp, "--duration", du,
                                "--soi", soi, "--view", view, "--color", colour});
                const std::string expected =
                    Slurp(dir + view + (colour == "codes" ? ".codes.txt" : ".txt"));
                ASSERT_FALSE(expected.empty()) << c << " " << view;
                EXPECT_EQ(run.ExitCode, 0) << c << " " << view << " " << colour;
                EXPECT_TRUE(run.Out == expected) << c << " " << view << " " << colour
                                                 << ": the output differs from tests/golden";
            }
        }
    }
}

// The README's worked example: the demo duration map 10 % longer, the SOI
// retimed to keep the demo maps' EOI.
TEST(GoldenOutputs, RetimeKeepsTheBaselineEoi) {
    const std::string dir = std::string(MAPWRIGHT_GOLDEN_DIR) + "/retime/";
    const std::string demo = std::string(MAPWRIGHT_SOURCE_DIR) + "/app/demo/";
    const ProcessResult run =
        RunProcess({MAPWRIGHT_EXE, "retime", "--rail-pressure", demo + "DemoRailPressure.txt",
                    "--duration", dir + "duration+10.txt", "--soi", demo + "DemoSOI.txt",
                    "--baseline-rail-pressure", demo + "DemoRailPressure.txt",
                    "--baseline-duration", demo + "DemoDuration.txt", "--color", "never"});
    EXPECT_EQ(run.ExitCode, 0) << run.Err;
    const std::string expected = Slurp(dir + "new-soi.txt");
    ASSERT_FALSE(expected.empty());
    EXPECT_TRUE(run.Out == expected) << "the output differs from tests/golden/retime";
}

} // namespace
