// The editor's two recurring costs: a full render of the response display
// (after every band change and every finished redesign) and an idle step
// with nothing to paint (many times a second while the window is open).
#include <X11/Xlib.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include <benchmark/benchmark.h>

#include "dsp/fir_cascaded_biquad.h"
#include "editor/sd_editor.h"
#include "editor/vis_panel.h"
#include "gui/offscreen_context.h"
#include "platform/message_box.h"
#include "plugin/vst_plugin.h"
#include "ratio_registry.h"

extern "C" AEffect* VSTPluginMain(audioMasterCallback audio_master);

namespace {

void render_response_display(benchmark::State& state) {
    fir_cascaded_biquad design(response_band_count, 44100, 1);
    for (int band = 0; band < response_band_count; ++band)
        design.apply_band(band, {1.0f, 0.2f + 0.15f * float(band), 0.7f, 0.5f, 0.5f});
    section_coefficients bands[response_band_count];
    design.read_sections(bands, response_band_count);
    VSTGUI::COffscreenContext picture(597, 197);
    for (auto _ : state) {
        render_response(picture, 597, 197, bands, true);
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
    setenv("XDG_CONFIG_HOME", root.c_str(), 1);
    setenv("XDG_CONFIG_DIRS", root.c_str(), 1);
}

void idle_with_nothing_to_paint(benchmark::State& state) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        state.SkipWithError("no X display reachable");
        return;
    }
    use_private_settings();
    platform::set_message_sink([](const platform::message&) {});
    const Window parent = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 607, 383, 0, 0, 0);
    XMapWindow(display, parent);
    XSync(display, False);
    AEffect* effect = VSTPluginMain(quiet_host);
    effect->dispatcher(effect, effSetSampleRate, 0, 0, nullptr, 44100.0f);
    effect->dispatcher(effect, effEditOpen, 0, 0, reinterpret_cast<void*>(parent), 0.0f);
    for (int i = 0; i < 50; ++i) effect->dispatcher(effect, effEditIdle, 0, 0, nullptr, 0.0f);
    for (auto _ : state) effect->dispatcher(effect, effEditIdle, 0, 0, nullptr, 0.0f);
    effect->dispatcher(effect, effEditClose, 0, 0, nullptr, 0.0f);
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
    XDestroyWindow(display, parent);
    XCloseDisplay(display);
    platform::set_message_sink({});
}

const bool registered = [] {
    benchmark::RegisterBenchmark("editor/render_response", render_response_display);
    benchmark::RegisterBenchmark("editor/idle_nothing_to_paint", idle_with_nothing_to_paint);
    bench::add_absolute("editor-render-us", 597, "editor/render_response", 1e-3);
    bench::add_absolute("editor-idle-us", 607, "editor/idle_nothing_to_paint", 1e-3);
    return true;
}();

}  // namespace
