#include "png_image.h"

#include <png.h>

#include <cstring>
#include <fstream>
#include <stdexcept>

namespace tessvane::host::testing {
namespace {

std::uint32_t big_endian(const unsigned char* bytes) {
    return std::uint32_t(bytes[0]) << 24 | std::uint32_t(bytes[1]) << 16 | std::uint32_t(bytes[2]) << 8 | bytes[3];
}

}  // namespace

picture png_header(const std::string& path) {
    // Signature (8), IHDR length and type (8), width and height (8).
    unsigned char bytes[24] = {};
    std::ifstream file(path, std::ios::binary);
    file.read(reinterpret_cast<char*>(bytes), sizeof bytes);
    constexpr unsigned char signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    if (!file || std::memcmp(bytes, signature, 8) != 0 || std::memcmp(bytes + 12, "IHDR", 4) != 0) return {};
    return {static_cast<int>(big_endian(bytes + 16)), static_cast<int>(big_endian(bytes + 20)), {}};
}

picture read_png(const std::string& path) {
    picture simple_image;
    ::png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) throw std::runtime_error("cannot read " + path);
    image.format = PNG_FORMAT_BGRA;  // little-endian 0xAARRGGBB words
    simple_image.width = static_cast<int>(image.width);
    simple_image.height = static_cast<int>(image.height);
    simple_image.pixels.resize(static_cast<std::size_t>(image.width) * image.height);
    if (!png_image_finish_read(&image, nullptr, simple_image.pixels.data(), 0, nullptr))
        throw std::runtime_error("cannot decode " + path);
    for (auto& pixel : simple_image.pixels) pixel &= 0xffffff;
    return simple_image;
}

}  // namespace tessvane::host::testing
