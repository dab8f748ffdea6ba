#include "gui/splash_screen.h"

#include <cstring>

#include "gui/frame.h"

namespace VSTGUI {

CDefaultSplashScreenView::CDefaultSplashScreenView(const CRect& size, CControlListener* listener, CBitmap* bitmap,
                                                   CPoint offset)
    : CControl(size, listener, 0, bitmap), offset_(offset) {}

void CDefaultSplashScreenView::draw(CDrawContext* context) {
    if (getBackground()) context->drawBitmap(*getBackground(), getViewSize(), offset_);
}

bool CDefaultSplashScreenView::onMouseDown(CPoint, CButtonState buttons) {
    if (!(buttons & kLButton)) return false;
    valueChanged();
    return true;
}

bool CDefaultSplashScreenView::isTypeOf(const char* type) const {
    return std::strcmp(type, "CDefaultSplashScreenView") == 0 || CControl::isTypeOf(type);
}

CSplashScreen::CSplashScreen(const CRect& size, CControlListener* listener, int tag, CBitmap* background,
                             const CRect& display_area, CPoint offset)
    : CControl(size, listener, tag, background), display_area_(display_area), offset_(offset) {
    setDefaultValue(0.0f);
    setSplashView(new CDefaultSplashScreenView(display_area, this, background, offset));
}

CSplashScreen::~CSplashScreen() { setSplashView(nullptr); }

void CSplashScreen::setSplashView(CControl* view) {
    CFrame* frame = getFrame();
    if (frame && view_ && frame->getModalView() == view_) frame->setModalView(nullptr);
    delete view_;
    view_ = view;
}

bool CSplashScreen::isShown() const {
    const CFrame* frame = getFrame();
    return frame && view_ && frame->getModalView() == view_;
}

void CSplashScreen::splash() {
    CFrame* frame = getFrame();
    if (!frame || !view_) return;
    view_->setVisible(true);
    frame->setModalView(view_);
    setValue(getMax());
    valueChanged();
}

void CSplashScreen::unSplash() {
    if (!isShown()) return;
    getFrame()->setModalView(nullptr);
    setValue(getMin());
    valueChanged();
    setDirty();
}

void CSplashScreen::draw(CDrawContext*) {}  // the logo under it belongs to the background

bool CSplashScreen::onMouseDown(CPoint, CButtonState buttons) {
    if (!(buttons & kLButton)) return false;
    splash();
    return true;
}

void CSplashScreen::controlChanged(CControl* control) {
    if (control == view_) unSplash();
}

bool CSplashScreen::isTypeOf(const char* type) const {
    return std::strcmp(type, "CSplashScreen") == 0 || CControl::isTypeOf(type);
}

}  // namespace VSTGUI
