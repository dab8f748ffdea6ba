// One equaliser band: a second-order section designed from the Audio EQ
// Cookbook formulas, with the mappings from normalised parameter values
// (0 to 1) to physical settings.
//
// Setters only store (clamped) values; `design` computes the coefficients.
// Every setter keeps its field finite and in range, so `design` never
// yields a NaN or infinite coefficient. The band holds no lock: its owner
// serialises access.
#pragma once

#include <array>

namespace dsp {

// The section with a0 = 1, as the response display evaluates it.
struct normalised_section {
    float b0;
    float b1;
    float b2;
    float a1;
    float a2;
};

class biquad_band {
public:
    static constexpr int lo_pass = 0;
    static constexpr int hi_pass = 1;
    static constexpr int lo_shelf = 2;
    static constexpr int hi_shelf = 3;
    static constexpr int peaking = 4;

    // Which types a mode value can select (dsp/band_types.h).
    static constexpr int role_low = 1;
    static constexpr int role_peak_only = 2;
    static constexpr int role_high = 3;

    // A peak at 250 Hz, Q 1, 0 dB, 1000 Hz sample rate, off; designed.
    biquad_band();

    void set_sample_rate(float rate);
    void set_frequency(float hz);
    void set_gain(float db);
    void set_enabled(float on_off);
    void set_role(int role);
    void set_frequency_normalised(float x);
    void set_gain_normalised(float x);
    void set_q_normalised(float x);
    void set_mode_normalised(float x);

    void design();

    float sample_rate() const { return sample_rate_; }
    float frequency() const { return frequency_; }
    float gain() const { return gain_; }
    float q() const { return q_; }
    int type() const { return type_; }
    int role() const { return role_; }
    float on_off_value() const { return on_off_; }
    float mode_value() const { return mode_; }
    bool is_on() const { return on_off_ >= 0.5f; }  // false for NaN

    // Raw coefficients of the last design: b0, b1, b2 and a0, a1, a2.
    const std::array<float, 3>& raw_b() const { return b_; }
    const std::array<float, 3>& raw_a() const { return a_; }
    const normalised_section& normalised() const { return normalised_; }

private:
    float q_ = 1.0f;
    int type_ = peaking;
    float mode_ = 0.0f;
    int role_ = 0;
    float amplitude_ = 1.0f;  // A = 10^(gain/40)
    float w0_ = 0.0f;
    float sin_w0_ = 0.0f;
    float cos_w0_ = 1.0f;
    float alpha_ = 0.0f;
    float frequency_ = 250.0f;
    float sample_rate_ = 1000.0f;
    float gain_ = 0.0f;
    std::array<float, 3> a_{};
    std::array<float, 3> b_{};
    normalised_section normalised_{};
    float on_off_ = 0.0f;
};

}  // namespace dsp
