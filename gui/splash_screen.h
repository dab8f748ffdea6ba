// A control (usually invisible, over a logo) that shows a view on a left
// click: the view becomes the frame's modal view, so nothing else takes the
// mouse while it is shown. A left click on the view hides it again. The
// control's value is its maximum while the view is shown and its minimum
// otherwise; the listener hears of both changes.
//
// The view shown is a CDefaultSplashScreenView (the bitmap at an offset over
// the display area) unless a subclass puts its own in with setSplashView;
// such a view tells the splash control of its click by calling
// valueChanged() with the splash control as its listener.
#pragma once

#include "gui/control.h"

namespace VSTGUI {

class CDefaultSplashScreenView : public CControl {
public:
    CDefaultSplashScreenView(const CRect& size, CControlListener* listener, CBitmap* bitmap, CPoint offset);

    void draw(CDrawContext* context) override;
    bool onMouseDown(CPoint where, CButtonState buttons) override;
    bool isTypeOf(const char* type) const override;

private:
    CPoint offset_;
};

class CSplashScreen : public CControl, public CControlListener {
public:
    // `display_area` is where the view appears, in frame coordinates.
    CSplashScreen(const CRect& size, CControlListener* listener, int tag, CBitmap* background,
                  const CRect& display_area, CPoint offset = {});
    ~CSplashScreen() override;

    const CRect& getDisplayArea() const { return display_area_; }
    CPoint getOffset() const { return offset_; }
    CControl* getSplashView() const { return view_; }
    bool isShown() const;

    void splash();
    void unSplash();

    void draw(CDrawContext* context) override;
    bool onMouseDown(CPoint where, CButtonState buttons) override;
    // The view's click: hides it.
    void controlChanged(CControl* control) override;
    bool isTypeOf(const char* type) const override;

protected:
    // Takes ownership of `view` and deletes the one shown until now.
    void setSplashView(CControl* view);

private:
    CRect display_area_;
    CPoint offset_;
    CControl* view_ = nullptr;
};

}  // namespace VSTGUI
