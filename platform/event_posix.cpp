#include "platform/event.h"

#include <condition_variable>
#include <mutex>
#include <new>

#include "platform/fault_injection.h"

namespace platform {

struct auto_reset_event {
    std::mutex mutex;
    std::condition_variable changed;
    bool signalled = false;
};

auto_reset_event* create_auto_reset_event() {
    if (should_fail(fault::event_create)) return nullptr;
    return new (std::nothrow) auto_reset_event;
}

bool set_event(auto_reset_event* e) {
    if (e == nullptr || should_fail(fault::event_set)) return false;
    {
        std::lock_guard lock(e->mutex);
        e->signalled = true;
    }
    e->changed.notify_one();
    return true;
}

void wait_event(auto_reset_event* e) {
    std::unique_lock lock(e->mutex);
    e->changed.wait(lock, [e] { return e->signalled; });
    // Auto-reset: this wait consumes the signal.
    e->signalled = false;
}

void close_event(auto_reset_event* e) { delete e; }

}  // namespace platform
