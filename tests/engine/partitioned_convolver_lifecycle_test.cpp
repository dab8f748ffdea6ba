// Construction, its failures, destruction and the threads that meet in the
// engine.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <random>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>

#include "dsp/dsp.h"
#include "engine_signals.h"
#include "platform/fault_injection.h"

using namespace dsp;

namespace {

using access = partitioned_convolver_test_access;

class PartitionedConvolverLifecycle : public ::testing::Test {
protected:
    void SetUp() override { dsp_init_dispatch(); }
    void TearDown() override { platform::clear_faults(); }
};

std::string construction_error(int channels, int fir_length) {
    try {
        partitioned_convolver engine(channels, fir_length);
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return {};
}

template <class Condition>
void wait_until(Condition condition) {
    while (!condition()) std::this_thread::yield();
}

TEST_F(PartitionedConvolverLifecycle, ConstructionRefusesLengthsThatAreNotPowersOfTwoFrom4To131072) {
    for (int length : {3, 6, 131073, 0, -4, 2, 262144, 1000})
        EXPECT_EQ(construction_error(2, length),
                  "FIR length error in partitioned_convolver (a power of two from 4 to 131072)")
            << "length " << length;
    EXPECT_EQ(construction_error(0, 512), "Channel count error in partitioned_convolver (at least one)");
    for (int length : {4, 131072}) EXPECT_EQ(construction_error(2, length), "") << "length " << length;
}

TEST_F(PartitionedConvolverLifecycle, EveryFailingAllocationIsReportedWithItsMessageAndLeaksNothing) {
    std::set<std::string> seen;
    for (int skip = 0;; ++skip) {
        platform::inject_fault(platform::fault::aligned_allocation, skip);
        const std::string error = construction_error(2, 512);
        if (error.empty()) break;
        seen.insert(error);
    }
    std::set<std::string> expected = {"Block allocation FFT error in allocate_convolution_memory #1"};
    for (int site : {1, 2, 3, 4, 5, 6, 7, 8, 9, 11})
        expected.insert(
            std::string("Block allocation error in allocate_convolution_memory #").append(std::to_string(site)));
    EXPECT_EQ(seen, expected);
}

TEST_F(PartitionedConvolverLifecycle, AConvolveWaitingWhenDestructionBeginsPassesItsInputThrough) {
    auto* engine = new partitioned_convolver(2, 64);
    load(*engine, random_signals(2, 64, 20));
    const signal_set input = random_signals(2, 100, 21);
    signal_set output(2, std::vector<float>(100, 0.0f));

    // Hold the process lock so that both the convolve and the destruction
    // wait for it; whichever gets it first, the convolve sees shutting down.
    access::process_lock(*engine).enter();
    std::thread audio([&] { engine->convolve(pointers_to(input).data(), pointers_to(output).data(), 100); });
    wait_until([&] { return access::calls_in_flight(*engine) == 1; });
    std::thread destruction([&] { delete engine; });
    wait_until([&] { return access::shutting_down(*engine); });
    access::process_lock(*engine).leave();
    audio.join();
    destruction.join();

    EXPECT_EQ(output, input);
}

TEST_F(PartitionedConvolverLifecycle, LoadsFromAWorkerWhileAudioRunsSwitchTheResponseOnlyBetweenBlocks) {
    constexpr int fir_length = 128;
    partitioned_convolver engine(2, fir_length);
    const int block = engine.block_length(), latency = engine.latency();
    // Unit impulses of gain 1 and 2: the output is the gain of the block that
    // produced it, so a switch inside a block would show as a step.
    auto impulse_of_gain = [](float gain) {
        signal_set fir(2, std::vector<float>(fir_length, 0.0f));
        fir[0][0] = fir[1][0] = gain;
        return fir;
    };
    const signal_set unit = impulse_of_gain(1.0f), doubled = impulse_of_gain(2.0f);
    load(engine, unit);

    std::atomic<bool> audio_done{false};
    std::thread worker([&] {
        for (int pass = 0; !audio_done.load(); ++pass) load(engine, pass % 2 ? unit : doubled);
    });
    const signal_set ones(2, std::vector<float>(4000 * block, 1.0f));
    std::mt19937 random(22);
    std::uniform_int_distribution<int> host_block(1, 3 * block);
    const signal_set output = convolve_all(engine, ones, [&] { return host_block(random); });
    audio_done.store(true);
    worker.join();

    // Each input block's output starts `latency` samples after the block.
    for (const auto& channel : output)
        for (std::size_t start = latency; start + block <= channel.size(); start += block) {
            const float gain = channel[start];
            ASSERT_TRUE(std::abs(gain - 1.0f) < 1e-5f || std::abs(gain - 2.0f) < 1e-5f) << "sample " << start;
            for (int p = 1; p < block; ++p) ASSERT_NEAR(channel[start + p], gain, 1e-5f) << "sample " << start;
        }
}

}  // namespace
