#include "plugin/parameter_table.h"

// One band to a line.
// clang-format off
const parameter_info kParameters[kNumParams] = {
    {"Gain", "dB", 0.5f}, {"Filters", "state", 1.0f},
    {"Filter#1", "state", 0.0f}, {"Mode #1", "type", 0.0f}, {"Freq #1", "Hz", 0.2f}, {"Gain #1", "dB", 0.5f}, {"Q #1", "amt", 0.5f},
    {"Filter#2", "state", 0.0f}, {"Mode #2", "type", 0.0f}, {"Freq #2", "Hz", 0.4f}, {"Gain #2", "dB", 0.5f}, {"Q #2", "amt", 0.5f},
    {"Filter#3", "state", 0.0f}, {"Mode #3", "type", 0.0f}, {"Freq #3", "Hz", 0.6f}, {"Gain #3", "dB", 0.5f}, {"Q #3", "amt", 0.5f},
    {"Filter#4", "state", 0.0f}, {"Mode #4", "type", 0.0f}, {"Freq #4", "Hz", 0.8f}, {"Gain #4", "dB", 0.5f}, {"Q #4", "amt", 0.5f},
    {"Filter#5", "state", 0.0f}, {"Mode #5", "type", 0.0f}, {"Freq #5", "Hz", 1.0f}, {"Gain #5", "dB", 0.5f}, {"Q #5", "amt", 0.5f},
};
// clang-format on
