// Eight-lane operations on AVX registers with fused multiply-add.
#pragma once

#include <immintrin.h>

#include "dsp/dsp_simd_sse.h"

namespace {

struct simd_avx2 {
    using v = __m256;
    static constexpr int width = 8;
    using narrower = simd_sse;  // for transforms too small for eight lanes

    static v load(const float* p) { return _mm256_loadu_ps(p); }
    static void store(float* p, v a) { _mm256_storeu_ps(p, a); }
    static v set1(float x) { return _mm256_set1_ps(x); }
    static v add(v a, v b) { return _mm256_add_ps(a, b); }
    static v sub(v a, v b) { return _mm256_sub_ps(a, b); }
    static v mul(v a, v b) { return _mm256_mul_ps(a, b); }
    static v mul_add(v a, v b, v c) { return _mm256_fmadd_ps(a, b, c); }
    static v mul_sub(v a, v b, v c) { return _mm256_fmsub_ps(a, b, c); }
    static v neg_mul_add(v a, v b, v c) { return _mm256_fnmadd_ps(a, b, c); }
    static void load_deinterleaved(const float* p, v& re, v& im) {
        v lo = _mm256_loadu_ps(p), hi = _mm256_loadu_ps(p + 8);
        // Within 128-bit halves, then restore the order of the 64-bit pairs.
        v even = _mm256_shuffle_ps(lo, hi, _MM_SHUFFLE(2, 0, 2, 0));
        v odd = _mm256_shuffle_ps(lo, hi, _MM_SHUFFLE(3, 1, 3, 1));
        re = _mm256_castpd_ps(_mm256_permute4x64_pd(_mm256_castps_pd(even), _MM_SHUFFLE(3, 1, 2, 0)));
        im = _mm256_castpd_ps(_mm256_permute4x64_pd(_mm256_castps_pd(odd), _MM_SHUFFLE(3, 1, 2, 0)));
    }
    static void store_interleaved(float* p, v re, v im) {
        v lo = _mm256_unpacklo_ps(re, im), hi = _mm256_unpackhi_ps(re, im);
        _mm256_storeu_ps(p, _mm256_permute2f128_ps(lo, hi, 0x20));
        _mm256_storeu_ps(p + 8, _mm256_permute2f128_ps(lo, hi, 0x31));
    }
    static v reverse(v a) { return _mm256_permutevar8x32_ps(a, _mm256_setr_epi32(7, 6, 5, 4, 3, 2, 1, 0)); }
    static void transpose(v* r) {
        v t0 = _mm256_unpacklo_ps(r[0], r[1]), t1 = _mm256_unpackhi_ps(r[0], r[1]);
        v t2 = _mm256_unpacklo_ps(r[2], r[3]), t3 = _mm256_unpackhi_ps(r[2], r[3]);
        v t4 = _mm256_unpacklo_ps(r[4], r[5]), t5 = _mm256_unpackhi_ps(r[4], r[5]);
        v t6 = _mm256_unpacklo_ps(r[6], r[7]), t7 = _mm256_unpackhi_ps(r[6], r[7]);
        v s0 = _mm256_shuffle_ps(t0, t2, _MM_SHUFFLE(1, 0, 1, 0));
        v s1 = _mm256_shuffle_ps(t0, t2, _MM_SHUFFLE(3, 2, 3, 2));
        v s2 = _mm256_shuffle_ps(t1, t3, _MM_SHUFFLE(1, 0, 1, 0));
        v s3 = _mm256_shuffle_ps(t1, t3, _MM_SHUFFLE(3, 2, 3, 2));
        v s4 = _mm256_shuffle_ps(t4, t6, _MM_SHUFFLE(1, 0, 1, 0));
        v s5 = _mm256_shuffle_ps(t4, t6, _MM_SHUFFLE(3, 2, 3, 2));
        v s6 = _mm256_shuffle_ps(t5, t7, _MM_SHUFFLE(1, 0, 1, 0));
        v s7 = _mm256_shuffle_ps(t5, t7, _MM_SHUFFLE(3, 2, 3, 2));
        r[0] = _mm256_permute2f128_ps(s0, s4, 0x20);
        r[1] = _mm256_permute2f128_ps(s1, s5, 0x20);
        r[2] = _mm256_permute2f128_ps(s2, s6, 0x20);
        r[3] = _mm256_permute2f128_ps(s3, s7, 0x20);
        r[4] = _mm256_permute2f128_ps(s0, s4, 0x31);
        r[5] = _mm256_permute2f128_ps(s1, s5, 0x31);
        r[6] = _mm256_permute2f128_ps(s2, s6, 0x31);
        r[7] = _mm256_permute2f128_ps(s3, s7, 0x31);
    }
};

}  // namespace
