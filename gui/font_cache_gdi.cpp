// Glyphs on Windows: GDI opens the face by family name and renders each
// glyph's 65-level coverage (GetGlyphOutline), so no font file or FreeType
// is needed. One memory DC, guarded by the cache's mutex, serves every font.
#include <windows.h>

#include <cstdio>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <unordered_map>

#include "gui/font_cache.h"
#include "gui/utf8.h"

namespace VSTGUI::detail {
namespace {

HFONT create_font(const std::string& family, int pixels_per_em) {
    // A negative height asks for the em size, as FreeType's pixel size does.
    return CreateFontA(-pixels_per_em, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_TT_PRECIS,
                       CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_DONTCARE, family.c_str());
}

glyph_image render_glyph(HDC dc, char32_t cp) {
    glyph_image g;
    if (cp > 0xFFFF) return g;  // outside what GetGlyphOutlineW takes
    const MAT2 identity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};
    GLYPHMETRICS gm = {};
    const DWORD size = GetGlyphOutlineW(dc, UINT(cp), GGO_GRAY8_BITMAP, &gm, 0, nullptr, &identity);
    if (size == GDI_ERROR) return g;
    g.advance = gm.gmCellIncX;
    if (size == 0) return g;  // blank, such as a space
    std::vector<std::uint8_t> levels(size);
    if (GetGlyphOutlineW(dc, UINT(cp), GGO_GRAY8_BITMAP, &gm, size, levels.data(), &identity) == GDI_ERROR)
        return g;
    g.left = gm.gmptGlyphOrigin.x;
    g.top = gm.gmptGlyphOrigin.y;
    g.width = int(gm.gmBlackBoxX);
    g.rows = int(gm.gmBlackBoxY);
    const int pitch = (g.width + 3) & ~3;  // rows are DWORD-aligned
    if (std::size_t(pitch) * g.rows > levels.size()) {
        g.width = g.rows = 0;
        return g;
    }
    g.coverage.resize(std::size_t(g.width) * g.rows);
    for (int y = 0; y < g.rows; ++y)
        for (int x = 0; x < g.width; ++x)
            g.coverage[std::size_t(y) * g.width + x] = std::uint8_t((levels[y * pitch + x] * 255 + 32) / 64);
    return g;
}

struct gdi_font {
    HFONT handle = nullptr;
    TEXTMETRICA metrics = {};
    std::unordered_map<char32_t, glyph_image> glyphs;

    ~gdi_font() { DeleteObject(handle); }
};

class glyph_cache {
public:
    static glyph_cache& instance() {
        static glyph_cache cache;
        return cache;
    }

    std::mutex mutex;

    // Selected into the DC; null when the font cannot be made. Guarded by `mutex`.
    gdi_font* select(const CFontDesc& font) {
        std::unique_ptr<gdi_font>& slot = fonts_[std::make_pair(font.name, font.size)];
        if (!slot && dc_ && font.size > 0) {
            auto made = std::make_unique<gdi_font>();
            made->handle = create_font(font.name, font.size);
            if (made->handle && SelectObject(dc_, made->handle) && GetTextMetricsA(dc_, &made->metrics))
                slot = std::move(made);
        }
        if (!slot) {
            if (font.size > 0 && reported_.insert(font.name).second)
                std::fprintf(stderr, "Tessvane GUI: no usable font for \"%s\"\n", font.name.c_str());
            return nullptr;
        }
        SelectObject(dc_, slot->handle);
        return slot.get();
    }

    const glyph_image& glyph(gdi_font& font, char32_t cp) {
        auto found = font.glyphs.find(cp);
        if (found != font.glyphs.end()) return found->second;
        return font.glyphs.emplace(cp, render_glyph(dc_, cp)).first->second;
    }

    HDC dc() const { return dc_; }

private:
    glyph_cache() : dc_(CreateCompatibleDC(nullptr)) {}
    ~glyph_cache() {
        if (dc_) {
            SelectObject(dc_, GetStockObject(SYSTEM_FONT));  // ours may be deleted only once unselected
            fonts_.clear();
            DeleteDC(dc_);
        }
    }

    HDC dc_;
    std::map<std::pair<std::string, int>, std::unique_ptr<gdi_font>> fonts_;
    std::set<std::string> reported_;
};

}  // namespace

font_match match_font_family(const std::string& family) {
    glyph_cache& cache = glyph_cache::instance();
    std::lock_guard lock(cache.mutex);
    font_match result;
    if (!cache.select(CFontDesc(family, 12))) return result;
    char face[LF_FACESIZE] = {};
    if (GetTextFaceA(cache.dc(), sizeof face, face) > 0) result.family = face;
    return result;
}

line_metrics measure_text(const CFontDesc& font, std::string_view text) {
    glyph_cache& cache = glyph_cache::instance();
    std::lock_guard lock(cache.mutex);
    line_metrics m;
    gdi_font* selected = cache.select(font);
    if (!selected) return m;
    m.ascender = selected->metrics.tmAscent;
    m.descender = selected->metrics.tmDescent;
    for (char32_t cp : decode_utf8(text)) m.width += cache.glyph(*selected, cp).advance;
    return m;
}

bool visit_glyphs(const CFontDesc& font, std::string_view text, const glyph_visitor& visit) {
    glyph_cache& cache = glyph_cache::instance();
    std::lock_guard lock(cache.mutex);
    gdi_font* selected = cache.select(font);
    if (!selected) return false;
    int pen = 0;
    for (char32_t cp : decode_utf8(text)) {
        const glyph_image& g = cache.glyph(*selected, cp);
        visit(g, pen);
        pen += g.advance;
    }
    return true;
}

}  // namespace VSTGUI::detail
