// The AVX2+FMA set: eight-lane kernels with fused multiply-add.
#include "dsp/dsp_simd_avx2.h"
#include "dsp/dsp_variant_table.h"

// Constant-initialised: usable before any constructor runs.
extern constinit const dsp_kernel_table dsp_kernels_avx2 = make_kernel_table<simd_avx2>();
