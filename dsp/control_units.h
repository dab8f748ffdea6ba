// The controls in the units a user reads and back: the normalised values
// (0 to 1) that the engine and the VST 2.x parameters hold, against hertz,
// decibels, Q and the type selector's position. The band's setters apply the
// forward mappings (biquad_band.cpp), so a front-end that takes physical
// values through the inverses drives the very same band.
//
// The inverses expect values inside their ranges (the front-end clamps its
// host's input first) and give the float whose forward mapping lands nearest
// the value, so inverse(forward(x)) sets the band exactly as x does. The
// band inverses search (about 30 evaluations): for changes, not per sample.
#pragma once

namespace dsp {

// Bands: forward mappings, before the band's own limits (20 Hz to half the
// rate; gain within ±20 dB, a NaN gain taken as 0).
// 22000·z with z = (10^y - 1)/9, y = (10^x - 1)/9; 11000 Hz when z leaves 0..1.
float frequency_hz_of(float x);
// 20·v dB with v = ±(10^|2x - 1| - 1)/9: -20 dB at 0, 0 dB at 0.5, +20 dB at 1.
float band_gain_db_of(float x);
// 10^(2x)/10: 0.1 at 0, 1 at 0.5, 10 at 1; 1 outside 0.1..10.
float q_of(float x);
// The type selector's position floor(2x): 0 peak, 1 cut, 2 shelf; -1 for
// any other value, which leaves the band's type as it was.
int type_position_of(float x);

inline constexpr float lowest_frequency_hz = 20.0f;
inline constexpr float highest_frequency_hz = 22000.0f;
inline constexpr float band_gain_range_db = 20.0f;
inline constexpr float lowest_q = 0.1f;
inline constexpr float highest_q = 10.0f;
inline constexpr int type_positions = 3;

// Inverses, for hz in 0..22000, db in -20..20, q in 0.1..10, position 0..2.
float normalised_of_frequency_hz(float hz);
float normalised_of_band_gain_db(float db);
float normalised_of_q(float q);
constexpr float normalised_of_type_position(int position) { return 0.5f * static_cast<float>(position); }

// Master gain as the engine applies it (2·v, v limited to 0..1), in dB:
// -infinity at 0, 0 dB at 0.5, +6.02 dB at 1.
float master_gain_db_of(float v);
// 10^(db/20)/2; minus infinity gives 0.
float normalised_of_master_gain_db(float db);

}  // namespace dsp
