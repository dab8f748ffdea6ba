#include "editor/about_view.h"

#include <memory>

#include <gtest/gtest.h>

#include "../plugin/plugin_sandbox.h"
#include "editor/sd_editor.h"
#include "gui/offscreen_context.h"
#include "plugin/vst_plugin.h"

namespace {

using namespace VSTGUI;

TEST(AboutTexts, ShowTheVersionAndTheFirWithItsEvenDelay) {
    EXPECT_EQ(about_version_text(1004), "Version 1.004, 2009");
    EXPECT_EQ(about_fir_text(8192, 44100), "8192 sample FIR (8192 sample/185.8ms delay)");
    EXPECT_EQ(about_fir_text(8191, 44100), "8191 sample FIR (8190 sample/185.7ms delay)");
    EXPECT_EQ(about_fir_text(8192, 0), "8192 sample FIR (8192 sample delay)");  // no rate yet
}

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
    CBitmap* picture = new CBitmap(131);
    const CRect display_area{128, 191, 478, 291};
    std::unique_ptr<CSplashScreen_ext1> splash =
        std::make_unique<CSplashScreen_ext1>(CRect(526, 156, 603, 167), nullptr, 28, picture, display_area);

    AboutView() {
        plugin.dispatch(effOpen);
        plugin.dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f);
        picture->forget();
    }
};

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
