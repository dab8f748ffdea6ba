// Xlib's default error handler ends the process, and the host's window may
// vanish under us at any time. While any of our connections is open, one
// process-wide handler swallows (and logs) errors on our connections and
// hands errors on anyone else's to the handler that was there before.
#pragma once

#include <X11/Xlib.h>

namespace VSTGUI::detail {

// Registers `display` for the life of the object.
class x11_error_trap {
public:
    explicit x11_error_trap(Display* display);
    ~x11_error_trap();
    x11_error_trap(const x11_error_trap&) = delete;
    x11_error_trap& operator=(const x11_error_trap&) = delete;

    // Waits for the server to handle every request sent so far and answers
    // whether any of them failed since the last call.
    bool syncAndTakeError();

private:
    Display* display_;
};

}  // namespace VSTGUI::detail
