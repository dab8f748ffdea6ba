// The layout of a real-FFT specification: the constants a transform of one
// size needs, precomputed once so that transforming only reads them.
//
// A real transform of N samples runs one complex transform of n = N/2 points.
// A variant set with vectors of W lanes splits that into W lane-parallel
// transforms of M = n/W points (every butterfly works on whole vectors),
// a twiddle step and a W-point transform across the lanes.
#pragma once

#include "dsp/dsp.h"

// One lane width's constants; absent (width 0) when the width is unused.
struct fft_plan {
    int width = 0;
    int lane_length = 0;                   // M = n / width
    const float* stage_twiddles = nullptr;  // per stage, in execution order
    const float* lane_twiddles = nullptr;   // per k1: width re, then width im, of w_n^(l*k1)
    const float* cross_twiddles = nullptr;  // w_width^j, j < width/2: re, im pairs
};

constexpr int fft_plan_widths[] = {1, 4, 8, 16};
constexpr int fft_plan_count = 4;
constexpr unsigned fft_spec_magic = 0x54564654u;  // marks a live specification

struct dsp_fft_spec {
    unsigned magic;
    int order;
    int size;  // N
    float forward_scale;
    float inverse_scale;
    // w_k = e^(-2 pi i k / N) for k = 0 .. N/4: N/4 + 1 re, then as many im.
    const float* real_twiddles_re;
    const float* real_twiddles_im;
    fft_plan plans[fft_plan_count];
    void* tables;  // the one block that holds every table

    const fft_plan* plan_for_width(int width) const {
        for (const fft_plan& p : plans)
            if (p.width == width) return &p;
        return nullptr;
    }
};

// Bytes of work area a transform of N samples uses, before alignment.
inline long long fft_work_bytes(int size) { return 8LL * size; }
// The work area is aligned to this inside whatever the caller passes.
constexpr int fft_work_alignment = 64;
