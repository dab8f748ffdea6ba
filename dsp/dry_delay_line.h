// The unfiltered path's delay: a ring per channel that delays by the
// engine's latency, so that the dry signal lines up with the filtered one.
// Construction allocates; process and clear do not, and run on the audio
// thread (clear also while no audio runs).
#pragma once

#include "dsp/channel_buffers.h"

namespace dsp {

class dry_delay_line {
public:
    // Throws "Memory allocation error" when a ring cannot be had.
    dry_delay_line(int channel_count, int delay, int max_block);

    // Replaces count samples of every channel (count <= max_block) with the
    // samples `delay` earlier.
    void process(float* const* channels, int count);
    // Takes count samples of every channel in without giving the delayed
    // ones back: the ring keeps step while the filtered path is heard.
    void keep(const float* const* channels, int count);
    void clear() { ring_.clear(); }

private:
    void write(const float* const* channels, int count);
    channel_buffers ring_;
    int read_index_ = 0;
    int write_index_;
};

}  // namespace dsp
