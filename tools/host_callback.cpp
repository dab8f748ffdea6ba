#include "host_callback.h"

#include <cstdio>
#include <cstring>
#include <string_view>

namespace tessvane::host {
namespace {

thread_local host_callback* loading_host = nullptr;
thread_local int audio_thread_depth = 0;

// Strings the host can do; everything else is answered 0.
constexpr std::string_view host_can_do[] = {"acceptIOChanges", "sizeWindow"};

void copy_bounded(void* destination, const char* text, std::size_t bound) {
    if (destination == nullptr) return;
    auto* out = static_cast<char*>(destination);
    std::strncpy(out, text, bound);
    out[bound] = '\0';
}

const char* gesture_name(edit_event::kind what) {
    return what == edit_event::kind::begin_edit ? "begin edit" : "end edit";
}

}  // namespace

VstIntPtr VSTCALLBACK host_callback::entry(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                           float opt) {
    host_callback* host = nullptr;
    if (effect != nullptr && effect->resvd1 != 0) host = reinterpret_cast<host_callback*>(effect->resvd1);
    if (host == nullptr) host = loading_host;
    const host_call call{effect, opcode, index, value, ptr, opt};
    if (host == nullptr) {
        // A plug-in calling from a thread of its own before its entry point
        // returned: only the version question has a host-independent answer.
        return opcode == audioMasterVersion ? host_version : 0;
    }
    return host->answer(call);
}

host_callback::loading_scope::loading_scope(host_callback& host) : previous_(loading_host) { loading_host = &host; }

host_callback::loading_scope::~loading_scope() { loading_host = previous_; }

host_callback::audio_thread_scope::audio_thread_scope() { ++audio_thread_depth; }

host_callback::audio_thread_scope::~audio_thread_scope() { --audio_thread_depth; }

void host_callback::attach(AEffect& effect) { effect.resvd1 = reinterpret_cast<VstIntPtr>(this); }

void host_callback::set_handler(host_call_handler handler) {
    auto shared = handler ? std::make_shared<const host_call_handler>(std::move(handler)) : nullptr;
    std::lock_guard lock(handler_mutex_);
    handler_ = std::move(shared);
}

VstIntPtr host_callback::answer(const host_call& call) {
    std::shared_ptr<const host_call_handler> handler;
    {
        std::lock_guard lock(handler_mutex_);
        handler = handler_;
    }
    if (handler) {
        if (auto answered = (*handler)(call)) return *answered;
    }
    return default_answer(call);
}

VstIntPtr host_callback::default_answer(const host_call& call) {
    switch (call.opcode) {
        case audioMasterAutomate: record({edit_event::kind::automate, call.index, call.opt}); return 1;
        case audioMasterBeginEdit: record({edit_event::kind::begin_edit, call.index, 0.0f}); return 1;
        case audioMasterEndEdit: record({edit_event::kind::end_edit, call.index, 0.0f}); return 1;
        case audioMasterVersion: return host_version;
        case audioMasterCurrentId: return call.effect != nullptr ? call.effect->uniqueID : 0;
        case audioMasterIdle: return 1;
        case audioMasterGetTime: return 0;  // no transport
        case audioMasterGetSampleRate: return static_cast<VstIntPtr>(sample_rate());
        case audioMasterGetBlockSize: return block_size();
        case audioMasterGetCurrentProcessLevel:
            if (audio_thread_depth == 0) return kVstProcessLevelUser;
            return audio_process_level_.load();
        case audioMasterGetVendorString: copy_bounded(call.ptr, "Tessvane", kVstMaxVendorStrLen); return 1;
        case audioMasterGetProductString: copy_bounded(call.ptr, "Tessvane Host", kVstMaxProductStrLen); return 1;
        case audioMasterGetVendorVersion: return host_vendor_version;
        case audioMasterCanDo: {
            if (call.ptr == nullptr) return 0;
            const std::string_view asked(static_cast<const char*>(call.ptr));
            for (auto can : host_can_do)
                if (asked == can) return 1;
            return 0;
        }
        case audioMasterIOChanged:
            // The record's fields are read afresh before every render.
            io_changes_.fetch_add(1);
            return 1;
        case audioMasterSizeWindow: return 1;
        case audioMasterUpdateDisplay: return 1;
        default: return 0;
    }
}

void host_callback::record(edit_event event) {
    if (verbose_.load()) {
        if (event.what == edit_event::kind::automate)
            std::fprintf(stderr, "plug-in: automate parameter %d = %.6g\n", event.index,
                         static_cast<double>(event.value));
        else
            std::fprintf(stderr, "plug-in: %s parameter %d\n", gesture_name(event.what), event.index);
    }
    std::lock_guard lock(edits_mutex_);
    edits_.push_back(event);
}

std::vector<edit_event> host_callback::edit_events() const {
    std::lock_guard lock(edits_mutex_);
    return edits_;
}

void host_callback::clear_edit_events() {
    std::lock_guard lock(edits_mutex_);
    edits_.clear();
}

}  // namespace tessvane::host
