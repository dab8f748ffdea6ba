// A curve with one point per column, drawn anti-aliased: each column inks
// the rows the polyline through the columns' centres crosses within it, one
// pixel thick, blending its edges by coverage, so a curve on a row's centre
// inks that row alone in its full colour. Rows are continuous (row r spans
// r to r + 1); a point far below the picture leaves it. At a scale the line
// is drawn one device pixel thick through the scaled points.
#pragma once

#include <vector>

#include "gui/color.h"

namespace VSTGUI {
class CDrawContext;
}

namespace editor {

void draw_antialiased_trace(VSTGUI::CDrawContext& picture, int left, const std::vector<double>& rows,
                            VSTGUI::CColor colour);

}  // namespace editor
