// Creating a dsp_fft_spec: every twiddle table a transform of that size
// reads, for each lane width the processor can run.
#include <climits>
#include <cmath>
#include <new>

#include "dsp/dsp.h"
#include "dsp/fft_plan.h"

namespace {

// Bytes of work area a transform of N samples uses, before alignment: two
// sets of n = N/2 complex points, split into real and imaginary parts.
long long fft_work_bytes(int size) { return 8LL * size; }

constexpr double two_pi = 6.283185307179586476925286766559;
constexpr long long table_alignment = 16;  // floats: 64 bytes

long long aligned_floats(long long count) { return (count + table_alignment - 1) / table_alignment * table_alignment; }

bool width_runs_here(int width) {
    switch (width) {
        case 1: return true;
        case 4: return dsp_variant_supported(dsp_variant::sse2);
        case 8: return dsp_variant_supported(dsp_variant::avx2);
        case 16: return dsp_variant_supported(dsp_variant::avx512);
    }
    return false;
}

// A width is used when the n points fill at least a W x W block.
bool plan_wanted(int width, long long points) {
    return points >= 1 && points >= 1LL * width * width && width_runs_here(width);
}

long long stage_twiddle_floats(long long lane_length) { return 3 * lane_length; }
// One lane needs no twiddle step.
long long lane_twiddle_floats(int width, long long points) {
    return width > 1 ? aligned_floats(2 * points / width) + aligned_floats(2LL * width * width) : 0;
}

long long table_floats(long long points) {
    long long total = 2 * aligned_floats(points / 2 + 1);
    for (int width : fft_plan_widths) {
        if (!plan_wanted(width, points)) continue;
        total += aligned_floats(stage_twiddle_floats(points / width)) + lane_twiddle_floats(width, points) +
                 aligned_floats(width);
    }
    return total;
}

void unit_root(long long k, long long length, float* re, float* im) {
    const double angle = -two_pi * double(k) / double(length);
    *re = float(std::cos(angle));
    *im = float(std::sin(angle));
}

// Stage order and layout as the passes read them (fill_passes).
void fill_stage_twiddles(float* out, int lane_length) {
    int length = lane_length;
    int bits = 0;
    while ((1 << bits) < length) ++bits;
    if (bits % 2 == 1) {
        for (int p = 0; p < length / 2; ++p, out += 2) unit_root(p, length, out, out + 1);
        length /= 2;
    }
    for (; length >= 4; length /= 4) {
        for (int p = 0; p < length / 4; ++p, out += 6) {
            for (int m = 1; m <= 3; ++m) unit_root(1LL * m * p, length, out + 2 * (m - 1), out + 2 * m - 1);
        }
    }
}

// The split's and the fold's whole steps of W bins and their mirrors
// (fft_kernels.h); each pass takes one step more for the rest.
int mirror_steps(int points, int width) { return points / 2 >= 1 ? (points / 2 - 1) / width : 0; }

fft_pass pass_of(fft_pass_kind kind, int steps, int points_per_step) {
    return {kind, steps, points_per_step, 0, 0, 0, 0, nullptr};
}

// The passes in the order fft_pass_sequence.h runs them; stage twiddles as
// fill_stage_twiddles lays them out. The work area's two halves take turns,
// the inverse's fold filling half 0 first.
void fill_passes(fft_pass* passes, const fft_plan& plan, int points, bool inverse) {
    const int w = plan.width, lane_length = plan.lane_length, bits = __builtin_ctz(unsigned(lane_length));
    const int stages = lane_length == 1 ? 1 : bits % 2 + bits / 2;
    const int complex_passes = stages + (w > 1 ? 1 : 0);
    const int shift = inverse ? 1 : 0;
    int at = 0;
    if (inverse) passes[at++] = pass_of(fft_pass_kind::fold, mirror_steps(points, w) + 1, 2 * w);
    for (int index = 0; index < complex_passes; ++index) {
        fft_pass pass{};
        if (index == stages) {
            pass = pass_of(fft_pass_kind::cross_lane, lane_length / w, w * w);
        } else if (lane_length == 1) {
            pass = pass_of(fft_pass_kind::single_point, 1, 1);
        } else if (index == 0 && bits % 2 == 1) {
            pass = pass_of(fft_pass_kind::radix2, lane_length / 2, 2 * w);
            pass.length = lane_length;
            pass.stride = 1;
            pass.twiddles = plan.stage_twiddles;
        } else {
            // The radix-4 stages after the radix-2 one, if any: lengths
            // first, first / 4, ...; each takes 6 length / 4 twiddles, those
            // before this one 2 (first - length) in all.
            const int radix2_stages = bits % 2, first = lane_length >> radix2_stages;
            const int length = first >> (2 * (index - radix2_stages));
            pass = pass_of(fft_pass_kind::radix4, lane_length / 4, 4 * w);
            pass.length = length;
            pass.stride = lane_length / length;
            pass.twiddles = plan.stage_twiddles + radix2_stages * lane_length + 2 * (first - length);
        }
        pass.target = (index + shift) % 2;
        pass.source = !inverse && index == 0 ? -1 : (index + shift + 1) % 2;
        passes[at++] = pass;
    }
    fft_pass last = inverse ? pass_of(fft_pass_kind::scale_out, points / w, w)
                            : pass_of(fft_pass_kind::split, mirror_steps(points, w) + 1, 2 * w);
    last.source = (complex_passes - 1 + shift) % 2;
    passes[at++] = last;
    passes[at] = pass_of(fft_pass_kind::done, 0, 1);
}

void fill_plan(fft_plan& plan, int width, int points, float*& cursor) {
    plan.width = width;
    plan.lane_length = points / width;
    float* stage = cursor;
    fill_stage_twiddles(stage, plan.lane_length);
    cursor += aligned_floats(stage_twiddle_floats(plan.lane_length));
    float* blocks = cursor;
    float* offsets = cursor + aligned_floats(2LL * points / width);
    for (int b = 0; width > 1 && b < plan.lane_length / width; ++b) {
        for (int l = 0; l < width; ++l)
            unit_root(1LL * l * b * width, points, blocks + 2 * b * width + l, blocks + (2 * b + 1) * width + l);
    }
    for (int t = 0; width > 1 && t < width; ++t) {
        for (int l = 0; l < width; ++l)
            unit_root(1LL * l * t, points, offsets + 2 * t * width + l, offsets + (2 * t + 1) * width + l);
    }
    cursor += lane_twiddle_floats(width, points);
    float* cross = cursor;
    for (int j = 0; j < width / 2; ++j) unit_root(j, width, cross + 2 * j, cross + 2 * j + 1);
    cursor += aligned_floats(width);
    plan.stage_twiddles = stage;
    plan.block_twiddles = blocks;
    plan.offset_twiddles = offsets;
    plan.cross_twiddles = cross;
    fill_passes(plan.forward, plan, points, false);
    fill_passes(plan.inverse, plan, points, true);
}

}  // namespace

int dsp_fft_spec_create(dsp_fft_spec** spec, int order, int flag, int /*hint*/) {
    if (spec == nullptr) return dsp_err_null;
    if (order < 0 || order > 30) return dsp_err_fft_order;
    if (flag != DSP_FFT_DIV_FWD_BY_N && flag != DSP_FFT_DIV_INV_BY_N && flag != DSP_FFT_DIV_BY_SQRTN &&
        flag != DSP_FFT_NODIV_BY_ANY)
        return dsp_err_fft_flag;
    const int size = 1 << order;
    const long long points = size / 2;
    // Sizes whose work area an int cannot report are refused up front.
    const long long floats = table_floats(points);
    if (fft_work_bytes(size) + fft_work_alignment > INT_MAX || floats * 4 > INT_MAX) return dsp_err_memory;

    auto* s = new (std::nothrow) dsp_fft_spec{};
    if (s == nullptr) return dsp_err_memory;
    float* tables = static_cast<float*>(dsp_alloc_aligned(std::size_t(floats) * sizeof(float), 64));
    if (tables == nullptr) {
        delete s;
        return dsp_err_memory;
    }
    s->order = order;
    s->size = size;
    const double n = size;
    s->forward_scale = flag == DSP_FFT_DIV_FWD_BY_N   ? float(1.0 / n)
                       : flag == DSP_FFT_DIV_BY_SQRTN ? float(1.0 / std::sqrt(n))
                                                      : 1.0f;
    s->inverse_scale = flag == DSP_FFT_DIV_INV_BY_N   ? float(1.0 / n)
                       : flag == DSP_FFT_DIV_BY_SQRTN ? float(1.0 / std::sqrt(n))
                                                      : 1.0f;
    s->tables = tables;

    float* cursor = tables;
    const long long bins = points / 2 + 1;
    float* re = cursor;
    float* im = cursor + aligned_floats(bins);
    for (long long k = 0; k < bins; ++k) unit_root(k, size, re + k, im + k);
    s->real_twiddles_re = re;
    s->real_twiddles_im = im;
    cursor += 2 * aligned_floats(bins);
    int slot = 0;
    for (int width : fft_plan_widths) {
        if (plan_wanted(width, points)) fill_plan(s->plans[slot++], width, int(points), cursor);
    }
    s->magic = fft_spec_magic;
    *spec = s;
    return dsp_ok;
}

int dsp_fft_work_size(const dsp_fft_spec* spec, int* size_bytes) {
    if (spec == nullptr || size_bytes == nullptr) return dsp_err_null;
    if (spec->magic != fft_spec_magic) return dsp_err_context;
    // Includes the slack for aligning whatever pointer the caller passes.
    *size_bytes = int(fft_work_bytes(spec->size) + fft_work_alignment);
    return dsp_ok;
}

int dsp_fft_spec_free(dsp_fft_spec* spec) {
    if (spec == nullptr) return dsp_err_null;
    if (spec->magic != fft_spec_magic) return dsp_err_context;
    spec->magic = 0;
    dsp_free(spec->tables);
    delete spec;
    return dsp_ok;
}
