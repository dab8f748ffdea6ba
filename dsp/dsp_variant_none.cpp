#include "dsp/dsp_simd_scalar.h"
#include "dsp/dsp_variant_table.h"

extern const dsp_kernel_table dsp_kernels_none = make_kernel_table<simd_scalar>();
