#include <cmath>

#include "bitmaps.h"
#include "palette.h"

namespace art {

namespace {

constexpr int state_width = 40;
constexpr int state_height = 32;

// Response of each shape over u = 0..1 (low to high frequency), as a level
// from 0 (bottom) to 1 (top); 0.5 is the unity-gain line.
float shape_level(filter_shape shape, float u) {
    const auto rise = [](float v, float at, float steep) { return 1.0f / (1.0f + std::exp(-(v - at) * steep)); };
    switch (shape) {
        case filter_shape::peak: return 0.5f + 0.42f * std::exp(-std::pow((u - 0.5f) / 0.16f, 2.0f));
        case filter_shape::low_cut: return 0.5f * rise(u, 0.28f, 16.0f);
        case filter_shape::high_cut: return 0.5f * rise(1.0f - u, 0.28f, 16.0f);
        case filter_shape::low_shelf: return 0.5f + 0.4f * rise(1.0f - u, 0.5f, 12.0f);
        case filter_shape::high_shelf: return 0.5f + 0.4f * rise(u, 0.5f, 12.0f);
    }
    return 0.5f;
}

void draw_state(canvas& target, float top, filter_shape shape, int index, int count) {
    const box button{1.0f, top + 1.0f, state_width - 1.0f, top + state_height - 1.0f};
    target.fill_rounded_rect(button, 4.0f, rgb(247, 248, 250));
    target.stroke_rounded_rect({button.left + 0.5f, button.top + 0.5f, button.right - 0.5f, button.bottom - 0.5f}, 3.5f,
                               1.0f, palette::rule);

    // Curve area, with the unity-gain line behind the curve.
    const bool with_marks = count > 1;
    const float left = 6.0f, right = with_marks ? 29.0f : 34.0f;
    const float high = top + 8.0f, low = top + 24.0f;
    const float unity = (high + low) / 2;
    target.stroke_polyline({{left, unity}, {right, unity}}, 1.0f, palette::rule);
    std::vector<point> curve;
    for (int i = 0; i <= 40; ++i) {
        const float u = i / 40.0f;
        curve.push_back({left + (right - left) * u, low - (low - high) * shape_level(shape, u)});
    }
    target.stroke_polyline(curve, 1.7f, palette::tone_accent);

    // Position marks: which of the switch's states this is.
    if (!with_marks) return;
    for (int i = 0; i < count; ++i) {
        const point centre{34.0f, top + 10.0f + 6.0f * i};
        if (i == index) {
            target.fill_circle(centre, 2.0f, palette::tone_accent);
        } else {
            target.fill_circle(centre, 1.5f, palette::off_grey);
        }
    }
}

}  // namespace

canvas type_selector(const std::vector<filter_shape>& shapes, float scale) {
    const int count = static_cast<int>(shapes.size());
    canvas image(state_width, state_height * count, palette::white, scale);
    for (int i = 0; i < count; ++i) {
        draw_state(image, static_cast<float>(i * state_height), shapes[i], i, count);
    }
    return image;
}

}  // namespace art
