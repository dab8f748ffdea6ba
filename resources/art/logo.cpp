#include "logo.h"

#include "palette.h"
#include "text.h"

namespace art {

namespace {

constexpr const char* maker = "Ravelthorpe";

// The word is set a little smaller than the mark and slightly apart from it.
float word_size(float height) { return height * 0.95f; }
float gap(float height) { return height * 0.3f; }

}  // namespace

float maker_logo_width(float height) {
    const font word(weight::bold, word_size(height));
    return height + gap(height) + word.width(maker);
}

void draw_maker_logo(canvas& target, float x, float y, float height) {
    target.fill_rounded_rect({x, y, x + height, y + height}, height * 0.22f, palette::ink);
    // Three bars rising left to right, the last in the gain accent.
    const float bar = height * 0.16f;
    const float step = height * 0.25f;
    const float foot = y + height * 0.78f;
    const float tops[3] = {0.56f, 0.40f, 0.22f};
    for (int i = 0; i < 3; ++i) {
        const float left = x + height * 0.22f + i * step;
        target.fill_rounded_rect({left, y + height * tops[i], left + bar, foot}, bar * 0.3f,
                                 i == 2 ? palette::gain_accent : palette::white);
    }
    const font word(weight::bold, word_size(height));
    const float word_x = x + height + gap(height);
    word.draw(target, maker, word_x, y + height * 0.5f + word.cap_height() / 2, align::left, palette::ink);
}

}  // namespace art
