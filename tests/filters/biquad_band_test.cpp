#include "dsp/biquad_band.h"

#include <cmath>
#include <complex>
#include <limits>
#include <string>

#include <gtest/gtest.h>

namespace {

constexpr float nan_value = std::numeric_limits<float>::quiet_NaN();
constexpr float inf_value = std::numeric_limits<float>::infinity();
constexpr double pi = 3.14159265358979323846;

// |H(e^jw)| of the designed section, in double precision.
double magnitude_at(const biquad_band& band, double w)
{
    const normalised_section& s = band.normalised();
    const std::complex<double> z1 = std::polar(1.0, -w);
    const std::complex<double> z2 = z1 * z1;
    return std::abs((double(s.b0) + double(s.b1) * z1 + double(s.b2) * z2) /
                    (1.0 + double(s.a1) * z1 + double(s.a2) * z2));
}

biquad_band band_at(float sample_rate, float frequency, int role, float mode)
{
    biquad_band band;
    band.set_sample_rate(sample_rate);
    band.set_frequency(frequency);
    band.set_role(role);
    band.set_mode_normalised(mode);
    band.set_enabled(1.0f);
    return band;
}

bool coefficients_are_finite(const biquad_band& band)
{
    const normalised_section& s = band.normalised();
    for (float c : {s.b0, s.b1, s.b2, s.a1, s.a2})
        if (!std::isfinite(c)) return false;
    for (float c : band.raw_a())
        if (!std::isfinite(c)) return false;
    for (float c : band.raw_b())
        if (!std::isfinite(c)) return false;
    return true;
}

}  // namespace

TEST(biquad_band, starts_as_an_off_0_db_peak_at_250_hz_q_1_and_1000_hz_rate)
{
    const biquad_band band;
    EXPECT_EQ(band.type(), biquad_band::peaking);
    EXPECT_FLOAT_EQ(band.frequency(), 250.0f);
    EXPECT_FLOAT_EQ(band.q(), 1.0f);
    EXPECT_FLOAT_EQ(band.gain(), 0.0f);
    EXPECT_FLOAT_EQ(band.sample_rate(), 1000.0f);
    EXPECT_FALSE(band.is_on());
}

TEST(biquad_band, new_band_switched_on_is_an_identity_section)
{
    biquad_band band;
    band.set_enabled(1.0f);
    band.design();
    const normalised_section& s = band.normalised();
    EXPECT_FLOAT_EQ(s.b0, 1.0f);
    EXPECT_FLOAT_EQ(s.b1, s.a1);
    EXPECT_FLOAT_EQ(s.b2, s.a2);
}

TEST(biquad_band, off_band_is_the_identity_whatever_its_settings)
{
    for (int role : {biquad_band::role_low, biquad_band::role_high}) {
        for (float mode : {0.0f, 0.5f, 1.0f}) {
            biquad_band band = band_at(48000.0f, 3000.0f, role, mode);
            band.set_gain(12.0f);
            band.set_q_normalised(0.9f);
            for (float off : {0.0f, 0.49f, nan_value}) {
                band.set_enabled(off);
                band.design();
                const normalised_section& s = band.normalised();
                EXPECT_EQ(s.b0, 1.0f);
                EXPECT_EQ(s.b1, 0.0f);
                EXPECT_EQ(s.b2, 0.0f);
                EXPECT_EQ(s.a1, 0.0f);
                EXPECT_EQ(s.a2, 0.0f);
                EXPECT_EQ(band.raw_b()[0], 1.0f);
                EXPECT_EQ(band.raw_a()[0], 0.0f);
            }
        }
    }
}

TEST(biquad_band, on_off_value_of_one_half_or_more_switches_the_band_on)
{
    biquad_band band;
    band.set_enabled(0.5f);
    EXPECT_TRUE(band.is_on());
    band.set_enabled(0.4999f);
    EXPECT_FALSE(band.is_on());
}

TEST(biquad_band, normalised_frequency_follows_the_double_exponential_sweep)
{
    biquad_band band;
    band.set_sample_rate(44100.0f);
    const struct {
        float x;
        float hz;
    } points[] = {{0.0f, 20.0f},       {0.2f, 394.5746f},  {0.25f, 538.57f},
                  {0.5f, 1805.99f},    {0.75f, 5533.53f},  {0.8f, 7064.511f},
                  {1.0f, 22000.0f}};
    for (const auto& p : points) {
        band.set_frequency_normalised(p.x);
        EXPECT_NEAR(band.frequency(), p.hz, 0.01f) << "x = " << p.x;
    }
}

TEST(biquad_band, normalised_frequency_one_is_limited_to_half_the_sample_rate)
{
    biquad_band band;
    band.set_sample_rate(32000.0f);
    band.set_frequency_normalised(1.0f);
    EXPECT_FLOAT_EQ(band.frequency(), 16000.0f);
}

TEST(biquad_band, normalised_frequency_outside_the_sweep_gives_11000_hz_or_half_the_rate)
{
    biquad_band band;
    band.set_sample_rate(44100.0f);
    for (float x : {-0.5f, 1.5f, nan_value, inf_value, -inf_value}) {
        band.set_frequency(100.0f);
        band.set_frequency_normalised(x);
        EXPECT_FLOAT_EQ(band.frequency(), 11000.0f) << "x = " << x;
    }
    band.set_sample_rate(16000.0f);
    band.set_frequency_normalised(nan_value);
    EXPECT_FLOAT_EQ(band.frequency(), 8000.0f);
}

TEST(biquad_band, frequency_is_kept_between_20_hz_and_half_the_sample_rate)
{
    biquad_band band;
    band.set_sample_rate(48000.0f);
    band.set_frequency(10.0f);
    EXPECT_FLOAT_EQ(band.frequency(), 20.0f);
    band.set_frequency(30000.0f);
    EXPECT_FLOAT_EQ(band.frequency(), 24000.0f);
    band.set_frequency(-inf_value);
    EXPECT_FLOAT_EQ(band.frequency(), 20.0f);
    band.set_frequency(inf_value);
    EXPECT_FLOAT_EQ(band.frequency(), 24000.0f);
    band.set_frequency(nan_value);
    EXPECT_FLOAT_EQ(band.frequency(), 24000.0f);
}

TEST(biquad_band, unusable_sample_rate_gives_1000_hz)
{
    for (float rate : {0.0f, -44100.0f, nan_value, inf_value, -inf_value, 1e-37f, 39.0f}) {
        biquad_band band;
        band.set_sample_rate(rate);
        EXPECT_FLOAT_EQ(band.sample_rate(), 1000.0f) << "rate = " << rate;
    }
}

TEST(biquad_band, lowering_the_sample_rate_brings_the_frequency_below_half_the_new_rate)
{
    biquad_band band = band_at(44100.0f, 22000.0f, biquad_band::role_high, 0.5f);
    band.set_q_normalised(0.33f);
    band.set_sample_rate(32000.0f);
    EXPECT_FLOAT_EQ(band.frequency(), 16000.0f);
    band.design();
    const normalised_section& s = band.normalised();
    // At Nyquist the poles sit on the unit circle; above it they leave it.
    EXPECT_LE(std::abs(s.a2), 1.0f + 1e-6f);
    EXPECT_LE(std::abs(s.a1), 2.0f + 1e-6f);
}

TEST(biquad_band, normalised_gain_is_symmetric_and_exponential_towards_the_ends)
{
    biquad_band band;
    const struct {
        float x;
        float db;
    } points[] = {{0.0f, -20.0f}, {0.25f, -4.805f}, {0.75f, 4.805f}, {1.0f, 20.0f}};
    for (const auto& p : points) {
        band.set_gain_normalised(p.x);
        EXPECT_NEAR(band.gain(), p.db, 0.001f) << "x = " << p.x;
    }
    band.set_gain_normalised(0.5f);
    EXPECT_EQ(band.gain(), 0.0f);
}

TEST(biquad_band, gain_is_clamped_to_20_db_and_not_a_number_gives_0_db)
{
    biquad_band band;
    band.set_gain(35.0f);
    EXPECT_EQ(band.gain(), 20.0f);
    band.set_gain(-inf_value);
    EXPECT_EQ(band.gain(), -20.0f);
    band.set_gain(nan_value);
    EXPECT_EQ(band.gain(), 0.0f);
    band.set_gain_normalised(inf_value);
    EXPECT_EQ(band.gain(), 20.0f);
    band.set_gain_normalised(-3.0f);
    EXPECT_EQ(band.gain(), -20.0f);
    band.set_gain_normalised(nan_value);
    EXPECT_EQ(band.gain(), 0.0f);
}

TEST(biquad_band, normalised_q_runs_from_0_1_through_1_to_10)
{
    biquad_band band;
    band.set_q_normalised(0.0f);
    EXPECT_FLOAT_EQ(band.q(), 0.1f);
    band.set_q_normalised(0.5f);
    EXPECT_EQ(band.q(), 1.0f);
    band.set_q_normalised(1.0f);
    EXPECT_FLOAT_EQ(band.q(), 10.0f);
}

TEST(biquad_band, q_outside_0_1_to_10_gives_1)
{
    for (float x : {1.01f, -0.01f, -30.0f, nan_value, inf_value, -inf_value}) {
        biquad_band band;
        band.set_q_normalised(0.0f);
        band.set_q_normalised(x);
        EXPECT_EQ(band.q(), 1.0f) << "x = " << x;
    }
}

TEST(biquad_band, low_role_selects_peak_low_cut_and_low_shelf)
{
    biquad_band band;
    band.set_role(biquad_band::role_low);
    const struct {
        float mode;
        const char* name;
    } table[] = {{0.0f, "Peaking"}, {0.5f, "HiPass"}, {0.99f, "HiPass"}, {1.0f, "LoShelf"}};
    for (const auto& row : table) {
        band.set_mode_normalised(row.mode);
        EXPECT_STREQ(biquad_band::type_name(band.type()), row.name) << "mode = " << row.mode;
        EXPECT_EQ(band.mode_value(), row.mode);
    }
}

TEST(biquad_band, high_role_selects_peak_high_cut_and_high_shelf)
{
    biquad_band band;
    band.set_role(biquad_band::role_high);
    const struct {
        float mode;
        const char* name;
    } table[] = {{0.0f, "Peaking"}, {0.5f, "LoPass"}, {0.99f, "LoPass"}, {1.0f, "HiShelf"}};
    for (const auto& row : table) {
        band.set_mode_normalised(row.mode);
        EXPECT_STREQ(biquad_band::type_name(band.type()), row.name) << "mode = " << row.mode;
    }
}

TEST(biquad_band, peak_only_role_is_always_a_peak)
{
    biquad_band band;
    band.set_role(biquad_band::role_high);
    band.set_mode_normalised(0.5f);
    band.set_role(biquad_band::role_peak_only);
    for (float mode : {0.5f, 1.0f, nan_value}) {
        band.set_mode_normalised(mode);
        EXPECT_EQ(band.type(), biquad_band::peaking);
    }
}

TEST(biquad_band, mode_value_outside_the_table_leaves_the_type_unchanged)
{
    biquad_band band;
    band.set_role(biquad_band::role_low);
    band.set_mode_normalised(0.7f);
    for (float mode : {-0.2f, 1.5f, nan_value, inf_value, -inf_value}) {
        band.set_mode_normalised(mode);
        EXPECT_EQ(band.type(), biquad_band::hi_pass) << "mode = " << mode;
    }
    biquad_band unassigned;
    unassigned.set_mode_normalised(0.7f);
    EXPECT_EQ(unassigned.type(), biquad_band::peaking);
}

TEST(biquad_band, peak_of_plus_12_db_has_that_gain_at_its_frequency)
{
    biquad_band band = band_at(48000.0f, 1000.0f, biquad_band::role_peak_only, 0.0f);
    band.set_gain(12.0f);
    band.design();
    const double w0 = 2.0 * pi * 1000.0 / 48000.0;
    EXPECT_NEAR(magnitude_at(band, w0), std::pow(10.0, 12.0 / 20.0), 1e-4);
    EXPECT_NEAR(magnitude_at(band, 0.0), 1.0, 1e-4);
}

TEST(biquad_band, shelves_reach_their_gain_on_the_boosted_side_and_unity_on_the_other)
{
    const double boost = std::pow(10.0, 9.0 / 20.0);
    biquad_band low = band_at(48000.0f, 1000.0f, biquad_band::role_low, 1.0f);
    ASSERT_EQ(low.type(), biquad_band::lo_shelf);
    low.set_gain(9.0f);
    low.design();
    EXPECT_NEAR(magnitude_at(low, 0.0), boost, 1e-3);
    EXPECT_NEAR(magnitude_at(low, pi), 1.0, 1e-3);

    biquad_band high = band_at(48000.0f, 1000.0f, biquad_band::role_high, 1.0f);
    ASSERT_EQ(high.type(), biquad_band::hi_shelf);
    high.set_gain(9.0f);
    high.design();
    EXPECT_NEAR(magnitude_at(high, 0.0), 1.0, 1e-3);
    EXPECT_NEAR(magnitude_at(high, pi), boost, 1e-3);
}

TEST(biquad_band, cut_filters_pass_one_end_stop_the_other_and_ignore_gain)
{
    biquad_band low_cut = band_at(48000.0f, 1000.0f, biquad_band::role_low, 0.5f);
    low_cut.set_gain(20.0f);
    low_cut.design();
    EXPECT_NEAR(magnitude_at(low_cut, 0.0), 0.0, 1e-6);
    EXPECT_NEAR(magnitude_at(low_cut, pi), 1.0, 1e-4);

    biquad_band high_cut = band_at(48000.0f, 1000.0f, biquad_band::role_high, 0.5f);
    high_cut.set_gain(20.0f);
    high_cut.design();
    EXPECT_NEAR(magnitude_at(high_cut, 0.0), 1.0, 1e-4);
    EXPECT_NEAR(magnitude_at(high_cut, pi), 0.0, 1e-6);
}

TEST(biquad_band, design_stays_finite_for_any_input_to_any_setter)
{
    const float inputs[] = {nan_value, inf_value, -inf_value, -1.0f, 0.0f, 1.0f, 2.0f, 1e30f};
    for (int role : {biquad_band::role_low, biquad_band::role_high}) {
        for (float mode : {0.0f, 0.5f, 1.0f}) {
            for (float input : inputs) {
                biquad_band band = band_at(44100.0f, 1000.0f, role, mode);
                band.set_sample_rate(input);
                band.set_frequency(input);
                band.set_gain(input);
                band.design();
                EXPECT_TRUE(coefficients_are_finite(band)) << "plain setters, input " << input;
                band.set_frequency_normalised(input);
                band.set_gain_normalised(input);
                band.set_q_normalised(input);
                band.set_mode_normalised(input);
                band.set_enabled(input);
                band.design();
                EXPECT_TRUE(coefficients_are_finite(band)) << "normalised setters, input " << input;
            }
        }
    }
}

TEST(biquad_band, names_each_type_for_the_host_and_the_editor)
{
    const char* internal[] = {"LoPass", "HiPass", "LoShelf", "HiShelf", "Peaking"};
    const char* shown[] = {"High Cut", "Low Cut", "L. Shelf", "H. Shelf", "Peak"};
    for (int type = 0; type < 5; ++type) {
        EXPECT_STREQ(biquad_band::type_name(type), internal[type]);
        EXPECT_STREQ(biquad_band::display_type_name(type), shown[type]);
    }
    for (int type : {-1, 5}) {
        EXPECT_STREQ(biquad_band::type_name(type), "Error");
        EXPECT_STREQ(biquad_band::display_type_name(type), "Error");
    }
}
