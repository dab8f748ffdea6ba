#include "editor/about_view.h"

#include <memory>

#include <gtest/gtest.h>

#include "fake_model.h"
#include "gui/offscreen_context.h"

namespace {

using namespace VSTGUI;
using namespace editor;

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
    fake_model model;
    CBitmap* picture = new CBitmap(131);
    const CRect display_area{128, 191, 478, 291};
    std::unique_ptr<about_splash> splash =
        std::make_unique<about_splash>(CRect(526, 156, 603, 167), nullptr, 28, picture, display_area);

    AboutView() { picture->forget(); }
};

TEST_F(AboutView, TheTextLinesAreDrawnOnlyWithAModel) {
    const CRect version_line(132, 263, 332, 275);
    const CRect fir_line(132, 275, 532, 287);
    const CBitmap& under = *splash->aboutView().getBackground();
    COffscreenContext window(607, 383);
    splash->aboutView().draw(&window);
    EXPECT_FALSE(has_ink(window, version_line.intersection(display_area), under, display_area.topLeft()));

    splash->aboutView().set_model(&model);
    splash->aboutView().draw(&window);
    EXPECT_TRUE(has_ink(window, version_line.intersection(display_area), under, display_area.topLeft()));
    EXPECT_TRUE(has_ink(window, fir_line.intersection(display_area), under, display_area.topLeft()));
    EXPECT_EQ(window.getFont(), CFontDesc("Arial", 12));
}

}  // namespace
