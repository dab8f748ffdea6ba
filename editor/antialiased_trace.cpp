#include "editor/antialiased_trace.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "gui/draw_context.h"

namespace editor {

namespace {

// The rows at the picture's scale: one per device column, in device rows,
// read off the line through the logical columns' centres.
std::vector<double> device_rows(const std::vector<double>& rows, double scale) {
    const std::size_t n = rows.size();
    std::vector<double> scaled(std::size_t(std::lround(double(n) * scale)));
    for (std::size_t x = 0; x < scaled.size(); ++x) {
        const double at = std::clamp((double(x) + 0.5) / scale - 0.5, 0.0, double(n - 1));
        const std::size_t before = std::size_t(at), after = std::min(before + 1, n - 1);
        const double t = at - double(before);
        scaled[x] = scale * (rows[before] + t * (rows[after] - rows[before]));
    }
    return scaled;
}

}  // namespace

void draw_antialiased_trace(VSTGUI::CDrawContext& picture, int left, const std::vector<double>& logical_rows,
                            VSTGUI::CColor colour) {
    const double scale = picture.getScale();
    std::vector<double> scaled;
    if (scale != 1.0 && !logical_rows.empty()) scaled = device_rows(logical_rows, scale);
    const std::vector<double>& rows = scale == 1.0 ? logical_rows : scaled;
    const int device_left = int(std::lround(left * scale));
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
            if (ink.alpha) picture.drawDevicePoint(VSTGUI::CPoint(device_left + int(x), row), ink);
        }
    }
}

}  // namespace editor
