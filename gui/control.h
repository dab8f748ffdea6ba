// A view with a value: the base of every knob, button, switch and read-out.
// The value lies between the minimum and the maximum (setValue clamps) and
// can be reset to the default. When the user changes it, the control calls
// its listener's controlChanged; around each gesture it reports beginEdit
// and endEdit with its tag to the frame's editor.
//
// setValue and the redraw requests may come from any thread (host
// automation, worker threads); the value is atomic and the repaint happens
// in the frame's idle step. The other setters are for the editor's thread.
#pragma once

#include <atomic>

#include "gui/view.h"

namespace VSTGUI {

class CControl;

class CControlListener {
public:
    virtual ~CControlListener() = default;
    virtual void controlChanged(CControl* control) = 0;
};

class CControl : public CView {
public:
    CControl(const CRect& size, CControlListener* listener = nullptr, int tag = -1, CBitmap* background = nullptr);

    // Clamped to [min, max]; marks the control dirty when the value changes.
    virtual void setValue(float value);
    float getValue() const { return value_.load(std::memory_order_relaxed); }
    void setMin(float v) { min_.store(v, std::memory_order_relaxed); }
    float getMin() const { return min_.load(std::memory_order_relaxed); }
    void setMax(float v) { max_.store(v, std::memory_order_relaxed); }
    float getMax() const { return max_.load(std::memory_order_relaxed); }
    void setDefaultValue(float v) { default_.store(v, std::memory_order_relaxed); }
    float getDefaultValue() const { return default_.load(std::memory_order_relaxed); }

    // The value mapped to 0..1 over [min, max]; 0 when the range is empty.
    float getValueNormalized() const;
    void setValueNormalized(float normalized);

    void setTag(int tag) { tag_ = tag; }
    int getTag() const { return tag_; }
    void setListener(CControlListener* listener) { listener_ = listener; }
    CControlListener* getListener() const { return listener_; }

    // Tells the listener that the user changed the value.
    void valueChanged();
    // The start and end of a user's gesture, reported to the editor.
    void beginEdit();
    void endEdit();

    bool isTypeOf(const char* type) const override;

private:
    CControlListener* listener_;
    int tag_;
    std::atomic<float> value_{0.0f};
    std::atomic<float> min_{0.0f};
    std::atomic<float> max_{1.0f};
    std::atomic<float> default_{0.5f};
};

}  // namespace VSTGUI
