// The colours every bitmap shares, so controls sit on their backgrounds
// without seams.
#pragma once

#include "canvas.h"

namespace art::palette {

inline const colour white = rgb(255, 255, 255);
inline const colour ink = rgb(38, 42, 48);            // titles, pointers
inline const colour caption = rgb(92, 99, 110);       // control captions
inline const colour rule = rgb(214, 218, 224);        // hairlines and outlines
inline const colour strip = rgb(238, 240, 243);       // title strip, idle tabs
inline const colour strip_edge = rgb(226, 229, 234);  // bottom of the title strip
inline const colour track = rgb(227, 230, 235);       // unlit part of a knob's arc
inline const colour gain_accent = rgb(232, 112, 52);  // everything that is gain
inline const colour tone_accent = rgb(42, 128, 204);  // frequency, Q and filter shape
inline const colour on_green = rgb(46, 184, 92);
inline const colour off_grey = rgb(176, 182, 190);

}  // namespace art::palette
