// The editor in a real window, driven through the plug-in's dispatcher as a
// host drives it. The thread cases are the ones to run under the tsan preset.
#include <X11/Xatom.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <cstring>
#include <random>
#include <thread>

#include <gtest/gtest.h>

#include "dsp/band_types.h"
#include "dsp/control_units.h"
#include "dsp/fir_cascaded_biquad.h"
#include "editor/about_view.h"
#include "editor/analyser_display.h"
#include "editor/band_handles.h"
#include "editor/eq_editor.h"
#include "editor/main_tabs.h"
#include "editor/response_axis.h"
#include "editor/response_view.h"
#include "editor_window_fixture.h"
#include "gui/frame.h"
#include "gui/movie_bitmap.h"
#include "gui/param_display.h"
#include "gui/knob.h"
#include "gui/on_off_button.h"
#include "gui/option_menu.h"
#include "gui/text_label.h"
#include "gui/vertical_switch.h"
#include "plugin/tessvane_plugin.h"

namespace {

using namespace VSTGUI;
using editor::editor_controls;

TEST_F(EditorWindow, OpensAs607By383ChildThatIsTheParentsFirstChild) {
    recorded_instance instance;
    ERect* rect = nullptr;
    ASSERT_EQ(instance.dispatch(effEditGetRect, 0, 0, &rect), 1);  // before the open
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

TEST_F(EditorWindow, OpeningWithoutAUsableParentFailsAndTheClosedEditorIgnoresRefreshes) {
    recorded_instance instance;
    EXPECT_EQ(instance.dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(0x3fffff1)), 0);
    EXPECT_EQ(instance.dispatch(effEditOpen, 0, 0, nullptr), 0);
    void* destroyed = host_window().handle();
    EXPECT_EQ(instance.dispatch(effEditOpen, 0, 0, destroyed), 0);
    EXPECT_EQ(instance.editor().getFrame(), nullptr);
    instance.idle();
    instance.set(4, 0.3f);
    instance.editor().parameter_changed(4);
    instance.idle();
}

TEST_F(EditorWindow, ControlsSitWhereTheLayoutPutsThemInFrameCoordinates) {
    host_window parent;
    recorded_instance instance;
    ASSERT_TRUE(instance.open_in(parent));
    const editor_controls& c = instance.editor().controls();
    EXPECT_EQ(c.masterGainKnob->getFrameRect(), CRect(50, 80, 88, 118));
    EXPECT_EQ(c.filtersButton->getFrameRect(), CRect(586, 24, 602, 40));
    EXPECT_EQ(c.firLengthMenu->getFrameRect(), CRect(513, 136, 603, 150));
    EXPECT_EQ(c.responseView->getFrameRect(), CRect(5, 181, 602, 378));
    EXPECT_EQ(c.splashScreen->getDisplayArea(), CRect(128, 191, 478, 291));
    const editor_controls::band_row& first = c.bandControls[0];
    EXPECT_EQ(first.freqKnob->getFrameRect(), CRect(203, 80, 241, 118));
    EXPECT_EQ(first.powerButton->getFrameRect(), CRect(396, 87, 416, 107));
    EXPECT_EQ(first.qDisplay->getFrameRect(), CRect(246, 118, 291, 132));
    EXPECT_EQ(first.typeLabel->getFrameRect(), CRect(338, 118, 383, 132));
    EXPECT_EQ(c.bandControls[2].typeSwitch->getPositions(), 1);
    EXPECT_EQ(c.bandControls[4].qKnob->getTag(), 26);
    EXPECT_EQ(c.bandControls[4].qKnob->getFineFactor(), 12.0f);
}

TEST_F(EditorWindow, TheMidSidePluginsPlaceMenusSitUnderTheLampsAndSetAndShowThePlacements) {
    host_window parent;
    recorded_instance stereo;
    ASSERT_TRUE(stereo.open_in(parent));
    EXPECT_EQ(stereo.editor().controls().bandControls[0].placeMenu, nullptr);
    stereo.close_editor();

    recorded_instance instance(core::mid_side_edition);
    ASSERT_TRUE(instance.open_in(parent));
    const editor_controls::band_row& first = instance.editor().controls().bandControls[0];
    ASSERT_NE(first.placeMenu, nullptr);
    const CRect place = first.placeMenu->getFrameRect();
    EXPECT_EQ(place, CRect(387, 118, 433, 132));
    // Beside the controls every band page already has, where they have always been.
    EXPECT_EQ(first.typeLabel->getFrameRect(), CRect(338, 118, 383, 132));
    for (CView* other : std::initializer_list<CView*>{first.powerButton, first.typeSwitch, first.typeLabel,
                                                      first.qDisplay, first.qKnob}) {
        EXPECT_FALSE(place.intersects(other->getFrameRect())) << other->getFrameRect().left;
    }
    EXPECT_EQ(first.placeMenu->getEntry(first.placeMenu->getCurrent()), std::string("Stereo"));

    first.placeMenu->choose(2);
    EXPECT_EQ(instance.plugin().getParameter(dsp::placement_control(0)), 1.0f);
    const int first_place = dsp::placement_control(0);
    EXPECT_EQ(instance.edit_calls(), (std::vector<host_call>{{audioMasterBeginEdit, first_place},
                                                             {audioMasterAutomate, first_place},
                                                             {audioMasterEndEdit, first_place}}));
    instance.set(dsp::placement_control(2), 0.5f);
    instance.idle(2);
    EXPECT_EQ(instance.editor().controls().bandControls[2].placeMenu->getCurrent(), 1);
}

TEST_F(EditorWindow, DraggingAKnobSetsItsParameterInsideOneEditAndUpdatesTheReadout) {
    host_window parent;
    recorded_instance instance;
    ASSERT_EQ(instance.dispatch(effSetEditKnobMode, 0, 2), 1);  // linear drags
    ASSERT_TRUE(instance.open_in(parent));
    instance.idle(3);
    const editor_controls::band_row& band = instance.editor().controls().bandControls[0];
    const float before = instance.plugin().getParameter(4);
    const float shown_before = band.freqDisplay->getValue();

    const CRect r = band.freqKnob->getFrameRect();
    drag_up(instance, parent, (r.left + r.right) / 2, (r.top + r.bottom) / 2, 50);
    instance.dispatch(effSetEditKnobMode, 0, 0);

    const float after = instance.plugin().getParameter(4);
    EXPECT_NEAR(after, before + 50.0f / 200.0f, 0.02f);
    const std::vector<host_call> calls = instance.edit_calls();
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ(calls.front(), (host_call{audioMasterBeginEdit, 4}));
    EXPECT_EQ(calls.back(), (host_call{audioMasterEndEdit, 4}));
    for (std::size_t i = 1; i + 1 < calls.size(); ++i) EXPECT_EQ(calls[i], (host_call{audioMasterAutomate, 4}));
    EXPECT_EQ(band.freqKnob->getValue(), after);
    EXPECT_EQ(band.freqDisplay->getValue(), instance.plugin().band_readout(0).frequency);
    EXPECT_NE(band.freqDisplay->getValue(), shown_before);

    // Ctrl-click gives back the default program's value for the band: 395 Hz.
    band.freqKnob->onMouseDown(CPoint(r.left + 2, r.top + 2), kLButton | kControl);
    band.freqKnob->onMouseUp(CPoint(r.left + 2, r.top + 2), kLButton | kControl);
    instance.idle(3);
    EXPECT_EQ(instance.plugin().getParameter(4), 0.2f);
    EXPECT_NEAR(band.freqDisplay->getValue(), 394.6f, 0.1f);
}

TEST_F(EditorWindow, ACutBandsGainIsShownInactive) {
    host_window parent;
    recorded_instance instance;
    ASSERT_TRUE(instance.open_in(parent));
    const editor_controls::band_row& band = instance.editor().controls().bandControls[0];
    for (float mode : {0.5f, 1.0f, 0.75f, 0.0f}) {
        instance.set(3, mode);
        instance.idle(2);
        const bool cut = mode == 0.5f || mode == 0.75f;
        EXPECT_EQ(band.gainKnob->isDimmed(), cut) << mode;
        EXPECT_EQ(band.gainDisplay->isDimmed(), cut) << mode;
    }
}

TEST_F(EditorWindow, OnlyParameterTagsReachThePlugin) {
    host_window parent;
    recorded_instance instance;
    ASSERT_TRUE(instance.open_in(parent));
    editor::eq_editor& editor = instance.editor();
    for (int tag : {-1, 27, 28, 29, 30, 32, 100, 104}) {
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
    instance.idle();  // the refresh the change asked for
    EXPECT_EQ(editor.controls().masterGainDisplay->getValue(), 0.5f);
    EXPECT_EQ(instance.edit_calls(), (std::vector<host_call>{{audioMasterAutomate, 0}}));
}

// The windows directly under the root: the host's and, while it is up, the
// notice's (Xvfb has no window manager to reparent them).
std::vector<Window> top_level_windows() {
    Display* d = test_display();
    XSync(d, False);
    Window root, parent, *list = nullptr;
    unsigned count = 0;
    std::vector<Window> windows;
    if (XQueryTree(d, DefaultRootWindow(d), &root, &parent, &list, &count)) windows.assign(list, list + count);
    if (list) XFree(list);
    return windows;
}

// Without a test's sink, the FIR-length notice is a real window: it comes up
// over the host's window while the editor goes on working, a second choice
// replaces it, and it goes with the editor.
TEST(EditorNotice, StaysUpOverTheEditorWhichGoesOnWorkingAndGoesWithIt) {
    if (!gui_test::display_available() || !test_display()) GTEST_SKIP() << "no X display reachable";
    settings_sandbox sandbox{"8192"};
    host_window parent;
    recorded_instance instance;
    ASSERT_TRUE(instance.open_in(parent));
    instance.idle();
    const std::size_t before = top_level_windows().size();
    instance.editor().controls().firLengthMenu->choose(6);  // 32768 from the next start
    const std::vector<Window> with_notice = top_level_windows();
    ASSERT_EQ(with_notice.size(), before + 1);
    XWindowAttributes notice;
    ASSERT_TRUE(XGetWindowAttributes(test_display(), with_notice.back(), &notice));
    EXPECT_NEAR(notice.x + notice.width / 2, 640 / 2, 1);  // centred over the host's 640x400 window
    EXPECT_NEAR(notice.y + notice.height / 2, 400 / 2, 1);

    instance.set(0, 0.9f);
    instance.idle(3);  // returns: nothing waits for the notice
    EXPECT_EQ(instance.editor().controls().masterGainDisplay->getValue(), 1.8f);
    instance.editor().controls().firLengthMenu->choose(5);
    EXPECT_EQ(top_level_windows().size(), before + 1);
    instance.close_editor();
    EXPECT_EQ(top_level_windows().size(), before);
}

TEST_F(EditorWindow, ReopeningShowsTheCurrentValuesAndTheStoredFirLengthInBlack) {
    host_window parent;
    recorded_instance instance;
    ASSERT_TRUE(instance.open_in(parent));
    instance.idle();
    instance.editor().controls().firLengthMenu->choose(6);  // 32768 from the next start
    EXPECT_EQ(instance.editor().controls().firLengthMenu->getFontColor(), kRedCColor);
    instance.close_editor();

    instance.set(0, 0.8f);
    instance.set(12, 1.0f);  // band 3 on
    instance.set(18, 0.9f);  // band 4 mode
    instance.set(25, 0.2f);  // band 5 gain
    ASSERT_TRUE(instance.open_in(parent));
    const editor_controls& c = instance.editor().controls();
    const plugin::tessvane_plugin& design = instance.plugin();
    EXPECT_EQ(c.masterGainKnob->getValue(), 0.8f);
    EXPECT_EQ(c.masterGainDisplay->getValue(), 1.6f);
    EXPECT_EQ(c.bandControls[2].powerButton->getValue(), 1.0f);
    EXPECT_EQ(c.bandControls[3].typeSwitch->getValue(), 0.5f);  // 0.9 selects the second type, a high cut
    EXPECT_EQ(c.bandControls[3].typeLabel->getText(), dsp::names_of_type(design.band_readout(3).type).editor);
    EXPECT_EQ(c.bandControls[4].gainKnob->getValue(), 0.2f);
    EXPECT_EQ(c.bandControls[4].gainDisplay->getValue(), design.band_readout(4).gain);
    EXPECT_EQ(c.bandControls[1].qDisplay->getValue(), design.band_readout(1).q);
    EXPECT_EQ(c.firLengthMenu->getCurrent(), 6);
    EXPECT_EQ(c.firLengthMenu->getFontColor(), kBlackCColor);
    EXPECT_EQ(messages.messages().size(), 1u);  // the notice of the choice
}

// A right click on the response display opens the analyser's menu with the
// settings' choices checked; a choice applies at once, is stored, and the
// next editor opens with it.
TEST_F(EditorWindow, TheResponseDisplaysContextMenuSetsTheAnalyserAndKeepsTheChoices) {
    using prefs = settings::analyser_preferences;
    host_window parent;
    recorded_instance instance;
    ASSERT_TRUE(instance.open_in(parent));
    const editor_controls& c = instance.editor().controls();
    const auto choose = [&](int entry) {
        instance.editor().getFrame()->onMouseDown(CPoint(300, 250), kRButton);
        ASSERT_TRUE(c.analyserMenu->isListOpen());
        c.analyserMenu->choose(entry);
    };
    instance.editor().getFrame()->onMouseDown(CPoint(300, 250), kRButton);
    for (int entry = 0; entry < 14; ++entry)  // output, medium, unsmoothed, no slope, no hold
        EXPECT_EQ(c.analyserMenu->isChecked(entry), entry == 1 || entry == 4 || entry == 6 || entry == 10) << entry;
    c.analyserMenu->closeList();
    choose(2);  // input and output
    EXPECT_EQ(c.responseView->analyser()->preferences().shown, prefs::traces::input_and_output);
    choose(8);   // 1/6 octave
    choose(13);  // hold
    instance.close_editor();
    ASSERT_TRUE(instance.open_in(parent));
    EXPECT_EQ(instance.editor().controls().responseView->analyser()->preferences(),
              (prefs{prefs::traces::input_and_output, prefs::speed::medium, 6, 0, true}));
    EXPECT_TRUE(messages.messages().empty());
}

TEST_F(EditorWindow, OpenAndCloseNeedNoIdleAndTolerateUnpairedCalls) {
    host_window parent;
    recorded_instance instance;
    ASSERT_TRUE(instance.open_in(parent));
    instance.close_editor();
    instance.close_editor();
    ASSERT_TRUE(instance.open_in(parent));
    ASSERT_TRUE(instance.open_in(parent));
    EXPECT_EQ(parent.children().size(), 1u);
    instance.close_editor();
    EXPECT_TRUE(parent.children().empty());
    EXPECT_EQ(instance.editor().controls().responseView, nullptr);
}

TEST_F(EditorWindow, TwoInstancesKeepTheirEditorsOpenAtOnce) {
    host_window first_parent, second_parent;
    recorded_instance first, second;
    ASSERT_TRUE(first.open_in(first_parent));
    ASSERT_TRUE(second.open_in(second_parent));
    first.set(0, 0.1f);
    second.set(0, 0.9f);
    first.idle(2);
    second.idle(2);
    EXPECT_EQ(first.editor().controls().masterGainKnob->getValue(), 0.1f);
    EXPECT_EQ(second.editor().controls().masterGainKnob->getValue(), 0.9f);
    first.close_editor();
    second.idle();
}

// Every parameter, over and over, from a thread of its own; the IR worker
// marks the display after each redesign meanwhile.
class automation_thread {
public:
    explicit automation_thread(recorded_instance& instance)
        : thread_([this, &instance] {
              std::minstd_rand random(7);
              std::uniform_real_distribution<float> value(0.0f, 1.0f);
              while (!stop_)
                  for (int index = 0; index < 27; ++index) instance.set(index, value(random));
          }) {}
    ~automation_thread() {
        stop_ = true;
        thread_.join();
    }

private:
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

TEST_F(EditorWindow, ParametersSetFromAnotherThreadWhileItIdlesEndUpShown) {
    host_window parent;
    recorded_instance instance;
    ASSERT_TRUE(instance.open_in(parent));
    {
        automation_thread automation(instance);
        instance.idle(100);
    }
    instance.idle();
    EXPECT_EQ(instance.editor().controls().masterGainKnob->getValue(), instance.plugin().getParameter(0));
}

TEST_F(EditorWindow, OpeningAndClosingWhileOtherThreadsRefreshItIsSafe) {
    host_window parent;
    recorded_instance instance;
    automation_thread automation(instance);
    for (int cycle = 0; cycle < 8; ++cycle) {
        ASSERT_TRUE(instance.open_in(parent));
        instance.idle(cycle % 3);
        instance.close_editor();
    }
}

// Band handles, driven by events through the frame as its window delivers
// them. Band 2's parameters: on 7, frequency 9, gain 10, Q 11.
class BandHandles : public EditorWindow {
protected:
    void SetUp() override {
        EditorWindow::SetUp();
        if (IsSkipped()) return;
        ASSERT_TRUE(instance.open_in(parent));
        instance.set(7, 1.0f);
        instance.idle(2);
    }
    CFrame& frame() { return *instance.editor().getFrame(); }
    const editor::response_view& view() { return *instance.editor().controls().responseView; }
    CPoint handle(int band) {
        const CPoint c = view().handles()->handle_centre(band);
        return CPoint(view().getFrameRect().left + c.x, view().getFrameRect().top + c.y);
    }
    dsp::band_readout band(int b) { return instance.plugin().band_readout(b); }
    void drag(CPoint from, CPoint by, CButtonState modifiers = 0) {
        frame().onMouseDown(from, kLButton | modifiers);
        for (int step = 1; step <= 4; ++step)
            frame().onMouseMoved(CPoint(from.x + by.x * step / 4, from.y + by.y * step / 4), kLButton | modifiers);
        frame().onMouseUp(CPoint(from.x + by.x, from.y + by.y), modifiers);
        instance.idle();  // the handles move with the curve when it is drawn
    }

    host_window parent;
    recorded_instance instance;
};

TEST_F(BandHandles, ADragRaisesFrequencyAndGainInOneGestureAndShiftMakesItTwelveTimesFiner) {
    double octaves[2], decibels[2];
    for (const CButtonState modifiers : {CButtonState(0), CButtonState(kShift)}) {
        const dsp::band_readout before = band(1);
        const std::size_t calls_before = instance.edit_calls().size();
        drag(handle(1), CPoint(40, -20), modifiers);
        const dsp::band_readout after = band(1);
        octaves[modifiers ? 1 : 0] = std::log2(after.frequency / before.frequency);
        decibels[modifiers ? 1 : 0] = after.gain - before.gain;
        const std::vector<host_call> all = instance.edit_calls();
        const std::vector<host_call> calls(all.begin() + std::ptrdiff_t(calls_before), all.end());
        ASSERT_GE(calls.size(), 6u);
        EXPECT_EQ(calls[0], (host_call{audioMasterBeginEdit, 9}));
        EXPECT_EQ(calls[1], (host_call{audioMasterBeginEdit, 10}));
        EXPECT_EQ(calls[calls.size() - 2], (host_call{audioMasterEndEdit, 9}));
        EXPECT_EQ(calls.back(), (host_call{audioMasterEndEdit, 10}));
        for (std::size_t i = 2; i + 2 < calls.size(); ++i) {
            EXPECT_EQ(calls[i].opcode, audioMasterAutomate);
            EXPECT_TRUE(calls[i].index == 9 || calls[i].index == 10) << calls[i].index;
        }
    }
    // 40 columns of 563 over three decades, and 20 rows of 98 per 20 dB.
    EXPECT_NEAR(octaves[0], 40.0 * std::log2(1000.0) / 562.0, 0.02);
    EXPECT_NEAR(decibels[0], 20.0 * 20.0 / 98.0, 0.05);
    EXPECT_NEAR(octaves[0] / octaves[1], 12.0, 0.5);
    EXPECT_NEAR(decibels[0] / decibels[1], 12.0, 0.5);
    instance.idle();
    EXPECT_EQ(instance.editor().controls().bandTabView->getCurrentSelectedTab(), 1);
    EXPECT_EQ(instance.editor().controls().bandControls[1].gainDisplay->getValue(), band(1).gain);
}

TEST_F(BandHandles, AWheelNotchStepsTheQAloneAndShiftMakesItTwelveTimesFiner) {
    const float before = instance.plugin().getParameter(11);
    frame().onWheel(handle(1), 1.0f, 0);
    const float after = instance.plugin().getParameter(11);
    frame().onWheel(handle(1), 1.0f, kShift);
    EXPECT_NEAR(after - before, 0.025f, 1e-6f);
    EXPECT_NEAR(instance.plugin().getParameter(11) - after, 0.025f / 12.0f, 1e-6f);
    EXPECT_EQ(instance.edit_calls(), (std::vector<host_call>{{audioMasterBeginEdit, 11},
                                                             {audioMasterAutomate, 11},
                                                             {audioMasterEndEdit, 11},
                                                             {audioMasterBeginEdit, 11},
                                                             {audioMasterAutomate, 11},
                                                             {audioMasterEndEdit, 11}}));
    frame().onWheel(CPoint(handle(1).x + 60, handle(1).y), 1.0f, 0);  // off the handle
    EXPECT_EQ(instance.edit_calls().size(), 6u);
}

// At 32 kHz to half the rate: the parameter goes no further than the band.
TEST_F(BandHandles, DraggingPastTheDisplaysEdgesStopsAtTheBandsLimitsWithTheHandleInside) {
    const CRect display = view().getFrameRect();
    for (const float rate : {44100.0f, 32000.0f}) {
        instance.dispatch(effMainsChanged, 0, 0);
        instance.dispatch(effSetSampleRate, 0, 0, nullptr, rate);
        instance.dispatch(effMainsChanged, 0, 1);
        instance.idle();
        for (const int direction : {1, -1}) {
            drag(handle(1), CPoint(2000 * direction, -2000 * direction));
            const float limit = direction > 0 ? std::min(22000.0f, rate / 2.0f) : 20.0f;
            EXPECT_NEAR(dsp::frequency_hz_of(instance.plugin().getParameter(9)), limit, limit * 1e-4f) << rate;
            EXPECT_EQ(band(1).gain, direction > 0 ? 20.0f : -20.0f);
            EXPECT_TRUE(display.contains(handle(1)));
        }
    }
}

// A real double-click through the X server: the frame tells it from two clicks.
TEST_F(BandHandles, ADoubleClickOnEmptySpaceTurnsOnALowBandThereAndOneOnItsHandleResetsItsGain) {
    instance.set(7, 0.0f);
    instance.idle();
    const int plot_width = view().getWidth() - editor::response_axis::label_columns;
    const int x = view().getFrameRect().left + editor::response_axis::label_columns +
                  int(editor::response_axis::hz_column(100.0, plot_width));
    const int y = view().getFrameRect().top + 40;
    const auto double_click = [&](int at_x, int at_y) {
        move_pointer(parent.handle(), at_x, at_y);
        instance.idle();
        for (bool down : {true, false, true, false}) press_left(down);
        instance.idle(3);
    };
    double_click(x, y);
    const int turned_on = band(0).on_off >= 0.5f ? 0 : 1;
    ASSERT_GE(band(turned_on).on_off, 0.5f);
    EXPECT_NEAR(band(turned_on).frequency, 100.0f, 1.5f);
    EXPECT_NEAR(band(turned_on).gain, editor::response_axis::row_db(40.5, view().getHeight()), 0.01);
    EXPECT_EQ(instance.editor().controls().bandTabView->getCurrentSelectedTab(), turned_on);
    const int on = 2 + 5 * turned_on;
    EXPECT_EQ(instance.edit_calls(), (std::vector<host_call>{{audioMasterBeginEdit, on},
                                                             {audioMasterBeginEdit, on + 2},
                                                             {audioMasterBeginEdit, on + 3},
                                                             {audioMasterAutomate, on},
                                                             {audioMasterAutomate, on + 2},
                                                             {audioMasterAutomate, on + 3},
                                                             {audioMasterEndEdit, on},
                                                             {audioMasterEndEdit, on + 2},
                                                             {audioMasterEndEdit, on + 3}}));

    double_click(handle(turned_on).x, handle(turned_on).y);
    EXPECT_EQ(band(turned_on).gain, 0.0f);
    EXPECT_NEAR(band(turned_on).frequency, 100.0f, 1.5f);
}

TEST_F(BandHandles, OfHandlesOnOneAnotherTheSelectedBandsIsOnTopAndTakesTheWheel) {
    instance.set(2, 1.0f);
    instance.set(4, instance.plugin().getParameter(9));
    instance.idle();
    ASSERT_EQ(handle(0), handle(1));
    for (int selected : {0, 1}) {
        instance.editor().controls().bandTabView->selectTab(selected);
        const std::size_t calls = instance.edit_calls().size();
        frame().onWheel(handle(1), 1.0f, 0);
        EXPECT_EQ(instance.edit_calls().at(calls), (host_call{audioMasterBeginEdit, 6 + 5 * selected}));
    }
}

TEST_F(BandHandles, HoveringShowsTheBandsValuesAndClosingMidDragSendsOnlyTheGesturesEnd) {
    frame().onMouseMoved(handle(1), 0);
    EXPECT_EQ(view().handles()->shown_band(), 1);
    frame().onMouseMoved(CPoint(handle(1).x, handle(1).y + 30), 0);
    EXPECT_EQ(view().handles()->shown_band(), -1);

    const CPoint from = handle(1);
    frame().onMouseDown(from, kLButton);
    frame().onMouseMoved(CPoint(from.x + 10, from.y - 10), kLButton);
    const float frequency = instance.plugin().getParameter(9), gain = instance.plugin().getParameter(10);
    const std::size_t calls = instance.edit_calls().size();
    instance.close_editor();
    const std::vector<host_call> all = instance.edit_calls();
    EXPECT_EQ(std::vector<host_call>(all.begin() + std::ptrdiff_t(calls), all.end()),
              (std::vector<host_call>{{audioMasterEndEdit, 9}, {audioMasterEndEdit, 10}}));
    EXPECT_EQ(instance.plugin().getParameter(9), frequency);
    EXPECT_EQ(instance.plugin().getParameter(10), gain);
}

// The editor at 1.5 and 2 times its size, against the same editor at 1.
class ScaledEditor : public EditorWindow, public ::testing::WithParamInterface<double> {
protected:
    // Each channel's mean over `r` (device pixels) of the frame's picture.
    static std::array<double, 3> mean_colour(const COffscreenContext& picture, const CRect& r) {
        std::array<double, 3> sum{};
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                for (int c = 0; c < 3; ++c) sum[std::size_t(c)] += double(picture.pixelAt(x, y) >> (8 * c) & 0xFF);
        for (double& channel : sum) channel /= double(r.width() * r.height());
        return sum;
    }
};

TEST_P(ScaledEditor, GrowsWithEveryControlWhereItWasTimesTheScaleAndTextSetAtTheDeviceSize) {
    const double scale = GetParam();
    const int width = int(std::lround(607 * scale)), height = int(std::lround(383 * scale));
    host_window plain_parent, parent(1280, 800);
    recorded_instance plain, scaled;
    scaled.editor().set_scale(scale + 0.1);  // the nearest step counts
    ERect* rect = nullptr;
    ASSERT_EQ(scaled.dispatch(effEditGetRect, 0, 0, &rect), 1);
    EXPECT_EQ(rect->right - rect->left, width);
    EXPECT_EQ(rect->bottom - rect->top, height);
    ASSERT_TRUE(plain.open_in(plain_parent));
    ASSERT_TRUE(scaled.open_in(parent));
    plain.idle(3);
    scaled.idle(3);
    XWindowAttributes attributes;
    XGetWindowAttributes(test_display(), parent.children().at(0), &attributes);
    EXPECT_EQ(attributes.width, width);
    EXPECT_EQ(attributes.height, height);
    const COffscreenContext& one = plain.editor().getFrame()->getBackBuffer();
    const COffscreenContext& picture = scaled.editor().getFrame()->getBackBuffer();
    ASSERT_EQ(picture.getWidth(), width);
    ASSERT_EQ(picture.getHeight(), height);
    // What the window shows is the picture.
    const std::vector<unsigned long> shown = screen_pixels(parent.children().at(0), width - 40, height - 40, 40, 40);
    for (int i = 0; i < 1600; ++i)
        ASSERT_EQ(shown[std::size_t(i)] & 0xFFFFFF,
                  picture.pixelAt(width - 40 + i % 40, height - 40 + i / 40) & 0xFFFFFF);

    // Each control looks as it does at 1, over its rectangle times the scale.
    const editor_controls& c = scaled.editor().controls();
    const editor_controls::band_row& band = c.bandControls[0];
    for (const CView* view : std::initializer_list<const CView*>{
             c.masterGainKnob, c.filtersButton, c.firLengthMenu, c.responseView, c.masterGainDisplay, band.freqKnob,
             band.powerButton, band.qDisplay, band.typeLabel, band.typeSwitch, c.busyIndicator}) {
        const CRect logical = view->getFrameRect();
        const CRect device(int(std::lround(logical.left * scale)), int(std::lround(logical.top * scale)),
                           int(std::lround(logical.right * scale)), int(std::lround(logical.bottom * scale)));
        const std::array<double, 3> expected = mean_colour(one, logical), got = mean_colour(picture, device);
        for (int channel = 0; channel < 3; ++channel)
            EXPECT_NEAR(got[std::size_t(channel)], expected[std::size_t(channel)], 8.0)
                << view->getFrameRect().left << "," << view->getFrameRect().top;
    }
    if (scale != 2.0) return;
    // The response display's dB labels: text enlarged from its logical size
    // would be 2 x 2 blocks of one colour; text set at 20 pixels is not.
    const CRect labels = c.responseView->getFrameRect();
    int inked = 0, uniform = 0;
    for (int y = 2 * labels.top; y < 2 * (labels.top + 90); y += 2)
        for (int x = 2 * labels.left; x < 2 * (labels.left + 34); x += 2) {
            const std::uint32_t p = picture.pixelAt(x, y);
            if (p == 0xFFFFFFFFu) continue;
            ++inked;
            uniform +=
                picture.pixelAt(x + 1, y) == p && picture.pixelAt(x, y + 1) == p && picture.pixelAt(x + 1, y + 1) == p;
        }
    EXPECT_GT(inked, 50);
    EXPECT_LT(uniform, inked / 3);
}

// Pointer positions in the window are device pixels: band 2's handle, at
// twice its place, is grabbed and follows half the pointer's travel.
TEST_P(ScaledEditor, APointerDragOnABandsHandleAtItsScaledPlaceMovesTheBandByTheLogicalDistance) {
    const double scale = GetParam();
    host_window parent(1280, 800);
    recorded_instance instance;
    instance.editor().set_scale(scale);
    ASSERT_TRUE(instance.open_in(parent));
    instance.set(7, 1.0f);
    instance.idle(3);
    const editor::response_view& view = *instance.editor().controls().responseView;
    const CPoint centre = view.handles()->handle_centre(1);
    const CPoint at(int((view.getFrameRect().left + centre.x + 0.5) * scale),
                    int((view.getFrameRect().top + centre.y + 0.5) * scale));
    const dsp::band_readout before = instance.plugin().band_readout(1);
    move_pointer(reinterpret_cast<void*>(parent.children().at(0)), at.x, at.y);
    instance.idle(3);
    press_left(true);
    instance.idle(3);
    for (int step = 1; step <= 4; ++step) {
        move_pointer(reinterpret_cast<void*>(parent.children().at(0)), at.x + int(std::lround(10 * step * scale)),
                     at.y - int(std::lround(5 * step * scale)));
        instance.idle(3);
    }
    press_left(false);
    instance.idle(3);
    const dsp::band_readout after = instance.plugin().band_readout(1);
    // 40 columns of 563 over three decades, and 20 rows of 98 per 20 dB.
    EXPECT_NEAR(std::log2(after.frequency / before.frequency), 40.0 * std::log2(1000.0) / 562.0, 0.02);
    EXPECT_NEAR(after.gain - before.gain, 20.0 * 20.0 / 98.0, 0.3);
    EXPECT_EQ(instance.editor().controls().bandTabView->getCurrentSelectedTab(), 1);
}

// Xft.dpi as desktops set it on the root window: 96 per step of 1.
TEST_F(EditorWindow, WithoutTheHostsScaleTheXftDpiResourceGivesTheNearestStepWhichTheHostsOverrides) {
    // Set on the test's display, and gone again whatever happens.
    struct root_resources {
        Display* d = test_display();
        void set(const char* text) const {
            XChangeProperty(d, DefaultRootWindow(d), XA_RESOURCE_MANAGER, XA_STRING, 8, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(text), int(std::strlen(text)));
            XSync(d, False);
        }
        ~root_resources() {
            XDeleteProperty(d, DefaultRootWindow(d), XA_RESOURCE_MANAGER);
            XSync(d, False);
        }
    } resources;
    const struct {
        const char* resources;
        int width;
    } cases[] = {{"Xft.antialias:\t1\nXft.dpi:\t144\n", 911},
                 {"Xft.dpi: 182\n", 1214},
                 {"Xft.dpi: 300\n", 1214},
                 {"Xft.dpi: 72\n", 607},
                 {"Xft.dpi: none\n", 607}};
    for (const auto& c : cases) {
        resources.set(c.resources);
        recorded_instance instance;
        ERect* rect = nullptr;
        ASSERT_EQ(instance.dispatch(effEditGetRect, 0, 0, &rect), 1);
        EXPECT_EQ(rect->right - rect->left, c.width) << c.resources;
        instance.editor().set_scale(1.0);
        ASSERT_EQ(instance.dispatch(effEditGetRect, 0, 0, &rect), 1);
        EXPECT_EQ(rect->right - rect->left, 607) << c.resources;
    }
}

INSTANTIATE_TEST_SUITE_P(Scales, ScaledEditor, ::testing::Values(1.5, 2.0),
                         [](const auto& info) { return info.param == 2.0 ? "Double" : "OneAndAHalf"; });

}  // namespace
