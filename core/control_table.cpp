#include "core/control_table.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <strings.h>

#include "core/number_format.h"
#include "dsp/band_types.h"
#include "dsp/biquad_band.h"
#include "dsp/control_units.h"

namespace core {

namespace {

using enum control_unit;

// One band to a line; the defaults are the engine's (dsp/eq_layout.h).
// clang-format off
constexpr control_info controls[dsp::mid_side_control_count] = {
    {"Gain", "dB", master_gain_db}, {"Filters", "state", toggle},
    {"Filter#1", "state", toggle}, {"Mode #1", "type", band_type}, {"Freq #1", "Hz", frequency_hz}, {"Gain #1", "dB", band_gain_db}, {"Q #1", "amt", q},
    {"Filter#2", "state", toggle}, {"Mode #2", "type", band_type}, {"Freq #2", "Hz", frequency_hz}, {"Gain #2", "dB", band_gain_db}, {"Q #2", "amt", q},
    {"Filter#3", "state", toggle}, {"Mode #3", "type", band_type}, {"Freq #3", "Hz", frequency_hz}, {"Gain #3", "dB", band_gain_db}, {"Q #3", "amt", q},
    {"Filter#4", "state", toggle}, {"Mode #4", "type", band_type}, {"Freq #4", "Hz", frequency_hz}, {"Gain #4", "dB", band_gain_db}, {"Q #4", "amt", q},
    {"Filter#5", "state", toggle}, {"Mode #5", "type", band_type}, {"Freq #5", "Hz", frequency_hz}, {"Gain #5", "dB", band_gain_db}, {"Q #5", "amt", q},
    {"Place #1", "place", placement}, {"Place #2", "place", placement}, {"Place #3", "place", placement}, {"Place #4", "place", placement}, {"Place #5", "place", placement},
};
constexpr const char* placement_names[dsp::placement_count] = {"Stereo", "Mid", "Side"};
// clang-format on

constexpr float lowest_master_gain_db = -90.0f;
// 20·log10(2) as a float lies just above it; the mapping limits it to 1.
constexpr float highest_master_gain_db = 6.0206f;

int role_of(int index) { return dsp::role_of_band(dsp::band_of(index)); }

float unit_value_unlimited(int index, float normalised) {
    switch (controls[index].unit) {
        case master_gain_db: return dsp::master_gain_db_of(normalised);
        case toggle: return normalised;
        case band_type: return static_cast<float>(std::max(dsp::type_position_of(normalised), 0));
        case frequency_hz: return dsp::frequency_hz_of(normalised);
        case band_gain_db: return dsp::band_gain_db_of(normalised);
        case q: return dsp::q_of(normalised);
        case placement: return static_cast<float>(dsp::placement_of(normalised));
    }
    return 0.0f;
}

// A number (not NaN) brought into the range.
float limited(int index, float value, float minimum, float maximum) {
    const float v = std::clamp(value, minimum, maximum);
    switch (controls[index].unit) {
        case toggle: return v > 0.0f ? 1.0f : 0.0f;
        case band_type:
        case placement: return std::round(v);
        default: return v;
    }
}

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

bool parse_type(int index, const char* text, float& value) {
    const int role = role_of(index);
    for (int position = 0; position < dsp::offered_type_count(role); ++position) {
        const dsp::band_type_names& names = dsp::names_of_type(dsp::offered_type(role, position));
        if (strcasecmp(text, names.host) == 0 || strcasecmp(text, names.editor) == 0 ||
            strcasecmp(text, names.choice) == 0) {
            value = dsp::normalised_of_type_position(position);
            return true;
        }
    }
    return false;
}

bool parse_placement(const char* text, float& value) {
    for (int p = 0; p < dsp::placement_count; ++p) {
        if (strcasecmp(text, placement_names[p]) != 0) continue;
        value = dsp::normalised_of_placement(dsp::placement(p));
        return true;
    }
    return false;
}

}  // namespace

const control_info& control_at(int index) { return controls[index]; }

unit_range range_of(int index) {
    float minimum = 0.0f, maximum = 1.0f;
    switch (controls[index].unit) {
        case master_gain_db: minimum = lowest_master_gain_db, maximum = highest_master_gain_db; break;
        case toggle: break;
        case band_type: maximum = static_cast<float>(dsp::offered_type_count(role_of(index)) - 1); break;
        case frequency_hz: minimum = dsp::lowest_frequency_hz, maximum = dsp::highest_frequency_hz; break;
        case band_gain_db: minimum = -dsp::band_gain_range_db, maximum = dsp::band_gain_range_db; break;
        case q: minimum = dsp::lowest_q, maximum = dsp::highest_q; break;
        case placement: maximum = static_cast<float>(dsp::placement_count - 1); break;
    }
    // Placements start on Stereo.
    const float normalised_default = index < dsp::control_count ? dsp::default_control_values[index] : 0.0f;
    const float default_value = limited(index, unit_value_unlimited(index, normalised_default), minimum, maximum);
    return {minimum, maximum, default_value};
}

float clamp_unit_value(int index, float value) {
    const unit_range range = range_of(index);
    return std::isnan(value) ? range.default_value : limited(index, value, range.minimum, range.maximum);
}

float normalised_of_unit_value(int index, float value) {
    switch (controls[index].unit) {
        case master_gain_db:
            return value <= lowest_master_gain_db ? 0.0f : std::min(dsp::normalised_of_master_gain_db(value), 1.0f);
        case toggle: return value;
        case band_type: return dsp::normalised_of_type_position(static_cast<int>(value));
        case frequency_hz: return dsp::normalised_of_frequency_hz(value);
        case band_gain_db: return dsp::normalised_of_band_gain_db(value);
        case q: return dsp::normalised_of_q(value);
        case placement: return dsp::normalised_of_placement(dsp::placement(static_cast<int>(value)));
    }
    return 0.0f;
}

float unit_value_of(int index, float normalised) {
    return clamp_unit_value(index, unit_value_unlimited(index, normalised));
}

const char* choice_name(int index, int position) {
    if (controls[index].unit == placement) return placement_names[position];
    return dsp::names_of_type(dsp::offered_type(role_of(index), position)).choice;
}

void display_text(int index, float value, const dsp::band_readout& band, char (&text)[display_capacity]) {
    if (index == dsp::gain_control) return dB2string(2.0f * value, text, display_width);
    if (index == dsp::filters_control) return copy_bounded(text, value > 0 ? "On" : "Off", display_width);
    if (dsp::is_placement_control(index))
        return copy_bounded(text, placement_names[dsp::placement_of(value)], display_width);
    switch (dsp::slot_of(index)) {
        case dsp::slot_on_off: return copy_bounded(text, band.on_off >= 0.5f ? "On" : "Off", display_width);
        case dsp::slot_mode: return copy_bounded(text, dsp::names_of_type(band.type).host, display_width);
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
        switch (dsp::slot_of(index)) {
            case dsp::slot_on_off: band.on_off = value; break;
            case dsp::slot_mode: {
                const int type = dsp::selected_type(dsp::role_of_band(b), value);
                if (type >= 0) band.type = type;
                break;
            }
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
    const control_info& control = controls[index];
    double v = 0.0;
    bool on = false;
    switch (control.unit) {
        case master_gain_db:
            // Below the range is quieter still, down to silence.
            if (std::strcmp(text, "-oo") == 0) return value = 0.0f, true;
            if (!parse_number(text, control.label, v)) return false;
            value = std::clamp(dsp::normalised_of_master_gain_db(static_cast<float>(v)), 0.0f, 1.0f);
            return true;
        case toggle:
            if (!parse_toggle(text, on)) return false;
            value = on ? 1.0f : 0.0f;
            return true;
        case band_type: return parse_type(index, text, value);
        case placement: return parse_placement(text, value);
        default:
            if (!parse_number(text, control.label, v)) return false;
            value = normalised_of_unit_value(index, clamp_unit_value(index, static_cast<float>(v)));
            return true;
    }
    return false;
}

}  // namespace core
