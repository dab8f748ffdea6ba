#include "dsp/partitioned_convolver.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <thread>

#include "dsp/dsp.h"
#include "dsp/eq_layout.h"

namespace dsp {

namespace {

constexpr int min_fir_length = 4;
// Four partitions of b = L/2: a block's output is first read b samples
// after it completes, just as the next block completes, so one job is under
// way at a time and ends just in time. Per b samples and channel it costs a
// forward and an inverse transform of L points and four products; eight
// partitions of L/4 cost more (twice the products) and were measured so.
static_assert(response_partitions == 4);
constexpr std::size_t work_alignment = 128;

// Keeps the count of public calls under way for the destructor, which must
// not let the locks go while a call is still inside.
class counted_call {
public:
    explicit counted_call(std::atomic<int>& calls) : calls_(calls) { calls_.fetch_add(1); }
    ~counted_call() { calls_.fetch_sub(1); }
    counted_call(const counted_call&) = delete;
    counted_call& operator=(const counted_call&) = delete;

private:
    std::atomic<int>& calls_;
};

int block_length_for(int fir_length) { return std::max(1, fir_length / response_partitions); }

// Units due once `filled` of the block's samples are in: in proportion,
// rounded up, so that all are done when the block is complete.
long long units_due(int units, int filled, int block_length) {
    return (static_cast<long long>(units) * filled + block_length - 1) / block_length;
}

}  // namespace

partitioned_convolver::partitioned_convolver(int channel_count, int fir_length)
    : channel_count_(channel_count),
      block_length_(block_length_for(fir_length)),
      partition_count_(fir_length / block_length_),
      // The sum under way, the one the output reads, and those finished
      // between them while the output waits out the latency.
      buffers_(channel_count, partition_count_, fir_length / 2 / block_length_, block_length_) {
    if (channel_count < 1) throw std::runtime_error("Channel count error in partitioned_convolver (at least one)");
    // The transform size follows from b alone, so any other length would
    // leave the buffers and the transform disagreeing.
    if (fir_length < min_fir_length || fir_length > max_fir_length ||
        !std::has_single_bit(static_cast<unsigned>(fir_length)))
        throw std::runtime_error("FIR length error in partitioned_convolver (a power of two from 4 to 131072)");
    try {
        allocate_convolution_memory();
    } catch (...) {
        // Items never allocated are missing by design here, so the report of
        // the first of them means nothing.
        deallocate_convolution_memory();
        throw;
    }
}

partitioned_convolver::~partitioned_convolver() {
    shutting_down_.store(true);
    if (const char* oddity = deallocate_convolution_memory()) std::fprintf(stderr, "%s\n", oddity);
    while (calls_in_flight_.load() != 0) std::this_thread::yield();
}

void partitioned_convolver::allocate_convolution_memory() {
    platform::scoped_lock process(process_lock_);
    platform::scoped_lock load(load_lock_);
    platform::scoped_lock swap(swap_lock_);

    buffers_.allocate();
    const int order = std::countr_zero(static_cast<unsigned>(2 * block_length_));
    if (dsp_fft_spec_create(&block_fft_, order, DSP_FFT_DIV_INV_BY_N, 0) != dsp_ok ||
        dsp_fft_spec_create(&load_fft_, order, DSP_FFT_DIV_INV_BY_N, 0) != dsp_ok)
        throw std::runtime_error("Block allocation FFT error in allocate_convolution_memory #1");

    int work_bytes = 0;
    if (dsp_fft_work_size(block_fft_, &work_bytes) != dsp_ok)
        throw std::runtime_error("Block allocation FFT error in allocate_convolution_memory #2");
    // Never null: a transform given no work buffer would allocate its own.
    const std::size_t work_size = std::max<std::size_t>(static_cast<std::size_t>(work_bytes), work_alignment);
    for (void** work : {&block_work_, &load_work_}) {
        *work = dsp_alloc_aligned(work_size, work_alignment);
        if (!*work) throw std::runtime_error("Block allocation error in allocate_convolution_memory #11");
        std::memset(*work, 0, work_size);
    }
}

const char* partitioned_convolver::deallocate_convolution_memory() noexcept {
    platform::scoped_lock process(process_lock_);
    platform::scoped_lock load(load_lock_);
    platform::scoped_lock swap(swap_lock_);

    const char* oddity = buffers_.release();
    for (dsp_fft_spec** setup : {&block_fft_, &load_fft_}) {
        if (*setup && dsp_fft_spec_free(*setup) != dsp_ok && !oddity)
            oddity = "Block free FFT error in free_convolution_memory #1";
        *setup = nullptr;
    }
    dsp_free(block_work_);
    block_work_ = nullptr;
    dsp_free(load_work_);
    load_work_ = nullptr;
    return oddity;
}

void partitioned_convolver::load_response(const float* const* firs, int length) {
    counted_call call(calls_in_flight_);
    platform::scoped_lock load(load_lock_);
    // A load racing destruction has nothing left to fill.
    if (shutting_down_.load()) return;
    if (length != fir_length()) throw std::runtime_error("Static block length");

    for (int ch = 0; ch < channel_count_; ++ch) {
        for (int j = 0; j < partition_count_; ++j) {
            float* partition = buffers_.loading[ch][j];
            dsp_set(0.0f, partition, buffers_.spectrum_length);
            dsp_copy(firs[ch] + j * block_length_, partition, block_length_);
            if (dsp_fft_forward_ccs_inplace(partition, load_fft_, load_work_) != dsp_ok)
                throw std::runtime_error("Execution of FFT error in load_response #2");
        }
    }
    // An offer not yet taken up comes back to be loaded over next time.
    platform::scoped_lock swap(swap_lock_);
    std::swap(buffers_.offered, buffers_.loading);
    response_offered_ = true;
}

void partitioned_convolver::convolve(const float* const* inputs, float* const* outputs, int count) {
    counted_call call(calls_in_flight_);
    platform::scoped_lock process(process_lock_);
    if (shutting_down_.load()) {
        for (int ch = 0; ch < channel_count_; ++ch)
            if (inputs[ch] != outputs[ch]) dsp_copy(inputs[ch], outputs[ch], count);
        return;
    }

    for (int offset = 0; offset < count;) {
        const int n = std::min(count - offset, block_length_ - fill_position_);
        // The oldest finished sum, its overlap added: the block of output
        // the latency has come round to.
        const int heard = (job_sum_ + 1) % buffers_.sum_count;
        for (int ch = 0; ch < channel_count_; ++ch) {
            // The input is taken first so that an output may be its own input.
            dsp_copy(inputs[ch] + offset, buffers_.input_spectra[ch][filling_slot_] + fill_position_, n);
            dsp_copy(buffers_.sums[ch][heard] + fill_position_, outputs[ch] + offset, n);
        }
        fill_position_ += n;
        job_.run_until(units_due(job_.units(), fill_position_, block_length_));
        if (fill_position_ == block_length_) {
            fill_position_ = 0;
            start_job();
        }
        offset += n;
    }
}

void partitioned_convolver::start_job() {
    {
        platform::scoped_lock swap(swap_lock_);
        if (response_offered_) {
            std::swap(buffers_.active, buffers_.offered);
            response_offered_ = false;
        }
    }
    const int previous = job_sum_;
    job_sum_ = (job_sum_ + 1) % buffers_.sum_count;
    job_.begin(buffers_, block_fft_, block_work_, filling_slot_, job_sum_, previous);
    filling_slot_ = (filling_slot_ + 1) % buffers_.slot_count;
}

void partitioned_convolver::restart() {
    counted_call call(calls_in_flight_);
    platform::scoped_lock process(process_lock_);
    clear_history();
    fill_position_ = 0;
}

void partitioned_convolver::clear_history() {
    counted_call call(calls_in_flight_);
    platform::scoped_lock process(process_lock_);
    if (shutting_down_.load()) return;
    buffers_.clear_history();
    job_.abandon();
}

}  // namespace dsp
