// The one plug-in instance of a fuzzing process: created through the entry
// point on first use, with a 512-tap FIR from a throwaway settings folder,
// messages counted instead of shown, closed at exit. Every input starts from
// the default bank, resumed, so a crash reproduces from its input alone as far
// as the IR worker's timing allows.
#pragma once

#include <cstdint>

#include "plugin/vst2/aeffect.h"

AEffect* fuzz_instance();

// Puts back the default bank and program 0 and flushes the history.
void restore_default_state(AEffect* effect);

// Runs `frames` of bounded noise (|x| <= 1) through processReplacing, in place
// or into separate outputs, and aborts if any output sample is NaN, infinite,
// subnormal or beyond what five bands at full boost and the master gain can
// make of such input.
void process_and_check(AEffect* effect, int frames, bool in_place, std::uint32_t seed);
