#include "gui/control.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "gui/frame.h"

namespace VSTGUI {

CControl::CControl(const CRect& size, CControlListener* listener, int tag, CBitmap* background)
    : CView(size), listener_(listener), tag_(tag) {
    setBackground(background);
}

void CControl::setValue(float value) {
    const float lo = std::min(getMin(), getMax());
    const float hi = std::max(getMin(), getMax());
    if (std::isnan(value)) value = lo;
    value = std::clamp(value, lo, hi);
    if (value_.exchange(value, std::memory_order_relaxed) != value) setDirty();
}

float CControl::getValueNormalized() const {
    const float range = getMax() - getMin();
    return range == 0.0f ? 0.0f : (getValue() - getMin()) / range;
}

void CControl::setValueNormalized(float normalized) {
    setValue(getMin() + std::clamp(normalized, 0.0f, 1.0f) * (getMax() - getMin()));
}

void CControl::valueChanged() {
    if (listener_) listener_->controlChanged(this);
}

void CControl::beginEdit() {
    CFrame* frame = getFrame();
    if (frame && frame->getEditor()) frame->getEditor()->beginEdit(tag_);
}

void CControl::endEdit() {
    CFrame* frame = getFrame();
    if (frame && frame->getEditor()) frame->getEditor()->endEdit(tag_);
}

bool CControl::isTypeOf(const char* type) const { return std::strcmp(type, "CControl") == 0 || CView::isTypeOf(type); }

}  // namespace VSTGUI
