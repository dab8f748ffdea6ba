// Uniformly partitioned FFT convolution with overlap-add. Each channel's FIR
// of N taps is cut into two partitions of L = N/2 taps; input is collected in
// blocks of L samples, and the output lags the input by exactly L samples.
//
// Real-time contract:
// - Construction allocates every buffer; nothing else allocates or frees.
// - convolve (audio thread) holds the process lock for the whole call and the
//   block lock while it convolves a completed block. It waits only for a
//   clear_history, for the pointer exchange that ends a load, or for
//   construction and destruction.
// - load_response (one worker thread at a time) transforms the
//   new FIR under the load lock only, with its own FFT setup and work
//   buffer, then takes the block lock just to exchange the awaiting and active
//   spectra. The new response takes effect at the next completed block.
// - clear_history and restart (any thread) hold the process lock.
// - The locks are always taken in the order process, load, block.
// - A convolve that is already waiting when destruction begins passes its
//   input through unchanged; destruction returns only after it has left.
#pragma once

#include <atomic>

#include "platform/critical_section.h"

struct dsp_fft_spec;

namespace dsp {

class partitioned_convolver {
public:
    // fir_length: a power of two from 4 to 131072. Throws std::runtime_error
    // when the arguments are refused or memory is short.
    partitioned_convolver(int channel_count, int fir_length);
    ~partitioned_convolver();
    partitioned_convolver(const partitioned_convolver&) = delete;
    partitioned_convolver& operator=(const partitioned_convolver&) = delete;

    // firs: one FIR of `length` taps per channel; length must be fir_length().
    // Throws "Static block length" otherwise, keeping the active response.
    void load_response(const float* const* firs, int length);
    // count samples per channel, any count >= 0; an output may be its input.
    void convolve(const float* const* inputs, float* const* outputs, int count);
    // Silences the input history and pending output; keeps the responses and
    // the position within the current block.
    void clear_history();
    // The same, and the next sample starts a block: what follows is then
    // independent of what came before.
    void restart();
    // Samples still to come before the current block completes (audio
    // thread, between convolve calls).
    int samples_to_block_end() const { return block_length_ - fill_position_; }

    int block_length() const { return block_length_; }
    int fir_length() const { return partition_count * block_length_; }

private:
    friend class partitioned_convolver_test_access;

    static constexpr int partition_count = 2;

    void allocate_convolution_memory();
    // Releases whatever is present; returns the message for the first item
    // found missing, or null.
    const char* deallocate_convolution_memory() noexcept;
    void convolve_block();

    platform::critical_section block_lock_;
    platform::critical_section load_lock_;
    platform::critical_section process_lock_;

    const int channel_count_;
    const int block_length_;
    const int fft_size_;
    const int spectrum_length_;  // 2L + 4 floats: a CCS spectrum and two spare
    int fill_position_ = 0;
    std::atomic<bool> shutting_down_{false};
    // Public calls under way, so that destruction outlives each of them.
    std::atomic<int> calls_in_flight_{0};

    float*** input_spectra_ = nullptr;     // [channel][partition]; slot 0 fills
    float*** active_spectra_ = nullptr;    // [channel][partition]
    float*** awaiting_spectra_ = nullptr;  // [channel][partition]
    float** accumulator_ = nullptr;        // [channel]
    float** current_output_ = nullptr;     // [channel]
    float** previous_output_ = nullptr;    // [channel]

    dsp_fft_spec* block_fft_ = nullptr;  // audio thread, under the block lock
    void* block_work_ = nullptr;
    dsp_fft_spec* load_fft_ = nullptr;  // worker thread, under the load lock
    void* load_work_ = nullptr;
};

}  // namespace dsp
