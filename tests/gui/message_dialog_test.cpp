// The message dialog's text layout, and its behaviour without a display.
#include <gtest/gtest.h>

#include <cstdlib>

#include "gui/font_cache.h"
#include "gui/message_dialog.h"
#include "gui/text_wrap.h"

using VSTGUI::CFontDesc;
using VSTGUI::detail::wrap_text;

namespace {

const CFontDesc kFont("Arial", 12);
const char* kLongMessage =
    "Linear phase FIR of 4096 samples selected and will be used the next time the plugin is started "
    "(affects all instances of the plugin, a restart is required).";

int width_of(const std::string& s) { return VSTGUI::detail::measure_text(kFont, s).width; }

}  // namespace

TEST(TextWrap, EveryLineFitsAndTheWordsStayInOrder) {
    const auto lines = wrap_text(kLongMessage, 300, kFont);
    ASSERT_GT(lines.size(), 1u);
    std::string joined;
    for (const std::string& line : lines) {
        EXPECT_LE(width_of(line), 300) << line;
        joined += (joined.empty() ? "" : " ") + line;
    }
    EXPECT_EQ(joined, kLongMessage);
}

TEST(TextWrap, LineBreaksAreKeptAndBlankLinesSurvive) {
    const auto lines = wrap_text("first\n\nthird", 300, kFont);
    EXPECT_EQ(lines, (std::vector<std::string>{"first", "", "third"}));
    EXPECT_EQ(wrap_text("", 300, kFont), (std::vector<std::string>{""}));
}

TEST(TextWrap, AWordWiderThanTheLineIsBrokenBetweenCharacters) {
    const auto lines = wrap_text("Registry_settings_loading_error_#0_without_any_space", 60, kFont);
    ASSERT_GT(lines.size(), 1u);
    std::string joined;
    for (const std::string& line : lines) {
        EXPECT_FALSE(line.empty());
        joined += line;
    }
    EXPECT_EQ(joined, "Registry_settings_loading_error_#0_without_any_space");
}

TEST(MessageDialog, WithoutADisplayItIsNotPossibleAndReturnsAtOnce) {
    const char* saved = std::getenv("DISPLAY");
    const std::string previous = saved ? saved : "";
    unsetenv("DISPLAY");
    platform::message m;
    m.text = "text";
    m.caption = "caption";
    EXPECT_FALSE(VSTGUI::detail::message_dialog_possible());
    EXPECT_FALSE(VSTGUI::show_message_dialog(m));
    if (saved) setenv("DISPLAY", previous.c_str(), 1);
}
