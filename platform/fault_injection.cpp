#include "platform/fault_injection.h"

#include <atomic>

namespace platform {
namespace {

constexpr int fault_kinds = static_cast<int>(fault::fault_count);
// Calls left before the armed failure; -1 when nothing is armed.
std::atomic<int> countdown[fault_kinds];

struct disarmed_at_start {
    disarmed_at_start() { clear_faults(); }
} const start;

}  // namespace

void inject_fault(fault f, int skip) { countdown[static_cast<int>(f)].store(skip, std::memory_order_relaxed); }

void clear_faults() {
    for (auto& c : countdown) c.store(-1, std::memory_order_relaxed);
}

bool should_fail(fault f) {
    auto& c = countdown[static_cast<int>(f)];
    int left = c.load(std::memory_order_relaxed);
    while (left >= 0) {
        if (c.compare_exchange_weak(left, left - 1, std::memory_order_relaxed)) return left == 0;
    }
    return false;
}

}  // namespace platform
