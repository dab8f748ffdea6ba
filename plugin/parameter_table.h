// The 27 host-visible parameters in the engine's control order
// (dsp/eq_layout.h): their names, labels and default values.
#pragma once

#include "plugin/program_record.h"

struct parameter_info {
    const char* name;
    const char* label;
    float default_value;
};

extern const parameter_info kParameters[kNumParams];
