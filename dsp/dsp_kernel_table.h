// The primitives that differ between variant sets: one table per set, each
// filled by its own translation unit compiled for its instruction set.
#pragma once

#include "dsp/fft_plan.h"

struct dsp_kernel_table {
    void (*set)(float value, float* dst, int len);
    void (*copy)(const float* src, float* dst, int len);
    void (*add)(const float* src, float* srcdst, int len);
    void (*mul)(const float* src, float* srcdst, int len);
    void (*scale)(float value, const float* src, float* dst, int len);
    void (*reverse)(float* buf, int len);
    void (*complex_mul_sum)(const float* const* src1, const float* const* src2, int terms, float* dst, int count);
    // work: 8 N bytes, aligned to fft_work_alignment.
    void (*fft_forward)(float* buf, const dsp_fft_spec& spec, float* work);
    void (*fft_inverse)(float* buf, const dsp_fft_spec& spec, float* work);
    // Either transform in pieces: up to `pieces` more; answers those left.
    int (*fft_resume)(float* buf, const dsp_fft_spec& spec, float* work, dsp_fft_progress& progress, int pieces);
};

extern const dsp_kernel_table dsp_kernels_none;
extern const dsp_kernel_table dsp_kernels_sse2;
extern const dsp_kernel_table dsp_kernels_sse3;
#if TV_DSP_HAVE_AVX
extern const dsp_kernel_table dsp_kernels_avx2;
extern const dsp_kernel_table dsp_kernels_avx512;
#endif

// The set in effect; the plain one until dsp_init_dispatch or
// dsp_select_variant picks another.
const dsp_kernel_table& dsp_active_kernels();
