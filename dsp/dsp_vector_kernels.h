// The vector primitives written once over a lane type S (see
// dsp_simd_scalar.h); each variant unit instantiates them for its own S.
// Arguments are already validated.
#pragma once

#include "dsp/dsp_simd_scalar.h"

namespace {

template <class S>
void vector_set(float value, float* dst, int len) {
    constexpr int w = S::width;
    const typename S::v x = S::set1(value);
    int k = 0;
    for (; k + w <= len; k += w) S::store(dst + k, x);
    for (; k < len; ++k) dst[k] = value;
}

template <class S>
void vector_copy(const float* src, float* dst, int len) {
    constexpr int w = S::width;
    int k = 0;
    for (; k + w <= len; k += w) S::store(dst + k, S::load(src + k));
    for (; k < len; ++k) dst[k] = src[k];
}

template <class S>
void vector_add(const float* src, float* srcdst, int len) {
    constexpr int w = S::width;
    int k = 0;
    for (; k + w <= len; k += w) S::store(srcdst + k, S::add(S::load(srcdst + k), S::load(src + k)));
    for (; k < len; ++k) srcdst[k] = srcdst[k] + src[k];
}

template <class S>
void vector_mul(const float* src, float* srcdst, int len) {
    constexpr int w = S::width;
    int k = 0;
    for (; k + w <= len; k += w) S::store(srcdst + k, S::mul(S::load(src + k), S::load(srcdst + k)));
    for (; k < len; ++k) srcdst[k] = src[k] * srcdst[k];
}

template <class S>
void vector_scale(float value, float* srcdst, int len) {
    constexpr int w = S::width;
    const typename S::v x = S::set1(value);
    int k = 0;
    for (; k + w <= len; k += w) S::store(srcdst + k, S::mul(x, S::load(srcdst + k)));
    for (; k < len; ++k) srcdst[k] = value * srcdst[k];
}

template <class S>
void vector_reverse(float* buf, int len) {
    constexpr int w = S::width;
    int lo = 0, hi = len;  // [lo, hi) is still to be reversed
    for (; hi - lo >= 2 * w; lo += w, hi -= w) {
        typename S::v front = S::load(buf + lo), back = S::load(buf + hi - w);
        S::store(buf + lo, S::reverse(back));
        S::store(buf + hi - w, S::reverse(front));
    }
    for (--hi; lo < hi; ++lo, --hi) {
        float t = buf[lo];
        buf[lo] = buf[hi];
        buf[hi] = t;
    }
}

// dst = src1 * src2 (complex); with accumulate, dst += src1 * src2. dst may
// be either source.
template <class S, bool accumulate>
void complex_product(const float* src1, const float* src2, float* dst, int count) {
    using V = typename S::v;
    int k = 0;
    if constexpr (S::width > 1) {
        for (; k + S::width <= count; k += S::width) {
            V ar, ai, br, bi;
            S::load_deinterleaved(src1 + 2 * k, ar, ai);
            S::load_deinterleaved(src2 + 2 * k, br, bi);
            V re = S::mul_sub(ar, br, S::mul(ai, bi));
            V im = S::mul_add(ar, bi, S::mul(ai, br));
            if constexpr (accumulate) {
                V dr, di;
                S::load_deinterleaved(dst + 2 * k, dr, di);
                re = S::add(dr, re);
                im = S::add(di, im);
            }
            S::store_interleaved(dst + 2 * k, re, im);
        }
    }
    for (; k < count; ++k) {
        float ar = src1[2 * k], ai = src1[2 * k + 1], br = src2[2 * k], bi = src2[2 * k + 1];
        float re = ar * br - ai * bi, im = ar * bi + ai * br;
        if constexpr (accumulate) {
            re = dst[2 * k] + re;
            im = dst[2 * k + 1] + im;
        }
        dst[2 * k] = re;
        dst[2 * k + 1] = im;
    }
}

template <class S>
void vector_complex_mul(const float* src1, const float* src2, float* dst, int count) {
    complex_product<S, false>(src1, src2, dst, count);
}

template <class S>
void vector_complex_mul_add(const float* src1, const float* src2, float* srcdst, int count) {
    complex_product<S, true>(src1, src2, srcdst, count);
}

}  // namespace
