#include "allocation_tracker.h"

#include <atomic>

namespace allocation_tracker {

namespace {

// Constant-initialised, so reading them inside malloc allocates nothing.
constinit thread_local bool inside_audio_thread = false;
constinit std::atomic<long> allocations{0};
constinit std::atomic<long> releases{0};

}  // namespace

audio_thread_scope::audio_thread_scope() { inside_audio_thread = true; }
audio_thread_scope::~audio_thread_scope() { inside_audio_thread = false; }

counts audio_thread_counts() { return {allocations.load(), releases.load()}; }

void reset() {
    allocations = 0;
    releases = 0;
}

void note_allocation() {
    if (inside_audio_thread) allocations.fetch_add(1, std::memory_order_relaxed);
}

void note_release() {
    if (inside_audio_thread) releases.fetch_add(1, std::memory_order_relaxed);
}

}  // namespace allocation_tracker
