// One function per kind of bitmap the editor shows.
#pragma once

#include "canvas.h"

namespace art {

enum class knob_role { gain, tone, neutral };

// A strip of `frames` square frames of `size` pixels; the first 64 sweep
// the pointer from minimum to maximum, any further frame repeats the maximum.
canvas knob_strip(int size, int frames, knob_role role);

enum class filter_shape { peak, low_cut, low_shelf, high_cut, high_shelf };

// 40-pixel wide, 32-pixel states, one per shape, the shown shape in state i.
canvas type_selector(const std::vector<filter_shape>& shapes);

canvas busy_indicator();
canvas power_button();
canvas band_lamp();
canvas signal_lamp();

canvas main_tab_button();
canvas band_tab_button();

canvas frame_background();
canvas response_field();
canvas menu_field();
canvas tab_view_background();
canvas linear_eq_page();
canvas band_page();
canvas about_picture();

}  // namespace art
