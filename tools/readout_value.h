// A parameter value given as the plug-in's read-out shows it, turned into
// the normalised value that shows it: found by asking the plug-in for its
// display of trial values (so it is set on the way; callers set the answer).
#pragma once

#include <string>

#include "plugin_loader.h"

namespace tessvane::host {

// A number with the parameter's label or a sign ("1806Hz", "+12dB", "4amt")
// is matched by bisection, the display being monotonic in the value; other
// text by the first of 201 even steps whose display begins with it, case
// ignored ("Peak"). Throws usage_error when no value shows it.
float normalised_of_readout(loaded_plugin& plugin, VstInt32 index, const std::string& readout);

}  // namespace tessvane::host
