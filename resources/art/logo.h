// The maker's logo: a square mark of rising bars and the word "Ravelthorpe".
#pragma once

#include "canvas.h"

namespace art {

// Draws the logo with its top-left corner at (x, y), `height` pixels high.
void draw_maker_logo(canvas& target, float x, float y, float height);
float maker_logo_width(float height);

}  // namespace art
