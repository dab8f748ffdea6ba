#include "vst3/plug_view.h"

#include <cstring>

#include "editor/eq_editor.h"
#include "vst3/eq_component.h"

namespace vst3 {

namespace {

#if defined(_WIN32)
constexpr const char* platform_type = kPlatformTypeHWND;
#else
constexpr const char* platform_type = kPlatformTypeX11EmbedWindowID;
#endif
// The editor's idle step: often enough for a drag to feel direct.
constexpr std::uint64_t idle_interval_ms = 16;

plug_view& self_of(void* self) { return owner_of<plug_view>(self); }

tresult VST3_CALL query_interface(void* self, const TUID iid, void** obj) { return self_of(self).query(iid, obj); }
std::uint32_t VST3_CALL add_ref(void* self) { return self_of(self).add_ref(); }
std::uint32_t VST3_CALL release(void* self) { return self_of(self).release(); }
constexpr FUnknown_vtbl unknown_table{query_interface, add_ref, release};

tresult VST3_CALL is_platform_type_supported(void*, const char* type) {
    return is_platform_type(type) ? kResultTrue : kResultFalse;
}
tresult VST3_CALL attached(void* self, void* parent, const char* type) { return self_of(self).attached(parent, type); }
tresult VST3_CALL removed(void* self) { return self_of(self).removed(); }
tresult VST3_CALL on_wheel(void*, float) { return kResultFalse; }
tresult VST3_CALL on_key(void*, char16_t, std::int16_t, std::int16_t) { return kResultFalse; }
tresult VST3_CALL get_size(void* self, ViewRect* size) { return self_of(self).get_size(size); }
tresult VST3_CALL on_size(void*, ViewRect* size) { return size ? kResultOk : kInvalidArgument; }
tresult VST3_CALL on_focus(void*, TBool) { return kResultOk; }
tresult VST3_CALL set_frame(void* self, IPlugFrame* frame) {
    self_of(self).set_frame(frame);
    return kResultOk;
}
tresult VST3_CALL can_resize(void*) { return kResultFalse; }
tresult VST3_CALL check_size_constraint(void* self, ViewRect* rect) { return get_size(self, rect); }

constexpr IPlugView_vtbl view_table{unknown_table,
                                    is_platform_type_supported,
                                    attached,
                                    removed,
                                    on_wheel,
                                    on_key,
                                    on_key,
                                    get_size,
                                    on_size,
                                    on_focus,
                                    set_frame,
                                    can_resize,
                                    check_size_constraint};

tresult VST3_CALL set_content_scale_factor(void* self, float factor) { return self_of(self).set_scale(factor); }
constexpr IPlugViewContentScaleSupport_vtbl scale_table{unknown_table, set_content_scale_factor};

void VST3_CALL on_timer(void* self) { self_of(self).idle(); }
constexpr ITimerHandler_vtbl timer_table{unknown_table, on_timer};

void VST3_CALL on_fd_is_set(void* self, int) { self_of(self).idle(); }
constexpr IEventHandler_vtbl events_table{unknown_table, on_fd_is_set};

}  // namespace

bool is_platform_type(const char* type) { return type && std::strcmp(type, platform_type) == 0; }

IPlugView* plug_view::create(eq_component& component) {
    return reinterpret_cast<IPlugView*>(&(new plug_view(component))->view_slot_);
}

plug_view::plug_view(eq_component& component)
    : view_slot_{&view_table, this},
      scale_slot_{&scale_table, this},
      timer_slot_{&timer_table, this},
      events_slot_{&events_table, this},
      component_(component) {
    component_.add_ref();
}

plug_view::~plug_view() {
    removed();
    component_.release();
}

tresult plug_view::query(const char* iid, void** obj) {
    if (!obj) return kInvalidArgument;
    interface_slot* slot = nullptr;
    if (is_id(iid, iid::FUnknown) || is_id(iid, iid::IPlugView))
        slot = &view_slot_;
    else if (is_id(iid, iid::IPlugViewContentScaleSupport))
        slot = &scale_slot_;
    else if (is_id(iid, iid::ITimerHandler))
        slot = &timer_slot_;
    else if (is_id(iid, iid::IEventHandler))
        slot = &events_slot_;
    *obj = slot;
    if (!slot) return kNoInterface;
    add_ref();
    return kResultOk;
}

std::uint32_t plug_view::release() {
    const std::uint32_t left = --refs_;
    if (left == 0) delete this;
    return left;
}

// In pixels: the logical size times the scale.
tresult plug_view::get_size(ViewRect* size) const {
    if (!size) return kInvalidArgument;
    const editor::eq_editor& editor = component_.editor();
    *size = {0, 0, editor.device_width(), editor.device_height()};
    return kResultOk;
}

// The host's factor (Windows hosts pass the monitor's; on Linux hosts
// seldom call this, and the system's scale counts). A new size is asked of
// the host's frame.
tresult plug_view::set_scale(float factor) {
    editor::eq_editor& editor = component_.editor();
    const int width = editor.device_width(), height = editor.device_height();
    editor.set_scale(double(factor));
    if (frame_ && (editor.device_width() != width || editor.device_height() != height)) {
        ViewRect size{};
        get_size(&size);
        frame_->vtbl->resizeView(frame_, reinterpret_cast<IPlugView*>(&view_slot_), &size);
    }
    return kResultTrue;
}

tresult plug_view::attached(void* parent, const char* type) {
    if (open_ || !parent || !is_platform_type(type)) return kResultFalse;
    // The host's run loop where it lends one, else the system's own timer.
    void* loop = nullptr;
    if (frame_ && frame_->vtbl->unknown.queryInterface(frame_, id_bytes(iid::IRunLoop).data(), &loop) == kResultOk)
        run_loop_ = static_cast<IRunLoop*>(loop);
    if (!run_loop_ && !own_timer_.start(static_cast<int>(idle_interval_ms), [this] { idle(); })) return kResultFalse;
    editor::eq_editor& editor = component_.editor();
    if (!editor.open(parent)) {
        removed();
        return kResultFalse;
    }
    open_ = true;
    if (run_loop_) {
        run_loop_->vtbl->registerTimer(run_loop_, reinterpret_cast<ITimerHandler*>(&timer_slot_), idle_interval_ms);
        const int fd = editor.event_descriptor();
        watching_events_ = fd >= 0 && run_loop_->vtbl->registerEventHandler(
                                          run_loop_, reinterpret_cast<IEventHandler*>(&events_slot_), fd) == kResultOk;
    }
    return kResultOk;
}

tresult plug_view::removed() {
    if (run_loop_) {
        if (open_) run_loop_->vtbl->unregisterTimer(run_loop_, reinterpret_cast<ITimerHandler*>(&timer_slot_));
        if (watching_events_)
            run_loop_->vtbl->unregisterEventHandler(run_loop_, reinterpret_cast<IEventHandler*>(&events_slot_));
        run_loop_->vtbl->unknown.release(run_loop_);
        run_loop_ = nullptr;
    }
    watching_events_ = false;
    own_timer_.stop();
    if (open_) component_.editor().close();
    open_ = false;
    return kResultOk;
}

void plug_view::idle() {
    if (open_) component_.editor().idle();
}

}  // namespace vst3
