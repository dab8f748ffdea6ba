// The format-free instance with no plug-in interface in between: the text a
// user types for any control reads back as its display, a state is taken
// whole or not at all, and the M/S plug-in's bands work on the mid or the
// side alone, take the stereo plug-in's chunks and keep their placements.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "core/control_table.h"
#include "core/eq_instance.h"
#include "core/state_image.h"
#include "dsp/control_units.h"
#include "magnitude_response.h"
#include "settings_sandbox.h"

namespace {

class quiet_host : public core::host_link {
public:
    void perform_host_edit(int, float) override {}
    void begin_host_edit(int) override {}
    void end_host_edit(int) override {}
    void give_host_idle() override {}
    void value_changed(int, float) override {}
};

class CoreInstance : public ::testing::TestWithParam<float> {
protected:
    settings_sandbox settings{"8192"};
    quiet_host host;
    core::eq_instance instance{host, 48000.0f, core::mid_side_edition};
};

TEST_P(CoreInstance, EveryControlsDisplayReadsBackAsItself) {
    ASSERT_EQ(instance.control_count(), dsp::mid_side_control_count);
    for (int index = 0; index < instance.control_count(); ++index) {
        char shown[core::display_capacity];
        instance.value_display(index, GetParam(), shown);
        float parsed = -1.0f;
        ASSERT_TRUE(core::value_of_text(index, shown, parsed)) << index << " " << shown;
        ASSERT_GE(parsed, 0.0f);
        ASSERT_LE(parsed, 1.0f);
        char again[core::display_capacity];
        instance.value_display(index, parsed, again);
        char* end = nullptr;
        const double number = std::strtod(shown, &end);
        if (*end != '\0' || end == shown)
            EXPECT_STREQ(again, shown) << index;
        else  // displays cut their digits: back to within the last one
            EXPECT_NEAR(std::strtod(again, nullptr), number, 2e-5 * std::max(1.0, std::fabs(number))) << index;
    }
    // In the unit a user reads (the LV2 ports' values): inside the range, and back again.
    for (int index = 0; index < dsp::control_count; ++index) {
        const core::unit_range range = core::range_of(index);
        const float unit_value = core::unit_value_of(index, GetParam());
        ASSERT_GE(unit_value, range.minimum) << index;
        ASSERT_LE(unit_value, range.maximum) << index;
        const float again = core::unit_value_of(index, core::normalised_of_unit_value(index, unit_value));
        EXPECT_NEAR(again, unit_value, 1e-5 * std::max(1.0f, std::fabs(unit_value))) << index;
    }
    float ignored = 0.0f;
    EXPECT_FALSE(core::value_of_text(dsp::gain_control, "loud", ignored));
    EXPECT_FALSE(core::value_of_text(dsp::mid_side_control_count, "0", ignored));
    EXPECT_FALSE(core::value_of_text(dsp::placement_control(0), "Left", ignored));
}

TEST(CoreControls, EveryTypeChoiceReadsAsItsPositionOnItsOwnBandOnly) {
    const int low = dsp::band_slot_start(0) + dsp::slot_mode, high = dsp::band_slot_start(4) + dsp::slot_mode;
    const int peak_only = dsp::band_slot_start(2) + dsp::slot_mode;
    for (int index : {low, high, peak_only}) {
        for (int position = 0; position <= static_cast<int>(core::range_of(index).maximum); ++position) {
            float value = -1.0f;
            ASSERT_TRUE(core::value_of_text(index, core::choice_name(index, position), value)) << index;
            EXPECT_EQ(core::unit_value_of(index, value), static_cast<float>(position)) << index;
        }
    }
    float ignored = 0.0f;
    EXPECT_STREQ(core::choice_name(low, 2), "Low Shelf");
    EXPECT_FALSE(core::value_of_text(low, "High Shelf", ignored));
    EXPECT_FALSE(core::value_of_text(peak_only, "Low Cut", ignored));
    EXPECT_EQ(core::range_of(peak_only).maximum, 0.0f);
}

INSTANTIATE_TEST_SUITE_P(Values, CoreInstance, ::testing::Values(0.0f, 0.07f, 0.5f, 0.93f, 1.0f));

using signal_set = std::vector<std::vector<float>>;  // [channel][sample]

// A stereo plug-in and an M/S one, both at 8192 taps and 48 kHz.
class MidSide : public ::testing::TestWithParam<dsp::placement> {
protected:
    static constexpr int peak_band = 2;

    // +12 dB at 1806 Hz, Q 1, placed as asked where the plug-in has placements.
    static void set_peak(core::eq_instance& instance, dsp::placement where) {
        const int slot = dsp::band_slot_start(peak_band);
        instance.set_parameter(slot + dsp::slot_on_off, 1.0f);
        instance.set_parameter(slot + dsp::slot_frequency, dsp::normalised_of_frequency_hz(1806.0f));
        instance.set_parameter(slot + dsp::slot_gain, dsp::normalised_of_band_gain_db(12.0f));
        instance.set_parameter(slot + dsp::slot_q, 0.5f);
        instance.set_parameter(dsp::placement_control(peak_band), dsp::normalised_of_placement(where));
    }
    // From a reset, which designs what was set, in blocks of 512.
    static signal_set run(core::eq_instance& instance, const signal_set& input) {
        instance.set_sample_rate(48000.0f);
        instance.reset();
        signal_set output(2, std::vector<float>(input[0].size()));
        for (std::size_t done = 0; done < input[0].size(); done += 512) {
            const float* in[2] = {input[0].data() + done, input[1].data() + done};
            float* out[2] = {output[0].data() + done, output[1].data() + done};
            instance.process(in, out, 512, dsp::render_mode::real_time);
        }
        return output;
    }
    static std::vector<float> combined(const signal_set& s, float right_sign) {
        std::vector<float> c(s[0].size());
        for (std::size_t t = 0; t < c.size(); ++t) c[t] = s[0][t] + right_sign * s[1][t];
        return c;
    }
    std::vector<unsigned char> bank_image(const core::eq_instance& instance) {
        const auto* bytes = static_cast<const unsigned char*>(instance.bank().bank_image());
        return {bytes, bytes + core::bank_image_size};
    }

    settings_sandbox settings{"8192"};
    quiet_host host;
    core::eq_instance stereo{host, 48000.0f};
    core::eq_instance mid_side{host, 48000.0f, core::mid_side_edition};
};

TEST_P(MidSide, APeakOnTheMidOrTheSideAltersThatAloneOfAnImpulseIntoTheLeft) {
    set_peak(mid_side, GetParam());
    signal_set impulse(2, std::vector<float>(4 * 8192, 0.0f));
    impulse[0][0] = 1.0f;
    const signal_set out = run(mid_side, impulse);
    // L + R and L - R: twice the mid and the side, of an input whose mid and side are both 1/2.
    const double mid_db = magnitude_db(combined(out, 1.0f), 1806.0, 48000.0);
    const double side_db = magnitude_db(combined(out, -1.0f), 1806.0, 48000.0);
    EXPECT_NEAR(mid_db, GetParam() == dsp::place_mid ? 12.0 : 0.0, 0.1);
    EXPECT_NEAR(side_db, GetParam() == dsp::place_side ? 12.0 : 0.0, 0.1);
}

INSTANTIATE_TEST_SUITE_P(Placements, MidSide, ::testing::Values(dsp::place_mid, dsp::place_side));

TEST_F(MidSide, AStereoPluginsChunkLoadsWithEveryBandOnStereoAndSoundsTheSame) {
    set_peak(stereo, dsp::place_stereo);
    stereo.set_parameter(dsp::band_slot_start(0) + dsp::slot_on_off, 1.0f);
    stereo.set_parameter(dsp::band_slot_start(0) + dsp::slot_mode, dsp::normalised_of_type_position(1));
    mid_side.set_parameter(dsp::placement_control(1), 1.0f);
    const std::vector<unsigned char> image = bank_image(stereo);
    ASSERT_TRUE(mid_side.load_image(image.data(), image.size(), false));
    for (int band = 0; band < dsp::band_count; ++band) {
        EXPECT_EQ(mid_side.parameter(dsp::placement_control(band)), 0.0f);
        char shown[core::display_capacity];
        mid_side.parameter_display(dsp::placement_control(band), shown);
        EXPECT_STREQ(shown, "Stereo");
    }
    signal_set noise(2, std::vector<float>(4 * 8192));
    std::mt19937 random(7);
    std::uniform_real_distribution<float> value(-1.0f, 1.0f);
    for (auto& channel : noise)
        for (float& sample : channel) sample = value(random);
    const signal_set expected = run(stereo, noise);
    const signal_set out = run(mid_side, noise);
    for (int ch = 0; ch < 2; ++ch)
        for (std::size_t t = 0; t < out[ch].size(); ++t)
            ASSERT_NEAR(out[ch][t], expected[ch][t], 1e-6) << ch << " " << t;
}

TEST_F(MidSide, PlacementsRoundTripThroughAChunkAndOutOfRangeOnesAreClamped) {
    const dsp::placement placed[dsp::band_count] = {dsp::place_mid, dsp::place_side, dsp::place_stereo, dsp::place_side,
                                                    dsp::place_mid};
    for (int band = 0; band < dsp::band_count; ++band)
        mid_side.set_parameter(dsp::placement_control(band), dsp::normalised_of_placement(placed[band]));
    std::vector<unsigned char> image = bank_image(mid_side);
    // The stereo plug-in carries bytes it does not use through unchanged.
    ASSERT_TRUE(stereo.load_image(image.data(), image.size(), false));
    EXPECT_EQ(bank_image(stereo), image);
    for (int band = 0; band < dsp::band_count; ++band) mid_side.set_parameter(dsp::placement_control(band), 0.0f);
    ASSERT_TRUE(mid_side.load_image(image.data(), image.size(), false));
    for (int band = 0; band < dsp::band_count; ++band)
        EXPECT_EQ(mid_side.parameter(dsp::placement_control(band)), dsp::normalised_of_placement(placed[band])) << band;

    const float stored[dsp::band_count] = {7.0f, -3.0f, std::numeric_limits<float>::quiet_NaN(), 0.7f,
                                           std::numeric_limits<float>::infinity()};
    const float read_back[dsp::band_count] = {1.0f, 0.0f, 0.0f, 0.7f, 1.0f};
    const char* shown_as[dsp::band_count] = {"Side", "Stereo", "Stereo", "Mid", "Side"};
    std::memcpy(image.data() + offsetof(core::program_record, placements), stored, sizeof stored);
    ASSERT_TRUE(mid_side.load_image(image.data(), image.size(), false));
    for (int band = 0; band < dsp::band_count; ++band) {
        EXPECT_EQ(mid_side.parameter(dsp::placement_control(band)), read_back[band]) << band;
        char shown[core::display_capacity];
        mid_side.parameter_display(dsp::placement_control(band), shown);
        EXPECT_STREQ(shown, shown_as[band]) << band;
        EXPECT_EQ(mid_side.engine()->placement_of_band(band), dsp::placement_of(read_back[band])) << band;
    }
}

TEST(CoreState, OnlyAWholeStateOfThisVersionIsRead) {
    core::program_bank bank;
    bank.select(5);
    const std::vector<unsigned char> image = core::state_image(bank);
    core::state_contents read;
    ASSERT_TRUE(core::read_state_image(image.data(), image.size(), read));
    EXPECT_EQ(read.program, 5);
    EXPECT_EQ(read.bank_image, image.data() + core::state_header_size);
    auto changed = [&](std::size_t at, unsigned char to) {
        std::vector<unsigned char> v = image;
        v[at] = to;
        return v;
    };
    for (const std::vector<unsigned char>& bad :
         {std::vector<unsigned char>(image.begin(), image.end() - 1), changed(0, 'X'), changed(4, 2), changed(8, 0),
          changed(image.size() - 4, 48)})
        EXPECT_FALSE(core::read_state_image(bad.data(), bad.size(), read));
}

}  // namespace
