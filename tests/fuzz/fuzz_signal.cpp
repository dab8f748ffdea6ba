#include "fuzz_signal.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

// As fuzz_instance.cpp: five bands at +20 dB and a gain of 2, with margin.
constexpr float kOutputBound = 1.0e6f;

bool is_sound(float x) {
    const int kind = std::fpclassify(x);
    return (kind == FP_ZERO || kind == FP_NORMAL) && std::fabs(x) < kOutputBound;
}

}  // namespace

void process_noise_and_check(int frames, std::uint32_t seed,
                             const std::function<bool(const float* const*, float* const*, int)>& process) {
    static std::vector<float> left(fuzz_max_frames + 64), right(fuzz_max_frames + 64), out_left(fuzz_max_frames + 64),
        out_right(fuzz_max_frames + 64);
    const int n = std::min(frames, fuzz_max_frames + 64);
    for (int i = 0; i < n; ++i) {
        seed = seed * 1664525u + 1013904223u;
        left[i] = static_cast<float>(static_cast<std::int32_t>(seed)) * (1.0f / 2147483648.0f);
        right[i] = (seed & 0x100) ? 1.0f : -1.0f;
    }
    const float* ins[] = {left.data(), right.data()};
    float* outs[] = {out_left.data(), out_right.data()};
    if (!process(ins, outs, n)) std::abort();
    for (int i = 0; i < n; ++i) {
        if (!is_sound(out_left[i]) || !is_sound(out_right[i])) {
            std::fprintf(stderr, "output %d of %d is %g / %g\n", i, n, out_left[i], out_right[i]);
            std::abort();
        }
    }
}
