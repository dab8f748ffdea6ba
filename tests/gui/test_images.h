// Images built by the tests: PNG bytes written with libpng, Windows bitmaps
// written by hand, and helpers to look at pixel buffers.
#pragma once

#include <cstdint>
#include <vector>

#include "gui/draw_context.h"

namespace gui_test {

struct rgba {
    std::uint8_t r, g, b, a;
};

// A PNG of `width` x `height` straight-alpha pixels, top row first.
std::vector<unsigned char> png_bytes(int width, int height, const std::vector<rgba>& pixels);
// A PNG whose every pixel is `colour`.
std::vector<unsigned char> solid_png(int width, int height, rgba colour);
// A PNG of `frames` states stacked vertically, frame k filled with grey
// level k (blue = k), each `frame_height` high.
std::vector<unsigned char> strip_png(int width, int frame_height, int frames);

// A Windows bitmap of 24 or 32 bits, with or without the file header.
std::vector<unsigned char> bmp_bytes(int width, int height, int bits, const std::vector<rgba>& pixels, bool file_header,
                                     bool top_down);

// The bounding box of the pixels in `area` (buffer coordinates) that differ
// from `background`; empty when there are none.
VSTGUI::CRect ink_box(const VSTGUI::CDrawContext& context, const VSTGUI::CRect& area, std::uint32_t background);

}  // namespace gui_test
