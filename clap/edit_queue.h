// The editor's edits on their way to the host: the editor's thread queues
// them, and the next process or flush call hands them over as events. One
// producer and one consumer, no locks, no allocation; when the host falls
// that far behind, an edit is dropped (the instance has it already).
#pragma once

#include <array>
#include <atomic>
#include <cstdint>

#include "clap/clap_abi.h"

namespace clap {

struct host_edit {
    std::uint16_t type;  // event_param_value or a gesture's begin or end
    clap_id id;
    double value;
};

class edit_queue {
public:
    bool push(const host_edit& edit) {
        const std::uint32_t tail = tail_.load(std::memory_order_relaxed);
        if (tail - head_.load(std::memory_order_acquire) == capacity) return false;
        slots_[tail % capacity] = edit;
        tail_.store(tail + 1, std::memory_order_release);
        return true;
    }
    bool pop(host_edit& edit) {
        const std::uint32_t head = head_.load(std::memory_order_relaxed);
        if (head == tail_.load(std::memory_order_acquire)) return false;
        edit = slots_[head % capacity];
        head_.store(head + 1, std::memory_order_release);
        return true;
    }

private:
    static constexpr std::uint32_t capacity = 256;
    std::array<host_edit, capacity> slots_{};
    std::atomic<std::uint32_t> head_{0};
    std::atomic<std::uint32_t> tail_{0};
};

}  // namespace clap
