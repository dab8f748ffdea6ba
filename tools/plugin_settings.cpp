#include "plugin_settings.h"

#include "readout_value.h"
#include "redesign_wait.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <fstream>
#include <iterator>
#include <vector>

namespace tessvane::host {
namespace {

std::string trimmed_lower(std::string text) {
    const auto blank = [](unsigned char c) { return std::isspace(c) != 0; };
    text.erase(text.begin(), std::find_if_not(text.begin(), text.end(), blank));
    text.erase(std::find_if_not(text.rbegin(), text.rend(), blank).base(), text.end());
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

// "Freq #2", "freq#2" and " FREQ  #2 " name one parameter.
std::string comparable_name(const std::string& name) {
    std::string text = trimmed_lower(name);
    for (std::size_t hash = text.find('#'); hash != std::string::npos; hash = text.find('#', hash + 1))
        while (hash > 0 && std::isspace(static_cast<unsigned char>(text[hash - 1]))) text.erase(--hash, 1);
    return text;
}

VstInt32 find_parameter(loaded_plugin& plugin, const std::string& key) {
    const VstInt32 count = plugin.effect()->numParams;
    const bool is_index =
        !key.empty() && std::all_of(key.begin(), key.end(), [](unsigned char c) { return std::isdigit(c); });
    if (is_index) {
        VstInt32 index = -1;
        std::from_chars(key.data(), key.data() + key.size(), index);
        if (index < 0 || index >= count)
            throw usage_error("parameter index " + key + " is out of range (the plug-in has " + std::to_string(count) +
                              " parameters)");
        return index;
    }
    const std::string wanted = comparable_name(key);
    for (VstInt32 index = 0; index < count; ++index)
        if (comparable_name(plugin.parameter_name(index)) == wanted) return index;
    throw usage_error("the plug-in has no parameter named '" + key + "' (see tessvane-host info)");
}

std::vector<char> file_bytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) throw std::runtime_error("cannot read " + path);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

void load_program_chunk(loaded_plugin& plugin, const std::string& path, std::FILE* report) {
    std::vector<char> chunk = file_bytes(path);
    if (plugin.dispatch(effSetChunk, 1, static_cast<VstIntPtr>(chunk.size()), chunk.data()) == 0)
        throw std::runtime_error("the plug-in refused the program chunk " + path + " (" + std::to_string(chunk.size()) +
                                 " bytes)");
    std::fprintf(report, "program chunk: %s (%zu bytes)\n", path.c_str(), chunk.size());
}

void report_wait(const redesign_wait::outcome& outcome, const char* after, std::FILE* report) {
    if (outcome.settled)
        std::fprintf(report, "response settled after %s in %lld ms (%d probes)\n", after,
                     static_cast<long long>(outcome.waited.count()), outcome.probes);
    else
        std::fprintf(stderr,
                     "tessvane-host: warning: the plug-in's response did not settle after %s within %lld ms; "
                     "going on anyway\n",
                     after, static_cast<long long>(outcome.waited.count()));
}

}  // namespace

parameter_assignment resolve_assignment(loaded_plugin& plugin, const std::string& text) {
    const auto equals = text.rfind('=');
    if (equals == std::string::npos) throw usage_error("--param needs NAME_OR_INDEX=VALUE, not '" + text + "'");
    const std::string key = text.substr(0, equals);
    const std::string number = text.substr(equals + 1);
    const VstInt32 index = find_parameter(plugin, key);
    // A plain number from 0 to 1 is normalised; anything else is a read-out.
    float value = 0.0f;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (error == std::errc() && end == number.data() + number.size() && value >= 0.0f && value <= 1.0f)
        return {index, value};
    return {index, normalised_of_readout(plugin, index, number)};
}

void apply_settings(loaded_plugin& plugin, audio_block& block, const command_line& options, bool probe,
                    std::FILE* report) {
    // Resolved first, so that a mistake costs no waiting.
    std::vector<parameter_assignment> assignments;
    for (const auto& text : options.values("param")) assignments.push_back(resolve_assignment(plugin, text));

    redesign_wait wait(plugin, block);
    if (probe) report_wait(wait.until_settled(), "start", report);
    const auto chunk = options.value("program-chunk");
    if (chunk) load_program_chunk(plugin, *chunk, report);
    for (const auto& [index, value] : assignments) {
        plugin.set_parameter(index, value);
        std::fprintf(report, "parameter %d %s = %g (%s %s)\n", index, plugin.parameter_name(index).c_str(),
                     static_cast<double>(value), plugin.parameter_display(index).c_str(),
                     plugin.parameter_label(index).c_str());
    }
    if (probe && (chunk || !assignments.empty())) report_wait(wait.until_settled(), "settings", report);
    plugin.flush();
}

}  // namespace tessvane::host
