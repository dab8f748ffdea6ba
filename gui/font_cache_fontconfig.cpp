#include "gui/font_cache.h"

#include <dlfcn.h>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <memory>
#include <mutex>

#include "gui/font_face.h"

namespace VSTGUI::detail {
namespace {

// Faces keep the library alive: the cache's faces may outlive this file's
// statics at unload.
std::shared_ptr<FT_LibraryRec_> freetype() {
    static const std::shared_ptr<FT_LibraryRec_> library = [] {
        FT_Library made = nullptr;
        if (FT_Init_FreeType(&made) != 0) made = nullptr;
        return std::shared_ptr<FT_LibraryRec_>(made, [](FT_Library l) {
            if (l) FT_Done_FreeType(l);
        });
    }();
    return library;
}

class freetype_face final : public font_face {
public:
    freetype_face(std::shared_ptr<FT_LibraryRec_> library, FT_Face face) : library_(std::move(library)), face_(face) {}
    ~freetype_face() override { FT_Done_Face(face_); }

    int ascender() const override { return static_cast<int>((face_->size->metrics.ascender + 32) >> 6); }
    int descender() const override { return static_cast<int>((-face_->size->metrics.descender + 32) >> 6); }

    glyph_image render(char32_t cp) override {
        glyph_image g;
        FT_UInt index = FT_Get_Char_Index(face_, cp);
        if (FT_Load_Glyph(face_, index, FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT) != 0) return g;
        const FT_GlyphSlot slot = face_->glyph;
        const FT_Bitmap& bm = slot->bitmap;
        g.left = slot->bitmap_left;
        g.top = slot->bitmap_top;
        g.advance = static_cast<int>((slot->advance.x + 32) >> 6);
        if (bm.pixel_mode != FT_PIXEL_MODE_GRAY) return g;
        g.width = static_cast<int>(bm.width);
        g.rows = static_cast<int>(bm.rows);
        g.coverage.resize(std::size_t(g.width) * g.rows);
        for (int y = 0; y < g.rows; ++y)
            for (int x = 0; x < g.width; ++x) g.coverage[std::size_t(y) * g.width + x] = bm.buffer[y * bm.pitch + x];
        return g;
    }

private:
    std::shared_ptr<FT_LibraryRec_> library_;
    FT_Face face_;
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
    fontconfig_session() : config(FcInitLoadConfigAndFonts()) { keep_fontconfig_loaded(); }
    // Fontconfig builds process-wide tables (languages, object names) that
    // only FcFini frees, and FcFini would pull them from under a host that
    // uses fontconfig too. Were fontconfig unloaded with the plug-in, every
    // load and unload would leak them; kept loaded, they are made once and
    // found again by the next instance.
    static void keep_fontconfig_loaded() {
        Dl_info library{};
        if (dladdr(reinterpret_cast<void*>(&FcInitLoadConfigAndFonts), &library) && library.dli_fname)
            dlopen(library.dli_fname, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
    }
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

std::unique_ptr<font_face> open_face(const CFontDesc& font) {
    std::shared_ptr<FT_LibraryRec_> library = freetype();
    const std::string file = match_font_family(font.name).file;
    FT_Face face = nullptr;
    if (!library || file.empty() || FT_New_Face(library.get(), file.c_str(), 0, &face) != 0) return nullptr;
    FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(font.size));
    return std::make_unique<freetype_face>(std::move(library), face);
}

}  // namespace VSTGUI::detail
