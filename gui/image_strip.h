// States of a control stacked vertically in one bitmap, one under the other,
// each `frame_height` pixels high: knob positions, button states, movie
// frames.
#pragma once

#include <algorithm>
#include <cmath>

#include "gui/bitmap.h"
#include "gui/draw_context.h"

namespace VSTGUI::detail {

struct image_strip {
    int frames = 1;
    CCoord frame_height = 0;

    // The frame showing a value normalised to 0..1.
    int frameFor(float normalized) const {
        if (frames <= 1) return 0;
        const int index = static_cast<int>(std::lround(normalized * float(frames - 1)));
        return std::clamp(index, 0, frames - 1);
    }

    void draw(CDrawContext& context, const CBitmap* bitmap, const CRect& dest, int frame, CPoint offset = {}) const {
        if (bitmap) context.drawBitmap(*bitmap, dest, CPoint(offset.x, offset.y + frame * frame_height));
    }
};

}  // namespace VSTGUI::detail
