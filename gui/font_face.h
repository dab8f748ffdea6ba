// What each platform's text path gives the font cache (font_cache.cpp): a
// face per (family, size) with its line metrics, rendering one glyph at a
// time. font_cache_fontconfig.cpp (fontconfig and FreeType, Linux) and
// font_cache_gdi.cpp (GDI, Windows) each define open_face.
#pragma once

#include <memory>

#include "gui/font_cache.h"

namespace VSTGUI::detail {

class font_face {
public:
    virtual ~font_face() = default;
    virtual int ascender() const = 0;   // above the baseline
    virtual int descender() const = 0;  // below the baseline, positive
    // Asked once per code point; the cache keeps what it gives.
    virtual glyph_image render(char32_t cp) = 0;
};

// Null when the family gives no usable face at that size (at least 1).
// Like every font_face operation, called only under the cache's lock.
std::unique_ptr<font_face> open_face(const CFontDesc& font);

}  // namespace VSTGUI::detail
