// The editor's recurring costs: a full render of the response display
// (after every band change and every finished redesign), an idle step with
// nothing to paint (many times a second while the window is open), and an
// idle step that takes 1/30 s of audio at 48 kHz into the analyser, with
// both traces shown, and paints it (30 times a second while audio plays);
// and a paint of the whole window (opening, a page switch) at 1, 1.5 and 2
// times the size, the larger against the plain one.
#include <X11/Xlib.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <cstdint>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "dsp/eq_layout.h"
#include "dsp/fir_cascaded_biquad.h"
#include "editor/response_view.h"
#include "gui/frame.h"
#include "gui/offscreen_context.h"
#include "platform/message_box.h"
#include "plugin/tessvane_plugin.h"
#include "plugin/vst2/aeffect.h"
#include "plugin/vst_editor.h"
#include "ratio_registry.h"

extern "C" AEffect* VSTPluginMain(audioMasterCallback audio_master);

namespace {

void render_response_display(benchmark::State& state) {
    dsp::fir_cascaded_biquad design(dsp::band_count, 44100, 1);
    for (int band = 0; band < dsp::band_count; ++band)
        design.apply_band(band, {1.0f, 0.2f + 0.15f * float(band), 0.7f, 0.5f, 0.5f});
    dsp::section_coefficients bands[dsp::band_count];
    design.read_sections(bands, dsp::band_count);
    VSTGUI::COffscreenContext picture(597, 197);
    for (auto _ : state) {
        editor::render_response(picture, 597, 197, bands, true);
        benchmark::DoNotOptimize(picture.pixels());
    }
}

VstIntPtr VSTCALLBACK quiet_host(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

// The settings the instance reads, kept away from the user's own.
void use_private_settings() {
    char pattern[] = "/tmp/tessvane-bench-XXXXXX";
    const std::filesystem::path root = mkdtemp(pattern);
    const std::filesystem::path folder = root / "Ravelthorpe" / "Tessvane LE";
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "Latency") << "8192";
    std::ofstream(folder / "AnalyserTraces") << "2";  // input and output
    setenv("XDG_CONFIG_HOME", root.c_str(), 1);
    setenv("XDG_CONFIG_DIRS", root.c_str(), 1);
}

// One open editor for every repetition, so they all run or all skip.
class open_editor {
public:
    explicit open_editor(float sample_rate, double scale = 1.0) : display_(XOpenDisplay(nullptr)) {
        if (!display_) return;
        use_private_settings();
        platform::set_message_sink([](const platform::message&) {});
        parent_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 1214, 766, 0, 0, 0);
        XMapWindow(display_, parent_);
        XSync(display_, False);
        effect_ = VSTPluginMain(quiet_host);
        editor().set_scale(scale);
        dispatch(effSetSampleRate, nullptr, sample_rate);
        if (dispatch(effEditOpen, reinterpret_cast<void*>(parent_)) != 1) return;
        open_ = true;
        for (int i = 0; i < 50; ++i) idle();  // the first paints
    }
    ~open_editor() {
        if (effect_) {
            dispatch(effEditClose);
            dispatch(effClose);
        }
        if (parent_) XDestroyWindow(display_, parent_);
        if (display_) XCloseDisplay(display_);
        platform::set_message_sink({});
    }
    bool is_open() const { return open_; }
    void idle() { dispatch(effEditIdle); }
    editor::eq_editor& editor() const {
        auto* plugin = static_cast<plugin::tessvane_plugin*>(effect_->object);
        return static_cast<plugin::vst_editor*>(plugin->getEditor())->editor();
    }
    AEffect* effect() const { return effect_; }

private:
    VstIntPtr dispatch(VstInt32 opcode, void* ptr = nullptr, float opt = 0.0f) {
        return effect_->dispatcher(effect_, opcode, 0, 0, ptr, opt);
    }

    Display* display_;
    Window parent_ = 0;
    AEffect* effect_ = nullptr;
    bool open_ = false;
};

void idle_with_nothing_to_paint(benchmark::State& state) {
    static open_editor editor(44100.0f);
    if (!editor.is_open()) {
        state.SkipWithError("no X display reachable");
        return;
    }
    for (auto _ : state) editor.idle();
}

void analyser_update_and_paint(benchmark::State& state) {
    static open_editor editor(48000.0f);
    if (!editor.is_open()) {
        state.SkipWithError("no X display reachable");
        return;
    }
    std::vector<float> left(64), right(64);
    float* channels[] = {left.data(), right.data()};
    std::uint32_t noise = 1;
    for (auto _ : state) {
        state.PauseTiming();
        for (int block = 0; block < 25; ++block) {
            for (int i = 0; i < 64; ++i) {
                noise = noise * 1664525u + 1013904223u;
                left[std::size_t(i)] = right[std::size_t(i)] = float(std::int32_t(noise)) / 4294967296.0f;
            }
            editor.effect()->processReplacing(editor.effect(), channels, channels, 64);
        }
        state.ResumeTiming();
        editor.idle();
    }
}

void full_paint(benchmark::State& state, double scale) {
    static open_editor editors[] = {open_editor(44100.0f, 1.0), open_editor(44100.0f, 1.5), open_editor(44100.0f, 2.0)};
    open_editor& editor = editors[scale == 1.0 ? 0 : scale == 1.5 ? 1 : 2];
    if (!editor.is_open()) {
        state.SkipWithError("no X display reachable");
        return;
    }
    for (auto _ : state) {
        editor.editor().getFrame()->setDirty();
        editor.idle();
    }
}

const bool registered = [] {
    benchmark::RegisterBenchmark("editor/render_response", render_response_display);
    benchmark::RegisterBenchmark("editor/idle_nothing_to_paint", idle_with_nothing_to_paint);
    benchmark::RegisterBenchmark("editor/analyser_update_and_paint", analyser_update_and_paint)
        ->Unit(benchmark::kMicrosecond);
    for (const double scale : {1.0, 1.5, 2.0})
        benchmark::RegisterBenchmark(("editor/full_paint/" + std::to_string(int(scale * 100))).c_str(), full_paint,
                                     scale)
            ->Unit(benchmark::kMillisecond);
    // A whole paint at a scale against one at 1, in the same run.
    bench::add_ratio("editor-full-paint-150-percent", 150, "editor/full_paint/150", "editor/full_paint/100");
    bench::add_ratio("editor-full-paint-200-percent", 200, "editor/full_paint/200", "editor/full_paint/100");
    bench::add_absolute("editor-render-us", 597, "editor/render_response", 1e-3);
    bench::add_absolute("editor-idle-us", 607, "editor/idle_nothing_to_paint", 1e-3);
    // 30 updates a second, as a percentage of one core.
    bench::add_absolute("editor-analyser-percent-of-core", 48000, "editor/analyser_update_and_paint", 3e-6);
    return true;
}();

}  // namespace
