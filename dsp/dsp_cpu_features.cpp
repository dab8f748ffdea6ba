#include "dsp/dsp_cpu_features.h"

#include <cpuid.h>

#include <cstdint>

namespace {

// XCR0 through xgetbv, which only exists when the OS enabled XSAVE.
std::uint64_t enabled_register_state() {
    std::uint32_t lo, hi;
    __asm__ volatile("xgetbv" : "=a"(lo), "=d"(hi) : "c"(0));
    return (std::uint64_t(hi) << 32) | lo;
}

dsp_cpu_features read_features() {
    dsp_cpu_features f{};
    unsigned a, b, c, d;
    if (!__get_cpuid(1, &a, &b, &c, &d)) return f;
    f.fxsr = d & bit_FXSAVE;
    f.sse = d & bit_SSE;
    f.sse2 = d & bit_SSE2;
    f.sse3 = c & bit_SSE3;
    const bool osxsave = c & bit_OSXSAVE, avx = c & bit_AVX, fma = c & bit_FMA;
    if (!osxsave || !avx) return f;
    const std::uint64_t xcr0 = enabled_register_state();
    const bool ymm_state = (xcr0 & 0x6) == 0x6;                 // SSE and AVX registers
    const bool zmm_state = ymm_state && (xcr0 & 0xE0) == 0xE0;  // opmask and both ZMM halves
    unsigned max_leaf = __get_cpuid_max(0, nullptr);
    if (max_leaf < 7) return f;
    __cpuid_count(7, 0, a, b, c, d);
    f.avx2_fma = ymm_state && fma && (b & bit_AVX2);
    // VL lets the set's narrower code (transforms too small for 16 lanes) use
    // all 32 vector registers.
    f.avx512 = f.avx2_fma && zmm_state && (b & bit_AVX512F) && (b & bit_AVX512VL);
    return f;
}

}  // namespace

const dsp_cpu_features& dsp_cpu() {
    static const dsp_cpu_features features = read_features();
    return features;
}
