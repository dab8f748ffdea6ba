// The SSE2 set: four-lane kernels.
#include "dsp/dsp_simd_sse.h"
#include "dsp/dsp_variant_table.h"

// Constant-initialised: usable before any constructor runs.
extern constinit const dsp_kernel_table dsp_kernels_sse2 = make_kernel_table<simd_sse>();
