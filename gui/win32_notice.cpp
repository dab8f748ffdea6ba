#include "gui/notice.h"

namespace VSTGUI {

// The system draws the box at the monitor's DPI.
std::unique_ptr<notice> notice::show(const platform::message& m, void*, double) {
    // Not owned by the host's window, so the host goes on as the box waits.
    platform::message unowned = m;
    unowned.owner = nullptr;
    platform::post_message_box(unowned);
    return nullptr;
}

}  // namespace VSTGUI
