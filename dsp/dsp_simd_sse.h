// Four-lane operations on SSE registers, for the SSE2 and SSE3 sets.
#pragma once

#include <emmintrin.h>

#include "dsp/dsp_simd_scalar.h"

namespace {

struct simd_sse {
    using v = __m128;
    static constexpr int width = 4;
    using narrower = simd_scalar;  // for transforms too small for four lanes

    static v load(const float* p) { return _mm_loadu_ps(p); }
    static void store(float* p, v a) { _mm_storeu_ps(p, a); }
    static v set1(float x) { return _mm_set1_ps(x); }
    static v add(v a, v b) { return _mm_add_ps(a, b); }
    static v sub(v a, v b) { return _mm_sub_ps(a, b); }
    static v mul(v a, v b) { return _mm_mul_ps(a, b); }
    static v mul_add(v a, v b, v c) { return _mm_add_ps(_mm_mul_ps(a, b), c); }
    static v mul_sub(v a, v b, v c) { return _mm_sub_ps(_mm_mul_ps(a, b), c); }
    static v neg_mul_add(v a, v b, v c) { return _mm_sub_ps(c, _mm_mul_ps(a, b)); }
    static void load_deinterleaved(const float* p, v& re, v& im) {
        v lo = _mm_loadu_ps(p), hi = _mm_loadu_ps(p + 4);
        re = _mm_shuffle_ps(lo, hi, _MM_SHUFFLE(2, 0, 2, 0));
        im = _mm_shuffle_ps(lo, hi, _MM_SHUFFLE(3, 1, 3, 1));
    }
    static void store_interleaved(float* p, v re, v im) {
        _mm_storeu_ps(p, _mm_unpacklo_ps(re, im));
        _mm_storeu_ps(p + 4, _mm_unpackhi_ps(re, im));
    }
    static v reverse(v a) { return _mm_shuffle_ps(a, a, _MM_SHUFFLE(0, 1, 2, 3)); }
    static void transpose(v* r) { _MM_TRANSPOSE4_PS(r[0], r[1], r[2], r[3]); }
};

}  // namespace
