// Sleep and a millisecond tick count.
#pragma once

#include <cstdint>

namespace platform {

void sleep_ms(unsigned milliseconds);
// Milliseconds since an arbitrary start, wrapping at 2^32 like GetTickCount.
std::uint32_t tick_count_ms();

}  // namespace platform
