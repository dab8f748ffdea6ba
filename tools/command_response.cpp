#include "command.h"
#include "magnitude_response.h"
#include "plugin_settings.h"
#include "png_writer.h"
#include "response_plot.h"

#include "gui/offscreen_context.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>

namespace tessvane::host {
namespace {

constexpr known_option response_options[] = {
    {"param", true}, {"program-chunk", true}, {"sample-rate", true}, {"size", true}, {"probe-wait", false}};
constexpr VstInt32 block_size = 512;
// Past the latency, room for the longest filter a plug-in is likely to add.
constexpr std::size_t response_margin = 8192;
constexpr std::size_t longest_response = std::size_t(1) << 22;
constexpr double reported_frequencies[] = {100.0, 1000.0, 10000.0};

struct picture_size {
    int width = 960;
    int height = 540;
};

picture_size parse_size(const command_line& options) {
    const auto text = options.value("size");
    if (!text) return {};
    picture_size size;
    const char* end = text->data() + text->size();
    const auto [x, width_error] = std::from_chars(text->data(), end, size.width);
    const bool well_formed = width_error == std::errc() && x != end && (*x == 'x' || *x == 'X') &&
                             std::from_chars(x + 1, end, size.height) == std::from_chars_result{end, std::errc()};
    if (!well_formed || size.width < 320 || size.height < 200 || size.width > 8192 || size.height > 8192)
        throw usage_error("--size needs WIDTHxHEIGHT from 320x200 to 8192x8192, not '" + *text + "'");
    return size;
}

// Fails before any waiting when OUT cannot be created.
void check_output_folder(const std::string& path) {
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (!folder.empty() && !std::filesystem::is_directory(folder))
        throw std::runtime_error("cannot write " + path + ": there is no folder " + folder.string());
}

// A unit impulse on every input and silence after it, frames long; the
// first one or two outputs.
std::vector<std::vector<float>> impulse_response(loaded_plugin& plugin, audio_block& block, std::size_t frames) {
    std::vector<std::vector<float>> outputs(static_cast<std::size_t>(std::min(block.outputs(), 2)),
                                            std::vector<float>(frames));
    for (std::size_t done = 0; done < frames; done += block_size) {
        block.clear_inputs();
        if (done == 0)
            for (VstInt32 channel = 0; channel < block.inputs(); ++channel) block.input(channel)[0] = 1.0f;
        block.process(plugin, block_size);
        for (std::size_t channel = 0; channel < outputs.size(); ++channel)
            std::copy_n(block.output(static_cast<VstInt32>(channel)), block_size, outputs[channel].begin() + done);
    }
    return outputs;
}

bool same_curve(const std::vector<double>& a, const std::vector<double>& b) {
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i] && !(std::abs(a[i] - b[i]) <= 0.01)) return false;
    return true;
}

std::string decibels(double db) {
    char text[32];
    // Rounded first, so that a hair below zero does not print as -0.00.
    if (std::isfinite(db))
        std::snprintf(text, sizeof text, "%+.2f dB", std::round(db * 100.0) / 100.0 + 0.0);
    else
        std::snprintf(text, sizeof text, "-inf dB");
    return text;
}

std::string settings_text(loaded_plugin& plugin, const command_line& options) {
    std::string text;
    const auto add = [&text](const std::string& item) { text += (text.empty() ? "" : ",  ") + item; };
    if (const auto chunk = options.value("program-chunk"))
        add("program chunk " + std::filesystem::path(*chunk).filename().string());
    for (const auto& assignment : options.values("param")) {
        const auto [index, value] = resolve_assignment(plugin, assignment);
        char number[16];
        std::snprintf(number, sizeof number, "%g", static_cast<double>(value));
        add(plugin.parameter_name(index) + " = " + number + " (" + plugin.parameter_display(index) + " " +
            plugin.parameter_label(index) + ")");
    }
    return text.empty() ? "default settings" : text;
}

std::string latency_note(VstInt32 latency, double sample_rate) {
    char text[96];
    std::snprintf(text, sizeof text, "latency %d samples (%.1f ms)   %g Hz", latency, 1000.0 * latency / sample_rate,
                  sample_rate);
    return text;
}

int run_response(std::span<char* const> arguments) {
    const command_line options(arguments, response_options);
    if (options.positional().size() != 2) throw usage_error("response takes PLUGIN OUT.png");
    const std::string& plugin_path = options.positional()[0];
    const std::string& out_path = options.positional()[1];
    const picture_size size = parse_size(options);
    check_output_folder(out_path);
    const double rate = options.positive_number("sample-rate", 44100.0);
    const double nyquist = rate / 2.0;
    if (nyquist <= 20.0) throw usage_error("--sample-rate must be above 40 Hz");

    auto plugin =
        loaded_plugin::load(plugin_path, {static_cast<float>(rate), block_size, false, {}, kVstProcessLevelOffline});
    const AEffect& effect = *plugin->effect();
    if (effect.numInputs < 1 || effect.numOutputs < 1)
        throw std::runtime_error(plugin_path + ": the plug-in needs an input and an output to have a response");
    audio_block block(effect.numInputs, effect.numOutputs, block_size);
    plugin->start(static_cast<float>(rate), block_size);
    apply_settings(*plugin, block, options, options.has("probe-wait"), stdout);

    // Read after the settings: a plug-in may change its latency with them.
    const VstInt32 latency = std::max(effect.initialDelay, 0);
    const std::size_t frames = std::bit_ceil(4 * static_cast<std::size_t>(latency) + response_margin);
    if (frames > longest_response)
        throw std::runtime_error("the plug-in reports a latency of " + std::to_string(latency) +
                                 " samples, too long to measure");
    const auto responses = impulse_response(*plugin, block, frames);

    response_plot plot{plugin->effect_name(),
                       settings_text(*plugin, options),
                       latency_note(latency, rate),
                       rate,
                       log_spaced_frequencies(20.0, nyquist, std::max(600, size.width)),
                       {}};
    if (plot.title.empty()) plot.title = std::filesystem::path(plugin_path).stem().string();
    for (std::size_t channel = 0; channel < responses.size(); ++channel)
        plot.curves.push_back(
            {"Out " + std::to_string(channel + 1), magnitude_db(responses[channel], plot.frequencies, rate)});
    if (plot.curves.size() > 1 && same_curve(plot.curves[0].db, plot.curves[1].db)) plot.curves.pop_back();

    // Outputs are named only when both are shown.
    const auto which = [&plot](const response_curve& curve) {
        return plot.curves.size() > 1 ? " (" + curve.name + ")" : std::string();
    };
    for (const double frequency : reported_frequencies) {
        if (frequency >= nyquist) continue;
        std::printf("magnitude at %g Hz:", frequency);
        for (std::size_t channel = 0; channel < plot.curves.size(); ++channel)
            std::printf(" %s%s", decibels(magnitude_db(responses[channel], std::span(&frequency, 1), rate)[0]).c_str(),
                        which(plot.curves[channel]).c_str());
        std::printf("\n");
    }
    for (const auto& curve : plot.curves) {
        const auto peak = std::max_element(curve.db.begin(), curve.db.end());
        std::printf("peak %s at %.1f Hz%s\n", decibels(*peak).c_str(), plot.frequencies[peak - curve.db.begin()],
                    which(curve).c_str());
    }
    std::printf("latency %d samples\n", latency);

    VSTGUI::COffscreenContext picture(size.width, size.height);
    draw_response_plot(picture, plot);
    write_png(out_path, picture.pixels(), size.width, size.height, picture.stride());
    std::printf("wrote %s (%dx%d)\n", out_path.c_str(), size.width, size.height);
    return 0;
}

}  // namespace

const command response_command{
    "response", "plot the plug-in's magnitude response as a PNG",
    "usage: tessvane-host response PLUGIN OUT.png [--param NAME_OR_INDEX=VALUE ...]\n"
    "       [--program-chunk FILE] [--sample-rate R] [--size WxH] [--probe-wait]\n"
    "\n"
    "Applies the settings as render does (offline, and with --probe-wait\n"
    "waiting the same way until the plug-in's sound follows them), feeds a unit impulse on every input and\n"
    "silence after it (a power of two of at least 4 times the latency plus\n"
    "8192 samples), and plots the magnitude of output 1 (and output 2 where\n"
    "it differs by more than 0.01 dB) in dB over log frequency from 20 Hz to\n"
    "Nyquist, as a WIDTHxHEIGHT PNG (default 960x540). The plug-in runs at\n"
    "R Hz (default 44100).\n"
    "\n"
    "Prints the magnitude at 100 Hz, 1 kHz and 10 kHz, the peak gain and its\n"
    "frequency, and the latency.\n",
    run_response};

}  // namespace tessvane::host
