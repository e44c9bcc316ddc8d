// bench_cli: mapwright convert as scripts meet it, one whole process a call.
//   BM_ConvertProcess    `mapwright convert` on the demo maps, output to a file
//   BM_PlainProcess      bench_plain: reads the same three files and writes the
//                        same bytes, with nothing but the C++ library: the floor
//   BM_ConvertProcess50  `mapwright convert` on three 50 x 50 maps
//   BM_PlainProcess50    the floor for those
// Counter peak_rss_mb: the most memory one process of the case held (its
// maximum resident set, measured through bench_plain --peak-of). Each
// convert's output is checked against the first.

#include "BenchRatios.h"
#include "MapTexts.h"
#include "support/Files.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

void Write(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// The files of one case: the three maps, and what convert prints for them.
struct Files {
    std::string Rail;
    std::string Duration;
    std::string Soi;
    std::string Expected;
    std::string Output;
};

// Runs the program to its end with standard output in `output`. False
// unless it exited 0.
bool Run(const std::vector<std::string>& argv, const std::string& output) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    std::vector<char*> args;
    for (const std::string& a : argv) {
        args.push_back(const_cast<char*>(a.c_str()));
    }
    args.push_back(nullptr);
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        return false;
    }
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid) {
        return false;
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The program's maximum resident set in MiB, started by bench_plain (a
// process started by this one would count this one's memory too); -1 when
// that failed.
double PeakMiB(const std::vector<std::string>& argv, const std::string& scratch) {
    std::vector<std::string> measured = {BENCH_PLAIN_EXE, "--peak-of"};
    measured.insert(measured.end(), argv.begin(), argv.end());
    if (!Run(measured, scratch)) {
        return -1;
    }
    return std::strtod(Slurp(scratch).c_str(), nullptr) / 1024.0;
}

std::vector<std::string> ConvertArgs(const Files& f) {
    return {MAPWRIGHT_EXE, "convert",  "--rail-pressure", f.Rail,
            "--duration",  f.Duration, "--soi",           f.Soi};
}

// The demo maps (n 0) or three n x n maps written to the temporary folder,
// and convert's output for them.
const Files& CaseFiles(int n) {
    static const std::string dir = [] {
        char name[] = "/tmp/bench_cli-XXXXXX";
        const char* made = ::mkdtemp(name);
        return std::string(made != nullptr ? made : "/tmp");
    }();
    static Files demo;
    static Files large;
    Files& f = n == 0 ? demo : large;
    if (!f.Rail.empty()) {
        return f;
    }
    const std::string stem = dir + (n == 0 ? "/demo" : "/n" + std::to_string(n));
    if (n == 0) {
        f.Rail = MAPWRIGHT_DEMO_DIR "/DemoRailPressure.txt";
        f.Duration = MAPWRIGHT_DEMO_DIR "/DemoDuration.txt";
        f.Soi = MAPWRIGHT_DEMO_DIR "/DemoSOI.txt";
    } else {
        const Inputs in = MakeInputs(n);
        f.Rail = stem + "-rail.txt";
        f.Duration = stem + "-duration.txt";
        f.Soi = stem + "-soi.txt";
        Write(f.Rail, in.RailPressure);
        Write(f.Duration, in.Duration);
        Write(f.Soi, in.Soi);
    }
    f.Expected = stem + "-expected.txt";
    f.Output = stem + "-out.txt";
    Run(ConvertArgs(f), f.Expected);
    return f;
}

void Measure(benchmark::State& state, const Files& f, const std::vector<std::string>& argv,
             bool checkOutput) {
    if (Slurp(f.Expected).empty()) {
        state.SkipWithError("mapwright convert printed nothing for the maps");
        return;
    }
    for (auto _ : state) {
        if (!Run(argv, f.Output)) {
            state.SkipWithError("the process failed");
            return;
        }
    }
    if (checkOutput && Slurp(f.Output) != Slurp(f.Expected)) {
        state.SkipWithError("convert's output changed between runs");
        return;
    }
    state.counters["peak_rss_mb"] = PeakMiB(argv, f.Output + ".peak");
}

void Convert(benchmark::State& state, int n) {
    const Files& f = CaseFiles(n);
    Measure(state, f, ConvertArgs(f), true);
}

void Plain(benchmark::State& state, int n) {
    const Files& f = CaseFiles(n);
    Measure(state, f, {BENCH_PLAIN_EXE, f.Rail, f.Duration, f.Soi, f.Expected}, false);
    if (Slurp(f.Output) != Slurp(f.Expected)) {
        state.SkipWithError("the plain program wrote other bytes");
    }
}

void BM_ConvertProcess(benchmark::State& state) {
    Convert(state, 0);
}
void BM_PlainProcess(benchmark::State& state) {
    Plain(state, 0);
}
void BM_ConvertProcess50(benchmark::State& state) {
    Convert(state, 50);
}
void BM_PlainProcess50(benchmark::State& state) {
    Plain(state, 50);
}

BENCHMARK(BM_ConvertProcess)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PlainProcess)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ConvertProcess50)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PlainProcess50)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    RatioReporter reporter;
    return RunWithRatios(
        argc, argv,
        {{"BM_ConvertProcess", "BM_PlainProcess"}, {"BM_ConvertProcess50", "BM_PlainProcess50"}},
        reporter);
}
