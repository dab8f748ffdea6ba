// Uniformly partitioned FFT convolution with a frequency-domain delay line
// and overlap-add. Each channel's FIR of N taps is cut into four partitions
// of b = N/4 taps; the input is collected in blocks of b samples, and the
// output lags the input by exactly L = N/2 samples.
//
// A block's output is first read L - b samples after the block completes,
// so its work (convolution_job.h) is spread over the calls that bring the
// next block: each call does units in proportion to the samples it brings,
// and the job's last unit is done by the sample that first reads its output.
// Every call then costs about the same, however small the host's blocks.
//
// Real-time contract:
// - Construction allocates every buffer; nothing else allocates or frees.
// - convolve (audio thread) holds the process lock for the whole call, and
//   the swap lock for a moment at each block it completes, to take up an
//   offered response. It waits only for a clear_history or restart, for a
//   load's moment under the swap lock, or for construction and destruction.
// - load_response (one worker thread at a time) transforms the new FIR into
//   a set of spectra of its own under the load lock only, with its own FFT
//   setup and work buffer, then takes the swap lock just to exchange that
//   set with the offered one. The audio thread swaps the offered set in when
//   its next block completes: between two jobs, never inside one. The first
//   block after a swap mixes the old response's tail with the new response;
//   of several loads within one block, the last is the one taken up.
// - clear_history and restart (any thread) hold the process lock.
// - The locks are always taken in the order process, load, swap.
// - A convolve that is already waiting when destruction begins passes its
//   input through unchanged; destruction returns only after it has left.
#pragma once

#include <atomic>

#include "dsp/convolution_buffers.h"
#include "dsp/convolution_job.h"
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
    // Samples still to come before the current block completes, the next
    // point at which a loaded response takes effect (audio thread, between
    // convolve calls).
    int samples_to_block_end() const { return block_length_ - fill_position_; }

    int block_length() const { return block_length_; }
    int fir_length() const { return partition_count_ * block_length_; }
    int latency() const { return fir_length() / 2; }

private:
    friend class partitioned_convolver_test_access;

    void allocate_convolution_memory();
    // Releases whatever is present; returns the message for the first item
    // found missing, or null.
    const char* deallocate_convolution_memory() noexcept;
    // The block just collected is complete: its job begins.
    void start_job();

    platform::critical_section swap_lock_;
    platform::critical_section load_lock_;
    platform::critical_section process_lock_;

    const int channel_count_;
    const int block_length_;     // b
    const int partition_count_;  // N / b
    std::atomic<bool> shutting_down_{false};
    // Public calls under way, so that destruction outlives each of them.
    std::atomic<int> calls_in_flight_{0};

    convolution_buffers buffers_;
    convolution_job job_;
    bool response_offered_ = false;  // under the swap lock
    int fill_position_ = 0;
    int filling_slot_ = 0;  // the delay line's slot that collects the block
    // The sum the job under way writes; the output reads the next.
    int job_sum_ = 0;

    dsp_fft_spec* block_fft_ = nullptr;  // audio thread, under the process lock
    void* block_work_ = nullptr;
    dsp_fft_spec* load_fft_ = nullptr;  // worker thread, under the load lock
    void* load_work_ = nullptr;
};

}  // namespace dsp
