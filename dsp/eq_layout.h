// Facts every front-end and the editor share: the equaliser's controls in
// their host order (master gain, the "Filters" switch, then five values for
// each of the five bands) and the FIR lengths with the latency they give.
#pragma once

namespace dsp {

inline constexpr int band_count = 5;
inline constexpr int band_slot_size = 5;

// Position of a value inside its band's slot.
enum band_slot : int { slot_on_off = 0, slot_mode, slot_frequency, slot_gain, slot_q };

inline constexpr int gain_control = 0;
inline constexpr int filters_control = 1;
inline constexpr int first_band_control = 2;
inline constexpr int control_count = first_band_control + band_count * band_slot_size;
static_assert(control_count == 27);

// The default program, normalised: 0 dB, filters on, and every band off, a
// 0 dB peak at Q 1, their frequencies spread over the range.
// clang-format off
inline constexpr float default_control_values[control_count] = {
    0.5f, 1.0f,
    0.0f, 0.0f, 0.2f, 0.5f, 0.5f,
    0.0f, 0.0f, 0.4f, 0.5f, 0.5f,
    0.0f, 0.0f, 0.6f, 0.5f, 0.5f,
    0.0f, 0.0f, 0.8f, 0.5f, 0.5f,
    0.0f, 0.0f, 1.0f, 0.5f, 0.5f,
};
// clang-format on

constexpr int band_slot_start(int band) { return first_band_control + band_slot_size * band; }
constexpr bool is_band_control(int index) { return index >= first_band_control && index < control_count; }
// For a band control only.
constexpr int band_of(int index) { return (index - first_band_control) / band_slot_size; }
constexpr band_slot slot_of(int index) { return band_slot((index - first_band_control) % band_slot_size); }

// The M/S plug-in's extra controls: where each band works, one per band
// after the 27, normalised like the mode controls (Stereo 0, Mid 0.5, Side 1).
enum placement : int { place_stereo = 0, place_mid, place_side };
inline constexpr int placement_count = 3;
inline constexpr int first_placement_control = control_count;
inline constexpr int mid_side_control_count = first_placement_control + band_count;
constexpr bool is_placement_control(int index) {
    return index >= first_placement_control && index < mid_side_control_count;
}
constexpr int placement_control(int band) { return first_placement_control + band; }
// Any value has a placement: below the range (and NaN) Stereo, above it Side.
constexpr placement placement_of(float x) {
    if (!(x >= 0.5f)) return place_stereo;
    return x < 1.0f ? place_mid : place_side;
}
constexpr float normalised_of_placement(placement p) { return 0.5f * static_cast<float>(p); }
// The bands in the FIR of `half` (Mid or Side), as design_fir_of_rows takes
// them: bit b for band b when `placement_of(b)` is `half` or Stereo.
template <class PlacementOf>
constexpr unsigned rows_of_half(placement half, PlacementOf placement_of) {
    unsigned rows = 0;
    for (int band = 0; band < band_count; ++band) {
        const placement where = placement_of(band);
        if (where == place_stereo || where == half) rows |= 1u << band;
    }
    return rows;
}

// The engine runs powers of two up to this length.
inline constexpr int max_fir_length = 131072;
// The output lags the input by the FIR length made even: the convolution's
// block of N/2 plus the FIR's centre at N/2.
constexpr int latency_for(int fir_length) { return 2 * (fir_length / 2); }

}  // namespace dsp
