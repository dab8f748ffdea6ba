// The LV2 plug-in's ports: four audio ports, the equaliser's controls in the
// units a user reads, the latency output, the free-wheeling input and the
// analyser's two atom ports (analyser_port.h). Each control port stands for
// the core's control of its position (core/control_table.h), which gives its
// range, default, choices and its value for the engine; the table here says
// what LV2 calls it. The M/S plug-in has the same ports and then one per
// band for its placement, the core's placement controls. The DSP, the UI
// and the TTL writer all read it.
#pragma once

#include <cstdint>
#include <iterator>

#include "dsp/eq_layout.h"

namespace lv2plugin {

inline constexpr std::uint32_t in_left_port = 0;
inline constexpr std::uint32_t in_right_port = 1;
inline constexpr std::uint32_t out_left_port = 2;
inline constexpr std::uint32_t out_right_port = 3;

struct control_port {
    const char* symbol;
    const char* name;
};

// In the core's control order.
// clang-format off
inline constexpr control_port control_ports[] = {
    {"gain", "Gain"}, {"filters", "Filters"},
    {"band1_on", "Band 1"}, {"band1_type", "Band 1 Type"}, {"band1_freq", "Band 1 Frequency"}, {"band1_gain", "Band 1 Gain"}, {"band1_q", "Band 1 Q"},
    {"band2_on", "Band 2"}, {"band2_type", "Band 2 Type"}, {"band2_freq", "Band 2 Frequency"}, {"band2_gain", "Band 2 Gain"}, {"band2_q", "Band 2 Q"},
    {"band3_on", "Band 3"}, {"band3_type", "Band 3 Type"}, {"band3_freq", "Band 3 Frequency"}, {"band3_gain", "Band 3 Gain"}, {"band3_q", "Band 3 Q"},
    {"band4_on", "Band 4"}, {"band4_type", "Band 4 Type"}, {"band4_freq", "Band 4 Frequency"}, {"band4_gain", "Band 4 Gain"}, {"band4_q", "Band 4 Q"},
    {"band5_on", "Band 5"}, {"band5_type", "Band 5 Type"}, {"band5_freq", "Band 5 Frequency"}, {"band5_gain", "Band 5 Gain"}, {"band5_q", "Band 5 Q"},
};
// clang-format on
inline constexpr int control_port_count = static_cast<int>(std::size(control_ports));
static_assert(control_port_count == dsp::control_count);

inline constexpr std::uint32_t first_control_port = 4;
inline constexpr std::uint32_t latency_port = first_control_port + static_cast<std::uint32_t>(control_port_count);
inline constexpr std::uint32_t freewheel_port = latency_port + 1;
// Atom ports: the UI's requests for the analyser's samples, and the samples.
inline constexpr std::uint32_t analyser_request_port = freewheel_port + 1;
inline constexpr std::uint32_t analyser_port_index = analyser_request_port + 1;
inline constexpr std::uint32_t port_count = analyser_port_index + 1;
// Room the notification port's buffer must offer (rsz:minimumSize).
inline constexpr std::uint32_t analyser_port_bytes = 65536;

// The M/S plug-in's placements come after every port the stereo plug-in
// has, so that the two share all those indices; their values are the
// placements' positions (0 Stereo, 1 Mid, 2 Side).
// clang-format off
inline constexpr control_port placement_ports[] = {
    {"band1_place", "Band 1 Place"}, {"band2_place", "Band 2 Place"}, {"band3_place", "Band 3 Place"},
    {"band4_place", "Band 4 Place"}, {"band5_place", "Band 5 Place"},
};
// clang-format on
static_assert(std::size(placement_ports) == dsp::band_count);
inline constexpr std::uint32_t first_placement_port = port_count;
inline constexpr std::uint32_t mid_side_port_count = first_placement_port + dsp::band_count;

constexpr bool is_control_port(std::uint32_t port) { return port >= first_control_port && port < latency_port; }
constexpr bool is_placement_port(std::uint32_t port) {
    return port >= first_placement_port && port < mid_side_port_count;
}
constexpr int band_of_placement_port(std::uint32_t port) { return static_cast<int>(port - first_placement_port); }
constexpr int control_of_port(std::uint32_t port) { return static_cast<int>(port - first_control_port); }
// The placements' controls included.
constexpr std::uint32_t port_of_control(int control) {
    if (dsp::is_placement_control(control))
        return first_placement_port + static_cast<std::uint32_t>(control - dsp::first_placement_control);
    return first_control_port + static_cast<std::uint32_t>(control);
}

}  // namespace lv2plugin
