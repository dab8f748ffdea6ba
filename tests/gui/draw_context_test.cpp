// The software renderer: fills, pixels, clipping, the origin offset, bitmap
// blending and text placement.
#include <gtest/gtest.h>

#include "gui/bitmap.h"
#include "gui/offscreen_context.h"
#include "test_images.h"
#include "test_resources.h"

using namespace VSTGUI;

namespace {

constexpr std::uint32_t kWhite = 0xFFFFFFFF;

}  // namespace

TEST(DrawContext, FillCoversExactlyTheRectangleWithinTheClip) {
    COffscreenContext c(20, 10);
    c.setClipRect(CRect(0, 0, 8, 10));
    c.setFillColor(CColor{255, 0, 0, 255});
    c.fillRect(CRect(2, 3, 12, 5));
    EXPECT_EQ(c.pixelAt(2, 3), 0xFFFF0000u);
    EXPECT_EQ(c.pixelAt(7, 4), 0xFFFF0000u);
    EXPECT_EQ(c.pixelAt(8, 4), kWhite);  // clipped
    EXPECT_EQ(c.pixelAt(2, 5), kWhite);  // bottom is exclusive
    EXPECT_EQ(c.pixelAt(1, 3), kWhite);
}

TEST(DrawContext, OffsetMovesLocalCoordinatesAndTheClipFollowsThem) {
    COffscreenContext c(20, 20);
    c.setOffset(CPoint(5, 6));
    c.setClipRect(CRect(0, 0, 2, 2));
    c.drawPoint(CPoint(1, 1), kBlackCColor);
    c.drawPoint(CPoint(2, 1), kBlackCColor);
    EXPECT_EQ(c.pixelAt(6, 7), 0xFF000000u);
    EXPECT_EQ(c.pixelAt(7, 7), kWhite);
    EXPECT_EQ(c.getClipRect(), CRect(0, 0, 2, 2));
}

TEST(DrawContext, TranslucentColoursBlendOverWhatIsThere) {
    COffscreenContext c(4, 4, kBlackCColor);
    c.drawPoint(CPoint(1, 1), CColor{255, 255, 255, 128});
    const std::uint32_t p = c.pixelAt(1, 1);
    EXPECT_EQ(p >> 24, 255u);
    EXPECT_NEAR(double(p & 0xFF), 128.0, 1.0);
}

TEST(DrawContext, BitmapsBlendByAlphaFromTheSourceOffset) {
    // Top half opaque red, bottom half half-transparent blue.
    std::vector<gui_test::rgba> px;
    for (int i = 0; i < 4; ++i) px.push_back({255, 0, 0, 255});
    for (int i = 0; i < 4; ++i) px.push_back({0, 0, 255, 128});
    const auto bytes = gui_test::png_bytes(2, 4, px);
    CBitmap* bitmap = new CBitmap(bytes.data(), bytes.size());
    ASSERT_FALSE(bitmap->empty());

    COffscreenContext c(6, 6);
    c.drawBitmap(*bitmap, CRect(1, 1, 5, 5), CPoint(0, 2));
    const std::uint32_t blended = c.pixelAt(1, 1);
    EXPECT_EQ(blended >> 24, 255u);
    EXPECT_NEAR(double((blended >> 16) & 0xFF), 127.0, 2.0);  // white half covered by blue
    EXPECT_EQ(blended & 0xFF, 255u);
    EXPECT_EQ(c.pixelAt(1, 3), kWhite);  // the source ran out after two rows
    EXPECT_EQ(c.pixelAt(3, 1), kWhite);  // and after two columns
    bitmap->forget();
}

TEST(DrawContext, OffscreenPicturesCopyIntoAnotherContextAtARectangle) {
    COffscreenContext picture(3, 3, CColor{0, 255, 0, 255});
    COffscreenContext target(10, 10);
    target.setClipRect(CRect(0, 0, 5, 10));
    picture.copyTo(target, CRect(4, 4, 7, 7));
    EXPECT_EQ(target.pixelAt(4, 4), 0xFF00FF00u);
    EXPECT_EQ(target.pixelAt(5, 4), kWhite);  // clipped
    EXPECT_EQ(target.pixelAt(4, 7), kWhite);
}

// At 1.5: logical edges on the nearest device pixel, offsets and clips
// logical; a bitmap taken from its double-size set, each device pixel the
// average of the 4 / 3 source pixels under it.
TEST(DrawContext, AtAScaleEdgesLandOnTheNearestDevicePixelAndBitmapsComeFromTheirDoubleSet) {
    COffscreenContext c(10, 10, kWhiteCColor, 1.5);
    ASSERT_EQ(c.getWidth(), 15);
    c.setOffset(CPoint(1, 0));
    c.setClipRect(CRect(0, 0, 4, 4));
    EXPECT_EQ(c.getClipRect(), CRect(0, 0, 4, 4));
    c.setFillColor(CColor{255, 0, 0, 255});
    c.fillRect(CRect(0, 1, 2, 3));  // device 2..5 by 2..5
    EXPECT_EQ(c.pixelAt(2, 2), 0xFFFF0000u);
    EXPECT_EQ(c.pixelAt(4, 4), 0xFFFF0000u);
    EXPECT_EQ(c.pixelAt(1, 2), kWhite);
    EXPECT_EQ(c.pixelAt(5, 4), kWhite);
    c.fillRect(CRect(3, 0, 6, 1));  // clipped at device 8
    EXPECT_EQ(c.pixelAt(7, 0), 0xFFFF0000u);
    EXPECT_EQ(c.pixelAt(8, 0), kWhite);

    gui_test::set_resource(130, gui_test::solid_png(2, 2, {255, 0, 0, 255}));
    std::vector<gui_test::rgba> halves;  // black left, white right
    for (int i = 0; i < 16; ++i)
        halves.push_back(i % 4 < 2 ? gui_test::rgba{0, 0, 0, 255} : gui_test::rgba{255, 255, 255, 255});
    gui_test::set_resource(1130, gui_test::png_bytes(4, 4, halves));
    CBitmap* bitmap = new CBitmap(130);
    COffscreenContext scaled(4, 4, kWhiteCColor, 1.5);
    scaled.drawBitmap(*bitmap, CRect(0, 0, 2, 2));
    EXPECT_EQ(scaled.pixelAt(0, 1), 0xFF000000u);
    EXPECT_NEAR(double(scaled.pixelAt(1, 1) & 0xFF), 127.5, 1.0);
    EXPECT_EQ(scaled.pixelAt(2, 1), kWhite);
    EXPECT_EQ(scaled.pixelAt(1, 3), kWhite);  // below the bitmap
    COffscreenContext plain(2, 2);
    plain.drawBitmap(*bitmap, CRect(0, 0, 2, 2));
    EXPECT_EQ(plain.pixelAt(1, 1), 0xFFFF0000u);
    bitmap->forget();
    gui_test::clear_resources();
}

class TextPlacement : public ::testing::Test {
protected:
    COffscreenContext c{200, 40};
    const CRect box{20, 5, 180, 25};

    CRect draw(CHoriTxtAlign align) {
        c.setFont(CFontDesc("Arial", 11));
        c.setFontColor(kBlackCColor);
        c.drawString("Q = 0.7 kHz", box, align);
        return gui_test::ink_box(c, CRect(0, 0, 200, 40), kWhite);
    }
};

TEST_F(TextPlacement, TextStaysInsideItsRectangleAndIsVerticallyCentred) {
    const CRect ink = draw(kCenterText);
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_EQ(ink.intersection(box), ink);
    const int centre = (ink.top + ink.bottom) / 2;
    EXPECT_NEAR(centre, (box.top + box.bottom) / 2, 3);
    EXPECT_GE(ink.height(), 6);  // a real glyph, not a speck
}

TEST_F(TextPlacement, LeftAlignedTextStartsAtTheLeftEdge) {
    const CRect ink = draw(kLeftText);
    EXPECT_LE(ink.left, box.left + 3);
    EXPECT_GE(ink.left, box.left);
}

TEST_F(TextPlacement, RightAlignedTextEndsAtTheRightEdge) {
    const CRect ink = draw(kRightText);
    EXPECT_GE(ink.right, box.right - 3);
    EXPECT_LE(ink.right, box.right);
}

TEST_F(TextPlacement, CentredTextIsCentredHorizontally) {
    const CRect ink = draw(kCenterText);
    EXPECT_NEAR((ink.left + ink.right) / 2, (box.left + box.right) / 2, 3);
}

TEST_F(TextPlacement, TextIsAntiAliased) {
    draw(kCenterText);
    bool partial = false;
    for (int y = box.top; y < box.bottom; ++y)
        for (int x = box.left; x < box.right; ++x) {
            const std::uint32_t p = c.pixelAt(x, y) & 0xFF;
            partial = partial || (p > 0 && p < 255);
        }
    EXPECT_TRUE(partial);
}

TEST_F(TextPlacement, TextIsClippedToItsRectangle) {
    c.setFont(CFontDesc("Arial", 12));
    const CRect narrow(50, 5, 60, 25);
    c.drawString("a very long line of text", narrow, kLeftText);
    const CRect ink = gui_test::ink_box(c, CRect(0, 0, 200, 40), kWhite);
    EXPECT_EQ(ink.intersection(narrow), ink);
}
