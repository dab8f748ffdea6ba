#include "ratio_registry.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

namespace bench {
namespace {

struct comparison {
    std::string name;
    long size;
    std::string ours;
    std::string anchor;
};

struct absolute_figure {
    std::string name;
    long size;
    std::string benchmark;
    double scale;
};

std::vector<comparison>& comparisons() {
    static std::vector<comparison> list;
    return list;
}

std::vector<absolute_figure>& absolutes() {
    static std::vector<absolute_figure> list;
    return list;
}

// Read from the command line itself so that benchmarks registered during
// static initialisation, before main runs, see it too.
bool command_line_has(const std::string& flag) {
    std::ifstream cmdline("/proc/self/cmdline", std::ios::binary);
    const std::string all((std::istreambuf_iterator<char>(cmdline)), std::istreambuf_iterator<char>());
    std::size_t start = 0;
    while (start < all.size()) {
        const std::size_t end = all.find('\0', start);
        if (all.compare(start, end - start, flag) == 0) return true;
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return false;
}

}  // namespace

void add_ratio(const std::string& name, long size, const std::string& ours, const std::string& anchor) {
    comparisons().push_back({name, size, ours, anchor});
}

void add_absolute(const std::string& name, long size, const std::string& benchmark, double scale) {
    absolutes().push_back({name, size, benchmark, scale});
}

bool quick_mode() {
    static const bool quick = command_line_has("--quick");
    return quick;
}

// Called by main with the median CPU time, in nanoseconds, of every
// benchmark that ran; comparisons with a missing side are skipped.
void print_summary(const std::map<std::string, double>& median_ns) {
    for (const comparison& c : comparisons()) {
        auto ours = median_ns.find(c.ours), anchor = median_ns.find(c.anchor);
        if (ours == median_ns.end() || anchor == median_ns.end() || anchor->second <= 0.0) continue;
        std::printf("RATIO %s %ld %.3f\n", c.name.c_str(), c.size, ours->second / anchor->second);
    }
    for (const absolute_figure& a : absolutes()) {
        auto found = median_ns.find(a.benchmark);
        if (found == median_ns.end()) continue;
        std::printf("ABSOLUTE %s %ld %.6g\n", a.name.c_str(), a.size, found->second * a.scale);
    }
}

}  // namespace bench
