// The equaliser engine driven directly, with no host: the dry path's delay
// and gain, the filtered path against brute-force convolution with the FIR
// the bands design, oversized blocks, reset, and an engine that never
// started. Every case runs at several FIR lengths with random block sizes.
#include "dsp/linear_phase_eq.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <random>
#include <thread>

#include "dsp/dsp.h"
#include "dsp/host_pace.h"
#include "engine_signals.h"

namespace {

using dsp::linear_phase_eq;

struct failures_seen {
    std::vector<std::string> texts;
    dsp::failure_sink sink() {
        return [this](const std::string& text, dsp::failure_stage) { texts.push_back(text); };
    }
};

class LinearPhaseEq : public ::testing::TestWithParam<int> {
protected:
    LinearPhaseEq() {
        dsp_init_dispatch();
        eq.start(fir_length(), 4096);
    }
    ~LinearPhaseEq() override { EXPECT_TRUE(failures.texts.empty()); }

    int fir_length() const { return GetParam(); }
    void wait_until_settled() {
        const auto give_up = std::chrono::steady_clock::now() + std::chrono::minutes(1);
        while (!eq.settled() && std::chrono::steady_clock::now() < give_up)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        ASSERT_TRUE(eq.settled());
    }
    // Random host blocks of 1 to 3000 samples.
    signal_set run(const signal_set& input, unsigned seed) {
        std::mt19937 random(seed);
        signal_set output(2, std::vector<float>(input[0].size()));
        for (std::size_t done = 0; done < input[0].size();) {
            const auto n = std::min<std::size_t>(1 + random() % 3000, input[0].size() - done);
            eq.process(pointers_to(input, done).data(), pointers_to(output, done).data(), static_cast<int>(n));
            done += n;
        }
        return output;
    }

    failures_seen failures;
    linear_phase_eq eq{0.5f, 1.0f, failures.sink()};
};

TEST_P(LinearPhaseEq, DryPathIsTheInputDelayedByTheLatencyAtTwiceTheGainFromWhenTheFiltersGoOff) {
    eq.set_gain(0.25f);
    const int latency = eq.latency();
    ASSERT_EQ(latency, fir_length());
    // Filters on for the first samples: the dry path keeps step meanwhile.
    const std::size_t switch_at = std::size_t(latency) / 2 + 7;
    const signal_set input = random_signals(2, 3 * static_cast<std::size_t>(fir_length()), 1);
    signal_set before(2), after(2);
    for (int ch = 0; ch < 2; ++ch) {
        before[ch].assign(input[ch].begin(), input[ch].begin() + switch_at);
        after[ch].assign(input[ch].begin() + switch_at, input[ch].end());
    }
    run(before, 2);
    eq.set_filters(0.0f);
    const signal_set output = run(after, 3);
    for (int ch = 0; ch < 2; ++ch)
        for (std::size_t t = switch_at; t < input[ch].size(); ++t)
            ASSERT_EQ(output[ch][t - switch_at], t < std::size_t(latency) ? 0.0f : 0.5f * input[ch][t - latency]) << t;
}

TEST_P(LinearPhaseEq, FilteredPathIsTheDesignedFirAppliedAfterHalfTheLatency) {
    const dsp::band_values peak{1.0f, 0.45f, 0.85f, 0.6f, 0.0f};
    eq.set_band(2, peak);
    wait_until_settled();
    eq.reset();
    // The same bands designed apart: the engine must apply exactly that FIR.
    dsp::fir_cascaded_biquad design(dsp::band_count, 44100, 2);
    design.apply_band(2, peak);
    signal_set fir(2, std::vector<float>(fir_length()));
    design.design_fir(pointers_to(fir).data(), fir_length());

    const signal_set input = random_signals(2, 3 * static_cast<std::size_t>(fir_length()), 3);
    const signal_set output = run(input, 4);
    const int delay = fir_length() / 2;
    for (int ch = 0; ch < 2; ++ch) {
        double error = 0.0, power = 0.0;
        for (std::size_t t = 0; t < output[ch].size(); ++t) {
            double expected = 0.0;
            for (int k = 0; k < fir_length() && k + delay <= int(t); ++k)
                expected += fir[ch][k] * input[ch][t - delay - k];
            error += (output[ch][t] - expected) * (output[ch][t] - expected);
            power += expected * expected;
        }
        EXPECT_LT(std::sqrt(error / power), 1e-5) << ch;
    }
    EXPECT_GE(eq.designs(), 1);
}

TEST_P(LinearPhaseEq, BlocksLongerThanTheLargestAreSilentAndResetSilencesTheHistory) {
    eq.set_filters(0.0f);
    signal_set loud(2, std::vector<float>(4097, 1.0f)), out(2, std::vector<float>(4097, 3.0f));
    eq.process(pointers_to(loud).data(), pointers_to(out).data(), 4097);
    for (float v : out[0]) ASSERT_EQ(v, 0.0f);
    eq.process(pointers_to(loud).data(), pointers_to(out).data(), 4096);
    eq.reset();
    signal_set quiet(2, std::vector<float>(2 * fir_length(), 0.0f));
    const signal_set after = run(quiet, 5);
    for (float v : after[0]) ASSERT_EQ(v, 0.0f);
}

TEST_P(LinearPhaseEq, AnEngineThatNeverStartedIsSilentAndStillReadsItsBands) {
    linear_phase_eq idle(0.5f, 1.0f, failures.sink());
    idle.set_band(4, {1.0f, 1.0f, 0.5f, 0.5f, 0.0f});
    EXPECT_EQ(idle.read_band(4).frequency, 22000.0f);
    EXPECT_TRUE(idle.settled());
    signal_set loud(2, std::vector<float>(64, 1.0f)), out(2, std::vector<float>(64, 3.0f));
    idle.process(pointers_to(loud).data(), pointers_to(out).data(), 64);
    for (float v : out[1]) ASSERT_EQ(v, 0.0f);
}

// A stalled analyser loses its own samples and nothing else: the output is
// the same bit for bit as an engine's without one, the ring holds the whole
// blocks that fitted (the channels' means) and counts the others as dropped.
TEST_P(LinearPhaseEq, AStalledAnalyserDropsItsOwnSamplesAndNothingElse) {
    linear_phase_eq unwatched(0.5f, 1.0f, failures.sink());
    unwatched.start(fir_length(), 4096);
    constexpr int block = 1000, blocks = 40;
    const signal_set input = random_signals(2, std::size_t(block) * blocks, 6);
    signal_set heard(2, std::vector<float>(input[0].size())), reference = heard;
    eq.analyser().set_wanted(true);
    for (linear_phase_eq* engine : {&eq, &unwatched}) {
        engine->set_filters(0.0f);
        signal_set& output = engine == &eq ? heard : reference;
        for (std::size_t done = 0; done < input[0].size(); done += block)
            engine->process(pointers_to(input, done).data(), pointers_to(output, done).data(), block);
    }
    EXPECT_EQ(heard, reference);
    EXPECT_FALSE(unwatched.analyser().wanted());

    constexpr int fitted = dsp::analyser_ring::capacity / block * block;
    EXPECT_EQ(eq.analyser().dropped(), std::uint64_t(block) * blocks - fitted);
    std::vector<float> output(dsp::analyser_ring::capacity), in(output.size());
    ASSERT_EQ(eq.analyser().read(output.data(), in.data(), int(output.size())), fitted);
    for (std::size_t t = 0; t < std::size_t(fitted); ++t) {
        ASSERT_EQ(output[t], 0.5f * (heard[0][t] + heard[1][t])) << t;
        ASSERT_EQ(in[t], 0.5f * (input[0][t] + input[1][t])) << t;
    }
}

INSTANTIATE_TEST_SUITE_P(FirLengths, LinearPhaseEq, ::testing::Values(512, 2048),
                         [](const ::testing::TestParamInfo<int>& info) { return std::to_string(info.param); });

TEST(MidSideEngine, AChangeRedesignsOnlyTheFirsHoldingItsBand) {
    dsp_init_dispatch();
    failures_seen failures;
    linear_phase_eq eq{0.5f, 1.0f, failures.sink(), dsp::stereo_coding::mid_side};
    eq.start(512, 4096);
    eq.set_placement(1, dsp::place_mid);
    eq.set_placement(3, dsp::place_side);
    eq.reset();
    // A band's values changed where it is, or the band moved; and the mid and side FIRs that redesigns.
    struct change {
        int band;
        dsp::placement where;
        int mid, side;
    };
    for (const change c : {change{1, dsp::place_mid, 1, 0}, change{3, dsp::place_side, 0, 1},
                           change{2, dsp::place_stereo, 1, 1}, change{1, dsp::place_side, 1, 1}}) {
        const int mid = eq.channel_designs(0), side = eq.channel_designs(1);
        if (eq.placement_of_band(c.band) == c.where)
            eq.set_band(c.band, {1.0f, 0.3f, 0.8f, 0.5f, 0.0f});
        else
            eq.set_placement(c.band, c.where);
        // Whoever takes the request, the worker or the reset, designs once.
        eq.reset();
        EXPECT_EQ(eq.channel_designs(0) - mid, c.mid) << c.band;
        EXPECT_EQ(eq.channel_designs(1) - side, c.side) << c.band;
    }
    EXPECT_TRUE(failures.texts.empty());
}

// The pace rule on its own, at several host blocks: clock readings made up,
// so the verdicts are exact.
class HostPace : public ::testing::TestWithParam<int> {
protected:
    int frames() const { return GetParam(); }
    // One block that took `share` of its audio's duration to arrive.
    bool block(double share) {
        now += std::chrono::nanoseconds(static_cast<long long>(share * frames() * 1e9 / rate));
        return pace.offline_after(now, frames(), rate);
    }
    static constexpr int rate = 48000;
    dsp::host_pace pace;
    dsp::host_pace::clock::time_point now{};
};

TEST_P(HostPace, AFastHostIsOfflineOnceTheWindowIsLongEnoughAndStaysSoThroughASlowBlock) {
    // 250 ms of audio in at least 24 blocks; blocks shorter than 250 ms / 512
    // need more than the history holds, and so are never judged offline.
    const int window = std::max<int>(dsp::host_pace::least_blocks, std::ceil(0.25 * rate / frames()));
    const bool fits = window <= 512;
    for (int i = 0; i < window; ++i) ASSERT_FALSE(block(0.3)) << "block " << i;
    EXPECT_EQ(block(0.3), fits);
    EXPECT_EQ(block(2.0), fits);
    for (int i = 0; i < 3 * window; ++i) block(0.3);
    pace.reset();
    EXPECT_FALSE(block(0.3));
}

TEST_P(HostPace, AHostPlayingToADeviceIsNeverOfflineThroughPrefillAndCatchingUp) {
    for (int i = 0; i < 8; ++i) ASSERT_FALSE(block(0.0));
    for (int i = 0; i < 4000; ++i) {
        // Every 50 blocks one arrives a period late and two catch up.
        const double share = i % 50 == 0 ? 2.0 : i % 50 <= 2 ? 0.5 : 1.0;
        ASSERT_FALSE(block(share)) << "block " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(HostBlocks, HostPace, ::testing::Values(16, 32, 64, 256, 4096),
                         [](const ::testing::TestParamInfo<int>& info) { return std::to_string(info.param); });

}  // namespace
