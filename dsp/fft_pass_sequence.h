// The passes of a real transform in order, run whole or a piece at a time.
//
// Forward: the complex passes (the radix-2 and radix-4 stages, or a single
// point's copy, then the cross-lane step of a wide set) and the split into
// bins. Inverse: the fold into complex points, the complex passes and the
// scaled copy out. Each pass is a number of steps of equal work, so a piece
// of a transform is a range of steps, and the whole transform is every pass
// run from its first step to its last.
#pragma once

#include "dsp/fft_kernels.h"

namespace {

// The work of one piece, in complex points times passes: a few
// microseconds. A piece may finish one pass and go on into the next, so a
// small transform is one piece whose passes find their data in cache.
constexpr int fft_piece_points = 8192;

enum class fft_pass_kind { done, size_one, fold, single_point, radix2, radix4, cross_lane, split, scale_out };

struct fft_pass {
    fft_pass(fft_pass_kind k = fft_pass_kind::done, int step_count = 0, int points = 1)
        : kind(k), steps(step_count), points_per_step(points) {}

    fft_pass_kind kind;
    int steps;
    int points_per_step;
    // The halves of the work area a pass reads and writes (source -1: the
    // caller's samples), and a stage's length, stride and twiddles.
    int source = 0, target = 0;
    int length = 0, stride = 0;
    const float* twiddles = nullptr;
};

// Pass `index` of the transform with this set's plan; kind done past the last.
template <class S>
fft_pass fft_pass_at(const dsp_fft_spec& setup, const fft_plan* plan, bool inverse, int index) {
    constexpr int w = S::width;
    fft_pass pass;
    if (setup.size == 1) {
        if (index == 0) pass = fft_pass(fft_pass_kind::size_one, 1);
        return pass;
    }
    const int n = setup.size / 2, lane_length = plan->lane_length, bits = __builtin_ctz(unsigned(lane_length));
    const int stages = lane_length == 1 ? 1 : bits % 2 + bits / 2;
    const int complex_passes = stages + (w > 1 ? 1 : 0);
    const int shift = inverse ? 1 : 0;  // the inverse's fold fills half 0 first
    if (inverse && index == 0) return fft_pass(fft_pass_kind::fold, mirror_steps<S>(n) + 1, 2 * w);
    index -= shift;
    if (index == complex_passes) {
        pass = inverse ? fft_pass(fft_pass_kind::scale_out, n / w, w)
                       : fft_pass(fft_pass_kind::split, mirror_steps<S>(n) + 1, 2 * w);
        pass.source = (complex_passes - 1 + shift) % 2;
        return pass;
    }
    if (index > complex_passes) return pass;
    if (index == stages) {
        pass = fft_pass(fft_pass_kind::cross_lane, lane_length / w, w * w);
    } else if (lane_length == 1) {
        pass = fft_pass(fft_pass_kind::single_point, 1);
    } else if (index == 0 && bits % 2 == 1) {
        pass = fft_pass(fft_pass_kind::radix2, lane_length / 2, 2 * w);
        pass.length = lane_length;
        pass.stride = 1;
        pass.twiddles = plan->stage_twiddles;
    } else {
        // The radix-4 stages after the radix-2 one, if any: lengths first,
        // first / 4, ...; each takes 6 length / 4 twiddles (as fft_spec.cpp
        // lays them out), those before this one 2 (first - length) in all.
        const int radix2_stages = bits % 2, first = lane_length >> radix2_stages;
        const int length = first >> (2 * (index - radix2_stages));
        pass = fft_pass(fft_pass_kind::radix4, lane_length / 4, 4 * w);
        pass.length = length;
        pass.stride = lane_length / length;
        pass.twiddles = plan->stage_twiddles + radix2_stages * lane_length + 2 * (first - length);
    }
    pass.target = (index + shift) % 2;
    pass.source = !inverse && index == 0 ? -1 : (index + shift + 1) % 2;
    return pass;
}

// Steps begin to end of one pass; work holds two halves of n complex points
// (n real parts, then n imaginary parts, each).
template <class S>
void run_pass(const fft_pass& pass, float* buf, const dsp_fft_spec& setup, const fft_plan* plan, float* work,
              bool inverse, int begin, int end) {
    const int n = setup.size / 2;
    float* const re[2] = {work, work + 2 * n};
    float* const im[2] = {work + n, work + 3 * n};
    const int s = pass.source < 0 ? 0 : pass.source, t = pass.target;
    const split_input<S> split{re[s], im[s]};
    const interleaved_input<S> samples{buf};
    const butterfly_range range{begin, end};
    switch (pass.kind) {
        case fft_pass_kind::done: return;
        case fft_pass_kind::size_one:
            buf[0] *= inverse ? setup.inverse_scale : setup.forward_scale;
            if (!inverse) buf[1] = buf[2] = 0.0f;
            return;
        case fft_pass_kind::fold: return fold_spectrum<S>(buf, re[0], im[0], setup, begin, end);
        case fft_pass_kind::single_point: {
            typename S::v r, i;
            if (pass.source < 0) {
                samples.load(0, r, i);
            } else {
                split.load(0, r, i);
            }
            S::store(re[t], r);
            S::store(im[t], i);
            return;
        }
        case fft_pass_kind::radix2:
            if (pass.source < 0)
                return radix2_stage<S>(samples, re[t], im[t], pass.length, pass.stride, pass.twiddles, range);
            return radix2_stage<S>(split, re[t], im[t], pass.length, pass.stride, pass.twiddles, range);
        case fft_pass_kind::radix4:
            if (pass.source < 0)
                return radix4_stage<S>(samples, re[t], im[t], pass.length, pass.stride, pass.twiddles, range);
            return radix4_stage<S>(split, re[t], im[t], pass.length, pass.stride, pass.twiddles, range);
        case fft_pass_kind::cross_lane:
            if constexpr (S::width > 1) cross_lane_step<S>(re[s], im[s], re[t], im[t], *plan, begin, end);
            return;
        case fft_pass_kind::split: return split_spectrum<S>(re[s], im[s], buf, setup, begin, end);
        case fft_pass_kind::scale_out: return scale_out<S>(re[s], im[s], buf, setup.inverse_scale, begin, end);
    }
}

// The plan this set uses, or none when the transform is too small for its
// lanes and goes to the next narrower set.
template <class S>
const fft_plan* own_plan(const dsp_fft_spec& setup) {
    return setup.size == 1 ? nullptr : plan_for_width(setup, S::width);
}

template <class S>
void fft_whole(float* buf, const dsp_fft_spec& setup, float* work, bool inverse) {
    const fft_plan* plan = own_plan<S>(setup);
    if constexpr (S::width > 1) {
        if (plan == nullptr) return fft_whole<typename S::narrower>(buf, setup, work, inverse);
    }
    for (int index = 0;; ++index) {
        const fft_pass pass = fft_pass_at<S>(setup, plan, inverse, index);
        if (pass.kind == fft_pass_kind::done) return;
        run_pass<S>(pass, buf, setup, plan, work, inverse, 0, pass.steps);
    }
}

template <class S>
void fft_forward(float* buf, const dsp_fft_spec& setup, float* work) {
    fft_whole<S>(buf, setup, work, false);
}

template <class S>
void fft_inverse(float* buf, const dsp_fft_spec& setup, float* work) {
    fft_whole<S>(buf, setup, work, true);
}

// The work from where progress stands to the end of the transform.
template <class S>
int work_left(const dsp_fft_spec& setup, const fft_plan* plan, bool inverse, const fft_pass& pass,
              const dsp_fft_progress& progress) {
    int work = (pass.steps - progress.position) * pass.points_per_step;
    for (int index = progress.pass + 1;; ++index) {
        const fft_pass next = fft_pass_at<S>(setup, plan, inverse, index);
        if (next.kind == fft_pass_kind::done) return work;
        work += next.steps * next.points_per_step;
    }
}

// One piece from where progress stands: steps of work worth
// fft_piece_points, at least one, across passes; run(pass, begin, end) for
// each stretch of a pass. A rest of up to one piece more goes with it: a
// last piece would only come back to a work area gone cold (measured paced,
// this takes a third off the average at N = 8192, where each transform of
// 4096 points then runs whole).
template <class S, class Run>
void take_piece(const dsp_fft_spec& setup, const fft_plan* plan, bool inverse, fft_pass& pass,
                dsp_fft_progress& progress, Run&& run) {
    for (int budget = fft_piece_points; pass.kind != fft_pass_kind::done;) {
        if (budget <= 0) {
            // Only here, once a piece is spent: small transforms end
            // within their first budget and never pay for the look ahead.
            const int rest = work_left<S>(setup, plan, inverse, pass, progress);
            if (rest > fft_piece_points) return;
            budget = rest;
        }
        // Most stretches finish their pass; only a piece's last one divides.
        const int begin = progress.position, step = pass.points_per_step;
        const int end =
            (pass.steps - begin) * step <= budget ? pass.steps : begin + (budget >= 2 * step ? budget / step : 1);
        run(pass, begin, end);
        budget -= (end - begin) * step;
        progress.position = end;
        if (end == pass.steps) {
            pass = fft_pass_at<S>(setup, plan, inverse, ++progress.pass);
            progress.position = 0;
        }
    }
}

// Up to `pieces` more pieces of the transform that progress describes;
// answers how many are still to do.
template <class S>
int fft_resume(float* buf, const dsp_fft_spec& setup, float* work, dsp_fft_progress& progress, int pieces) {
    const fft_plan* plan = own_plan<S>(setup);
    if constexpr (S::width > 1) {
        if (plan == nullptr) return fft_resume<typename S::narrower>(buf, setup, work, progress, pieces);
    }
    const bool inverse = progress.direction == DSP_FFT_INVERSE;
    fft_pass pass = fft_pass_at<S>(setup, plan, inverse, progress.pass);
    if (progress.pieces_left < 0) {
        // The same cut as below, without the work.
        dsp_fft_progress ahead = progress;
        fft_pass next = pass;
        for (progress.pieces_left = 0; next.kind != fft_pass_kind::done; ++progress.pieces_left)
            take_piece<S>(setup, plan, inverse, next, ahead, [](const fft_pass&, int, int) {});
    }
    for (; pieces > 0 && pass.kind != fft_pass_kind::done; --pieces, --progress.pieces_left)
        take_piece<S>(setup, plan, inverse, pass, progress, [&](const fft_pass& stretch, int begin, int end) {
            run_pass<S>(stretch, buf, setup, plan, work, inverse, begin, end);
        });
    return progress.pieces_left;
}

}  // namespace
