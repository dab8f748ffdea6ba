// The LV2 plug-in's ports: four audio ports, the equaliser's controls in the
// units a user reads (in the engine's control order, dsp/eq_layout.h), the
// latency output, the free-wheeling input and the analyser's two atom
// ports (analyser_port.h); each control's range and
// default, and the mapping between a port's value and the engine's
// normalised value (dsp/control_units.h). The DSP, the UI and the TTL
// writer all read this one table.
#pragma once

#include <cstdint>

#include "dsp/eq_layout.h"

namespace lv2plugin {

inline constexpr std::uint32_t in_left_port = 0;
inline constexpr std::uint32_t in_right_port = 1;
inline constexpr std::uint32_t out_left_port = 2;
inline constexpr std::uint32_t out_right_port = 3;
inline constexpr std::uint32_t first_control_port = 4;
inline constexpr std::uint32_t latency_port = first_control_port + dsp::control_count;
inline constexpr std::uint32_t freewheel_port = latency_port + 1;
// Atom ports: the UI's requests for the analyser's samples, and the samples.
inline constexpr std::uint32_t analyser_request_port = freewheel_port + 1;
inline constexpr std::uint32_t analyser_port_index = analyser_request_port + 1;
inline constexpr std::uint32_t port_count = analyser_port_index + 1;
// Room the notification port's buffer must offer (rsz:minimumSize).
inline constexpr std::uint32_t analyser_port_bytes = 65536;

constexpr bool is_control_port(std::uint32_t port) {
    return port >= first_control_port && port < first_control_port + dsp::control_count;
}
constexpr int control_of_port(std::uint32_t port) { return static_cast<int>(port - first_control_port); }
constexpr std::uint32_t port_of_control(int control) {
    return first_control_port + static_cast<std::uint32_t>(control);
}

// How a control port's value reads.
enum class port_unit { master_gain_db, toggle, band_type, frequency_hz, band_gain_db, q };

struct control_port {
    const char* symbol;
    const char* name;
    port_unit unit;
    float minimum;
    float maximum;
    float default_value;  // the default program's, in the port's unit
};

// Indexed by control (dsp/eq_layout.h).
const control_port& control_port_info(int control);
// The scale points of a band's type port: its types by position.
int type_point_count(int band);
const char* type_point_label(int band, int position);

// A host's value brought into the port's range, once, at the boundary: NaN
// takes the default, types and toggles their nearest allowed value.
float clamp_port_value(int control, float value);
// A value already clamped, as the engine takes it; and back, for the UI's
// writes (limited to the port's range).
float normalised_of_port_value(int control, float port_value);
float port_value_of_normalised(int control, float normalised);

}  // namespace lv2plugin
