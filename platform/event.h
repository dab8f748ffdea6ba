// Auto-reset events: set wakes exactly one wait, then the event is clear
// again; a set with nobody waiting is kept until the next wait.
#pragma once

namespace platform {

struct auto_reset_event;  // opaque

// Initially not signalled. Returns null on failure.
auto_reset_event* create_auto_reset_event();
// False on failure.
bool set_event(auto_reset_event* e);
// Waits without limit.
void wait_event(auto_reset_event* e);
void close_event(auto_reset_event* e);

}  // namespace platform
