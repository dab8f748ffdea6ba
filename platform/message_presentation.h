// The OS-specific ends of show_message_box.
#pragma once

#include "platform/message_box.h"

namespace platform {

// Appends "caption\ttext\n" to the file in one write, so lines of concurrent
// writers never interleave. Failures are ignored: there is nobody to tell.
void append_message_to_log(const char* path, const message& m);

// Shows the message with the OS's own modal box where it has one (Windows);
// elsewhere nothing beyond stderr.
void present_message_natively(const message& m);

}  // namespace platform
