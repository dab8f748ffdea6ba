// The signal the format front-ends' fuzz targets send: bounded noise, whose
// output must stay sound.
#pragma once

#include <cstdint>
#include <functional>

inline constexpr int fuzz_max_frames = 512;

// Runs up to fuzz_max_frames + 64 frames of bounded noise through process
// (false from it aborts) and aborts if an output sample is not sound (as
// process_and_check).
void process_noise_and_check(int frames, std::uint32_t seed,
                             const std::function<bool(const float* const* in, float* const* out, int n)>& process);
