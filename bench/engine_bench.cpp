// The convolution engine against its anchors, stereo, FIR lengths 512 to
// 65536:
//   engine       CPU per second of audio at host block 512, against the
//                FFT-bound: per L samples and channel one FFTW3f r2c and one
//                c2r of 2L and two complex multiply-accumulates (what a
//                convolver of two partitions of L must do at least).
//   engine-64    the same at host block 64, where each call does a small
//                share of a block's work.
//   engine-zita  the same second of audio through zita-convolver with
//                partitions of L (it accepts L up to 8192 only).
//   spike        the longest single convolve at 64-frame blocks against the
//                FFT-bound cost of one stereo block.
//   spike-share-64, spike-share-32
//                that longest call in % of the host block's deadline at
//                48 kHz, at 64 and at 32 frames (warm: a lower bound for a
//                host that sleeps between calls).
//   design       milliseconds of a FIR synthesis plus its load.
//   mid-side-cpu at N = 8192, thread CPU of the whole M/S engine at 64-frame
//                blocks delivered at the pace of a 48 kHz device, bands on
//                the mid and the side, against the stereo engine's.
//   mid-side-design
//                at N = 8192, a design of the mid and the side FIRs from
//                their own bands plus their load, against one FIR for both.
#include <benchmark/benchmark.h>

#include <chrono>
#include <fftw3.h>
#include <sched.h>
#include <zita-convolver.h>

#include <algorithm>
#include <ctime>
#include <thread>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "dsp/dsp.h"
#include "dsp/fir_cascaded_biquad.h"
#include "dsp/linear_phase_eq.h"
#include "dsp/partitioned_convolver.h"
#include "ratio_registry.h"

using namespace dsp;

namespace {

constexpr int channels = 2;
constexpr int host_block = 512;
constexpr int small_host_block = 64;
constexpr int smallest_host_block = 32;
constexpr int sample_rate = 48000;
constexpr int zita_max_partition = 8192;

std::vector<float> noise(std::size_t length, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> value(-1.0f, 1.0f);
    std::vector<float> samples(length);
    for (float& s : samples) s = value(random);
    return samples;
}

// One second of audio, rounded up to whole engine blocks so that every
// iteration does the same work.
int second_in_blocks(int block_length) { return (sample_rate + block_length - 1) / block_length; }

double thread_cpu_seconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + 1e-9 * static_cast<double>(now.tv_nsec);
}

// Stereo signals and the pointer arrays the engine takes.
struct stereo {
    std::vector<std::vector<float>> samples;
    std::vector<float*> pointers;

    stereo(std::size_t length, unsigned seed) {
        for (int ch = 0; ch < channels; ++ch) samples.push_back(noise(length, seed + static_cast<unsigned>(ch)));
        for (auto& channel : samples) pointers.push_back(channel.data());
    }
    float* const* at(std::size_t offset) {
        for (int ch = 0; ch < channels; ++ch) pointers[ch] = samples[ch].data() + offset;
        return pointers.data();
    }
};

// The anchor's work for one stereo block: FFTW_MEASURE plans of size 2L, out
// of place from a fixed input, so the data stays as it was. Each channel has
// its own response partitions and previous spectrum, as any stereo
// convolver must; the transform buffers are shared.
class fft_bound {
public:
    explicit fft_bound(int block_length)
        : fft_size_(2 * block_length),
          complex_count_(block_length + 1),
          input_(fftwf_alloc_real(static_cast<std::size_t>(fft_size_))),
          output_(fftwf_alloc_real(static_cast<std::size_t>(fft_size_))),
          spectrum_(fftwf_alloc_complex(static_cast<std::size_t>(complex_count_))),
          sum_(fftwf_alloc_complex(static_cast<std::size_t>(complex_count_))),
          forward_(fftwf_plan_dft_r2c_1d(fft_size_, input_, spectrum_, FFTW_MEASURE)),
          inverse_(fftwf_plan_dft_c2r_1d(fft_size_, sum_, output_, FFTW_MEASURE)) {
        unsigned seed = 4;
        for (int ch = 0; ch < channels; ++ch)
            for (auto* spectrum : {&previous_[ch], &partitions_[ch][0], &partitions_[ch][1]})
                *spectrum = noise(static_cast<std::size_t>(2 * complex_count_), seed++);
        const std::vector<float> samples = noise(static_cast<std::size_t>(fft_size_), 7);
        std::copy(samples.begin(), samples.end(), input_);
    }
    ~fft_bound() {
        fftwf_destroy_plan(forward_);
        fftwf_destroy_plan(inverse_);
        fftwf_free(input_);
        fftwf_free(output_);
        fftwf_free(spectrum_);
        fftwf_free(sum_);
    }
    fft_bound(const fft_bound&) = delete;
    fft_bound& operator=(const fft_bound&) = delete;

    void stereo_block() {
        auto* spectrum = reinterpret_cast<const float*>(spectrum_);
        auto* sum = reinterpret_cast<float*>(sum_);
        for (int ch = 0; ch < channels; ++ch) {
            fftwf_execute(forward_);
            const float* spectra[2] = {spectrum, previous_[ch].data()};
            const float* partitions[2] = {partitions_[ch][0].data(), partitions_[ch][1].data()};
            dsp_complex_mul_sum(spectra, partitions, 2, sum, complex_count_);
            fftwf_execute(inverse_);
            benchmark::DoNotOptimize(output_[0]);
        }
    }

private:
    int fft_size_;
    int complex_count_;
    float* input_;
    float* output_;
    fftwf_complex* spectrum_;
    fftwf_complex* sum_;  // c2r overwrites it, so it is rebuilt every block
    fftwf_plan forward_, inverse_;
    std::vector<float> previous_[channels];  // the previous block's spectrum
    std::vector<float> partitions_[channels][2];
};

std::unique_ptr<partitioned_convolver> loaded_engine(int fir_length) {
    dsp_init_dispatch();
    auto engine = std::make_unique<partitioned_convolver>(channels, fir_length);
    stereo fir(static_cast<std::size_t>(fir_length), 3);
    engine->load_response(fir.pointers.data(), fir_length);
    return engine;
}

void engine_ours(benchmark::State& state, int fir_length, int block) {
    auto engine = loaded_engine(fir_length);
    const auto length = static_cast<std::size_t>(second_in_blocks(engine->block_length()) * engine->block_length());
    stereo input(length, 1), output(length, 2);
    for (auto _ : state) {
        for (std::size_t offset = 0; offset < length; offset += block)
            engine->convolve(input.at(offset), output.at(offset),
                             static_cast<int>(std::min<std::size_t>(block, length - offset)));
        benchmark::DoNotOptimize(output.samples[0][0]);
    }
}

void engine_fft_bound(benchmark::State& state, int fir_length) {
    dsp_init_dispatch();
    fft_bound bound(fir_length / 2);
    const int blocks = second_in_blocks(fir_length / 2);
    for (auto _ : state)
        for (int b = 0; b < blocks; ++b) bound.stereo_block();
}

void engine_zita(benchmark::State& state, int fir_length) {
    const int block = fir_length / 2;
    Convproc convolver;
    if (convolver.configure(channels, channels, static_cast<uint32_t>(fir_length), static_cast<uint32_t>(block),
                            static_cast<uint32_t>(block), static_cast<uint32_t>(block), 0.5f) != 0) {
        state.SkipWithError("zita-convolver refused the configuration");
        return;
    }
    stereo fir(static_cast<std::size_t>(fir_length), 3);
    for (int ch = 0; ch < channels; ++ch)
        convolver.impdata_create(static_cast<uint32_t>(ch), static_cast<uint32_t>(ch), 1, fir.pointers[ch], 0,
                                 fir_length);
    convolver.start_process(0, SCHED_OTHER);
    const int blocks = second_in_blocks(block);
    stereo input(static_cast<std::size_t>(blocks * block), 1), output(static_cast<std::size_t>(blocks * block), 2);
    for (auto _ : state) {
        for (int b = 0; b < blocks; ++b) {
            const auto offset = static_cast<std::size_t>(b * block);
            for (int ch = 0; ch < channels; ++ch)
                std::copy_n(input.samples[ch].data() + offset, block, convolver.inpdata(static_cast<uint32_t>(ch)));
            convolver.process();
            for (int ch = 0; ch < channels; ++ch)
                std::copy_n(convolver.outdata(static_cast<uint32_t>(ch)), block, output.samples[ch].data() + offset);
        }
        benchmark::DoNotOptimize(output.samples[0][0]);
    }
    convolver.stop_process();
    convolver.cleanup();
}

// Thread CPU time, so that the other processes on a shared machine do not
// count as spikes.
void spike_ours(benchmark::State& state, int fir_length, int block) {
    auto engine = loaded_engine(fir_length);
    // Two blocks' jobs, whatever the host block.
    const auto length = static_cast<std::size_t>(std::max(2 * engine->block_length(), block));
    stereo input(length, 1), output(length, 2);
    for (auto _ : state) {
        double longest = 0.0;
        for (std::size_t offset = 0; offset + block <= length; offset += block) {
            const double start = thread_cpu_seconds();
            engine->convolve(input.at(offset), output.at(offset), block);
            longest = std::max(longest, thread_cpu_seconds() - start);
        }
        state.SetIterationTime(longest);
    }
}

void spike_fft_bound(benchmark::State& state, int fir_length) {
    dsp_init_dispatch();
    fft_bound bound(fir_length / 2);
    for (auto _ : state) {
        const double start = thread_cpu_seconds();
        bound.stereo_block();
        state.SetIterationTime(thread_cpu_seconds() - start);
    }
}

void design(benchmark::State& state, int fir_length) {
    auto engine = loaded_engine(fir_length);
    fir_cascaded_biquad fir(5, sample_rate, channels);
    fir.apply_band(0, {1.0f, 0.2f, 0.7f, 0.5f, 0.4f});
    fir.apply_band(2, {1.0f, 0.5f, 0.3f, 0.6f, 0.9f});
    fir.apply_band(4, {1.0f, 0.8f, 0.6f, 0.4f, 0.6f});
    fir.init_window_memory(fir_length);
    std::vector<float*> buffers;
    for (int ch = 0; ch < channels; ++ch) buffers.push_back(dsp_alloc_floats(fir_length));
    for (auto _ : state) {
        fir.design_fir(buffers.data(), fir_length);
        engine->load_response(buffers.data(), fir_length);
    }
    for (float* buffer : buffers) dsp_free(buffer);
}

// One offline engine block (L samples) through the whole equaliser engine,
// with a band change before it (so the block designs and loads) or without.
void offline_block(benchmark::State& state, int fir_length, bool redesigns) {
    dsp_init_dispatch();
    dsp::linear_phase_eq eq(0.5f, 1.0f, [](const std::string&, dsp::failure_stage) {});
    eq.start(fir_length, fir_length / 2);
    const int n = fir_length / 2;
    std::vector<float> in_l(n, 0.1f), in_r(n, 0.1f), out_l(n), out_r(n);
    const float* in[] = {in_l.data(), in_r.data()};
    float* out[] = {out_l.data(), out_r.data()};
    float gain = 0.6f;
    for (auto _ : state) {
        if (redesigns) eq.set_band(2, {1.0f, 0.5f, gain, 0.6f, 0.0f});
        gain = gain == 0.6f ? 0.7f : 0.6f;
        const auto start = std::chrono::steady_clock::now();
        eq.process(in, out, n, dsp::render_mode::offline);
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
}

// Three bands on; coded mid/side, one on each of Stereo, Mid and Side.
constexpr int mid_side_fir_length = 8192;
const band_values bench_bands[3] = {
    {1.0f, 0.2f, 0.7f, 0.5f, 0.4f}, {1.0f, 0.5f, 0.3f, 0.6f, 0.9f}, {1.0f, 0.8f, 0.6f, 0.4f, 0.6f}};

void paced_engine(benchmark::State& state, stereo_coding coding) {
    dsp_init_dispatch();
    linear_phase_eq eq(
        0.5f, 1.0f, [](const std::string&, failure_stage) {}, coding);
    eq.start(mid_side_fir_length, small_host_block);
    eq.set_sample_rate(sample_rate);
    for (int i = 0; i < 3; ++i) eq.set_band(2 * i, bench_bands[i]);
    eq.set_placement(2, place_mid);
    eq.set_placement(4, place_side);
    eq.reset();
    const std::size_t length = sample_rate / 4;
    stereo input(length, 1), output(length, 2);
    const auto block_period = std::chrono::nanoseconds(1'000'000'000LL * small_host_block / sample_rate);
    for (auto _ : state) {
        double cpu = 0.0;
        auto deadline = std::chrono::steady_clock::now();
        for (std::size_t offset = 0; offset + small_host_block <= length; offset += small_host_block) {
            const double start = thread_cpu_seconds();
            eq.process(input.at(offset), output.at(offset), small_host_block, render_mode::real_time);
            cpu += thread_cpu_seconds() - start;
            deadline += block_period;
            std::this_thread::sleep_until(deadline);
        }
        benchmark::DoNotOptimize(output.samples[0][0]);
        // Per second of audio.
        state.SetIterationTime(cpu * sample_rate / static_cast<double>(length));
    }
}

void mid_side_design(benchmark::State& state, bool two_firs) {
    auto engine = loaded_engine(mid_side_fir_length);
    fir_cascaded_biquad fir(band_count, sample_rate, channels);
    for (int i = 0; i < 3; ++i) fir.apply_band(2 * i, bench_bands[i]);
    fir.init_window_memory(mid_side_fir_length);
    std::vector<float*> buffers;
    for (int ch = 0; ch < channels; ++ch) buffers.push_back(dsp_alloc_floats(mid_side_fir_length));
    for (auto _ : state) {
        if (two_firs) {
            // Band 3 on the mid, band 5 on the side, band 1 on both.
            fir.design_fir_of_rows(buffers[0], mid_side_fir_length, 0b00111);
            fir.design_fir_of_rows(buffers[1], mid_side_fir_length, 0b11011);
        } else {
            fir.design_fir(buffers.data(), mid_side_fir_length);
        }
        engine->load_response(buffers.data(), mid_side_fir_length);
    }
    for (float* buffer : buffers) dsp_free(buffer);
}

std::string name_of(const std::string& family, int fir_length) { return family + "/" + std::to_string(fir_length); }

const bool registered = [] {
    const std::vector<int> lengths = bench::quick_mode()
                                         ? std::vector<int>{512, 8192, 65536}
                                         : std::vector<int>{512, 1024, 2048, 4096, 8192, 16384, 32768, 65536};
    for (int n : lengths) {
        const std::string ours = name_of("engine/ours", n), bound = name_of("engine/fft_bound", n);
        const std::string ours_small = name_of("engine/ours_64", n);
        benchmark::RegisterBenchmark(ours.c_str(), engine_ours, n, host_block)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(ours_small.c_str(), engine_ours, n, small_host_block)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(bound.c_str(), engine_fft_bound, n)->Unit(benchmark::kMillisecond);
        bench::add_ratio("engine", n, ours, bound);
        bench::add_ratio("engine-64", n, ours_small, bound);
        if (n / 2 <= zita_max_partition) {
            const std::string zita = name_of("engine/zita", n);
            benchmark::RegisterBenchmark(zita.c_str(), engine_zita, n)->Unit(benchmark::kMillisecond);
            bench::add_ratio("engine-zita", n, ours, zita);
        }

        // Manual time is what the spike benchmarks report.
        const std::string spike = name_of("spike/ours", n), spike_bound = name_of("spike/fft_bound", n);
        const std::string spike_smallest = name_of("spike/ours_32", n);
        benchmark::RegisterBenchmark(spike.c_str(), spike_ours, n, small_host_block)
            ->UseManualTime()
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(spike_smallest.c_str(), spike_ours, n, smallest_host_block)
            ->UseManualTime()
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(spike_bound.c_str(), spike_fft_bound, n)
            ->UseManualTime()
            ->Unit(benchmark::kMicrosecond);
        bench::add_ratio("spike", n, spike + "/manual_time", spike_bound + "/manual_time");
        // Nanoseconds to % of the block's deadline.
        bench::add_absolute("spike-share-64", n, spike + "/manual_time", 100.0 * sample_rate / 1e9 / small_host_block);
        bench::add_absolute("spike-share-32", n, spike_smallest + "/manual_time",
                            100.0 * sample_rate / 1e9 / smallest_host_block);

        const std::string redesign = name_of("design/ours", n);
        benchmark::RegisterBenchmark(redesign.c_str(), design, n)->Unit(benchmark::kMillisecond);
        bench::add_absolute("design", n, redesign, 1e-6);

        const std::string plain = name_of("offline_block/plain", n), designing = name_of("offline_block/designs", n);
        benchmark::RegisterBenchmark(plain.c_str(), offline_block, n, false)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(designing.c_str(), offline_block, n, true)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
        bench::add_absolute("offline-block-ms", n, plain + "/manual_time", 1e-6);
        bench::add_absolute("offline-block-designing-ms", n, designing + "/manual_time", 1e-6);
    }

    // Paced, a pass takes its quarter second of audio in real time: two per repetition.
    const std::string paced = name_of("mid_side/paced_stereo", mid_side_fir_length),
                      coded = name_of("mid_side/paced_mid_side", mid_side_fir_length);
    for (const auto& [name, coding] :
         {std::pair{paced, stereo_coding::left_right}, std::pair{coded, stereo_coding::mid_side}})
        benchmark::RegisterBenchmark(name.c_str(), paced_engine, coding)
            ->UseManualTime()
            ->Iterations(2)
            ->Unit(benchmark::kMillisecond);
    bench::add_ratio("mid-side-cpu", mid_side_fir_length, coded + "/iterations:2/manual_time",
                     paced + "/iterations:2/manual_time");
    const std::string one = name_of("mid_side/design_one", mid_side_fir_length),
                      two = name_of("mid_side/design_two", mid_side_fir_length);
    benchmark::RegisterBenchmark(one.c_str(), mid_side_design, false)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(two.c_str(), mid_side_design, true)->Unit(benchmark::kMillisecond);
    bench::add_ratio("mid-side-design", mid_side_fir_length, two, one);
    return true;
}();

}  // namespace
