#include "image_files.h"

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <vector>

#include <png.h>

namespace art {

void write_png(const canvas& image, const std::string& path) {
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "wb"), &std::fclose);
    if (!file) throw std::runtime_error("cannot write " + path);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) throw std::runtime_error("libpng failed to start");
    // Made before libpng may jump back here, so it is always destroyed.
    const std::vector<std::uint8_t> bytes = image.rgba_bytes();
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        throw std::runtime_error("libpng failed writing " + path);
    }
    png_init_io(png, file.get());
    png_set_compression_level(png, 9);
    png_set_IHDR(png, info, image.pixel_width(), image.pixel_height(), 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < image.pixel_height(); ++y) {
        png_write_row(png, bytes.data() + static_cast<std::size_t>(y) * image.pixel_width() * 4);
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
}

namespace {

void put_le(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

}  // namespace

void write_bmp(const canvas& image, const std::string& path) {
    const std::uint32_t row_size = (static_cast<std::uint32_t>(image.pixel_width()) * 3 + 3) & ~3u;
    const std::uint32_t pixel_bytes = row_size * static_cast<std::uint32_t>(image.pixel_height());
    constexpr std::uint32_t header_bytes = 14 + 40;
    std::vector<std::uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    put_le(out, header_bytes + pixel_bytes, 4);
    put_le(out, 0, 4);
    put_le(out, header_bytes, 4);
    put_le(out, 40, 4);  // BITMAPINFOHEADER
    put_le(out, static_cast<std::uint32_t>(image.pixel_width()), 4);
    put_le(out, static_cast<std::uint32_t>(image.pixel_height()), 4);  // positive: bottom-up
    put_le(out, 1, 2);
    put_le(out, 24, 2);
    put_le(out, 0, 4);  // BI_RGB
    put_le(out, pixel_bytes, 4);
    put_le(out, 2835, 4);  // 72 dpi
    put_le(out, 2835, 4);
    put_le(out, 0, 4);
    put_le(out, 0, 4);
    canvas flat(image.width(), image.height(), rgb(255, 255, 255), image.scale());
    flat.draw(image, 0, 0);
    const std::vector<std::uint8_t> rgba = flat.rgba_bytes();
    for (int y = image.pixel_height() - 1; y >= 0; --y) {
        for (int x = 0; x < image.pixel_width(); ++x) {
            const std::uint8_t* p = &rgba[(static_cast<std::size_t>(y) * image.pixel_width() + x) * 4];
            out.push_back(p[2]);
            out.push_back(p[1]);
            out.push_back(p[0]);
        }
        for (std::uint32_t pad = static_cast<std::uint32_t>(image.pixel_width()) * 3; pad < row_size; ++pad) {
            out.push_back(0);
        }
    }
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
    if (!file) throw std::runtime_error("cannot write " + path);
}

}  // namespace art
