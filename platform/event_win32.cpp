#include "platform/event.h"

#include <windows.h>

#include <new>

#include "platform/fault_injection.h"

namespace platform {

struct auto_reset_event {
    HANDLE handle;
};

auto_reset_event* create_auto_reset_event() {
    if (should_fail(fault::event_create)) return nullptr;
    // Unnamed, so two instances never share one event.
    const HANDLE handle = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    if (handle == nullptr) return nullptr;
    auto* e = new (std::nothrow) auto_reset_event{handle};
    if (e == nullptr) CloseHandle(handle);
    return e;
}

bool set_event(auto_reset_event* e) {
    if (e == nullptr || should_fail(fault::event_set)) return false;
    return SetEvent(e->handle) != FALSE;
}

void wait_event(auto_reset_event* e) { WaitForSingleObject(e->handle, INFINITE); }

void close_event(auto_reset_event* e) {
    if (e == nullptr) return;
    CloseHandle(e->handle);
    delete e;
}

}  // namespace platform
