#pragma once
// A benchmark main that prints, after the usual table, each case's time as a
// ratio to a baseline case measured in the same run. Machines here are shared
// and noisy; a ratio says more than an absolute time.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

class RatioReporter : public benchmark::ConsoleReporter {
public:
    // Keeps each case's time per iteration in seconds; with repetitions, the
    // median of the repetitions.
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const double seconds =
                run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
            if (run.run_type == Run::RT_Iteration && run.iterations > 0 &&
                m_fromMedian.count(run.run_name.str()) == 0) {
                m_seconds[run.run_name.str()] = seconds;
            } else if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
                m_seconds[run.run_name.str()] = seconds;
                m_fromMedian.insert(run.run_name.str());
            }
        }
    }

    // Prints "case / baseline = ratio" for every pair that ran.
    void PrintRatios(const std::vector<std::pair<std::string, std::string>>& pairs) const {
        std::printf("\nRatios (time of the first / time of the second):\n");
        for (const auto& [subject, baseline] : pairs) {
            const auto s = m_seconds.find(subject);
            const auto b = m_seconds.find(baseline);
            if (s == m_seconds.end() || b == m_seconds.end() || b->second <= 0) {
                continue;
            }
            std::printf("  %-22s / %-22s = %8.4f  (%.1fx %s)\n", subject.c_str(), baseline.c_str(),
                        s->second / b->second,
                        s->second <= b->second ? b->second / s->second : s->second / b->second,
                        s->second <= b->second ? "faster" : "slower");
        }
    }

    double Seconds(const std::string& name) const {
        const auto it = m_seconds.find(name);
        return it == m_seconds.end() ? -1 : it->second;
    }

private:
    std::map<std::string, double> m_seconds;
    std::set<std::string> m_fromMedian;
};

inline int RunWithRatios(int argc, char** argv,
                         const std::vector<std::pair<std::string, std::string>>& pairs,
                         RatioReporter& reporter) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios(pairs);
    benchmark::Shutdown();
    return 0;
}
