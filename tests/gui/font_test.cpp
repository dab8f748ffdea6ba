// What every platform's text path must do, whatever face it found.
#include <gtest/gtest.h>

#include "gui/font_cache.h"

TEST(Font, AnUnusableFontDrawsNothingAndMeasuresZero) {
    const VSTGUI::CFontDesc broken("Arial", 0);
    EXPECT_EQ(VSTGUI::detail::measure_text(broken, "text").width, 0);
    bool visited = false;
    EXPECT_FALSE(VSTGUI::detail::visit_glyphs(broken, "text", [&](const auto&, int) { visited = true; }));
    EXPECT_FALSE(visited);
}

TEST(Font, ArialIsFoundAndItsGlyphsHaveCoverageAndAdvancesThatSumToTheWidth) {
    EXPECT_FALSE(VSTGUI::detail::match_font_family("Arial").family.empty());
    const VSTGUI::CFontDesc arial("Arial", 11);
    const VSTGUI::detail::line_metrics m = VSTGUI::detail::measure_text(arial, "0 dB");
    EXPECT_GT(m.ascender, 6);
    EXPECT_GT(m.descender, 0);
    EXPECT_LT(m.ascender + m.descender, 16);
    int pen_end = 0, inked = 0, blank_glyphs = 0;
    EXPECT_TRUE(VSTGUI::detail::visit_glyphs(arial, "0 dB", [&](const VSTGUI::detail::glyph_image& g, int pen) {
        pen_end = pen + g.advance;
        if (g.coverage.empty()) ++blank_glyphs;
        for (auto c : g.coverage) inked += c > 128;
        EXPECT_EQ(g.coverage.size(), std::size_t(g.width) * std::size_t(g.rows));
    }));
    EXPECT_EQ(pen_end, m.width);
    EXPECT_GT(m.width, 15);
    EXPECT_LT(m.width, 35);
    EXPECT_EQ(blank_glyphs, 1);  // the space
    EXPECT_GT(inked, 20);
}
