#include "platform/fault_injection.h"

#include <atomic>

namespace platform {
namespace {

constexpr int fault_kinds = static_cast<int>(fault::fault_count);
// Calls left up to and including the armed failure; 0 when nothing is armed,
// which is also the state before any static initialisation has run.
std::atomic<int> countdown[fault_kinds];

}  // namespace

void inject_fault(fault f, int skip) { countdown[static_cast<int>(f)].store(skip + 1, std::memory_order_relaxed); }

void clear_faults() {
    for (auto& c : countdown) c.store(0, std::memory_order_relaxed);
}

bool should_fail(fault f) {
    auto& c = countdown[static_cast<int>(f)];
    int left = c.load(std::memory_order_relaxed);
    while (left > 0) {
        if (c.compare_exchange_weak(left, left - 1, std::memory_order_relaxed)) return left == 1;
    }
    return false;
}

}  // namespace platform
