// The M/S engine against the stereo one, in the same run, at N = 8192:
//   mid-side-cpu     thread CPU per second of audio through the whole engine
//                    at 64-frame blocks delivered at the pace of a 48 kHz
//                    device, bands on the mid and the side against every band
//                    on the stereo signal.
//   mid-side-design  a design of the mid and the side FIRs from their own
//                    bands plus their load, against one FIR for both.
#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>
#include <random>
#include <string>
#include <utility>
#include <thread>
#include <vector>

#include "dsp/dsp.h"
#include "dsp/fir_cascaded_biquad.h"
#include "dsp/linear_phase_eq.h"
#include "dsp/partitioned_convolver.h"
#include "ratio_registry.h"

namespace {

constexpr int fir_length = 8192;
constexpr int host_block = 64;
constexpr int sample_rate = 48000;

double thread_cpu_seconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + 1e-9 * static_cast<double>(now.tv_nsec);
}

std::vector<float> noise(std::size_t length, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> value(-1.0f, 1.0f);
    std::vector<float> samples(length);
    for (float& s : samples) s = value(random);
    return samples;
}

// Three bands on; coded mid/side, one on each of Stereo, Mid and Side.
void set_bands(dsp::linear_phase_eq& eq, bool mid_side) {
    eq.set_band(0, {1.0f, 0.2f, 0.7f, 0.5f, 0.4f});
    eq.set_band(2, {1.0f, 0.5f, 0.3f, 0.6f, 0.9f});
    eq.set_band(4, {1.0f, 0.8f, 0.6f, 0.4f, 0.6f});
    if (!mid_side) return;
    eq.set_placement(2, dsp::place_mid);
    eq.set_placement(4, dsp::place_side);
}

void paced_engine(benchmark::State& state, bool mid_side) {
    dsp_init_dispatch();
    dsp::linear_phase_eq eq(
        0.5f, 1.0f, [](const std::string&, dsp::failure_stage) {},
        mid_side ? dsp::stereo_coding::mid_side : dsp::stereo_coding::left_right);
    eq.start(fir_length, host_block);
    eq.set_sample_rate(sample_rate);
    set_bands(eq, mid_side);
    eq.reset();
    const std::size_t length = sample_rate / 4;
    std::vector<float> in_l = noise(length, 1), in_r = noise(length, 2), out_l(length), out_r(length);
    const auto block_period = std::chrono::nanoseconds(1'000'000'000LL * host_block / sample_rate);
    for (auto _ : state) {
        double cpu = 0.0;
        auto deadline = std::chrono::steady_clock::now();
        for (std::size_t offset = 0; offset + host_block <= length; offset += host_block) {
            const float* in[] = {in_l.data() + offset, in_r.data() + offset};
            float* out[] = {out_l.data() + offset, out_r.data() + offset};
            const double start = thread_cpu_seconds();
            eq.process(in, out, host_block, dsp::render_mode::real_time);
            cpu += thread_cpu_seconds() - start;
            deadline += block_period;
            std::this_thread::sleep_until(deadline);
        }
        benchmark::DoNotOptimize(out_l[0]);
        // Per second of audio.
        state.SetIterationTime(cpu * sample_rate / static_cast<double>(length));
    }
}

void design(benchmark::State& state, bool two_firs) {
    dsp_init_dispatch();
    dsp::partitioned_convolver engine(2, fir_length);
    dsp::fir_cascaded_biquad fir(dsp::band_count, sample_rate, 2);
    fir.apply_band(0, {1.0f, 0.2f, 0.7f, 0.5f, 0.4f});
    fir.apply_band(2, {1.0f, 0.5f, 0.3f, 0.6f, 0.9f});
    fir.apply_band(4, {1.0f, 0.8f, 0.6f, 0.4f, 0.6f});
    fir.init_window_memory(fir_length);
    std::vector<float*> buffers;
    for (int ch = 0; ch < 2; ++ch) buffers.push_back(dsp_alloc_floats(fir_length));
    for (auto _ : state) {
        if (two_firs) {
            // Band 3 on the mid, band 5 on the side, band 1 on both.
            fir.design_fir_of_rows(buffers[0], fir_length, 0b00111);
            fir.design_fir_of_rows(buffers[1], fir_length, 0b11011);
        } else {
            fir.design_fir(buffers.data(), fir_length);
        }
        engine.load_response(buffers.data(), fir_length);
    }
    for (float* buffer : buffers) dsp_free(buffer);
}

const bool registered = [] {
    // Paced, a pass takes its quarter second of audio in real time: two per repetition.
    const std::string stereo = "mid_side/paced_stereo", coded = "mid_side/paced_mid_side";
    for (const auto& [name, mid_side] : {std::pair{stereo, false}, std::pair{coded, true}})
        benchmark::RegisterBenchmark(name.c_str(), paced_engine, mid_side)
            ->UseManualTime()
            ->Iterations(2)
            ->Unit(benchmark::kMillisecond);
    bench::add_ratio("mid-side-cpu", fir_length, coded + "/iterations:2/manual_time",
                     stereo + "/iterations:2/manual_time");

    const std::string one = "mid_side/design_one", two = "mid_side/design_two";
    benchmark::RegisterBenchmark(one.c_str(), design, false)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(two.c_str(), design, true)->Unit(benchmark::kMillisecond);
    bench::add_ratio("mid-side-design", fir_length, two, one);
    return true;
}();

}  // namespace
