// Whole-instance figures: how long a parameter change takes to be heard,
// how long a setParameter from the audio thread can take while a long
// design runs, and what one instance costs in memory, for each FIR length.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "plugin/tessvane_plugin.h"

extern "C" AEffect* VSTPluginMain(audioMasterCallback audio_master);

namespace {

VstIntPtr VSTCALLBACK quiet_host(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

// Points the per-user setting at a private folder holding the length.
void use_fir_length(int length) {
    static const std::string root = [] {
        char pattern[] = "/tmp/tessvane-bench-XXXXXX";
        return std::string(mkdtemp(pattern));
    }();
    const auto folder = std::filesystem::path(root) / "Ravelthorpe" / "Tessvane LE";
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "Latency") << length;
    setenv("XDG_CONFIG_HOME", root.c_str(), 1);
}

long resident_kib() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
    return 0;
}

// setParameter on a band until the worker has designed and loaded the new
// response: the 50 ms coalescing pause plus design and hand-over.
void redesign_to_effect(benchmark::State& state) {
    use_fir_length(static_cast<int>(state.range(0)));
    AEffect* effect = VSTPluginMain(quiet_host);
    const dsp::linear_phase_eq& engine = *static_cast<plugin::tessvane_plugin*>(effect->object)->engine();
    effect->dispatcher(effect, effSetSampleRate, 0, 0, nullptr, 48000.0f);
    effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0.0f);
    effect->setParameter(effect, 12, 1.0f);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    float gain = 0.6f;
    for (auto _ : state) {
        const int designs = engine.designs();
        const int passes = engine.passes();
        const auto start = std::chrono::steady_clock::now();
        effect->setParameter(effect, 15, gain);
        while (engine.designs() == designs || engine.passes() == passes)
            std::this_thread::sleep_for(std::chrono::microseconds(100));
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        gain = gain == 0.6f ? 0.7f : 0.6f;
        std::this_thread::sleep_for(std::chrono::milliseconds(60));  // let the follow-up pass finish
    }
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
}
BENCHMARK(redesign_to_effect)
    ->RangeMultiplier(8)
    ->Range(512, 65536)
    ->Arg(65536)
    ->UseManualTime()
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);

// setParameter as a host's audio thread calls it, between blocks, while
// another thread keeps the worker designing 65536 taps: the longest call.
// Only the host interface is used, so the figure compares across versions.
void set_parameter_during_designs(benchmark::State& state) {
    use_fir_length(65536);
    AEffect* effect = VSTPluginMain(quiet_host);
    effect->dispatcher(effect, effSetSampleRate, 0, 0, nullptr, 48000.0f);
    effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0.0f);
    effect->setParameter(effect, 12, 1.0f);
    std::atomic<bool> done{false};
    std::thread knob([&] {
        for (int i = 0; !done; ++i) {
            effect->setParameter(effect, 15, i % 2 ? 0.6f : 0.7f);
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
        }
    });
    float silence[64] = {};
    float* in[] = {silence, silence};
    float out_l[64], out_r[64];
    float* out[] = {out_l, out_r};
    double longest_us = 0.0;
    int call = 0;
    for (auto _ : state) {
        effect->processReplacing(effect, in, out, 64);
        const auto start = std::chrono::steady_clock::now();
        effect->setParameter(effect, 1 + (call++ % 2) * 21, 1.0f);  // Filters, Filter#5
        const double us = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
        longest_us = std::max(longest_us, us);
        state.SetIterationTime(us * 1e-6);
        std::this_thread::sleep_for(std::chrono::microseconds(1333));  // a 64-frame block at 48 kHz
    }
    done = true;
    knob.join();
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
    state.counters["longest_us"] = longest_us;
}
BENCHMARK(set_parameter_during_designs)->UseManualTime()->Iterations(3000)->Unit(benchmark::kMicrosecond);

// Resident memory one running instance adds, after its first design.
void memory_per_instance(benchmark::State& state) {
    use_fir_length(static_cast<int>(state.range(0)));
    long added = 0;
    for (auto _ : state) {
        const long before = resident_kib();
        AEffect* effect = VSTPluginMain(quiet_host);
        effect->dispatcher(effect, effSetSampleRate, 0, 0, nullptr, 48000.0f);
        effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0.0f);
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        float silence[512] = {};
        float* in[] = {silence, silence};
        float out_l[512], out_r[512];
        float* out[] = {out_l, out_r};
        for (int i = 0; i < 400; ++i) effect->processReplacing(effect, in, out, 512);
        added = resident_kib() - before;
        effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
    }
    state.counters["resident_MiB"] = static_cast<double>(added) / 1024.0;
}
BENCHMARK(memory_per_instance)->Arg(8192)->Arg(65536)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
