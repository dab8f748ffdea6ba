#include "format_comparison.h"

#include "../support/magnitude_response.h"  // not the host tool's namesake

#include <random>

#include "dsp/control_units.h"

stereo noise(int frames, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> value(-0.5f, 0.5f);
    stereo s(frames);
    for (int i = 0; i < frames; ++i) s.left[i] = value(random), s.right[i] = value(random);
    return s;
}

stereo impulse(int frames) {
    stereo s(frames);
    s.left[0] = s.right[0] = 1.0f;
    return s;
}

stereo left_impulse(int frames) {
    stereo s(frames);
    s.left[0] = 1.0f;
    return s;
}

mid_and_side_db mid_and_side_at(const std::vector<float>& left, const std::vector<float>& right, double hz,
                                double rate) {
    std::vector<float> sum(left.size()), difference(left.size());
    for (std::size_t t = 0; t < left.size(); ++t) {
        sum[t] = left[t] + right[t];
        difference[t] = left[t] - right[t];
    }
    return {magnitude_db(sum, hz, rate), magnitude_db(difference, hz, rate)};
}

const std::vector<std::pair<int, float>> kBand2Peak = {{7, 1.0f},
                                                       {8, 0.0f},
                                                       {9, dsp::normalised_of_frequency_hz(1806.0f)},
                                                       {10, dsp::normalised_of_band_gain_db(12.0f)},
                                                       {11, 0.5f},
                                                       {17, 1.0f},
                                                       {19, 0.7f},
                                                       {20, 0.3f}};

std::unique_ptr<tessvane::host::loaded_plugin> make_vst2(const std::vector<std::pair<int, float>>& values, int block,
                                                         VstIntPtr level) {
    tessvane::host::host_settings settings;
    settings.sample_rate = static_cast<float>(kRate);
    settings.block_size = block;
    settings.audio_process_level = level;
    auto plugin = tessvane::host::loaded_plugin::load(TESSVANE_PLUGIN_PATH, std::move(settings));
    plugin->configure(static_cast<float>(kRate), block);
    for (auto [id, v] : values) plugin->set_parameter(id, v);
    plugin->resume();
    return plugin;
}

stereo run(tessvane::host::loaded_plugin& plugin, const stereo& in, int block) {
    stereo out(in.frames());
    stereo copy = in;
    for (int done = 0; done < in.frames(); done += block) {
        const int n = std::min(block, in.frames() - done);
        float* ins[] = {copy.left.data() + done, copy.right.data() + done};
        float* outs[] = {out.left.data() + done, out.right.data() + done};
        plugin.process(ins, outs, n);
    }
    return out;
}

stereo offline_bounce(const stereo& in, int block, int change_at, std::pair<int, float> change,
                      const std::vector<std::pair<int, float>>& values) {
    auto vst2 = make_vst2(values, block, kVstProcessLevelOffline);
    stereo expected(in.frames());
    stereo copy = in;
    for (int done = 0; done < in.frames(); done += block) {
        if (done == change_at) vst2->set_parameter(change.first, change.second);
        float* ins[] = {copy.left.data() + done, copy.right.data() + done};
        float* outs[] = {expected.left.data() + done, expected.right.data() + done};
        vst2->process(ins, outs, block);
    }
    return expected;
}
