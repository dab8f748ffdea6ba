// Multichannel test signals, ways of feeding them to the engine, and the
// engine's insides that the tests look at.
#pragma once

#include <algorithm>
#include <cstddef>
#include <functional>
#include <random>
#include <vector>

#include "dsp/partitioned_convolver.h"

namespace dsp {

class partitioned_convolver_test_access {
public:
    static platform::critical_section& process_lock(partitioned_convolver& e) { return e.process_lock_; }
    static bool shutting_down(const partitioned_convolver& e) { return e.shutting_down_.load(); }
    static int calls_in_flight(const partitioned_convolver& e) { return e.calls_in_flight_.load(); }
    // The units of work of the job under way, and all done so far.
    static int units_per_job(const partitioned_convolver& e) { return e.job_.units(); }
    static long long units_done(const partitioned_convolver& e) { return e.job_.units_done_in_all(); }
};

}  // namespace dsp

using dsp::partitioned_convolver;

using signal_set = std::vector<std::vector<float>>;  // [channel][sample]

// Uniform noise in [-1, 1]; each sample is non-zero with probability density.
inline signal_set random_signals(int channels, std::size_t length, unsigned seed, double density = 1.0) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> value(-1.0f, 1.0f);
    std::bernoulli_distribution present(density);
    signal_set signals(channels, std::vector<float>(length, 0.0f));
    for (auto& channel : signals)
        for (float& sample : channel)
            if (present(random)) sample = value(random);
    return signals;
}

inline std::vector<const float*> pointers_to(const signal_set& signals, std::size_t offset = 0) {
    std::vector<const float*> pointers;
    for (const auto& channel : signals) pointers.push_back(channel.data() + offset);
    return pointers;
}

inline std::vector<float*> pointers_to(signal_set& signals, std::size_t offset = 0) {
    std::vector<float*> pointers;
    for (auto& channel : signals) pointers.push_back(channel.data() + offset);
    return pointers;
}

inline void load(partitioned_convolver& engine, const signal_set& firs) {
    engine.load_response(pointers_to(firs).data(), static_cast<int>(firs[0].size()));
}

// Feeds samples [begin, end) of input in calls of next_count() samples (the
// last call takes what is left) and writes the same span of output.
inline void convolve_span(partitioned_convolver& engine, const signal_set& input, signal_set& output, std::size_t begin,
                          std::size_t end, const std::function<int()>& next_count) {
    for (std::size_t offset = begin; offset < end;) {
        const auto count = std::min<std::size_t>(static_cast<std::size_t>(next_count()), end - offset);
        engine.convolve(pointers_to(input, offset).data(), pointers_to(output, offset).data(), static_cast<int>(count));
        offset += count;
    }
}

inline signal_set convolve_all(partitioned_convolver& engine, const signal_set& input,
                               const std::function<int()>& next_count) {
    signal_set output(input.size(), std::vector<float>(input[0].size(), 0.0f));
    convolve_span(engine, input, output, 0, input[0].size(), next_count);
    return output;
}
