// Whole-instance figures: how long a parameter change takes to be heard,
// how long a setParameter from the audio thread can take while a long
// design runs, what one instance costs in memory, for each FIR length, and
// what the VST3 and CLAP front-ends cost per call beside the VST 2.x one.
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
#include <utility>
#include <vector>

#include "clap/eq_plugin.h"
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

// The VST 2.x build at N = 8192, 48 kHz, 64-frame blocks, band 1 on as a
// peak at 394 Hz.
constexpr std::pair<int, float> kBand1Peak[] = {{2, 1.0f}, {5, 0.8f}};

AEffect* vst2_for_calls() {
    use_fir_length(8192);
    AEffect* effect = VSTPluginMain(quiet_host);
    effect->dispatcher(effect, effSetSampleRate, 0, 0, nullptr, 48000.0f);
    effect->dispatcher(effect, effSetBlockSize, 0, 64, nullptr, 0.0f);
    effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0.0f);
    for (auto [index, value] : kBand1Peak) effect->setParameter(effect, index, value);
    return effect;
}

struct call_signals {
    float in_l[64], in_r[64], out_l[64], out_r[64];
    float* ins[2] = {in_l, in_r};
    float* outs[2] = {out_l, out_r};
    call_signals() {
        for (int i = 0; i < 64; ++i) in_l[i] = in_r[i] = 0.25f * static_cast<float>((i * 37) % 17 - 8) / 8.0f;
    }
};

// A 64-frame call of the VST 2.x build and of another format's in turn,
// paced to 64 frames at 48 kHz as a host's audio thread calls them; every
// call timed. The figures are the mean per call of each, and what the other
// format adds.
template <class Vst2Call, class OtherCall>
void time_calls_in_turn(benchmark::State& state, const std::string& other, Vst2Call vst2_call, OtherCall other_call) {
    using clock = std::chrono::steady_clock;
    const auto period = std::chrono::microseconds(1333);
    auto next = clock::now();
    double vst2_ns = 0.0, other_ns = 0.0;
    std::int64_t calls = 0;
    for (auto _ : state) {
        next += period;
        std::this_thread::sleep_until(next);
        // Each goes first every other time: the first call after the sleep
        // finds colder caches.
        const bool vst2_first = calls % 2 == 0;
        const auto t0 = clock::now();
        if (vst2_first)
            vst2_call();
        else
            other_call();
        const auto t1 = clock::now();
        if (vst2_first)
            other_call();
        else
            vst2_call();
        const auto t2 = clock::now();
        const double first = std::chrono::duration<double, std::nano>(t1 - t0).count();
        const double second = std::chrono::duration<double, std::nano>(t2 - t1).count();
        vst2_ns += vst2_first ? first : second;
        other_ns += vst2_first ? second : first;
        ++calls;
        state.SetIterationTime(std::chrono::duration<double>(t2 - t0).count());
    }
    state.counters["vst2_us"] = vst2_ns / calls * 1e-3;
    state.counters[other + "_us"] = other_ns / calls * 1e-3;
    state.counters[other + "_more_us"] = (other_ns - vst2_ns) / calls * 1e-3;
}

void vst3_against_vst2_per_call(benchmark::State& state) {
    AEffect* effect = vst2_for_calls();
    using namespace vst3;
    void* component = nullptr;
    eq_component::create(core::stereo_edition, id_bytes(iid::IComponent).data(), &component);
    void* processor = nullptr;
    auto& comp = **static_cast<const IComponent_vtbl**>(component);
    comp.base.unknown.queryInterface(component, id_bytes(iid::IAudioProcessor).data(), &processor);
    auto& proc = **static_cast<const IAudioProcessor_vtbl**>(processor);
    void* controller = nullptr;
    comp.base.unknown.queryInterface(component, id_bytes(iid::IEditController).data(), &controller);
    auto& ctrl = **static_cast<const IEditController_vtbl**>(controller);
    for (auto [index, value] : kBand1Peak) ctrl.setParamNormalized(controller, static_cast<ParamID>(index), value);
    ProcessSetup setup{kRealtime, kSample32, 64, 48000.0};
    proc.setupProcessing(processor, &setup);
    comp.setActive(component, 1);
    proc.setProcessing(processor, 1);
    call_signals io;
    AudioBusBuffers in_bus{}, out_bus{};
    in_bus.numChannels = out_bus.numChannels = 2;
    in_bus.channelBuffers32 = io.ins;
    out_bus.channelBuffers32 = io.outs;
    ProcessData data{};
    data.processMode = kRealtime;
    data.numSamples = 64;
    data.numInputs = data.numOutputs = 1;
    data.inputs = &in_bus;
    data.outputs = &out_bus;

    time_calls_in_turn(
        state, "vst3", [&] { effect->processReplacing(effect, io.ins, io.outs, 64); },
        [&] { proc.process(processor, &data); });

    comp.setActive(component, 0);
    for (void* held : {processor, controller}) (*static_cast<const FUnknown_vtbl**>(held))->release(held);
    comp.base.unknown.release(component);
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
}
BENCHMARK(vst3_against_vst2_per_call)->UseManualTime()->Iterations(6000)->Unit(benchmark::kMicrosecond);

// The CLAP build as a host with no extensions drives it: realtime render
// mode, the values flushed before activation, no events in the timed calls.
const void* CLAP_CALL no_extension(const clap::clap_host*, const char*) { return nullptr; }
void CLAP_CALL no_request(const clap::clap_host*) {}
std::uint32_t CLAP_CALL no_events(const clap::clap_input_events*) { return 0; }
const clap::clap_event_header* CLAP_CALL no_event(const clap::clap_input_events*, std::uint32_t) { return nullptr; }
bool CLAP_CALL drop_event(const clap::clap_output_events*, const clap::clap_event_header*) { return true; }

void clap_against_vst2_per_call(benchmark::State& state) {
    AEffect* effect = vst2_for_calls();
    using namespace clap;
    const clap_host host{format_version, nullptr,    "bench",    "",        "", "",
                         no_extension,   no_request, no_request, no_request};
    const clap_plugin* plugin = (new eq_plugin(&host))->plugin();
    plugin->init(plugin);
    auto& params = *static_cast<const clap_plugin_params*>(plugin->get_extension(plugin, ext_params));
    std::vector<clap_event_param_value> values;
    for (auto [index, value] : kBand1Peak) {
        clap_event_param_value e{};
        e.header = {sizeof e, 0, core_event_space, event_param_value, 0};
        e.param_id = static_cast<clap_id>(index);
        e.value = value;
        values.push_back(e);
    }
    const clap_input_events settings{
        &values,
        [](const clap_input_events* l) {
            return static_cast<std::uint32_t>(static_cast<std::vector<clap_event_param_value>*>(l->ctx)->size());
        },
        [](const clap_input_events* l, std::uint32_t i) -> const clap_event_header* {
            return &(*static_cast<std::vector<clap_event_param_value>*>(l->ctx))[i].header;
        }};
    const clap_input_events in_events{nullptr, no_events, no_event};
    const clap_output_events out_events{nullptr, drop_event};
    params.flush(plugin, &settings, &out_events);
    static_cast<const clap_plugin_render*>(plugin->get_extension(plugin, ext_render))->set(plugin, render_realtime);
    plugin->activate(plugin, 48000.0, 64, 64);
    plugin->start_processing(plugin);
    call_signals io;
    const clap_audio_buffer in_port{io.ins, nullptr, 2, 0, 0};
    clap_audio_buffer out_port{io.outs, nullptr, 2, 0, 0};
    const clap_process data{-1, 64, nullptr, &in_port, &out_port, 1, 1, &in_events, &out_events};

    time_calls_in_turn(
        state, "clap", [&] { effect->processReplacing(effect, io.ins, io.outs, 64); },
        [&] { plugin->process(plugin, &data); });

    plugin->stop_processing(plugin);
    plugin->deactivate(plugin);
    plugin->destroy(plugin);
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
}
BENCHMARK(clap_against_vst2_per_call)->UseManualTime()->Iterations(6000)->Unit(benchmark::kMicrosecond);

}  // namespace
