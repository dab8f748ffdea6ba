#include "editor/about_view.h"

#include <cstdio>
#include <cstring>

#include "dsp/eq_layout.h"
#include "editor/eq_model.h"

using namespace VSTGUI;

namespace editor {

std::string about_version_text(int vendor_version) {
    char text[64];
    std::snprintf(text, sizeof text, "Version %.3f, 2009", vendor_version / 1000.0);
    return text;
}

std::string about_fir_text(int fir_length, int sample_rate) {
    const int delay = dsp::latency_for(fir_length);
    char text[96];
    if (sample_rate > 0)
        std::snprintf(text, sizeof text, "%i sample FIR (%i sample/%.1fms delay)", fir_length, delay,
                      delay * 1000.0 / sample_rate);
    else
        std::snprintf(text, sizeof text, "%i sample FIR (%i sample delay)", fir_length, delay);
    return text;
}

about_view::about_view(const CRect& size, CControlListener* listener, CBitmap* bitmap, CPoint offset)
    : CControl(size, listener, 0, bitmap), offset_(offset) {}

void about_view::draw(CDrawContext* context) {
    const CRect& r = getViewSize();
    if (getBackground()) context->drawBitmap(*getBackground(), r, offset_);
    if (!model_) return;
    context->setFont(CFontDesc("Arial", 10));
    context->setFontColor(kBlackCColor);
    // One pixel in from the left edge of each line's box.
    context->drawString(about_version_text(model_->vendor_version()),
                        CRect(r.left + 5, r.bottom - 28, r.left + 204, r.bottom - 16), kLeftText);
    context->drawString(about_fir_text(model_->fir_length_in_use(), model_->sample_rate()),
                        CRect(r.left + 5, r.bottom - 16, r.left + 404, r.bottom - 4), kLeftText);
    context->setFont(CFontDesc("Arial", 12));
}

bool about_view::onMouseDown(CPoint, CButtonState buttons) {
    if (!(buttons & kLButton)) return false;
    valueChanged();  // the splash control hides the view
    return true;
}

bool about_view::isTypeOf(const char* type) const {
    return std::strcmp(type, "about_view") == 0 || CControl::isTypeOf(type);
}

CView* about_view::newCopy() const {
    auto* copy = new about_view(getViewSize(), getListener(), getBackground(), offset_);
    copy->set_model(model_);
    return copy;
}

about_splash::about_splash(const CRect& size, CControlListener* listener, int tag, CBitmap* background,
                           const CRect& display_area, CPoint offset)
    : CSplashScreen(size, listener, tag, background, display_area, offset) {
    setSplashView(new about_view(display_area, this, background, offset));
}

about_view& about_splash::aboutView() const { return static_cast<about_view&>(*getSplashView()); }

}  // namespace editor
