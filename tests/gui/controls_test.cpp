// Controls driven by synthetic mouse events through a frame without a window.
#include <gtest/gtest.h>

#include <thread>

#include "gui/vstgui.h"
#include "recording_editor.h"
#include "test_images.h"

using namespace VSTGUI;
using Log = std::vector<std::string>;

namespace {

CBitmap* strip_bitmap(int width, int frame_height, int frames) {
    const auto bytes = gui_test::strip_png(width, frame_height, frames);
    return new CBitmap(bytes.data(), bytes.size());
}

}  // namespace

class Controls : public ::testing::Test {
protected:
    gui_test::recording_editor editor;
    CFrame frame{CRect(0, 0, 300, 300), nullptr, &editor};

    // A knob at (100, 100, 138, 138), centre (119, 119), tag 5, value 0.
    CAnimKnob* addKnob() {
        CBitmap* strip = strip_bitmap(38, 38, 64);
        auto* knob = new CAnimKnob(CRect(100, 100, 138, 138), &editor, 5, 64, 38, strip);
        strip->forget();
        knob->setDefaultValue(0.5f);
        frame.addView(knob);
        return knob;
    }
    void drag(CPoint from, CPoint to, CButtonState modifiers = 0) {
        frame.onMouseDown(from, kLButton | modifiers);
        frame.onMouseMoved(to, kLButton | modifiers);
        frame.onMouseUp(to, kLButton | modifiers);
    }
};

TEST_F(Controls, ALinearDragOf200PixelsSpansTheWholeRange) {
    editor.knob_mode = 2;
    CAnimKnob* knob = addKnob();
    drag(CPoint(119, 119), CPoint(119, 19));
    EXPECT_FLOAT_EQ(knob->getValue(), 0.5f);
    drag(CPoint(119, 119), CPoint(119, -81));
    EXPECT_FLOAT_EQ(knob->getValue(), 1.0f);
    drag(CPoint(119, 119), CPoint(119, 500));
    EXPECT_FLOAT_EQ(knob->getValue(), 0.0f);  // clamped
}

TEST_F(Controls, ShiftSlowsALinearDragByTheFineFactor) {
    editor.knob_mode = 2;
    CAnimKnob* knob = addKnob();
    EXPECT_FLOAT_EQ(knob->getFineFactor(), 1.5f);
    knob->setFineFactor(12.0f);
    drag(CPoint(119, 119), CPoint(119, -81), kShift);
    EXPECT_NEAR(knob->getValue(), 1.0f / 12.0f, 1e-6);
}

TEST_F(Controls, AltTurnsACircularKnobLinearAndALinearKnobCircular) {
    CAnimKnob* knob = addKnob();
    drag(CPoint(119, 119), CPoint(119, 19), kAlt);  // mode 0 + Alt: linear
    EXPECT_FLOAT_EQ(knob->getValue(), 0.5f);
    editor.knob_mode = 2;
    knob->setValue(0.0f);
    drag(CPoint(119, 119), CPoint(150, 119), kAlt);  // mode 2 + Alt: circular, pointer at 3 o'clock
    EXPECT_NEAR(knob->getValue(), 0.8333f, 1e-3);
}

TEST_F(Controls, ACircularDragFollowsThePointersAngleOverTheSweep) {
    CAnimKnob* knob = addKnob();
    drag(CPoint(119, 119), CPoint(119, 60));  // straight up
    EXPECT_NEAR(knob->getValue(), 0.5f, 1e-3);
    drag(CPoint(119, 119), CPoint(60, 119));  // 9 o'clock
    EXPECT_NEAR(knob->getValue(), 0.1667f, 1e-3);
    drag(CPoint(119, 119), CPoint(118, 200));  // below the centre, past the minimum
    EXPECT_NEAR(knob->getValue(), 0.0f, 1e-3);
}

TEST_F(Controls, AKnobGestureIsBracketedByBeginAndEndEdit) {
    editor.knob_mode = 2;
    addKnob();
    frame.onMouseDown(CPoint(119, 119), kLButton);
    frame.onMouseMoved(CPoint(119, 110), kLButton);
    frame.onMouseMoved(CPoint(300, 100), kLButton);  // outside the knob: still its drag
    frame.onMouseUp(CPoint(300, 100), kLButton);
    EXPECT_EQ(editor.log, (Log{"begin 5", "changed 5", "changed 5", "end 5"}));
}

TEST(KnobLifetime, ClosingTheEditorMidDragStillEndsTheEdit) {
    gui_test::recording_editor editor;
    auto* frame = new CFrame(CRect(0, 0, 100, 100), nullptr, &editor);
    frame->addView(new CKnob(CRect(0, 0, 38, 38), &editor, 9, nullptr));
    frame->onMouseDown(CPoint(10, 10), kLButton);
    delete frame;
    EXPECT_EQ(editor.log, (Log{"begin 9", "end 9"}));
}

TEST_F(Controls, CtrlClickResetsTheDefaultValue) {
    CAnimKnob* knob = addKnob();
    knob->setValue(0.9f);
    frame.onMouseDown(CPoint(110, 110), kLButton | kControl);
    frame.onMouseUp(CPoint(110, 110), kLButton | kControl);
    EXPECT_FLOAT_EQ(knob->getValue(), 0.5f);
    EXPECT_EQ(editor.log, (Log{"begin 5", "changed 5", "end 5"}));
}

TEST_F(Controls, EachWheelNotchStepsAHundredthOfTheRange) {
    CAnimKnob* knob = addKnob();
    frame.onWheel(CPoint(110, 110), 1.0f, 0);
    EXPECT_NEAR(knob->getValue(), 0.01f, 1e-6);
    frame.onWheel(CPoint(110, 110), -1.0f, kShift);
    EXPECT_NEAR(knob->getValue(), 0.01f - 0.01f / 1.5f, 1e-6);
    EXPECT_EQ(editor.log, (Log{"begin 5", "changed 5", "end 5", "begin 5", "changed 5", "end 5"}));
    frame.onWheel(CPoint(10, 10), 1.0f, 0);  // not over the knob
    EXPECT_NEAR(knob->getValue(), 0.01f - 0.01f / 1.5f, 1e-6);
}

TEST_F(Controls, OtherButtonsAreNotConsumedByAKnob) {
    addKnob();
    EXPECT_FALSE(frame.onMouseDown(CPoint(110, 110), kRButton));
    EXPECT_TRUE(editor.log.empty());
}

TEST_F(Controls, AnAnimatedKnobShowsTheFrameOfItsValue) {
    CAnimKnob* knob = addKnob();
    knob->setValue(1.0f);
    frame.idle();
    EXPECT_EQ(frame.getBackBuffer().pixelAt(110, 110), 0xFF00003Fu);  // frame 63
    knob->setValue(0.5f);
    frame.idle();
    EXPECT_EQ(frame.getBackBuffer().pixelAt(110, 110), 0xFF000020u);  // frame 32 of 0..63
}

TEST_F(Controls, AnOnOffButtonTogglesOnEachClickInsideAnEdit) {
    CBitmap* states = strip_bitmap(16, 16, 2);
    auto* button = new COnOffButton(CRect(10, 10, 26, 26), &editor, 1, states);
    states->forget();
    frame.addView(button);
    frame.onMouseDown(CPoint(12, 12), kLButton);
    frame.onMouseUp(CPoint(12, 12), kLButton);
    EXPECT_FLOAT_EQ(button->getValue(), 1.0f);
    frame.idle();
    EXPECT_EQ(frame.getBackBuffer().pixelAt(12, 12), 0xFF000001u);  // the lower (on) state
    frame.onMouseDown(CPoint(12, 12), kLButton);
    EXPECT_FLOAT_EQ(button->getValue(), 0.0f);
    EXPECT_EQ(editor.log, (Log{"begin 1", "changed 1", "end 1", "begin 1", "changed 1", "end 1"}));
}

TEST_F(Controls, AVerticalSwitchSelectsThePositionUnderTheClick) {
    CBitmap* states = strip_bitmap(40, 32, 3);
    auto* sw = new CVerticalSwitch(CRect(200, 42, 240, 74), &editor, 3, 3, 32, 3, states);
    auto* single = new CVerticalSwitch(CRect(200, 100, 240, 132), &editor, 13, 1, 32, 1, states);
    states->forget();
    frame.addView(sw);
    frame.addView(single);
    const std::pair<int, float> cases[] = {{73, 1.0f}, {43, 0.0f}, {60, 0.5f}};
    for (auto [y, expected] : cases) {
        frame.onMouseDown(CPoint(210, y), kLButton);
        frame.onMouseUp(CPoint(210, y), kLButton);
        EXPECT_FLOAT_EQ(sw->getValue(), expected) << "y " << y;
    }
    frame.onMouseDown(CPoint(210, 131), kLButton);
    frame.onMouseUp(CPoint(210, 131), kLButton);
    EXPECT_FLOAT_EQ(single->getValue(), 0.0f);
    frame.idle();
    EXPECT_EQ(frame.getBackBuffer().pixelAt(210, 50), 0xFF000001u);  // middle image for 0.5
}

TEST_F(Controls, AMovieBitmapShowsTheFrameItsValuePicks) {
    CBitmap* states = strip_bitmap(16, 16, 2);
    auto* busy = new CMovieBitmap(CRect(1, 4, 17, 20), nullptr, 29, 2, 16, states);
    states->forget();
    frame.addView(busy);
    frame.idle();
    EXPECT_EQ(frame.getBackBuffer().pixelAt(5, 10), 0xFF000000u);
    busy->setValue(1.0f);
    frame.idle();
    EXPECT_EQ(frame.getBackBuffer().pixelAt(5, 10), 0xFF000001u);
    EXPECT_FALSE(frame.onMouseDown(CPoint(5, 10), kLButton));
}

TEST_F(Controls, SetValueClampsToTheRangeAndNormalisesOverIt) {
    CControl control(CRect(0, 0, 10, 10));
    control.setMin(0.0f);
    control.setMax(2.0f);
    control.setValue(3.0f);
    EXPECT_FLOAT_EQ(control.getValue(), 2.0f);
    control.setValue(0.5f);
    EXPECT_FLOAT_EQ(control.getValueNormalized(), 0.25f);
    control.setValue(std::numeric_limits<float>::quiet_NaN());
    EXPECT_FLOAT_EQ(control.getValue(), 0.0f);
}

TEST_F(Controls, AParamDisplayDrawsTheTextOfItsConversionOverItsBackColour) {
    auto* display = new CParamDisplay(CRect(10, 10, 60, 24));
    display->setStringConvert([](float value, char* text) { std::snprintf(text, 32, "%.1f dB", double(value)); });
    display->setFont(CFontDesc("Arial", 11));
    display->setBackColor(CColor{0, 0, 255, 255});
    display->setFrameColor(CColor{0, 0, 255, 255});
    display->setFontColor(kWhiteCColor);
    display->setMax(10.0f);
    display->setValue(6.0f);
    frame.addView(display);
    frame.idle();
    const CRect ink = gui_test::ink_box(frame.getBackBuffer(), CRect(10, 10, 60, 24), 0xFF0000FFu);
    EXPECT_FALSE(ink.isEmpty());  // white text on blue
    EXPECT_EQ(frame.getBackBuffer().pixelAt(10, 10), 0xFF0000FFu);
}
