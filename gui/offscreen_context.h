// A draw context that owns its pixels: the frame's back buffer, and the
// pictures views render once and copy on every paint.
#pragma once

#include <cstdint>
#include <vector>

#include "gui/draw_context.h"

namespace VSTGUI {

namespace detail {
struct pixel_storage {
    std::vector<std::uint32_t> storage;
};
}  // namespace detail

class COffscreenContext : private detail::pixel_storage, public CDrawContext {
public:
    // A picture of width x height logical pixels, drawn at `scale`. Throws
    // std::bad_alloc when the buffer cannot be allocated.
    COffscreenContext(int width, int height, CColor background = kWhiteCColor, double scale = 1.0);

    // Blends this picture from `source_offset` on into `dest` of `target`.
    void copyTo(CDrawContext& target, const CRect& dest, CPoint source_offset = {}) const;
};

}  // namespace VSTGUI
