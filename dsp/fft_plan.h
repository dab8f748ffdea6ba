// What a dsp_fft_spec holds: the constants a transform of one size needs,
// precomputed once so that transforming only reads them.
//
// A real transform of N samples runs one complex transform of n = N/2 points.
// A variant set with vectors of W lanes splits that into W lane-parallel
// transforms of M = n/W points (every butterfly works on whole vectors),
// a twiddle step and a W-point transform across the lanes.
#pragma once

#include "dsp/dsp.h"

// The passes of a real transform in order. Forward: the complex passes
// (the radix-2 and radix-4 stages, or a single point's copy, then the
// cross-lane step of a wide plan) and the split into bins. Inverse: the fold
// into complex points, the complex passes and the scaled copy out. Each pass
// is a number of steps of equal work, so a piece of a transform is a range
// of steps.
// done comes first, so that a zeroed pass ends a list.
enum class fft_pass_kind { done, size_one, fold, single_point, radix2, radix4, cross_lane, split, scale_out };

struct fft_pass {
    fft_pass_kind kind;
    int steps;
    int points_per_step;
    // The halves of the work area a pass reads and writes (source -1: the
    // caller's samples), and a stage's length, stride and twiddles.
    int source, target;
    int length, stride;
    const float* twiddles;
};

// At most 15 stages (2^29 points in one lane), the cross-lane step, fold
// or split, the copy out, and done.
constexpr int fft_max_passes = 18;

// One lane width's constants; absent (width 0) when the width is unused.
struct fft_plan {
    int width = 0;
    int lane_length = 0;                    // M = n / width
    const float* stage_twiddles = nullptr;  // per stage, in execution order
    // w_n^(l*k1) for k1 = b*width + t is block_twiddles[b] * offset_twiddles[t]
    // (lane l of each): width re, then width im, per entry. Two small tables
    // instead of one of n points keep the constants in cache.
    const float* block_twiddles = nullptr;   // M / width entries: w_n^(l*b*width)
    const float* offset_twiddles = nullptr;  // width entries: w_n^(l*t)
    const float* cross_twiddles = nullptr;   // w_width^j, j < width/2: re, im pairs
    // Built once with the tables, so that a transform only reads them.
    fft_pass forward[fft_max_passes] = {};
    fft_pass inverse[fft_max_passes] = {};
};

constexpr int fft_plan_widths[] = {1, 4, 8, 16};
constexpr int fft_plan_count = 4;
constexpr unsigned fft_spec_magic = 0x54564654u;  // marks a live dsp_fft_spec

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
};

// Deliberately no inline functions here: this header is compiled into the
// units of every instruction set, and the linker would keep just one copy.

// The work area is aligned to this inside whatever the caller passes.
constexpr int fft_work_alignment = 64;
