// What the engine computes: the delayed convolution, however the host cuts
// its blocks, and when a new response or a cleared history takes effect.
#include <gtest/gtest.h>

#include <algorithm>
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

using access = partitioned_convolver_test_access;

// A response and the first job that uses it: a load while block k is
// collected serves from block k's job on.
struct load_point {
    long long first_job;
    const signal_set* firs;
};

// Direct convolution in double precision, delayed by the latency. The
// product of input sample i and tap t is the job's of block i/b + t/b, and
// comes from the response that job used: so the first block after a swap
// mixes the old response's tail with the new one. Skips the zeros of a
// sparse input.
std::vector<double> expected_output(const std::vector<float>& input, const std::vector<load_point>& loads, int channel,
                                    int block, int latency) {
    std::vector<double> output(input.size(), 0.0);
    const std::size_t taps = (*loads[0].firs)[channel].size();
    for (std::size_t i = 0; i < input.size(); ++i) {
        if (input[i] == 0.0f) continue;
        for (std::size_t first = 0; first < taps; first += block) {
            const long long job = static_cast<long long>(i / block + first / block);
            const load_point* in_use = &loads[0];
            for (const load_point& l : loads)
                if (l.first_job <= job) in_use = &l;
            const std::vector<float>& fir = (*in_use->firs)[channel];
            for (std::size_t k = first; k < first + block && i + latency + k < output.size(); ++k)
                output[i + latency + k] += static_cast<double>(input[i]) * fir[k];
        }
    }
    return output;
}

double relative_rms_error(const std::vector<float>& got, const std::vector<double>& want) {
    double error = 0.0, energy = 0.0;
    for (std::size_t t = 0; t < want.size(); ++t) {
        error += (got[t] - want[t]) * (got[t] - want[t]);
        energy += want[t] * want[t];
    }
    return std::sqrt(error / energy);
}

struct fir_length_case {
    int fir_length;
    int latencies;   // of input
    double density;  // of the input, so that the reference stays cheap
};

class ConvolverPerFirLength : public ::testing::TestWithParam<fir_length_case> {
protected:
    void SetUp() override { dsp_init_dispatch(); }
};

TEST_P(ConvolverPerFirLength, MatchesDirectConvolutionDelayedByTheLatencyForRandomHostBlocksAndLoadsMidStream) {
    const auto [fir_length, latencies, density] = GetParam();
    partitioned_convolver engine(2, fir_length);
    const int block = engine.block_length(), latency = engine.latency();
    ASSERT_EQ(latency, fir_length / 2);
    const signal_set firs[] = {random_signals(2, fir_length, 1), random_signals(2, fir_length, 2),
                               random_signals(2, fir_length, 3)};
    // A partial block at the end leaves samples waiting in the engine.
    const signal_set input = random_signals(2, std::size_t(latencies) * latency + block / 2 + 1, 4, density);
    const std::size_t length = input[0].size();

    // The second and third responses load a quarter into the blocks at a
    // third and two thirds of the input, while both channels' products of
    // the job under way are still to come; a call that would pass the point
    // is cut there.
    std::vector<load_point> loads = {{0, &firs[0]}};
    load(engine, firs[0]);
    const auto load_point_at = [&](std::size_t part) { return part * length / 3 / block * block + block / 4 + 1; };
    std::mt19937 random(5);
    std::uniform_int_distribution<int> host_block(1, 3 * latency);
    signal_set output(2, std::vector<float>(length, 0.0f));
    for (std::size_t fed = 0; fed < length;) {
        const std::size_t next_load = loads.size() < 3 ? load_point_at(loads.size()) : length;
        const std::size_t end = std::min({length, next_load, fed + host_block(random)});
        convolve_span(engine, input, output, fed, end, [&] { return int(end - fed); });
        fed = end;
        if (loads.size() < 3 && fed == next_load) {
            load(engine, firs[loads.size()]);
            loads.push_back({static_cast<long long>(fed / block), &firs[loads.size()]});
        }
    }
    ASSERT_EQ(loads.size(), 3u);

    for (int ch = 0; ch < 2; ++ch)
        EXPECT_LE(relative_rms_error(output[ch], expected_output(input[ch], loads, ch, block, latency)), 1e-6)
            << "channel " << ch;
}

TEST_P(ConvolverPerFirLength, EveryCallWorksInProportionToItsSamplesAndEachJobEndsBeforeItsOutputIsRead) {
    const int fir_length = GetParam().fir_length;
    partitioned_convolver engine(2, fir_length);
    const int block = engine.block_length(), latency = engine.latency();
    load(engine, random_signals(2, fir_length, 6));
    const signal_set input = random_signals(2, std::size_t(GetParam().latencies) * latency, 7);

    // Host blocks from 1 to 3L, the small ones as likely as the large.
    std::mt19937 random(8);
    std::uniform_real_distribution<double> log_size(0.0, std::log(3.0 * latency));
    signal_set output(2, std::vector<float>(input[0].size()));
    long long fed = 0;
    while (fed < static_cast<long long>(input[0].size())) {
        const auto n = std::min<long long>(std::llround(std::exp(log_size(random))), input[0].size() - fed);
        const long long done_before = access::units_done(engine);
        convolve_span(engine, input, output, fed, fed + n, [&] { return int(n); });
        fed += n;
        const long long units = access::units_per_job(engine), done = access::units_done(engine);
        ASSERT_LE(done - done_before, (units * n + block - 1) / block + 1) << "a call of " << n << " at " << fed;
        // Block k's output is first read at sample k b + L.
        const long long jobs_read = std::max(0LL, (fed - latency + block - 1) / block);
        ASSERT_GE(done, jobs_read * units) << "after sample " << fed;
    }
}

INSTANTIATE_TEST_SUITE_P(FirLengths, ConvolverPerFirLength,
                         ::testing::Values(fir_length_case{4, 400, 1.0}, fir_length_case{512, 24, 1.0},
                                           fir_length_case{8192, 8, 0.02}, fir_length_case{65536, 6, 0.001},
                                           fir_length_case{131072, 5, 0.0005}),
                         [](const auto& info) { return std::to_string(info.param.fir_length) + "taps"; });

TEST_F(PartitionedConvolver, AnImpulseAfterLoadingComesOutAsTheResponseDelayedByTheLatency) {
    partitioned_convolver engine(2, 512);
    ASSERT_EQ(engine.block_length(), 128);
    ASSERT_EQ(engine.latency(), 256);
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
    constexpr int fir_length = 512, block = 128, latency = 256;
    const signal_set old_fir = random_signals(2, fir_length, 10), new_fir = random_signals(2, fir_length, 11);
    const signal_set input = random_signals(2, 16 * block, 12);
    partitioned_convolver engine(2, fir_length), old_only(2, fir_length), new_only(2, fir_length);
    ASSERT_EQ(engine.block_length(), block);
    load(engine, old_fir);
    load(old_only, old_fir);
    load(new_only, new_fir);
    const signal_set old_output = convolve_all(old_only, input, whole_calls_of(100));
    const signal_set new_output = convolve_all(new_only, input, whole_calls_of(100));

    // Load in the middle of block 3: blocks 0 to 2 are convolved with the
    // old response, block 3 onwards with the new one.
    signal_set output(2, std::vector<float>(16 * block));
    convolve_span(engine, input, output, 0, 3 * block + 100, whole_calls_of(100));
    load(engine, new_fir);
    convolve_span(engine, input, output, 3 * block + 100, 16 * block, whole_calls_of(100));

    for (int ch = 0; ch < 2; ++ch) {
        // Block k's output starts at k b + L and overlaps block k + 1's.
        for (int t = 0; t < 3 * block + latency; ++t) ASSERT_EQ(output[ch][t], old_output[ch][t]) << "sample " << t;
        for (int t = 4 * block + latency; t < 16 * block; ++t)
            ASSERT_EQ(output[ch][t], new_output[ch][t]) << "sample " << t;
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
