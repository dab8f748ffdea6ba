#include "editor/about_view.h"

#include <cstdio>
#include <cstring>

#include "plugin/vst_plugin.h"

using namespace VSTGUI;

std::string about_version_text(int vendor_version) {
    char text[64];
    std::snprintf(text, sizeof text, "Version %.3f, 2009", vendor_version / 1000.0);
    return text;
}

std::string about_fir_text(int fir_length, int sample_rate) {
    const int delay = 2 * (fir_length / 2);
    char text[96];
    if (sample_rate > 0)
        std::snprintf(text, sizeof text, "%i sample FIR (%i sample/%.1fms delay)", fir_length, delay,
                      delay * 1000.0 / sample_rate);
    else
        std::snprintf(text, sizeof text, "%i sample FIR (%i sample delay)", fir_length, delay);
    return text;
}

CDefaultSplashScreenView_ext1::CDefaultSplashScreenView_ext1(const CRect& size, CControlListener* listener,
                                                             CBitmap* bitmap, CPoint offset)
    : CControl(size, listener, 0, bitmap), offset_(offset) {}

void CDefaultSplashScreenView_ext1::draw(CDrawContext* context) {
    const CRect& r = getViewSize();
    if (getBackground()) context->drawBitmap(*getBackground(), r, offset_);
    if (!plugin_ || !editor_) return;
    context->setFont(CFontDesc("Arial", 10));
    context->setFontColor(kBlackCColor);
    // One pixel in from the left edge of each line's box.
    context->drawString(about_version_text(plugin_->getVendorVersion()),
                        CRect(r.left + 5, r.bottom - 28, r.left + 204, r.bottom - 16), kLeftText);
    context->drawString(about_fir_text(plugin_->fir_length_in_use(), plugin_->sample_rate_hz_value()),
                        CRect(r.left + 5, r.bottom - 16, r.left + 404, r.bottom - 4), kLeftText);
    context->setFont(CFontDesc("Arial", 12));
}

bool CDefaultSplashScreenView_ext1::onMouseDown(CPoint, CButtonState buttons) {
    if (!(buttons & kLButton)) return false;
    valueChanged();  // the splash control hides the view
    return true;
}

bool CDefaultSplashScreenView_ext1::isTypeOf(const char* type) const {
    return std::strcmp(type, "CDefaultSplashScreenView_ext1") == 0 || CControl::isTypeOf(type);
}

CView* CDefaultSplashScreenView_ext1::newCopy() const {
    auto* copy = new CDefaultSplashScreenView_ext1(getViewSize(), getListener(), getBackground(), offset_);
    copy->setPlugin(plugin_);
    copy->setEditor(editor_);
    return copy;
}

CSplashScreen_ext1::CSplashScreen_ext1(const CRect& size, CControlListener* listener, int tag,
                                       CBitmap* background, const CRect& display_area, CPoint offset)
    : CSplashScreen(size, listener, tag, background, display_area, offset) {
    setSplashView(new CDefaultSplashScreenView_ext1(display_area, this, background, offset));
}

CDefaultSplashScreenView_ext1& CSplashScreen_ext1::aboutView() const {
    return static_cast<CDefaultSplashScreenView_ext1&>(*getSplashView());
}
