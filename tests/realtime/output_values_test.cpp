// Every output sample is zero or a normal number, whatever the parameter
// values (NaN, infinities, subnormals, out of range) and whatever the input
// level, down to subnormal input.
#include <gtest/gtest.h>

#include <limits>
#include <random>

#include "realtime_support.h"

namespace {

const float kHostileValues[] = {std::numeric_limits<float>::quiet_NaN(),
                                std::numeric_limits<float>::infinity(),
                                -std::numeric_limits<float>::infinity(),
                                -1e30f,
                                -1.0f,
                                -std::numeric_limits<float>::denorm_min(),
                                0.0f,
                                std::numeric_limits<float>::denorm_min(),
                                1e-30f,
                                0.5f,
                                1.0f,
                                1.5f,
                                1e30f};

// Input levels from full scale to subnormal.
const float kInputLevels[] = {1.0f, 1e-20f, 1e-38f, 1e-40f};

class OutputValues : public ::testing::Test {
protected:
    // Sound at every input level, with the filters on and with them off.
    void expect_sound_output(const char* what) {
        for (float filters : {1.0f, 0.0f}) {
            plugin.set(1, filters);
            for (float level : kInputLevels) {
                stereo_noise audio(2048, level, 7);
                for (int block = 0; block < 4; ++block) {
                    plugin.process(audio, 2048);
                    ASSERT_TRUE(outputs_are_sound(audio, 2048))
                        << what << ", filters " << filters << ", input level " << level;
                }
            }
        }
    }

    settings_sandbox settings{"512"};
    message_capture messages;
    running_instance plugin;
};

}  // namespace

TEST_F(OutputValues, StaySoundWhenEveryParameterTakesTheSameHostileValue) {
    for (float value : kHostileValues) {
        for (int index = 0; index < 27; ++index) plugin.set(index, value);
        plugin.set(1, 1.0f);
        plugin.wait_for_worker();
        expect_sound_output(("every parameter at " + std::to_string(value)).c_str());
    }
}

TEST_F(OutputValues, StaySoundForRandomMixturesOfHostileAndOrdinaryValues) {
    std::mt19937 rng(11);
    std::uniform_int_distribution<int> pick(0, std::size(kHostileValues) - 1);
    for (int round = 0; round < 12; ++round) {
        for (int index = 0; index < 27; ++index) plugin.set(index, kHostileValues[pick(rng)]);
        plugin.set(1, 1.0f);
        plugin.wait_for_worker();
        expect_sound_output(("random round " + std::to_string(round)).c_str());
    }
}
