// The work that one completed block of input causes, channel by channel:
// the forward transform of the block into its spectrum, the products of the
// delay line's spectra with the response's partitions, summed, and the
// inverse transform of the sum. It is cut into units of about equal work
// (pieces of a transform, chunks of a product), so that the engine can spread
// it evenly over the calls that bring the next block.
//
// Audio thread only, under the engine's process lock; allocates nothing.
#pragma once

#include "dsp/dsp.h"

namespace dsp {

struct convolution_buffers;

class convolution_job {
public:
    // The job for the block collected in `slot` of the delay line, whose sum
    // goes to sums[.][sum], with the responses active now. A job still under
    // way is dropped.
    void begin(const convolution_buffers& buffers, const dsp_fft_spec* fft, void* work, int slot, int sum);
    // Does units until `target` of this job's are done (never past units()).
    void run_until(long long target);
    // Ends the job with nothing more to do: its input has been silenced.
    void abandon();

    int units() const { return units_; }
    int units_done() const { return done_; }
    // Every unit done since construction, for the tests of the pace.
    long long units_done_in_all() const { return done_in_all_; }

private:
    enum class phase { idle, forward, products, inverse };

    float* block(int channel) const;
    float* sum(int channel) const;
    // Starts the phase's work for the current channel.
    void enter(phase next);
    // The phase's next units, at most `budget`; answers how many it did.
    int run_transform(float* buf, int budget);
    int run_products(int budget);

    const convolution_buffers* buffers_ = nullptr;
    const dsp_fft_spec* fft_ = nullptr;
    void* work_ = nullptr;
    int slot_ = 0, sum_ = 0;
    int forward_pieces_ = 0, inverse_pieces_ = 0, chunks_ = 0;

    phase phase_ = phase::idle;
    int channel_ = 0;
    dsp_fft_progress transform_{};
    int pieces_left_ = 0;
    int products_done_ = 0;

    int units_ = 0;
    int done_ = 0;
    long long done_in_all_ = 0;
};

}  // namespace dsp
