// The VST3 and CLAP builds held to the same behaviour, each against the
// VST 2.x build of the same sources: sound bit for bit, state, automation on
// its sample, the aligned bypass and the offline bounce.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <tuple>

#include "../e2e/e2e_support.h"
#include "dsp/eq_layout.h"
#include "format_instance.h"

namespace {

class FormatPlugin : public ::testing::TestWithParam<plugin_format> {
protected:
    e2e_sandbox sandbox{std::to_string(kFirLength)};

    std::unique_ptr<format_instance> make(const std::vector<std::pair<int, float>>& values = {}, int block = 512,
                                          bool offline = false) {
        auto plugin = GetParam().make();
        for (auto [id, v] : values) plugin->set(id, v);
        EXPECT_TRUE(plugin->start(block, offline));
        return plugin;
    }
};

std::string format_name(const ::testing::TestParamInfo<plugin_format>& info) { return info.param.name; }

TEST_P(FormatPlugin, Band2PeakImpulseIsBitIdenticalToTheVst2BuildsAtEveryHostBlock) {
    const stereo in = impulse(3 * kFirLength);
    for (int block : {64, 500, 4096}) {
        auto plugin = make(kBand2Peak, block);
        auto vst2 = make_vst2(kBand2Peak, block);
        const stereo heard = run(*plugin, in, block);
        EXPECT_EQ(heard, run(*vst2, in, block)) << block;
        // The peak's centre lies at the latency.
        EXPECT_GT(std::fabs(heard.left[kFirLength]), 1.0f);
    }
}

TEST_P(FormatPlugin, StateMovesToAFreshInstance) {
    const stereo in = noise(2 * kFirLength);
    std::vector<std::pair<int, float>> settings = kBand2Peak;
    settings.emplace_back(15, 0.8f);
    auto source = make(settings, 256);
    const std::vector<unsigned char> saved = source->state();
    ASSERT_EQ(saved.size(), 12u + 25536u + 4u);
    const stereo expected = run(*source, in, 256);
    auto restored = GetParam().make();
    ASSERT_TRUE(restored->set_state(saved));
    restored->start(256, false);
    EXPECT_EQ(run(*restored, in, 256), expected);
}

TEST_P(FormatPlugin, ShortLongOrGarbageStateIsRefusedAndTheStateKept) {
    auto plugin = make(kBand2Peak);
    const std::vector<unsigned char> before = plugin->state();
    std::vector<unsigned char> garbage(before.size());
    std::mt19937 random(3);
    for (auto& b : garbage) b = static_cast<unsigned char>(random());
    std::vector<unsigned char> wrong_program = before;
    wrong_program.back() = 48;
    std::vector<unsigned char> longer = before;
    longer.push_back(0);
    for (const std::vector<unsigned char>& bad :
         {std::vector<unsigned char>(before.begin(), before.end() - 1), std::vector<unsigned char>{}, longer, garbage,
          wrong_program, std::vector<unsigned char>(1 << 20, 'x')}) {
        EXPECT_FALSE(plugin->set_state(bad)) << bad.size();
        EXPECT_EQ(plugin->state(), before);
    }
}

TEST_P(FormatPlugin, GainAutomationLandsOnItsSampleAndBypassIsTheAlignedInput) {
    const stereo in = noise(3 * kFirLength);
    const int at = kFirLength + 37;  // inside a host block of 64, past the latency
    auto steady = make({}, 64);
    auto automated = make({}, 64);
    const stereo base = run(*steady, in, 64);
    const stereo changed = run(*automated, in, 64, [&](int start, std::vector<parameter_change>& c) {
        if (start == at / 64 * 64) c.push_back({dsp::gain_control, at % 64, 1.0});  // 0 dB to +6 dB: twice
        c.push_back({999, 0, 0.5});                                                 // no such parameter
    });
    for (int t = 0; t < at; ++t) ASSERT_EQ(changed.left[t], base.left[t]) << t;
    for (int t = at; t < at + 1000; ++t) ASSERT_EQ(changed.left[t], 2.0f * base.left[t]) << t;

    auto bypassed = make({{dsp::gain_control, 0.9f}}, 64);
    const stereo through = run(*bypassed, in, 64, [](int start, std::vector<parameter_change>& c) {
        if (start == 0) c.push_back({dsp::control_count, 0, 1.0});
    });
    for (int t = 0; t < kFirLength; ++t) ASSERT_EQ(through.left[t], 0.0f) << t;
    for (int t = kFirLength; t < 3 * kFirLength; ++t) ASSERT_EQ(through.right[t], in.right[t - kFirLength]) << t;
}

TEST_P(FormatPlugin, OfflineBounceIsTheVst2BuildsBitForBit) {
    const int block = 512;
    const stereo in = noise((3 * kFirLength + 3 * int(kRate)) / block * block, 11);
    const int change_at = 3 * int(kRate) / block * block;
    const std::vector<std::pair<int, float>> values = {{12, 1.0f}, {14, 0.5f}, {15, 0.5f}};
    auto bounce = [&] {
        auto plugin = make(values, block, true);
        return run(*plugin, in, block, [&](int start, std::vector<parameter_change>& c) {
            if (start == change_at) c.push_back({15, 0, 0.90309});
        });
    };
    const stereo first = bounce();
    EXPECT_EQ(first, offline_bounce(in, block, change_at, {15, 0.90309f}, values));
    EXPECT_EQ(bounce(), first);
}

INSTANTIATE_TEST_SUITE_P(Formats, FormatPlugin, ::testing::Values(vst3_format(), clap_format()), format_name);

}  // namespace
