// The arithmetic of the real FFT, written once over a lane type S (see
// dsp_simd_scalar.h); fft_pass_sequence.h runs it in order.
//
// Forward: the N real samples are read as n = N/2 complex points z[m] =
// x[2m] + i x[2m+1], transformed, and split into the N/2 + 1 bins of the
// real spectrum. Inverse: the bins are folded back into n complex points and
// transformed with the forward kernel on conjugated data. The complex
// transform runs W = S::width lane-parallel Stockham transforms of M = n/W
// points (vector-wide butterflies, no shuffles), then a twiddle step, a W x W
// transpose and W-point transforms across the lanes.
#pragma once

#include <cstddef>

#include "dsp/fft_plan.h"
#include "dsp/dsp_simd_scalar.h"

namespace {

const fft_plan* plan_for_width(const dsp_fft_spec& setup, int width) {
    for (const fft_plan& p : setup.plans)
        if (p.width == width) return &p;
    return nullptr;
}

template <class S>
inline void complex_multiply(typename S::v& xr, typename S::v& xi, typename S::v wr, typename S::v wi) {
    typename S::v re = S::mul_sub(xr, wr, S::mul(xi, wi));
    typename S::v im = S::mul_add(xr, wi, S::mul(xi, wr));
    xr = re;
    xi = im;
}

// Where a stage reads its input: split arrays, or (first forward stage)
// the caller's interleaved samples, so no separate pass splits them.
template <class S>
struct split_input {
    const float* re;
    const float* im;
    void load(std::ptrdiff_t at, typename S::v& r, typename S::v& i) const {
        r = S::load(re + at);
        i = S::load(im + at);
    }
};

template <class S>
struct interleaved_input {
    const float* pairs;
    void load(std::ptrdiff_t at, typename S::v& r, typename S::v& i) const {
        S::load_deinterleaved(pairs + 2 * at, r, i);
    }
};

// Element e of a stage's sequence is the vector at floats [e*W, e*W + W).
// A stage's butterflies are numbered p * stride + q; one call runs those
// from begin to end, so that a stage can be done in pieces.
struct butterfly_range {
    int begin, end;
    // The q of twiddle group p that lie in the range, times the lane width.
    int from(int p, int stride, int w) const { return (begin > p * stride ? begin - p * stride : 0) * w; }
    int to(int p, int stride, int w) const { return (end < (p + 1) * stride ? end - p * stride : stride) * w; }
};

template <class S, class Input>
void radix2_stage(const Input& x, float* yr, float* yi, int length, int stride, const float* twiddles,
                  butterfly_range range) {
    using V = typename S::v;
    constexpr int w = S::width;
    const int half = length / 2;
    const std::ptrdiff_t in_gap = std::ptrdiff_t(stride) * half * w, out_gap = std::ptrdiff_t(stride) * w;
    for (int p = range.begin / stride; p * stride < range.end; ++p) {
        const V wr = S::set1(twiddles[2 * p]), wi = S::set1(twiddles[2 * p + 1]);
        const std::ptrdiff_t in = std::ptrdiff_t(stride) * p * w, out = 2 * in;
        for (int q = range.from(p, stride, w); q < range.to(p, stride, w); q += w) {
            V ar, ai, br, bi;
            x.load(in + q, ar, ai);
            x.load(in + in_gap + q, br, bi);
            V dr = S::sub(ar, br), di = S::sub(ai, bi);
            complex_multiply<S>(dr, di, wr, wi);
            S::store(yr + out + q, S::add(ar, br));
            S::store(yi + out + q, S::add(ai, bi));
            S::store(yr + out + out_gap + q, dr);
            S::store(yi + out + out_gap + q, di);
        }
    }
}

template <class S, class Input>
void radix4_stage(const Input& x, float* yr, float* yi, int length, int stride, const float* twiddles,
                  butterfly_range range) {
    using V = typename S::v;
    constexpr int w = S::width;
    const int quarter = length / 4;
    const std::ptrdiff_t in_gap = std::ptrdiff_t(stride) * quarter * w, out_gap = std::ptrdiff_t(stride) * w;
    for (int p = range.begin / stride; p * stride < range.end; ++p) {
        const float* t = twiddles + 6 * p;
        const V w1r = S::set1(t[0]), w1i = S::set1(t[1]), w2r = S::set1(t[2]), w2i = S::set1(t[3]);
        const V w3r = S::set1(t[4]), w3i = S::set1(t[5]);
        const std::ptrdiff_t in = std::ptrdiff_t(stride) * p * w, out = 4 * in;
        float *outr = yr + out, *outi = yi + out;
        for (int q = range.from(p, stride, w); q < range.to(p, stride, w); q += w) {
            V a_r, a_i, b_r, b_i, c_r, c_i, d_r, d_i;
            x.load(in + q, a_r, a_i);
            x.load(in + in_gap + q, b_r, b_i);
            x.load(in + 2 * in_gap + q, c_r, c_i);
            x.load(in + 3 * in_gap + q, d_r, d_i);
            const V apc_r = S::add(a_r, c_r), apc_i = S::add(a_i, c_i);
            const V amc_r = S::sub(a_r, c_r), amc_i = S::sub(a_i, c_i);
            const V bpd_r = S::add(b_r, d_r), bpd_i = S::add(b_i, d_i);
            const V bmd_r = S::sub(b_r, d_r), bmd_i = S::sub(b_i, d_i);
            V y1r = S::add(amc_r, bmd_i), y1i = S::sub(amc_i, bmd_r);  // (a - c) - i(b - d)
            V y2r = S::sub(apc_r, bpd_r), y2i = S::sub(apc_i, bpd_i);
            V y3r = S::sub(amc_r, bmd_i), y3i = S::add(amc_i, bmd_r);  // (a - c) + i(b - d)
            complex_multiply<S>(y1r, y1i, w1r, w1i);
            complex_multiply<S>(y2r, y2i, w2r, w2i);
            complex_multiply<S>(y3r, y3i, w3r, w3i);
            S::store(outr + q, S::add(apc_r, bpd_r));
            S::store(outi + q, S::add(apc_i, bpd_i));
            S::store(outr + out_gap + q, y1r);
            S::store(outi + out_gap + q, y1i);
            S::store(outr + 2 * out_gap + q, y2r);
            S::store(outi + 2 * out_gap + q, y2i);
            S::store(outr + 3 * out_gap + q, y3r);
            S::store(outi + 3 * out_gap + q, y3i);
        }
    }
}

constexpr int bit_reversed(int value, int bits) {
    int r = 0;
    for (int b = 0; b < bits; ++b) r |= ((value >> b) & 1) << (bits - 1 - b);
    return r;
}

constexpr int log2_of(int power_of_two) {
    int bits = 0;
    while ((1 << bits) < power_of_two) ++bits;
    return bits;
}

// Output k1 + M*k2 = sum over lanes l of w_W^(l*k2) * w_n^(l*k1) * lane l's bin k1,
// for the blocks k1 = W * j with j from begin to end.
template <class S>
void cross_lane_step(const float* xr, const float* xi, float* yr, float* yi, const fft_plan& plan, int begin, int end) {
    using V = typename S::v;
    constexpr int w = S::width, bits = log2_of(S::width);
    const int lane_length = plan.lane_length;
    // The inner loops are unrolled so that r[] and i[] live in registers.
    for (int k1 = begin * w; k1 < end * w; k1 += w) {
        V r[w], i[w];
        const float* block = plan.block_twiddles + 2 * k1;
        const V block_r = S::load(block), block_i = S::load(block + w);
#pragma GCC unroll 16
        for (int t = 0; t < w; ++t) {
            const std::ptrdiff_t e = std::ptrdiff_t(k1 + t) * w;
            r[t] = S::load(xr + e);
            i[t] = S::load(xi + e);
            V tr = S::load(plan.offset_twiddles + 2 * t * w), ti = S::load(plan.offset_twiddles + (2 * t + 1) * w);
            complex_multiply<S>(tr, ti, block_r, block_i);
            complex_multiply<S>(r[t], i[t], tr, ti);
        }
        S::transpose(r);
        S::transpose(i);
// Radix-2 decimation in frequency across the vectors; bit-reversed out.
#pragma GCC unroll 16
        for (int half = w / 2; half >= 1; half /= 2) {
            const int step = w / (2 * half);
#pragma GCC unroll 16
            for (int g = 0; g < w; g += 2 * half) {
#pragma GCC unroll 16
                for (int j = 0; j < half; ++j) {
                    const int a = g + j, b = g + j + half;
                    V dr = S::sub(r[a], r[b]), di = S::sub(i[a], i[b]);
                    r[a] = S::add(r[a], r[b]);
                    i[a] = S::add(i[a], i[b]);
                    if (j * step == w / 4) {  // w_W^(W/4) = -i: a swap and a sign
                        r[b] = di;
                        i[b] = S::sub(S::set1(0.0f), dr);
                        continue;
                    }
                    if (j != 0) {
                        const float* c = plan.cross_twiddles + 2 * j * step;
                        complex_multiply<S>(dr, di, S::set1(c[0]), S::set1(c[1]));
                    }
                    r[b] = dr;
                    i[b] = di;
                }
            }
        }
#pragma GCC unroll 16
        for (int k2 = 0; k2 < w; ++k2) {
            const int from = bit_reversed(k2, bits);
            const std::ptrdiff_t to = k1 + std::ptrdiff_t(lane_length) * k2;
            S::store(yr + to, r[from]);
            S::store(yi + to, i[from]);
        }
    }
}

// Bins k .. k+T::width-1 and their mirrors n-k .. from the complex result z.
template <class T>
void split_bins(const float* zr, const float* zi, float* buf, int n, int k, float half_scale,
                const dsp_fft_spec& setup) {
    using V = typename T::v;
    constexpr int w = T::width;
    const int mirror = n - k - w + 1;
    const V h = T::set1(half_scale);
    const V ar = T::load(zr + k), ai = T::load(zi + k);
    const V br = T::reverse(T::load(zr + mirror)), bi = T::reverse(T::load(zi + mirror));
    const V er = T::mul(h, T::add(ar, br)), ei = T::mul(h, T::sub(ai, bi));
    const V odd_r = T::mul(h, T::add(ai, bi)), odd_i = T::mul(h, T::sub(br, ar));
    V tr = odd_r, ti = odd_i;
    complex_multiply<T>(tr, ti, T::load(setup.real_twiddles_re + k), T::load(setup.real_twiddles_im + k));
    T::store_interleaved(buf + 2 * k, T::add(er, tr), T::add(ei, ti));
    T::store_interleaved(buf + 2 * mirror, T::reverse(T::sub(er, tr)), T::reverse(T::sub(ti, ei)));
}

// The inverse of split_bins, writing conj(z) for the forward kernel.
template <class T>
void fold_bins(const float* buf, float* zr, float* zi, int n, int k, const dsp_fft_spec& setup) {
    using V = typename T::v;
    constexpr int w = T::width;
    const int mirror = n - k - w + 1;
    V ar, ai, cr, ci;
    T::load_deinterleaved(buf + 2 * k, ar, ai);
    T::load_deinterleaved(buf + 2 * mirror, cr, ci);
    cr = T::reverse(cr);
    ci = T::reverse(ci);
    const V er = T::add(ar, cr), ei = T::sub(ai, ci), dr = T::sub(ar, cr), di = T::add(ai, ci);
    const V wr = T::load(setup.real_twiddles_re + k), wi = T::load(setup.real_twiddles_im + k);
    const V odd_r = T::mul_add(dr, wr, T::mul(di, wi)), odd_i = T::mul_sub(di, wr, T::mul(dr, wi));
    const V zero = T::set1(0.0f);
    T::store(zr + k, T::sub(er, odd_i));
    T::store(zi + k, T::sub(zero, T::add(ei, odd_r)));
    T::store(zr + mirror, T::reverse(T::add(er, odd_i)));
    T::store(zi + mirror, T::reverse(T::sub(ei, odd_r)));
}

// The bins 1 .. n/2 - 1 pair up with their mirrors: split_spectrum and
// fold_spectrum take them W at a time in `steps` steps, then one step more
// for those left over and for the bins 0, n/2 and N/2. Those left over are
// one more vector that ends at n/2 - 1, overlapping the last step (each
// reads one array and writes another, so doing a bin twice is harmless).

// Steps begin to end of the forward transform's last pass: the complex
// result z into the bins of the real spectrum.
template <class S>
void split_spectrum(const float* zr, const float* zi, float* buf, const dsp_fft_spec& setup, int steps, int begin,
                    int end) {
    const int size = setup.size, n = size / 2;
    const float scale = setup.forward_scale;
    for (int j = begin; j < end && j < steps; ++j) split_bins<S>(zr, zi, buf, n, 1 + j * S::width, 0.5f * scale, setup);
    if (end <= steps) return;
    if (steps > 0 && 1 + steps * S::width < n / 2) {
        split_bins<S>(zr, zi, buf, n, n / 2 - S::width, 0.5f * scale, setup);
    } else {
        for (int k = 1 + steps * S::width; k < n / 2; ++k)
            split_bins<simd_scalar>(zr, zi, buf, n, k, 0.5f * scale, setup);
    }
    if (n >= 2) {
        buf[n] = scale * zr[n / 2];
        buf[n + 1] = -scale * zi[n / 2];
    }
    const float z0r = zr[0], z0i = zi[0];
    buf[0] = scale * (z0r + z0i);
    buf[1] = 0.0f;
    buf[size] = scale * (z0r - z0i);
    buf[size + 1] = 0.0f;
}

// Steps begin to end of the inverse transform's first pass: the bins folded
// into n conjugated complex points.
template <class S>
void fold_spectrum(const float* buf, float* zr, float* zi, const dsp_fft_spec& setup, int steps, int begin, int end) {
    const int size = setup.size, n = size / 2;
    for (int j = begin; j < end && j < steps; ++j) fold_bins<S>(buf, zr, zi, n, 1 + j * S::width, setup);
    if (end <= steps) return;
    if (steps > 0 && 1 + steps * S::width < n / 2) {
        fold_bins<S>(buf, zr, zi, n, n / 2 - S::width, setup);
    } else {
        for (int k = 1 + steps * S::width; k < n / 2; ++k) fold_bins<simd_scalar>(buf, zr, zi, n, k, setup);
    }
    if (n >= 2) {
        zr[n / 2] = 2.0f * buf[n];
        zi[n / 2] = 2.0f * buf[n + 1];
    }
    const float x0 = buf[0], xn = buf[size];
    zr[0] = x0 + xn;
    zi[0] = xn - x0;
}

// Steps begin to end of the inverse transform's last pass: W of the
// complex result per step, conjugated, scaled and interleaved into samples.
template <class S>
void scale_out(const float* fr, const float* fi, float* buf, float scale, int begin, int end) {
    const typename S::v s = S::set1(scale), minus_s = S::set1(-scale);
    for (int e = begin * S::width; e < end * S::width; e += S::width)
        S::store_interleaved(buf + 2 * e, S::mul(S::load(fr + e), s), S::mul(S::load(fi + e), minus_s));
}

}  // namespace
