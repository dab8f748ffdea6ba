// Whole-instance figures: how long a parameter change takes to be heard,
// how long a setParameter from the audio thread can take while a long
// design runs, what one instance costs in memory, for each FIR length, and
// what the VST3 front-end costs per call beside the VST 2.x one.
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
#include "vst3/eq_component.h"

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

// Both builds at N = 8192 in one process, a 64-frame call of each in turn,
// paced to 64 frames at 48 kHz as a host's audio thread calls them; every
// call timed. The figures are the mean per call of each, and what VST3 adds.
void vst3_against_vst2_per_call(benchmark::State& state) {
    use_fir_length(8192);
    AEffect* effect = VSTPluginMain(quiet_host);
    effect->dispatcher(effect, effSetSampleRate, 0, 0, nullptr, 48000.0f);
    effect->dispatcher(effect, effSetBlockSize, 0, 64, nullptr, 0.0f);
    effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0.0f);

    using namespace vst3;
    void* component = nullptr;
    eq_component::create(id_bytes(iid::IComponent).data(), &component);
    void* processor = nullptr;
    auto& comp = **static_cast<const IComponent_vtbl**>(component);
    comp.base.unknown.queryInterface(component, id_bytes(iid::IAudioProcessor).data(), &processor);
    auto& proc = **static_cast<const IAudioProcessor_vtbl**>(processor);
    void* controller = nullptr;
    comp.base.unknown.queryInterface(component, id_bytes(iid::IEditController).data(), &controller);
    auto& ctrl = **static_cast<const IEditController_vtbl**>(controller);
    // Band 1 on, a peak at 394 Hz, the same in both.
    for (auto [index, value] : {std::pair{2, 1.0f}, std::pair{5, 0.8f}}) {
        effect->setParameter(effect, index, value);
        ctrl.setParamNormalized(controller, static_cast<ParamID>(index), value);
    }
    ProcessSetup setup{kRealtime, kSample32, 64, 48000.0};
    proc.setupProcessing(processor, &setup);
    comp.setActive(component, 1);
    proc.setProcessing(processor, 1);
    float in_l[64], in_r[64], out_l[64], out_r[64];
    for (int i = 0; i < 64; ++i) in_l[i] = in_r[i] = 0.25f * static_cast<float>((i * 37) % 17 - 8) / 8.0f;
    float* ins[] = {in_l, in_r};
    float* outs[] = {out_l, out_r};
    AudioBusBuffers in_bus{}, out_bus{};
    in_bus.numChannels = out_bus.numChannels = 2;
    in_bus.channelBuffers32 = ins;
    out_bus.channelBuffers32 = outs;
    ProcessData data{};
    data.processMode = kRealtime;
    data.numSamples = 64;
    data.numInputs = data.numOutputs = 1;
    data.inputs = &in_bus;
    data.outputs = &out_bus;

    using clock = std::chrono::steady_clock;
    const auto period = std::chrono::microseconds(1333);
    auto next = clock::now();
    double vst2_ns = 0.0, vst3_ns = 0.0;
    std::int64_t calls = 0;
    for (auto _ : state) {
        next += period;
        std::this_thread::sleep_until(next);
        // Each goes first every other time: the first call after the sleep
        // finds colder caches.
        const bool vst2_first = calls % 2 == 0;
        const auto t0 = clock::now();
        if (vst2_first)
            effect->processReplacing(effect, ins, outs, 64);
        else
            proc.process(processor, &data);
        const auto t1 = clock::now();
        if (vst2_first)
            proc.process(processor, &data);
        else
            effect->processReplacing(effect, ins, outs, 64);
        const auto t2 = clock::now();
        const double first = std::chrono::duration<double, std::nano>(t1 - t0).count();
        const double second = std::chrono::duration<double, std::nano>(t2 - t1).count();
        vst2_ns += vst2_first ? first : second;
        vst3_ns += vst2_first ? second : first;
        ++calls;
        state.SetIterationTime(std::chrono::duration<double>(t2 - t0).count());
    }
    state.counters["vst2_us"] = vst2_ns / calls * 1e-3;
    state.counters["vst3_us"] = vst3_ns / calls * 1e-3;
    state.counters["vst3_more_us"] = (vst3_ns - vst2_ns) / calls * 1e-3;

    comp.setActive(component, 0);
    for (void* held : {processor, controller}) (*static_cast<const FUnknown_vtbl**>(held))->release(held);
    comp.base.unknown.release(component);
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
}
BENCHMARK(vst3_against_vst2_per_call)->UseManualTime()->Iterations(6000)->Unit(benchmark::kMicrosecond);

}  // namespace
