#include "dsp/host_pace.h"

#include <algorithm>
#include <cmath>

namespace dsp {

namespace {

// Longer gaps are a stopped transport, not a pace; capping them keeps the
// sums' products below in range.
constexpr std::int64_t longest_gap_ns = 1'000'000'000;

}  // namespace

bool host_pace::offline_after(clock::time_point now, int frames, int sample_rate) {
    if (sample_rate <= 0) return false;
    // Frames of audio, so that "at least 250 ms" is exact at any block size.
    const std::int64_t least_frames = static_cast<std::int64_t>(std::ceil(least_audio_seconds * sample_rate));
    if (last_frames_ > 0) {
        if (window_count_ == remembered) drop_oldest();
        const auto gap = std::chrono::duration_cast<std::chrono::nanoseconds>(now - last_arrival_).count();
        block_time& newest = history_[(oldest_ + window_count_) % remembered];
        newest = {last_frames_, std::clamp<std::int64_t>(gap, 0, longest_gap_ns)};
        frames_ += newest.frames;
        wall_ns_ += newest.wall_ns;
        ++window_count_;
        // The window is the shortest run of latest blocks long enough to
        // judge; a new block can only make that run start later.
        while (window_count_ > least_blocks && frames_ - history_[oldest_].frames >= least_frames) drop_oldest();
    }
    last_arrival_ = now;
    last_frames_ = frames;
    // wall <= half the audio's duration, in whole numbers.
    return window_count_ >= least_blocks && frames_ >= least_frames &&
           2 * wall_ns_ * sample_rate <= frames_ * 1'000'000'000;
}

void host_pace::drop_oldest() {
    frames_ -= history_[oldest_].frames;
    wall_ns_ -= history_[oldest_].wall_ns;
    oldest_ = (oldest_ + 1) % remembered;
    --window_count_;
}

}  // namespace dsp
