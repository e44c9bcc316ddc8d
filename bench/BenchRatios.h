#pragma once
// A benchmark main that prints, after the usual report, each case's time as
// a ratio to a baseline case measured in the same run. Machines here are
// shared and noisy; a ratio says more than an absolute time.
//
// The report honours --benchmark_format (console, json, csv) on standard
// output; with json or csv the ratio lines go to standard error, so the
// output stays machine-readable.

#include <benchmark/benchmark.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

class RatioReporter : public benchmark::BenchmarkReporter {
public:
    // Picks the report format as Google Benchmark's own main would.
    void ChooseFormat(int argc, char** argv) {
        std::string format = "console";
        for (int i = 1; i < argc; ++i) {
            const char* flag = "--benchmark_format=";
            if (std::strncmp(argv[i], flag, std::strlen(flag)) == 0) {
                format = argv[i] + std::strlen(flag);
            }
        }
        if (format == "json") {
            m_display = std::make_unique<benchmark::JSONReporter>();
        } else if (format == "csv") {
            // Deprecated upstream, but still what the flag asks for.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
            m_display = std::make_unique<benchmark::CSVReporter>();
#pragma GCC diagnostic pop
        } else {
            // Colours only on a terminal, as Google Benchmark's own main does.
            m_display = std::make_unique<benchmark::ConsoleReporter>(
                ::isatty(STDOUT_FILENO) == 1 ? benchmark::ConsoleReporter::OO_Defaults
                                             : benchmark::ConsoleReporter::OO_Tabular);
        }
        m_notes = format == "json" || format == "csv" ? stderr : stdout;
    }

    bool ReportContext(const Context& context) override {
        Forward();
        return m_display->ReportContext(context);
    }
    void Finalize() override {
        m_display->Finalize();
    }

    // Keeps each case's time per iteration in seconds; with repetitions, the
    // median of the repetitions.
    void ReportRuns(const std::vector<Run>& runs) override {
        m_display->ReportRuns(runs);
        for (const Run& run : runs) {
            const double seconds =
                run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
            // Cases timed by the wall clock are named as the others
            // ("BM_X", not "BM_X/real_time").
            std::string name = run.run_name.str();
            if (const std::string suffix = "/real_time"; name.ends_with(suffix)) {
                name.resize(name.size() - suffix.size());
            }

            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (median || (run.run_type == Run::RT_Iteration && run.iterations > 0 &&
                           m_fromMedian.count(name) == 0)) {
                m_seconds[name] = seconds;
                for (const auto& [counter, value] : run.counters) {
                    m_counters[name][counter] = value.value;
                }
                if (median) {
                    m_fromMedian.insert(name);
                }
            }
        }
    }

    // Prints "case / baseline = ratio" for every pair that ran.
    void PrintRatios(const std::vector<std::pair<std::string, std::string>>& pairs) const {
        Note("\nRatios (time of the first / time of the second):\n");
        for (const auto& [subject, baseline] : pairs) {
            const auto s = m_seconds.find(subject);
            const auto b = m_seconds.find(baseline);
            if (s == m_seconds.end() || b == m_seconds.end() || b->second <= 0) {
                continue;
            }
            Note("  %-22s / %-22s = %8.4f  (%.1fx %s)\n", subject.c_str(), baseline.c_str(),
                 s->second / b->second,
                 s->second <= b->second ? b->second / s->second : s->second / b->second,
                 s->second <= b->second ? "faster" : "slower");
        }
    }

    // A line beside the report: on standard output with the console table,
    // on standard error with json or csv.
    void Note(const char* format, ...) const __attribute__((format(printf, 2, 3))) {
        va_list args;
        va_start(args, format);
        std::vfprintf(m_notes, format, args);
        va_end(args);
    }

    double Seconds(const std::string& name) const {
        const auto it = m_seconds.find(name);
        return it == m_seconds.end() ? -1 : it->second;
    }

    // A user counter of a case (the median with repetitions), -1 if none.
    double Counter(const std::string& name, const std::string& counter) const {
        const auto it = m_counters.find(name);
        if (it == m_counters.end()) {
            return -1;
        }
        const auto value = it->second.find(counter);
        return value == it->second.end() ? -1 : value->second;
    }

private:
    // The display reporter writes where this one was told to.
    void Forward() {
        m_display->SetOutputStream(&GetOutputStream());
        m_display->SetErrorStream(&GetErrorStream());
    }

    std::unique_ptr<benchmark::BenchmarkReporter> m_display =
        std::make_unique<benchmark::ConsoleReporter>();
    std::FILE* m_notes = stdout;
    std::map<std::string, double> m_seconds;
    std::map<std::string, std::map<std::string, double>> m_counters;
    std::set<std::string> m_fromMedian;
};

inline int RunWithRatios(int argc, char** argv,
                         const std::vector<std::pair<std::string, std::string>>& pairs,
                         RatioReporter& reporter) {
    reporter.ChooseFormat(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios(pairs);
    std::fflush(stdout);
    benchmark::Shutdown();
    return 0;
}
