#include "dsp/convolution_buffers.h"

#include <cstddef>
#include <cstring>
#include <stdexcept>

#include "dsp/dsp.h"

namespace dsp {

namespace {

constexpr std::size_t buffer_alignment = 64;

// Zeroed block of count items, or the failure message as an exception.
template <class T>
T* allocate_zeroed(std::size_t count, std::size_t alignment, const char* failure) {
    void* block = dsp_alloc_aligned(count * sizeof(T), alignment);
    if (!block) throw std::runtime_error(failure);
    std::memset(block, 0, count * sizeof(T));
    return static_cast<T*>(block);
}

}  // namespace

convolution_buffers::convolution_buffers(int channels, int partitions, int sum_ring, int block)
    : channel_count(channels),
      partition_count(partitions),
      slot_count(partitions + 1),
      sum_count(sum_ring),
      block_length(block),
      spectrum_length(2 * block + 2) {}

void convolution_buffers::allocate() {
    const auto channels = static_cast<std::size_t>(channel_count);
    auto pointers = [channels](const char* failure) {
        return allocate_zeroed<float**>(channels, alignof(float**), failure);
    };
    auto per_channel = [](int count, const char* failure) {
        return allocate_zeroed<float*>(static_cast<std::size_t>(count), alignof(float*), failure);
    };
    auto buffer = [this](const char* failure) {
        return allocate_zeroed<float>(static_cast<std::size_t>(spectrum_length), buffer_alignment, failure);
    };

    active = pointers("Block allocation error in allocate_convolution_memory #1");
    offered = pointers("Block allocation error in allocate_convolution_memory #1");
    loading = pointers("Block allocation error in allocate_convolution_memory #1");
    input_spectra = pointers("Block allocation error in allocate_convolution_memory #2");
    sums = pointers("Block allocation error in allocate_convolution_memory #2");
    for (int ch = 0; ch < channel_count; ++ch) {
        active[ch] = per_channel(partition_count, "Block allocation error in allocate_convolution_memory #3");
        offered[ch] = per_channel(partition_count, "Block allocation error in allocate_convolution_memory #3");
        loading[ch] = per_channel(partition_count, "Block allocation error in allocate_convolution_memory #3");
        input_spectra[ch] = per_channel(slot_count, "Block allocation error in allocate_convolution_memory #4");
        sums[ch] = per_channel(sum_count, "Block allocation error in allocate_convolution_memory #5");
        for (int j = 0; j < partition_count; ++j) {
            active[ch][j] = buffer("Block allocation error in allocate_convolution_memory #8");
            offered[ch][j] = buffer("Block allocation error in allocate_convolution_memory #8");
            loading[ch][j] = buffer("Block allocation error in allocate_convolution_memory #8");
        }
        for (int s = 0; s < slot_count; ++s)
            input_spectra[ch][s] = buffer("Block allocation error in allocate_convolution_memory #6");
        for (int s = 0; s < sum_count; ++s)
            sums[ch][s] = buffer(s == 0 ? "Block allocation error in allocate_convolution_memory #7"
                                        : "Block allocation error in allocate_convolution_memory #9");
    }
}

const char* convolution_buffers::release() noexcept {
    const char* oddity = nullptr;
    auto release_item = [&oddity](auto*& item, const char* missing) {
        if (item) {
            dsp_free(item);
            item = nullptr;
        } else if (!oddity) {
            oddity = missing;
        }
    };
    auto release_ring = [&release_item](float***& rings, int count, const char* missing_buffer,
                                        const char* missing_ring, const char* missing_array, int channels) {
        for (int ch = 0; rings && ch < channels; ++ch) {
            for (int k = 0; rings[ch] && k < count; ++k) release_item(rings[ch][k], missing_buffer);
            release_item(rings[ch], missing_ring);
        }
        release_item(rings, missing_array);
    };
    for (float**** response : {&active, &offered, &loading})
        release_ring(*response, partition_count, "Block deallocation error in allocate_convolution_memory #3a",
                     "Block deallocation error in allocate_convolution_memory #3",
                     "Block allocation error in deallocate_convolution_memory #8", channel_count);
    release_ring(input_spectra, slot_count, "Block deallocation error in allocate_convolution_memory #1",
                 "Block deallocation error in allocate_convolution_memory #1",
                 "Block allocation error in deallocate_convolution_memory #6", channel_count);
    release_ring(sums, sum_count, "Block deallocation error in allocate_convolution_memory #2",
                 "Block deallocation error in allocate_convolution_memory #4",
                 "Block allocation error in deallocate_convolution_memory #7", channel_count);
    return oddity;
}

void convolution_buffers::clear_history() {
    for (int ch = 0; ch < channel_count; ++ch) {
        for (int s = 0; s < slot_count; ++s) dsp_set(0.0f, input_spectra[ch][s], spectrum_length);
        for (int s = 0; s < sum_count; ++s) dsp_set(0.0f, sums[ch][s], spectrum_length);
    }
}

}  // namespace dsp
