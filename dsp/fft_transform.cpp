// The real transforms, whole or in pieces: checks, the work area, then the
// active set.
#include <cstdint>

#include "dsp/dsp.h"
#include "dsp/dsp_kernel_table.h"

namespace {

using kernel = void (*)(float*, const dsp_fft_spec&, float*);

// The same address inside work for every call, so pieces find their data.
float* aligned_work(void* work) {
    const std::uintptr_t aligned =
        (reinterpret_cast<std::uintptr_t>(work) + fft_work_alignment - 1) & ~std::uintptr_t(fft_work_alignment - 1);
    return reinterpret_cast<float*>(aligned);
}

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
    run(buf, *setup, aligned_work(work));
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

int dsp_fft_start(dsp_fft_progress* progress, int direction) {
    if (progress == nullptr) return dsp_err_null;
    if (direction != DSP_FFT_FORWARD && direction != DSP_FFT_INVERSE) return dsp_err_fft_flag;
    *progress = {dsp_active_kernels().fft_resume, direction, 0, 0, -1};
    return dsp_ok;
}

int dsp_fft_resume_ccs_inplace(float* buf, const dsp_fft_spec* setup, void* work, dsp_fft_progress* progress,
                               int pieces, int* pieces_left) {
    if (buf == nullptr || setup == nullptr || work == nullptr || progress == nullptr || pieces_left == nullptr)
        return dsp_err_null;
    // A progress not from dsp_fft_start (or worn out of shape) would index past the passes.
    if (setup->magic != fft_spec_magic || progress->resume == nullptr || progress->pass < 0 ||
        progress->pass >= fft_max_passes || progress->position < 0)
        return dsp_err_context;
    if (pieces < 0) return dsp_err_size;
    *pieces_left = progress->resume(buf, *setup, aligned_work(work), *progress, pieces);
    return dsp_ok;
}
