#include "gui/notice.h"

namespace VSTGUI {

std::unique_ptr<notice> notice::show(const platform::message& m, void*) {
    // Not owned by the host's window, so the host goes on as the box waits.
    platform::message unowned = m;
    unowned.owner = nullptr;
    platform::post_message_box(unowned);
    return nullptr;
}

}  // namespace VSTGUI
