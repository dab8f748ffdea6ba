// The editor's window as a VST3 view. On Linux it embeds in the host's X11
// window ("X11EmbedWindowID") and is driven by the host's run loop, which
// the frame offers: a timer runs the editor's idle step, and the editor's
// X connection is watched so that input is handled as it arrives. A host
// without a run loop gets no editor (attached says kResultFalse): nothing
// else would pump the window. On Windows it embeds in an HWND and a timer
// of the UI thread's own message loop runs the idle step.
//
// Threads: the host's UI thread only.
#pragma once

#include <atomic>
#include <cstdint>

#include "platform/ui_timer.h"
#include "vst3/interface_slot.h"

namespace vst3 {

class eq_component;

class plug_view {
public:
    static IPlugView* create(eq_component& component);

    tresult query(const char* iid, void** obj);
    std::uint32_t add_ref() { return ++refs_; }
    std::uint32_t release();

    tresult attached(void* parent, const char* type);
    tresult removed();
    void set_frame(IPlugFrame* frame) { frame_ = frame; }
    tresult get_size(ViewRect* size) const;
    tresult set_scale(float factor);
    void idle();

private:
    explicit plug_view(eq_component& component);
    ~plug_view();

    interface_slot view_slot_;
    interface_slot scale_slot_;
    interface_slot timer_slot_;
    interface_slot events_slot_;
    std::atomic<std::uint32_t> refs_{1};
    eq_component& component_;
    IPlugFrame* frame_ = nullptr;
    IRunLoop* run_loop_ = nullptr;  // held while attached
    platform::ui_timer own_timer_;  // where the system runs one
    bool open_ = false;
    bool watching_events_ = false;
};

bool is_platform_type(const char* type);

}  // namespace vst3
