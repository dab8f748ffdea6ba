// A picture chosen by value from an image strip (the busy indicator): the
// first frame at the minimum, the last at the maximum. Ignores the mouse.
#pragma once

#include "gui/control.h"
#include "gui/image_strip.h"

namespace VSTGUI {

class CMovieBitmap : public CControl {
public:
    CMovieBitmap(const CRect& size, CControlListener* listener, int tag, int frames, CCoord frame_height,
                 CBitmap* background, CPoint offset = {});

    void draw(CDrawContext* context) override;
    bool isTypeOf(const char* type) const override;

private:
    detail::image_strip strip_;
    CPoint offset_;
};

}  // namespace VSTGUI
