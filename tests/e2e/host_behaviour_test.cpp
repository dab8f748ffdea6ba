// What real hosts do to plug-ins, done to ours through its entry point.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstring>
#include <random>
#include <thread>
#include <vector>

#include "e2e_support.h"

using tessvane::host::host_settings;
using tessvane::host::loaded_plugin;

namespace {

struct stereo_block {
    explicit stereo_block(int n) : left(n), right(n), out_left(n), out_right(n) {}
    std::vector<float> left, right, out_left, out_right;
    float* in[2];
    float* out[2];
    void run(loaded_plugin& plugin, int offset, int n) {
        in[0] = left.data() + offset;
        in[1] = right.data() + offset;
        out[0] = out_left.data() + offset;
        out[1] = out_right.data() + offset;
        plugin.process(in, out, n);
    }
    bool finite() const {
        for (std::size_t i = 0; i < out_left.size(); ++i)
            if (!std::isfinite(out_left[i]) || !std::isfinite(out_right[i])) return false;
        return true;
    }
};

}  // namespace

TEST(HostBehaviour, OpenTwiceAndProcessBeforeResume) {
    e2e_sandbox sandbox("512");
    auto plugin = loaded_plugin::load(TESSVANE_PLUGIN_PATH);
    plugin->dispatch(effOpen);
    plugin->dispatch(effOpen);
    plugin->dispatch(effSetSampleRate, 0, 0, nullptr, 0.0f);
    plugin->dispatch(effSetBlockSize, 0, 0);
    stereo_block block(64);
    block.run(*plugin, 0, 64);
    EXPECT_TRUE(block.finite());
    EXPECT_TRUE(sandbox.messages().empty());
}

TEST(HostBehaviour, BlockSizesOfZeroOneAndChangingEveryCall) {
    e2e_sandbox sandbox("512");
    auto plugin = load_plugin();
    plugin->set_parameter(12, 1.0f);
    stereo_block block(50000);
    std::mt19937 rng(3);
    for (std::size_t i = 0; i < block.left.size(); ++i) block.left[i] = block.right[i] = std::sin(0.01f * float(i));
    int done = 0;
    for (int call = 0; done < 50000; ++call) {
        int n = call % 5 == 0 ? 0 : call % 7 == 0 ? 1 : static_cast<int>(rng() % 1500);
        n = std::min(n, 50000 - done);
        block.run(*plugin, done, n);
        done += n;
    }
    EXPECT_TRUE(block.finite());
}

TEST(HostBehaviour, SampleRateAndBlockSizeChangesWhileRunning) {
    e2e_sandbox sandbox("1024");
    auto plugin = load_plugin();
    stereo_block block(4096);
    for (float rate : {48000.0f, 96000.0f, 22050.0f, 192000.0f, 44100.0f}) {
        plugin->dispatch(effSetSampleRate, 0, 0, nullptr, rate);  // while resumed
        plugin->dispatch(effSetBlockSize, 0, 2048);
        block.run(*plugin, 0, 2048);
        plugin->dispatch(effMainsChanged, 0, 0);
        plugin->dispatch(effSetSampleRate, 0, 0, nullptr, rate);
        plugin->dispatch(effMainsChanged, 0, 1);
        block.run(*plugin, 2048, 2048);
    }
    EXPECT_TRUE(block.finite());
    EXPECT_TRUE(sandbox.messages().empty());
}

TEST(HostBehaviour, ParametersFromThreeThreadsWhileAudioRuns) {
    e2e_sandbox sandbox("2048");
    auto plugin = load_plugin();
    std::atomic<bool> stop{false};
    std::vector<std::thread> setters;
    for (int t = 0; t < 3; ++t)
        setters.emplace_back([&, t] {
            std::mt19937 rng(t);
            std::uniform_real_distribution<float> value(0.0f, 1.0f);
            while (!stop) {
                plugin->effect()->setParameter(plugin->effect(), static_cast<VstInt32>(rng() % 27), value(rng));
                plugin->effect()->getParameter(plugin->effect(), static_cast<VstInt32>(rng() % 27));
            }
        });
    stereo_block block(64 * 2000);
    for (int i = 0; i < 2000; ++i) {
        block.run(*plugin, 64 * i, 64);
        if (i % 100 == 0) plugin->effect()->setParameter(plugin->effect(), 1, 1.0f);  // from the audio thread
    }
    stop = true;
    for (auto& s : setters) s.join();
    EXPECT_TRUE(block.finite());
}

TEST(HostBehaviour, ChunkPointerReadLaterAndChunksSetFromAnotherThread) {
    e2e_sandbox sandbox("1024");
    auto plugin = load_plugin();
    void* data = nullptr;
    const auto size = plugin->dispatch(effGetChunk, 1, 0, &data);
    ASSERT_EQ(size, 532);
    std::vector<unsigned char> copy(static_cast<unsigned char*>(data), static_cast<unsigned char*>(data) + size);
    plugin->dispatch(effSetProgram, 0, 3);
    plugin->set_parameter(0, 0.2f);
    // The earlier pointer still points at program 0, intact.
    EXPECT_EQ(std::memcmp(data, copy.data(), copy.size()), 0);

    std::atomic<bool> stop{false};
    std::thread loader([&] {
        for (int i = 0; i < 50; ++i) plugin->dispatch(effSetChunk, 1, 532, copy.data());
        stop = true;
    });
    stereo_block block(64);
    while (!stop) block.run(*plugin, 0, 64);
    loader.join();
    EXPECT_TRUE(block.finite());
}

TEST(HostBehaviour, ManyInstancesAtOnce) {
    e2e_sandbox sandbox("512");
    std::vector<std::unique_ptr<loaded_plugin>> plugins;
    for (int i = 0; i < 12; ++i) plugins.push_back(load_plugin());
    stereo_block block(512);
    for (auto& p : plugins) block.run(*p, 0, 512);
    for (int i = 0; i < 12; i += 2) plugins[i].reset();
    for (auto& p : plugins)
        if (p) block.run(*p, 0, 512);
    EXPECT_TRUE(sandbox.messages().empty());
}
