#include "realtime_support.h"

#include <chrono>
#include <cmath>
#include <random>
#include <thread>

stereo_noise::stereo_noise(int frames, float level, std::uint32_t seed)
    : left(frames), right(frames), out_left(frames), out_right(frames) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> sample(-level, level);
    for (int i = 0; i < frames; ++i) {
        left[i] = sample(rng);
        right[i] = sample(rng);
    }
    inputs[0] = left.data();
    inputs[1] = right.data();
    outputs[0] = out_left.data();
    outputs[1] = out_right.data();
}

bool is_sound(float sample) {
    const int kind = std::fpclassify(sample);
    return kind == FP_ZERO || kind == FP_NORMAL;
}

bool outputs_are_sound(const stereo_noise& audio, int frames) {
    for (int i = 0; i < frames; ++i)
        if (!is_sound(audio.out_left[i]) || !is_sound(audio.out_right[i])) return false;
    return true;
}

running_instance::running_instance() {
    plugin_.dispatch(effOpen);
    plugin_.dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f);
    plugin_.dispatch(effSetBlockSize, 0, 4096);
    plugin_.dispatch(effMainsChanged, 0, 1);
}

running_instance::~running_instance() { plugin_.dispatch(effMainsChanged, 0, 0); }

void running_instance::process(stereo_noise& audio, int frames) {
    effect()->processReplacing(effect(), audio.inputs, audio.outputs, frames);
}
