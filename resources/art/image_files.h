// Writes a canvas as a PNG or a Windows BMP, byte for byte the same on
// every run.
#pragma once

#include <string>

#include "canvas.h"

namespace art {

// 8-bit RGBA, fixed compression, no time or text chunks.
void write_png(const canvas& image, const std::string& path);

// 24-bit uncompressed BI_RGB, bottom-up, rows padded to four bytes; alpha
// is flattened onto white.
void write_bmp(const canvas& image, const std::string& path);

}  // namespace art
