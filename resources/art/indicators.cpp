// The small state images: busy hourglass, power symbol and lamps.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "bitmaps.h"
#include "palette.h"

namespace art {

namespace {

constexpr float pi = std::numbers::pi_v<float>;

// A round lamp of `colour` with a soft glow when lit.
void draw_lamp(canvas& target, point centre, float radius, colour c, bool lit) {
    if (lit) {
        target.fill(
            {centre.x - radius * 2, centre.y - radius * 2, centre.x + radius * 2, centre.y + radius * 2},
            [=](float x, float y) { return (std::hypot(x - centre.x, y - centre.y) - radius) / 3.0f; },
            colour{c.r, c.g, c.b, 0.35f});
    }
    const colour rim = mix(c, rgb(0, 0, 0), 0.25f);
    const colour top = mix(c, rgb(255, 255, 255), lit ? 0.45f : 0.35f);
    target.fill(
        {centre.x - radius, centre.y - radius, centre.x + radius, centre.y + radius},
        [=](float x, float y) { return std::hypot(x - centre.x, y - centre.y) - radius; },
        [=](float, float y) {
            const float t = std::clamp((y - centre.y) / (2 * radius) + 0.5f, 0.0f, 1.0f);
            return mix(top, c, t);
        });
    target.stroke_circle(centre, radius - 0.5f, 1.0f, rim);
    // Highlight, the light coming from above.
    target.fill_circle({centre.x - radius * 0.3f, centre.y - radius * 0.35f}, radius * 0.3f, rgb(255, 255, 255, 0.7f));
}

}  // namespace

canvas busy_indicator(float scale) {
    canvas image(16, 32, palette::white, scale);
    const float top = 16.0f;
    const colour frame = palette::ink;
    image.fill_rounded_rect({3.0f, top + 1.5f, 13.0f, top + 3.0f}, 0.7f, frame);
    image.fill_rounded_rect({3.0f, top + 13.0f, 13.0f, top + 14.5f}, 0.7f, frame);
    // Glass: two triangles meeting at the waist; sand settles in the lower one.
    image.fill_polygon({{4.5f, top + 3.0f},
                        {11.5f, top + 3.0f},
                        {8.6f, top + 8.0f},
                        {11.5f, top + 13.0f},
                        {4.5f, top + 13.0f},
                        {7.4f, top + 8.0f}},
                       rgb(232, 236, 241));
    image.fill_polygon({{6.0f, top + 4.8f}, {10.0f, top + 4.8f}, {8.0f, top + 7.6f}}, palette::gain_accent);
    image.fill_polygon({{8.0f, top + 9.8f}, {10.9f, top + 13.0f}, {5.1f, top + 13.0f}}, palette::gain_accent);
    image.stroke_polyline({{4.5f, top + 3.0f}, {7.4f, top + 8.0f}, {4.5f, top + 13.0f}}, 1.1f, frame);
    image.stroke_polyline({{11.5f, top + 3.0f}, {8.6f, top + 8.0f}, {11.5f, top + 13.0f}}, 1.1f, frame);
    return image;
}

canvas power_button(float scale) {
    // Sits in the title strip, so it shares the strip's colour.
    canvas image(16, 32, palette::strip, scale);
    const colour states[2] = {palette::off_grey, palette::on_green};
    for (int state = 0; state < 2; ++state) {
        const point c{8.0f, state * 16.0f + 8.5f};
        const float gap = 40.0f * pi / 180.0f;
        image.stroke_arc(c, 5.0f, gap, 2 * pi - gap, 1.8f, states[state]);
        image.stroke_polyline({{c.x, c.y - 6.5f}, {c.x, c.y - 1.0f}}, 1.8f, states[state]);
    }
    return image;
}

canvas band_lamp(float scale) {
    canvas image(20, 40, palette::white, scale);
    draw_lamp(image, {10.0f, 10.0f}, 5.5f, rgb(196, 200, 206), false);
    draw_lamp(image, {10.0f, 30.0f}, 5.5f, palette::on_green, true);
    return image;
}

canvas signal_lamp(float scale) {
    canvas image(16, 64, palette::white, scale);
    draw_lamp(image, {8.0f, 8.0f}, 4.5f, rgb(196, 200, 206), false);
    draw_lamp(image, {8.0f, 24.0f}, 4.5f, palette::on_green, true);
    draw_lamp(image, {8.0f, 40.0f}, 4.5f, rgb(240, 180, 40), true);
    draw_lamp(image, {8.0f, 56.0f}, 4.5f, rgb(222, 60, 52), true);
    return image;
}

}  // namespace art
