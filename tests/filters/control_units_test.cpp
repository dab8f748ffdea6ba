// The physical units against the normalised values: the inverses must give
// values that set a band exactly as the normalised value they came from, so
// a front-end driven in hertz and decibels sounds like one driven in 0..1.
#include "dsp/control_units.h"

#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "dsp/biquad_band.h"
#include "dsp/eq_layout.h"

using namespace dsp;

namespace {

// Every float step near the ends and the defaults, and a fine grid between.
std::vector<float> normalised_samples() {
    std::vector<float> xs;
    for (int i = 0; i <= 8192; ++i) xs.push_back(static_cast<float>(i) / 8192.0f);
    for (float end : {0.0f, 0.5f, 1.0f}) {
        float below = end, above = end;
        for (int i = 0; i < 64; ++i) {
            below = std::nextafter(below, 0.0f);
            above = std::nextafter(above, 1.0f);
            xs.push_back(below);
            xs.push_back(above);
        }
    }
    for (float x : default_control_values) xs.push_back(x);
    return xs;
}

}  // namespace

TEST(control_units, physical_values_map_back_to_normalised_values_that_set_the_band_identically) {
    for (float x : normalised_samples()) {
        biquad_band direct, through_units;
        direct.set_sample_rate(48000.0f);
        through_units.set_sample_rate(48000.0f);
        direct.set_frequency_normalised(x);
        direct.set_gain_normalised(x);
        direct.set_q_normalised(x);
        through_units.set_frequency_normalised(normalised_of_frequency_hz(direct.frequency()));
        through_units.set_gain_normalised(normalised_of_band_gain_db(direct.gain()));
        through_units.set_q_normalised(normalised_of_q(direct.q()));
        ASSERT_EQ(through_units.frequency(), direct.frequency()) << "x = " << x;
        ASSERT_EQ(through_units.gain(), direct.gain()) << "x = " << x;
        ASSERT_EQ(through_units.q(), direct.q()) << "x = " << x;
    }
}

TEST(control_units, ranges_end_where_the_normalised_range_ends_and_the_defaults_read_as_users_expect) {
    EXPECT_EQ(normalised_of_frequency_hz(highest_frequency_hz), 1.0f);
    EXPECT_EQ(frequency_hz_of(1.0f), highest_frequency_hz);
    EXPECT_EQ(normalised_of_band_gain_db(-band_gain_range_db), 0.0f);
    EXPECT_EQ(normalised_of_band_gain_db(0.0f), 0.5f);
    EXPECT_EQ(normalised_of_band_gain_db(band_gain_range_db), 1.0f);
    EXPECT_EQ(normalised_of_q(lowest_q), 0.0f);
    EXPECT_EQ(normalised_of_q(1.0f), 0.5f);
    EXPECT_EQ(normalised_of_q(highest_q), 1.0f);
    EXPECT_EQ(master_gain_db_of(0.5f), 0.0f);
    EXPECT_EQ(normalised_of_master_gain_db(0.0f), 0.5f);
    EXPECT_EQ(normalised_of_master_gain_db(-INFINITY), 0.0f);
    EXPECT_NEAR(master_gain_db_of(1.0f), 6.0206f, 1e-4f);
    // Each position of the type selector is the value the editor's switch gives it.
    for (int position = 0; position < type_positions; ++position)
        EXPECT_EQ(type_position_of(normalised_of_type_position(position)), position);
    EXPECT_EQ(type_position_of(NAN), -1);
    EXPECT_EQ(type_position_of(1.5f), -1);
    EXPECT_EQ(type_position_of(-0.1f), -1);
}
