// The analyser's costs. On the audio thread: a 64-frame engine call with an
// analyser reading (a thread drains the ring as an editor would) against the
// same call with none. On the editor's thread: one update at 48 kHz (1/30 s
// of frames taken, both traces transformed and folded), printed as the
// percentage of one core that 30 updates a second take.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

#include "dsp/dsp.h"
#include "dsp/linear_phase_eq.h"
#include "dsp/analyser.h"
#include "ratio_registry.h"

namespace {

void analyser_audio_call(benchmark::State& state) {
    dsp_init_dispatch();
    dsp::linear_phase_eq engine(0.5f, 1.0f, [](const std::string&, dsp::failure_stage) {});
    engine.set_sample_rate(48000);
    engine.start(8192, 4096);
    engine.reset();
    std::vector<float> left(64), right(64);
    for (int i = 0; i < 64; ++i) left[std::size_t(i)] = right[std::size_t(i)] = std::sin(0.1f * float(i));
    float* channels[] = {left.data(), right.data()};
    const bool reading = state.range(0) != 0;
    std::atomic<bool> done{false};
    std::thread editor([&] {
        std::vector<float> output(4096), input(4096);
        while (!done) {
            while (engine.analyser().read(output.data(), input.data(), 4096) > 0) {
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });
    engine.analyser().set_wanted(reading);
    for (auto _ : state) {
        engine.process(channels, channels, 64);
        benchmark::ClobberMemory();
    }
    done = true;
    editor.join();
    engine.stop();
}
BENCHMARK(analyser_audio_call)->Arg(0)->Arg(1);

void analyser_editor_update(benchmark::State& state) {
    dsp_init_dispatch();
    constexpr int rate = 48000, columns = 563;
    std::vector<double> column_hz(columns);
    for (int x = 0; x < columns; ++x) column_hz[std::size_t(x)] = 20.0 * std::pow(1000.0, x / double(columns - 1));
    dsp::spectrum_analyser analyser(rate, 8192, column_hz);
    analyser.set_ballistics(0.1, 1.0);
    std::vector<float> output(rate / 30), input(output.size());
    for (std::size_t i = 0; i < output.size(); ++i) output[i] = input[i] = std::sin(0.05f * float(i));
    for (auto _ : state) {
        analyser.take(output.data(), input.data(), int(output.size()));
        analyser.update(true, true);
    }
}
BENCHMARK(analyser_editor_update)->Unit(benchmark::kMicrosecond);

const bool registered = [] {
    bench::add_ratio("analyser_audio_on_vs_off", 64, "analyser_audio_call/1", "analyser_audio_call/0");
    bench::add_absolute("analyser_audio_off_ns", 64, "analyser_audio_call/0", 1.0);
    bench::add_absolute("analyser_audio_on_ns", 64, "analyser_audio_call/1", 1.0);
    // 30 updates a second, as a percentage of one core.
    bench::add_absolute("analyser_editor_percent_of_core", 48000, "analyser_editor_update", 3e-6);
    return true;
}();

}  // namespace
