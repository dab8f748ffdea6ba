#include "editor/about_view.h"

#include <gtest/gtest.h>

#include "../plugin/plugin_sandbox.h"
#include "editor/sd_editor.h"
#include "gui/frame.h"
#include "gui/offscreen_context.h"
#include "plugin/vst_plugin.h"

namespace {

using namespace VSTGUI;

TEST(AboutTexts, VersionLineShowsTheVendorVersionInThousandths) {
    EXPECT_EQ(about_version_text(1004), "Version 1.004, 2009");
}

TEST(AboutTexts, FirLineShowsLengthEvenDelayAndMilliseconds) {
    EXPECT_EQ(about_fir_text(8192, 44100), "8192 sample FIR (8192 sample/185.8ms delay)");
    EXPECT_EQ(about_fir_text(65536, 48000), "65536 sample FIR (65536 sample/1365.3ms delay)");
    EXPECT_EQ(about_fir_text(8191, 44100), "8191 sample FIR (8190 sample/185.7ms delay)");
}

TEST(AboutTexts, FirLineWithoutASampleRateLeavesTheTimeOut) {
    EXPECT_EQ(about_fir_text(8192, 0), "8192 sample FIR (8192 sample delay)");
}

struct recording_listener : CControlListener {
    std::vector<int> tags;
    void controlChanged(CControl* control) override { tags.push_back(control->getTag()); }
};

bool has_ink(const CDrawContext& picture, const CRect& r, const CBitmap& under, CPoint origin) {
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            if (picture.pixelAt(x, y) != under.pixelAt(x - origin.x, y - origin.y)) return true;
    return false;
}

class AboutView : public ::testing::Test {
protected:
    settings_sandbox sandbox{"8192"};
    message_capture messages;
    plugin_instance plugin;
    VST_Plugin& object = *static_cast<VST_Plugin*>(plugin.effect()->object);
    recording_listener listener;
    CFrame frame{CRect(0, 0, 607, 383), nullptr, nullptr};
    CBitmap* picture = new CBitmap(131);
    const CRect display_area{128, 191, 478, 291};
    CSplashScreen_ext1* splash =
        new CSplashScreen_ext1(CRect(526, 156, 603, 167), &listener, 28, picture, display_area);

    AboutView() {
        plugin.dispatch(effOpen);
        plugin.dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f);
        frame.addView(splash);
        picture->forget();
    }
};

TEST_F(AboutView, AClickOnTheLogoShowsTheViewAndAClickOnTheViewHidesIt) {
    frame.onMouseDown(CPoint(560, 160), kLButton);
    frame.onMouseUp(CPoint(560, 160), kLButton);
    ASSERT_EQ(frame.getModalView(), &splash->aboutView());
    EXPECT_TRUE(splash->aboutView().isTypeOf("CDefaultSplashScreenView_ext1"));
    // A right click is not the view's.
    frame.onMouseDown(CPoint(300, 240), kRButton);
    EXPECT_EQ(frame.getModalView(), &splash->aboutView());
    frame.onMouseDown(CPoint(300, 240), kLButton);
    frame.onMouseUp(CPoint(300, 240), kLButton);
    EXPECT_EQ(frame.getModalView(), nullptr);
    EXPECT_EQ(listener.tags, (std::vector<int>{28, 28}));
}

TEST_F(AboutView, TheTextLinesAreDrawnOnlyWithBothPointers) {
    const CRect version_line(132, 263, 332, 275);
    const CRect fir_line(132, 275, 532, 287);
    const CBitmap& under = *splash->aboutView().getBackground();
    COffscreenContext window(607, 383);
    splash->aboutView().draw(&window);
    EXPECT_FALSE(has_ink(window, version_line.intersection(display_area), under, display_area.topLeft()));

    SDEditor* editor = static_cast<SDEditor*>(object.getEditor());
    splash->aboutView().setPlugin(&object);
    splash->aboutView().setEditor(editor);
    splash->aboutView().draw(&window);
    EXPECT_TRUE(has_ink(window, version_line.intersection(display_area), under, display_area.topLeft()));
    EXPECT_TRUE(has_ink(window, fir_line.intersection(display_area), under, display_area.topLeft()));
    EXPECT_EQ(window.getFont(), CFontDesc("Arial", 12));
}

}  // namespace
