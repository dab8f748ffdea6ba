#include "magnitude_response.h"

#include <cmath>
#include <complex>
#include <numbers>

namespace tessvane::host {

std::vector<double> log_spaced_frequencies(double low, double high, int count) {
    std::vector<double> frequencies(static_cast<std::size_t>(count));
    const double ratio = std::log(high / low);
    for (int i = 0; i < count; ++i) frequencies[i] = count == 1 ? low : low * std::exp(ratio * i / (count - 1));
    return frequencies;
}

std::vector<double> magnitude_db(std::span<const float> impulse_response, std::span<const double> frequencies,
                                 double sample_rate) {
    std::vector<double> db;
    db.reserve(frequencies.size());
    for (const double frequency : frequencies) {
        // The phasor turns by one step per sample; double keeps its drift
        // far below what a plot or a printed dB value shows.
        const std::complex<double> step = std::polar(1.0, -2.0 * std::numbers::pi * frequency / sample_rate);
        std::complex<double> phasor = 1.0, sum = 0.0;
        for (const float sample : impulse_response) {
            sum += static_cast<double>(sample) * phasor;
            phasor *= step;
        }
        db.push_back(20.0 * std::log10(std::abs(sum)));
    }
    return db;
}

}  // namespace tessvane::host
