// The work that one completed block of input causes, channel by channel:
// the forward transform of the block into its spectrum, the products of the
// delay line's spectra with the response's partitions, summed, the inverse
// transform of the sum, and the overlap-add of the previous block's tail
// into its first half, which the output then reads as it is. It is cut into
// units of about equal work (pieces of a transform, chunks of the products,
// the overlap-add), so that the engine can spread it evenly over the calls
// that bring the next block. The overlap-add's units also clear the second
// half of the block being collected: the zero padding of its transform.
//
// Audio thread only, under the engine's process lock; allocates nothing.
#pragma once

#include "dsp/dsp.h"

namespace dsp {

struct convolution_buffers;

class convolution_job {
public:
    // The job for the block collected in `slot` of the delay line, whose sum
    // goes to sums[.][sum] and takes the tail of sums[.][tail], with the
    // responses active now. A job still under way is dropped.
    void begin(const convolution_buffers& buffers, const dsp_fft_spec* fft, void* work, int slot, int sum, int tail);
    // Does units until `target` of this job's are done (never past units()).
    void run_until(long long target);
    // Ends the job with nothing more to do: its input has been silenced.
    void abandon();

    int units() const { return units_; }
    // Every unit done since construction, for the tests of the pace.
    long long units_done_in_all() const { return done_in_all_; }

private:
    enum class phase { idle, forward, products, inverse, overlap };

    float* block(int channel) const;
    float* sum(int channel) const;
    // Starts the phase's work for the current channel.
    void enter(phase next);
    // The phase's next units, at most `budget`; answers how many it did.
    int run_transform(float* buf, int budget);
    int run_products(int budget);
    int run_overlap(int budget);

    const convolution_buffers* buffers_ = nullptr;
    const dsp_fft_spec* fft_ = nullptr;
    void* work_ = nullptr;
    int slot_ = 0, sum_ = 0, tail_ = 0;
    // Each channel's transforms start from these, their pieces counted once
    // for the setup and the variant set.
    dsp_fft_progress forward_{}, inverse_{};
    int chunks_ = 0, overlap_chunks_ = 0;

    phase phase_ = phase::idle;
    int channel_ = 0;
    dsp_fft_progress transform_{};
    int chunks_done_ = 0;

    int units_ = 0;
    int done_ = 0;
    long long done_in_all_ = 0;
};

}  // namespace dsp
