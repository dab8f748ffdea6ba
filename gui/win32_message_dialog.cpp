// On Windows the platform layer shows messages with the system's own
// MessageBoxA, so the toolkit draws no dialog of its own there.
#include "gui/message_dialog.h"

namespace VSTGUI {

bool detail::message_dialog_possible() { return false; }

bool show_message_dialog(const platform::message&) { return false; }

}  // namespace VSTGUI
