// The queue behind post_message_box: a fixed set of slots that any thread
// fills without locks or allocation, emptied by one delivering thread.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

#include "platform/message_box.h"

namespace platform {

class posted_message_ring {
public:
    static constexpr std::size_t slot_count = 32;
    static constexpr std::size_t text_capacity = 1024;  // longer texts are cut
    static constexpr std::size_t caption_capacity = 128;

    constexpr posted_message_ring() = default;

    // Queues a copy, or nothing when an identical message is still pending.
    // False when every slot is taken and the message was dropped. Lock-free.
    bool post(const message& m);

    // Hands each queued message to deliver. A message stays pending, and so
    // absorbs identical posts, until deliver has returned. One caller at a time.
    void deliver_pending(void (*deliver)(const message&));

    bool empty() const { return pending_ == 0; }

private:
    struct slot {
        std::atomic<std::uint64_t> key{0};  // 0: free; else the message's fingerprint
        std::atomic<bool> ready{false};     // the copy below is complete
        char text[text_capacity] = {};
        char caption[caption_capacity] = {};
        message_icon icon = message_icon::error;
        bool foreground = true;
        void* owner = nullptr;
    };

    slot slots_[slot_count];
    std::atomic<int> pending_{0};
};

}  // namespace platform
