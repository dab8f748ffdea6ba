// Knobs. A press starts an edit (beginEdit), a release ends it (endEdit).
// The drag is linear when the editor's knob mode is 2 and circular
// otherwise; Alt swaps the two. In a linear drag, moving up by 200 pixels
// sweeps the whole range, 200 x the fine factor with Shift held. In a
// circular drag the knob follows the pointer's angle around its centre over
// a 270 degree sweep (divided by the fine factor with Shift). Ctrl-click
// resets the default value; each wheel notch steps a hundredth of the range
// (divided by the fine factor with Shift).
#pragma once

#include "gui/control.h"
#include "gui/image_strip.h"

namespace VSTGUI {

class CKnob : public CControl {
public:
    static constexpr float kDefaultFineFactor = 1.5f;
    static constexpr CCoord kLinearRangePixels = 200;

    CKnob(const CRect& size, CControlListener* listener, int tag, CBitmap* background);
    // A drag cut short by closing the editor still ends its edit.
    ~CKnob() override;

    void setFineFactor(float factor) { fine_factor_ = factor; }
    float getFineFactor() const { return fine_factor_; }

    bool onMouseDown(CPoint where, CButtonState buttons) override;
    bool onMouseUp(CPoint where, CButtonState buttons) override;
    bool onMouseMoved(CPoint where, CButtonState buttons) override;
    bool onWheel(CPoint where, float distance, CButtonState buttons) override;
    bool isTypeOf(const char* type) const override;

private:
    void anchor(CPoint where, CButtonState buttons);
    float angleValue(CPoint where) const;  // 0..1 over the sweep
    void changeTo(float normalized);
    int knobMode() const;

    float fine_factor_ = kDefaultFineFactor;
    bool dragging_ = false;
    bool linear_ = false;
    bool fine_ = false;
    CPoint anchor_point_;
    float anchor_value_ = 0.0f;
};

// A knob drawn from an image strip: `frames` pictures of `frame_height`
// pixels, the first for the minimum, the last for the maximum.
class CAnimKnob : public CKnob {
public:
    CAnimKnob(const CRect& size, CControlListener* listener, int tag, int frames, CCoord frame_height,
              CBitmap* background, CPoint offset = {});

    void draw(CDrawContext* context) override;
    bool isTypeOf(const char* type) const override;

private:
    detail::image_strip strip_;
    CPoint offset_;
};

}  // namespace VSTGUI
