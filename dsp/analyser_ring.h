// What the spectrum analyser sees of the audio, handed from the audio thread
// to the editor's thread: per frame the mean of the two output channels and
// the mean of the two input channels, through a single-producer,
// single-consumer ring. The audio thread copies nothing while no reader
// wants the samples, and drops a block that does not fit whole rather than
// wait; the sound never depends on the ring.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

namespace dsp {

class analyser_ring {
public:
    // About 170 ms at 192 kHz: several of the editor's idle steps.
    static constexpr int capacity = 1 << 15;

    analyser_ring();  // allocates

    // Reader: whether the audio thread copies. Turning it on starts from an
    // empty ring, so the reader never sees samples from before.
    void set_wanted(bool wanted);
    bool wanted() const { return wanted_.load(std::memory_order_relaxed); }

    // Audio thread: two channels each; no allocation, no lock, no wait.
    void write(const float* const* inputs, const float* const* outputs, int count) noexcept;
    // Reader: up to max frames, oldest first; the count taken.
    int read(float* output, float* input, int max);

    // Frames the audio thread could not hand over.
    std::uint64_t dropped() const { return dropped_.load(std::memory_order_relaxed); }

private:
    std::unique_ptr<float[]> frames_;  // output, input per frame
    std::atomic<bool> wanted_{false};
    std::atomic<std::uint32_t> written_{0};  // frames ever written, wrapping
    std::atomic<std::uint32_t> taken_{0};    // frames ever read, wrapping
    std::atomic<std::uint64_t> dropped_{0};
};

}  // namespace dsp
