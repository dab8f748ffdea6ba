// Fills a kernel table from the templates for one lane type. Included only by
// the variant units, each compiled for its own instruction set.
#pragma once

#include "dsp/dsp_kernel_table.h"
#include "dsp/dsp_vector_kernels.h"
#include "dsp/fft_pass_sequence.h"

namespace {

template <class S>
constexpr dsp_kernel_table make_kernel_table() {
    return {
        &vector_set<S>,
        &vector_copy<S>,
        &vector_add<S>,
        &vector_mul<S>,
        &vector_scale<S>,
        &vector_reverse<S>,
        &vector_complex_mul_sum<S>,
        &fft_forward<S>,
        &fft_inverse<S>,
        &fft_resume<S>,
    };
}

}  // namespace
