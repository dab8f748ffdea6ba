#include "gui/message_dialog.h"

#include <X11/Xlib.h>

#include <cstdlib>

namespace VSTGUI {

void install_message_dialog() {
    const char* name = std::getenv("DISPLAY");
    if (!name || !*name) return;
    Display* display = XOpenDisplay(nullptr);
    if (!display) return;
    XCloseDisplay(display);
    platform::set_message_presenter([](const platform::message& m) { show_message_dialog(m); });
}

}  // namespace VSTGUI
