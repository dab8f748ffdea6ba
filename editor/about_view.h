// The about view: a click on the maker's logo shows the about picture with
// the version and the FIR in use as the frame's modal view; a click on the
// picture hides it again.
#pragma once

#include <string>

#include "gui/splash_screen.h"

namespace editor {

class eq_model;

// "Version 1.004, 2009" for vendor version 1004.
std::string about_version_text(int vendor_version);
// "8192 sample FIR (8192 sample/185.8ms delay)"; the delay is the engine's
// latency for that length. Without a sample rate the time is left out.
std::string about_fir_text(int fir_length, int sample_rate);

// The picture with the two text lines, drawn over the frame.
class about_view : public VSTGUI::CControl {
public:
    about_view(const VSTGUI::CRect& size, VSTGUI::CControlListener* listener, VSTGUI::CBitmap* bitmap,
               VSTGUI::CPoint offset);

    // The texts come from the model; without one only the picture is drawn.
    void set_model(const eq_model* model) { model_ = model; }

    void draw(VSTGUI::CDrawContext* context) override;
    bool onMouseDown(VSTGUI::CPoint where, VSTGUI::CButtonState buttons) override;
    bool isTypeOf(const char* type) const override;
    VSTGUI::CView* newCopy() const override;

private:
    const eq_model* model_ = nullptr;
    VSTGUI::CPoint offset_;
};

// The click area over the maker's logo that shows the about view.
class about_splash : public VSTGUI::CSplashScreen {
public:
    about_splash(const VSTGUI::CRect& size, VSTGUI::CControlListener* listener, int tag, VSTGUI::CBitmap* background,
                 const VSTGUI::CRect& display_area, VSTGUI::CPoint offset = {});

    about_view& aboutView() const;
};

}  // namespace editor
