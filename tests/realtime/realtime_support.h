// A resumed in-process instance and the audio it is fed, for the real-time
// suites.
#pragma once

#include <cstdint>
#include <vector>

#include "plugin/vst_plugin.h"
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
    VST_Plugin& object() const { return *static_cast<VST_Plugin*>(plugin_.effect()->object); }
    void set(int index, float value) { effect()->setParameter(effect(), index, value); }
    void process(stereo_noise& audio, int frames);
    // Returns once the worker has made a pass after this call and then been
    // quiet for a while, or after about ten seconds.
    void wait_for_worker();

private:
    plugin_instance plugin_;
};
