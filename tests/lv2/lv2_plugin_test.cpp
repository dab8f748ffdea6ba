// The LV2 plug-in loaded through lilv as hosts load it, against the VST 2.x
// build in the same process: the same output for the same settings, the
// latency port, the activation cycle, free-wheeling renders and hostile port
// values.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <lv2/atom/atom.h>
#include <lv2/atom/util.h>

#include "../plugin/plugin_sandbox.h"
#include "../realtime/allocation_tracker.h"
#include "dsp/biquad_band.h"
#include "dsp/eq_layout.h"
#include "lilv_instance.h"
#include "uri_map.h"
#include "plugin/tessvane_plugin.h"

namespace {

constexpr int response_length = 3 * 8192;

struct setting {
    int index;
    float value;
};
using program = std::vector<setting>;

// Settings as the VST 2.x parameters hold them.
const std::vector<program> programs = {
    {},
    {{7, 1.0f}, {8, 0.0f}, {9, 0.5f}, {10, 0.8f}, {11, 0.5f}},  // band 2: a boost at 1.8 kHz
    {
        {2, 1.0f},
        {3, 1.0f},
        {4, 0.3f},
        {5, 0.75f},
        {6, 0.4f},  // band 1: low shelf boost
        {12, 1.0f},
        {14, 0.55f},
        {15, 0.2f},
        {16, 0.6f},  // band 3: peak cut
        {17, 1.0f},
        {18, 0.5f},
        {19, 0.85f},
        {20, 0.5f},
        {21, 0.7f},  // band 4: high cut
    },
    {{0, 0.3f}, {1, 0.0f}, {22, 1.0f}, {23, 1.0f}, {25, 0.9f}},  // filters off, gain down
};

// The type's position in its band's selector: peak, cut, shelf.
int type_position(int type) {
    switch (type) {
        case dsp::biquad_band::hi_pass:
        case dsp::biquad_band::lo_pass: return 1;
        case dsp::biquad_band::lo_shelf:
        case dsp::biquad_band::hi_shelf: return 2;
        default: return 0;
    }
}

const char* const slot_endings[] = {"_on", "_type", "_freq", "_gain", "_q"};

std::string symbol_of(int index) {
    if (index == dsp::gain_control) return "gain";
    if (index == dsp::filters_control) return "filters";
    return "band" + std::to_string(dsp::band_of(index) + 1) + slot_endings[dsp::slot_of(index)];
}

// The VST 2.x instance's impulse response, and the port values that show
// its settings as it shows them: its own read-outs, in hertz, dB and Q.
struct vst_reference {
    std::vector<float> response;
    std::vector<setting> ports;  // by control index
};

vst_reference vst_render(const program& settings) {
    plugin_instance vst;
    vst.dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f);
    vst.dispatch(effMainsChanged, 0, 1);
    for (const setting& s : settings) vst.effect()->setParameter(vst.effect(), s.index, s.value);
    vst_reference reference;
    reference.response = settled_impulse_response(vst, response_length);
    const plugin::tessvane_plugin& object = object_of(vst.effect());
    const float gain = object.parameter(dsp::gain_control);
    reference.ports.push_back({dsp::gain_control, gain > 0 ? 20.0f * std::log10(2.0f * gain) : -90.0f});
    reference.ports.push_back({dsp::filters_control, object.parameter(dsp::filters_control) > 0 ? 1.0f : 0.0f});
    for (int band = 0; band < dsp::band_count; ++band) {
        const dsp::band_readout b = object.band_readout(band);
        const int start = dsp::band_slot_start(band);
        reference.ports.push_back({start + dsp::slot_on_off, b.on_off >= 0.5f ? 1.0f : 0.0f});
        reference.ports.push_back({start + dsp::slot_mode, static_cast<float>(type_position(b.type))});
        reference.ports.push_back({start + dsp::slot_frequency, b.frequency});
        reference.ports.push_back({start + dsp::slot_gain, b.gain});
        reference.ports.push_back({start + dsp::slot_q, b.q});
    }
    return reference;
}

void set_ports(lilv_instance& lv2, const std::vector<setting>& ports) {
    for (const setting& s : ports) lv2.set(symbol_of(s.index), s.value);
}

std::vector<float> lv2_render(const std::vector<setting>& ports) {
    lilv_instance lv2;
    set_ports(lv2, ports);
    lv2.activate();
    return lv2.run(unit_impulse(response_length));
}

float largest_difference(const std::vector<float>& a, const std::vector<float>& b) {
    float largest = 0.0f;
    for (std::size_t i = 0; i < a.size(); ++i) largest = std::max(largest, std::fabs(a[i] - b[i]));
    return largest;
}

bool all_finite(const std::vector<float>& signal) {
    for (float v : signal)
        if (!std::isfinite(v)) return false;
    return true;
}

std::string file_text(const std::string& path) {
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

class Lv2Plugin : public ::testing::Test {
protected:
    settings_sandbox sandbox{"8192"};
    message_capture messages;
};

}  // namespace

TEST_F(Lv2Plugin, GivesTheVstOutputWithinOneMillionthForTheSameSettings) {
    for (std::size_t p = 0; p < programs.size(); ++p) {
        const vst_reference vst = vst_render(programs[p]);
        const std::vector<float> lv2 = lv2_render(vst.ports);
        ASSERT_EQ(lv2.size(), vst.response.size());
        EXPECT_LE(largest_difference(lv2, vst.response), 1e-6f) << "program " << p;
        EXPECT_GT(std::fabs(lv2[8192]), 0.01f) << "program " << p << " must pass the impulse, 8192 samples late";
    }
}

TEST_F(Lv2Plugin, LatencyPortReportsTheFirLengthOfTheSettingAndZeroWhenLocked) {
    const struct {
        const char* stored;
        float latency;
    } cases[] = {{"1024", 1024.0f}, {"65536", 65536.0f}, {"3000", 8192.0f}};
    for (const auto& c : cases) {
        sandbox.set_user_latency(c.stored);
        lilv_instance lv2;
        lv2.activate();
        lv2.run(unit_impulse(64));
        EXPECT_EQ(lv2.value("latency"), c.latency) << "stored " << c.stored;
    }

    // Without a setting the instance starts locked: silent, and it says why.
    sandbox.remove_latency();
    const std::string log = ::testing::TempDir() + "lv2-messages.txt";
    std::remove(log.c_str());
    setenv("TESSVANE_MESSAGE_LOG", log.c_str(), 1);
    {
        lilv_instance lv2;
        ASSERT_TRUE(lv2.loaded());
        lv2.activate();
        const std::vector<float> out = lv2.run(std::vector<float>(4096, 0.5f));
        EXPECT_EQ(lv2.value("latency"), 0.0f);
        EXPECT_EQ(largest_difference(out, std::vector<float>(out.size(), 0.0f)), 0.0f);
    }
    unsetenv("TESSVANE_MESSAGE_LOG");
    EXPECT_NE(file_text(log).find("Registry settings loading error #0"), std::string::npos) << file_text(log);
}

TEST_F(Lv2Plugin, ReactivationPutsTheNewResponseInPlaceAndForgetsTheOldSignal) {
    const std::vector<setting> boost = vst_render(programs[1]).ports;
    const std::vector<float> expected = lv2_render(boost);

    lilv_instance lv2;
    lv2.activate();
    std::vector<float> loud(20000);
    for (std::size_t i = 0; i < loud.size(); ++i) loud[i] = std::sin(0.05f * static_cast<float>(i));
    lv2.run(loud);
    lv2.deactivate();
    set_ports(lv2, boost);
    lv2.activate();
    EXPECT_EQ(largest_difference(lv2.run(unit_impulse(response_length)), expected), 0.0f);
    // Once more, back to the defaults.
    lv2.deactivate();
    set_ports(lv2, vst_render({}).ports);
    lv2.activate();
    EXPECT_EQ(largest_difference(lv2.run(unit_impulse(response_length)), lv2_render({})), 0.0f);
}

TEST_F(Lv2Plugin, FreewheelingRunsHearAPortChangeFromTheNextEngineBlock) {
    const std::vector<setting> boost = vst_render(programs[1]).ports;
    const std::vector<float> expected = lv2_render(boost);

    lilv_instance lv2;
    lv2.activate();
    lv2.set("freewheel", 1.0f);
    set_ports(lv2, boost);
    // No worker's pause: the block that completes the engine's first block
    // designs the new response, and the impulse is heard through it.
    EXPECT_EQ(largest_difference(lv2.run(unit_impulse(response_length)), expected), 0.0f);
}

TEST_F(Lv2Plugin, HostileControlValuesAreClampedAndNeverReachTheOutput) {
    lilv_instance probe;
    const std::vector<std::string> controls = probe.control_inputs();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();

    // NaN takes the default; beyond the range, the range's end.
    const auto render_all = [&](auto value_of) {
        lilv_instance lv2;
        for (const std::string& symbol : controls)
            if (symbol != "freewheel") lv2.set(symbol, value_of(lv2, symbol));
        lv2.activate();
        return lv2.run(unit_impulse(response_length));
    };
    const auto at = [](float v) { return [v](lilv_instance&, const std::string&) { return v; }; };
    const std::vector<float> defaults = lv2_render({});
    EXPECT_EQ(render_all(at(nan)), defaults);
    const std::vector<float> highest =
        render_all([](lilv_instance& lv2, const std::string& symbol) { return lv2.maximum(symbol); });
    const std::vector<float> lowest =
        render_all([](lilv_instance& lv2, const std::string& symbol) { return lv2.minimum(symbol); });
    EXPECT_EQ(render_all(at(inf)), highest);
    EXPECT_EQ(render_all(at(1e30f)), highest);
    EXPECT_EQ(render_all(at(-inf)), lowest);
    EXPECT_EQ(render_all(at(-1e30f)), lowest);
    EXPECT_TRUE(all_finite(highest));
    EXPECT_TRUE(all_finite(lowest));

    // Changed while running, one port at a time, with noise going through.
    lilv_instance lv2;
    lv2.set("band2_on", 1.0f);
    lv2.activate();
    std::vector<float> noise(1024);
    for (std::size_t i = 0; i < noise.size(); ++i) noise[i] = std::sin(1.7f * static_cast<float>(i * i % 977));
    for (const std::string& symbol : controls) {
        for (float hostile : {nan, inf, -inf, 3e38f, -3e38f}) {
            lv2.set(symbol, hostile);
            ASSERT_TRUE(all_finite(lv2.run(noise))) << symbol << " = " << hostile;
        }
    }
}

TEST_F(Lv2Plugin, RunAllocatesNothingWhileEveryPortChangesAndWhileFreewheeling) {
    lilv_instance lv2;
    std::vector<float*> controls;
    for (const std::string& symbol : lv2.control_inputs())
        if (symbol != "freewheel") controls.push_back(lv2.value_of(symbol));
    float* const freewheel = lv2.value_of("freewheel");
    lv2.activate();
    std::vector<float> in(20000, 0.25f), out_left(in.size()), out_right(in.size());
    float* const buffers[4] = {in.data(), in.data(), out_left.data(), out_right.data()};
    const float values[] = {0.0f, 1.0f, 0.5f, 1806.0f, -12.0f, std::numeric_limits<float>::quiet_NaN(), 2.0f};

    allocation_tracker::reset();
    {
        const allocation_tracker::audio_thread_scope audio_thread;
        // Blocks of every size up to a long one, the last beyond the engine's block.
        unsigned frames = 1;
        for (int round = 0; round < 40; ++round, frames = frames * 3 % 19997 + 1) {
            *freewheel = round % 4 == 3 ? 1.0f : 0.0f;
            for (std::size_t i = 0; i < controls.size(); ++i) *controls[i] = values[(round + i) % std::size(values)];
            lv2.run_block(buffers, frames);
        }
    }
    const allocation_tracker::counts counts = allocation_tracker::audio_thread_counts();
    EXPECT_EQ(counts.allocations, 0);
    EXPECT_EQ(counts.releases, 0);
    EXPECT_TRUE(all_finite(out_left));
}

// A UI that asks gets the channels' means through the analyser's atom port,
// from the run after it asked, and nothing once it stops asking; run still
// allocates nothing.
TEST_F(Lv2Plugin, TheAnalyserSendsTheChannelMeansThroughItsAtomPortWhileAUiAsks) {
    uri_map map;
    const LV2_Feature* features[] = {map.feature(), nullptr};
    lilv_instance lv2(44100.0, features);
    ASSERT_TRUE(lv2.loaded());
    struct alignas(8) sequence_buffer {
        LV2_Atom_Sequence sequence;
        unsigned char room[65536];
    };
    const auto request = std::make_unique<sequence_buffer>();
    const auto notify = std::make_unique<sequence_buffer>();
    lv2.connect("analyser_request", &request->sequence);
    lv2.connect("analyser", &notify->sequence);
    lv2.activate();

    constexpr unsigned frames = 512;
    std::vector<float> left(frames), right(frames), out_left(frames), out_right(frames);
    float* const buffers[4] = {left.data(), right.data(), out_left.data(), out_right.data()};
    // One run with the request (or none) as the host passes it; the vector
    // the plug-in sent, empty when it sent none.
    const auto run = [&](int ask) {
        request->sequence = {{sizeof(LV2_Atom_Sequence_Body), map(LV2_ATOM__Sequence)}, {0, 0}};
        if (ask >= 0) {
            auto* event = reinterpret_cast<LV2_Atom_Event*>(&request->sequence.body + 1);
            event->time.frames = 0;
            event->body = {sizeof(std::int32_t), map(LV2_ATOM__Bool)};
            *reinterpret_cast<std::int32_t*>(&event->body + 1) = ask;
            request->sequence.atom.size += sizeof(LV2_Atom_Event) + 8;
        }
        notify->sequence.atom = {sizeof notify->room, 0};
        for (unsigned i = 0; i < frames; ++i) left[i] = float(i) / frames, right[i] = 0.25f;
        allocation_tracker::reset();
        {
            const allocation_tracker::audio_thread_scope audio_thread;
            lv2.run_block(buffers, frames);
        }
        EXPECT_EQ(allocation_tracker::audio_thread_counts().allocations, 0);
        EXPECT_EQ(notify->sequence.atom.type, map(LV2_ATOM__Sequence));
        std::vector<float> sent;
        LV2_ATOM_SEQUENCE_FOREACH(&notify->sequence, event) {
            EXPECT_EQ(event->body.type, map(LV2_ATOM__Vector));
            const auto* vector = reinterpret_cast<const LV2_Atom_Vector*>(&event->body);
            EXPECT_EQ(vector->body.child_type, map(LV2_ATOM__Float));
            const auto* first = reinterpret_cast<const float*>(vector + 1);
            sent.assign(first, first + (vector->atom.size - sizeof(LV2_Atom_Vector_Body)) / sizeof(float));
        }
        return sent;
    };
    EXPECT_TRUE(run(-1).empty());
    EXPECT_TRUE(run(1).empty());  // asked: this run's frames go with the next
    const std::vector<float> before(out_left);
    const std::vector<float> before_right(out_right);
    const std::vector<float> sent = run(-1);
    ASSERT_EQ(sent.size(), 2 * frames);
    for (unsigned i = 0; i < frames; ++i) {
        ASSERT_EQ(sent[2 * i], 0.5f * (before[i] + before_right[i])) << i;
        ASSERT_EQ(sent[2 * i + 1], 0.5f * (float(i) / frames + 0.25f)) << i;
    }
    EXPECT_TRUE(run(0).empty());
    EXPECT_TRUE(run(-1).empty());
}
