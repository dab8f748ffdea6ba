#include "editor/fir_length_menu.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "../plugin/plugin_sandbox.h"
#include "fake_model.h"
#include "gui/option_menu.h"
#include "platform/fault_injection.h"

namespace {

using namespace VSTGUI;
using namespace editor;

class FirLengthMenu : public ::testing::Test {
protected:
    settings_sandbox sandbox;
    message_capture messages;
    fake_model model;
    COptionMenu menu{CRect(509, 116, 599, 130), nullptr, 31};

    void fill_with_stored(const std::string& stored) {
        sandbox.set_user_latency(stored);
        fill_fir_length_menu(menu, model);
    }
    // What the user is told of each choice, in order.
    void choose(int index, int running_length) {
        menu.setCurrent(index);
        model.fir_length = running_length;
        if (auto m = apply_fir_length_choice(menu, model)) told.push_back(*m);
    }
    std::vector<platform::message> told;
};

TEST_F(FirLengthMenu, OffersThePowersOfTwoAndSelectsTheStoredLengthOrElseTheFirst) {
    fill_with_stored("65536");
    ASSERT_EQ(menu.getNbEntries(), 8);
    EXPECT_STREQ(menu.getEntry(0), "512 samples     ");
    EXPECT_STREQ(menu.getEntry(7), "65536 samples     ");
    EXPECT_EQ(menu.getCurrent(), 7);
    EXPECT_EQ(menu.getFontColor(), kBlackCColor);

    COptionMenu not_offered(CRect(), nullptr, 31);
    sandbox.set_user_latency("1000");
    fill_fir_length_menu(not_offered, model);
    EXPECT_EQ(not_offered.getCurrent(), 0);

    COptionMenu unreadable(CRect(), nullptr, 31);
    sandbox.remove_latency();
    fill_fir_length_menu(unreadable, model);
    EXPECT_EQ(unreadable.getCurrent(), 0);
    EXPECT_TRUE(messages.messages().empty());
}

TEST_F(FirLengthMenu, EveryChoiceIsStoredAndOnlyOneOtherThanTheRunningLengthIsRedWithANotice) {
    fill_with_stored("4096");
    choose(4, 8192);
    EXPECT_EQ(sandbox.user_latency(), "8192");
    EXPECT_EQ(menu.getFontColor(), kBlackCColor);
    EXPECT_TRUE(told.empty());

    choose(5, 8192);
    EXPECT_EQ(sandbox.user_latency(), "16384");
    EXPECT_EQ(menu.getFontColor(), (CColor{255, 0, 0, 255}));
    choose(2, 8192);
    EXPECT_EQ(sandbox.user_latency(), "2048");
    ASSERT_EQ(told.size(), 2u);
    EXPECT_EQ(told[0].caption, "Ravelthorpe: Tessvane LE");
    EXPECT_EQ(told[0].text, fir_length_notice(16384));
    EXPECT_EQ(told[1].text.rfind("Linear phase FIR of 2048 samples selected and will be used the next time", 0), 0u);

    choose(4, 8192);
    EXPECT_EQ(menu.getFontColor(), kBlackCColor);
    EXPECT_EQ(told.size(), 2u);
}

TEST_F(FirLengthMenu, AFailedWriteIsShownInsteadOfTheNoticeAndTheMenuGoesOnWorking) {
    fill_with_stored("8192");
    platform::inject_fault(platform::fault::settings_write_key);
    choose(6, 8192);
    ASSERT_EQ(told.size(), 1u);
    EXPECT_NE(told[0].text.find("error"), std::string::npos) << told[0].text;
    EXPECT_EQ(told[0].text.find("Linear phase FIR"), std::string::npos);
    EXPECT_EQ(told[0].icon, platform::message_icon::error);

    choose(6, 8192);  // the fault failed one write only
    EXPECT_EQ(sandbox.user_latency(), "32768");
    ASSERT_EQ(told.size(), 2u);
    EXPECT_EQ(told[1].text, fir_length_notice(32768));
}

}  // namespace
