// The about view: a click on the maker's logo shows the about picture with
// the version and the FIR in use as the frame's modal view; a click on the
// picture hides it again.
#pragma once

#include <string>

#include "gui/splash_screen.h"

class SDEditor;
class VST_Plugin;

// "Version 1.004, 2009" for vendor version 1004.
std::string about_version_text(int vendor_version);
// "8192 sample FIR (8192 sample/185.8ms delay)"; the delay is the length
// made even. Without a sample rate the time is left out.
std::string about_fir_text(int fir_length, int sample_rate);

class CDefaultSplashScreenView_ext1 : public VSTGUI::CControl {
public:
    CDefaultSplashScreenView_ext1(const VSTGUI::CRect& size, VSTGUI::CControlListener* listener,
                                  VSTGUI::CBitmap* bitmap, VSTGUI::CPoint offset);

    // Both are needed for the texts; without them only the picture is drawn.
    void setPlugin(VST_Plugin* plugin) { plugin_ = plugin; }
    void setEditor(SDEditor* editor) { editor_ = editor; }

    void draw(VSTGUI::CDrawContext* context) override;
    bool onMouseDown(VSTGUI::CPoint where, VSTGUI::CButtonState buttons) override;
    bool isTypeOf(const char* type) const override;
    VSTGUI::CView* newCopy() const override;

private:
    VST_Plugin* plugin_ = nullptr;
    SDEditor* editor_ = nullptr;
    VSTGUI::CPoint offset_;
};

class CSplashScreen_ext1 : public VSTGUI::CSplashScreen {
public:
    CSplashScreen_ext1(const VSTGUI::CRect& size, VSTGUI::CControlListener* listener, int tag,
                       VSTGUI::CBitmap* background, const VSTGUI::CRect& display_area,
                       VSTGUI::CPoint offset = {});

    CDefaultSplashScreenView_ext1& aboutView() const;
};
