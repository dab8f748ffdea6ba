// The one CLAP instance of a fuzzing process, made in the process itself
// with a 512-tap FIR from a throwaway settings folder, messages swallowed,
// activated for blocks of up to fuzz_max_frames. Every input starts from the
// default state.
#pragma once

#include <cstdint>

#include "../clap/clap_host.h"
#include "fuzz_signal.h"

clap_test_host::instance& clap_fuzz_instance();
void restore_clap_default_state();

// Runs `frames` of bounded noise through process with the events given, and
// aborts if an output sample is not sound.
void process_clap_and_check(int frames, clap_test_host::events* ev, std::uint32_t seed);
