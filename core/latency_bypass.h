// A host's bypass that is click-free and time-aligned: the output is the
// input delayed by the instance's latency, while the engine keeps running
// into a scratch so that its history is current when the bypass ends.
//
// Threads: construction and clear while no audio runs; process on the audio
// thread, without allocating.
#pragma once

#include "core/eq_instance.h"
#include "dsp/channel_buffers.h"
#include "dsp/dry_delay_line.h"

namespace core {

class latency_bypass {
public:
    // Throws when the buffers cannot be had.
    latency_bypass(int latency, int max_block);

    void clear() { delay_.clear(); }
    // count frames from offset through the instance, heard or bypassed, in
    // blocks of at most max_block. Outputs may be the inputs.
    void process(eq_instance& instance, const float* const* in, float* const* out, int offset, int count,
                 dsp::render_mode mode, bool bypassed);

private:
    dsp::dry_delay_line delay_;
    dsp::channel_buffers scratch_;
};

}  // namespace core
