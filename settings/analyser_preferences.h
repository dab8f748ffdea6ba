// The spectrum analyser's settings: per-user preferences kept beside the
// FIR length in the settings store, one small decimal value each, read when
// an editor opens. A value that is missing, unreadable or out of range
// gives that setting its default. Not for the audio thread.
#pragma once

namespace settings {

struct analyser_preferences {
    enum class traces { off, output, input_and_output };
    enum class speed { fast, medium, slow };

    traces shown = traces::output;
    speed ballistics = speed::medium;
    int smoothing_per_octave = 0;  // 0 (none), 12, 6 or 3
    int slope_tenths_db = 0;       // per octave: 0, 30 or 45
    bool hold = false;

    bool operator==(const analyser_preferences&) const = default;
};

analyser_preferences read_analyser_preferences();
// Throws std::runtime_error when the store cannot be written.
void write_analyser_preferences(const analyser_preferences& preferences);

}  // namespace settings
