#include "gui/offscreen_context.h"

#include <algorithm>

namespace VSTGUI {
namespace {

std::size_t pixel_count(int width, int height) {
    return std::size_t(std::max(width, 0)) * std::size_t(std::max(height, 0));
}

}  // namespace

COffscreenContext::COffscreenContext(int width, int height, CColor background)
    : detail::pixel_storage{std::vector<std::uint32_t>(pixel_count(width, height), background.premultiplied())},
      CDrawContext(storage.data(), std::max(width, 0), std::max(height, 0), std::max(width, 0)) {}

void COffscreenContext::copyTo(CDrawContext& target, const CRect& dest, CPoint source_offset) const {
    target.drawPixels(storage.data(), getWidth(), getHeight(), getWidth(), dest, source_offset);
}

}  // namespace VSTGUI
