// The 27 host-visible parameters in the engine's control order
// (dsp/eq_layout.h): their names and labels.
#pragma once

#include "plugin/program_record.h"

struct parameter_info {
    const char* name;
    const char* label;
};

extern const parameter_info kParameters[kNumParams];
