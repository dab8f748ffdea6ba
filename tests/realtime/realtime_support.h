// A resumed in-process instance and the audio it is fed, for the real-time
// suites.
#pragma once

#include <cstdint>
#include <vector>

#include "plugin/tessvane_plugin.h"
#include "plugin_sandbox.h"

// Stereo noise at a given level, with room for the largest block used.
struct stereo_noise {
    stereo_noise(int frames, float level, std::uint32_t seed);
    std::vector<float> left, right, out_left, out_right;
    float* inputs[2];
    float* outputs[2];
};

// True for zero and normal numbers only.
bool is_sound(float sample);
// Every output sample of the last `frames` processed is sound.
bool outputs_are_sound(const stereo_noise& audio, int frames);

class running_instance {
public:
    running_instance();
    ~running_instance();
    AEffect* effect() const { return plugin_.effect(); }
    plugin::tessvane_plugin& object() const { return object_of(plugin_.effect()); }
    const dsp::linear_phase_eq& engine() const { return *object().engine(); }
    void set(int index, float value) { effect()->setParameter(effect(), index, value); }
    void process(stereo_noise& audio, int frames);
    void wait_for_worker() { wait_until_settled(effect()); }

private:
    plugin_instance plugin_;
};
