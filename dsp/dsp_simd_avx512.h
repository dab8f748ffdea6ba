// Sixteen-lane operations on AVX-512F registers.
#pragma once

#include <immintrin.h>

#include "dsp/dsp_simd_avx2.h"

namespace {

struct simd_avx512 {
    using v = __m512;
    static constexpr int width = 16;
    using narrower = simd_avx2;  // for transforms too small for sixteen lanes

    static v load(const float* p) { return _mm512_loadu_ps(p); }
    static void store(float* p, v a) { _mm512_storeu_ps(p, a); }
    static v set1(float x) { return _mm512_set1_ps(x); }
    static v add(v a, v b) { return _mm512_add_ps(a, b); }
    static v sub(v a, v b) { return _mm512_sub_ps(a, b); }
    static v mul(v a, v b) { return _mm512_mul_ps(a, b); }
    static v mul_add(v a, v b, v c) { return _mm512_fmadd_ps(a, b, c); }
    static v mul_sub(v a, v b, v c) { return _mm512_fmsub_ps(a, b, c); }
    static v neg_mul_add(v a, v b, v c) { return _mm512_fnmadd_ps(a, b, c); }
    static void load_deinterleaved(const float* p, v& re, v& im) {
        v lo = _mm512_loadu_ps(p), hi = _mm512_loadu_ps(p + 16);
        const __m512i even = _mm512_setr_epi32(0, 2, 4, 6, 8, 10, 12, 14, 16, 18, 20, 22, 24, 26, 28, 30);
        const __m512i odd = _mm512_setr_epi32(1, 3, 5, 7, 9, 11, 13, 15, 17, 19, 21, 23, 25, 27, 29, 31);
        re = _mm512_permutex2var_ps(lo, even, hi);
        im = _mm512_permutex2var_ps(lo, odd, hi);
    }
    static void store_interleaved(float* p, v re, v im) {
        const __m512i first = _mm512_setr_epi32(0, 16, 1, 17, 2, 18, 3, 19, 4, 20, 5, 21, 6, 22, 7, 23);
        const __m512i second = _mm512_setr_epi32(8, 24, 9, 25, 10, 26, 11, 27, 12, 28, 13, 29, 14, 30, 15, 31);
        _mm512_storeu_ps(p, _mm512_permutex2var_ps(re, first, im));
        _mm512_storeu_ps(p + 16, _mm512_permutex2var_ps(re, second, im));
    }
    static v reverse(v a) {
        return _mm512_permutexvar_ps(_mm512_setr_epi32(15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0), a);
    }
    // 4x4 transposes inside each 128-bit chunk, then the chunks themselves.
    static void transpose(v* r) {
        v t[16], u[16];
#pragma GCC unroll 8
        for (int i = 0; i < 8; ++i) {
            t[2 * i] = _mm512_unpacklo_ps(r[2 * i], r[2 * i + 1]);
            t[2 * i + 1] = _mm512_unpackhi_ps(r[2 * i], r[2 * i + 1]);
        }
#pragma GCC unroll 4
        for (int i = 0; i < 4; ++i) {
            u[4 * i + 0] = _mm512_shuffle_ps(t[4 * i], t[4 * i + 2], 0x44);
            u[4 * i + 1] = _mm512_shuffle_ps(t[4 * i], t[4 * i + 2], 0xEE);
            u[4 * i + 2] = _mm512_shuffle_ps(t[4 * i + 1], t[4 * i + 3], 0x44);
            u[4 * i + 3] = _mm512_shuffle_ps(t[4 * i + 1], t[4 * i + 3], 0xEE);
        }
#pragma GCC unroll 4
        for (int j = 0; j < 4; ++j) {
            v v0 = _mm512_shuffle_f32x4(u[j], u[4 + j], 0x88);
            v v1 = _mm512_shuffle_f32x4(u[j], u[4 + j], 0xDD);
            v w0 = _mm512_shuffle_f32x4(u[8 + j], u[12 + j], 0x88);
            v w1 = _mm512_shuffle_f32x4(u[8 + j], u[12 + j], 0xDD);
            r[j] = _mm512_shuffle_f32x4(v0, w0, 0x88);
            r[4 + j] = _mm512_shuffle_f32x4(v1, w1, 0x88);
            r[8 + j] = _mm512_shuffle_f32x4(v0, w0, 0xDD);
            r[12 + j] = _mm512_shuffle_f32x4(v1, w1, 0xDD);
        }
    }
};

}  // namespace
