// What the user asks to set before audio runs: a program chunk and
// parameters given as NAME_OR_INDEX=VALUE, with a normalised value 0..1 or a
// value as the parameter's read-out shows it (readout_value.h).
#pragma once

#include "audio_block.h"
#include "command_line.h"

#include <cstdio>
#include <string>

namespace tessvane::host {

struct parameter_assignment {
    VstInt32 index;
    float value;
};

// An index when the key is all digits, otherwise the parameter whose name
// matches it ignoring case, surrounding blanks and blanks before '#'.
// Throws usage_error.
parameter_assignment resolve_assignment(loaded_plugin& plugin, const std::string& text);

// On a running plug-in: loads --program-chunk, sets every --param, reports
// each on report and flushes the plug-in (suspend and resume). With probe it
// also waits for the sound to follow them (redesign_wait), once before and
// once after the settings, for a plug-in that designs in the background even
// when the host renders offline. Throws std::runtime_error when the plug-in
// refuses the chunk.
void apply_settings(loaded_plugin& plugin, audio_block& block, const command_line& options, bool probe,
                    std::FILE* report);

}  // namespace tessvane::host
