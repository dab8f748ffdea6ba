#include "dsp/dry_delay_line.h"

#include <algorithm>

#include "dsp/dsp.h"

namespace dsp {

dry_delay_line::dry_delay_line(int channel_count, int delay, int max_block)
    : ring_(channel_count, delay + max_block, "Memory allocation error"), write_index_(delay) {}

void dry_delay_line::write(const float* const* channels, int count) {
    const int length = ring_.length();
    for (int done = 0; done < count;) {
        const int d = std::min(count - done, length - write_index_);
        for (int ch = 0; ch < ring_.channel_count(); ++ch) dsp_copy(channels[ch] + done, ring_[ch] + write_index_, d);
        write_index_ = (write_index_ + d) % length;
        done += d;
    }
}

void dry_delay_line::keep(const float* const* channels, int count) {
    write(channels, count);
    read_index_ = (read_index_ + count) % ring_.length();
}

void dry_delay_line::process(float* const* channels, int count) {
    const int length = ring_.length();
    // Writing before reading lets a block longer than the delay read samples
    // written in this same call.
    write(channels, count);
    for (int done = 0; done < count;) {
        const int d = std::min(count - done, length - read_index_);
        for (int ch = 0; ch < ring_.channel_count(); ++ch) dsp_copy(ring_[ch] + read_index_, channels[ch] + done, d);
        read_index_ = (read_index_ + d) % length;
        done += d;
    }
}

}  // namespace dsp
