#include "editor/response_axis.h"

#include <cmath>

namespace editor::response_axis {

namespace {

double decades_per_column(int plot_width) { return std::log10(highest_hz / lowest_hz) / double(plot_width - 1); }

}  // namespace

double column_hz(double x, int plot_width) { return lowest_hz * std::pow(10.0, x * decades_per_column(plot_width)); }

double hz_column(double hz, int plot_width) { return std::log10(hz / lowest_hz) / decades_per_column(plot_width); }

double curve_row(float db, int height) {
    const double half = 0.5 * double(height - 1);
    return half + 0.5 - half * double(db) / double(curve_range_db);
}

double row_db(double row, int height) {
    const double half = 0.5 * double(height - 1);
    return (half + 0.5 - row) * double(curve_range_db) / half;
}

}  // namespace editor::response_axis
