#include "gui/message_dialog.h"

namespace VSTGUI {

void install_message_dialog() {
    if (!detail::message_dialog_possible()) return;
    platform::set_message_presenter([](const platform::message& m) { show_message_dialog(m); });
}

}  // namespace VSTGUI
