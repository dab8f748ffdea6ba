// Counts the heap allocations and releases made by threads while they are
// marked as the audio thread. Process-wide: in plain builds the test program
// replaces the malloc family and operator new/delete; under a sanitizer,
// which owns malloc, its allocation hooks report every call instead.
#pragma once

namespace allocation_tracker {

struct counts {
    long allocations = 0;
    long releases = 0;
};

// Marks the calling thread as the audio thread for the scope's life.
class audio_thread_scope {
public:
    audio_thread_scope();
    ~audio_thread_scope();
    audio_thread_scope(const audio_thread_scope&) = delete;
    audio_thread_scope& operator=(const audio_thread_scope&) = delete;
};

// What marked threads did since the last reset.
counts audio_thread_counts();
void reset();

// Called by the interposed allocator for every call of the calling thread.
void note_allocation();
void note_release();

}  // namespace allocation_tracker
