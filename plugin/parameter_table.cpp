#include "plugin/parameter_table.h"

// One band to a line; the defaults are the engine's (dsp/eq_layout.h).
// clang-format off
const parameter_info kParameters[kNumParams] = {
    {"Gain", "dB"}, {"Filters", "state"},
    {"Filter#1", "state"}, {"Mode #1", "type"}, {"Freq #1", "Hz"}, {"Gain #1", "dB"}, {"Q #1", "amt"},
    {"Filter#2", "state"}, {"Mode #2", "type"}, {"Freq #2", "Hz"}, {"Gain #2", "dB"}, {"Q #2", "amt"},
    {"Filter#3", "state"}, {"Mode #3", "type"}, {"Freq #3", "Hz"}, {"Gain #3", "dB"}, {"Q #3", "amt"},
    {"Filter#4", "state"}, {"Mode #4", "type"}, {"Freq #4", "Hz"}, {"Gain #4", "dB"}, {"Q #4", "amt"},
    {"Filter#5", "state"}, {"Mode #5", "type"}, {"Freq #5", "Hz"}, {"Gain #5", "dB"}, {"Q #5", "amt"},
};
// clang-format on
