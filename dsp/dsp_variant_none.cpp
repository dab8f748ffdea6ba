// The plain set: one-lane kernels, compiled without extra instruction-set flags.
#include "dsp/dsp_simd_scalar.h"
#include "dsp/dsp_variant_table.h"

// Constant-initialised: usable before any constructor runs.
extern constinit const dsp_kernel_table dsp_kernels_none = make_kernel_table<simd_scalar>();
