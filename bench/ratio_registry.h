// Summary lines printed after the Google Benchmark run, one per comparison:
//   RATIO <name> <size> <ours/anchor>
// computed from the medians of benchmarks measured in the same run.
#pragma once

#include <string>

namespace bench {

// Registers a comparison between two benchmarks by their full names (as
// Google Benchmark prints them, without the aggregate suffix).
void add_ratio(const std::string& name, long size, const std::string& ours, const std::string& anchor);

// Registers an absolute figure: the median of the benchmark in nanoseconds
// times `scale` (for example 1e-6 to print milliseconds).
void add_absolute(const std::string& name, long size, const std::string& benchmark, double scale);

// True under --quick: benchmarks should use fewer sizes or repetitions so the
// whole run ends in under a minute.
bool quick_mode();

}  // namespace bench
