// Audio through the instance: the dry path's latency and gain, block-size
// independence, in-place buffers, and the equalised response after a
// redesign.
#include <gtest/gtest.h>

#include <cmath>
#include <atomic>
#include <chrono>
#include <limits>
#include <string>
#include <thread>
#include <random>
#include <vector>

#include "plugin/tessvane_plugin.h"
#include "plugin_sandbox.h"

namespace {

struct stereo {
    explicit stereo(int n, float fill = 0.0f) : left(n, fill), right(n, fill) {}
    std::vector<float> left, right;
    float* channels[2];
    float** at(int offset) {
        channels[0] = left.data() + offset;
        channels[1] = right.data() + offset;
        return channels;
    }
};

class Audio : public ::testing::Test {
protected:
    Audio() {
        plugin.dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f);
        plugin.dispatch(effMainsChanged, 0, 1);
    }
    void set(int index, float value) { plugin.effect()->setParameter(plugin.effect(), index, value); }

    // Streams input through in blocks drawn by block_size(i).
    template <class BlockSize>
    stereo stream(const stereo& input, BlockSize block_size) {
        stereo output(static_cast<int>(input.left.size()));
        stereo in = input;
        int done = 0;
        for (int i = 0; done < static_cast<int>(input.left.size()); ++i) {
            const int n = std::min<int>(block_size(i), static_cast<int>(input.left.size()) - done);
            plugin.process(in.at(done), output.at(done), n);
            done += n;
        }
        return output;
    }

    settings_sandbox settings{"8192"};
    message_capture messages;
    plugin_instance plugin;
};

stereo noise(int n, unsigned seed) {
    stereo s(n);
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> d(-1.0f, 1.0f);
    for (int i = 0; i < n; ++i) {
        s.left[i] = d(rng);
        s.right[i] = d(rng);
    }
    return s;
}

}  // namespace

TEST_F(Audio, DryPathDelaysByTheLatencyAndAppliesTwiceTheGain) {
    set(1, 0.0f);
    stereo impulse(20000);
    impulse.left[0] = 1.0f;
    impulse.right[0] = -0.5f;
    set(0, 0.25f);
    const stereo out = stream(impulse, [](int) { return 512; });
    for (int i = 0; i < 20000; ++i) {
        EXPECT_EQ(out.left[i], i == 8192 ? 0.5f : 0.0f) << i;
        EXPECT_EQ(out.right[i], i == 8192 ? -0.25f : 0.0f) << i;
    }
}

TEST_F(Audio, DryPathIsTheSameForEveryBlockSize) {
    set(1, 0.0f);
    const stereo input = noise(140000, 1);
    const stereo by_1000 = stream(input, [](int) { return 1000; });
    plugin.dispatch(effMainsChanged, 0, 1);
    EXPECT_EQ(stream(input, [](int) { return 65536; }).left, by_1000.left);
    plugin.dispatch(effMainsChanged, 0, 1);
    std::mt19937 rng(7);
    EXPECT_EQ(stream(input, [&](int) { return 1 + static_cast<int>(rng() % 3000); }).right, by_1000.right);
    plugin.dispatch(effMainsChanged, 0, 1);
    const stereo short_input = noise(9000, 1);
    const stereo by_one = stream(short_input, [](int) { return 1; });
    for (int i = 0; i < 9000; ++i) ASSERT_EQ(by_one.left[i], by_1000.left[i]);
}

TEST_F(Audio, ZeroGainIsExactSilenceFilteredOrNot) {
    set(0, 0.0f);
    const stereo input = noise(30000, 2);
    for (float filters : {1.0f, 0.0f}) {
        set(1, filters);
        const stereo out = stream(input, [](int) { return 777; });
        for (int i = 0; i < 30000; ++i) ASSERT_TRUE(out.left[i] == 0.0f && out.right[i] == 0.0f);
    }
}

TEST_F(Audio, OversizedBlockIsSilentAndTouchesNothing) {
    set(1, 0.0f);
    stereo big(131073, 1.0f), out(131073, 3.0f);
    plugin.process(big.at(0), out.at(0), 131073);
    for (float v : out.left) ASSERT_EQ(v, 0.0f);
    // The largest accepted block is processed: its first samples come out
    // of the still untouched dry delay line as silence, the rest as input.
    stereo largest(131072, 1.0f), out2(131072, 3.0f);
    plugin.process(largest.at(0), out2.at(0), 131072);
    EXPECT_EQ(out2.left[8191], 0.0f);
    EXPECT_EQ(out2.left[8192], 1.0f);
    // Zero frames and null buffers write nothing.
    plugin.process(largest.at(0), out2.at(0), 0);
    plugin.effect()->processReplacing(plugin.effect(), nullptr, nullptr, 64);
}

TEST_F(Audio, ResumeSilencesTheDryPath) {
    set(1, 0.0f);
    const stereo input = noise(20000, 3);
    stream(input, [](int) { return 4096; });
    plugin.dispatch(effMainsChanged, 0, 0);
    plugin.dispatch(effMainsChanged, 0, 1);
    const stereo out = stream(input, [](int) { return 4096; });
    for (int i = 0; i < 8192; ++i) ASSERT_EQ(out.left[i], 0.0f) << i;
    EXPECT_EQ(out.left[8192], input.left[0]);
}

TEST_F(Audio, InPlaceBuffersGiveTheSameResultAsSeparateOnes) {
    set(12, 1.0f);  // a peak band, so that the response is more than a delay
    set(15, 0.8f);
    settled_impulse_response(plugin, 4096);
    // Whole engine blocks (2048 samples at N = 8192), so both streams start
    // at the same block phase, each from a resume.
    const stereo input = noise(10 * 4096, 4);
    plugin.dispatch(effMainsChanged, 0, 1);
    const stereo separate = stream(input, [](int) { return 333; });
    plugin.dispatch(effMainsChanged, 0, 1);
    stereo in_place = input;
    for (int done = 0; done < 10 * 4096; done += 333) {
        const int n = std::min(333, 10 * 4096 - done);
        plugin.process(in_place.at(done), in_place.at(done), n);
    }
    EXPECT_EQ(in_place.left, separate.left);
    EXPECT_NE(separate.left[20000], 0.0f);
}

TEST_F(Audio, PeakBandMeasuresItsGainAtItsFrequency) {
    set(12, 1.0f);      // band 3 on
    set(14, 0.5f);      // 1805.99 Hz
    set(15, 0.90309f);  // +12 dB
    const double gain_db = std::stod(plugin.text_of(effGetParamDisplay, 15));
    EXPECT_NEAR(gain_db, 12.0, 0.01);
    const std::vector<float> h = settled_impulse_response(plugin, 3 * 8192);
    EXPECT_NEAR(magnitude_db(h, 1805.99, 44100.0), gain_db, 0.2);
    // A Q of 1 still lifts two octaves away by well under a decibel.
    EXPECT_NEAR(magnitude_db(h, 1805.99 / 4, 44100.0), 0.0, 1.0);
    EXPECT_NEAR(magnitude_db(h, 1805.99 * 4, 44100.0), 0.0, 1.0);

    // Linear phase: centred on the full latency and symmetric about it.
    int peak = 0;
    for (int i = 0; i < static_cast<int>(h.size()); ++i)
        if (std::abs(h[i]) > std::abs(h[peak])) peak = i;
    EXPECT_EQ(peak, 8192);
    for (int k = 1; k < 200; ++k) EXPECT_NEAR(h[8192 + k], h[8192 - k], 2e-3) << k;
}

TEST_F(Audio, LowCutIsAboutSixDecibelsDownAtItsCorner) {
    set(2, 1.0f);
    set(3, 0.75f);     // HiPass
    set(4, 0.5f);      // 1805.99 Hz
    set(6, 0.42474f);  // Q = 10^(2x)/10 = 0.707
    const std::vector<float> h = settled_impulse_response(plugin, 3 * 8192);
    EXPECT_NEAR(magnitude_db(h, 1805.99, 44100.0), -6.0, 0.5);
    EXPECT_LT(magnitude_db(h, 200.0, 44100.0), -30.0);
    EXPECT_NEAR(magnitude_db(h, 10000.0, 44100.0), 0.0, 0.3);
}

TEST_F(Audio, BurstOfChangesGivesExactlyOneDesign) {
    const dsp::linear_phase_eq& engine = *object_of(plugin.effect()).engine();
    wait_until_settled(plugin.effect());
    // Changes for 20 ms, well inside the worker's pause after its wake-up. Timed
    // by the clock, not by sleeps: a short sleep can last 16 ms on Windows. A
    // burst that a loaded machine stretched towards the pause may rightly give
    // two designs, so it is made again.
    for (int attempt = 0;; ++attempt) {
        const int designs = engine.designs();
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; std::chrono::steady_clock::now() < start + std::chrono::milliseconds(20); ++i) {
            set(9, 0.3f + 0.001f * static_cast<float>(i % 100));
            std::this_thread::yield();
        }
        const bool inside_pause = std::chrono::steady_clock::now() < start + std::chrono::milliseconds(45);
        wait_until_settled(plugin.effect());
        if (inside_pause || attempt == 9) {
            EXPECT_EQ(engine.designs(), designs + 1);
            break;
        }
    }

    const int passes = engine.passes();
    set(0, 0.7f);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_EQ(engine.passes(), passes);
}

TEST_F(Audio, HostileParameterValuesKeepTheOutputFinite) {
    const float hostile[] = {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                             -std::numeric_limits<float>::infinity(), -2.0f, 3.0f};
    for (float v : hostile) {
        for (int i = 0; i < 27; ++i)
            if (i != 1) set(i, (i - 2) % 5 == 0 ? 1.0f : v);
        const std::vector<float> h = settled_impulse_response(plugin, 2 * 8192);
        for (float s : h) ASSERT_TRUE(std::isfinite(s)) << v;
    }
}

// The host's answer to the process level for the scope's life.
class answered_process_level {
public:
    explicit answered_process_level(VstIntPtr level) { the_host.process_level = level; }
    ~answered_process_level() { the_host.process_level = 0; }
    answered_process_level(const answered_process_level&) = delete;
    answered_process_level& operator=(const answered_process_level&) = delete;
};

TEST_F(Audio, StreamingWhileRedesigningEndsWithTheLatestResponseInRealTimeAndOffline) {
    set(12, 1.0f);
    for (VstIntPtr level : {kVstProcessLevelRealtime, kVstProcessLevelOffline}) {
        const answered_process_level answered(level);
        std::atomic<bool> done{false};
        std::thread knob([&] {
            for (int i = 0; !done; ++i) {
                set(14, 0.3f + 0.4f * float(i % 100) / 100.0f);
                set(15, 0.6f + 0.3f * float(i % 37) / 37.0f);
                std::this_thread::sleep_for(std::chrono::milliseconds(3));
            }
        });
        const stereo input = noise(48000 * 3, 5);
        const stereo out = stream(input, [](int) { return 64; });
        done = true;
        knob.join();
        for (int i = 0; i < static_cast<int>(out.left.size()); ++i) ASSERT_TRUE(std::isfinite(out.left[i]));

        set(14, 0.5f);
        set(15, 0.88f);
        const double expected = std::stod(plugin.text_of(effGetParamDisplay, 15));
        EXPECT_NEAR(magnitude_db(settled_impulse_response(plugin, 3 * 8192), 1805.99, 44100.0), expected, 0.2);
    }
}

// A host that says it plays in real time never gets a design on its audio
// thread, however fast it delivers blocks; one that says offline does, and
// so does one that answers nothing sensible but delivers faster than real
// time.
TEST_F(Audio, OnlyOfflineOrFastUnsaidHostsGetDesignsOnTheAudioThread) {
    const dsp::linear_phase_eq& engine = *object_of(plugin.effect()).engine();
    set(12, 1.0f);
    const stereo input = noise(6 * 4096, 6);
    for (VstIntPtr level : {VstIntPtr(1), VstIntPtr(2), VstIntPtr(3)}) {
        const answered_process_level answered(level);
        for (int change = 0; change < 3; ++change) {
            set(15, 0.6f + 0.1f * float(change));
            stream(input, [](int) { return 256; });
        }
        wait_until_settled(plugin.effect());
        EXPECT_EQ(engine.designs_in_process(), 0) << level;
    }
    // The block that completes an engine block designs, unless the worker's
    // pause ended first; in ten tries it cannot always have.
    for (VstIntPtr level : {VstIntPtr(kVstProcessLevelOffline), VstIntPtr(0), VstIntPtr(-1), VstIntPtr(99)}) {
        const answered_process_level answered(level);
        const int before = engine.designs_in_process();
        plugin.dispatch(effMainsChanged, 0, 1);
        stream(input, [](int) { return 256; });  // more than 250 ms of quick blocks
        for (int change = 0; change < 10 && engine.designs_in_process() == before; ++change) {
            set(15, 0.6f + 0.03f * float(change));
            stream(input, [](int) { return 256; });
        }
        EXPECT_GT(engine.designs_in_process(), before) << level;
    }
}

// A host that answers 0 but plays to a device: each block at its deadline,
// after a prefill burst of 8 blocks, with now and then a late block and two
// quick ones to catch up. It is never taken for offline.
TEST_F(Audio, APacedHostThatDoesNotSayIsNeverTakenForOffline) {
    const dsp::linear_phase_eq& engine = *object_of(plugin.effect()).engine();
    const answered_process_level answered(0);
    set(12, 1.0f);
    constexpr int frames = 512;
    const auto period = std::chrono::microseconds(frames * 1000000LL / 44100);
    stereo in(frames), out(frames);
    auto deadline = std::chrono::steady_clock::now();
    for (int block = 0; block < 240; ++block) {
        if (block % 20 == 10) set(15, 0.5f + 0.002f * float(block));
        plugin.process(in.at(0), out.at(0), frames);
        if (block < 8) continue;  // the prefill burst
        // Every 50th block is late by one period, and the two after it are quick.
        if (block % 50 == 20) deadline += period;
        if (block % 50 == 21 || block % 50 == 22) continue;
        deadline = std::max(deadline + period, std::chrono::steady_clock::now());
        std::this_thread::sleep_until(deadline);
    }
    EXPECT_EQ(engine.designs_in_process(), 0);
}

TEST(AudioShutdown, DestroyingDuringALongDesignWaitsForIt) {
    settings_sandbox settings("65536");
    message_capture messages;
    for (int round = 0; round < 3; ++round) {
        plugin_instance plugin;
        plugin.effect()->setParameter(plugin.effect(), 12, 1.0f);
        std::this_thread::sleep_for(std::chrono::milliseconds(55 + 3 * round));
    }
    EXPECT_TRUE(messages.messages().empty());
}
