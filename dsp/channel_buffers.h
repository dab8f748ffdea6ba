// One aligned, zeroed block of floats per channel, freed with the object.
// Allocation happens in the constructor only; a block that cannot be had
// throws std::runtime_error with the owner's message for it.
#pragma once

#include <vector>

namespace dsp {

class channel_buffers {
public:
    channel_buffers(int channel_count, int length, const char* failure_message);
    ~channel_buffers();
    channel_buffers(const channel_buffers&) = delete;
    channel_buffers& operator=(const channel_buffers&) = delete;

    int channel_count() const { return static_cast<int>(blocks_.size()); }
    int length() const { return length_; }
    float* operator[](int channel) const { return blocks_[static_cast<std::size_t>(channel)]; }
    // The per-channel pointers, as the engine's calls take them.
    float* const* data() const { return blocks_.data(); }
    void clear();

private:
    std::vector<float*> blocks_;
    int length_;
};

}  // namespace dsp
