#include "command.h"
#include "plugin_settings.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <random>
#include <thread>

namespace tessvane::host {
namespace {

constexpr known_option bench_options[] = {{"param", true},    {"program-chunk", true}, {"block", true},
                                          {"paced", false},   {"seconds", true},       {"sample-rate", true},
                                          {"verbose", false}, {"cpu-time", false}};

double microseconds(std::chrono::nanoseconds duration) {
    return std::chrono::duration<double, std::micro>(duration).count();
}

// The calling thread's CPU time: what a call costs, without the time the
// thread spent descheduled on a shared machine. Linux's thread clock.
std::chrono::nanoseconds thread_cpu_time() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
}

// What the thread clock adds to each call's figure: the median of two reads
// back to back. On some virtual machines a read is a system call (0.6 us on
// ours), which narrows the gap between any two plug-ins' figures.
std::chrono::nanoseconds thread_clock_cost() {
    std::vector<std::chrono::nanoseconds> pairs(101);
    for (auto& pair : pairs) {
        const auto before = thread_cpu_time();
        pair = thread_cpu_time() - before;
    }
    std::nth_element(pairs.begin(), pairs.begin() + 50, pairs.end());
    return pairs[50];
}

// One clock's view of the calls: the load and the median, p99.9 and worst
// call, the last two also as shares of the deadline.
void report_calls(const char* clock_name, std::vector<std::chrono::nanoseconds> calls, double processed_seconds,
                  double deadline_us) {
    std::chrono::nanoseconds total{0};
    for (const auto call : calls) total += call;
    std::sort(calls.begin(), calls.end());
    const auto at_fraction = [&](double fraction) {
        const auto rank = static_cast<std::size_t>(std::ceil(fraction * calls.size()));
        return microseconds(calls[std::clamp<std::size_t>(rank, 1, calls.size()) - 1]);
    };
    const double p999 = at_fraction(0.999), worst = microseconds(calls.back());
    std::printf("%s:\n", clock_name);
    std::printf("  cpu:      %.3f %% of one core\n",
                100.0 * std::chrono::duration<double>(total).count() / processed_seconds);
    std::printf("  median:   %.1f us\n", at_fraction(0.5));
    std::printf("  p99.9:    %.1f us (%.2f %% of the deadline)\n", p999, 100.0 * p999 / deadline_us);
    std::printf("  worst:    %.1f us (%.2f %% of the deadline)\n", worst, 100.0 * worst / deadline_us);
}

int run_bench(std::span<char* const> arguments) {
    using clock = std::chrono::steady_clock;
    const command_line options(arguments, bench_options);
    if (options.positional().size() != 1) throw usage_error("bench takes one PLUGIN");
    const int block_size = options.positive_int("block", 512);
    const double audio_seconds = options.positive_number("seconds", 10.0);
    const auto rate = static_cast<float>(options.positive_number("sample-rate", 48000.0));
    const bool paced = options.has("paced");

    auto plugin = loaded_plugin::load(options.positional()[0], {rate, block_size, options.has("verbose"), {}});
    const AEffect& effect = *plugin->effect();
    audio_block block(effect.numInputs, effect.numOutputs, block_size);
    plugin->start(rate, block_size);
    // Real time, as a host plays: the start-up design is waited for.
    apply_settings(*plugin, block, options, true, stdout);

    const auto block_count = static_cast<long>(std::ceil(audio_seconds * rate / block_size));
    const auto deadline = std::chrono::duration_cast<clock::duration>(std::chrono::duration<double>(block_size / rate));
    const bool cpu_time = options.has("cpu-time");
    std::vector<std::chrono::nanoseconds> calls, cpu_calls;
    calls.reserve(block_count);
    if (cpu_time) cpu_calls.reserve(block_count);
    std::minstd_rand generator(1016);
    std::uniform_real_distribution<float> noise(-0.5f, 0.5f);

    auto next_deadline = clock::now();
    for (long i = 0; i < block_count; ++i) {
        for (VstInt32 channel = 0; channel < block.inputs(); ++channel)
            std::generate_n(block.input(channel), block_size, [&] { return noise(generator); });
        if (paced) {
            // Once per deadline, as a host's audio thread runs.
            next_deadline += deadline;
            std::this_thread::sleep_until(next_deadline);
        }
        const auto cpu_before = cpu_time ? thread_cpu_time() : std::chrono::nanoseconds{0};
        const auto before = clock::now();
        block.process(*plugin, block_size);
        calls.push_back(clock::now() - before);
        if (cpu_time) cpu_calls.push_back(thread_cpu_time() - cpu_before);
    }

    const double processed_seconds = static_cast<double>(block_count) * block_size / rate;
    const double deadline_us = microseconds(deadline);
    std::printf("%ld blocks of %d frames at %g Hz (%.2f s of audio), %s\n", block_count, block_size,
                static_cast<double>(rate), processed_seconds, paced ? "paced to the deadline" : "flat out");
    std::printf("deadline: %.1f us\n", deadline_us);
    report_calls("wall time per call", std::move(calls), processed_seconds, deadline_us);
    if (cpu_time) {
        report_calls("thread cpu time per call", std::move(cpu_calls), processed_seconds, deadline_us);
        std::printf("  (a read of this clock costs %.2f us, counted in each call)\n",
                    microseconds(thread_clock_cost()));
    }
    return 0;
}

}  // namespace

const command bench_command{
    "bench", "CPU cost and worst processReplacing call at a block size",
    "usage: tessvane-host bench PLUGIN [--block B] [--paced] [--cpu-time] [--seconds S]\n"
    "       [--sample-rate R] [--param NAME_OR_INDEX=VALUE ...] [--program-chunk FILE] [--verbose]\n"
    "\n"
    "Streams S seconds (default 10) of stereo noise at rate R (default 48000)\n"
    "through the plug-in in blocks of B frames (default 512) and prints the CPU\n"
    "used per second of audio (% of one core), the median, p99.9 and worst\n"
    "processReplacing call, and the worst call against the block's real-time\n"
    "deadline B / R. --paced makes one call per deadline, sleeping in between\n"
    "as a host's audio thread does, which shows the cold-cache cost that a\n"
    "flat-out loop hides. --cpu-time also times each call by the thread's CPU\n"
    "clock (Linux's CLOCK_THREAD_CPUTIME_ID), which leaves out the time the\n"
    "thread spent descheduled on a busy machine, and prints what a read of that\n"
    "clock itself costs. Parameters and chunks are applied, and the host waits\n"
    "for the sound to follow them, as for render, before measuring.\n",
    run_bench};

}  // namespace tessvane::host
