#include "Cli.h"

#include "support/Files.h"
#include "support/Process.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

// One grid point: SOI 10 degrees at 2000 1/min, 800 bar there, 500 us at
// 800 bar; so 6.0 degrees of injection ending 4.0 degrees before TDC.
constexpr const char* kHeader = "h\r\n\r\nh\r\n\r\n\t\tmm3\r\n";

class Convert : public testing::Test {
protected:
    Convert() {
        m_rail = m_dir.Write("rp.txt", std::string(kHeader) + "\t\t10\r\n1/min\t2000\t800\r\n");
        m_duration = m_dir.Write("dur.txt", std::string(kHeader) +
                                                "\t\t10\r\nBar\t400\t300\r\n\t1200\t700\r\n");
        m_soi = m_dir.Write("soi.txt", std::string(kHeader) + "\t\t10\r\n1/min\t2000\t10\r\n");
    }

    ProcessResult Run(std::vector<std::string> extra) const {
        std::vector<std::string> argv = {MAPWRIGHT_EXE, "convert",  "--rail-pressure", m_rail,
                                         "--duration",  m_duration, "--soi",           m_soi};
        argv.insert(argv.end(), extra.begin(), extra.end());
        return RunProcess(argv);
    }

    TempDir m_dir;
    std::string m_rail;
    std::string m_duration;
    std::string m_soi;
};

TEST_F(Convert, PrintsThePlainEoiReport) {
    const ProcessResult r = Run({});
    EXPECT_EQ(r.ExitCode, 0) << r.Err;
    EXPECT_EQ(r.Out, "EOI (1, 1)\r\n"
                     "\r\n"
                     "Duration(Injection Quantity, Engine Speed)/degCA\r\n"
                     "\r\n"
                     "\t\tmm3\r\n"
                     "\t\t10.0\r\n"
                     "1/min\t2000\t4.0\r\n");
    EXPECT_EQ(r.Err, "");
}

TEST_F(Convert, ViewsColoursAndEncoding) {
    EXPECT_EQ(Run({"--view", "eoi-data"}).Out, "4.0\r\n");
    EXPECT_EQ(Run({"--view", "duration-deg-data"}).Out, "6.0\r\n");
    EXPECT_EQ(Run({"--view", "duration-us", "--color", "never"}).Out.substr(0, 20),
              "New Duration Map (1,");

    const std::string rp = Run({"--view", "duration-rp"}).Out;
    EXPECT_NE(rp.find("Rail Pressure)/\xB5s\r\n"), std::string::npos);
    EXPECT_NE(rp.find("Bar\t400\t300\r\n\t1200\t700\r\n"), std::string::npos);
    EXPECT_NE(Run({"--view", "duration-rp", "--utf8"}).Out.find("Pressure)/\xC2\xB5s"),
              std::string::npos);

    // 4.0 is at or above the default high threshold 0: blue.
    EXPECT_NE(Run({"--color", "codes"}).Out.find("1/min\t[G]2000[/]\t[B]4.0[/]\r\n"),
              std::string::npos);
    EXPECT_NE(Run({"--color", "codes", "--thresholds", "5", "9"}).Out.find("\t[R]4.0[/]"),
              std::string::npos);
    EXPECT_NE(Run({"--color", "codes", "--thresholds", "", "0"}).Out.find("\t4.0[/]"),
              std::string::npos);
    EXPECT_NE(Run({"--color", "codes", "--thresholds", "3,5", "4,5"}).Out.find("\t4.0[/]"),
              std::string::npos);

    // Each threshold is on or off by itself, and the JSON says what colours:
    // 5 colours 4.0 red while 10000 (beyond 9999) colours nothing.
    EXPECT_NE(Run({"--color", "codes", "--thresholds", "5", "10000"}).Out.find("\t[R]4.0[/]"),
              std::string::npos);
    const struct {
        std::vector<std::string> Args;
        const char* Says;
    } json[] = {
        {{"--thresholds", "5", "10000"}, "\"thresholds\": {\"lo\": 5.000000, \"hi\": null}"},
        {{"--thresholds", "-9999", "0"}, "\"thresholds\": {\"lo\": null, \"hi\": 0.000000}"},
        {{"--thresholds", "", ""}, "\"thresholds\": null"},
        {{"--view", "eoi-data"}, "\"thresholds\": null"}, // never coloured
    };
    for (const auto& j : json) {
        std::vector<std::string> args = j.Args;
        args.insert(args.end(), {"--format", "json"});
        const std::string out = Run(args).Out;
        EXPECT_NE(out.find(j.Says), std::string::npos) << j.Says << "\n" << out.substr(0, 400);
    }

    const std::string ansi = Run({"--color", "always"}).Out;
    EXPECT_NE(ansi.find("\x1b[0;94m4.0"), std::string::npos);
    EXPECT_EQ(ansi.find('['), ansi.find("\x1b[") + 1); // no colour code left as text
    EXPECT_EQ(Run({"--color", "auto"}).Out.find('\x1b'), std::string::npos); // not a terminal
}

TEST_F(Convert, IncompleteMapExitsOneAndNamesIt) {
    m_soi = m_dir.Write("empty.txt", "");
    const ProcessResult r = Run({});
    EXPECT_EQ(r.ExitCode, 1);
    EXPECT_EQ(r.Out, "");
    EXPECT_EQ(std::count(r.Err.begin(), r.Err.end(), '\n'), 1);
    EXPECT_NE(r.Err.find("SOI map in " + m_soi), std::string::npos) << r.Err;

    m_rail = m_dir.Write("header-only.txt", std::string(kHeader) + "\t\t10\r\n");
    EXPECT_NE(Run({}).Err.find("rail pressure map in " + m_rail), std::string::npos);
}

TEST_F(Convert, UnreadableFileExitsTwo) {
    m_duration = m_dir.Path() + "/nope.txt";
    const ProcessResult r = Run({});
    EXPECT_EQ(r.ExitCode, 2);
    EXPECT_EQ(r.Out, "");
    EXPECT_EQ(r.Err, "mapwright: cannot read " + m_duration + ": No such file or directory\n");
}

TEST_F(Convert, BadArgumentsExitTwoWithUsage) {
    // Every option once; a value is never the next option.
    const struct {
        std::vector<std::string> Extra;
        const char* Message;
    } cases[] = {
        {{"--view", "nope"}, "unknown view 'nope'"},
        {{"--color", "sometimes"}, "--color needs auto"},
        {{"--thresholds", "1"}, "--thresholds needs LO and HI"},
        {{"--thresholds", "--view", "eoi"}, "--thresholds needs LO and HI"},
        {{"--thresholds", "1", "--utf8"}, "--thresholds needs LO and HI"},
        {{"--view", "--utf8"}, "--view needs a VIEW"},
        {{"--format", "--diagnostics"}, "--format needs text or json"},
        {{"--bogus"}, "unknown argument '--bogus'"},
        {{"--soi", "a"}, "--soi given twice"},
        {{"--view", "eoi", "--view", "eoi-data"}, "--view given twice"},
        {{"--thresholds", "1", "2", "--thresholds", "3", "4"}, "--thresholds given twice"},
        {{"--color", "never", "--color", "codes"}, "--color given twice"},
        {{"--format", "json", "--format", "text"}, "--format given twice"},
        {{"--utf8", "--utf8"}, "--utf8 given twice"},
    };
    for (const auto& c : cases) {
        const ProcessResult r = Run(c.Extra);
        EXPECT_EQ(r.ExitCode, 2) << c.Message;
        EXPECT_EQ(r.Out, "");
        EXPECT_EQ(r.Err.rfind(std::string("mapwright convert: ") + c.Message, 0), 0u) << r.Err;
        EXPECT_NE(r.Err.find("mapwright convert --rail-pressure FILE"), std::string::npos);
    }
    // Values that look like options but are not: negative and empty thresholds.
    EXPECT_EQ(Run({"--thresholds", "-8", "-1", "--color", "codes"}).ExitCode, 0);
    EXPECT_EQ(Run({"--thresholds", "", ""}).ExitCode, 0);
    const ProcessResult version = Run({"--version"});
    EXPECT_EQ(version.ExitCode, 0);
    EXPECT_EQ(version.Out, "Mapwright " MAPWRIGHT_VERSION "\n");
    const ProcessResult missing = RunProcess({MAPWRIGHT_EXE, "convert", "--soi", m_soi});
    EXPECT_EQ(missing.ExitCode, 2);
    EXPECT_NE(missing.Err.find("are all required"), std::string::npos);
}

// The commands start like a plain program: they never load the GUI toolkit,
// which only the window's module brings in (the dynamic loader's own account
// of the files it opens, through LD_DEBUG).
TEST_F(Convert, TheCommandsLoadNoToolkitAndTheWindowDoes) {
    const TempDir dir;
    setenv("LD_DEBUG", "files", 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 0); // the window needs no display

    const struct {
        std::vector<std::string> Argv;
        bool Toolkit;
    } cases[] = {
        {{MAPWRIGHT_EXE, "convert", "--rail-pressure", m_rail, "--duration", m_duration, "--soi",
          m_soi},
         false},
        {{MAPWRIGHT_EXE, "retime", "--rail-pressure", m_rail, "--duration", m_duration, "--soi",
          m_soi, "--target-eoi-value", "3"},
         false},
        {{MAPWRIGHT_EXE, "explain", "--rail-pressure", m_rail, "--duration", m_duration, "--soi",
          m_soi, "--at", "10", "2000"},
         false},
        {{MAPWRIGHT_EXE, "--version"}, false},
        {{MAPWRIGHT_EXE, "--help"}, false},
        {{MAPWRIGHT_EXE, "--screenshot", dir.Path() + "/window.png"}, true},
    };
    for (const auto& c : cases) {
        const ProcessResult r = RunProcess(c.Argv);
        EXPECT_EQ(r.ExitCode, 0) << c.Argv[1];
        EXPECT_EQ(r.Err.find("libQt6Core") != std::string::npos, c.Toolkit) << c.Argv[1];
    }
    unsetenv("LD_DEBUG");
}

// The manual page keeps up with the program: every option that --help
// names is in it, and every view.

TEST(Mapwright, ManualPageNamesEveryOptionOfTheUsage) {
    std::string page = Slurp(std::string(MAPWRIGHT_SOURCE_DIR) + "/resources/man/mapwright.1");
    ASSERT_FALSE(page.empty());
    // troff writes a hyphen as \-.
    for (std::size_t at = page.find("\\-"); at != std::string::npos; at = page.find("\\-", at)) {
        page.erase(at, 1);
    }
    const std::string usage = UsageText();
    std::vector<std::string> missing;
    int options = 0;
    for (std::size_t at = usage.find("--"); at != std::string::npos; at = usage.find("--", at)) {
        std::size_t end = at + 2;
        while (end < usage.size() &&
               (std::isalnum(static_cast<unsigned char>(usage[end])) != 0 || usage[end] == '-')) {
            ++end;
        }
        const std::string option = usage.substr(at, end - at);
        at = end;
        if (option.size() <= 2) {
            continue;
        }
        ++options;
        if (page.find(option) == std::string::npos) {
            missing.push_back(option);
        }
    }
    EXPECT_GT(options, 25);
    for (const char* view : {"rail-pressure", "duration-rp", "duration-us", "duration-deg-data",
                             "eoi-data", "before-tdc", "eoi-delta", "check-eoi"}) {
        if (page.find(view) == std::string::npos) {
            missing.emplace_back(view);
        }
    }
    EXPECT_TRUE(missing.empty()) << "not in resources/man/mapwright.1: "
                                 << testing::PrintToString(missing);
}

TEST(Mapwright, HelpAndVersionNeedNoDisplay) {
    const ProcessResult help = RunProcess({MAPWRIGHT_EXE, "--help"});
    EXPECT_EQ(help.ExitCode, 0);
    EXPECT_EQ(help.Out, UsageText());
    const ProcessResult version = RunProcess({MAPWRIGHT_EXE, "--version"});
    EXPECT_EQ(version.ExitCode, 0);
    EXPECT_EQ(version.Out, "Mapwright " MAPWRIGHT_VERSION "\n");
    EXPECT_EQ(RunProcess({MAPWRIGHT_EXE, "frobnicate"}).ExitCode, 2);
    // A demo folder that is not there (or lacks a file) is refused at once.
    const ProcessResult demo = RunProcess({MAPWRIGHT_EXE, "--demo-dir", "/nonexistent", "--demo"});
    EXPECT_EQ(demo.ExitCode, 2);
    EXPECT_EQ(demo.Err, "mapwright: --demo-dir /nonexistent: DemoRailPressure.txt not found\n");
}

TEST(Mapwright, WithoutADisplayTheWindowSaysSoAndExitsOne) {
    // The window mode with no display at all: one line, exit 1, no crash.
    std::vector<std::pair<std::string, std::string>> saved;
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        if (const char* value = std::getenv(name)) {
            saved.emplace_back(name, value);
        }
        unsetenv(name);
    }
    const ProcessResult r = RunProcess({MAPWRIGHT_EXE, "--demo"});
    for (const auto& [name, value] : saved) {
        setenv(name.c_str(), value.c_str(), 1);
    }
    EXPECT_EQ(r.ExitCode, 1);
    EXPECT_EQ(std::count(r.Err.begin(), r.Err.end(), '\n'), 1) << r.Err;
    EXPECT_NE(r.Err.find("no display"), std::string::npos);
    EXPECT_EQ(r.Out, "");
}

TEST(Mapwright, ConvertsTheDemoMaps) {
    const std::string dir = MAPWRIGHT_DEMO_DIR;
    const ProcessResult r = RunProcess(
        {MAPWRIGHT_EXE, "convert", "--rail-pressure", dir + "/DemoRailPressure.txt", "--duration",
         dir + "/DemoDuration.txt", "--soi", dir + "/DemoSOI.txt", "--color", "codes"});
    ASSERT_EQ(r.ExitCode, 0) << r.Err;
    EXPECT_EQ(r.Out.rfind("EOI (16, 12)\r\n", 0), 0u);
    // The demo shows every colour with the default thresholds.
    EXPECT_NE(r.Out.find("[R]"), std::string::npos);
    EXPECT_NE(r.Out.find("[B]"), std::string::npos);
    EXPECT_NE(r.Out.find("\t-1.0[/]"), std::string::npos);
}

} // namespace

namespace {

// The command line of a convert run for a shell, with its output redirected.
std::string Shell(const std::vector<std::string>& args, const std::string& redirect) {
    std::string line = MAPWRIGHT_EXE;
    for (const std::string& a : args) {
        line += " '" + a + "'";
    }
    return line + " " + redirect;
}

TEST_F(Convert, OutputThatCannotBeWrittenIsAnError) {
    const std::vector<std::string> args = {"convert",  "--rail-pressure", m_rail, "--duration",
                                           m_duration, "--soi",           m_soi};
    const struct {
        std::vector<std::string> Args;
        const char* Redirect;
    } cases[] = {
        {args, ">/dev/full"}, // a full disk
        {args, ">&-"},        // no output at all
        {{"convert", "--help"}, ">/dev/full"},
        {{"--help"}, ">/dev/full"},
        {{"--version"}, ">/dev/full"},
    };
    for (const auto& c : cases) {
        const ProcessResult run = RunProcess({"/bin/sh", "-c", Shell(c.Args, c.Redirect)});
        EXPECT_EQ(run.ExitCode, 2) << c.Args[0] << " " << c.Redirect;
        EXPECT_EQ(run.Err.rfind("mapwright: cannot write the output: ", 0), 0u) << run.Err;
        EXPECT_EQ(std::count(run.Err.begin(), run.Err.end(), '\n'), 1) << run.Err;
    }
    // Diagnostics asked for that cannot be written: exit 2, the view not printed.
    std::vector<std::string> diagnosed = args;
    diagnosed.insert(diagnosed.end(), {"--thresholds", "1", "2", "--diagnostics"});
    m_soi = m_dir.Write("soi.txt", std::string(kHeader) + "\t\t10\r\n1/min\t2000\tx\r\n");
    for (const char* redirect : {"2>/dev/full", "2>&-"}) {
        const ProcessResult run = RunProcess({"/bin/sh", "-c", Shell(diagnosed, redirect)});
        EXPECT_EQ(run.ExitCode, 2) << redirect;
        EXPECT_EQ(run.Out, "") << redirect;
    }
    // A reader that stops early ends the program quietly, as usual.
    const ProcessResult head = RunProcess({"/bin/sh", "-c", Shell(args, "--view eoi | head -c 3")});
    EXPECT_EQ(head.Out, "EOI");
    EXPECT_EQ(head.Err, "");
}

TEST_F(Convert, HugeAndEndlessInputsAreReadOnlyAsFarAsTheyMatter) {
    // A map followed by 200 MB of nothing (a sparse file): the same output as
    // the map alone. /dev/zero ends at once as an incomplete map.
    const std::string plain = Run({"--view", "eoi"}).Out;
    const std::string big =
        m_dir.Write("big.txt", std::string(kHeader) + "\t\t10\r\n1/min\t2000\t800\r\n");
    ASSERT_EQ(::truncate(big.c_str(), 200L << 20), 0);
    const ProcessResult run =
        RunProcess({"/usr/bin/timeout", "20", MAPWRIGHT_EXE, "convert", "--rail-pressure", big,
                    "--duration", m_duration, "--soi", m_soi, "--view", "eoi"});
    EXPECT_EQ(run.ExitCode, 0);
    EXPECT_EQ(run.Out, plain);
    const ProcessResult zero =
        RunProcess({"/usr/bin/timeout", "20", MAPWRIGHT_EXE, "convert", "--rail-pressure",
                    "/dev/zero", "--duration", m_duration, "--soi", m_soi});
    EXPECT_EQ(zero.ExitCode, 1) << "124 means it never ended";
    EXPECT_NE(zero.Err.find("rail pressure map in /dev/zero is incomplete"), std::string::npos);
    // Counting findings, /dev/zero is one endless line: cut, and read so far.
    const ProcessResult counted =
        RunProcess({"/usr/bin/timeout", "20", MAPWRIGHT_EXE, "convert", "--rail-pressure",
                    "/dev/zero", "--duration", m_duration, "--soi", m_soi, "--diagnostics"});
    EXPECT_EQ(counted.ExitCode, 1);
    EXPECT_EQ(counted.Err.rfind("rail-pressure\t1\t0\tlong-line\t67108864 characters\tthe "
                                "first 65536 read\nrail-pressure\t1\t0\tread-limit\t1 line\t"
                                "the rest not read\n",
                                0),
              0u)
        << counted.Err;
}

// A duration map with a typo, a short row and a falling rail pressure, whose
// quantities end below the SOI map's; a rail pressure map with four X values
// beyond fifty.
TEST_F(Convert, DiagnosticsAndJsonSayWhatWasNotRead) {
    std::string xs = "\t";
    std::string row = "1/min\t2000";
    for (int x = 0; x < 54; ++x) {
        xs += "\t" + std::to_string(10 + x);
        row += "\t800";
    }
    m_rail = m_dir.Write("rp.txt", std::string(kHeader) + xs + "\r\n" + row + "\r\n");
    m_duration =
        m_dir.Write("dur.txt", std::string(kHeader) + "\t\t5\t6\r\nBar\t400\t30o\t300\r\n"
                                                      "\t1200\t700\r\n\t1000\t700\t700\r\n");
    const ProcessResult plain = Run({});
    const ProcessResult diagnosed = Run({"--diagnostics"});
    EXPECT_EQ(diagnosed.ExitCode, plain.ExitCode);
    EXPECT_EQ(diagnosed.Out, plain.Out); // the view's bytes do not change
    EXPECT_EQ(plain.Err, "");
    EXPECT_EQ(diagnosed.Err, "rail-pressure\t6\t53\tignored-x\t4 X values\tbeyond 50: ignored\n"
                             "duration\t7\t3\tnot-a-number\t30o\tread as 0\n"
                             "duration\t8\t4\tshort-row\t1 of 2 values\t"
                             "the missing values read as 0\n"
                             "duration\t9\t2\ty-not-increasing\t1000\t"
                             "not above the Y value of the row before; used as it is\n"
                             "eoi\t0\t0\textrapolated\t1 of 1 cells\t"
                             "above the duration map's quantities: the edge value continued\n");

    // JSON, checked by a JSON parser: the view's numbers, flags and findings.
    // At 800 bar the duration lies between 300 us (400 bar) and the short
    // row's missing 0 (1200 bar): 150 us, 1.8 degrees at 2000 1/min, EOI 8.2.
    const ProcessResult json = Run({"--format", "json"});
    ASSERT_EQ(json.ExitCode, 0);
    const std::string file = m_dir.Write("view.json", json.Out);
    const ProcessResult check = RunProcess(
        {"/usr/bin/python3", "-c",
         "import json, sys\n"
         "d = json.load(open(sys.argv[1]))\n"
         "print(d['view'], d['title'], d['x']['values'], d['y']['unit'], d['values'],\n"
         "      d['thresholds'], d['extrapolated'], d['extrapolation_bits']['2'])\n"
         "for f in d['findings']: print(f['map'], f['line'], f['field'], f['kind'], f['text'])\n",
         file});
    EXPECT_EQ(check.Err, "");
    EXPECT_EQ(check.Out, "eoi EOI [10.0] 1/min [[8.2]] {'lo': -8.0, 'hi': 0.0} [[2]] "
                         "duration-x-above\n"
                         "rail-pressure 6 53 ignored-x 4 X values\n"
                         "duration 7 3 not-a-number 30o\n"
                         "duration 8 4 short-row 1 of 2 values\n"
                         "duration 9 2 y-not-increasing 1000\n");
}

// retime on the one-point chain: 6.0 degrees of injection at 2000 1/min, SOI
// 10. A baseline duration of 600 us makes 7.2 degrees and EOI 2.8 there.
class RetimeCommand : public Convert {
protected:
    RetimeCommand() {
        m_baselineDuration = m_dir.Write(
            "base-dur.txt", std::string(kHeader) + "\t\t10\r\nBar\t400\t360\r\n\t1200\t840\r\n");
        m_baselineSoi =
            m_dir.Write("base-soi.txt", std::string(kHeader) + "\t\t10\r\n1/min\t2000\t12\r\n");
        m_target =
            m_dir.Write("target.txt", std::string(kHeader) +
                                          "\t\t5\t15\r\n1/min\t1000\t3\t3\r\n\t3000\t3\t3\r\n");
        m_empty = m_dir.Write("empty.txt", "");
    }

    ProcessResult Retiming(std::vector<std::string> extra, const char* command = "retime") const {
        std::vector<std::string> argv = {MAPWRIGHT_EXE, command,    "--rail-pressure", m_rail,
                                         "--duration",  m_duration, "--soi",           m_soi};
        argv.insert(argv.end(), extra.begin(), extra.end());
        return RunProcess(argv);
    }
    std::vector<std::string> Baseline(std::string duration) const {
        return {"--baseline-rail-pressure", m_rail, "--baseline-duration", std::move(duration)};
    }

    std::string m_baselineDuration;
    std::string m_baselineSoi;
    std::string m_target;
    std::string m_empty;
};

TEST_F(RetimeCommand, EachTargetLimitAndResolution) {
    const auto concat = [](std::vector<std::string> a, const std::vector<std::string>& b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    };
    const struct {
        std::vector<std::string> Args;
        const char* Row; // the new SOI map's one row
    } cases[] = {
        {{"--target-eoi-value", "2"}, "1/min\t2000\t8.0\r\n"},
        {{"--target-eoi-value", "2,55", "--resolution", "0,25"}, "1/min\t2000\t8.50\r\n"},
        {{"--target-eoi-value", "2", "--resolution", "0.0234375"}, "1/min\t2000\t7.9921875\r\n"},
        {{"--target-eoi-value", "2.4", "--resolution", "1"}, "1/min\t2000\t8\r\n"},
        {{"--target-before-tdc", "25"}, "1/min\t2000\t1.5\r\n"},
        {{"--target-eoi", m_target}, "1/min\t2000\t9.0\r\n"},
        {{"--target-eoi-value", "2", "--soi-limits", "", "7"}, "1/min\t2000\t7.0\r\n"},
        {{"--target-eoi-value", "2", "--soi-limits", "8,5", ""}, "1/min\t2000\t8.5\r\n"},
        {Baseline(m_baselineDuration), "1/min\t2000\t8.8\r\n"},
        {concat(Baseline(m_baselineDuration), {"--baseline-soi", m_baselineSoi}),
         "1/min\t2000\t10.8\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Args[1]);
        const ProcessResult r = Retiming(c.Args);
        EXPECT_EQ(r.ExitCode, 0) << r.Err;
        EXPECT_EQ(r.Err, "");
        EXPECT_EQ(r.Out, std::string("New SOI Map (1, 1)\r\n\r\n"
                                     "SOI(Injection Quantity, Engine Speed)/degCA\r\n\r\n"
                                     "\t\tmm3\r\n\t\t10.0\r\n") +
                             c.Row);
    }
    // Later than the SOI map: red; held by a limit: purple and bold.
    EXPECT_NE(Retiming({"--target-eoi-value", "2", "--color", "codes"}).Out.find("\t[R]8.0[/]"),
              std::string::npos);
    const ProcessResult held = Retiming({"--target-eoi-value", "5", "--soi-limits", "", "10.5",
                                         "--color", "codes", "--diagnostics"});
    EXPECT_NE(held.Out.find("\t[P][=B]10.5[/]"), std::string::npos);
    EXPECT_EQ(held.Err, "new-soi\t0\t0\tclamped\t1 of 1 cells\theld at the maximum 10.5\n");

    // The EOI delta against the baseline: 4.0 now, 2.8 then.
    const ProcessResult delta =
        Retiming(concat({"--view", "eoi-delta"}, Baseline(m_baselineDuration)), "convert");
    EXPECT_EQ(delta.ExitCode, 0) << delta.Err;
    EXPECT_EQ(delta.Out, "EOI Delta (1, 1)\r\n\r\n"
                         "EOI - baseline EOI(Injection Quantity, Engine Speed)/degCA\r\n\r\n"
                         "\t\tmm3\r\n\t\t10.0\r\n1/min\t2000\t1.2\r\n");
}

TEST_F(RetimeCommand, JsonCarriesTheArithmetic) {
    const ProcessResult json =
        Retiming({"--target-eoi", m_target, "--soi-limits", "", "8,5", "--format", "json"});
    ASSERT_EQ(json.ExitCode, 0) << json.Err;
    const std::string file = m_dir.Write("retime.json", json.Out);
    const ProcessResult check = RunProcess(
        {"/usr/bin/python3", "-c",
         "import json, sys\n"
         "d = json.load(open(sys.argv[1]))\n"
         "print(d['view'], d['x']['values'], d['y']['values'], d['values'], d['target_eoi'],\n"
         "      d['duration_deg'], d['clamped'], d['residual_eoi'], d['target_extrapolated'],\n"
         "      d['thresholds'], d['findings'])\n",
         file});
    EXPECT_EQ(check.Err, "");
    // Held at 8.5 instead of 9.0: the EOI comes 0.5 degrees late. X 10
    // lies inside the target's X axis, 2000 inside its speeds.
    EXPECT_EQ(check.Out,
              "new-soi [10.0] [2000] [[8.5]] [[3]] [[6]] [[1]] [[-0.5]] [[0]] None []\n");
}

TEST_F(RetimeCommand, BadArgumentsExitTwoAndIncompleteMapsOne) {
    const struct {
        std::vector<std::string> Args;
        const char* Message;
    } bad[] = {
        {{}, "a target is required"},
        {{"--target-eoi-value", "2", "--target-before-tdc", "50"}, "give one target"},
        {{"--target-eoi-value", "two"}, "--target-eoi-value needs a number DEG, not 'two'"},
        {{"--target-eoi-value", ""}, "--target-eoi-value needs a number DEG, not ''"},
        {{"--target-before-tdc", "101"}, "--target-before-tdc needs a PERCENT from 0 to 100"},
        {{"--target-eoi-value", "2", "--resolution", "0"}, "--resolution needs a STEP of at least"},
        {{"--target-eoi-value", "2", "--resolution", "-0.1"},
         "--resolution needs a STEP of at least"},
        {{"--target-eoi-value", "2", "--soi-limits", "9", "3"}, "--soi-limits: MIN 9 lies above"},
        {{"--target-eoi-value", "2", "--soi-limits", "x", "3"},
         "--soi-limits needs numbers MIN and MAX, not 'x'"},
        {{"--target-eoi-value", "2", "--soi-limits", "1"}, "--soi-limits needs MIN and MAX"},
        {{"--target-eoi-value", "2", "--thresholds", "1", "2"}, "unknown argument '--thresholds'"},
        {{"--baseline-duration", m_baselineDuration}, "a baseline needs --baseline-rail-pressure"},
    };
    for (const auto& c : bad) {
        const ProcessResult r = Retiming(c.Args);
        EXPECT_EQ(r.ExitCode, 2) << c.Message;
        EXPECT_EQ(r.Out, "");
        EXPECT_EQ(r.Err.rfind(std::string("mapwright retime: ") + c.Message, 0), 0u) << r.Err;
    }
    const ProcessResult noBaseline = Retiming({"--view", "eoi-delta"}, "convert");
    EXPECT_EQ(noBaseline.ExitCode, 2);
    EXPECT_EQ(noBaseline.Err.rfind("mapwright convert: --view eoi-delta needs a baseline", 0), 0u);
    const ProcessResult onlyForDelta = Retiming(Baseline(m_baselineDuration), "convert");
    EXPECT_EQ(onlyForDelta.ExitCode, 2);

    const struct {
        std::vector<std::string> Args;
        const char* Map;
    } incomplete[] = {
        {{"--target-eoi", m_empty}, "the target EOI map in "},
        {Baseline(m_empty), "the baseline duration map in "},
    };
    for (const auto& c : incomplete) {
        const ProcessResult r = Retiming(c.Args);
        EXPECT_EQ(r.ExitCode, 1) << c.Map;
        EXPECT_EQ(r.Out, "");
        EXPECT_NE(r.Err.find(c.Map), std::string::npos) << r.Err;
    }
    EXPECT_EQ(Retiming({"--target-eoi", m_dir.Path() + "/none.txt"}).ExitCode, 2);
}

// explain at the one grid point and beside it; before-tdc; --check-eoi on
// convert and retime.
TEST_F(RetimeCommand, ExplainBeforeTdcAndCheckEoi) {
    const ProcessResult text = Retiming({"--at", "10", "2000"}, "explain");
    EXPECT_EQ(text.ExitCode, 0) << text.Err;
    EXPECT_EQ(text.Out.substr(0, 24), "10.0 mm3 at 2000 1/min\r\n");
    // Windows-1252 unless --utf8: the micro sign is one byte.
    EXPECT_NE(text.Out.find("500.0 \xB5s"), std::string::npos) << text.Out;
    EXPECT_NE(Retiming({"--at", "10", "2000", "--utf8"}, "explain").Out.find("500.0 \xC2\xB5s"),
              std::string::npos);
    // At 1,5e1 mm3 (a comma read as a point) and 1000 1/min: beyond the
    // rail pressure map's X axis and below its speeds; 3 degrees from SOI 10.
    const ProcessResult json = Retiming({"--at", "12,5", "1000", "--format", "json"}, "explain");
    ASSERT_EQ(json.ExitCode, 0) << json.Err;
    const std::string file = m_dir.Write("explain.json", json.Out);
    const ProcessResult check = RunProcess(
        {"/usr/bin/python3", "-c",
         "import json, sys\n"
         "d = json.load(open(sys.argv[1]))\n"
         "r = d['rail_pressure']\n"
         "print(d['iq'], r['value'], r['x'], r['extrapolated'], r['cells'])\n"
         "u = d['duration_us']\n"
         "print(u['value'], u['y']['lo'], u['y']['hi'], u['y']['weight'], u['extrapolated'])\n"
         "print(d['duration_deg']['value'], d['soi'], d['eoi']['value'], d['before_tdc'])\n",
         file});
    EXPECT_EQ(check.Err, "");
    EXPECT_EQ(
        check.Out,
        "12.5 800 {'at': 12.5, 'lo': 10, 'hi': 10, 'weight': 0, 'side': 1} "
        "['x-above', 'y-below'] [[800, 800], [800, 800]]\n"
        "500 400 1200 0.5 ['x-above']\n"
        "3 {'value': 10, 'on_grid': False, 'x': {'at': 12.5, 'lo': 10, 'hi': 10, 'weight': 0, "
        "'side': 1}, 'y': {'at': 1000, 'lo': 2000, 'hi': 2000, 'weight': 0, 'side': -1}, "
        "'cells': [[10, 10], [10, 10]], 'extrapolated': ['x-above', 'y-below']} 7 "
        "{'value': 100}\n");
    const struct {
        std::vector<std::string> Args;
        int Exit;
        const char* Err;
    } explainCases[] = {
        {{}, 2, "mapwright explain: --at IQ RPM is required"},
        {{"--at", "10"}, 2, "mapwright explain: --at needs IQ and RPM"},
        {{"--at", "ten", "2000"}, 2, "mapwright explain: --at needs numbers IQ and RPM, not 'ten'"},
        {{"--at", "10", "2000", "--view", "eoi"},
         2,
         "mapwright explain: unknown argument '--view'"},
    };
    for (const auto& c : explainCases) {
        const ProcessResult r = Retiming(c.Args, "explain");
        EXPECT_EQ(r.ExitCode, c.Exit) << c.Err;
        EXPECT_EQ(r.Err.rfind(c.Err, 0), 0u) << r.Err;
    }
    const ProcessResult incomplete =
        RunProcess({MAPWRIGHT_EXE, "explain", "--rail-pressure", m_rail, "--duration", m_empty,
                    "--soi", m_soi, "--at", "10", "2000"});
    EXPECT_EQ(incomplete.ExitCode, 1);
    EXPECT_NE(incomplete.Err.find("the duration map in"), std::string::npos);

    // SOI 10 with 6 degrees: all of it before TDC.
    const ProcessResult share = Retiming({"--view", "before-tdc"}, "convert");
    EXPECT_EQ(share.ExitCode, 0) << share.Err;
    EXPECT_EQ(share.Out, "Before TDC (1, 1)\r\n\r\n"
                         "Injection before TDC(Injection Quantity, Engine Speed)/%\r\n\r\n"
                         "\t\tmm3\r\n\t\t10.0\r\n1/min\t2000\t100.0\r\n");

    // The EOI is 4.0: inside [-12, ""], outside ["", 3]; the new SOI 7.5 of
    // retime's target 1.5 ends at 1.5, outside [2, 5].
    const struct {
        const char* Command;
        std::vector<std::string> Args;
        int Exit;
        const char* Err;
    } checks[] = {
        {"convert", {"--check-eoi", "-12", ""}, 0, ""},
        {"convert",
         {"--check-eoi", "", "3"},
         3,
         "eoi\t7\t3\tcheck-eoi\t4.0\tabove the maximum 3 at 10 mm3, 2000 1/min\n"},
        {"convert",
         {"--check-eoi", "", "3", "--format", "json"},
         3,
         "eoi\t7\t3\tcheck-eoi\t4.0\tabove the maximum 3 at 10 mm3, 2000 1/min\n"},
        {"retime",
         {"--target-eoi-value", "1.5", "--check-eoi", "2", "5"},
         3,
         "eoi\t7\t3\tcheck-eoi\t1.5\tbelow the minimum 2 at 10 mm3, 2000 1/min\n"},
        {"retime", {"--target-eoi-value", "1.5", "--check-eoi", "1,5", "1,5"}, 0, ""},
        {"convert",
         {"--check-eoi", "5", "1"},
         2,
         "mapwright convert: --check-eoi: MIN 5 lies above"},
        {"convert", {"--check-eoi", "x", "1"}, 2, "mapwright convert: --check-eoi needs numbers"},
    };
    for (const auto& c : checks) {
        SCOPED_TRACE(c.Args[1] + " " + c.Args.back());
        const ProcessResult r = Retiming(c.Args, c.Command);
        EXPECT_EQ(r.ExitCode, c.Exit) << r.Err;
        EXPECT_EQ(r.Err.substr(0, std::string(c.Err).size()), c.Err);
        // The output is printed all the same.
        EXPECT_EQ(r.Out.empty(), c.Exit == 2);
    }
}

} // namespace
