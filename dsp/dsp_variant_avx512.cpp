// The AVX-512F set: sixteen-lane kernels.
#include "dsp/dsp_simd_avx512.h"
#include "dsp/dsp_variant_table.h"

// Constant-initialised: usable before any constructor runs.
extern constinit const dsp_kernel_table dsp_kernels_avx512 = make_kernel_table<simd_avx512>();
