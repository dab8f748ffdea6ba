// A tessvane-host command: its name, its help text and what runs it. Each
// command lives in its own command_*.cpp; main.cpp lists them.
#pragma once

#include <span>

namespace tessvane::host {

struct command {
    const char* name;
    const char* summary;
    const char* help;
    // The arguments after the command's name; answers the exit status.
    int (*run)(std::span<char* const> arguments);
};

extern const command info_command;
extern const command render_command;
extern const command bench_command;
extern const command response_command;
extern const command gui_command;

}  // namespace tessvane::host
