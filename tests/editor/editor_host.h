// Support for the editor's window tests: the display (DISPLAY, or the Xvfb
// the gui tests' environment starts), a host window to open the editor in,
// synthetic mouse input, and an instance whose host callback records the
// edit reports and automation in order.
#pragma once

#include <X11/Xlib.h>

#include <functional>
#include <vector>

#include "../plugin/plugin_sandbox.h"
#include "core/product.h"
#include "plugin/vst2/aeffect.h"

namespace editor {
class eq_editor;
}
namespace plugin {
class tessvane_plugin;
}

// The test's own connection; null when no display can be reached.
Display* test_display();

// A top-level window standing in for the host's.
class host_window {
public:
    explicit host_window(int width = 640, int height = 400);
    ~host_window();
    host_window(const host_window&) = delete;
    host_window& operator=(const host_window&) = delete;
    void* handle() const { return reinterpret_cast<void*>(window_); }
    std::vector<Window> children() const;

private:
    Window window_;
};

struct host_call {
    VstInt32 opcode;
    VstInt32 index;
    bool operator==(const host_call&) const = default;
};

// What a host does inside audioMasterAutomate, before it answers: called on
// the plug-in's calling thread with no lock held, so it may call straight
// back into the plug-in.
using automate_reply = std::function<void(AEffect* effect, VstInt32 index, float value)>;

// An instance made through the entry point, at 44100 Hz, resumed.
class recorded_instance {
public:
    // The stereo plug-in, or the edition given.
    explicit recorded_instance(const core::edition& plugin = core::stereo_edition);
    ~recorded_instance();
    recorded_instance(const recorded_instance&) = delete;
    recorded_instance& operator=(const recorded_instance&) = delete;

    AEffect* effect() const { return effect_; }
    plugin::tessvane_plugin& plugin() const;
    editor::eq_editor& editor() const;
    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr, float opt = 0.0f);
    bool open_in(const host_window& window) { return dispatch(effEditOpen, 0, 0, window.handle()) == 1; }
    void close_editor() { dispatch(effEditClose); }
    void idle(int times = 1);
    void set(VstInt32 index, float value) { effect_->setParameter(effect_, index, value); }
    // audioMasterBeginEdit, audioMasterAutomate and audioMasterEndEdit so far.
    std::vector<host_call> edit_calls() const;
    // Set before the calls it is to answer.
    void reply_to_automate(automate_reply reply) { reply_ = std::move(reply); }
    // The host callback's part, inside audioMasterAutomate.
    void automated(VstInt32 index, float value) const {
        if (reply_) reply_(effect_, index, value);
    }

private:
    AEffect* effect_;
    automate_reply reply_;
};

// The pixels (0xRRGGBB) of a rectangle of `window` as the screen shows
// them, row after row; empty when it cannot be read.
std::vector<unsigned long> screen_pixels(Window window, int x, int y, int width, int height);

// Through the XTest extension, in coordinates of `window`.
void move_pointer(void* window, int x, int y);
void press_left(bool down);
// Press at x, y in the parent's coordinates, move up by `pixels` in steps of
// ten with idles between, release, and idle until the edit has ended.
void drag_up(recorded_instance& instance, const host_window& parent, int x, int y, int pixels);
