// Decoding of the editor's bitmap resources into premultiplied 0xAARRGGBB
// pixels, top row first. Bad or truncated data gives an empty image.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace VSTGUI::detail {

struct decoded_image {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    bool empty() const { return pixels.empty(); }
};

// Larger images are refused rather than allocated.
inline constexpr std::size_t max_image_pixels = std::size_t(1) << 26;

decoded_image decode_png(const unsigned char* data, std::size_t size);

// A Windows bitmap, with or without its 14-byte file header: 24 or 32 bits
// per pixel, uncompressed (32-bit bit fields in the usual BGRA order are
// accepted), bottom-up or top-down. A 32-bit bitmap whose alpha bytes are
// all zero is taken as opaque.
decoded_image decode_bmp(const unsigned char* data, std::size_t size);

// PNG or BMP, told apart by their signatures.
decoded_image decode_image(const unsigned char* data, std::size_t size);

}  // namespace VSTGUI::detail
