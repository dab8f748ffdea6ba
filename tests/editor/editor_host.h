// Support for the editor's window tests: a display (the one in DISPLAY, or
// an Xvfb started for the test program), a host window to open the editor
// in, synthetic mouse input, and an instance whose host callback records
// every call in order.
#pragma once

#include <X11/Xlib.h>

#include <mutex>
#include <vector>

#include "../plugin/plugin_sandbox.h"
#include "plugin/vst2/aeffect.h"

class SDEditor;
class VST_Plugin;

// The test program's connection; null when no display can be reached.
Display* test_display();

#define SKIP_WITHOUT_DISPLAY() \
    if (!test_display()) GTEST_SKIP() << "no X display reachable"

// A top-level window standing in for the host's.
class host_window {
public:
    host_window();
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

// An instance created through the entry point, sample rate 44100, resumed.
class recorded_instance {
public:
    recorded_instance();
    ~recorded_instance();
    recorded_instance(const recorded_instance&) = delete;
    recorded_instance& operator=(const recorded_instance&) = delete;

    AEffect* effect() const { return effect_; }
    VST_Plugin& plugin() const;
    SDEditor& editor() const;
    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                       float opt = 0.0f);
    bool open_in(const host_window& window) { return dispatch(effEditOpen, 0, 0, window.handle()) == 1; }
    void close_editor() { dispatch(effEditClose); }
    void idle(int times = 1);
    // The edit reports and automation sent to the host, in order.
    std::vector<host_call> edit_calls();

    static VstIntPtr VSTCALLBACK host(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                      void* ptr, float opt);

private:
    AEffect* effect_;
    std::mutex calls_mutex_;
    std::vector<host_call> calls_;
};

// Moves the pointer to window coordinates of `window` and presses or
// releases the left button, through the XTest extension.
void move_pointer(void* window, int x, int y);
void press_left(bool down);
