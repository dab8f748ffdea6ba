// Denormals-are-zero and flush-to-zero in the calling thread's MXCSR.
#include <xmmintrin.h>

#include <cstdint>

#include "dsp/dsp.h"
#include "dsp/dsp_cpu_features.h"

namespace {

constexpr unsigned daz_bit = 1u << 6;
constexpr unsigned underflow_mask_bit = 1u << 11;
constexpr unsigned ftz_bit = 1u << 15;

// DAZ is writable only where FXSAVE reports it in MXCSR_MASK; writing an
// unsupported bit faults.
bool daz_supported() {
    const dsp_cpu_features& cpu = dsp_cpu();
    if (!cpu.sse || !cpu.fxsr) return false;
    alignas(16) std::uint8_t area[512] = {};
    __asm__ volatile("fxsave %0" : "=m"(area));
    const std::uint32_t mask = std::uint32_t(area[28]) | std::uint32_t(area[29]) << 8 | std::uint32_t(area[30]) << 16 |
                               std::uint32_t(area[31]) << 24;
    return (mask & daz_bit) != 0;
}

}  // namespace

int dsp_set_denormals_are_zero(int enable) {
    static const bool supported = daz_supported();
    if (!supported) return dsp_err_no_feature;
    const unsigned csr = _mm_getcsr();
    _mm_setcsr(enable != 0 ? csr | daz_bit : csr & ~daz_bit);
    return dsp_ok;
}

int dsp_set_flush_to_zero(int enable, int* saved_underflow_mask) {
    if (!dsp_cpu().sse) return dsp_err_no_feature;
    unsigned csr = _mm_getcsr();
    if (enable != 0) {
        if (saved_underflow_mask != nullptr) *saved_underflow_mask = (csr & underflow_mask_bit) != 0;
        csr |= ftz_bit | underflow_mask_bit;
    } else {
        csr &= ~ftz_bit;
        if (saved_underflow_mask != nullptr && *saved_underflow_mask == 0) csr &= ~underflow_mask_bit;
    }
    _mm_setcsr(csr);
    return dsp_ok;
}
