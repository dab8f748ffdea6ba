#include "dsp/host_pace.h"

namespace dsp {

bool host_pace::offline_after(clock::time_point now, int frames, int sample_rate) {
    if (last_audio_seconds_ > 0.0f) {
        newest_ = (newest_ + 1) % remembered;
        history_[newest_] = {last_audio_seconds_, std::chrono::duration<float>(now - last_arrival_).count()};
        if (count_ < remembered) ++count_;
    }
    last_arrival_ = now;
    last_audio_seconds_ = sample_rate > 0 ? float(frames) / float(sample_rate) : 0.0f;

    // The shortest run of latest blocks that is long enough to judge.
    double audio = 0.0, wall = 0.0;
    for (int i = 0; i < count_; ++i) {
        const block_time& block = history_[(newest_ - i + remembered) % remembered];
        audio += block.audio_seconds;
        wall += block.wall_seconds;
        if (i + 1 >= least_blocks && audio >= least_audio_seconds) return wall <= 0.5 * audio;
    }
    return false;
}

}  // namespace dsp
