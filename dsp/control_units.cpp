#include "dsp/control_units.h"

#include <bit>
#include <cmath>
#include <cstdint>

namespace dsp {

namespace {

float to_float(double v) { return static_cast<float>(v); }

// The x in 0..1 whose forward mapping lands nearest `target`: the closed
// form's `guess` when it hits (so 0.5 stays 0.5), else found by bisection
// over the floats in order. The forward mappings round through floats, so
// the closed form may miss by many steps, but they never fall.
template <typename Forward>
float nearest_preimage(float target, double guess, Forward forward) {
    if (forward(to_float(guess)) == target) return to_float(guess);
    std::uint32_t low = 0, high = std::bit_cast<std::uint32_t>(1.0f);
    while (low < high) {
        const std::uint32_t middle = low + (high - low) / 2;
        if (forward(std::bit_cast<float>(middle)) < target)
            low = middle + 1;
        else
            high = middle;
    }
    const float x = std::bit_cast<float>(low);
    if (low == 0) return x;
    const float below = std::bit_cast<float>(low - 1);
    return target - forward(below) < forward(x) - target ? below : x;
}

}  // namespace

float frequency_hz_of(float x) {
    const float y = to_float((std::pow(10.0, x) - 1.0) / 9.0);
    const float z = to_float((std::pow(10.0, y) - 1.0) / 9.0);
    return z >= 0.0f && z <= 1.0f ? to_float(22000.0 * z) : 11000.0f;
}

float band_gain_db_of(float x) {
    const float s = to_float(2.0 * x - 1.0);
    const float v = s > 0.0f ? to_float((std::pow(10.0, s) - 1.0) / 9.0) : to_float(-(std::pow(10.0, -s) - 1.0) / 9.0);
    const float f = to_float((1.0 + v) * 0.5);
    return to_float(20.0 - (1.0 - f) * 40.0);
}

float q_of(float x) {
    const float q = to_float(to_float(std::pow(10.0, 2.0 * x)) / 10.0);
    // Below 0.1 alpha grows without bound; NaN fails both tests.
    return q >= lowest_q && q <= highest_q ? q : 1.0f;
}

int type_position_of(float x) {
    // Kept in double: converting NaN or infinity to int is undefined.
    const double k = std::floor(2.0 * x);
    return k >= 0.0 && k < type_positions ? static_cast<int>(k) : -1;
}

float normalised_of_frequency_hz(float hz) {
    const double y = std::log10(1.0 + 9.0 * (hz / 22000.0));
    return nearest_preimage(hz, std::log10(1.0 + 9.0 * y), frequency_hz_of);
}

float normalised_of_band_gain_db(float db) {
    // The band limits its gain to the range, so its ends are the range's
    // ends wherever the forward mapping rounds a hair beyond them (x87).
    if (db <= -band_gain_range_db) return 0.0f;
    if (db >= band_gain_range_db) return 1.0f;
    const double v = db / 20.0;
    const double s = v > 0.0 ? std::log10(1.0 + 9.0 * v) : -std::log10(1.0 - 9.0 * v);
    return nearest_preimage(db, (s + 1.0) * 0.5, band_gain_db_of);
}

float normalised_of_q(float q) { return nearest_preimage(q, (1.0 + std::log10(q)) * 0.5, q_of); }

float master_gain_db_of(float v) { return to_float(20.0 * std::log10(2.0 * v)); }

float normalised_of_master_gain_db(float db) { return to_float(std::pow(10.0, db / 20.0) * 0.5); }

}  // namespace dsp
