#include "test_images.h"

#include <png.h>

#include <cstring>
#include <stdexcept>

namespace gui_test {
namespace {

void put_le(std::vector<unsigned char>& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

}  // namespace

std::vector<unsigned char> png_bytes(int width, int height, const std::vector<rgba>& pixels) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(width);
    image.height = png_uint_32(height);
    image.format = PNG_FORMAT_RGBA;
    png_alloc_size_t size = 0;
    if (!png_image_write_to_memory(&image, nullptr, &size, 0, pixels.data(), 0, nullptr))
        throw std::runtime_error("png size");
    std::vector<unsigned char> out(size);
    if (!png_image_write_to_memory(&image, out.data(), &size, 0, pixels.data(), 0, nullptr))
        throw std::runtime_error("png write");
    out.resize(size);
    return out;
}

std::vector<unsigned char> solid_png(int width, int height, rgba colour) {
    return png_bytes(width, height, std::vector<rgba>(std::size_t(width) * height, colour));
}

std::vector<unsigned char> strip_png(int width, int frame_height, int frames) {
    std::vector<rgba> pixels;
    for (int f = 0; f < frames; ++f)
        for (int i = 0; i < width * frame_height; ++i) pixels.push_back({0, 0, static_cast<std::uint8_t>(f), 255});
    return png_bytes(width, frame_height * frames, pixels);
}

std::vector<unsigned char> bmp_bytes(int width, int height, int bits, const std::vector<rgba>& pixels, bool file_header,
                                     bool top_down) {
    const int bytes_per_pixel = bits / 8;
    const int row_bytes = (width * bytes_per_pixel + 3) & ~3;
    std::vector<unsigned char> out;
    if (file_header) {
        out.push_back('B');
        out.push_back('M');
        put_le(out, std::uint32_t(14 + 40 + row_bytes * height), 4);
        put_le(out, 0, 4);
        put_le(out, 14 + 40, 4);
    }
    put_le(out, 40, 4);
    put_le(out, std::uint32_t(width), 4);
    put_le(out, std::uint32_t(top_down ? -height : height), 4);
    put_le(out, 1, 2);
    put_le(out, std::uint32_t(bits), 2);
    for (int i = 0; i < 6; ++i) put_le(out, 0, 4);
    for (int row = 0; row < height; ++row) {
        const int y = top_down ? row : height - 1 - row;
        for (int x = 0; x < width; ++x) {
            const rgba& p = pixels[std::size_t(y) * width + x];
            out.push_back(p.b);
            out.push_back(p.g);
            out.push_back(p.r);
            if (bits == 32) out.push_back(p.a);
        }
        for (int pad = width * bytes_per_pixel; pad < row_bytes; ++pad) out.push_back(0);
    }
    return out;
}

VSTGUI::CRect ink_box(const VSTGUI::CDrawContext& context, const VSTGUI::CRect& area, std::uint32_t background) {
    VSTGUI::CRect box;
    bool any = false;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            if (context.pixelAt(x, y) != background) {
                const VSTGUI::CRect dot(x, y, x + 1, y + 1);
                box = any ? box.unite(dot) : dot;
                any = true;
            }
    return box;
}

}  // namespace gui_test
