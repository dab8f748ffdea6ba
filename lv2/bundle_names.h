// What hosts find the plug-ins by: their URIs and the stereo one's UI's.
#pragma once

namespace lv2plugin {

inline constexpr const char* plugin_uri = "urn:ravelthorpe:tessvane-le";
inline constexpr const char* ui_uri = "urn:ravelthorpe:tessvane-le:ui";
inline constexpr const char* mid_side_plugin_uri = "urn:ravelthorpe:tessvane-le-ms";

}  // namespace lv2plugin
