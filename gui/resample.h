// Resizing part of a picture for drawing at a scale: each output pixel is
// the average of the source pixels under it, weighted by how much of each
// it covers, so a picture shrunk from a finer one keeps its edges sharp.
#pragma once

#include <cstdint>
#include <vector>

namespace VSTGUI::detail {

struct source_area {
    const std::uint32_t* pixels;  // premultiplied 0xAARRGGBB
    int width;                    // of the whole source, in pixels
    int height;
    int stride;  // words per row
    // The part to resize, in source pixels.
    int left;
    int top;
    int area_width;
    int area_height;
};

// The area as width x height pixels, rows top first.
std::vector<std::uint32_t> resampled(const source_area& source, int width, int height);

}  // namespace VSTGUI::detail
