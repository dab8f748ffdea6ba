#include "text.h"

#include <cmath>

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

namespace art {

namespace {

// FreeType and fontconfig, started on first use and shut down at exit so
// that leak checkers see a clean run.
struct type_libraries {
    FT_Library freetype = nullptr;
    FcConfig* fontconfig = nullptr;

    type_libraries() {
        if (FT_Init_FreeType(&freetype) != 0) throw std::runtime_error("FreeType failed to start");
        fontconfig = FcInitLoadConfigAndFonts();
        if (!fontconfig) throw font_missing("fontconfig failed to load its configuration");
    }
    ~type_libraries() {
        FcConfigDestroy(fontconfig);
        FcFini();
        FT_Done_FreeType(freetype);
    }
};

type_libraries& libraries() {
    static type_libraries instance;
    return instance;
}

std::string liberation_sans_file(weight w) {
    FcConfig* config = libraries().fontconfig;
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>("Liberation Sans"));
    FcPatternAddInteger(pattern, FC_WEIGHT, w == weight::bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcConfigSubstitute(config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(config, pattern, &result);
    FcPatternDestroy(pattern);
    std::string file, family;
    if (match) {
        FcChar8* value = nullptr;
        if (FcPatternGetString(match, FC_FAMILY, 0, &value) == FcResultMatch) {
            family = reinterpret_cast<const char*>(value);
        }
        if (FcPatternGetString(match, FC_FILE, 0, &value) == FcResultMatch) {
            file = reinterpret_cast<const char*>(value);
        }
        FcPatternDestroy(match);
    }
    if (family != "Liberation Sans" || file.empty()) {
        throw font_missing("fontconfig has no Liberation Sans (install fonts-liberation2)");
    }
    return file;
}

}  // namespace

struct font::face {
    FT_Face handle = nullptr;
    float pixel_size = 0;
};

namespace {

// 26.6 fixed point; fractional sizes keep small captions balanced.
void set_size(FT_Face face, float pixel_size) {
    FT_Set_Char_Size(face, 0, static_cast<FT_F26Dot6>(std::lround(pixel_size * 64)), 72, 72);
}

}  // namespace

font::font(weight w, float pixel_size) : face_(std::make_unique<face>()) {
    const std::string file = liberation_sans_file(w);
    if (FT_New_Face(libraries().freetype, file.c_str(), 0, &face_->handle) != 0) {
        throw font_missing("FreeType cannot open " + file);
    }
    face_->pixel_size = pixel_size;
    set_size(face_->handle, pixel_size);
}

font::~font() { FT_Done_Face(face_->handle); }

float font::width(const std::string& text) const {
    float advance = 0;
    for (unsigned char ch : text) {
        if (FT_Load_Char(face_->handle, ch, FT_LOAD_TARGET_LIGHT) == 0) {
            advance += face_->handle->glyph->advance.x / 64.0f;
        }
    }
    return advance;
}

float font::cap_height() const {
    if (FT_Load_Char(face_->handle, 'H', FT_LOAD_TARGET_LIGHT) != 0) return 0;
    return face_->handle->glyph->metrics.horiBearingY / 64.0f;
}

// Placed in units, set in the target's pixels at its scale.
void font::draw(canvas& target, const std::string& text, float x, float baseline, align a, colour c) const {
    float pen = x;
    if (a == align::centre) pen -= width(text) / 2;
    if (a == align::right) pen -= width(text);
    const float scale = target.scale();
    // Whole-pixel origins keep the hinted stems sharp.
    pen = std::round(pen * scale);
    const int base = static_cast<int>(std::lround(baseline * scale));
    if (scale != 1.0f) set_size(face_->handle, face_->pixel_size * scale);
    for (unsigned char ch : text) {
        if (FT_Load_Char(face_->handle, ch, FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT) != 0) continue;
        const FT_GlyphSlot glyph = face_->handle->glyph;
        const FT_Bitmap& bitmap = glyph->bitmap;
        const int left = static_cast<int>(std::lround(pen)) + glyph->bitmap_left;
        const int top = base - glyph->bitmap_top;
        for (unsigned row = 0; row < bitmap.rows; ++row) {
            for (unsigned column = 0; column < bitmap.width; ++column) {
                const unsigned char level = bitmap.buffer[row * bitmap.pitch + column];
                if (level) target.blend(left + column, top + row, c, level / 255.0f);
            }
        }
        pen += glyph->advance.x / 64.0f;
    }
    if (scale != 1.0f) set_size(face_->handle, face_->pixel_size);
}

void font::draw_in(canvas& target, const std::string& text, const box& area, align a, colour c) const {
    const float x = a == align::left ? area.left : a == align::right ? area.right : (area.left + area.right) / 2;
    const float baseline = std::floor((area.top + area.bottom + cap_height()) / 2);
    draw(target, text, x, baseline, a, c);
}

}  // namespace art
