#include "dsp/biquad_band.h"

#include "dsp/band_types.h"
#include "dsp/control_units.h"

#include <algorithm>
#include <cmath>

namespace dsp {

namespace {

// 2*pi rounded to single precision, as the design's frequency scale.
constexpr double two_pi_float = 6.2831854820251465;

constexpr float default_sample_rate = 1000.0f;
// Below twice the 20 Hz floor the floor would lie above Nyquist; tiny
// rates would overflow w0.
constexpr float lowest_sample_rate = 40.0f;

float to_float(double v) { return static_cast<float>(v); }

}  // namespace

biquad_band::biquad_band() { design(); }

void biquad_band::set_sample_rate(float rate) {
    sample_rate_ = std::isfinite(rate) && rate >= lowest_sample_rate ? rate : default_sample_rate;
    // Keeps the frequency below the new Nyquist limit; above it the cut
    // filters' poles leave the unit circle.
    set_frequency(frequency_);
}

void biquad_band::set_frequency(float hz) {
    const float nyquist = sample_rate_ * 0.5f;
    frequency_ = hz < nyquist ? hz : nyquist;  // NaN takes the limit
    if (frequency_ <= lowest_frequency_hz) frequency_ = lowest_frequency_hz;
}

void biquad_band::set_gain(float db) {
    gain_ = std::isnan(db) ? 0.0f : std::clamp(db, -band_gain_range_db, band_gain_range_db);
}

void biquad_band::set_enabled(float on_off) { on_off_ = on_off; }

void biquad_band::set_role(int role) { role_ = role; }

void biquad_band::set_frequency_normalised(float x) { set_frequency(frequency_hz_of(x)); }

void biquad_band::set_gain_normalised(float x) { set_gain(band_gain_db_of(x)); }

void biquad_band::set_q_normalised(float x) { q_ = q_of(x); }

void biquad_band::set_mode_normalised(float x) {
    mode_ = x;
    const int type = selected_type(role_, x);
    if (type >= 0) type_ = type;
}

void biquad_band::design() {
    amplitude_ = to_float(std::pow(10.0, gain_ / 40.0));
    w0_ = to_float(frequency_ * two_pi_float / sample_rate_);
    cos_w0_ = to_float(std::cos(w0_));
    sin_w0_ = to_float(std::sin(w0_));
    alpha_ = to_float(sin_w0_ / (2.0 * q_));

    if (!is_on()) {
        b_ = {1.0f, 0.0f, 0.0f};
        a_ = {0.0f, 0.0f, 0.0f};
        normalised_ = {1.0f, 0.0f, 0.0f, 0.0f, 0.0f};
        return;
    }

    const double A = amplitude_;
    const double cw = cos_w0_;
    const double alpha = alpha_;
    const double g = 2.0 * to_float(std::sqrt(A)) * alpha;
    double b0, b1, b2, a0, a1, a2;
    switch (type_) {
        case lo_pass:
            b0 = (1.0 - cw) / 2.0;
            b1 = 1.0 - cw;
            b2 = (1.0 - cw) / 2.0;
            a0 = 1.0 + alpha;
            a1 = -2.0 * cw;
            a2 = 1.0 - alpha;
            break;
        case hi_pass:
            b0 = (1.0 + cw) / 2.0;
            b1 = -(1.0 + cw);
            b2 = (1.0 + cw) / 2.0;
            a0 = 1.0 + alpha;
            a1 = -2.0 * cw;
            a2 = 1.0 - alpha;
            break;
        case lo_shelf:
            b0 = A * ((A + 1.0) - (A - 1.0) * cw + g);
            b1 = 2.0 * A * ((A - 1.0) - (A + 1.0) * cw);
            b2 = A * ((A + 1.0) - (A - 1.0) * cw - g);
            a0 = (A + 1.0) + (A - 1.0) * cw + g;
            a1 = -2.0 * ((A - 1.0) + (A + 1.0) * cw);
            a2 = (A + 1.0) + (A - 1.0) * cw - g;
            break;
        case hi_shelf:
            b0 = A * ((A + 1.0) + (A - 1.0) * cw + g);
            b1 = -2.0 * A * ((A - 1.0) + (A + 1.0) * cw);
            b2 = A * ((A + 1.0) + (A - 1.0) * cw - g);
            a0 = (A + 1.0) - (A - 1.0) * cw + g;
            a1 = 2.0 * ((A - 1.0) - (A + 1.0) * cw);
            a2 = (A + 1.0) - (A - 1.0) * cw - g;
            break;
        default:  // peaking; the mode mapping selects only types 0 to 4
            b0 = 1.0 + alpha * A;
            b1 = -2.0 * cw;
            b2 = 1.0 - alpha * A;
            a0 = 1.0 + alpha / A;
            a1 = -2.0 * cw;
            a2 = 1.0 - alpha / A;
            break;
    }
    b_ = {to_float(b0), to_float(b1), to_float(b2)};
    a_ = {to_float(a0), to_float(a1), to_float(a2)};
    const double raw_a0 = a_[0];
    normalised_ = {to_float(b_[0] / raw_a0), to_float(b_[1] / raw_a0), to_float(b_[2] / raw_a0),
                   to_float(a_[1] / raw_a0), to_float(a_[2] / raw_a0)};
}

}  // namespace dsp
