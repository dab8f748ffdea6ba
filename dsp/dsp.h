// Signal-processing primitives on 32-bit floats: vectors, the real FFT in
// CCS layout, the Hann window, direct-form IIR filters, aligned allocation
// and the per-thread denormal modes. Every primitive validates its arguments
// and returns a status without writing anything when they are bad.
//
// Real-time contract: nothing here allocates, locks or blocks, except
// dsp_alloc_*, dsp_fft_spec_create, dsp_iir_create and a transform called
// with a null work buffer.
#pragma once

#include <cstddef>

enum dsp_status : int {
    dsp_ok = 0,
    dsp_err_size = -6,           // length or count not positive, or too small
    dsp_err_null = -8,           // a required pointer is null
    dsp_err_memory = -9,         // memory cannot be allocated
    dsp_err_div_by_zero = -10,   // an IIR a0 of 0
    dsp_err_fft_order = -15,     // FFT order outside 0 to 30
    dsp_err_fft_flag = -16,      // scaling flag not 1, 2, 4 or 8
    dsp_err_context = -17,       // the object is not of the expected kind
    dsp_err_iir_order = -25,     // IIR order not positive
    dsp_err_no_feature = -9998,  // the processor lacks the control feature
    dsp_warn_dispatch = 20,      // warning from dsp_init_dispatch
};

// FFT scaling flags.
enum dsp_fft_scaling : int {
    DSP_FFT_DIV_FWD_BY_N = 1,
    DSP_FFT_DIV_INV_BY_N = 2,
    DSP_FFT_DIV_BY_SQRTN = 4,
    DSP_FFT_NODIV_BY_ANY = 8,
};

int dsp_set(float value, float* dst, int len);
int dsp_copy(const float* src, float* dst, int len);
int dsp_add_inplace(const float* src, float* srcdst, int len);
int dsp_mul_inplace(const float* src, float* srcdst, int len);
// dst = value * src; dst may be src. Value 1 copies (in place it touches
// nothing); value 0 writes zeros.
int dsp_scale(float value, const float* src, float* dst, int len);
int dsp_reverse_inplace(float* buf, int len);
// Symmetric Hann window, len >= 3.
int dsp_hann_inplace(float* buf, int len);
// dst = src1[0] * src2[0] + ... + src1[terms - 1] * src2[terms - 1], each
// of count complex elements (pairs of floats); dst may be any source.
int dsp_complex_mul_sum(const float* const* src1, const float* const* src2, int terms, float* dst, int count);

struct dsp_fft_spec;  // opaque: one order, one scaling flag, twiddles
// Orders 28 to 30 are accepted but fail with dsp_err_memory: their work
// area would not fit the int that dsp_fft_work_size reports.
int dsp_fft_spec_create(dsp_fft_spec** spec, int order, int flag, int hint);
// The size includes the slack for aligning the buffer inside the transform,
// so a block of exactly this size at any address is enough.
int dsp_fft_work_size(const dsp_fft_spec* spec, int* size_bytes);
// buf holds N real samples in, N + 2 floats of CCS spectrum out.
int dsp_fft_forward_ccs_inplace(float* buf, const dsp_fft_spec* spec, void* work);
int dsp_fft_inverse_ccs_inplace(float* buf, const dsp_fft_spec* spec, void* work);
int dsp_fft_spec_free(dsp_fft_spec* spec);

// The same transforms in pieces of about equal work, so that one transform
// can be spread over several calls. The caller keeps the progress, the
// buffer and a work buffer (never null here) and touches none of them
// between pieces; the variant set that starts a transform carries it out.
enum dsp_fft_direction : int { DSP_FFT_FORWARD = 0, DSP_FFT_INVERSE = 1 };
struct dsp_fft_progress {
    int (*resume)(float* buf, const dsp_fft_spec& spec, float* work, dsp_fft_progress& progress, int pieces);
    int direction;
    int pass;         // under way
    int position;     // its steps done
    int pieces_left;  // counted by the first resume
};
// A direction other than the two: dsp_err_fft_flag.
int dsp_fft_start(dsp_fft_progress* progress, int direction);
// Runs up to `pieces` more pieces (0 runs none) and writes how many are
// still to do to *pieces_left: 0 once buf holds the result.
int dsp_fft_resume_ccs_inplace(float* buf, const dsp_fft_spec* spec, void* work, dsp_fft_progress* progress, int pieces,
                               int* pieces_left);

struct dsp_iir_state;  // opaque
// taps: b0..b(order), a0..a(order); delay_line null means zeros.
int dsp_iir_create(dsp_iir_state** state, const float* taps, int order, const float* delay_line);
int dsp_iir_set_taps(const float* taps, dsp_iir_state* state);
int dsp_iir_set_delay(dsp_iir_state* state, const float* delay_line);
int dsp_iir_filter_inplace(float* buf, int len, dsp_iir_state* state);
int dsp_iir_free(dsp_iir_state* state);

// 32-byte aligned; null when count <= 0 or memory is short.
float* dsp_alloc_floats(int count);
// Any power-of-two alignment (the FFT work buffers use 128); null on failure.
void* dsp_alloc_aligned(std::size_t bytes, std::size_t alignment);
// Releases a block from either allocator; null is ignored.
void dsp_free(void* block);

int dsp_init_dispatch();
int dsp_set_denormals_are_zero(int enable);
int dsp_set_flush_to_zero(int enable, int* saved_underflow_mask);

// The five variant sets, for tests and benchmarks. TESSVANE_DSP_VARIANT
// (none, sse2, sse3, avx2, avx512) caps what dsp_init_dispatch picks.
enum class dsp_variant { none, sse2, sse3, avx2, avx512 };
bool dsp_variant_supported(dsp_variant v);
// Selects a supported set for all primitives; false (and no change) if the
// processor lacks it.
bool dsp_select_variant(dsp_variant v);
dsp_variant dsp_active_variant();
const char* dsp_variant_name(dsp_variant v);
