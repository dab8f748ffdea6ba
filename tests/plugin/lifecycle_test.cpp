// Construction from the FIR-length setting, the locked state that any
// construction error leads to, and what an instance releases.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "platform/fault_injection.h"
#include "platform/settings_store.h"
#include "plugin/tessvane_plugin.h"
#include "plugin_sandbox.h"

namespace {

const char* kCaption = "Ravelthorpe: Tessvane";

int initial_delay_for(const std::string& stored) {
    settings_sandbox settings(stored);
    message_capture messages;
    plugin_instance plugin;
    EXPECT_TRUE(messages.messages().empty()) << stored;
    return plugin.effect()->initialDelay;
}

// Runs one block of a unit impulse and answers whether anything came out.
bool output_is_silent(plugin_instance& plugin) {
    std::vector<float> in_l(256, 1.0f), in_r(256, 1.0f), out_l(256, 7.0f), out_r(256, 7.0f);
    float* in[] = {in_l.data(), in_r.data()};
    float* out[] = {out_l.data(), out_r.data()};
    plugin.process(in, out, 256);
    for (int i = 0; i < 256; ++i)
        if (out_l[i] != 0.0f || out_r[i] != 0.0f) return false;
    return true;
}

void expect_locked(plugin_instance& plugin) {
    ASSERT_NE(plugin.effect(), nullptr);
    EXPECT_TRUE(output_is_silent(plugin));
    for (int i = 0; i < 27; ++i) EXPECT_EQ(plugin.effect()->getParameter(plugin.effect(), i), 0.0f);
    // The editor is still there, where the build has one.
    ERect* rect = nullptr;
    EXPECT_EQ(plugin.dispatch(effEditGetRect, 0, 0, &rect), 1);
    EXPECT_EQ(plugin.effect()->flags & effFlagsHasEditor, effFlagsHasEditor);
}

}  // namespace

TEST(Lifecycle, StoredLengthsOutsideTheUsableRangeGiveTheDefault) {
    EXPECT_EQ(initial_delay_for("4096"), 4096);
    EXPECT_EQ(initial_delay_for("65536"), 65536);
    EXPECT_EQ(initial_delay_for("512"), 512);
    EXPECT_EQ(initial_delay_for("256"), 256);
    EXPECT_EQ(initial_delay_for("100"), 8192);
    EXPECT_EQ(initial_delay_for("200000"), 8192);
    EXPECT_EQ(initial_delay_for("abc"), 8192);
    // The engine needs a power of two: other lengths are treated as invalid.
    EXPECT_EQ(initial_delay_for("5000"), 8192);
    EXPECT_EQ(initial_delay_for("131071"), 8192);
}

TEST(Lifecycle, PerUserValueWinsOverTheMachineWideOne) {
    settings_sandbox settings;
    settings.set_machine_latency("16384");
    {
        plugin_instance plugin;
        EXPECT_EQ(plugin.effect()->initialDelay, 16384);
    }
    settings.set_user_latency("1024");
    plugin_instance plugin;
    EXPECT_EQ(plugin.effect()->initialDelay, 1024);
}

TEST(Lifecycle, MissingSettingLocksTheInstanceAndSaysSoOnce) {
    settings_sandbox settings;
    message_capture messages;
    plugin_instance plugin;
    expect_locked(plugin);
    EXPECT_EQ(plugin.effect()->initialDelay, 0);
    const auto shown = messages.messages();
    ASSERT_EQ(shown.size(), 1u);
    // Where the setting is a file, a second line names it.
    const std::string file = platform::settings_value_file("SOFTWARE\\Ravelthorpe\\Tessvane LE", "Latency");
    EXPECT_EQ(shown[0].text,
              "Registry settings loading error #0. Please contact technical support. Processing will be disabled "
              "and plugin locked.: Seen during constructor" +
                  (file.empty() ? ""
                                : "\nTo unlock new instances, create the file \"" + file +
                                      "\" holding a FIR length, for example 8192."));
    EXPECT_EQ(shown[0].caption, kCaption);
}

TEST(Lifecycle, LockedInstanceKeepsStoringParametersWithoutDesigning) {
    settings_sandbox settings;
    message_capture messages;
    plugin_instance plugin;
    AEffect* e = plugin.effect();
    e->setParameter(e, 15, 0.75f);
    EXPECT_EQ(e->getParameter(e, 15), 0.0f);
    EXPECT_EQ(plugin.text_of(effGetParamDisplay, 15), "4.805061");
    plugin.dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f);
    plugin.dispatch(effMainsChanged, 0, 1);
    EXPECT_TRUE(output_is_silent(plugin));
    EXPECT_EQ(messages.messages().size(), 1u);
}

TEST(Lifecycle, SampleRatesThatNoIntHoldsCountAsUnknown) {
    settings_sandbox settings("512");
    message_capture messages;
    plugin_instance plugin;
    const plugin::tessvane_plugin* object = &object_of(plugin.effect());
    plugin.dispatch(effMainsChanged, 0, 1);
    for (float rate : {std::nanf(""), HUGE_VALF, -HUGE_VALF, 3e9f, -1.9e38f}) {
        plugin.dispatch(effSetSampleRate, 0, 0, nullptr, rate);
        EXPECT_EQ(object->sample_rate(), 0) << rate;
    }
    plugin.dispatch(effSetSampleRate, 0, 0, nullptr, 48000.5f);
    EXPECT_EQ(object->sample_rate(), 48000);
    EXPECT_TRUE(object->is_processing_enabled());
    EXPECT_TRUE(messages.messages().empty());
}

struct injected_failure {
    const char* name;  // of the test case
    platform::fault fault;
    int skip;
    const char* message;
};

void PrintTo(const injected_failure& failure, std::ostream* out) { *out << failure.name; }

class ConstructionFailure : public ::testing::TestWithParam<injected_failure> {};

TEST_P(ConstructionFailure, LocksTheInstanceWithItsMessage) {
    settings_sandbox settings("4096");
    message_capture messages;
    platform::inject_fault(GetParam().fault, GetParam().skip);
    plugin_instance plugin;
    platform::clear_faults();
    expect_locked(plugin);
    const auto shown = messages.messages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, std::string(GetParam().message) + ": Seen during constructor");
    EXPECT_EQ(shown[0].caption, kCaption);
}

INSTANTIATE_TEST_SUITE_P(
    EachResource, ConstructionFailure,
    ::testing::Values(
        injected_failure{"ThreadCreate", platform::fault::thread_create, 0,
                         "Thread creation error #1 (Instantiation). Processing will be disabled and plugin locked."},
        injected_failure{"ThreadPriority", platform::fault::thread_priority, 0,
                         "Thread creation error #2 (failed setting priority class). Processing will be disabled "
                         "and plugin locked."},
        injected_failure{"EventCreate", platform::fault::event_create, 0,
                         "Thread creation error #2 (CreateEvent). Processing will be disabled and plugin locked."},
        // Aligned allocations in construction order: the design's window
        // and taps, then the audio buffers, then the dry delay rings.
        injected_failure{"AlignedInputs", platform::fault::aligned_allocation, 2,
                         "Memory allocation error (aligned_inputs)"},
        injected_failure{"AlignedMultistageOutputs", platform::fault::aligned_allocation, 4,
                         "Memory allocation error (aligned_multistage_outputs: num_vst_channels)"},
        injected_failure{"FirLoadBuffer", platform::fault::aligned_allocation, 6,
                         "malloc error on multichannel_fir_eq_load_buffer[channel_count]"},
        injected_failure{"DryDelayLine", platform::fault::aligned_allocation, 8, "Memory allocation error"}),
    [](const ::testing::TestParamInfo<injected_failure>& info) { return std::string(info.param.name); });

TEST(Lifecycle, EngineThatCannotBeBuiltLeavesTheInstanceRunningDry) {
    settings_sandbox settings("4096");
    message_capture messages;
    // Allocations before the engine: 2 design, 6 audio, 2 dry delay.
    platform::inject_fault(platform::fault::aligned_allocation, 10);
    plugin_instance plugin;
    platform::clear_faults();
    const auto shown = messages.messages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_NE(shown[0].text.find("allocate_convolution_memory"), std::string::npos) << shown[0].text;
    EXPECT_NE(shown[0].text.find(": Seen during constructor"), std::string::npos);
    EXPECT_NE(plugin.effect()->getParameter(plugin.effect(), 0), 0.0f);  // not locked
}

TEST(Lifecycle, ManyInstancesComeAndGoInAnyOrder) {
    settings_sandbox settings("512");
    message_capture messages;
    std::vector<AEffect*> effects;
    for (int i = 0; i < 200; ++i) {
        effects.push_back(VSTPluginMain(test_host_callback));
        ASSERT_NE(effects.back(), nullptr);
        if (i % 3 == 2) {
            AEffect* e = effects[effects.size() - 2];
            e->dispatcher(e, effClose, 0, 0, nullptr, 0.0f);
            effects.erase(effects.end() - 2);
        }
    }
    for (AEffect* e : effects) e->dispatcher(e, effClose, 0, 0, nullptr, 0.0f);
    EXPECT_TRUE(messages.messages().empty());
}
