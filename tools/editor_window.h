// The host's top-level X11 window that a plug-in's editor opens inside: a
// connection of its own, a fixed-size window titled with the plug-in's name,
// the window manager's close button, and captures of what it shows.
//
// Used from one thread only; X errors on this connection are trapped and
// logged instead of ending the process.
#pragma once

#include <X11/Xlib.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace VSTGUI::detail {
class x11_error_trap;
}

namespace tessvane::host {

class editor_window {
public:
    // Throws std::runtime_error when no X display can be opened.
    editor_window(const std::string& title, int width, int height);
    ~editor_window();
    editor_window(const editor_window&) = delete;
    editor_window& operator=(const editor_window&) = delete;

    // The id a plug-in gets as effEditOpen's ptr.
    Window id() const { return window_; }
    int width() const { return width_; }
    int height() const { return height_; }

    void set_title(const std::string& title);
    void show();
    void resize(int width, int height);

    // Handles waiting events without blocking; true once the user has
    // closed the window.
    bool close_requested();
    // True when some window inside ours (the editor's) is being shown.
    bool has_shown_child();
    // The window's pixels, children included, as 0x00RRGGBB rows of width();
    // empty when the server cannot give them.
    std::vector<std::uint32_t> capture();

private:
    void set_fixed_size();

    Display* display_;
    std::unique_ptr<VSTGUI::detail::x11_error_trap> error_trap_;
    Window window_;
    Atom delete_window_;
    int width_;
    int height_;
    bool close_requested_ = false;
};

}  // namespace tessvane::host
