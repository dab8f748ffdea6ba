// Tab buttons: idle state first, selected state second.
#include "bitmaps.h"
#include "palette.h"

namespace art {

namespace {

// A tab of `width` x `height` whose rounded corners face away from its page;
// `opens_down` tabs hang below the page, the others stand on top of it.
void draw_tab(canvas& image, float top, float width, float height, bool opens_down, bool selected) {
    const float radius = 3.5f;
    // Extending the shape past the page edge hides the corners on that side.
    const box shape = opens_down ? box{0.5f, -radius - 1, width - 0.5f, height - 1.5f}
                                 : box{0.5f, 1.5f, width - 0.5f, height + radius + 1};
    const colour fill = selected ? palette::white : palette::strip;
    canvas tab(static_cast<int>(width), static_cast<int>(height), {1, 1, 1, 0}, image.scale());
    tab.fill_rounded_rect(shape, radius, fill);
    tab.stroke_rounded_rect(shape, radius, 1.0f, palette::rule);
    if (selected) {
        // An accent edge on the side away from the page marks the open tab.
        const float edge = opens_down ? height - 2.5f : 2.5f;
        tab.stroke_polyline({{3.0f, edge}, {width - 3.0f, edge}}, 1.5f, palette::tone_accent);
    } else if (!opens_down) {
        // The rule under the tab row runs on under idle tabs.
        tab.stroke_polyline({{0.0f, height - 0.5f}, {width, height - 0.5f}}, 1.0f, palette::rule);
    }
    image.draw(tab, 0, static_cast<int>(top));
}

canvas tab_button(int width, int height, bool opens_down, float scale) {
    canvas image(width, height * 2, palette::white, scale);
    const float w = static_cast<float>(width), h = static_cast<float>(height);
    draw_tab(image, 0.0f, w, h, opens_down, false);
    draw_tab(image, h, w, h, opens_down, true);
    return image;
}

}  // namespace

canvas main_tab_button(float scale) { return tab_button(67, 16, false, scale); }
canvas band_tab_button(float scale) { return tab_button(22, 13, true, scale); }

}  // namespace art
