#include "core/control_table.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <strings.h>

#include "core/number_format.h"
#include "dsp/biquad_band.h"
#include "dsp/control_units.h"

namespace core {

namespace {

// One band to a line; the defaults are the engine's (dsp/eq_layout.h).
// clang-format off
constexpr control_info controls[dsp::control_count] = {
    {"Gain", "dB"}, {"Filters", "state"},
    {"Filter#1", "state"}, {"Mode #1", "type"}, {"Freq #1", "Hz"}, {"Gain #1", "dB"}, {"Q #1", "amt"},
    {"Filter#2", "state"}, {"Mode #2", "type"}, {"Freq #2", "Hz"}, {"Gain #2", "dB"}, {"Q #2", "amt"},
    {"Filter#3", "state"}, {"Mode #3", "type"}, {"Freq #3", "Hz"}, {"Gain #3", "dB"}, {"Q #3", "amt"},
    {"Filter#4", "state"}, {"Mode #4", "type"}, {"Freq #4", "Hz"}, {"Gain #4", "dB"}, {"Q #4", "amt"},
    {"Filter#5", "state"}, {"Mode #5", "type"}, {"Freq #5", "Hz"}, {"Gain #5", "dB"}, {"Q #5", "amt"},
};
// clang-format on

// The width the VST 2.x displays have always had.
constexpr int display_width = 8;

// "On" or "Off", any case, or a number: true for on.
bool parse_toggle(const char* text, bool& on) {
    if (strcasecmp(text, "on") == 0) return on = true, true;
    if (strcasecmp(text, "off") == 0) return on = false, true;
    char* end = nullptr;
    const double v = std::strtod(text, &end);
    if (end == text || std::isnan(v)) return false;
    on = v != 0.0;
    return true;
}

// A number with an optional label after it; NaN and infinities are no value.
bool parse_number(const char* text, const char* label, double& value) {
    char* end = nullptr;
    value = std::strtod(text, &end);
    if (end == text || !std::isfinite(value)) return false;
    while (std::isspace(static_cast<unsigned char>(*end))) ++end;
    return *end == '\0' || strcasecmp(end, label) == 0;
}

// The types a band's selector offers by position: a peak, then the cut and
// the shelf of the band's side of the spectrum; the middle band peaks only.
int type_at(int band, int position) {
    static constexpr int low_side[] = {dsp::biquad_band::peaking, dsp::biquad_band::hi_pass,
                                       dsp::biquad_band::lo_shelf};
    static constexpr int high_side[] = {dsp::biquad_band::peaking, dsp::biquad_band::lo_pass,
                                        dsp::biquad_band::hi_shelf};
    if (band == dsp::band_count / 2) return position == 0 ? dsp::biquad_band::peaking : -1;
    return band < dsp::band_count / 2 ? low_side[position] : high_side[position];
}

bool parse_type(int band, const char* text, float& value) {
    for (int position = 0; position < dsp::type_positions; ++position) {
        const int type = type_at(band, position);
        if (type < 0) continue;
        if (strcasecmp(text, dsp::biquad_band::type_name(type)) == 0 ||
            strcasecmp(text, dsp::biquad_band::display_type_name(type)) == 0) {
            value = dsp::normalised_of_type_position(position);
            return true;
        }
    }
    return false;
}

float clamped(double v, double lo, double hi) { return static_cast<float>(std::clamp(v, lo, hi)); }

}  // namespace

const control_info& control_at(int index) { return controls[index]; }

void display_text(int index, float value, const dsp::band_readout& band, char (&text)[display_capacity]) {
    if (index == dsp::gain_control) return dB2string(2.0f * value, text, display_width);
    if (index == dsp::filters_control) return copy_bounded(text, value > 0 ? "On" : "Off", display_width);
    switch (dsp::slot_of(index)) {
        case dsp::slot_on_off: return copy_bounded(text, band.on_off >= 0.5f ? "On" : "Off", display_width);
        case dsp::slot_mode: return copy_bounded(text, dsp::biquad_band::type_name(band.type), display_width);
        case dsp::slot_frequency: return float2string(band.frequency, text, display_width);
        case dsp::slot_gain: return float2string(band.gain, text, display_width);
        case dsp::slot_q: return float2string(band.q, text, display_width);
    }
}

void display_text_for(int index, float value, const dsp::band_readout& current, int sample_rate,
                      char (&text)[display_capacity]) {
    dsp::band_readout band = current;
    if (dsp::is_band_control(index)) {
        const int b = dsp::band_of(index);
        dsp::biquad_band limits;
        limits.set_sample_rate(static_cast<float>(sample_rate));
        limits.set_role(b < dsp::band_count / 2    ? dsp::biquad_band::role_low
                        : b == dsp::band_count / 2 ? dsp::biquad_band::role_peak_only
                                                   : dsp::biquad_band::role_high);
        switch (dsp::slot_of(index)) {
            case dsp::slot_on_off: band.on_off = value; break;
            case dsp::slot_mode:
                limits.set_mode_normalised(value);
                if (dsp::type_position_of(value) >= 0 || b == dsp::band_count / 2) band.type = limits.type();
                break;
            case dsp::slot_frequency:
                limits.set_frequency_normalised(value);
                band.frequency = limits.frequency();
                break;
            case dsp::slot_gain:
                limits.set_gain_normalised(value);
                band.gain = limits.gain();
                break;
            case dsp::slot_q:
                limits.set_q_normalised(value);
                band.q = limits.q();
                break;
        }
    }
    display_text(index, value, band, text);
}

bool value_of_text(int index, const char* text, float& value) {
    if (!is_control(index) || !text) return false;
    while (std::isspace(static_cast<unsigned char>(*text))) ++text;
    double v = 0.0;
    bool on = false;
    if (index == dsp::gain_control) {
        if (std::strcmp(text, "-oo") == 0) return value = 0.0f, true;
        if (!parse_number(text, "dB", v)) return false;
        value = clamped(dsp::normalised_of_master_gain_db(static_cast<float>(v)), 0.0, 1.0);
        return true;
    }
    if (index == dsp::filters_control) {
        if (!parse_toggle(text, on)) return false;
        value = on ? 1.0f : 0.0f;
        return true;
    }
    switch (dsp::slot_of(index)) {
        case dsp::slot_on_off:
            if (!parse_toggle(text, on)) return false;
            value = on ? 1.0f : 0.0f;
            return true;
        case dsp::slot_mode: return parse_type(dsp::band_of(index), text, value);
        case dsp::slot_frequency:
            if (!parse_number(text, "Hz", v)) return false;
            value = dsp::normalised_of_frequency_hz(clamped(v, 0.0, dsp::highest_frequency_hz));
            return true;
        case dsp::slot_gain:
            if (!parse_number(text, "dB", v)) return false;
            value = dsp::normalised_of_band_gain_db(clamped(v, -dsp::band_gain_range_db, dsp::band_gain_range_db));
            return true;
        case dsp::slot_q:
            if (!parse_number(text, "", v)) return false;
            value = dsp::normalised_of_q(clamped(v, dsp::lowest_q, dsp::highest_q));
            return true;
    }
    return false;
}

}  // namespace core
