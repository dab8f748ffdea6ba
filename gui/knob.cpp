#include "gui/knob.h"

#include <cmath>
#include <cstring>
#include <numbers>

#include "gui/frame.h"

namespace VSTGUI {
namespace {

constexpr float kSweep = 1.5f * std::numbers::pi_v<float>;  // 270 degrees
constexpr float kWheelStep = 0.01f;

}  // namespace

CKnob::CKnob(const CRect& size, CControlListener* listener, int tag, CBitmap* background)
    : CControl(size, listener, tag, background) {}

CKnob::~CKnob() {
    if (dragging_) endEdit();
}

int CKnob::knobMode() const {
    const CFrame* frame = getFrame();
    return frame && frame->getEditor() ? frame->getEditor()->getKnobMode() : 0;
}

void CKnob::anchor(CPoint where, CButtonState buttons) {
    anchor_point_ = where;
    anchor_value_ = getValueNormalized();
    fine_ = (buttons & kShift) != 0;
}

float CKnob::angleValue(CPoint where) const {
    const CRect& r = getViewSize();
    const float dx = float(where.x) - (r.left + r.right) * 0.5f;
    const float dy = float(where.y) - (r.top + r.bottom) * 0.5f;
    const float angle = std::atan2(dx, -dy);  // 0 at the top, clockwise positive
    return std::clamp((angle + kSweep / 2) / kSweep, 0.0f, 1.0f);
}

void CKnob::changeTo(float normalized) {
    const float before = getValue();
    setValueNormalized(normalized);
    if (getValue() != before) valueChanged();
}

bool CKnob::onMouseDown(CPoint where, CButtonState buttons) {
    if (!(buttons & kLButton)) return false;
    beginEdit();
    if (buttons & kControl) {
        const float before = getValue();
        setValue(getDefaultValue());
        if (getValue() != before) valueChanged();
        endEdit();
        return true;
    }
    dragging_ = true;
    linear_ = (knobMode() == 2) != ((buttons & kAlt) != 0);
    anchor(where, buttons);
    return true;
}

bool CKnob::onMouseMoved(CPoint where, CButtonState buttons) {
    if (!dragging_) return false;
    // Pressing or releasing Shift mid-drag continues from where the knob is.
    if (((buttons & kShift) != 0) != fine_) anchor(where, buttons);
    const float factor = fine_ ? fine_factor_ : 1.0f;
    if (linear_) {
        const float pixels = float(kLinearRangePixels) * factor;
        changeTo(anchor_value_ + float(anchor_point_.y - where.y) / pixels);
    } else if (fine_) {
        changeTo(anchor_value_ + (angleValue(where) - angleValue(anchor_point_)) / factor);
    } else {
        changeTo(angleValue(where));
    }
    return true;
}

bool CKnob::onMouseUp(CPoint, CButtonState) {
    if (!dragging_) return false;
    dragging_ = false;
    endEdit();
    return true;
}

bool CKnob::onWheel(CPoint, float distance, CButtonState buttons) {
    const float factor = (buttons & kShift) ? fine_factor_ : 1.0f;
    beginEdit();
    changeTo(getValueNormalized() + distance * kWheelStep / factor);
    endEdit();
    return true;
}

bool CKnob::isTypeOf(const char* type) const { return std::strcmp(type, "CKnob") == 0 || CControl::isTypeOf(type); }

CAnimKnob::CAnimKnob(const CRect& size, CControlListener* listener, int tag, int frames, CCoord frame_height,
                     CBitmap* background, CPoint offset)
    : CKnob(size, listener, tag, background), strip_{frames, frame_height}, offset_(offset) {}

void CAnimKnob::draw(CDrawContext* context) {
    strip_.draw(*context, getBackground(), getViewSize(), strip_.frameFor(getValueNormalized()), offset_);
}

bool CAnimKnob::isTypeOf(const char* type) const {
    return std::strcmp(type, "CAnimKnob") == 0 || CKnob::isTypeOf(type);
}

}  // namespace VSTGUI
