// processReplacing allocates and frees nothing, on every path it can take;
// neither does setParameter called from the audio thread.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <limits>
#include <thread>

#include "allocation_tracker.h"
#include "realtime_support.h"

namespace {

using allocation_tracker::audio_thread_scope;

// Blocks of each size, marked as the audio thread; what they allocated.
allocation_tracker::counts marked_blocks(running_instance& plugin, stereo_noise& audio,
                                         std::initializer_list<int> sizes, int repeats = 4) {
    allocation_tracker::reset();
    {
        const audio_thread_scope audio_thread;
        for (int r = 0; r < repeats; ++r)
            for (int frames : sizes) plugin.process(audio, frames);
    }
    return allocation_tracker::audio_thread_counts();
}

void expect_none(const allocation_tracker::counts& c) {
    EXPECT_EQ(c.allocations, 0);
    EXPECT_EQ(c.releases, 0);
}

const std::initializer_list<int> kBlockSizes = {1, 31, 32, 64, 257, 1000, 4096};

}  // namespace

TEST(AudioThreadAllocations, TrackerSeesAnAllocationMadeInsideTheScope) {
    allocation_tracker::reset();
    {
        const audio_thread_scope audio_thread;
        // Through a volatile pointer, so the optimiser cannot drop the pair.
        int* volatile allocated = new int(3);
        delete allocated;
    }
    EXPECT_EQ(allocation_tracker::audio_thread_counts().allocations, 1);
    EXPECT_EQ(allocation_tracker::audio_thread_counts().releases, 1);
}

TEST(AudioThreadAllocations, NoneWithFiltersOnOrOffAtAnyBlockSize) {
    settings_sandbox settings("512");
    message_capture messages;
    running_instance plugin;
    stereo_noise audio(4096, 0.5f, 1);
    plugin.set(12, 1.0f);  // band 3 on, as a peak
    plugin.set(15, 0.9f);
    plugin.wait_for_worker();
    expect_none(marked_blocks(plugin, audio, kBlockSizes));
    plugin.set(1, 0.0f);  // filters off: the dry delay line alone
    expect_none(marked_blocks(plugin, audio, kBlockSizes));
    // An analyser that never reads: its ring fills, then drops.
    plugin.object().want_analyser_samples(true);
    expect_none(marked_blocks(plugin, audio, kBlockSizes, 8));
    EXPECT_GT(plugin.object().engine()->analyser().dropped(), 0u);
    EXPECT_TRUE(messages.messages().empty());
}

TEST(AudioThreadAllocations, NoneInTheLockedState) {
    settings_sandbox settings("");  // no setting: the instance locks itself
    message_capture messages;
    running_instance plugin;
    ASSERT_FALSE(plugin.object().is_processing_enabled());
    stereo_noise audio(4096, 0.5f, 2);
    expect_none(marked_blocks(plugin, audio, kBlockSizes));
}

TEST(AudioThreadAllocations, NoneForABlockLongerThanTheLargestItTakes) {
    settings_sandbox settings("512");
    message_capture messages;
    running_instance plugin;
    stereo_noise audio(plugin::tessvane_plugin::kMaxBlock + 1, 0.5f, 3);
    expect_none(marked_blocks(plugin, audio, {plugin::tessvane_plugin::kMaxBlock + 1}, 1));
}

TEST(AudioThreadAllocations, NoneWhileTheWorkerSwapsLongResponsesInContinuously) {
    settings_sandbox settings("65536");
    message_capture messages;
    running_instance plugin;
    plugin.set(12, 1.0f);
    std::atomic<bool> audio_done{false};
    const int designs_before = plugin.engine().designs();
    std::thread changes([&] {
        for (int i = 0; !audio_done; ++i) {
            plugin.set(15, (i % 2) ? 0.2f : 0.8f);
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    });
    stereo_noise audio(64, 0.5f, 4);
    allocation_tracker::reset();
    {
        const audio_thread_scope audio_thread;
        // Bounded: at least five swaps, or give up after two minutes. Hosts
        // also automate from the audio thread, here while 65536 taps design.
        const auto give_up = std::chrono::steady_clock::now() + std::chrono::minutes(2);
        for (int block = 0; plugin.engine().designs() < designs_before + 5; ++block) {
            if (block % 64 == 0 && std::chrono::steady_clock::now() > give_up) break;
            if (block % 16 == 0) plugin.set(17, (block / 16) % 2 ? 0.0f : 1.0f);  // band 4 on and off
            plugin.process(audio, 64);
        }
    }
    audio_done = true;
    changes.join();
    EXPECT_GE(plugin.engine().designs(), designs_before + 5);
    expect_none(allocation_tracker::audio_thread_counts());
}

TEST(AudioThreadAllocations, NoneAfterHostileParameterValuesOrWhenParametersAreSetFromTheAudioThread) {
    settings_sandbox settings("512");
    message_capture messages;
    running_instance plugin;
    stereo_noise audio(4096, 0.5f, 5);
    const float hostile[] = {std::numeric_limits<float>::quiet_NaN(),
                             std::numeric_limits<float>::infinity(),
                             -std::numeric_limits<float>::infinity(),
                             -1.0f,
                             2.0f,
                             1e30f,
                             std::numeric_limits<float>::denorm_min()};
    for (float value : hostile) {
        for (int index = 0; index < 27; ++index) plugin.set(index, value);
        expect_none(marked_blocks(plugin, audio, kBlockSizes, 1));
    }
    allocation_tracker::reset();
    {
        const audio_thread_scope audio_thread;
        for (int index = -1; index <= 27; ++index) {
            plugin.set(index, 0.7f);
            plugin.process(audio, 64);
        }
    }
    expect_none(allocation_tracker::audio_thread_counts());
}

// Offline, said so or judged from the pace of the blocks, the block that
// completes an engine block designs: still without allocating.
TEST(AudioThreadAllocations, NoneInAnOfflineBlockThatDesigns) {
    for (VstIntPtr level : {VstIntPtr(kVstProcessLevelOffline), VstIntPtr(0)}) {
        settings_sandbox settings("8192");
        message_capture messages;
        running_instance plugin;
        the_host.process_level = level;
        stereo_noise audio(512, 0.5f, 6);
        plugin.set(12, 1.0f);
        allocation_tracker::reset();
        {
            const audio_thread_scope audio_thread;
            for (int block = 0; block < 256; ++block) {
                if (block % 8 == 0) plugin.set(15, 0.6f + 0.001f * float(block));  // one change an engine block
                plugin.process(audio, 512);
            }
        }
        the_host.process_level = 0;
        EXPECT_GT(plugin.engine().designs_in_process(), 0) << level;
        expect_none(allocation_tracker::audio_thread_counts());
    }
}
