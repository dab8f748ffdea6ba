#include "gui/font_cache.h"

#include <cstdio>
#include <map>
#include <mutex>
#include <set>
#include <unordered_map>

#include "gui/font_face.h"
#include "gui/utf8.h"

namespace VSTGUI::detail {
namespace {

struct cached_face {
    std::unique_ptr<font_face> face;
    std::unordered_map<char32_t, glyph_image> glyphs;

    const glyph_image& glyph(char32_t cp) {
        auto found = glyphs.find(cp);
        if (found == glyphs.end()) found = glyphs.emplace(cp, face->render(cp)).first;
        return found->second;
    }
};

class font_cache {
public:
    static font_cache& instance() {
        static font_cache cache;
        return cache;
    }

    std::mutex mutex;

    // Null when the font cannot be used; a family is opened once per size
    // and reported once. Guarded by `mutex`.
    cached_face* face(const CFontDesc& font) {
        auto [slot, added] = faces_.try_emplace(std::make_pair(font.name, font.size));
        if (added && font.size > 0) {
            slot->second.face = open_face(font);
            if (!slot->second.face && reported_.insert(font.name).second)
                std::fprintf(stderr, "Tessvane GUI: no usable font for \"%s\"\n", font.name.c_str());
        }
        return slot->second.face ? &slot->second : nullptr;
    }

private:
    std::map<std::pair<std::string, int>, cached_face> faces_;
    std::set<std::string> reported_;
};

}  // namespace

line_metrics measure_text(const CFontDesc& font, std::string_view text) {
    font_cache& cache = font_cache::instance();
    std::lock_guard lock(cache.mutex);
    line_metrics m;
    cached_face* face = cache.face(font);
    if (!face) return m;
    m.ascender = face->face->ascender();
    m.descender = face->face->descender();
    for (char32_t cp : decode_utf8(text)) m.width += face->glyph(cp).advance;
    return m;
}

bool visit_glyphs(const CFontDesc& font, std::string_view text, const glyph_visitor& visit) {
    font_cache& cache = font_cache::instance();
    std::lock_guard lock(cache.mutex);
    cached_face* face = cache.face(font);
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
