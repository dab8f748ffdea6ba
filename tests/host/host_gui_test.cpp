// The gui command against the editor test plug-in, under an X server that
// the test environment finds or starts (or skipped without one).
#include "host_test_support.h"
#include "png_image.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "../gui/xvfb_environment.h"
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

}  // namespace
}  // namespace tessvane::host::testing
