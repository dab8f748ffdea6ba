#include "platform/ui_timer.h"

namespace platform {

bool ui_timer::start(int, std::function<void()>) { return false; }

void ui_timer::stop() {}

}  // namespace platform
