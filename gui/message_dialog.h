// The product's modal message box on Linux, drawn with the toolkit: a small
// top-level window titled with the caption, the text wrapped beside an
// error or information sign, and an OK button. It runs its own event loop
// until OK, Return, Escape or the window's close button. Windows has its own
// box (the platform layer's MessageBoxA): there the dialog is never possible.
#pragma once

#include "platform/message_box.h"

namespace VSTGUI {

// Makes the dialog the platform's way of showing message boxes, but only
// when an X display is reachable now; otherwise does nothing and messages
// keep going to stderr alone. Called once by the plug-in at construction.
void install_message_dialog();

// Shows `m` and returns when the user dismissed it; false, at once, when no
// display can be opened.
bool show_message_dialog(const platform::message& m);

namespace detail {
// True when a display is reachable now (on Linux: DISPLAY is set and opens).
bool message_dialog_possible();
}  // namespace detail

}  // namespace VSTGUI
