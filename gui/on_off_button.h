// A two-state button: its bitmap holds the off state above the on state.
// A left click toggles between the minimum and the maximum, inside a
// beginEdit/endEdit pair.
#pragma once

#include "gui/control.h"

namespace VSTGUI {

class COnOffButton : public CControl {
public:
    COnOffButton(const CRect& size, CControlListener* listener, int tag, CBitmap* background);

    bool isOn() const { return getValueNormalized() > 0.5f; }

    void draw(CDrawContext* context) override;
    bool onMouseDown(CPoint where, CButtonState buttons) override;
    bool isTypeOf(const char* type) const override;
};

}  // namespace VSTGUI
