// The magnitude response of a FIR, from one zero-padded FFT, read at any
// frequency: what the editor draws once a design is in use, so the curve is
// the FIR's and not its bands' (the two part at short lengths). Construction
// allocates and throws std::runtime_error when memory is short; measure and
// db_at do not allocate. One thread at a time.
#pragma once

#include <memory>
#include <vector>

#include "dsp/channel_buffers.h"

struct dsp_fft_spec;

namespace dsp {

class fir_magnitude {
public:
    explicit fir_magnitude(int fir_length);
    ~fir_magnitude();
    fir_magnitude(const fir_magnitude&) = delete;
    fir_magnitude& operator=(const fir_magnitude&) = delete;

    // Takes the response of `fir`, of the length given at construction.
    void measure(const float* fir);
    // The magnitude in dB at `frequency` in cycles per sample (0 to 0.5),
    // between the transform's bins by linear interpolation.
    float db_at(double frequency) const;

private:
    int fir_length_;
    int size_;  // the transform's, at least 8 times the FIR up to 131072
    dsp_fft_spec* spec_ = nullptr;
    channel_buffers buffer_;                 // size_ + 2 floats: samples in, CCS spectrum out
    std::unique_ptr<channel_buffers> work_;  // the transform's work area
    std::vector<float> magnitude_;           // size_ / 2 + 1 bins
};

}  // namespace dsp
