// bench_core: parsing and the whole conversion chain of the map core.
//   BM_ParseLiteral/N  the line-by-line, field-by-field rescanning reading
//   BM_Parse/N         ParseMap's single pass
//   BM_ParseReport/N   the same pass gathering its report (what the window runs)
//   BM_Chain/N         parse three maps, derive, and build all seven texts
// N = 16: maps of 16 x 12; N = 50: maps of 50 x 50.

#include "BenchRatios.h"
#include "LiteralParseMap.h"
#include "Map.h"
#include "MapTexts.h"
#include "Pipeline.h"
#include "Report.h"

#include <cmath>
#include <memory>
#include <string>

namespace {

void BM_ParseLiteral(benchmark::State& state) {
    const std::string text = MakeInputs(static_cast<int>(state.range(0))).Soi;
    auto map = std::make_unique<Map>();
    for (auto _ : state) {
        ParseMapLiteral(text, *map);
        benchmark::DoNotOptimize(map->Value[0][0]);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}

void BM_Parse(benchmark::State& state) {
    const std::string text = MakeInputs(static_cast<int>(state.range(0))).Soi;
    auto map = std::make_unique<Map>();
    for (auto _ : state) {
        ParseMap(text, *map);
        benchmark::DoNotOptimize(map->Value[0][0]);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}

void BM_ParseReport(benchmark::State& state) {
    const std::string text = MakeInputs(static_cast<int>(state.range(0))).Soi;
    auto map = std::make_unique<Map>();
    ParseReport report;
    for (auto _ : state) {
        ParseMap(text, *map, report);
        benchmark::DoNotOptimize(map->Value[0][0]);
        benchmark::DoNotOptimize(report.Findings.size());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}

void BM_Chain(benchmark::State& state) {
    const Inputs in = MakeInputs(static_cast<int>(state.range(0)));
    auto rp = std::make_unique<Map>();
    auto dur = std::make_unique<Map>();
    auto soi = std::make_unique<Map>();
    auto derived = std::make_unique<DerivedMaps>();
    std::size_t bytes = 0;
    for (auto _ : state) {
        ParseMap(in.RailPressure, *rp);
        ParseMap(in.Duration, *dur);
        ParseMap(in.Soi, *soi);
        if (FindIncompleteInput(*rp, *dur, *soi) != MissingInput::None) {
            state.SkipWithError("incomplete input");
            break;
        }
        DeriveMaps(*rp, *dur, *soi, *derived);
        const Thresholds eoi = ReadEoiThresholds("-8", "0");
        bytes = 0;
        for (int v = 0; v < kOutputViewCount; ++v) {
            const std::string text = BuildViewText(static_cast<OutputView>(v), *derived, eoi);
            bytes += text.size();
            benchmark::DoNotOptimize(text.data());
        }
    }
    state.counters["text_bytes"] = static_cast<double>(bytes);
}

BENCHMARK(BM_ParseLiteral)->Arg(16)->Arg(50)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Parse)->Arg(16)->Arg(50)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ParseReport)->Arg(16)->Arg(50)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Chain)->Arg(16)->Arg(50)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    RatioReporter reporter;
    const int rc = RunWithRatios(argc, argv,
                                 {{"BM_Parse/16", "BM_ParseLiteral/16"},
                                  {"BM_Parse/50", "BM_ParseLiteral/50"},
                                  {"BM_ParseReport/50", "BM_Parse/50"},
                                  {"BM_Chain/16", "BM_ParseLiteral/16"},
                                  {"BM_Chain/50", "BM_ParseLiteral/50"}},
                                 reporter);
    const double chain = reporter.Seconds("BM_Chain/50");
    if (chain > 0) {
        reporter.Note("  BM_Chain/50 takes %.3f ms (target: under 1 ms)\n", chain * 1e3);
    }
    return rc;
}
