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

namespace {

// The same noise for every instance: what differs is only how it is fed.
std::vector<float> noise(std::size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> sample(-0.5f, 0.5f);
    std::vector<float> v(n);
    for (float& x : v) x = sample(rng);
    return v;
}

// An instance with band 3 boosted and its response designed.
std::unique_ptr<loaded_plugin> boosted_plugin() {
    auto plugin = load_plugin();
    plugin->set_parameter(12, 1.0f);
    plugin->set_parameter(15, 0.9f);
    impulse_response(*plugin, 16, 16);  // waits for the design, then flushes
    plugin->flush();
    return plugin;
}

std::vector<unsigned char> chunk_bytes(loaded_plugin& plugin, VstInt32 index) {
    void* data = nullptr;
    const auto size = plugin.dispatch(effGetChunk, index, 0, &data);
    return {static_cast<unsigned char*>(data), static_cast<unsigned char*>(data) + size};
}

bool bounded(const std::vector<float>& v, float bound) {
    for (float x : v)
        if (!(std::fabs(x) < bound)) return false;
    return true;
}

// Zero or normal numbers only.
bool sound(const std::vector<float>& v) {
    for (float x : v)
        if (std::fpclassify(x) != FP_ZERO && std::fpclassify(x) != FP_NORMAL) return false;
    return true;
}

}  // namespace

TEST(HostBehaviour, TenNoiseBlocksAtEachCommonRateAndBlockSizeComeOutWithoutNaNInfinityOrSubnormals) {
    e2e_sandbox sandbox("512");
    for (float rate : {44100.0f, 48000.0f, 96000.0f}) {
        for (int frames : {64, 128, 256, 512, 1024}) {
            host_settings settings;
            settings.sample_rate = rate;
            auto plugin = loaded_plugin::load(TESSVANE_PLUGIN_PATH, settings);
            plugin->start(rate, frames);
            plugin->set_parameter(12, 1.0f);  // band 3 on
            stereo_block block(frames * 10);
            block.left = noise(block.left.size(), 14);
            block.right = noise(block.right.size(), 15);
            for (int i = 0; i < 10; ++i) block.run(*plugin, frames * i, frames);
            EXPECT_TRUE(sound(block.out_left) && sound(block.out_right)) << rate << " Hz, " << frames << " frames";
        }
    }
    EXPECT_TRUE(sandbox.messages().empty());
}

TEST(HostBehaviour, ThirtyTwoFrameSubBlocksCutFromALargerBufferSoundLikeWholeBlocks) {
    e2e_sandbox sandbox("512");
    auto whole = boosted_plugin();
    auto cut = boosted_plugin();
    stereo_block a(8192), b(8192);
    a.left = b.left = noise(8192, 1);
    a.right = b.right = noise(8192, 2);
    a.run(*whole, 0, 4096);
    a.run(*whole, 4096, 4096);
    for (int offset = 0; offset < 8192; offset += 32) b.run(*cut, offset, 32);
    EXPECT_EQ(a.out_left, b.out_left);
    EXPECT_EQ(a.out_right, b.out_right);
    EXPECT_TRUE(sandbox.messages().empty());
}

TEST(HostBehaviour, ThirtyTwoFrameSubBlocksWithRandomParameterChangesBeforeEachStaySound) {
    e2e_sandbox sandbox("512");
    auto plugin = load_plugin();
    stereo_block block(32 * 500);
    block.left = noise(block.left.size(), 3);
    block.right = noise(block.right.size(), 4);
    std::mt19937 rng(5);
    std::uniform_real_distribution<float> value(0.0f, 1.0f);
    for (int i = 0; i < 500; ++i) {
        plugin->set_parameter(static_cast<VstInt32>(rng() % 27), value(rng));
        block.run(*plugin, 32 * i, 32);
    }
    EXPECT_TRUE(block.finite());
    EXPECT_TRUE(bounded(block.out_left, 1e6f) && bounded(block.out_right, 1e6f));
}

TEST(HostBehaviour, InPlaceAndSeparatePreZeroedOrDirtyOutputsSoundTheSame) {
    e2e_sandbox sandbox("512");
    auto separate_zeroed = boosted_plugin();
    auto separate_dirty = boosted_plugin();
    auto in_place = boosted_plugin();
    const std::vector<float> left = noise(4096, 6), right = noise(4096, 7);

    stereo_block zeroed(4096), dirty(4096);
    zeroed.left = dirty.left = left;
    zeroed.right = dirty.right = right;
    std::fill(dirty.out_left.begin(), dirty.out_left.end(), std::nanf(""));
    std::fill(dirty.out_right.begin(), dirty.out_right.end(), 1e30f);
    zeroed.run(*separate_zeroed, 0, 4096);
    dirty.run(*separate_dirty, 0, 4096);
    std::vector<float> shared_left = left, shared_right = right;
    float* channels[] = {shared_left.data(), shared_right.data()};
    in_place->process(channels, channels, 4096);

    EXPECT_EQ(zeroed.out_left, dirty.out_left);
    EXPECT_EQ(zeroed.out_right, dirty.out_right);
    EXPECT_EQ(zeroed.out_left, shared_left);
    EXPECT_EQ(zeroed.out_right, shared_right);
}

TEST(HostBehaviour, SuspendAndResumeActAsAPanicOnTheFilteredAndTheDryPath) {
    e2e_sandbox sandbox("512");
    for (float filters : {1.0f, 0.0f}) {
        auto plugin = boosted_plugin();
        plugin->set_parameter(1, filters);
        stereo_block loud(4096);
        loud.left = noise(4096, 8);
        loud.right = noise(4096, 9);
        loud.run(*plugin, 0, 4096);
        plugin->dispatch(effMainsChanged, 0, 0);
        plugin->dispatch(effMainsChanged, 0, 1);
        stereo_block silence(4096);
        silence.run(*plugin, 0, 4096);
        for (int i = 0; i < 4096; ++i) {
            ASSERT_EQ(silence.out_left[i], 0.0f) << "filters " << filters << ", sample " << i;
            ASSERT_EQ(silence.out_right[i], 0.0f) << "filters " << filters << ", sample " << i;
        }
    }
}

TEST(HostBehaviour, ChunksOfAnyOtherSizeOrWithoutDataAreRefusedAndChangeNothing) {
    e2e_sandbox sandbox("512");
    auto plugin = load_plugin();
    plugin->set_parameter(0, 0.3f);
    const std::vector<unsigned char> bank_before = chunk_bytes(*plugin, 0);
    std::vector<unsigned char> data(bank_before);
    for (VstInt32 index : {0, 1}) {
        for (VstIntPtr size : {0, 1, 531, 533, 25535, 25537, 1064, -1}) {
            EXPECT_EQ(plugin->dispatch(effSetChunk, index, size, data.data()), 0) << index << " " << size;
        }
        EXPECT_EQ(plugin->dispatch(effSetChunk, index, 0, nullptr), 0);
        EXPECT_EQ(plugin->dispatch(effSetChunk, index, index ? 532 : 25536, nullptr), 0);
    }
    // A program chunk is not a bank and a bank is not a program.
    EXPECT_EQ(plugin->dispatch(effSetChunk, 0, 532, data.data()), 0);
    EXPECT_EQ(plugin->dispatch(effSetChunk, 1, 25536, data.data()), 0);
    EXPECT_EQ(chunk_bytes(*plugin, 0), bank_before);
    EXPECT_EQ(plugin->parameter(0), 0.3f);
    EXPECT_TRUE(sandbox.messages().empty());
}

TEST(HostBehaviour, ForeignChunkOfTheRightSizeIsTakenAsItIsAndTheSoundStaysBounded) {
    e2e_sandbox sandbox("512");
    auto plugin = load_plugin();
    // Another plug-in's state: text, then floats that mean nothing to us.
    std::vector<unsigned char> foreign(25536);
    const char text[] = "<?xml version=\"1.0\"?><VST2 plugin=\"other\" version=\"3\">";
    for (std::size_t i = 0; i < foreign.size(); ++i)
        foreign[i] = static_cast<unsigned char>(text[i % (sizeof text - 1)]);
    const float odd_values[] = {std::nanf(""), HUGE_VALF, -1e30f, 1e-45f, 7.0f};
    for (std::size_t i = 24; i + 4 <= 532; i += 4) std::memcpy(&foreign[i], &odd_values[(i / 4) % 5], 4);
    for (VstInt32 index : {1, 0}) {
        std::vector<unsigned char> chunk(foreign.begin(), foreign.begin() + (index ? 532 : 25536));
        ASSERT_EQ(plugin->dispatch(effSetChunk, index, static_cast<VstIntPtr>(chunk.size()), chunk.data()), 1);
        EXPECT_EQ(chunk_bytes(*plugin, index), chunk);
        EXPECT_EQ(plugin->program_name(0).size(), 24u);  // a name without its zero stays inside its field
        for (VstInt32 p = 0; p < 27; ++p) EXPECT_LE(plugin->parameter_display(p).size(), 8u);
        stereo_block block(8192);
        block.left = noise(8192, 10);
        block.right = noise(8192, 11);
        impulse_response(*plugin, 16, 16);
        for (int offset = 0; offset < 8192; offset += 512) block.run(*plugin, offset, 512);
        EXPECT_TRUE(block.finite());
        EXPECT_TRUE(bounded(block.out_left, 1e6f) && bounded(block.out_right, 1e6f));
    }
}

TEST(HostBehaviour, StateGetSetGetIsByteIdenticalAndReadingTwiceGivesTheSameBytes) {
    e2e_sandbox sandbox("512");
    auto plugin = load_plugin();
    std::mt19937 rng(12);
    std::uniform_real_distribution<float> value(0.0f, 1.0f);
    for (int program : {0, 5, 47}) {
        plugin->dispatch(effSetProgram, 0, program);
        for (VstInt32 p = 0; p < 27; ++p) plugin->set_parameter(p, value(rng));
    }
    for (VstInt32 index : {0, 1}) {
        const std::vector<unsigned char> first = chunk_bytes(*plugin, index);
        EXPECT_EQ(chunk_bytes(*plugin, index), first);
        std::vector<unsigned char> copy = first;
        ASSERT_EQ(plugin->dispatch(effSetChunk, index, static_cast<VstIntPtr>(copy.size()), copy.data()), 1);
        EXPECT_EQ(chunk_bytes(*plugin, index), first);
    }
}

TEST(HostBehaviour, RestoringSavedStateUndoesRandomisedParametersAndProgramChanges) {
    e2e_sandbox sandbox("512");
    auto plugin = load_plugin();
    plugin->set_parameter(9, 0.25f);
    const std::vector<unsigned char> saved = chunk_bytes(*plugin, 1);
    std::vector<float> before(27);
    for (VstInt32 p = 0; p < 27; ++p) before[p] = plugin->parameter(p);

    std::mt19937 rng(13);
    std::uniform_real_distribution<float> value(0.0f, 1.0f);
    for (VstInt32 p = 0; p < 27; ++p) plugin->set_parameter(p, value(rng));
    for (int i = 0; i < 5; ++i) plugin->dispatch(effSetProgram, 0, static_cast<VstIntPtr>(rng() % 48));
    plugin->dispatch(effSetProgram, 0, 0);
    std::vector<unsigned char> copy = saved;
    ASSERT_EQ(plugin->dispatch(effSetChunk, 1, 532, copy.data()), 1);
    for (VstInt32 p = 0; p < 27; ++p) EXPECT_EQ(plugin->parameter(p), before[p]) << p;
    EXPECT_EQ(plugin->program_name(0), "Default");
}

TEST(HostBehaviour, FiveRandomValuesPerParameterReadBackExactlyAndShowTheSameTextEveryTime) {
    e2e_sandbox sandbox("512");
    auto plugin = load_plugin();
    std::mt19937 rng(16);
    std::uniform_real_distribution<float> value(0.0f, 1.0f);
    for (VstInt32 p = 0; p < 27; ++p) {
        for (int i = 0; i < 5; ++i) {
            const float v = value(rng);
            plugin->set_parameter(p, v);
            EXPECT_EQ(plugin->parameter(p), v) << p;
            const std::string text = plugin->parameter_display(p);
            EXPECT_FALSE(text.empty()) << p;
            plugin->set_parameter(p, value(rng));
            plugin->set_parameter(p, v);
            EXPECT_EQ(plugin->parameter_display(p), text) << p << " at " << v;
        }
    }
    // Texts are for showing: the plug-in takes no values from them.
    char typed[] = "0.5";
    EXPECT_EQ(plugin->dispatch(effString2Parameter, 3, 0, typed), 0);
}
