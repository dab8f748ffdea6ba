// A repeating timer on the user-interface thread, for an editor whose host
// drives no idle step: Windows runs it from the thread's message loop, which
// every host pumps. Linux has no such loop of its own (hosts lend theirs),
// so there start answers false.
#pragma once

#include <cstdint>
#include <functional>

namespace platform {

class ui_timer {
public:
    ui_timer() = default;
    ~ui_timer() { stop(); }
    ui_timer(const ui_timer&) = delete;
    ui_timer& operator=(const ui_timer&) = delete;

    // Calls tick every interval_ms on this thread until stop; false when
    // the system offers no timer.
    bool start(int interval_ms, std::function<void()> tick);
    void stop();

private:
    friend struct ui_timer_access;
    std::uintptr_t id_ = 0;
    std::function<void()> tick_;
};

}  // namespace platform
