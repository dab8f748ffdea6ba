// What the processor and the operating system let the variant sets use.
#pragma once

struct dsp_cpu_features {
    bool sse;
    bool sse2;
    bool sse3;
    bool fxsr;
    bool avx2_fma;  // AVX2 and FMA, with the OS saving the AVX state
    bool avx512;    // AVX-512F and VL, with the OS saving the AVX-512 state
};

// Read once; the same for every thread.
const dsp_cpu_features& dsp_cpu();
