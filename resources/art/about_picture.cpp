#include <cmath>

#include "bitmaps.h"
#include "logo.h"
#include "palette.h"
#include "text.h"

namespace art {

canvas about_picture(float scale) {
    canvas image(350, 100, palette::white, scale);
    // The view opens over the response display; the outline sets it apart.
    image.stroke_rounded_rect({0.5f, 0.5f, 349.5f, 99.5f}, 0.0f, 1.0f, palette::rule);
    // Left edges line up with the version text the view writes at x 5.
    draw_maker_logo(image, 5.0f, 10.0f, 14.0f);

    const font name(weight::bold, 28.0f);
    name.draw(image, "Tessvane LE", 4.0f, 55.0f, align::left, palette::ink);
    const font subtitle(weight::regular, 12.0f);
    subtitle.draw(image, "Linear Phase Equaliser", 344.0f, 55.0f, align::right, palette::caption);

    // A faint response curve behind the subtitle's corner, for flavour.
    std::vector<point> curve;
    for (int i = 0; i <= 80; ++i) {
        const float u = i / 80.0f;
        const float bump = 9.0f * std::exp(-std::pow((u - 0.35f) / 0.12f, 2.0f)) -
                           6.0f * std::exp(-std::pow((u - 0.75f) / 0.10f, 2.0f));
        curve.push_back({208.0f + 136.0f * u, 24.0f - bump});
    }
    image.stroke_polyline(curve, 1.6f, rgb(42, 128, 204, 0.45f));

    // Accent rule; below it the view writes its version and FIR lines.
    image.fill_rect({5, 64, 345, 65}, palette::rule);
    image.fill_rect({5, 64, 51, 65}, palette::gain_accent);
    return image;
}

}  // namespace art
