// The scale the system asks of windows, where the host does not say.
#pragma once

namespace VSTGUI {

// Dots per inch over 96 for `window` (null: the screen's): X11's Xft.dpi
// resource, Windows' DPI of the window's monitor; 0 when the system does
// not say. Opens a display connection of its own on X11.
double system_dpi_scale(void* window);

}  // namespace VSTGUI
