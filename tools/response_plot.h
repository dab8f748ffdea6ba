// A labelled picture of magnitude responses: dB over log frequency from
// 20 Hz to Nyquist, drawn with the widget toolkit's renderer.
#pragma once

#include "gui/draw_context.h"

#include <string>
#include <vector>

namespace tessvane::host {

struct response_curve {
    std::string name;        // shown in a legend when there are several
    std::vector<double> db;  // one per frequency of the plot; may be -infinity
};

struct response_plot {
    std::string title;
    std::string settings;  // what was set, under the title
    std::string note;      // latency and rate, at the right of the title
    double sample_rate = 44100.0;
    std::vector<double> frequencies;  // ascending, from 20 Hz to Nyquist
    std::vector<response_curve> curves;
};

// Fills the whole context.
void draw_response_plot(VSTGUI::CDrawContext& context, const response_plot& plot);

}  // namespace tessvane::host
