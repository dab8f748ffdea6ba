// Every buffer of the convolution engine, per channel: the frequency-domain
// delay line (the spectra of the latest input blocks, and the block being
// collected), three sets of the response's partitions (in use, offered for
// the next swap, and being loaded), and the ring of summed products whose
// inverse transforms make the output. Each buffer holds one CCS spectrum of
// a transform of two blocks.
//
// Allocated once, by the engine's constructor; released once, by its
// destructor. The engine's locks guard the contents.
#pragma once

namespace dsp {

// The partitions a response is cut into (partitioned_convolver.cpp says why
// four).
inline constexpr int response_partitions = 4;

struct convolution_buffers {
    convolution_buffers(int channel_count, int partition_count, int sum_count, int block_length);

    // Zeroed buffers; throws std::runtime_error with the message of the
    // first allocation that fails, leaving what it had for release().
    void allocate();
    // Releases whatever is present; returns the message for the first item
    // found missing, or null.
    const char* release() noexcept;
    // Silences the delay line and the sums; the responses stay.
    void clear_history();

    const int channel_count;
    const int partition_count;
    const int slot_count;  // the delay line: one slot per partition, and one filling
    const int sum_count;
    const int block_length;     // b
    const int spectrum_length;  // floats per buffer: 2b + 2, the CCS spectrum of 2b samples

    float*** input_spectra = nullptr;  // [channel][slot]
    float*** active = nullptr;         // [channel][partition]
    float*** offered = nullptr;        // [channel][partition]
    float*** loading = nullptr;        // [channel][partition]
    float*** sums = nullptr;           // [channel][sum]
};

}  // namespace dsp
