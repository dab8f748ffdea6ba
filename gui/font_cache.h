// Faces and rendered glyphs, shared by every draw context of the process.
// Each (family, size) gets its own face and a cache of anti-aliased glyph
// coverage, so drawing the same text again costs only blending. Linux finds
// the family through fontconfig and renders with FreeType
// (font_cache_fontconfig.cpp); Windows opens it by name in GDI
// (font_cache_gdi.cpp). Safe to use from several threads (two editors
// driven from different host threads).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "gui/font.h"

namespace VSTGUI::detail {

struct font_match {
    std::string file;    // the face's file; empty when nothing matched, and
                         // always on Windows, where GDI opens faces by name
    std::string family;  // the family the system chose; empty when nothing matched
};

// What the system gives for `family` (aliases such as Arial resolved).
font_match match_font_family(const std::string& family);

struct glyph_image {
    int left = 0;  // pen to first column
    int top = 0;   // baseline to first row, upwards
    int width = 0;
    int rows = 0;
    int advance = 0;                     // pixels
    std::vector<std::uint8_t> coverage;  // width x rows, 0..255
};

struct line_metrics {
    int ascender = 0;   // above the baseline
    int descender = 0;  // below the baseline, positive
    int width = 0;      // sum of the advances
};

using glyph_visitor = std::function<void(const glyph_image&, int pen_x)>;

// Measures `text` (UTF-8) in `font`; all zero when the font cannot be loaded.
line_metrics measure_text(const CFontDesc& font, std::string_view text);

// Calls `visit` for each glyph of `text` with its pen position from the start
// of the line. Returns false (and visits nothing) when the font cannot be
// loaded; that is reported once per family on stderr.
bool visit_glyphs(const CFontDesc& font, std::string_view text, const glyph_visitor& visit);

}  // namespace VSTGUI::detail
