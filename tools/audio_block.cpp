#include "audio_block.h"

#include <algorithm>

namespace tessvane::host {

audio_block::audio_block(VstInt32 inputs, VstInt32 outputs, VstInt32 max_frames)
    : max_frames_(max_frames),
      inputs_(inputs, std::vector<float>(max_frames)),
      outputs_(outputs, std::vector<float>(max_frames)) {
    for (auto& channel : inputs_) input_pointers_.push_back(channel.data());
    for (auto& channel : outputs_) output_pointers_.push_back(channel.data());
}

void audio_block::clear_inputs() {
    for (auto& channel : inputs_) std::fill(channel.begin(), channel.end(), 0.0f);
}

void audio_block::process(loaded_plugin& plugin, VstInt32 frames) {
    for (auto& channel : outputs_) std::fill(channel.begin(), channel.begin() + frames, 0.0f);
    plugin.process(input_pointers_.data(), output_pointers_.data(), frames);
}

}  // namespace tessvane::host
