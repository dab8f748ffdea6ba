// Where things stand on the response display: frequency is logarithmic
// across the plot from 20 Hz at its first column to 20 kHz at its last, and
// the curve's gain runs from +20 dB on the top row to -20 dB on the bottom
// one. Positions are continuous: column x covers [x, x + 1) and its centre
// is x + 0.5, and so for rows. Band handles and the analyser share them.
#pragma once

namespace editor::response_axis {

inline constexpr int label_columns = 34;  // left of the plot: the curve's dB labels
inline constexpr double lowest_hz = 20.0;
inline constexpr double highest_hz = 20000.0;
inline constexpr float curve_range_db = 20.0f;

// The frequency at the centre of plot column x (0 to plot_width - 1, or
// between centres), and the plot column whose centre is at hz (fractional).
double column_hz(double x, int plot_width);
double hz_column(double hz, int plot_width);

// The centre row of a curve gain in dB, unclamped, and the gain at a row.
double curve_row(float db, int height);
double row_db(double row, int height);

}  // namespace editor::response_axis
