#include "polyline.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace tessvane::host {
namespace {

double distance_to_segment(plot_point p, plot_point a, plot_point b) {
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double length_squared = dx * dx + dy * dy;
    double t = length_squared > 0.0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / length_squared : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

}  // namespace

void draw_polyline(VSTGUI::CDrawContext& context, std::span<const plot_point> points, VSTGUI::CColor colour,
                   double width) {
    const VSTGUI::CRect clip = context.getClipRect();
    if (clip.isEmpty() || points.empty()) return;
    const double half = width / 2.0;
    // Coverage of each pixel of the clip rectangle: the largest over all
    // segments, from the distance of the pixel's centre to the line.
    std::vector<float> coverage(static_cast<std::size_t>(clip.width()) * clip.height(), 0.0f);
    const std::size_t segments = std::max<std::size_t>(points.size() - 1, 1);
    for (std::size_t i = 0; i < segments; ++i) {
        const plot_point a = points[i], b = points[std::min(i + 1, points.size() - 1)];
        const int left = std::max(clip.left, static_cast<int>(std::floor(std::min(a.x, b.x) - half - 1.0)));
        const int right = std::min(clip.right, static_cast<int>(std::ceil(std::max(a.x, b.x) + half + 1.0)));
        const int top = std::max(clip.top, static_cast<int>(std::floor(std::min(a.y, b.y) - half - 1.0)));
        const int bottom = std::min(clip.bottom, static_cast<int>(std::ceil(std::max(a.y, b.y) + half + 1.0)));
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x) {
                const double d = distance_to_segment({x + 0.5, y + 0.5}, a, b);
                const auto c = static_cast<float>(std::clamp(half + 0.5 - d, 0.0, 1.0));
                float& cell = coverage[static_cast<std::size_t>(y - clip.top) * clip.width() + (x - clip.left)];
                cell = std::max(cell, c);
            }
    }
    for (int y = clip.top; y < clip.bottom; ++y)
        for (int x = clip.left; x < clip.right; ++x) {
            const float c = coverage[static_cast<std::size_t>(y - clip.top) * clip.width() + (x - clip.left)];
            if (c <= 0.0f) continue;
            VSTGUI::CColor shade = colour;
            shade.alpha = static_cast<std::uint8_t>(std::lround(colour.alpha * c));
            context.drawPoint({x, y}, shade);
        }
}

}  // namespace tessvane::host
