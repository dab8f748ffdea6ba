#include "canvas.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace art {

namespace {

float rounded_rect_distance(const box& r, float radius, float x, float y) {
    const float cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
    const float hx = (r.right - r.left) / 2 - radius, hy = (r.bottom - r.top) / 2 - radius;
    const float qx = std::abs(x - cx) - hx, qy = std::abs(y - cy) - hy;
    const float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
    return outside + std::min(std::max(qx, qy), 0.0f) - radius;
}

float segment_distance(point a, point b, float x, float y) {
    const float dx = b.x - a.x, dy = b.y - a.y;
    const float length2 = dx * dx + dy * dy;
    const float t = length2 > 0 ? std::clamp(((x - a.x) * dx + (y - a.y) * dy) / length2, 0.0f, 1.0f) : 0.0f;
    return std::hypot(x - (a.x + t * dx), y - (a.y + t * dy));
}

float arc_distance(point centre, float radius, float from, float to, float x, float y) {
    const float dx = x - centre.x, dy = y - centre.y;
    // Clockwise from 12 o'clock in screen coordinates (y down).
    float angle = std::atan2(dx, -dy);
    const float turn = 2 * std::numbers::pi_v<float>;
    const float lo = std::min(from, to), hi = std::max(from, to);
    while (angle < lo) angle += turn;
    while (angle > lo + turn) angle -= turn;
    if (angle <= hi) return std::abs(std::hypot(dx, dy) - radius);
    const auto end = [&](float a) { return point{centre.x + radius * std::sin(a), centre.y - radius * std::cos(a)}; };
    const point p = end(lo), q = end(hi);
    return std::min(std::hypot(x - p.x, y - p.y), std::hypot(x - q.x, y - q.y));
}

}  // namespace

colour rgb(int r, int g, int b, float alpha) { return {r / 255.0f, g / 255.0f, b / 255.0f, alpha}; }

colour mix(colour from, colour to, float t) {
    return {from.r + (to.r - from.r) * t, from.g + (to.g - from.g) * t, from.b + (to.b - from.b) * t,
            from.a + (to.a - from.a) * t};
}

canvas::canvas(int width, int height, colour background, float scale)
    : width_(width),
      height_(height),
      scale_(scale),
      pixel_width_(static_cast<int>(std::lround(width * scale))),
      pixel_height_(static_cast<int>(std::lround(height * scale))),
      pixels_(static_cast<std::size_t>(pixel_width_) * static_cast<std::size_t>(pixel_height_), background) {}

colour canvas::at(int x, int y) const { return pixels_[static_cast<std::size_t>(y) * pixel_width_ + x]; }

void canvas::blend(int x, int y, colour c, float coverage) {
    if (x < 0 || y < 0 || x >= pixel_width_ || y >= pixel_height_) return;
    const float alpha = std::clamp(c.a * coverage, 0.0f, 1.0f);
    if (alpha <= 0.0f) return;
    colour& d = pixels_[static_cast<std::size_t>(y) * pixel_width_ + x];
    const float out_a = alpha + d.a * (1.0f - alpha);
    if (out_a <= 0.0f) {
        d = {};
        return;
    }
    const auto channel = [&](float s, float t) { return (s * alpha + t * d.a * (1.0f - alpha)) / out_a; };
    d = {channel(c.r, d.r), channel(c.g, d.g), channel(c.b, d.b), out_a};
}

void canvas::fill(const box& bounds, const distance_fn& shape, const paint_fn& paint) {
    const float s = scale_;
    const int x0 = std::max(0, static_cast<int>(std::floor(bounds.left * s)) - 1);
    const int y0 = std::max(0, static_cast<int>(std::floor(bounds.top * s)) - 1);
    const int x1 = std::min(pixel_width_, static_cast<int>(std::ceil(bounds.right * s)) + 1);
    const int y1 = std::min(pixel_height_, static_cast<int>(std::ceil(bounds.bottom * s)) + 1);
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            // The pixel's centre in units; its distance from the edge in pixels.
            const float px = (x + 0.5f) / s, py = (y + 0.5f) / s;
            const float coverage = std::clamp(0.5f - shape(px, py) * s, 0.0f, 1.0f);
            if (coverage > 0.0f) blend(x, y, paint(px, py), coverage);
        }
    }
}

void canvas::fill(const box& bounds, const distance_fn& shape, colour c) {
    fill(bounds, shape, [c](float, float) { return c; });
}

void canvas::fill_rect(const box& r, colour c) {
    fill(
        r, [r](float x, float y) { return rounded_rect_distance(r, 0.0f, x, y); }, c);
}

void canvas::fill_rounded_rect(const box& r, float radius, colour c) {
    fill(
        r, [r, radius](float x, float y) { return rounded_rect_distance(r, radius, x, y); }, c);
}

void canvas::stroke_rounded_rect(const box& r, float radius, float width, colour c) {
    // The stroke is centred on the edge of the rectangle.
    const box outer{r.left - width, r.top - width, r.right + width, r.bottom + width};
    fill(
        outer, [=](float x, float y) { return std::abs(rounded_rect_distance(r, radius, x, y)) - width / 2; }, c);
}

void canvas::fill_circle(point centre, float radius, colour c) {
    const box b{centre.x - radius, centre.y - radius, centre.x + radius, centre.y + radius};
    fill(
        b, [=](float x, float y) { return std::hypot(x - centre.x, y - centre.y) - radius; }, c);
}

void canvas::stroke_circle(point centre, float radius, float width, colour c) {
    const float reach = radius + width;
    const box b{centre.x - reach, centre.y - reach, centre.x + reach, centre.y + reach};
    fill(
        b, [=](float x, float y) { return std::abs(std::hypot(x - centre.x, y - centre.y) - radius) - width / 2; }, c);
}

void canvas::stroke_polyline(const std::vector<point>& points, float width, colour c) {
    if (points.empty()) return;
    box b{points[0].x, points[0].y, points[0].x, points[0].y};
    for (const point& p : points) {
        b = {std::min(b.left, p.x), std::min(b.top, p.y), std::max(b.right, p.x), std::max(b.bottom, p.y)};
    }
    b = {b.left - width, b.top - width, b.right + width, b.bottom + width};
    // One distance for the whole line, so joints are not blended twice.
    fill(
        b,
        [&points, width](float x, float y) {
            float nearest = std::hypot(x - points[0].x, y - points[0].y);
            for (std::size_t i = 1; i < points.size(); ++i) {
                nearest = std::min(nearest, segment_distance(points[i - 1], points[i], x, y));
            }
            return nearest - width / 2;
        },
        c);
}

void canvas::stroke_arc(point centre, float radius, float from, float to, float width, colour c) {
    const float reach = radius + width;
    const box b{centre.x - reach, centre.y - reach, centre.x + reach, centre.y + reach};
    fill(
        b, [=](float x, float y) { return arc_distance(centre, radius, from, to, x, y) - width / 2; }, c);
}

void canvas::fill_polygon(const std::vector<point>& corners, colour c) {
    constexpr int grid = 4;
    const auto inside = [&corners](float x, float y) {
        bool in = false;
        for (std::size_t i = 0, j = corners.size() - 1; i < corners.size(); j = i++) {
            const point& a = corners[i];
            const point& b = corners[j];
            if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x) {
                in = !in;
            }
        }
        return in;
    };
    float left = corners[0].x, top = corners[0].y, right = left, bottom = top;
    for (const point& p : corners) {
        left = std::min(left, p.x);
        top = std::min(top, p.y);
        right = std::max(right, p.x);
        bottom = std::max(bottom, p.y);
    }
    const float s = scale_;
    const int x0 = std::max(0, static_cast<int>(left * s)), y0 = std::max(0, static_cast<int>(top * s));
    const int x1 = std::min(pixel_width_, static_cast<int>(std::ceil(right * s)));
    const int y1 = std::min(pixel_height_, static_cast<int>(std::ceil(bottom * s)));
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            int hits = 0;
            for (int sy = 0; sy < grid; ++sy) {
                for (int sx = 0; sx < grid; ++sx) {
                    hits += inside((x + (sx + 0.5f) / grid) / s, (y + (sy + 0.5f) / grid) / s) ? 1 : 0;
                }
            }
            if (hits > 0) blend(x, y, c, static_cast<float>(hits) / (grid * grid));
        }
    }
}

void canvas::draw(const canvas& source, int x, int y) {
    const int left = static_cast<int>(std::lround(x * scale_)), top = static_cast<int>(std::lround(y * scale_));
    for (int sy = 0; sy < source.pixel_height(); ++sy) {
        for (int sx = 0; sx < source.pixel_width(); ++sx) {
            blend(left + sx, top + sy, source.at(sx, sy), 1.0f);
        }
    }
}

void canvas::copy_rows(int from, int height, int to) {
    const auto pixel_row = [this](int unit) { return static_cast<std::ptrdiff_t>(std::lround(unit * scale_)); };
    const std::ptrdiff_t width = pixel_width_;
    std::copy(pixels_.begin() + pixel_row(from) * width, pixels_.begin() + pixel_row(from + height) * width,
              pixels_.begin() + pixel_row(to) * width);
}

std::vector<std::uint8_t> canvas::rgba_bytes() const {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(pixels_.size() * 4);
    const auto quantise = [](float v) {
        return static_cast<std::uint8_t>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f));
    };
    for (const colour& c : pixels_) {
        bytes.push_back(quantise(c.r));
        bytes.push_back(quantise(c.g));
        bytes.push_back(quantise(c.b));
        bytes.push_back(quantise(c.a));
    }
    return bytes;
}

}  // namespace art
