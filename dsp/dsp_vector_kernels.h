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
void vector_scale(float value, const float* src, float* dst, int len) {
    constexpr int w = S::width;
    const typename S::v x = S::set1(value);
    int k = 0;
    for (; k + w <= len; k += w) S::store(dst + k, S::mul(x, S::load(src + k)));
    for (; k < len; ++k) dst[k] = value * src[k];
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

// dst = the sum over j < terms (at least one) of src1[j] * src2[j]
// (complex), added in order of j. Every source element is read before dst's
// element is written, so dst may be any of the sources.
template <class S>
void vector_complex_mul_sum(const float* const* src1, const float* const* src2, int terms, float* dst, int count) {
    using V = typename S::v;
    int k = 0;
    if constexpr (S::width > 1) {
        const auto product = [&](int j, V& re, V& im) {
            V ar, ai, br, bi;
            S::load_deinterleaved(src1[j] + 2 * k, ar, ai);
            S::load_deinterleaved(src2[j] + 2 * k, br, bi);
            re = S::mul_sub(ar, br, S::mul(ai, bi));
            im = S::mul_add(ar, bi, S::mul(ai, br));
        };
        for (; k + S::width <= count; k += S::width) {
            V re, im;
            product(0, re, im);
            for (int j = 1; j < terms; ++j) {
                V pr, pi;
                product(j, pr, pi);
                re = S::add(re, pr);
                im = S::add(im, pi);
            }
            S::store_interleaved(dst + 2 * k, re, im);
        }
    }
    for (; k < count; ++k) {
        const auto product = [&](int j, float& re, float& im) {
            const float ar = src1[j][2 * k], ai = src1[j][2 * k + 1], br = src2[j][2 * k], bi = src2[j][2 * k + 1];
            re = ar * br - ai * bi;
            im = ar * bi + ai * br;
        };
        float re, im;
        product(0, re, im);
        for (int j = 1; j < terms; ++j) {
            float pr, pi;
            product(j, pr, pi);
            re += pr;
            im += pi;
        }
        dst[2 * k] = re;
        dst[2 * k + 1] = im;
    }
}

}  // namespace
