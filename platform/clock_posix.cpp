#include "platform/clock.h"

#include <cerrno>
#include <ctime>

namespace platform {

void sleep_ms(unsigned milliseconds) {
    timespec left{static_cast<time_t>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1000000L};
    // A signal handler interrupting the sleep must not shorten it.
    while (nanosleep(&left, &left) != 0 && errno == EINTR) {
    }
}

std::uint32_t tick_count_ms() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const auto ms = static_cast<std::uint64_t>(now.tv_sec) * 1000u + static_cast<std::uint64_t>(now.tv_nsec) / 1000000u;
    return static_cast<std::uint32_t>(ms);
}

}  // namespace platform
