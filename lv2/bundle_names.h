// What hosts find the plug-in by: its URI, its UI's, and the bundle's files.
#pragma once

namespace lv2plugin {

inline constexpr const char* plugin_uri = "urn:ravelthorpe:tessvane-le";
inline constexpr const char* ui_uri = "urn:ravelthorpe:tessvane-le:ui";

}  // namespace lv2plugin
