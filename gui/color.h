// Colours as red, green, blue, alpha bytes (not premultiplied), and the
// horizontal text alignments.
#pragma once

#include <cstdint>

namespace VSTGUI {

struct CColor {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    std::uint8_t alpha = 255;

    constexpr bool operator==(const CColor&) const = default;

    // Premultiplied 0xAARRGGBB, the layout of every pixel buffer.
    constexpr std::uint32_t premultiplied() const {
        auto mul = [this](std::uint32_t c) { return (c * alpha + 127) / 255; };
        return std::uint32_t(alpha) << 24 | mul(red) << 16 | mul(green) << 8 | mul(blue);
    }
};

inline constexpr CColor kBlackCColor{0, 0, 0, 255};
inline constexpr CColor kWhiteCColor{255, 255, 255, 255};
inline constexpr CColor kRedCColor{255, 0, 0, 255};
inline constexpr CColor kTransparentCColor{0, 0, 0, 0};

enum CHoriTxtAlign { kLeftText, kCenterText, kRightText };

}  // namespace VSTGUI
