#include "gui/vertical_switch.h"

#include <algorithm>
#include <cstring>

namespace VSTGUI {

CVerticalSwitch::CVerticalSwitch(const CRect& size, CControlListener* listener, int tag, int frames,
                                 CCoord frame_height, int positions, CBitmap* background, CPoint offset)
    : CControl(size, listener, tag, background),
      strip_{frames, frame_height},
      positions_(std::max(positions, 1)),
      offset_(offset) {
    setDefaultValue(0.0f);
}

void CVerticalSwitch::draw(CDrawContext* context) {
    strip_.draw(*context, getBackground(), getViewSize(), strip_.frameFor(getValueNormalized()), offset_);
}

void CVerticalSwitch::selectAt(CPoint where) {
    const CRect& r = getViewSize();
    int position = 0;
    if (r.height() > 0) position = (where.y - r.top) * positions_ / r.height();
    position = std::clamp(position, 0, positions_ - 1);
    const float before = getValue();
    setValueNormalized(positions_ > 1 ? float(position) / float(positions_ - 1) : 0.0f);
    if (getValue() != before) valueChanged();
}

bool CVerticalSwitch::onMouseDown(CPoint where, CButtonState buttons) {
    if (!(buttons & kLButton)) return false;
    pressed_ = true;
    beginEdit();
    selectAt(where);
    return true;
}

bool CVerticalSwitch::onMouseMoved(CPoint where, CButtonState) {
    if (!pressed_) return false;
    selectAt(where);
    return true;
}

bool CVerticalSwitch::onMouseUp(CPoint, CButtonState) {
    if (!pressed_) return false;
    pressed_ = false;
    endEdit();
    return true;
}

bool CVerticalSwitch::isTypeOf(const char* type) const {
    return std::strcmp(type, "CVerticalSwitch") == 0 || CControl::isTypeOf(type);
}

}  // namespace VSTGUI
