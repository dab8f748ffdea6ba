#include "lv2/port_table.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "dsp/control_units.h"

namespace lv2plugin {

namespace {

// The master gain at the port's minimum is the knob at its end: silence.
constexpr float lowest_master_gain_db = -90.0f;
// 20·log10(2) as a float lies just above it; the mapping limits it to 1.
constexpr float highest_master_gain_db = 6.0206f;

float clamp_to(const control_port& port, float value) {
    if (std::isnan(value)) return port.default_value;
    const float v = std::clamp(value, port.minimum, port.maximum);
    switch (port.unit) {
        case port_unit::toggle: return v > 0.0f ? 1.0f : 0.0f;
        case port_unit::band_type: return std::round(v);
        default: return v;
    }
}

float value_of_normalised(const control_port& port, float normalised) {
    float value = 0.0f;
    switch (port.unit) {
        case port_unit::master_gain_db: value = dsp::master_gain_db_of(normalised); break;
        case port_unit::toggle: value = normalised; break;
        case port_unit::band_type: value = static_cast<float>(std::max(dsp::type_position_of(normalised), 0)); break;
        case port_unit::frequency_hz: value = dsp::frequency_hz_of(normalised); break;
        case port_unit::band_gain_db: value = dsp::band_gain_db_of(normalised); break;
        case port_unit::q: value = dsp::q_of(normalised); break;
    }
    return clamp_to(port, value);
}

struct port_table {
    char symbols[dsp::control_count][16] = {};
    char names[dsp::control_count][24] = {};
    control_port controls[dsp::control_count];

    port_table() {
        controls[dsp::gain_control] = {
            "gain", "Gain", port_unit::master_gain_db, lowest_master_gain_db, highest_master_gain_db, 0.0f};
        controls[dsp::filters_control] = {"filters", "Filters", port_unit::toggle, 0.0f, 1.0f, 0.0f};
        static constexpr const char* symbol_endings[] = {"on", "type", "freq", "gain", "q"};
        static constexpr const char* name_endings[] = {"", " Type", " Frequency", " Gain", " Q"};
        static constexpr port_unit units[] = {port_unit::toggle, port_unit::band_type, port_unit::frequency_hz,
                                              port_unit::band_gain_db, port_unit::q};
        for (int band = 0; band < dsp::band_count; ++band) {
            const float limits[][2] = {{0.0f, 1.0f},
                                       {0.0f, static_cast<float>(type_point_count(band) - 1)},
                                       {dsp::lowest_frequency_hz, dsp::highest_frequency_hz},
                                       {-dsp::band_gain_range_db, dsp::band_gain_range_db},
                                       {dsp::lowest_q, dsp::highest_q}};
            for (int slot = 0; slot < dsp::band_slot_size; ++slot) {
                const int control = dsp::band_slot_start(band) + slot;
                std::snprintf(symbols[control], sizeof symbols[control], "band%d_%s", band + 1, symbol_endings[slot]);
                std::snprintf(names[control], sizeof names[control], "Band %d%s", band + 1, name_endings[slot]);
                controls[control] = {symbols[control], names[control],  units[slot],
                                     limits[slot][0],  limits[slot][1], 0.0f};
            }
        }
        // The default program's values, read in the ports' units.
        for (int control = 0; control < dsp::control_count; ++control)
            controls[control].default_value =
                value_of_normalised(controls[control], dsp::default_control_values[control]);
    }
};

const port_table& table() {
    static const port_table the_table;
    return the_table;
}

}  // namespace

const control_port& control_port_info(int control) { return table().controls[control]; }

// Bands 1-2 offer the low types, band 3 the peak alone, bands 4-5 the high types.
int type_point_count(int band) { return band == 2 ? 1 : dsp::type_positions; }

const char* type_point_label(int band, int position) {
    static constexpr const char* low[] = {"Peak", "Low Cut", "Low Shelf"};
    static constexpr const char* high[] = {"Peak", "High Cut", "High Shelf"};
    return band < 2 ? low[position] : high[position];
}

float clamp_port_value(int control, float value) { return clamp_to(control_port_info(control), value); }

float normalised_of_port_value(int control, float port_value) {
    switch (control_port_info(control).unit) {
        case port_unit::master_gain_db:
            return port_value <= lowest_master_gain_db ? 0.0f
                                                       : std::min(dsp::normalised_of_master_gain_db(port_value), 1.0f);
        case port_unit::toggle: return port_value;
        case port_unit::band_type: return dsp::normalised_of_type_position(static_cast<int>(port_value));
        case port_unit::frequency_hz: return dsp::normalised_of_frequency_hz(port_value);
        case port_unit::band_gain_db: return dsp::normalised_of_band_gain_db(port_value);
        case port_unit::q: return dsp::normalised_of_q(port_value);
    }
    return 0.0f;
}

float port_value_of_normalised(int control, float normalised) {
    return value_of_normalised(control_port_info(control), normalised);
}

}  // namespace lv2plugin
