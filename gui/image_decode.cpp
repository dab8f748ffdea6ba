#include "gui/image_decode.h"

#include <png.h>

#include <cstring>

namespace VSTGUI::detail {
namespace {

std::uint32_t premultiply(std::uint32_t a, std::uint32_t r, std::uint32_t g, std::uint32_t b) {
    auto mul = [a](std::uint32_t c) { return (c * a + 127) / 255; };
    return a << 24 | mul(r) << 16 | mul(g) << 8 | mul(b);
}

std::uint32_t read_le(const unsigned char* p, int bytes) {
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = v << 8 | p[i];
    return v;
}

bool has_png_signature(const unsigned char* data, std::size_t size) {
    return data && size >= 8 && png_sig_cmp(data, 0, 8) == 0;
}

}  // namespace

decoded_image decode_png(const unsigned char* data, std::size_t size) {
    decoded_image out;
    if (!data || !has_png_signature(data, size)) return out;
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, data, size)) return out;
    image.format = PNG_FORMAT_BGRA;
    const std::size_t count = std::size_t(image.width) * image.height;
    if (count == 0 || count > max_image_pixels) {
        png_image_free(&image);
        return out;
    }
    std::vector<std::uint32_t> bgra(count);
    if (!png_image_finish_read(&image, nullptr, bgra.data(), 0, nullptr)) {
        png_image_free(&image);
        return out;
    }
    // BGRA bytes in memory are straight-alpha words 0xAARRGGBB on little
    // endian machines, which is every machine we build for.
    for (std::uint32_t& p : bgra) {
        const unsigned char* b = reinterpret_cast<const unsigned char*>(&p);
        p = premultiply(b[3], b[2], b[1], b[0]);
    }
    out.width = static_cast<int>(image.width);
    out.height = static_cast<int>(image.height);
    out.pixels = std::move(bgra);
    return out;
}

decoded_image decode_bmp(const unsigned char* data, std::size_t size) {
    decoded_image out;
    if (!data) return out;
    std::size_t header = 0;
    std::size_t pixel_offset = 0;
    const bool has_file_header = size >= 14 && data[0] == 'B' && data[1] == 'M';
    if (has_file_header) {
        header = 14;
        pixel_offset = read_le(data + 10, 4);
    }
    if (size < header + 40) return out;
    const unsigned char* info = data + header;
    const std::uint32_t info_size = read_le(info, 4);
    if (info_size < 40 || info_size > size - header) return out;
    const std::int32_t width = static_cast<std::int32_t>(read_le(info + 4, 4));
    const std::int32_t raw_height = static_cast<std::int32_t>(read_le(info + 8, 4));
    const std::uint32_t planes = read_le(info + 12, 2);
    const std::uint32_t bits = read_le(info + 14, 2);
    const std::uint32_t compression = read_le(info + 16, 4);
    const bool bit_fields = compression == 3 && bits == 32;
    if (planes != 1 || (bits != 24 && bits != 32) || (compression != 0 && !bit_fields)) return out;
    if (width <= 0 || raw_height == 0 || raw_height == INT32_MIN) return out;
    const bool top_down = raw_height < 0;
    const std::int64_t height = top_down ? -std::int64_t(raw_height) : raw_height;
    if (std::uint64_t(width) * std::uint64_t(height) > max_image_pixels) return out;
    if (!has_file_header) pixel_offset = header + info_size + (bit_fields && info_size == 40 ? 12 : 0);
    if (bit_fields) {
        const std::size_t masks = header + 40;
        if (size < masks + 12) return out;
        if (read_le(data + masks, 4) != 0x00FF0000 || read_le(data + masks + 4, 4) != 0x0000FF00 ||
            read_le(data + masks + 8, 4) != 0x000000FF)
            return out;
    }
    const std::size_t bytes_per_pixel = bits / 8;
    const std::size_t row_bytes = (std::size_t(width) * bytes_per_pixel + 3) & ~std::size_t(3);
    if (pixel_offset > size || (size - pixel_offset) / row_bytes < std::size_t(height)) return out;

    out.width = width;
    out.height = static_cast<int>(height);
    out.pixels.resize(std::size_t(width) * std::size_t(height));
    bool any_alpha = false;
    for (std::int64_t y = 0; y < height; ++y) {
        const std::int64_t source_row = top_down ? y : height - 1 - y;
        const unsigned char* row = data + pixel_offset + std::size_t(source_row) * row_bytes;
        for (std::int32_t x = 0; x < width; ++x) {
            const unsigned char* p = row + std::size_t(x) * bytes_per_pixel;
            const std::uint32_t a = bits == 32 ? p[3] : 255;
            any_alpha = any_alpha || a != 0;
            out.pixels[std::size_t(y) * width + x] = a << 24 | std::uint32_t(p[2]) << 16 | p[1] << 8 | p[0];
        }
    }
    for (std::uint32_t& p : out.pixels) {
        const std::uint32_t a = any_alpha ? p >> 24 : 255;
        p = premultiply(a, (p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
    return out;
}

decoded_image decode_image(const unsigned char* data, std::size_t size) {
    return has_png_signature(data, size) ? decode_png(data, size) : decode_bmp(data, size);
}

}  // namespace VSTGUI::detail
