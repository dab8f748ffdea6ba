#include "magnitude_response.h"

#include <cmath>
#include <complex>

double magnitude_db(const std::vector<float>& response, double hz, double sample_rate) {
    std::complex<double> sum = 0.0;
    const double w = 2.0 * M_PI * hz / sample_rate;
    for (std::size_t n = 0; n < response.size(); ++n) sum += double(response[n]) * std::polar(1.0, -w * double(n));
    return 20.0 * std::log10(std::abs(sum));
}
