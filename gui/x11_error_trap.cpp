#include "gui/x11_error_trap.h"

#include <algorithm>
#include <cstdio>
#include <mutex>
#include <utility>
#include <vector>

namespace VSTGUI::detail {
namespace {

struct trapped_display {
    Display* display;
    bool failed;
    bool reported;  // a window gone for good would fail every idle: say it once
};

std::mutex registry_mutex;
std::vector<trapped_display> registry;
XErrorHandler previous_handler = nullptr;

int trap_handler(Display* display, XErrorEvent* error) {
    {
        std::lock_guard lock(registry_mutex);
        auto found = std::find_if(registry.begin(), registry.end(),
                                  [display](const trapped_display& t) { return t.display == display; });
        if (found != registry.end()) {
            found->failed = true;
            if (std::exchange(found->reported, true)) return 0;
            char text[128] = {};
            XGetErrorText(display, error->error_code, text, sizeof text);
            std::fprintf(stderr, "Tessvane GUI: X error \"%s\" (request %d) ignored, and any after it\n", text,
                         int(error->request_code));
            return 0;
        }
    }
    return previous_handler ? previous_handler(display, error) : 0;
}

}  // namespace

x11_error_trap::x11_error_trap(Display* display) : display_(display) {
    std::lock_guard lock(registry_mutex);
    if (registry.empty()) previous_handler = XSetErrorHandler(trap_handler);
    registry.push_back({display, false, false});
}

x11_error_trap::~x11_error_trap() {
    std::lock_guard lock(registry_mutex);
    std::erase_if(registry, [this](const trapped_display& t) { return t.display == display_; });
    if (registry.empty()) {
        // Someone may have put their own handler in since; leave theirs.
        XErrorHandler current = XSetErrorHandler(previous_handler);
        if (current != trap_handler) XSetErrorHandler(current);
        previous_handler = nullptr;
    }
}

bool x11_error_trap::syncAndTakeError() {
    XSync(display_, False);
    std::lock_guard lock(registry_mutex);
    for (trapped_display& t : registry)
        if (t.display == display_) return std::exchange(t.failed, false);
    return false;
}

}  // namespace VSTGUI::detail
