#include "command.h"
#include "plugin_settings.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <random>
#include <thread>

namespace tessvane::host {
namespace {

constexpr known_option bench_options[] = {{"param", true},   {"program-chunk", true}, {"block", true},
                                          {"paced", false},  {"seconds", true},       {"sample-rate", true},
                                          {"verbose", false}};

double microseconds(std::chrono::nanoseconds duration) {
    return std::chrono::duration<double, std::micro>(duration).count();
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
    std::vector<std::chrono::nanoseconds> calls;
    calls.reserve(block_count);
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
        const auto before = clock::now();
        block.process(*plugin, block_size);
        calls.push_back(clock::now() - before);
    }

    std::chrono::nanoseconds total{0};
    for (const auto call : calls) total += call;
    std::vector<std::chrono::nanoseconds> sorted = calls;
    std::sort(sorted.begin(), sorted.end());
    const auto at_fraction = [&](double fraction) {
        const auto rank = static_cast<std::size_t>(std::ceil(fraction * sorted.size()));
        return sorted[std::clamp<std::size_t>(rank, 1, sorted.size()) - 1];
    };
    const double processed_seconds = static_cast<double>(block_count) * block_size / rate;
    const double deadline_us = microseconds(deadline);

    std::printf("%ld blocks of %d frames at %g Hz (%.2f s of audio), %s\n", block_count, block_size,
                static_cast<double>(rate), processed_seconds, paced ? "paced to the deadline" : "flat out");
    std::printf("cpu:      %.3f %% of one core\n",
                100.0 * std::chrono::duration<double>(total).count() / processed_seconds);
    std::printf("median:   %.1f us\n", microseconds(at_fraction(0.5)));
    std::printf("p99.9:    %.1f us\n", microseconds(at_fraction(0.999)));
    std::printf("worst:    %.1f us\n", microseconds(sorted.back()));
    std::printf("deadline: %.1f us; worst call %.2f %% of it\n", deadline_us,
                100.0 * microseconds(sorted.back()) / deadline_us);
    return 0;
}

}  // namespace

const command bench_command{"bench", "CPU cost and worst processReplacing call at a block size",
                            "usage: tessvane-host bench PLUGIN [--block B] [--paced] [--seconds S] [--sample-rate R]\n"
                            "       [--param NAME_OR_INDEX=VALUE ...] [--program-chunk FILE] [--verbose]\n"
                            "\n"
                            "Streams S seconds (default 10) of stereo noise at rate R (default 48000)\n"
                            "through the plug-in in blocks of B frames (default 512) and prints the CPU\n"
                            "used per second of audio (% of one core), the median, p99.9 and worst\n"
                            "processReplacing call, and the worst call against the block's real-time\n"
                            "deadline B / R. --paced makes one call per deadline, sleeping in between\n"
                            "as a host's audio thread does, which shows the cold-cache cost that a\n"
                            "flat-out loop hides. Parameters and chunks are applied, and the host waits\n"
                            "for the sound to follow them, as for render, before measuring.\n",
                            run_bench};

}  // namespace tessvane::host
