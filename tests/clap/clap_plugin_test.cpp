// The CLAP build loaded as a host loads it, held against the VST 2.x and
// VST3 builds of the same sources: identity, parameters, sound, state and the
// calls a careless host makes.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "../e2e/e2e_support.h"
#include "../e2e/format_comparison.h"
#include "../vst3/vst3_host.h"
#include "clap/eq_plugin.h"
#include "clap_host.h"
#include "dsp/eq_layout.h"

namespace {

using namespace clap_test_host;

// Each host block through the instance; `changes` gives a block its events.
stereo run(instance& plugin, const stereo& in, int block, const std::function<void(int start, events&)>& changes = {}) {
    stereo out(in.frames());
    for (int done = 0; done < in.frames(); done += block) {
        const int n = std::min(block, in.frames() - done);
        const float* ins[] = {in.left.data() + done, in.right.data() + done};
        float* outs[] = {out.left.data() + done, out.right.data() + done};
        events ev;
        if (changes) changes(done, ev);
        EXPECT_EQ(plugin.process(ins, outs, static_cast<std::uint32_t>(n), &ev), process_continue);
    }
    return out;
}

// Values set as a host sets them while nothing is processing.
void flush(instance& plugin, const std::vector<std::pair<int, float>>& values) {
    events ev;
    for (auto [id, v] : values) ev.add(static_cast<clap_id>(id), 0, v);
    const clap_input_events in = ev.input();
    const clap_output_events out = ev.output();
    plugin.params().flush(plugin.plugin, &in, &out);
}

class ClapPlugin : public ::testing::Test {
protected:
    e2e_sandbox sandbox{std::to_string(kFirLength)};
    module loaded{TESSVANE_CLAP_PATH};
    host full;

    std::unique_ptr<instance> make(const std::vector<std::pair<int, float>>& values = {}, int block = 512,
                                   clap_plugin_render_mode mode = render_realtime, const host* h = nullptr) {
        auto plugin = std::make_unique<instance>(loaded, h ? *h : full);
        EXPECT_TRUE(plugin->initialised);
        flush(*plugin, values);
        EXPECT_TRUE(plugin->start(kRate, static_cast<std::uint32_t>(block), mode));
        return plugin;
    }
};

TEST_F(ClapPlugin, NamesItselfAndOffersOneStereoPortPair) {
    EXPECT_EQ(loaded.entry().clap_version.major, 1u);
    EXPECT_EQ(loaded.entry().clap_version.minor, 2u);
    ASSERT_EQ(loaded.factory().get_plugin_count(&loaded.factory()), 2u);
    const clap_plugin_descriptor* d = loaded.factory().get_plugin_descriptor(&loaded.factory(), 0);
    ASSERT_NE(d, nullptr);
    EXPECT_STREQ(d->id, "com.ravelthorpe.tessvane-le");  // never to change
    EXPECT_STREQ(d->name, "Tessvane LE");
    EXPECT_STREQ(d->vendor, "Ravelthorpe");
    EXPECT_STREQ(d->version, "1.0.4");
    std::vector<std::string> features;
    for (const char* const* f = d->features; *f; ++f) features.emplace_back(*f);
    EXPECT_EQ(features, (std::vector<std::string>{"audio-effect", "equalizer", "stereo"}));
    EXPECT_EQ(loaded.factory().create_plugin(&loaded.factory(), full.get(), "com.other"), nullptr);

    auto plugin = make();
    EXPECT_EQ(plugin->ext<clap_plugin_latency>(ext_latency).get(plugin->plugin), std::uint32_t(kFirLength));
    const auto& ports = plugin->ext<clap_plugin_audio_ports>(ext_audio_ports);
    for (bool is_input : {true, false}) {
        ASSERT_EQ(ports.count(plugin->plugin, is_input), 1u);
        clap_audio_port_info info{};
        ASSERT_TRUE(ports.get(plugin->plugin, 0, is_input, &info));
        EXPECT_EQ(info.channel_count, 2u);
        EXPECT_EQ(info.flags & audio_port_is_main, audio_port_is_main);
        EXPECT_STREQ(info.port_type, "stereo");
        EXPECT_FALSE(ports.get(plugin->plugin, 1, is_input, &info));
    }
    EXPECT_TRUE(sandbox.messages().empty());
}

TEST_F(ClapPlugin, TheMidSidePluginSitsBesideItWithItsPlacementsAndPutsABandOnTheSideAlone) {
    const clap_plugin_descriptor* d = loaded.factory().get_plugin_descriptor(&loaded.factory(), 1);
    ASSERT_NE(d, nullptr);
    EXPECT_STREQ(d->id, "com.ravelthorpe.tessvane-le-ms");  // never to change
    EXPECT_STREQ(d->name, "Tessvane LE M/S");
    EXPECT_EQ(loaded.factory().get_plugin_descriptor(&loaded.factory(), 2), nullptr);

    instance plugin(loaded, full, d->id);
    ASSERT_TRUE(plugin.initialised);
    const clap_plugin_params& params = plugin.params();
    ASSERT_EQ(params.count(plugin.plugin), std::uint32_t(dsp::mid_side_control_count + 1));
    clap_param_info place{}, bypass{};
    ASSERT_TRUE(params.get_info(plugin.plugin, dsp::placement_control(4), &place));
    EXPECT_STREQ(place.name, "Place #5");
    ASSERT_TRUE(params.get_info(plugin.plugin, dsp::mid_side_control_count, &bypass));
    EXPECT_EQ(bypass.flags & param_is_bypass, param_is_bypass);
    EXPECT_EQ(plugin.text_of(dsp::placement_control(1), 1.0), "Side");

    // Band 2's peak alone, on the side.
    std::vector<std::pair<int, float>> values{{dsp::placement_control(1), 1.0f}};
    for (auto [id, v] : kBand2Peak)
        if (dsp::is_band_control(id) && dsp::band_of(id) == 1) values.emplace_back(id, v);
    flush(plugin, values);
    ASSERT_TRUE(plugin.start(kRate, 512, render_realtime));
    const mid_and_side_db levels = mid_and_side_at_1806(run(plugin, left_impulse(3 * kFirLength), 512));
    EXPECT_NEAR(levels.mid, 0.0, 0.2);
    EXPECT_NEAR(levels.side, 12.0, 0.2);
}

TEST_F(ClapPlugin, ParametersReadAsTheVst2BuildsAndTypedTextReadsBack) {
    auto clap = make(kBand2Peak);
    auto vst2 = make_vst2(kBand2Peak);
    const clap_plugin_params& params = clap->params();
    ASSERT_EQ(params.count(clap->plugin), std::uint32_t(dsp::control_count + 1));
    for (int id = 0; id < dsp::control_count; ++id) {
        clap_param_info info{};
        ASSERT_TRUE(params.get_info(clap->plugin, static_cast<std::uint32_t>(id), &info));
        EXPECT_EQ(info.id, clap_id(id));
        EXPECT_EQ(info.name, vst2->parameter_name(id));
        EXPECT_EQ(info.max_value, 1.0);
        const double value = clap->value(static_cast<clap_id>(id));
        EXPECT_EQ(value, double(vst2->parameter(id))) << id;
        const std::string display = clap->text_of(static_cast<clap_id>(id), value);
        EXPECT_EQ(display, vst2->parameter_display(id)) << id;
        double parsed = -1.0;
        ASSERT_TRUE(params.text_to_value(clap->plugin, static_cast<clap_id>(id), display.c_str(), &parsed)) << display;
        EXPECT_EQ(clap->text_of(static_cast<clap_id>(id), parsed).substr(0, 5), display.substr(0, 5)) << id;
    }
    clap_param_info bypass{};
    ASSERT_TRUE(params.get_info(clap->plugin, dsp::control_count, &bypass));
    EXPECT_EQ(bypass.flags & (param_is_bypass | param_is_stepped), param_is_bypass | param_is_stepped);
    EXPECT_EQ(clap->text_of(dsp::control_count, 1.0), "On");
    double ignored = 0.0;
    char text[8];
    EXPECT_FALSE(params.get_info(clap->plugin, dsp::control_count + 1, &bypass));
    EXPECT_FALSE(params.get_value(clap->plugin, 999, &ignored));
    EXPECT_FALSE(params.value_to_text(clap->plugin, 999, 0.5, text, sizeof text));
    EXPECT_FALSE(params.text_to_value(clap->plugin, 0, "no such text", &ignored));
}

TEST_F(ClapPlugin, StateMovesBetweenClapAndVst3AndTheHostRereadsTheValues) {
    std::vector<std::pair<int, float>> settings = kBand2Peak;
    settings.emplace_back(15, 0.8f);
    const std::vector<unsigned char> saved = make(settings, 256)->state();
    auto restored = std::make_unique<instance>(loaded, full);
    ASSERT_TRUE(restored->set_state(saved));
    EXPECT_EQ(full.rescans, 1);
    EXPECT_EQ(restored->value(15), double(0.8f));

    // The VST3 build's state loads here, and ours there, byte for byte.
    vst3_host::module vst3_module{TESSVANE_VST3_PATH};
    vst3_host::instance vst3{vst3_module};
    vst3.ctrl().setParamNormalized(vst3.controller, dsp::control_count + 1, 5.0 / 47);
    vst3.ctrl().setParamNormalized(vst3.controller, 20, 0.9);
    const std::vector<unsigned char> from_vst3 = vst3.state();
    auto clap = std::make_unique<instance>(loaded, full);
    ASSERT_TRUE(clap->set_state(from_vst3));
    EXPECT_EQ(clap->state(), from_vst3);
    ASSERT_EQ(vst3.set_state(saved), vst3::kResultOk);
    EXPECT_EQ(vst3.state(), saved);
}

TEST_F(ClapPlugin, CallsOutOfOrderOrOutOfRangeGiveSilenceAndClampedValues) {
    const stereo in = noise(1024);
    auto processed = [&](instance& plugin, std::uint32_t frames) {
        stereo out(1024);
        std::fill(out.left.begin(), out.left.end(), 1.0f);
        std::fill(out.right.begin(), out.right.end(), 1.0f);
        const float* ins[] = {in.left.data(), in.right.data()};
        float* outs[] = {out.left.data(), out.right.data()};
        plugin.process(ins, outs, frames);
        return out;
    };
    auto silent_for = [](std::uint32_t frames) {
        stereo s(1024);
        std::fill(s.left.begin() + frames, s.left.end(), 1.0f);
        std::fill(s.right.begin() + frames, s.right.end(), 1.0f);
        return s;
    };
    auto plugin = std::make_unique<instance>(loaded, full);
    EXPECT_EQ(processed(*plugin, 512), silent_for(512));  // before activate
    // Values flushed with nothing processing count; wild ones are clamped.
    const clap_id q = dsp::band_slot_start(0) + dsp::slot_q;
    for (double wild : {std::nan(""), 7.5, -3.0}) {
        flush(*plugin, {{static_cast<int>(q), static_cast<float>(wild)}});
        EXPECT_EQ(plugin->value(q), wild > 1.0 ? 1.0 : 0.0) << wild;
    }
    ASSERT_TRUE(plugin->start(kRate, 512));
    EXPECT_EQ(processed(*plugin, 1024), silent_for(1024));  // more than announced
    EXPECT_EQ(plugin->plugin->process(plugin->plugin, nullptr), process_error);
    EXPECT_FALSE(plugin->plugin->activate(plugin->plugin, kRate, 1, 512));  // active already
    plugin->plugin->deactivate(plugin->plugin);
    EXPECT_FALSE(plugin->plugin->activate(plugin->plugin, 400000.0, 1, 512));
    EXPECT_FALSE(plugin->plugin->activate(plugin->plugin, kRate, 1, 0));
    plugin->active = false;
}

TEST_F(ClapPlugin, AHostAnsweringNullForEveryExtensionGetsSoundButNoEditor) {
    const host bare{host::offers{false, false, false, false}};
    auto plugin = make(kBand2Peak, 500, render_realtime, &bare);
    auto vst2 = make_vst2(kBand2Peak, 500);
    const stereo in = impulse(2 * kFirLength);
    EXPECT_EQ(run(*plugin, in, 500), run(*vst2, in, 500));
#if !defined(_WIN32)
    EXPECT_TRUE(plugin->gui().is_api_supported(plugin->plugin, "x11", false));
    EXPECT_FALSE(plugin->gui().create(plugin->plugin, "x11", false));  // nothing would run its idle step
#endif
    EXPECT_EQ(plugin->set_state(plugin->state()), true);
}

TEST_F(ClapPlugin, CallsOnTheWrongThreadAreRefused) {
    host h;
    auto plugin = make(kBand2Peak, 512, render_realtime, &h);
    const std::vector<unsigned char> saved = plugin->state();
    h.main_thread = false;
    EXPECT_TRUE(plugin->state().empty());
    EXPECT_FALSE(plugin->set_state(saved));
    EXPECT_FALSE(plugin->gui().create(plugin->plugin, "x11", false));
    h.audio_thread = false;
    const stereo in = noise(512);
    stereo out(512);
    std::fill(out.left.begin(), out.left.end(), 1.0f);
    const float* ins[] = {in.left.data(), in.right.data()};
    float* outs[] = {out.left.data(), out.right.data()};
    EXPECT_EQ(plugin->process(ins, outs, 512), process_error);
    EXPECT_EQ(out, stereo(512));
    h.main_thread = h.audio_thread = true;
}

// The editor's edits, as its model reports them, reach the host in order:
// through a flush it asks for while nothing processes, else with the next block.
TEST(ClapEdits, ReachTheHostAsGestureBeginValueAndEnd) {
    e2e_sandbox sandbox{"512"};
    host h;
    instance plugin((new clap::eq_plugin(h.get()))->plugin());
    core::eq_instance& model = clap::eq_plugin::of(plugin.plugin).instance();
    model.begin_edit(4);
    model.change_parameter(4, 0.25f);
    model.end_edit(4);
    EXPECT_EQ(h.flush_requests, 3);
    EXPECT_EQ(plugin.value(4), 0.25);
    events flushed;
    const clap_input_events none = flushed.input();
    const clap_output_events out = flushed.output();
    plugin.params().flush(plugin.plugin, &none, &out);
    EXPECT_EQ(flushed.out, (std::vector<std::string>{"begin 4", "value 4 0.250000", "end 4"}));

    ASSERT_TRUE(plugin.start(kRate, 64));
    model.begin_edit(6);
    model.change_parameter(6, 0.5f);
    model.end_edit(6);
    EXPECT_EQ(h.flush_requests, 3);
    const stereo in(64);
    stereo o(64);
    const float* ins[] = {in.left.data(), in.right.data()};
    float* outs[] = {o.left.data(), o.right.data()};
    events block;
    plugin.process(ins, outs, 64, &block);
    EXPECT_EQ(block.out, (std::vector<std::string>{"begin 6", "value 6 0.500000", "end 6"}));
}

}  // namespace
