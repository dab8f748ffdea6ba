#include "dsp/dsp_simd_avx2.h"
#include "dsp/dsp_variant_table.h"

extern const dsp_kernel_table dsp_kernels_avx2 = make_kernel_table<simd_avx2>();
