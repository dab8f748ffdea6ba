// The VST3 build loaded as a host loads it, held against the VST 2.x build
// of the same sources: identity, parameters, sound, state and the calls a
// careless host makes.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "../e2e/e2e_support.h"
#include "../e2e/format_comparison.h"
#include "dsp/control_units.h"
#include "dsp/eq_layout.h"
#include "vst3_host.h"

namespace {

using namespace vst3_host;
using tessvane::host::loaded_plugin;

// Each host block through the instance; `changes` gives a block its queues.
stereo run(instance& plugin, const stereo& in, int block,
           const std::function<void(int start, parameter_changes&)>& changes = {}, std::int32_t mode = kRealtime) {
    stereo out(static_cast<int>(in.left.size()));
    for (int done = 0; done < static_cast<int>(in.left.size()); done += block) {
        const int n = std::min(block, static_cast<int>(in.left.size()) - done);
        const float* ins[] = {in.left.data() + done, in.right.data() + done};
        float* outs[] = {out.left.data() + done, out.right.data() + done};
        parameter_changes queues;
        if (changes) changes(done, queues);
        EXPECT_EQ(plugin.process(ins, outs, n, &queues, mode), kResultOk);
    }
    return out;
}

class Vst3Plugin : public ::testing::Test {
protected:
    e2e_sandbox sandbox{std::to_string(kFirLength)};
    module loaded{TESSVANE_VST3_PATH};

    std::unique_ptr<instance> make(const std::vector<std::pair<int, float>>& values = {}, int block = 512,
                                   std::int32_t mode = kRealtime) {
        auto plugin = std::make_unique<instance>(loaded);
        for (auto [id, v] : values) plugin->ctrl().setParamNormalized(plugin->controller, id, v);
        EXPECT_EQ(plugin->start(kRate, block, mode), kResultOk);
        return plugin;
    }
};

TEST(Vst3Declarations, ResultCodesAndIdByteOrderOnEachSystem) {
    EXPECT_EQ(other_results.no_interface, -1);
    EXPECT_EQ(other_results.false_, 1);
    EXPECT_EQ(other_results.invalid_argument, 2);
    EXPECT_EQ(other_results.not_implemented, 3);
    EXPECT_EQ(static_cast<std::uint32_t>(windows_results.no_interface), 0x80004002u);
    EXPECT_EQ(static_cast<std::uint32_t>(windows_results.invalid_argument), 0x80070057u);
    EXPECT_EQ(static_cast<std::uint32_t>(windows_results.not_implemented), 0x80004001u);
    EXPECT_EQ(windows_results.ok, 0);
    EXPECT_EQ(windows_results.false_, 1);
    // IComponent: a GUID's first three fields little-endian on Windows.
    const std::array<char, 16> guid = id_bytes(iid::IComponent, id_byte_order::guid);
    const std::array<char, 16> plain = id_bytes(iid::IComponent, id_byte_order::big_endian);
    const unsigned char guid_bytes[] = {0x31, 0xFF, 0x31, 0xE8, 0xD5, 0xF2, 0x01, 0x43,
                                        0x92, 0x8E, 0xBB, 0xEE, 0x25, 0x69, 0x78, 0x02};
    const unsigned char plain_bytes[] = {0xE8, 0x31, 0xFF, 0x31, 0xF2, 0xD5, 0x43, 0x01,
                                         0x92, 0x8E, 0xBB, 0xEE, 0x25, 0x69, 0x78, 0x02};
    EXPECT_EQ(std::memcmp(guid.data(), guid_bytes, 16), 0);
    EXPECT_EQ(std::memcmp(plain.data(), plain_bytes, 16), 0);
}

TEST_F(Vst3Plugin, NamesItselfByTheClassIdDerivedFromTheVst2Build) {
    PClassInfo2 info{};
    ASSERT_EQ(loaded.calls().getClassInfo2(loaded.factory(), 0, &info), kResultOk);
    // "VST", '1016', "tessvane " read as four words: never to change.
    const std::array<char, 16> pinned = id_bytes({0x56535431, 0x30313674, 0x65737376, 0x616E6520}, native_id_order);
    EXPECT_EQ(std::memcmp(info.cid, pinned.data(), 16), 0);
    EXPECT_STREQ(info.category, "Audio Module Class");
    EXPECT_STREQ(info.name, "Tessvane LE");
    EXPECT_STREQ(info.vendor, "Ravelthorpe");
    EXPECT_STREQ(info.version, "1.0.4");
    EXPECT_STREQ(info.subCategories, "Fx|EQ");
    PClassInfoW wide{};
    ASSERT_EQ(loaded.calls().getClassInfoUnicode(loaded.factory(), 0, &wide), kResultOk);
    EXPECT_EQ(narrow(wide.name), "Tessvane LE");

    auto plugin = make();
    EXPECT_EQ(plugin->proc().getLatencySamples(plugin->processor), std::uint32_t(kFirLength));
    BusInfo bus{};
    ASSERT_EQ(plugin->comp().getBusInfo(plugin->component, kAudio, kOutput, 0, &bus), kResultOk);
    EXPECT_EQ(bus.channelCount, 2);
    EXPECT_NE(plugin->comp().getBusInfo(plugin->component, kAudio, kOutput, 1, &bus), kResultOk);
    EXPECT_TRUE(sandbox.messages().empty());
}

TEST_F(Vst3Plugin, TheMidSideClassSitsBesideItWithItsPlacementsAndPutsABandOnTheMidAlone) {
    EXPECT_EQ(loaded.calls().countClasses(loaded.factory()), 2);
    PClassInfo2 info{};
    ASSERT_EQ(loaded.calls().getClassInfo2(loaded.factory(), 1, &info), kResultOk);
    // "VST", 'TvMS', "tessvane " read as four words: never to change.
    const std::array<char, 16> pinned = id_bytes({0x56535454, 0x764D5374, 0x65737376, 0x616E6520}, native_id_order);
    EXPECT_EQ(std::memcmp(info.cid, pinned.data(), 16), 0);
    EXPECT_STREQ(info.name, "Tessvane LE M/S");

    instance plugin(loaded, 1);
    ASSERT_EQ(plugin.ctrl().getParameterCount(plugin.controller), dsp::mid_side_control_count + 2);
    ParameterInfo place{}, bypass{};
    ASSERT_EQ(plugin.ctrl().getParameterInfo(plugin.controller, dsp::placement_control(0), &place), kResultOk);
    EXPECT_EQ(place.id, ParamID(dsp::placement_control(0)));
    EXPECT_EQ(narrow(place.title), "Place #1");
    plugin.ctrl().getParameterInfo(plugin.controller, dsp::mid_side_control_count, &bypass);
    EXPECT_EQ(bypass.flags & kIsBypass, kIsBypass);
    EXPECT_EQ(plugin.text_of(dsp::placement_control(1), 0.5), "Mid");

    // Band 2's peak alone.
    for (auto [id, v] : kBand2Peak)
        if (dsp::is_band_control(id) && dsp::band_of(id) == 1)
            plugin.ctrl().setParamNormalized(plugin.controller, id, v);
    plugin.ctrl().setParamNormalized(plugin.controller, dsp::placement_control(1), 0.5);
    ASSERT_EQ(plugin.start(kRate, 512), kResultOk);
    const mid_and_side_db levels = mid_and_side_at_1806(run(plugin, left_impulse(3 * kFirLength), 512));
    EXPECT_NEAR(levels.mid, 12.0, 0.2);
    EXPECT_NEAR(levels.side, 0.0, 0.2);
}

TEST_F(Vst3Plugin, ParametersReadAsTheVst2BuildsAndTypedTextReadsBack) {
    auto vst3 = make(kBand2Peak);
    auto vst2 = make_vst2(kBand2Peak);
    ASSERT_EQ(vst3->ctrl().getParameterCount(vst3->controller), dsp::control_count + 2);
    for (int id = 0; id < dsp::control_count; ++id) {
        ParameterInfo info{};
        ASSERT_EQ(vst3->ctrl().getParameterInfo(vst3->controller, id, &info), kResultOk);
        EXPECT_EQ(info.id, ParamID(id));
        EXPECT_EQ(narrow(info.title), vst2->parameter_name(id));
        EXPECT_EQ(narrow(info.units), vst2->parameter_label(id));
        const double value = vst3->ctrl().getParamNormalized(vst3->controller, id);
        EXPECT_EQ(value, double(vst2->parameter(id))) << id;
        const std::string display = vst3->text_of(id, value);
        EXPECT_EQ(display, vst2->parameter_display(id)) << id;
        // What a user types back reads as the same text.
        std::u16string typed(display.begin(), display.end());
        ParamValue parsed = -1.0;
        ASSERT_EQ(vst3->ctrl().getParamValueByString(vst3->controller, id, typed.data(), &parsed), kResultOk)
            << display;
        // Displays truncate their digits: a number reads back to within its last one.
        const std::string again = vst3->text_of(id, parsed);
        char* end = nullptr;
        const double shown = std::strtod(display.c_str(), &end);
        if (end == display.c_str() || *end != '\0')
            EXPECT_EQ(again, display) << id;
        else
            EXPECT_NEAR(std::strtod(again.c_str(), nullptr), shown, 2e-5 * std::max(1.0, std::fabs(shown))) << id;
    }
    ParameterInfo bypass{}, program{};
    vst3->ctrl().getParameterInfo(vst3->controller, dsp::control_count, &bypass);
    vst3->ctrl().getParameterInfo(vst3->controller, dsp::control_count + 1, &program);
    EXPECT_EQ(bypass.flags & kIsBypass, kIsBypass);
    EXPECT_EQ(program.flags & kIsProgramChange, kIsProgramChange);
    EXPECT_EQ(program.stepCount, 47);
    ProgramListInfo list{};
    ASSERT_EQ(vst3->units().getProgramListInfo(vst3->unit_info, 0, &list), kResultOk);
    EXPECT_EQ(list.programCount, 48);
}

TEST_F(Vst3Plugin, StateKeepsTheProgramAndAVst2ChunkIsTakenOver) {
    const stereo in = noise(2 * kFirLength);
    auto source = make({{dsp::control_count + 1, 3.0f / 47}}, 256);
    auto restored = std::make_unique<instance>(loaded);
    ASSERT_EQ(restored->set_state(source->state()), kResultOk);
    EXPECT_EQ(std::lround(47 * restored->ctrl().getParamNormalized(restored->controller, dsp::control_count + 1)), 3);

    // A host putting this build in place of the VST 2.x one hands over the
    // VST 2.x bank: a "VstW" header, the bank's "CcnK" header, the chunk.
    std::vector<std::pair<int, float>> vst2_settings = kBand2Peak;
    vst2_settings.emplace_back(20, 0.9f);
    auto vst2 = make_vst2(vst2_settings, 256);
    void* chunk = nullptr;
    const auto size = static_cast<std::uint32_t>(vst2->dispatch(effGetChunk, 0, 0, &chunk));
    std::vector<unsigned char> bank;
    auto word = [&](std::uint32_t v) {
        for (int shift = 24; shift >= 0; shift -= 8) bank.push_back(static_cast<unsigned char>(v >> shift));
    };
    auto tag = [&](const char* t) {
        for (int i = 0; i < 4; ++i) bank.push_back(static_cast<unsigned char>(t[i]));
    };
    tag("VstW"), word(8), word(1), word(0);
    tag("CcnK"), word(4 * 5 + 128 + 4 + size), tag("FBCh"), word(2), word(0x31303136), word(1004), word(1);
    word(0), bank.resize(bank.size() + 124);
    word(size);
    const auto* bytes = static_cast<const unsigned char*>(chunk);
    bank.insert(bank.end(), bytes, bytes + size);
    auto migrated = std::make_unique<instance>(loaded);
    ASSERT_EQ(migrated->set_state(bank), kResultOk);
    migrated->start(kRate, 256);
    EXPECT_EQ(run(*migrated, in, 256), run(*vst2, in, 256));
}

TEST_F(Vst3Plugin, CallsOutOfOrderOrOutOfRangeGiveSilenceAndClampedValues) {
    const stereo in = noise(1024);
    auto plugin = std::make_unique<instance>(loaded);
    auto ones = [] {
        stereo s(1024);
        std::fill(s.left.begin(), s.left.end(), 1.0f);
        std::fill(s.right.begin(), s.right.end(), 1.0f);
        return s;
    };
    auto processed = [&](int frames) {
        stereo out = ones();
        const float* ins[] = {in.left.data(), in.right.data()};
        float* outs[] = {out.left.data(), out.right.data()};
        EXPECT_EQ(plugin->process(ins, outs, frames), kResultOk);
        return out;
    };
    const stereo silent(1024);
    EXPECT_EQ(processed(512), [&] {
        stereo s = ones();
        std::fill_n(s.left.begin(), 512, 0.0f);
        std::fill_n(s.right.begin(), 512, 0.0f);
        return s;
    }());
    ASSERT_EQ(plugin->start(kRate, 512), kResultOk);
    EXPECT_EQ(processed(1024), silent);  // more than announced
    for (double wild : {std::nan(""), 7.5, -3.0}) {
        parameter_changes q;
        q.add(dsp::band_slot_start(0) + dsp::slot_q, 0, wild);
        stereo out(1024);
        const float* ins[] = {in.left.data(), in.right.data()};
        float* outs[] = {out.left.data(), out.right.data()};
        plugin->process(ins, outs, 256, &q);
        const double v = plugin->ctrl().getParamNormalized(plugin->controller, dsp::band_slot_start(0) + dsp::slot_q);
        EXPECT_EQ(v, wild > 1.0 ? 1.0 : 0.0) << wild;
    }
    EXPECT_EQ(plugin->ctrl().setParamNormalized(plugin->controller, 12345, 0.5), kInvalidArgument);
    EXPECT_EQ(plugin->proc().process(plugin->processor, nullptr), kInvalidArgument);
}

}  // namespace
