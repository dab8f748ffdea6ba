// A small VST 2.x plug-in with an editor, for testing the host's gui
// command: its editor is one child window of the host's window, on a
// connection of its own, filled with EDITOR_TEST_COLOUR on every idle. On the
// first idle it reports an edit gesture on its one parameter.
//
// Built in the variant TEST_PLUGIN_EDITOR_OPEN_FAILS, whose effEditOpen
// answers 0.
#include "../../plugin/vst2/aeffect.h"

#include <X11/Xlib.h>

#include <algorithm>
#include <cstring>

namespace {

constexpr short editor_width = 200;
constexpr short editor_height = 120;

class editor_plugin {
public:
    explicit editor_plugin(audioMasterCallback host) : host_(host) {
        effect_.magic = kEffectMagic;
        effect_.dispatcher = &dispatch_entry;
        effect_.process = &process_entry;
        effect_.processReplacing = &process_entry;
        effect_.setParameter = [](AEffect* effect, VstInt32, float value) { self(effect).level_ = value; };
        effect_.getParameter = [](AEffect* effect, VstInt32) { return self(effect).level_; };
        effect_.numPrograms = 1;
        effect_.numParams = 1;
        effect_.numInputs = 2;
        effect_.numOutputs = 2;
        effect_.flags = effFlagsCanReplacing | effFlagsHasEditor;
        effect_.object = this;
        effect_.uniqueID = 0x54764564;  // "TvEd"
        effect_.version = 1;
    }

    AEffect* effect() { return &effect_; }

private:
    static editor_plugin& self(AEffect* effect) { return *static_cast<editor_plugin*>(effect->object); }

    static VstIntPtr dispatch_entry(AEffect* effect, VstInt32 opcode, VstInt32, VstIntPtr, void* ptr, float) {
        editor_plugin& plugin = self(effect);
        switch (opcode) {
            case effClose:
                plugin.close_editor();
                delete &plugin;
                return 1;
            case effGetEffectName: std::strcpy(static_cast<char*>(ptr), "Tessvane Test Editor"); return 1;
            case effGetParamName: std::strcpy(static_cast<char*>(ptr), "Level"); return 0;
            case effEditGetRect: *static_cast<ERect**>(ptr) = &plugin.rect_; return 1;
            case effEditOpen: return plugin.open_editor(reinterpret_cast<Window>(ptr)) ? 1 : 0;
            case effEditIdle: plugin.idle(); return 1;
            case effEditClose: plugin.close_editor(); return 1;
            default: return 0;
        }
    }

    static void process_entry(AEffect*, float** inputs, float** outputs, VstInt32 frames) {
        for (int channel = 0; channel < 2; ++channel) std::copy_n(inputs[channel], frames, outputs[channel]);
    }

    bool open_editor(Window parent) {
#if defined(TEST_PLUGIN_EDITOR_OPEN_FAILS)
        (void)parent;
        return false;
#else
        if (display_ != nullptr) return true;
        display_ = XOpenDisplay(nullptr);
        if (display_ == nullptr) return false;
        window_ = XCreateSimpleWindow(display_, parent, 0, 0, editor_width, editor_height, 0, 0, 0);
        gc_ = XCreateGC(display_, window_, 0, nullptr);
        XMapWindow(display_, window_);
        XFlush(display_);
        gesture_reported_ = false;
        return true;
#endif
    }

    void idle() {
        if (display_ == nullptr) return;
        while (XPending(display_) > 0) {
            XEvent event;
            XNextEvent(display_, &event);
        }
        XSetForeground(display_, gc_, EDITOR_TEST_COLOUR);
        XFillRectangle(display_, window_, gc_, 0, 0, editor_width, editor_height);
        XFlush(display_);
        if (!gesture_reported_) {
            gesture_reported_ = true;
            host_(&effect_, audioMasterBeginEdit, 0, 0, nullptr, 0.0f);
            level_ = 0.25f;
            host_(&effect_, audioMasterAutomate, 0, 0, nullptr, level_);
            host_(&effect_, audioMasterEndEdit, 0, 0, nullptr, 0.0f);
        }
    }

    void close_editor() {
        if (display_ == nullptr) return;
        XFreeGC(display_, gc_);
        XDestroyWindow(display_, window_);
        XCloseDisplay(display_);
        display_ = nullptr;
    }

    audioMasterCallback host_;
    AEffect effect_{};
    ERect rect_{0, 0, editor_height, editor_width};
    float level_ = 0.5f;
    Display* display_ = nullptr;
    Window window_ = 0;
    GC gc_ = nullptr;
    bool gesture_reported_ = false;
};

}  // namespace

extern "C" __attribute__((visibility("default"))) AEffect* VSTPluginMain(audioMasterCallback host) {
    return (new editor_plugin(host))->effect();
}
