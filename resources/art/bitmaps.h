// One function per kind of bitmap the editor shows, each drawn at `scale`
// pixels per unit (1, and 2 for editors on fine screens).
#pragma once

#include "canvas.h"

namespace art {

enum class knob_role { gain, tone, neutral };

// A strip of `frames` square frames of `size` pixels; the first 64 sweep
// the pointer from minimum to maximum, any further frame repeats the maximum.
canvas knob_strip(int size, int frames, knob_role role, float scale);

enum class filter_shape { peak, low_cut, low_shelf, high_cut, high_shelf };

// 40-pixel wide, 32-pixel states, one per shape, the shown shape in state i.
canvas type_selector(const std::vector<filter_shape>& shapes, float scale);

canvas busy_indicator(float scale);
canvas power_button(float scale);
canvas band_lamp(float scale);
canvas signal_lamp(float scale);

canvas main_tab_button(float scale);
canvas band_tab_button(float scale);

canvas frame_background(float scale);
canvas response_field(float scale);
canvas menu_field(float scale);
canvas tab_view_background(float scale);
canvas linear_eq_page(float scale);
canvas band_page(float scale);
canvas about_picture(float scale);

}  // namespace art
