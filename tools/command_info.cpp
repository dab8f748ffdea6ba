#include "command.h"
#include "command_line.h"
#include "plugin_loader.h"

#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

namespace tessvane::host {
namespace {

constexpr known_option info_options[] = {{"sample-rate", true}, {"block", true}, {"verbose", false}};

std::string id_characters(VstInt32 id) {
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        const auto c = static_cast<unsigned char>(static_cast<std::uint32_t>(id) >> shift);
        text += std::isprint(c) != 0 ? static_cast<char>(c) : '.';
    }
    return text;
}

std::string flag_names(VstInt32 flags) {
    constexpr struct {
        VstInt32 bit;
        const char* name;
    } known[] = {{effFlagsHasEditor, "editor"},
                 {effFlagsCanReplacing, "replacing"},
                 {effFlagsProgramChunks, "chunks"},
                 {effFlagsIsSynth, "synth"},
                 {effFlagsNoSoundInStop, "no-sound-in-stop"},
                 {effFlagsCanDoubleReplacing, "double-replacing"}};
    std::string text;
    VstInt32 rest = flags;
    for (const auto& flag : known) {
        if ((flags & flag.bit) == 0) continue;
        text += ' ';
        text += flag.name;
        rest &= ~flag.bit;
    }
    if (rest != 0) {
        char other[32];
        std::snprintf(other, sizeof other, " other:0x%x", static_cast<unsigned>(rest));
        text += other;
    }
    return text;
}

// Messages a plug-in built on our platform layer shows while it starts go,
// besides stderr, to the TESSVANE_MESSAGE_LOG file (one of ours when the
// user names none): a plug-in that reported an error there is locked.
class startup_messages {
public:
    startup_messages() {
        const char* named = std::getenv("TESSVANE_MESSAGE_LOG");
        if (named && *named) {
            log_ = named;
        } else {
            std::string pattern = (std::filesystem::temp_directory_path() / "tessvane-host-XXXXXX").string();
            const int fd = mkstemp(pattern.data());
            if (fd < 0) return;
            close(fd);
            log_ = own_log_ = pattern;
            setenv("TESSVANE_MESSAGE_LOG", own_log_.c_str(), 1);
        }
        size_before_ = size();
    }
    ~startup_messages() {
        if (own_log_.empty()) return;
        unsetenv("TESSVANE_MESSAGE_LOG");
        std::error_code ignored;
        std::filesystem::remove(own_log_, ignored);
    }
    startup_messages(const startup_messages&) = delete;
    startup_messages& operator=(const startup_messages&) = delete;

    bool any() const { return !log_.empty() && size() > size_before_; }

private:
    std::uintmax_t size() const {
        std::error_code missing;
        const std::uintmax_t bytes = std::filesystem::file_size(log_, missing);
        return missing ? 0 : bytes;
    }

    std::string log_;
    std::string own_log_;
    std::uintmax_t size_before_ = 0;
};

int run_info(std::span<char* const> arguments) {
    const command_line options(arguments, info_options);
    if (options.positional().size() != 1) throw usage_error("info takes one PLUGIN");
    const auto rate = static_cast<float>(options.positive_number("sample-rate", 44100.0));
    const int block = options.positive_int("block", 512);

    const startup_messages messages;
    auto plugin = loaded_plugin::load(options.positional()[0], {rate, block, options.has("verbose"), {}});
    plugin->configure(rate, block);
    const AEffect& effect = *plugin->effect();

    std::printf("name:           %s\n", plugin->effect_name().c_str());
    std::printf("vendor:         %s\n", plugin->vendor().c_str());
    std::printf("product:        %s\n", plugin->product().c_str());
    std::printf("vendor version: %ld\n", static_cast<long>(plugin->dispatch(effGetVendorVersion)));
    std::printf("unique id:      '%s' (0x%08x)\n", id_characters(effect.uniqueID).c_str(),
                static_cast<unsigned>(effect.uniqueID));
    std::printf("version:        %d\n", effect.version);
    std::printf("flags:          0x%x%s\n", static_cast<unsigned>(effect.flags), flag_names(effect.flags).c_str());
    std::printf("inputs:         %d\n", effect.numInputs);
    std::printf("outputs:        %d\n", effect.numOutputs);
    std::printf("initial delay:  %d samples\n", effect.initialDelay);

    std::printf("parameters:     %d\n", effect.numParams);
    for (VstInt32 index = 0; index < effect.numParams; ++index)
        std::printf("  %3d  %-24s value %-10.6g display %s %s\n", index, plugin->parameter_name(index).c_str(),
                    static_cast<double>(plugin->parameter(index)), plugin->parameter_display(index).c_str(),
                    plugin->parameter_label(index).c_str());

    std::printf("programs:       %d\n", effect.numPrograms);
    for (VstInt32 index = 0; index < effect.numPrograms; ++index)
        std::printf("  %3d  %s\n", index, plugin->program_name(index).c_str());
    if (messages.any()) {
        std::fprintf(stderr, "tessvane-host: the plug-in reported an error while starting (above): it is locked\n");
        return 1;
    }
    return 0;
}

}  // namespace

const command info_command{"info", "the plug-in's identity, flags, latency, parameters and programs",
                           "usage: tessvane-host info PLUGIN [--sample-rate R] [--block N] [--verbose]\n"
                           "\n"
                           "Loads PLUGIN, tells it the sample rate R (default 44100) and block size N\n"
                           "(default 512), and prints its name, vendor, product, unique id, flags,\n"
                           "inputs and outputs, initial delay, every parameter (index, name, value,\n"
                           "display, label) and every program name. --verbose prints the plug-in's\n"
                           "calls back to the host. Exits with 1 when the plug-in reported an error\n"
                           "while starting (it is then locked, as without a FIR-length setting).\n",
                           run_info};

}  // namespace tessvane::host
