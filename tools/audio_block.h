// The channel buffers a host hands to processReplacing: one input buffer per
// plug-in input and one output buffer per output, each up to max_frames long.
#pragma once

#include "plugin_loader.h"

#include <vector>

namespace tessvane::host {

class audio_block {
public:
    audio_block(VstInt32 inputs, VstInt32 outputs, VstInt32 max_frames);

    VstInt32 inputs() const { return static_cast<VstInt32>(inputs_.size()); }
    VstInt32 outputs() const { return static_cast<VstInt32>(outputs_.size()); }
    VstInt32 max_frames() const { return max_frames_; }
    float* input(VstInt32 channel) { return inputs_[channel].data(); }
    const float* output(VstInt32 channel) const { return outputs_[channel].data(); }

    void clear_inputs();
    // Zeroes the outputs (hosts commonly hand over pre-zeroed outputs) and
    // runs the first frames of the buffers through the plug-in.
    void process(loaded_plugin& plugin, VstInt32 frames);

private:
    VstInt32 max_frames_;
    std::vector<std::vector<float>> inputs_;
    std::vector<std::vector<float>> outputs_;
    std::vector<float*> input_pointers_;
    std::vector<float*> output_pointers_;
};

}  // namespace tessvane::host
