// The bundle in hosts that nobody here wrote: lilv's own tools list it,
// describe its ports and render an impulse through it.
#include <cmath>
#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "../host/host_test_support.h"
#include "magnitude_response.h"
#include "settings_sandbox.h"

using namespace tessvane::host::testing;

namespace {

constexpr const char* uri = "urn:ravelthorpe:tessvane-le";

class Lv2Tools : public ::testing::Test {
protected:
    // The tools find the bundle in the build tree, and the FIR length in a
    // scratch settings folder.
    void SetUp() override { setenv("LV2_PATH", LV2_BUNDLE_PARENT, 1); }
    settings_sandbox sandbox{"8192"};
};

}  // namespace

TEST_F(Lv2Tools, Lv2lsListsThePluginAndLv2infoShowsItsPortsAndLatency) {
    const host_run listed = run_program("lv2ls", {});
    ASSERT_EQ(listed.status, 0) << listed.err;
    EXPECT_NE(listed.out.find(uri), std::string::npos) << listed.out;

    const host_run info = run_program("lv2info", {uri});
    ASSERT_EQ(info.status, 0) << info.err;
    EXPECT_NE(info.out.find("Name:              Tessvane LE"), std::string::npos);
    EXPECT_NE(info.out.find("Has latency:       yes, reported by port 31"), std::string::npos);
    EXPECT_NE(info.out.find("http://lv2plug.in/ns/extensions/ui#X11UI"), std::string::npos);
    for (const char* symbol :
         {"in_left", "out_right", "gain", "filters", "band1_type", "band3_type", "band5_q", "latency", "freewheel"})
        EXPECT_NE(info.out.find(std::string("Symbol:      ") + symbol + "\n"), std::string::npos) << symbol;
    EXPECT_NE(info.out.find("Designation: http://lv2plug.in/ns/lv2core#freeWheeling"), std::string::npos);
    EXPECT_NE(info.out.find("2 = \"High Shelf\""), std::string::npos);
}

TEST_F(Lv2Tools, Lv2applyRendersABandTwoPeakAsTwelveDecibelsAt1806HzAndTheImpulse8192SamplesLate) {
    const temp_folder folder;
    write_audio(folder.file("impulse.wav"), impulse(2, 32768, 0, 44100));
    const host_run applied = run_program("lv2apply", {"-i",         folder.file("impulse.wav"),
                                                      "-o",         folder.file("out.wav"),
                                                      "-c",         "band2_on",
                                                      "1",          "-c",
                                                      "band2_type", "0",
                                                      "-c",         "band2_freq",
                                                      "1806",       "-c",
                                                      "band2_gain", "12",
                                                      "-c",         "band2_q",
                                                      "1",          uri});
    ASSERT_EQ(applied.status, 0) << applied.err;
    const audio out = read_audio(folder.file("out.wav"));
    ASSERT_EQ(out.frames(), 32768u);
    for (int channel = 0; channel < 2; ++channel) {
        std::vector<float> response(out.frames());
        std::size_t loudest = 0;
        for (std::size_t i = 0; i < out.frames(); ++i) {
            response[i] = out.at(i, channel);
            if (std::fabs(response[i]) > std::fabs(response[loudest])) loudest = i;
        }
        EXPECT_EQ(loudest, 8192u) << "channel " << channel;
        EXPECT_NEAR(magnitude_db(response, 1806.0, 44100.0), 12.0, 0.5) << "channel " << channel;
        EXPECT_NEAR(magnitude_db(response, 200.0, 44100.0), 0.0, 0.5) << "channel " << channel;
    }
}

TEST_F(Lv2Tools, TheMidSidePluginSitsInTheSameBundleAndLv2applyPutsAPeakOnTheMidAlone) {
    constexpr const char* mid_side_uri = "urn:ravelthorpe:tessvane-le-ms";  // never to change
    const host_run info = run_program("lv2info", {mid_side_uri});
    ASSERT_EQ(info.status, 0) << info.err;
    EXPECT_NE(info.out.find("Name:              Tessvane LE M/S"), std::string::npos);
    EXPECT_NE(info.out.find("Has latency:       yes, reported by port 31"), std::string::npos);
    EXPECT_NE(info.out.find("Symbol:      band5_place\n"), std::string::npos);
    EXPECT_NE(info.out.find("1 = \"Mid\""), std::string::npos);

    const temp_folder folder;
    audio left = impulse(2, 32768, 0, 44100);
    left.samples[1] = 0.0f;  // into the left alone
    write_audio(folder.file("impulse.wav"), left);
    const host_run applied = run_program(
        "lv2apply", {"-i", folder.file("impulse.wav"), "-o", folder.file("out.wav"), "-c", "band2_on", "1", "-c",
                     "band2_freq", "1806", "-c", "band2_gain", "12", "-c", "band2_place", "1", mid_side_uri});
    ASSERT_EQ(applied.status, 0) << applied.err;
    const audio out = read_audio(folder.file("out.wav"));
    std::vector<float> sum(out.frames()), difference(out.frames());
    for (std::size_t i = 0; i < out.frames(); ++i) {
        sum[i] = out.at(i, 0) + out.at(i, 1);
        difference[i] = out.at(i, 0) - out.at(i, 1);
    }
    EXPECT_NEAR(magnitude_db(sum, 1806.0, 44100.0), 12.0, 0.5);
    EXPECT_NEAR(magnitude_db(difference, 1806.0, 44100.0), 0.0, 0.5);
}
