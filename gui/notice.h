// A message that stays up beside the editor without holding up the host:
// on Linux a dialog window over the editor's, whose events the editor's idle
// step handles while it goes on painting; on Windows a message box shown
// from the platform's delivery thread. (A box with its own loop on the
// host's thread would freeze the host on Linux, and on Windows would run the
// host's messages under the editor's click handler: a host closing the
// editor meanwhile would delete it under that handler.)
#pragma once

#include <memory>

#include "platform/message_box.h"

namespace VSTGUI {

class notice {
public:
    // Shows m over the host's window `over` (as given to the editor), drawn
    // at the editor's `scale` where the platform leaves that to us (Linux).
    // Null when there is nothing to keep: the message went to a test's sink
    // or message log, to stderr alone, or to the delivery thread.
    static std::unique_ptr<notice> show(const platform::message& m, void* over, double scale = 1.0);
    virtual ~notice() = default;  // takes the window down
    // Handles the window's events; true once the user has dismissed it.
    virtual bool pump() = 0;
};

}  // namespace VSTGUI
