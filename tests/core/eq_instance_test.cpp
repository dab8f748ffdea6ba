// The format-free instance with no plug-in interface in between: the text a
// user types for any control reads back as its display, and a state is
// taken whole or not at all.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/control_table.h"
#include "core/eq_instance.h"
#include "core/state_image.h"
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
    core::eq_instance instance{host, 48000.0f};
};

TEST_P(CoreInstance, EveryControlsDisplayReadsBackAsItself) {
    for (int index = 0; index < dsp::control_count; ++index) {
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
    EXPECT_FALSE(core::value_of_text(dsp::control_count, "0", ignored));
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
