// tessvane-host: a command-line VST 2.x host.
#include "command.h"
#include "command_line.h"
#include "plugin_loader.h"

#include <cstdio>
#include <exception>
#include <string_view>

namespace {

using tessvane::host::command;

// A new command is one more line here and one more command_*.cpp.
const command* const commands[] = {&tessvane::host::info_command, &tessvane::host::render_command,
                                   &tessvane::host::bench_command, &tessvane::host::response_command,
                                   &tessvane::host::gui_command};

void print_overview(std::FILE* out) {
    std::fputs("usage: tessvane-host COMMAND [ARGUMENTS]\n\ncommands:\n", out);
    for (const command* c : commands) std::fprintf(out, "  %-8s %s\n", c->name, c->summary);
    std::fputs("\ntessvane-host COMMAND --help describes a command; --version prints the version.\n", out);
}

const command* find_command(std::string_view name) {
    for (const command* c : commands)
        if (name == c->name) return c;
    return nullptr;
}

bool asks_for_help(int argc, char** argv) {
    for (int i = 2; i < argc; ++i)
        if (std::string_view(argv[i]) == "--help" || std::string_view(argv[i]) == "-h") return true;
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::string_view(argv[1]) == "--version") {
        std::puts("tessvane-host " TESSVANE_VERSION);
        return 0;
    }
    if (argc < 2 || std::string_view(argv[1]) == "--help" || std::string_view(argv[1]) == "-h") {
        print_overview(argc < 2 ? stderr : stdout);
        return argc < 2 ? 2 : 0;
    }
    const command* chosen = find_command(argv[1]);
    if (chosen == nullptr) {
        std::fprintf(stderr, "tessvane-host: unknown command '%s'\n\n", argv[1]);
        print_overview(stderr);
        return 2;
    }
    if (asks_for_help(argc, argv)) {
        std::fputs(chosen->help, stdout);
        return 0;
    }
    try {
        return chosen->run({argv + 2, static_cast<std::size_t>(argc - 2)});
    } catch (const tessvane::host::usage_error& error) {
        std::fprintf(stderr, "tessvane-host %s: %s\n(see tessvane-host %s --help)\n", chosen->name, error.what(),
                     chosen->name);
        return 2;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "tessvane-host %s: error: %s\n", chosen->name, error.what());
        return 1;
    }
}
