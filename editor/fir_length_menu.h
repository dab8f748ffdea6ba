// The FIR-length menu: the lengths offered for instances created from now
// on, the stored choice selected, and what a new choice does (it is stored
// at once; a length other than the running one turns the text red, with a
// notice that it applies from the next start). Editor thread only.
#pragma once

#include <optional>
#include <string>

#include "platform/message_box.h"

namespace VSTGUI {
class COptionMenu;
}

namespace editor {

class eq_model;

// "%d samples     " for each offered length; selects the model's stored
// length, or the first entry when it is not offered or unreadable.
void fill_fir_length_menu(VSTGUI::COptionMenu& menu, const eq_model& model);

// Stores the length of the menu's current entry through the model, and
// answers what to tell the user: the notice for a length other than the
// running one, or a failed write's error (the editor goes on working), or
// nothing.
std::optional<platform::message> apply_fir_length_choice(VSTGUI::COptionMenu& menu, eq_model& model);

// The notice shown for a length that takes effect at the next start.
std::string fir_length_notice(int length);

}  // namespace editor
