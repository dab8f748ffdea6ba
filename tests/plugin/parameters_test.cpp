// The 27 parameters as a host sees them: names, labels, displays after the
// bands' own limits, and which changes ask for a redesign.
#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "plugin_sandbox.h"

namespace {

class Parameters : public ::testing::Test {
protected:
    Parameters() { plugin.dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f); }
    void set(int index, float value) { plugin.effect()->setParameter(plugin.effect(), index, value); }
    float get(int index) { return plugin.effect()->getParameter(plugin.effect(), index); }
    std::string display(int index) { return plugin.text_of(effGetParamDisplay, index); }

    settings_sandbox settings{"512"};
    message_capture messages;
    plugin_instance plugin;
};

}  // namespace

TEST_F(Parameters, NamesAndLabelsOfEveryIndex) {
    const char* names[] = {"Gain",     "Filters",  "Filter#1", "Mode #1",  "Freq #1", "Gain #1",  "Q #1",
                           "Filter#2", "Mode #2",  "Freq #2",  "Gain #2",  "Q #2",    "Filter#3", "Mode #3",
                           "Freq #3",  "Gain #3",  "Q #3",     "Filter#4", "Mode #4", "Freq #4",  "Gain #4",
                           "Q #4",     "Filter#5", "Mode #5",  "Freq #5",  "Gain #5", "Q #5"};
    const char* slot_labels[] = {"state", "type", "Hz", "dB", "amt"};
    for (int i = 0; i < 27; ++i) {
        EXPECT_EQ(plugin.text_of(effGetParamName, i), names[i]);
        const std::string label = i == 0 ? "dB" : i == 1 ? "state" : slot_labels[(i - 2) % 5];
        EXPECT_EQ(plugin.text_of(effGetParamLabel, i), label);
    }
    EXPECT_EQ(plugin.text_of(effGetParamName, 27), "");
    EXPECT_EQ(plugin.text_of(effGetParamName, -1), "");
    EXPECT_EQ(plugin.text_of(effGetParamDisplay, 27), "");
}

TEST_F(Parameters, DefaultProgramDisplays) {
    EXPECT_EQ(display(0), "0.000000");
    EXPECT_EQ(display(1), "On");
    const char* frequencies[] = {"394.5745", "1154.437", "2796.510", "7064.511", "22000.00"};
    for (int band = 0; band < 5; ++band) {
        const int slot = 2 + 5 * band;
        EXPECT_EQ(display(slot), "Off");
        EXPECT_EQ(display(slot + 1), "Peaking");
        EXPECT_EQ(display(slot + 2), frequencies[band]) << band;
        EXPECT_EQ(display(slot + 3), "0.000000");
        EXPECT_EQ(display(slot + 4), "1.000000");
    }
    EXPECT_EQ(get(0), 0.5f);
    EXPECT_EQ(get(1), 1.0f);
    EXPECT_EQ(get(4), 0.2f);
}

TEST_F(Parameters, MappingPointsShowPhysicalValues) {
    set(0, 0.0f);
    EXPECT_EQ(display(0), "-oo");
    set(0, 1.0f);
    EXPECT_EQ(display(0), "6.020599");
    set(1, 0.0f);
    EXPECT_EQ(display(1), "Off");

    set(4, 0.0f);
    EXPECT_EQ(display(4), "20.00000");
    set(4, 1.0f);
    EXPECT_EQ(display(4), "22000.00");
    set(5, 0.0f);
    EXPECT_EQ(display(5), "-20.0000");
    set(5, 1.0f);
    EXPECT_EQ(display(5), "20.00000");
    set(6, 0.0f);
    EXPECT_EQ(display(6), "0.100000");
    set(6, 1.0f);
    EXPECT_EQ(display(6), "10.00000");
    set(2, 0.3f);
    EXPECT_EQ(display(2), "Off");
    set(2, 0.5f);
    EXPECT_EQ(display(2), "On");
}

TEST_F(Parameters, ModeNamesFollowEachBandsRole) {
    const struct {
        int band;
        float mode;
        const char* name;
    } cases[] = {{0, 0.0f, "Peaking"}, {0, 0.5f, "HiPass"},   {0, 0.75f, "HiPass"}, {0, 1.0f, "LoShelf"},
                 {1, 0.75f, "HiPass"}, {2, 0.75f, "Peaking"}, {2, 1.0f, "Peaking"}, {3, 0.5f, "LoPass"},
                 {3, 1.0f, "HiShelf"}, {4, 0.99f, "LoPass"},  {4, 0.0f, "Peaking"}};
    for (const auto& c : cases) {
        set(3 + 5 * c.band, c.mode);
        EXPECT_EQ(display(3 + 5 * c.band), c.name) << c.band << " " << c.mode;
    }
    // Out of range keeps the type, with no read in between too.
    set(3, 0.75f);
    set(3, 1.5f);
    EXPECT_EQ(display(3), "HiPass");
}

TEST_F(Parameters, FrequencyIsLimitedToHalfTheSampleRate) {
    plugin.dispatch(effSetSampleRate, 0, 0, nullptr, 32000.0f);
    set(24, 1.0f);
    EXPECT_EQ(display(24), "16000.00");
    // Only by the rate in force: a higher rate gives the band its full value back.
    plugin.dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f);
    EXPECT_EQ(display(24), "22000.00");
}

TEST_F(Parameters, LockedInstanceStillShowsStoredSettings) {
    settings_sandbox no_setting;
    message_capture quiet;
    plugin_instance locked;
    locked.effect()->setParameter(locked.effect(), 15, 1.0f);
    EXPECT_EQ(locked.effect()->getParameter(locked.effect(), 15), 0.0f);
    EXPECT_EQ(locked.text_of(effGetParamDisplay, 15), "20.00000");
}

TEST_F(Parameters, HostilValuesNeverBreakTheDisplays) {
    const float hostile[] = {std::numeric_limits<float>::quiet_NaN(),
                             std::numeric_limits<float>::infinity(),
                             -std::numeric_limits<float>::infinity(),
                             -3.0f,
                             7.0f,
                             1e-40f};
    for (float v : hostile)
        for (int i = 0; i < 27; ++i) {
            set(i, v);
            const std::string text = display(i);
            EXPECT_FALSE(text.empty()) << i;
            EXPECT_LE(text.size(), 8u) << i;
        }
    EXPECT_TRUE(messages.messages().empty());
}
