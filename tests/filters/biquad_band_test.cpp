#include "dsp/biquad_band.h"
#include "dsp/band_types.h"
#include "dsp/control_units.h"
#include "dsp/eq_layout.h"

#include <cmath>
#include <complex>
#include <limits>

#include <gtest/gtest.h>

using namespace dsp;

namespace {

constexpr float nan_value = std::numeric_limits<float>::quiet_NaN();
constexpr float inf_value = std::numeric_limits<float>::infinity();
constexpr double pi = 3.14159265358979323846;

// |H(e^jw)| of the designed section, in double precision.
double magnitude_at(const biquad_band& band, double w) {
    const normalised_section& s = band.normalised();
    const std::complex<double> z1 = std::polar(1.0, -w), z2 = z1 * z1;
    return std::abs((double(s.b0) + double(s.b1) * z1 + double(s.b2) * z2) /
                    (1.0 + double(s.a1) * z1 + double(s.a2) * z2));
}

// A band switched on at 48000 Hz, 1000 Hz, with the type its role and mode select.
biquad_band designed(int role, float mode, float gain) {
    biquad_band band;
    band.set_sample_rate(48000.0f);
    band.set_frequency(1000.0f);
    band.set_role(role);
    band.set_mode_normalised(mode);
    band.set_gain(gain);
    band.set_enabled(1.0f);
    band.design();
    return band;
}

bool is_finite(const biquad_band& band) {
    const normalised_section& s = band.normalised();
    for (float c : {s.b0, s.b1, s.b2, s.a1, s.a2, band.raw_a()[0], band.raw_b()[0]})
        if (!std::isfinite(c)) return false;
    return true;
}

}  // namespace

TEST(biquad_band, new_band_is_an_off_0_db_peak_that_switched_on_is_the_identity) {
    biquad_band band;
    EXPECT_EQ(band.type(), biquad_band::peaking);
    EXPECT_EQ(band.frequency(), 250.0f);
    EXPECT_EQ(band.q(), 1.0f);
    EXPECT_EQ(band.gain(), 0.0f);
    EXPECT_EQ(band.sample_rate(), 1000.0f);
    EXPECT_FALSE(band.is_on());
    band.set_enabled(0.5f);
    band.design();
    const normalised_section& s = band.normalised();
    EXPECT_FLOAT_EQ(s.b0, 1.0f);
    EXPECT_FLOAT_EQ(s.b1, s.a1);
    EXPECT_FLOAT_EQ(s.b2, s.a2);
}

TEST(biquad_band, off_band_is_the_identity_whatever_its_settings) {
    for (int role : {biquad_band::role_low, biquad_band::role_high}) {
        for (float mode : {0.0f, 0.5f, 1.0f}) {
            biquad_band band = designed(role, mode, 12.0f);
            for (float off : {0.0f, 0.4999f, nan_value}) {
                band.set_enabled(off);
                band.design();
                const normalised_section& s = band.normalised();
                EXPECT_EQ(s.b0, 1.0f);
                EXPECT_EQ(s.b1 + s.b2 + s.a1 + s.a2, 0.0f);
                EXPECT_EQ(band.raw_a()[0], 0.0f);
            }
        }
    }
}

TEST(biquad_band, normalised_frequency_sweeps_from_20_hz_to_22000_hz_or_half_the_rate) {
    biquad_band band;
    band.set_sample_rate(44100.0f);
    const float points[][2] = {{0.0f, 20.0f},    {0.2f, 394.5746f}, {0.25f, 538.57f},
                               {0.5f, 1805.99f}, {0.75f, 5533.53f}, {1.0f, 22000.0f}};
    for (const auto& p : points) {
        band.set_frequency_normalised(p[0]);
        EXPECT_NEAR(band.frequency(), p[1], 0.01f) << "x = " << p[0];
    }
    for (float x : {-0.5f, 1.5f, nan_value, inf_value, -inf_value}) {
        band.set_frequency_normalised(x);
        EXPECT_EQ(band.frequency(), 11000.0f) << "x = " << x;
    }
    band.set_sample_rate(32000.0f);
    band.set_frequency_normalised(1.0f);
    EXPECT_EQ(band.frequency(), 16000.0f);
}

TEST(biquad_band, frequency_is_kept_between_20_hz_and_half_the_sample_rate) {
    biquad_band band;
    band.set_sample_rate(48000.0f);
    const float points[][2] = {
        {10.0f, 20.0f}, {30000.0f, 24000.0f}, {-inf_value, 20.0f}, {inf_value, 24000.0f}, {nan_value, 24000.0f}};
    for (const auto& p : points) {
        band.set_frequency(p[0]);
        EXPECT_EQ(band.frequency(), p[1]) << "f = " << p[0];
    }
}

TEST(biquad_band, unusable_sample_rate_gives_1000_hz) {
    for (float rate : {0.0f, -44100.0f, nan_value, inf_value, 1e-37f, 39.0f}) {
        biquad_band band;
        band.set_sample_rate(rate);
        EXPECT_EQ(band.sample_rate(), 1000.0f) << "rate = " << rate;
    }
}

TEST(biquad_band, lowering_the_sample_rate_brings_the_frequency_to_half_the_new_rate) {
    biquad_band band = designed(biquad_band::role_high, 0.5f, 0.0f);
    band.set_sample_rate(44100.0f);
    band.set_frequency(22000.0f);
    band.set_q_normalised(0.33f);
    band.set_sample_rate(32000.0f);
    EXPECT_EQ(band.frequency(), 16000.0f);
    band.design();
    // At Nyquist the poles sit on the unit circle; above it they leave it.
    EXPECT_LE(std::abs(band.normalised().a2), 1.0f + 1e-6f);
}

TEST(biquad_band, gain_runs_from_minus_20_through_0_to_plus_20_db_and_not_a_number_gives_0) {
    biquad_band band;
    const float points[][2] = {{0.0f, -20.0f}, {0.25f, -4.805f},   {0.5f, 0.0f},    {0.75f, 4.805f},
                               {1.0f, 20.0f},  {inf_value, 20.0f}, {-3.0f, -20.0f}, {nan_value, 0.0f}};
    for (const auto& p : points) {
        band.set_gain_normalised(p[0]);
        EXPECT_NEAR(band.gain(), p[1], 0.001f) << "x = " << p[0];
    }
    band.set_gain_normalised(0.5f);
    EXPECT_EQ(band.gain(), 0.0f);
    const float plain[][2] = {{35.0f, 20.0f}, {-inf_value, -20.0f}, {nan_value, 0.0f}};
    for (const auto& p : plain) {
        band.set_gain(p[0]);
        EXPECT_EQ(band.gain(), p[1]) << "g = " << p[0];
    }
}

TEST(biquad_band, normalised_q_runs_from_0_1_to_10_and_gives_1_outside) {
    biquad_band band;
    const float points[][2] = {{0.0f, 0.1f},   {0.5f, 1.0f},      {1.0f, 10.0f},     {1.01f, 1.0f},     {-0.01f, 1.0f},
                               {-30.0f, 1.0f}, {nan_value, 1.0f}, {inf_value, 1.0f}, {-inf_value, 1.0f}};
    for (const auto& p : points) {
        band.set_q_normalised(0.0f);
        band.set_q_normalised(p[0]);
        EXPECT_FLOAT_EQ(band.q(), p[1]) << "x = " << p[0];
    }
}

TEST(biquad_band, role_decides_which_type_a_mode_value_selects) {
    const struct {
        int role;
        float mode;
        const char* type;
    } table[] = {
        {biquad_band::role_low, 0.0f, "Peaking"},       {biquad_band::role_low, 0.5f, "HiPass"},
        {biquad_band::role_low, 0.99f, "HiPass"},       {biquad_band::role_low, 1.0f, "LoShelf"},
        {biquad_band::role_high, 0.0f, "Peaking"},      {biquad_band::role_high, 0.5f, "LoPass"},
        {biquad_band::role_high, 0.99f, "LoPass"},      {biquad_band::role_high, 1.0f, "HiShelf"},
        {biquad_band::role_peak_only, 0.5f, "Peaking"}, {biquad_band::role_peak_only, 1.0f, "Peaking"},
    };
    for (const auto& row : table) {
        biquad_band band;
        band.set_role(biquad_band::role_high);
        band.set_mode_normalised(0.5f);
        band.set_role(row.role);
        band.set_mode_normalised(row.mode);
        EXPECT_STREQ(names_of_type(band.type()).host, row.type) << "role " << row.role << ", mode " << row.mode;
    }
}

TEST(biquad_band, mode_value_outside_the_table_leaves_the_type_unchanged) {
    biquad_band band;
    band.set_role(biquad_band::role_low);
    band.set_mode_normalised(0.7f);
    for (float mode : {-0.2f, 1.5f, nan_value, inf_value, -inf_value}) {
        band.set_mode_normalised(mode);
        EXPECT_EQ(band.type(), biquad_band::hi_pass) << "mode = " << mode;
    }
    biquad_band without_role;
    without_role.set_mode_normalised(0.7f);
    EXPECT_EQ(without_role.type(), biquad_band::peaking);
}

TEST(biquad_band, designed_sections_have_the_gains_of_their_type) {
    const double w0 = 2.0 * pi * 1000.0 / 48000.0, boost = std::pow(10.0, 12.0 / 20.0);
    const biquad_band peak = designed(biquad_band::role_peak_only, 0.0f, 12.0f);
    EXPECT_NEAR(magnitude_at(peak, w0), boost, 1e-4);
    EXPECT_NEAR(magnitude_at(peak, 0.0), 1.0, 1e-4);

    const biquad_band low_shelf = designed(biquad_band::role_low, 1.0f, 12.0f);
    EXPECT_NEAR(magnitude_at(low_shelf, 0.0), boost, 1e-3);
    EXPECT_NEAR(magnitude_at(low_shelf, pi), 1.0, 1e-3);
    const biquad_band high_shelf = designed(biquad_band::role_high, 1.0f, 12.0f);
    EXPECT_NEAR(magnitude_at(high_shelf, 0.0), 1.0, 1e-3);
    EXPECT_NEAR(magnitude_at(high_shelf, pi), boost, 1e-3);

    // The cuts ignore the gain.
    const biquad_band low_cut = designed(biquad_band::role_low, 0.5f, 12.0f);
    EXPECT_NEAR(magnitude_at(low_cut, 0.0), 0.0, 1e-6);
    EXPECT_NEAR(magnitude_at(low_cut, pi), 1.0, 1e-4);
    const biquad_band high_cut = designed(biquad_band::role_high, 0.5f, 12.0f);
    EXPECT_NEAR(magnitude_at(high_cut, 0.0), 1.0, 1e-4);
    EXPECT_NEAR(magnitude_at(high_cut, pi), 0.0, 1e-6);
}

TEST(biquad_band, design_stays_finite_whatever_any_setter_was_given) {
    for (int role : {biquad_band::role_low, biquad_band::role_high}) {
        for (float mode : {0.0f, 0.5f, 1.0f}) {
            for (float input : {nan_value, inf_value, -inf_value, -1.0f, 2.0f, 1e30f}) {
                biquad_band band = designed(role, mode, 6.0f);
                band.set_sample_rate(input);
                band.set_frequency(input);
                band.set_gain(input);
                band.design();
                EXPECT_TRUE(is_finite(band)) << "plain setters, input " << input;
                band.set_frequency_normalised(input);
                band.set_gain_normalised(input);
                band.set_q_normalised(input);
                band.set_mode_normalised(input);
                band.set_enabled(input);
                band.design();
                EXPECT_TRUE(is_finite(band)) << "normalised setters, input " << input;
            }
        }
    }
}

TEST(band_types, names_each_type_for_the_host_the_editor_and_a_list_of_choices_and_knows_the_cuts) {
    const char* internal[] = {"LoPass", "HiPass", "LoShelf", "HiShelf", "Peaking", "Error", "Error"};
    const char* shown[] = {"High Cut", "Low Cut", "L. Shelf", "H. Shelf", "Peak", "Error", "Error"};
    const char* choices[] = {"High Cut", "Low Cut", "Low Shelf", "High Shelf", "Peak", "Error", "Error"};
    const int types[] = {0, 1, 2, 3, 4, 5, -1};
    for (int i = 0; i < 7; ++i) {
        EXPECT_STREQ(names_of_type(types[i]).host, internal[i]);
        EXPECT_STREQ(names_of_type(types[i]).editor, shown[i]);
        EXPECT_STREQ(names_of_type(types[i]).choice, choices[i]);
        EXPECT_EQ(is_cut(types[i]), i < 2) << types[i];
    }
}

TEST(band_types, each_band_offers_the_types_of_its_side_and_finds_their_positions) {
    const int offered[band_count][type_positions] = {
        {biquad_band::peaking, biquad_band::hi_pass, biquad_band::lo_shelf},
        {biquad_band::peaking, biquad_band::hi_pass, biquad_band::lo_shelf},
        {biquad_band::peaking, -1, -1},
        {biquad_band::peaking, biquad_band::lo_pass, biquad_band::hi_shelf},
        {biquad_band::peaking, biquad_band::lo_pass, biquad_band::hi_shelf},
    };
    for (int band = 0; band < band_count; ++band) {
        const int role = role_of_band(band);
        for (int position = -1; position <= type_positions; ++position) {
            const bool inside = position >= 0 && position < type_positions;
            const int type = inside ? offered[band][position] : -1;
            EXPECT_EQ(offered_type(role, position), type) << band << " " << position;
            if (type >= 0) {
                EXPECT_EQ(position_of_type(role, type), position) << band;
            }
        }
    }
    EXPECT_EQ(position_of_type(role_of_band(2), biquad_band::lo_shelf), -1);
    EXPECT_EQ(role_of_band(band_count), 0);
}
