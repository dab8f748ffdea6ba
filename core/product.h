// What every front-end tells its host about the product. The version comes
// from the build (CMake's project version), in the forms the formats take.
#pragma once

#include <cstdint>

#include "dsp/eq_layout.h"

namespace core {

inline constexpr const char* product_name = "Tessvane LE";
inline constexpr const char* vendor_name = "Ravelthorpe";
inline constexpr int version_major = TESSVANE_VERSION_MAJOR;
inline constexpr int version_minor = TESSVANE_VERSION_MINOR;
inline constexpr int version_patch = TESSVANE_VERSION_PATCH;
inline constexpr const char* version_text = TESSVANE_VERSION_TEXT;
// 1004 for 1.0.4: what VST 2.x hosts and the about view show as 1.004.
inline constexpr int vendor_version = version_major * 1000 + version_minor * 100 + version_patch;
// The VST 2.x unique ID '1016'; the VST3 class ID is derived from it.
inline constexpr std::int32_t vst2_unique_id = 0x31303136;

// The two plug-ins built from these sources: the stereo one, and the one
// whose bands each work on the stereo signal, its mid or its side. Each has
// its own name and VST 2.x unique ID (its VST3 class ID is derived from
// them), and shows its own controls: the 27, or those and the placements.
struct edition {
    const char* name;
    std::int32_t vst2_unique_id;
    int control_count;
    bool mid_side;
};
inline constexpr edition stereo_edition{product_name, vst2_unique_id, dsp::control_count, false};
// 'TvMS'.
inline constexpr edition mid_side_edition{"Tessvane LE M/S", 0x54764d53, dsp::mid_side_control_count, true};

}  // namespace core
