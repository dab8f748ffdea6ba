#include "dsp/analyser_ring.h"

namespace dsp {

namespace {

constexpr std::uint32_t index_mask = analyser_ring::capacity - 1;
static_assert((analyser_ring::capacity & index_mask) == 0, "a power of two");

}  // namespace

analyser_ring::analyser_ring() : frames_(new float[2 * std::size_t(capacity)]()) {}

void analyser_ring::set_wanted(bool wanted) {
    if (wanted && !wanted_.load(std::memory_order_relaxed))
        taken_.store(written_.load(std::memory_order_acquire), std::memory_order_release);
    wanted_.store(wanted, std::memory_order_relaxed);
}

void analyser_ring::write(const float* const* inputs, const float* const* outputs, int count) noexcept {
    if (!wanted_.load(std::memory_order_relaxed) || count <= 0) return;
    const std::uint32_t written = written_.load(std::memory_order_relaxed);
    const std::uint32_t free = capacity - (written - taken_.load(std::memory_order_acquire));
    if (std::uint32_t(count) > free) {
        dropped_.fetch_add(std::uint64_t(count), std::memory_order_relaxed);
        return;
    }
    float* frames = frames_.get();
    for (int i = 0; i < count; ++i) {
        float* frame = frames + 2 * ((written + std::uint32_t(i)) & index_mask);
        frame[0] = 0.5f * (outputs[0][i] + outputs[1][i]);
        frame[1] = 0.5f * (inputs[0][i] + inputs[1][i]);
    }
    written_.store(written + std::uint32_t(count), std::memory_order_release);
}

int analyser_ring::read(float* output, float* input, int max) {
    const std::uint32_t taken = taken_.load(std::memory_order_relaxed);
    const std::uint32_t available = written_.load(std::memory_order_acquire) - taken;
    const int count = max < 0 ? 0 : int(available < std::uint32_t(max) ? available : std::uint32_t(max));
    const float* frames = frames_.get();
    for (int i = 0; i < count; ++i) {
        const float* frame = frames + 2 * ((taken + std::uint32_t(i)) & index_mask);
        output[i] = frame[0];
        input[i] = frame[1];
    }
    taken_.store(taken + std::uint32_t(count), std::memory_order_release);
    return count;
}

}  // namespace dsp
