#include "platform/clock.h"

#include <windows.h>

namespace platform {

void sleep_ms(unsigned milliseconds) { Sleep(milliseconds); }

std::uint32_t tick_count_ms() { return GetTickCount(); }

}  // namespace platform
