// What the suites of the VST3 and CLAP builds share: the signals they send,
// the band-2 settings, and the VST 2.x build of the same sources to hold each
// format against.
#pragma once

#include <memory>
#include <utility>
#include <vector>

#include "plugin_loader.h"

inline constexpr int kFirLength = 8192;
inline constexpr double kRate = 44100.0;

struct stereo {
    std::vector<float> left, right;
    explicit stereo(int frames) : left(frames), right(frames) {}
    int frames() const { return static_cast<int>(left.size()); }
    bool operator==(const stereo&) const = default;
};

stereo noise(int frames, unsigned seed = 7);
// The magnitudes in dB at hz of L + R and L - R: of the mid and the side,
// against an input whose mid and side are an impulse of 1/2 each.
struct mid_and_side_db {
    double mid, side;
};
mid_and_side_db mid_and_side_at(const std::vector<float>& left, const std::vector<float>& right, double hz,
                                double rate);
// At 1806 Hz and kRate, of a response to left_impulse.
inline mid_and_side_db mid_and_side_at_1806(const stereo& out) {
    return mid_and_side_at(out.left, out.right, 1806.0, kRate);
}
stereo impulse(int frames);
stereo left_impulse(int frames);

// Band 2 as a +12 dB peak at 1806 Hz, Q 1; and band 4 moved, so that two
// bands shape the sound.
extern const std::vector<std::pair<int, float>> kBand2Peak;

// The VST 2.x build at kRate, values set, resumed.
std::unique_ptr<tessvane::host::loaded_plugin> make_vst2(const std::vector<std::pair<int, float>>& values = {},
                                                         int block = 512, VstIntPtr level = kVstProcessLevelRealtime);
// Each host block through the VST 2.x build.
stereo run(tessvane::host::loaded_plugin& plugin, const stereo& in, int block);
// The VST 2.x build's offline bounce: `change` applied before the block at change_at.
stereo offline_bounce(const stereo& in, int block, int change_at, std::pair<int, float> change,
                      const std::vector<std::pair<int, float>>& values);
