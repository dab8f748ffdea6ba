#include "editor_host.h"

#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <mutex>

#include "plugin/create_effect.h"
#include "plugin/tessvane_plugin.h"
#include "plugin/vst_editor.h"

namespace {

struct logged_call {
    AEffect* effect;
    host_call call;
};
std::mutex log_mutex;
std::vector<logged_call> log;

// resvd1, the host's field, leads back to the instance.
VstIntPtr VSTCALLBACK recording_host(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr, void*, float opt) {
    if (opcode == audioMasterVersion) return 2400;
    if (opcode != audioMasterAutomate && opcode != audioMasterBeginEdit && opcode != audioMasterEndEdit) return 0;
    {
        std::lock_guard lock(log_mutex);
        log.push_back({effect, {opcode, index}});
    }
    auto* instance = effect ? reinterpret_cast<const recorded_instance*>(effect->resvd1) : nullptr;
    if (opcode == audioMasterAutomate && instance) instance->automated(index, opt);
    return 1;
}

}  // namespace

Display* test_display() {
    static Display* const display = XOpenDisplay(nullptr);
    return display;
}

host_window::host_window(int width, int height) {
    Display* d = test_display();
    window_ = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, unsigned(width), unsigned(height), 0, 0,
                                  WhitePixel(d, DefaultScreen(d)));
    XMapWindow(d, window_);
    XSync(d, False);
}

host_window::~host_window() {
    XDestroyWindow(test_display(), window_);
    XSync(test_display(), False);
}

std::vector<Window> host_window::children() const {
    XSync(test_display(), False);
    Window root, parent, *list = nullptr;
    unsigned count = 0;
    std::vector<Window> result;
    if (XQueryTree(test_display(), window_, &root, &parent, &list, &count)) result.assign(list, list + count);
    if (list) XFree(list);
    return result;
}

recorded_instance::recorded_instance(const core::edition& plugin)
    : effect_(plugin::create_effect(recording_host, plugin)) {
    effect_->resvd1 = reinterpret_cast<VstIntPtr>(this);
    dispatch(effOpen);
    dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f);
    dispatch(effMainsChanged, 0, 1);
}

recorded_instance::~recorded_instance() {
    dispatch(effMainsChanged, 0, 0);
    dispatch(effClose);
    std::lock_guard lock(log_mutex);
    std::erase_if(log, [this](const logged_call& c) { return c.effect == effect_; });
}

plugin::tessvane_plugin& recorded_instance::plugin() const { return object_of(effect_); }

editor::eq_editor& recorded_instance::editor() const {
    return static_cast<plugin::vst_editor*>(plugin().getEditor())->editor();
}

VstIntPtr recorded_instance::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
}

void recorded_instance::idle(int times) {
    for (int i = 0; i < times; ++i) dispatch(effEditIdle);
}

std::vector<host_call> recorded_instance::edit_calls() const {
    std::lock_guard lock(log_mutex);
    std::vector<host_call> mine;
    for (const logged_call& c : log)
        if (c.effect == effect_) mine.push_back(c.call);
    return mine;
}

std::vector<unsigned long> screen_pixels(Window window, int x, int y, int width, int height) {
    XSync(test_display(), False);
    XImage* image = XGetImage(test_display(), window, x, y, unsigned(width), unsigned(height), AllPlanes, ZPixmap);
    std::vector<unsigned long> pixels;
    if (!image) return pixels;
    for (int row = 0; row < image->height; ++row)
        for (int column = 0; column < image->width; ++column)
            pixels.push_back(XGetPixel(image, column, row) & 0xFFFFFF);
    XDestroyImage(image);
    return pixels;
}

void move_pointer(void* window, int x, int y) {
    Display* d = test_display();
    Window child;
    int root_x = 0, root_y = 0;
    XTranslateCoordinates(d, reinterpret_cast<Window>(window), DefaultRootWindow(d), x, y, &root_x, &root_y, &child);
    XTestFakeMotionEvent(d, DefaultScreen(d), root_x, root_y, CurrentTime);
    XSync(d, False);
}

void press_left(bool down) {
    XTestFakeButtonEvent(test_display(), 1, down ? True : False, CurrentTime);
    XSync(test_display(), False);
}

void drag_up(recorded_instance& instance, const host_window& parent, int x, int y, int pixels) {
    move_pointer(parent.handle(), x, y);
    instance.idle(3);
    press_left(true);
    instance.idle(3);
    for (int moved = 10; moved <= pixels; moved += 10) {
        move_pointer(parent.handle(), x, y - moved);
        instance.idle(3);
    }
    press_left(false);
    const auto ended = [&] {
        const std::vector<host_call> calls = instance.edit_calls();
        return !calls.empty() && calls.back().opcode == audioMasterEndEdit;
    };
    for (int i = 0; i < 500 && !ended(); ++i) instance.idle();
}
