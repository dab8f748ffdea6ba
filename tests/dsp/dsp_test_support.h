// Helpers for the primitive tests: buffers with guard zones, the variant
// sets this machine runs, and double-precision reference transforms.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <numbers>
#include <vector>

#include "dsp/dsp.h"

namespace dsp_test {

// A float buffer with guard zones before and after, filled with a pattern
// that no primitive produces, so an overrun or stray write is seen.
class guarded_buffer {
public:
    static constexpr int guard = 32;
    static constexpr float pattern = -12345.678f;

    explicit guarded_buffer(int len, float fill = 0.0f)
        : len_(len), storage_(std::size_t(len) + 2 * guard + 16, pattern) {
        // Start the data on a 64-byte boundary, as the library's allocator would.
        auto base = reinterpret_cast<std::uintptr_t>(storage_.data() + guard);
        offset_ = guard + int(((64 - base % 64) % 64) / sizeof(float));
        for (int k = 0; k < len; ++k) data()[k] = fill;
    }

    float* data() { return storage_.data() + offset_; }
    float& operator[](int k) { return data()[k]; }
    int size() const { return len_; }

    bool guards_intact() const {
        for (int k = 0; k < offset_; ++k)
            if (!same_bits(storage_[k], pattern)) return false;
        for (std::size_t k = offset_ + std::size_t(len_); k < storage_.size(); ++k)
            if (!same_bits(storage_[k], pattern)) return false;
        return true;
    }

    std::vector<float> contents() { return std::vector<float>(data(), data() + len_); }

    static bool same_bits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

private:
    int len_;
    std::vector<float> storage_;
    int offset_ = guard;
};

inline std::vector<float> random_floats(int len, unsigned seed) {
    std::mt19937 gen(seed);
    std::uniform_real_distribution<float> dist(-1.0f, 1.0f);
    std::vector<float> v(std::size_t(len > 0 ? len : 0));
    for (float& x : v) x = dist(gen);
    return v;
}

inline std::vector<dsp_variant> supported_variants() {
    std::vector<dsp_variant> out;
    for (dsp_variant v :
         {dsp_variant::none, dsp_variant::sse2, dsp_variant::sse3, dsp_variant::avx2, dsp_variant::avx512})
        if (dsp_variant_supported(v)) out.push_back(v);
    return out;
}

// Runs each test once per variant set the machine supports.
class per_variant : public testing::TestWithParam<dsp_variant> {
protected:
    void SetUp() override { ASSERT_TRUE(dsp_select_variant(GetParam())); }
    void TearDown() override { dsp_select_variant(dsp_variant::none); }
};

inline std::string variant_label(const testing::TestParamInfo<dsp_variant>& info) {
    return dsp_variant_name(info.param);
}

using cplx = std::complex<double>;

// In-place radix-2 transform in double precision; sign -1 forward.
inline void reference_fft(std::vector<cplx>& a, int sign) {
    const std::size_t n = a.size();
    for (std::size_t i = 1, j = 0; i < n; ++i) {
        std::size_t bit = n >> 1;
        for (; j & bit; bit >>= 1) j ^= bit;
        j ^= bit;
        if (i < j) std::swap(a[i], a[j]);
    }
    for (std::size_t len = 2; len <= n; len <<= 1) {
        for (std::size_t k = 0; k < len / 2; ++k) {
            const double angle = sign * 2.0 * std::numbers::pi * double(k) / double(len);
            const cplx w(std::cos(angle), std::sin(angle));
            for (std::size_t i = 0; i < n; i += len) {
                const cplx u = a[i + k], t = w * a[i + k + len / 2];
                a[i + k] = u + t;
                a[i + k + len / 2] = u - t;
            }
        }
    }
}

// The N/2 + 1 bins of the real input x, unscaled.
inline std::vector<cplx> reference_real_spectrum(const std::vector<float>& x) {
    const std::size_t n = x.size();
    std::vector<cplx> bins(n / 2 + 1);
    if (n <= 64) {  // direct sums, independent of the radix-2 code
        for (std::size_t k = 0; k < bins.size(); ++k)
            for (std::size_t m = 0; m < n; ++m)
                bins[k] += double(x[m]) * std::polar(1.0, -2.0 * std::numbers::pi * double(k * m % n) / double(n));
        return bins;
    }
    std::vector<cplx> a(x.begin(), x.end());
    reference_fft(a, -1);
    for (std::size_t k = 0; k < bins.size(); ++k) bins[k] = a[k];
    return bins;
}

// The N real samples of the Hermitian spectrum given by bins, unscaled.
inline std::vector<double> reference_real_signal(const std::vector<cplx>& bins, std::size_t n) {
    std::vector<cplx> a(n);
    for (std::size_t k = 0; k < n; ++k) a[k] = k <= n / 2 ? bins[k] : std::conj(bins[n - k]);
    if (n > 1) {
        a[0] = bins[0].real();
        a[n / 2] = bins[n / 2].real();
    }
    reference_fft(a, +1);
    std::vector<double> out(n);
    for (std::size_t k = 0; k < n; ++k) out[k] = a[k].real();
    return out;
}

// sqrt(sum |got - want|^2 / sum |want|^2).
template <class Got, class Want>
double relative_rms_error(const Got& got, const Want& want) {
    double err = 0.0, ref = 0.0;
    for (std::size_t k = 0; k < want.size(); ++k) {
        err += std::norm(cplx(got[k]) - cplx(want[k]));
        ref += std::norm(cplx(want[k]));
    }
    return ref == 0.0 ? std::sqrt(err) : std::sqrt(err / ref);
}

}  // namespace dsp_test
