#include "dsp/dsp_simd_sse.h"
#include "dsp/dsp_variant_table.h"

extern const dsp_kernel_table dsp_kernels_sse2 = make_kernel_table<simd_sse>();
