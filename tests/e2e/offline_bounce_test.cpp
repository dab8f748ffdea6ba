// A bounce as a DAW makes one: open, sample rate and block size,
// parameters, resume, then blocks as fast as it can, with the process level
// answered "offline" or, as some hosts do even while they export, 0. The
// sound must be there from the first block after the latency, a change
// (made past the first 250 ms) must be heard from the first output that the
// engine's next partition can carry, and every bounce must be the same, bit
// for bit.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "e2e_support.h"

namespace {

using tessvane::host::loaded_plugin;

constexpr float kRate = 48000.0f;
constexpr int kBlock = 512;
constexpr float kTwelveDecibels = 0.90309f;  // "Gain #3" for +12 dB

struct stereo {
    std::vector<float> left, right;
};

stereo noise(int frames) {
    std::mt19937 random(11);
    std::uniform_real_distribution<float> value(-0.5f, 0.5f);
    stereo s{std::vector<float>(frames), std::vector<float>(frames)};
    for (int i = 0; i < frames; ++i) {
        s.left[i] = value(random);
        s.right[i] = value(random);
    }
    return s;
}

// The FIR length, and the process level the host answers.
using bounce_case = std::tuple<int, VstIntPtr>;

class OfflineBounce : public ::testing::TestWithParam<bounce_case> {
protected:
    int fir_length() const { return std::get<0>(GetParam()); }
    // The engine collects its input in partitions of N/4 samples; a new
    // response is swapped in where one starts.
    int partition() const { return fir_length() / 4; }

    std::unique_ptr<loaded_plugin> open() {
        tessvane::host::host_settings settings;
        settings.sample_rate = kRate;
        settings.block_size = kBlock;
        settings.audio_process_level = std::get<1>(GetParam());
        auto plugin = loaded_plugin::load(TESSVANE_PLUGIN_PATH, std::move(settings));
        plugin->configure(kRate, kBlock);
        set_up(*plugin);
        plugin->resume();
        return plugin;
    }
    // Band 3 on as a peak at 1.8 kHz, Q 1, 0 dB.
    static void set_up(loaded_plugin& plugin) {
        plugin.set_parameter(12, 1.0f);
        plugin.set_parameter(14, 0.5f);
        plugin.set_parameter(15, 0.5f);
    }

    // The input in host blocks; band 3 goes to +12 dB before the block that
    // starts at change_at (never, when negative).
    stereo bounce(loaded_plugin& plugin, int change_at = -1) {
        stereo out{std::vector<float>(input.left.size()), std::vector<float>(input.left.size())};
        for (int done = 0; done < int(input.left.size()); done += kBlock) {
            if (done == change_at) plugin.set_parameter(15, kTwelveDecibels);
            float* ins[] = {input.left.data() + done, input.right.data() + done};
            float* outs[] = {out.left.data() + done, out.right.data() + done};
            plugin.process(ins, outs, kBlock);
        }
        return out;
    }

    // 3 s of input, then room for the change to be heard, one partition and
    // a margin, in whole host blocks.
    int change_at() const { return 3 * int(kRate) / kBlock * kBlock; }
    // The design waits for the block that reaches the next partition's
    // start; the partition that starts there is the first convolved with
    // the new response. Its output comes out the convolution's N/2 samples
    // after its first input sample, so after the one partition in which it
    // is collected.
    int swap_after_change() const { return (change_at() / partition() + 1) * partition(); }
    int heard_from() const { return swap_after_change() + partition(); }

    e2e_sandbox sandbox{std::to_string(fir_length())};
    stereo input = noise((heard_from() + partition() + 8 * kBlock) / kBlock * kBlock);
};

TEST_P(OfflineBounce, SoundsFromTheFirstBlockAfterTheLatency) {
    auto plugin = open();
    const stereo out = bounce(*plugin);
    const int latency = plugin->effect()->initialDelay;
    ASSERT_EQ(latency, fir_length());
    double heard = 0.0, fed = 0.0;
    for (int t = latency; t < latency + kBlock; ++t) {
        heard += double(out.left[t]) * out.left[t];
        fed += double(input.left[t - latency]) * input.left[t - latency];
    }
    // A peak of 0 dB: the FIR's centre tap alone carries nearly all of it.
    EXPECT_NEAR(10.0 * std::log10(heard / fed), 0.0, 0.5);
    EXPECT_TRUE(sandbox.messages().empty());
}

TEST_P(OfflineBounce, AChangeIsHeardFromThePartitionThatFirstCarriesIt) {
    auto unchanged = open();
    const stereo before = bounce(*unchanged);
    auto changed = open();
    const stereo with_change = bounce(*changed, change_at());
    auto from_start = open();
    from_start->set_parameter(15, kTwelveDecibels);
    from_start->flush();
    const stereo boosted = bounce(*from_start);

    const int b = heard_from();
    for (int t = 0; t < b; ++t) ASSERT_EQ(with_change.left[t], before.left[t]) << t;
    bool differs = false;
    for (int t = b; t < b + partition() && !differs; ++t) differs = with_change.left[t] != before.left[t];
    EXPECT_TRUE(differs) << "nothing changed in the partition's output";
    // That partition's output overlaps the old response's tail from the one
    // before; once the tail has left the output, the bounce is the one with
    // the change made before it began.
    for (int t = b + partition(); t < int(input.left.size()); ++t) {
        ASSERT_EQ(with_change.left[t], boosted.left[t]) << t;
        ASSERT_EQ(with_change.right[t], boosted.right[t]) << t;
    }
}

TEST_P(OfflineBounce, EveryBounceIsTheSameFreshOrAfterSuspendAndResume) {
    auto plugin = open();
    const stereo first = bounce(*plugin, change_at());
    EXPECT_EQ(bounce(*open(), change_at()).left, first.left);
    plugin->suspend();
    set_up(*plugin);
    plugin->resume();
    const stereo again = bounce(*plugin, change_at());
    EXPECT_EQ(again.left, first.left);
    EXPECT_EQ(again.right, first.right);
}

INSTANTIATE_TEST_SUITE_P(FirLengthsAndAnswers, OfflineBounce,
                         ::testing::Combine(::testing::Values(8192, 65536),
                                            ::testing::Values(VstIntPtr(kVstProcessLevelOffline), VstIntPtr(0))),
                         [](const ::testing::TestParamInfo<bounce_case>& info) {
                             return std::to_string(std::get<0>(info.param)) +
                                    (std::get<1>(info.param) == kVstProcessLevelOffline ? "_SaysOffline"
                                                                                        : "_SaysNothing");
                         });

}  // namespace
