// The committed bitmaps have the ids, formats, sizes and states the editor
// relies on, and its controls sit on their backgrounds without seams.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "bitmap_files.h"

namespace tessvane_test {
namespace {

std::uint32_t big_endian(const std::vector<std::uint8_t>& b, std::size_t at) {
    return (std::uint32_t{b[at]} << 24) | (std::uint32_t{b[at + 1]} << 16) | (std::uint32_t{b[at + 2]} << 8) |
           b[at + 3];
}

std::uint32_t little_endian(const std::vector<std::uint8_t>& b, std::size_t at, int bytes) {
    std::uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) value = (value << 8) | b[at + i];
    return value;
}

const expected_bitmap& bitmap(int id) {
    return *std::find_if(editor_bitmaps.begin(), editor_bitmaps.end(),
                         [id](const expected_bitmap& b) { return b.id == id; });
}

rgba_image load(int id) { return decode_png(read_bytes(bitmaps_dir() / file_name(bitmap(id)))); }

TEST(BitmapFolder, HoldsExactlyTheEditorsBitmaps) {
    std::set<std::string> found, expected;
    for (const auto& entry : std::filesystem::directory_iterator(bitmaps_dir())) {
        found.insert(entry.path().filename().string());
    }
    for (const expected_bitmap& b : editor_bitmaps) expected.insert(file_name(b));
    EXPECT_EQ(found, expected);
}

TEST(BitmapFolder, EveryPngIsEightBitRgbaOfItsWidthAndStackedStates) {
    const std::uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    for (const expected_bitmap& b : editor_bitmaps) {
        if (std::string(b.extension) != "png") continue;
        SCOPED_TRACE(file_name(b));
        const std::vector<std::uint8_t> bytes = read_bytes(bitmaps_dir() / file_name(b));
        ASSERT_GE(bytes.size(), 33u);
        EXPECT_TRUE(std::equal(signature, signature + 8, bytes.begin()));
        EXPECT_EQ(std::string(bytes.begin() + 12, bytes.begin() + 16), "IHDR");
        EXPECT_EQ(big_endian(bytes, 16), static_cast<std::uint32_t>(b.width));
        EXPECT_EQ(big_endian(bytes, 20), static_cast<std::uint32_t>(b.state_height * b.states));
        EXPECT_EQ(bytes[24], 8) << "bit depth";
        EXPECT_EQ(bytes[25], 6) << "colour type RGBA";
        EXPECT_EQ(decode_png(bytes).width, b.width) << "libpng cannot decode it";
    }
}

TEST(BitmapFolder, MenuFieldIsAnUncompressed24BitBottomUpWindowsBitmap) {
    for (const int scale : {1, 2}) {
        const std::vector<std::uint8_t> bytes = read_bytes(bitmaps_dir() / (scale == 1 ? "146.bmp" : "1146.bmp"));
        ASSERT_GE(bytes.size(), 54u);
        EXPECT_EQ(bytes[0], 'B');
        EXPECT_EQ(bytes[1], 'M');
        EXPECT_EQ(little_endian(bytes, 2, 4), bytes.size());
        EXPECT_EQ(little_endian(bytes, 10, 4), 54u) << "pixels follow the two headers";
        EXPECT_EQ(little_endian(bytes, 14, 4), 40u) << "BITMAPINFOHEADER";
        EXPECT_EQ(little_endian(bytes, 18, 4), 90u * scale);
        EXPECT_EQ(little_endian(bytes, 22, 4), 12u * scale) << "positive height: bottom-up rows";
        EXPECT_EQ(little_endian(bytes, 26, 2), 1u) << "planes";
        EXPECT_EQ(little_endian(bytes, 28, 2), 24u) << "bits per pixel";
        EXPECT_EQ(little_endian(bytes, 30, 4), 0u) << "BI_RGB";
        // 90 pixels of 3 bytes a unit, each row padded to four bytes.
        const std::uint32_t row = (270u * scale + 3u) & ~3u;
        EXPECT_EQ(bytes.size(), 54u + row * 12u * scale);
    }
}

// A control's image replaces what was under it, so a state drawn with
// transparency would leave the previous state showing through.
TEST(ControlImages, AreOpaque) {
    for (int id : {133, 134, 135, 136, 137, 138, 139, 140, 141, 142, 143, 144, 147, 148, 1133, 1137, 1143, 1148}) {
        SCOPED_TRACE(id);
        const rgba_image image = load(id);
        ASSERT_FALSE(image.pixels.empty());
        for (std::size_t i = 3; i < image.pixels.size(); i += 4) {
            ASSERT_EQ(image.pixels[i], 255) << "pixel " << i / 4;
        }
    }
}

TEST(ControlImages, SitOnTheColourOfTheBackgroundUnderThem) {
    struct placement {
        int control, background, x, y;
    };
    // Top-left corners where the editor places each control on its page.
    const placement placements[] = {
        {137, 151, 16, 40},  {138, 151, 62, 40}, {138, 151, 108, 40}, {133, 151, 200, 42},
        {144, 151, 255, 47}, {137, 150, 46, 60}, {143, 150, 582, 4},
    };
    for (const placement& p : placements)
        for (const int scale : {1, 2}) {
            const int offset = scale == 1 ? 0 : 1000;
            SCOPED_TRACE(std::to_string(p.control + offset) + " on " + std::to_string(p.background + offset));
            const rgba_image control = load(p.control + offset), background = load(p.background + offset);
            ASSERT_FALSE(control.pixels.empty());
            ASSERT_FALSE(background.pixels.empty());
            const std::size_t under = (static_cast<std::size_t>(p.y * scale) * background.width + p.x * scale) * 4;
            for (int channel = 0; channel < 4; ++channel) {
                EXPECT_EQ(control.pixels[channel], background.pixels[under + channel]);
            }
        }
}

TEST(KnobStrips, SweepTheirFirst64FramesAndRepeatTheLastOnAnySpareFrame) {
    for (int id : {136, 137, 138, 139, 140, 1136, 1137, 1138, 1139, 1140}) {
        SCOPED_TRACE(id);
        const expected_bitmap& b = bitmap(id);
        const rgba_image strip = load(id);
        ASSERT_EQ(strip.height, b.state_height * b.states);
        const std::size_t frame_bytes = static_cast<std::size_t>(b.width) * b.state_height * 4;
        const auto frame = [&](int i) {
            const auto start = strip.pixels.begin() + static_cast<std::ptrdiff_t>(i * frame_bytes);
            return std::vector<std::uint8_t>(start, start + static_cast<std::ptrdiff_t>(frame_bytes));
        };
        for (int i = 1; i < 64; ++i) EXPECT_NE(frame(i), frame(i - 1)) << "frame " << i;
        for (int i = 64; i < b.states; ++i) EXPECT_EQ(frame(i), frame(63)) << "frame " << i;
    }
}

}  // namespace
}  // namespace tessvane_test
