// A switch of `positions` positions stacked top to bottom: a click (or a
// drag) at a height selects the position there. The value is
// position / (positions - 1) over the range, the minimum when there is only
// one position. The bitmap holds `frames` pictures of `frame_height`.
#pragma once

#include "gui/control.h"
#include "gui/image_strip.h"

namespace VSTGUI {

class CVerticalSwitch : public CControl {
public:
    CVerticalSwitch(const CRect& size, CControlListener* listener, int tag, int frames, CCoord frame_height,
                    int positions, CBitmap* background, CPoint offset = {});

    int getPositions() const { return positions_; }

    void draw(CDrawContext* context) override;
    bool onMouseDown(CPoint where, CButtonState buttons) override;
    bool onMouseMoved(CPoint where, CButtonState buttons) override;
    bool onMouseUp(CPoint where, CButtonState buttons) override;
    bool isTypeOf(const char* type) const override;

private:
    void selectAt(CPoint where);

    detail::image_strip strip_;
    int positions_;
    CPoint offset_;
    bool pressed_ = false;
};

}  // namespace VSTGUI
