// Showing our 0xAARRGGBB pixel buffers in X11 windows.
#pragma once

#include <X11/Xlib.h>

#include "gui/draw_context.h"

namespace VSTGUI::detail {

// True for the visuals our pixels suit as they are: TrueColor of depth 24
// or 32, 32 bits per pixel, red, green and blue in the usual bytes.
bool x11_visual_fits(Display* display, Visual* visual, int depth);

// Copies `area` of `buffer` to the same place in `drawable`.
void x11_put_buffer(Display* display, Drawable drawable, GC gc, Visual* visual, int depth, const CDrawContext& buffer,
                    const CRect& area);

}  // namespace VSTGUI::detail
