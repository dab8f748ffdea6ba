// PNG files read back for the host's tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tessvane::host::testing {

struct picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;  // 0x00RRGGBB, row after row
    std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// The size as the file's IHDR chunk states it; zero when it is not a PNG.
picture png_header(const std::string& path);
// The whole picture; throws std::runtime_error when it cannot be read.
picture read_png(const std::string& path);

}  // namespace tessvane::host::testing
