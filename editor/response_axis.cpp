#include "editor/response_axis.h"

#include <cmath>

namespace editor::response_axis {

namespace {

double decades_per_column(int plot_width) { return std::log10(highest_hz / lowest_hz) / double(plot_width - 1); }

}  // namespace

double column_hz(int x, int plot_width) {
    return lowest_hz * std::pow(10.0, double(x) * decades_per_column(plot_width));
}

double hz_column(double hz, int plot_width) { return std::log10(hz / lowest_hz) / decades_per_column(plot_width); }

double curve_row(float db, int height) {
    const double half = 0.5 * double(height - 1);
    return half + 0.5 - half * double(db) / double(curve_range_db);
}

}  // namespace editor::response_axis
