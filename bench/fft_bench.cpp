// One forward and one inverse real transform per iteration, ours against
// FFTW3f (FFTW_MEASURE, out-of-place r2c + c2r), sizes 2^8 to 2^17 (2^8 is
// the engine's transform at N = 512).
#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <map>
#include <random>
#include <string>

#include "dsp/dsp.h"
#include "ratio_registry.h"

namespace {

constexpr int first_order = 8, last_order = 17;

struct fftw_pair {
    float* in;
    fftwf_complex* spectrum;
    float* out;
    fftwf_plan forward, inverse;
};

// Plans are measured once per size and kept for the whole run.
fftw_pair& fftw_for(int n) {
    static std::map<int, fftw_pair> pairs;
    auto found = pairs.find(n);
    if (found != pairs.end()) return found->second;
    fftw_pair p;
    p.in = fftwf_alloc_real(std::size_t(n));
    p.out = fftwf_alloc_real(std::size_t(n));
    p.spectrum = fftwf_alloc_complex(std::size_t(n / 2 + 1));
    p.forward = fftwf_plan_dft_r2c_1d(n, p.in, p.spectrum, FFTW_MEASURE);
    p.inverse = fftwf_plan_dft_c2r_1d(n, p.spectrum, p.out, FFTW_MEASURE);
    std::mt19937 gen(1);
    std::uniform_real_distribution<float> dist(-1.0f, 1.0f);
    for (int k = 0; k < n; ++k) p.in[k] = dist(gen);
    return pairs.emplace(n, p).first->second;
}

void fftw_round_trip(benchmark::State& state, int order) {
    fftw_pair& p = fftw_for(1 << order);
    for (auto _ : state) {
        fftwf_execute(p.forward);
        fftwf_execute(p.inverse);  // into a separate buffer: the input stays as it was
        benchmark::DoNotOptimize(p.out[0]);
    }
}

void ours_round_trip(benchmark::State& state, int order, dsp_variant variant) {
    const dsp_variant before = dsp_active_variant();
    if (!dsp_select_variant(variant)) {
        state.SkipWithError("variant set not supported");
        return;
    }
    const int n = 1 << order;
    dsp_fft_spec* spec = nullptr;
    int bytes = 0;
    dsp_fft_spec_create(&spec, order, DSP_FFT_DIV_INV_BY_N, 0);
    dsp_fft_work_size(spec, &bytes);
    void* work = dsp_alloc_aligned(std::size_t(bytes), 128);
    float* buf = dsp_alloc_floats(n + 2);
    std::mt19937 gen(1);
    std::uniform_real_distribution<float> dist(-1.0f, 1.0f);
    for (int k = 0; k < n; ++k) buf[k] = dist(gen);
    for (auto _ : state) {
        dsp_fft_forward_ccs_inplace(buf, spec, work);
        dsp_fft_inverse_ccs_inplace(buf, spec, work);  // scaled by 1/N: the data stays bounded
        benchmark::DoNotOptimize(buf[0]);
    }
    dsp_free(buf);
    dsp_free(work);
    dsp_fft_spec_free(spec);
    dsp_select_variant(before);
}

std::string fft_name(const std::string& family, int order) { return family + "/" + std::to_string(1 << order); }

const bool registered = [] {
    dsp_init_dispatch();
    const dsp_variant best = dsp_active_variant();
    dsp_select_variant(dsp_variant::none);
    for (int order = first_order; order <= last_order; ++order) {
        const long size = 1L << order;
        const std::string anchor = fft_name("fft/fftw", order), ours = fft_name("fft/ours", order);
        benchmark::RegisterBenchmark(anchor.c_str(), fftw_round_trip, order);
        benchmark::RegisterBenchmark(ours.c_str(), ours_round_trip, order, best);
        bench::add_ratio("fft", size, ours, anchor);
        bench::add_absolute("fft-ns", size, ours, 1.0);
        bench::add_absolute("fftw-ns", size, anchor, 1.0);
        for (dsp_variant v :
             {dsp_variant::none, dsp_variant::sse2, dsp_variant::sse3, dsp_variant::avx2, dsp_variant::avx512}) {
            if (v == best || !dsp_variant_supported(v)) continue;
            const std::string family = std::string("fft-") + dsp_variant_name(v), name = fft_name(family, order);
            benchmark::RegisterBenchmark(name.c_str(), ours_round_trip, order, v);
            bench::add_ratio(family, size, name, anchor);
        }
    }
    return true;
}();

}  // namespace
