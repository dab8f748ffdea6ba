#include "redesign_wait.h"

#include <algorithm>
#include <cmath>
#include <thread>

namespace tessvane::host {
namespace {

constexpr VstInt32 probe_margin = 1024;

// Probes of one response are equal up to rounding: a plug-in that works in
// blocks of its own meets each probe at another phase of them.
bool same_response(const std::vector<float>& a, const std::vector<float>& b) {
    if (a.size() != b.size()) return false;
    float peak = 0.0f, difference = 0.0f;
    for (std::size_t i = 0; i < a.size(); ++i) {
        peak = std::max(peak, std::abs(a[i]));
        difference = std::max(difference, std::abs(a[i] - b[i]));
    }
    return difference <= 1e-5f * peak || a == b;
}

}  // namespace

std::vector<float> redesign_wait::probe() {
    const VstInt32 length = 2 * std::max(plugin_.effect()->initialDelay, 0) + probe_margin;
    std::vector<float> response;
    response.reserve(static_cast<std::size_t>(length) * block_.outputs());
    plugin_.flush();
    block_.clear_inputs();
    for (VstInt32 channel = 0; channel < block_.inputs(); ++channel) block_.input(channel)[0] = 1.0f;
    for (VstInt32 done = 0; done < length;) {
        const VstInt32 frames = std::min(block_.max_frames(), length - done);
        block_.process(plugin_, frames);
        if (done == 0)
            for (VstInt32 channel = 0; channel < block_.inputs(); ++channel) block_.input(channel)[0] = 0.0f;
        for (VstInt32 channel = 0; channel < block_.outputs(); ++channel)
            response.insert(response.end(), block_.output(channel), block_.output(channel) + frames);
        done += frames;
    }
    return response;
}

redesign_wait::outcome redesign_wait::until_settled() {
    using clock = std::chrono::steady_clock;
    const auto start = clock::now();
    const auto waited = [&] { return std::chrono::duration_cast<std::chrono::milliseconds>(clock::now() - start); };
    std::vector<float> previous = probe();
    int probes = 1;
    if (baseline_.empty()) baseline_ = previous;
    while (waited() < time_limit) {
        std::this_thread::sleep_for(probe_interval);
        std::vector<float> current = probe();
        ++probes;
        if (same_response(current, previous) && (!same_response(current, baseline_) || waited() >= quiet_period)) {
            baseline_ = std::move(current);
            return {true, probes, waited()};
        }
        previous = std::move(current);
    }
    return {false, probes, waited()};
}

}  // namespace tessvane::host
