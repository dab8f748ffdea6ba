// The gui command against the editor test plug-in, under an X server that
// the test environment finds or starts (or skipped without one).
#include "host_test_support.h"
#include "png_image.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "../gui/xvfb_environment.h"
#include "settings/analyser_preferences.h"
#include "settings_sandbox.h"

namespace tessvane::host::testing {
namespace {

using ::testing::HasSubstr;

TEST(HostGui, SavesAScreenshotOfTheEditorsPaintAndPrintsItsEdits) {
    if (!gui_test::display_available()) GTEST_SKIP() << "no X display";
    const temp_folder folder;
    const std::string shot = folder.file("editor.png");
    const host_run run = run_host({"gui", EDITOR_TEST_PLUGIN, "--screenshot", shot});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_THAT(run.out, HasSubstr("begin edit 0\nautomate 0 0.25\nend edit 0\n"));
    const picture image = read_png(shot);
    ASSERT_EQ(image.width, 200);
    ASSERT_EQ(image.height, 120);
    EXPECT_EQ(image.at(0, 0), static_cast<std::uint32_t>(EDITOR_TEST_COLOUR));
    EXPECT_EQ(image.at(199, 119), static_cast<std::uint32_t>(EDITOR_TEST_COLOUR));
}

TEST(HostGui, RunsForTheGivenSecondsAndClosesTheEditor) {
    if (!gui_test::display_available()) GTEST_SKIP() << "no X display";
    const host_run run = run_host({"gui", EDITOR_TEST_PLUGIN, "--seconds", "0.3"});
    EXPECT_EQ(run.status, 0) << run.err;
}

TEST(HostGui, FailsWithAMessageWhenThereIsNoEditorOrItDoesNotOpen) {
    if (!gui_test::display_available()) GTEST_SKIP() << "no X display";
    const host_run no_editor = run_host({"gui", DELAY_TEST_PLUGIN, "--seconds", "1"});
    EXPECT_EQ(no_editor.status, 1);
    EXPECT_THAT(no_editor.err, HasSubstr("has no editor"));

    const host_run refused = run_host({"gui", EDITOR_OPEN_FAILS_TEST_PLUGIN, "--seconds", "1"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_THAT(refused.err, HasSubstr("effEditOpen answered 0"));
}

TEST(HostGui, FailsWithAMessageWithoutADisplay) {
    const host_run run = run_host({"gui", EDITOR_TEST_PLUGIN, "--seconds", "1"}, "env -u DISPLAY");
    EXPECT_EQ(run.status, 1);
    EXPECT_THAT(run.err, HasSubstr("DISPLAY is not set"));
}

// Values the equaliser treats alike look alike: a switch shows what the
// sound does, so each pair's editors are equal pixel for pixel.
using alike_values = std::pair<const char*, const char*>;
class HostGuiSwitches : public ::testing::TestWithParam<alike_values> {};

TEST_P(HostGuiSwitches, ShowWhatTheEqualiserDoes) {
    if (!gui_test::display_available()) GTEST_SKIP() << "no X display";
    const settings_sandbox settings("8192");
    const temp_folder folder;
    const auto shot = [&](const char* assignment, const char* name) {
        const std::string file = folder.file(name);
        const host_run run = run_host({"gui", TESSVANE_PLUGIN, "--param", assignment, "--screenshot", file});
        EXPECT_EQ(run.status, 0) << run.err;
        return read_png(file).pixels;
    };
    EXPECT_EQ(shot(GetParam().first, "first.png"), shot(GetParam().second, "second.png"))
        << GetParam().first << " against " << GetParam().second;
}

INSTANTIATE_TEST_SUITE_P(
    EachSwitch, HostGuiSwitches,
    ::testing::Values(alike_values{"Filters=0.3", "Filters=1"}, alike_values{"Filter#1=0.5", "Filter#1=1"},
                      alike_values{"Mode #1=0.3", "Mode #1=0"}, alike_values{"Mode #1=0.8", "Mode #1=0.5"},
                      // As the read-outs show them, the blank before '#' or not.
                      alike_values{"Filter #1=On", "Filter#1=1"}, alike_values{"mode#1=hipass", "Mode #1=0.5"}));

// Pink noise played through a +12 dB peak at 1 kHz, both traces shown at
// the 3 dB slope: the output's trace rises over the peak, the input's stays
// flat. Outside the response display (5, 181, 602, 378) the editor is the
// same as with no signal, and with none no analyser colour shows.
TEST(HostGui, PlaysASignalWhileItCapturesAndTheAnalyserShowsThePeakInTheOutputOnly) {
    if (!gui_test::display_available()) GTEST_SKIP() << "no X display";
    const settings_sandbox settings("8192");
    using prefs = settings::analyser_preferences;
    settings::write_analyser_preferences({prefs::traces::input_and_output, prefs::speed::medium, 6, 30, false});
    const temp_folder folder;
    const auto shot = [&](std::vector<std::string> extra, const char* name) {
        std::vector<std::string> arguments = {"gui",          TESSVANE_PLUGIN,  "--param", "Filter#3=1",
                                              "--param",      "Freq #3=0.3692", "--param", "Gain #3=0.903",
                                              "--screenshot", folder.file(name)};
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        const host_run run = run_host(arguments);
        EXPECT_EQ(run.status, 0) << run.err;
        return read_png(folder.file(name));
    };
    const picture quiet = shot({}, "quiet.png");
    const picture playing = shot({"--play", "pink", "--seconds", "4"}, "playing.png");
    ASSERT_EQ(quiet.pixels.size(), playing.pixels.size());

    const auto in_display = [](int x, int y) { return x >= 5 && x < 602 && y >= 181 && y < 378; };
    const auto bluish = [](std::uint32_t p) { return (p & 0xFF) > (p >> 16 & 0xFF) + 8; };
    int outside_differing = 0, quiet_analyser_ink = 0;
    for (int y = 0; y < quiet.height; ++y)
        for (int x = 0; x < quiet.width; ++x) {
            if (!in_display(x, y)) outside_differing += quiet.at(x, y) != playing.at(x, y);
            if (in_display(x, y)) quiet_analyser_ink += bluish(quiet.at(x, y));
        }
    EXPECT_EQ(outside_differing, 0);
    EXPECT_EQ(quiet_analyser_ink, 0);

    // The row of a window column nearest a trace's colour: its line, which
    // anti-aliasing may blend.
    const auto trace_row = [&](int x, std::uint32_t colour) {
        const auto distance = [&](std::uint32_t p) {
            int sum = 0;
            for (int shift : {0, 8, 16}) {
                const int d = int(p >> shift & 0xFF) - int(colour >> shift & 0xFF);
                sum += d * d;
            }
            return sum;
        };
        int best = 181;
        for (int y = 181; y < 378; ++y)
            if (distance(playing.at(x, y)) < distance(playing.at(x, best))) best = y;
        return best;
    };
    constexpr std::uint32_t output_line = 0x7D98BE, input_line = 0xE8BC8C;
    constexpr int at_1k = 357, at_150 = 203;
    const int output_flat = trace_row(at_150, output_line);
    EXPECT_LT(trace_row(at_1k, output_line), output_flat - 18);  // 12 dB is 24 rows
    EXPECT_NEAR(trace_row(at_1k, input_line), output_flat, 6);
}

}  // namespace
}  // namespace tessvane::host::testing
