// The magnitude response of a recorded impulse response, evaluated at
// chosen frequencies (its Fourier transform there, computed directly, so
// any frequency is exact and not rounded to an FFT bin).
#pragma once

#include <span>
#include <vector>

namespace tessvane::host {

// count frequencies from low to high, evenly spaced on a log scale.
std::vector<double> log_spaced_frequencies(double low, double high, int count);

// |H(f)| in dB for each frequency; silence gives -infinity.
std::vector<double> magnitude_db(std::span<const float> impulse_response, std::span<const double> frequencies,
                                 double sample_rate);

}  // namespace tessvane::host
