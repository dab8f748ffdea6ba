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
    // In at most two runs, each without wrapping, so the loop vectorises.
    const int start = int(written & index_mask);
    const int first_run = count < capacity - start ? count : capacity - start;
    for (int run_start = 0, at = start, length = first_run; run_start < count;
         run_start += length, at = 0, length = count - first_run) {
        float* frame = frames_.get() + 2 * at;
        const float *out0 = outputs[0] + run_start, *out1 = outputs[1] + run_start;
        const float *in0 = inputs[0] + run_start, *in1 = inputs[1] + run_start;
        for (int i = 0; i < length; ++i) {
            frame[2 * i] = 0.5f * (out0[i] + out1[i]);
            frame[2 * i + 1] = 0.5f * (in0[i] + in1[i]);
        }
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
