// The 27 host-visible parameters: master gain, the filters switch, and five
// values (on/off, mode, frequency, gain, Q) for each of the five bands.
#pragma once

#include "plugin/program_record.h"

enum parameter_index : int {
    kGain = 0,
    kFilters = 1,
    kFirstBandParameter = 2,
};

constexpr int kNumBands = 5;
constexpr int kBandSlotSize = 5;

// Position inside a band's slot.
enum band_slot_position : int { kSlotOnOff = 0, kSlotMode, kSlotFrequency, kSlotGain, kSlotQ };

constexpr int band_slot_start(int band) { return kFirstBandParameter + kBandSlotSize * band; }

struct parameter_info {
    const char* name;
    const char* label;
    float default_value;
};

extern const parameter_info kParameters[kNumParams];
