// The 27 host-visible controls in the engine's order (dsp/eq_layout.h):
// their names and labels, the text a host shows for a value, and the value
// a user's typed text stands for. Every front-end reads this one table.
#pragma once

#include "dsp/eq_layout.h"
#include "dsp/fir_cascaded_biquad.h"

namespace core {

struct control_info {
    const char* name;
    const char* label;
};

const control_info& control_at(int index);
constexpr bool is_control(int index) { return index >= 0 && index < dsp::control_count; }

// Room for any display text and its terminating zero.
inline constexpr int display_capacity = 16;

// The text for a control's normalised value. Band texts show the band's own
// settings after its limits, so they take the band as the engine reads it.
void display_text(int index, float value, const dsp::band_readout& band, char (&text)[display_capacity]);

// The text for a value other than the current one: the band's settings as
// they are, with that value put in with the band's own limits at the rate.
void display_text_for(int index, float value, const dsp::band_readout& current, int sample_rate,
                      char (&text)[display_capacity]);

// The normalised value a text stands for ("On", "Peak", "1806", "-3.5"
// with or without its label); false for text that names no value.
bool value_of_text(int index, const char* text, float& value);

}  // namespace core
