// The analyser's ring with the audio thread writing and the editor reading
// at once (run it under the tsan preset too): every frame read is one that
// was written, in order, and only whole blocks go missing.
#include "dsp/analyser_ring.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

TEST(AnalyserRing, AReaderRacingTheWriterSeesWholeBlocksInOrder) {
    constexpr int block = 64, blocks = 20000;
    dsp::analyser_ring ring;
    ring.set_wanted(true);
    std::atomic<bool> done{false};
    std::thread audio([&] {
        std::vector<float> ramp(block);
        for (int b = 0; b < blocks; ++b) {
            for (int i = 0; i < block; ++i) ramp[std::size_t(i)] = float(b * block + i);
            const float* channels[] = {ramp.data(), ramp.data()};
            ring.write(channels, channels, block);
        }
        done = true;
    });
    std::vector<float> output(1000), input(1000);
    float last = -1.0f;
    std::uint64_t seen = 0;
    for (bool finished = false; !finished;) {
        finished = done.load();
        for (int n; (n = ring.read(output.data(), input.data(), int(output.size()))) > 0;) {
            for (int i = 0; i < n; ++i) {
                const float sample = output[std::size_t(i)];
                ASSERT_EQ(input[std::size_t(i)], sample);
                ASSERT_GT(sample, last);
                // A jump only into the start of a later block.
                if (sample != last + 1.0f) {
                    ASSERT_EQ(int(sample) % block, 0) << sample;
                }
                last = sample;
            }
            seen += std::uint64_t(n);
        }
    }
    audio.join();
    EXPECT_EQ(seen + ring.dropped(), std::uint64_t(block) * blocks);
}

TEST(AnalyserRing, NothingIsCopiedWhileUnwantedAndWantingAgainStartsEmpty) {
    dsp::analyser_ring ring;
    const std::vector<float> ones(64, 1.0f);
    const float* channels[] = {ones.data(), ones.data()};
    ring.write(channels, channels, 64);
    float output[64], input[64];
    EXPECT_EQ(ring.read(output, input, 64), 0);
    ring.set_wanted(true);
    ring.write(channels, channels, 64);
    ring.set_wanted(false);
    ring.set_wanted(true);
    EXPECT_EQ(ring.read(output, input, 64), 0);
    EXPECT_EQ(ring.dropped(), 0u);
}

}  // namespace
