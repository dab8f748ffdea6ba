// The built shared object, loaded through its entry point as a host loads
// it: identity, latency, chunks and the equalised sound.
#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <vector>

#include "e2e_support.h"
#include "format_comparison.h"

using tessvane::host::loaded_plugin;

TEST(PluginThroughItsEntryPoint, AnswersWithItsIdentityAndLatency) {
    e2e_sandbox sandbox("4096");
    auto plugin = load_plugin();
    AEffect* e = plugin->effect();
    EXPECT_EQ(plugin->effect_name(), "Tessvane LE");
    EXPECT_EQ(plugin->vendor(), "Ravelthorpe");
    EXPECT_EQ(plugin->product(), "Tessvane LE");
    EXPECT_EQ(plugin->dispatch(effGetVendorVersion), 1004);
    EXPECT_EQ(e->uniqueID, 0x31303136);
    EXPECT_EQ(e->flags & (effFlagsHasEditor | effFlagsCanReplacing | effFlagsProgramChunks),
              effFlagsHasEditor | effFlagsCanReplacing | effFlagsProgramChunks);
    EXPECT_EQ(e->numInputs, 2);
    EXPECT_EQ(e->numOutputs, 2);
    EXPECT_EQ(e->initialDelay, 4096);
    EXPECT_EQ(e->numParams, 27);
    EXPECT_EQ(e->numPrograms, 48);
    EXPECT_EQ(plugin->parameter_name(2), "Filter#1");
    EXPECT_EQ(plugin->program_name(47), "Default");
    EXPECT_TRUE(sandbox.messages().empty());
}

TEST(PluginThroughItsEntryPoint, LatencyComesFromThePerUserValueElseFromTheMachineWideOne) {
    e2e_sandbox sandbox("");
    sandbox.settings().set_machine_latency("16384");
    EXPECT_EQ(load_plugin()->effect()->initialDelay, 16384);
    EXPECT_EQ(sandbox.settings().user_latency(), "");  // read, not copied
    sandbox.settings().set_user_latency("2048");
    EXPECT_EQ(load_plugin()->effect()->initialDelay, 2048);
    EXPECT_TRUE(sandbox.messages().empty());
}

TEST(PluginThroughItsEntryPoint, WithFiltersOffAnImpulseComesOutAtTheLatencyScaledByTwiceTheGain) {
    e2e_sandbox sandbox("2048");
    auto plugin = load_plugin();
    plugin->set_parameter(1, 0.0f);   // filters off
    plugin->set_parameter(0, 0.25f);  // gain
    std::vector<float> in_l(6000), in_r(6000), out_l(6000, 9.0f), out_r(6000, 9.0f);
    in_l[0] = 1.0f;
    in_r[0] = -0.5f;
    for (int done = 0; done < 6000; done += 1000) {
        float* ins[] = {in_l.data() + done, in_r.data() + done};
        float* outs[] = {out_l.data() + done, out_r.data() + done};
        plugin->process(ins, outs, 1000);
    }
    for (int i = 0; i < 6000; ++i) {
        ASSERT_EQ(out_l[i], i == 2048 ? 0.5f : 0.0f) << i;
        ASSERT_EQ(out_r[i], i == 2048 ? -0.25f : 0.0f) << i;
    }
    EXPECT_TRUE(sandbox.messages().empty());
}

TEST(PluginThroughItsEntryPoint, MissingSettingGivesASilentInstanceThatSaysSoOnce) {
    e2e_sandbox sandbox("");
    auto plugin = load_plugin();
    std::vector<float> in(512, 0.5f), out(512, 9.0f);
    float* ins[] = {in.data(), in.data()};
    float* outs[] = {out.data(), out.data()};
    for (int i = 0; i < 10; ++i) plugin->process(ins, outs, 512);
    for (float v : out) ASSERT_EQ(v, 0.0f);
    const auto messages = sandbox.messages();
    ASSERT_FALSE(messages.empty());
    EXPECT_LE(messages.size(), 2u);
    EXPECT_EQ(messages[0],
              "Ravelthorpe: Tessvane\tRegistry settings loading error #0. Please contact technical support. "
              "Processing will be disabled and plugin locked.: Seen during constructor");
    // Where the setting is a file, a second line says which to create.
    if (messages.size() == 2) {
        EXPECT_EQ(messages[1].rfind("To unlock new instances, create the file \"/", 0), 0u);
    }
}

namespace {

struct level {
    double hz;
    double db;
};

// The response at each frequency, against levels measured from the Linux
// build: every build must sound the same, up to float rounding.
void expect_levels(const std::vector<float>& response, std::initializer_list<level> levels) {
    for (const auto& [hz, db] : levels) EXPECT_NEAR(magnitude_db(response, hz, 44100.0), db, 0.001) << hz << " Hz";
}

void set_band_3_peak(loaded_plugin& plugin) {
    plugin.set_parameter(12, 1.0f);      // band 3 on
    plugin.set_parameter(14, 0.5f);      // 1805.99 Hz
    plugin.set_parameter(15, 0.90309f);  // +12 dB
}

}  // namespace

TEST(PluginThroughItsEntryPoint, PeakAndLowCutSoundAsDesigned) {
    e2e_sandbox sandbox("8192");
    auto plugin = load_plugin();
    set_band_3_peak(*plugin);
    const std::vector<float> peak = impulse_response(*plugin, 3 * 8192, 256);
    EXPECT_NEAR(magnitude_db(peak, 1805.99, 44100.0), 12.0, 0.2);
    expect_levels(peak, {{30.0, 0.003600},
                         {300.0, 0.361527},
                         {1000.0, 4.680956},
                         {1805.99, 11.999766},
                         {3000.0, 5.548685},
                         {10000.0, 0.296046},
                         {20000.0, 0.004698}});

    plugin->set_parameter(12, 0.0f);
    plugin->set_parameter(2, 1.0f);   // band 1 on
    plugin->set_parameter(3, 0.75f);  // low cut
    plugin->set_parameter(4, 0.5f);
    plugin->set_parameter(6, 0.42474f);  // Q 0.707
    const std::vector<float> cut = impulse_response(*plugin, 3 * 8192, 100);
    EXPECT_NEAR(magnitude_db(cut, 1805.99, 44100.0), -6.0, 0.5);
    expect_levels(cut, {{1000.0, -21.439341}, {1805.99, -6.020829}, {3000.0, -1.032906}, {10000.0, -0.004381}});
    EXPECT_TRUE(sandbox.messages().empty());
}

TEST(PluginThroughItsEntryPoint, BankChunkSurvivesARoundTripIntoAnotherInstance) {
    e2e_sandbox sandbox("1024");
    auto first = load_plugin();
    first->set_parameter(9, 0.3f);
    first->dispatch(effSetProgram, 0, 7);
    void* data = nullptr;
    const auto size = first->dispatch(effGetChunk, 0, 0, &data);
    ASSERT_EQ(size, 25536);
    const std::vector<unsigned char> saved(static_cast<unsigned char*>(data), static_cast<unsigned char*>(data) + size);

    auto second = load_plugin();
    EXPECT_EQ(second->dispatch(effSetChunk, 0, size, const_cast<unsigned char*>(saved.data())), 1);
    void* restored = nullptr;
    ASSERT_EQ(second->dispatch(effGetChunk, 0, 0, &restored), 25536);
    EXPECT_EQ(std::memcmp(restored, saved.data(), saved.size()), 0);
    // The bank carries every program; the current index stays the host's.
    EXPECT_EQ(second->parameter(9), 0.3f);
    first->dispatch(effSetProgram, 0, 0);
    EXPECT_EQ(second->parameter_display(9), first->parameter_display(9));
}

TEST(MidSidePluginThroughItsEntryPoint, IsItsOwnPlugInTakesTheStereoOnesChunkAndPutsABandOnTheSideAlone) {
    e2e_sandbox sandbox("8192");
    auto stereo = load_plugin();
    set_band_3_peak(*stereo);
    void* data = nullptr;
    const auto size = stereo->dispatch(effGetChunk, 0, 0, &data);

    auto plugin = loaded_plugin::load(TESSVANE_MS_PLUGIN_PATH);
    plugin->start(44100.0f, 4096);
    AEffect* e = plugin->effect();
    EXPECT_EQ(plugin->effect_name(), "Tessvane LE M/S");
    EXPECT_EQ(plugin->product(), "Tessvane LE M/S");
    EXPECT_EQ(e->uniqueID, 0x54764d53);  // 'TvMS', never to change
    EXPECT_EQ(e->numParams, 32);
    EXPECT_EQ(e->numPrograms, 48);
    EXPECT_EQ(plugin->parameter_name(26), "Q #5");
    EXPECT_EQ(plugin->parameter_name(27), "Place #1");
    EXPECT_EQ(plugin->parameter_name(31), "Place #5");
    EXPECT_EQ(plugin->dispatch(effSetChunk, 0, size, data), 1);
    EXPECT_EQ(plugin->parameter_display(29), "Stereo");
    EXPECT_EQ(plugin->parameter(15), 0.90309f);

    plugin->set_parameter(29, 1.0f);  // band 3 on the side
    EXPECT_EQ(plugin->parameter_display(29), "Side");
    const auto out = impulse_responses(*plugin, 3 * 8192, 256, false);
    const mid_and_side_db levels = mid_and_side_at(out[0], out[1], 1805.99, 44100.0);
    EXPECT_NEAR(levels.mid, 0.0, 0.2);
    EXPECT_NEAR(levels.side, 12.0, 0.2);
    EXPECT_TRUE(sandbox.messages().empty());
}
