// Runs every registered benchmark with repetitions, reports only their
// aggregates, and then prints the registered ratios from the medians.
#include <benchmark/benchmark.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "ratio_registry.h"

namespace bench {
// In ratio_registry.cpp; only main needs it.
void print_summary(const std::map<std::string, double>& median_ns);
}  // namespace bench

namespace {

// The console output as usual, plus the median CPU times kept by benchmark
// name: on a shared machine they vary far less than wall-clock times.
class median_collector : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> median_ns;

    // No colour codes: they would precede the summary lines that scripts parse.
    median_collector() : ConsoleReporter(OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Aggregate || run.aggregate_name != "median" || run.error_occurred) continue;
            // A manual-time benchmark reports what it measured itself (a worst
            // call, a wait on another thread); its CPU time means nothing.
            const bool manual = run.run_name.time_type == "manual_time";
            const double time = manual ? run.GetAdjustedRealTime() : run.GetAdjustedCPUTime();
            median_ns[run.run_name.str()] = time / benchmark::GetTimeUnitMultiplier(run.time_unit) * 1e9;
        }
    }
};

}  // namespace

int main(int argc, char** argv) {
    const bool quick = bench::quick_mode();
    std::vector<std::string> options = {argv[0], quick ? "--benchmark_repetitions=3" : "--benchmark_repetitions=9",
                                        quick ? "--benchmark_min_time=0.02" : "--benchmark_min_time=0.1",
                                        "--benchmark_report_aggregates_only=true"};
    for (int k = 1; k < argc; ++k)
        if (std::strcmp(argv[k], "--quick") != 0) options.push_back(argv[k]);  // later flags override ours
    std::vector<char*> args;
    for (std::string& o : options) args.push_back(o.data());
    int count = int(args.size());
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 1;
    median_collector reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    bench::print_summary(reporter.median_ns);
    return 0;
}
