// The editor's texts are laid out for Arial's metrics: the match must be
// Arial itself or the metric-compatible Liberation Sans (fonts-liberation2).
#include <gtest/gtest.h>

#include "gui/font_cache.h"

TEST(FontMatch, ArialResolvesToLiberationSansOrArial) {
    const VSTGUI::detail::font_match match = VSTGUI::detail::match_font_family("Arial");
    EXPECT_FALSE(match.file.empty());
    EXPECT_TRUE(match.family == "Liberation Sans" || match.family == "Arial")
        << "Arial matched \"" << match.family << "\" (" << match.file << "); install fonts-liberation2";
}
