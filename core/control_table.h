// The host-visible controls in the engine's order (dsp/eq_layout.h), the
// 27 of both plug-ins and then the M/S plug-in's placements: their names and
// labels, their values in the unit a user reads with the range and choices
// there, the text a host shows for a value, and the value a user's typed
// text stands for. Every front-end reads this one table, as far as its
// plug-in's controls go.
#pragma once

#include "dsp/eq_layout.h"
#include "dsp/fir_cascaded_biquad.h"

namespace core {

// What a control's value stands for.
enum class control_unit { master_gain_db, toggle, band_type, frequency_hz, band_gain_db, q, placement };

struct control_info {
    const char* name;
    const char* label;
    control_unit unit;
};

const control_info& control_at(int index);
constexpr bool is_control(int index) { return index >= 0 && index < dsp::mid_side_control_count; }

// A control's range in its unit, and the default program's value there. A
// type's (and a placement's) values are its selector's positions; the master gain's minimum is
// the knob at its end, silence.
struct unit_range {
    float minimum;
    float maximum;
    float default_value;
};
unit_range range_of(int index);

// A value in the unit brought into the range: NaN takes the default, types
// and toggles their nearest allowed value.
float clamp_unit_value(int index, float value);
// A value already in the range, as the engine takes it; and a normalised
// value in the unit, brought into the range.
float normalised_of_unit_value(int index, float value);
float unit_value_of(int index, float normalised);
// What a type or placement control's choice at a position (0 to the range's maximum) is called.
const char* choice_name(int index, int position);

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
