// An RGBA pixel buffer with anti-aliased shape drawing.
//
// Shapes are signed distance functions in picture units (negative inside);
// a pixel's coverage is its distance clamped over one pixel, which gives
// smooth edges without supersampling. A canvas of scale 2 has two pixels per
// unit each way: the same drawing, twice as fine.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace art {

// Straight (non-premultiplied) colour, each channel 0..1.
struct colour {
    float r = 0, g = 0, b = 0, a = 1;
};

colour rgb(int r, int g, int b, float alpha = 1.0f);
colour mix(colour from, colour to, float t);

struct point {
    float x = 0, y = 0;
};

struct box {
    float left = 0, top = 0, right = 0, bottom = 0;
};

using distance_fn = std::function<float(float x, float y)>;
using paint_fn = std::function<colour(float x, float y)>;

class canvas {
public:
    // `width` x `height` units.
    canvas(int width, int height, colour background, float scale = 1.0f);

    int width() const { return width_; }
    int height() const { return height_; }
    float scale() const { return scale_; }
    int pixel_width() const { return pixel_width_; }
    int pixel_height() const { return pixel_height_; }
    // Pixels, not units.
    colour at(int x, int y) const;
    // Source-over compositing of `c` with extra opacity `coverage`, at a pixel.
    void blend(int x, int y, colour c, float coverage);

    // Paints every pixel of `bounds` by the coverage of `shape`.
    void fill(const box& bounds, const distance_fn& shape, const paint_fn& paint);
    void fill(const box& bounds, const distance_fn& shape, colour c);

    void fill_rect(const box& r, colour c);
    void fill_rounded_rect(const box& r, float radius, colour c);
    void stroke_rounded_rect(const box& r, float radius, float width, colour c);
    void fill_circle(point centre, float radius, colour c);
    void stroke_circle(point centre, float radius, float width, colour c);
    // Round-capped stroke along consecutive points.
    void stroke_polyline(const std::vector<point>& points, float width, colour c);
    // Round-capped arc; angles in radians, clockwise from 12 o'clock.
    void stroke_arc(point centre, float radius, float from, float to, float width, colour c);
    // Even-odd polygon fill, 4x4 supersampled.
    void fill_polygon(const std::vector<point>& corners, colour c);

    // Copies `source` (of the same scale) with its top-left corner at (x, y),
    // compositing alpha.
    void draw(const canvas& source, int x, int y);

    // Copies `height` units of rows from `from` down to `to`, pixel for pixel.
    void copy_rows(int from, int height, int to);

    // Rows of 8-bit RGBA, top to bottom.
    std::vector<std::uint8_t> rgba_bytes() const;

private:
    int width_;
    int height_;
    float scale_;
    int pixel_width_;
    int pixel_height_;
    std::vector<colour> pixels_;
};

}  // namespace art
