// The message dialog's window, split into steps so tests can look at it
// before it is dismissed: open() shows it, run() handles events until it is
// dismissed.
#pragma once

#include <X11/Xlib.h>

#include <memory>
#include <string>
#include <vector>

#include "gui/offscreen_context.h"
#include "gui/x11_error_trap.h"
#include "platform/message_box.h"

namespace VSTGUI::detail {

class x11_message_dialog {
public:
    // `scale`: device pixels per logical one, as the editor's.
    explicit x11_message_dialog(const platform::message& m, double scale = 1.0);
    ~x11_message_dialog();
    x11_message_dialog(const x11_message_dialog&) = delete;
    x11_message_dialog& operator=(const x11_message_dialog&) = delete;

    // False when there is no display or the window cannot be made. Centred
    // over the window `over` when given (an X11 Window id), else on the screen.
    bool open(unsigned long over = 0);
    // Blocks until OK, Return, Escape or the close button.
    void run();
    // Handles the events that are there without waiting; true once the
    // dialog has been dismissed.
    bool pump();

    Window window() const { return window_; }
    // Logical, as the picture is drawn.
    const CRect& okButton() const { return ok_button_; }
    const std::vector<std::string>& lines() const { return lines_; }
    const COffscreenContext& picture() const { return *picture_; }

private:
    void paint();
    // True when the event dismisses the dialog.
    bool handle(const XEvent& event);
    // Whether a button event's place is on OK.
    bool on_ok(const XButtonEvent& event) const;

    platform::message message_;
    std::vector<std::string> lines_;
    CRect ok_button_;
    CRect text_area_;
    std::unique_ptr<COffscreenContext> picture_;
    Display* display_ = nullptr;
    std::unique_ptr<x11_error_trap> trap_;
    Window window_ = 0;
    GC gc_ = nullptr;
    Atom delete_atom_ = 0;
    bool ok_pressed_ = false;
};

}  // namespace VSTGUI::detail
