// Anti-aliased lines for the renderer, which fills only rectangles and
// glyphs: a polyline drawn as one coverage mask, so the joints between its
// short segments are not blended twice.
#pragma once

#include "gui/draw_context.h"

#include <span>

namespace tessvane::host {

struct plot_point {
    double x;  // local coordinates; pixel (i, j) has its centre at (i + 0.5, j + 0.5)
    double y;
};

// Blends the line through points, width pixels wide, in colour, inside the
// context's clip rectangle.
void draw_polyline(VSTGUI::CDrawContext& context, std::span<const plot_point> points, VSTGUI::CColor colour,
                   double width);

}  // namespace tessvane::host
