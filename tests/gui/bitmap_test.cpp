// Bitmaps: PNG and BMP decoding, damaged data, resource lookup and shared
// ownership between the layout code and the views.
#include <gtest/gtest.h>

#include "gui/bitmap.h"
#include "gui/image_decode.h"
#include "gui/view.h"
#include "test_images.h"
#include "test_resources.h"

using namespace VSTGUI;
using gui_test::rgba;

namespace {

const std::vector<rgba> kFourPixels = {{255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}, {10, 20, 30, 255}};

}  // namespace

TEST(PngDecode, GivesPremultipliedArgbTopRowFirst) {
    const std::vector<rgba> px = {{255, 0, 0, 255}, {0, 0, 255, 0}, {200, 100, 50, 128}, {0, 0, 0, 255}};
    const auto bytes = gui_test::png_bytes(2, 2, px);
    const auto image = detail::decode_png(bytes.data(), bytes.size());
    ASSERT_EQ(image.width, 2);
    ASSERT_EQ(image.height, 2);
    EXPECT_EQ(image.pixels[0], 0xFFFF0000u);
    EXPECT_EQ(image.pixels[1], 0x00000000u);  // fully transparent is all zero
    EXPECT_EQ(image.pixels[2], 0x80643219u);  // 200, 100, 50 at half strength
    EXPECT_EQ(image.pixels[3], 0xFF000000u);
}

TEST(PngDecode, TruncatedDataGivesAnEmptyImageOrTheWholeOne) {
    // Losing only the trailing chunks still leaves every pixel readable.
    const auto bytes = gui_test::strip_png(7, 5, 3);
    const auto whole = detail::decode_image(bytes.data(), bytes.size());
    ASSERT_FALSE(whole.empty());
    for (std::size_t n = 0; n < bytes.size(); ++n) {
        const auto image = detail::decode_image(bytes.data(), n);
        EXPECT_TRUE(image.empty() || image.pixels == whole.pixels) << "length " << n;
    }
    EXPECT_TRUE(detail::decode_image(bytes.data(), bytes.size() / 2).empty());
}

TEST(PngDecode, CorruptedDataGivesAnEmptyImage) {
    auto bytes = gui_test::strip_png(7, 5, 3);
    for (std::size_t i = 40; i < bytes.size(); ++i) bytes[i] ^= 0x5A;
    EXPECT_TRUE(detail::decode_image(bytes.data(), bytes.size()).empty());
    EXPECT_TRUE(detail::decode_image(nullptr, 100).empty());
}

struct bmp_case {
    int bits;
    bool file_header;
    bool top_down;
};

class BmpDecode : public ::testing::TestWithParam<bmp_case> {};

TEST_P(BmpDecode, ReadsEveryLayoutTopRowFirst) {
    const bmp_case c = GetParam();
    // Three pixels wide, so 24-bit rows need padding.
    std::vector<rgba> px = {{255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255},
                            {1, 2, 3, 255},   {4, 5, 6, 255},   {7, 8, 9, 255}};
    const auto bytes = gui_test::bmp_bytes(3, 2, c.bits, px, c.file_header, c.top_down);
    const auto image = detail::decode_image(bytes.data(), bytes.size());
    ASSERT_EQ(image.width, 3);
    ASSERT_EQ(image.height, 2);
    EXPECT_EQ(image.pixels[0], 0xFFFF0000u);
    EXPECT_EQ(image.pixels[2], 0xFF0000FFu);
    EXPECT_EQ(image.pixels[5], 0xFF070809u);
}

TEST_P(BmpDecode, TruncatedDataAtAnyLengthGivesAnEmptyImage) {
    const bmp_case c = GetParam();
    const auto bytes =
        gui_test::bmp_bytes(5, 4, c.bits, std::vector<rgba>(20, {9, 9, 9, 255}), c.file_header, c.top_down);
    for (std::size_t n = 0; n < bytes.size(); ++n)
        EXPECT_TRUE(detail::decode_image(bytes.data(), n).empty()) << "length " << n;
}

INSTANTIATE_TEST_SUITE_P(Layouts, BmpDecode,
                         ::testing::Values(bmp_case{24, true, false}, bmp_case{24, false, false},
                                           bmp_case{32, true, false}, bmp_case{32, false, true},
                                           bmp_case{24, true, true}),
                         [](const ::testing::TestParamInfo<bmp_case>& info) {
                             const bmp_case& c = info.param;
                             return std::to_string(c.bits) + "bit" + (c.file_header ? "File" : "Resource") +
                                    (c.top_down ? "TopDown" : "BottomUp");
                         });

TEST(BmpDecodeAlpha, ThirtyTwoBitBitmapsWithoutAlphaAreOpaque) {
    std::vector<rgba> px(4, {10, 20, 30, 0});
    const auto bytes = gui_test::bmp_bytes(2, 2, 32, px, true, false);
    const auto image = detail::decode_image(bytes.data(), bytes.size());
    ASSERT_FALSE(image.empty());
    EXPECT_EQ(image.pixels[0], 0xFF0A141Eu);
}

TEST(BmpDecodeAlpha, UnsupportedOrAbsurdHeadersGiveAnEmptyImage) {
    auto bytes = gui_test::bmp_bytes(2, 2, 24, kFourPixels, true, false);
    auto bits_8 = bytes;
    bits_8[14 + 14] = 8;
    EXPECT_TRUE(detail::decode_image(bits_8.data(), bits_8.size()).empty());
    auto huge = bytes;
    huge[14 + 4 + 3] = 0x7F;  // width of about two thousand million
    EXPECT_TRUE(detail::decode_image(huge.data(), huge.size()).empty());
    auto compressed = bytes;
    compressed[14 + 16] = 1;
    EXPECT_TRUE(detail::decode_image(compressed.data(), compressed.size()).empty());
}

TEST(BitmapResources, AreLoadedByIdAndAMissingIdGivesAnEmptyBitmap) {
    gui_test::set_resource(130, gui_test::solid_png(6, 4, {1, 2, 3, 255}));
    gui_test::set_resource(146, gui_test::bmp_bytes(2, 2, 24, kFourPixels, false, false));
    CBitmap* png = new CBitmap(130);
    CBitmap* bmp = new CBitmap(146);
    CBitmap* missing = new CBitmap(999);
    EXPECT_EQ(png->getWidth(), 6);
    EXPECT_EQ(png->getHeight(), 4);
    EXPECT_EQ(png->pixelAt(5, 3), 0xFF010203u);
    EXPECT_EQ(bmp->getWidth(), 2);
    EXPECT_TRUE(missing->empty());
    EXPECT_EQ(missing->getWidth(), 0);
    png->forget();
    bmp->forget();
    missing->forget();
    gui_test::clear_resources();
}

TEST(BitmapOwnership, AViewKeepsItsBitmapAfterTheLoaderForgetsIt) {
    const auto bytes = gui_test::solid_png(4, 4, {0, 0, 0, 255});
    CBitmap* bitmap = new CBitmap(bytes.data(), bytes.size());
    auto* view = new CView(CRect(0, 0, 4, 4));
    view->setBackground(bitmap);
    EXPECT_EQ(bitmap->getNbReference(), 2);
    bitmap->forget();
    EXPECT_EQ(view->getBackground()->getNbReference(), 1);
    EXPECT_EQ(view->getBackground()->getWidth(), 4);  // still alive
    delete view;                                      // the last reference goes with it (ASan reports a leak otherwise)
}
