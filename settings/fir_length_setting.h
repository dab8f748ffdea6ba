// The FIR length for instances created from now on, kept as decimal text in
// the settings store: per-user first, the machine-wide value as a fallback.
// No copy is held; every call goes to the store. Not for the audio thread.
#pragma once

#include <array>

namespace settings {

inline constexpr const char* fir_length_key_path = "SOFTWARE\\Ravelthorpe\\Tessvane LE";
inline constexpr const char* fir_length_value_name = "Latency";

// The lengths the editor offers, in menu order.
inline constexpr std::array<int, 8> fir_length_menu_lengths = {512, 1024, 2048, 4096, 8192, 16384, 32768, 65536};

// The stored number if it lies in 0..131071, else -1. Throws
// std::runtime_error ("Registry settings loading error #0/#1/#2. ...") when
// no value can be read.
int read_fir_length_setting();
// The same, with -1 also when no value can be read: for showing the choice,
// where a failed read was reported when the instance started.
int stored_fir_length();

// A stored length the engine can run (a power of two from 256 to 131072),
// else the default of 8192.
int usable_fir_length(int stored);

// Stores samples as the per-user value, "%d" without a terminating zero.
// Throws std::runtime_error (error #6 or #7) on failure.
void write_fir_length_setting(int samples);

}  // namespace settings
