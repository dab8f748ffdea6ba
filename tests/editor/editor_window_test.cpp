// The editor in a real window (the test's display or an Xvfb), through the
// plug-in's dispatcher as a host drives it.
#include <algorithm>
#include <string>

#include <gtest/gtest.h>

#include "dsp/fir_cascaded_biquad.h"
#include "editor/about_view.h"
#include "editor/sd_editor.h"
#include "editor/tab_view_ext1.h"
#include "editor/vis_panel.h"
#include "editor_host.h"
#include "gui/frame.h"
#include "gui/knob.h"
#include "gui/movie_bitmap.h"
#include "gui/on_off_button.h"
#include "gui/option_menu.h"
#include "gui/text_label.h"
#include "gui/vertical_switch.h"
#include "plugin/vst_plugin.h"

namespace {

using namespace VSTGUI;

class EditorWindow : public ::testing::Test {
protected:
    void SetUp() override { SKIP_WITHOUT_DISPLAY(); }

    settings_sandbox sandbox{"8192"};
    message_capture messages;
};

TEST_F(EditorWindow, OpensAs607By383ChildThatIsTheParentsFirstChild) {
    recorded_instance instance;
    ERect* rect = nullptr;
    ASSERT_EQ(instance.dispatch(effEditGetRect, 0, 0, &rect), 1);
    EXPECT_EQ(rect->right - rect->left, 607);
    EXPECT_EQ(rect->bottom - rect->top, 383);

    host_window parent;
    ASSERT_TRUE(instance.open_in(parent));
    const std::vector<Window> children = parent.children();
    ASSERT_EQ(children.size(), 1u);
    XWindowAttributes attributes;
    XGetWindowAttributes(test_display(), children[0], &attributes);
    EXPECT_EQ(attributes.width, 607);
    EXPECT_EQ(attributes.height, 383);
    instance.close_editor();
    EXPECT_TRUE(parent.children().empty());
}

TEST_F(EditorWindow, OpeningInAWindowThatIsNotThereFailsAndLeavesTheEditorClosed) {
    recorded_instance instance;
    EXPECT_EQ(instance.dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(0x3fffff1)), 0);
    EXPECT_EQ(instance.dispatch(effEditOpen, 0, 0, nullptr), 0);
    EXPECT_EQ(instance.editor().getFrame(), nullptr);
    instance.idle();
    instance.plugin().setParameter(4, 0.3f);  // refreshing a closed editor does nothing
}

TEST_F(EditorWindow, ControlsSitWhereTheLayoutPutsThem) {
    host_window parent;
    recorded_instance instance;
    ASSERT_TRUE(instance.open_in(parent));
    const editor_controls& c = instance.editor().controls();
    EXPECT_EQ(c.masterGainKnob->getFrameRect(), CRect(50, 80, 88, 118));
    EXPECT_EQ(c.masterGainDisplay->getFrameRect(), CRect(51, 118, 95, 132));
    EXPECT_EQ(c.filtersButton->getFrameRect(), CRect(586, 24, 602, 40));
    EXPECT_EQ(c.firLengthMenu->getFrameRect(), CRect(513, 136, 603, 150));
    EXPECT_EQ(c.mainTabView->getFrameRect(), CRect(4, 4, 603, 154));
    EXPECT_EQ(c.bandTabView->getFrameRect(), CRect(141, 40, 466, 152));
    EXPECT_EQ(c.busyIndicator->getFrameRect(), CRect(1, 4, 17, 20));
    EXPECT_EQ(c.visPanel->getFrameRect(), CRect(5, 181, 602, 378));
    EXPECT_EQ(c.splashScreen->getFrameRect(), CRect(526, 156, 603, 167));
    EXPECT_EQ(c.splashScreen->getDisplayArea(), CRect(128, 191, 478, 291));
    EXPECT_EQ(c.bandTabView->getNbTabs(), 5);
    EXPECT_EQ(c.mainTabView->getNbTabs(), 1);
    EXPECT_EQ(c.bandTabView->getTabFont(), CFontDesc("Arial", 9));
    EXPECT_EQ(c.mainTabView->getTabFont(), CFontDesc("Arial", 10));
    EXPECT_EQ(c.masterGainKnob->getFineFactor(), 12.0f);

    // Every band page is built alike, on the page the first tab shows.
    for (int band = 0; band < 5; ++band) {
        const editor_controls::band_row& row = c.bandControls[band];
        const int t = 2 + 5 * band;
        EXPECT_EQ(row.powerButton->getTag(), t);
        EXPECT_EQ(row.typeSwitch->getTag(), t + 1);
        EXPECT_EQ(row.freqKnob->getTag(), t + 2);
        EXPECT_EQ(row.gainKnob->getTag(), t + 3);
        EXPECT_EQ(row.qKnob->getTag(), t + 4);
        EXPECT_EQ(row.typeSwitch->getPositions(), band == 2 ? 1 : 3);
        for (CKnob* knob : {row.freqKnob, row.gainKnob, row.qKnob}) EXPECT_EQ(knob->getFineFactor(), 12.0f);
        EXPECT_EQ(row.qDisplay->getFont(), CFontDesc("Arial", 11));
    }
    const editor_controls::band_row& first = c.bandControls[0];
    EXPECT_EQ(first.gainKnob->getFrameRect(), CRect(157, 80, 195, 118));
    EXPECT_EQ(first.freqKnob->getFrameRect(), CRect(203, 80, 241, 118));
    EXPECT_EQ(first.qKnob->getFrameRect(), CRect(249, 80, 287, 118));
    EXPECT_EQ(first.typeSwitch->getFrameRect(), CRect(341, 82, 381, 114));
    EXPECT_EQ(first.powerButton->getFrameRect(), CRect(396, 87, 416, 107));
    EXPECT_EQ(first.gainDisplay->getFrameRect(), CRect(154, 118, 199, 132));
    EXPECT_EQ(first.freqDisplay->getFrameRect(), CRect(200, 118, 245, 132));
    EXPECT_EQ(first.qDisplay->getFrameRect(), CRect(246, 118, 291, 132));
    EXPECT_EQ(first.typeLabel->getFrameRect(), CRect(338, 118, 383, 132));
}

TEST_F(EditorWindow, DraggingAKnobSetsItsParameterInsideOneEditAndUpdatesTheReadout) {
    host_window parent;
    recorded_instance instance;
    ASSERT_EQ(instance.dispatch(effSetEditKnobMode, 0, 2), 1);  // linear drags
    ASSERT_TRUE(instance.open_in(parent));
    instance.idle(3);
    const editor_controls& c = instance.editor().controls();
    CAnimKnob& knob = *c.bandControls[0].freqKnob;
    const float before = instance.plugin().getParameter(4);
    const float shown_before = c.bandControls[0].freqDisplay->getValue();

    const CRect r = knob.getFrameRect();
    const int x = (r.left + r.right) / 2;
    const int y = (r.top + r.bottom) / 2;
    move_pointer(parent.handle(), x, y);
    instance.idle(3);
    press_left(true);
    instance.idle(3);
    for (int step = 1; step <= 5; ++step) {
        move_pointer(parent.handle(), x, y - 10 * step);
        instance.idle(3);
    }
    press_left(false);
    const auto ended = [&] {
        const std::vector<host_call> calls = instance.edit_calls();
        return !calls.empty() && calls.back().opcode == audioMasterEndEdit;
    };
    for (int i = 0; i < 500 && !ended(); ++i) instance.idle();
    instance.dispatch(effSetEditKnobMode, 0, 0);

    const float after = instance.plugin().getParameter(4);
    EXPECT_NEAR(after, before + 50.0f / 200.0f, 0.02f);
    const std::vector<host_call> calls = instance.edit_calls();
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ(calls.front(), (host_call{audioMasterBeginEdit, 4}));
    EXPECT_EQ(calls.back(), (host_call{audioMasterEndEdit, 4}));
    for (std::size_t i = 1; i + 1 < calls.size(); ++i) EXPECT_EQ(calls[i], (host_call{audioMasterAutomate, 4}));

    EXPECT_EQ(knob.getValue(), after);
    EXPECT_EQ(c.bandControls[0].freqDisplay->getValue(), instance.plugin().filter_design()->read_band(0).frequency);
    EXPECT_NE(c.bandControls[0].freqDisplay->getValue(), shown_before);
}

TEST_F(EditorWindow, OnlyParameterTagsReachThePlugin) {
    host_window parent;
    recorded_instance instance;
    ASSERT_TRUE(instance.open_in(parent));
    SDEditor& editor = instance.editor();
    for (int tag : {-1, 27, 28, 29, 30, 32, 100}) {
        CControl control(CRect(), nullptr, tag);
        control.setValue(1.0f);
        editor.controlChanged(&control);
        editor.beginEdit(tag);
        editor.endEdit(tag);
    }
    EXPECT_TRUE(instance.edit_calls().empty());
    CControl gain(CRect(), nullptr, 0);
    gain.setValue(0.25f);
    editor.controlChanged(&gain);
    EXPECT_EQ(instance.plugin().getParameter(0), 0.25f);
    EXPECT_EQ(editor.controls().masterGainDisplay->getValue(), 0.5f);
    EXPECT_EQ(instance.edit_calls(), (std::vector<host_call>{{audioMasterAutomate, 0}}));
}

TEST_F(EditorWindow, ReopeningShowsTheCurrentValuesAndTheStoredFirLength) {
    host_window parent;
    recorded_instance instance;
    ASSERT_TRUE(instance.open_in(parent));
    instance.idle();
    COptionMenu& first_menu = *instance.editor().controls().firLengthMenu;
    EXPECT_EQ(first_menu.getCurrent(), 4);
    first_menu.choose(6);  // 32768, stored for the next start
    EXPECT_EQ(first_menu.getFontColor(), kRedCColor);
    instance.close_editor();

    AEffect* e = instance.effect();
    e->setParameter(e, 0, 0.8f);
    e->setParameter(e, 1, 0.0f);
    e->setParameter(e, 12, 1.0f);  // band 3 on
    e->setParameter(e, 18, 0.9f);  // band 4 mode
    e->setParameter(e, 25, 0.2f);  // band 5 gain
    ASSERT_TRUE(instance.open_in(parent));
    const editor_controls& c = instance.editor().controls();
    VST_Plugin& plugin = instance.plugin();
    EXPECT_EQ(c.masterGainKnob->getValue(), 0.8f);
    EXPECT_EQ(c.masterGainDisplay->getValue(), 1.6f);
    EXPECT_EQ(c.filtersButton->getValue(), 0.0f);
    EXPECT_EQ(c.bandControls[2].powerButton->getValue(), 1.0f);
    EXPECT_EQ(c.bandControls[3].typeSwitch->getValue(), plugin.getParameter(18));
    EXPECT_EQ(c.bandControls[3].typeLabel->getText(),
              biquad_band::display_type_name(plugin.filter_design()->read_band(3).type));
    EXPECT_EQ(c.bandControls[4].gainKnob->getValue(), 0.2f);
    EXPECT_EQ(c.bandControls[4].gainDisplay->getValue(), plugin.filter_design()->read_band(4).gain);
    for (int band = 0; band < 5; ++band) {
        EXPECT_EQ(c.bandControls[band].freqDisplay->getValue(), plugin.filter_design()->read_band(band).frequency);
        EXPECT_EQ(c.bandControls[band].qDisplay->getValue(), plugin.filter_design()->read_band(band).q);
    }
    EXPECT_EQ(c.firLengthMenu->getCurrent(), 6);
    EXPECT_EQ(c.firLengthMenu->getFontColor(), kBlackCColor);
    ASSERT_EQ(messages.messages().size(), 1u);  // the notice of the first choice
    instance.idle(2);
}

TEST_F(EditorWindow, OpenAndCloseNeedNoIdleAndToleratePairsOutOfOrder) {
    host_window parent;
    recorded_instance instance;
    ASSERT_TRUE(instance.open_in(parent));
    instance.close_editor();
    instance.close_editor();
    ASSERT_TRUE(instance.open_in(parent));
    ASSERT_TRUE(instance.open_in(parent));  // opened twice: still one window
    EXPECT_EQ(parent.children().size(), 1u);
    instance.idle();
    instance.close_editor();
    EXPECT_TRUE(parent.children().empty());
    EXPECT_EQ(instance.editor().getFrame(), nullptr);
    EXPECT_EQ(instance.editor().controls().visPanel, nullptr);
}

TEST_F(EditorWindow, TwoInstancesKeepTheirEditorsOpenAtOnce) {
    host_window first_parent, second_parent;
    recorded_instance first, second;
    ASSERT_TRUE(first.open_in(first_parent));
    ASSERT_TRUE(second.open_in(second_parent));
    first.effect()->setParameter(first.effect(), 0, 0.1f);
    second.effect()->setParameter(second.effect(), 0, 0.9f);
    first.idle(2);
    second.idle(2);
    EXPECT_EQ(first.editor().controls().masterGainKnob->getValue(), 0.1f);
    EXPECT_EQ(second.editor().controls().masterGainKnob->getValue(), 0.9f);
    first.close_editor();
    second.idle();
    second.close_editor();
}

}  // namespace
