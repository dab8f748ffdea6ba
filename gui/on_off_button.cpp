#include "gui/on_off_button.h"

#include <cstring>

#include "gui/image_strip.h"

namespace VSTGUI {

COnOffButton::COnOffButton(const CRect& size, CControlListener* listener, int tag, CBitmap* background)
    : CControl(size, listener, tag, background) {
    setDefaultValue(0.0f);
}

void COnOffButton::draw(CDrawContext* context) {
    const CBitmap* bitmap = getBackground();
    if (!bitmap) return;
    const detail::image_strip strip{2, bitmap->getHeight() / 2};
    strip.draw(*context, bitmap, getViewSize(), isOn() ? 1 : 0);
}

bool COnOffButton::onMouseDown(CPoint, CButtonState buttons) {
    if (!(buttons & kLButton)) return false;
    beginEdit();
    setValue(isOn() ? getMin() : getMax());
    valueChanged();
    endEdit();
    return true;
}

bool COnOffButton::isTypeOf(const char* type) const {
    return std::strcmp(type, "COnOffButton") == 0 || CControl::isTypeOf(type);
}

}  // namespace VSTGUI
