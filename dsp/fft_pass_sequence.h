// The passes of a real transform (fft_plan.h) run in order, whole or a
// piece at a time.
#pragma once

#include "dsp/fft_kernels.h"

namespace {

// The work of one piece, in complex points times passes: a few
// microseconds. A piece may finish one pass and go on into the next, so a
// small transform is one piece whose passes find their data in cache.
constexpr int fft_piece_points = 8192;

// A transform of one sample has no plan: it only scales. Every list is
// fft_max_passes long, done after its last pass, so any pass index in range
// reads done once the transform is over.
constexpr fft_pass size_one_passes[fft_max_passes] = {{fft_pass_kind::size_one, 1, 1, 0, 0, 0, 0, nullptr}};

const fft_pass* passes_of(const fft_plan* plan, bool inverse) {
    if (plan == nullptr) return size_one_passes;
    return inverse ? plan->inverse : plan->forward;
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
        case fft_pass_kind::fold: return fold_spectrum<S>(buf, re[0], im[0], setup, pass.steps - 1, begin, end);
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
        case fft_pass_kind::split: return split_spectrum<S>(re[s], im[s], buf, setup, pass.steps - 1, begin, end);
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
    for (const fft_pass* pass = passes_of(plan, inverse); pass->kind != fft_pass_kind::done; ++pass)
        run_pass<S>(*pass, buf, setup, plan, work, inverse, 0, pass->steps);
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
int work_left(const fft_pass* pass, const dsp_fft_progress& progress) {
    int work = (pass->steps - progress.position) * pass->points_per_step;
    for (++pass; pass->kind != fft_pass_kind::done; ++pass) work += pass->steps * pass->points_per_step;
    return work;
}

// One piece from where progress stands: steps of work worth
// fft_piece_points, at least one, across passes; run(pass, begin, end) for
// each stretch of a pass. A rest of up to one piece more goes with it: a
// last piece would only come back to a work area gone cold (measured paced,
// this takes a third off the average at N = 8192, where each transform of
// 4096 points then runs whole).
template <class Run>
void take_piece(const fft_pass* passes, dsp_fft_progress& progress, Run&& run) {
    const fft_pass* pass = passes + progress.pass;
    for (int budget = fft_piece_points; pass->kind != fft_pass_kind::done;) {
        if (budget <= 0) {
            // Only here, once a piece is spent: small transforms end
            // within their first budget and never pay for the look ahead.
            const int rest = work_left(pass, progress);
            if (rest > fft_piece_points) return;
            budget = rest;
        }
        // Most stretches finish their pass; only a piece's last one divides.
        const int begin = progress.position, step = pass->points_per_step;
        const int end =
            (pass->steps - begin) * step <= budget ? pass->steps : begin + (budget >= 2 * step ? budget / step : 1);
        run(*pass, begin, end);
        budget -= (end - begin) * step;
        progress.position = end;
        if (end == pass->steps) {
            ++pass;
            ++progress.pass;
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
    const fft_pass* passes = passes_of(plan, inverse);
    if (progress.pieces_left < 0) {
        // The same cut as below, without the work.
        dsp_fft_progress ahead = progress;
        for (progress.pieces_left = 0; passes[ahead.pass].kind != fft_pass_kind::done; ++progress.pieces_left)
            take_piece(passes, ahead, [](const fft_pass&, int, int) {});
    }
    for (; pieces > 0 && passes[progress.pass].kind != fft_pass_kind::done; --pieces, --progress.pieces_left)
        take_piece(passes, progress, [&](const fft_pass& stretch, int begin, int end) {
            run_pass<S>(stretch, buf, setup, plan, work, inverse, begin, end);
        });
    return progress.pieces_left;
}

}  // namespace
