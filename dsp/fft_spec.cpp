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

// Stage order and layout as complex_transform reads them.
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
