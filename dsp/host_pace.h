// Tells a host that renders faster than real time (an export) from one that
// plays to a device, for hosts that do not say which they are doing.
//
// For each block the host took the wall-clock time from its arrival to the
// next block's. The host counts as rendering offline while its last blocks
// -- at least 24 of them and at least 250 ms of audio -- took at most half
// their audio's duration. A host that plays cannot run ahead of its device
// by more than the device buffers: to pass, it would have to get 12 blocks
// and 125 ms ahead within that window. Prefill bursts at transport start (up
// to 8 blocks) and catching up after a late block (a block or two) stay well
// short of it. An occasional slow block in an export does not end it.
//
// Audio thread only: one clock reading and constant work per block (the
// window's sums are kept as it moves), no allocation.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>

namespace dsp {

class host_pace {
public:
    using clock = std::chrono::steady_clock;

    static constexpr double least_audio_seconds = 0.25;
    static constexpr int least_blocks = 24;

    // Notes a block of `frames` at `sample_rate` arriving at `now`; true
    // while the host renders faster than real time.
    bool offline_after(clock::time_point now, int frames, int sample_rate);
    // Forgets the blocks so far (a resume: the transport starts anew).
    void reset() { *this = host_pace{}; }

private:
    // Blocks remembered: 250 ms of 32-frame blocks at 48 kHz fit.
    static constexpr int remembered = 512;

    struct block_time {
        std::int64_t frames;
        std::int64_t wall_ns;
    };
    void drop_oldest();

    // The window judged: window_count_ blocks from oldest_ on, and their sums,
    // in frames and nanoseconds, whole numbers that never drift.
    std::array<block_time, remembered> history_{};
    int oldest_ = 0;
    int window_count_ = 0;
    std::int64_t frames_ = 0;
    std::int64_t wall_ns_ = 0;
    clock::time_point last_arrival_{};
    std::int64_t last_frames_ = 0;
};

}  // namespace dsp
