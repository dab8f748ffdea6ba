// Saving a picture as an 8-bit RGB PNG file with libpng.
#pragma once

#include <cstdint>
#include <string>

namespace tessvane::host {

// Pixels are 0x??RRGGBB words (alpha ignored: pictures are opaque),
// `stride` words from one row to the next. Throws std::runtime_error naming
// the path when the file cannot be written.
void write_png(const std::string& path, const std::uint32_t* pixels, int width, int height, int stride);

}  // namespace tessvane::host
