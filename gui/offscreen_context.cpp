#include "gui/offscreen_context.h"

#include <algorithm>
#include <cmath>

namespace VSTGUI {
namespace {

int device_pixels(int logical, double scale) { return std::max(int(std::lround(logical * scale)), 0); }

}  // namespace

COffscreenContext::COffscreenContext(int width, int height, CColor background, double scale)
    : detail::pixel_storage{std::vector<std::uint32_t>(
          std::size_t(device_pixels(width, scale)) * std::size_t(device_pixels(height, scale)),
          background.premultiplied())},
      CDrawContext(storage.data(), device_pixels(width, scale), device_pixels(height, scale),
                   device_pixels(width, scale)) {
    setScale(scale);
}

void COffscreenContext::copyTo(CDrawContext& target, const CRect& dest, CPoint source_offset) const {
    target.drawPixels(storage.data(), getWidth(), getHeight(), getWidth(), dest, source_offset);
}

}  // namespace VSTGUI
