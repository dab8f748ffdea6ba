// Faces on Windows: GDI opens the face by family name and renders each
// glyph's 65-level coverage (GetGlyphOutline), so no font file or FreeType
// is needed.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "gui/font_face.h"

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
    if (GetGlyphOutlineW(dc, UINT(cp), GGO_GRAY8_BITMAP, &gm, size, levels.data(), &identity) == GDI_ERROR) return g;
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

// One memory DC renders every face's glyphs, only under the cache's lock.
// Faces keep it alive: the cache's faces may outlive this file's statics at
// unload.
std::shared_ptr<HDC__> glyph_dc() {
    static const std::shared_ptr<HDC__> dc(CreateCompatibleDC(nullptr), [](HDC d) {
        if (d) DeleteDC(d);
    });
    return dc;
}

class gdi_face final : public font_face {
public:
    gdi_face(std::shared_ptr<HDC__> dc, HFONT font, const TEXTMETRICA& metrics)
        : dc_(std::move(dc)), font_(font), metrics_(metrics) {}
    ~gdi_face() override {
        SelectObject(dc_.get(), GetStockObject(SYSTEM_FONT));  // a selected font is not deleted
        DeleteObject(font_);
    }

    int ascender() const override { return metrics_.tmAscent; }
    int descender() const override { return metrics_.tmDescent; }

    glyph_image render(char32_t cp) override {
        if (!SelectObject(dc_.get(), font_)) return {};
        return render_glyph(dc_.get(), cp);
    }

private:
    std::shared_ptr<HDC__> dc_;
    HFONT font_;
    TEXTMETRICA metrics_;
};

}  // namespace

std::unique_ptr<font_face> open_face(const CFontDesc& font) {
    std::shared_ptr<HDC__> dc = glyph_dc();
    const HFONT handle = create_font(font.name, font.size);
    TEXTMETRICA metrics = {};
    if (dc && handle && SelectObject(dc.get(), handle) && GetTextMetricsA(dc.get(), &metrics))
        return std::make_unique<gdi_face>(std::move(dc), handle, metrics);
    if (dc) SelectObject(dc.get(), GetStockObject(SYSTEM_FONT));
    if (handle) DeleteObject(handle);
    return nullptr;
}

font_match match_font_family(const std::string& family) {
    font_match result;
    HDC dc = CreateCompatibleDC(nullptr);
    const HFONT font = create_font(family, 12);
    char face[LF_FACESIZE] = {};
    if (dc && font && SelectObject(dc, font) && GetTextFaceA(dc, sizeof face, face) > 0) result.family = face;
    if (dc) DeleteDC(dc);
    if (font) DeleteObject(font);
    return result;
}

}  // namespace VSTGUI::detail
