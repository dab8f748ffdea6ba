#include "dsp/fir_magnitude.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <stdexcept>

#include "dsp/dsp.h"

namespace dsp {

namespace {

constexpr int largest_transform = 131072;

int transform_size(int fir_length) { return std::max(fir_length, std::min(8 * fir_length, largest_transform)); }

}  // namespace

fir_magnitude::fir_magnitude(int fir_length)
    : fir_length_(fir_length),
      size_(transform_size(fir_length)),
      buffer_(1, size_ + 2, "Memory allocation error in fir_magnitude"),
      magnitude_(std::size_t(size_ / 2 + 1), 1.0f) {
    if (dsp_fft_spec_create(&spec_, std::countr_zero(unsigned(size_)), DSP_FFT_NODIV_BY_ANY, 0) != dsp_ok)
        throw std::runtime_error("Memory allocation error in fir_magnitude");
    int bytes = 0;
    dsp_fft_work_size(spec_, &bytes);
    try {
        work_ = std::make_unique<channel_buffers>(1, bytes / int(sizeof(float)) + 1,
                                                  "Memory allocation error in fir_magnitude");
    } catch (...) {
        dsp_fft_spec_free(spec_);
        throw;
    }
}

fir_magnitude::~fir_magnitude() { dsp_fft_spec_free(spec_); }

void fir_magnitude::measure(const float* fir) {
    float* samples = buffer_[0];
    dsp_set(0.0f, samples, size_ + 2);
    dsp_copy(fir, samples, fir_length_);
    dsp_fft_forward_ccs_inplace(samples, spec_, (*work_)[0]);
    for (int k = 0; k <= size_ / 2; ++k) magnitude_[std::size_t(k)] = std::hypot(samples[2 * k], samples[2 * k + 1]);
}

float fir_magnitude::db_at(double frequency) const {
    const double bin = std::clamp(frequency, 0.0, 0.5) * size_;
    const int below = std::min(int(bin), size_ / 2 - 1);
    const double t = bin - below;
    const double m = (1.0 - t) * magnitude_[std::size_t(below)] + t * magnitude_[std::size_t(below) + 1];
    return float(20.0 * std::log10(std::max(m, 1e-12)));
}

}  // namespace dsp
