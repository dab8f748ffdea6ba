// The one VST3 instance of a fuzzing process, made in the process itself
// with a 512-tap FIR from a throwaway settings folder, messages counted
// instead of shown, set up for blocks of up to vst3_max_frames. Every input
// starts from the default state.
#pragma once

#include <cstdint>

#include "../vst3/vst3_host.h"
#include "fuzz_signal.h"

inline constexpr int vst3_max_frames = fuzz_max_frames;

vst3_host::instance& vst3_fuzz_instance();
void restore_vst3_default_state();

// Runs `frames` of bounded noise through process, with the queues given,
// and aborts if an output sample is not sound (as process_and_check).
void process_vst3_and_check(int frames, vst3_host::parameter_changes* changes, std::uint32_t seed);
