// What the engine computes: the delayed convolution, however the host cuts
// its blocks, and when a new response or a cleared history takes effect.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <stdexcept>

#include "dsp/dsp.h"
#include "engine_signals.h"

using namespace dsp;

namespace {

class PartitionedConvolver : public ::testing::Test {
protected:
    void SetUp() override { dsp_init_dispatch(); }
};

auto whole_calls_of(int count) {
    return [count] { return count; };
}

// Direct convolution in double precision, delayed by one block; skips the
// zeros of a sparse input.
std::vector<double> delayed_convolution(const std::vector<float>& input, const std::vector<float>& fir, int delay) {
    std::vector<double> output(input.size(), 0.0);
    for (std::size_t i = 0; i < input.size(); ++i) {
        if (input[i] == 0.0f) continue;
        for (std::size_t k = 0; k < fir.size() && i + delay + k < output.size(); ++k)
            output[i + delay + k] += static_cast<double>(input[i]) * fir[k];
    }
    return output;
}

struct brute_force_case {
    int fir_length;
    int blocks;      // engine blocks of input
    double density;  // of the input, so that the reference stays cheap
};

class ConvolverAgainstBruteForce : public ::testing::TestWithParam<brute_force_case> {
protected:
    void SetUp() override { dsp_init_dispatch(); }
};

TEST_P(ConvolverAgainstBruteForce, MatchesDirectConvolutionDelayedByOneBlockForRandomHostBlockSizes) {
    const auto [fir_length, blocks, density] = GetParam();
    partitioned_convolver engine(2, fir_length);
    const int block = engine.block_length();
    const signal_set firs = random_signals(2, fir_length, 1);
    load(engine, firs);
    // A partial block at the end leaves samples waiting in the engine.
    const signal_set input = random_signals(2, static_cast<std::size_t>(blocks) * block + block / 2 + 1, 2, density);

    std::mt19937 random(3);
    std::uniform_int_distribution<int> host_block(1, 3 * block);
    const signal_set output = convolve_all(engine, input, [&] { return host_block(random); });

    for (int ch = 0; ch < 2; ++ch) {
        const std::vector<double> expected = delayed_convolution(input[ch], firs[ch], block);
        double energy = 0.0, worst = 0.0;
        for (std::size_t t = 0; t < expected.size(); ++t) {
            energy += expected[t] * expected[t];
            worst = std::max(worst, std::abs(output[ch][t] - expected[t]));
        }
        const double rms = std::sqrt(energy / static_cast<double>(expected.size()));
        EXPECT_LE(worst, 1e-4 * rms) << "channel " << ch;
    }
}

INSTANTIATE_TEST_SUITE_P(FirLengths, ConvolverAgainstBruteForce,
                         ::testing::Values(brute_force_case{4, 200, 1.0}, brute_force_case{512, 12, 1.0},
                                           brute_force_case{8192, 6, 0.02}, brute_force_case{65536, 4, 0.001}),
                         [](const auto& info) { return std::to_string(info.param.fir_length) + "taps"; });

TEST_F(PartitionedConvolver, AnImpulseAfterLoadingComesOutAsTheResponseDelayedByOneBlock) {
    partitioned_convolver engine(2, 512);
    ASSERT_EQ(engine.block_length(), 256);
    ASSERT_EQ(engine.fir_length(), 512);
    const signal_set fir = random_signals(2, 512, 4);
    load(engine, fir);
    signal_set impulse(2, std::vector<float>(3 * 512, 0.0f));
    impulse[0][0] = impulse[1][0] = 1.0f;

    const signal_set output = convolve_all(engine, impulse, whole_calls_of(100));

    for (int ch = 0; ch < 2; ++ch)
        for (int t = 0; t < 3 * 512; ++t) {
            const float expected = (t >= 256 && t < 256 + 512) ? fir[ch][t - 256] : 0.0f;
            ASSERT_NEAR(output[ch][t], expected, 1e-6) << "channel " << ch << " sample " << t;
        }
}

TEST_F(PartitionedConvolver, OutputIsSilentBeforeAnyLoad) {
    partitioned_convolver engine(2, 64);
    const signal_set output = convolve_all(engine, random_signals(2, 1000, 5), whole_calls_of(77));
    for (const auto& channel : output)
        for (float sample : channel) ASSERT_EQ(sample, 0.0f);
}

TEST_F(PartitionedConvolver, FeedingOneSampleAtATimeEqualsOneCall) {
    partitioned_convolver whole(2, 64), by_sample(2, 64);
    const signal_set fir = random_signals(2, 64, 6);
    load(whole, fir);
    load(by_sample, fir);
    const signal_set input = random_signals(2, 5 * 32 + 7, 7);

    const signal_set expected = convolve_all(whole, input, whole_calls_of(5 * 32 + 7));
    // Calls of no samples in between must change nothing.
    int call = 0;
    const signal_set output = convolve_all(by_sample, input, [&] { return call++ % 3 == 2 ? 0 : 1; });

    EXPECT_EQ(output, expected);
}

TEST_F(PartitionedConvolver, AnOutputMayBeItsOwnInput) {
    partitioned_convolver separate(2, 64), in_place(2, 64);
    const signal_set fir = random_signals(2, 64, 8);
    load(separate, fir);
    load(in_place, fir);
    signal_set samples = random_signals(2, 300, 9);

    const signal_set expected = convolve_all(separate, samples, whole_calls_of(45));
    convolve_span(in_place, samples, samples, 0, 300, whole_calls_of(45));

    EXPECT_EQ(samples, expected);
}

TEST_F(PartitionedConvolver, ALoadWhileStreamingTakesEffectAtTheNextCompletedBlockAndNeverMidBlock) {
    constexpr int block = 256;
    const signal_set old_fir = random_signals(2, 2 * block, 10), new_fir = random_signals(2, 2 * block, 11);
    const signal_set input = random_signals(2, 8 * block, 12);
    partitioned_convolver engine(2, 2 * block), old_only(2, 2 * block), new_only(2, 2 * block);
    load(engine, old_fir);
    load(old_only, old_fir);
    load(new_only, new_fir);
    const signal_set old_output = convolve_all(old_only, input, whole_calls_of(100));
    const signal_set new_output = convolve_all(new_only, input, whole_calls_of(100));

    // Load in the middle of block 3: blocks 0 to 2 were convolved with the
    // old response, block 3 onwards with the new one.
    signal_set output(2, std::vector<float>(8 * block));
    convolve_span(engine, input, output, 0, 3 * block + 100, whole_calls_of(100));
    load(engine, new_fir);
    convolve_span(engine, input, output, 3 * block + 100, 8 * block, whole_calls_of(100));

    for (int ch = 0; ch < 2; ++ch) {
        // Output of period k comes from blocks k - 1 and k - 2.
        for (int t = 0; t < 4 * block; ++t) ASSERT_EQ(output[ch][t], old_output[ch][t]) << "sample " << t;
        for (int t = 5 * block; t < 8 * block; ++t) ASSERT_EQ(output[ch][t], new_output[ch][t]) << "sample " << t;
    }
}

TEST_F(PartitionedConvolver, ClearHistorySilencesTheEngineAndKeepsThePhaseOfTheBlocks) {
    constexpr int block = 32;
    const signal_set fir = random_signals(2, 2 * block, 13);
    partitioned_convolver engine(2, 2 * block), fresh(2, 2 * block);
    load(engine, fir);
    load(fresh, fir);
    convolve_all(engine, random_signals(2, 2 * block + 5, 14), whole_calls_of(block));

    engine.clear_history();

    const signal_set silence(2, std::vector<float>(3 * block, 0.0f));
    EXPECT_EQ(convolve_all(engine, silence, whole_calls_of(7)), silence);
    // The engine is 5 samples into a block, like a new engine fed 5 samples.
    convolve_all(fresh, signal_set(2, std::vector<float>(5, 0.0f)), whole_calls_of(5));
    const signal_set input = random_signals(2, 6 * block, 15);
    EXPECT_EQ(convolve_all(engine, input, whole_calls_of(11)), convolve_all(fresh, input, whole_calls_of(11)));
}

TEST_F(PartitionedConvolver, ALoadOfAnotherLengthFailsWithStaticBlockLengthAndKeepsTheActiveResponse) {
    partitioned_convolver engine(2, 64), reference(2, 64);
    const signal_set fir = random_signals(2, 64, 16);
    load(engine, fir);
    load(reference, fir);
    const signal_set other = random_signals(2, 128, 17);

    for (int length : {63, 32, 128, 0}) {
        try {
            engine.load_response(pointers_to(other).data(), length);
            FAIL() << "length " << length << " was accepted";
        } catch (const std::runtime_error& e) {
            EXPECT_STREQ(e.what(), "Static block length");
        }
    }

    const signal_set input = random_signals(2, 200, 18);
    EXPECT_EQ(convolve_all(engine, input, whole_calls_of(50)), convolve_all(reference, input, whole_calls_of(50)));
}

}  // namespace
