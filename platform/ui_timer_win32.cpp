#include "platform/ui_timer.h"

#include <windows.h>

#include <map>

namespace platform {

namespace {

// Timers without a window: the callback finds its owner by the timer's ID.
// Only the user-interface thread touches the table.
std::map<UINT_PTR, ui_timer*>& running() {
    static std::map<UINT_PTR, ui_timer*> timers;
    return timers;
}

}  // namespace

struct ui_timer_access {
    static void CALLBACK fire(HWND, UINT, UINT_PTR id, DWORD) {
        const auto found = running().find(id);
        if (found != running().end() && found->second->tick_) found->second->tick_();
    }
};

bool ui_timer::start(int interval_ms, std::function<void()> tick) {
    stop();
    tick_ = std::move(tick);
    id_ = SetTimer(nullptr, 0, static_cast<UINT>(interval_ms), &ui_timer_access::fire);
    if (id_ == 0) return false;
    running()[id_] = this;
    return true;
}

void ui_timer::stop() {
    if (id_ == 0) return;
    KillTimer(nullptr, id_);
    running().erase(id_);
    id_ = 0;
}

}  // namespace platform
