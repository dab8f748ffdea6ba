// Backgrounds of the frame, the tab views and their pages. Coordinates
// match where the editor places its controls on each of them.
#include "bitmaps.h"
#include "logo.h"
#include "palette.h"
#include "text.h"

namespace art {

namespace {

constexpr float caption_size = 10.0f;

void hairline_across(canvas& image, float y) {
    image.fill_rect({0.0f, y, static_cast<float>(image.width()), y + 1.0f}, palette::rule);
}

// A caption centred over a control spanning [left, right], sitting on the
// same line as every other caption of its page.
void caption_over(canvas& image, const char* text, float left, float right, float top) {
    const font f(weight::regular, caption_size);
    f.draw_in(image, text, {left, top, right, top + 12.0f}, align::centre, palette::caption);
}

// A small heading centred over a group of controls, with hairlines out to
// the group's ends.
void group_heading(canvas& image, const char* text, float left, float right, float top) {
    const font f(weight::bold, 9.0f);
    const float centre = (left + right) / 2, half = f.width(text) / 2 + 4;
    f.draw_in(image, text, {left, top, right, top + 10.0f}, align::centre, palette::caption);
    const float y = top + 5.0f;
    image.fill_rect({left, y, centre - half, y + 1.0f}, palette::rule);
    image.fill_rect({centre + half, y, right, y + 1.0f}, palette::rule);
}

}  // namespace

canvas frame_background(float scale) {
    canvas image(607, 383, palette::white, scale);
    // The band between the tab view (bottom 154) and the response display (top 181).
    const box logo_area{526, 156, 603, 167};
    const float logo_height = 10.0f;
    const float logo_x = logo_area.right - maker_logo_width(logo_height);
    draw_maker_logo(image, logo_x, logo_area.top + 0.5f, logo_height);

    const font name(weight::bold, 11.0f);
    const char* product = "Tessvane LE";
    name.draw_in(image, product, {6, logo_area.top, 200, logo_area.bottom}, align::left, palette::ink);
    const float rule_y = 161.0f;
    image.fill_rect({6 + name.width(product) + 8, rule_y, logo_x - 8, rule_y + 1}, palette::rule);

    // Outline of the response display at (5, 181, 602, 378).
    image.stroke_rounded_rect({4.5f, 180.5f, 602.5f, 378.5f}, 0.0f, 1.0f, palette::rule);
    return image;
}

canvas response_field(float scale) { return canvas(597, 197, palette::white, scale); }

canvas menu_field(float scale) {
    canvas image(90, 12, palette::white, scale);
    // An open-menu arrow right of the right-aligned length text.
    image.fill_polygon({{80.0f, 4.0f}, {87.0f, 4.0f}, {83.5f, 8.0f}}, palette::caption);
    return image;
}

canvas tab_view_background(float scale) {
    canvas image(599, 196, palette::white, scale);
    // The rule under the 16-pixel tab row.
    hairline_across(image, 15.0f);
    return image;
}

canvas linear_eq_page(float scale) {
    canvas image(599, 134, palette::white, scale);
    // Title strip, flat so that the "Filters" button at (582, 4) blends in.
    image.fill_rect({0, 0, 599, 20}, palette::strip);
    hairline_across(image, 20.0f);
    const font title(weight::bold, 11.0f);
    title.draw_in(image, "Linear Phase Equaliser", {8, 0, 300, 20}, align::left, palette::ink);
    const font label(weight::regular, caption_size);
    label.draw_in(image, "Filters", {400, 0, 577, 20}, align::right, palette::caption);

    // Master gain knob at (46, 60, 84, 98), on a card level with the band
    // pages at (137, 20, 462, 119); captions line up with theirs.
    image.stroke_rounded_rect({5.5f, 20.5f, 124.5f, 118.5f}, 3.0f, 1.0f, palette::rule);
    group_heading(image, "Output", 13, 117, 29);
    caption_over(image, "Master", 46, 84, 46);
    // FIR-length menu at (509, 116, 599, 130).
    label.draw_in(image, "FIR length", {480, 102, 596, 114}, align::right, palette::caption);
    return image;
}

canvas band_page(float scale) {
    canvas image(325, 99, palette::white, scale);
    image.stroke_rounded_rect({0.5f, 0.5f, 324.5f, 98.5f}, 3.0f, 1.0f, palette::rule);
    group_heading(image, "Filter", 13, 150, 9);
    group_heading(image, "Band", 194, 281, 9);
    const float top = 26.0f;
    caption_over(image, "Gain", 16, 54, top);
    caption_over(image, "Freq", 62, 100, top);
    caption_over(image, "Q", 108, 146, top);
    caption_over(image, "Type", 200, 240, top);
    caption_over(image, "On", 255, 275, top);
    // Separator between the filter's knobs and the band's switches.
    image.fill_rect({173.0f, 10.0f, 174.0f, 90.0f}, rgb(234, 236, 240));
    return image;
}

}  // namespace art
