#include <algorithm>
#include <cmath>
#include <numbers>

#include "bitmaps.h"
#include "palette.h"

namespace art {

namespace {

constexpr int swept_frames = 64;
constexpr float pi = std::numbers::pi_v<float>;
// The pointer sweeps 300 degrees, leaving the gap at the bottom.
constexpr float sweep_start = -150.0f * pi / 180.0f;
constexpr float sweep_end = 150.0f * pi / 180.0f;

colour accent_of(knob_role role) {
    switch (role) {
        case knob_role::gain: return palette::gain_accent;
        case knob_role::tone: return palette::tone_accent;
        case knob_role::neutral: return palette::caption;
    }
    return palette::caption;
}

void draw_knob(canvas& strip, float top, float size, float position, knob_role role) {
    const float s = size / 38.0f;  // the design is drawn for a 38-pixel knob
    const point c{size / 2, top + size / 2};
    const float angle = sweep_start + (sweep_end - sweep_start) * position;

    // Value arc: gain grows from the centre (0 dB), the others from the minimum.
    const float arc_radius = 16.2f * s, arc_width = 2.4f * s;
    strip.stroke_arc(c, arc_radius, sweep_start, sweep_end, arc_width, palette::track);
    const float origin = role == knob_role::gain ? 0.0f : sweep_start;
    if (std::abs(angle - origin) > 0.01f) {
        strip.stroke_arc(c, arc_radius, origin, angle, arc_width, accent_of(role));
    }

    // Body: a soft shadow under a gently lit disc.
    const float body = 11.8f * s;
    const point shadow{c.x, c.y + 1.0f * s};
    strip.fill(
        {c.x - body - 3, c.y - body - 3, c.x + body + 3, c.y + body + 4},
        [=](float x, float y) { return (std::hypot(x - shadow.x, y - shadow.y) - body) / 2.2f; },
        rgb(20, 30, 45, 0.22f));
    const colour light = rgb(255, 255, 255), dark = rgb(222, 226, 232);
    strip.fill(
        {c.x - body, c.y - body, c.x + body, c.y + body},
        [=](float x, float y) { return std::hypot(x - c.x, y - c.y) - body; },
        [=](float x, float y) {
            const float t = std::clamp(((x - c.x) * 0.35f + (y - c.y)) / (2 * body) + 0.5f, 0.0f, 1.0f);
            return mix(light, dark, t);
        });
    strip.stroke_circle(c, body - 0.5f, 1.0f, rgb(190, 196, 204));

    // Pointer from near the centre almost to the rim.
    const point dir{std::sin(angle), -std::cos(angle)};
    const point inner{c.x + dir.x * 2.5f * s, c.y + dir.y * 2.5f * s};
    const point outer{c.x + dir.x * 9.8f * s, c.y + dir.y * 9.8f * s};
    strip.stroke_polyline({inner, outer}, 2.3f * s, palette::ink);
}

}  // namespace

canvas knob_strip(int size, int frames, knob_role role, float scale) {
    canvas strip(size, size * frames, palette::white, scale);
    for (int frame = 0; frame < std::min(frames, swept_frames); ++frame) {
        const float position = static_cast<float>(frame) / (swept_frames - 1);
        draw_knob(strip, static_cast<float>(frame * size), static_cast<float>(size), position, role);
    }
    // Copied, not drawn again: lower down the strip rounding would differ.
    for (int frame = swept_frames; frame < frames; ++frame)
        strip.copy_rows((swept_frames - 1) * size, size, frame * size);
    return strip;
}

}  // namespace art
