// The two real transforms: checks, the work area, then the active set.
#include <cstdint>

#include "dsp/dsp.h"
#include "dsp/dsp_kernel_table.h"

namespace {

using kernel = void (*)(float*, const dsp_fft_spec&, float*);

int transform(float* buf, const dsp_fft_spec* setup, void* work, kernel run) {
    if (buf == nullptr || setup == nullptr) return dsp_err_null;
    if (setup->magic != fft_spec_magic) return dsp_err_context;
    int bytes = 0;
    dsp_fft_work_size(setup, &bytes);
    void* temporary = nullptr;
    if (work == nullptr) {
        temporary = dsp_alloc_aligned(std::size_t(bytes), fft_work_alignment);
        if (temporary == nullptr) return dsp_err_memory;
        work = temporary;
    }
    const std::uintptr_t aligned =
        (reinterpret_cast<std::uintptr_t>(work) + fft_work_alignment - 1) & ~std::uintptr_t(fft_work_alignment - 1);
    run(buf, *setup, reinterpret_cast<float*>(aligned));
    dsp_free(temporary);
    return dsp_ok;
}

}  // namespace

int dsp_fft_forward_ccs_inplace(float* buf, const dsp_fft_spec* setup, void* work) {
    return transform(buf, setup, work, dsp_active_kernels().fft_forward);
}

int dsp_fft_inverse_ccs_inplace(float* buf, const dsp_fft_spec* setup, void* work) {
    return transform(buf, setup, work, dsp_active_kernels().fft_inverse);
}
