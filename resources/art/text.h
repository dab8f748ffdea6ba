// Anti-aliased text in Liberation Sans, found through fontconfig and set
// by FreeType.
#pragma once

#include <memory>
#include <stdexcept>
#include <string>

#include "canvas.h"

namespace art {

// Thrown when fontconfig does not give Liberation Sans: other faces would
// silently change every bitmap.
struct font_missing : std::runtime_error {
    using std::runtime_error::runtime_error;
};

enum class weight { regular, bold };
enum class align { left, centre, right };

class font {
public:
    font(weight w, float pixel_size);
    ~font();
    font(const font&) = delete;
    font& operator=(const font&) = delete;

    float width(const std::string& text) const;
    // Height of capital letters above the baseline.
    float cap_height() const;

    // Sets `text` with its baseline at `baseline`, aligned about `x`.
    void draw(canvas& target, const std::string& text, float x, float baseline, align a, colour c) const;
    // Sets `text` centred vertically on its capitals inside [top, bottom].
    void draw_in(canvas& target, const std::string& text, const box& area, align a, colour c) const;

private:
    struct face;
    std::unique_ptr<face> face_;
};

}  // namespace art
