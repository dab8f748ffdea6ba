#include "editor/antialiased_trace.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "gui/draw_context.h"

namespace editor {

void draw_antialiased_trace(VSTGUI::CDrawContext& picture, int left, const std::vector<double>& rows,
                            VSTGUI::CColor colour) {
    const std::size_t n = rows.size();
    const double lowest_row = double(picture.getHeight()) + 1.0;
    for (std::size_t x = 0; x < n; ++x) {
        const double y = rows[x];
        const double before = x > 0 ? 0.5 * (y + rows[x - 1]) : y;
        const double after = x + 1 < n ? 0.5 * (y + rows[x + 1]) : y;
        const double top = std::min({y, before, after}) - 0.5;
        const double bottom = std::min(std::max({y, before, after}) + 0.5, lowest_row);
        for (int row = int(std::floor(top)); row < int(std::ceil(bottom)); ++row) {
            const double cover = std::min(bottom, row + 1.0) - std::max(top, double(row));
            VSTGUI::CColor ink = colour;
            ink.alpha = std::uint8_t(std::lround(colour.alpha * std::clamp(cover, 0.0, 1.0)));
            if (ink.alpha) picture.drawPoint(VSTGUI::CPoint(left + int(x), row), ink);
        }
    }
}

}  // namespace editor
