// What hosts find the plug-ins and their UIs by.
#pragma once

namespace lv2plugin {

inline constexpr const char* plugin_uri = "urn:ravelthorpe:tessvane-le";
inline constexpr const char* ui_uri = "urn:ravelthorpe:tessvane-le:ui";
inline constexpr const char* mid_side_plugin_uri = "urn:ravelthorpe:tessvane-le-ms";
inline constexpr const char* mid_side_ui_uri = "urn:ravelthorpe:tessvane-le-ms:ui";

}  // namespace lv2plugin
