#include "gui/font_cache.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdio>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <unordered_map>

#include "gui/utf8.h"

namespace VSTGUI::detail {
namespace {

struct sized_face {
    FT_Face face = nullptr;
    std::unordered_map<char32_t, glyph_image> glyphs;

    ~sized_face() { FT_Done_Face(face); }

    const glyph_image& glyph(char32_t cp) {
        auto found = glyphs.find(cp);
        if (found != glyphs.end()) return found->second;
        glyph_image& g = glyphs[cp];
        FT_UInt index = FT_Get_Char_Index(face, cp);
        if (FT_Load_Glyph(face, index, FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT) != 0) return g;
        const FT_GlyphSlot slot = face->glyph;
        const FT_Bitmap& bm = slot->bitmap;
        g.left = slot->bitmap_left;
        g.top = slot->bitmap_top;
        g.advance = static_cast<int>((slot->advance.x + 32) >> 6);
        if (bm.pixel_mode != FT_PIXEL_MODE_GRAY) return g;
        g.width = static_cast<int>(bm.width);
        g.rows = static_cast<int>(bm.rows);
        g.coverage.resize(std::size_t(g.width) * g.rows);
        for (int y = 0; y < g.rows; ++y)
            for (int x = 0; x < g.width; ++x)
                g.coverage[std::size_t(y) * g.width + x] = bm.buffer[y * bm.pitch + x];
        return g;
    }
};

class font_cache {
public:
    static font_cache& instance() {
        static font_cache cache;
        return cache;
    }

    std::mutex mutex;

    // Null when the family has no usable file; guarded by `mutex`.
    sized_face* face(const CFontDesc& font) {
        auto key = std::make_pair(font.name, font.size);
        auto found = faces_.find(key);
        if (found != faces_.end()) return found->second.get();
        std::unique_ptr<sized_face>& slot = faces_[key];
        if (!library_ || font.size <= 0) return nullptr;
        auto file = files_.find(font.name);
        if (file == files_.end()) file = files_.emplace(font.name, match_font_family(font.name).file).first;
        FT_Face face = nullptr;
        if (file->second.empty() || FT_New_Face(library_, file->second.c_str(), 0, &face) != 0) {
            if (reported_.insert(font.name).second)
                std::fprintf(stderr, "Tessvane GUI: no usable font for \"%s\"\n", font.name.c_str());
            return nullptr;
        }
        slot = std::make_unique<sized_face>();
        slot->face = face;
        FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(font.size));
        return slot.get();
    }

private:
    font_cache() {
        if (FT_Init_FreeType(&library_) != 0) library_ = nullptr;
    }
    ~font_cache() {
        faces_.clear();
        if (library_) FT_Done_FreeType(library_);
    }

    FT_Library library_ = nullptr;
    std::map<std::string, std::string> files_;
    std::map<std::pair<std::string, int>, std::unique_ptr<sized_face>> faces_;
    std::set<std::string> reported_;
};

// Our own fontconfig configuration, released when the library unloads, so
// the host's default configuration is neither touched nor leaked into.
class fontconfig_session {
public:
    static fontconfig_session& instance() {
        static fontconfig_session session;
        return session;
    }
    std::mutex mutex;  // a configuration is not safe to share between threads
    FcConfig* config = nullptr;

private:
    fontconfig_session() : config(FcInitLoadConfigAndFonts()) {}
    ~fontconfig_session() {
        if (config) FcConfigDestroy(config);
    }
};

}  // namespace

font_match match_font_family(const std::string& family) {
    fontconfig_session& session = fontconfig_session::instance();
    std::lock_guard lock(session.mutex);
    font_match result;
    if (!session.config) return result;
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(family.c_str()));
    if (!pattern) return result;
    FcConfigSubstitute(session.config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult status = FcResultNoMatch;
    FcPattern* match = FcFontMatch(session.config, pattern, &status);
    FcPatternDestroy(pattern);
    if (!match) return result;
    FcChar8* value = nullptr;
    if (FcPatternGetString(match, FC_FILE, 0, &value) == FcResultMatch)
        result.file = reinterpret_cast<const char*>(value);
    if (FcPatternGetString(match, FC_FAMILY, 0, &value) == FcResultMatch)
        result.family = reinterpret_cast<const char*>(value);
    FcPatternDestroy(match);
    return result;
}

line_metrics measure_text(const CFontDesc& font, std::string_view text) {
    font_cache& cache = font_cache::instance();
    std::lock_guard lock(cache.mutex);
    line_metrics m;
    sized_face* face = cache.face(font);
    if (!face) return m;
    const FT_Size_Metrics& sm = face->face->size->metrics;
    m.ascender = static_cast<int>((sm.ascender + 32) >> 6);
    m.descender = static_cast<int>((-sm.descender + 32) >> 6);
    for (char32_t cp : decode_utf8(text)) m.width += face->glyph(cp).advance;
    return m;
}

bool visit_glyphs(const CFontDesc& font, std::string_view text, const glyph_visitor& visit) {
    font_cache& cache = font_cache::instance();
    std::lock_guard lock(cache.mutex);
    sized_face* face = cache.face(font);
    if (!face) return false;
    int pen = 0;
    for (char32_t cp : decode_utf8(text)) {
        const glyph_image& g = face->glyph(cp);
        visit(g, pen);
        pen += g.advance;
    }
    return true;
}

}  // namespace VSTGUI::detail
