// The committed bitmap files and what the editor expects of each.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace tessvane_test {

struct expected_bitmap {
    int id;
    int width;
    int state_height;  // height of one frame or state
    int states;
    const char* extension;
};

// The editor's bitmaps: 132 is not among them; 146 is a Windows bitmap.
inline const std::vector<expected_bitmap> single_size_bitmaps = {
    {130, 607, 383, 1, "png"}, {131, 350, 100, 1, "png"}, {133, 40, 32, 3, "png"},   {134, 40, 32, 1, "png"},
    {135, 40, 32, 3, "png"},   {136, 38, 38, 64, "png"},  {137, 38, 38, 65, "png"},  {138, 38, 38, 65, "png"},
    {139, 26, 26, 64, "png"},  {140, 32, 32, 65, "png"},  {141, 16, 16, 4, "png"},   {142, 16, 16, 2, "png"},
    {143, 16, 16, 2, "png"},   {144, 20, 20, 2, "png"},   {145, 597, 197, 1, "png"}, {146, 90, 12, 1, "bmp"},
    {147, 67, 16, 2, "png"},   {148, 22, 13, 2, "png"},   {149, 599, 196, 1, "png"}, {150, 599, 134, 1, "png"},
    {151, 325, 99, 1, "png"},
};

// Each beside its double-size set, 1000 ids on.
inline const std::vector<expected_bitmap> editor_bitmaps = [] {
    std::vector<expected_bitmap> all = single_size_bitmaps;
    for (const expected_bitmap& b : single_size_bitmaps)
        all.push_back({b.id + 1000, 2 * b.width, 2 * b.state_height, b.states, b.extension});
    return all;
}();

inline std::filesystem::path bitmaps_dir() { return TESSVANE_BITMAPS_DIR; }

std::string file_name(const expected_bitmap& b);
std::vector<std::uint8_t> read_bytes(const std::filesystem::path& path);

struct rgba_image {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;  // 4 bytes a pixel, rows top to bottom
};

// Decodes a PNG with libpng; an empty image when it is not a valid PNG.
rgba_image decode_png(const std::vector<std::uint8_t>& bytes);

}  // namespace tessvane_test
