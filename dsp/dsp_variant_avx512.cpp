#include "dsp/dsp_simd_avx512.h"
#include "dsp/dsp_variant_table.h"

extern const dsp_kernel_table dsp_kernels_avx512 = make_kernel_table<simd_avx512>();
