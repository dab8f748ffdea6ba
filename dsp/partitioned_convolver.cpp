#include "dsp/partitioned_convolver.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <thread>
#include <utility>

#include "dsp/dsp.h"
#include "dsp/eq_layout.h"

namespace dsp {

namespace {

constexpr int min_fir_length = 4;
constexpr std::size_t buffer_alignment = 32;
constexpr std::size_t work_alignment = 128;

// Zeroed block of count items, or the failure message as an exception.
template <class T>
T* allocate_zeroed(std::size_t count, std::size_t alignment, const char* failure) {
    void* block = dsp_alloc_aligned(count * sizeof(T), alignment);
    if (!block) throw std::runtime_error(failure);
    std::memset(block, 0, count * sizeof(T));
    return static_cast<T*>(block);
}

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

}  // namespace

partitioned_convolver::partitioned_convolver(int channel_count, int fir_length)
    : channel_count_(channel_count),
      block_length_(fir_length / 2),
      fft_size_(2 * block_length_),
      spectrum_length_(fft_size_ + 4) {
    if (channel_count < 1) throw std::runtime_error("Channel count error in partitioned_convolver (at least one)");
    // The transform size follows from L alone, so any other length would
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
    platform::scoped_lock block(block_lock_);

    const auto channels = static_cast<std::size_t>(channel_count_);
    const auto spectrum_floats = static_cast<std::size_t>(spectrum_length_);
    auto buffer = [spectrum_floats](const char* failure) {
        return allocate_zeroed<float>(spectrum_floats, buffer_alignment, failure);
    };

    active_spectra_ = allocate_zeroed<float**>(channels, alignof(float**),
                                               "Block allocation error in allocate_convolution_memory #1");
    awaiting_spectra_ = allocate_zeroed<float**>(channels, alignof(float**),
                                                 "Block allocation error in allocate_convolution_memory #1");
    input_spectra_ = allocate_zeroed<float**>(channels, alignof(float**),
                                              "Block allocation error in allocate_convolution_memory #2");
    for (int ch = 0; ch < channel_count_; ++ch) {
        active_spectra_[ch] = allocate_zeroed<float*>(partition_count, alignof(float*),
                                                      "Block allocation error in allocate_convolution_memory #3");
        awaiting_spectra_[ch] = allocate_zeroed<float*>(partition_count, alignof(float*),
                                                        "Block allocation error in allocate_convolution_memory #3");
        input_spectra_[ch] = allocate_zeroed<float*>(partition_count, alignof(float*),
                                                     "Block allocation error in allocate_convolution_memory #4");
        for (int j = 0; j < partition_count; ++j) {
            active_spectra_[ch][j] = buffer("Block allocation error in allocate_convolution_memory #8");
            awaiting_spectra_[ch][j] = buffer("Block allocation error in allocate_convolution_memory #8");
            input_spectra_[ch][j] = buffer("Block allocation error in allocate_convolution_memory #6");
        }
    }

    accumulator_ =
        allocate_zeroed<float*>(channels, alignof(float*), "Block allocation error in allocate_convolution_memory #2");
    current_output_ =
        allocate_zeroed<float*>(channels, alignof(float*), "Block allocation error in allocate_convolution_memory #4");
    previous_output_ =
        allocate_zeroed<float*>(channels, alignof(float*), "Block allocation error in allocate_convolution_memory #5");
    for (int ch = 0; ch < channel_count_; ++ch) {
        accumulator_[ch] = buffer("Block allocation error in allocate_convolution_memory #7");
        current_output_[ch] = buffer("Block allocation error in allocate_convolution_memory #9");
        previous_output_[ch] = buffer("Block allocation error in allocate_convolution_memory #10");
    }

    const int order = std::countr_zero(static_cast<unsigned>(fft_size_));
    if (dsp_fft_spec_create(&block_fft_, order, DSP_FFT_DIV_INV_BY_N, 0) != dsp_ok ||
        dsp_fft_spec_create(&load_fft_, order, DSP_FFT_DIV_INV_BY_N, 0) != dsp_ok)
        throw std::runtime_error("Block allocation FFT error in allocate_convolution_memory #1");

    int work_bytes = 0;
    if (dsp_fft_work_size(block_fft_, &work_bytes) != dsp_ok)
        throw std::runtime_error("Block allocation FFT error in allocate_convolution_memory #2");
    // Never null: a transform given no work buffer would allocate its own.
    const std::size_t work_size = std::max<std::size_t>(static_cast<std::size_t>(work_bytes), work_alignment);
    block_work_ = allocate_zeroed<std::byte>(work_size, work_alignment,
                                             "Block allocation error in allocate_convolution_memory #11");
    load_work_ = allocate_zeroed<std::byte>(work_size, work_alignment,
                                            "Block allocation error in allocate_convolution_memory #11");
}

const char* partitioned_convolver::deallocate_convolution_memory() noexcept {
    platform::scoped_lock process(process_lock_);
    platform::scoped_lock load(load_lock_);
    platform::scoped_lock block(block_lock_);

    const char* oddity = nullptr;
    auto release = [&oddity](auto*& item, const char* missing) {
        if (item) {
            dsp_free(item);
            item = nullptr;
        } else if (!oddity) {
            oddity = missing;
        }
    };
    auto release_partitions = [&release](float**& partitions, const char* missing_buffer, const char* missing_array) {
        if (partitions)
            for (int j = 0; j < partition_count; ++j) release(partitions[j], missing_buffer);
        release(partitions, missing_array);
    };

    for (int ch = 0; ch < channel_count_; ++ch) {
        if (active_spectra_)
            release_partitions(active_spectra_[ch], "Block deallocation error in allocate_convolution_memory #3a",
                               "Block deallocation error in allocate_convolution_memory #3");
        if (awaiting_spectra_)
            release_partitions(awaiting_spectra_[ch], "Block deallocation error in allocate_convolution_memory #3b",
                               "Block deallocation error in allocate_convolution_memory #3");
        if (input_spectra_)
            release_partitions(input_spectra_[ch], "Block deallocation error in allocate_convolution_memory #1",
                               "Block deallocation error in allocate_convolution_memory #1");
        if (accumulator_) release(accumulator_[ch], "Block deallocation error in allocate_convolution_memory #2");
        if (current_output_) release(current_output_[ch], "Block deallocation error in allocate_convolution_memory #4");
        if (previous_output_)
            release(previous_output_[ch], "Block deallocation error in allocate_convolution_memory #5");
    }
    release(active_spectra_, "Block allocation error in deallocate_convolution_memory #8");
    release(awaiting_spectra_, "Block allocation error in deallocate_convolution_memory #8");
    release(input_spectra_, "Block allocation error in deallocate_convolution_memory #6");
    release(accumulator_, "Block allocation error in deallocate_convolution_memory #7");
    release(current_output_, "Block allocation error in deallocate_convolution_memory #9");
    release(previous_output_, "Block allocation error in deallocate_convolution_memory #10");

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
        for (int j = 0; j < partition_count; ++j) {
            float* partition = awaiting_spectra_[ch][j];
            dsp_set(0.0f, partition, spectrum_length_);
            dsp_copy(firs[ch] + j * block_length_, partition, block_length_);
            if (dsp_fft_forward_ccs_inplace(partition, load_fft_, load_work_) != dsp_ok)
                throw std::runtime_error("Execution of FFT error in load_response #2");
        }
    }
    platform::scoped_lock block(block_lock_);
    std::swap(active_spectra_, awaiting_spectra_);
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
        for (int ch = 0; ch < channel_count_; ++ch) {
            float* output = outputs[ch] + offset;
            // The input is taken first so that an output may be its own input.
            dsp_copy(inputs[ch] + offset, input_spectra_[ch][0] + fill_position_, n);
            dsp_copy(current_output_[ch] + fill_position_, output, n);
            dsp_add_inplace(previous_output_[ch] + block_length_ + fill_position_, output, n);
        }
        fill_position_ += n;
        if (fill_position_ == block_length_) {
            fill_position_ = 0;
            convolve_block();
        }
        offset += n;
    }
}

void partitioned_convolver::convolve_block() {
    platform::scoped_lock block(block_lock_);
    const int complex_count = spectrum_length_ / 2;
    for (int ch = 0; ch < channel_count_; ++ch) {
        float** input = input_spectra_[ch];
        float** response = active_spectra_[ch];
        float*& accumulator = accumulator_[ch];

        // Zero padding: slot 0 still holds an old spectrum above the samples.
        dsp_set(0.0f, input[0] + block_length_, spectrum_length_ - block_length_);
        dsp_fft_forward_ccs_inplace(input[0], block_fft_, block_work_);
        dsp_complex_mul(input[0], response[0], accumulator, complex_count);
        for (int j = 1; j < partition_count; ++j)
            dsp_complex_mul_add(input[j], response[j], accumulator, complex_count);
        dsp_fft_inverse_ccs_inplace(accumulator, block_fft_, block_work_);

        // previous <- current, current <- accumulator; the old previous output
        // becomes the next accumulator.
        std::swap(previous_output_[ch], current_output_[ch]);
        std::swap(current_output_[ch], accumulator);
        for (int j = partition_count - 1; j > 0; --j) std::swap(input[j - 1], input[j]);
    }
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
    for (int ch = 0; ch < channel_count_; ++ch) {
        for (int j = 0; j < partition_count; ++j) dsp_set(0.0f, input_spectra_[ch][j], spectrum_length_);
        dsp_set(0.0f, accumulator_[ch], spectrum_length_);
        dsp_set(0.0f, current_output_[ch], spectrum_length_);
        dsp_set(0.0f, previous_output_[ch], spectrum_length_);
    }
}

}  // namespace dsp
