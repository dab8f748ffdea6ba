// What real hosts do around the editor: answering automation by calling
// straight back into the plug-in, editor opcodes with no editor open or from
// another thread, a sample rate of 0, state loaded from a background thread
// while audio runs, and a host that moves, resizes and focuses our window.
// gtest before Xlib, whose macros (None, Bool) would break it.
#include "editor_window_fixture.h"

#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <random>
#include <thread>
#include <vector>

#include "dsp/fir_cascaded_biquad.h"
#include "editor/eq_editor.h"
#include "gui/knob.h"
#include "gui/on_off_button.h"
#include "gui/param_display.h"
#include "plugin/tessvane_plugin.h"

namespace {

using namespace VSTGUI;
using editor::editor_controls;

float chunk_value(AEffect* e, VstInt32 index) {
    void* data = nullptr;
    e->dispatcher(e, effGetChunk, 1, 0, &data, 0.0f);
    float v;
    std::memcpy(&v, static_cast<unsigned char*>(data) + 24 + 4 * index, sizeof v);
    return v;
}

// A host that, inside audioMasterAutomate, sets the parameter to `answer` of
// the reported value and reads it and the state back, counting how deep the
// calls nest and every read that disagrees.
struct calling_back_host {
    explicit calling_back_host(recorded_instance& instance, float (*answer)(float)) {
        instance.reply_to_automate([this, answer](AEffect* e, VstInt32 index, float value) {
            deepest = std::max(deepest, ++depth);
            const float set = answer(value);
            e->setParameter(e, index, set);
            if (e->getParameter(e, index) != set || chunk_value(e, index) != set) ++disagreements;
            ++replies;
            --depth;
        });
    }
    int depth = 0, deepest = 0, replies = 0, disagreements = 0;
};

float same_value(float value) { return value; }
// A host that keeps its automation lanes in quarters.
float nearest_quarter(float value) { return std::round(value * 4.0f) / 4.0f; }

TEST_F(EditorWindow, HostCallingBackFromAutomationDuringAKnobDragSeesTheDraggedValues) {
    host_window parent;
    recorded_instance instance;
    calling_back_host host(instance, same_value);
    ASSERT_EQ(instance.dispatch(effSetEditKnobMode, 0, 2), 1);  // linear drags
    ASSERT_TRUE(instance.open_in(parent));
    instance.idle(3);
    const CAnimKnob* knob = instance.editor().controls().masterGainKnob;
    const float before = instance.plugin().getParameter(0);
    const CRect r = knob->getFrameRect();
    drag_up(instance, parent, (r.left + r.right) / 2, (r.top + r.bottom) / 2, 40);
    instance.dispatch(effSetEditKnobMode, 0, 0);

    EXPECT_GT(host.replies, 0);
    EXPECT_EQ(host.deepest, 1);
    EXPECT_EQ(host.disagreements, 0);
    const float after = instance.plugin().getParameter(0);
    EXPECT_NEAR(after, before + 40.0f / 200.0f, 0.02f);
    EXPECT_EQ(knob->getValue(), after);
    EXPECT_EQ(chunk_value(instance.effect(), 0), after);
}

TEST_F(EditorWindow, HostAnsweringAutomationWithItsOwnValueIsWhatPluginStateAndEditorEndUpWith) {
    host_window parent;
    recorded_instance instance;
    calling_back_host host(instance, nearest_quarter);
    ASSERT_TRUE(instance.open_in(parent));
    editor::eq_editor& editor = instance.editor();
    for (int tag = 0; tag < 27; ++tag) {
        CControl control(CRect(), nullptr, tag);
        control.setValue(0.3f + 0.02f * static_cast<float>(tag));
        editor.controlChanged(&control);  // setParameterAutomated
    }
    instance.idle(2);
    EXPECT_EQ(host.replies, 27);
    EXPECT_EQ(host.deepest, 1);
    EXPECT_EQ(host.disagreements, 0);
    for (int tag = 0; tag < 27; ++tag) {
        const float quarter = nearest_quarter(0.3f + 0.02f * static_cast<float>(tag));
        EXPECT_EQ(instance.plugin().getParameter(tag), quarter) << tag;
        EXPECT_EQ(chunk_value(instance.effect(), tag), quarter) << tag;
    }
    const editor_controls& c = editor.controls();
    EXPECT_EQ(c.masterGainKnob->getValue(), 0.25f);
    EXPECT_EQ(c.bandControls[0].freqKnob->getValue(), 0.5f);
    EXPECT_EQ(c.bandControls[4].qKnob->getValue(), 0.75f);
    EXPECT_EQ(c.bandControls[4].qDisplay->getValue(), instance.plugin().band_readout(4).q);
}

TEST_F(EditorWindow, EditorOpcodesWithNoEditorOpenAreHarmlessAndTheSizeIsAlreadyKnown) {
    host_window parent;
    recorded_instance instance;
    instance.idle(5);
    instance.close_editor();
    instance.close_editor();
    ERect* rect = nullptr;
    ASSERT_EQ(instance.dispatch(effEditGetRect, 0, 0, &rect), 1);
    EXPECT_EQ(rect->right - rect->left, 607);
    EXPECT_EQ(rect->bottom - rect->top, 383);
    EXPECT_TRUE(parent.children().empty());
    instance.set(0, 0.6f);
    ASSERT_TRUE(instance.open_in(parent));
    EXPECT_EQ(parent.children().size(), 1u);
    EXPECT_EQ(instance.editor().controls().masterGainKnob->getValue(), 0.6f);
}

TEST_F(EditorWindow, OpensIdlesAndClosesOnAThreadThatIsNotTheHostsMainOneWithTheHostsDisplayInValue) {
    host_window parent;
    recorded_instance instance;
    VstIntPtr opened = 0;
    // Hosts may pass their own Display* in value; ours is no business of the editor.
    std::thread([&] {
        opened = instance.dispatch(effEditOpen, 0, reinterpret_cast<VstIntPtr>(test_display()), parent.handle());
        instance.set(0, 0.4f);
        instance.idle(3);
    }).join();
    ASSERT_EQ(opened, 1);
    EXPECT_EQ(parent.children().size(), 1u);
    EXPECT_EQ(instance.editor().controls().masterGainKnob->getValue(), 0.4f);
    std::thread([&] { instance.close_editor(); }).join();
    EXPECT_TRUE(parent.children().empty());
}

TEST_F(EditorWindow, OpensAtASampleRateAndBlockSizeOfZeroAndShowsFiniteReadouts) {
    host_window parent;
    recorded_instance instance;
    instance.dispatch(effMainsChanged, 0, 0);
    instance.dispatch(effSetSampleRate, 0, 0, nullptr, 0.0f);
    instance.dispatch(effSetBlockSize, 0, 0);
    instance.dispatch(effMainsChanged, 0, 1);
    ASSERT_TRUE(instance.open_in(parent));
    instance.set(4, 0.9f);
    instance.set(5, 0.7f);
    instance.idle(5);
    const editor_controls::band_row& band = instance.editor().controls().bandControls[0];
    EXPECT_TRUE(std::isfinite(band.freqDisplay->getValue()));
    EXPECT_TRUE(std::isfinite(band.gainDisplay->getValue()));
    EXPECT_TRUE(std::isfinite(band.qDisplay->getValue()));
    instance.close_editor();
}

TEST_F(EditorWindow, StateLoadedFromABackgroundThreadWhileAudioRunsIsShownAfterTheNextIdle) {
    host_window parent;
    recorded_instance instance;
    instance.set(0, 0.8f);
    instance.set(12, 1.0f);  // band 3 on
    instance.set(25, 0.2f);  // band 5 gain
    void* data = nullptr;
    ASSERT_EQ(instance.dispatch(effGetChunk, 1, 0, &data), 532);
    std::vector<unsigned char> saved(static_cast<unsigned char*>(data), static_cast<unsigned char*>(data) + 532);
    instance.set(0, 0.1f);
    instance.set(12, 0.0f);
    instance.set(25, 0.9f);
    ASSERT_TRUE(instance.open_in(parent));

    std::atomic<bool> stop{false};
    std::thread audio([&] {
        std::vector<float> left(64, 0.25f), right(64, -0.25f);
        float* channels[] = {left.data(), right.data()};
        AEffect* e = instance.effect();
        while (!stop) e->processReplacing(e, channels, channels, 64);
    });
    std::thread loader([&] {
        std::minstd_rand random(11);
        std::uniform_real_distribution<float> value(0.0f, 1.0f);
        for (int i = 0; i < 20; ++i) {
            for (int p = 0; p < 27; ++p) instance.set(p, value(random));
            std::vector<unsigned char> copy = saved;
            instance.dispatch(effSetChunk, 1, 532, copy.data());
        }
    });
    for (int i = 0; i < 20; ++i) instance.idle();  // the UI thread goes on meanwhile
    loader.join();
    stop = true;
    audio.join();
    instance.idle();

    const editor_controls& c = instance.editor().controls();
    EXPECT_EQ(c.masterGainKnob->getValue(), 0.8f);
    EXPECT_EQ(c.masterGainDisplay->getValue(), 1.6f);
    EXPECT_EQ(c.bandControls[2].powerButton->getValue(), 1.0f);
    EXPECT_EQ(c.bandControls[4].gainKnob->getValue(), 0.2f);
    EXPECT_EQ(c.bandControls[4].gainDisplay->getValue(), instance.plugin().band_readout(4).gain);
}

TEST_F(EditorWindow, HostMovingResizingAndFocusingOurWindowOrPressingEscapeLeavesItWorking) {
    host_window parent;
    recorded_instance instance;
    ASSERT_TRUE(instance.open_in(parent));
    const std::vector<Window> children = parent.children();
    ASSERT_EQ(children.size(), 1u);
    Display* d = test_display();
    XMapWindow(d, children[0]);
    XMoveWindow(d, children[0], 0, 0);
    XResizeWindow(d, children[0], 300, 200);
    XSetInputFocus(d, reinterpret_cast<Window>(parent.handle()), RevertToPointerRoot, CurrentTime);
    const KeyCode escape = XKeysymToKeycode(d, XK_Escape);
    XTestFakeKeyEvent(d, escape, True, CurrentTime);
    XTestFakeKeyEvent(d, escape, False, CurrentTime);
    XSync(d, False);
    instance.idle(5);
    instance.set(0, 0.7f);
    instance.idle();
    EXPECT_EQ(instance.editor().controls().masterGainKnob->getValue(), 0.7f);
    EXPECT_EQ(parent.children().size(), 1u);
    instance.close_editor();
    EXPECT_TRUE(parent.children().empty());
    XSetInputFocus(d, PointerRoot, RevertToPointerRoot, CurrentTime);
    XSync(d, False);
}

}  // namespace
