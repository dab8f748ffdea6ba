#include "audio_block.h"
#include "plugin_loader.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <thread>

namespace tessvane::host {
namespace {

using ::testing::HasSubstr;
using kind = edit_event::kind;

std::string load_error(const std::string& path) {
    try {
        loaded_plugin::load(path);
    } catch (const plugin_load_error& error) {
        return error.what();
    }
    return "loaded";
}

TEST(LoadedPlugin, ThrowsALoadErrorSayingWhyAFileIsNoPlugin) {
    EXPECT_THAT(load_error("/nonexistent.so"), HasSubstr("cannot load /nonexistent.so"));
    EXPECT_THAT(load_error(NO_ENTRY_TEST_PLUGIN), HasSubstr("exports neither VSTPluginMain nor main"));
    EXPECT_THAT(load_error(NULL_ENTRY_TEST_PLUGIN), HasSubstr("returned no effect"));
    EXPECT_THAT(load_error(BAD_MAGIC_TEST_PLUGIN), HasSubstr("wrong magic number"));
    EXPECT_THAT(load_error(BAD_CHANNELS_TEST_PLUGIN), HasSubstr("claims -2 inputs"));
}

TEST(LoadedPlugin, LoadsABareFileNameFromTheCurrentFolder) {
    const std::filesystem::path plugin_path = DELAY_TEST_PLUGIN;
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(plugin_path.parent_path());
    std::string outcome = load_error(plugin_path.filename().string());
    std::filesystem::current_path(previous);
    EXPECT_EQ(outcome, "loaded");
}

TEST(LoadedPlugin, AnswersTheRateAndBlockItStartedThePluginWith) {
    auto plugin = loaded_plugin::load(DELAY_TEST_PLUGIN);
    plugin->start(96000.0f, 128);
    AEffect* effect = plugin->effect();
    EXPECT_EQ(host_callback::entry(effect, audioMasterGetSampleRate, 0, 0, nullptr, 0.0f), 96000);
    EXPECT_EQ(host_callback::entry(effect, audioMasterGetBlockSize, 0, 0, nullptr, 0.0f), 128);
    EXPECT_EQ(host_callback::entry(effect, audioMasterVersion, 0, 0, nullptr, 0.0f), 2400);
    EXPECT_EQ(host_callback::entry(effect, audioMasterGetTime, 0, 0, nullptr, 0.0f), 0);
    EXPECT_EQ(host_callback::entry(effect, audioMasterGetCurrentProcessLevel, 0, 0, nullptr, 0.0f),
              kVstProcessLevelUser);
    char can_do[] = "acceptIOChanges";
    EXPECT_EQ(host_callback::entry(effect, audioMasterCanDo, 0, 0, can_do, 0.0f), 1);
    char cannot_do[] = "sendVstTimeInfo";
    EXPECT_EQ(host_callback::entry(effect, audioMasterCanDo, 0, 0, cannot_do, 0.0f), 0);
}

TEST(LoadedPlugin, RecordsAnEditGestureInOrderFromAnyThread) {
    auto plugin = loaded_plugin::load(DELAY_TEST_PLUGIN);
    const std::vector<edit_event> gesture{
        {kind::begin_edit, 0, 0.0f}, {kind::automate, 0, 0.75f}, {kind::end_edit, 0, 0.0f}};
    for (const VstInt32 thread : {0, 1}) {
        plugin->host().clear_edit_events();
        plugin->dispatch(effVendorSpecific, thread, 0, nullptr, 0.75f);
        EXPECT_EQ(plugin->host().edit_events(), gesture) << "thread " << thread;
    }
    EXPECT_EQ(plugin->parameter(0), 0.75f);
}

TEST(LoadedPlugin, PrintsEachReportedEditWhenVerbose) {
    host_settings settings;
    settings.verbose = true;
    auto plugin = loaded_plugin::load(DELAY_TEST_PLUGIN, settings);
    ::testing::internal::CaptureStderr();
    plugin->dispatch(effVendorSpecific, 0, 0, nullptr, 0.25f);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "plug-in: begin edit parameter 0\n"
              "plug-in: automate parameter 0 = 0.25\n"
              "plug-in: end edit parameter 0\n");
}

TEST(LoadedPlugin, LetsAHandlerCallStraightBackIntoThePluginFromAnAutomation) {
    std::atomic<float> seen{-1.0f};
    host_settings settings;
    settings.handler = [&](const host_call& call) -> std::optional<VstIntPtr> {
        if (call.opcode != audioMasterAutomate) return std::nullopt;
        // As hosts do: read the value back, then overrule it.
        seen = call.effect->getParameter(call.effect, call.index);
        call.effect->setParameter(call.effect, call.index, 0.125f);
        return 1;
    };
    auto plugin = loaded_plugin::load(DELAY_TEST_PLUGIN, settings);
    plugin->dispatch(effVendorSpecific, 0, 0, nullptr, 0.75f);
    EXPECT_EQ(seen, 0.75f);
    EXPECT_EQ(plugin->parameter(0), 0.125f);
    // Calls the handler declines still reach the record.
    ASSERT_EQ(plugin->host().edit_events().size(), 2u);
    EXPECT_EQ(plugin->host().edit_events()[1].what, kind::end_edit);
}

TEST(LoadedPlugin, ProcessesBlocksThroughTheEntryPointAfterStarting) {
    auto plugin = loaded_plugin::load(DELAY_TEST_PLUGIN);
    const VstInt32 delay = plugin->effect()->initialDelay;
    audio_block block(2, 2, 64);
    plugin->start(48000.0f, 64);
    // Wait for the plug-in's background gain; silent blocks meanwhile.
    for (int round = 0; round < 500 && block.output(0)[delay] != 1.0f; ++round) {
        plugin->flush();
        block.clear_inputs();
        block.input(0)[0] = block.input(1)[0] = 1.0f;
        block.process(*plugin, 64);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(block.output(0)[delay], 1.0f);
    EXPECT_EQ(block.output(1)[delay], 1.0f);
    EXPECT_EQ(block.output(0)[0], 0.0f);
}

}  // namespace
}  // namespace tessvane::host
